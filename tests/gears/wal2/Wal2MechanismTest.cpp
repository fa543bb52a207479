// Walschaerts 2 linkage: positions against ones worked out separately, the initialisation report and
// its swing check, rod lengths and iteration outcomes over whole revolutions, gears the linkage
// cannot close, the revolution against single positions, the listing and the drawing.
#include "tests/gears/wal2/Wal2Fixture.h"

#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <numbers>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;

struct ReferenceStep {
    int k;
    double pistonPct;
    double valve; // before the backlash
};

struct Reference {
    const char* name;
    float gear;
    std::function<void(Wal2&)> change;
    ReferenceStep steps[6];
};

// 24 steps per revolution, worked out in double arithmetic from the gear's description with the
// record's values rounded to Single; the iterations converge to PistStroke / 10000, so positions
// may differ by a fraction of that.
TEST_F(Wal2Test, PositionsMatchAnIndependentSolution) {
    const Reference references[] = {
        {"full forward",
         1.0f,
         [](Wal2&) {},
         {{0, 0.00000, -0.069523},
          {3, 16.20631, -0.129318},
          {7, 65.85997, -0.089455},
          {11, 98.50516, 0.040581},
          {16, 77.34476, 0.147147},
          {20, 27.34476, 0.067830}}},
        {"short forward cut-off",
         0.3f,
         [](Wal2&) {},
         {{0, 0.00000, -0.071229},
          {3, 16.20631, -0.075960},
          {7, 65.85997, -0.017120},
          {11, 98.50516, 0.060624},
          {16, 77.34476, 0.071230},
          {20, 27.34476, -0.002965}}},
        {"backward",
         -0.7f,
         [](Wal2&) {},
         {{0, 0.00000, -0.073642},
          {3, 16.20631, 0.009581},
          {7, 65.85997, 0.110959},
          {11, 98.50516, 0.089874},
          {16, 77.34476, -0.047014},
          {20, 27.34476, -0.111277}}},
        {"outside admission, fixed union link",
         0.8f,
         [](Wal2& m) {
             m.GearRecord.Inside = 0;
             m.GearRecord.TV = -0.1704f;
             m.GearRecord.AutoDU = 0;
             m.GearRecord.DU = -0.45f;
         },
         {{0, 0.00000, 0.098088},
          {3, 16.20631, 0.156834},
          {7, 65.85997, 0.078965},
          {11, 98.50516, -0.082006},
          {16, 77.34476, -0.170136},
          {20, 27.34476, -0.058181}}},
        {"auto setting, full backward",
         -1.0f,
         [](Wal2& m) { m.AutoSetting = 1; },
         {{0, 0.00000, -0.072374},
          {3, 16.20631, 0.033569},
          {7, 65.85997, 0.144554},
          {11, 98.50516, 0.099771},
          {16, 77.34476, -0.112597},
          {20, 27.34476, -0.162643}}},
        {"axle lifted and moved",
         0.6f,
         [](Wal2& m) {
             m.WheelLift = 0.05f;
             m.WheelDisp = -0.03f;
         },
         {{0, -3.70048, -0.083423},
          {3, 11.96452, -0.116785},
          {7, 61.49294, -0.071500},
          {11, 94.62637, 0.032324},
          {16, 74.19555, 0.085105},
          {20, 24.28118, 0.012534}}},
    };
    for (const Reference& r : references) {
        SCOPED_TRACE(r.name);
        model_.SetExample();
        r.change(model_);
        model_.InitialiseGear();
        for (const ReferenceStep& s : r.steps) {
            model_.CalcGear(float(s.k / 24.0 * 2 * kPi), r.gear);
            EXPECT_NEAR(model_.PistonPct(), s.pistonPct, 1e-4) << "k " << s.k;
            EXPECT_NEAR(model_.LinkValvePos(), s.valve, 2e-5) << "k " << s.k;
        }
    }
}

