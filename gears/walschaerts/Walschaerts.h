// What the two Walschaerts kinds share: the fixed points and the mid-gear tail pin, the return
// crank's setting (setretcrank) and its report, the uneven-swing warning, the pins from the crank
// to the expansion link's centre of curvature, the revolution listing, and the parts of the
// drawing from the valve panel to the expansion link.
#pragma once

#include "common/NumberFormat.h"
#include "gears/GearModel.h"
#include "gears/PinPlacement.h"
#include "geometry/Geomlib0.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace linkwright {

class Dialogs;
class Glib1;
class MessagesFile;

// The record's fields the shared initialisation reads; both kinds' records carry them under these
// names.
struct WalschaertsDimensions {
    float PistStroke = 0;
    float GC = 0;
    float GVy = 0;
    float APx = 0;
    float APy = 0;
    float BT = 0;
    float PXx = 0;
    float PXy = 0;
    float DieBlockChord = 0;
    float CE = 0;
    float AE = 0;
    float EX = 0;
    std::uint8_t Inside = 0;
    std::uint8_t EccLeads = 0;
    // The radius-rod pin's height in mid gear, which sets the radius rod's mid-gear slope: GVy + TV
    // when the rod's pin runs on a line beside the valve rod, ASy - SV + TV when it hangs from a
    // double hanger.
    double midGearPinHeight = 0;
};

// What InitialiseGear derives from the record before the return crank is set.
struct WalschaertsFixedPoints {
    float CrankRadius = 0;   // PistStroke / 2
    Point2 CylRef;           // the origin: the gudgeon pin at crank angle 0, axle in place
    Point2 A;                // driving axle, moved by WheelDisp and WheelLift
    Point2 P;                // expansion link trunnion, fixed to the frame
    Point2 X0;               // tail pin in mid gear
    Point2 C0;               // crank pin at crank angle 0
    Point2 ValveOrigin;      // V0: the valve rod pin for zero valve displacement
    float LinkHalfAngle = 0; // half the angle of the drawn expansion link
};

WalschaertsFixedPoints PlaceFixedPoints(const WalschaertsDimensions& d, float wheelLift, float wheelDisp);

// The shared initialisation's fields of a kind's record, under the names both records give them,
// with the radius-rod pin's mid-gear height as the kind places that pin.
template <typename Record>
WalschaertsDimensions WalschaertsDimensionsOf(const Record& g, double midGearPinHeight) {
    WalschaertsDimensions d;
    d.PistStroke = g.PistStroke;
    d.GC = g.GC;
    d.GVy = g.GVy;
    d.APx = g.APx;
    d.APy = g.APy;
    d.BT = g.BT;
    d.PXx = g.PXx;
    d.PXy = g.PXy;
    d.DieBlockChord = g.DieBlockChord;
    d.CE = g.CE;
    d.AE = g.AE;
    d.EX = g.EX;
    d.Inside = g.Inside;
    d.EccLeads = g.EccLeads;
    d.midGearPinHeight = midGearPinHeight;
    return d;
}

// The return crank as InitialiseGear leaves it.
struct ReturnCrankSetting {
    float aCAE = 0; // eccentric angle from the crank pin's direction, counter-clockwise
    float AE = 0;
    float EX = 0;
    std::uint8_t EccLeads = 0;
};

// Auto-setting: the eccentric pin square to the line from the mid-gear tail pin to the axle, CE from
// the crank pin on its front dead centre, and the eccentric rod reaching exactly the mid-gear tail
// pin. Writes "Error in setretcrank" unless the return crank meets the square line twice; without
// any meeting AE and EX stay as they were.
ReturnCrankSetting setretcrank(const WalschaertsDimensions& d, const WalschaertsFixedPoints& f,
                               MessagesFile& messages);

