// Baker record and editor: the built-in example at its file offsets, the TEdBak1 field table in its
// store order, and what an OK stores and recomputes.
#include "gears/bak1/Bak1.h"

#include "state/SimulationState.h"
#include "tests/gears/EditorTableRows.h"
#include "tests/support/ScriptedDialogs.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace linkwright::testing {
namespace {

class Bak1RecordTest : public ::testing::Test {
protected:
    Bak1RecordTest() {
        state_.fwd = 1;
        state_.Nsteps = 550;
        state_.MovieStep = 0.01f;
        state_.Decimals = 4;
        model_.SetExample();
        model_.InitialiseGear();
    }

    std::size_t IndexOf(const EditorTable& table, const std::string& component) {
        for (std::size_t i = 0; i < table.fields.size(); ++i)
            if (table.fields[i].component == component) return i;
        ADD_FAILURE() << "no control " << component;
        return 0;
    }

    SimulationState state_{};
    MessagesFile messages_{"Bak1RecordTestMessages.txt"};
    ScriptedDialogs dialogs_;
    Bak1 model_{GearEnvironment{state_, messages_, dialogs_}};
};

float FloatAt(const Bak1Record& g, std::size_t offset) {
    float value = 0;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&g) + offset, sizeof value);
    return value;
}

TEST_F(Bak1RecordTest, ExampleHoldsItsValuesAtTheirFileOffsets) {
    const Bak1Record g = Bak1ExampleRecord();
    const double degree = std::numbers::pi / 180;
    const struct {
        std::size_t offset;
        float expected;
    } values[] = {
        {264, 2.3f},
        {272, 0.3f},
        {292, 1.233f},
        {316, float(-93.9 * degree)},
        {328, float(69.77 * degree)},
        {360, -12.22f},
        {368, float(86.5 * degree)},
        {372, 1.1f},
        {376, 0.2f},
        {380, 1.25f},
        {384, 0.125f},
        {400, 1.3f},
        {412, 800.0f},
        {416, -15.0f},
        {432, 2.0f},
    };
    for (const auto& v : values)
        EXPECT_FLOAT_EQ(FloatAt(g, v.offset), v.expected) << "offset " << v.offset;
    EXPECT_EQ(g.Descr.Text(), "Program Example");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&g);
    for (std::size_t i : {0, 1, 2, 3, 260, 263, 404, 411, 438, 439})
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(bytes[436], 1); // inside admission
    EXPECT_EQ(bytes[437], 1); // LastForward
}

