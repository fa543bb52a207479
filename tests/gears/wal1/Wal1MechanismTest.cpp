// Walschaerts 1 linkage: initialisation report and auto-setting, the solved pins over whole
// revolutions, backlash, the auto-computed fields and positions the linkage cannot reach.
#include "tests/gears/wal1/Wal1Fixture.h"

#include <numbers>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;

// Every rod of the linkage keeps its length at every solved position.
void ExpectRodLengths(const Wal1& model, const std::string& where) {
    const Wal1Points& p = model.Points();
    const Wal1Record& g = model.GearRecord;
    const double tol = 2e-5;
    SCOPED_TRACE(where);
    EXPECT_NEAR(Dist(p.E, p.X), g.EX, tol);
    EXPECT_NEAR(Dist(p.X, p.P), std::hypot(double(g.PXx), double(g.PXy)), tol);
    EXPECT_NEAR(Dist(p.B, p.T), g.BT, tol);
    EXPECT_NEAR(Dist(p.B, p.Q), g.BT, tol);
    EXPECT_NEAR(Dist(p.U, p.T), double(g.TV) + g.UV, tol);
    EXPECT_NEAR(Dist(p.U, p.D), std::fabs(g.DU), tol);
    EXPECT_NEAR(Dist(p.C, p.A), model.CrankRadius, tol);
    EXPECT_NEAR(Dist(p.G, p.C), g.GC, tol);
    EXPECT_NEAR(Dist(p.E, p.A), g.AE, tol);
    EXPECT_NEAR(Dist(p.L, p.R), g.LR, tol);
    // The valve rod pin lies on the valve-rod axis and on the lever line U-T.
    EXPECT_NEAR(p.V.y, model.ValveOrigin.y, tol);
    const double cross =
        (double(p.T.x) - p.U.x) * (double(p.V.y) - p.U.y) - (double(p.T.y) - p.U.y) * (double(p.V.x) - p.U.x);
    EXPECT_NEAR(cross / Dist(p.T, p.U), 0.0, 1e-4);
    // The crosshead stays on the line of stroke through the cylinder and the axle.
    const double stroke = (double(p.A.x) - p.CylRef.x) * (double(p.G.y) - p.CylRef.y) -
                          (double(p.A.y) - p.CylRef.y) * (double(p.G.x) - p.CylRef.x);
    EXPECT_NEAR(stroke / Dist(p.A, p.CylRef), 0.0, tol);
}

TEST_F(Wal1Test, InitialisationReportsTheEccentricAngleAndLinkSwings) {
    model_.InitialiseGear();
    const std::vector<std::string> lines = MessageLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "*************************************************");
    EXPECT_EQ(lines[1], "**** Walschaerts 1 gear initialisation **********");
    EXPECT_EQ(lines[2], "*************************************************");

    // Inside admission: the eccentric pin follows the crank by the angle at A of the triangle
    // with sides crank radius, AE and CE.
    const double r = 2.125 / 2, ae = 0.73, ce = 1.344;
    const double angle = -std::acos((ae * ae + r * r - ce * ce) / (2 * ae * r));
    EXPECT_NEAR(model_.aCAE, angle, 1e-6);
    EXPECT_EQ(lines[3], "aCAE Eccentric Angle is " + F(model_.aCAE * 180.0 / kPi, 8, 3));
    EXPECT_EQ(model_.GearRecord.EccLeads, 0);
    EXPECT_EQ(lines[4].rfind("Exp link swings from midposition, deg ", 0), 0u);
    EXPECT_EQ(lines[4].size(), 38u + 16u);
}

TEST_F(Wal1Test, OutsideAdmissionLetsTheEccentricLead) {
    model_.GearRecord.Inside = 0;
    model_.InitialiseGear();
    EXPECT_GT(model_.aCAE, 0.0f);
    EXPECT_EQ(model_.GearRecord.EccLeads, 1);
}

