// The editor form TEdWal1 as a field table: every control with its tab, group, caption, hint, format
// and conversion, in the order the OK button stores them, and the derived fields an OK recomputes.
#include "gears/wal1/Wal1.h"

namespace linkwright {

EditorTable BuildEdWal1(Wal1& model, SimulationState& state) {
    Wal1Record& g = model.GearRecord;
    EditorTable table =
        StartEditorTable(GearKind::Walschaerts1, ConditionsTab, PrintPlacement::OnTab, OtherTab);

    AppendCommonHead(table, model, state, CommonFieldsOf(g), {});

    const FieldPlace cylinder{GeometryTab, CylinderGroup};
    const FieldPlace lever{GeometryTab, "Combination Lever"};
    const FieldPlace link{GeometryTab, "Expansion Link"};
    const FieldPlace drive{GeometryTab, "Expansion Link Drive"};
    const FieldPlace reversing{GeometryTab, "Reversing Gear"};
    std::vector<EditorField>& f = table.fields;

    f.push_back(EditField(cylinder, "GVy", "GVy PistRodToValveRod",
                          "Height of the valve-rod axis above the piston-rod axis", &g.GVy));
    f.push_back(
        EditField(cylinder, "GC", "GC Connecting Rod", "Connecting rod: gudgeon pin to crank pin", &g.GC));
    f.push_back(EditField(
        lever, "TV", "TV Comb Lever Upper",
        "Combination lever, radius rod pin to valve rod pin: + or - for inside or outside admission "
        "valves",
        &g.TV));
    f.push_back(EditField(lever, "UV", "UV Comb Lever Lower",
                          "Combination lever, valve rod pin to union link pin", &g.UV));
    f.push_back(EditField(lever, "DGx", "DGx DropLink x",
                          "Droplink: horizontal offset, gudgeon pin to union link pin", &g.DGx));
    f.push_back(EditField(lever, "DGy", "DGy DropLink y",
                          "Droplink: vertical offset, gudgeon pin to union link pin", &g.DGy));
    f.push_back(EditField(lever, "DU", "DU Union Link", "Union link length (signed)", &g.DU));
    f.push_back(CheckBoxField(lever, "cbDU", "Auto",
                              "Compute the union link so that the valve is central at mid-stroke", &g.AutoDU,
                              {"DU"}));
    f.push_back(EditField(link, "PXx", "PXx Trunnion to Tailpin",
                          "Trunnion to tail pin along the link (the backset)", &g.PXx));
    f.push_back(
        EditField(link, "PXy", "PXy Trunnion to Tailpin", "Trunnion to tail pin across the link", &g.PXy));
    f.push_back(EditField(link, "APx", "APx Axle to exp link trunnion",
                          "Axle to expansion link trunnion, horizontal", &g.APx));
    f.push_back(EditField(link, "APy", "APy Axle to exp link trunnion",
                          "Axle to expansion link trunnion, vertical", &g.APy));
    f.push_back(EditField(link, "DieBlockChord", "Die Block Chord length",
                          "Chord length of the expansion link as drawn", &g.DieBlockChord));
    f.push_back(
        EditField(link, "BT", "BT Radius Rod Length", "Radius rod length, equal to the link radius", &g.BT));
    f.push_back(
        EditField(drive, "CE", "CE Return Crank Length", "Return crank: crank pin to eccentric pin", &g.CE));
    f.push_back(EditField(drive, "AE", "AE Eccentric Pin Radius",
                          "Radius of the eccentric pin about the axle", &g.AE));
    f.push_back(
        EditField(drive, "EX", "EX Eccentric Rod Length", "Eccentric rod: eccentric pin to tail pin", &g.EX));
    f.push_back(EditField(reversing, "FLAAd", "Full Lifting Arm Angle",
                          "Swing of the lifting arm each side of mid gear, degrees", &g.FLAA,
                          FieldConversion::Degrees));
    f.push_back(EditField(reversing, "MLAAd", "Midgear Lifting Arm Angle",
                          "Angle of the lifting arm from horizontal in mid gear, degrees", &g.MLAA,
                          FieldConversion::Degrees));
    f.push_back(EditField(reversing, "LR", "LR Reversing Arm Length", "Lifting arm length", &g.LR));
    f.push_back(EditField(reversing, "ARx", "PRx Rev Shaft Exp Link Trunnion",
                          "Expansion link trunnion to reversing shaft, horizontal", &g.ARx));
    f.push_back(EditField(reversing, "ARy", "ARy Rev Shaft from Axle",
                          "Height of the reversing shaft above the axle line", &g.ARy));
    f.push_back(
        CheckBoxField(reversing, "cbARy", "Auto",
                      "Put the reversing shaft level with the trunnion and the lifting arm level in mid gear",
                      &g.AutoARy, {"ARy", "MLAAd"}));

    table.notes.push_back(EditorNote{ConditionsTab,
                                     "",
                                     "HintNote",
                                     {"Hint!", "If you specify a non-zero value for any ",
                                      "of these adjustments, turn off the Auto", "Setting.",
                                      "This will stop the program from compensating",
                                      "for the condition by changing the return Crank."}});
    table.notes.push_back(
        EditorNote{GeometryTab,
                   lever.group,
                   "UnionLinkNote",
                   {"Auto sets DU so that the valve is central", "over the ports at mid-stroke, with the",
                    "combination lever vertical."}});
    table.notes.push_back(EditorNote{GeometryTab,
                                     drive.group,
                                     "AutoSettingNote",
                                     {"AE and EX may be overwritten", "by the Auto Setting.",
                                      "Inside or outside admission decides",
                                      "whether the eccentric pin leads or", "follows the crank."}});
    table.notes.push_back(EditorNote{GeometryTab,
                                     reversing.group,
                                     "ReversingShaftNote",
                                     {"Auto puts the reversing shaft", "level with the trunnion."}});
    return table;
}

EditorTable Wal1::BuildEditor() {
    return BuildEdWal1(*this, env_.state);
}

void Wal1::DeriveAfterEditorOk() {
    FitViewWindowToCylinder(GearRecord);
}

} // namespace linkwright
