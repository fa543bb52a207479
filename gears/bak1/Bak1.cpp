// Baker mechanism: initialisation, the linkage solution of one position with the bell-crank
// iteration and its no-solution messages, the revolution solve, and the drawing.
#include "gears/bak1/Bak1.h"

#include "common/NumberFormat.h"
#include "gears/PinPlacement.h"
#include "gears/ValvePanel.h"
#include "plot/Glib1.h"
#include "windows/MessagesFile.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

namespace linkwright {

namespace {

// The bell crank while it is solved: its angle, and the sickle's pins that angle places.
struct BellCrankState {
    Direction2 arm;  // of P->Z: the pins below were placed along it
    double turn = 0; // the correction the next pass turns the arm by
    Point2 Z;
    Point2 X;
    Point2 Y;
    int status = 0; // of the eccentric rod's intersection with the sickle; not 0 ends the passes
};

Point2 SmallerX(Point2 p1, Point2 p2) {
    return p1.x < p2.x ? p1 : p2;
}

} // namespace

Bak1::Bak1(const GearEnvironment& env) : GearModelOf(env) {}

void Bak1::SetExample() {
    GearRecord = Bak1ExampleRecord();
    ResetUnitVariables();
}

void Bak1::InitialiseGear() {
    const Bak1Record& g = GearRecord;
    Bak1Points& p = pts_;
    p.A0 = Point2{0.0f, 0.0f};
    p.A = Point2{WheelDisp, WheelLift};
    p.P = Point2{static_cast<float>(static_cast<double>(p.A0.x) - g.APx),
                 static_cast<float>(static_cast<double>(p.A0.y) + g.APy)};
    p.L = Point2{static_cast<float>(static_cast<double>(p.A0.x) - g.ALx),
                 static_cast<float>(static_cast<double>(p.A0.y) + g.ALy)};
    p.CylRef = Point2{static_cast<float>(static_cast<double>(p.A0.x) - g.CrankRadius - g.GC), p.A0.y};
    for (Point2* moving : {&p.G, &p.C, &p.E, &p.D, &p.U, &p.V, &p.T, &p.B, &p.Z, &p.Y, &p.X})
        *moving = p.A0;

    const double along = static_cast<double>(g.XYy) + g.YZ;
    XZ = static_cast<float>(std::sqrt(along * along + static_cast<double>(g.XYx) * g.XYx));
    SickleAngle = AngleOf(static_cast<float>(along), g.XYx);
    CrankRadius = g.CrankRadius;
    RadiusBarTolerance = static_cast<float>(0.0025 * static_cast<double>(g.RY));

    CopyViewWindow();
}

Bak1::Drive Bak1::DriveFor(float gearSetting) const {
    const Bak1Record& g = GearRecord;
    Drive drive;
    const double yoke = static_cast<double>(g.FRYA) * gearSetting + g.MRYA;
    drive.R = PlaceInFrame(pts_.L, DirectionAt(yoke), g.LR, 0.0);
    drive.eccentric = DirectionAt(g.CAE);
    drive.bend = DirectionAt(g.BPZ);
    drive.sickle = DirectionAt(SickleAngle);
    return drive;
}

std::optional<float> Bak1::SolvePosition(Direction2 crank, const Drive& drive) {
    const Bak1Record& g = GearRecord;
    MessagesFile& messages = env_.messages;
    Bak1Points& p = pts_;

    // Reverse yoke, crank pin, crosshead, drop link and eccentric pin; a pin that cannot be placed
    // keeps its place.
    if (Finite(drive.R)) p.R = drive.R;
    const Point2 C = PlaceInFrame(p.A, crank, g.CrankRadius, 0.0);
    if (Finite(C)) p.C = C;
    if (!PlaceOnCircleLine(p.G, Circle{g.GC, p.C.x, p.C.y}, Segment{p.CylRef.x, p.CylRef.y, p.A0.x, p.A0.y},
                           p.CylRef))
        ++unsolved_;
    const Point2 D{static_cast<float>(static_cast<double>(p.G.x) + g.DGx),
                   static_cast<float>(static_cast<double>(p.G.y) - g.DGy)};
    if (Finite(D)) p.D = D;
    const Point2 E = PlaceInFrame(p.A, Turned(crank, drive.eccentric), g.AE, 0.0);
    if (Finite(E)) p.E = E;

    // The bell crank turns until the sickle's radius-bar pin is the radius bar's length from R,
    // from the same start at every position; its arm's direction turns with each correction.
    BellCrankState state;
    bellCrank_ = IterateBounded(
        state, IterationLimits{kBak1BellCrankPasses, RadiusBarTolerance}, [&](BellCrankState& s) {
            if (s.turn != 0.0) s.arm = Turned(s.arm, TurnOf(s.turn));
            s.Z = PlaceInFrame(p.P, s.arm, g.PZ, 0.0);
            Point2 p1;
            Point2 p2;
            CircleCircle(Circle{XZ, s.Z.x, s.Z.y}, Circle{g.EX, p.E.x, p.E.y}, p1, p2, s.status);
            if (s.status != 0) return IterationPass::GiveUp();
            s.X = LowerOf(p1, p2);
            const Direction2 diagonal =
                DirectionOf(static_cast<double>(s.X.x) - s.Z.x, static_cast<double>(s.X.y) - s.Z.y);
            s.Y = PlaceInFrame(s.Z, TurnedBack(diagonal, drive.sickle), g.YZ, 0.0);
            const double residual = static_cast<double>(Distance(s.Y, p.R)) - g.RY;
            s.turn = residual / g.PZ;
            return IterationPass::Measured(residual);
        });
    if (state.status != 0) {
        // The sickle and everything it drives stay where they were, and so does the valve.
        messages.AppendLine("Error " + I(state.status, 3) + " in CalcGear: Ecc rod cannot reach Sickle");
        messages.AppendLine("XZ,EX " + F(XZ, 8, 3) + F(g.EX, 8, 3));
        return std::nullopt;
    }
    if (!bellCrank_.Converged() || !Finite(state.Z) || !Finite(state.X) || !Finite(state.Y)) {
        messages.AppendLine("Error " + I(bellCrank_.passes, 3) +
                            " in CalcGear: Radius bar cannot reach Sickle");
        return std::nullopt;
    }
    p.Z = state.Z;
    p.X = state.X;
    p.Y = state.Y;

    const Point2 B = PlaceInFrame(p.P, TurnedBack(state.arm, drive.bend), g.BP, 0.0);
    if (Finite(B)) p.B = B;

    // Top of the combination lever, on the valve rod's level.
    const float h = static_cast<float>(static_cast<double>(p.A0.y) + g.GVy + g.TV);
    Point2 p1;
    Point2 p2;
    int count = 0;
    CircleLine(Circle{g.BT, p.B.x, p.B.y}, Segment{0.0f, h, 1.0f, h}, p1, p2, count);
    if (count == 0)
        messages.AppendLine("Error " + I(count, 3) + " in CalcGear: No soln for Top of comb lever");
    if (count > 0 && Finite(p1) && Finite(p2))
        p.T = SmallerX(p1, p2);
    else
        ++unsolved_;

    // Its foot, held by the union link; without it the valve stays where it was.
    const float lever = static_cast<float>(static_cast<double>(g.UV) + g.TV);
    int status = 0;
    CircleCircle(Circle{lever, p.T.x, p.T.y}, Circle{g.DU, p.D.x, p.D.y}, p1, p2, status);
    if (status != 0) {
        messages.AppendLine("Error " + I(status, 3) + " in CalcGear: No soln for Bop of comb lever");
        return std::nullopt;
    }
    if (!Finite(p1) || !Finite(p2)) return std::nullopt;
    p.U = SmallerX(p1, p2);

    // The valve-spindle pin, interpolated along the lever and kept on the valve rod's axis.
    const Point2 V{
        static_cast<float>(static_cast<double>(p.U.x) + g.UV * (static_cast<double>(p.T.x) - p.U.x) / lever),
        static_cast<float>(static_cast<double>(p.A0.y) + g.GVy)};
    if (!Finite(V)) return std::nullopt;
    p.V = V;
    return static_cast<float>(static_cast<double>(p.V.x) - g.AdjValveX);
}

void Bak1::CalcGear(float crankAngle, float gearSetting) {
    const std::optional<float> valve = SolvePosition(CrankDirection(crankAngle), DriveFor(gearSetting));
    if (valve) ApplyBacklash(*valve);
}

float Bak1::PistonPct() const {
    const double r = GearRecord.CrankRadius;
    if (r == 0.0) return 0.0f;
    return static_cast<float>((static_cast<double>(pts_.G.x) - pts_.CylRef.x) / r * 50.0);
}

void Bak1::SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) {
    GearRecord.LastForward = env_.state.fwd;
    // The positions are solved in turn, as CalcGear would solve them, with the crank directions and
    // the reverse yoke of the whole revolution worked out once.
    SolveRevolutionBatched(
        steps, Nsteps,
        [&](const RevolutionPositions& revolution) {
            const Drive drive = DriveFor(gearSetting);
            solved_.resize(revolution.cranks.size());
            // A valve the linkage cannot move stays where it was: the backlash, given the valve's last
            // position again, leaves it there.
            float valve = LinkValvePos_;
            for (std::size_t k = 0; k < revolution.cranks.size(); ++k) {
                const std::optional<float> solved = SolvePosition(revolution.cranks[k], drive);
                if (!solved) ++unsolved_;
                valve = solved.value_or(valve);
                solved_[k] = SolvedStep{valve, PistonPct()};
            }
        },
        [&](int k) { return solved_[static_cast<std::size_t>(k)]; }, [](int, float) {});
    FillValvingWords(events);
}

