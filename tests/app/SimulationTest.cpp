// The simulation driver's start-up and main-window commands: kind choice, the panel texts, zoom and
// pan, the gear and crank settings, the direction, the editor's closing clamp and the first activation.
#include "tests/app/SimulationFixture.h"

#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

namespace linkwright::testing {
namespace {

class SimulationTest : public SimulationFixture {
protected:
    std::size_t Index(EditorSession& session, const char* component) {
        const auto& fields = session.Table().fields;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].component == component) return i;
        ADD_FAILURE() << component;
        return 0;
    }
};

TEST_F(SimulationTest, StartUpState) {
    EXPECT_EQ(sim.CurrentKind, GearKind::Walschaerts1);
    EXPECT_EQ(sim.State.fwd, 1);
    EXPECT_EQ(sim.State.Nsteps, 550);
    EXPECT_EQ(sim.State.MovieStep, 0.01f);
    EXPECT_EQ(sim.State.GearSetting, 1.0f);
    EXPECT_EQ(sim.State.Decimals, 4);
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    EXPECT_EQ(sim.State.EventsKnown, 0);
    EXPECT_EQ(sim.CrankAngle, 0.0f);
    EXPECT_EQ(sim.MovieStopped, 1);
    EXPECT_EQ(sim.FirstActivation, 1);
    EXPECT_EQ(sim.MeasureMode, 3);
    EXPECT_EQ(sim.MeasurePairStart, 1);
    EXPECT_EQ(sim.CurrentFileName, " Program example");
    // InitialiseGear of the first kind copied its example's view window.
    EXPECT_EQ(sim.State.ViewXMin, -2.0f);
    EXPECT_EQ(sim.State.ViewXMax, 11.0f);
    EXPECT_EQ(sim.State.ViewYMin, -2.0f);
    EXPECT_EQ(sim.State.ViewYMax, 7.0f);
    EXPECT_NE(sim.Model(GearKind::Walschaerts1), nullptr);
}

TEST(SimulationStartUp, TheMessagesFileStartsAfresh) {
    ScratchDir dir;
    WorkingDirectory cwd(dir.path());
    WriteBytes(dir / "Messages.txt", {'o', 'l', 'd', '\n'});
    ScriptedDialogs dialogs;
    Simulation sim(dialogs);
    EXPECT_EQ(sim.Messages.Contents().find("old"), std::string::npos);
}

TEST_F(SimulationTest, RedrawProducesTheCaptionAndPanelTexts) {
    EXPECT_EQ(sim.DrawWidth, 800);
    EXPECT_EQ(sim.DrawHeight, 600);
    EXPECT_EQ(sim.Caption, "Linkwright > Walschaerts1   Program example");
    EXPECT_EQ(sim.EdCrankAngleText, "0");
    EXPECT_EQ(sim.EdGearText, "1.000");
    EXPECT_TRUE(sim.FwdChecked);
    // The gear was drawn onto the attached canvas and its mapping kept.
    EXPECT_FALSE(canvas.calls.empty());
    EXPECT_NE(sim.Mapping.ScaleX, 0.0f);
    EXPECT_LT(sim.Mapping.ScaleY, 0.0f);
}

TEST_F(SimulationTest, ATinyWindowStillGetsAPicture) {
    sim.Redraw(2, 50, 100);
    EXPECT_EQ(sim.DrawWidth, 1);
    EXPECT_EQ(sim.DrawHeight, 1);
}

TEST_F(SimulationTest, CrankAngleTextRoundsHalvesToEven) {
    sim.CrankAngle = static_cast<float>(359.5 / 180 * std::numbers::pi);
    sim.Redraw();
    EXPECT_EQ(sim.EdCrankAngleText, "360");
    sim.CrankAngle = static_cast<float>(0.5 / 180 * std::numbers::pi);
    sim.Redraw();
    EXPECT_EQ(sim.EdCrankAngleText, "0");
    // Halves stay halves although the angle is a Single in radians.
    for (auto [degrees, shown] :
         {std::pair{1.5, "2"}, std::pair{4.5, "4"}, std::pair{9.5, "10"}, std::pair{10.5, "10"}}) {
        sim.CrankAngle = static_cast<float>(degrees / 180 * std::numbers::pi);
        sim.Redraw();
        EXPECT_EQ(sim.EdCrankAngleText, shown) << degrees;
    }
}

TEST_F(SimulationTest, ScrollCrankSetsTheAngleInRadians) {
    sim.Annotate = 1;
    sim.ScrollCrankChange(90);
    EXPECT_EQ(sim.CrankAngle, static_cast<float>(90 / 180.0 * std::numbers::pi));
    EXPECT_EQ(sim.EdCrankAngleText, "90");
    EXPECT_EQ(sim.Annotate, 0);
    EXPECT_EQ(closes, 0);
}

