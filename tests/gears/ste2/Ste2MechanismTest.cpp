// Stephenson 2 mechanism: the rocker's iteration and the valve it drives, checked against positions
// worked separately in double precision, the lengths the solved linkage keeps over whole
// revolutions, the rocker's edge cases, gears that cannot close, the revolution solve and the
// drawing.
#include "gears/ste2/Ste2.h"

#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;

float Radians(double degrees) {
    return static_cast<float>(degrees * kPi / 180);
}

double Dist(Point2 a, Point2 b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

bool AllFinite(const Ste2Points& p) {
    const StephensonLinkMotion& k = p.link;
    for (Point2 q : {k.C, k.G, k.E, k.J, k.L, k.M, k.Q, k.F, k.K, p.X, p.W, p.V, p.U, p.B, p.Y})
        if (!Finite(q)) return false;
    return std::isfinite(k.tau);
}

// A variant of the example gear: what it changes in the record or the unit variables.
struct Variant {
    const char* name;
    std::function<void(Ste2&)> change;
};

const Variant kExample{"example", [](Ste2&) {}};
const Variant kBentRocker{"rocker bent by 30 degrees", [](Ste2& m) { m.GearRecord.aVXW = Radians(30); }};
const Variant kSlanted{"gear slanted by 5 degrees", [](Ste2& m) { m.GearRecord.GearSlant = Radians(5); }};
const Variant kLongValveArm{"longer valve arm, rocker bent back", [](Ste2& m) {
                                m.GearRecord.WX = 0.9f;
                                m.GearRecord.aVXW = Radians(-20);
                            }};
const Variant kOverhungCrossed{"overhung die block, crossed rods", [](Ste2& m) {
                                   m.GearRecord.BU = -0.3f;
                                   m.GearRecord.elEccRodY = -0.4901f;
                               }};

class Ste2Test : public ::testing::Test {
protected:
    Ste2Test()
        : cwd_(scratch_.path()), messages_(scratch_ / "Messages.txt"),
          model_(GearEnvironment{state_, messages_, dialogs_}) {
        messages_.Create();
        state_.fwd = 1;
        state_.Nsteps = 550;
        state_.GearSetting = 1.0f;
        state_.Decimals = 4;
        Use(kExample);
    }

    void Use(const Variant& variant) {
        model_.SetExample();
        variant.change(model_);
        model_.InitialiseGear();
    }

    // The valve at a position, solved afresh.
    float ValveAt(double g, double degrees) {
        model_.CalcGear(Radians(degrees), static_cast<float>(g));
        return model_.LinkValvePos();
    }

    ScratchDir scratch_;
    WorkingDirectory cwd_;
    SimulationState state_{};
    MessagesFile messages_;
    ScriptedDialogs dialogs_;
    Ste2 model_;
};

TEST_F(Ste2Test, ValveAgreesWithSeparatelyWorkedPositions) {
    // Each gear's valve at five positions, worked in double precision from the linkage's own
    // description (the slanted eccentrics, lifting arm, link, rocker rod, rocker and valve rod, each
    // corrected to r / 500).
    struct Case {
        Variant variant;
        double expected[5];
    };
    const Case cases[] = {
        {kExample, {0.114242, 0.062045, -0.052594, -0.047243, -0.033921}},
        {kBentRocker, {0.433805, 0.390380, 0.290101, 0.294852, 0.306921}},
        {kSlanted, {0.097306, 0.080717, -0.062515, -0.026799, -0.048622}},
        {kLongValveArm, {-0.140000, -0.211037, -0.361799, -0.354949, -0.337801}},
        // The rocker's pivot, the hanger's pivot and the spindle line all go with the axle.
        {{"axle lifted and moved back",
          [](Ste2& m) {
              m.WheelLift = 0.2f;
              m.WheelDisp = -0.05f;
          }},
         {0.064242, 0.012045, -0.102594, -0.097243, -0.083921}},
    };
    const double settings[5] = {1, 1, 0, -1, 0.5};
    const double angles[5] = {0, 130, 250, 40, 300};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant.name);
        Use(c.variant);
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(ValveAt(settings[i], angles[i]), c.expected[i], 2e-5) << angles[i] << " deg";
    }
}

