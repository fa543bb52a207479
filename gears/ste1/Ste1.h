// Stephenson 1: Stephenson's link motion with a straight valve rod. The die block rides in the link's
// slot on the rod, which a hanger from a fixed pivot holds up and which drives the valve spindle on
// the level of the cylinder reference.
#pragma once

#include "gears/ste1/Ste1Record.h"
#include "gears/stephenson/StephensonModel.h"
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

class Ste1 : public StephensonModel<GearKind::Stephensons1, Ste1Record, Ste1Points> {
public:
    explicit Ste1(const GearEnvironment& env);

    void SetExample() override;

protected:
    EditorTable BuildEditor() override;
    void SolvePositions(std::span<const Direction2> cranks, float gearSetting,
                        std::span<Ste1Points> out) override;

private:
    // The valve rod while it is solved: the clevis's abscissa is the free variable.
    struct ValveRodState {
        Point2 Q; // the slot's centre of curvature, from the link motion
        Point2 U;
        Point2 B;
        Point2 V;
        bool placed = false; // a pass has placed the pins
    };

    // V.x - AdjValveX: the valve's displacement before the backlash.
    float LinkValveDisplacement(const Ste1Points& p) const override;

    // Kept between solves to save allocations.
    std::vector<ValveRodState> rods_;
    std::vector<IterationResult> rodResults_;
};

} // namespace linkwright
