// Stephenson 1: Stephenson's link motion with a straight valve rod. The die block rides in the link's
// slot on the rod, which a hanger from a fixed pivot holds up and which drives the valve spindle on
// the level of the cylinder reference.
#pragma once

#include "gears/GearModelOf.h"
#include "gears/ste1/Ste1Record.h"
#include "gears/stephenson/Stephenson.h"
#include "geometry/Geomlib0.h"

#include <cstdint>
#include <span>
#include <vector>

namespace linkwright {

// The valve-rod iteration makes at most this many passes ("go on while n <= 100").
inline constexpr int kSte1ValveRodPasses = 101;

// The pins of the linkage after a CalcGear: the link motion both Stephenson kinds share, and the
// valve rod. Each letter is also the label drawn beside the pin.
struct Ste1Points {
    StephensonLinkMotion link;
    Point2 U; // hanger pin on the valve rod
    Point2 B; // die block, in the slot
    Point2 V; // valve clevis, on the spindle line
    IterationResult valveRod;
};

class Ste1 : public GearModelOf<GearKind::Stephensons1, Ste1Record> {
public:
    explicit Ste1(const GearEnvironment& env);

    void SetExample() override;
    void InitialiseGear() override;
    void CalcGear(float crankAngle, float gearSetting) override;
    void SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) override;
    void DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle,
                  float gearSetting) override;

    float PistonPct() const override;

    // The fixed points and tolerance InitialiseGear derived.
    const StephensonFixedPoints& Fixed() const { return fixed_; }
    // The pins of the last CalcGear; a pin whose intersection fails keeps its previous position.
    const Ste1Points& Points() const { return pts_; }

protected:
    EditorTable BuildEditor() override;
    // The drawing window fits the crank and connecting rod of the edited gear.
    void DeriveAfterEditorOk() override;

private:
    // The valve rod while it is solved: the clevis's abscissa is the free variable.
    struct ValveRodState {
        Point2 Q; // the slot's centre of curvature, from the link motion
        Point2 U;
        Point2 B;
        Point2 V;
        bool placed = false; // a pass has placed the pins
    };

    // The mechanism for a run of positions in order: out[k] receives the pins with the crank
    // pointing along cranks[k], as consecutive CalcGear calls would leave them (the first after the
    // last position solved); `out` may be the last position solved itself.
    void SolvePositions(std::span<const Direction2> cranks, float gearSetting, std::span<Ste1Points> out);
    // V.x - AdjValveX: the valve's displacement before the backlash.
    float LinkValveDisplacement(const Ste1Points& p) const;
    float PistonPercent(const Ste1Points& p) const;

    StephensonLinkDimensions dimensions_;
    StephensonFixedPoints fixed_;
    Ste1Points pts_;
    // Kept between solves to save allocations.
    StephensonLinkSolver linkSolver_;
    std::vector<ValveRodState> rods_;
    std::vector<IterationResult> rodResults_;
    std::vector<std::uint32_t> active_;
    std::vector<Ste1Points> positions_;
};

} // namespace linkwright