// The start of the initialisation report: the heading naming the kind ("Walschaerts 1"), then the
// return crank: set by setretcrank and reported when the auto-setting is on, otherwise the
// eccentric angle from AE and CE (following the crank for inside admission, leading it for
// outside) with EccLeads set to match, and reported.
ReturnCrankSetting SetReturnCrank(std::string_view kind, const WalschaertsDimensions& d,
                                  const WalschaertsFixedPoints& f, bool autoSetting, MessagesFile& messages);

// What both kinds' InitialiseGear does first: the fixed points from the record, then the report's
// heading and the return crank (SetReturnCrank), whose AE, EX and EccLeads go back into the record.
// Answers the fixed points; `aCAE` receives the eccentric angle.
template <typename Record>
WalschaertsFixedPoints StartInitialisation(std::string_view kind, Record& g, double midGearPinHeight,
                                           float wheelLift, float wheelDisp, bool autoSetting,
                                           MessagesFile& messages, float& aCAE) {
    const WalschaertsDimensions dimensions = WalschaertsDimensionsOf(g, midGearPinHeight);
    const WalschaertsFixedPoints fixed = PlaceFixedPoints(dimensions, wheelLift, wheelDisp);
    const ReturnCrankSetting returnCrank = SetReturnCrank(kind, dimensions, fixed, autoSetting, messages);
    aCAE = returnCrank.aCAE;
    g.AE = returnCrank.AE;
    g.EX = returnCrank.EX;
    g.EccLeads = returnCrank.EccLeads;
    return fixed;
}

// The link's swing from its mid position, as the trunnion sees the tail pin move from `middle` to
// `tail`.
float LinkSwing(Point2 trunnion, Point2 middle, Point2 tail);

// The swings s1 and s2 each side of mid gear do not cancel to within 0.02 rad.
bool SwingsUneven(float s1, float s2);
// When the swings are uneven: the warning in the messages file (its last line without a line end,
// the file flushed) and the information box. Answers whether it warned.
bool WarnOfUnevenSwings(float s1, float s2, MessagesFile& messages, Dialogs& dialogs);

// What the position's shared steps need, filled by the kind for one gear setting.
struct WalschaertsDrive {
    Point2 CylRef;
    Point2 A;
    Point2 P;
    Point2 R; // reversing shaft, placed as the kind places it
    Point2 L; // lifting arm end
    float CrankRadius = 0;
    float GC = 0;
    float DGx = 0;
    float DGy = 0;
    float DU = 0; // signed: the union link's length is |DU|
    float AE = 0;
    float EX = 0;
    float BT = 0;
    Direction2 lead;          // the return crank's lead on the crank, aCAE
    float tailRadius = 0;     // of the tail pin about the trunnion
    Direction2 tailDirection; // of the tail in the link's own frame, (PXx, PXy)
};

// DU when the record asks for it (AutoDU): the union link level with the valve central over the
// ports at mid-stroke.
inline float AutomaticUnionLink(Point2 valveOrigin, Point2 cylRef, float crankRadius) {
    return static_cast<float>(static_cast<double>(valveOrigin.x) -
                              (static_cast<double>(cylRef.x) + crankRadius));
}

// The parts of a solution that follow from the record and the gear setting alone, kept with the
// exact inputs they came from: a revolution derives them once, and any change of an input
// (compared bit for bit, since -0 and +0 can lead to different results) derives them again.
class WalschaertsMemo {
public:
    // The tail pin's radius about the trunnion and the tail's direction in the link's own frame.
    struct LinkTail {
        float radius = 0;
        Direction2 direction;
    };

