// What every gear kind must satisfy, run for each built row of the kinds table through the program's
// own start-up: its data file (size, version, refusal of other kinds' files, byte-for-byte round
// trip), its listing, its auto-setting and what the windows show of it.
#include "gears/GearKinds.h"
#include "tests/app/SimulationFixture.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace linkwright::testing {
namespace {

TEST(KindsTable, RowsFollowTheKindNumbersAndTheirFilesTheirNames) {
    std::set<std::string> names;
    for (std::size_t i = 0; i < GearKinds().size(); ++i) {
        const GearKindRow& row = GearKinds()[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(static_cast<std::size_t>(row.kind), i);
        EXPECT_EQ(&KindRow(row.kind), &row);
        EXPECT_EQ(std::string(row.extension), "L" + std::to_string(i + 1));
        EXPECT_EQ(FindGearKind(row.name), row.kind);
        EXPECT_EQ(row.FileSize(), row.recordSize + StoredStateSize);
        names.insert(row.name);
    }
    EXPECT_EQ(names.size(), GearKinds().size());
    EXPECT_FALSE(FindGearKind("walschaerts1").has_value());
    EXPECT_FALSE(FindGearKind("").has_value());
}

std::vector<GearKind> BuiltKinds() {
    std::vector<GearKind> kinds;
    for (const GearKindRow& row : GearKinds())
        if (row.Built()) kinds.push_back(row.kind);
    return kinds;
}

class EveryBuiltKind : public SimulationFixture, public ::testing::WithParamInterface<GearKind> {
protected:
    void SetUp() override {
        SimulationFixture::SetUp();
        ASSERT_TRUE(sim.ComboBox1Change(static_cast<int>(GetParam())));
    }
    const GearKindRow& Row() const { return KindRow(GetParam()); }
    GearModel& Model() { return sim.CurrentModel(); }
    std::vector<unsigned char> Record() {
        const std::span<std::uint8_t> bytes = Model().RecordBytes();
        return {bytes.begin(), bytes.end()};
    }
};

TEST_P(EveryBuiltKind, ModelIsTheRowsKind) {
    EXPECT_EQ(Model().Kind(), GetParam());
    EXPECT_EQ(Model().RecordBytes().size(), Row().recordSize);
    EXPECT_EQ(Model().FileVersion(), Row().fileVersion);
    EXPECT_EQ(Model().HasAutoSetting(), Row().autoSetting);
    EXPECT_EQ(Model().Editor().caption, Row().editorCaption);
    EXPECT_EQ(Model().Editor().formName, Row().editorFormName);
    EXPECT_EQ(Model().Editor().Find("AutoSetting1") != nullptr, Row().autoSetting);
    EXPECT_EQ(sim.Caption, std::string("Linkwright > ") + Row().name + "   Program example");
    const FileDialogRequest request = sim.OpenDialogRequest();
    EXPECT_EQ(request.filter, std::string(Row().name) + " (*." + Row().extension + ")");
    EXPECT_EQ(request.defaultExtension, Row().extension);
}

TEST_P(EveryBuiltKind, DataFileHasTheRowsSizeAndVersionAndRoundTripsByteForByte) {
    const auto first = dir / "first";
    const auto second = dir / "second";
    ShortString description;
    description.Assign("Kept for years");
    std::memcpy(Model().RecordBytes().data() + 4, &description, sizeof description);
    ASSERT_EQ(Model().SaveGearFile(first.string()), SaveResult::Saved);
    const std::vector<unsigned char> saved = ReadBytes(first);
    ASSERT_EQ(saved.size(), Row().FileSize());
    std::int32_t version = 0;
    std::memcpy(&version, saved.data(), sizeof version);
    EXPECT_EQ(version, Row().fileVersion);

    const std::vector<unsigned char> before = Record();
    Model().SetExample(); // the description goes, the file brings it back
    ASSERT_EQ(Model().LoadGearFile(first.string()), LoadResult::Loaded);
    std::vector<unsigned char> after = Record();
    std::memcpy(after.data(), before.data(), sizeof version); // the version is forced only in the file
    EXPECT_EQ(after, before);
    ASSERT_EQ(Model().SaveGearFile(second.string()), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(second), saved);
}

// A file of another kind carries no marker but its size and version: it is refused when its version
// differs or it is shorter than this kind's file (of another size at all, for a kind that asks for
// its exact size).
TEST_P(EveryBuiltKind, FilesOfOtherKindsAreRefusedUnlessAsLongAndOfTheSameVersion) {
    const auto good = dir / "good";
    ASSERT_EQ(Model().SaveGearFile(good.string()), SaveResult::Saved);
    const std::vector<unsigned char> own = ReadBytes(good);

    struct Candidate {
        std::string what;
        std::size_t size;
        std::int32_t version;
    };
    std::vector<Candidate> candidates = {
        {"one byte short", Row().FileSize() - 1, Row().fileVersion},
        {"one byte long", Row().FileSize() + 1, Row().fileVersion},
        {"version before", Row().FileSize(), Row().fileVersion - 1},
        {"version after", Row().FileSize(), Row().fileVersion + 1},
        {"empty", 0, Row().fileVersion},
    };
    for (const GearKindRow& other : GearKinds())
        if (other.kind != GetParam()) candidates.push_back({other.name, other.FileSize(), other.fileVersion});

    for (const Candidate& c : candidates) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> bytes = own;
        bytes.resize(c.size, 0x3C);
        if (c.size >= sizeof c.version) std::memcpy(bytes.data(), &c.version, sizeof c.version);
        const auto file = dir / "candidate";
        WriteBytes(file, bytes);

        Model().SetExample();
        Model().RecordBytes()[10] ^= 0x55; // a mark that a refused load must leave in place
        const std::vector<unsigned char> held = Record();
        dialogs.informations.clear();
        const bool sizeFits = Row().exactFileSize ? c.size == Row().FileSize() : c.size >= Row().FileSize();
        const bool accepted = sizeFits && c.version == Row().fileVersion;
        EXPECT_EQ(Model().LoadGearFile(file.string()), accepted ? LoadResult::Loaded : LoadResult::Refused);
        if (accepted) {
            EXPECT_TRUE(dialogs.informations.empty());
        } else {
            ASSERT_EQ(dialogs.informations.size(), 1u);
            EXPECT_EQ(dialogs.informations[0], "Sorry, old version or corrupted data file");
            EXPECT_EQ(Record(), held);
        }
    }
}

// A file whose record holds a value that is no number in any field the model reads is refused and
// changes nothing; the reserved bytes, which the model never reads, may hold anything.
TEST_P(EveryBuiltKind, FilesWithAFieldThatIsNoNumberAreRefused) {
    const auto good = dir / "good";
    ASSERT_EQ(Model().SaveGearFile(good.string()), SaveResult::Saved);
    const std::vector<unsigned char> own = ReadBytes(good);
    const auto* record = Model().RecordBytes().data();
    std::vector<std::size_t> offsets;
    for (const EditorField& field : Model().Editor().fields)
        if (field.storage.Kind() == FieldRef::Type::Float && field.storage.Inside(record, Row().recordSize))
            for (std::size_t offset = 4; offset + 4 <= Row().recordSize; offset += 1)
                if (field.storage.Inside(record + offset, 1)) offsets.push_back(offset);
    ASSERT_GT(offsets.size(), 10u);
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity()};
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        std::vector<unsigned char> bytes = own;
        std::memcpy(bytes.data() + offsets[i], &values[i % 3], sizeof(float));
        WriteBytes(dir / "bad", bytes);
        const std::vector<unsigned char> held = Record();
        dialogs.informations.clear();
        EXPECT_EQ(Model().LoadGearFile((dir / "bad").string()), LoadResult::Refused)
            << "offset " << offsets[i];
        EXPECT_EQ(Record(), held);
        EXPECT_EQ(dialogs.informations.size(), 1u);
    }
}

