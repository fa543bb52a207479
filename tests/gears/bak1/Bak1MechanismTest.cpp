// Baker mechanism: the valve checked against positions worked separately in double precision, the
// lengths the solved linkage keeps over whole revolutions, the no-solution messages with the pins
// and the valve they keep, the revolution solve and the drawing.
#include "gears/bak1/Bak1.h"

#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;

double Dist(Point2 a, Point2 b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

bool SamePin(Point2 a, Point2 b) {
    return a.x == b.x && a.y == b.y;
}

class Bak1Test : public ::testing::Test {
protected:
    Bak1Test()
        : cwd_(scratch_.path()), messages_(scratch_ / "Messages.txt"),
          model_(GearEnvironment{state_, messages_, dialogs_}) {
        messages_.Create();
        state_.fwd = 1;
        state_.Nsteps = 550;
        state_.GearSetting = 1.0f;
        state_.Decimals = 4;
        model_.SetExample();
        model_.InitialiseGear();
    }

    float ValveAt(double g, double degrees) {
        model_.CalcGear(static_cast<float>(degrees * kPi / 180), static_cast<float>(g));
        return model_.LinkValvePos();
    }

    std::vector<std::string> MessageLines() {
        messages_.Flush();
        return ReadLines(messages_.Path());
    }

    ScratchDir scratch_;
    WorkingDirectory cwd_;
    SimulationState state_{};
    MessagesFile messages_;
    ScriptedDialogs dialogs_;
    Bak1 model_;
};

TEST_F(Bak1Test, ValveAgreesWithSeparatelyWorkedPositions) {
    struct Variant {
        const char* name;
        std::function<void(Bak1&)> change;
        double expected[5];
    };
    const Variant variants[] = {
        {"example", [](Bak1&) {}, {-0.108926, -0.073076, 0.041581, 0.036507, 0.030227}},
        // T below V: the valve pin is extrapolated beyond the lever's top.
        {"outside admission",
         [](Bak1& m) { m.GearRecord.TV = -0.3f; },
         {0.143814, -0.288721, -0.060802, 0.258987, 0.175105}},
        {"axle lifted and moved back",
         [](Bak1& m) {
             m.WheelLift = 0.2f;
             m.WheelDisp = -0.15f;
         },
         {-0.150631, -0.123590, 0.033827, 0.054739, 0.000059}},
        {"eccentric at -80 degrees",
         [](Bak1& m) { m.GearRecord.CAE = float(-80 * kPi / 180); },
         {-0.158861, -0.036852, 0.041032, 0.071867, 0.014754}},
    };
    const double settings[5] = {1, 1, 0, -1, 0.5};
    const double angles[5] = {0, 130, 250, 40, 300};
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        model_.SetExample();
        v.change(model_);
        model_.InitialiseGear();
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(ValveAt(settings[i], angles[i]), v.expected[i], 2e-5) << angles[i] << " deg";
    }
    EXPECT_TRUE(MessageLines().empty());
}

TEST_F(Bak1Test, SolvedLinkageKeepsEveryLengthOverWholeRevolutions) {
    const Bak1Record& g = model_.GearRecord;
    const Bak1Points& p = model_.Points();
    for (double setting : {1.0, 0.0, -1.0}) {
        for (int degrees = 0; degrees < 360; degrees += 5) {
            SCOPED_TRACE(::testing::Message() << "g " << setting << " crank " << degrees);
            ValveAt(setting, degrees);
            ASSERT_TRUE(model_.BellCrank().Converged());
            EXPECT_LE(model_.BellCrank().passes, 5);
            EXPECT_NEAR(Dist(p.X, p.E), g.EX, 1e-4);
            EXPECT_NEAR(Dist(p.Z, p.P), g.PZ, 1e-5);
            EXPECT_NEAR(Dist(p.X, p.Z), model_.XZ, 1e-4);
            EXPECT_NEAR(Dist(p.Y, p.Z), g.YZ, 1e-5);
            EXPECT_LT(std::fabs(Dist(p.Y, p.R) - g.RY), model_.RadiusBarTolerance);
            EXPECT_NEAR(Dist(p.B, p.P), g.BP, 1e-5);
            EXPECT_NEAR(Dist(p.T, p.B), g.BT, 1e-4);
            EXPECT_NEAR(p.T.y, g.GVy + g.TV, 1e-5);
            EXPECT_NEAR(Dist(p.U, p.T), g.UV + g.TV, 1e-4);
            EXPECT_NEAR(Dist(p.U, p.D), g.DU, 1e-4);
            EXPECT_NEAR(p.V.y, g.GVy, 1e-6);
            EXPECT_EQ(model_.ValvePos(), model_.LinkValvePos()); // no slack
        }
    }
    // Mid gear stands the yoke at its mid angle.
    ValveAt(0, 10);
    EXPECT_NEAR(std::atan2(double(p.R.y) - p.L.y, double(p.R.x) - p.L.x), g.MRYA, 1e-5);
    EXPECT_TRUE(MessageLines().empty());
}

