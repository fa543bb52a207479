// The link motion the Stephenson kinds share, on the Stephenson 1 example: every rod and the link
// keep their lengths over a revolution, the link iteration converges within its bound, the pins
// stay numbers when the gear cannot be solved, and the edge cases of the lifting arm, the crosshead,
// the rods' crossing and the gear's slant.
#include "gears/stephenson/Stephenson.h"

#include "gears/ste1/Ste1Record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;
// A length between two float pins of a gear some ten units across.
constexpr double kFloatAccuracy = 2e-5;

double Dist(Point2 a, Point2 b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

double AngleFrom(Point2 centre, Point2 p) {
    return std::atan2(double(p.y) - centre.y, double(p.x) - centre.x);
}

// The difference of two angles, brought into (-pi, pi].
double AngleDifference(double a, double b) {
    return std::remainder(a - b, 2 * kPi);
}

bool AllFinite(const StephensonLinkMotion& m) {
    for (Point2 p : {m.C, m.G, m.E, m.J, m.L, m.M, m.Q, m.F, m.K})
        if (!Finite(p)) return false;
    return std::isfinite(m.phi) && std::isfinite(m.psi) && std::isfinite(m.tau);
}

StephensonLinkDimensions Example() {
    return LinkDimensionsOf(Ste1ExampleRecord());
}

struct Solved {
    StephensonFixedPoints fixed;
    StephensonLinkMotion motion;
};

Solved SolveAt(const StephensonLinkDimensions& d, double g, double theta) {
    Solved s;
    s.fixed = PlaceStephensonFixedPoints(d, 0.0f, 0.0f);
    SolveLinkMotion(d, s.fixed, g, theta, s.motion);
    return s;
}

TEST(Stephenson, FixedPointsFollowTheAxle) {
    const StephensonLinkDimensions d = Example();
    const StephensonFixedPoints f = PlaceStephensonFixedPoints(d, 0.25f, -0.5f);
    EXPECT_FLOAT_EQ(f.A.x, 8.875f + 1.5f - 0.5f);
    EXPECT_FLOAT_EQ(f.A.y, 0.25f);
    EXPECT_FLOAT_EQ(f.R.x, f.A.x - 7.1625f);
    EXPECT_FLOAT_EQ(f.R.y, 2.25f);
    EXPECT_FLOAT_EQ(f.T.x, f.A.x - 5.6f);
    EXPECT_FLOAT_EQ(f.T.y, 9.25f);
    EXPECT_EQ(f.O.x, 0.0f);
    EXPECT_EQ(f.O.y, 0.0f);
    EXPECT_FLOAT_EQ(f.tolerance, 0.003f);
    EXPECT_FLOAT_EQ(f.drawingSize, 1.5f);
}

// Every rod and the link keep their lengths at every position of a revolution, the pins carried
// from position to position as a revolution carries them; at the 10 degree steps the link
// converges within three passes.
TEST(Stephenson, EveryRodKeepsItsLengthOverARevolution) {
    const StephensonLinkDimensions d = Example();
    const StephensonFixedPoints f = PlaceStephensonFixedPoints(d, 0.0f, 0.0f);
    const double hanger = std::hypot(d.elHangX, d.elHangY);
    const double rodPin = std::hypot(d.elEccRodX, d.elEccRodY);
    for (double g : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
        StephensonLinkMotion m;
        for (int k = 0; k <= 360; ++k) {
            const double theta = k * kPi / 180;
            const IterationResult r = SolveLinkMotion(d, f, g, theta, m);
            SCOPED_TRACE(::testing::Message() << "g " << g << " crank " << k);
            ASSERT_TRUE(AllFinite(m));
            ASSERT_TRUE(r.Converged());
            EXPECT_EQ(r.outcome, m.link.outcome);
            if (k % 10 == 0) {
                EXPECT_LE(r.passes, 3);
            }
            EXPECT_NEAR(Dist(m.F, m.E), d.EF, f.tolerance);
            EXPECT_NEAR(Dist(m.K, m.J), d.EF, f.tolerance);
            EXPECT_NEAR(Dist(f.A, m.C), d.CrankRadius, kFloatAccuracy);
            EXPECT_NEAR(Dist(m.C, m.G), d.GC, kFloatAccuracy);
            EXPECT_NEAR(m.G.y, 0.0, kFloatAccuracy);
            EXPECT_LT(m.G.x, f.A.x);
            // The crosshead is at the cylinder reference at crank angle 0, a stroke from it at 180.
            if (k % 180 == 0) {
                EXPECT_NEAR(m.G.x, k == 180 ? 2 * d.CrankRadius : 0.0, kFloatAccuracy);
            }
            EXPECT_NEAR(Dist(f.A, m.E), d.AE, kFloatAccuracy);
            EXPECT_NEAR(Dist(f.A, m.J), d.AE, kFloatAccuracy);
            EXPECT_NEAR(Dist(f.R, m.L), std::fabs(d.LR), kFloatAccuracy);
            EXPECT_NEAR(Dist(m.L, m.M), std::fabs(d.LM), kFloatAccuracy);
            // The angles kept are those the pins were placed at, with the last correction.
            EXPECT_NEAR(AngleDifference(AngleFrom(m.L, m.M), m.psi), 0.0, f.tolerance / d.LM);
            EXPECT_NEAR(AngleDifference(AngleFrom(m.K, m.F) - std::atan2(double(d.elEccRodY), 0.0), m.tau),
                        0.0, f.tolerance / std::fabs(d.elEccRodY));
            EXPECT_NEAR(Dist(m.Q, m.M), hanger, kFloatAccuracy);
            EXPECT_NEAR(Dist(m.Q, m.F), rodPin, kFloatAccuracy);
            EXPECT_NEAR(Dist(m.Q, m.K), rodPin, kFloatAccuracy);
            EXPECT_NEAR(Dist(m.F, m.K), 2 * std::fabs(d.elEccRodY), kFloatAccuracy);
            // The shaft is above the axle, so the link hangs below the lifting arm.
            EXPECT_LT(m.M.y, m.L.y);
        }
    }
}

TEST(Stephenson, TheGearSettingSwingsTheLiftingArmAboutItsMidGearAngle) {
    StephensonLinkDimensions d = Example();
    d.MidelLiftArmAng = 0.1f;
    const struct {
        double g;
        double phi;
    } cases[] = {
        {0.0, 0.1},
        {1.0, 0.1 - 0.36651915},
        {-1.0, 0.1 + 0.36651915},
        {0.5, 0.1 - 0.36651915 / 2},
    };
    for (const auto& c : cases) {
        const Solved s = SolveAt(d, c.g, 0.3);
        SCOPED_TRACE(::testing::Message() << "g " << c.g);
        EXPECT_NEAR(s.motion.phi, c.phi, 1e-6);
        EXPECT_NEAR(s.motion.L.x, s.fixed.R.x + d.LR * std::cos(c.phi), kFloatAccuracy);
        EXPECT_NEAR(s.motion.L.y, s.fixed.R.y + d.LR * std::sin(c.phi), kFloatAccuracy);
    }
}

TEST(Stephenson, TheEccentricsSitEitherSideOfTheCrankTurnedBackByTheSlant) {
    for (float slant : {0.0f, 0.2f}) {
        StephensonLinkDimensions d = Example();
        d.GearSlant = slant;
        const double theta = 0.7;
        const Solved s = SolveAt(d, 0.0, theta);
        const double crank = AngleFrom(s.fixed.A, s.motion.C);
        EXPECT_NEAR(AngleDifference(crank, theta + kPi), 0.0, 1e-5);
        EXPECT_NEAR(AngleDifference(AngleFrom(s.fixed.A, s.motion.J), crank + d.CAE - slant), 0.0, 1e-5);
        EXPECT_NEAR(AngleDifference(AngleFrom(s.fixed.A, s.motion.E), crank - d.CAE - slant), 0.0, 1e-5);
        EXPECT_TRUE(s.motion.link.Converged()) << slant;
    }
}

TEST(Stephenson, AHangerPinOnTheCentreLineLiesMidwayBetweenTheRodPins) {
    StephensonLinkDimensions d = Example();
    d.elHangX = d.elEccRodX;
    d.elHangY = 0;
    const Solved s = SolveAt(d, 0.5, 1.0);
    EXPECT_NEAR(s.motion.M.x, (double(s.motion.F.x) + s.motion.K.x) / 2, kFloatAccuracy);
    EXPECT_NEAR(s.motion.M.y, (double(s.motion.F.y) + s.motion.K.y) / 2, kFloatAccuracy);
}

// The sign of elEccRodY puts E-F on the lower or the upper end of the link; either way the tilt
// converges. A shaft below the axle hangs the link above the arm, corrected the other way round.
TEST(Stephenson, CrossedOrOpenRodsAndAShaftBelowTheAxleConverge) {
    const struct {
        const char* name;
        float elEccRodY;
        float ARy;
        bool rodEFLower;
        bool linkAboveArm;
    } cases[] = {
        {"example", -1.0625f, 2.0f, true, false},
        {"rods exchanged", 1.0625f, 2.0f, false, false},
        {"shaft below the axle", -1.0625f, -2.0f, true, true},
    };
    for (const auto& c : cases) {
        StephensonLinkDimensions d = Example();
        d.elEccRodY = c.elEccRodY;
        d.ARy = c.ARy;
        const StephensonFixedPoints f = PlaceStephensonFixedPoints(d, 0.0f, 0.0f);
        StephensonLinkMotion m;
        for (double g : {-1.0, 0.0, 1.0}) {
            for (int k = 0; k < 36; ++k) {
                SolveLinkMotion(d, f, g, k * kPi / 18, m);
                SCOPED_TRACE(::testing::Message() << c.name << " g " << g << " crank " << 10 * k);
                ASSERT_TRUE(m.link.Converged());
                EXPECT_LE(m.link.passes, 3);
                EXPECT_EQ(m.F.y < m.K.y, c.rodEFLower);
                EXPECT_EQ(m.M.y > m.L.y, c.linkAboveArm);
            }
        }
    }
}

// Dimensions the solve cannot use: no pin becomes NaN, pins that cannot be placed keep the previous
// position's, and the link iteration says how it ended.
TEST(Stephenson, AGearThatCannotBeSolvedKeepsItsPinsAndReportsTheIteration) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        float StephensonLinkDimensions::*field;
        float value;
        IterationOutcome outcome;
        int passes;
        bool linkKept;      // M, Q, F and K are those of the position before
        bool crossheadKept; // G is that of the position before
    } cases[] = {
        {"hanger of length 0", &StephensonLinkDimensions::LM, 0.0f, IterationOutcome::HitBound, 11, false,
         false},
        {"rod pins on the centre line", &StephensonLinkDimensions::elEccRodY, 0.0f,
         IterationOutcome::HitBound, 11, false, false},
        {"rod length no number", &StephensonLinkDimensions::EF, nan, IterationOutcome::GaveUp, 1, false,
         false},
        {"hanger pin at infinity", &StephensonLinkDimensions::elHangX, infinity, IterationOutcome::GaveUp, 1,
         true, false},
        {"connecting rod short of the line of stroke", &StephensonLinkDimensions::GC, 0.5f,
         IterationOutcome::Converged, -1, false, true},
    };
    const StephensonLinkDimensions example = Example();
    const double theta = kPi / 2 + 0.2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Solved before = SolveAt(example, 1.0, theta - 0.1);
        StephensonLinkDimensions d = example;
        d.*c.field = c.value;
        StephensonLinkMotion m = before.motion;
        const IterationResult r = SolveLinkMotion(d, before.fixed, 1.0, theta, m);
        EXPECT_TRUE(AllFinite(m));
        EXPECT_EQ(r.outcome, c.outcome);
        if (c.passes > 0) {
            EXPECT_EQ(r.passes, c.passes);
        }
        EXPECT_LE(r.passes, kStephensonLinkPasses);
        const bool linkKept = m.M.x == before.motion.M.x && m.M.y == before.motion.M.y &&
                              m.Q.x == before.motion.Q.x && m.F.x == before.motion.F.x &&
                              m.K.x == before.motion.K.x && m.tau == before.motion.tau;
        EXPECT_EQ(linkKept, c.linkKept);
        const bool crossheadKept = m.G.x == before.motion.G.x && m.G.y == before.motion.G.y;
        EXPECT_EQ(crossheadKept, c.crossheadKept);
    }
}

} // namespace
} // namespace linkwright::testing
