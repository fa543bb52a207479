// The steps the Walschaerts kinds share, on a gear with a double hanger (whose radius-rod pin height
// comes from the hanger) and a pin record of its own: the fixed points and the mid-gear tail pin,
// the return crank and its report, the swing warning, and the pins from the crank to the link.
#include "gears/walschaerts/Walschaerts.h"

#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;

double Dist(Point2 a, Point2 b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

// A Walschaerts gear with a double hanger: S 1.0875 above the axle line, hanger SV 0.65.
WalschaertsDimensions DoubleHangerGear() {
    WalschaertsDimensions d;
    d.PistStroke = 0.8f;
    d.GC = 3.208f;
    d.GVy = 0.44f;
    d.APx = -1.6218f;
    d.APy = 0.534f;
    d.BT = 1.925f;
    d.PXx = 0.1677f;
    d.PXy = -0.5238f;
    d.DieBlockChord = 0.8f;
    d.CE = 0.4481f;
    d.AE = 0.2004f;
    d.EX = 1.4846f;
    d.Inside = 1;
    d.midGearPinHeight = 1.0875 - 0.65 + 0.1704; // ASy - SV + TV
    return d;
}

struct Messages {
    ScratchDir scratch;
    MessagesFile file{scratch / "Messages.txt"};
    ScriptedDialogs dialogs;
    Messages() { file.Create(); }
    std::vector<std::string> Lines() {
        file.Flush();
        return ReadLines(file.Path());
    }
};

TEST(Walschaerts, TheMidGearTailPinFollowsTheRadiusRodPinsHeight) {
    const WalschaertsDimensions base = DoubleHangerGear();
    struct Case {
        const char* name;
        double height;
        double sine; // of the radius rod's mid-gear slope
    };
    const Case cases[] = {{"double hanger", base.midGearPinHeight, (0.534 - base.midGearPinHeight) / 1.925},
                          {"pin beside the valve rod", 0.44 + 0.1704, (0.534 - 0.6104) / 1.925},
                          {"level", 0.534, 0.0},
                          {"out of reach below", 0.534 - 3.0, 1.0},
                          {"out of reach above", 0.534 + 3.0, -1.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WalschaertsDimensions d = base;
        d.midGearPinHeight = c.height;
        const WalschaertsFixedPoints f = PlaceFixedPoints(d, 0.05f, -0.02f);
        EXPECT_EQ(f.CrankRadius, 0.4f);
        EXPECT_FLOAT_EQ(f.A.x, 0.4f + 3.208f - 0.02f);
        EXPECT_EQ(f.A.y, 0.05f);
        // The trunnion stays with the frame, whatever the wheel does.
        EXPECT_NEAR(f.P.x, 0.4 + 3.208 - 1.6218, 1e-6);
        EXPECT_NEAR(f.P.y, 0.534, 1e-6);
        EXPECT_EQ(f.C0.y, f.A.y);
        EXPECT_FLOAT_EQ(f.C0.x, f.A.x - 0.4f);
        EXPECT_FLOAT_EQ(f.ValveOrigin.x, f.P.x - 1.925f);
        EXPECT_EQ(f.ValveOrigin.y, 0.44f);
        EXPECT_FLOAT_EQ(f.LinkHalfAngle, float(std::asin(0.4 / 1.925)));
        // The tail pin at its distance from the trunnion, its frame turned by the rod's slope.
        const double tx = double(f.X0.x) - f.P.x, ty = double(f.X0.y) - f.P.y;
        EXPECT_NEAR(std::hypot(tx, ty), std::hypot(0.1677, -0.5238), 1e-6);
        const double turn = std::atan2(ty, tx) - std::atan2(-0.5238, 0.1677);
        EXPECT_NEAR(std::sin(turn), c.sine, 1e-6);
        EXPECT_GE(std::cos(turn), -1e-6);
    }
}

TEST(Walschaerts, TheReturnCrankIsSetOrMeasuredUnderTheKindsHeading) {
    for (bool autoSetting : {false, true}) {
        SCOPED_TRACE(autoSetting ? "auto-set" : "from AE and CE");
        Messages m;
        WalschaertsDimensions d = DoubleHangerGear();
        d.EccLeads = 1; // as an outside-admission gear left it
        const WalschaertsFixedPoints f = PlaceFixedPoints(d, 0, 0);
        const ReturnCrankSetting s = SetReturnCrank("Walschaerts 2", d, f, autoSetting, m.file);
        const std::vector<std::string> lines = m.Lines();
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], std::string(49, '*'));
        EXPECT_EQ(lines[1], "**** Walschaerts 2 gear initialisation **********");
        EXPECT_EQ(lines[2], std::string(49, '*'));
        if (!autoSetting) {
            // Inside admission: the eccentric follows the crank by the angle at the axle of the
            // triangle crank radius, AE, CE.
            EXPECT_NEAR(s.aCAE, -std::acos((0.2004 * 0.2004 + 0.16 - 0.4481 * 0.4481) / (2 * 0.2004 * 0.4)),
                        1e-6);
            EXPECT_EQ(s.EccLeads, 0);
            EXPECT_EQ(s.AE, d.AE);
            EXPECT_EQ(s.EX, d.EX);
            EXPECT_EQ(lines.size(), 4u);
            EXPECT_EQ(lines[3], "aCAE Eccentric Angle is " + F(s.aCAE * 180 / kPi, 8, 3));
            continue;
        }
        // On the front dead centre the eccentric pin stands square to the line from the mid-gear
        // tail pin to the axle, CE from the crank pin, and the rod reaches the tail pin exactly.
        const double psi = std::atan2(double(f.A.y) - f.X0.y, double(f.A.x) - f.X0.x) + kPi / 2;
        EXPECT_NEAR(s.aCAE, psi - kPi, 1e-6);
        const Point2 E{float(f.A.x + s.AE * std::cos(psi)), float(f.A.y + s.AE * std::sin(psi))};
        EXPECT_NEAR(Dist(E, f.C0), d.CE, 1e-5);
        EXPECT_NEAR(Dist(E, f.X0), s.EX, 1e-5);
        EXPECT_EQ(s.EccLeads, d.EccLeads);
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(lines[3], "Autosetting results:                             ");
        EXPECT_EQ(lines[6], "AE Radius of locus of eccentric pin  " + F(s.AE, 8, 3));
    }
}

