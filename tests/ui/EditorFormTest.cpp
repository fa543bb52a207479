// The Walschaerts 1 editor as the user meets it: its pages and controls, OK with good input, the
// syntax-error message with the form left open and the bad field zeroed, Cancel, the Auto check
// boxes, Print on the Other page, and the page the form opens on.
#include "ui/EditorForm.h"
#include "app/Simulation.h"
#include "gears/wal1/Wal1.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace linkwright {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::ScriptedDialogs;

class EditorFormTest : public ::testing::Test {
protected:
    EditorFormTest()
        : simulation(dialogs, scratch / "Messages.txt"), model(Analysed(simulation)),
          session(model, simulation.State, dialogs), form(session, pages, dialogs, printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((scratch / "editor.pdf").string()));
        form.show();
    }

    // The example with a valid analysis, as the form finds it after Run.
    static Wal1& Analysed(Simulation& simulation) {
        simulation.State.AnalysisValid = 1;
        return dynamic_cast<Wal1&>(*simulation.Model(GearKind::Walschaerts1));
    }

    template <typename T> T* Find(const char* name) {
        T* widget = form.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Type(const char* edit, const char* text) { Find<QLineEdit>(edit)->setText(QString::fromUtf8(text)); }
    void Press(const char* button) { Find<QPushButton>(button)->click(); }

    ScratchDir scratch;
    ScriptedDialogs dialogs;
    Simulation simulation;
    Wal1& model;
    EditorSession session;
    EditorPages pages;
    QPrinter printer;
    EditorForm form;
};

TEST_F(EditorFormTest, ShowsTheCaptionPagesAndEveryControlFilled) {
    EXPECT_EQ(form.objectName(), "EdWal1");
    EXPECT_EQ(form.windowTitle(), "Edit Walschaert 1");
    auto* pages = Find<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->tabText(0), "Conditions");
    EXPECT_EQ(pages->tabText(1), "Geometry");
    EXPECT_EQ(pages->tabText(2), "Valving");
    EXPECT_EQ(pages->tabText(3), "Other");
    EXPECT_EQ(pages->currentWidget()->objectName(), "Conditions");

    EXPECT_EQ(Find<QLineEdit>("PistStroke")->text(), "  2.1250");
    EXPECT_EQ(Find<QLineEdit>("Nsteps")->text(), " 550");
    EXPECT_EQ(Find<QLineEdit>("ExhaustPressure")->text(), "  120.00");
    EXPECT_EQ(Find<QLineEdit>("FLAAd")->text(), " 40.1070"); // 0.7 rad
    EXPECT_TRUE(Find<QRadioButton>("Inside")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("Outside")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("AutoSetting1")->isChecked());
    auto* speed = Find<QScrollBar>("ScrollBar1");
    EXPECT_EQ(speed->minimum(), 1);
    EXPECT_EQ(speed->maximum(), 10);
    EXPECT_EQ(speed->value(), 6); // 0.01 rad is 0.573 degrees
    EXPECT_NE(Find<QGroupBox>("Admission"), nullptr);
    ASSERT_NE(Find<QPushButton>("Print1"), nullptr);
    EXPECT_EQ(Find<QPushButton>("Print1")->parentWidget()->objectName(), "Other");
    EXPECT_NE(form.findChild<QLabel*>("SlowLabel"), nullptr);
    EXPECT_NE(form.findChild<QLabel*>("FastLabel"), nullptr);
    EXPECT_FALSE(Find<QLineEdit>("PistStroke")->toolTip().isEmpty());
}

TEST_F(EditorFormTest, AutoCheckBoxesDisableTheEditsTheyCompute) {
    auto* du = Find<QLineEdit>("DU");
    auto* ary = Find<QLineEdit>("ARy");
    auto* mlaa = Find<QLineEdit>("MLAAd");
    // The example computes both.
    EXPECT_FALSE(du->isEnabled());
    EXPECT_FALSE(ary->isEnabled());
    EXPECT_FALSE(mlaa->isEnabled());

    Find<QCheckBox>("cbDU")->setChecked(false);
    EXPECT_TRUE(du->isEnabled());
    EXPECT_FALSE(ary->isEnabled());
    Find<QCheckBox>("cbARy")->setChecked(false);
    EXPECT_TRUE(ary->isEnabled());
    EXPECT_TRUE(mlaa->isEnabled());
    Find<QCheckBox>("cbARy")->setChecked(true);
    EXPECT_FALSE(ary->isEnabled());
    EXPECT_FALSE(mlaa->isEnabled());
    EXPECT_TRUE(du->isEnabled());
}

TEST_F(EditorFormTest, OkWithGoodInputStoresEverythingAndCloses) {
    simulation.State.AnalysisValid = 1;
    Type("PistStroke", "2.5");
    Type("FLAAd", "40");
    Type("Nsteps", "100");
    Type("SteamChestPressure", "500");
    Find<QRadioButton>("Outside")->setChecked(true);
    Find<QScrollBar>("ScrollBar1")->setValue(10);
    Type("Descr", "Test gear");
    Press("btnOK");

    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(dialogs.informations.empty());
    EXPECT_FLOAT_EQ(model.GearRecord.PistStroke, 2.5f);
    EXPECT_FLOAT_EQ(model.GearRecord.FLAA, 0.6981317f);
    EXPECT_FLOAT_EQ(model.GearRecord.PressureLimit, 550.0f);
    EXPECT_EQ(model.GearRecord.Inside, 0);
    EXPECT_EQ(model.GearRecord.Descr.Text(), "Test gear");
    EXPECT_EQ(simulation.State.Nsteps, 100);
    EXPECT_NEAR(simulation.State.MovieStep, 1.0 * M_PI / 180.0, 1e-7);
    EXPECT_EQ(simulation.State.AnalysisValid, 0);
    // The drawing window follows the new stroke.
    EXPECT_FLOAT_EQ(model.GearRecord.ViewWindow[0], -2.5f);
    EXPECT_FLOAT_EQ(model.GearRecord.ViewWindow[1], 9.75f);
}