TEST_F(Bak1RecordTest, EditorTableListsEveryControlInTheOrderOkStoresThem) {
    const EditorTable& table = model_.Editor();
    EXPECT_EQ(table.caption, "Edit Baker 1");
    EXPECT_EQ(table.firstTab, "Other");
    EXPECT_EQ(table.print, PrintPlacement::BesideOkCancel);
    EXPECT_EQ(table.Find("AutoSetting1"), nullptr);
    EXPECT_EQ(table.Find("cbDU"), nullptr);

    Bak1Record& g = model_.GearRecord;
    using C = FieldConversion;
    using F = FieldFormat;
    const char* cyl = "Cylinder";
    const char* lever = "Combination Lever";
    const char* gear = "Expansion Gear";
    const char* drive = "Expansion Gear Drive";
    const char* rev = "Reversing Gear";
    const char* bell = "Bell Crank";
    const auto geometry = [&](const char* component, const char* group, const char* label, float* field,
                              C conversion = C::Plain) {
        return EditorRow{
            component, "Geometry", group, label, F::Decimals, conversion, FieldRef::Float(field)};
    };
    const EditorRow expected[] = {
        {"ScrollBar1", "Other", "Movie Speed", "Movie Speed", F::None, C::MovieSpeed,
         FieldRef::Float(&state_.MovieStep)},
        {"Descr", "Other", "", "Gear Description", F::Text, C::Text, FieldRef::Text(&g.Descr)},
        {"ExhaustPressure", "Other", "", "Exhaust Pressure", F::TwoDecimals, C::Plain,
         FieldRef::Float(&g.ExhaustPressure)},
        {"SteamChestPressure", "Other", "", "SteamChest Pressure", F::TwoDecimals, C::Plain,
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
        {"AdjValveX", "Valving", "", "Adjust Valve Position", F::Decimals, C::Plain,
         FieldRef::Float(&g.AdjValveX)},
        {"Admission", "Valving", "", "Steam Admission", F::None, C::RadioPair, FieldRef::Flag(&g.Inside)},
        geometry("Clearance", cyl, "Clearance", &g.Clearance),
        geometry("PistStroke", cyl, "Piston Stroke", &g.CrankRadius, C::Doubled),
        geometry("GVy", cyl, "GVy PistRodToValveRod", &g.GVy),
        geometry("GC", cyl, "GC Connecting Rod", &g.GC),
        geometry("TV", lever, "TV Comb Lever Upper", &g.TV),
        geometry("UV", lever, "UV Comb Lever Lower", &g.UV),
        geometry("DGx", lever, "DGx DropLink x", &g.DGx),
        geometry("DGy", lever, "DGy DropLink y", &g.DGy),
        geometry("DU", lever, "DU Union Link", &g.DU),
        geometry("FRYA", rev, "Full Reverse Yoke Angle", &g.FRYA, C::Degrees),
        geometry("MRYA", rev, "Mid Reverse Yoke Angle", &g.MRYA, C::Degrees),
        geometry("ALx", rev, "ALx Axle to Yoke Pivot", &g.ALx),
        geometry("ALy", rev, "ALy Axle to Yoke Pivot", &g.ALy),
        geometry("LR", rev, "LR Reverse Yoke Radius", &g.LR),
        geometry("BT", gear, "BT ValveRod Length", &g.BT),
        geometry("RY", gear, "RY Radius bar", &g.RY),
        geometry("YZ", gear, "YZ Sickle Upper", &g.YZ),
        geometry("XYy", gear, "XYy Sickle Lower", &g.XYy),
        geometry("XYx", gear, "XYx Sickle Lower", &g.XYx),
        geometry("AE", drive, "AE Eccentric Pin Radius", &g.AE),
        geometry("CAE", drive, "CAE Angle of Eccentric Pin", &g.CAE, C::Degrees),
        geometry("EX", drive, "EX Eccentric Rod Length", &g.EX),
        geometry("APx", bell, "APx Axle to Bell Crank Pivot", &g.APx),
        geometry("APy", bell, "APy Axle to Bell Crank Pivot", &g.APy),
        geometry("PZ", bell, "PZ Bell Crank Upper", &g.PZ),
        geometry("BP", bell, "BP Bell Crank Lower", &g.BP),
        geometry("BPZ", bell, "BPZ Bell Crank Angle", &g.BPZ, C::Degrees),
    };
    ExpectEditorRows(table, expected);

    // The hints this form words its own way.
    const struct {
        const char* component;
        const char* hint;
    } hints[] = {
        {"Nsteps", "Number of solutions per revolution used for analysis"},
        {"Slack1", "See the effect of accumulated backlash in the valvegear"},
        {"AdjValveX", "Move the vale along its rod by a fixed distance."},
        {"TV", " Can be + or - for inside or outside admission valves"},
        {"EX", "Length of eccentric rod. "},
    };
    for (const auto& h : hints)
        EXPECT_EQ(table.Find(h.component)->hint, h.hint);
    EXPECT_EQ(table.Find("Admission")->choices[1].hint,
              "Common for slide valves. The eccentric pin will lead the crank.");
}

TEST_F(Bak1RecordTest, OkStoresInOrderAndSetsTheViewWindowFromTheLastCylinderReference) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> edits;
        EditorOutcome outcome;
        float view[4];
        float cae;
    };
    const Case cases[] = {
        {"unchanged example",
         {},
         EditorOutcome::Close,
         {-15.199f, 3.699f, -2.466f, 4.932f},
         float(-93.9 * std::numbers::pi / 180)},
        // The new stroke sets the width and height; the left edge still starts from the old
        // cylinder reference, -(1.233 + 11.5).
        {"longer stroke",
         {{"PistStroke", "3"}, {"GC", "12"}},
         EditorOutcome::Close,
         {-15.733f, 5.267f, -3, 6},
         float(-93.9 * std::numbers::pi / 180)},
        {"bad eccentric angle",
         {{"CAE", "x"}, {"BPZ", "60"}},
         EditorOutcome::StayOpen,
         {-15.199f, 3.699f, -2.466f, 4.932f},
         0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model_.SetExample();
        model_.InitialiseGear();
        dialogs_.informations.clear();
        EditorSession session(model_, state_, dialogs_);
        std::vector<ControlValue> values = session.Fill();
        for (const auto& [component, text] : c.edits)
            values[IndexOf(session.Table(), component)].text = text;
        EXPECT_EQ(session.Ok(values), c.outcome);
        const Bak1Record& g = model_.GearRecord;
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(g.ViewWindow[i], c.view[i], 1e-5) << "view " << i;
        EXPECT_EQ(g.ViewWindow[4], 2.0f);
        EXPECT_FLOAT_EQ(g.PressureLimit, 660.0f);
        EXPECT_FLOAT_EQ(g.CAE, c.cae);
        if (c.outcome == EditorOutcome::StayOpen) {
            EXPECT_FLOAT_EQ(g.BPZ, float(60 * std::numbers::pi / 180)); // fields after the bad one stored
            EXPECT_EQ(dialogs_.informations.size(), 1u);
        }
    }
}

} // namespace
} // namespace linkwright::testing
