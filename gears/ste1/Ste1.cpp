// Stephenson 1 mechanism: the fixed points, the link motion and the valve rod's iteration at one
// position, the revolution solve, and the drawing.
#include "gears/ste1/Ste1.h"

#include "gears/PinPlacement.h"
#include "gears/ste1/EdSte1.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace linkwright {

namespace {

double Length(Point2 p, Point2 q) {
    const double dx = static_cast<double>(p.x) - q.x;
    const double dy = static_cast<double>(p.y) - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Ste1::Ste1(const GearEnvironment& env) : StephensonModel(env) {}

void Ste1::SetExample() {
    GearRecord = Ste1ExampleRecord();
    ResetUnitVariables();
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
        if (!links[k].link.Converged() || !rodResults_[k].Converged()) ++unsolved_;
        previous = &p;
    }
    unsolved_ += linkSolver_.UnplacedCrossheads();
}

float Ste1::LinkValveDisplacement(const Ste1Points& p) const {
    return static_cast<float>(static_cast<double>(p.V.x) - GearRecord.AdjValveX);
}

EditorTable Ste1::BuildEditor() {
    return BuildEdSte1(GearRecord, *this, env_.state);
}

} // namespace linkwright