    Direction2 EccentricLead(float aCAE);
    const LinkTail& Tail(float PXx, float PXy);
    // The lifting arm end: LR behind the reversing shaft R along the arm's angle.
    Point2 LiftingArmEnd(Point2 R, float angle, float LR);

private:
    template <std::size_t N> static bool Kept(const float (&kept)[N], std::initializer_list<float> now) {
        return std::memcmp(kept, std::data(now), sizeof kept) == 0;
    }
    struct EccentricEntry {
        float inputs[1] = {}; // aCAE
        Direction2 lead;
        bool valid = false;
    };
    struct TailEntry {
        float inputs[2] = {}; // PXx, PXy
        LinkTail tail;
        bool valid = false;
    };
    struct LiftingArmEntry {
        float inputs[4] = {}; // R.x, R.y, the arm's angle, LR
        Point2 L;
        bool valid = false;
    };
    EccentricEntry eccentric_;
    TailEntry tail_;
    LiftingArmEntry liftingArm_;
};

// Every solution asks for these, so they are inline.
inline Direction2 WalschaertsMemo::EccentricLead(float aCAE) {
    if (!eccentric_.valid || !Kept(eccentric_.inputs, {aCAE})) {
        eccentric_.inputs[0] = aCAE;
        eccentric_.lead = DirectionAt(aCAE);
        eccentric_.valid = true;
    }
    return eccentric_.lead;
}

inline const WalschaertsMemo::LinkTail& WalschaertsMemo::Tail(float PXx, float PXy) {
    if (!tail_.valid || !Kept(tail_.inputs, {PXx, PXy})) {
        tail_.inputs[0] = PXx;
        tail_.inputs[1] = PXy;
        tail_.tail.radius =
            static_cast<float>(std::sqrt(static_cast<double>(PXx) * PXx + static_cast<double>(PXy) * PXy));
        tail_.tail.direction = DirectionOf(PXx, PXy);
        tail_.valid = true;
    }
    return tail_.tail;
}

inline Point2 WalschaertsMemo::LiftingArmEnd(Point2 R, float angle, float LR) {
    if (!liftingArm_.valid || !Kept(liftingArm_.inputs, {R.x, R.y, angle, LR})) {
        liftingArm_.inputs[0] = R.x;
        liftingArm_.inputs[1] = R.y;
        liftingArm_.inputs[2] = angle;
        liftingArm_.inputs[3] = LR;
        liftingArm_.L = PlaceInFrame(R, DirectionAt(angle), -LR, 0.0);
        liftingArm_.valid = true;
    }
    return liftingArm_.L;
}

// The drawing window an editor OK sets: x from -PistStroke to PistStroke + GC, y from -PistStroke to
// half of that length, the spare value kept.
template <typename Record> void FitViewWindowToCylinder(Record& g) {
    const double stroke = g.PistStroke;
    const double length = stroke + g.GC;
    g.ViewWindow[0] = static_cast<float>(-stroke);
    g.ViewWindow[1] = static_cast<float>(length);
    g.ViewWindow[2] = static_cast<float>(-stroke);
    g.ViewWindow[3] = static_cast<float>(length / 2.0);
}

// The pins both kinds place alike, from the crank to the link's centre of curvature, and the fixed
// ones; each kind's pins add their own to these.
struct WalschaertsPins {
    Point2 CylRef; // the origin
    Point2 A;      // driving axle
    Point2 P;      // expansion link trunnion
    Point2 C;      // main crank pin
    Point2 G;      // gudgeon (crosshead) pin
    Point2 D;      // droplink pin
    Point2 E;      // eccentric (return crank) pin
    Point2 X;      // link tail pin, the eccentric rod's end
    Point2 Q;      // centre of curvature of the link
    Point2 R;      // reversing shaft
    Point2 L;      // lifting arm end
    Point2 U0;     // the lever's bottom pin with the union link level
};

