// Walschaerts 1: return crank on the main crank pin, curved expansion link on a trunnion, radius rod
// held by a lifting arm, combination lever driven from the crosshead by droplink and union link.
#pragma once

#include "gears/GearModelOf.h"
#include "gears/wal1/Wal1Record.h"
#include "gears/walschaerts/Walschaerts.h"
#include "geometry/Geomlib0.h"

#include <span>
#include <vector>

namespace linkwright {

// The pins of the linkage: those both Walschaerts kinds place alike (the fixed pins, crank pin,
// crosshead, droplink, eccentric pin, tail pin, the link's centre of curvature, reversing shaft,
// lifting arm end and the level union link's pin U0), and these. Each letter is also the label
// drawn beside the pin.
struct Wal1Points : WalschaertsPins {
    Point2 B;  // die block
    Point2 T;  // radius rod pin, top of the combination lever
    Point2 U;  // union link pin, bottom of the lever
    Point2 V;  // valve rod pin
    Point2 T0; // the radius-rod pin's line (its height) for this position
};

// The expansion link's swings from its mid position as the eccentric pin passes the line from the
// axle to the tail pin, towards and away from it; equal and opposite in a well-set gear.
struct Wal1LinkSwings {
    float s1 = 0;
    float s2 = 0;
};

class Wal1 : public GearModelOf<GearKind::Walschaerts1, Wal1Record> {
public:
    explicit Wal1(const GearEnvironment& env);

    void SetExample() override;
    void InitialiseGear() override;
    void CalcGear(float crankAngle, float gearSetting) override;
    void SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) override;
    void DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle,
                  float gearSetting) override;

    float PistonPct() const override;
    std::vector<NamedPin> NamedPins() const override;

    // Derived by InitialiseGear.
    float aCAE = 0;          // eccentric angle from the crank pin's direction, counter-clockwise
    float CrankRadius = 0;   // PistStroke / 2
    float LinkHalfAngle = 0; // half the angle of the drawn expansion link
    Point2 ValveOrigin;      // V0: the valve rod pin for zero valve displacement
    Point2 X0;               // mid-gear tail pin
    Point2 C0;               // crank pin at crank angle 0
    Wal1LinkSwings LinkSwings;

    // The pins of the last CalcGear; a pin whose intersection fails keeps its previous position.
    const Wal1Points& Points() const { return pts_; }

protected:
    EditorTable BuildEditor() override;
    // The drawing window fits the crank, connecting rod and cylinder of the edited gear.
    void DeriveAfterEditorOk() override;

private:
    Wal1LinkSwings CheckLinkSwings() const;
    // The mechanism for a run of positions in order: out[i] receives the pins with the crank
    // pointing along cranks[i], as consecutive CalcGear calls would leave them; a pin that cannot be
    // solved keeps its place of the position before (of the last position solved, for the first
    // one); `out` may be the last position solved itself. Each pin is found for every position
    // before the next pin: the positions do not wait on one another, so the processor works on
    // several at once instead of on one chain of intersections after another.
    void SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Wal1Points> out);
    // What the shared steps need for the gear setting, after the overwrites of AutoDU and AutoARy.
    WalschaertsDrive PrepareSolution(float gearSetting);
    // V.x - V0.x + AdjValveX: the valve's displacement before the backlash.
    float LinkValveDisplacement(const Wal1Points& p) const;

    WalschaertsMemo memo_;
    Wal1Points pts_;
    // The revolution's positions and listing, kept between revolutions to save allocations.
    std::vector<Wal1Points> positions_;
    WalschaertsListing listing_;
};

// The field table of the editor form TEdWal1 for one model, in the order its OK button stores them.
EditorTable BuildEdWal1(Wal1& model, SimulationState& state);

} // namespace linkwright