TEST_F(Wal2Test, InitialisationReportsTheReturnCrankAndTheSwingsOfEveryCall) {
    struct Case {
        const char* name;
        std::function<void(Wal2&)> change;
        const char* swingLine;
        bool warns;
    };
    // The swings are the tail pin's, as the trunnion moved with the wheel sees it, with the
    // eccentric rod and the eccentric stretched and folded; the warning goes by s1 + s2 alone.
    const Case cases[] = {
        {"example, swings 0.0125 rad apart", [](Wal2&) {},
         "Exp link motion, Swing1, Swing2, fullswing degrees  -22.15   22.86   45.01", false},
        {"wheel lifted to 0.0197 rad", [](Wal2& m) { m.WheelLift = 0.0075f; },
         "Exp link motion, Swing1, Swing2, fullswing degrees  -21.94   23.07   45.01", false},
        {"wheel lifted to 0.0207 rad", [](Wal2& m) { m.WheelLift = 0.0085f; },
         "Exp link motion, Swing1, Swing2, fullswing degrees  -21.91   23.10   45.01", true},
        {"wheel moved back", [](Wal2& m) { m.WheelDisp = -0.03f; },
         "Exp link motion, Swing1, Swing2, fullswing degrees  -25.11   19.90   45.01", true},
        {"backset far off", [](Wal2& m) { m.GearRecord.PXx = 0.3f; },
         "Exp link motion, Swing1, Swing2, fullswing degrees  -33.49    6.46   39.94", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.Create();
        dialogs_.informations.clear();
        model_.SetExample();
        c.change(model_);
        for (int call = 0; call < 2; ++call)
            model_.InitialiseGear();
        const std::vector<std::string> lines = MessageLines();
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[0], "*************************************************");
        EXPECT_EQ(lines[1], "**** Walschaerts 2 gear initialisation **********");
        EXPECT_EQ(lines[2], "*************************************************");
        EXPECT_EQ(lines[3], "aCAE Eccentric Angle is  -90.226");
        EXPECT_EQ(lines[4], c.swingLine);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(c.swingLine)), 2);
        EXPECT_EQ(dialogs_.informations.size(), c.warns ? 2u : 0u);
        EXPECT_EQ(messages_.Contents().find("***WARNING***") != std::string::npos, c.warns);
    }
}

TEST_F(Wal2Test, AutoSettingReportsAndSetsTheReturnCrank) {
    model_.AutoSetting = 1;
    model_.InitialiseGear();
    const Wal2Record& g = model_.GearRecord;
    EXPECT_NEAR(g.AE, 0.2008520, 1e-6);
    EXPECT_NEAR(g.EX, 1.4879563, 1e-6);
    EXPECT_NEAR(model_.aCAE, -90.161206 * kPi / 180, 1e-6);
    const std::vector<std::string> lines = MessageLines();
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[3], "Autosetting results:                             ");
    EXPECT_EQ(lines[6], "AE Radius of locus of eccentric pin     0.201");
    EXPECT_EQ(lines[7], "EX Eccentric rod length                 1.488");
    EXPECT_EQ(lines[8], "aCAE Eccentric angle, deg              -90.16");
    EXPECT_EQ(lines[9], "Exp link motion, Swing1, Swing2, fullswing degrees  -22.55   22.45   45.00");
}