TEST_F(Wal1Test, AutoSettingSquaresTheEccentricAndReachesTheMidGearTailPin) {
    // Start from a badly set return crank; the example's own dimensions are what the setting gives.
    model_.GearRecord.AE = 0.5f;
    model_.GearRecord.EX = 3.0f;
    model_.AutoSetting = 1;
    model_.InitialiseGear();
    const Wal1Record& g = model_.GearRecord;
    const Wal1Points& p = model_.Points();
    EXPECT_NEAR(g.AE, 0.730, 5e-4);
    EXPECT_NEAR(g.EX, 4.083, 5e-4);

    // The eccentric pin on the front dead centre: CE from the crank pin, square to the line from
    // the tail pin to the axle, and EX from the mid-gear tail pin.
    const double psi = std::atan2(double(p.A.y) - model_.X0.y, double(p.A.x) - model_.X0.x) + kPi / 2;
    EXPECT_NEAR(model_.aCAE, psi - kPi, 1e-5);
    const Point2 E0{float(p.A.x + g.AE * std::cos(psi)), float(p.A.y + g.AE * std::sin(psi))};
    EXPECT_NEAR(Dist(E0, model_.C0), g.CE, 1e-5);
    EXPECT_NEAR(Dist(E0, model_.X0), g.EX, 1e-5);

    const std::vector<std::string> lines = MessageLines();
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[3], "Autosetting results:                             ");
    EXPECT_EQ(lines[4], "These are output whenever the gear is edited     ");
    EXPECT_EQ(lines[5], "and the edit form is OKed, if AutoSetting is on. ");
    EXPECT_EQ(lines[6], "AE Radius of locus of eccentric pin  " + F(g.AE, 8, 3));
    EXPECT_EQ(lines[7], "EX Eccentric rod length              " + F(g.EX, 8, 3));
    EXPECT_EQ(lines[8], "aCAE Eccentric angle, deg            " + F(model_.aCAE * 180.0 / kPi, 8, 2));

    // In mid gear at the dead centre the tail pin sits where the setting put it.
    model_.CalcGear(0.0f, 0.0f);
    EXPECT_NEAR(p.X.x, model_.X0.x, 1e-4);
    EXPECT_NEAR(p.X.y, model_.X0.y, 1e-4);
}

TEST_F(Wal1Test, AutoSettingForOutsideAdmissionTakesTheLowerPin) {
    model_.AutoSetting = 1;
    model_.GearRecord.Inside = 0;
    model_.InitialiseGear();
    const Point2 A = model_.Points().A;
    const double psi = std::atan2(double(A.y) - model_.X0.y, double(A.x) - model_.X0.x) + kPi / 2;
    EXPECT_NEAR(model_.aCAE, psi, 1e-5);
}

TEST_F(Wal1Test, ReturnCrankThatCannotReachTheSquareLineIsReported) {
    model_.AutoSetting = 1;
    model_.GearRecord.CE = 0.1f; // far shorter than the crank radius
    model_.InitialiseGear();
    const std::vector<std::string> lines = MessageLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], "Error in setretcrank");
    // No pin to measure: the eccentric keeps its dimensions, and nothing becomes NaN.
    EXPECT_EQ(model_.GearRecord.AE, 0.73f);
    EXPECT_EQ(model_.GearRecord.EX, 4.083f);
    EXPECT_TRUE(std::isfinite(model_.aCAE));
}

TEST_F(Wal1Test, UnevenLinkSwingsWarnInTheMessagesAndABox) {
    model_.GearRecord.PXx = 1.5f; // a backset far from what the eccentric rod expects
    model_.InitialiseGear();
    EXPECT_GT(std::fabs(double(model_.LinkSwings.s1) + model_.LinkSwings.s2), 0.02);
    ASSERT_EQ(dialogs_.informations.size(), 1u);
    EXPECT_EQ(dialogs_.informations[0], "Uneven Expansion Link Swings! See Message window.");

    const std::vector<std::string> lines = MessageLines();
    const std::vector<std::string> warning = {"***WARNING*******************************************",
                                              "Note that the angles of swing of the expansion",
                                              "link are not equal.  This can be due to poor",
                                              "setting of the return crank or eccentric rod,",
                                              "or due to an incorrect backset (PXx).",
                                              "The model may still run, but valve events will be uneven.",
                                              "Go to Conditions, set Autosetting and try again.",
                                              "If Autosetting is on, then fiddle with backset under",
                                              "Geometry, PXx"};
    ASSERT_GE(lines.size(), 5 + warning.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - long(warning.size()), lines.end()), warning);
    // The last line has no line end: the next report continues it.
    const std::string text = messages_.Contents();
    EXPECT_EQ(text.substr(text.size() - 14), "\nGeometry, PXx");
}