TEST(Walschaerts, OnlySwingsThatDoNotCancelWarn) {
    struct Case {
        float s1, s2;
        bool uneven;
    };
    const Case cases[] = {{0.5f, -0.5f, false},   {0.5f, -0.4801f, false}, {0.5f, -0.4799f, true},
                          {-0.5f, 0.4799f, true}, {0.0199f, 0.0f, false},  {0.0f, -0.0201f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.s1) + " " + std::to_string(c.s2));
        Messages m;
        EXPECT_EQ(SwingsUneven(c.s1, c.s2), c.uneven);
        EXPECT_EQ(WarnOfUnevenSwings(c.s1, c.s2, m.file, m.dialogs), c.uneven);
        EXPECT_EQ(m.dialogs.informations.size(), c.uneven ? 1u : 0u);
        EXPECT_EQ(m.file.Contents().find("***WARNING***") == 0, c.uneven);
    }
    // As the trunnion sees it: the tail swung from straight behind to 45 degrees below.
    EXPECT_NEAR(LinkSwing(Point2{0, 0}, Point2{-1, 0}, Point2{-1, -1}), kPi / 4, 1e-6);
    EXPECT_NEAR(LinkSwing(Point2{2, 1}, Point2{1, 1}, Point2{1, 2}), -kPi / 4, 1e-6);
}

// A kind's own pin record: the shared pins and one more.
struct HangerPins : WalschaertsPins {
    Point2 M{-5.0f, -5.0f};
};

WalschaertsDrive DriveOf(const WalschaertsDimensions& d, float aCAE) {
    const WalschaertsFixedPoints f = PlaceFixedPoints(d, 0.03f, 0.01f);
    WalschaertsDrive drive;
    drive.CylRef = f.CylRef;
    drive.A = f.A;
    drive.P = f.P;
    drive.R = Point2{1.5f, 0.9f};
    drive.L = Point2{1.0f, 0.8f};
    drive.CrankRadius = f.CrankRadius;
    drive.GC = d.GC;
    drive.DGx = 0.02f;
    drive.DGy = -0.3003f;
    drive.DU = AutomaticUnionLink(f.ValveOrigin, f.CylRef, f.CrankRadius);
    drive.AE = d.AE;
    drive.EX = d.EX;
    drive.BT = d.BT;
    drive.lead = DirectionAt(aCAE);
    drive.tailRadius = float(std::hypot(double(d.PXx), double(d.PXy)));
    drive.tailDirection = DirectionOf(d.PXx, d.PXy);
    return drive;
}

