// The comparison of two designs: every figure and picture comes from the two designs' own solves,
// so the shown gear may change meanwhile without changing what the window compares.
#include "ui/CompareWindow.h"

#include "analysis/Comparison.h"
#include "common/NumberFormat.h"
#include "gears/EditorFields.h"
#include "tuning/EventsTable.h"
#include "ui/ComparisonViews.h"
#include "ui/ErrorGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace linkwright {

namespace {

constexpr const char* DefaultSettings = "1,0.5,0.25";

// "1, 0.5,0.25": gear settings from -1 to 1 separated by commas.
std::vector<float> ParseSettings(const std::string& text) {
    std::vector<float> settings;
    std::string bad;
    bool parsed = ParseGearSettings(text, settings, bad);
    for (const float setting : settings)
        if (parsed && std::fabs(setting) > 1.0f) {
            bad = ShortestText(setting);
            parsed = false;
        }
    if (!parsed)
        throw std::invalid_argument("\"" + bad +
                                    "\" is not a gear setting: type settings from -1 to 1 "
                                    "separated by commas, such as " +
                                    DefaultSettings);
    return settings;
}

} // namespace

CompareWindow::CompareWindow(std::array<std::unique_ptr<GearDesign>, 2> designs,
                             std::array<std::string, 2> names, bool forward, Dialogs& dialogs,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), designs_(std::move(designs)), names_(std::move(names)), dialogs_(dialogs) {
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(QStringLiteral("Compare %1 with %2")
                       .arg(QString::fromStdString(names_[0]), QString::fromStdString(names_[1])));
    setAttribute(Qt::WA_QuitOnClose, false);

    settings_ = new QLineEdit(QString::fromUtf8(DefaultSettings), this);
    settings_->setObjectName(QStringLiteral("Settings"));
    settings_->setToolTip(QStringLiteral("The gear settings the table compares, from -1 to 1, separated by "
                                         "commas; press Enter to compare"));
    forward_ = new QCheckBox(QStringLiteral("Forward"), this);
    forward_->setObjectName(QStringLiteral("Forward"));
    forward_->setChecked(forward);
    forward_->setToolTip(QStringLiteral("The direction of running of every comparison"));
    ovalSetting_ = new QComboBox(this);
    ovalSetting_->setObjectName(QStringLiteral("OvalSetting"));
    ovalSetting_->setToolTip(QStringLiteral("The setting the oval diagrams are drawn at, and whose sign the "
                                            "events diagrams' family takes"));
    events_ = new QTableWidget(this);
    events_->setObjectName(QStringLiteral("Events"));
    oval_ = new DrawingView(this);
    oval_->setObjectName(QStringLiteral("OvalPicture"));
    family_ = new DrawingView(this);
    family_->setObjectName(QStringLiteral("EventsPicture"));

    auto* settingsLabel = new QLabel(QStringLiteral("&Settings"), this);
    settingsLabel->setBuddy(settings_);
    auto* ovalLabel = new QLabel(QStringLiteral("&Oval diagrams at"), this);
    ovalLabel->setBuddy(ovalSetting_);
    auto* top = new QHBoxLayout;
    top->addWidget(settingsLabel);
    top->addWidget(settings_, 1);
    top->addWidget(forward_);
    top->addSpacing(16);
    top->addWidget(ovalLabel);
    top->addWidget(ovalSetting_);
    top->addStretch(1);

    auto* pictures = new QSplitter(Qt::Horizontal, this);
    pictures->addWidget(oval_);
    pictures->addWidget(family_);
    pictures->setChildrenCollapsible(false);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(events_);
    split->addWidget(pictures);
    split->setChildrenCollapsible(false);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(settings_, &QLineEdit::editingFinished, this, [this] {
        if (settings_->isModified()) {
            settings_->setModified(false);
            SettingsChanged();
        }
    });
    connect(forward_, &QCheckBox::toggled, this, [this] { SettingsChanged(); });
    connect(ovalSetting_, &QComboBox::currentIndexChanged, this, [this] { OvalSettingChanged(); });

    oval_->SetDrawing([this](Glib1& plot, int width, int height) {
        if (solved_[0].Nsteps == 0) return false;
        std::vector<OvalDesign> designs;
        for (std::size_t d = 0; d < 2; ++d)
            designs.push_back({names_[d], solved_[d].steps.StepPistonPct, solved_[d].steps.StepValvePos,
                               solved_[d].record, solved_[d].Nsteps,
                               d == 0 ? FirstDesignColour : SecondDesignColour});
        DrawOvalComparison(plot, width, height, designs);
        return true;
    });
    family_->SetDrawing([this](Glib1& plot, int width, int height) {
        if (families_[0].members.empty()) return false;
        std::vector<EventsDesign> designs;
        for (std::size_t d = 0; d < 2; ++d)
            designs.push_back({names_[d], families_[d].piston, &families_[d].blocks, families_[d].state,
                               d == 0 ? FirstDesignColour : SecondDesignColour});
        DrawEventsComparison(plot, width, height, designs);
        return true;
    });

    SettingsChanged();
    resize(1100, 700);
}

CompareWindow::~CompareWindow() = default;

bool CompareWindow::SettingsChanged() {
    return RunGuarded(dialogs_, [&] {
        const std::vector<float> settings = ParseSettings(settings_->text().toStdString());
        const bool forward = forward_->isChecked();
        std::array<std::vector<PointEvents>, 2> events;
        for (std::size_t d = 0; d < 2; ++d)
            for (const float setting : settings)
                events[d].push_back(designs_[d]->Solve({setting, forward}).events);
        const std::vector<std::string> names(names_.begin(), names_.end());
        ShowEventsTable(*events_, CompareEvents(names, {events[0], events[1]}), names);

        // The oval diagrams stay at the setting they showed when it is still in the list.
        const QString chosen = ovalSetting_->currentText();
        shown_ = settings;
        {
            const QSignalBlocker quiet(ovalSetting_);
            ovalSetting_->clear();
            for (const float setting : settings)
                ovalSetting_->addItem(QString::fromStdString(ShortestText(setting)));
            const int again = ovalSetting_->findText(chosen);
            ovalSetting_->setCurrentIndex(again >= 0 ? again : 0);
        }
        SolveOval();
    });
}

void CompareWindow::OvalSettingChanged() {
    RunGuarded(dialogs_, [&] { SolveOval(); });
}

void CompareWindow::SolveOval() {
    const int index = ovalSetting_->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= shown_.size()) return;
    const float setting = shown_[static_cast<std::size_t>(index)];
    const bool forward = forward_->isChecked();
    for (std::size_t d = 0; d < 2; ++d) {
        solved_[d] = designs_[d]->Solve({setting, forward});
        families_[d] = designs_[d]->Family(setting, forward);
    }
    oval_->Redraw();
    family_->Redraw();
}

} // namespace linkwright