TEST_F(Wal2Test, FixedPointsAndTheLiftingArmInMidGear) {
    model_.GearRecord.DU = 5.0f; // overwritten: AutoDU is set
    model_.WheelLift = 0.05f;
    model_.InitialiseGear();
    model_.CalcGear(1.0f, 0.0f);
    const Wal2Record& g = model_.GearRecord;
    const Wal2Points& p = model_.Points();
    EXPECT_FLOAT_EQ(p.A.x, 0.4f + 3.208f);
    EXPECT_FLOAT_EQ(p.A.y, 0.05f);
    EXPECT_NEAR(p.P.y, 0.534, 1e-6); // the trunnion stays on the frame
    EXPECT_NEAR(model_.ValveOrigin.x, p.P.x - 1.925, 1e-6);
    EXPECT_NEAR(model_.SpindleOrigin.x, model_.ValveOrigin.x - 0.6616, 1e-6);
    EXPECT_EQ(model_.SpindleOrigin.y, 0.44f);
    EXPECT_EQ(p.S.x, model_.ValveOrigin.x);
    EXPECT_EQ(p.S.y, 1.0875f);
    EXPECT_FLOAT_EQ(g.DU, model_.ValveOrigin.x - model_.CrankRadius);
    // The reversing shaft from the axle's normal place, and the arm at MLAA in mid gear: the
    // negative angle turns it clockwise, raising its end that points back towards the cylinder.
    EXPECT_NEAR(p.R.x, p.A.x - 1.202, 1e-6);
    EXPECT_NEAR(p.R.y, 0.89, 1e-6);
    EXPECT_NEAR(std::atan2(double(p.R.y) - p.L.y, double(p.R.x) - p.L.x), g.MLAA, 1e-6);
    EXPECT_GT(p.L.y, p.R.y);
    EXPECT_EQ(state_.ViewXMin, -1.0f);
    EXPECT_EQ(state_.ValvePanelHalfWidth, 0.5f);
}

// Every rod keeps its length; the pins the iterations placed last are within their tolerance.
void ExpectLinkage(const Wal2& model, const std::string& where) {
    SCOPED_TRACE(where);
    const Wal2Points& p = model.Points();
    const Wal2Record& g = model.GearRecord;
    const double exact = 2e-6 * 4;
    const double tol = g.PistStroke / 10000.0 + exact;
    ASSERT_TRUE(model.Iterations().radiusRod.Converged());
    ASSERT_TRUE(model.Iterations().lever.Converged());
    EXPECT_NEAR(Dist(p.C, p.A), model.CrankRadius, exact);
    EXPECT_NEAR(Dist(p.G, p.C), g.GC, exact);
    EXPECT_NEAR(Dist(p.E, p.A), g.AE, exact);
    EXPECT_NEAR(Dist(p.E, p.X), g.EX, exact);
    EXPECT_NEAR(Dist(p.L, p.R), g.LR, exact);
    EXPECT_NEAR(Dist(p.B, p.Q), g.BT, exact);
    EXPECT_NEAR(Dist(p.M, p.L), g.LM, exact);
    EXPECT_NEAR(Dist(p.V, p.S), g.SV, exact);
    EXPECT_NEAR(Dist(p.U, p.D), std::fabs(g.DU), exact);
    EXPECT_NEAR(Dist(p.W, p.V), g.VW, exact);
    EXPECT_EQ(p.W.y, g.GVy);
    EXPECT_EQ(p.T.y, float(double(g.GVy) + g.TV));
    // T moved once more after M, B and U were placed from it, by less than the tolerance.
    EXPECT_NEAR(Dist(p.M, p.T), double(g.BT) - g.BM, tol);
    EXPECT_NEAR(Dist(p.B, p.T), g.BT, tol);
    EXPECT_NEAR(Dist(p.U, p.V), g.UV, tol);
    const double top = p.U.x + (double(g.TV) + g.UV) / g.UV * (double(p.V.x) - p.U.x);
    EXPECT_NEAR(top, p.T.x, tol);
}

TEST_F(Wal2Test, WholeRevolutionsKeepTheLinkage) {
    const struct {
        const char* name;
        float gear;
        float lift;
        float disp;
        float slack;
    } cases[] = {{"full forward", 1.0f, 0, 0, 0},
                 {"mid gear", 0.0f, 0, 0, 0},
                 {"backward", -0.9f, 0, 0, 0},
                 {"lifted wheel with slack", 0.5f, 0.04f, -0.02f, 0.01f}};
    for (const auto& c : cases) {
        model_.SetExample();
        model_.WheelLift = c.lift;
        model_.WheelDisp = c.disp;
        model_.Slack = c.slack;
        model_.InitialiseGear();
        for (int k = 0; k <= 120; ++k) {
            model_.CalcGear(float(k / 120.0 * 2 * kPi), c.gear);
            ExpectLinkage(model_, std::string(c.name) + " k " + std::to_string(k));
        }
    }
}

