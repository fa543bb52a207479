// The gear editors' common behaviour: strict number conversion, field formatting, the movie-speed
// scroll bar, check boxes that disable edits, and the OK button's store-then-check rule.
#include "tests/gears/TestGear.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace linkwright::testing {
namespace {

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

} // namespace
} // namespace linkwright::testing