TEST_F(SimulationTest, ScrollGearSetsTheSettingAndInvalidatesTheAnalysis) {
    sim.State.AnalysisValid = 1;
    sim.ScrollGearChange(-50);
    EXPECT_EQ(sim.State.GearSetting, -0.5f);
    EXPECT_EQ(sim.EdGearText, "-0.500");
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    EXPECT_EQ(closes, 1);
}

TEST_F(SimulationTest, TypedGearSettingsAreNotClampedAndLettersMeanFullGear) {
    sim.State.AnalysisValid = 1;
    sim.EdGearExit("2.5");
    EXPECT_EQ(sim.State.GearSetting, 2.5f);
    EXPECT_EQ(sim.EdGearText, "2.500");
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    sim.EdGearExit("abc");
    EXPECT_EQ(sim.State.GearSetting, 1.0f);
    EXPECT_EQ(sim.EdGearText, "1.000");
    sim.EdGearExit(" -0.25 ");
    EXPECT_EQ(sim.State.GearSetting, -0.25f);
    sim.EdGearExit("1e60");
    EXPECT_EQ(sim.State.GearSetting, 1.0f);
}

TEST_F(SimulationTest, ForwardToggledDuringStartUpClosesNothing) {
    sim.State.AnalysisValid = 1;
    sim.fwdClick(false);
    EXPECT_EQ(sim.State.fwd, 0);
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    EXPECT_EQ(closes, 0);
    sim.FormActivate();
    sim.fwdClick(true);
    EXPECT_EQ(sim.State.fwd, 1);
    EXPECT_EQ(closes, 1);
}

TEST_F(SimulationTest, ZoomInThenOutRestoresTheWindow) {
    sim.ZoomInClick();
    EXPECT_FLOAT_EQ(sim.State.ViewXMax - sim.State.ViewXMin, static_cast<float>(13 / 1.1));
    EXPECT_FLOAT_EQ((sim.State.ViewXMax + sim.State.ViewXMin) / 2, 4.5f);
    sim.ZoomOutClick();
    EXPECT_NEAR(sim.State.ViewXMin, -2.0f, 1e-5);
    EXPECT_NEAR(sim.State.ViewXMax, 11.0f, 1e-5);
    EXPECT_NEAR(sim.State.ViewYMin, -2.0f, 1e-5);
    EXPECT_NEAR(sim.State.ViewYMax, 7.0f, 1e-5);
}

TEST_F(SimulationTest, PanMovesByATenthOfTheCurrentSize) {
    sim.PanLClick();
    EXPECT_FLOAT_EQ(sim.State.ViewXMin, -0.7f);
    EXPECT_FLOAT_EQ(sim.State.ViewXMax, 12.3f);
    sim.PanRClick();
    EXPECT_FLOAT_EQ(sim.State.ViewXMin, -2.0f);
    sim.PanUClick();
    EXPECT_FLOAT_EQ(sim.State.ViewYMin, -2.9f);
    EXPECT_FLOAT_EQ(sim.State.ViewYMax, 6.1f);
    sim.PanDClick();
    EXPECT_FLOAT_EQ(sim.State.ViewYMax, 7.0f);
    // After zooming in the step is a tenth of the smaller window.
    sim.ZoomInClick();
    const float width = sim.State.ViewXMax - sim.State.ViewXMin;
    const float left = sim.State.ViewXMin;
    sim.PanLClick();
    EXPECT_FLOAT_EQ(sim.State.ViewXMin - left, width / 10);
}

TEST_F(SimulationTest, AnnotateLastsUntilTheNextScroll) {
    sim.AnnotClick();
    EXPECT_EQ(sim.Annotate, 1);
    sim.ScrollCrankChange(10);
    EXPECT_EQ(sim.Annotate, 0);
}

