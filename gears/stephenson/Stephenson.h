// What the two Stephenson kinds share: the fixed points, and the link motion from the crank to the
// expansion link (crank pin, crosshead, the two eccentrics, the lifting arm and the link hung from
// it). Each kind drives its valve from the link with pins of its own.
#pragma once

#include "gears/BoundedIteration.h"
#include "geometry/Geomlib0.h"

#include <cstdint>
#include <span>
#include <vector>

namespace linkwright {

// The record's fields the link motion reads; both kinds' records carry them under these names.
struct StephensonLinkDimensions {
    float CrankRadius = 0; // r
    float GC = 0;
    float AE = 0;
    float EF = 0;
    float CAE = 0;
    float GearSlant = 0; // turns the eccentrics' reference; 0 for a gear without slant
    float elEccRodX = 0;
    float elEccRodY = 0;
    float elHangX = 0;
    float elHangY = 0;
    float ARx = 0;
    float ARy = 0;
    float ATx = 0;
    float ATy = 0;
    float MaxelLiftArmAng = 0;
    float MidelLiftArmAng = 0;
    float LR = 0;
    float LM = 0;
};

// Fills the link motion's fields from a kind's record; a record without GearSlant has no slant.
template <typename Record> StephensonLinkDimensions LinkDimensionsOf(const Record& record) {
    StephensonLinkDimensions d;
    d.CrankRadius = record.CrankRadius;
    d.GC = record.GC;
    d.AE = record.AE;
    d.EF = record.EF;
    d.CAE = record.CAE;
    if constexpr (requires { record.GearSlant; }) d.GearSlant = record.GearSlant;
    d.elEccRodX = record.elEccRodX;
    d.elEccRodY = record.elEccRodY;
    d.elHangX = record.elHangX;
    d.elHangY = record.elHangY;
    d.ARx = record.ARx;
    d.ARy = record.ARy;
    d.ATx = record.ATx;
    d.ATy = record.ATy;
    d.MaxelLiftArmAng = record.MaxelLiftArmAng;
    d.MidelLiftArmAng = record.MidelLiftArmAng;
    d.LR = record.LR;
    d.LM = record.LM;
    return d;
}

// What InitialiseGear derives. The reversing shaft and the hanger pivot are placed from the axle, so
// WheelLift and WheelDisp move them with it, while the cylinder reference and the spindle line stay.
struct StephensonFixedPoints {
    Point2 O;              // cylinder reference, the origin
    Point2 A;              // driving axle
    Point2 R;              // reversing shaft
    Point2 T;              // fixed pivot of the valve rod (or rocker rod) hanger
    float tolerance = 0;   // of every iteration: r / 500
    float drawingSize = 0; // s = r
};

StephensonFixedPoints PlaceStephensonFixedPoints(const StephensonLinkDimensions& d, float wheelLift,
                                                 float wheelDisp);

// The link iteration makes at most this many passes ("go on while n <= 10").
inline constexpr int kStephensonLinkPasses = 11;

// The pins of the link motion at one position, and how its link iteration ended.
struct StephensonLinkMotion {
    Point2 C;      // main crank pin
    Point2 G;      // gudgeon pin, on the line O-A
    Point2 E;      // eccentric pin 1, trailing the crank by CAE
    Point2 J;      // eccentric pin 2, leading it by CAE
    Point2 L;      // lifting arm end
    Point2 M;      // link hanger pin
    Point2 Q;      // centre of curvature of the slot
    Point2 F;      // end of the eccentric rod E-F on the link
    Point2 K;      // end of the eccentric rod J-K on the link
    float phi = 0; // lifting arm angle
    float psi = 0; // hanger angle of L-M, with the last correction
    float tau = 0; // link tilt, with the last correction: the slot is drawn at it
    IterationResult link;
};

// The link motion of a run of positions at one gear setting, each link iteration started afresh.
// The positions' iterations run together (IterateBoundedTogether), so the processor works on
// several at once; every position comes out as solving the positions one after another would leave
// it. A pin whose placement fails, or a link whose first pass comes out as no numbers, keeps the
// pins of the position before, so no NaN reaches a pin. A hanger of length 0 has no angle to
// correct and a link whose rod pins lie on its centre line (elEccRodY 0) no tilt to correct by
// them: those corrections are left out, and the iteration reports how far it came.
class StephensonLinkSolver {
public:
    // The positions with the crank pin along cranks[k] from the axle (the crank angle + pi), after
    // `before`, the position solved last.
    void Solve(const StephensonLinkDimensions& d, const StephensonFixedPoints& fixed, double g,
               std::span<const Direction2> cranks, const StephensonLinkMotion& before);
    // The pins of each position of the last Solve, with how its link iteration ended.
    std::span<const StephensonLinkMotion> Motions() const { return motions_; }
    // How many crossheads of the last Solve could not be placed and kept the place before.
    int UnplacedCrossheads() const { return unplacedCrossheads_; }

private:
    int unplacedCrossheads_ = 0;
    // The link's free variables while it is solved, and the pins their last evaluation placed.
    struct LinkState {
        Point2 E;
        Point2 J;
        double psi = 0;
        double tau = 0;
        // The directions of psi and tau less the last corrections, which the next pass turns them by
        // (a converged pass needs no new directions).
        Direction2 psiDirection;
        Direction2 tauDirection;
        double psiTurn = 0;
        double tauTurn = 0;
        // The angles that go with the placed pins and their correction.
        double storedPsi = 0;
        double storedTau = 0;
        Point2 M;
        Point2 Q;
        Point2 F;
        Point2 K;
        bool placed = false; // a pass has placed the pins
    };

    std::vector<StephensonLinkMotion> motions_;
    std::vector<LinkState> states_;
    std::vector<IterationResult> results_;
    std::vector<std::uint32_t> active_;
};

// The link motion at one crank angle: the solver's Solve for a single position, `motion` coming in
// as the position before and going out solved. Answers the link iteration's result.
IterationResult SolveLinkMotion(const StephensonLinkDimensions& d, const StephensonFixedPoints& fixed,
                                double g, double theta, StephensonLinkMotion& motion);

} // namespace linkwright