TEST_F(Wal1Test, EvenLinkSwingsShowNoBox) {
    model_.AutoSetting = 1;
    model_.InitialiseGear();
    // The example is set so that the link swings about 28 degrees each way.
    EXPECT_LE(std::fabs(double(model_.LinkSwings.s1) + model_.LinkSwings.s2), 0.02);
    EXPECT_NEAR(model_.LinkSwings.s1, -27.9 * kPi / 180, 0.001);
    EXPECT_TRUE(dialogs_.informations.empty());
    EXPECT_EQ(messages_.Contents().find("WARNING"), std::string::npos);
    EXPECT_NE(messages_.Contents().find("Exp link swings from midposition, deg    -27.9    27.7\n"),
              std::string::npos);
    // The swings are as the check defines them, from the lower tail-pin root of each end position.
    const Wal1Points& p = model_.Points();
    const Wal1Record& g = model_.GearRecord;
    const double k = double(g.AE) / g.EX;
    const double a0 = std::atan2(double(p.P.y) - model_.X0.y, double(p.P.x) - model_.X0.x);
    const double tail = Dist(model_.X0, p.P);
    for (int i = 0; i < 2; ++i) {
        const double sign = i == 0 ? 1 : -1;
        const double ex = p.A.x + sign * (double(model_.X0.x) - p.A.x) * k;
        const double ey = p.A.y + sign * (double(model_.X0.y) - p.A.y) * k;
        // Intersect circle (P, tail) with circle (E, EX) and take the lower point.
        const double dx = ex - p.P.x, dy = ey - p.P.y, d = std::hypot(dx, dy);
        const double a = (tail * tail - double(g.EX) * g.EX + d * d) / (2 * d);
        const double h = std::sqrt(tail * tail - a * a);
        const double mx = p.P.x + a * dx / d, my = p.P.y + a * dy / d;
        const double y1 = my + h * dx / d, y2 = my - h * dx / d;
        const double x1 = mx - h * dy / d, x2 = mx + h * dy / d;
        const double xi = y1 < y2 ? x1 : x2, yi = y1 < y2 ? y1 : y2;
        const double swing = std::atan2(double(p.P.y) - yi, double(p.P.x) - xi) - a0;
        EXPECT_NEAR(i == 0 ? model_.LinkSwings.s1 : model_.LinkSwings.s2, swing, 1e-4);
    }
}

TEST_F(Wal1Test, FirstInitialisationAfterAStrokeChangeUsesTheNewCrankRadius) {
    model_.InitialiseGear();
    model_.GearRecord.PistStroke = 3.0f;
    model_.InitialiseGear();
    EXPECT_EQ(model_.CrankRadius, 1.5f);
    EXPECT_FLOAT_EQ(model_.Points().A.x, 1.5f + 7.25f);
    model_.CalcGear(0.0f, 1.0f);
    // Front dead centre: the crosshead at the cylinder reference, the crank pin GC beyond it.
    EXPECT_NEAR(model_.Points().G.x, 0.0, 1e-5);
    EXPECT_NEAR(model_.PistonPct(), 0.0, 1e-3);
    model_.CalcGear(float(kPi), 1.0f);
    EXPECT_NEAR(model_.PistonPct(), 100.0, 1e-3);
}

