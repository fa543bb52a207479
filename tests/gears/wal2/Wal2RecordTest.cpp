// Walschaerts 2 record and editor: the built-in example at its file offsets, the TEdWal2 field table
// in its store order with its hints and notes, and what an OK stores, converts and recomputes.
#include "tests/gears/EditorTableRows.h"
#include "tests/gears/wal2/Wal2Fixture.h"

#include <cstring>
#include <numbers>
#include <utility>

namespace linkwright::testing {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

float FloatAt(const Wal2Record& g, std::size_t offset) {
    float value = 0;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&g) + offset, sizeof value);
    return value;
}

TEST(Wal2Record, ExampleHoldsItsValuesAtTheirFileOffsets) {
    const Wal2Record g = Wal2ExampleRecord();
    const std::pair<std::size_t, float> values[] = {
        {264, 0.8f},           {272, 0.1704f}, {288, -0.3003f}, {320, 0.355f},   {324, 0.275f},
        {328, 0.65f},          {332, 0.6616f}, {336, -1.202f},  {344, 1.0875f},  {348, 0.43720499f},
        {352, -0.0080285147f}, {356, 0.746f},  {388, 2200.0f},  {392, 0.2004f},  {396, 1.4846f},
        {400, -1.0f},          {416, 0.5f},    {424, 0.534f},   {428, -0.0016f},
    };
    for (const auto& [offset, expected] : values)
        EXPECT_EQ(FloatAt(g, offset), expected) << "offset " << offset;
    EXPECT_EQ(FloatAt(g, 348), float(25.05 * kDegree));
    EXPECT_EQ(FloatAt(g, 352), float(-0.46 * kDegree));
    EXPECT_FALSE(g.Descr.Text().empty());
    EXPECT_LE(g.Descr.Text().size(), 27u);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&g);
    for (std::size_t i : {0, 3, 260, 263, 292, 295, 420, 423, 432, 435, 436, 437})
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(bytes[438], 1); // inside admission
    EXPECT_EQ(bytes[439], 1); // AutoDU
}

class Wal2EditorTest : public Wal2Test {
protected:
    std::size_t IndexOf(const EditorSession& session, const std::string& component) {
        const std::vector<EditorField>& fields = session.Table().fields;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].component == component) return i;
        ADD_FAILURE() << "no control " << component;
        return 0;
    }
};

