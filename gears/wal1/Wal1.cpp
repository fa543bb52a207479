// Walschaerts 1 mechanism: initialisation with the return-crank auto-setting and the link-swing check,
// the linkage solution of one position, the revolution solve with its listing, and the drawing.
#include "gears/wal1/Wal1.h"

#include "common/NumberFormat.h"
#include "gears/ListingFile.h"
#include "gears/PinPlacement.h"
#include "gears/ValvePanel.h"
#include "plot/Glib1.h"
#include "windows/Dialogs.h"
#include "windows/MessagesFile.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <numbers>
#include <string>

namespace linkwright {

namespace {

constexpr double kPi = std::numbers::pi;

// Bit-for-bit equality: -0 and +0 can lead to different results, so == would not do.
template <std::size_t N> bool SameBits(const float (&kept)[N], std::initializer_list<float> now) {
    return std::memcmp(kept, std::data(now), sizeof kept) == 0;
}

std::string PadTo49(std::string line) {
    if (line.size() < 49) line.append(49 - line.size(), ' ');
    return line;
}

// The piston's position in percent of the stroke: the crosshead's distance from where it stands
// at crank angle 0.
float PistonPercent(const Wal1Points& p, double stroke) {
    if (stroke == 0.0) return 0.0f;
    return static_cast<float>((static_cast<double>(p.G.x) - p.CylRef.x) / stroke * 100.0);
}

} // namespace

Wal1::Wal1(const GearEnvironment& env) : GearModelOf(env) {}

void Wal1::SetExample() {
    GearRecord = Wal1ExampleRecord();
    ResetUnitVariables();
}

void Wal1::InitialiseGear() {
    Wal1Record& g = GearRecord;
    Wal1Points& p = pts_;
    MessagesFile& messages = env_.messages;

    // The axle is placed with the crank radius, so it is derived from the stroke before anything
    // else; otherwise a changed stroke would be solved with the previous radius.
    CrankRadius = static_cast<float>(static_cast<double>(g.PistStroke) / 2.0);

    // Fixed points.
    p.CylRef = Point2{0.0f, 0.0f};
    p.A = Point2{static_cast<float>(static_cast<double>(CrankRadius) + g.GC + WheelDisp), WheelLift};
    p.P = Point2{static_cast<float>(static_cast<double>(p.A.x) + g.APx - WheelDisp),
                 static_cast<float>(static_cast<double>(p.A.y) + g.APy - WheelLift)};

    // Mid-gear slope of the radius rod and the tail pin it gives.
    const double o = static_cast<double>(g.APy) - (static_cast<double>(g.GVy) + g.TV);
    const double bt = g.BT;
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
    X0 = Point2{static_cast<float>(p.P.x + g.PXx * cosB0 - g.PXy * sinB0),
                static_cast<float>(p.P.y + g.PXy * cosB0 + g.PXx * sinB0)};
    C0 = Point2{static_cast<float>(static_cast<double>(p.A.x) - CrankRadius), p.A.y};

    messages.AppendLine("*************************************************");
    messages.AppendLine("**** Walschaerts 1 gear initialisation **********");
    messages.AppendLine("*************************************************");

    if (AutoSetting != 0) {
        setretcrank();
        messages.AppendLine(PadTo49("Autosetting results:"));
        messages.AppendLine(PadTo49("These are output whenever the gear is edited"));
        messages.AppendLine(PadTo49("and the edit form is OKed, if AutoSetting is on."));
        messages.AppendLine("AE Radius of locus of eccentric pin  " + F(g.AE, 8, 3));
        messages.AppendLine("EX Eccentric rod length              " + F(g.EX, 8, 3));
        messages.AppendLine("aCAE Eccentric angle, deg            " + F(Degrees(aCAE), 8, 2));
    } else {
        // The angle at A of the triangle axle, crank pin, eccentric pin.
        const double ae = g.AE;
        const double stroke = g.PistStroke;
        const double ce = g.CE;
        const double cosine = (ae * ae + stroke * stroke / 4.0 - ce * ce) / (ae * stroke);
        // A zero eccentric radius or stroke leaves the angle undefined (and irrelevant): take 0.
        aCAE = std::isfinite(cosine) ? ArcCos(static_cast<float>(cosine)) : 0.0f;
        g.EccLeads = g.Inside != 0 ? 0 : 1;
        if (g.Inside != 0) aCAE = -aCAE;
        messages.AppendLine("aCAE Eccentric Angle is " + F(Degrees(aCAE), 8, 3));
    }

    LinkSwings = CheckLinkSwings();
    messages.AppendLine("Exp link swings from midposition, deg " + F(Degrees(LinkSwings.s1), 8, 1) +
                        F(Degrees(LinkSwings.s2), 8, 1));

    if (std::fabs(static_cast<double>(LinkSwings.s1) + LinkSwings.s2) > 0.02) {
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
        env_.dialogs.Information("Uneven Expansion Link Swings! See Message window.");
    }

    ValveOrigin = Point2{static_cast<float>(static_cast<double>(p.P.x) - g.BT), g.GVy};
    LinkHalfAngle = ArcSin(static_cast<float>(static_cast<double>(g.DieBlockChord) / 2.0 / g.BT));
    CrankRadius = static_cast<float>(static_cast<double>(g.PistStroke) / 2.0);

    CopyViewWindow();
}

void Wal1::setretcrank() {
    Wal1Record& g = GearRecord;
    const Point2 A = pts_.A;
    const double phi = AngleOf(static_cast<float>(static_cast<double>(A.x) - X0.x),
                               static_cast<float>(static_cast<double>(A.y) - X0.y));
    const double psi = phi + kPi / 2.0;

    // The eccentric pin square to the line from the tail pin to the axle, CE from the crank pin
    // on its front dead centre.
    const Circle returnCrank{g.CE, C0.x, C0.y};
    const Segment square{A.x, A.y, static_cast<float>(A.x + g.PistStroke * std::cos(psi)),
                         static_cast<float>(A.y + g.PistStroke * std::sin(psi))};
    Point2 p1;
    Point2 p2;
    int count = 0;
    CircleLine(returnCrank, square, p1, p2, count);
    if (count != 2) env_.messages.AppendLine("Error in setretcrank");

    aCAE = static_cast<float>(g.Inside != 0 ? psi - kPi : psi);
    // Without any intersection there is no pin to measure: AE and EX keep their values.
    if (count == 0 || !Finite(p1) || !Finite(p2)) return;
    if (p1.y < p2.y) std::swap(p1, p2);
    const Point2 E = g.Inside != 0 ? p1 : p2;
    g.AE = Distance(E, A);
    g.EX = Distance(E, X0);
}

Wal1LinkSwings Wal1::CheckLinkSwings() const {
    const Wal1Record& g = GearRecord;
    const Point2 A = pts_.A;
    const Point2 P = pts_.P;
    const double k = static_cast<double>(g.AE) / g.EX;
    const double dx = static_cast<double>(X0.x) - A.x;
    const double dy = static_cast<double>(X0.y) - A.y;
    const Point2 ends[2] = {Point2{static_cast<float>(A.x + dx * k), static_cast<float>(A.y + dy * k)},
                            Point2{static_cast<float>(A.x - dx * k), static_cast<float>(A.y - dy * k)}};
    const Circle tail{Distance(X0, P), P.x, P.y};
    const float a0 = AngleOf(static_cast<float>(static_cast<double>(P.x) - X0.x),
                             static_cast<float>(static_cast<double>(P.y) - X0.y));
    float swings[2] = {0.0f, 0.0f};
    for (int i = 0; i < 2; ++i) {
        // An eccentric rod that cannot reach the tail-pin circle counts as no swing at all.
        Point2 Xi = X0;
        PlaceOnCircleCircle(Xi, Circle{g.EX, ends[i].x, ends[i].y}, tail, LowerRoot{});
        const float ai = AngleOf(static_cast<float>(static_cast<double>(P.x) - Xi.x),
                                 static_cast<float>(static_cast<double>(P.y) - Xi.y));
        swings[i] = static_cast<float>(static_cast<double>(ai) - a0);
    }
    return Wal1LinkSwings{swings[0], swings[1]};
}

void Wal1::PrepareSolution(float gearSetting) {
    Wal1Record& g = GearRecord;
    if (!eccentric_.valid || !SameBits(eccentric_.inputs, {aCAE})) {
        eccentric_.inputs[0] = aCAE;
        eccentric_.lead = DirectionAt(aCAE);
        eccentric_.valid = true;
    }
    if (!tail_.valid || !SameBits(tail_.inputs, {g.PXx, g.PXy})) {
        tail_.inputs[0] = g.PXx;
        tail_.inputs[1] = g.PXy;
        tail_.radius = static_cast<float>(
            std::sqrt(static_cast<double>(g.PXx) * g.PXx + static_cast<double>(g.PXy) * g.PXy));
        tail_.direction = DirectionOf(g.PXx, g.PXy);
        tail_.valid = true;
    }

    // The union link level, or the reversing shaft on the radius-rod pin's height, where the record
    // asks for it.
    if (g.AutoDU != 0)
        g.DU = static_cast<float>(static_cast<double>(ValveOrigin.x) -
                                  (static_cast<double>(pts_.CylRef.x) + CrankRadius));
    if (g.AutoARy != 0) {
        g.ARy = static_cast<float>(static_cast<double>(g.GVy) + g.TV);
        g.MLAA = 0.0f;
    }

    // Reversing shaft and lifting arm.
    const Point2 R{static_cast<float>(static_cast<double>(pts_.P.x) + g.ARx), g.ARy};
    liftingArm_.R = R;
    const float alpha = static_cast<float>(static_cast<double>(g.FLAA) * gearSetting - g.MLAA);
    if (!liftingArm_.valid || !SameBits(liftingArm_.inputs, {R.x, R.y, alpha, g.LR})) {
        liftingArm_.inputs[0] = R.x;
        liftingArm_.inputs[1] = R.y;
        liftingArm_.inputs[2] = alpha;
        liftingArm_.inputs[3] = g.LR;
        liftingArm_.L = PlaceInFrame(R, DirectionAt(alpha), -g.LR, 0.0);
        liftingArm_.valid = true;
    }
}

void Wal1::SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Wal1Points> out) {
    PrepareSolution(gearSetting);
    const Wal1Record& g = GearRecord;
    const Point2 V0 = ValveOrigin;
    const Point2 A = pts_.A;
    const Point2 P = pts_.P;
    const Point2 CylRef = pts_.CylRef;
    const Point2 R = liftingArm_.R;
    const Point2 L = liftingArm_.L;
    const std::size_t n = std::min(cranks.size(), out.size());
    // Each loop below carries the pin of the position before, which an unsolvable intersection
    // keeps.

    // The crank pin and the return crank's pin, which leads it by aCAE; the fixed pins.
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        const Direction2 crank = cranks[i];
        p.CylRef = CylRef;
        p.A = A;
        p.P = P;
        p.R = R;
        p.L = L;
        p.C = PlaceInFrame(A, crank, CrankRadius, 0.0);
        p.E = PlaceInFrame(A, Turned(crank, eccentric_.lead), g.AE, 0.0);
    }

    // The crosshead on the line of stroke through the cylinder and the axle, the droplink, the
    // lever's bottom pin with the union link level, and the radius-rod pin's line, whose height
    // follows the lever's lean.
    const Segment stroke{CylRef.x, CylRef.y, A.x, A.y};
    Point2 G = pts_.G;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        PlaceOnCircleLine(G, Circle{g.GC, p.C.x, p.C.y}, stroke, CylRef);
        p.G = G;
        p.D = Point2{static_cast<float>(static_cast<double>(p.G.x) + g.DGx),
                     static_cast<float>(static_cast<double>(p.G.y) + g.DGy)};
        p.U0 = Point2{static_cast<float>(static_cast<double>(p.D.x) + g.DU), p.D.y};
        const Direction2 lean =
            DirectionOf(static_cast<double>(V0.x) - p.U0.x, static_cast<double>(V0.y) - p.U0.y);
        p.T0 = Point2{V0.x, static_cast<float>(V0.y + g.TV * lean.s)};
    }

    // The eccentric rod's end on the link tail, and the link's centre of curvature, BT behind the
    // trunnion in the link's own frame: the frame is turned as far as the tail now points from
    // where it points in that frame.
    Point2 X = pts_.X;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        PlaceOnCircleCircle(X, Circle{tail_.radius, P.x, P.y}, Circle{g.EX, p.E.x, p.E.y}, LowerRoot{});
        p.X = X;
        const Direction2 tailNow =
            DirectionOf(static_cast<double>(p.X.x) - P.x, static_cast<double>(p.X.y) - P.y);
        p.Q = PlaceInFrame(P, TurnedBack(tailNow, tail_.direction), -g.BT, 0.0);
    }

    // The die block on the link arc, on the radius rod's line from the lifting arm to that line.
    Point2 B = pts_.B;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        PlaceOnCircleLine(B, Circle{g.BT, p.Q.x, p.Q.y}, Segment{p.T0.x, p.T0.y, L.x, L.y}, P);
        p.B = B;
    }

    // The radius-rod pin on its line.
    Point2 T = pts_.T;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        PlaceOnCircleLine(T, Circle{g.BT, p.B.x, p.B.y},
                          Segment{p.T0.x, p.T0.y, static_cast<float>(p.T0.x + 1.0), p.T0.y}, V0);
        p.T = T;
    }

    // The bottom of the combination lever, held by the union link from the droplink.
    const float leverLength = static_cast<float>(static_cast<double>(g.TV) + g.UV);
    const float unionLength = std::fabs(g.DU);
    Point2 U = pts_.U;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        PlaceOnCircleCircle(U, Circle{leverLength, p.T.x, p.T.y}, Circle{unionLength, p.D.x, p.D.y},
                            NearerRoot{p.U0});
        p.U = U;
    }

    // The valve rod pin, where the lever crosses the valve-rod axis.
    const Segment valveAxis{V0.x, V0.y, static_cast<float>(V0.x + 10.0), V0.y};
    Point2 V = pts_.V;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        PlaceOnLineLine(V, Segment{p.U.x, p.U.y, p.T.x, p.T.y}, valveAxis);
        p.V = V;
    }
}