TEST_P(EveryBuiltKind, RevolutionWritesTheRowsListingAndNoOther) {
    for (const GearKindRow& row : GearKinds())
        if (row.listingFileName != nullptr) std::filesystem::remove(dir / row.listingFileName);
    sim.SolveDispatch(sim.Steps.StepCrankAngle, sim.Steps.StepPistonPct, sim.Steps.StepValvePos,
                      sim.State.GearSetting, sim.State.Events, sim.State.Nsteps);
    for (const GearKindRow& row : GearKinds()) {
        if (row.listingFileName == nullptr) continue;
        EXPECT_EQ(std::filesystem::exists(dir / row.listingFileName), row.kind == GetParam())
            << row.listingFileName;
    }
    for (int i = 0; i <= sim.State.Nsteps; ++i) {
        EXPECT_TRUE(std::isfinite(sim.Steps.StepPistonPct[static_cast<std::size_t>(i)])) << i;
        EXPECT_TRUE(std::isfinite(sim.Steps.StepValvePos[static_cast<std::size_t>(i)])) << i;
    }
}

// An OK that stops at a syntax error has stored every field (the bad ones as 0) and derived the
// rest; Cancel then takes the record, the conditions and the main state back byte for byte.
TEST_P(EveryBuiltKind, CancelAfterAFailedOkRestoresTheGearAndTheState) {
    Model().WheelLift = 0.125f;
    Model().Slack = 0.0625f;
    sim.State.AnalysisValid = 1;
    const std::vector<unsigned char> record = Record();
    const SimulationState state = sim.State;
    EditorSession session(Model(), sim.State, dialogs);
    std::vector<ControlValue> values = session.Fill();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const EditorField& field = session.Table().fields[i];
        if (field.control == ControlKind::Edit) values[i].text = field.component == "Descr" ? "new" : "x";
        values[i].checked = !values[i].checked;
        values[i].position = 1;
    }
    ASSERT_EQ(session.Ok(values), EditorOutcome::StayOpen);
    ASSERT_NE(Record(), record);
    EXPECT_EQ(Model().WheelLift, 0.0f);
    session.Cancel();
    EXPECT_EQ(Record(), record);
    EXPECT_EQ(std::memcmp(&sim.State, &state, sizeof state), 0);
    EXPECT_EQ(Model().WheelLift, 0.125f);
    EXPECT_EQ(Model().Slack, 0.0625f);
    EXPECT_EQ(Model().WheelDisp, 0.0f);
}

