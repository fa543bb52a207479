// The gear editors' common behaviour: typed field references, strict number conversion, field
// formatting, the movie-speed scroll bar, check boxes that disable edits, the OK button's
// store-then-check rule, and the builders of a kind's table with the head every kind shares.
#include "gears/GearKinds.h"
#include "tests/gears/TestGear.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <type_traits>

namespace linkwright::testing {
namespace {

// A field is reached only through a pointer of its own type.
static_assert(!std::is_invocable_v<decltype(&FieldRef::Float), void*>);
static_assert(!std::is_invocable_v<decltype(&FieldRef::Float), double*>);
static_assert(!std::is_invocable_v<decltype(&FieldRef::Flag), bool*>);
static_assert(!std::is_invocable_v<decltype(&FieldRef::Int32), std::uint32_t*>);

#pragma pack(push, 1)
struct OddFields {
    std::uint8_t before;
    float real;
    std::int32_t count;
    std::uint8_t flag;
    ShortString text;
    std::uint8_t after;
};
#pragma pack(pop)

TEST(FieldRef, ReadsAndWritesUnalignedFieldsInPlace) {
    OddFields odd{};
    std::memset(static_cast<void*>(&odd), 0x5A, sizeof odd);
    FieldRef::Float(&odd.real).WriteFloat(-2.5f);
    FieldRef::Int32(&odd.count).WriteInt32(-70000);
    FieldRef::Flag(&odd.flag).WriteFlag(0x80);
    FieldRef::Text(&odd.text).WriteText("Gear");
    EXPECT_EQ(FieldRef::Float(&odd.real).ReadFloat(), -2.5f);
    EXPECT_EQ(FieldRef::Int32(&odd.count).ReadInt32(), -70000);
    EXPECT_EQ(FieldRef::Flag(&odd.flag).ReadFlag(), 0x80);
    EXPECT_EQ(FieldRef::Text(&odd.text).ReadText(), "Gear");
    // Nothing beside the fields is touched.
    EXPECT_EQ(odd.before, 0x5A);
    EXPECT_EQ(odd.after, 0x5A);
    // Two references are equal when they name the same field as the same type.
    EXPECT_TRUE(FieldRef::Float(&odd.real) == FieldRef::Float(&odd.real));
    EXPECT_FALSE(FieldRef::Flag(&odd.flag) == FieldRef::Flag(&odd.before));
}

TEST(ParseReal, AcceptsTheNumberForms) {
    EXPECT_EQ(ParseReal("2.5"), 2.5);
    EXPECT_EQ(ParseReal("   2.125"), 2.125);
    EXPECT_EQ(ParseReal("-1"), -1.0);
    EXPECT_EQ(ParseReal("+3"), 3.0);
    EXPECT_EQ(ParseReal("1e3"), 1000.0);
    EXPECT_EQ(ParseReal("1.5E-2"), 0.015);
    EXPECT_EQ(ParseReal("2."), 2.0);
    EXPECT_EQ(ParseReal(".5"), 0.5);
    EXPECT_EQ(ParseReal("-0.0000"), 0.0);
}

TEST(ParseReal, RefusesAnythingElse) {
    for (const char* text : {"", "   ", "abc", "-", "+", ".", "1.2.3", "1,5", "1e", "1e+", "e5", "2.5 ",
                             "2.5x", "--1", "1 000", "0x10", "\t1"})
        EXPECT_FALSE(ParseReal(text).has_value()) << '"' << text << '"';
}

TEST(ParseReal, RefusesWhatIsNoFiniteSingle) {
    for (const char* text : {"inf", "-INF", "nan", "NaN", "1e39", "-1e39", "1e400", "3.5e38"})
        EXPECT_FALSE(ParseReal(text).has_value()) << text;
    // The largest Single is still one; a vanishing number reads as zero.
    EXPECT_TRUE(ParseReal("3.4028235e38").has_value());
    EXPECT_EQ(ParseReal("1e-400"), 0.0);
    EXPECT_EQ(ParseReal("0." + std::string(400, '0') + "1"), 0.0);
    std::string huge(400, '9');
    EXPECT_FALSE(ParseReal(huge).has_value());
}

TEST(ParseInteger, TakesWholeNumbersOnly) {
    EXPECT_EQ(ParseInteger("550"), 550);
    EXPECT_EQ(ParseInteger("  -3"), -3);
    EXPECT_EQ(ParseInteger("+7"), 7);
    for (const char* text : {"", "5.0", "1e3", "12a", "99999999999", "2147483648", " "})
        EXPECT_FALSE(ParseInteger(text).has_value()) << text;
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
}

TEST(MovieSpeed, PositionsAreTenthsOfADegree) {
    EXPECT_FLOAT_EQ(MovieStepFromPosition(1), static_cast<float>(0.1 * std::numbers::pi / 180));
    EXPECT_FLOAT_EQ(MovieStepFromPosition(10), static_cast<float>(std::numbers::pi / 180));
    // The default step of 0.01 rad is 0.573 degrees: the nearest position is 6.
    EXPECT_EQ(MovieSpeedPosition(0.01f), 6);
    for (int position = 1; position <= 10; ++position)
        EXPECT_EQ(MovieSpeedPosition(MovieStepFromPosition(position)), position);
}

TEST(MovieSpeed, StepsOutsideTheBarShowAtItsEnds) {
    EXPECT_EQ(MovieSpeedPosition(0), 1);
    EXPECT_EQ(MovieSpeedPosition(-1), 1);
    EXPECT_EQ(MovieSpeedPosition(std::nanf("")), 1);
    EXPECT_EQ(MovieSpeedPosition(1.0f), 10);
    EXPECT_EQ(MovieSpeedPosition(std::numeric_limits<float>::infinity()), 10);
}

TEST(ShortStringField, KeepsAtMost255BytesAndWholeCharacters) {
    ShortString text;
    text.Assign(std::string(300, 'x'));
    EXPECT_EQ(text.Length, 255);
    EXPECT_EQ(text.Text(), std::string(255, 'x'));
    // A two-byte character across the limit is dropped whole.
    text.Assign(std::string(254, 'a') + "\xC3\xA9" + "b");
    EXPECT_EQ(text.Length, 254);
    text.Assign("short");
    EXPECT_EQ(text.Text(), "short");
    EXPECT_EQ(text.Chars[5], '\0');
}

class EditorTest : public ::testing::Test {
protected:
    TestGearSetup s;
    EditorSession session{s.gear, s.state, s.dialogs};
    const std::vector<EditorField>& fields = session.Table().fields;

