// Stephenson 2: Stephenson's link motion, which may be slanted, driving the valve through a rocker.
// The die block's rod, held up by a hanger, ends at one arm of a rocker on a fixed pivot; the other
// arm drives the valve rod, whose far end runs on the valve spindle line.
#pragma once

#include "gears/ste2/Ste2Record.h"
#include "gears/stephenson/StephensonModel.h"
#include "geometry/Geomlib0.h"

#include <cstdint>
#include <span>
#include <vector>

namespace linkwright {

// The rocker iteration makes at most this many passes ("go on while n <= 100").
inline constexpr int kSte2RockerPasses = 101;

// The pins of the linkage after a CalcGear: the link motion both Stephenson kinds share, the
// rocker rod and the rocker with the valve rod. Each letter is also the label drawn beside the pin.
struct Ste2Points {
    StephensonLinkMotion link;
    Point2 X; // rocker pivot, fixed to the frame
    Point2 W; // end of the rocker's valve arm, joined to the valve rod
    Point2 V; // end of the rocker's rod arm, the rocker rod's front end
    Point2 U; // hanger pin on the rocker rod
    Point2 B; // die block, in the slot
    Point2 Y; // the valve rod's end on the spindle line: the valve
    IterationResult rocker;
};

class Ste2 : public StephensonModel<GearKind::Stephensons2, Ste2Record, Ste2Points> {
public:
    explicit Ste2(const GearEnvironment& env);

    void SetExample() override;

protected:
    EditorTable BuildEditor() override;
    void SolvePositions(std::span<const Direction2> cranks, float gearSetting,
                        std::span<Ste2Points> out) override;

private:
    // The rocker while it is solved: the abscissa of the valve rod's end is the free variable.
    struct RockerState {
        Point2 Q; // the slot's centre of curvature, from the link motion
        Point2 M; // the link's hanger pin, which picks the rocker rod hanger's pin
        Point2 W;
        Point2 V;
        Point2 U;
        Point2 B;
        Point2 Y;
        bool placed = false; // a pass has placed the pins
    };

    // Y.x - AdjValveX: the valve's displacement before the backlash.
    float LinkValveDisplacement(const Ste2Points& p) const override;
    // The rocker, its pivot and the valve rod.
    void AddToPicture(StephensonPicture& picture) const override;

    // Kept between solves to save allocations.
    std::vector<RockerState> rockers_;
    std::vector<IterationResult> rockerResults_;
};

} // namespace linkwright
