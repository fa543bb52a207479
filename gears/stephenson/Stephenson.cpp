// The link motion of the Stephenson kinds: crank, crosshead, eccentrics, lifting arm and the link's
// corrected fixed-point iteration on the hanger angle and the link tilt.
#include "gears/stephenson/Stephenson.h"

#include "gears/PinPlacement.h"

#include <cmath>
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

// The link's free variables while it is solved, and the pins their last evaluation placed.
struct LinkState {
    double psi = 0;
    double tau = 0;
    // The angles that go with the placed pins and their correction.
    double storedPsi = 0;
    double storedTau = 0;
    Point2 M;
    Point2 Q;
    Point2 F;
    Point2 K;
};

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

IterationResult SolveLinkMotion(const StephensonLinkDimensions& d, const StephensonFixedPoints& fixed,
                                double g, double theta, StephensonLinkMotion& motion) {
    const Point2 A = fixed.A;
    const Point2 O = fixed.O;

    // The crank pin points away from the cylinder at crank angle 0, so the crosshead is then at O.
    const Direction2 crank = DirectionAt(theta + std::numbers::pi);
    const Point2 C = PlaceInFrame(A, crank, d.CrankRadius, 0.0);
    if (Finite(C)) motion.C = C;
    PlaceOnCircleLine(motion.G, Circle{d.GC, motion.C.x, motion.C.y}, Segment{O.x, O.y, A.x, A.y}, O);

    const double eccentricBase = theta + std::numbers::pi - d.GearSlant;
    const Point2 J = PlaceInFrame(A, DirectionAt(eccentricBase + d.CAE), d.AE, 0.0);
    const Point2 E = PlaceInFrame(A, DirectionAt(eccentricBase - d.CAE), d.AE, 0.0);
    if (Finite(J)) motion.J = J;
    if (Finite(E)) motion.E = E;

    const double phi = g * d.MaxelLiftArmAng + d.MidelLiftArmAng;
    const Point2 L = PlaceInFrame(fixed.R, DirectionAt(phi), d.LR, 0.0);
    if (std::isfinite(phi) && Finite(L)) {
        motion.phi = static_cast<float>(phi);
        motion.L = L;
    }

    // The hanger starts upright from the lifting arm when the shaft is below the axle, hanging
    // down from it otherwise; the hanger angle is corrected the other way round in the second case.
    const bool shaftBelowAxle = fixed.R.y < A.y;
    LinkState state;
    state.psi = shaftBelowAxle ? std::numbers::pi / 2 : 3 * std::numbers::pi / 2;
    state.tau = 0;
    state.storedPsi = motion.psi;
    state.storedTau = motion.tau;
    state.M = motion.M;
    state.Q = motion.Q;
    state.F = motion.F;
    state.K = motion.K;

    const Point2 liftingArmEnd = motion.L;
    const Point2 eccentric1 = motion.E;
    const Point2 eccentric2 = motion.J;
    const IterationResult result =
        IterateBounded(state, IterationLimits{kStephensonLinkPasses, fixed.tolerance}, [&](LinkState& s) {
            const Direction2 tilt = DirectionAt(s.tau);
            const Point2 M = PlaceInFrame(liftingArmEnd, DirectionAt(s.psi), d.LM, 0.0);
            const Point2 Q =
                PlaceInFrame(M, tilt, -static_cast<double>(d.elHangX), -static_cast<double>(d.elHangY));
            const Point2 F = PlaceInFrame(Q, tilt, d.elEccRodX, d.elEccRodY);
            const Point2 K = PlaceInFrame(Q, tilt, d.elEccRodX, -static_cast<double>(d.elEccRodY));
            if (!Finite(M) || !Finite(Q) || !Finite(F) || !Finite(K)) return IterationPass::GiveUp();
            s.M = M;
            s.Q = Q;
            s.F = F;
            s.K = K;
            s.storedPsi = s.psi;
            s.storedTau = s.tau;

            const double e1 = Length(F, eccentric1) - d.EF;
            const double e2 = Length(K, eccentric2) - d.EF;
            const double error = LargerError(e1, e2);
            // Both rods too long (or too short) move the hanger; one longer than the other tilts
            // the link.
            double psi = s.psi;
            double tau = s.tau;
            if (d.LM != 0.0f) {
                const double hanger = (e1 + e2) / 2 / d.LM;
                psi = shaftBelowAxle ? psi - hanger : psi + hanger;
            }
            if (d.elEccRodY != 0.0f) tau -= (e1 - e2) / 2 / d.elEccRodY;
            if (!std::isfinite(psi) || !std::isfinite(tau)) return IterationPass::GiveUp(error);
            s.psi = psi;
            s.tau = tau;
            s.storedPsi = psi;
            s.storedTau = tau;
            return IterationPass::Measured(error);
        });

    motion.M = state.M;
    motion.Q = state.Q;
    motion.F = state.F;
    motion.K = state.K;
    motion.psi = static_cast<float>(state.storedPsi);
    motion.tau = static_cast<float>(state.storedTau);
    motion.link = result;
    return result;
}

} // namespace linkwright
