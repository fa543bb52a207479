// Walschaerts 1 record and data file: the example, the byte-exact round trip, refusal of files of
// other kinds and versions, and the unit variables that files do not carry.
#include "tests/gears/wal1/Wal1Fixture.h"

#include <cstring>

namespace linkwright::testing {
namespace {

std::vector<unsigned char> RecordCopy(Wal1& model) {
    const std::span<std::uint8_t> bytes = model.RecordBytes();
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

TEST_F(Wal1Test, ExampleFillsTheExampleColumnAndNothingElse) {
    const Wal1Record& g = model_.GearRecord;
    EXPECT_LE(g.Descr.Text().size(), 25u);
    EXPECT_FALSE(g.Descr.Text().empty());
    EXPECT_EQ(g.PistStroke, 2.125f);
    EXPECT_EQ(g.APy, 1.969f);
    EXPECT_EQ(g.DU, -1.06f);
    EXPECT_EQ(g.ViewWindow[1], 11.0f);
    EXPECT_EQ(g.Inside, 1);
    EXPECT_EQ(g.AutoDU, 1);
    EXPECT_EQ(g.AutoARy, 1);
    EXPECT_EQ(g.Version, 0);
    EXPECT_EQ(g.Reserved260, 0.0f);
    const std::vector<unsigned char> bytes = RecordCopy(model_);
    for (std::size_t i = 4 + 1 + g.Descr.Length; i < 260; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    for (std::size_t i = 412; i < 424; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    for (std::size_t i = 429; i < 432; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(model_.WheelLift, 0.0f);
    EXPECT_EQ(model_.WheelDisp, 0.0f);
    EXPECT_EQ(model_.Slack, 0.0f);
    EXPECT_EQ(model_.AutoSetting, 0);
    EXPECT_EQ(model_.ValvePos(), 0.0f);
}

TEST_F(Wal1Test, DataFileRoundTripsByteForByte) {
    const auto first = scratch_ / "first.L1";
    const auto second = scratch_ / "second.L1";
    model_.InitialiseGear();
    model_.GearRecord.Descr.Assign("Round trip");
    ASSERT_EQ(model_.SaveGearFile(first.string()), SaveResult::Saved);
    const std::vector<unsigned char> saved = ReadBytes(first);
    ASSERT_EQ(saved.size(), 5012u);
    std::int32_t version = 0;
    std::memcpy(&version, saved.data(), 4);
    EXPECT_EQ(version, 2);

    const std::vector<unsigned char> before = RecordCopy(model_);
    model_.GearRecord.GC = 9.0f;
    model_.GearRecord.Inside = 0;
    ASSERT_EQ(model_.LoadGearFile(first.string()), LoadResult::Loaded);
    EXPECT_EQ(model_.GearRecord.GC, 7.25f);
    EXPECT_EQ(model_.GearRecord.Inside, 1);
    EXPECT_EQ(model_.GearRecord.Version, 2);
    std::vector<unsigned char> after = RecordCopy(model_);
    after[0] = before[0]; // the version is forced only in the file
    EXPECT_EQ(after, before);

    ASSERT_EQ(model_.SaveGearFile(second.string()), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(second), saved);
}

TEST_F(Wal1Test, ReservedBytesOfALoadedFileAreWrittenBackAsTheyWere) {
    const auto file = scratch_ / "reserved.L1";
    ASSERT_EQ(model_.SaveGearFile(file.string()), SaveResult::Saved);
    std::vector<unsigned char> bytes = ReadBytes(file);
    for (std::size_t i : {260u, 263u, 412u, 417u, 423u, 429u, 431u})
        bytes[i] = static_cast<unsigned char>(0x5A + i);
    WriteBytes(file, bytes);
    ASSERT_EQ(model_.LoadGearFile(file.string()), LoadResult::Loaded);
    const auto copy = scratch_ / "copy.L1";
    ASSERT_EQ(model_.SaveGearFile(copy.string()), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(copy), bytes);
}

TEST_F(Wal1Test, FilesOfOtherVersionsAndKindsAreRefused) {
    const auto good = scratch_ / "good.L1";
    ASSERT_EQ(model_.SaveGearFile(good.string()), SaveResult::Saved);
    const std::vector<unsigned char> bytes = ReadBytes(good);

    struct Bad {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    std::vector<unsigned char> version1 = bytes;
    version1[0] = 1;
    std::vector<unsigned char> walschaerts2(5020, 0); // a 440-byte record of version 1
    walschaerts2[0] = 1;
    std::vector<unsigned char> shortFile(bytes.begin(), bytes.end() - 1);
    const Bad bad[] = {{"version 1", version1},
                       {"Walschaerts 2 file", walschaerts2},
                       {"one byte short", shortFile},
                       {"empty", {}}};

    model_.GearRecord.GC = 8.5f;
    const std::vector<unsigned char> held = RecordCopy(model_);
    const SimulationState heldState = state_;
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        const auto file = scratch_ / "bad.L1";
        WriteBytes(file, b.bytes);
        dialogs_.informations.clear();
        EXPECT_EQ(model_.LoadGearFile(file.string()), LoadResult::Refused);
        ASSERT_EQ(dialogs_.informations.size(), 1u);
        EXPECT_EQ(dialogs_.informations[0], "Sorry, old version or corrupted data file");
        EXPECT_EQ(RecordCopy(model_), held);
        EXPECT_EQ(std::memcmp(&state_, &heldState, sizeof state_), 0);
    }
    EXPECT_EQ(model_.LoadGearFile((scratch_ / "missing.L1").string()), LoadResult::Refused);
}

TEST_F(Wal1Test, LongerFileOfTheRightVersionIsReadUpToTheRecordsLength) {
    const auto file = scratch_ / "long.L1";
    model_.GearRecord.GC = 6.5f;
    ASSERT_EQ(model_.SaveGearFile(file.string()), SaveResult::Saved);
    std::vector<unsigned char> bytes = ReadBytes(file);
    bytes.resize(5020, 0xEE);
    WriteBytes(file, bytes);
    model_.GearRecord.GC = 7.25f;
    EXPECT_EQ(model_.LoadGearFile(file.string()), LoadResult::Loaded);
    EXPECT_EQ(model_.GearRecord.GC, 6.5f);
}

TEST_F(Wal1Test, UnitVariablesAreNotInTheFileAndSurviveALoad) {
    const auto file = scratch_ / "conditions.L1";
    ASSERT_EQ(model_.SaveGearFile(file.string()), SaveResult::Saved);
    const std::vector<unsigned char> plain = ReadBytes(file);
    model_.WheelLift = 0.3f;
    model_.WheelDisp = 0.1f;
    model_.Slack = 0.02f;
    model_.AutoSetting = 1;
    model_.InitialiseGear(); // the auto-setting changes AE and EX, so save before it for the comparison
    model_.CalcGear(1.0f, 1.0f);
    const float valve = model_.ValvePos();
    ASSERT_EQ(model_.LoadGearFile(file.string()), LoadResult::Loaded);
    EXPECT_EQ(model_.WheelLift, 0.3f);
    EXPECT_EQ(model_.WheelDisp, 0.1f);
    EXPECT_EQ(model_.Slack, 0.02f);
    EXPECT_EQ(model_.AutoSetting, 1);
    EXPECT_EQ(model_.ValvePos(), valve); // the backlash memory too

    // Saving with the conditions set writes the same record as without them.
    model_.SetExample();
    model_.WheelLift = 0.3f;
    model_.Slack = 0.02f;
    model_.GearRecord.Version = 0;
    const auto again = scratch_ / "again.L1";
    ASSERT_EQ(model_.SaveGearFile(again.string()), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(again), plain);
}

TEST_F(Wal1Test, OverwritingAsksFirstAndCancelKeepsTheOldFile) {
    const auto file = scratch_ / "gear.L1";
    ASSERT_EQ(model_.SaveGearFile(file.string()), SaveResult::Saved);
    EXPECT_TRUE(dialogs_.warnings.empty());
    const std::vector<unsigned char> old = ReadBytes(file);
    model_.GearRecord.GC = 9.0f;
    dialogs_.warningAnswers.push_back(false);
    EXPECT_EQ(model_.SaveGearFile(file.string()), SaveResult::Abandoned);
    ASSERT_EQ(dialogs_.warnings.size(), 1u);
    EXPECT_EQ(dialogs_.warnings[0], "Do you really want to overwrite gear.L1?");
    EXPECT_EQ(ReadBytes(file), old);
}

TEST_F(Wal1Test, LoadedGarbageNeitherCrashesNorHangsTheSolver) {
    const auto file = scratch_ / "garbage.L1";
    std::vector<unsigned char> bytes(5012);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 37 + 11);
    bytes[0] = 2;
    bytes[1] = bytes[2] = bytes[3] = 0;
    for (std::size_t i = 264; i < 300; i += 4)
        std::memset(&bytes[i], 0xFF, 4); // NaNs
    WriteBytes(file, bytes);
    const Wal1Record before = model_.GearRecord;
    EXPECT_EQ(model_.LoadGearFile(file.string()), LoadResult::Refused);
    EXPECT_EQ(std::memcmp(&model_.GearRecord, &before, sizeof before), 0);

    // Numbers, however wild, are taken: the example's file with its first dimensions replaced.
    ASSERT_EQ(model_.SaveGearFile(file.string()), SaveResult::Saved);
    bytes = ReadBytes(file);
    const float wild[] = {1e30f, -3.5f, 0.0f, 1e-30f, 7.0f, -1e20f, 2.0f, 0.5f, -0.25f};
    for (std::size_t i = 264; i < 300; i += 4)
        std::memcpy(&bytes[i], &wild[(i - 264) / 4], 4);
    WriteBytes(file, bytes);
    ASSERT_EQ(model_.LoadGearFile(file.string()), LoadResult::Loaded);
    model_.InitialiseGear();
    StepArrays steps;
    EventRecord events{};
    state_.Nsteps = 30;
    model_.SolveRevolution(steps, 30, events, 1.0f);

    // A sound file afterwards brings the model (and its backlash memory) back to finite values.
    model_.SetExample();
    model_.InitialiseGear();
    model_.SolveRevolution(steps, 30, events, 1.0f);
    for (int i = 0; i <= 30; ++i) {
        EXPECT_TRUE(std::isfinite(steps.StepValvePos[std::size_t(i)]));
        EXPECT_TRUE(std::isfinite(steps.StepPistonPct[std::size_t(i)]));
    }
}

} // namespace
} // namespace linkwright::testing