Direction2 Wal1::CrankDirection(float crankAngle) {
    return DirectionAt(static_cast<double>(crankAngle) + kPi);
}

const Wal1::RevolutionMemo& Wal1::Revolution(int Nsteps) {
    RevolutionMemo& memo = revolution_;
    // The angles follow from the number of steps alone.
    if (memo.angles.empty() || memo.Nsteps != Nsteps) {
        memo.Nsteps = Nsteps;
        RevolutionAngles(Nsteps, memo.angles);
        memo.cranks.resize(memo.angles.size());
        memo.angleFields.resize(memo.angles.size());
        for (std::size_t i = 0; i < memo.angles.size(); ++i) {
            memo.cranks[i] = CrankDirection(memo.angles[i]);
            memo.angleFields[i] = F(Degrees(memo.angles[i]), 5, 1) + ' ';
        }
    }
    return memo;
}

float Wal1::LinkValveDisplacement(const Wal1Points& p) const {
    return static_cast<float>(static_cast<double>(p.V.x) - ValveOrigin.x + GearRecord.AdjValveX);
}

void Wal1::CalcGear(float crankAngle, float gearSetting) {
    const Direction2 crank = CrankDirection(crankAngle);
    Wal1Points solved;
    SolvePositions(std::span<const Direction2>(&crank, 1), gearSetting, std::span<Wal1Points>(&solved, 1));
    pts_ = solved;
    ApplyBacklash(LinkValveDisplacement(pts_));
}

