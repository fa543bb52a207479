// The editor form TEdSte2 as a field table: the rows both Stephenson forms share, worded for the
// rocker rod, then the rocker's group and the slant in the link's group, in the order the OK button
// stores them.
#include "gears/ste2/EdSte2.h"

#include "gears/stephenson/EdStephenson.h"
#include "state/SimulationState.h"

#include <vector>

namespace linkwright {

EditorTable BuildEdSte2(Ste2Record& g, GearModel& model, SimulationState& state) {
    EditorTable table = StartStephensonEditor(
        GearKind::Stephensons2, model, state, CommonFieldsOf(g), StephensonEditorFieldsOf(g),
        StephensonEditorTexts{
            .rodGroup = "Rocker Rod and Hanger",
            .tuLabel = "TU Rocker Rod Hanger length",
            .uvLabel = "UV Rocker lever to hanger pin",
            // The slant's edit shares the group, so its note is narrower.
            .linkNote = {"Above, \"slot centre\" means the", "centre of curvature. X direction is",
                         "from this point to the middle of the", "slot. X is horizontal and Y is",
                         "vertical for this definition."}});

    const FieldPlace rocker{GeometryTab, "Rocker"};
    const FieldPlace link{GeometryTab, StephensonLinkGroup};
    std::vector<EditorField>& f = table.fields;
    f.push_back(EditField(rocker, "AXx", "AXx Axle to rocker pivot", "", &g.AXx));
    f.push_back(EditField(rocker, "Axy", "AXy axle to rocker pivot", "", &g.AXy));
    f.push_back(EditField(rocker, "VX", "VX Rocker rod lever arm", "", &g.VX));
    f.push_back(EditField(rocker, "WX", "WX Valve rod lever arm", "", &g.WX));
    f.push_back(EditField(rocker, "WY", "WY Valve Rod length", "", &g.WY));
    f.push_back(EditField(rocker, "AYy", "AYy Axle to Valve rod vertically", "", &g.AYy));
    f.push_back(
        EditField(rocker, "aVXW", "aVXW bend in rocker lever", "", &g.aVXW, FieldConversion::DegreesOver180));
    f.push_back(TwoHintEditField(link, "GearSlant", "Slant of gear (usually zero)",
                                 "Slant of gear from horizontal", "Slants the gear relative to horizontal",
                                 &g.GearSlant, FieldConversion::Degrees));

    table.notes.push_back(EditorNote{
        GeometryTab, rocker.group, "RockerBendNote", {"0 deg is straight,  180 to fold back completely"}});
    return table;
}

} // namespace linkwright