TEST_F(Wal2EditorTest, TableListsEveryControlInTheOrderOkStoresThem) {
    const EditorTable& table = model_.Editor();
    EXPECT_EQ(table.caption, "Edit Walschaert 2");
    EXPECT_EQ(table.formName, "EdWal2");
    EXPECT_EQ(table.firstTab, "Geometry");
    EXPECT_EQ(table.print, PrintPlacement::OnTab);
    EXPECT_EQ(table.printTab, "Other");
    EXPECT_EQ(table.Find("cbARy"), nullptr);

    Wal2Record& g = model_.GearRecord;
    using C = FieldConversion;
    using F = FieldFormat;
    const auto geometry = [&](const char* component, const char* group, const char* label, float* field,
                              C conversion = C::Plain) {
        return EditorRow{
            component, "Geometry", group, label, F::Decimals, conversion, FieldRef::Float(field)};
    };
    const char* cyl = "Cylinder";
    const char* lever = "Combination Lever";
    const char* link = "Expansion Link";
    const char* drive = "Expansion Link Drive";
    const char* rev = "Reversing Gear";
    const char* hanger = "Doublehanger";
    const EditorRow expected[] = {
        {"ScrollBar1", "Other", "Movie Speed", "Movie Speed", F::None, C::MovieSpeed,
         FieldRef::Float(&state_.MovieStep), ""},
        {"AutoSetting1", "Conditions", "", "Auto Setting", F::None, C::CheckBox,
         FieldRef::Flag(&model_.AutoSetting)},
        {"Descr", "Other", "", "Gear Description", F::Text, C::Text, FieldRef::Text(&g.Descr)},
        {"ExhaustPressure", "Other", "", "Exhaust Pressure", F::TwoDecimals, C::Plain,
         FieldRef::Float(&g.ExhaustPressure)},
        {"SteamChestPressure", "Other", "", "Steam Chest Pressure", F::TwoDecimals, C::Plain,
         FieldRef::Float(&g.SteamChestPressure)},
        {"Gamma", "Other", "", "Gamma", F::TwoDecimals, C::Plain, FieldRef::Float(&g.Gamma)},
        {"Nsteps", "Conditions", "", "Solution Steps", F::Integer, C::Integer,
         FieldRef::Int32(&state_.Nsteps)},
        {"WheelLift1", "Conditions", "", "Wheel Lift", F::Decimals, C::Plain,
         FieldRef::Float(&model_.WheelLift)},
        {"WheelDisp1", "Conditions", "", "Wheel Displacement", F::Decimals, C::Plain,
         FieldRef::Float(&model_.WheelDisp)},
        {"Slack1", "Conditions", "", "Backlash", F::Decimals, C::Plain, FieldRef::Float(&model_.Slack)},
        {"PortWidth", "Valving", "", "Port Width", F::Decimals, C::Plain, FieldRef::Float(&g.PortWidth), ""},
        {"BobbinWidth", "Valving", "", "Bobbin Width", F::Decimals, C::Plain,
         FieldRef::Float(&g.BobbinWidth)},
        {"PortSpacing", "Valving", "", "Port Spacing", F::Decimals, C::Plain,
         FieldRef::Float(&g.PortSpacing)},
        {"BobbinSpacing", "Valving", "", "Bobbin Spacing", F::Decimals, C::Plain,
         FieldRef::Float(&g.BobbinSpacing)},
        {"AdjValveX", "Valving", "", "Adjust Valve X", F::Decimals, C::Plain, FieldRef::Float(&g.AdjValveX)},
        {"Admission", "Valving", "", "Steam Admission", F::None, C::RadioPair, FieldRef::Flag(&g.Inside)},
        geometry("Clearance", cyl, "Clearance", &g.Clearance),
        geometry("PistStroke", cyl, "Piston Stroke", &g.PistStroke),
        geometry("GVy", cyl, "GVy PistRodToValveRod", &g.GVy),
        geometry("GC", cyl, "GC Connecting Rod", &g.GC),
        geometry("TV", lever, "TV Comb Lever Upper", &g.TV),
        geometry("UV", lever, "UV Comb Lever Lower", &g.UV),
        geometry("DGx", lever, "DGx DropLink x", &g.DGx),
        geometry("DGy", lever, "DGy DropLink y", &g.DGy),
        geometry("DU", lever, "DU union link", &g.DU),
        {"cbDU", "Geometry", lever, "Auto", F::None, C::CheckBox, FieldRef::Flag(&g.AutoDU)},
        geometry("PXx", link, "PXx Trunnion to Tail Pin", &g.PXx),
        geometry("PXy", link, "PXy Trunnion to Tail Pin", &g.PXy),
        geometry("APx", link, "APx Axle to exp link trunnion", &g.APx),
        geometry("APy", link, "APy Axle to exp link trunnion", &g.APy),
        geometry("DieBlockChord", link, "Die Block Chord length", &g.DieBlockChord),
        geometry("BT", link, "BT Radius Rod Length", &g.BT),
        geometry("CE", drive, "CE Return Crank Length", &g.CE),
        geometry("AE", drive, "AE Eccentric Pin Radius", &g.AE),
        geometry("EX", drive, "EX Eccentric Rod Length", &g.EX),
        geometry("FLAAd", rev, "Full Lifting Arm Angle", &g.FLAA, C::Degrees),
        geometry("MLAAd", rev, "Mid Lifting Arm Angle", &g.MLAA, C::Degrees),
        geometry("LR", rev, "LR Reversing Arm Length", &g.LR),
        geometry("ARx", rev, "ARx Rev Shaft from Axle", &g.ARx),
        geometry("ARy", rev, "ARy Rev Shaft from Axle", &g.ARy),
        geometry("LM", rev, "LM hanger length", &g.LM),
        geometry("BM", rev, "BM DieBlock to hanger pin", &g.BM),
        geometry("SV", hanger, "SV Hanger Length", &g.SV),
        geometry("VW", hanger, "VW Spindle Length", &g.VW),
        geometry("ASy", hanger, "ASy Axle to Hanger top", &g.ASy),
    };
    ExpectEditorRows(table, expected);
    EXPECT_EQ(table.Find("cbDU")->disables, std::vector<std::string>{"DU"});

    // The hints this form words its own way.
    const std::pair<const char*, const char*> hints[] = {
        {"AutoSetting1",
         "Ask program to set the return crank and Eccentric Rod Length for you. See AE and EX on "
         "Geometry tab."},
        {"TV", "Radius Rod POin to Valve Rod Pin. Can be + or - for inside or outside admission valves"},
        {"DU", "Union Link length (negative if left of drop link)"},
        {"CE", "Set return crank length.  A longer return crank results in longer valve travel."},
        {"AdjValveX", "Move the vale along its rod by a fixed distance."},
        {"ASy", "vertical distance from axle to hanger pivot"},
    };
    for (const auto& [component, hint] : hints)
        EXPECT_EQ(table.Find(component)->hint, hint) << component;
    ASSERT_EQ(table.notes.size(), 2u);
    EXPECT_EQ(table.notes[0].tab, "Conditions");
    EXPECT_EQ(table.notes[0].lines.front(), "Hint!");
    EXPECT_EQ(table.notes[1].tab, "Geometry");
    EXPECT_EQ(table.notes[1].lines.size(), 8u);
    EXPECT_EQ(table.notes[1].lines.front(), "Notes: If Union link length DU is automatically set ");
    EXPECT_EQ(table.notes[1].lines.back(), "(see Valving)");
}