    std::size_t Index(const char* component) const {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].component == component) return i;
        ADD_FAILURE() << component;
        return 0;
    }
};

TEST_F(EditorTest, FillFormatsEveryControl) {
    s.gear.record.CrankRadius = 1.5f;
    s.gear.record.Angle = static_cast<float>(40 * std::numbers::pi / 180);
    s.gear.record.DU = -1.06f;
    s.gear.record.AutoDU = 1;
    s.gear.record.Inside = 0;
    s.gear.Slack = 2.125f;
    s.state.Decimals = 3;
    const std::vector<ControlValue> values = session.Fill();
    ASSERT_EQ(values.size(), fields.size());
    EXPECT_EQ(values[Index("ScrollBar1")].position, 6);
    EXPECT_EQ(values[Index("Descr")].text, "Test gear");
    EXPECT_EQ(values[Index("SteamChestPressure")].text, "  600.00");
    EXPECT_EQ(values[Index("Nsteps")].text, " 550");
    EXPECT_EQ(values[Index("Slack1")].text, "   2.125");
    EXPECT_EQ(values[Index("PistStroke")].text, "   3.000");
    EXPECT_EQ(values[Index("FLAAd")].text, "  40.000");
    EXPECT_EQ(values[Index("DU")].text, "  -1.060");
    EXPECT_TRUE(values[Index("cbDU")].checked);
    EXPECT_FALSE(values[Index("Admission")].checked);
}

TEST_F(EditorTest, AnyNonZeroFlagByteShowsTicked) {
    s.gear.record.AutoDU = 0x80;
    s.gear.record.Inside = 2;
    const std::vector<ControlValue> values = session.Fill();
    EXPECT_TRUE(values[Index("cbDU")].checked);
    EXPECT_TRUE(values[Index("Admission")].checked);
}