TEST_F(Wal1Test, InitialisationCopiesTheViewWindowAndDerivesTheValveOrigin) {
    model_.InitialiseGear();
    EXPECT_EQ(state_.ViewXMin, -2.0f);
    EXPECT_EQ(state_.ViewXMax, 11.0f);
    EXPECT_EQ(state_.ViewYMin, -2.0f);
    EXPECT_EQ(state_.ViewYMax, 7.0f);
    EXPECT_EQ(state_.ValvePanelHalfWidth, 2.0f);
    const Wal1Points& p = model_.Points();
    EXPECT_FLOAT_EQ(p.A.x, 1.0625f + 7.25f);
    EXPECT_FLOAT_EQ(p.P.x, p.A.x - 4.313f);
    EXPECT_FLOAT_EQ(p.P.y, 1.969f);
    EXPECT_FLOAT_EQ(model_.ValveOrigin.x, p.P.x - 4.0f);
    EXPECT_EQ(model_.ValveOrigin.y, 1.5f);
    EXPECT_FLOAT_EQ(model_.LinkHalfAngle, float(std::asin(2.0 / 2 / 4)));
}

TEST_F(Wal1Test, WheelLiftMovesTheAxleButNotTheFrame) {
    model_.InitialiseGear();
    model_.CalcGear(0.5f, 1.0f);
    const Wal1Points before = model_.Points();
    const Point2 valveOrigin = model_.ValveOrigin;

    model_.WheelLift = 0.2f;
    model_.WheelDisp = 0.1f;
    model_.InitialiseGear();
    model_.CalcGear(0.5f, 1.0f);
    const Wal1Points& after = model_.Points();
    EXPECT_FLOAT_EQ(after.A.x, before.A.x + 0.1f);
    EXPECT_FLOAT_EQ(after.A.y, 0.2f);
    // Up to the rounding of the axle's own coordinates.
    EXPECT_NEAR(after.P.x, before.P.x, 1e-6);
    EXPECT_NEAR(after.P.y, before.P.y, 1e-6);
    EXPECT_NEAR(after.R.x, before.R.x, 1e-6);
    EXPECT_NEAR(after.R.y, before.R.y, 1e-6);
    EXPECT_NEAR(model_.ValveOrigin.x, valveOrigin.x, 1e-6);
    EXPECT_NEAR(model_.ValveOrigin.y, valveOrigin.y, 1e-6);
    // The line of stroke tilts with the axle: the crosshead now lies above the horizontal.
    EXPECT_GT(after.G.y, 0.0f);
    ExpectRodLengths(model_, "lifted axle");
}

struct RevolutionCase {
    const char* name;
    float gear;
    bool forward;
    float slack;
    float lift;
    float disp;
};

TEST_F(Wal1Test, SolvedLinkageKeepsEveryRodLengthOverWholeRevolutions) {
    const RevolutionCase cases[] = {{"full forward", 1.0f, true, 0, 0, 0},
                                    {"mid gear", 0.0f, true, 0, 0, 0},
                                    {"full backward", -1.0f, false, 0, 0, 0},
                                    {"half forward with slack", 0.5f, true, 0.05f, 0, 0},
                                    {"forward, lifted wheel", 1.0f, true, 0, 0.15f, 0},
                                    {"backward, slack and lift", -0.6f, false, 0.05f, -0.1f, 0.05f}};
    for (const RevolutionCase& c : cases) {
        model_.SetExample();
        model_.Slack = c.slack;
        model_.WheelLift = c.lift;
        model_.WheelDisp = c.disp;
        model_.InitialiseGear();
        for (int k = 0; k <= 72; ++k) {
            const double angle = (c.forward ? k : 72 - k) / 72.0 * 2 * kPi;
            model_.CalcGear(float(angle), c.gear);
            ExpectRodLengths(model_, std::string(c.name) + " at step " + std::to_string(k));
            EXPECT_LE(std::fabs(double(model_.ValvePos()) - model_.LinkValvePos()), c.slack + 1e-6);
        }
    }
}

