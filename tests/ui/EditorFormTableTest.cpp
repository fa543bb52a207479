// The editor form is generic: any kind's table becomes a working form. A small table of its own
// exercises what the Walschaerts 1 table does not: doubled and degree fields on a page without
// groups, a check box computing an edit that is not beside it, a tab missing from the page list.
#include "gears/EditorFields.h"
#include "gears/GearModel.h"
#include "state/SimulationState.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ScriptedDialogs.h"
#include "ui/EditorForm.h"
#include "windows/MessagesFile.h"

#include <QCheckBox>
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
    std::uint8_t AutoRatio = 1;
    std::uint8_t Inside = 0;
};
#pragma pack(pop)

class SmallModel : public GearModel {
public:
    explicit SmallModel(GearEnvironment environment) : GearModel(environment) {
        table_.caption = "Edit Small";
        table_.tabs = {"Geometry"};
        table_.firstTab = "Geometry";
        auto edit = [](std::string tab, std::string component, FieldConversion conversion, float* address) {
            EditorField field;
            field.tab = std::move(tab);
            field.component = component;
            field.label = component;
            field.conversion = conversion;
            field.storage = FieldRef::Float(address);
            return field;
        };
        table_.fields.push_back(
            edit("Geometry", "PistStroke", FieldConversion::Doubled, &record.CrankRadius));
        table_.fields.push_back(edit("Geometry", "Angle", FieldConversion::DegreesOver180, &record.Angle));
        EditorField box;
        box.tab = "Geometry";
        box.component = "cbRatio";
        box.label = "Auto";
        box.control = ControlKind::CheckBox;
        box.format = FieldFormat::None;
        box.conversion = FieldConversion::CheckBox;
        box.storage = FieldRef::Flag(&record.AutoRatio);
        box.disables = {"Ratio"};
        table_.fields.push_back(box);
        table_.fields.push_back(edit("Extra", "Ratio", FieldConversion::Plain, &record.Ratio));
        EditorField pair;
        pair.tab = "Extra";
        pair.component = "Admission";
        pair.label = "Steam Admission";
        pair.control = ControlKind::RadioPair;
        pair.format = FieldFormat::None;
        pair.conversion = FieldConversion::RadioPair;
        pair.storage = FieldRef::Flag(&record.Inside);
        pair.choices = {RadioChoice{"Inside", "Inside", ""}, RadioChoice{"Outside", "Outside", ""}};
        table_.fields.push_back(pair);
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
    float PistonPct() const override { return 0; }

    SmallRecord record;
    int initialised = 0;

private:
    EditorTable table_;
};

class EditorFormTableTest : public ::testing::Test {
protected:
    EditorFormTableTest()
        : messages(scratch / "Messages.txt"), model(GearEnvironment{state, messages, dialogs}),
          session(model, state, dialogs), form(QStringLiteral("EdSmall"), session, dialogs, printer) {
        state.Decimals = 3;
        form.show();
    }
    QLineEdit* Edit(const char* name) { return form.findChild<QLineEdit*>(name); }

    testing::ScratchDir scratch;
    testing::ScriptedDialogs dialogs;
    SimulationState state{};
    MessagesFile messages;
    SmallModel model;
    EditorSession session;
    QPrinter printer;
    EditorForm form;
};

TEST_F(EditorFormTableTest, BuildsEveryPageTheFieldsName) {
    EXPECT_EQ(form.windowTitle(), "Edit Small");
    auto* pages = form.findChild<QTabWidget*>("PageControl1");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(1), "Extra");
    // Print goes on the last page when there is no "Other" page.
    ASSERT_NE(form.findChild<QPushButton*>("Print1"), nullptr);
    EXPECT_EQ(form.findChild<QPushButton*>("Print1")->parentWidget()->objectName(), "Extra");
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