TEST_F(EditorTest, ValuesBeyondTheFieldWidthStillShowInFull) {
    s.gear.record.DU = 123456.5f;
    s.gear.record.ARy = std::numeric_limits<float>::quiet_NaN();
    const std::vector<ControlValue> values = session.Fill();
    EXPECT_EQ(values[Index("DU")].text, "123456.5000");
    EXPECT_EQ(values[Index("ARy")].text, "     NAN");
}

TEST_F(EditorTest, CheckBoxesDisableTheEditsTheyCompute) {
    std::vector<ControlValue> values = session.Fill();
    values[Index("cbDU")].checked = true;
    values[Index("cbARy")].checked = false;
    std::vector<bool> enabled = session.Enabled(values);
    EXPECT_FALSE(enabled[Index("DU")]);
    EXPECT_TRUE(enabled[Index("ARy")]);
    EXPECT_TRUE(enabled[Index("MLAAd")]);
    EXPECT_TRUE(enabled[Index("cbDU")]);

    values[Index("cbDU")].checked = false;
    values[Index("cbARy")].checked = true;
    enabled = session.Enabled(values);
    EXPECT_TRUE(enabled[Index("DU")]);
    EXPECT_FALSE(enabled[Index("ARy")]);
    EXPECT_FALSE(enabled[Index("MLAAd")]);
}

TEST_F(EditorTest, OkStoresEveryFieldAndCloses) {
    s.state.AnalysisValid = 1;
    std::vector<ControlValue> values = session.Fill();
    values[Index("ScrollBar1")].position = 1;
    values[Index("AutoSetting1")].checked = true;
    values[Index("Descr")].text = std::string(300, 'd');
    values[Index("SteamChestPressure")].text = "700";
    values[Index("Nsteps")].text = "10";
    values[Index("Slack1")].text = " 0.01";
    values[Index("PistStroke")].text = "3";
    values[Index("FLAAd")].text = "40";
    values[Index("MLAAd")].text = "-0.46";
    values[Index("Admission")].checked = false;
    EXPECT_EQ(session.Ok(values), EditorOutcome::Close);

    EXPECT_EQ(s.state.MovieStep, MovieStepFromPosition(1));
    EXPECT_EQ(s.gear.AutoSetting, 1);
    EXPECT_EQ(s.gear.record.Descr.Length, 255);
    EXPECT_EQ(s.gear.record.SteamChestPressure, 700.0f);
    // Nsteps is stored as typed; the main window clamps it when the editor closes.
    EXPECT_EQ(s.state.Nsteps, 10);
    EXPECT_EQ(s.gear.Slack, 0.01f);
    EXPECT_EQ(s.gear.record.CrankRadius, 1.5f);
    EXPECT_EQ(s.gear.record.Angle, static_cast<float>(40 * std::numbers::pi / 180));
    EXPECT_FLOAT_EQ(s.gear.record.Angle, 0.6981317f);
    EXPECT_EQ(s.gear.record.MLAA, static_cast<float>(-0.46 / 180 * std::numbers::pi));
    EXPECT_EQ(s.gear.record.Inside, 0);
    // The derived fields, then InitialiseGear; the stored analysis is no longer current.
    EXPECT_EQ(s.gear.record.PressureLimit, static_cast<float>(1.1 * 700));
    EXPECT_EQ(s.gear.afterOkCount, 1);
    EXPECT_EQ(s.gear.initialiseCount, 1);
    EXPECT_EQ(s.state.AnalysisValid, 0);
    EXPECT_TRUE(s.dialogs.messages.empty());
}

TEST_F(EditorTest, AnOkWithoutChangesKeepsTheShownValues) {
    s.state.Decimals = 3;
    s.gear.record.Angle = static_cast<float>(40 * std::numbers::pi / 180);
    EXPECT_EQ(session.Ok(session.Fill()), EditorOutcome::Close);
    EXPECT_EQ(session.Fill()[Index("FLAAd")].text, "  40.000");
    // The movie step snaps to the nearest tenth of a degree.
    EXPECT_EQ(s.state.MovieStep, MovieStepFromPosition(6));
}