TEST_P(EveryBuiltKind, AnAutoSettingIsAcceptedExactlyWhereTheRowHasOne) {
    GearSetup setup;
    setup.kindName = Row().name;
    setup.autoSetting = true;
    if (Row().autoSetting) {
        EXPECT_NO_THROW(sim.PrepareAsUser(setup));
        EXPECT_EQ(Model().AutoSetting, 1);
    } else {
        EXPECT_THROW(sim.PrepareAsUser(setup), std::invalid_argument);
    }
}

INSTANTIATE_TEST_SUITE_P(KindsTable, EveryBuiltKind, ::testing::ValuesIn(BuiltKinds()),
                         [](const ::testing::TestParamInfo<GearKind>& info) {
                             return KindRow(info.param).name;
                         });

TEST_F(SimulationFixture, KindsThatAreNotBuiltAreListedButRefused) {
    for (const GearKindRow& row : GearKinds()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(sim.Model(row.kind) != nullptr, row.Built());
        GearSetup setup;
        setup.kindName = row.name;
        if (row.Built()) {
            EXPECT_NO_THROW(sim.PrepareAsUser(setup));
            EXPECT_EQ(sim.CurrentKind, row.kind);
        } else {
            EXPECT_THROW(sim.PrepareAsUser(setup), std::invalid_argument);
        }
    }
    sim.ValveGear2Click();
    ASSERT_EQ(sim.ListBoxItems.size(), GearKinds().size());
    for (std::size_t i = 0; i < GearKinds().size(); ++i)
        EXPECT_EQ(sim.ListBoxItems[i], GearKinds()[i].name);
}

} // namespace
} // namespace linkwright::testing
