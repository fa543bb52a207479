// The link motion of the Stephenson kinds: crank, crosshead, eccentrics, lifting arm and the link's
// corrected fixed-point iteration on the hanger angle and the link tilt.
#include "gears/stephenson/Stephenson.h"

#include "gears/PinPlacement.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace linkwright {

namespace {

Point2 Offset(Point2 p, double dx, double dy) {
    return Point2{static_cast<float>(p.x + dx), static_cast<float>(p.y + dy)};
}

double Length(Point2 p, Point2 q) {
    const double dx = static_cast<double>(p.x) - q.x;
    const double dy = static_cast<double>(p.y) - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

StephensonFixedPoints PlaceStephensonFixedPoints(const StephensonLinkDimensions& d, float wheelLift,
                                                 float wheelDisp) {
    StephensonFixedPoints f;
    f.O = Point2{0.0f, 0.0f};
    f.A = Point2{static_cast<float>(static_cast<double>(d.GC) + d.CrankRadius + wheelDisp), wheelLift};
    f.R = Offset(f.A, d.ARx, d.ARy);
    f.T = Offset(f.A, d.ATx, d.ATy);
    f.tolerance = static_cast<float>(static_cast<double>(d.CrankRadius) / 500.0);
    f.drawingSize = d.CrankRadius;
    return f;
}

void StephensonLinkSolver::Solve(const StephensonLinkDimensions& d, const StephensonFixedPoints& fixed,
                                 double g, std::span<const Direction2> cranks,
                                 const StephensonLinkMotion& before) {
    const Point2 A = fixed.A;
    const Point2 O = fixed.O;
    const std::size_t n = cranks.size();
    motions_.resize(n);
    states_.resize(n);
    results_.resize(n);

    // The eccentrics lead and trail the crank by CAE, both turned back by the gear's slant.
    const Direction2 lead = DirectionAt(static_cast<double>(d.CAE) - d.GearSlant);
    const Direction2 trail = DirectionAt(-static_cast<double>(d.CAE) - d.GearSlant);
    const double phi = g * d.MaxelLiftArmAng + d.MidelLiftArmAng;
    const Point2 L = PlaceInFrame(fixed.R, DirectionAt(phi), d.LR, 0.0);
    const bool armPlaced = std::isfinite(phi) && Finite(L);

    // Crank pin, crosshead, eccentric pins and lifting arm, each carried from the position before
    // where it cannot be placed.
    StephensonLinkMotion carried = before;
    unplacedCrossheads_ = 0;
    for (std::size_t k = 0; k < n; ++k) {
        StephensonLinkMotion& m = motions_[k];
        const Point2 C = PlaceInFrame(A, cranks[k], d.CrankRadius, 0.0);
        if (Finite(C)) carried.C = C;
        if (!PlaceOnCircleLine(carried.G, Circle{d.GC, carried.C.x, carried.C.y}, Segment{O.x, O.y, A.x, A.y},
                               O))
            ++unplacedCrossheads_;
        const Point2 J = PlaceInFrame(A, Turned(cranks[k], lead), d.AE, 0.0);
        const Point2 E = PlaceInFrame(A, Turned(cranks[k], trail), d.AE, 0.0);
        if (Finite(J)) carried.J = J;
        if (Finite(E)) carried.E = E;
        if (armPlaced) {
            carried.phi = static_cast<float>(phi);
            carried.L = L;
        }
        m = carried;
    }

    // The hanger starts upright from the lifting arm when the shaft is below the axle, hanging
    // down from it otherwise; the hanger angle is corrected the other way round in the second case.
    const bool shaftBelowAxle = fixed.R.y < A.y;
    const double psi0 = shaftBelowAxle ? std::numbers::pi / 2 : 3 * std::numbers::pi / 2;
    const Direction2 startDirection = DirectionAt(psi0);
    for (std::size_t k = 0; k < n; ++k) {
        LinkState& s = states_[k];
        s = LinkState{};
        s.E = motions_[k].E;
        s.J = motions_[k].J;
        s.psi = psi0;
        s.tau = 0;
        s.psiDirection = startDirection;
        s.tauDirection = Direction2{1.0, 0.0};
    }

    const Point2 liftingArmEnd = motions_.empty() ? before.L : motions_.front().L;
    IterateBoundedTogether(
        std::span<LinkState>(states_), IterationLimits{kStephensonLinkPasses, fixed.tolerance},
        [&](LinkState& s) {
            if (s.psiTurn != 0.0) s.psiDirection = Turned(s.psiDirection, TurnOf(s.psiTurn));
            if (s.tauTurn != 0.0) s.tauDirection = Turned(s.tauDirection, TurnOf(s.tauTurn));
            const Direction2 tilt = s.tauDirection;
            const Point2 M = PlaceInFrame(liftingArmEnd, s.psiDirection, d.LM, 0.0);
            const Point2 Q =
                PlaceInFrame(M, tilt, -static_cast<double>(d.elHangX), -static_cast<double>(d.elHangY));
            const Point2 F = PlaceInFrame(Q, tilt, d.elEccRodX, d.elEccRodY);
            const Point2 K = PlaceInFrame(Q, tilt, d.elEccRodX, -static_cast<double>(d.elEccRodY));
            // Each pin is placed from the one before, so a pin that is no number makes F and K none.
            if (!Finite(F) || !Finite(K)) return IterationPass::GiveUp();
            s.M = M;
            s.Q = Q;
            s.F = F;
            s.K = K;
            s.storedPsi = s.psi;
            s.storedTau = s.tau;
            s.placed = true;

            const double e1 = Length(F, s.E) - d.EF;
            const double e2 = Length(K, s.J) - d.EF;
            const double error = LargerError(e1, e2);
            // Both rods too long (or too short) move the hanger; one longer than the other tilts
            // the link.
            double hanger = 0;
            double tilting = 0;
            if (d.LM != 0.0f) {
                hanger = (e1 + e2) / 2 / d.LM;
                if (shaftBelowAxle) hanger = -hanger;
            }
            if (d.elEccRodY != 0.0f) tilting = -((e1 - e2) / 2 / d.elEccRodY);
            const double psi = s.psi + hanger;
            const double tau = s.tau + tilting;
            if (!std::isfinite(psi) || !std::isfinite(tau)) return IterationPass::GiveUp(error);
            s.psi = psi;
            s.tau = tau;
            s.psiTurn = hanger;
            s.tauTurn = tilting;
            s.storedPsi = psi;
            s.storedTau = tau;
            return IterationPass::Measured(error);
        },
        std::span<IterationResult>(results_), active_);

    // A link whose first pass placed nothing stays where the position before left it.
    const StephensonLinkMotion* previous = &before;
    for (std::size_t k = 0; k < n; ++k) {
        StephensonLinkMotion& m = motions_[k];
        const LinkState& s = states_[k];
        if (s.placed) {
            m.M = s.M;
            m.Q = s.Q;
            m.F = s.F;
            m.K = s.K;
            m.psi = static_cast<float>(s.storedPsi);
            m.tau = static_cast<float>(s.storedTau);
        } else {
            m.M = previous->M;
            m.Q = previous->Q;
            m.F = previous->F;
            m.K = previous->K;
            m.psi = previous->psi;
            m.tau = previous->tau;
        }
        m.link = results_[k];
        previous = &m;
    }
}

IterationResult SolveLinkMotion(const StephensonLinkDimensions& d, const StephensonFixedPoints& fixed,
                                double g, double theta, StephensonLinkMotion& motion) {
    StephensonLinkSolver solver;
    const Direction2 crank = DirectionAt(theta + std::numbers::pi);
    solver.Solve(d, fixed, g, std::span<const Direction2>(&crank, 1), motion);
    motion = solver.Motions().front();
    return motion.link;
}

} // namespace linkwright