// A value the form's decimals do not hold, one the program computed say, is written with as many
// more as it takes to come back unchanged through an OK, in every conversion; one they hold keeps
// the form's text.
TEST_F(EditorTest, ExactTextsGiveEveryValueBackThroughAnOk) {
    const float values[] = {2.5f, 0.73007107f, -123456.79f, 1e-7f, 3.3e-20f, 1e30f};
    for (const char* component : {"PistStroke", "FLAAd", "MLAAd", "DU", "SteamChestPressure"}) {
        const EditorField& field = fields[Index(component)];
        for (const float value : values) {
            SCOPED_TRACE(std::string(component) + " " + std::to_string(value));
            field.storage.WriteFloat(value);
            const std::string text = ExactFieldText(field, s.state.Decimals);
            if (value == 2.5f && field.conversion != FieldConversion::Degrees &&
                field.conversion != FieldConversion::DegreesOver180) {
                EXPECT_EQ(text, FormatField(field, s.state.Decimals));
            }
            std::vector<ControlValue> controls = session.Fill();
            controls[Index(component)].text = text;
            ASSERT_EQ(session.Ok(controls), EditorOutcome::Close);
            const float back = field.storage.ReadFloat();
            EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text << " gave " << back;
        }
    }
}

TEST_F(EditorTest, ASyntaxErrorZeroesThatFieldKeepsTheOthersAndStaysOpen) {
    std::vector<ControlValue> values = session.Fill();
    values[Index("SteamChestPressure")].text = "650";
    values[Index("FLAAd")].text = "4O"; // letter O
    values[Index("DU")].text = "2.5";
    s.state.AnalysisValid = 1;
    EXPECT_EQ(session.Ok(values), EditorOutcome::StayOpen);
    ASSERT_EQ(s.dialogs.informations.size(), 1u);
    EXPECT_EQ(
        s.dialogs.informations[0],
        "There is a syntax error in one of the input fields!  Go back and fix it!  (It will be zeroed)");
    EXPECT_EQ(s.gear.record.Angle, 0.0f);
    EXPECT_EQ(s.gear.record.SteamChestPressure, 650.0f);
    EXPECT_EQ(s.gear.record.DU, 2.5f);
    // Derived fields are recomputed from what was stored; InitialiseGear waits for a clean OK.
    EXPECT_EQ(s.gear.afterOkCount, 1);
    EXPECT_EQ(s.gear.initialiseCount, 0);
    EXPECT_EQ(s.state.AnalysisValid, 0);
    // The form shows the zero the next time.
    EXPECT_EQ(session.Fill()[Index("FLAAd")].text, "  0.0000");
}

TEST_F(EditorTest, ABadCountIsZeroedToo) {
    std::vector<ControlValue> values = session.Fill();
    values[Index("Nsteps")].text = "55O";
    EXPECT_EQ(session.Ok(values), EditorOutcome::StayOpen);
    EXPECT_EQ(s.state.Nsteps, 0);
}

TEST_F(EditorTest, AnOverflowingValueIsASyntaxError) {
    std::vector<ControlValue> values = session.Fill();
    values[Index("PistStroke")].text = "1e39";
    EXPECT_EQ(session.Ok(values), EditorOutcome::StayOpen);
    EXPECT_EQ(s.gear.record.CrankRadius, 0.0f);
}

TEST_F(EditorTest, MissingValuesCountAsEmptyTexts) {
    std::vector<ControlValue> values = session.Fill();
    values.resize(3);
    EXPECT_EQ(session.Ok(values), EditorOutcome::StayOpen);
    EXPECT_EQ(s.gear.record.CrankRadius, 0.0f);
    EXPECT_EQ(s.gear.record.Inside, 0);
}

TEST_F(EditorTest, TheTableFindsRadioButtonsByTheirNames) {
    const EditorTable& table = session.Table();
    ASSERT_NE(table.Find("Outside"), nullptr);
    EXPECT_EQ(table.Find("Outside")->component, "Admission");
    EXPECT_EQ(table.Find("Inside"), table.Find("Admission"));
    EXPECT_EQ(table.Find("NoSuchControl"), nullptr);
}

