// The TEdWal1 field table through the editor core: the controls and their order, filling,
// conversion, the check boxes that disable edits, the syntax error, and what an OK recomputes.
#include "tests/gears/EditorTableRows.h"
#include "tests/gears/wal1/Wal1Fixture.h"

#include <iterator>
#include <numbers>

namespace linkwright::testing {
namespace {

class Wal1EditorTest : public Wal1Test {
protected:
    std::size_t IndexOf(const EditorSession& session, const std::string& component) {
        const std::vector<EditorField>& fields = session.Table().fields;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].component == component) return i;
        ADD_FAILURE() << "no control " << component;
        return 0;
    }
};

TEST_F(Wal1EditorTest, TableListsEveryControlInTheOrderOkStoresThem) {
    const EditorTable& table = model_.Editor();
    EXPECT_EQ(table.caption, "Edit Walschaert 1");
    EXPECT_EQ(table.formName, "EdWal1");
    EXPECT_EQ(table.tabs, (std::vector<std::string>{"Conditions", "Geometry", "Valving", "Other"}));
    EXPECT_EQ(table.firstTab, "Conditions");
    EXPECT_EQ(table.print, PrintPlacement::OnTab);
    EXPECT_EQ(table.printTab, "Other");

    Wal1Record& g = model_.GearRecord;
    using C = FieldConversion;
    using F = FieldFormat;
    const char* cylinder = "Cylinder";
    const char* lever = "Combination Lever";
    const char* link = "Expansion Link";
    const char* drive = "Expansion Link Drive";
    const char* reversing = "Reversing Gear";
    const EditorRow expected[] = {
        {"ScrollBar1", "Other", "Movie Speed", "Movie Speed", F::None, C::MovieSpeed,
         FieldRef::Float(&state_.MovieStep)},
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
        {"PistStroke", "Geometry", cylinder, "Piston Stroke", F::Decimals, C::Plain,
         FieldRef::Float(&g.PistStroke)},
        {"GVy", "Geometry", cylinder, "GVy PistRodToValveRod", F::Decimals, C::Plain,
         FieldRef::Float(&g.GVy)},
        {"GC", "Geometry", cylinder, "GC Connecting Rod", F::Decimals, C::Plain, FieldRef::Float(&g.GC)},
        {"TV", "Geometry", lever, "TV Comb Lever Upper", F::Decimals, C::Plain, FieldRef::Float(&g.TV)},
        {"UV", "Geometry", lever, "UV Comb Lever Lower", F::Decimals, C::Plain, FieldRef::Float(&g.UV)},
        {"DGx", "Geometry", lever, "DGx DropLink x", F::Decimals, C::Plain, FieldRef::Float(&g.DGx)},
        {"DGy", "Geometry", lever, "DGy DropLink y", F::Decimals, C::Plain, FieldRef::Float(&g.DGy)},
        {"DU", "Geometry", lever, "DU Union Link", F::Decimals, C::Plain, FieldRef::Float(&g.DU)},
        {"cbDU", "Geometry", lever, "Auto", F::None, C::CheckBox, FieldRef::Flag(&g.AutoDU)},
        {"PXx", "Geometry", link, "PXx Trunnion to Tailpin", F::Decimals, C::Plain, FieldRef::Float(&g.PXx)},
        {"PXy", "Geometry", link, "PXy Trunnion to Tailpin", F::Decimals, C::Plain, FieldRef::Float(&g.PXy)},
        {"APx", "Geometry", link, "APx Axle to exp link trunnion", F::Decimals, C::Plain,
         FieldRef::Float(&g.APx)},
        {"APy", "Geometry", link, "APy Axle to exp link trunnion", F::Decimals, C::Plain,
         FieldRef::Float(&g.APy)},
        {"DieBlockChord", "Geometry", link, "Die Block Chord length", F::Decimals, C::Plain,
         FieldRef::Float(&g.DieBlockChord)},
        {"BT", "Geometry", link, "BT Radius Rod Length", F::Decimals, C::Plain, FieldRef::Float(&g.BT)},
        {"CE", "Geometry", drive, "CE Return Crank Length", F::Decimals, C::Plain, FieldRef::Float(&g.CE)},
        {"AE", "Geometry", drive, "AE Eccentric Pin Radius", F::Decimals, C::Plain, FieldRef::Float(&g.AE)},
        {"EX", "Geometry", drive, "EX Eccentric Rod Length", F::Decimals, C::Plain, FieldRef::Float(&g.EX)},
        {"FLAAd", "Geometry", reversing, "Full Lifting Arm Angle", F::Decimals, C::Degrees,
         FieldRef::Float(&g.FLAA)},
        {"MLAAd", "Geometry", reversing, "Midgear Lifting Arm Angle", F::Decimals, C::Degrees,
         FieldRef::Float(&g.MLAA)},
        {"LR", "Geometry", reversing, "LR Reversing Arm Length", F::Decimals, C::Plain,
         FieldRef::Float(&g.LR)},
        {"ARx", "Geometry", reversing, "PRx Rev Shaft Exp Link Trunnion", F::Decimals, C::Plain,
         FieldRef::Float(&g.ARx)},
        {"ARy", "Geometry", reversing, "ARy Rev Shaft from Axle", F::Decimals, C::Plain,
         FieldRef::Float(&g.ARy)},
        {"cbARy", "Geometry", reversing, "Auto", F::None, C::CheckBox, FieldRef::Flag(&g.AutoARy)},
    };
    ExpectEditorRows(table, expected);
}

