// Stephenson 2 record and editor: the built-in example at its file offsets, the TEdSte2 field table
// as Stephenson 1's with the rocker rod's wording, the rocker and the slant, and what an OK stores
// and recomputes.
#include "gears/ste1/Ste1.h"
#include "gears/ste2/Ste2.h"
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

class Ste2RecordTest : public ::testing::Test {
protected:
    Ste2RecordTest() {
        state_.Nsteps = 550;
        state_.MovieStep = 0.01f;
        state_.Decimals = 4;
        model_.SetExample();
        ste1_.SetExample();
    }

    std::size_t IndexOf(const EditorTable& table, const std::string& component) {
        for (std::size_t i = 0; i < table.fields.size(); ++i)
            if (table.fields[i].component == component) return i;
        ADD_FAILURE() << "no control " << component;
        return 0;
    }

    // Where a Stephenson 1 control keeps its value, in this model: the same offset of the record
    // (the records agree up to offset 392), or the same main state field or unit variable.
    FieldRef InThisModel(const FieldRef& ste1Field) {
        auto* const from = ste1_.RecordBytes().data();
        auto* const to = model_.RecordBytes().data();
        for (std::size_t offset = 0; offset < 392; ++offset) {
            if (ste1Field == FieldRef::Float(reinterpret_cast<float*>(from + offset)))
                return FieldRef::Float(reinterpret_cast<float*>(to + offset));
            if (ste1Field == FieldRef::Text(reinterpret_cast<ShortString*>(from + offset)))
                return FieldRef::Text(reinterpret_cast<ShortString*>(to + offset));
        }
        if (ste1Field == FieldRef::Flag(&ste1_.GearRecord.Inside))
            return FieldRef::Flag(&model_.GearRecord.Inside);
        if (ste1Field == FieldRef::Float(&ste1_.WheelLift)) return FieldRef::Float(&model_.WheelLift);
        if (ste1Field == FieldRef::Float(&ste1_.WheelDisp)) return FieldRef::Float(&model_.WheelDisp);
        if (ste1Field == FieldRef::Float(&ste1_.Slack)) return FieldRef::Float(&model_.Slack);
        return ste1Field; // the main state's, which both forms share
    }

    SimulationState state_{};
    MessagesFile messages_{"Ste2RecordTestMessages.txt"};
    ScriptedDialogs dialogs_;
    Ste2 model_{GearEnvironment{state_, messages_, dialogs_}};
    Ste1 ste1_{GearEnvironment{state_, messages_, dialogs_}};
};

float FloatAt(const Ste2Record& g, std::size_t offset) {
    float value = 0;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&g) + offset, sizeof value);
    return value;
}

TEST_F(Ste2RecordTest, ExampleHoldsTheExampleValuesAtTheirFileOffsetsAndZeroElsewhere) {
    const Ste2Record g = Ste2ExampleRecord();
    struct Value {
        std::size_t offset;
        float expected;
    };
    // Read from the bytes, so a value written to the wrong field shows as well as a wrong value.
    const Value values[] = {
        {264, 1.125f},      {268, 7.438f},  {280, 1.0836730f}, {316, 700.0f}, {324, 0.4901f}, {332, 0.042f},
        {344, 0.43633231f}, {352, -1.063f}, {376, 10.0f},      {380, 2.128f}, {388, 0.01f},   {392, 0.0f},
        {400, -6.808f},     {404, 0.67f},   {408, 0.675f},     {412, 0.675f}, {416, 1.75f},   {420, 1.3f},
        {424, 0.0f},        {428, -1.0f},   {432, 10.0f},      {436, -2.0f},  {440, 5.0f},    {444, 2.0f},
    };
    for (const Value& v : values)
        EXPECT_EQ(FloatAt(g, v.offset), v.expected) << "offset " << v.offset;
    EXPECT_FLOAT_EQ(g.CAE, float(62.0899 * std::numbers::pi / 180));

    EXPECT_EQ(g.Descr.Length, 41);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&g);
    std::vector<std::size_t> zeroBytes = {
        0,   1,   2,   3,   260, 261, 262, 263,
        396, 397, 398, 399, 448, 449, 450, 451}; // FwdCopy and Inside (outside admission)
    for (std::size_t i = 5 + g.Descr.Length; i < 260; ++i)
        zeroBytes.push_back(i);
    for (std::size_t i : zeroBytes)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(model_.RecordBytes().size(), 452u);
}

