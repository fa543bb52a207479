// Stephenson 2 mechanism: the fixed points, the link motion and the rocker's iteration at one
// position, the revolution solve, and the drawing.
#include "gears/ste2/Ste2.h"

#include "gears/PinPlacement.h"
#include "gears/ste2/EdSte2.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace linkwright {

namespace {

double Length(Point2 p, Point2 q) {
    const double dx = static_cast<double>(p.x) - q.x;
    const double dy = static_cast<double>(p.y) - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Ste2::Ste2(const GearEnvironment& env) : StephensonModel(env) {}

void Ste2::SetExample() {
    GearRecord = Ste2ExampleRecord();
    ResetUnitVariables();
}

void Ste2::SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Ste2Points> out) {
    const Ste2Record& g = GearRecord;
    const std::size_t n = std::min(cranks.size(), out.size());
    const Ste2Points before = pts_;
    linkSolver_.Solve(dimensions_, fixed_, gearSetting, cranks.first(n), before.link);
    const std::span<const StephensonLinkMotion> links = linkSolver_.Motions();

    // The rocker's pivot stands off the axle, so it moves with it; the valve rod's end starts on
    // the spindle line, a rod's length before the pivot.
    const Point2 A = fixed_.A;
    const Point2 X{static_cast<float>(static_cast<double>(A.x) + g.AXx),
                   static_cast<float>(static_cast<double>(A.y) + g.AXy)};
    const Point2 start{static_cast<float>(static_cast<double>(X.x) - g.WY),
                       static_cast<float>(static_cast<double>(A.y) + g.AYy)};
    rockers_.resize(n);
    rockerResults_.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        RockerState& s = rockers_[k];
        s = RockerState{};
        s.Q = links[k].Q;
        s.M = links[k].M;
        s.Y = start;
    }

    const Point2 T = fixed_.T;
    const double rodLength = static_cast<double>(g.UV) + g.BU;
    // The rod arm stands at the bend past the far side of the valve arm: opposite it when straight.
    const Direction2 bend = DirectionAt(static_cast<double>(g.aVXW) + std::numbers::pi);
    // The rod's error, made good at V, turns the rocker and moves W (so Y) WX / VX times as far the
    // other way; a bent rocker passes on the share its bend's cosine gives. A rocker without a rod
    // arm passes on nothing: Y cannot be corrected.
    const bool corrected = g.VX != 0.0f;
    const double transfer =
        corrected ? std::cos(static_cast<double>(g.aVXW)) * -(static_cast<double>(g.WX) / g.VX) : 0.0;
    const Circle hanger{g.TU, T.x, T.y};
    const Circle valveArm{std::fabs(g.WX), X.x, X.y};
    // The rocker from Y: W nearer the spindle line's level, and V on the rocker's other arm.
    const auto placeRocker = [&](Point2 Y, Point2& W, Point2& V) {
        if (!PlaceOnCircleCircle(W, Circle{g.WY, Y.x, Y.y}, valveArm, [Y](Point2 p1, Point2 p2) {
                return std::fabs(p1.y - Y.y) < std::fabs(p2.y - Y.y) ? p1 : p2;
            }))
            return false;
        const Direction2 arm =
            Turned(DirectionOf(static_cast<double>(W.x) - X.x, static_cast<double>(W.y) - X.y), bend);
        V = PlaceInFrame(X, arm, g.VX, 0.0);
        return true;
    };
    // Every position's first pass starts from the same Y, so it finds the same rocker.
    Point2 startW;
    Point2 startV;
    const bool startPlaced = placeRocker(start, startW, startV);
    IterateBoundedTogether(
        std::span<RockerState>(rockers_), IterationLimits{kSte2RockerPasses, fixed_.tolerance},
        [&](RockerState& s) {
            // The rocker, the hanger pin nearer the link's hanger pin, and the die block where the
            // rod's line meets the slot on the cylinder side. A pin that cannot be placed ends the
            // passes.
            Point2 W = startW;
            Point2 V = startV;
            Point2 U;
            Point2 B;
            if (s.Y.x == start.x ? !startPlaced : !placeRocker(s.Y, W, V)) return IterationPass::GiveUp();
            // A V that is no number (a bend that is none) fails the hanger pin's placement.
            if (!PlaceOnCircleCircle(U, hanger, Circle{g.UV, V.x, V.y}, NearerRoot{s.M}) ||
                !PlaceOnCircleLine(B, Circle{g.elRadius, s.Q.x, s.Q.y}, Segment{V.x, V.y, U.x, U.y},
                                   [](Point2 p1, Point2 p2) { return p1.x > p2.x ? p2 : p1; }))
                return IterationPass::GiveUp();
            const double error = Length(B, V) - rodLength;
            const double correction = transfer * error;
            const float y = static_cast<float>(s.Y.x + correction);
            if (!std::isfinite(y)) return IterationPass::GiveUp(correction);
            s.W = W;
            s.V = V;
            s.U = U;
            s.B = B;
            s.Y.x = y;
            s.placed = true;
            if (!corrected) return IterationPass::GiveUp(error);
            return IterationPass::Measured(correction);
        },
        std::span<IterationResult>(rockerResults_), active_);

    // A rocker whose first pass placed nothing stays where the position before left it.
    const Ste2Points* previous = &before;
    for (std::size_t k = 0; k < n; ++k) {
        Ste2Points& p = out[k];
        const RockerState& s = rockers_[k];
        p.link = links[k];
        p.X = Finite(X) ? X : previous->X;
        p.W = s.placed ? s.W : previous->W;
        p.V = s.placed ? s.V : previous->V;
        p.U = s.placed ? s.U : previous->U;
        p.B = s.placed ? s.B : previous->B;
        p.Y = s.placed ? s.Y : previous->Y;
        p.rocker = rockerResults_[k];
        if (!links[k].link.Converged() || !rockerResults_[k].Converged() || !Finite(X)) ++unsolved_;
        previous = &p;
    }
    unsolved_ += linkSolver_.UnplacedCrossheads();
}

float Ste2::LinkValveDisplacement(const Ste2Points& p) const {
    return static_cast<float>(static_cast<double>(p.Y.x) - GearRecord.AdjValveX);
}

EditorTable Ste2::BuildEditor() {
    return BuildEdSte2(GearRecord, *this, env_.state);
}

void Ste2::AddToPicture(StephensonPicture& picture) const {
    picture.rocker = StephensonRockerPins{pts_.X, pts_.W, pts_.Y};
}

} // namespace linkwright
