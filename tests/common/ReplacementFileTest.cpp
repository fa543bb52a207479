// Replacing a file whole: the content and permission bits it leaves, a planted link replaced rather
// than followed, devices written as they are, and a failure part way that leaves the old file whole
// and nothing else behind.
#include "common/ReplacementFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <system_error>

#include <sys/resource.h>
#include <sys/stat.h>

namespace linkwright::testing {
namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

TEST(ReplacementFile, ReplacesTheContentAndKeepsThePermissionBits) {
    ScratchDir dir;
    const fs::path target = dir / "gear.L1";
    ReplaceFileContents(target, "first", Durability::Synced);
    EXPECT_EQ(ReadTextFile(target), "first");
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0666 & ~mask));

    fs::permissions(target, static_cast<fs::perms>(0640));
    ReplaceFileContents(target, "second, longer", Durability::Renamed);
    EXPECT_EQ(ReadTextFile(target), "second, longer");
    EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0640));
    EXPECT_EQ(EntriesIn(dir.path()), 1u); // no new file left beside it
}

TEST(ReplacementFile, APlantedLinkIsReplacedAndWhatItPointsAtIsLeftAlone) {
    ScratchDir dir;
    const fs::path victim = dir / "victim.txt";
    ReplaceFileContents(victim, "precious", Durability::Renamed);
    const fs::path target = dir / "Wal1Output.txt";
    fs::create_symlink(victim, target);
    ReplaceFileContents(target, "listing", Durability::Renamed);
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(ReadTextFile(target), "listing");
    EXPECT_EQ(ReadTextFile(victim), "precious");
}

TEST(ReplacementFile, DevicesAreWrittenAsTheyAreAndFoldersRefused) {
    ReplaceFileContents("/dev/null", "gone", Durability::Synced);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    if (fs::exists("/dev/full")) {
        EXPECT_THROW(ReplaceFileContents("/dev/full", "no room", Durability::Renamed), std::system_error);
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
    ScratchDir dir;
    fs::create_directory(dir / "folder");
    try {
        ReplacementFile file(dir / "folder");
        FAIL() << "a folder cannot be replaced";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::is_a_directory);
        EXPECT_NE(std::string(error.what()).find("Cannot create \"" + (dir / "folder").string() + "\""),
                  std::string::npos);
    }
}

// A disk that fills part way through: the old file stays whole and the new one is gone.
TEST(ReplacementFile, AWriteThatFailsPartWayLeavesTheOldFileWhole) {
    ScratchDir dir;
    const fs::path target = dir / "Messages.txt";
    ReplaceFileContents(target, "the old listing", Durability::Renamed);

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool thrown = false;
    try {
        ReplacementFile file(target);
        file.Write(std::string(10000, 'x'));
        file.Commit(Durability::Synced);
    } catch (const std::system_error& error) {
        thrown = true;
        EXPECT_NE(std::string(error.what()).find("Cannot write"), std::string::npos);
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(thrown);
    EXPECT_EQ(ReadTextFile(target), "the old listing");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);

    // Nor does a replacement that is never committed change anything.
    {
        ReplacementFile file(target);
        file.Write("abandoned");
    }
    EXPECT_EQ(ReadTextFile(target), "the old listing");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

} // namespace
} // namespace linkwright::testing