EditorTable Bak1::BuildEditor() {
    return BuildEdBak1(*this, env_.state);
}

void Bak1::DeriveAfterEditorOk() {
    Bak1Record& g = GearRecord;
    const double r = g.CrankRadius;
    const double from = static_cast<double>(pts_.CylRef.x) - 2.0 * r;
    g.ViewWindow[0] = static_cast<float>(from);
    g.ViewWindow[1] = static_cast<float>(from + g.GC + 6.0 * r);
    g.ViewWindow[2] = static_cast<float>(-2.0 * r);
    g.ViewWindow[3] = static_cast<float>(4.0 * r);
}

void Bak1::DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle, float gearSetting) {
    CalcGear(crankAngle, gearSetting);
    const Bak1Record& g = GearRecord;
    const Bak1Points& p = pts_;
    SimulationState& state = env_.state;
    const double r = CrankRadius;

    ValvePanel panel;
    panel.valving = CurrentValving();
    panel.ValvePos = ValvePos_;
    panel.LinkValvePos = LinkValvePos_;
    panel.Slack = Slack;
    panel.PistonFraction = r != 0.0 ? (static_cast<double>(p.G.x) - p.CylRef.x) / (2.0 * r) : 0.0;
    DrawValvePanel(plot, state, width, height, panel);

    // Mechanism in the main view window, equal scales.
    plot.SetWindow(true, state.ViewXMin, state.ViewYMin, state.ViewXMax, state.ViewYMax);

    const auto to = [&plot](Point2 at) { plot.LineW(at.x, at.y); };
    const auto line = [&plot, &to](Point2 from, Point2 at) {
        plot.MoveW(from.x, from.y);
        to(at);
    };

    plot.SetColour(1);
    line(p.CylRef, Point2{static_cast<float>(p.CylRef.x + 2.0 * r), 0.0f});
    line(p.L, p.R);
    line(p.A, p.C);
    to(p.E);

    // Eccentric rod, sickle, bell crank, valve rod, combination lever, union link and drop link.
    plot.SetColour(2);
    for (const Point2 at : {p.X, p.Y, p.Z, p.P, p.B, p.T, p.U, p.D, p.G})
        to(at);
    line(p.Y, p.R);
    plot.PixelW(g.AdjValveX, p.V.y); // where V stands with the valve central
    line(p.V, Point2{static_cast<float>(p.V.x - 0.1 * r), p.V.y});
    line(p.C, p.G);

    plot.SetColour(1);
    const std::pair<Point2, double> circles[] = {{p.A, 0.3}, {p.C, 0.15}, {p.E, 0.1}, {p.G, 0.2}, {p.D, 0.1},
                                                 {p.P, 0.1}, {p.L, 0.1},  {p.X, 0.1}, {p.Y, 0.1}, {p.Z, 0.1},
                                                 {p.R, 0.1}, {p.B, 0.1},  {p.T, 0.1}, {p.U, 0.1}, {p.V, 0.1}};
    for (const auto& [at, multiple] : circles)
        plot.CircleW(at.x, at.y, static_cast<float>(multiple * r));
    const float cross = static_cast<float>(static_cast<double>(g.LR) / 5.0);
    for (const Point2 at : {p.P, p.L, p.A})
        plot.CrossW(at.x, at.y, cross);

    plot.SetColour(1);
    plot.Axis(false, "");
    plot.Axis(true, "");

    if (annotate) DrawPinLabels(plot, NamedPins());
}

std::vector<NamedPin> Bak1::NamedPins() const {
    const Bak1Points& p = pts_;
    return {{"G", p.G}, {"C", p.C}, {"A", p.A}, {"E", p.E}, {"D", p.D}, {"U", p.U}, {"V", p.V}, {"T", p.T},
            {"B", p.B}, {"Z", p.Z}, {"Y", p.Y}, {"X", p.X}, {"R", p.R}, {"L", p.L}, {"P", p.P}};
}

} // namespace linkwright
