// The editor form is generic: any kind's table becomes a working form. A small table of its own
// exercises what the Walschaerts 1 table does not: doubled and degree fields on a page without
// groups, a check box computing an edit that is not beside it, a tab missing from the page list, a
// field with a hint on its label and another on its edit, Print in either place, and the page a
// form opens on.
#include "gears/EditorFields.h"
#include "gears/GearModel.h"
#include "state/SimulationState.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ScriptedDialogs.h"
#include "ui/EditorForm.h"
#include "windows/MessagesFile.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace linkwright {
namespace {

#pragma pack(push, 1)
struct SmallRecord {
    float CrankRadius = 1.25f;
    float Angle = 0.5f;
    float Ratio = 3.0f;
    float Slant = 0.0f;
    std::uint8_t AutoRatio = 1;
    std::uint8_t Inside = 0;
};
#pragma pack(pop)

// How the small form is named, where it opens the first time and where its Print button goes.
struct SmallForm {
    const char* formName = "EdSmall";
    const char* firstTab = "Geometry";
    PrintPlacement print = PrintPlacement::OnTab;
    const char* printTab = "Extra";
};

class SmallModel : public GearModel {
public:
    SmallModel(GearEnvironment environment, const SmallForm& form) : GearModel(environment) {
        table_.caption = "Edit Small";
        table_.formName = form.formName;
        table_.tabs = {"Geometry"};
        table_.firstTab = form.firstTab;
        table_.print = form.print;
        table_.printTab = form.printTab;
        const FieldPlace geometry{"Geometry", ""};
        const FieldPlace extra{"Extra", ""};
        std::vector<EditorField>& f = table_.fields;
        f.push_back(EditField(geometry, "PistStroke", "PistStroke", "Stroke", &record.CrankRadius,
                              FieldConversion::Doubled));
        f.push_back(
            EditField(geometry, "Angle", "Angle", "", &record.Angle, FieldConversion::DegreesOver180));
        f.push_back(CheckBoxField(geometry, "cbRatio", "Auto", "", &record.AutoRatio, {"Ratio"}));
        f.push_back(EditField(extra, "Ratio", "Ratio", "", &record.Ratio));
        f.push_back(RadioPairField(extra, "Admission", "Steam Admission", "", &record.Inside,
                                   RadioChoice{"Inside", "Inside", ""},
                                   RadioChoice{"Outside", "Outside", ""}));
        f.push_back(TwoHintEditField(
            extra, "Slant", "Slant of gear (usually zero)", "Slant of gear from horizontal",
            "Slants the gear relative to horizontal", &record.Slant, FieldConversion::Degrees));
    }

    GearKind Kind() const override { return GearKind::Bakers1; }
    void SetExample() override {}
    void InitialiseGear() override { ++initialised; }
    void CalcGear(float, float) override {}
    void SolveRevolution(StepArrays&, int, EventRecord&, float) override {}
    void DrawGear(Glib1&, int, int, bool, float, float) override {}
    const EditorTable& Editor() override { return table_; }
    void AfterEditorOk() override {}
    std::span<std::uint8_t> RecordBytes() override {
        return {reinterpret_cast<std::uint8_t*>(&record), sizeof record};
    }
    Valving CurrentValving() const override { return {}; }
    bool RecordHoldsNumbers() override { return true; }
    float PistonPct() const override { return 0; }
    std::vector<NamedPin> NamedPins() const override { return {}; }

    SmallRecord record;
    int initialised = 0;

private:
    EditorTable table_;
};

class EditorFormTableTest : public ::testing::Test {
protected:
    EditorFormTableTest()
        : messages(scratch / "Messages.txt"), model(GearEnvironment{state, messages, dialogs}, SmallForm{}),
          session(model, state, dialogs), form(session, pages, dialogs, printer) {
        state.Decimals = 3;
        form.show();
    }
    QLineEdit* Edit(const char* name) { return form.findChild<QLineEdit*>(name); }
    GearEnvironment Environment() { return GearEnvironment{state, messages, dialogs}; }

    testing::ScratchDir scratch;
    testing::ScriptedDialogs dialogs;
    SimulationState state{};
    MessagesFile messages;
    SmallModel model;
    EditorSession session;
    EditorPages pages;
    QPrinter printer;
    EditorForm form;
};

QString CurrentPage(const EditorForm& form) {
    return form.findChild<QTabWidget*>("PageControl1")->currentWidget()->objectName();
}

TEST_F(EditorFormTableTest, BuildsEveryPageTheFieldsName) {
    EXPECT_EQ(form.windowTitle(), "Edit Small");
    EXPECT_EQ(form.objectName(), "EdSmall");
    auto* pages = form.findChild<QTabWidget*>("PageControl1");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(1), "Extra");
    ASSERT_NE(form.findChild<QPushButton*>("Print1"), nullptr);
    EXPECT_EQ(form.findChild<QPushButton*>("Print1")->parentWidget()->objectName(), "Extra");
}

