// What the two Stephenson kinds share: the fixed points, and the link motion from the crank to the
// expansion link (crank pin, crosshead, the two eccentrics, the lifting arm and the link hung from
// it). Each kind drives its valve from the link with pins of its own.
#pragma once

#include "gears/BoundedIteration.h"
#include "geometry/Geomlib0.h"

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

// Solves the link motion at gear setting g and crank angle theta, starting the link iteration
// afresh. `motion` comes in with the pins of the position before: a pin whose intersection fails,
// or a link pass whose pins come out as no numbers, leaves them as they were, so no NaN reaches a
// pin. A hanger of length 0 has no angle to correct and a link whose rod pins lie on its centre
// line (elEccRodY 0) no tilt to correct by them: those corrections are left out, and the iteration
// reports how far it came. Answers the link iteration's result, also kept in motion.link.
IterationResult SolveLinkMotion(const StephensonLinkDimensions& d, const StephensonFixedPoints& fixed,
                                double g, double theta, StephensonLinkMotion& motion);

} // namespace linkwright
