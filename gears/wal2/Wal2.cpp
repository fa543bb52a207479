// Walschaerts 2 mechanism: initialisation (the Walschaerts steps and this kind's link-swing check),
// the linkage solution with its two bounded iterations, the revolution solve with its listing, and
// the drawing.
#include "gears/wal2/Wal2.h"

#include "common/NumberFormat.h"
#include "gears/ListingFile.h"
#include "gears/PinPlacement.h"
#include "plot/Glib1.h"
#include "windows/MessagesFile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace linkwright {

namespace {

// The lower of two points; p1 when both are at the same height.
struct LowerRootFirstOnTies {
    Point2 operator()(Point2 p1, Point2 p2) const { return p2.y < p1.y ? p2 : p1; }
};

// The valve rod pin on the double hanger's circle where it crosses the vertical line x = `x`: the
// lower of the two crossings, worked out directly since the line is vertical. Answers whether the
// hanger reaches the line; the pin stays where it was if not.
[[gnu::always_inline]] inline bool PlaceOnHanger(Point2& pin, const Circle& hanger, float x) {
    const double across = static_cast<double>(x) - hanger.cx;
    const double squared = static_cast<double>(hanger.r) * hanger.r - across * across;
    if (!(squared >= 0.0)) return false;
    const Point2 placed{x, static_cast<float>(hanger.cy - std::sqrt(squared))};
    if (!Finite(placed)) return false;
    pin = placed;
    return true;
}

} // namespace

Wal2::Wal2(const GearEnvironment& env) : GearModelOf(env) {}

void Wal2::SetExample() {
    GearRecord = Wal2ExampleRecord();
    ResetUnitVariables();
}

void Wal2::InitialiseGear() {
    Wal2Record& g = GearRecord;
    MessagesFile& messages = env_.messages;

    // In mid gear the radius-rod pin stands TV above the double hanger's foot.
    const WalschaertsFixedPoints fixed =
        StartInitialisation("Walschaerts 2", g, static_cast<double>(g.ASy) - g.SV + g.TV, WheelLift,
                            WheelDisp, AutoSetting != 0, messages, aCAE);
    CrankRadius = fixed.CrankRadius;
    pts_.CylRef = fixed.CylRef;
    pts_.A = fixed.A;
    pts_.P = fixed.P;
    X0 = fixed.X0;
    C0 = fixed.C0;

    LinkSwings = CheckLinkSwings();
    messages.AppendLine("Exp link motion, Swing1, Swing2, fullswing degrees" +
                        F(Degrees(LinkSwings.s1), 8, 2) + F(Degrees(LinkSwings.s2), 8, 2) +
                        F(Degrees(LinkSwings.full), 8, 2));
    WarnOfUnevenSwings(LinkSwings.s1, LinkSwings.s2, messages, env_.dialogs);

    ValveOrigin = fixed.ValveOrigin;
    const Point2 V0 = ValveOrigin;
    SpindleOrigin = Point2{static_cast<float>(static_cast<double>(V0.x) - g.VW), g.GVy};
    pts_.S = Point2{V0.x, g.ASy};
    LinkHalfAngle = fixed.LinkHalfAngle;

    // Until a position is solved, the pins the iterations place stand where mid gear puts them,
    // with the valve central: a gear that cannot be solved at all keeps these.
    const float pinHeight = static_cast<float>(static_cast<double>(V0.y) + g.TV);
    pts_.T = Point2{V0.x, pinHeight};
    pts_.B = Point2{static_cast<float>(static_cast<double>(V0.x) + g.BT), pinHeight};
    pts_.M = Point2{static_cast<float>(static_cast<double>(V0.x) + g.BT - g.BM), pinHeight};
    pts_.V = Point2{V0.x, static_cast<float>(static_cast<double>(g.ASy) - g.SV)};
    pts_.U = Point2{V0.x, static_cast<float>(static_cast<double>(pts_.V.y) - g.UV)};
    pts_.W = SpindleOrigin;
    iterations_ = Wal2Iterations{};

    CopyViewWindow();
}

