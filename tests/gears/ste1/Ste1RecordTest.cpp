// Stephenson 1 record and editor: the built-in example byte for byte, the TEdSte1 field table in
// its store order, and what an OK stores and recomputes.
#include "gears/ste1/Ste1.h"
#include "state/SimulationState.h"
#include "tests/gears/EditorTableRows.h"
#include "tests/support/ScriptedDialogs.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace linkwright::testing {
namespace {

class Ste1RecordTest : public ::testing::Test {
protected:
    Ste1RecordTest() {
        state_.fwd = 1;
        state_.Nsteps = 550;
        state_.MovieStep = 0.01f;
        state_.GearSetting = 1.0f;
        state_.Decimals = 4;
        state_.AnalysisValid = 1;
        model_.SetExample();
    }

    std::size_t IndexOf(const EditorTable& table, const std::string& component) {
        for (std::size_t i = 0; i < table.fields.size(); ++i)
            if (table.fields[i].component == component) return i;
        ADD_FAILURE() << "no control " << component;
        return 0;
    }

    SimulationState state_{};
    MessagesFile messages_{"Ste1RecordTestMessages.txt"};
    ScriptedDialogs dialogs_;
    Ste1 model_{GearEnvironment{state_, messages_, dialogs_}};
};

float FloatAt(const Ste1Record& g, std::size_t offset) {
    float value = 0;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&g) + offset, sizeof value);
    return value;
}

TEST_F(Ste1RecordTest, ExampleHoldsTheExampleValuesAtTheirFileOffsetsAndZeroElsewhere) {
    const Ste1Record g = Ste1ExampleRecord();
    struct Value {
        std::size_t offset;
        float expected;
    };
    // Read from the bytes, so a value written to the wrong field shows as well as a wrong value.
    const Value values[] = {
        {264, 1.5f},    {268, 8.875f},       {280, 1.7683135f}, {284, 2.0f},
        {288, 0.297f},  {296, 0.1875f},      {316, 700.0f},     {324, -1.0625f},
        {332, 0.0f},    {344, -0.36651915f}, {360, 5.734f},     {384, 0.0f},
        {388, -4.344f}, {400, -5.0f},        {412, 10.0f},      {416, 2.0f},
    };
    for (const Value& v : values)
        EXPECT_EQ(FloatAt(g, v.offset), v.expected) << "offset " << v.offset;
    EXPECT_FLOAT_EQ(g.CAE, float(101.3169 * std::numbers::pi / 180));

    EXPECT_EQ(g.Descr.Length, 19);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&g);
    EXPECT_EQ(bytes[420], 1); // FwdCopy
    EXPECT_EQ(bytes[421], 0); // outside admission
    std::vector<std::size_t> zeroBytes = {0, 1, 2, 3, 260, 261, 262, 263, 422, 423};
    for (std::size_t i = 5 + g.Descr.Length; i < 260; ++i)
        zeroBytes.push_back(i);
    for (std::size_t i = 392; i < 400; ++i)
        zeroBytes.push_back(i);
    for (std::size_t i : zeroBytes)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;

    EXPECT_EQ(model_.WheelLift, 0.0f);
    EXPECT_EQ(model_.WheelDisp, 0.0f);
    EXPECT_EQ(model_.Slack, 0.0f);
    EXPECT_EQ(model_.RecordBytes().size(), 424u);
}