TEST_F(Wal2EditorTest, OkConvertsStoresInOrderAndSetsTheViewWindow) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> edits;
        EditorOutcome outcome;
        float view[4];
        float mlaa;
    };
    const Case cases[] = {
        {"unchanged example", {}, EditorOutcome::Close, {-0.8f, 4.008f, -0.8f, 2.004f}, -0.0080285147f},
        {"new stroke and arm angles",
         {{"PistStroke", "1"}, {"GC", "4"}, {"FLAAd", "40"}, {"MLAAd", " -1.5"}},
         EditorOutcome::Close,
         {-1, 5, -1, 2.5f},
         float(-1.5 * kDegree)},
        // Fields after the bad one are still stored, the bad one becomes 0; the view window is
        // recomputed from what was stored.
        {"bad lever",
         {{"TV", "0.1x"}, {"MLAAd", "2"}},
         EditorOutcome::StayOpen,
         {-0.8f, 4.008f, -0.8f, 2.004f},
         float(2 * kDegree)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model_.SetExample();
        model_.InitialiseGear();
        dialogs_.informations.clear();
        EditorSession session(model_, state_, dialogs_);
        std::vector<ControlValue> values = session.Fill();
        EXPECT_EQ(values[IndexOf(session, "MLAAd")].text, " -0.4600");
        EXPECT_EQ(values[IndexOf(session, "FLAAd")].text, " 25.0500");
        EXPECT_TRUE(values[IndexOf(session, "cbDU")].checked);
        EXPECT_FALSE(session.Enabled(values)[IndexOf(session, "DU")]);
        for (const auto& [component, text] : c.edits)
            values[IndexOf(session, component)].text = text;
        EXPECT_EQ(session.Ok(values), c.outcome);
        const Wal2Record& g = model_.GearRecord;
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(g.ViewWindow[i], c.view[i]) << "view " << i;
        EXPECT_EQ(g.ViewWindow[4], 0.5f);
        EXPECT_FLOAT_EQ(g.PressureLimit, 2310.0f);
        EXPECT_FLOAT_EQ(g.MLAA, c.mlaa);
        EXPECT_EQ(dialogs_.informations.size(), c.outcome == EditorOutcome::StayOpen ? 1u : 0u);
        if (c.outcome == EditorOutcome::StayOpen) {
            EXPECT_EQ(g.TV, 0.0f);
        } else {
            EXPECT_EQ(state_.ViewXMin, g.ViewWindow[0]); // the OK initialised the gear
        }
    }
    // The stored -0.46 degrees reads back as it was typed.
    EditorSession session(model_, state_, dialogs_);
    model_.GearRecord.MLAA = -0.0080285147f;
    EXPECT_EQ(session.Fill()[IndexOf(session, "MLAAd")].text, " -0.4600");
}

} // namespace
} // namespace linkwright::testing
