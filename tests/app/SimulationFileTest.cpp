// File > Open and Save around the gear data file: the dialogs' requests, the caption's file name,
// the reset after every Open (cancelled or refused too), the file named on the command line, and the
// headless set-up of a gear.
#include "gears/bak1/Bak1.h"
#include "gears/wal1/Wal1.h"
#include "tests/app/SimulationFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace linkwright::testing {
namespace {

class SimulationFileTest : public SimulationFixture {
protected:
    void SetUp() override {
        SimulationFixture::SetUp();
        sim.FormActivate();
    }

    Wal1& Gear() { return static_cast<Wal1&>(*sim.Model(GearKind::Walschaerts1)); }

    std::string SaveAs(const std::string& name) {
        const std::string path = (dir / "Data" / name).string();
        dialogs.saveAnswers.push_back(path);
        sim.Save1Click();
        return path;
    }
};

TEST_F(SimulationFileTest, DialogsOfferTheKindsFilesInTheDataFolder) {
    sim.Open1Click();
    sim.Save1Click();
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const FileDialogRequest& open = dialogs.openRequests[0];
    EXPECT_EQ(open.filter, "Walschaerts1 (*.L1)");
    EXPECT_EQ(open.defaultExtension, "L1");
    EXPECT_EQ(open.initialDirectory, sim.DataDir);
    const FileDialogRequest& save = dialogs.saveRequests[0];
    EXPECT_EQ(save.filter, "Walschaerts1 (*.L1)");
    EXPECT_EQ(save.defaultExtension, "L1");
    EXPECT_EQ(save.initialDirectory, sim.DataDir);
    EXPECT_EQ(save.initialFileName, "NoName");
}

// Both dialogs then start in the folder of the last file opened or saved, not one merely chosen.
TEST_F(SimulationFileTest, DialogsStartInTheFolderLastUsed) {
    std::filesystem::create_directories(dir / "a" / "b");
    SaveAs((dir / "a" / "gear.L1").string());
    sim.Save1Click();
    EXPECT_EQ(dialogs.saveRequests.back().initialDirectory, (dir / "a").string());
    dialogs.openAnswers.push_back((dir / "b" / "missing.L1").string());
    sim.Open1Click();
    sim.Open1Click();
    EXPECT_EQ(dialogs.openRequests.back().initialDirectory, (dir / "a").string());
    std::filesystem::copy_file(dir / "a" / "gear.L1", dir / "a" / "b" / "gear.L1");
    dialogs.openAnswers.push_back((dir / "a" / "b" / "gear.L1").string());
    sim.Open1Click();
    sim.Save1Click();
    EXPECT_EQ(dialogs.saveRequests.back().initialDirectory, (dir / "a" / "b").string());
}

TEST_F(SimulationFileTest, ACancelledSaveWritesNothingAndShowsNoName) {
    sim.Save1Click();
    EXPECT_EQ(sim.CurrentFileName, "NoName");
    EXPECT_TRUE(sim.Caption.ends_with("  NoName"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "Data"));
}

TEST_F(SimulationFileTest, SavingAddsTheExtensionAndChangesOnlyTheCaption) {
    const SimulationState before = sim.State;
    const std::string path = SaveAs("gear");
    EXPECT_EQ(ReadBytes(path + ".L1").size(), 5012u);
    EXPECT_EQ(sim.CurrentFileName, "gear.L1");
    EXPECT_EQ(sim.Caption, "Linkwright > Walschaerts1  gear.L1");
    EXPECT_EQ(std::memcmp(&before, &sim.State, sizeof before), 0);
    EXPECT_EQ(closes, 0);
}

TEST_F(SimulationFileTest, OpenRestoresTheGearAndResetsTheSettings) {
    Gear().GearRecord.GC = 8.5f;
    sim.State.GearSetting = -0.4f;
    SaveAs("gear.L1");
    Gear().GearRecord.GC = 7.0f;
    sim.State.GearSetting = 0.3f;
    sim.State.fwd = 0;
    sim.State.Nsteps = 100;
    sim.State.AnalysisValid = 1;
    sim.State.EventsKnown = 1;

    dialogs.openAnswers.push_back((dir / "Data" / "gear.L1").string());
    sim.Open1Click();
    EXPECT_EQ(Gear().GearRecord.GC, 8.5f);
    EXPECT_EQ(sim.State.GearSetting, 1.0f);
    EXPECT_EQ(sim.State.fwd, 1);
    EXPECT_EQ(sim.State.Nsteps, 550);
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    EXPECT_EQ(sim.State.EventsKnown, 0);
    EXPECT_EQ(sim.CurrentFileName, "gear.L1");
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(dialogs.messages.empty());
    // The dialog remembers the last name for the next time it opens.
    sim.Open1Click();
    EXPECT_EQ(dialogs.openRequests.back().initialFileName, (dir / "Data" / "gear.L1").string());
    EXPECT_EQ(sim.CurrentFileName, "gear.L1");
}

TEST_F(SimulationFileTest, ACancelledOpenStillResets) {
    sim.State.GearSetting = 0.3f;
    sim.State.MovieStep = 0.5f;
    sim.Open1Click();
    EXPECT_EQ(sim.CurrentFileName, "");
    EXPECT_EQ(sim.Caption, "Linkwright > Walschaerts1  ");
    EXPECT_EQ(sim.State.GearSetting, 1.0f);
    EXPECT_EQ(sim.State.MovieStep, 0.01f);
    EXPECT_EQ(closes, 1);
}

// Wrong size, wrong version or a field that is no number: the message, and nothing else changes.
TEST_F(SimulationFileTest, ARefusedFileLeavesTheGearTheSettingsAndTheTitleAsTheyWere) {
    std::vector<unsigned char> wrongVersion = ReadBytes(SaveAs("good.L1"));
    wrongVersion[0] = 1;
    std::vector<unsigned char> noNumber = ReadBytes(SaveAs("good.L1"));
    std::memset(noNumber.data() + offsetof(Wal1Record, PistStroke), 0xff, 4);
    WriteBytes(dir / "Data" / "version.L1", wrongVersion);
    WriteBytes(dir / "Data" / "nan.L1", noNumber);
    WriteBytes(dir / "Data" / "short.L1", std::vector<unsigned char>(100, 2));
    dialogs.openAnswers.push_back((dir / "Data" / "good.L1").string());
    sim.Open1Click();
    Gear().GearRecord.GC = 7.75f;
    sim.State.GearSetting = 0.3f;
    sim.State.AnalysisValid = 1;
    sim.Redraw();
    const std::string caption = sim.Caption;
    const int closesBefore = closes;
    for (const char* name : {"version.L1", "nan.L1", "short.L1"}) {
        SCOPED_TRACE(name);
        dialogs.informations.clear();
        dialogs.openAnswers.push_back((dir / "Data" / name).string());
        sim.Open1Click();
        ASSERT_EQ(dialogs.informations.size(), 1u);
        EXPECT_EQ(dialogs.informations[0], "Sorry, old version or corrupted data file");
        EXPECT_EQ(Gear().GearRecord.GC, 7.75f);
        EXPECT_EQ(sim.State.GearSetting, 0.3f);
        EXPECT_EQ(sim.State.AnalysisValid, 1);
        EXPECT_EQ(sim.CurrentFileName, "good.L1");
        EXPECT_EQ(sim.Caption, caption);
        EXPECT_EQ(closes, closesBefore);
    }
}

TEST_F(SimulationFileTest, APathWithBackslashesShowsItsLastPart) {
    dialogs.openAnswers.push_back(SaveAs("C:\\a\\b\\gear.L1"));
    sim.Open1Click();
    EXPECT_EQ(sim.CurrentFileName, "gear.L1");
    EXPECT_TRUE(sim.Caption.ends_with("  gear.L1"));
}

TEST_F(SimulationFileTest, AWrongVersionIsRefused) {
    const std::string path = SaveAs("gear.L1");
    std::vector<unsigned char> bytes = ReadBytes(path);
    bytes[0] = 1;
    WriteBytes(path, bytes);
    Gear().GearRecord.GC = 9;
    dialogs.openAnswers.push_back(path);
    sim.Open1Click();
    EXPECT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(Gear().GearRecord.GC, 9.0f);
}

// The desktop program's command line names a file: its extension, in either case, picks the kind,
// and the file opens as File > Open opens it, a refused one with the same message.
TEST_F(SimulationFileTest, AFileNamedOnTheCommandLineOpensAsTheKindItsExtensionNames) {
    ASSERT_TRUE(sim.ComboBox1Change(static_cast<int>(GearKind::Bakers1)));
    auto& baker = static_cast<Bak1&>(*sim.Model(GearKind::Bakers1));
    baker.GearRecord.UV = 3.25f;
    const std::string path = SaveAs("baker.l3");
    baker.GearRecord.UV = 1.0f;
    ASSERT_TRUE(sim.ComboBox1Change(static_cast<int>(GearKind::Walschaerts1)));

    sim.OpenNamedFile(path);
    EXPECT_EQ(sim.CurrentKind, GearKind::Bakers1);
    EXPECT_EQ(baker.GearRecord.UV, 3.25f);
    EXPECT_EQ(sim.Caption, "Linkwright > Bakers1  baker.l3");
    EXPECT_FALSE(sim.ListBoxVisible);

    // An extension that names no kind leaves the kind as it is, as File > Open reads any name.
    const std::filesystem::path copy = dir / "Data" / "baker.dat";
    std::filesystem::copy_file(path, copy);
    baker.GearRecord.UV = 1.0f;
    sim.OpenNamedFile(copy.string());
    EXPECT_EQ(sim.CurrentKind, GearKind::Bakers1);
    EXPECT_EQ(baker.GearRecord.UV, 3.25f);
    EXPECT_TRUE(dialogs.informations.empty());

    WriteBytes(dir / "Data" / "broken.L4", std::vector<unsigned char>(100, 2));
    sim.OpenNamedFile((dir / "Data" / "broken.L4").string());
    EXPECT_EQ(sim.CurrentKind, GearKind::Walschaerts2);
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(dialogs.informations[0], GearFileRefusedMessage);
    // The refused file leaves the title as the kind change left it.
    EXPECT_EQ(sim.Caption, "Linkwright > Walschaerts2   Program example");
}

TEST_F(SimulationFileTest, PrepareAsUserFollowsTheUsersSteps) {
    SaveAs("gear.L1");
    GearSetup setup;
    setup.kindName = "Walschaerts1";
    setup.file = dir / "Data" / "gear.L1";
    setup.slack = 0.015625f;
    setup.wheelLift = 0.25f;
    setup.gearSetting = "0.5";
    setup.forward = false;
    setup.width = 400;
    setup.height = 300;
    sim.PrepareAsUser(setup);
    EXPECT_EQ(sim.DrawWidth, 400);
    EXPECT_EQ(sim.DrawHeight, 300);
    EXPECT_EQ(Gear().Slack, 0.015625f);
    EXPECT_EQ(Gear().WheelLift, 0.25f);
    EXPECT_EQ(Gear().WheelDisp, 0.0f);
    EXPECT_EQ(sim.State.GearSetting, 0.5f);
    EXPECT_EQ(sim.EdGearText, "0.500");
    EXPECT_EQ(sim.State.fwd, 0);
    EXPECT_FALSE(sim.FwdChecked);
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    EXPECT_EQ(sim.CurrentFileName, "gear.L1");
    // The editor's OK recomputed the view window from the stroke and the connecting rod.
    const Wal1Record& r = Gear().GearRecord;
    EXPECT_FLOAT_EQ(sim.State.ViewXMin, -r.PistStroke);
    EXPECT_FLOAT_EQ(sim.State.ViewXMax, r.PistStroke + r.GC);
}

TEST_F(SimulationFileTest, PrepareAsUserReportsWhatTheUserWouldSee) {
    GearSetup unknown;
    unknown.kindName = "Joy";
    EXPECT_THROW(sim.PrepareAsUser(unknown), std::invalid_argument);
    GearSetup outOfRange;
    outOfRange.kindIndex = 7;
    EXPECT_THROW(sim.PrepareAsUser(outOfRange), std::invalid_argument);

    WriteBytes(dir / "short.L1", {1, 2, 3});
    GearSetup refused;
    refused.file = dir / "short.L1";
    try {
        sim.PrepareAsUser(refused);
        ADD_FAILURE() << "no exception";
    } catch (const GearFileRefused& error) {
        EXPECT_STREQ(error.what(), "Sorry, old version or corrupted data file");
    }
    // As in the program, the refused file changed nothing.
    EXPECT_EQ(sim.CurrentFileName, " Program example");

    GearSetup letters;
    letters.gearSetting = "full";
    sim.PrepareAsUser(letters);
    EXPECT_EQ(sim.State.GearSetting, 1.0f);
}

} // namespace
} // namespace linkwright::testing
