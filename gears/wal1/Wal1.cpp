// Walschaerts 1 mechanism: initialisation (the Walschaerts steps and this kind's link-swing check),
// the linkage solution of one position, the revolution solve with its listing, and the drawing.
#include "gears/wal1/Wal1.h"

#include "common/NumberFormat.h"
#include "gears/ListingFile.h"
#include "gears/PinPlacement.h"
#include "plot/Glib1.h"
#include "windows/MessagesFile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>

namespace linkwright {

Wal1::Wal1(const GearEnvironment& env) : GearModelOf(env) {}

void Wal1::SetExample() {
    GearRecord = Wal1ExampleRecord();
    ResetUnitVariables();
}

void Wal1::InitialiseGear() {
    Wal1Record& g = GearRecord;
    MessagesFile& messages = env_.messages;

    // The radius-rod pin runs on a horizontal line TV above the valve rod.
    const WalschaertsFixedPoints fixed =
        StartInitialisation("Walschaerts 1", g, static_cast<double>(g.GVy) + g.TV, WheelLift, WheelDisp,
                            AutoSetting != 0, messages, aCAE);
    CrankRadius = fixed.CrankRadius;
    pts_.CylRef = fixed.CylRef;
    pts_.A = fixed.A;
    pts_.P = fixed.P;
    X0 = fixed.X0;
    C0 = fixed.C0;

    LinkSwings = CheckLinkSwings();
    messages.AppendLine("Exp link swings from midposition, deg " + F(Degrees(LinkSwings.s1), 8, 1) +
                        F(Degrees(LinkSwings.s2), 8, 1));
    WarnOfUnevenSwings(LinkSwings.s1, LinkSwings.s2, messages, env_.dialogs);

    ValveOrigin = fixed.ValveOrigin;
    LinkHalfAngle = fixed.LinkHalfAngle;

    CopyViewWindow();
}

Wal1LinkSwings Wal1::CheckLinkSwings() const {
    const Wal1Record& g = GearRecord;
    const Point2 A = pts_.A;
    const Point2 P = pts_.P;
    // The eccentric pin in line with the axle and the tail pin, towards and away from it.
    const double k = static_cast<double>(g.AE) / g.EX;
    const double dx = static_cast<double>(X0.x) - A.x;
    const double dy = static_cast<double>(X0.y) - A.y;
    const Point2 ends[2] = {Point2{static_cast<float>(A.x + dx * k), static_cast<float>(A.y + dy * k)},
                            Point2{static_cast<float>(A.x - dx * k), static_cast<float>(A.y - dy * k)}};
    const Circle tail{Distance(X0, P), P.x, P.y};
    float swings[2] = {0.0f, 0.0f};
    for (int i = 0; i < 2; ++i) {
        // An eccentric rod that cannot reach the tail-pin circle counts as no swing at all.
        Point2 Xi = X0;
        PlaceOnCircleCircle(Xi, Circle{g.EX, ends[i].x, ends[i].y}, tail, LowerRoot{});
        swings[i] = LinkSwing(P, X0, Xi);
    }
    return Wal1LinkSwings{swings[0], swings[1]};
}

// Inline, so that the drive it fills stays in registers for the solve.
[[gnu::always_inline]] inline WalschaertsDrive Wal1::PrepareSolution(float gearSetting) {
    Wal1Record& g = GearRecord;

    // The union link level, or the reversing shaft on the radius-rod pin's height, where the record
    // asks for it.
    if (g.AutoDU != 0) g.DU = AutomaticUnionLink(ValveOrigin, pts_.CylRef, CrankRadius);
    if (g.AutoARy != 0) {
        g.ARy = static_cast<float>(static_cast<double>(g.GVy) + g.TV);
        g.MLAA = 0.0f;
    }

    // Reversing shaft and lifting arm.
    const Point2 R{static_cast<float>(static_cast<double>(pts_.P.x) + g.ARx), g.ARy};
    const float alpha = static_cast<float>(static_cast<double>(g.FLAA) * gearSetting - g.MLAA);

    return MakeWalschaertsDrive(g, pts_, CrankRadius, aCAE, R, memo_.LiftingArmEnd(R, alpha, g.LR), memo_);
}

void Wal1::SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Wal1Points> out) {
    const WalschaertsDrive drive = PrepareSolution(gearSetting);
    const Wal1Record& g = GearRecord;
    const Point2 V0 = ValveOrigin;
    const Point2 P = drive.P;
    const Point2 L = drive.L;
    const std::size_t n = std::min(cranks.size(), out.size());

    // From the crank to the link's centre as in every Walschaerts gear; with the crosshead, the
    // radius-rod pin's line, whose height follows the lever's lean.
    PlaceCrankToLink(drive, cranks.first(n), out.first(n), pts_, unsolved_, [&](Wal1Points& p) {
        const Direction2 lean =
            DirectionOf(static_cast<double>(V0.x) - p.U0.x, static_cast<double>(V0.y) - p.U0.y);
        p.T0 = Point2{V0.x, static_cast<float>(V0.y + g.TV * lean.s)};
    });

    // Each loop below carries the pin of the position before, which an unsolvable intersection
    // keeps.

    // The die block on the link arc, on the radius rod's line from the lifting arm to that line.
    Point2 B = pts_.B;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        if (!PlaceOnCircleLine(B, Circle{g.BT, p.Q.x, p.Q.y}, Segment{p.T0.x, p.T0.y, L.x, L.y}, P))
            ++unsolved_;
        p.B = B;
    }

    // The radius-rod pin on its line.
    Point2 T = pts_.T;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        if (!PlaceOnCircleLine(T, Circle{g.BT, p.B.x, p.B.y},
                               Segment{p.T0.x, p.T0.y, static_cast<float>(p.T0.x + 1.0), p.T0.y}, V0))
            ++unsolved_;
        p.T = T;
    }

    // The bottom of the combination lever, held by the union link from the droplink.
    const float leverLength = static_cast<float>(static_cast<double>(g.TV) + g.UV);
    const float unionLength = std::fabs(g.DU);
    Point2 U = pts_.U;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        if (!PlaceOnCircleCircle(U, Circle{leverLength, p.T.x, p.T.y}, Circle{unionLength, p.D.x, p.D.y},
                                 NearerRoot{p.U0}))
            ++unsolved_;
        p.U = U;
    }

    // The valve rod pin, where the lever crosses the valve-rod axis.
    const Segment valveAxis{V0.x, V0.y, static_cast<float>(V0.x + 10.0), V0.y};
    Point2 V = pts_.V;
    for (std::size_t i = 0; i < n; ++i) {
        Wal1Points& p = out[i];
        if (!PlaceOnLineLine(V, Segment{p.U.x, p.U.y, p.T.x, p.T.y}, valveAxis)) ++unsolved_;
        p.V = V;
    }
}

