// Walschaerts 2, the gear with a double hanger: the Walschaerts drive to the expansion link, a
// radius rod carried by a hanger from the lifting arm, and a combination lever whose valve-rod pin
// hangs from a fixed pivot and works the valve spindle through a pivoted valve rod.
#pragma once

#include "gears/BoundedIteration.h"
#include "gears/GearModelOf.h"
#include "gears/wal2/Wal2Record.h"
#include "gears/walschaerts/Walschaerts.h"
#include "geometry/Geomlib0.h"

#include <cstdint>
#include <span>
#include <vector>

namespace linkwright {

// The pass limits of the two iterations. A gear that can be built settles within a handful of
// passes in both; one whose radius rod or lever cannot close stops here instead of running on.
inline constexpr int kWal2RadiusRodPasses = 100;
inline constexpr int kWal2LeverPasses = 100;

// The pins of the linkage: those both Walschaerts kinds place alike (the fixed pins, crank pin,
// crosshead, droplink, eccentric pin, tail pin, the link's centre of curvature, reversing shaft,
// lifting arm end and the level union link's pin U0), and these. Each letter is also the label
// drawn beside the pin.
struct Wal2Points : WalschaertsPins {
    Point2 T; // radius rod pin, top of the combination lever
    Point2 M; // radius-rod hanger pin
    Point2 B; // die block
    Point2 V; // valve rod pin on the lever, foot of the double hanger
    Point2 U; // union link pin, foot of the lever
    Point2 W; // valve spindle pin
    Point2 S; // the double hanger's fixed pivot
};

// How the two iterations of one position ended.
struct Wal2Iterations {
    IterationResult radiusRod; // iteration 1: radius rod and die block
    IterationResult lever;     // iteration 2: combination lever and union link
};

// The expansion link's swings from its mid position with the eccentric rod and the eccentric in
// line, stretched and folded; equal and opposite in a well-set gear.
struct Wal2LinkSwings {
    float s1 = 0;
    float s2 = 0;
    float full = 0; // from the stretched to the folded position
};

class Wal2 : public GearModelOf<GearKind::Walschaerts2, Wal2Record> {
public:
    explicit Wal2(const GearEnvironment& env);

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
    Point2 ValveOrigin;      // V0: where the link's radius puts the valve gear's centre line
    Point2 SpindleOrigin;    // W0: the valve spindle pin for zero valve displacement
    Point2 X0;               // mid-gear tail pin
    Point2 C0;               // crank pin at crank angle 0
    Wal2LinkSwings LinkSwings;

    // The pins of the last CalcGear; a pin that cannot be solved keeps its previous position.
    const Wal2Points& Points() const { return pts_; }
    // How the iterations of the last CalcGear ended (of the last position, after a revolution).
    const Wal2Iterations& Iterations() const { return iterations_; }

protected:
    EditorTable BuildEditor() override;
    // The drawing window fits the crank, connecting rod and cylinder of the edited gear.
    void DeriveAfterEditorOk() override;

private:
    Wal2LinkSwings CheckLinkSwings() const;
    // What the shared steps need for the gear setting, after AutoDU's overwrite.
    WalschaertsDrive PrepareSolution(float gearSetting);
    // The mechanism for a run of positions in order: out[i] receives the pins with the crank
    // pointing along cranks[i], as consecutive CalcGear calls would leave them, and iterations[i]
    // how its iterations ended. A pin that cannot be solved keeps its place of the position before
    // (of the last position solved, for the first one); `out` may be the last position solved
    // itself. The iterations of all positions run together, pass by pass.
    void SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Wal2Points> out,
                        std::span<Wal2Iterations> iterations);
    // W.x - W0.x + AdjValveX: the valve's displacement before the backlash.
    float LinkValveDisplacement(const Wal2Points& p) const;

    // The radius rod while iteration 1 solves it.
    struct RadiusRodState {
        Point2 Q;             // the link's centre of curvature at this position
        Point2 T;             // corrected along its line by every pass
        Point2 M;             // of the last pass that placed them
        Point2 B;             //
        bool ranAway = false; // the last correction exceeded the stroke
    };
    // The lever while iteration 2 solves it.
    struct LeverState {
        Point2 D;             // droplink pin
        Point2 U0;            // the lever's foot with the union link level
        Point2 T;             // the radius rod pin the lever's top must reach
        float line = 0;       // x of the vertical line the valve rod pin is sought on
        Point2 V;             // on the double hanger
        Point2 U;             // of the last pass
        bool started = false; // the double hanger reached the first line
    };

    WalschaertsMemo memo_;
    Wal2Points pts_;
    Wal2Iterations iterations_;
    // The revolution's positions, iteration scratch and listing, kept between revolutions to save
    // allocations.
    std::vector<Wal2Points> positions_;
    std::vector<Wal2Iterations> positionIterations_;
    std::vector<RadiusRodState> radiusRods_;
    std::vector<LeverState> levers_;
    std::vector<IterationResult> results_;
    std::vector<std::uint32_t> active_;
    WalschaertsListing listing_;
};

// The field table of the editor form TEdWal2 for one model, in the order its OK button stores them.
EditorTable BuildEdWal2(Wal2& model, SimulationState& state);

} // namespace linkwright