Wal2LinkSwings Wal2::CheckLinkSwings() const {
    const Wal2Record& g = GearRecord;
    const Point2 A = pts_.A;
    // The trunnion as the wheel's movement carries it, while X0 stays where the frame has it.
    const Point2 P{static_cast<float>(static_cast<double>(A.x) + g.APx),
                   static_cast<float>(static_cast<double>(A.y) + g.APy)};
    const Circle tail{static_cast<float>(
                          std::sqrt(static_cast<double>(g.PXx) * g.PXx + static_cast<double>(g.PXy) * g.PXy)),
                      P.x, P.y};
    // The tail pin with the eccentric rod and the eccentric in line, stretched and folded. A rod
    // that cannot reach the tail pin's circle counts as no swing at all.
    Point2 stretched = X0;
    Point2 folded = X0;
    PlaceOnCircleCircle(stretched, tail,
                        Circle{static_cast<float>(static_cast<double>(g.EX) + g.AE), A.x, A.y},
                        LowerRootFirstOnTies{});
    PlaceOnCircleCircle(folded, tail, Circle{static_cast<float>(static_cast<double>(g.EX) - g.AE), A.x, A.y},
                        LowerRootFirstOnTies{});
    Wal2LinkSwings swings;
    swings.s1 = LinkSwing(P, X0, stretched);
    swings.s2 = LinkSwing(P, X0, folded);
    swings.full = LinkSwing(P, stretched, folded);
    return swings;
}

// Inline, so that the drive it fills stays in registers for the solve.
[[gnu::always_inline]] inline WalschaertsDrive Wal2::PrepareSolution(float gearSetting) {
    Wal2Record& g = GearRecord;

    // The union link level where the record asks for it.
    if (g.AutoDU != 0) g.DU = AutomaticUnionLink(ValveOrigin, pts_.CylRef, CrankRadius);

    // The reversing shaft stands on the frame, placed from the axle's normal position; the lifting
    // arm's mid-gear angle adds to its swing.
    const Point2 R{static_cast<float>(static_cast<double>(pts_.A.x) + g.ARx - WheelDisp),
                   static_cast<float>(static_cast<double>(pts_.A.y) + g.ARy - WheelLift)};
    const float alpha = static_cast<float>(static_cast<double>(g.FLAA) * gearSetting + g.MLAA);

    return MakeWalschaertsDrive(g, pts_, CrankRadius, aCAE, R, memo_.LiftingArmEnd(R, alpha, g.LR), memo_);
}