float Wal1::LinkValveDisplacement(const Wal1Points& p) const {
    return ValveDisplacement(p.V, ValveOrigin, GearRecord.AdjValveX);
}

void Wal1::CalcGear(float crankAngle, float gearSetting) {
    const Direction2 crank = CrankDirection(crankAngle);
    // Solved in place: every pin is written, and each pin carried from the position before is read
    // just before its own loop writes it.
    SolvePositions(std::span<const Direction2>(&crank, 1), gearSetting, std::span<Wal1Points>(&pts_, 1));
    ApplyBacklash(LinkValveDisplacement(pts_));
}

float Wal1::PistonPct() const {
    return PistonPercent(pts_, GearRecord.PistStroke);
}

void Wal1::SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) {
    GearRecord.LastForward = env_.state.fwd;

    // A design solved apart from the shown gear lists nothing: the listing is the shown gear's.
    std::optional<ListingFile> file;
    if (WritesListing) file.emplace(ListingFileName());
    const double stroke = GearRecord.PistStroke;
    // Every position of the revolution is solved in one pass, then listed and stored in turn.
    SolveRevolutionBatched(
        steps, Nsteps,
        [&](const RevolutionPositions& revolution) {
            if (WritesListing)
                listing_.Begin(revolution,
                               "Crankangle RadRodXY DieblockXY TailpinXY EccPinXY XheadXY CrankXY");
            positions_.resize(revolution.cranks.size());
            SolvePositions(revolution.cranks, gearSetting, positions_);
        },
        [&](int k) {
            const Wal1Points& p = positions_[static_cast<std::size_t>(k)];
            return SolvedStep{LinkValveDisplacement(p), PistonPercent(p, stroke)};
        },
        [&](int k, float) {
            const Wal1Points& p = positions_[static_cast<std::size_t>(k)];
            if (WritesListing)
                listing_.AppendLine(static_cast<std::size_t>(k), {p.T, p.B, p.X, p.E, p.G, p.C});
        });
    pts_ = positions_.back();

    if (file) file->Replace(listing_.Text());

    FillValvingWords(events);
}

void Wal1::DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle, float gearSetting) {
    CalcGear(crankAngle, gearSetting);
    const Wal1Record& g = GearRecord;
    const Wal1Points& p = pts_;
    SimulationState& state = env_.state;

    const double stroke = g.PistStroke;
    DrawWalschaertsValvePanel(plot, state, width, height, *this, p, stroke);

    // Mechanism in the main view window, equal scales.
    plot.SetWindow(true, state.ViewXMin, state.ViewYMin, state.ViewXMax, state.ViewYMax);

    const auto line = [&plot](Point2 from, Point2 to) {
        plot.MoveW(from.x, from.y);
        plot.LineW(to.x, to.y);
    };
    const auto circle = [&plot, this](Point2 centre, double multiple) {
        plot.CircleW(centre.x, centre.y, static_cast<float>(multiple * CrankRadius));
    };

    DrawCrankAndRods(plot, p, stroke);
    DrawLinkPivots(plot, p, CrankRadius);
    DrawExpansionLink(plot, p, g.BT, LinkHalfAngle);

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

    if (annotate) DrawPinLabels(plot, NamedPins());
}

std::vector<NamedPin> Wal1::NamedPins() const {
    const Wal1Points& p = pts_;
    return {{"G", p.G}, {"C", p.C}, {"A", p.A}, {"E", p.E}, {"D", p.D}, {"U", p.U}, {"T", p.T},
            {"L", p.L}, {"R", p.R}, {"V", p.V}, {"X", p.X}, {"B", p.B}, {"P", p.P}};
}

} // namespace linkwright