TEST_F(SimulationTest, TheKindListShowsAllKindsAndChoosingOneResetsTheSettings) {
    sim.CurrentFileName = "gear.L1";
    sim.ValveGear2Click();
    EXPECT_TRUE(sim.ListBoxVisible);
    ASSERT_EQ(sim.ListBoxItems.size(), 5u);
    EXPECT_EQ(sim.ListBoxItems[2], "Bakers1");
    EXPECT_EQ(sim.ListBoxSelection, 0);
    EXPECT_EQ(sim.CurrentFileName, " Program example");

    sim.State.GearSetting = -0.3f;
    sim.State.fwd = 0;
    sim.Annotate = 1;
    sim.PanLClick();
    EXPECT_TRUE(sim.ComboBox1Change(-1)); // nothing selected means the first entry
    EXPECT_FALSE(sim.ListBoxVisible);
    EXPECT_EQ(sim.CurrentKind, GearKind::Walschaerts1);
    EXPECT_EQ(sim.State.GearSetting, 1.0f);
    EXPECT_EQ(sim.State.fwd, 1);
    EXPECT_EQ(sim.Annotate, 0);
    EXPECT_EQ(sim.State.ViewXMin, -2.0f);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(sim.EdGearText, "1.000");
    EXPECT_TRUE(sim.Caption.ends_with(" Program example"));
}

TEST_F(SimulationTest, AKindWithoutAModelOrOutOfRangeIsRefused) {
    for (int kind = 1; kind <= 5; ++kind) {
        if (kind < GearKindCount && sim.Model(static_cast<GearKind>(kind)) != nullptr) continue;
        sim.State.GearSetting = 0.5f;
        EXPECT_FALSE(sim.ComboBox1Change(kind));
        EXPECT_EQ(sim.CurrentKind, GearKind::Walschaerts1);
        EXPECT_EQ(sim.State.GearSetting, 0.5f);
    }
}

TEST_F(SimulationTest, TheEditorClampsTheStepCountWhenItCloses) {
    for (auto [typed, kept] : {std::pair{"10", 30}, std::pair{"1000", 550}, std::pair{"120", 120}}) {
        sim.Edit1Click([&](EditorSession& session) {
            std::vector<ControlValue> values = session.Fill();
            values[Index(session, "Nsteps")].text = typed;
            EXPECT_EQ(session.Ok(values), EditorOutcome::Close);
            EXPECT_EQ(sim.State.Nsteps, std::stoi(typed)); // stored as typed
        });
        EXPECT_EQ(sim.State.Nsteps, kept) << typed;
    }
    EXPECT_EQ(closes, 3);
}

TEST_F(SimulationTest, TheMovieSpeedBarSetsTheStep) {
    for (auto [position, degrees] : {std::pair{1, 0.1}, std::pair{10, 1.0}}) {
        sim.Edit1Click([&](EditorSession& session) {
            std::vector<ControlValue> values = session.Fill();
            values[Index(session, "ScrollBar1")].position = position;
            session.Ok(values);
        });
        EXPECT_FLOAT_EQ(sim.State.MovieStep, static_cast<float>(degrees * std::numbers::pi / 180));
    }
}

TEST_F(SimulationTest, ACancelledEditorChangesNothingButRedraws) {
    const SimulationState before = sim.State;
    canvas.Clear();
    sim.Edit1Click([](EditorSession&) {});
    EXPECT_EQ(sim.State.Nsteps, before.Nsteps);
    EXPECT_EQ(sim.State.MovieStep, before.MovieStep);
    EXPECT_FALSE(canvas.calls.empty());
}

TEST_F(SimulationTest, TypedTextsAreStoredAsAnEditorOkStoresThemOrNotAtAll) {
    GearModel& model = sim.CurrentModel();
    const EditorTable& table = model.Editor();
    const float arx = table.Find("ARx")->storage.ReadFloat();
    const float pxx = table.Find("PXx")->storage.ReadFloat();
    canvas.Clear();
    sim.Redraw();
    const std::vector<CanvasCall> pictureBefore = canvas.calls;

    // A dimension reaches the record and the picture; the step count is clamped as the editor's
    // closing clamps it, and the analysis is to be made again.
    sim.State.AnalysisValid = 1;
    canvas.Clear();
    const float flaa =
        table.Find("FLAAd")->storage.ReadFloat(); // 40.107045 degrees: more than the form shows
    ASSERT_TRUE(sim.ApplyTyped({{"ARx", ShortestText(arx * 1.05f)}, {"Nsteps", "10"}}));
    EXPECT_EQ(table.Find("ARx")->storage.ReadFloat(), arx * 1.05f);
    EXPECT_EQ(table.Find("FLAAd")->storage.ReadFloat(), flaa); // the others hold exactly what they did
    EXPECT_EQ(sim.State.Nsteps, MinSteps);
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(canvas.calls.empty());
    EXPECT_NE(canvas.calls, pictureBefore);

    // A text that does not convert: the editor's message, and nothing of the OK stays behind, not
    // even the field it stored before the one it refused.
    const std::span<const std::uint8_t> record = model.RecordBytes();
    const std::vector<std::uint8_t> recordBefore(record.begin(), record.end());
    sim.State.AnalysisValid = 1;
    const SimulationState stateBefore = sim.State;
    dialogs.informations.clear();
    EXPECT_FALSE(sim.ApplyTyped({{"PXx", ShortestText(pxx + 1)}, {"ARx", "1,5"}}));
    EXPECT_EQ(dialogs.informations, std::vector<std::string>{SyntaxErrorMessage});
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.end()), recordBefore);
    EXPECT_EQ(std::memcmp(&sim.State, &stateBefore, sizeof stateBefore), 0);
}

