// The editor form TEdSte1 as a field table: the rows both Stephenson forms share, worded for the
// straight valve rod, in the order the OK button stores them.
#include "gears/ste1/EdSte1.h"

#include "gears/stephenson/EdStephenson.h"
#include "state/SimulationState.h"

namespace linkwright {

EditorTable BuildEdSte1(Ste1Record& g, GearModel& model, SimulationState& state) {
    return StartStephensonEditor(
        GearKind::Stephensons1, model, state, CommonFieldsOf(g), StephensonEditorFieldsOf(g),
        StephensonEditorTexts{.rodGroup = "Valve Rod and Hanger",
                              .tuLabel = "TU Valve Rod Hanger length",
                              .uvLabel = "UV Valve  clevis to hanger pin",
                              .linkNote = {"Above, \"slot centre\" means the centre of curvature.",
                                           "X direction is from this point to the middle of the slot.",
                                           "X is horizontal and Y is vertical for this definition."}});
}

} // namespace linkwright