TEST_F(Ste2Test, EveryLengthIsKeptOverWholeRevolutionsAndTheExampleConvergesQuickly) {
    const Variant variants[] = {kExample, kBentRocker, kSlanted, kLongValveArm, kOverhungCrossed};
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.name);
        Use(variant);
        const Ste2Record& g = model_.GearRecord;
        const double tol = model_.Fixed().tolerance;
        const Point2 T = model_.Fixed().T;
        const Point2 A = model_.Fixed().A;
        const bool example = std::string(variant.name) == kExample.name;
        struct Travel {
            double setting;
            double expected; // of the example
        };
        for (const Travel t : {Travel{1, 0.44}, Travel{-1, 0.44}, Travel{0, 0.27}, Travel{0.5, 0.317}}) {
            SCOPED_TRACE(t.setting);
            double low = 1e9;
            double high = -1e9;
            for (int degrees = 0; degrees < 360; degrees += 10) {
                SCOPED_TRACE(degrees);
                const float valve = ValveAt(t.setting, degrees);
                low = std::min<double>(low, valve);
                high = std::max<double>(high, valve);
                const Ste2Points& p = model_.Points();
                ASSERT_TRUE(p.link.link.Converged());
                ASSERT_TRUE(p.rocker.Converged());
                if (example) {
                    EXPECT_LE(p.link.link.passes, 3);
                    EXPECT_LE(p.rocker.passes, 2);
                }
                // The rocker's last pass placed W, V, U and B from Y before Y took its final
                // correction, which was below the tolerance.
                EXPECT_NEAR(Dist(p.W, p.X), std::fabs(g.WX), 1e-5);
                EXPECT_NEAR(Dist(p.V, p.X), g.VX, 1e-5);
                EXPECT_NEAR(Dist(p.Y, p.W), g.WY, tol);
                EXPECT_NEAR(Dist(p.U, T), g.TU, 2e-5);
                EXPECT_NEAR(Dist(p.U, p.V), g.UV, 1e-5);
                EXPECT_NEAR(Dist(p.B, p.link.Q), g.elRadius, 2e-5);
                EXPECT_NEAR(Dist(p.B, p.V), g.UV + g.BU, 2 * tol);
                // V, U and B on the rod's straight line; the rocker's arms at its bend; Y on the
                // spindle line; the die block on the cylinder side of the slot's centre.
                const double cross = (double(p.U.x) - p.V.x) * (double(p.B.y) - p.V.y) -
                                     (double(p.U.y) - p.V.y) * (double(p.B.x) - p.V.x);
                EXPECT_NEAR(cross, 0.0, 1e-5);
                const double bend = std::atan2(double(p.V.y) - p.X.y, double(p.V.x) - p.X.x) -
                                    std::atan2(double(p.W.y) - p.X.y, double(p.W.x) - p.X.x);
                EXPECT_NEAR(std::remainder(bend - g.aVXW - kPi, 2 * kPi), 0.0, 2e-5);
                EXPECT_EQ(p.Y.y, static_cast<float>(double(A.y) + g.AYy));
                EXPECT_LT(p.B.x, p.link.Q.x);
            }
            if (example) {
                EXPECT_NEAR(high - low, t.expected, 0.005);
            }
        }
    }
}

TEST_F(Ste2Test, RockerAtRightAnglesStopsAtOnceAndTheLiftingArmMayPointBack) {
    // cos(aVXW) vanishes: nothing is carried to Y, which stays at its start.
    model_.GearRecord.aVXW = Radians(90);
    model_.InitialiseGear();
    for (const double degrees : {0.0, 100.0, 230.0}) {
        ValveAt(1, degrees);
        const Ste2Points& p = model_.Points();
        EXPECT_TRUE(p.rocker.Converged());
        EXPECT_EQ(p.rocker.passes, 1);
        EXPECT_NEAR(p.Y.x, p.X.x - model_.GearRecord.WY, 1e-6);
    }
    // The example's negative LR puts L beyond R, against the arm's angle.
    Use(kExample);
    ValveAt(0.5, 45);
    const Point2 L = model_.Points().link.L;
    const Point2 R = model_.Fixed().R;
    const double phi = 0.5 * 0.43633231;
    EXPECT_NEAR((double(L.x) - R.x) * std::cos(phi) + (double(L.y) - R.y) * std::sin(phi), -1.063, 1e-5);
}