TEST(StartEditorTable, TakesCaptionAndFormNameFromTheKindsRow) {
    for (const GearKindRow& row : GearKinds()) {
        const EditorTable table = StartEditorTable(row.kind, GeometryTab, PrintPlacement::BesideOkCancel);
        EXPECT_EQ(table.caption, row.editorCaption) << row.name;
        EXPECT_EQ(table.formName, row.editorFormName) << row.name;
        EXPECT_EQ(table.tabs, (std::vector<std::string>{"Conditions", "Geometry", "Valving", "Other"}));
        EXPECT_EQ(table.firstTab, "Geometry");
        EXPECT_EQ(table.print, PrintPlacement::BesideOkCancel);
        EXPECT_TRUE(table.fields.empty());
    }
    const EditorTable onTab =
        StartEditorTable(GearKind::Walschaerts1, ConditionsTab, PrintPlacement::OnTab, OtherTab);
    EXPECT_EQ(onTab.print, PrintPlacement::OnTab);
    EXPECT_EQ(onTab.printTab, "Other");
}

// A kind without an auto-setting, keeping its crank radius, with captions and hints of its own.
class NoAutoSettingGear final : public GearModelOf<GearKind::Bakers1, TestGearRecord> {
public:
    using GearModelOf::GearModelOf;
    void SetExample() override {}
    void InitialiseGear() override {}
    void CalcGear(float, float) override {}
    void SolveRevolution(StepArrays&, int, EventRecord&, float) override {}
    void DrawGear(Glib1&, int, int, bool, float, float) override {}
    float PistonPct() const override { return 0; }
    std::vector<NamedPin> NamedPins() const override { return {}; }

private:
    EditorTable BuildEditor() override {
        EditorTable table = StartEditorTable(Kind(), OtherTab, PrintPlacement::BesideOkCancel);
        AppendCommonHead(table, *this, env_.state, CommonFieldsOf(GearRecord),
                         {.steamChestPressure = {"SteamChest Pressure", "Absolute Steamchest Pressure"},
                          .nsteps = {.hint = "Number of solutions per revolution used for analysis"},
                          .portWidth = {.hint = ""},
                          .adjValveX = {.label = "Adjust Valve Position"},
                          .inside = {.hint = "Common for piston valves."}});
        return table;
    }
};

std::vector<std::string> Components(const EditorTable& table) {
    std::vector<std::string> components;
    for (const EditorField& field : table.fields)
        components.push_back(field.component);
    return components;
}

TEST(CommonHead, EveryKindStoresTheSameFieldsFirstWithTheAutoSettingOnlyWhereItExists) {
    TestGearSetup s;
    NoAutoSettingGear other{GearEnvironment{s.state, s.messages, s.dialogs}};
    const std::vector<std::string> head = {
        "ScrollBar1",    "Descr",      "ExhaustPressure", "SteamChestPressure", "Gamma",       "Nsteps",
        "WheelLift1",    "WheelDisp1", "Slack1",          "PortWidth",          "BobbinWidth", "PortSpacing",
        "BobbinSpacing", "AdjValveX",  "Admission",       "Clearance",          "PistStroke"};
    EXPECT_EQ(Components(other.Editor()), head);

    std::vector<std::string> withAutoSetting = head;
    withAutoSetting.insert(withAutoSetting.begin() + 1, "AutoSetting1");
    const std::vector<std::string> walschaerts = Components(s.gear.Editor());
    ASSERT_GE(walschaerts.size(), withAutoSetting.size());
    EXPECT_EQ(std::vector<std::string>(walschaerts.begin(), walschaerts.begin() + withAutoSetting.size()),
              withAutoSetting);
}

