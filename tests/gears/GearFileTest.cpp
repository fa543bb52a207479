// The data file every kind shares: the record then the stored part of the main state; the overwrite
// question, a save that cannot destroy the old file, and a load that refuses short or foreign files.
#include "tests/gears/TestGear.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <random>
#include <system_error>

#include <sys/resource.h>

namespace linkwright::testing {
namespace {

constexpr std::size_t FileSize = sizeof(TestGearRecord) + StoredStateSize;

std::vector<unsigned char> StateBytes(const SimulationState& state) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&state);
    return {bytes, bytes + StoredStateSize};
}

std::vector<unsigned char> RecordBytes(TestGear& gear) {
    const auto bytes = gear.RecordBytes();
    return {bytes.begin(), bytes.end()};
}

class GearFileTest : public ::testing::Test {
protected:
    ScratchDir dir;
    WorkingDirectory cwd{dir.path()};
    TestGearSetup s;
    std::string file = (dir / "gear.L1").string();

    void FillState() {
        s.state.ViewXMin = -3;
        s.state.GearSetting = -0.25f;
        s.state.Events.tson = 17;
        s.state.FrontPressure[5] = 321.5f;
        s.state.RearPressure[550] = 12.5f;
        s.state.FamilyCount = 10;
        s.state.FamilyGearTo = -1;
        s.state.StepCrankAngleHandle = 0x11111111;
        s.state.FamilyEventsHandle = 0x22222222;
        s.gear.record.Version = 7;
        s.gear.record.Reserved[1] = 0x5A;
    }
};

TEST_F(GearFileTest, SavedFileIsTheRecordThenTheStoredState) {
    FillState();
    ASSERT_EQ(s.gear.SaveGearFile(file), SaveResult::Saved);
    const std::vector<unsigned char> bytes = ReadBytes(file);
    ASSERT_EQ(bytes.size(), FileSize);
    // The version is forced to the kind's; the in-memory record keeps its own.
    std::int32_t version = 0;
    std::memcpy(&version, bytes.data(), 4);
    EXPECT_EQ(version, 2);
    EXPECT_EQ(s.gear.record.Version, 7);
    std::vector<unsigned char> record = RecordBytes(s.gear);
    std::memcpy(record.data(), &version, 4);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), bytes.begin()));
    // The state follows with its six run-time references written as zero.
    std::vector<unsigned char> state = StateBytes(s.state);
    for (std::size_t offset : {40u, 44u, 48u, 4556u, 4560u, 4564u})
        std::memset(state.data() + offset, 0, 4);
    EXPECT_TRUE(std::equal(state.begin(), state.end(), bytes.begin() + sizeof(TestGearRecord)));
    EXPECT_TRUE(s.dialogs.messages.empty());
}

TEST_F(GearFileTest, RoundTripRestoresEveryByteButTheReferences) {
    FillState();
    ASSERT_EQ(s.gear.SaveGearFile(file), SaveResult::Saved);
    const std::vector<unsigned char> savedFile = ReadBytes(file);

    TestGearSetup other;
    other.state.StepCrankAngleHandle = 0xABCD;
    other.state.FamilyEventsHandle = 0x1234;
    ASSERT_EQ(other.gear.LoadGearFile(file), LoadResult::Loaded);
    EXPECT_EQ(other.gear.record.Version, 2);
    EXPECT_EQ(other.gear.record.Reserved[1], 0x5A);
    EXPECT_EQ(other.state.GearSetting, -0.25f);
    EXPECT_EQ(other.state.Events.tson, 17);
    EXPECT_EQ(other.state.FrontPressure[5], 321.5f);
    EXPECT_EQ(other.state.RearPressure[550], 12.5f);
    EXPECT_EQ(other.state.StepCrankAngleHandle, 0xABCDu);
    EXPECT_EQ(other.state.FamilyEventsHandle, 0x1234u);

    // Saved again from the loaded copy, the file is the same byte for byte.
    const std::string second = (dir / "again.L1").string();
    ASSERT_EQ(other.gear.SaveGearFile(second), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(second), savedFile);
}

TEST_F(GearFileTest, OverwritingAsksWithTheNameOnly) {
    WriteBytes(file, {1, 2, 3});
    s.dialogs.warningAnswers = {false};
    EXPECT_EQ(s.gear.SaveGearFile(file), SaveResult::Abandoned);
    ASSERT_EQ(s.dialogs.warnings.size(), 1u);
    EXPECT_EQ(s.dialogs.warnings[0], "Do you really want to overwrite gear.L1?");
    EXPECT_EQ(ReadBytes(file), (std::vector<unsigned char>{1, 2, 3}));

    s.dialogs.warningAnswers = {true};
    EXPECT_EQ(s.gear.SaveGearFile(file), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(file).size(), FileSize);
}

