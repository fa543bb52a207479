// The editor form TEdSte2 as a field table over the Stephenson 2 record.
#pragma once

#include "gears/EditorFields.h"
#include "gears/ste2/Ste2Record.h"

namespace linkwright {

// The form's controls in the order its OK button stores them: the Stephenson rows as TEdSte1 has
// them, worded for the rocker rod, then the rocker and the gear's slant. The conditions (WheelLift,
// WheelDisp, Slack) are `model`'s unit variables, Nsteps and MovieStep the main state's.
EditorTable BuildEdSte2(Ste2Record& g, GearModel& model, SimulationState& state);

} // namespace linkwright