TEST_F(EditorFormTest, SyntaxErrorKeepsTheFormOpenWithTheBadFieldZeroed) {
    Type("GC", "7.5x");
    Type("PistStroke", "2.25");
    Press("btnOK");

    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(dialogs.informations[0], SyntaxErrorMessage);
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.result(), QDialog::Accepted);
    // Every field was stored, the bad one as zero, and the form shows what is stored.
    EXPECT_FLOAT_EQ(model.GearRecord.GC, 0.0f);
    EXPECT_FLOAT_EQ(model.GearRecord.PistStroke, 2.25f);
    EXPECT_EQ(Find<QLineEdit>("GC")->text(), "  0.0000");
    EXPECT_EQ(Find<QLineEdit>("PistStroke")->text(), "  2.2500");
    // The page of the bad field is brought up.
    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget()->objectName(), "Geometry");

    // Fixed, the next OK closes.
    Type("GC", "7.25");
    Press("btnOK");
    EXPECT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(model.GearRecord.GC, 7.25f);
}

TEST_F(EditorFormTest, AnIntegerFieldRefusesAFraction) {
    Type("Nsteps", "100.5");
    Press("btnOK");
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(simulation.State.Nsteps, 0);
    EXPECT_EQ(Find<QLineEdit>("Nsteps")->text(), "   0");
    EXPECT_TRUE(form.isVisible());
}

TEST_F(EditorFormTest, CancelStoresNothing) {
    const float stroke = model.GearRecord.PistStroke;
    Type("PistStroke", "9");
    Type("GC", "junk");
    Press("btnCancel");
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FLOAT_EQ(model.GearRecord.PistStroke, stroke);
    EXPECT_EQ(simulation.State.AnalysisValid, 1);
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST_F(EditorFormTest, CancelAfterASyntaxErrorLeavesTheGearAsTheFormFoundIt) {
    const std::vector<std::uint8_t> record(model.RecordBytes().begin(), model.RecordBytes().end());
    Type("GC", "abc");
    Type("Slack1", "0.5");
    Press("btnOK");
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_FLOAT_EQ(model.GearRecord.GC, 0.0f); // zeroed while the form is open
    Press("btnCancel");
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), model.RecordBytes().begin()));
    EXPECT_EQ(simulation.State.AnalysisValid, 1);
    EXPECT_EQ(model.Slack, 0.0f);
}

TEST_F(EditorFormTest, PrintsTheFormToAPdfFileOnlyWhenConfirmed) {
    dialogs.printAnswer = false;
    Press("Print1");
    EXPECT_EQ(dialogs.printQuestions, 1);
    EXPECT_FALSE(std::filesystem::exists(scratch / "editor.pdf"));

    dialogs.printAnswer = true;
    Press("Print1");
    EXPECT_EQ(dialogs.printQuestions, 2);
    const std::vector<unsigned char> pdf = ReadBytes(scratch / "editor.pdf");
    ASSERT_GT(pdf.size(), 1000u);
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 4), "%PDF");
    EXPECT_TRUE(form.isVisible());
}

TEST(RunEditorForm, ShowsTheKindsFormModallyOnThePageItWasLeftOn) {
    ScratchDir scratch;
    ScriptedDialogs dialogs;
    Simulation simulation(dialogs, scratch / "Messages.txt");
    EditorSession session(simulation.CurrentModel(), simulation.State, dialogs);
    EditorPages pages;
    QPrinter printer;
    // Runs the form once: notes its name, caption and page, turns to `turnTo` and cancels.
    auto run = [&](EditorPages& remembered, const char* turnTo) {
        std::string seen;
        QTimer::singleShot(0, [&] {
            QWidget* form = QApplication::activeModalWidget();
            if (form == nullptr) return;
            auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
            seen =
                (form->objectName() + " " + form->windowTitle() + " " + tabs->currentWidget()->objectName())
                    .toStdString();
            if (turnTo != nullptr)
                tabs->setCurrentWidget(tabs->findChild<QWidget*>(QString::fromUtf8(turnTo)));
            form->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
        });
        RunEditorForm(session, remembered, dialogs, printer);
        return seen;
    };
    EXPECT_EQ(run(pages, "Valving"), "EdWal1 Edit Walschaert 1 Conditions");
    EXPECT_EQ(run(pages, "Geometry"), "EdWal1 Edit Walschaert 1 Valving");
    EXPECT_EQ(run(pages, nullptr), "EdWal1 Edit Walschaert 1 Geometry");
    // The pages are remembered by their owner, not by the program: a new owner starts afresh.
    EditorPages fresh;
    EXPECT_EQ(run(fresh, nullptr), "EdWal1 Edit Walschaert 1 Conditions");
}

TEST(EditorFormFactory, EditThroughTheSimulationClampsStepsAfterTheForm) {
    ScratchDir scratch;
    ScriptedDialogs dialogs;
    Simulation simulation(dialogs, scratch / "Messages.txt");
    QPrinter printer;
    EditorPages pages;
    simulation.Edit1Click([&](EditorSession& session) {
        EditorForm form(session, pages, dialogs, printer);
        form.show();
        form.findChild<QLineEdit*>("Nsteps")->setText("1000");
        form.findChild<QPushButton*>("btnOK")->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    });
    EXPECT_EQ(simulation.State.Nsteps, 550);
}

} // namespace
} // namespace linkwright
