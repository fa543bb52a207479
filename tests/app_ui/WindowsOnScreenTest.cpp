// Every window of the program, as it first opens, lies wholly within the screen's available area,
// whatever screen the tests run on (CTest runs them on a 1280 x 800 screen at scale 1 and 2 as
// well), and the editor opens beside the main window where there is room.
#include "app/Simulation.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "ui/CompareWindow.h"
#include "ui/TAboutBox.h"
#include "ui/TMessages.h"
#include "ui/TfrmIndic.h"
#include "ui/TfrmInfo.h"
#include "ui/TfrmMain.h"
#include "ui/TfrmOval.h"
#include "ui/TuneDialog.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace linkwright {
namespace {

void ProcessEvents() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// The frame within the area, and so the whole window on the screen.
void ExpectOnScreen(const QWidget& window, const char* what) {
    const QRect area = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    EXPECT_TRUE(area.contains(frame))
        << what << ": frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
        << frame.height() << " in " << area.width() << "x" << area.height();
}

TEST(WindowsOnScreen, EveryWindowOpensWithinTheAvailableArea) {
    testing::ScratchDir dir;
    testing::WorkingDirectory cwd(dir.path());
    testing::ScriptedDialogs dialogs;
    QPrinter printer;
    Simulation sim(dialogs, dir / "Messages.txt");
    TfrmMain window(sim, dialogs, printer);
    window.show();
    ProcessEvents();
    window.FormActivate();
    ProcessEvents();
    ExpectOnScreen(window, "main window");

    auto trigger = [&](const char* name) {
        window.findChild<QAction*>(QString::fromUtf8(name))->trigger();
        ProcessEvents();
    };
    trigger("IndicatorDiag");
    ASSERT_TRUE(window.IndicatorWindow()->isVisible());
    ExpectOnScreen(*window.IndicatorWindow(), "indicator diagram");
    ExpectOnScreen(*window.OvalWindow(), "oval diagram");
    trigger("Messages1");
    ExpectOnScreen(*window.MessagesWindow(), "messages");
    trigger("Hints1");
    ExpectOnScreen(*window.InfoWindow(), "information");
    trigger("About1");
    ExpectOnScreen(*window.AboutBox(), "about");
    trigger("Tune1");
    ASSERT_NE(window.TuneWindow(), nullptr);
    ExpectOnScreen(*window.TuneWindow(), "tune");
    window.TuneWindow()->close();
    dialogs.saveAnswers.push_back((dir / "gear.L1").string());
    trigger("Save1");
    dialogs.openAnswers.push_back((dir / "gear.L1").string());
    trigger("Compare1");
    ASSERT_NE(window.ComparisonWindow(), nullptr);
    ExpectOnScreen(*window.ComparisonWindow(), "comparison");

    // The editor, modal: looked at while it is open, then cancelled.
    bool seen = false;
    QTimer::singleShot(50, &window, [&] {
        QWidget* editor = QApplication::activeModalWidget();
        if (editor == nullptr) return;
        seen = true;
        ExpectOnScreen(*editor, "editor");
        const QRect main = window.frameGeometry();
        const QRect area = window.screen()->availableGeometry();
        if (area.right() - main.right() > editor->frameGeometry().width() + 8) {
            EXPECT_FALSE(editor->frameGeometry().intersects(main)) << "the editor hides the gear";
        }
        static_cast<QDialog*>(editor)->reject();
    });
    trigger("Edit1");
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace linkwright
