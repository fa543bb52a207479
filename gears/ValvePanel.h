// The valve panel every gear kind draws above its mechanism: valve and backlash band, port face,
// cylinder and piston, and the steam and exhaust flow marks once the valve events are known.
#pragma once

#include "gears/GearModel.h"
#include "state/SimulationState.h"

namespace linkwright {

class Glib1;

struct ValvePanel {
    Valving valving;           // ports, bobbins and the admission side of the kind's record
    float ValvePos = 0;        // output valve position, backlash included
    float LinkValvePos = 0;    // valve position given by the linkage, before backlash
    float Slack = 0;           // width of the backlash band
    double PistonFraction = 0; // crosshead travel from its front dead centre, as a fraction of stroke
};

// Starts the picture (InitPlot over the whole drawing area, viewport 10..90 % by 10..95 %), draws
// the panel in a valve-chest window of its own and writes its half-width into the main state.
// The flow marks are drawn while the state's EventsKnown is set, from its EventRecord words 0..3.
void DrawValvePanel(Glib1& plot, SimulationState& state, int width, int height, const ValvePanel& panel);

} // namespace linkwright