// What the shared steps need at one gear setting, from a kind's record (after its own overwrites,
// such as AutoDU's) and the fixed pins of its last initialisation, with the reversing shaft R and
// the lifting arm end L as the kind places them. Inline, so that the drive stays in registers for
// the solve.
template <typename Record>
[[gnu::always_inline]] inline WalschaertsDrive
MakeWalschaertsDrive(const Record& g, const WalschaertsPins& fixed, float crankRadius, float aCAE, Point2 R,
                     Point2 L, WalschaertsMemo& memo) {
    WalschaertsDrive d;
    d.CylRef = fixed.CylRef;
    d.A = fixed.A;
    d.P = fixed.P;
    d.R = R;
    d.L = L;
    d.CrankRadius = crankRadius;
    d.GC = g.GC;
    d.DGx = g.DGx;
    d.DGy = g.DGy;
    d.DU = g.DU;
    d.AE = g.AE;
    d.EX = g.EX;
    d.BT = g.BT;
    d.lead = memo.EccentricLead(aCAE);
    const WalschaertsMemo::LinkTail& tail = memo.Tail(g.PXx, g.PXy);
    d.tailRadius = tail.radius;
    d.tailDirection = tail.direction;
    return d;
}

// Nothing more to place with the crosshead.
struct NoMoreWithCrosshead {
    void operator()(const WalschaertsPins&) const {}
};

// The shared steps for a run of positions in order: out[i] gets the fixed pins and, with the crank
// along cranks[i], the crank pin, the eccentric pin leading it by aCAE, the crosshead on the line
// of stroke through the cylinder and the axle (the root nearer the cylinder), the droplink, the
// lever's level bottom pin U0, the tail pin (the lower root on the tail's circle about the
// trunnion and the eccentric rod's circle) and the link's centre of curvature, BT behind the
// trunnion in the link's own frame, which is turned as far as the tail now points from where it
// points in that frame. A pin whose intersection fails keeps its place of the position before (of
// `previous` for the first), and counts in `unsolved`. `withCrosshead(out[i])` runs right after U0,
// for what a kind derives from the crosshead.
//
// Each pin is found for every position before the next pin: the positions do not wait on one
// another, so the processor works on several at once instead of on one chain of intersections
// after another. Each loop carries the pin of the position before in a register.
template <typename Pins, typename WithCrosshead = NoMoreWithCrosshead>
[[gnu::always_inline]] inline void
PlaceCrankToLink(const WalschaertsDrive& d, std::span<const Direction2> cranks, std::span<Pins> out,
                 const WalschaertsPins& previous, int& unsolved, WithCrosshead&& withCrosshead = {}) {
    static_assert(std::is_base_of_v<WalschaertsPins, Pins>);
    const std::size_t n = std::min(cranks.size(), out.size());
    const Point2 A = d.A;
    const Point2 P = d.P;
    const Point2 CylRef = d.CylRef;

    for (std::size_t i = 0; i < n; ++i) {
        Pins& p = out[i];
        const Direction2 crank = cranks[i];
        p.CylRef = CylRef;
        p.A = A;
        p.P = P;
        p.R = d.R;
        p.L = d.L;
        p.C = PlaceInFrame(A, crank, d.CrankRadius, 0.0);
        p.E = PlaceInFrame(A, Turned(crank, d.lead), d.AE, 0.0);
    }

    const Segment stroke{CylRef.x, CylRef.y, A.x, A.y};
    Point2 G = previous.G;
    for (std::size_t i = 0; i < n; ++i) {
        Pins& p = out[i];
        if (!PlaceOnCircleLine(G, Circle{d.GC, p.C.x, p.C.y}, stroke, CylRef)) ++unsolved;
        p.G = G;
        p.D = Point2{static_cast<float>(static_cast<double>(p.G.x) + d.DGx),
                     static_cast<float>(static_cast<double>(p.G.y) + d.DGy)};
        p.U0 = Point2{static_cast<float>(static_cast<double>(p.D.x) + d.DU), p.D.y};
        withCrosshead(p);
    }

    Point2 X = previous.X;
    for (std::size_t i = 0; i < n; ++i) {
        Pins& p = out[i];
        if (!PlaceOnCircleCircle(X, Circle{d.tailRadius, P.x, P.y}, Circle{d.EX, p.E.x, p.E.y}, LowerRoot{}))
            ++unsolved;
        p.X = X;
        const Direction2 tailNow =
            DirectionOf(static_cast<double>(p.X.x) - P.x, static_cast<double>(p.X.y) - P.y);
        p.Q = PlaceInFrame(P, TurnedBack(tailNow, d.tailDirection), -d.BT, 0.0);
    }
}