TEST_F(Ste1RecordTest, EditorTableListsEveryControlInTheOrderOkStoresThem) {
    const EditorTable& table = model_.Editor();
    EXPECT_EQ(table.caption, "Edit Stephenson1");
    EXPECT_EQ(table.formName, "EdSte1");
    EXPECT_EQ(table.tabs, (std::vector<std::string>{"Conditions", "Geometry", "Valving", "Other"}));
    EXPECT_EQ(table.print, PrintPlacement::BesideOkCancel);

    Ste1Record& g = model_.GearRecord;
    using C = FieldConversion;
    using F = FieldFormat;
    const char* cylinder = "Cylinder";
    const char* drive = "Expansion Link Drive";
    const char* reversing = "Reversing Gear";
    const char* rod = "Valve Rod and Hanger";
    const char* link = "Expansion Link";
    const EditorRow expected[] = {
        {"ScrollBar1", "Other", "Movie Speed", "Movie Speed", F::None, C::MovieSpeed,
         FieldRef::Float(&state_.MovieStep)},
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
        {"PortWidth", "Valving", "", "Port Width", F::Decimals, C::Plain, FieldRef::Float(&g.PortWidth)},
        {"BobbinWidth", "Valving", "", "Bobbin Width", F::Decimals, C::Plain,
         FieldRef::Float(&g.BobbinWidth)},
        {"PortSpacing", "Valving", "", "Port Spacing", F::Decimals, C::Plain,
         FieldRef::Float(&g.PortSpacing)},
        {"BobbinSpacing", "Valving", "", "Bobbin Spacing", F::Decimals, C::Plain,
         FieldRef::Float(&g.BobbinSpacing)},
        {"AdjValveX", "Valving", "", "Adjust Valve X", F::Decimals, C::Plain, FieldRef::Float(&g.AdjValveX)},
        {"Admission", "Valving", "", "Steam Admission", F::None, C::RadioPair, FieldRef::Flag(&g.Inside)},
        {"Clearance", "Geometry", cylinder, "Clearance", F::Decimals, C::Plain,
         FieldRef::Float(&g.Clearance)},
        {"PistStroke", "Geometry", cylinder, "Piston Stroke = 2*AC", F::Decimals, C::Doubled,
         FieldRef::Float(&g.CrankRadius)},
        {"GC", "Geometry", cylinder, "GC Connecting Rod", F::Decimals, C::Plain, FieldRef::Float(&g.GC)},
        {"AE", "Geometry", drive, "AE Eccentric Pin Radius", F::Decimals, C::Plain, FieldRef::Float(&g.AE)},
        {"CAE", "Geometry", drive, "CAE Angle of Eccentric Pin", F::Decimals, C::Degrees,
         FieldRef::Float(&g.CAE)},
        {"EF", "Geometry", drive, "EF and JK Ecc Rod lengths", F::Decimals, C::Plain, FieldRef::Float(&g.EF)},
        {"MaxelLiftArmAng", "Geometry", reversing, "Maximum Lifting Arm Angle", F::Decimals,
         C::DegreesOver180, FieldRef::Float(&g.MaxelLiftArmAng)},
        {"MidelLiftArmAng", "Geometry", reversing, "Midgear Lifting Arm Angle", F::Decimals,
         C::DegreesOver180, FieldRef::Float(&g.MidelLiftArmAng)},
        {"ARx", "Geometry", reversing, "ARx  Axle to reverse shaft", F::Decimals, C::Plain,
         FieldRef::Float(&g.ARx)},
        {"ARy", "Geometry", reversing, "ARy Axle to reverse shaft", F::Decimals, C::Plain,
         FieldRef::Float(&g.ARy)},
        {"LR", "Geometry", reversing, "LR Lifting Arm Length", F::Decimals, C::Plain, FieldRef::Float(&g.LR)},
        {"LM", "Geometry", reversing, "LM Exp Link Lifting arm length", F::Decimals, C::Plain,
         FieldRef::Float(&g.LM)},
        {"ATx", "Geometry", rod, "ATx Axle to  rod hanger pivot", F::Decimals, C::Plain,
         FieldRef::Float(&g.ATx)},
        {"ATy", "Geometry", rod, "ATy Axle to  rod hanger pivot", F::Decimals, C::Plain,
         FieldRef::Float(&g.ATy)},
        {"TU", "Geometry", rod, "TU Valve Rod Hanger length", F::Decimals, C::Plain, FieldRef::Float(&g.TU)},
        {"UV", "Geometry", rod, "UV Valve  clevis to hanger pin", F::Decimals, C::Plain,
         FieldRef::Float(&g.UV)},
        {"BU", "Geometry", rod, "BU Dieblock to hanger pin", F::Decimals, C::Plain, FieldRef::Float(&g.BU)},
        {"elEccRodX", "Geometry", link, "\"Horizontal\" Slot centre to K and F", F::Decimals, C::Plain,
         FieldRef::Float(&g.elEccRodX)},
        {"elEccRodY", "Geometry", link, "\"Vertical\" Slot centre to K and F", F::Decimals, C::Plain,
         FieldRef::Float(&g.elEccRodY)},
        {"elHangX", "Geometry", link, "\"Horizontal\" Slot centre to hanger pin", F::Decimals, C::Plain,
         FieldRef::Float(&g.elHangX)},
        {"elHangY", "Geometry", link, "\"Vertical\" Slot centre to hanger pin", F::Decimals, C::Plain,
         FieldRef::Float(&g.elHangY)},
        {"elRadius", "Geometry", link, "Expansion link slot radius of curvature", F::Decimals, C::Plain,
         FieldRef::Float(&g.elRadius)},
        {"elchord", "Geometry", link, "Chord of exp link. For display only.", F::Decimals, C::Plain,
         FieldRef::Float(&g.elchord)},
    };
    ExpectEditorRows(table, expected);
    ASSERT_EQ(table.notes.size(), 1u);
    EXPECT_EQ(table.notes[0].tab, "Geometry");
    EXPECT_EQ(table.notes[0].group, link);
    EXPECT_EQ(table.notes[0].component, "Memo1");
    EXPECT_EQ(table.notes[0].lines,
              (std::vector<std::string>{"Above, \"slot centre\" means the centre of curvature.",
                                        "X direction is from this point to the middle of the slot.",
                                        "X is horizontal and Y is vertical for this definition."}));
}