TEST_F(SimulationTest, ClicksAndKeysStopTheAnimation) {
    sim.MovieStopped = 0;
    sim.FormClick();
    EXPECT_EQ(sim.MovieStopped, 1);
    sim.MovieStopped = 0;
    sim.FormKeyPress();
    EXPECT_EQ(sim.MovieStopped, 1);
}

TEST_F(SimulationTest, FirstActivationCreatesTheDataFolderOnce) {
    sim.FormActivate();
    EXPECT_EQ(sim.FirstActivation, 0);
    EXPECT_EQ(sim.DataDir, (std::filesystem::current_path() / "Data").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Data"));
    std::filesystem::remove(dir / "Data");
    sim.FormActivate();
    EXPECT_FALSE(std::filesystem::exists(dir / "Data"));
}

TEST_F(SimulationTest, AFailedDataFolderLeavesTheActivationPending) {
    WriteBytes(dir / "Data", {'x'});
    EXPECT_THROW(sim.FormActivate(), std::system_error);
    EXPECT_EQ(sim.FirstActivation, 1);
    std::filesystem::remove(dir / "Data");
    sim.FormActivate();
    EXPECT_EQ(sim.FirstActivation, 0);
}

TEST(SimulationLayout, WindowsArePlacedFromTheScreenSize) {
    const WindowLayout layout = Simulation::FirstActivationLayout(1920, 1080);
    EXPECT_EQ(layout.main.top, 54);
    EXPECT_EQ(layout.main.height, 433); // 432 raised to the minimum
    EXPECT_EQ(layout.main.left, 96);
    EXPECT_EQ(layout.main.width, 960);
    EXPECT_EQ(layout.indicator.top, 54);
    EXPECT_EQ(layout.indicator.left, 96 + 960 + 8);
    EXPECT_EQ(layout.indicator.width, 768);
    EXPECT_EQ(layout.indicator.height, 360);
    EXPECT_EQ(layout.oval.top, 540);
    EXPECT_EQ(layout.oval.left, layout.indicator.left);
    EXPECT_EQ(layout.oval.height, 360);
    const WindowLayout small = Simulation::FirstActivationLayout(800, 600);
    EXPECT_EQ(small.main.width, 559);
    EXPECT_EQ(small.indicator.height, 200);
}

TEST(SimulationLayout, WindowsAreKeptWithinTheAvailableAreaAndTheEditorBesideTheMain) {
    const WindowRect area{0, 30, 640, 370};
    const auto same = [](const WindowRect& a, const WindowRect& b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    };
    EXPECT_TRUE(same(FitWindowInto({10, 40, 300, 200}, area), {10, 40, 300, 200})); // inside: kept
    EXPECT_TRUE(same(FitWindowInto({599, 54, 256, 433}, area), {384, 30, 256, 370}));
    EXPECT_TRUE(same(FitWindowInto({-50, 0, 900, 100}, area), {0, 30, 640, 100}));
    EXPECT_TRUE(same(FitWindowInto({340, 300, 300, 100}, area), {340, 300, 300, 100})); // at the edges
    const WindowRect wide{0, 0, 1920, 1050};
    EXPECT_TRUE(same(PlaceBeside({96, 54, 960, 433}, 700, 480, wide), {1064, 54, 700, 480}));  // right
    EXPECT_TRUE(same(PlaceBeside({1000, 54, 800, 433}, 700, 480, wide), {292, 54, 700, 480})); // left
    EXPECT_TRUE(same(PlaceBeside({96, 54, 960, 433}, 1000, 480, wide), {920, 54, 1000, 480})); // right edge
    EXPECT_TRUE(same(PlaceBeside({800, 54, 960, 433}, 1000, 480, wide), {0, 54, 1000, 480}));  // left edge
}

TEST_F(SimulationTest, ExitClosesTheMessagesFile) {
    ASSERT_TRUE(sim.Messages.IsOpen());
    sim.Exit2Click();
    EXPECT_FALSE(sim.Messages.IsOpen());
}

} // namespace
} // namespace linkwright::testing
