// The editor form TEdSte1 as a field table over the Stephenson 1 record.
#pragma once

#include "gears/EditorFields.h"
#include "gears/ste1/Ste1Record.h"

namespace linkwright {

// The form's controls in the order its OK button stores them. The conditions (WheelLift, WheelDisp,
// Slack) are `model`'s unit variables, Nsteps and MovieStep the main state's.
EditorTable BuildEdSte1(Ste1Record& g, GearModel& model, SimulationState& state);

} // namespace linkwright