float Wal1::PistonPct() const {
    return PistonPercent(pts_, GearRecord.PistStroke);
}

void Wal1::SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) {
    GearRecord.LastForward = env_.state.fwd;

    ListingFile file(OutputFileName);
    std::string& listing = listing_;
    listing.clear();
    listing += "Results from last calculation of a cycle\n";
    listing += "Crankangle RadRodXY DieblockXY TailpinXY EccPinXY XheadXY CrankXY\n";

    // Every position of the revolution is solved in one pass, then listed and stored in turn.
    const RevolutionMemo& revolution = Revolution(Nsteps);
    const std::vector<float>& angles = revolution.angles;
    positions_.resize(angles.size());
    SolvePositions(revolution.cranks, gearSetting, positions_);
    const bool forward = env_.state.fwd != 0;
    const int n = static_cast<int>(angles.size()) - 1;
    const double stroke = GearRecord.PistStroke;
    for (int k = 0; k <= n; ++k) {
        const float angle = angles[static_cast<std::size_t>(k)];
        const Wal1Points& p = positions_[static_cast<std::size_t>(k)];
        ApplyBacklash(LinkValveDisplacement(p));
        // The line is put together in place, then appended whole.
        char line[12 * (FieldRoom(6) + 1) + 1];
        char* at = line;
        for (const Point2* pin : {&p.T, &p.B, &p.X, &p.E, &p.G, &p.C}) {
            at = WriteF(at, pin->x, 6, 3);
            *at++ = ' ';
            at = WriteF(at, pin->y, 6, 3);
            *at++ = ' ';
        }
        *at++ = '\n';
        listing += revolution.angleFields[static_cast<std::size_t>(k)];
        listing.append(line, static_cast<std::size_t>(at - line));
        StoreStep(steps, forward, n, k, angle, PistonPercent(p, stroke), ValvePos_);
    }
    pts_ = positions_.back();

    file.Replace(listing);

    FillValvingWords(events);
}

