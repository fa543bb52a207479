// Stephenson 1 mechanism: the valve rod's iteration and the valve it drives, checked against
// positions worked separately in double precision, the lengths the solved linkage keeps over whole
// revolutions, gears that cannot close, the revolution solve and the drawing.
#include "gears/ste1/Ste1.h"

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
#include <numbers>
#include <string>
#include <vector>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;

double Dist(Point2 a, Point2 b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

bool AllFinite(const Ste1Points& p) {
    const StephensonLinkMotion& k = p.link;
    for (Point2 q : {k.C, k.G, k.E, k.J, k.L, k.M, k.Q, k.F, k.K, p.U, p.B, p.V})
        if (!Finite(q)) return false;
    return std::isfinite(k.tau);
}

class Ste1Test : public ::testing::Test {
protected:
    Ste1Test()
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

    // The valve at a position, solved afresh from the example's pins.
    float ValveAt(double g, double degrees) {
        model_.CalcGear(static_cast<float>(degrees * kPi / 180), static_cast<float>(g));
        return model_.LinkValvePos();
    }

    ScratchDir scratch_;
    WorkingDirectory cwd_;
    SimulationState state_{};
    MessagesFile messages_;
    ScriptedDialogs dialogs_;
    Ste1 model_;
};

TEST_F(Ste1Test, ValveAgreesWithSeparatelyWorkedPositions) {
    // Each gear's valve at five positions, worked in double precision from the linkage's own
    // description (the eccentrics, lifting arm, link and valve rod, each corrected to r / 500).
    struct Variant {
        const char* name;
        std::function<void(Ste1&)> change;
        double expected[5];
    };
    const Variant variants[] = {
        {"example", [](Ste1&) {}, {0.120846, 0.067491, -0.052267, -0.038940, -0.029518}},
        {"overhung die block",
         [](Ste1& m) { m.GearRecord.BU = -1.0f; },
         {1.119563, 1.080611, 0.937893, 0.969092, 0.960815}},
        {"crossed rods",
         [](Ste1& m) { m.GearRecord.elEccRodY = 1.0625f; },
         {0.023209, -0.179108, -0.015429, 0.137954, 0.082603}},
        {"axle lifted and moved back",
         [](Ste1& m) {
             m.WheelLift = 0.25f;
             m.WheelDisp = -0.1f;
         },
         {0.024319, -0.029030, -0.148731, -0.135448, -0.126002}},
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
}

TEST_F(Ste1Test, ExampleConvergesQuicklyAndKeepsEveryLengthOverWholeRevolutions) {
    const Ste1Record& g = model_.GearRecord;
    const double tol = model_.Fixed().tolerance;
    const Point2 T = model_.Fixed().T;
    struct Travel {
        double setting;
        double expected;
    };
    for (const Travel t : {Travel{1, 0.46}, Travel{-1, 0.46}, Travel{0, 0.28}, Travel{0.5, 0.33}}) {
        SCOPED_TRACE(t.setting);
        double low = 1e9;
        double high = -1e9;
        for (int degrees = 0; degrees < 360; degrees += 10) {
            SCOPED_TRACE(degrees);
            const float valve = ValveAt(t.setting, degrees);
            low = std::min<double>(low, valve);
            high = std::max<double>(high, valve);
            const Ste1Points& p = model_.Points();
            EXPECT_TRUE(p.link.link.Converged());
            EXPECT_LE(p.link.link.passes, 3);
            EXPECT_TRUE(p.valveRod.Converged());
            EXPECT_LE(p.valveRod.passes, 3);
            // The link's last pass measured the rods within the tolerance; the rod's last pass
            // placed U and B before V took its final correction, which was itself below it.
            EXPECT_NEAR(Dist(p.link.F, p.link.E), g.EF, tol);
            EXPECT_NEAR(Dist(p.link.K, p.link.J), g.EF, tol);
            EXPECT_NEAR(Dist(p.link.M, p.link.L), g.LM, 1e-5);
            EXPECT_NEAR(Dist(p.U, T), g.TU, 1e-5);
            EXPECT_NEAR(Dist(p.B, p.link.Q), g.elRadius, 1e-5);
            EXPECT_NEAR(Dist(p.V, p.U), g.UV, tol);
            EXPECT_NEAR(Dist(p.B, p.V), g.UV + g.BU, 1e-5);
            EXPECT_EQ(p.V.y, 0.0f);       // on the spindle line through O
            EXPECT_LT(p.B.x, p.link.Q.x); // the slot lies on the cylinder side of its centre
        }
        EXPECT_NEAR(high - low, t.expected, 0.005);
    }
}

TEST_F(Ste1Test, EdgeCasesOfTheDieBlockTheCrossheadAndTheLiftingArm) {
    // No rear part of the rod: the die block sits on the hanger pin (both placed from the clevis
    // before its last correction, which is below the tolerance).
    const double tol = model_.Fixed().tolerance;
    ValveAt(1, 70);
    EXPECT_NEAR(Dist(model_.Points().B, model_.Points().U), 0.0, tol);
    // An overhung rod puts the die block between the clevis and the hanger pin.
    model_.GearRecord.BU = -1.0f;
    ValveAt(1, 70);
    const Ste1Points& p = model_.Points();
    EXPECT_GT(p.B.x, p.V.x);
    EXPECT_LT(p.B.x, p.U.x);
    EXPECT_NEAR(Dist(p.U, p.B), 1.0, tol);

    // Crosshead at the dead centres: at O at crank angle 0, a stroke away at pi.
    ValveAt(1, 0);
    EXPECT_NEAR(model_.PistonPct(), 0.0, 1e-4);
    ValveAt(1, 180);
    EXPECT_NEAR(model_.PistonPct(), 100.0, 1e-4);

    // Mid gear holds the lifting arm at its mid angle; the link is then raised and lowered evenly.
    ValveAt(0, 30);
    EXPECT_FLOAT_EQ(model_.Points().link.phi, model_.GearRecord.MidelLiftArmAng);
    ValveAt(-1, 30);
    EXPECT_FLOAT_EQ(model_.Points().link.phi, 0.36651915f);
}

TEST_F(Ste1Test, GearsThatCannotCloseKeepTheirPinsAndStayNumbers) {
    struct Broken {
        const char* name;
        std::function<void(Ste1Record&)> change;
    };
    const Broken gears[] = {
        {"short eccentric rods", [](Ste1Record& g) { g.EF = 1.0f; }},
        {"short valve rod hanger", [](Ste1Record& g) { g.TU = 1.0f; }},
        {"no link hanger", [](Ste1Record& g) { g.LM = 0.0f; }},
        {"rod pins on the link's centre line", [](Ste1Record& g) { g.elEccRodY = 0.0f; }},
        {"slot too small to reach the rod", [](Ste1Record& g) { g.elRadius = 0.01f; }},
        {"no valve rod", [](Ste1Record& g) { g.UV = 0.0f; }},
        {"no crank", [](Ste1Record& g) { g.CrankRadius = 0.0f; }},
    };
    for (const Broken& b : gears) {
        SCOPED_TRACE(b.name);
        model_.SetExample();
        model_.InitialiseGear();
        ValveAt(1, 20);
        const Ste1Points before = model_.Points();
        b.change(model_.GearRecord);
        model_.InitialiseGear();
        for (int degrees = 20; degrees < 380; degrees += 15) {
            const float valve = ValveAt(1, degrees);
            ASSERT_TRUE(std::isfinite(valve)) << degrees;
            ASSERT_TRUE(std::isfinite(model_.ValvePos())) << degrees;
            ASSERT_TRUE(AllFinite(model_.Points())) << degrees;
            ASSERT_TRUE(std::isfinite(model_.PistonPct())) << degrees;
        }
        if (std::string(b.name) == "short valve rod hanger") {
            // The hanger never reaches the rod: its pin stays where the working gear left it.
            EXPECT_EQ(model_.Points().U.x, before.U.x);
            EXPECT_EQ(model_.Points().U.y, before.U.y);
        }
    }
    EXPECT_TRUE(dialogs_.informations.empty());
    messages_.Flush();
    EXPECT_TRUE(ReadLines(messages_.Path()).empty());
}

TEST_F(Ste1Test, RevolutionStoresTheCalcGearPositionsInTheIndexOrderAndCopiesFwd) {
    StepArrays steps{};
    EventRecord events{};
    model_.Slack = 0.02f;
    for (const std::uint8_t fwd : {1, 0}) {
        SCOPED_TRACE(int(fwd));
        state_.fwd = fwd;
        model_.GearRecord.FwdCopy = static_cast<std::uint8_t>(1 - fwd);
        model_.SolveRevolution(steps, 36, events, 0.5f);
        EXPECT_EQ(model_.GearRecord.FwdCopy, fwd);
        EXPECT_EQ(events.PortWidth, model_.GearRecord.PortWidth);
        // CalcGear position after position, carrying the backlash, gives the same entries.
        model_.CalcGear(2 * float(kPi), 0.5f); // the valve where the revolution began to leave it
        model_.SolveRevolution(steps, 36, events, 0.5f);
        const StepArrays solved = steps;
        model_.CalcGear(2 * float(kPi), 0.5f);
        for (int k = 0; k <= 36; ++k) {
            const float angle = static_cast<float>(static_cast<double>(k) / 36 * 2.0 * kPi);
            model_.CalcGear(angle, 0.5f);
            const std::size_t i = static_cast<std::size_t>(fwd != 0 ? k : 36 - k);
            EXPECT_EQ(solved.StepCrankAngle[i], angle) << k;
            EXPECT_EQ(solved.StepValvePos[i], model_.ValvePos()) << k;
            EXPECT_EQ(solved.StepPistonPct[i], model_.PistonPct()) << k;
        }
    }
}

constexpr std::uint32_t kGreen = 0x008000;

TEST_F(Ste1Test, DrawingShowsTheMechanismTheSlotAndTheLettersInOrder) {
    RecordingCanvas canvas(800, 500);
    Glib1 plot(canvas);
    model_.DrawGear(plot, 800, 500, true, 0.7f, 1.0f);
    const Ste1Points& p = model_.Points();

    // Fourteen pin circles; crank, throws, connecting rod, hanger, both rods, valve rod hanger and
    // valve rod in green, with the cross at the slot's centre.
    EXPECT_EQ(canvas.CountCircles(), 14);
    EXPECT_EQ(canvas.CountLines(kGreen), 9 + 2);

    // The slot: elchord of arc about Q, centred on the angle pi + tau.
    std::vector<CanvasCall> slots;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Arc))
        if (!c.IsFullEllipse()) slots.push_back(c);
    ASSERT_EQ(slots.size(), 1u);
    const CanvasCall& slot = slots[0];
    EXPECT_EQ(slot.colour, kGreen);
    const double cx = (slot.x1 + slot.x2) / 2.0;
    const double cy = (slot.y1 + slot.y2) / 2.0;
    const PixelPoint q = plot.WorldToPixel(p.link.Q.x, p.link.Q.y);
    EXPECT_NEAR(cx, q.x, 1.0);
    EXPECT_NEAR(cy, q.y, 1.0);
    // Pixel rows run downwards, so the angles come out negated.
    const double start = -std::atan2(slot.y3 - cy, slot.x3 - cx);
    const double end = -std::atan2(slot.y4 - cy, slot.x4 - cx);
    const double half = 2.0 / 5.734 / 2.0;
    const double span = std::remainder(end - start, 2 * kPi);
    EXPECT_NEAR(span, 2 * half, 0.02);
    EXPECT_NEAR(std::remainder(start + span / 2 - (kPi + p.link.tau), 2 * kPi), 0.0, 0.02);

    std::vector<std::string> letters;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Text))
        if (c.text.size() == 1 && std::isupper(static_cast<unsigned char>(c.text[0])))
            letters.push_back(c.text);
    EXPECT_EQ(letters, (std::vector<std::string>{"G", "C", "A", "E", "F", "J", "B", "K", "L", "M", "R", "T",
                                                 "U", "V"}));
    const CanvasCall* b = canvas.FindText("B");
    ASSERT_NE(b, nullptr);
    const PixelPoint at = plot.WorldToPixel(p.B.x, p.B.y);
    EXPECT_EQ(b->x1, at.x);
    EXPECT_EQ(b->y1, at.y);
}

// Seen close up, every pin circle has its own size, a multiple of the crank radius.
TEST_F(Ste1Test, PinCirclesAreDrawnAtTheirMultiplesOfTheCrankRadius) {
    RecordingCanvas canvas(800, 500);
    Glib1 plot(canvas);
    state_.ViewXMin = -0.1f;
    state_.ViewXMax = 0.1f;
    state_.ViewYMin = -0.1f;
    state_.ViewYMax = 0.1f;
    model_.DrawGear(plot, 800, 500, false, 0.7f, 1.0f);
    const double multiples[] = {0.3, 0.1, 0.1, 0.1, 0.2, 0.15, 0.1, 0.1, 0.1, 0.2, 0.15, 0.1, 0.15, 0.1};
    std::vector<double> radii;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Arc))
        if (c.IsFullEllipse()) radii.push_back((c.x2 - c.x1) / 2.0);
    ASSERT_EQ(radii.size(), std::size(multiples));
    for (std::size_t i = 0; i < radii.size(); ++i)
        EXPECT_NEAR(radii[i], multiples[i] * model_.Fixed().drawingSize * plot.ScaleX(), 1.0)
            << "circle " << i;
}

} // namespace
} // namespace linkwright::testing