TEST_F(Wal2Test, AGearThatCannotCloseEndsInBoundedTimeAndKeepsItsPins) {
    using O = IterationOutcome;
    struct Case {
        const char* name;
        std::function<void(Wal2Record&)> change;
        O rod;        // how iteration 1 ends
        O lever;      // how iteration 2 ends
        bool rodKept; // T, M and B stay where they were
    };
    const Case cases[] = {
        {"radius-rod hanger too short", [](Wal2Record& g) { g.LM = 0.01f, g.BM = 1.0f; }, O::GaveUp,
         O::Converged, true},
        {"double hanger cannot reach the lever", [](Wal2Record& g) { g.SV = 0.05f; }, O::Converged, O::GaveUp,
         false},
        {"union link out of reach", [](Wal2Record& g) { g.AutoDU = 0, g.DU = 0.01f; }, O::Converged,
         O::GaveUp, false},
        // No tolerance to meet: the rod's first correction exceeds the stroke, and the position goes
        // on from it; the lever runs to its bound.
        {"no stroke", [](Wal2Record& g) { g.PistStroke = 0.0f; }, O::GaveUp, O::HitBound, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model_.SetExample();
        model_.InitialiseGear();
        model_.CalcGear(0.4f, 1.0f);
        const Wal2Points before = model_.Points();
        const float valve = model_.ValvePos();
        c.change(model_.GearRecord);
        // Further on, with the fixed points of the working gear.
        model_.CalcGear(1.2f, 1.0f);
        const Wal2Points& after = model_.Points();
        const Wal2Iterations& it = model_.Iterations();
        EXPECT_EQ(it.radiusRod.outcome, c.rod);
        EXPECT_EQ(it.lever.outcome, c.lever);
        EXPECT_LE(it.radiusRod.passes, kWal2RadiusRodPasses);
        EXPECT_EQ(it.lever.passes, c.lever == O::HitBound ? kWal2LeverPasses : it.lever.passes);
        EXPECT_EQ(after.T.x == before.T.x && after.M.x == before.M.x && after.B.y == before.B.y, c.rodKept);
        if (c.lever != O::Converged) {
            EXPECT_EQ(after.V.x, before.V.x);
            EXPECT_EQ(after.U.y, before.U.y);
            EXPECT_EQ(after.W.x, before.W.x);
            EXPECT_EQ(model_.ValvePos(), valve);
        }
        for (Point2 pin : {after.T, after.M, after.B, after.V, after.U, after.W, after.X, after.Q})
            EXPECT_TRUE(Finite(pin));

        // A whole revolution of such a gear stays finite in its arrays and its listing.
        model_.InitialiseGear();
        StepArrays steps;
        EventRecord events{};
        model_.SolveRevolution(steps, 90, events, 1.0f);
        for (int i = 0; i <= 90; ++i)
            ASSERT_TRUE(std::isfinite(steps.StepValvePos[std::size_t(i)])) << i;
        const std::vector<std::string> listing = ReadLines(model_.ListingFileName());
        ASSERT_EQ(listing.size(), 93u);
        for (const std::string& line : listing)
            EXPECT_EQ(line.find("nan"), std::string::npos) << line;
    }
}

TEST_F(Wal2Test, RevolutionEqualsSuccessivePositionsAndListsThem) {
    // The outside-admission gear with the union link the auto setting gives cannot close its lever
    // near the back dead centre: those positions keep the pins of the last one that closed.
    struct Case {
        const char* name;
        bool outside;
        float slack;
        bool forward;
    };
    const Case cases[] = {{"example with slack", false, 0.01f, true},
                          {"lever open over part of the turn", true, 0.0f, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model_.SetExample();
        if (c.outside) {
            model_.GearRecord.Inside = 0;
            model_.GearRecord.TV = -0.1704f;
        }
        model_.Slack = c.slack;
        state_.fwd = c.forward ? 1 : 0;
        model_.InitialiseGear();
        model_.CalcGear(0.0f, 0.8f);
        StepArrays steps;
        EventRecord events{};
        model_.SolveRevolution(steps, 48, events, 0.8f);
        EXPECT_EQ(model_.GearRecord.LastForward, c.forward ? 1 : 0);
        const std::vector<std::string> listing = ReadLines("Wal2Output.txt");
        ASSERT_EQ(listing.size(), 2u + 49u);
        EXPECT_EQ(listing[0], "Results from last calculation of a cycle");
        EXPECT_EQ(listing[1],
                  "Crankangle CombLeverTopXY CombLeverBotXY DieblockXY TailpinXY EccPinXY XheadXY CrankXY");

        Wal2 single(GearEnvironment{state_, messages_, dialogs_});
        single.SetExample();
        single.GearRecord = model_.GearRecord;
        single.Slack = c.slack;
        single.InitialiseGear();
        single.CalcGear(0.0f, 0.8f);
        int open = 0;
        for (int k = 0; k <= 48; ++k) {
            const float angle = float(k / 48.0 * 2 * kPi);
            single.CalcGear(angle, 0.8f);
            open += !single.Iterations().lever.Converged();
            const std::size_t i = std::size_t(c.forward ? k : 48 - k);
            ASSERT_EQ(steps.StepCrankAngle[i], angle);
            ASSERT_EQ(steps.StepValvePos[i], single.ValvePos()) << k;
            ASSERT_EQ(steps.StepPistonPct[i], single.PistonPct()) << k;
            const Wal2Points& p = single.Points();
            std::string line = F(angle * 180.0 / kPi, 5, 1) + " ";
            for (Point2 pin : {p.T, p.U, p.B, p.X, p.E, p.G, p.C})
                line += F(pin.x, 6, 3) + " " + F(pin.y, 6, 3) + " ";
            ASSERT_EQ(listing[2 + std::size_t(k)], line);
        }
        EXPECT_EQ(open > 0, c.outside);
        EXPECT_EQ(std::memcmp(&model_.Points(), &single.Points(), sizeof(Wal2Points)), 0);
    }
}

TEST_F(Wal2Test, DrawingShowsTheDoubleHangerAndLabelsThePinsInOrder) {
    model_.InitialiseGear();
    RecordingCanvas canvas(800, 500);
    Glib1 plot(canvas);
    model_.DrawGear(plot, 800, 500, false, 0.7f, 1.0f);
    const std::vector<std::string> plain = canvas.Texts();
    // Sixteen pin circles; the link is an arc of its own; Q and V0 as single pixels.
    EXPECT_EQ(canvas.CountCircles(), 16);
    EXPECT_EQ(canvas.Count(CanvasCallKind::Pixel), 2);
    // Eccentric rod, connecting rod, link tail, union link, lever, radius rod, double hanger,
    // valve rod and spindle.
    EXPECT_EQ(canvas.CountLines(0x008000), 9);
    EXPECT_TRUE(canvas.HasText("Walschaerts with double hanger"));

    canvas.Clear();
    model_.DrawGear(plot, 800, 500, true, 0.7f, 1.0f);
    std::vector<std::string> letters;
    for (const CanvasCall& c : canvas.OfKind(CanvasCallKind::Text))
        if (c.text.size() == 1 && std::isupper(static_cast<unsigned char>(c.text[0])))
            letters.push_back(c.text);
    EXPECT_EQ(letters, (std::vector<std::string>{"G", "C", "A", "E", "D", "U", "T", "L", "S", "M", "R", "V",
                                                 "X", "B", "P", "W"}));
    EXPECT_EQ(canvas.Texts().size(), plain.size() + 16);
    const CanvasCall* w = canvas.FindText("W");
    ASSERT_NE(w, nullptr);
    const PixelPoint at = plot.WorldToPixel(model_.Points().W.x, model_.Points().W.y);
    EXPECT_EQ(w->x1, at.x);
    EXPECT_EQ(w->y1, at.y);
}

} // namespace
} // namespace linkwright::testing