TEST_F(Ste2RecordTest, EditorTableIsStephenson1sWithTheRockerRodTheRockerAndTheSlant) {
    const EditorTable& table = model_.Editor();
    EXPECT_EQ(table.caption, "Edit Stephenson2");
    EXPECT_EQ(table.formName, "EdSte2");
    const EditorTable& ste1 = ste1_.Editor();
    EXPECT_EQ(table.tabs, ste1.tabs);
    EXPECT_EQ(table.firstTab, ste1.firstTab);
    EXPECT_EQ(table.print, ste1.print);

    // Stephenson 1's rows in its order, the rod's group and two labels worded for the rocker rod,
    // then the rocker's edits and the slant.
    std::vector<EditorRow> expected;
    for (const EditorField& f : ste1.fields) {
        const bool rod = f.group == "Valve Rod and Hanger";
        const char* label = f.label.c_str();
        if (f.component == "TU") label = "TU Rocker Rod Hanger length";
        if (f.component == "UV") label = "UV Rocker lever to hanger pin";
        expected.push_back(EditorRow{f.component.c_str(), f.tab.c_str(),
                                     rod ? "Rocker Rod and Hanger" : f.group.c_str(), label, f.format,
                                     f.conversion, InThisModel(f.storage), f.hint.c_str()});
    }
    ASSERT_EQ(expected.back().component, std::string("elchord"));
    Ste2Record& g = model_.GearRecord;
    using C = FieldConversion;
    const FieldFormat F = FieldFormat::Decimals;
    const char* rocker = "Rocker";
    const char* geometry = "Geometry";
    const EditorRow added[] = {
        {"AXx", geometry, rocker, "AXx Axle to rocker pivot", F, C::Plain, FieldRef::Float(&g.AXx), ""},
        {"Axy", geometry, rocker, "AXy axle to rocker pivot", F, C::Plain, FieldRef::Float(&g.AXy), ""},
        {"VX", geometry, rocker, "VX Rocker rod lever arm", F, C::Plain, FieldRef::Float(&g.VX), ""},
        {"WX", geometry, rocker, "WX Valve rod lever arm", F, C::Plain, FieldRef::Float(&g.WX), ""},
        {"WY", geometry, rocker, "WY Valve Rod length", F, C::Plain, FieldRef::Float(&g.WY), ""},
        {"AYy", geometry, rocker, "AYy Axle to Valve rod vertically", F, C::Plain, FieldRef::Float(&g.AYy),
         ""},
        {"aVXW", geometry, rocker, "aVXW bend in rocker lever", F, C::DegreesOver180,
         FieldRef::Float(&g.aVXW), ""},
        {"GearSlant", geometry, "Expansion Link", "Slant of gear (usually zero)", F, C::Degrees,
         FieldRef::Float(&g.GearSlant), "Slants the gear relative to horizontal",
         "Slant of gear from horizontal"},
    };
    expected.insert(expected.end(), std::begin(added), std::end(added));
    ExpectEditorRows(table, expected);

    ASSERT_EQ(table.notes.size(), 2u);
    EXPECT_EQ(table.notes[0].group, "Expansion Link");
    EXPECT_EQ(table.notes[0].component, "Memo1");
    // The same three sentences, over five lines.
    std::string note;
    for (const std::string& line : table.notes[0].lines)
        note += (note.empty() ? "" : " ") + line;
    std::string ste1Note;
    for (const std::string& line : ste1.notes[0].lines)
        ste1Note += (ste1Note.empty() ? "" : " ") + line;
    EXPECT_EQ(table.notes[0].lines.size(), 5u);
    EXPECT_EQ(note, ste1Note);
    EXPECT_EQ(table.notes[1].tab, geometry);
    EXPECT_EQ(table.notes[1].group, rocker);
    EXPECT_EQ(table.notes[1].lines,
              (std::vector<std::string>{"0 deg is straight,  180 to fold back completely"}));
}

TEST_F(Ste2RecordTest, OkStoresTheRockerAndSlantInDegreesAndRecomputesTheDerivedFields) {
    model_.GearRecord.GearSlant = float(5 * std::numbers::pi / 180);
    EditorSession session(model_, state_, dialogs_);
    const EditorTable& table = session.Table();
    std::vector<ControlValue> values = session.Fill();
    EXPECT_EQ(values[IndexOf(table, "PistStroke")].text, "  2.2500");
    EXPECT_EQ(values[IndexOf(table, "CAE")].text, " 62.0899");
    EXPECT_EQ(values[IndexOf(table, "GearSlant")].text, "  5.0000");
    EXPECT_EQ(values[IndexOf(table, "aVXW")].text, "  0.0000");
    EXPECT_EQ(values[IndexOf(table, "AXx")].text, " -6.8080");

    // 180 degrees folds the rocker back: pi exactly, and 180 again on the next showing. A bad rocker
    // field is zeroed while the slant stored after it is still taken.
    values[IndexOf(table, "aVXW")].text = "180";
    values[IndexOf(table, "GearSlant")].text = "-2.5";
    values[IndexOf(table, "WY")].text = "1.8.0";
    state_.AnalysisValid = 1;
    EXPECT_EQ(session.Ok(values), EditorOutcome::StayOpen);
    const Ste2Record& g = model_.GearRecord;
    EXPECT_EQ(g.aVXW, static_cast<float>(std::numbers::pi));
    EXPECT_FLOAT_EQ(g.GearSlant, float(-2.5 * std::numbers::pi / 180));
    EXPECT_EQ(g.WY, 0.0f);
    EXPECT_EQ(dialogs_.informations.size(), 1u);
    EXPECT_EQ(state_.AnalysisValid, 0);
    EXPECT_EQ(session.Fill()[IndexOf(table, "aVXW")].text, "180.0000");

    values = session.Fill();
    values[IndexOf(table, "PistStroke")].text = "2.5";
    state_.ViewXMin = 99.0f;
    EXPECT_EQ(session.Ok(values), EditorOutcome::Close);
    EXPECT_EQ(g.CrankRadius, 1.25f);
    EXPECT_FLOAT_EQ(g.PressureLimit, 660.0f);
    const float view[4] = {-2.5f, 9.938f, -2.5f, 4.969f};
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(g.ViewWindow[i], view[i]) << "view " << i;
    EXPECT_EQ(g.ViewWindow[4], 2.0f);
    EXPECT_EQ(state_.ViewXMin, g.ViewWindow[0]); // the OK initialised the gear
}

} // namespace
} // namespace linkwright::testing
