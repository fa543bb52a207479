// The initialisation steps, the return crank's setting and report, the uneven-swing warning, the
// listing's angle column and the parts of the drawing that the two Walschaerts kinds share.
#include "gears/walschaerts/Walschaerts.h"

#include "gears/ValvePanel.h"
#include "plot/Glib1.h"
#include "windows/Dialogs.h"
#include "windows/MessagesFile.h"

#include <cmath>
#include <numbers>
#include <string>
#include <utility>

namespace linkwright {

namespace {

constexpr double kPi = std::numbers::pi;

std::string PadTo49(std::string line) {
    if (line.size() < 49) line.append(49 - line.size(), ' ');
    return line;
}

} // namespace

WalschaertsFixedPoints PlaceFixedPoints(const WalschaertsDimensions& d, float wheelLift, float wheelDisp) {
    WalschaertsFixedPoints f;
    // The axle is placed with the crank radius, so it is derived from the stroke first.
    f.CrankRadius = static_cast<float>(static_cast<double>(d.PistStroke) / 2.0);
    f.CylRef = Point2{0.0f, 0.0f};
    f.A = Point2{static_cast<float>(static_cast<double>(f.CrankRadius) + d.GC + wheelDisp), wheelLift};
    f.P = Point2{static_cast<float>(static_cast<double>(f.A.x) + d.APx - wheelDisp),
                 static_cast<float>(static_cast<double>(f.A.y) + d.APy - wheelLift)};

    // Mid-gear slope of the radius rod and the tail pin it gives.
    const double o = static_cast<double>(d.APy) - d.midGearPinHeight;
    const double bt = d.BT;
    double sinB0 = 0.0;
    double cosB0 = 1.0;
    if (bt > 0.0 && std::fabs(o) <= bt) {
        sinB0 = o / bt;
        cosB0 = std::sqrt(bt * bt - o * o) / bt;
    } else if (o != 0.0) {
        // A radius rod shorter than the offset cannot be level with it; take it as steep as it gets.
        sinB0 = o > 0.0 ? 1.0 : -1.0;
        cosB0 = 0.0;
    }
    f.X0 = Point2{static_cast<float>(f.P.x + d.PXx * cosB0 - d.PXy * sinB0),
                  static_cast<float>(f.P.y + d.PXy * cosB0 + d.PXx * sinB0)};
    f.C0 = Point2{static_cast<float>(static_cast<double>(f.A.x) - f.CrankRadius), f.A.y};

    f.ValveOrigin = Point2{static_cast<float>(static_cast<double>(f.P.x) - d.BT), d.GVy};
    f.LinkHalfAngle = ArcSin(static_cast<float>(static_cast<double>(d.DieBlockChord) / 2.0 / d.BT));
    return f;
}

ReturnCrankSetting setretcrank(const WalschaertsDimensions& d, const WalschaertsFixedPoints& f,
                               MessagesFile& messages) {
    ReturnCrankSetting setting{0.0f, d.AE, d.EX, d.EccLeads};
    const Point2 A = f.A;
    const Point2 X0 = f.X0;
    const Point2 C0 = f.C0;
    const double phi = AngleOf(static_cast<float>(static_cast<double>(A.x) - X0.x),
                               static_cast<float>(static_cast<double>(A.y) - X0.y));
    const double psi = phi + kPi / 2.0;

    const Circle returnCrank{d.CE, C0.x, C0.y};
    const Segment square{A.x, A.y, static_cast<float>(A.x + d.PistStroke * std::cos(psi)),
                         static_cast<float>(A.y + d.PistStroke * std::sin(psi))};
    Point2 p1;
    Point2 p2;
    int count = 0;
    CircleLine(returnCrank, square, p1, p2, count);
    if (count != 2) messages.AppendLine("Error in setretcrank");

    setting.aCAE = static_cast<float>(d.Inside != 0 ? psi - kPi : psi);
    // Without any intersection there is no pin to measure: AE and EX keep their values.
    if (count == 0 || !Finite(p1) || !Finite(p2)) return setting;
    if (p1.y < p2.y) std::swap(p1, p2);
    const Point2 E = d.Inside != 0 ? p1 : p2;
    setting.AE = Distance(E, A);
    setting.EX = Distance(E, X0);
    return setting;
}

ReturnCrankSetting SetReturnCrank(std::string_view kind, const WalschaertsDimensions& d,
                                  const WalschaertsFixedPoints& f, bool autoSetting, MessagesFile& messages) {
    messages.AppendLine("*************************************************");
    messages.AppendLine("**** " + std::string(kind) + " gear initialisation **********");
    messages.AppendLine("*************************************************");

    if (autoSetting) {
        const ReturnCrankSetting setting = setretcrank(d, f, messages);
        messages.AppendLine(PadTo49("Autosetting results:"));
        messages.AppendLine(PadTo49("These are output whenever the gear is edited"));
        messages.AppendLine(PadTo49("and the edit form is OKed, if AutoSetting is on."));
        messages.AppendLine("AE Radius of locus of eccentric pin  " + F(setting.AE, 8, 3));
        messages.AppendLine("EX Eccentric rod length              " + F(setting.EX, 8, 3));
        messages.AppendLine("aCAE Eccentric angle, deg            " + F(Degrees(setting.aCAE), 8, 2));
        return setting;
    }

    // The angle at A of the triangle axle, crank pin, eccentric pin.
    ReturnCrankSetting setting{0.0f, d.AE, d.EX, d.EccLeads};
    const double ae = d.AE;
    const double stroke = d.PistStroke;
    const double ce = d.CE;
    const double cosine = (ae * ae + stroke * stroke / 4.0 - ce * ce) / (ae * stroke);
    // A zero eccentric radius or stroke leaves the angle undefined (and irrelevant): take 0.
    setting.aCAE = std::isfinite(cosine) ? ArcCos(static_cast<float>(cosine)) : 0.0f;
    setting.EccLeads = d.Inside != 0 ? 0 : 1;
    if (d.Inside != 0) setting.aCAE = -setting.aCAE;
    messages.AppendLine("aCAE Eccentric Angle is " + F(Degrees(setting.aCAE), 8, 3));
    return setting;
}

float LinkSwing(Point2 trunnion, Point2 middle, Point2 tail) {
    const float from = AngleOf(static_cast<float>(static_cast<double>(trunnion.x) - middle.x),
                               static_cast<float>(static_cast<double>(trunnion.y) - middle.y));
    const float to = AngleOf(static_cast<float>(static_cast<double>(trunnion.x) - tail.x),
                             static_cast<float>(static_cast<double>(trunnion.y) - tail.y));
    return static_cast<float>(static_cast<double>(to) - from);
}

bool SwingsUneven(float s1, float s2) {
    return std::fabs(static_cast<double>(s1) + s2) > 0.02;
}

bool WarnOfUnevenSwings(float s1, float s2, MessagesFile& messages, Dialogs& dialogs) {
    if (!SwingsUneven(s1, s2)) return false;
    messages.AppendLine("***WARNING*******************************************");
    messages.AppendLine("Note that the angles of swing of the expansion");
    messages.AppendLine("link are not equal.  This can be due to poor");
    messages.AppendLine("setting of the return crank or eccentric rod,");
    messages.AppendLine("or due to an incorrect backset (PXx).");
    messages.AppendLine("The model may still run, but valve events will be uneven.");
    messages.AppendLine("Go to Conditions, set Autosetting and try again.");
    messages.AppendLine("If Autosetting is on, then fiddle with backset under");
    messages.Append("Geometry, PXx");
    messages.Flush();
    dialogs.Information("Uneven Expansion Link Swings! See Message window.");
    return true;
}

void DrawWalschaertsValvePanel(Glib1& plot, SimulationState& state, int width, int height,
                               const GearModel& model, const WalschaertsPins& p, double stroke) {
    ValvePanel panel;
    panel.valving = model.CurrentValving();
    panel.ValvePos = model.ValvePos();
    panel.LinkValvePos = model.LinkValvePos();
    panel.Slack = model.Slack;
    panel.PistonFraction = stroke != 0.0 ? (static_cast<double>(p.G.x) - p.CylRef.x) / stroke : 0.0;
    DrawValvePanel(plot, state, width, height, panel);
}

namespace {

void Line(Glib1& plot, Point2 from, Point2 to) {
    plot.MoveW(from.x, from.y);
    plot.LineW(to.x, to.y);
}

void PinCircle(Glib1& plot, Point2 centre, double multiple, float crankRadius) {
    plot.CircleW(centre.x, centre.y, static_cast<float>(multiple * crankRadius));
}

} // namespace

void DrawCrankAndRods(Glib1& plot, const WalschaertsPins& p, double stroke) {
    plot.SetColour(1);
    Line(plot, p.CylRef, Point2{static_cast<float>(p.CylRef.x + stroke), p.CylRef.y});
    plot.MoveW(p.A.x, p.A.y);
    plot.LineW(p.C.x, p.C.y);
    plot.LineW(p.E.x, p.E.y);
    plot.SetColour(2);
    Line(plot, p.E, p.X);
    Line(plot, p.C, p.G);
}

void DrawLinkPivots(Glib1& plot, const WalschaertsPins& p, float crankRadius, const Point2* hangerPin) {
    plot.SetColour(1);
    PinCircle(plot, p.A, 0.3, crankRadius);
    PinCircle(plot, p.C, 0.15, crankRadius);
    PinCircle(plot, p.E, 0.1, crankRadius);
    PinCircle(plot, p.G, 0.2, crankRadius);
    PinCircle(plot, p.D, 0.1, crankRadius);
    PinCircle(plot, p.P, 0.1, crankRadius);
    PinCircle(plot, p.L, 0.1, crankRadius);
    if (hangerPin != nullptr) PinCircle(plot, *hangerPin, 0.1, crankRadius);
    PinCircle(plot, p.R, 0.2, crankRadius);
    Line(plot, p.R, p.L);
    if (hangerPin != nullptr) plot.LineW(hangerPin->x, hangerPin->y);
    PinCircle(plot, p.X, 0.1, crankRadius);
    plot.PixelW(p.Q.x, p.Q.y);
}

void DrawExpansionLink(Glib1& plot, const WalschaertsPins& p, float BT, float linkHalfAngle) {
    plot.SetColour(2);
    const double a = AngleOf(static_cast<float>(static_cast<double>(p.P.x) - p.Q.x),
                             static_cast<float>(static_cast<double>(p.P.y) - p.Q.y));
    const float from = static_cast<float>(a - linkHalfAngle);
    const float to = static_cast<float>(a + linkHalfAngle);
    plot.ArcW(p.Q.x, p.Q.y, BT, from, to); // counter-clockwise from the tail end
    Line(plot,
         Point2{static_cast<float>(p.Q.x + BT * std::cos(static_cast<double>(from))),
                static_cast<float>(p.Q.y + BT * std::sin(static_cast<double>(from)))},
         p.X);
}

void WalschaertsListing::Begin(const RevolutionPositions& revolution, std::string_view columns) {
    if (fieldsOf_ != revolution.n || angleFields_.size() != revolution.angles.size()) {
        fieldsOf_ = revolution.n;
        angleFields_.resize(revolution.angles.size());
        for (std::size_t i = 0; i < revolution.angles.size(); ++i)
            angleFields_[i] = F(Degrees(revolution.angles[i]), 5, 1) + ' ';
    }
    text_.clear();
    text_ += "Results from last calculation of a cycle\n";
    text_ += columns;
    text_ += '\n';
}

} // namespace linkwright