TEST_F(Bak1Test, RevolutionStartsAndHalvesAtTheDeadCentresAndMatchesCalcGear) {
    StepArrays steps{};
    EventRecord events{};
    model_.Slack = 0.03f;
    for (const std::uint8_t fwd : {1, 0}) {
        SCOPED_TRACE(int(fwd));
        state_.fwd = fwd;
        model_.GearRecord.LastForward = static_cast<std::uint8_t>(1 - fwd);
        // After one revolution the backlash leaves the valve as it found it.
        model_.SolveRevolution(steps, 40, events, -0.5f);
        model_.SolveRevolution(steps, 40, events, -0.5f);
        EXPECT_EQ(model_.GearRecord.LastForward, fwd);
        EXPECT_EQ(events.BobbinSpacing, model_.GearRecord.BobbinSpacing);
        const std::size_t first = fwd != 0 ? 0 : 40;
        EXPECT_NEAR(steps.StepPistonPct[first], 0.0, 1e-3);
        EXPECT_NEAR(steps.StepPistonPct[20], 100.0, 1e-3);
        const StepArrays solved = steps;
        int held = 0;
        for (int k = 0; k <= 40; ++k) {
            const float angle = static_cast<float>(static_cast<double>(k) / 40 * 2.0 * kPi);
            model_.CalcGear(angle, -0.5f);
            const std::size_t i = static_cast<std::size_t>(fwd != 0 ? k : 40 - k);
            EXPECT_EQ(solved.StepValvePos[i], model_.ValvePos()) << k;
            EXPECT_EQ(solved.StepPistonPct[i], model_.PistonPct()) << k;
            held += model_.ValvePos() != model_.LinkValvePos();
            EXPECT_LE(std::fabs(model_.ValvePos() - model_.LinkValvePos()), 0.03f + 1e-6f);
        }
        EXPECT_GT(held, 0); // the slack holds the valve after each reversal
    }
}