TEST(CommonHead, RefersToTheRecordTheUnitVariablesAndTheMainState) {
    TestGearSetup s;
    NoAutoSettingGear other{GearEnvironment{s.state, s.messages, s.dialogs}};
    TestGearRecord& g = other.GearRecord;
    const struct {
        const char* component;
        FieldRef storage;
        FieldConversion conversion;
    } expected[] = {
        {"ScrollBar1", FieldRef::Float(&s.state.MovieStep), FieldConversion::MovieSpeed},
        {"Descr", FieldRef::Text(&g.Descr), FieldConversion::Text},
        {"ExhaustPressure", FieldRef::Float(&g.ExhaustPressure), FieldConversion::Plain},
        {"SteamChestPressure", FieldRef::Float(&g.SteamChestPressure), FieldConversion::Plain},
        {"Gamma", FieldRef::Float(&g.Gamma), FieldConversion::Plain},
        {"Nsteps", FieldRef::Int32(&s.state.Nsteps), FieldConversion::Integer},
        {"WheelLift1", FieldRef::Float(&other.WheelLift), FieldConversion::Plain},
        {"WheelDisp1", FieldRef::Float(&other.WheelDisp), FieldConversion::Plain},
        {"Slack1", FieldRef::Float(&other.Slack), FieldConversion::Plain},
        {"PortWidth", FieldRef::Float(&g.PortWidth), FieldConversion::Plain},
        {"BobbinWidth", FieldRef::Float(&g.BobbinWidth), FieldConversion::Plain},
        {"PortSpacing", FieldRef::Float(&g.PortSpacing), FieldConversion::Plain},
        {"BobbinSpacing", FieldRef::Float(&g.BobbinSpacing), FieldConversion::Plain},
        {"AdjValveX", FieldRef::Float(&g.AdjValveX), FieldConversion::Plain},
        {"Admission", FieldRef::Flag(&g.Inside), FieldConversion::RadioPair},
        {"Clearance", FieldRef::Float(&g.Clearance), FieldConversion::Plain},
        // The record keeps the crank radius; the form shows the stroke.
        {"PistStroke", FieldRef::Float(&g.CrankRadius), FieldConversion::Doubled},
    };
    const EditorTable& table = other.Editor();
    ASSERT_EQ(table.fields.size(), std::size(expected));
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        EXPECT_EQ(table.fields[i].component, expected[i].component);
        EXPECT_TRUE(table.fields[i].storage == expected[i].storage) << expected[i].component;
        EXPECT_EQ(table.fields[i].conversion, expected[i].conversion) << expected[i].component;
    }
    EXPECT_EQ(s.gear.Editor().Find("AutoSetting1")->storage, FieldRef::Flag(&s.gear.AutoSetting));
}

// A kind words only what it words differently; the rest keeps the shared captions and hints.
TEST(CommonHead, AKindsCaptionsAndHintsReplaceTheSharedOnes) {
    TestGearSetup s;
    NoAutoSettingGear other{GearEnvironment{s.state, s.messages, s.dialogs}};
    const EditorTable& table = other.Editor();
    const struct {
        const char* component;
        const char* tab;
        const char* group;
        const char* label;
        const char* hint;
    } expected[] = {
        {"ScrollBar1", "Other", "Movie Speed", "Movie Speed",
         "Crank angle advanced per frame of the animation, from Slow (0.1 degree) to Fast (1 degree)"},
        {"SteamChestPressure", "Other", "", "SteamChest Pressure", "Absolute Steamchest Pressure"},
        {"Nsteps", "Conditions", "", "Solution Steps",
         "Number of solutions per revolution used for analysis"},
        {"Slack1", "Conditions", "", "Backlash",
         "Accumulated backlash in the gear: width of the dead band of the valve drive"},
        {"PortWidth", "Valving", "", "Port Width", ""}, // a hint given as none
        {"AdjValveX", "Valving", "", "Adjust Valve Position", "Fixed shift of the valve along its rod"},
        {"Admission", "Valving", "", "Steam Admission",
         "Steam admitted between the bobbins (inside) or at their outer edges (outside)"},
        {"PistStroke", "Geometry", "Cylinder", "Piston Stroke", "Piston stroke: twice the crank radius"},
    };
    for (const auto& e : expected) {
        const EditorField* field = table.Find(e.component);
        ASSERT_NE(field, nullptr) << e.component;
        EXPECT_EQ(field->tab, e.tab) << e.component;
        EXPECT_EQ(field->group, e.group) << e.component;
        EXPECT_EQ(field->label, e.label) << e.component;
        EXPECT_EQ(field->hint, e.hint) << e.component;
    }
    const EditorField* admission = table.Find("Admission");
    EXPECT_EQ(admission->choices[0].component, "Inside");
    EXPECT_EQ(admission->choices[0].caption, "Inside");
    EXPECT_EQ(admission->choices[0].hint, "Common for piston valves.");
    EXPECT_EQ(admission->choices[1].component, "Outside");
    EXPECT_EQ(admission->choices[1].caption, "Outside");
}

} // namespace
} // namespace linkwright::testing
