// The messages file life cycle: create, append, flush, rewrite, close, reopen, and its I/O errors.
#include "windows/MessagesFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace linkwright {
namespace {

using testing::ReadTextFile;
using testing::ScratchDir;
using testing::WorkingDirectory;

TEST(MessagesFileTest, DefaultsToMessagesTxtInTheWorkingDirectory) {
    ScratchDir dir;
    WorkingDirectory here(dir.path());
    MessagesFile messages;
    EXPECT_EQ(messages.Path(), std::filesystem::path("Messages.txt"));
    messages.Create();
    messages.AppendLine("hello");
    messages.Close();
    EXPECT_EQ(ReadTextFile(dir / "Messages.txt"), "hello\n");
}

TEST(MessagesFileTest, CreateTruncatesAnExistingFile) {
    ScratchDir dir;
    testing::WriteBytes(dir / "Messages.txt", {'o', 'l', 'd', '\n'});
    MessagesFile messages(dir / "Messages.txt");
    messages.Create();
    EXPECT_TRUE(messages.IsOpen());
    EXPECT_EQ(messages.Contents(), "");
}

TEST(MessagesFileTest, LinesAndPartsOfLinesAreWrittenInOrder) {
    ScratchDir dir;
    MessagesFile messages(dir / "log.txt");
    messages.Create();
    messages.Append("A");
    messages.Append("");
    messages.Append("B");
    messages.EndLine();
    messages.AppendLine("second");
    messages.EndLine();
    EXPECT_EQ(messages.Contents(), "AB\nsecond\n\n");
    // Contents flushed, but the file stays open for more.
    EXPECT_TRUE(messages.IsOpen());
    messages.AppendLine("third");
    messages.Flush();
    EXPECT_EQ(ReadTextFile(dir / "log.txt"), "AB\nsecond\n\nthird\n");
}

TEST(MessagesFileTest, RewriteEmptyDiscardsEverythingBefore) {
    ScratchDir dir;
    MessagesFile messages(dir / "log.txt");
    messages.Create();
    messages.AppendLine("first analysis");
    messages.RewriteEmpty();
    messages.AppendLine("second analysis");
    messages.Close();
    EXPECT_EQ(ReadTextFile(dir / "log.txt"), "second analysis\n");
}

TEST(MessagesFileTest, CloseAndReopenKeepsWhatWasWritten) {
    ScratchDir dir;
    MessagesFile messages(dir / "log.txt");
    messages.Create();
    messages.Append("one");
    messages.Close();
    EXPECT_FALSE(messages.IsOpen());
    EXPECT_EQ(ReadTextFile(dir / "log.txt"), "one");
    messages.Reopen();
    EXPECT_TRUE(messages.IsOpen());
    messages.AppendLine(" two");
    messages.Close();
    messages.Close(); // closing twice is harmless
    EXPECT_EQ(ReadTextFile(dir / "log.txt"), "one two\n");
}

TEST(MessagesFileTest, WritingWhileClosedAppendsInsteadOfCrashing) {
    ScratchDir dir;
    MessagesFile messages(dir / "log.txt");
    messages.Create();
    messages.AppendLine("kept");
    messages.Close();
    messages.AppendLine("late");
    EXPECT_TRUE(messages.IsOpen());
    EXPECT_EQ(messages.Contents(), "kept\nlate\n");
}

TEST(MessagesFileTest, ContentsOfAMissingFileIsEmpty) {
    ScratchDir dir;
    MessagesFile messages(dir / "never-created.txt");
    EXPECT_EQ(messages.Contents(), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "never-created.txt"));
}

TEST(MessagesFileTest, SetPathClosesTheOldFileAndCreateStartsTheNewOne) {
    ScratchDir dir;
    MessagesFile messages(dir / "a.txt");
    messages.Create();
    messages.Append("for a");
    messages.SetPath(dir / "b.txt");
    EXPECT_FALSE(messages.IsOpen());
    EXPECT_EQ(ReadTextFile(dir / "a.txt"), "for a");
    messages.Create();
    messages.AppendLine("for b");
    messages.Close();
    EXPECT_EQ(ReadTextFile(dir / "b.txt"), "for b\n");
    EXPECT_EQ(ReadTextFile(dir / "a.txt"), "for a");
}

TEST(MessagesFileTest, FailuresToOpenCarryTheSystemText) {
    ScratchDir dir;
    MessagesFile messages(dir / "no-such-folder" / "Messages.txt");
    try {
        messages.Create();
        FAIL() << "creating in a missing folder succeeded";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
        EXPECT_NE(std::string(error.what()).find("Messages.txt"), std::string::npos);
    }
    EXPECT_FALSE(messages.IsOpen());
    EXPECT_THROW(messages.Reopen(), std::system_error);
    EXPECT_THROW(messages.AppendLine("x"), std::system_error);
}

TEST(MessagesFileTest, AFullDeviceIsReportedNotSwallowed) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    MessagesFile messages("/dev/full");
    messages.Create();
    messages.AppendLine("lost");
    try {
        messages.Flush();
        FAIL() << "a failed flush was reported as success";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::no_space_on_device);
    }
    messages.Append("more");
    EXPECT_THROW(messages.Close(), std::system_error);
    EXPECT_FALSE(messages.IsOpen());
}

} // namespace
} // namespace linkwright