TEST_F(Wal1Test, ValveTravelGrowsWithTheGearSettingAndReversesItsTiming) {
    model_.InitialiseGear();
    const auto travel = [this](float gear) {
        float lo = 1e9f, hi = -1e9f;
        for (int k = 0; k < 360; ++k) {
            model_.CalcGear(float(k * kPi / 180), gear);
            lo = std::min(lo, model_.ValvePos());
            hi = std::max(hi, model_.ValvePos());
        }
        return hi - lo;
    };
    const float full = travel(1.0f), half = travel(0.5f), mid = travel(0.0f), back = travel(-1.0f);
    EXPECT_GT(full, half);
    EXPECT_GT(half, mid);
    EXPECT_GT(mid, 0.0f); // the combination lever alone still moves the valve by the lap and lead
    EXPECT_NEAR(full, back, 0.25 * full);
}

TEST_F(Wal1Test, BacklashHoldsTheValveUntilTheLinkageHasMovedBySlack) {
    model_.Slack = 0.05f;
    model_.InitialiseGear();
    float previousLink = 0;
    float previousOut = 0;
    bool sawHold = false;
    for (int k = 0; k <= 720; ++k) {
        model_.CalcGear(float(k * kPi / 360), 1.0f);
        const float link = model_.LinkValvePos();
        const float out = model_.ValvePos();
        if (k > 0) {
            // Either the valve stands still, or it trails the linkage by exactly the slack.
            const bool held = out == previousOut;
            const bool trailing = std::fabs(std::fabs(double(out) - link) - 0.05) < 1e-6;
            EXPECT_TRUE(held || trailing) << "step " << k;
            if (held && link != previousLink) sawHold = true;
        }
        previousLink = link;
        previousOut = out;
    }
    EXPECT_TRUE(sawHold);

    model_.Slack = 0;
    for (int k = 0; k < 100; ++k) {
        model_.CalcGear(float(k * 0.07), 0.3f);
        EXPECT_EQ(model_.ValvePos(), model_.LinkValvePos());
    }
}

TEST_F(Wal1Test, AdjustingTheValveShiftsItsPosition) {
    model_.InitialiseGear();
    model_.CalcGear(1.0f, 1.0f);
    const float plain = model_.LinkValvePos();
    model_.GearRecord.AdjValveX = 0.1f;
    model_.CalcGear(1.0f, 1.0f);
    EXPECT_NEAR(model_.LinkValvePos(), plain + 0.1, 1e-6);
    EXPECT_NEAR(model_.LinkValvePos(), double(model_.Points().V.x) - model_.ValveOrigin.x + 0.1, 1e-6);
}

TEST_F(Wal1Test, AutomaticUnionLinkAndReversingShaftOverwriteTheRecord) {
    Wal1Record& g = model_.GearRecord;
    g.DU = 5.0f;
    g.ARy = 3.0f;
    g.MLAA = 0.2f;
    model_.InitialiseGear();
    model_.CalcGear(0.3f, 0.5f);
    EXPECT_FLOAT_EQ(g.DU, model_.ValveOrigin.x - model_.CrankRadius);
    EXPECT_FLOAT_EQ(g.ARy, 1.5f + 0.469f);
    EXPECT_EQ(g.MLAA, 0.0f);
    EXPECT_FLOAT_EQ(model_.Points().R.y, g.ARy);

    // Unticked, the entered values stay and are used.
    g.AutoDU = 0;
    g.AutoARy = 0;
    g.DU = -1.2f;
    g.ARy = 2.5f;
    g.MLAA = 0.1f;
    model_.CalcGear(0.3f, 0.5f);
    EXPECT_EQ(g.DU, -1.2f);
    EXPECT_EQ(g.ARy, 2.5f);
    EXPECT_EQ(g.MLAA, 0.1f);
    EXPECT_EQ(model_.Points().R.y, 2.5f);
    EXPECT_NEAR(Dist(model_.Points().U, model_.Points().D), 1.2, 2e-5);
    // The lifting arm stands at FLAA x gear - MLAA.
    const Wal1Points& p = model_.Points();
    const double alpha = 0.7 * 0.5 - 0.1;
    EXPECT_NEAR(p.L.x, p.R.x - 1.563 * std::cos(alpha), 1e-5);
    EXPECT_NEAR(p.L.y, p.R.y - 1.563 * std::sin(alpha), 1e-5);
}