TEST_F(Bak1Test, PinsThatCannotBePlacedKeepTheirPlaceAndTheValveWithAMessage) {
    struct Broken {
        const char* name;
        std::function<void(Bak1Record&)> change;
        std::vector<std::string> lines; // written by one position
        bool sickleKept;                // Z, X, Y, B, T, U and V as the working gear left them
        bool valveKept;
    };
    const Broken gears[] = {
        {"eccentric rod too short for the sickle",
         [](Bak1Record& g) { g.EX = 4.0f; },
         {"Error  -2 in CalcGear: Ecc rod cannot reach Sickle", "XZ,EX    2.706   4.000"},
         true,
         true},
        {"radius bar that reaches no position of the sickle",
         [](Bak1Record& g) { g.RY = 9.0f; },
         {"Error 200 in CalcGear: Radius bar cannot reach Sickle"},
         true,
         true},
        {"valve rod too short for the lever's level",
         [](Bak1Record& g) { g.BT = 0.1f; },
         {"Error   0 in CalcGear: No soln for Top of comb lever"},
         false,
         false},
        {"union link too short for the lever's foot",
         [](Bak1Record& g) { g.DU = 0.01f; },
         {"Error  -2 in CalcGear: No soln for Bop of comb lever"},
         false,
         true},
    };
    for (const Broken& b : gears) {
        SCOPED_TRACE(b.name);
        model_.SetExample();
        model_.InitialiseGear();
        ValveAt(1, 30);
        const Bak1Points before = model_.Points();
        const float valve = model_.ValvePos();
        // Changed under the solved gear, as if it had come to a position it cannot take.
        b.change(model_.GearRecord);
        messages_.Create();
        ValveAt(1, 60);
        EXPECT_EQ(MessageLines(), b.lines);
        const Bak1Points& p = model_.Points();
        EXPECT_EQ(SamePin(p.Z, before.Z) && SamePin(p.X, before.X) && SamePin(p.Y, before.Y), b.sickleKept);
        EXPECT_EQ(model_.ValvePos() == valve, b.valveKept);
        if (b.lines[0].find("Top") != std::string::npos) {
            EXPECT_TRUE(SamePin(p.T, before.T)); // the lever's top stays, the rest follows it
        }
        if (b.lines[0].find("Bop") != std::string::npos) {
            EXPECT_TRUE(SamePin(p.U, before.U));
            EXPECT_TRUE(SamePin(p.V, before.V));
        }

        // A whole revolution stays finite and writes at most two lines per position.
        messages_.Create();
        StepArrays steps{};
        EventRecord events{};
        model_.SolveRevolution(steps, 100, events, 1.0f);
        for (std::size_t i = 0; i <= 100; ++i) {
            ASSERT_TRUE(std::isfinite(steps.StepValvePos[i])) << i;
            ASSERT_TRUE(std::isfinite(steps.StepPistonPct[i])) << i;
        }
        EXPECT_LE(MessageLines().size(), 2u * 101u);
    }
    EXPECT_TRUE(dialogs_.informations.empty());
}

constexpr std::uint32_t kGreen = 0x008000;

TEST_F(Bak1Test, DrawingShowsTheMechanismAndTheLettersInOrder) {
    RecordingCanvas canvas(800, 500);
    Glib1 plot(canvas);
    model_.DrawGear(plot, 800, 500, true, 0.7f, 1.0f);
    // Fifteen pin circles; the green polyline of nine rods, the radius bar, the spindle stub and
    // the connecting rod.
    EXPECT_EQ(canvas.CountCircles(), 15);
    EXPECT_EQ(canvas.CountLines(kGreen), 9 + 3);
    std::vector<std::string> letters;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Text))
        if (c.text.size() == 1 && std::isupper(static_cast<unsigned char>(c.text[0])))
            letters.push_back(c.text);
    EXPECT_EQ(letters, (std::vector<std::string>{"G", "C", "A", "E", "D", "U", "V", "T", "B", "Z", "Y", "X",
                                                 "R", "L", "P"}));
    const CanvasCall* z = canvas.FindText("Z");
    ASSERT_NE(z, nullptr);
    const PixelPoint at = plot.WorldToPixel(model_.Points().Z.x, model_.Points().Z.y);
    EXPECT_EQ(z->x1, at.x);
    EXPECT_EQ(z->y1, at.y);
    EXPECT_FLOAT_EQ(state_.ValvePanelHalfWidth, 1.25f + 0.125f);
}

// Seen close up, every pin circle has its own size, a multiple of the crank radius.
TEST_F(Bak1Test, PinCirclesAreDrawnAtTheirMultiplesOfTheCrankRadius) {
    RecordingCanvas canvas(800, 500);
    Glib1 plot(canvas);
    state_.ViewXMin = -0.1f;
    state_.ViewXMax = 0.1f;
    state_.ViewYMin = -0.1f;
    state_.ViewYMax = 0.1f;
    model_.DrawGear(plot, 800, 500, false, 0.7f, 1.0f);
    const double multiples[] = {0.3, 0.15, 0.1, 0.2, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1};
    std::vector<double> radii;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Arc))
        if (c.IsFullEllipse()) radii.push_back((c.x2 - c.x1) / 2.0);
    ASSERT_EQ(radii.size(), std::size(multiples));
    for (std::size_t i = 0; i < radii.size(); ++i)
        EXPECT_NEAR(radii[i], multiples[i] * model_.CrankRadius * plot.ScaleX(), 1.0) << "circle " << i;
}

} // namespace
} // namespace linkwright::testing