TEST_F(EditorFormTableTest, PrintGoesOnTheNamedPageOrBesideOkAndCancel) {
    const struct {
        PrintPlacement print;
        const char* printTab;
        const char* parent; // the page that carries Print, or "" for the button row
    } cases[] = {
        {PrintPlacement::BesideOkCancel, "", ""},  {PrintPlacement::BesideOkCancel, "Extra", ""},
        {PrintPlacement::OnTab, "Extra", "Extra"}, {PrintPlacement::OnTab, "Geometry", "Geometry"},
        {PrintPlacement::OnTab, "NoSuchPage", ""}, // a page the form does not have: the button row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printTab);
        SmallModel small(Environment(), SmallForm{.print = c.print, .printTab = c.printTab});
        EditorSession smallSession(small, state, dialogs);
        EditorForm smallForm(smallSession, pages, dialogs, printer);
        smallForm.show();
        const QList<QPushButton*> prints = smallForm.findChildren<QPushButton*>("Print1");
        ASSERT_EQ(prints.size(), 1);
        QPushButton* print = prints[0];
        auto* ok = smallForm.findChild<QPushButton*>("btnOK");
        if (*c.parent != '\0') {
            EXPECT_EQ(print->parentWidget()->objectName(), c.parent);
        } else {
            EXPECT_EQ(print->parentWidget(), &smallForm);
            // In the row of OK and Cancel, after them.
            EXPECT_EQ(print->geometry().center().y(), ok->geometry().center().y());
            EXPECT_GT(print->x(), smallForm.findChild<QPushButton*>("btnCancel")->x());
        }
        const int asked = dialogs.printQuestions;
        dialogs.printAnswer = false;
        print->click();
        EXPECT_EQ(dialogs.printQuestions, asked + 1);
    }
}

TEST_F(EditorFormTableTest, ATwoHintFieldShowsOneHintOnItsLabelAndTheOtherOnItsEdit) {
    auto* slantLabel = form.findChild<QLabel*>("SlantLabel");
    ASSERT_NE(slantLabel, nullptr);
    EXPECT_EQ(slantLabel->text(), "Slant of gear (usually zero)");
    EXPECT_EQ(slantLabel->toolTip(), "Slant of gear from horizontal");
    EXPECT_EQ(Edit("Slant")->toolTip(), "Slants the gear relative to horizontal");
    // A field of one hint shows it on both.
    EXPECT_EQ(form.findChild<QLabel*>("PistStrokeLabel")->toolTip(), "Stroke");
    EXPECT_EQ(Edit("PistStroke")->toolTip(), "Stroke");
    // The slant is an angle like any other.
    EXPECT_EQ(Edit("Slant")->text(), "   0.000");
    Edit("Slant")->setText("2");
    form.btnOKClick();
    EXPECT_FLOAT_EQ(model.record.Slant, static_cast<float>(2 * std::numbers::pi / 180));
}

TEST_F(EditorFormTableTest, AFormOpensOnItsFirstPageUntilItWasLeftOnAnother) {
    EditorPages remembered;
    SmallModel a(Environment(), SmallForm{.formName = "EdA", .firstTab = "Extra"});
    SmallModel b(Environment(), SmallForm{.formName = "EdB", .firstTab = "Extra"});
    EditorSession sessionA(a, state, dialogs);
    EditorSession sessionB(b, state, dialogs);
    {
        EditorForm formA(sessionA, remembered, dialogs, printer);
        EXPECT_EQ(CurrentPage(formA), "Extra");
        formA.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(0);
        EXPECT_EQ(CurrentPage(formA), "Geometry");
    }
    EditorForm againA(sessionA, remembered, dialogs, printer);
    EXPECT_EQ(CurrentPage(againA), "Geometry");
    // Another form keeps its own first page.
    EditorForm formB(sessionB, remembered, dialogs, printer);
    EXPECT_EQ(CurrentPage(formB), "Extra");
}

TEST_F(EditorFormTableTest, ShowsAndStoresDoubledAndDegreeFields) {
    EXPECT_EQ(Edit("PistStroke")->text(), "   2.500");
    EXPECT_EQ(Edit("Angle")->text(), "  28.648");
    EXPECT_FALSE(Edit("Ratio")->isEnabled());
    EXPECT_TRUE(form.findChild<QRadioButton*>("Outside")->isChecked());

    Edit("PistStroke")->setText("3");
    Edit("Angle")->setText("90");
    form.findChild<QCheckBox*>("cbRatio")->setChecked(false);
    EXPECT_TRUE(Edit("Ratio")->isEnabled());
    Edit("Ratio")->setText(" -2.5e1");
    form.findChild<QRadioButton*>("Inside")->setChecked(true);
    form.btnOKClick();

    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(model.record.CrankRadius, 1.5f);
    EXPECT_FLOAT_EQ(model.record.Angle, static_cast<float>(std::numbers::pi / 2));
    EXPECT_FLOAT_EQ(model.record.Ratio, -25.0f);
    EXPECT_EQ(model.record.AutoRatio, 0);
    EXPECT_EQ(model.record.Inside, 1);
    EXPECT_EQ(model.initialised, 1);
}

TEST_F(EditorFormTableTest, ASyntaxErrorOnAnotherPageBringsThatPageUp) {
    form.findChild<QCheckBox*>("cbRatio")->setChecked(false);
    Edit("Ratio")->setText("1,5");
    form.btnOKClick();
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(model.initialised, 0);
    EXPECT_FLOAT_EQ(model.record.Ratio, 0.0f);
    EXPECT_EQ(Edit("Ratio")->text(), "   0.000");
    EXPECT_EQ(form.findChild<QTabWidget*>("PageControl1")->currentWidget()->objectName(), "Extra");
}

} // namespace
} // namespace linkwright