// The piston's position in percent of the stroke: the crosshead's distance from where it stands at
// crank angle 0.
inline float PistonPercent(const WalschaertsPins& p, double stroke) {
    if (stroke == 0.0) return 0.0f;
    return static_cast<float>((static_cast<double>(p.G.x) - p.CylRef.x) / stroke * 100.0);
}

// The valve's displacement before the backlash: the valve-driving pin's distance from where it
// stands for a central valve, plus AdjValveX.
inline float ValveDisplacement(Point2 pin, Point2 origin, float AdjValveX) {
    return static_cast<float>(static_cast<double>(pin.x) - origin.x + AdjValveX);
}

// ---- the drawing's shared parts -------------------------------------------------------------------

// The valve panel over the mechanism, with the model's valving, valve positions and slack, and the
// piston where the crosshead stands.
void DrawWalschaertsValvePanel(Glib1& plot, SimulationState& state, int width, int height,
                               const GearModel& model, const WalschaertsPins& p, double stroke);

// In black the line of stroke and the crank with the return crank (A to C to E); in green the
// eccentric rod (E to X) and the connecting rod (C to G).
void DrawCrankAndRods(Glib1& plot, const WalschaertsPins& p, double stroke);

// In black the pin circles from the axle to the lifting arm, their radii as multiples of the crank
// radius (A 0.3, C 0.15, E 0.1, G 0.2, D 0.1, P 0.1, L 0.1, then the `hangerPin` 0.1 where the
// radius rod hangs from the lifting arm, R 0.2), the lifting arm R to L and on to the hanger pin,
// the tail pin's circle (0.1) and a pixel at the link's centre of curvature.
void DrawLinkPivots(Glib1& plot, const WalschaertsPins& p, float crankRadius,
                    const Point2* hangerPin = nullptr);

// In green the expansion link, an arc of radius BT about Q turning counter-clockwise through twice
// `linkHalfAngle` about the direction from Q to the trunnion, and its tail from the arc's first end
// to the tail pin.
void DrawExpansionLink(Glib1& plot, const WalschaertsPins& p, float BT, float linkHalfAngle);

// The per-revolution coordinate listing: "Results from last calculation of a cycle" and the column
// line, then for every position the crank angle in degrees (width 5, 1 decimal) and a blank, then x
// and y of each listed pin, each width 6 with 3 decimals and a blank.
class WalschaertsListing {
public:
    // Starts the text anew for the positions of a revolution.
    void Begin(const RevolutionPositions& revolution, std::string_view columns);
    // The line of position k. A coordinate that is no number (one that overflowed) is listed as 0,
    // as the step arrays store such a value.
    template <std::size_t N> void AppendLine(std::size_t k, const Point2 (&pins)[N]) {
        // The line is put together in place, then appended whole.
        char line[2 * N * (FieldRoom(6) + 1) + 1];
        char* at = line;
        for (const Point2& pin : pins) {
            at = WriteF(at, std::isfinite(pin.x) ? pin.x : 0.0f, 6, 3);
            *at++ = ' ';
            at = WriteF(at, std::isfinite(pin.y) ? pin.y : 0.0f, 6, 3);
            *at++ = ' ';
        }
        *at++ = '\n';
        text_ += angleFields_[k];
        text_.append(line, static_cast<std::size_t>(at - line));
    }
    const std::string& Text() const { return text_; }

private:
    // The angle column, which follows from the revolution's number of steps alone, kept for the
    // next revolution with as many.
    int fieldsOf_ = 0;
    std::vector<std::string> angleFields_;
    // Kept between revolutions to save allocations.
    std::string text_;
};

} // namespace linkwright