TEST_F(Wal1EditorTest, AdmissionButtonsAndTheFormsNotes) {
    const EditorTable& table = model_.Editor();
    const EditorField* admission = table.Find("Outside");
    ASSERT_NE(admission, nullptr);
    EXPECT_EQ(admission->choices[0].component, "Inside");
    EXPECT_EQ(admission->choices[1].component, "Outside");

    ASSERT_FALSE(table.notes.empty());
    EXPECT_EQ(table.notes[0].tab, "Conditions");
    EXPECT_EQ(table.notes[0].lines,
              (std::vector<std::string>{"Hint!", "If you specify a non-zero value for any ",
                                        "of these adjustments, turn off the Auto", "Setting.",
                                        "This will stop the program from compensating",
                                        "for the condition by changing the return Crank."}));
    int geometryNotes = 0;
    for (const EditorNote& note : table.notes)
        geometryNotes += note.tab == "Geometry";
    EXPECT_GE(geometryNotes, 1);
}

TEST_F(Wal1EditorTest, FillFormatsFieldsAndShowsAnglesInDegrees) {
    model_.GearRecord.FLAA = 40 * float(std::numbers::pi) / 180;
    state_.Decimals = 3;
    EditorSession session(model_, state_, dialogs_);
    const std::vector<ControlValue> values = session.Fill();
    EXPECT_EQ(values[IndexOf(session, "FLAAd")].text, "  40.000");
    EXPECT_EQ(values[IndexOf(session, "PistStroke")].text, "   2.125");
    EXPECT_EQ(values[IndexOf(session, "Nsteps")].text, " 550");
    EXPECT_EQ(values[IndexOf(session, "SteamChestPressure")].text, "  600.00");
    EXPECT_EQ(values[IndexOf(session, "DGy")].text, "  -0.750");
    EXPECT_EQ(values[IndexOf(session, "Descr")].text, model_.GearRecord.Descr.Text());
    EXPECT_TRUE(values[IndexOf(session, "Admission")].checked);
    EXPECT_TRUE(values[IndexOf(session, "cbDU")].checked);
    EXPECT_FALSE(values[IndexOf(session, "AutoSetting1")].checked);
    EXPECT_EQ(values[IndexOf(session, "ScrollBar1")].position, 6); // 0.01 rad = 0.57 degrees
}