void Wal2::SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Wal2Points> out,
                          std::span<Wal2Iterations> iterations) {
    const WalschaertsDrive drive = PrepareSolution(gearSetting);
    const Wal2Record& g = GearRecord;
    const Point2 V0 = ValveOrigin;
    const Point2 P = drive.P;
    const Point2 L = drive.L;
    const Point2 S = pts_.S;
    const std::size_t n = std::min({cranks.size(), out.size(), iterations.size()});
    const float tolerance = static_cast<float>(static_cast<double>(g.PistStroke) / 10000.0);

    // From the crank to the link's centre as in every Walschaerts gear.
    PlaceCrankToLink(drive, cranks.first(n), out.first(n), pts_, unsolved_);

    // Iteration 1: the radius rod pin T slides along its line until the die block, where the rod
    // from T through the hanger pin M meets the link, lies BT from it. Every position starts from
    // the rod's mid-gear place.
    const float pinHeight = static_cast<float>(static_cast<double>(V0.y) + g.TV);
    const float hangerPinReach = static_cast<float>(static_cast<double>(g.BT) - g.BM);
    const double runaway = g.PistStroke;
    radiusRods_.resize(n);
    results_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        RadiusRodState& s = radiusRods_[i];
        s = RadiusRodState{};
        s.Q = out[i].Q;
        s.T = Point2{V0.x, pinHeight};
    }
    IterateBoundedTogether(
        std::span<RadiusRodState>(radiusRods_), IterationLimits{kWal2RadiusRodPasses, tolerance},
        [&](RadiusRodState& s) {
            Point2 M = s.M;
            if (!PlaceOnCircleCircle(M, Circle{hangerPinReach, s.T.x, s.T.y}, Circle{g.LM, L.x, L.y},
                                     NearerRoot{P}))
                return IterationPass::GiveUp();
            Point2 B = s.B;
            if (!PlaceOnCircleLine(B, Circle{g.BT, s.Q.x, s.Q.y}, Segment{s.T.x, s.T.y, M.x, M.y},
                                   NearerRoot{P}))
                return IterationPass::GiveUp();
            s.M = M;
            s.B = B;
            const double d = static_cast<double>(Distance(s.T, B)) - g.BT;
            s.T.x = static_cast<float>(s.T.x + d);
            // A correction beyond the stroke ends the passes, and the position goes on from it.
            if (!(std::fabs(d) < tolerance) && std::fabs(d) > runaway) {
                s.ranAway = true;
                return IterationPass::GiveUp(d);
            }
            return IterationPass::Measured(d);
        },
        std::span<IterationResult>(results_), active_);

    // A rod that found no die block, or did not settle within the passes, stays where the position
    // before left it. The pins of the position before are read before `out` is written, which may
    // be that position itself.
    Point2 T = pts_.T;
    Point2 M = pts_.M;
    Point2 B = pts_.B;
    for (std::size_t i = 0; i < n; ++i) {
        const RadiusRodState& s = radiusRods_[i];
        iterations[i].radiusRod = results_[i];
        if (!results_[i].Converged()) ++unsolved_;
        if (results_[i].Converged() || s.ranAway) {
            T = s.T;
            M = s.M;
            B = s.B;
        }
        Wal2Points& p = out[i];
        p.S = S;
        p.T = T;
        p.M = M;
        p.B = B;
    }

    // Iteration 2: the double hanger swings the valve rod pin V until the lever from the union link
    // through V reaches T. Every position starts with V on the vertical line through T.
    const double leverRatio = (static_cast<double>(g.TV) + g.UV) / g.UV;
    const float unionLength = std::fabs(g.DU);
    const Circle hanger{g.SV, S.x, S.y};
    levers_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        LeverState& s = levers_[i];
        const Wal2Points& p = out[i];
        s = LeverState{};
        s.D = p.D;
        s.U0 = p.U0;
        s.T = p.T;
        s.line = p.T.x;
        s.started = PlaceOnHanger(s.V, hanger, s.line);
    }
    IterateBoundedTogether(
        std::span<LeverState>(levers_), IterationLimits{kWal2LeverPasses, tolerance},
        [&](LeverState& s) {
            if (!s.started) return IterationPass::GiveUp();
            if (!PlaceOnCircleCircle(s.U, Circle{g.UV, s.V.x, s.V.y}, Circle{unionLength, s.D.x, s.D.y},
                                     NearerRoot{s.U0}))
                return IterationPass::GiveUp();
            // The lever's top, extrapolated from U through V.
            const double top = s.U.x + leverRatio * (static_cast<double>(s.V.x) - s.U.x);
            const double e = top - s.T.x;
            s.line = static_cast<float>(s.line - e);
            if (!PlaceOnHanger(s.V, hanger, s.line)) return IterationPass::GiveUp(e);
            return IterationPass::Measured(e);
        },
        std::span<IterationResult>(results_), active_);

    // A lever that did not close keeps V, U and the valve spindle where the position before left
    // them, and so the valve.
    const Segment valveAxis{0.0f, g.GVy, 1.0f, g.GVy};
    Point2 V = pts_.V;
    Point2 U = pts_.U;
    Point2 W = pts_.W;
    for (std::size_t i = 0; i < n; ++i) {
        iterations[i].lever = results_[i];
        if (results_[i].Converged()) {
            V = levers_[i].V;
            U = levers_[i].U;
            if (!PlaceOnCircleLine(W, Circle{g.VW, V.x, V.y}, valveAxis, SmallerXRoot{})) ++unsolved_;
        } else {
            ++unsolved_;
        }
        Wal2Points& p = out[i];
        p.V = V;
        p.U = U;
        p.W = W;
    }
}