TEST_F(Wal1Test, NegativeUpperLeverPutsTheRadiusRodPinBelowTheValveRod) {
    model_.GearRecord.TV = -0.469f;
    model_.GearRecord.Inside = 0;
    model_.GearRecord.APy = 1.5f - 0.469f;
    model_.InitialiseGear();
    for (int k = 0; k < 36; ++k) {
        model_.CalcGear(float(k * kPi / 18), 1.0f);
        EXPECT_LT(model_.Points().T0.y, model_.ValveOrigin.y);
        EXPECT_LT(model_.Points().T.y, model_.ValveOrigin.y);
        ExpectRodLengths(model_, "TV negative, step " + std::to_string(k));
    }
}

TEST_F(Wal1Test, PinsThatCannotBeReachedKeepTheirLastPosition) {
    model_.InitialiseGear();
    model_.CalcGear(0.4f, 1.0f);
    const Wal1Points before = model_.Points();
    const float valveBefore = model_.ValvePos();

    // An eccentric rod far too short for the tail-pin circle.
    model_.GearRecord.EX = 0.5f;
    model_.CalcGear(0.4f, 1.0f);
    EXPECT_EQ(model_.Points().X.x, before.X.x);
    EXPECT_EQ(model_.Points().X.y, before.X.y);
    EXPECT_EQ(model_.ValvePos(), valveBefore);

    // A lever too short for the union link: U stays.
    model_.GearRecord.EX = 4.083f;
    model_.GearRecord.UV = 0.1f;
    model_.GearRecord.TV = 0.1f;
    model_.CalcGear(0.4f, 1.0f);
    EXPECT_EQ(model_.Points().U.x, before.U.x);
    EXPECT_EQ(model_.Points().U.y, before.U.y);
}

TEST_F(Wal1Test, ImpossibleGearsNeverProduceNaN) {
    struct Breakage {
        const char* name;
        float Wal1Record::*field;
        float value;
    };
    const Breakage breakages[] = {{"short eccentric rod", &Wal1Record::EX, 0.2f},
                                  {"long eccentric rod", &Wal1Record::EX, 40.0f},
                                  {"short radius rod", &Wal1Record::BT, 0.05f},
                                  {"zero radius rod", &Wal1Record::BT, 0.0f},
                                  {"short lever", &Wal1Record::UV, 0.01f},
                                  {"short connecting rod", &Wal1Record::GC, 0.2f},
                                  {"zero stroke", &Wal1Record::PistStroke, 0.0f},
                                  {"zero eccentric", &Wal1Record::AE, 0.0f},
                                  {"zero rod", &Wal1Record::EX, 0.0f},
                                  {"far trunnion", &Wal1Record::APy, 30.0f}};
    for (const Breakage& b : breakages) {
        for (int autoSetting = 0; autoSetting < 2; ++autoSetting) {
            SCOPED_TRACE(std::string(b.name) + (autoSetting ? ", auto-set" : ""));
            model_.SetExample();
            model_.AutoSetting = std::uint8_t(autoSetting);
            model_.GearRecord.*b.field = b.value;
            model_.InitialiseGear();
            EXPECT_TRUE(std::isfinite(model_.aCAE));
            EXPECT_TRUE(std::isfinite(model_.LinkSwings.s1) && std::isfinite(model_.LinkSwings.s2));
            for (int k = 0; k <= 36; ++k) {
                model_.CalcGear(float(k * kPi / 18), 1.0f);
                const Wal1Points& p = model_.Points();
                for (Point2 pin : {p.A, p.P, p.C, p.G, p.D, p.E, p.X, p.Q, p.R, p.L, p.B, p.T, p.U, p.V})
                    ASSERT_TRUE(Finite(pin)) << "step " << k;
                ASSERT_TRUE(std::isfinite(model_.ValvePos()));
                ASSERT_TRUE(std::isfinite(model_.PistonPct()));
            }
        }
    }
}

} // namespace
} // namespace linkwright::testing