TEST_F(Wal1EditorTest, DegreesAreStoredAsRadians) {
    EditorSession session(model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    values[IndexOf(session, "FLAAd")].text = "40";
    values[IndexOf(session, "cbARy")].checked = false;
    values[IndexOf(session, "MLAAd")].text = "-5";
    EXPECT_EQ(session.Ok(values), EditorOutcome::Close);
    EXPECT_FLOAT_EQ(model_.GearRecord.FLAA, 0.6981317f);
    EXPECT_FLOAT_EQ(model_.GearRecord.MLAA, float(-5 * std::numbers::pi / 180));
    state_.Decimals = 3;
    EXPECT_EQ(session.Fill()[IndexOf(session, "FLAAd")].text, "  40.000");
}

TEST_F(Wal1EditorTest, AutoCheckBoxesDisableTheEditsTheyCompute) {
    EditorSession session(model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    const std::size_t du = IndexOf(session, "DU"), ary = IndexOf(session, "ARy"),
                      mlaa = IndexOf(session, "MLAAd");
    const std::size_t cbdu = IndexOf(session, "cbDU"), cbary = IndexOf(session, "cbARy");
    std::vector<bool> enabled = session.Enabled(values);
    EXPECT_FALSE(enabled[du]);
    EXPECT_FALSE(enabled[ary]);
    EXPECT_FALSE(enabled[mlaa]);
    EXPECT_TRUE(enabled[IndexOf(session, "FLAAd")]);

    values[cbdu].checked = false;
    enabled = session.Enabled(values);
    EXPECT_TRUE(enabled[du]);
    EXPECT_FALSE(enabled[ary]);

    values[cbary].checked = false;
    enabled = session.Enabled(values);
    EXPECT_TRUE(enabled[ary]);
    EXPECT_TRUE(enabled[mlaa]);
}

TEST_F(Wal1EditorTest, TickingAutoReversingShaftComputesItAtTheNextSolution) {
    model_.GearRecord.AutoARy = 0;
    model_.GearRecord.ARy = 3.0f;
    model_.GearRecord.MLAA = 0.3f;
    EditorSession session(model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    values[IndexOf(session, "cbARy")].checked = true;
    ASSERT_EQ(session.Ok(values), EditorOutcome::Close);
    EXPECT_EQ(model_.GearRecord.AutoARy, 1);
    model_.CalcGear(0.0f, 1.0f);
    EXPECT_FLOAT_EQ(model_.GearRecord.ARy, 1.5f + 0.469f);
    EXPECT_EQ(model_.GearRecord.MLAA, 0.0f);
}

TEST_F(Wal1EditorTest, OkSetsTheDrawingWindowFromStrokeAndConnectingRod) {
    EditorSession session(model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    values[IndexOf(session, "PistStroke")].text = "2.125";
    values[IndexOf(session, "GC")].text = "7.25";
    values[IndexOf(session, "SteamChestPressure")].text = "500";
    ASSERT_EQ(session.Ok(values), EditorOutcome::Close);
    const Wal1Record& g = model_.GearRecord;
    EXPECT_EQ(g.ViewWindow[0], -2.125f);
    EXPECT_EQ(g.ViewWindow[1], 9.375f);
    EXPECT_EQ(g.ViewWindow[2], -2.125f);
    EXPECT_EQ(g.ViewWindow[3], 4.6875f);
    EXPECT_EQ(g.ViewWindow[4], 2.0f); // the spare value is left alone
    EXPECT_FLOAT_EQ(g.PressureLimit, 550.0f);
    // InitialiseGear ran and handed the window to the main state.
    EXPECT_EQ(state_.ViewXMin, -2.125f);
    EXPECT_EQ(state_.ViewXMax, 9.375f);
    EXPECT_EQ(state_.ViewYMin, -2.125f);
    EXPECT_EQ(state_.ViewYMax, 4.6875f);
    EXPECT_NE(messages_.Contents().find("**** Walschaerts 1 gear initialisation"), std::string::npos);
}

TEST_F(Wal1EditorTest, OkWithANewStrokeSolvesWithTheNewCrankRadius) {
    EditorSession session(model_, state_, dialogs_);
    model_.InitialiseGear();
    std::vector<ControlValue> values = session.Fill();
    values[IndexOf(session, "PistStroke")].text = "3";
    ASSERT_EQ(session.Ok(values), EditorOutcome::Close);
    model_.CalcGear(0.0f, 1.0f);
    EXPECT_NEAR(model_.Points().G.x, 0.0, 1e-5);
    EXPECT_NEAR(Dist(model_.Points().C, model_.Points().A), 1.5, 1e-5);
}

TEST_F(Wal1EditorTest, ConditionsAreStoredInTheUnitVariables) {
    EditorSession session(model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    values[IndexOf(session, "WheelLift1")].text = " 0.25";
    values[IndexOf(session, "WheelDisp1")].text = "-0.1";
    values[IndexOf(session, "Slack1")].text = "5e-2";
    values[IndexOf(session, "AutoSetting1")].checked = true;
    values[IndexOf(session, "Nsteps")].text = "  120";
    values[IndexOf(session, "Admission")].checked = false;
    values[IndexOf(session, "ScrollBar1")].position = 10;
    ASSERT_EQ(session.Ok(values), EditorOutcome::Close);
    EXPECT_EQ(model_.WheelLift, 0.25f);
    EXPECT_EQ(model_.WheelDisp, -0.1f);
    EXPECT_EQ(model_.Slack, 0.05f);
    EXPECT_EQ(model_.AutoSetting, 1);
    EXPECT_EQ(state_.Nsteps, 120);
    EXPECT_EQ(model_.GearRecord.Inside, 0);
    EXPECT_FLOAT_EQ(state_.MovieStep, float(std::numbers::pi / 180));
    EXPECT_EQ(state_.AnalysisValid, 0);
    // The auto-setting ran with the OK.
    EXPECT_NE(messages_.Contents().find("Autosetting results:"), std::string::npos);
    EXPECT_EQ(model_.Points().A.y, 0.25f);
}

TEST_F(Wal1EditorTest, FieldThatDoesNotConvertIsZeroedAndTheFormStaysOpen) {
    EditorSession session(model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    values[IndexOf(session, "GC")].text = "7,25";
    values[IndexOf(session, "BT")].text = "4.5";
    state_.AnalysisValid = 1;
    EXPECT_EQ(session.Ok(values), EditorOutcome::StayOpen);
    ASSERT_EQ(dialogs_.informations.size(), 1u);
    EXPECT_EQ(
        dialogs_.informations[0],
        "There is a syntax error in one of the input fields!  Go back and fix it!  (It will be zeroed)");
    EXPECT_EQ(model_.GearRecord.GC, 0.0f);
    EXPECT_EQ(model_.GearRecord.BT, 4.5f); // the other fields are stored all the same
    // No initialisation ran.
    EXPECT_EQ(messages_.Contents().find("initialisation"), std::string::npos);
}

TEST_F(Wal1EditorTest, DescriptionIsCutTo255Characters) {
    EditorSession session(model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    values[IndexOf(session, "Descr")].text = std::string(300, 'w');
    ASSERT_EQ(session.Ok(values), EditorOutcome::Close);
    EXPECT_EQ(model_.GearRecord.Descr.Text(), std::string(255, 'w'));
}

} // namespace
} // namespace linkwright::testing