// Every position's shared pins keep their rods' lengths and roots, or, where a rod cannot reach,
// the place of the position before; the kind's own pins are left alone and its step with the
// crosshead sees each position once, in order, with the crosshead placed.
TEST(Walschaerts, TheSharedStepsPlaceEveryPositionOrKeepThePinOfThePositionBefore) {
    struct Case {
        const char* name;
        float GC;
        float EX;
        bool keepsG;
        bool keepsX;
    };
    const Case cases[] = {{"every position reachable", 3.208f, 1.4846f, false, false},
                          {"connecting rod shorter than the crank", 0.25f, 1.4846f, true, false},
                          {"eccentric rod too short for part of the turn", 3.208f, 1.2f, false, true}};
    const float aCAE = -1.9f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WalschaertsDimensions d = DoubleHangerGear();
        d.GC = c.GC;
        d.EX = c.EX;
        const WalschaertsDrive drive = DriveOf(d, aCAE);
        // The run starts where neither broken rod reaches, so the first position keeps `previous`.
        const int n = 72;
        const double start = 4.74;
        std::vector<Direction2> cranks;
        for (int k = 0; k < n; ++k)
            cranks.push_back(DirectionAt(start + k * 2 * kPi / n + kPi));
        WalschaertsPins previous;
        previous.G = Point2{-9.0f, 9.0f};
        previous.X = Point2{9.0f, -9.0f};
        std::vector<HangerPins> out(std::size_t(n) + 3); // longer than the run: the rest stays
        std::vector<const HangerPins*> seen;
        int unsolved = 0;
        PlaceCrankToLink(drive, cranks, std::span<HangerPins>(out), previous, unsolved, [&](HangerPins& p) {
            // With the crosshead: the droplink and the level union link's pin are placed.
            EXPECT_EQ(p.U0.x, float(double(p.D.x) + drive.DU));
            EXPECT_EQ(p.U0.y, p.D.y);
            seen.push_back(&p);
        });
        ASSERT_EQ(seen.size(), std::size_t(n));
        int keptG = 0;
        int keptX = 0;
        for (int k = 0; k < n; ++k) {
            SCOPED_TRACE(k);
            const HangerPins& p = out[std::size_t(k)];
            EXPECT_EQ(seen[std::size_t(k)], &p);
            EXPECT_EQ(p.M.x, -5.0f);
            EXPECT_EQ(p.A.x, drive.A.x);
            EXPECT_EQ(p.L.y, drive.L.y);
            const Point2 before = k == 0 ? previous.G : out[std::size_t(k) - 1].G;
            const Point2 beforeX = k == 0 ? previous.X : out[std::size_t(k) - 1].X;
            const double crank = start + k * 2 * kPi / n + kPi;
            EXPECT_NEAR(Dist(p.C, p.A), drive.CrankRadius, 1e-6);
            EXPECT_NEAR(
                std::remainder(std::atan2(double(p.C.y) - p.A.y, double(p.C.x) - p.A.x) - crank, 2 * kPi), 0,
                1e-5);
            EXPECT_NEAR(Dist(p.E, p.A), drive.AE, 1e-6);
            EXPECT_NEAR(std::remainder(
                            std::atan2(double(p.E.y) - p.A.y, double(p.E.x) - p.A.x) - crank - aCAE, 2 * kPi),
                        0, 1e-5);

            if (std::fabs(Dist(p.G, p.C) - drive.GC) > 1e-5) {
                ++keptG;
                EXPECT_EQ(std::memcmp(&p.G, &before, sizeof before), 0);
            } else {
                // On the line of stroke through the cylinder and the axle, on the cylinder's side.
                const double across = (double(p.A.x) - p.CylRef.x) * (double(p.G.y) - p.CylRef.y) -
                                      (double(p.A.y) - p.CylRef.y) * (double(p.G.x) - p.CylRef.x);
                EXPECT_NEAR(across / Dist(p.A, p.CylRef), 0, 1e-5);
                EXPECT_LT(p.G.x, p.C.x);
            }
            EXPECT_EQ(p.D.x, float(double(p.G.x) + drive.DGx));
            EXPECT_EQ(p.D.y, float(double(p.G.y) + drive.DGy));

            if (std::fabs(Dist(p.X, p.E) - drive.EX) > 1e-5) {
                ++keptX;
                EXPECT_EQ(std::memcmp(&p.X, &beforeX, sizeof beforeX), 0);
            } else {
                EXPECT_NEAR(Dist(p.X, p.P), drive.tailRadius, 1e-5);
                // The lower root: the other one is X mirrored in the line from P to E.
                const double ux = double(p.E.x) - p.P.x, uy = double(p.E.y) - p.P.y;
                const double t =
                    ((double(p.X.x) - p.P.x) * ux + (double(p.X.y) - p.P.y) * uy) / (ux * ux + uy * uy);
                const double otherY = 2 * (p.P.y + t * uy) - p.X.y;
                EXPECT_LE(p.X.y, otherY + 1e-6);
            }
            // The link's centre BT behind the trunnion, in the frame where the tail points along
            // (PXx, PXy).
            EXPECT_NEAR(Dist(p.Q, p.P), drive.BT, 1e-5);
            const double ax = (double(p.P.x) - p.Q.x) / drive.BT, ay = (double(p.P.y) - p.Q.y) / drive.BT;
            const double tail = Dist(p.X, p.P);
            const double tx = (double(p.X.x) - p.P.x) / tail, ty = (double(p.X.y) - p.P.y) / tail;
            EXPECT_NEAR(tx * ax + ty * ay, d.PXx / drive.tailRadius, 1e-5);
            EXPECT_NEAR(ax * ty - ay * tx, d.PXy / drive.tailRadius, 1e-5);
        }
        EXPECT_EQ(keptG > 0, c.keepsG);
        EXPECT_EQ(keptX > 0, c.keepsX);
        EXPECT_EQ(unsolved, keptG + keptX); // every pin kept is counted
        EXPECT_EQ(std::memcmp(&out[0].G, &previous.G, sizeof previous.G) == 0, c.keepsG);
        EXPECT_EQ(std::memcmp(&out[0].X, &previous.X, sizeof previous.X) == 0, c.keepsX);
        EXPECT_LT(keptG, n);
        EXPECT_LT(keptX, n);
        for (std::size_t i = std::size_t(n); i < out.size(); ++i)
            EXPECT_EQ(out[i].C.x, 0.0f);
    }
}

} // namespace
} // namespace linkwright::testing