TEST_F(Ste2Test, GearsThatCannotCloseKeepTheirPinsAndStayNumbers) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // How the rocker ends, where the broken part decides it.
    enum class Rocker { Either, KeptFromBefore, AtItsStart };
    struct Broken {
        const char* name;
        std::function<void(Ste2Record&)> change;
        Rocker rocker = Rocker::Either;
    };
    const Broken gears[] = {
        {"short eccentric rods", [](Ste2Record& g) { g.EF = 1.0f; }},
        {"short rocker rod hanger", [](Ste2Record& g) { g.TU = 1.0f; }, Rocker::KeptFromBefore},
        {"no link hanger", [](Ste2Record& g) { g.LM = 0.0f; }},
        {"rod pins on the link's centre line", [](Ste2Record& g) { g.elEccRodY = 0.0f; }},
        {"slot too small to reach the rod", [](Ste2Record& g) { g.elRadius = 0.01f; },
         Rocker::KeptFromBefore},
        // V sits on the pivot, so the rod cannot turn the rocker: the first pass's pins stand.
        {"no rod arm on the rocker", [](Ste2Record& g) { g.VX = 0.0f; }, Rocker::AtItsStart},
        {"no valve arm on the rocker", [](Ste2Record& g) { g.WX = 0.0f; }, Rocker::KeptFromBefore},
        {"valve rod out of the rocker's reach", [](Ste2Record& g) { g.AYy = 5.0f; }, Rocker::KeptFromBefore},
        {"rocker pivot no number", [nan](Ste2Record& g) { g.AXx = nan; }, Rocker::KeptFromBefore},
        {"bend no number", [nan](Ste2Record& g) { g.aVXW = nan; }, Rocker::KeptFromBefore},
        {"no crank", [](Ste2Record& g) { g.CrankRadius = 0.0f; }},
    };
    for (const Broken& b : gears) {
        SCOPED_TRACE(b.name);
        Use(kExample);
        ValveAt(1, 20);
        const Ste2Points before = model_.Points();
        b.change(model_.GearRecord);
        model_.InitialiseGear();
        for (int degrees = 20; degrees < 380; degrees += 15) {
            ASSERT_TRUE(std::isfinite(ValveAt(1, degrees))) << degrees;
            ASSERT_TRUE(std::isfinite(model_.ValvePos())) << degrees;
            ASSERT_TRUE(AllFinite(model_.Points())) << degrees;
            ASSERT_TRUE(std::isfinite(model_.PistonPct())) << degrees;
        }
        const Ste2Points& p = model_.Points();
        if (b.rocker != Rocker::Either) {
            EXPECT_EQ(p.rocker.outcome, IterationOutcome::GaveUp);
        }
        if (b.rocker == Rocker::KeptFromBefore) {
            for (const auto& [now, then] : {std::pair(p.W, before.W), std::pair(p.U, before.U),
                                            std::pair(p.B, before.B), std::pair(p.Y, before.Y)}) {
                EXPECT_EQ(now.x, then.x);
                EXPECT_EQ(now.y, then.y);
            }
        }
        if (b.rocker == Rocker::AtItsStart) {
            EXPECT_EQ(p.rocker.passes, 1);
            EXPECT_EQ(p.V.x, p.X.x);
            EXPECT_FLOAT_EQ(p.Y.x, p.X.x - model_.GearRecord.WY);
        }
    }
    EXPECT_TRUE(dialogs_.informations.empty());
    messages_.Flush();
    EXPECT_TRUE(ReadLines(messages_.Path()).empty());
}

TEST_F(Ste2Test, RevolutionStoresTheCalcGearPositionsInTheIndexOrderAndCopiesFwd) {
    StepArrays steps{};
    EventRecord events{};
    model_.Slack = 0.02f;
    model_.GearRecord.aVXW = Radians(30); // a rocker that takes more passes at some positions
    model_.InitialiseGear();
    for (const std::uint8_t fwd : {1, 0}) {
        SCOPED_TRACE(int(fwd));
        state_.fwd = fwd;
        model_.GearRecord.FwdCopy = static_cast<std::uint8_t>(1 - fwd);
        model_.SolveRevolution(steps, 36, events, 0.5f);
        EXPECT_EQ(model_.GearRecord.FwdCopy, fwd);
        EXPECT_EQ(events.BobbinWidth, model_.GearRecord.BobbinWidth);
        EXPECT_EQ(events.Clearance, model_.GearRecord.Clearance);
        // CalcGear position after position, carrying the backlash, gives the same entries.
        model_.CalcGear(2 * float(kPi), 0.5f); // the valve where the revolution began to leave it
        model_.SolveRevolution(steps, 36, events, 0.5f);
        const StepArrays solved = steps;
        const Ste2Points last = model_.Points();
        model_.CalcGear(2 * float(kPi), 0.5f);
        for (int k = 0; k <= 36; ++k) {
            const float angle = static_cast<float>(static_cast<double>(k) / 36 * 2.0 * kPi);
            model_.CalcGear(angle, 0.5f);
            const std::size_t i = static_cast<std::size_t>(fwd != 0 ? k : 36 - k);
            EXPECT_EQ(solved.StepCrankAngle[i], angle) << k;
            EXPECT_EQ(solved.StepValvePos[i], model_.ValvePos()) << k;
            EXPECT_EQ(solved.StepPistonPct[i], model_.PistonPct()) << k;
        }
        EXPECT_EQ(last.Y.x, model_.Points().Y.x); // the revolution leaves the last position's pins
    }
}

constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kBlack = 0x000000;

TEST_F(Ste2Test, DrawingAddsTheRockerInPlaceAndLabelsItsPinsLast) {
    RecordingCanvas canvas(800, 500);
    Glib1 plot(canvas);
    // A view that takes in the hanger's pivot too.
    state_.ViewXMin = -2;
    state_.ViewXMax = 16;
    state_.ViewYMin = -3;
    state_.ViewYMax = 12;
    model_.DrawGear(plot, 800, 500, true, 0.7f, 1.0f);
    const Ste2Points& p = model_.Points();
    const StephensonLinkMotion& k = p.link;
    const StephensonFixedPoints& f = model_.Fixed();

    // Every pin circle in drawing order, the rocker's after the rocker rod's front end.
    std::vector<std::pair<int, int>> centres;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Arc))
        if (c.IsFullEllipse()) centres.emplace_back((c.x1 + c.x2) / 2, (c.y1 + c.y2) / 2);
    const Point2 order[] = {f.A, k.C, k.E, k.J, k.G, f.R, k.L, k.F, k.K,
                            k.M, f.T, p.U, p.B, p.V, p.X, p.W, p.Y};
    ASSERT_EQ(centres.size(), std::size(order));
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const PixelPoint at = plot.WorldToPixel(order[i].x, order[i].y);
        EXPECT_NEAR(centres[i].first, at.x, 1) << i;
        EXPECT_NEAR(centres[i].second, at.y, 1) << i;
    }

    // The call index of the first line in the colour from pixel `a` to `b` (with `b` nullptr, the
    // first left-to-right stroke whose middle is `a`: a cross's first).
    const auto lineAt = [&](std::uint32_t colour, Point2 a, const Point2* b) {
        const PixelPoint pa = plot.WorldToPixel(a.x, a.y);
        const PixelPoint pb = b != nullptr ? plot.WorldToPixel(b->x, b->y) : pa;
        for (std::size_t i = 0; i < canvas.calls.size(); ++i) {
            const CanvasCall& c = canvas.calls[i];
            if (c.kind != CanvasCallKind::LineTo || c.colour != colour) continue;
            if (b != nullptr ? c.x1 == pa.x && c.y1 == pa.y && c.x2 == pb.x && c.y2 == pb.y
                             : c.x1 < c.x2 && std::abs((c.x1 + c.x2) / 2 - pa.x) <= 1 &&
                                   std::abs((c.y1 + c.y2) / 2 - pa.y) <= 1)
                return static_cast<int>(i);
        }
        return -1;
    };
    // The cross at X right after the one at R (its second stroke between); the rocker's arms, the
    // valve rod and the spindle stub as one run from V, two calls a line (the move to its clipped
    // start, then the line).
    const int crossR = lineAt(kBlack, f.R, nullptr);
    ASSERT_GE(crossR, 0);
    EXPECT_EQ(lineAt(kBlack, p.X, nullptr), crossR + 4);
    const Point2 stub{static_cast<float>(p.Y.x - 0.3 * model_.GearRecord.CrankRadius), p.Y.y};
    const int arm = lineAt(kGreen, p.V, &p.X);
    ASSERT_GE(arm, 0);
    EXPECT_EQ(lineAt(kGreen, p.X, &p.W), arm + 2);
    EXPECT_EQ(lineAt(kGreen, p.W, &p.Y), arm + 4);
    EXPECT_EQ(lineAt(kGreen, p.Y, &stub), arm + 6);
    EXPECT_EQ(canvas.CountLines(kGreen), 9 + 2 + 4);

    std::vector<std::string> letters;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Text))
        if (c.text.size() == 1 && std::isupper(static_cast<unsigned char>(c.text[0])))
            letters.push_back(c.text);
    EXPECT_EQ(letters, (std::vector<std::string>{"G", "C", "A", "E", "F", "J", "B", "K", "L", "M", "R", "T",
                                                 "U", "V", "X", "W", "Y"}));
}

} // namespace
} // namespace linkwright::testing