float Wal2::LinkValveDisplacement(const Wal2Points& p) const {
    return ValveDisplacement(p.W, SpindleOrigin, GearRecord.AdjValveX);
}

void Wal2::CalcGear(float crankAngle, float gearSetting) {
    const Direction2 crank = CrankDirection(crankAngle);
    // Solved in place: every pin is written, and each pin carried from the position before is read
    // before it is written.
    SolvePositions(std::span<const Direction2>(&crank, 1), gearSetting, std::span<Wal2Points>(&pts_, 1),
                   std::span<Wal2Iterations>(&iterations_, 1));
    ApplyBacklash(LinkValveDisplacement(pts_));
}

float Wal2::PistonPct() const {
    return PistonPercent(pts_, GearRecord.PistStroke);
}

void Wal2::SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) {
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
                listing_.Begin(revolution, "Crankangle CombLeverTopXY CombLeverBotXY DieblockXY TailpinXY "
                                           "EccPinXY XheadXY CrankXY");
            positions_.resize(revolution.cranks.size());
            positionIterations_.resize(revolution.cranks.size());
            SolvePositions(revolution.cranks, gearSetting, positions_, positionIterations_);
        },
        [&](int k) {
            const Wal2Points& p = positions_[static_cast<std::size_t>(k)];
            return SolvedStep{LinkValveDisplacement(p), PistonPercent(p, stroke)};
        },
        [&](int k, float) {
            const Wal2Points& p = positions_[static_cast<std::size_t>(k)];
            if (WritesListing)
                listing_.AppendLine(static_cast<std::size_t>(k), {p.T, p.U, p.B, p.X, p.E, p.G, p.C});
        });
    pts_ = positions_.back();
    iterations_ = positionIterations_.back();

    if (file) file->Replace(listing_.Text());

    FillValvingWords(events);
}

void Wal2::DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle, float gearSetting) {
    CalcGear(crankAngle, gearSetting);
    const Wal2Record& g = GearRecord;
    const Wal2Points& p = pts_;
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
    // The lifting arm carries the radius rod's hanger to M.
    DrawLinkPivots(plot, p, CrankRadius, &p.M);
    DrawExpansionLink(plot, p, g.BT, LinkHalfAngle);

    plot.SetColour(1);
    circle(p.U, 0.1);
    plot.PixelW(ValveOrigin.x, ValveOrigin.y);
    circle(p.V, 0.1);
    circle(p.B, 0.05);
    circle(p.T, 0.1);
    circle(p.S, 0.1);
    circle(p.W, 0.1);
    line(p.G, p.D);

    // Union link, combination lever, radius rod, double hanger, pivoted valve rod and spindle.
    plot.SetColour(2);
    line(p.D, p.U);
    line(p.U, p.T);
    line(p.T, p.B);
    line(p.V, p.S);
    line(p.V, p.W);
    plot.LineW(static_cast<float>(p.W.x - stroke / 3.0), p.W.y);

    plot.SetColour(1);
    plot.Axis(false, "Walschaerts with double hanger");
    plot.Axis(true, "");

    if (annotate) DrawPinLabels(plot, NamedPins());
}

std::vector<NamedPin> Wal2::NamedPins() const {
    const Wal2Points& p = pts_;
    return {{"G", p.G}, {"C", p.C}, {"A", p.A}, {"E", p.E}, {"D", p.D}, {"U", p.U}, {"T", p.T}, {"L", p.L},
            {"S", p.S}, {"M", p.M}, {"R", p.R}, {"V", p.V}, {"X", p.X}, {"B", p.B}, {"P", p.P}, {"W", p.W}};
}

} // namespace linkwright