void Wal1::DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle, float gearSetting) {
    CalcGear(crankAngle, gearSetting);
    const Wal1Record& g = GearRecord;
    const Wal1Points& p = pts_;
    SimulationState& state = env_.state;

    const double stroke = g.PistStroke;
    ValvePanel panel;
    panel.valving = CurrentValving();
    panel.ValvePos = ValvePos_;
    panel.LinkValvePos = LinkValvePos_;
    panel.Slack = Slack;
    panel.PistonFraction = stroke != 0.0 ? (static_cast<double>(p.G.x) - p.CylRef.x) / stroke : 0.0;
    DrawValvePanel(plot, state, width, height, panel);

    // Mechanism in the main view window, equal scales.
    plot.SetWindow(true, state.ViewXMin, state.ViewYMin, state.ViewXMax, state.ViewYMax);

    const auto line = [&plot](Point2 from, Point2 to) {
        plot.MoveW(from.x, from.y);
        plot.LineW(to.x, to.y);
    };
    const auto circle = [&plot, this](Point2 centre, double multiple) {
        plot.CircleW(centre.x, centre.y, static_cast<float>(multiple * CrankRadius));
    };

    plot.SetColour(1);
    line(p.CylRef, Point2{static_cast<float>(p.CylRef.x + stroke), p.CylRef.y});
    plot.MoveW(p.A.x, p.A.y);
    plot.LineW(p.C.x, p.C.y);
    plot.LineW(p.E.x, p.E.y);
    plot.SetColour(2);
    line(p.E, p.X);
    line(p.C, p.G);

    plot.SetColour(1);
    circle(p.A, 0.3);
    circle(p.C, 0.15);
    circle(p.E, 0.1);
    circle(p.G, 0.2);
    circle(p.D, 0.1);
    circle(p.P, 0.1);
    circle(p.L, 0.1);
    circle(p.R, 0.2);
    line(p.R, p.L);
    circle(p.X, 0.1);
    plot.PixelW(p.Q.x, p.Q.y);

    // Expansion link and its tail.
    plot.SetColour(2);
    const double a = AngleOf(static_cast<float>(static_cast<double>(p.P.x) - p.Q.x),
                             static_cast<float>(static_cast<double>(p.P.y) - p.Q.y));
    const float from = static_cast<float>(a - LinkHalfAngle);
    const float to = static_cast<float>(a + LinkHalfAngle);
    plot.ArcW(p.Q.x, p.Q.y, g.BT, from, to); // counter-clockwise from the tail end
    line(Point2{static_cast<float>(p.Q.x + g.BT * std::cos(static_cast<double>(from))),
                static_cast<float>(p.Q.y + g.BT * std::sin(static_cast<double>(from)))},
         p.X);

    plot.SetColour(1);
    circle(p.U, 0.1);
    plot.PixelW(ValveOrigin.x, ValveOrigin.y);
    circle(p.V, 0.1);
    circle(p.B, 0.05);
    circle(p.T, 0.05);
    line(p.G, p.D);

    plot.SetColour(2);
    line(p.D, p.U);
    line(p.U, p.T);
    line(p.T, p.L);
    line(p.V, Point2{static_cast<float>(p.V.x - stroke / 3.0), p.V.y});

    plot.SetColour(1);
    plot.Axis(false, "");
    plot.Axis(true, "");

    if (annotate) {
        const std::pair<const char*, Point2> labels[] = {
            {"G", p.G}, {"C", p.C}, {"A", p.A}, {"E", p.E}, {"D", p.D}, {"U", p.U}, {"T", p.T},
            {"L", p.L}, {"R", p.R}, {"V", p.V}, {"X", p.X}, {"B", p.B}, {"P", p.P}};
        for (const auto& [text, at] : labels) {
            plot.MoveW(at.x, at.y);
            plot.PlotText(text);
        }
    }
}

} // namespace linkwright
