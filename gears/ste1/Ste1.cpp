// Stephenson 1 mechanism: the fixed points, the link motion and the valve rod's iteration at one
// position, the revolution solve, and the drawing.
#include "gears/ste1/Ste1.h"

#include "gears/PinPlacement.h"
#include "gears/ValvePanel.h"
#include "gears/ste1/EdSte1.h"
#include "plot/Glib1.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

namespace linkwright {

namespace {

double Length(Point2 p, Point2 q) {
    const double dx = static_cast<double>(p.x) - q.x;
    const double dy = static_cast<double>(p.y) - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Ste1::Ste1(const GearEnvironment& env) : GearModelOf(env) {}

void Ste1::SetExample() {
    GearRecord = Ste1ExampleRecord();
    ResetUnitVariables();
}

void Ste1::InitialiseGear() {
    dimensions_ = LinkDimensionsOf(GearRecord);
    fixed_ = PlaceStephensonFixedPoints(dimensions_, WheelLift, WheelDisp);
    CopyViewWindow();
}

void Ste1::SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Ste1Points> out) {
    const Ste1Record& g = GearRecord;
    const std::size_t n = std::min(cranks.size(), out.size());
    const Ste1Points before = pts_;
    linkSolver_.Solve(dimensions_, fixed_, gearSetting, cranks.first(n), before.link);
    const std::span<const StephensonLinkMotion> links = linkSolver_.Motions();

    // The clevis starts on the spindle line, a rod's length left of the slot.
    rods_.resize(n);
    rodResults_.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        ValveRodState& s = rods_[k];
        s = ValveRodState{};
        s.Q = links[k].Q;
        s.V = Point2{static_cast<float>(static_cast<double>(s.Q.x) - g.elRadius - g.BU - g.UV), fixed_.O.y};
    }
    const Point2 T = fixed_.T;
    const double rodLength = static_cast<double>(g.UV) + g.BU;
    IterateBoundedTogether(
        std::span<ValveRodState>(rods_), IterationLimits{kSte1ValveRodPasses, fixed_.tolerance},
        [&](ValveRodState& s) {
            // The hanger pin nearer the clevis's level, and the die block where the rod's line
            // meets the slot on the cylinder side. A pin that cannot be placed ends the passes.
            Point2 U;
            Point2 B;
            if (!PlaceOnCircleCircle(U, Circle{g.TU, T.x, T.y}, Circle{g.UV, s.V.x, s.V.y},
                                     [&s](Point2 p1, Point2 p2) {
                                         return std::fabs(p1.y - s.V.y) < std::fabs(p2.y - s.V.y) ? p1 : p2;
                                     }) ||
                !PlaceOnCircleLine(B, Circle{g.elRadius, s.Q.x, s.Q.y}, Segment{s.V.x, s.V.y, U.x, U.y},
                                   [](Point2 p1, Point2 p2) { return p1.x > p2.x ? p2 : p1; }))
                return IterationPass::GiveUp();
            const double error = Length(B, s.V) - rodLength;
            const float x = static_cast<float>(s.V.x + error);
            if (!std::isfinite(x)) return IterationPass::GiveUp(error);
            s.U = U;
            s.B = B;
            s.V.x = x;
            s.placed = true;
            return IterationPass::Measured(error);
        },
        std::span<IterationResult>(rodResults_), active_);

    // A valve rod whose first pass placed nothing stays where the position before left it.
    const Ste1Points* previous = &before;
    for (std::size_t k = 0; k < n; ++k) {
        Ste1Points& p = out[k];
        const ValveRodState& s = rods_[k];
        p.link = links[k];
        p.U = s.placed ? s.U : previous->U;
        p.B = s.placed ? s.B : previous->B;
        p.V = s.placed ? s.V : previous->V;
        p.valveRod = rodResults_[k];
        previous = &p;
    }
}

float Ste1::LinkValveDisplacement(const Ste1Points& p) const {
    return static_cast<float>(static_cast<double>(p.V.x) - GearRecord.AdjValveX);
}

float Ste1::PistonPercent(const Ste1Points& p) const {
    const double r = dimensions_.CrankRadius;
    if (r == 0.0) return 0.0f;
    return static_cast<float>((static_cast<double>(p.link.G.x) - fixed_.O.x) / r * 50.0);
}

void Ste1::CalcGear(float crankAngle, float gearSetting) {
    const Direction2 crank = CrankDirection(crankAngle);
    SolvePositions(std::span<const Direction2>(&crank, 1), gearSetting, std::span<Ste1Points>(&pts_, 1));
    ApplyBacklash(LinkValveDisplacement(pts_));
}

float Ste1::PistonPct() const {
    return PistonPercent(pts_);
}

void Ste1::SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) {
    GearRecord.FwdCopy = env_.state.fwd;
    // Every position of the revolution is solved in one pass, then stored in turn.
    SolveRevolutionBatched(
        steps, Nsteps,
        [&](const RevolutionPositions& revolution) {
            positions_.resize(revolution.cranks.size());
            SolvePositions(revolution.cranks, gearSetting, positions_);
        },
        [&](int k) {
            const Ste1Points& p = positions_[static_cast<std::size_t>(k)];
            return SolvedStep{LinkValveDisplacement(p), PistonPercent(p)};
        },
        [](int, float) {});
    pts_ = positions_.back();
    FillValvingWords(events);
}

