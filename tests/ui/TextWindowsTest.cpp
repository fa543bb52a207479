// The messages window reloading the messages file, the information window loading the help text,
// and the about box.
#include "common/BuildConfig.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ScriptedDialogs.h"
#include "ui/TAboutBox.h"
#include "ui/TMessages.h"
#include "ui/TfrmInfo.h"
#include "windows/MessagesFile.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace linkwright {
namespace {

using testing::ReadTextFile;
using testing::ScratchDir;
using testing::ScriptedDialogs;
using testing::WorkingDirectory;

class MessagesWindowTest : public ::testing::Test {
protected:
    MessagesWindowTest() : messages(scratch / "Messages.txt"), window(messages, dialogs) {
        messages.Create();
    }

    ScratchDir scratch;
    ScriptedDialogs dialogs;
    MessagesFile messages;
    TMessages window;
};

TEST_F(MessagesWindowTest, HasItsNameSizeFontAndEditMenu) {
    EXPECT_EQ(window.objectName(), "Messages");
    EXPECT_EQ(window.windowTitle(), "Messages");
    EXPECT_EQ(window.size(), QSize(689, 411));
    const QFontInfo font(window.Memo()->font());
    EXPECT_TRUE(font.fixedPitch());
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_EQ(window.Memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window.Memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    auto* cut = window.findChild<QAction*>("Cut1");
    auto* copy = window.findChild<QAction*>("Copy1");
    auto* paste = window.findChild<QAction*>("Paste1");
    ASSERT_TRUE(cut && copy && paste);
    EXPECT_EQ(cut->text(), "Cu&t");
    EXPECT_EQ(copy->text(), "&Copy");
    EXPECT_EQ(paste->text(), "&Paste");
    EXPECT_EQ(cut->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(copy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(paste->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_EQ(window.menuBar()->actions().value(0)->text(), "&Edit");
}

TEST_F(MessagesWindowTest, ShowsWhatWasWrittenAndKeepsTheFileOpenForAppending) {
    messages.AppendLine("first line");
    window.ShowMessages();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Memo()->toPlainText(), "first line\n");

    // The file was reopened for appending: later lines follow and the next reload shows them.
    messages.AppendLine("second line");
    window.FormPaint();
    EXPECT_EQ(window.Memo()->toPlainText(), "first line\nsecond line\n");
    EXPECT_EQ(ReadTextFile(scratch / "Messages.txt"), "first line\nsecond line\n");
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST_F(MessagesWindowTest, TypedTextIsReplacedAtTheNextReload) {
    messages.AppendLine("report");
    window.FormPaint();
    window.Memo()->appendPlainText("typed by the user");
    window.FormPaint();
    EXPECT_EQ(window.Memo()->toPlainText(), "report\n");
    EXPECT_EQ(ReadTextFile(scratch / "Messages.txt"), "report\n");
}

TEST_F(MessagesWindowTest, AChangedFileShowsItsNewestLineAnUnchangedOneKeepsTheScrolledPlace) {
    for (int i = 0; i < 300; ++i)
        messages.AppendLine("line " + std::to_string(i));
    window.ShowMessages();
    QApplication::processEvents();
    QScrollBar* bar = window.Memo()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(10);
    window.FormPaint();
    EXPECT_EQ(bar->value(), 10);

    messages.AppendLine("newest");
    window.FormPaint();
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(window.Memo()->horizontalScrollBar()->value(), 0);
}

TEST_F(MessagesWindowTest, AMissingFileIsReportedAndTheMemoKeepsItsText) {
    messages.AppendLine("kept");
    window.FormPaint();
    messages.Close();
    std::filesystem::remove(scratch / "Messages.txt");
    window.FormPaint();
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(dialogs.informations[0], "No message file?");
    EXPECT_EQ(window.Memo()->toPlainText(), "kept\n");
}

TEST_F(MessagesWindowTest, ResizingKeepsTheMemoTenPixelsSmallerThanTheClient) {
    window.show();
    window.resize(500, 300);
    const QWidget* client = window.centralWidget();
    EXPECT_EQ(window.Memo()->width(), client->width() - 10);
    EXPECT_EQ(window.Memo()->height(), client->height() - 10);
}

TEST_F(MessagesWindowTest, ClosingOnlyHidesAndViewMessagesBringsItBack) {
    window.ShowMessages();
    window.close();
    EXPECT_FALSE(window.isVisible());
    window.showMinimized();
    window.ShowMessages();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(MessagesWindowTest, CopyAndPasteGoThroughTheClipboard) {
    messages.AppendLine("abc");
    window.FormPaint();
    window.Memo()->selectAll();
    window.findChild<QAction*>("Copy1")->trigger();
    QTextCursor cursor = window.Memo()->textCursor();
    cursor.movePosition(QTextCursor::End);
    window.Memo()->setTextCursor(cursor);
    window.findChild<QAction*>("Paste1")->trigger();
    EXPECT_EQ(window.Memo()->toPlainText(), "abc\nabc\n");
    window.Memo()->selectAll();
    window.findChild<QAction*>("Cut1")->trigger();
    EXPECT_TRUE(window.Memo()->toPlainText().isEmpty());
}

TEST(InfoWindowTest, LoadsTheHelpTextFromTheWorkingDirectory) {
    ScratchDir scratch;
    WorkingDirectory here(scratch.path());
    std::ofstream(scratch / "Linkwright.txt") << "Help for the user\n";
    ScriptedDialogs dialogs;
    TfrmInfo info(dialogs);
    EXPECT_EQ(info.objectName(), "frmInfo");
    EXPECT_EQ(info.windowTitle(), "Information");
    info.ShowInfo();
    EXPECT_TRUE(info.isVisible());
    EXPECT_TRUE(info.Memo()->isReadOnly());
    EXPECT_EQ(info.Memo()->toPlainText(), "Help for the user\n");

    // Every activation reads the file again.
    std::ofstream(scratch / "Linkwright.txt") << "Changed\n";
    info.FormActivate();
    EXPECT_EQ(info.Memo()->toPlainText(), "Changed\n");
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST(InfoWindowTest, SaysClearlyWhenTheHelpTextIsMissing) {
    ScratchDir scratch;
    WorkingDirectory here(scratch.path());
    ScratchDir programFolder; // stands for a program installed without its help text
    ScratchDir dataFolder;
    ScriptedDialogs dialogs;
    TfrmInfo info(dialogs, nullptr, QString::fromStdString(programFolder.path().string()),
                  QString::fromStdString(dataFolder.path().string()));
    info.FormActivate();
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_NE(dialogs.informations[0].find("Linkwright.txt"), std::string::npos);
    EXPECT_NE(dialogs.informations[0].find("not found"), std::string::npos);
    // Each place looked in is named.
    for (const QString& candidate : info.HelpFileCandidates())
        EXPECT_NE(dialogs.informations[0].find(candidate.toStdString()), std::string::npos)
            << candidate.toStdString();
    EXPECT_TRUE(info.LoadedFrom().isEmpty());
}

// An installation: <prefix>/bin/linkwright with the help text in <prefix>/share/linkwright; a program
// moved away from it still finds the text in the configured data folder.
TEST(InfoWindowTest, FindsTheHelpTextOfAnInstallation) {
    ScratchDir scratch;
    WorkingDirectory here(scratch.path());
    ScratchDir prefix;
    const std::filesystem::path installedHelp =
        (prefix / "bin" / DataFolderFromProgramFolder / "Linkwright.txt").lexically_normal();
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(installedHelp.parent_path());
    std::ofstream(installedHelp) << "Installed help\n";
    ScratchDir dataFolder;
    std::ofstream(dataFolder / "Linkwright.txt") << "Help in the data folder\n";
    ScriptedDialogs dialogs;

    TfrmInfo installed(dialogs, nullptr, QString::fromStdString((prefix / "bin").string()),
                       QString::fromStdString(dataFolder.path().string()));
    installed.FormActivate();
    EXPECT_EQ(installed.Memo()->toPlainText(), "Installed help\n");
    EXPECT_EQ(installed.LoadedFrom().toStdString(), installedHelp.string());

    ScratchDir elsewhere;
    TfrmInfo moved(dialogs, nullptr, QString::fromStdString(elsewhere.path().string()),
                   QString::fromStdString(dataFolder.path().string()));
    moved.FormActivate();
    EXPECT_EQ(moved.Memo()->toPlainText(), "Help in the data folder\n");
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST(InfoWindowTest, TheShippedHelpTextCoversTheMenusAndGearKinds) {
    const std::string help =
        ReadTextFile(std::filesystem::path(LINKWRIGHT_SOURCE_DIR) / "app/Linkwright.txt");
    for (const char* topic : {"Walschaerts1", "Stephensons1", "Bakers1", "Walschaerts2", "Stephensons2",
                              "Indicator Diagram", "Family", "Measure", "Oval", "Events Diagram", "Messages",
                              "cut-off", "Open", "Save", "Print", "CopyToClipboard"})
        EXPECT_NE(help.find(topic), std::string::npos) << topic;
}

// The window is sized for lines of 100 characters, and the folders and files the text names are
// written as this system writes paths.
TEST(InfoWindowTest, TheShippedHelpTextFitsItsWindowAndWritesPathsWithSlashes) {
    std::istringstream help(
        ReadTextFile(std::filesystem::path(LINKWRIGHT_SOURCE_DIR) / "app/Linkwright.txt"));
    std::string line;
    for (int number = 1; std::getline(help, line); ++number) {
        const auto characters = std::count_if(
            line.begin(), line.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
        EXPECT_LE(characters, 100) << "line " << number << ": " << line;
        EXPECT_EQ(line.find('\\'), std::string::npos) << "line " << number << ": " << line;
    }
}

TEST(AboutBoxTest, ShowsTheNameVersionAndCloses) {
    TAboutBox about;
    EXPECT_EQ(about.objectName(), "AboutBox");
    EXPECT_EQ(about.windowTitle(), "About");
    auto* name = about.findChild<QLabel*>("ProductName");
    auto* version = about.findChild<QLabel*>("Version");
    auto* icon = about.findChild<QLabel*>("ProgramIcon");
    ASSERT_TRUE(name && version && icon);
    EXPECT_EQ(name->text(), "Linkwright");
    EXPECT_EQ(version->text(), "Version 2.12");
    EXPECT_TRUE(name->font().bold());
    EXPECT_TRUE(version->font().bold());
    EXPECT_FALSE(icon->pixmap().isNull());

    about.ShowAbout();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    const QSize before = about.size();
    about.resize(before + QSize(100, 100));
    EXPECT_EQ(about.size(), before); // fixed border
    about.findChild<QPushButton*>("OKButton")->click();
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutBoxTest, TheIconIsDrawn) {
    const QImage icon = ProgramIconPixmap(64).toImage();
    int opaque = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) > 0) ++opaque;
    EXPECT_GT(opaque, 64 * 64 / 4);
}

} // namespace
} // namespace linkwright
