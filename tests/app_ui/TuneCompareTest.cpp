// View > Tune and File > Compare with, driven through the main window's menus and the windows'
// own buttons: a search on its thread that Apply brings onto the shown gear, a search cancelled or
// closed while it runs, and two designs compared.
#include "analysis/Listings.h"
#include "app/Simulation.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "ui/CompareWindow.h"
#include "ui/ComparisonViews.h"
#include "ui/TfrmMain.h"
#include "ui/TuneDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace linkwright {
namespace {

using testing::ScratchDir;
using testing::ScriptedDialogs;
using testing::WorkingDirectory;

void ProcessEvents() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Lets the window's events run until `done` holds or `seconds` have passed; answers whether it held.
template <typename Condition> bool WaitFor(Condition done, double seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

class TuneCompareTest : public ::testing::Test {
protected:
    ScratchDir dir;
    WorkingDirectory workingDirectory{dir.path()};
    ScriptedDialogs dialogs;
    QPrinter printer;
    std::unique_ptr<Simulation> sim;
    std::unique_ptr<TfrmMain> window;

    void SetUp() override {
        sim = std::make_unique<Simulation>(dialogs, dir / "Messages.txt");
        window = std::make_unique<TfrmMain>(*sim, dialogs, printer);
        window->resize(800, 600);
        window->show();
        ProcessEvents();
        window->FormActivate();
    }

    void Trigger(const char* name) {
        QAction* action = window->findChild<QAction*>(QString::fromUtf8(name));
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
        ProcessEvents();
    }
    template <typename T> T* Find(QWidget* in, const char* name) {
        T* found = in->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // View > Tune with the three link controls varied and one target set.
    TuneDialog* OpenTune(const std::string& target) {
        Trigger("Tune1");
        TuneDialog* tune = window->TuneWindow();
        if (tune == nullptr || !tune->isVisible()) return nullptr;
        for (const char* component : {"ARx", "PXx", "PXy"})
            EXPECT_TRUE(tune->SetVaried(component, true)) << component;
        EXPECT_TRUE(tune->AddTarget(target));
        return tune;
    }

    // The cut-off of both ends in the main window's own analysis at a gear setting.
    std::pair<double, double> ShownCutoffs(const char* setting) {
        sim->EdGearExit(setting);
        sim->RunAnalysis();
        const ListingFigures figures =
            ComputeListingFigures(sim->State.Events, sim->Steps.StepCrankAngle, sim->Steps.StepPistonPct,
                                  sim->Steps.StepValvePos, sim->State.Nsteps);
        return {figures.front.cutoffPct, figures.rear.cutoffPct};
    }
};

TEST_F(TuneCompareTest, ASearchOnItsThreadLeavesTheGearAloneUntilApplyBringsItsEqualCutoffs) {
    const auto [frontBefore, rearBefore] = ShownCutoffs("0.25");
    ASSERT_GT(std::abs(frontBefore - rearBefore), 0.5) << "the example must have something to tune";
    sim->EdGearExit("1");
    const std::vector<std::uint8_t> recordBefore = Bytes(sim->CurrentModel().RecordBytes());

    TuneDialog* tune = OpenTune("equal-cutoff@0.25");
    ASSERT_NE(tune, nullptr);
    // A target the parser refuses is answered with its reason and not listed.
    EXPECT_FALSE(tune->AddTarget("equal-cutoff@fast"));
    EXPECT_EQ(dialogs.informations.size(), 1u);
    Find<QPushButton>(tune, "Run")->click();
    ASSERT_TRUE(tune->Running());
    EXPECT_FALSE(Find<QPushButton>(tune, "Apply")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(tune, "CancelRun")->isEnabled());
    // The window answers while the search runs on the tuner's own copy of the gear.
    EXPECT_TRUE(WaitFor([&] { return !tune->Running(); }, 240));
    EXPECT_EQ(Bytes(sim->CurrentModel().RecordBytes()), recordBefore);

    ASSERT_TRUE(tune->Result().has_value());
    const TuningResult& result = *tune->Result();
    EXPECT_LT(result.after.largestShortfall, 0.5);
    EXPECT_LT(result.after.largestShortfall, result.before.largestShortfall);
    // Front and rear of the one point, before and after, and the line that sums the search up.
    EXPECT_EQ(Find<QTableWidget>(tune, "Events")->columnCount(), 2);
    const QString summary = Find<QLabel>(tune, "Summary")->text();
    EXPECT_TRUE(summary.contains(QString::number(result.evaluations) + QStringLiteral(" evaluations")))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QString::fromUtf8(TuningStopText(result.stop)))) << summary.toStdString();
    EXPECT_FALSE(Find<DrawingView>(tune, "OvalPicture")->Picture().isNull());

    auto* apply = Find<QPushButton>(tune, "Apply");
    ASSERT_TRUE(apply->isEnabled());
    apply->click();
    ProcessEvents();
    EXPECT_NE(Bytes(sim->CurrentModel().RecordBytes()), recordBefore);
    EXPECT_FALSE(apply->isEnabled());
    const auto [frontAfter, rearAfter] = ShownCutoffs("0.25");
    EXPECT_NEAR(frontAfter, rearAfter, 0.5);
    // The window's title follows the gear's redraw, and the dialog's "today" its new values.
    EXPECT_EQ(window->windowTitle().toStdString(), sim->Caption);
}

TEST_F(TuneCompareTest, CancelAndCloseStopARunningSearchPromptly) {
    // Every control varied, for targets at many points: the search would take long.
    TuneDialog* tune = OpenTune("equal-cutoff@0.1,0.25,0.5,0.75,1");
    ASSERT_NE(tune, nullptr);
    ASSERT_TRUE(tune->AddTarget("equal-lead@0.25,1"));
    auto* controls = Find<QTableWidget>(tune, "Controls");
    ASSERT_GT(controls->rowCount(), 10);
    for (int row = 0; row < controls->rowCount(); ++row)
        controls->item(row, 0)->setCheckState(Qt::Checked);
    Find<QSpinBox>(tune, "MaxEvaluations")->setValue(1000000);
    for (const bool byClose : {false, true}) {
        Find<QPushButton>(tune, "Run")->click();
        ASSERT_TRUE(tune->Running());
        WaitFor([] { return false; }, 0.3);
        ASSERT_TRUE(tune->Running()) << "the search ended on its own";
        QElapsedTimer clock;
        clock.start();
        if (byClose) {
            tune->close();
            EXPECT_FALSE(tune->Running()); // the window waited for its thread
        } else {
            Find<QPushButton>(tune, "CancelRun")->click();
            EXPECT_TRUE(WaitFor([&] { return !tune->Running(); }, 5));
            ASSERT_TRUE(tune->Result().has_value());
            EXPECT_EQ(tune->Result()->stop, TuningStop::Cancelled);
            EXPECT_TRUE(Find<QPushButton>(tune, "Run")->isEnabled());
        }
        // An evaluation takes milliseconds; a stop waits for one at most, whatever the load.
        EXPECT_LT(clock.elapsed(), 5000) << (byClose ? "close" : "cancel");
    }
}

TEST_F(TuneCompareTest, ASavedCopyComparesEqualAndAChangedGearOrABadFileDoNot) {
    const std::string copy = (dir / "copy.L1").string();
    dialogs.saveAnswers.push_back(copy);
    Trigger("Save1");

    // The events of each quantity in the two designs' columns, for every row.
    const auto compare = [&](CompareWindow& compare, bool equal) {
        auto* table = Find<QTableWidget>(&compare, "Events");
        ASSERT_EQ(table->rowCount(), 6); // three settings, two ends
        bool allEqual = true;
        for (int c = 3; c + 1 < table->columnCount(); c += 2) {
            const QString first = table->horizontalHeaderItem(c)->text();
            ASSERT_TRUE(first.endsWith(QString::fromStdString("\n" + compare.Names()[0])))
                << first.toStdString();
            for (int r = 0; r < table->rowCount(); ++r)
                allEqual = allEqual && table->item(r, c)->text() == table->item(r, c + 1)->text();
        }
        EXPECT_EQ(allEqual, equal);
        EXPECT_FALSE(Find<DrawingView>(&compare, "OvalPicture")->Picture().isNull());
        EXPECT_FALSE(Find<DrawingView>(&compare, "EventsPicture")->Picture().isNull());
    };
    dialogs.openAnswers.push_back(copy);
    Trigger("Compare1");
    // The file dialog says what it is for and offers the shown kind's files.
    ASSERT_FALSE(dialogs.openRequests.empty());
    EXPECT_EQ(dialogs.openRequests.back().title, "Compare with");
    EXPECT_EQ(dialogs.openRequests.back().defaultExtension, "L1");
    CompareWindow* first = window->ComparisonWindow();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(first->isVisible());
    // The shown gear has the copy's name since it was saved.
    EXPECT_EQ(first->Names()[0], "copy.L1 (shown)");
    EXPECT_EQ(first->Names()[1], "copy.L1 (file)");
    compare(*first, true);

    // Settings that are not gear settings are refused and the table stays.
    auto* settings = Find<QLineEdit>(first, "Settings");
    settings->setText(QStringLiteral("1,fast"));
    EXPECT_FALSE(first->SettingsChanged());
    EXPECT_EQ(Find<QTableWidget>(first, "Events")->rowCount(), 6);
    settings->setText(QStringLiteral("0.5,-0.5"));
    EXPECT_TRUE(first->SettingsChanged());
    EXPECT_EQ(Find<QTableWidget>(first, "Events")->rowCount(), 4);

    // The shown gear changed since the copy: the columns differ.
    const EditorTable& table = sim->CurrentModel().Editor();
    const float arx = table.Find("ARx")->storage.ReadFloat();
    ASSERT_TRUE(sim->ApplyTyped({{"ARx", std::to_string(arx * 1.05f)}}));
    dialogs.openAnswers.push_back(copy);
    Trigger("Compare1");
    ASSERT_NE(window->ComparisonWindow(), nullptr);
    compare(*window->ComparisonWindow(), false);

    // A file refused: the program's box, and the window there is stays as it was.
    CompareWindow* shown = window->ComparisonWindow();
    testing::WriteBytes(dir / "bad.L1", {'n', 'o'});
    dialogs.openAnswers.push_back((dir / "bad.L1").string());
    dialogs.informations.clear();
    Trigger("Compare1");
    EXPECT_EQ(dialogs.informations, std::vector<std::string>{GearFileRefusedMessage});
    EXPECT_EQ(window->ComparisonWindow(), shown);
    EXPECT_TRUE(shown->isVisible());
}

} // namespace
} // namespace linkwright
