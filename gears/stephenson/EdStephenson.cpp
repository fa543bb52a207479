// The rows of the Stephenson editors that both kinds share, with the texts they word alike.
#include "gears/stephenson/EdStephenson.h"

#include "state/SimulationState.h"

#include <utility>

namespace linkwright {

EditorTable StartStephensonEditor(GearKind kind, GearModel& model, SimulationState& state,
                                  const CommonRecordFields& common, const StephensonEditorFields& g,
                                  const StephensonEditorTexts& texts) {
    EditorTable table = StartEditorTable(kind, ConditionsTab, PrintPlacement::BesideOkCancel);

    AppendCommonHead(
        table, model, state, common,
        {.bobbinWidth = {.hint = "Width of each bobbin face (piston valve) or land (slide valve)"},
         .clearance = {.label = "Clearance",
                       .hint = "% of dead cylinder volume in each cylinder end and passage when piston is on "
                               "front or rear dead centre"},
         .pistStroke = {.label = "Piston Stroke = 2*AC", .hint = "Stroke = 2 x main Crankpin radius"}});

    const FieldPlace cylinder{GeometryTab, CylinderGroup};
    const FieldPlace drive{GeometryTab, "Expansion Link Drive"};
    const FieldPlace reversing{GeometryTab, "Reversing Gear"};
    const FieldPlace rod{GeometryTab, texts.rodGroup};
    const FieldPlace link{GeometryTab, StephensonLinkGroup};
    std::vector<EditorField>& f = table.fields;

    f.push_back(EditField(cylinder, "GC", "GC Connecting Rod", "Wrist Pin to main Crank Pin", g.GC));

    f.push_back(EditField(drive, "AE", "AE Eccentric Pin Radius",
                          "Radius of locus of eccentric pins, i.e. eccentric throw", g.AE));
    f.push_back(EditField(drive, "CAE", "CAE Angle of Eccentric Pin",
                          "Angle between crank and eccentric. Eccentrics use + and - this angle.", g.CAE,
                          FieldConversion::Degrees));
    f.push_back(EditField(drive, "EF", "EF and JK Ecc Rod lengths", "Length of eccentric rods ", g.EF));

    f.push_back(EditField(reversing, "MaxelLiftArmAng", "Maximum Lifting Arm Angle",
                          "How far, in degrees, does the expansion link lifting arm LR move each side of "
                          "mid-gear position?",
                          g.MaxelLiftArmAng, FieldConversion::DegreesOver180));
    f.push_back(EditField(reversing, "MidelLiftArmAng", "Midgear Lifting Arm Angle",
                          "Set the angle of the expansion link lifting arm LR for mid-gear",
                          g.MidelLiftArmAng, FieldConversion::DegreesOver180));
    f.push_back(EditField(reversing, "ARx", "ARx  Axle to reverse shaft",
                          "Horizontal distance from axle A to reverse shaft R", g.ARx));
    f.push_back(EditField(reversing, "ARy", "ARy Axle to reverse shaft",
                          "Vertical distance from axle  A to reverse shaft  R", g.ARy));
    f.push_back(
        EditField(reversing, "LR", "LR Lifting Arm Length", "Length of expansion link lifting arm", g.LR));
    f.push_back(EditField(reversing, "LM", "LM Exp Link Lifting arm length",
                          "Length of expansion link hanger", g.LM));

    f.push_back(
        EditField(rod, "ATx", "ATx Axle to  rod hanger pivot", "Horizontal distance from A to T", g.ATx));
    f.push_back(
        EditField(rod, "ATy", "ATy Axle to  rod hanger pivot", "Vertical distance from A to T", g.ATy));
    f.push_back(EditField(rod, "TU", texts.tuLabel, "Length of valve rod hanger", g.TU));
    f.push_back(EditField(rod, "UV", texts.uvLabel, "Length of forward portion of valve rod.", g.UV));
    f.push_back(EditField(rod, "BU", "BU Dieblock to hanger pin",
                          "Length of latter portion of valve rod.  Can be negative for an overhung geometry.",
                          g.BU));

    f.push_back(EditField(link, "elEccRodX", "\"Horizontal\" Slot centre to K and F",
                          "Horizontal position of the eccentric rod pins on the expansion link",
                          g.elEccRodX));
    f.push_back(EditField(link, "elEccRodY", "\"Vertical\" Slot centre to K and F",
                          "Vertical position of the eccentric rod pins on the expansion link.  You can "
                          "cross/uncross the rods by changing the sign of this.",
                          g.elEccRodY));
    f.push_back(EditField(link, "elHangX", "\"Horizontal\" Slot centre to hanger pin",
                          "Horizontal position of the hanger pin supporting the expansion link.", g.elHangX));
    f.push_back(EditField(link, "elHangY", "\"Vertical\" Slot centre to hanger pin",
                          "Vertical position of the hanger pin supporting the expansion link. Often, this "
                          "hanger is coincident with K or F or the centre of the slot.",
                          g.elHangY));
    f.push_back(EditField(link, "elRadius", "Expansion link slot radius of curvature",
                          "Radius of curvature of the slot in the expansion link.", g.elRadius));
    f.push_back(EditField(link, "elchord", "Chord of exp link. For display only.",
                          "Approximate length of the curved slot. Only used for display.", g.elchord));

    table.notes.push_back(EditorNote{GeometryTab, link.group, "Memo1", texts.linkNote});
    return table;
}

} // namespace linkwright