EditorTable Ste1::BuildEditor() {
    return BuildEdSte1(GearRecord, *this, env_.state);
}

void Ste1::DeriveAfterEditorOk() {
    DeriveEdSte1ViewWindow(GearRecord);
}

void Ste1::DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle, float gearSetting) {
    CalcGear(crankAngle, gearSetting);
    const Ste1Record& g = GearRecord;
    const StephensonLinkMotion& k = pts_.link;
    const Point2 O = fixed_.O;
    const Point2 A = fixed_.A;
    const Point2 R = fixed_.R;
    const Point2 T = fixed_.T;
    const double r = dimensions_.CrankRadius;
    const double s = fixed_.drawingSize;
    SimulationState& state = env_.state;

    ValvePanel panel;
    panel.valving = CurrentValving();
    panel.ValvePos = ValvePos_;
    panel.LinkValvePos = LinkValvePos_;
    panel.Slack = Slack;
    panel.PistonFraction = r != 0.0 ? (static_cast<double>(k.G.x) - O.x) / (2.0 * r) : 0.0;
    DrawValvePanel(plot, state, width, height, panel);

    // Mechanism in the main view window, equal scales.
    plot.SetWindow(true, state.ViewXMin, state.ViewYMin, state.ViewXMax, state.ViewYMax);

    const auto line = [&plot](Point2 from, Point2 to) {
        plot.MoveW(from.x, from.y);
        plot.LineW(to.x, to.y);
    };
    const auto circle = [&plot, s](Point2 centre, double multiple) {
        plot.CircleW(centre.x, centre.y, static_cast<float>(multiple * s));
    };
    const auto cross = [&plot, s](Point2 centre, double multiple) {
        plot.CrossW(centre.x, centre.y, static_cast<float>(multiple * s));
    };

    plot.SetColour(1);
    line(O, Point2{static_cast<float>(O.x + 2.0 * r), 0.0f});

    plot.SetColour(2);
    line(A, k.C);
    line(A, k.E);
    line(A, k.J);
    line(k.C, k.G);

    plot.SetColour(1);
    circle(A, 0.3);
    cross(A, 0.3);
    cross(R, 0.2);

    plot.SetColour(2);
    circle(k.C, 0.1);
    circle(k.E, 0.1);
    circle(k.J, 0.1);
    circle(k.G, 0.2);

    plot.SetColour(1);
    line(R, k.L);
    plot.SetColour(2);
    plot.LineW(k.M.x, k.M.y);

    plot.SetColour(1);
    circle(R, 0.15);

    plot.SetColour(2);
    circle(k.L, 0.1);
    circle(k.F, 0.1);
    circle(k.K, 0.1);
    circle(k.M, 0.2);

    // The slot, centred on the side of Q the link's tilt turns towards the cylinder; elchord is
    // about the length of arc shown.
    const double middle = std::numbers::pi + k.tau;
    const double half = g.elRadius != 0.0f ? static_cast<double>(g.elchord) / g.elRadius / 2.0 : 0.0;
    plot.ArcW(k.Q.x, k.Q.y, g.elRadius, static_cast<float>(middle - half), static_cast<float>(middle + half));

    line(k.E, k.F);
    line(k.J, k.K);
    line(T, pts_.U);
    line(pts_.B, pts_.V);

    plot.SetColour(1);
    circle(T, 0.15);
    cross(T, 0.15);

    plot.SetColour(2);
    circle(pts_.U, 0.1);
    circle(pts_.B, 0.15);
    circle(pts_.V, 0.1);
    cross(k.Q, 0.1);

    plot.SetColour(1);
    plot.Axis(false, "");
    plot.Axis(true, "");

    if (annotate) {
        const std::pair<const char*, Point2> labels[] = {
            {"G", k.G}, {"C", k.C}, {"A", A},   {"E", k.E}, {"F", k.F}, {"J", k.J},    {"B", pts_.B},
            {"K", k.K}, {"L", k.L}, {"M", k.M}, {"R", R},   {"T", T},   {"U", pts_.U}, {"V", pts_.V}};
        for (const auto& [text, at] : labels) {
            plot.MoveW(at.x, at.y);
            plot.PlotText(text);
        }
    }
}

} // namespace linkwright
