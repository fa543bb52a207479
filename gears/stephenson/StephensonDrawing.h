// The main view of a Stephenson gear: the valve panel, then the crank, the link motion, the rod from
// the die block with its hanger and, for a gear that drives its valve through a rocker, the rocker
// and the valve rod, with the pins' letters.
#pragma once

#include "gears/ValvePanel.h"
#include "gears/stephenson/Stephenson.h"
#include "geometry/Geomlib0.h"
#include "state/SimulationState.h"

#include <optional>
#include <vector>

namespace linkwright {

class Glib1;

// A rocker on its fixed pivot X: W ends the arm that drives the valve rod, which ends at Y on the
// valve spindle line.
struct StephensonRockerPins {
    Point2 X;
    Point2 W;
    Point2 Y;
};

// What the view shows of one solved position.
struct StephensonPicture {
    StephensonLinkMotion link;
    StephensonFixedPoints fixed;
    float CrankRadius = 0;
    float elRadius = 0;
    float elchord = 0;
    Point2 U; // hanger pin on the die block's rod
    Point2 B; // die block
    Point2 V; // front end of the die block's rod
    std::optional<StephensonRockerPins> rocker;
    ValvePanel panel; // its piston fraction is the crosshead's, from the link motion
};

// Draws the picture on a drawing area of width x height pixels, in the main state's view window,
// labelling the pins when `annotate` is set. The rocker's pins come in where the drawing of a gear
// without one has the matching parts: its pivot's cross after the reversing shaft's, its circles
// after V's, its arms, the valve rod and a stub of the spindle after the pins, and its letters last.
void DrawStephensonGear(Glib1& plot, SimulationState& state, int width, int height, bool annotate,
                        const StephensonPicture& picture);
// The picture's pins under the letters the drawing writes beside them, in its order.
std::vector<NamedPin> StephensonPinLabels(const StephensonPicture& picture);

} // namespace linkwright
