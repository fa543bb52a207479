// The editor form TEdWal1 as a field table: every control with its tab, group, caption, hint, format
// and conversion, in the order the OK button stores them, and the derived fields an OK recomputes.
#include "gears/wal1/Wal1.h"

#include <utility>

namespace linkwright {

namespace {

EditorField Edit(std::string tab, std::string group, std::string component, std::string label,
                 std::string hint, FieldRef storage, FieldFormat format = FieldFormat::Decimals,
                 FieldConversion conversion = FieldConversion::Plain) {
    EditorField field;
    field.tab = std::move(tab);
    field.group = std::move(group);
    field.component = std::move(component);
    field.label = std::move(label);
    field.hint = std::move(hint);
    field.control = ControlKind::Edit;
    field.format = format;
    field.conversion = conversion;
    field.storage = storage;
    return field;
}

EditorField CheckBox(std::string tab, std::string group, std::string component, std::string label,
                     std::string hint, std::uint8_t* flag, std::vector<std::string> disables = {}) {
    EditorField field;
    field.tab = std::move(tab);
    field.group = std::move(group);
    field.component = std::move(component);
    field.label = std::move(label);
    field.hint = std::move(hint);
    field.control = ControlKind::CheckBox;
    field.format = FieldFormat::None;
    field.conversion = FieldConversion::CheckBox;
    field.storage = FieldRef::Flag(flag);
    field.disables = std::move(disables);
    return field;
}

} // namespace

EditorTable BuildEdWal1(Wal1& model, SimulationState& state) {
    Wal1Record& g = model.GearRecord;
    const auto real = [](float& value) { return FieldRef::Float(&value); };
    const std::string conditions = "Conditions";
    const std::string geometry = "Geometry";
    const std::string valving = "Valving";
    const std::string other = "Other";
    const std::string cylinder = "Cylinder";
    const std::string lever = "Combination Lever";
    const std::string link = "Expansion Link";
    const std::string drive = "Expansion Link Drive";
    const std::string reversing = "Reversing Gear";

    EditorTable table;
    table.caption = "Edit Walschaert 1";
    table.tabs = {conditions, geometry, valving, other};
    table.firstTab = conditions;

    std::vector<EditorField>& f = table.fields;

    EditorField movie;
    movie.tab = other;
    movie.group = "Movie Speed";
    movie.component = "ScrollBar1";
    movie.label = "Movie Speed";
    movie.hint = "Crank angle advanced per frame of the animation, from Slow (0.1 degree) to Fast (1 degree)";
    movie.control = ControlKind::MovieSpeed;
    movie.format = FieldFormat::None;
    movie.conversion = FieldConversion::MovieSpeed;
    movie.storage = FieldRef::Float(&state.MovieStep);
    f.push_back(movie);

    f.push_back(CheckBox(conditions, "", "AutoSetting1", "Auto Setting",
                         "Let the program set the return crank (AE) and eccentric rod (EX) itself",
                         &model.AutoSetting));
    f.push_back(Edit(other, "", "Descr", "Gear Description", "Free description of this gear",
                     FieldRef::Text(&g.Descr), FieldFormat::Text, FieldConversion::Text));
    f.push_back(Edit(other, "", "ExhaustPressure", "Exhaust Pressure", "Absolute exhaust pressure",
                     real(g.ExhaustPressure), FieldFormat::TwoDecimals));
    f.push_back(Edit(other, "", "SteamChestPressure", "Steam Chest Pressure", "Absolute steam chest pressure",
                     real(g.SteamChestPressure), FieldFormat::TwoDecimals));
    f.push_back(Edit(other, "", "Gamma", "Gamma", "Adiabatic expansion index of the steam", real(g.Gamma),
                     FieldFormat::TwoDecimals));
    f.push_back(Edit(conditions, "", "Nsteps", "Solution Steps",
                     "Solutions per revolution used for the analysis (30 to 550)",
                     FieldRef::Int32(&state.Nsteps), FieldFormat::Integer, FieldConversion::Integer));
    f.push_back(Edit(conditions, "", "WheelLift1", "Wheel Lift",
                     "Vertical movement of the axle from its normal place", real(model.WheelLift)));
    f.push_back(Edit(conditions, "", "WheelDisp1", "Wheel Displacement",
                     "Horizontal movement of the axle (worn axleboxes)", real(model.WheelDisp)));
    f.push_back(Edit(conditions, "", "Slack1", "Backlash",
                     "Accumulated backlash in the gear: width of the dead band of the valve drive",
                     real(model.Slack)));
    f.push_back(
        Edit(valving, "", "PortWidth", "Port Width", "Width of each cylinder port", real(g.PortWidth)));
    f.push_back(Edit(valving, "", "BobbinWidth", "Bobbin Width",
                     "Width of each bobbin face (piston valve) or land", real(g.BobbinWidth)));
    f.push_back(Edit(valving, "", "PortSpacing", "Port Spacing",
                     "Distance between the inner edges of the ports", real(g.PortSpacing)));
    f.push_back(Edit(valving, "", "BobbinSpacing", "Bobbin Spacing",
                     "Spacing between the bobbin faces or lands", real(g.BobbinSpacing)));
    f.push_back(Edit(valving, "", "AdjValveX", "Adjust Valve X", "Fixed shift of the valve along its rod",
                     real(g.AdjValveX)));

    EditorField admission;
    admission.tab = valving;
    admission.group = "";
    admission.component = "Admission";
    admission.label = "Steam Admission";
    admission.hint = "Steam admitted between the bobbins (inside) or at their outer edges (outside)";
    admission.control = ControlKind::RadioPair;
    admission.format = FieldFormat::None;
    admission.conversion = FieldConversion::RadioPair;
    admission.storage = FieldRef::Flag(&g.Inside);
    admission.choices = {RadioChoice{"Inside", "Inside", "Inside admission: steam between the bobbins"},
                         RadioChoice{"Outside", "Outside", "Outside admission: steam at the outer edges"}};
    f.push_back(admission);

    f.push_back(Edit(geometry, cylinder, "Clearance", "Clearance",
                     "Dead volume of each cylinder end and passage, percent of swept volume",
                     real(g.Clearance)));
    f.push_back(Edit(geometry, cylinder, "PistStroke", "Piston Stroke",
                     "Piston stroke: twice the crank radius", real(g.PistStroke)));
    f.push_back(Edit(geometry, cylinder, "GVy", "GVy PistRodToValveRod",
                     "Height of the valve-rod axis above the piston-rod axis", real(g.GVy)));
    f.push_back(Edit(geometry, cylinder, "GC", "GC Connecting Rod",
                     "Connecting rod: gudgeon pin to crank pin", real(g.GC)));
    f.push_back(
        Edit(geometry, lever, "TV", "TV Comb Lever Upper",
             "Combination lever, radius rod pin to valve rod pin: + or - for inside or outside admission "
             "valves",
             real(g.TV)));
    f.push_back(Edit(geometry, lever, "UV", "UV Comb Lever Lower",
                     "Combination lever, valve rod pin to union link pin", real(g.UV)));
    f.push_back(Edit(geometry, lever, "DGx", "DGx DropLink x",
                     "Droplink: horizontal offset, gudgeon pin to union link pin", real(g.DGx)));
    f.push_back(Edit(geometry, lever, "DGy", "DGy DropLink y",
                     "Droplink: vertical offset, gudgeon pin to union link pin", real(g.DGy)));
    f.push_back(Edit(geometry, lever, "DU", "DU Union Link", "Union link length (signed)", real(g.DU)));
    f.push_back(CheckBox(geometry, lever, "cbDU", "Auto",
                         "Compute the union link so that the valve is central at mid-stroke", &g.AutoDU,
                         {"DU"}));
    f.push_back(Edit(geometry, link, "PXx", "PXx Trunnion to Tailpin",
                     "Trunnion to tail pin along the link (the backset)", real(g.PXx)));
    f.push_back(Edit(geometry, link, "PXy", "PXy Trunnion to Tailpin", "Trunnion to tail pin across the link",
                     real(g.PXy)));
    f.push_back(Edit(geometry, link, "APx", "APx Axle to exp link trunnion",
                     "Axle to expansion link trunnion, horizontal", real(g.APx)));
    f.push_back(Edit(geometry, link, "APy", "APy Axle to exp link trunnion",
                     "Axle to expansion link trunnion, vertical", real(g.APy)));
    f.push_back(Edit(geometry, link, "DieBlockChord", "Die Block Chord length",
                     "Chord length of the expansion link as drawn", real(g.DieBlockChord)));
    f.push_back(Edit(geometry, link, "BT", "BT Radius Rod Length",
                     "Radius rod length, equal to the link radius", real(g.BT)));
    f.push_back(Edit(geometry, drive, "CE", "CE Return Crank Length",
                     "Return crank: crank pin to eccentric pin", real(g.CE)));
    f.push_back(Edit(geometry, drive, "AE", "AE Eccentric Pin Radius",
                     "Radius of the eccentric pin about the axle", real(g.AE)));
    f.push_back(Edit(geometry, drive, "EX", "EX Eccentric Rod Length",
                     "Eccentric rod: eccentric pin to tail pin", real(g.EX)));
    f.push_back(Edit(geometry, reversing, "FLAAd", "Full Lifting Arm Angle",
                     "Swing of the lifting arm each side of mid gear, degrees", real(g.FLAA),
                     FieldFormat::Decimals, FieldConversion::Degrees));
    f.push_back(Edit(geometry, reversing, "MLAAd", "Midgear Lifting Arm Angle",
                     "Angle of the lifting arm from horizontal in mid gear, degrees", real(g.MLAA),
                     FieldFormat::Decimals, FieldConversion::Degrees));
    f.push_back(Edit(geometry, reversing, "LR", "LR Reversing Arm Length", "Lifting arm length", real(g.LR)));
    f.push_back(Edit(geometry, reversing, "ARx", "PRx Rev Shaft Exp Link Trunnion",
                     "Expansion link trunnion to reversing shaft, horizontal", real(g.ARx)));
    f.push_back(Edit(geometry, reversing, "ARy", "ARy Rev Shaft from Axle",
                     "Height of the reversing shaft above the axle line", real(g.ARy)));
    f.push_back(
        CheckBox(geometry, reversing, "cbARy", "Auto",
                 "Put the reversing shaft level with the trunnion and the lifting arm level in mid gear",
                 &g.AutoARy, {"ARy", "MLAAd"}));

    table.notes.push_back(EditorNote{conditions,
                                     "",
                                     "HintNote",
                                     {"Hint!", "If you specify a non-zero value for any ",
                                      "of these adjustments, turn off the Auto", "Setting.",
                                      "This will stop the program from compensating",
                                      "for the condition by changing the return Crank."}});
    table.notes.push_back(
        EditorNote{geometry,
                   lever,
                   "UnionLinkNote",
                   {"Auto sets DU so that the valve is central", "over the ports at mid-stroke, with the",
                    "combination lever vertical."}});
    table.notes.push_back(EditorNote{geometry,
                                     drive,
                                     "AutoSettingNote",
                                     {"AE and EX may be overwritten", "by the Auto Setting.",
                                      "Inside or outside admission decides",
                                      "whether the eccentric pin leads or", "follows the crank."}});
    table.notes.push_back(EditorNote{geometry,
                                     reversing,
                                     "ReversingShaftNote",
                                     {"Auto puts the reversing shaft", "level with the trunnion."}});
    return table;
}

EditorTable Wal1::BuildEditor() {
    return BuildEdWal1(*this, env_.state);
}

void Wal1::DeriveAfterEditorOk() {
    Wal1Record& g = GearRecord;
    const double stroke = g.PistStroke;
    const double length = stroke + g.GC;
    g.ViewWindow[0] = static_cast<float>(-stroke);
    g.ViewWindow[1] = static_cast<float>(length);
    g.ViewWindow[2] = static_cast<float>(-stroke);
    g.ViewWindow[3] = static_cast<float>(length / 2.0);
}

} // namespace linkwright