TEST_F(GearFileTest, ANewFileIsWrittenWithoutAsking) {
    EXPECT_EQ(s.gear.SaveGearFile(file), SaveResult::Saved);
    EXPECT_TRUE(s.dialogs.warnings.empty());
}

TEST_F(GearFileTest, AFailedWriteKeepsTheOldFileAndReportsTheError) {
    const std::vector<unsigned char> old(100, 0x42);
    WriteBytes(file, old);
    // The file size limit makes the write of the new file fail part way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool threw = false;
    try {
        s.gear.SaveGearFile(file);
    } catch (const std::system_error& error) {
        threw = true;
        EXPECT_NE(std::string(error.what()).find("gear.L1"), std::string::npos) << error.what();
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadBytes(file), old);
    // Nothing is left behind beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(GearFileTest, AFolderThatCannotBeWrittenIsReported) {
    EXPECT_THROW(s.gear.SaveGearFile((dir / "missing" / "gear.L1").string()), std::system_error);
}

TEST_F(GearFileTest, RefusedLoadsShowTheMessageAndChangeNothing) {
    FillState();
    ASSERT_EQ(s.gear.SaveGearFile(file), SaveResult::Saved);
    std::vector<unsigned char> good = ReadBytes(file);

    TestGearSetup other;
    other.state.GearSetting = 0.75f;
    other.state.FrontPressure[3] = 9;
    const std::vector<unsigned char> record = RecordBytes(other.gear);
    const std::vector<unsigned char> state = StateBytes(other.state);

    const std::string shortFile = (dir / "short.L1").string();
    WriteBytes(shortFile, std::vector<unsigned char>(good.begin(), good.end() - 1));
    std::vector<unsigned char> oldVersion = good;
    oldVersion[0] = 1;
    const std::string versionFile = (dir / "version.L1").string();
    WriteBytes(versionFile, oldVersion);
    const std::string emptyFile = (dir / "empty.L1").string();
    WriteBytes(emptyFile, {});

    for (const std::string& name :
         {shortFile, versionFile, emptyFile, (dir / "absent.L1").string(), dir.path().string()}) {
        other.dialogs.informations.clear();
        EXPECT_EQ(other.gear.LoadGearFile(name), LoadResult::Refused) << name;
        ASSERT_EQ(other.dialogs.informations.size(), 1u) << name;
        EXPECT_EQ(other.dialogs.informations[0], "Sorry, old version or corrupted data file");
        EXPECT_EQ(RecordBytes(other.gear), record) << name;
        EXPECT_EQ(StateBytes(other.state), state) << name;
    }
}

TEST_F(GearFileTest, ALongerFileIsReadUpToTheRecordsLength) {
    FillState();
    ASSERT_EQ(s.gear.SaveGearFile(file), SaveResult::Saved);
    std::vector<unsigned char> longer = ReadBytes(file);
    longer.insert(longer.end(), 8, 0xEE);
    WriteBytes(file, longer);
    TestGearSetup other;
    EXPECT_EQ(other.gear.LoadGearFile(file), LoadResult::Loaded);
    EXPECT_EQ(other.state.RearPressure[550], 12.5f);
    EXPECT_TRUE(other.dialogs.messages.empty());
}

// Behind a sound record, any bytes of the stored state load, with the counts brought into range.
TEST_F(GearFileTest, AnyStoredStateLoadsWithCountsKeptWithinTheArrays) {
    ASSERT_EQ(s.gear.SaveGearFile(file), SaveResult::Saved);
    const std::vector<unsigned char> saved = ReadBytes(file);
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        std::vector<unsigned char> bytes = saved;
        for (std::size_t i = sizeof(TestGearRecord); i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(random());
        WriteBytes(file, bytes);
        TestGearSetup other;
        ASSERT_EQ(other.gear.LoadGearFile(file), LoadResult::Loaded);
        EXPECT_GE(other.state.FamilyCount, 0);
        EXPECT_LE(other.state.FamilyCount, FamilySize);
        EXPECT_LE(other.state.FamilyMode, 1);
        for (std::int32_t step : {other.state.Events.tson, other.state.Events.tsoff, other.state.Events.bson,
                                  other.state.Events.bsoff, other.state.Events.teon, other.state.Events.teoff,
                                  other.state.Events.beon, other.state.Events.beoff}) {
            EXPECT_GE(step, -1);
            EXPECT_LE(step, MaxSteps);
        }
        EXPECT_EQ(other.state.StepValvePosHandle, 0u);
    }
}

} // namespace
} // namespace linkwright::testing
