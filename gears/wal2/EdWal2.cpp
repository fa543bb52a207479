// The editor form TEdWal2 as a field table: every control with its tab, group, caption, hint, format
// and conversion, in the order the OK button stores them, and the derived fields an OK recomputes.
#include "gears/wal2/Wal2.h"

#include <vector>

namespace linkwright {

EditorTable BuildEdWal2(Wal2& model, SimulationState& state) {
    Wal2Record& g = model.GearRecord;
    EditorTable table =
        StartEditorTable(GearKind::Walschaerts2, GeometryTab, PrintPlacement::OnTab, OtherTab);

    AppendCommonHead(
        table, model, state, CommonFieldsOf(g),
        {.movieSpeed = {.hint = ""},
         .autoSetting = {.hint =
                             "Ask program to set the return crank and Eccentric Rod Length for you. See AE "
                             "and EX on Geometry tab."},
         .descr = {.hint = "Enter any descriptive text here."},
         .exhaustPressure = {.hint = "Absolute Exhaust Pressure"},
         .steamChestPressure = {.hint = "Absolute Steamchest Pressure"},
         .gamma = {.hint = "Adiabatic Expansion Index"},
         .nsteps = {.hint = "Number of solutions per revolution used for analysis"},
         .wheelLift = {.hint = "See effect of vertical wheel movement from normal position"},
         .wheelDisp = {.hint = "See effect of horizontal wheel movement due to worn axleboxes"},
         .slack = {.hint = "See the effect of accumulated backlash in the valvegear"},
         .portWidth = {.hint = ""},
         .bobbinWidth = {.hint = "Width of bobbin faces (piston valve) or lands (slide valve)"},
         .portSpacing = {.hint = "Distance between the cylinder ports"},
         .bobbinSpacing = {.hint = "Spacing between bobbin faces (piston valve) or lands (slide valve)"},
         .adjValveX = {.hint = "Move the vale along its rod by a fixed distance."},
         .inside = {.hint = "Common for piston valves. The eccentric pin will follow the crank."},
         .outside = {.hint = "Common for slide valves. The eccentric pin will lead the crank."},
         .clearance = {.hint = "% of dead cylinder volume in each cylinder end and passage when piston is on "
                               "front or rear dead centre"},
         .pistStroke = {.hint = "Stroke = 2 x main Crankpin radius"}});

    const FieldPlace cylinder{GeometryTab, CylinderGroup};
    const FieldPlace lever{GeometryTab, "Combination Lever"};
    const FieldPlace link{GeometryTab, "Expansion Link"};
    const FieldPlace drive{GeometryTab, "Expansion Link Drive"};
    const FieldPlace reversing{GeometryTab, "Reversing Gear"};
    const FieldPlace doubleHanger{GeometryTab, "Doublehanger"};
    std::vector<EditorField>& f = table.fields;
    using C = FieldConversion;

    f.push_back(EditField(cylinder, "GVy", "GVy PistRodToValveRod",
                          "Vertical Displacement of Valve rod axis from Piston Rod axis", &g.GVy));
    f.push_back(EditField(cylinder, "GC", "GC Connecting Rod", "Wrist Pin to main Crank Pin", &g.GC));
    f.push_back(EditField(lever, "TV", "TV Comb Lever Upper",
                          "Radius Rod POin to Valve Rod Pin. Can be + or - for inside or outside admission "
                          "valves",
                          &g.TV));
    f.push_back(EditField(lever, "UV", "UV Comb Lever Lower", "Valve Rod Pin to Union Link Pin", &g.UV));
    f.push_back(EditField(lever, "DGx", "DGx DropLink x",
                          "Horizontal component of Wrist Pin to Union Link Pin", &g.DGx));
    f.push_back(EditField(lever, "DGy", "DGy DropLink y", "Vertical component of Wrist Pin to Union Link Pin",
                          &g.DGy));
    f.push_back(
        EditField(lever, "DU", "DU union link", "Union Link length (negative if left of drop link)", &g.DU));
    f.push_back(
        CheckBoxField(lever, "cbDU", "Auto", "If checked, program will calculate length", &g.AutoDU, {"DU"}));
    f.push_back(
        EditField(link, "PXx", "PXx Trunnion to Tail Pin",
                  "Horizontal distance from the trunnion to the eccentric rod's pin, horizontal being "
                  "parallel to the line from the link's centre of curvature to the trunnion",
                  &g.PXx));
    f.push_back(EditField(
        link, "PXy", "PXy Trunnion to Tail Pin",
        "Vertical distance from the trunnion to the eccentric rod's pin, square to that line", &g.PXy));
    f.push_back(EditField(link, "APx", "APx Axle to exp link trunnion",
                          "Horizontal distance from axle to expansion link trunnion.", &g.APx));
    f.push_back(EditField(link, "APy", "APy Axle to exp link trunnion",
                          "Vertical distance from axle to expansion link trunnion.", &g.APy));
    f.push_back(
        EditField(link, "DieBlockChord", "Die Block Chord length",
                  "Chordal length of the expansion link. This dimension is only used for plotting, but "
                  "is useful to check if exp link is long enough.",
                  &g.DieBlockChord));
    f.push_back(EditField(link, "BT", "BT Radius Rod Length", "Radius rod length", &g.BT));
    f.push_back(EditField(drive, "CE", "CE Return Crank Length",
                          "Set return crank length.  A longer return crank results in longer valve travel.",
                          &g.CE));
    f.push_back(
        EditField(drive, "AE", "AE Eccentric Pin Radius",
                  "The radius of the locus of the eccentric pin. This can be set by the computer (see "
                  "note below)",
                  &g.AE));
    f.push_back(EditField(drive, "EX", "EX Eccentric Rod Length",
                          "Length of eccentric rod. This can be set by the computer (see note below)",
                          &g.EX));
    f.push_back(EditField(reversing, "FLAAd", "Full Lifting Arm Angle",
                          "How far, in degrees, does the lifting arm move each side of mid-gear position?",
                          &g.FLAA, C::Degrees));
    f.push_back(EditField(reversing, "MLAAd", "Mid Lifting Arm Angle",
                          "Angle of reversing arm from horizontal in mid gear", &g.MLAA, C::Degrees));
    f.push_back(
        EditField(reversing, "LR", "LR Reversing Arm Length", "Length of reversing lifting arm.", &g.LR));
    f.push_back(EditField(reversing, "ARx", "ARx Rev Shaft from Axle",
                          "Horizontal distance of reversing shaft from axle", &g.ARx));
    f.push_back(EditField(reversing, "ARy", "ARy Rev Shaft from Axle",
                          "Vertical distance of reversing shaft from axle", &g.ARy));
    f.push_back(EditField(reversing, "LM", "LM hanger length", "Length of radius rod hanger", &g.LM));
    f.push_back(EditField(reversing, "BM", "BM DieBlock to hanger pin",
                          "Distance from dieblock to radius rod hanger pin", &g.BM));
    f.push_back(EditField(doubleHanger, "SV", "SV Hanger Length", "Length of double hanger", &g.SV));
    f.push_back(
        EditField(doubleHanger, "VW", "VW Spindle Length", "length of pivoted portion of valve rod", &g.VW));
    f.push_back(EditField(doubleHanger, "ASy", "ASy Axle to Hanger top",
                          "vertical distance from axle to hanger pivot", &g.ASy));

    table.notes.push_back(EditorNote{ConditionsTab,
                                     "",
                                     "HintNote",
                                     {"Hint!", "If you specify a non-zero value for any ",
                                      "of these adjustments, turn off the Auto", "Setting.",
                                      "This will stop the program from compensating",
                                      "for the condition by changing the return Crank."}});
    table.notes.push_back(
        EditorNote{GeometryTab,
                   "",
                   "GeometryNote",
                   {"Notes: If Union link length DU is automatically set ",
                    "by the program then the valve is centrally over ",
                    "the ports when the piston is at mid-stroke and ", "the combination lever is vertical.",
                    "AE and EX could be overwritten by AutoSetting.",
                    "Whether the ecc pin leads or follows the crank is",
                    "determined by inside/outside admission ", "(see Valving)"}});
    return table;
}

EditorTable Wal2::BuildEditor() {
    return BuildEdWal2(*this, env_.state);
}

void Wal2::DeriveAfterEditorOk() {
    FitViewWindowToCylinder(GearRecord);
}

} // namespace linkwright
