// The editor form TEdBak1 as a field table: every control with its tab, group, caption, hint, format
// and conversion, in the order the OK button stores them.
#include "gears/bak1/Bak1.h"

#include <vector>

namespace linkwright {

EditorTable BuildEdBak1(Bak1& model, SimulationState& state) {
    Bak1Record& g = model.GearRecord;
    EditorTable table = StartEditorTable(GearKind::Bakers1, OtherTab, PrintPlacement::BesideOkCancel);

    AppendCommonHead(
        table, model, state, CommonFieldsOf(g),
        {.descr = {.hint = "Enter any descriptive text here."},
         .exhaustPressure = {.hint = "Absolute Exhaust Pressure"},
         .steamChestPressure = {.label = "SteamChest Pressure", .hint = "Absolute Steamchest Pressure"},
         .gamma = {.hint = "Adiabatic Expansion Index"},
         .nsteps = {.hint = "Number of solutions per revolution used for analysis"},
         .wheelLift = {.hint = "See effect of vertical wheel movement from normal position"},
         .wheelDisp = {.hint = "See effect of horizontal wheel movement due to worn axleboxes"},
         .slack = {.hint = "See the effect of accumulated backlash in the valvegear"},
         .portWidth = {.hint = ""},
         .bobbinWidth = {.hint = "Width of bobbin faces(piston valve) or lands (slide valve)"},
         .portSpacing = {.hint = "Distance between the cylinder ports"},
         .bobbinSpacing = {.hint = "Spacing of bobbin inner edges (piston valve) or lands (slide valve)"},
         .adjValveX = {.label = "Adjust Valve Position",
                       .hint = "Move the vale along its rod by a fixed distance."},
         .inside = {.hint = "Common for piston valves. The eccentric pin will follow the crank."},
         .outside = {.hint = "Common for slide valves. The eccentric pin will lead the crank."},
         .clearance = {.hint = "% of dead cylinder volume in each cylinder end and passage when piston is on "
                               "front or rear dead centre"},
         .pistStroke = {.hint = "Stroke = 2 x main Crankpin radius"}});

    const FieldPlace cylinder{GeometryTab, CylinderGroup};
    const FieldPlace lever{GeometryTab, "Combination Lever"};
    const FieldPlace gear{GeometryTab, "Expansion Gear"};
    const FieldPlace drive{GeometryTab, "Expansion Gear Drive"};
    const FieldPlace reversing{GeometryTab, "Reversing Gear"};
    const FieldPlace bellCrank{GeometryTab, "Bell Crank"};
    std::vector<EditorField>& f = table.fields;
    using C = FieldConversion;

    f.push_back(EditField(cylinder, "GVy", "GVy PistRodToValveRod",
                          "Vertical Displacement of Valve rod axis from Piston Rod axis", &g.GVy));
    f.push_back(EditField(cylinder, "GC", "GC Connecting Rod", "Wrist Pin to main Crank Pin", &g.GC));
    f.push_back(EditField(lever, "TV", "TV Comb Lever Upper",
                          " Can be + or - for inside or outside admission valves", &g.TV));
    f.push_back(EditField(lever, "UV", "UV Comb Lever Lower", "Valve Rod Pin to Union Link Pin", &g.UV));
    f.push_back(EditField(lever, "DGx", "DGx DropLink x",
                          "Horizontal component of Wrist Pin to Union Link Pin", &g.DGx));
    f.push_back(EditField(lever, "DGy", "DGy DropLink y", "Vertical component of Wrist Pin to Union Link Pin",
                          &g.DGy));
    f.push_back(EditField(lever, "DU", "DU Union Link", "Length of union link.", &g.DU));
    f.push_back(EditField(reversing, "FRYA", "Full Reverse Yoke Angle",
                          "How far, in degrees, does the lifting arm move each side of mid-gear position?",
                          &g.FRYA, C::Degrees));
    f.push_back(EditField(reversing, "MRYA", "Mid Reverse Yoke Angle",
                          "Set the angle of the reverse yoke for mid-gear", &g.MRYA, C::Degrees));
    f.push_back(EditField(reversing, "ALx", "ALx Axle to Yoke Pivot",
                          "Horizontal distance from axle to reverse shaft (yoke pivot)", &g.ALx));
    f.push_back(EditField(reversing, "ALy", "ALy Axle to Yoke Pivot",
                          "Vertical distance from axle to reverse shaft (yoke pivot)", &g.ALy));
    f.push_back(EditField(reversing, "LR", "LR Reverse Yoke Radius", "Length of reversing yoke", &g.LR));
    f.push_back(EditField(gear, "BT", "BT ValveRod Length", "Valve rod length", &g.BT));
    f.push_back(EditField(gear, "RY", "RY Radius bar", "Radius bar length", &g.RY));
    f.push_back(EditField(gear, "YZ", "YZ Sickle Upper", "Length of upper portion of sickle", &g.YZ));
    f.push_back(EditField(gear, "XYy", "XYy Sickle Lower",
                          "Length of lower portion of sickle, in line with YZ", &g.XYy));
    f.push_back(EditField(gear, "XYx", "XYx Sickle Lower",
                          "Length of lower portion of sickle, perpendicular to YZ", &g.XYx));
    f.push_back(EditField(drive, "AE", "AE Eccentric Pin Radius", "Radius of locus of eccentric pin", &g.AE));
    f.push_back(EditField(drive, "CAE", "CAE Angle of Eccentric Pin",
                          "Angle measured anticlockwise from main crank to eccentric pin, degrees", &g.CAE,
                          C::Degrees));
    f.push_back(EditField(drive, "EX", "EX Eccentric Rod Length", "Length of eccentric rod. ", &g.EX));
    f.push_back(EditField(bellCrank, "APx", "APx Axle to Bell Crank Pivot",
                          "Horizontal distance from axle to bell crank pivot.", &g.APx));
    f.push_back(EditField(bellCrank, "APy", "APy Axle to Bell Crank Pivot",
                          "Vertical distance from axle to bell crank pivot.", &g.APy));
    f.push_back(EditField(bellCrank, "PZ", "PZ Bell Crank Upper",
                          "Length of horizontal portion of bell crank", &g.PZ));
    f.push_back(
        EditField(bellCrank, "BP", "BP Bell Crank Lower", "Length of vertical portion of bell crank", &g.BP));
    f.push_back(EditField(bellCrank, "BPZ", "BPZ Bell Crank Angle", "Angle of bend of the bell crank", &g.BPZ,
                          C::Degrees));
    return table;
}

} // namespace linkwright