TEST_F(Ste1RecordTest, FillShowsTheStrokeDoubledAndAnglesInDegrees) {
    EditorSession session(model_, state_, dialogs_);
    const std::vector<ControlValue> values = session.Fill();
    const EditorTable& table = session.Table();
    EXPECT_EQ(values[IndexOf(table, "PistStroke")].text, "  3.0000");
    EXPECT_EQ(values[IndexOf(table, "CAE")].text, "101.3169");
    EXPECT_EQ(values[IndexOf(table, "MaxelLiftArmAng")].text, "-21.0000");
    EXPECT_EQ(values[IndexOf(table, "SteamChestPressure")].text, "  600.00");
    EXPECT_EQ(values[IndexOf(table, "elEccRodY")].text, " -1.0625");
    EXPECT_FALSE(values[IndexOf(table, "Admission")].checked); // Outside
}

TEST_F(Ste1RecordTest, OkStoresTheFieldsAndRecomputesPressureLimitAndTheViewWindow) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> edits;
        EditorOutcome outcome;
        float crankRadius;
        float gc;
        float pressureLimit;
        float view[4];
    };
    const Case cases[] = {
        // The example as shown: its 700 and its view window are replaced by what an OK computes.
        {"unchanged example", {}, EditorOutcome::Close, 1.5f, 8.875f, 660.0f, {-3, 11.875f, -3, 5.9375f}},
        {"new stroke, rod and pressure",
         {{"PistStroke", "3.5"}, {"GC", "9"}, {"SteamChestPressure", "500"}},
         EditorOutcome::Close,
         1.75f,
         9.0f,
         550.0f,
         {-3.5f, 12.5f, -3.5f, 6.25f}},
        // A bad stroke is zeroed, the fields after it are still stored, and the window follows the zero.
        {"bad stroke",
         {{"PistStroke", "3.5x"}, {"GC", "7"}},
         EditorOutcome::StayOpen,
         0.0f,
         7.0f,
         660.0f,
         {0, 7, 0, 3.5f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model_.SetExample();
        state_.ViewXMin = 99.0f; // an OK that closes initialises, which copies the view window
        dialogs_.informations.clear();
        state_.AnalysisValid = 1;
        EditorSession session(model_, state_, dialogs_);
        std::vector<ControlValue> values = session.Fill();
        for (const auto& [component, text] : c.edits)
            values[IndexOf(session.Table(), component)].text = text;
        values[IndexOf(session.Table(), "CAE")].text = "90";
        values[IndexOf(session.Table(), "MaxelLiftArmAng")].text = "-30";

        EXPECT_EQ(session.Ok(values), c.outcome);
        const Ste1Record& g = model_.GearRecord;
        EXPECT_EQ(g.CrankRadius, c.crankRadius);
        EXPECT_EQ(g.GC, c.gc);
        EXPECT_FLOAT_EQ(g.PressureLimit, c.pressureLimit);
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(g.ViewWindow[i], c.view[i]) << "view " << i;
        EXPECT_EQ(g.ViewWindow[4], 2.0f);
        EXPECT_FLOAT_EQ(g.CAE, float(std::numbers::pi / 2));
        EXPECT_FLOAT_EQ(g.MaxelLiftArmAng, float(-std::numbers::pi / 6));
        EXPECT_EQ(g.elchord, 2.0f); // the last field of the store order is reached
        EXPECT_EQ(state_.AnalysisValid, 0);
        const bool closed = c.outcome == EditorOutcome::Close;
        EXPECT_EQ(state_.ViewXMin, closed ? g.ViewWindow[0] : 99.0f);
        EXPECT_EQ(dialogs_.informations.size(), closed ? 0u : 1u);
    }
}

} // namespace
} // namespace linkwright::testing
