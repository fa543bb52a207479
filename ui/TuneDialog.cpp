// The tuner's dialog. The search runs on a thread of its own over the tuner's copy of the gear; the
// thread only hands its progress and its result over, the window does everything else.
#include "ui/TuneDialog.h"

#include "analysis/Comparison.h"
#include "app/Simulation.h"
#include "common/NumberFormat.h"
#include "tuning/EventsTable.h"
#include "ui/ComparisonViews.h"
#include "ui/ErrorGuard.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace linkwright {

namespace {

enum Column { VaryColumn, LabelColumn, ComponentColumn, TodayColumn, LowColumn, HighColumn, ColumnCount };

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

QString Number(double value, int digits = 7) {
    return QString::number(value, 'g', digits);
}

QTableWidgetItem* FixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

// The figures of a candidate: "ARx 14.2, PXx 3.1".
QString ValuesText(const std::vector<std::string>& components, const std::vector<double>& values) {
    QStringList parts;
    for (std::size_t i = 0; i < components.size() && i < values.size(); ++i)
        parts << Q(components[i]) + QLatin1Char(' ') + Number(values[i], 5);
    return parts.join(QStringLiteral(", "));
}

// What Apply types: "ARx 2.049358, PXx 0.3299521".
QString TypedText(const std::vector<TunedField>& typed) {
    QStringList parts;
    for (const TunedField& field : typed)
        parts << Q(field.component) + QLatin1Char(' ') + Q(field.text);
    return parts.join(QStringLiteral(", "));
}

} // namespace

TuneDialog::TuneDialog(Simulation& simulation, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), sim_(simulation), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TuneDialog"));
    setWindowTitle(QStringLiteral("Tune"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    BuildControls();
    FillControls();
    ShowRunning(false);
    resize(1160, 720);
}

TuneDialog::~TuneDialog() {
    StopAndWait();
}

void TuneDialog::BuildControls() {
    controls_ = new QTableWidget(0, ColumnCount, this);
    controls_->setObjectName(QStringLiteral("Controls"));
    controls_->setHorizontalHeaderLabels({QStringLiteral("Vary"), QStringLiteral("Control"),
                                          QStringLiteral("Name"), QStringLiteral("Today"),
                                          QStringLiteral("Low"), QStringLiteral("High")});
    controls_->verticalHeader()->setVisible(false);
    controls_->setSelectionMode(QAbstractItemView::NoSelection);
    controls_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    controls_->horizontalHeader()->setSectionResizeMode(LabelColumn, QHeaderView::Stretch);
    controls_->verticalHeader()->setDefaultSectionSize(controls_->fontMetrics().height() + 8);
    controls_->setToolTip(QStringLiteral("Tick the controls the search may vary; it keeps each between its "
                                         "Low and High, in the units the editor shows"));

    targets_ = new QListWidget(this);
    targets_->setObjectName(QStringLiteral("Targets"));
    targets_->setMinimumHeight(targets_->fontMetrics().height() * 4);
    targetText_ = new QLineEdit(this);
    targetText_->setObjectName(QStringLiteral("TargetText"));
    targetText_->setPlaceholderText(QStringLiteral("equal-cutoff@0.25,0.5  cutoff@1=75  max-travel=5"));
    targetText_->setToolTip(QStringLiteral(
        "NAME[@SETTINGS][=VALUE]: equal-cutoff, equal-lead, cutoff (=percent), max-travel (=length), "
        "min-opening (=length); SETTINGS are gear settings separated by commas, full gear when left out"));
    auto* add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("AddTarget"));
    auto* remove = new QPushButton(QStringLiteral("Remove"), this);
    remove->setObjectName(QStringLiteral("RemoveTarget"));
    auto* equalCutoff = new QPushButton(QStringLiteral("Equal cut-off at the shown setting"), this);
    equalCutoff->setObjectName(QStringLiteral("EqualCutoffShown"));
    auto* equalLead = new QPushButton(QStringLiteral("Equal lead in full gear"), this);
    equalLead->setObjectName(QStringLiteral("EqualLeadFull"));
    connect(add, &QPushButton::clicked, this, [this] {
        if (AddTarget(targetText_->text().toStdString())) targetText_->clear();
    });
    connect(targetText_, &QLineEdit::returnPressed, add, &QPushButton::click);
    connect(remove, &QPushButton::clicked, this, [this] { delete targets_->currentItem(); });
    connect(equalCutoff, &QPushButton::clicked, this,
            [this] { AddTarget("equal-cutoff@" + ShortestText(sim_.State.GearSetting)); });
    connect(equalLead, &QPushButton::clicked, this, [this] { AddTarget("equal-lead@1"); });

    direction_ = new QComboBox(this);
    direction_->setObjectName(QStringLiteral("Direction"));
    direction_->addItem(QStringLiteral("Forward"), static_cast<int>(TargetDirections::Forward));
    direction_->addItem(QStringLiteral("Backward"), static_cast<int>(TargetDirections::Backward));
    direction_->addItem(QStringLiteral("Both"), static_cast<int>(TargetDirections::Both));
    direction_->setCurrentIndex(sim_.State.fwd != 0 ? 0 : 1);
    direction_->setToolTip(QStringLiteral("The direction of running of the targets' settings"));
    maxEvaluations_ = new QSpinBox(this);
    maxEvaluations_->setObjectName(QStringLiteral("MaxEvaluations"));
    maxEvaluations_->setRange(1, 1000000);
    maxEvaluations_->setValue(TuningOptions{}.maxEvaluations);
    maxEvaluations_->setToolTip(QStringLiteral("The most designs the search solves"));
    seed_ = new QSpinBox(this);
    seed_->setObjectName(QStringLiteral("Seed"));
    seed_->setRange(0, 2147483647);
    seed_->setValue(static_cast<int>(TuningOptions{}.seed));
    seed_->setToolTip(QStringLiteral("Where the search's further starts are drawn from"));

    run_ = new QPushButton(QStringLiteral("Run"), this);
    run_->setObjectName(QStringLiteral("Run"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelRun"));
    apply_ = new QPushButton(QStringLiteral("Apply"), this);
    apply_->setObjectName(QStringLiteral("Apply"));
    apply_->setToolTip(QStringLiteral("Type the values found into the gear's editor and press its OK"));
    close_ = new QPushButton(QStringLiteral("Close"), this);
    close_->setObjectName(QStringLiteral("Close"));
    // Enter in the target's box adds the target; no button of the window is pressed by it.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(run_, &QPushButton::clicked, this, [this] { RunClick(); });
    connect(cancel_, &QPushButton::clicked, this, &TuneDialog::CancelClick);
    connect(apply_, &QPushButton::clicked, this, &TuneDialog::ApplyClick);
    connect(close_, &QPushButton::clicked, this, &TuneDialog::close);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setRange(0, maxEvaluations_->value());
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%v of %m evaluations"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    // One line, however many controls are varied: the whole text is its tip.
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    summary_ = new QLabel(
        QStringLiteral("Run the search to see the events before and after it, side by side."), this);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    events_ = new QTableWidget(this);
    events_->setObjectName(QStringLiteral("Events"));
    oval_ = new DrawingView(this);
    oval_->setObjectName(QStringLiteral("OvalPicture"));
    oval_->SetPlaceholder(QStringLiteral("The oval diagrams before and after, overlaid at the first target's "
                                         "first setting"));

    // The problem on the left, how the search goes on the right, what it found below.
    auto* targetsBox = new QGroupBox(QStringLiteral("Targets"), this);
    auto* targetsGrid = new QGridLayout(targetsBox);
    targetsGrid->addWidget(targets_, 0, 0, 1, 3);
    targetsGrid->addWidget(targetText_, 1, 0);
    targetsGrid->addWidget(add, 1, 1);
    targetsGrid->addWidget(remove, 1, 2);
    auto* presets = new QHBoxLayout;
    presets->addWidget(equalCutoff);
    presets->addWidget(equalLead);
    presets->addStretch();
    targetsGrid->addLayout(presets, 2, 0, 1, 3);

    auto* searchBox = new QGroupBox(QStringLiteral("Search"), this);
    auto* searchForm = new QFormLayout(searchBox);
    searchForm->addRow(QStringLiteral("Direction"), direction_);
    searchForm->addRow(QStringLiteral("Max evaluations"), maxEvaluations_);
    searchForm->addRow(QStringLiteral("Seed"), seed_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    buttons->addWidget(apply_);
    buttons->addStretch();
    buttons->addWidget(close_);
    searchForm->addRow(buttons);
    searchForm->addRow(progress_);
    searchForm->addRow(status_);

    auto* right = new QVBoxLayout;
    right->addWidget(targetsBox, 1);
    right->addWidget(searchBox);
    auto* top = new QWidget(this);
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(0, 0, 0, 0);
    topRow->addWidget(controls_, 3);
    topRow->addLayout(right, 2);

    auto* bottom = new QGroupBox(QStringLiteral("Result"), this);
    auto* results = new QGridLayout(bottom);
    results->addWidget(summary_, 0, 0, 1, 2);
    results->addWidget(events_, 1, 0);
    results->addWidget(oval_, 1, 1);
    results->setColumnStretch(0, 1);
    results->setColumnStretch(1, 1);
    results->setRowStretch(1, 1);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(top);
    split->addWidget(bottom);
    split->setChildrenCollapsible(false);
    // The pictures get the room: the controls and the targets scroll.
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setSizes({370, 430});
    // A screen too small for the whole window makes its contents scroll.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(split);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);

    setup_ = {controls_, targets_,   targetText_,     add,  remove, equalCutoff,
              equalLead, direction_, maxEvaluations_, seed_};
}

void TuneDialog::FillControls() {
    // What the editor shows today, and which of its edits a search may vary.
    EditorSession session(sim_.CurrentModel(), sim_.State, dialogs_);
    const EditorTable& table = session.Table();
    const std::vector<ControlValue> values = session.Fill();
    const std::vector<std::size_t> tunable = TunableFields(table, values, session.Enabled(values));

    // A second filling (after Apply) keeps the user's ticks and bounds.
    std::vector<std::pair<std::string, std::array<QString, 3>>> kept;
    for (int row = 0; row < controls_->rowCount(); ++row)
        kept.push_back(
            {controls_->item(row, ComponentColumn)->text().toStdString(),
             {controls_->item(row, VaryColumn)->checkState() == Qt::Checked ? QStringLiteral("1") : QString(),
              controls_->item(row, LowColumn)->text(), controls_->item(row, HighColumn)->text()}});

    controls_->setRowCount(static_cast<int>(tunable.size()));
    for (std::size_t row = 0; row < tunable.size(); ++row) {
        const EditorField& field = table.fields[tunable[row]];
        const std::string today = Trimmed(values[tunable[row]].text);
        const VariedControl bounds = DefaultBounds(field.component, ParseReal(today).value_or(0.0));
        auto* vary = new QTableWidgetItem;
        vary->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        vary->setCheckState(Qt::Unchecked);
        auto* label = FixedItem(Q(field.label));
        label->setToolTip(Q(field.hint));
        const int r = static_cast<int>(row);
        controls_->setItem(r, VaryColumn, vary);
        controls_->setItem(r, LabelColumn, label);
        controls_->setItem(r, ComponentColumn, FixedItem(Q(field.component)));
        controls_->setItem(r, TodayColumn, FixedItem(Q(today)));
        controls_->setItem(r, LowColumn, new QTableWidgetItem(Number(bounds.low)));
        controls_->setItem(r, HighColumn, new QTableWidgetItem(Number(bounds.high)));
        for (const auto& [component, was] : kept)
            if (component == field.component) {
                vary->setCheckState(was[0].isEmpty() ? Qt::Unchecked : Qt::Checked);
                controls_->item(r, LowColumn)->setText(was[1]);
                controls_->item(r, HighColumn)->setText(was[2]);
            }
    }
    controls_->resizeColumnToContents(VaryColumn);
    controls_->resizeColumnToContents(ComponentColumn);
    controls_->resizeColumnToContents(TodayColumn);
}

bool TuneDialog::SetVaried(const std::string& component, bool vary) {
    for (int row = 0; row < controls_->rowCount(); ++row)
        if (controls_->item(row, ComponentColumn)->text().toStdString() == component) {
            controls_->item(row, VaryColumn)->setCheckState(vary ? Qt::Checked : Qt::Unchecked);
            return true;
        }
    return false;
}

bool TuneDialog::AddTarget(const std::string& text) {
    const std::string target = Trimmed(text);
    if (target.empty()) return false;
    try {
        ParseTarget(target, Directions());
    } catch (const std::invalid_argument& error) {
        ReportError(dialogs_, ErrorText(error));
        return false;
    }
    targets_->addItem(Q(target));
    targets_->setCurrentRow(targets_->count() - 1);
    return true;
}

TargetDirections TuneDialog::Directions() const {
    return static_cast<TargetDirections>(direction_->currentData().toInt());
}

TuningProblem TuneDialog::Problem() const {
    TuningProblem problem;
    for (int row = 0; row < controls_->rowCount(); ++row) {
        if (controls_->item(row, VaryColumn)->checkState() != Qt::Checked) continue;
        const std::string component = controls_->item(row, ComponentColumn)->text().toStdString();
        const std::optional<double> low =
            ParseReal(Trimmed(controls_->item(row, LowColumn)->text().toStdString()));
        const std::optional<double> high =
            ParseReal(Trimmed(controls_->item(row, HighColumn)->text().toStdString()));
        if (!low || !high) throw std::invalid_argument("The bounds of " + component + " must be numbers");
        problem.vary.push_back({component, *low, *high});
    }
    // The targets are read with the direction chosen now, whatever it was when they were added.
    for (int i = 0; i < targets_->count(); ++i)
        problem.targets.push_back(ParseTarget(targets_->item(i)->text().toStdString(), Directions()));
    return problem;
}

bool TuneDialog::RunClick() {
    if (Running()) return false;
    return RunGuarded(dialogs_, [&] {
        TuningProblem problem = Problem();
        if (problem.vary.empty()) throw std::invalid_argument("Tick at least one control to vary");
        if (problem.targets.empty()) throw std::invalid_argument("Add at least one target");
        // The tuner copies the gear here, on this thread; the shown gear is never touched.
        tuner_ = std::make_unique<Tuner>(sim_.CurrentModel(), sim_.State, std::move(problem));
        varied_.clear();
        for (const VariedControl& control : tuner_->Problem().vary)
            varied_.push_back(control.component);

        TuningOptions options;
        options.maxEvaluations = maxEvaluations_->value();
        options.seed = static_cast<std::uint32_t>(seed_->value());
        options.cancel = &cancelled_;
        options.progress = [this](const TuningProgress& progress) {
            {
                const std::lock_guard lock(handover_);
                latest_ = progress;
            }
            // One update waits in the window's queue at a time, however fast the search goes.
            if (!progressPosted_.exchange(true))
                QMetaObject::invokeMethod(
                    this, [this] { ShowProgress(); }, Qt::QueuedConnection);
        };
        cancelled_ = false;
        progressPosted_ = false;
        {
            const std::lock_guard lock(handover_);
            latest_ = TuningProgress{};
            latest_.maxEvaluations = options.maxEvaluations;
            finished_.reset();
            failure_.clear();
        }
        progress_->setRange(0, options.maxEvaluations);
        progress_->setValue(0);
        ShowStatus(QStringLiteral("Searching\u2026"));
        ShowRunning(true);
        worker_ = std::thread([this, options] {
            try {
                TuningResult result = tuner_->Run(options);
                const std::lock_guard lock(handover_);
                finished_ = std::move(result);
            } catch (const std::exception& error) {
                const std::lock_guard lock(handover_);
                failure_ = ErrorText(error);
            } catch (...) {
                const std::lock_guard lock(handover_);
                failure_ = "The search failed with an unknown error.";
            }
            QMetaObject::invokeMethod(
                this, [this] { SearchEnded(); }, Qt::QueuedConnection);
        });
    });
}

void TuneDialog::ShowStatus(const QString& text) {
    status_->setToolTip(text);
    status_->setText(status_->fontMetrics().elidedText(text, Qt::ElideRight, std::max(40, status_->width())));
}

void TuneDialog::CancelClick() {
    if (!Running()) return;
    cancelled_ = true;
    ShowStatus(QStringLiteral("Stopping\u2026"));
}

void TuneDialog::ShowRunning(bool running) {
    for (QWidget* widget : setup_)
        widget->setEnabled(!running);
    run_->setEnabled(!running);
    cancel_->setEnabled(running);
    apply_->setEnabled(!running && result_ && !result_->typed.empty());
}

void TuneDialog::ShowProgress() {
    progressPosted_ = false;
    TuningProgress progress;
    {
        const std::lock_guard lock(handover_);
        progress = latest_;
    }
    if (!Running()) return;
    // The search counts against what is left after the start's evaluation.
    progress_->setMaximum(std::max(1, progress.maxEvaluations));
    progress_->setValue(std::min(progress.evaluations, progress_->maximum()));
    if (cancelled_) return;
    if (progress.best.empty()) return;
    ShowStatus(QStringLiteral("Best so far: objective %1%2 \u2014 %3")
                   .arg(Number(progress.bestObjective, 4))
                   .arg(progress.feasible ? QString() : QStringLiteral(" (none feasible yet)"))
                   .arg(ValuesText(varied_, progress.best)));
}

void TuneDialog::SearchEnded() {
    if (!Running()) return;
    worker_.join();
    std::string failure;
    {
        const std::lock_guard lock(handover_);
        failure = failure_;
        if (finished_) result_ = std::move(finished_);
        finished_.reset();
    }
    if (failure.empty()) {
        RunGuarded(dialogs_, [&] { ShowResult(); });
    } else {
        ShowStatus(Q(failure));
        ReportError(dialogs_, failure);
    }
    ShowRunning(false);
    emit Finished();
}

void TuneDialog::ShowResult() {
    if (!result_) return;
    const TuningResult& result = *result_;
    progress_->setMaximum(maxEvaluations_->value());
    progress_->setValue(std::min(result.evaluations, progress_->maximum()));
    ShowStatus(QStringLiteral("Finished: %1").arg(QString::fromUtf8(TuningStopText(result.stop))));

    // The shortfalls are percent of the stroke for the cut-offs, lengths for the others.
    const auto isCutoff = [](const TuningTarget& target) {
        return target.kind == TargetKind::EqualCutoff || target.kind == TargetKind::Cutoff;
    };
    const std::vector<TuningTarget>& targets = tuner_->Problem().targets;
    const QString unit =
        std::all_of(targets.begin(), targets.end(), isCutoff)    ? QStringLiteral(" % of the stroke")
        : std::none_of(targets.begin(), targets.end(), isCutoff) ? QStringLiteral(" (length)")
                                                                 : QString();
    QString line = QStringLiteral("%1 evaluations; %2; largest shortfall %3 \u2192 %4%5")
                       .arg(result.evaluations)
                       .arg(QString::fromUtf8(TuningStopText(result.stop)))
                       .arg(QString::number(result.before.largestShortfall, 'g', 4))
                       .arg(QString::number(result.after.largestShortfall, 'g', 4))
                       .arg(unit);
    if (!result.after.feasible && !result.after.problem.empty())
        line += QStringLiteral(" (") + Q(result.after.problem) + QLatin1Char(')');
    line += QStringLiteral(".\nFound: ") + TypedText(result.typed);
    summary_->setText(line);

    const std::vector<std::string> names = {"Before", "After"};
    ShowEventsTable(*events_, CompareEvents(names, {result.before.events, result.after.events}), names,
                    TableLayout::Turned);

    // The oval diagrams of both at the first target's first point, each solved on a design of
    // its own: before as the gear is shown, after with the found values typed into its editor.
    const OperatingPoint point = tuner_->Problem().targets.front().points.front();
    GearDesign before(sim_.CurrentModel(), sim_.State);
    before_ = before.Solve(point);
    GearDesign after(sim_.CurrentModel(), sim_.State);
    std::vector<ControlValue> values = after.EditorValues();
    TypeTuned(after.Model().Editor(), values, result.typed);
    if (!after.Ok(values).empty()) throw std::runtime_error("The editor refuses the values found");
    after_ = after.Solve(point);
    const QString caption = QStringLiteral("Oval diagrams at %1 %2")
                                .arg(Q(ShortestText(point.setting)))
                                .arg(point.forward ? QStringLiteral("forward") : QStringLiteral("backward"));
    oval_->setToolTip(caption);
    oval_->SetDrawing([this](Glib1& plot, int width, int height) {
        const OvalDesign designs[] = {
            {"Before", before_.steps.StepPistonPct, before_.steps.StepValvePos, before_.record,
             before_.Nsteps, FirstDesignColour},
            {"After", after_.steps.StepPistonPct, after_.steps.StepValvePos, after_.record, after_.Nsteps,
             SecondDesignColour},
        };
        DrawOvalComparison(plot, width, height, designs);
        return true;
    });
}

void TuneDialog::ApplyClick() {
    if (Running() || !result_ || result_->typed.empty()) return;
    RunGuarded(dialogs_, [&] {
        // A syntax error has been shown by the editor's OK, and the gear is as it was.
        if (!sim_.ApplyTyped(result_->typed)) return;
        apply_->setEnabled(false);
        FillControls();
        ShowStatus(QStringLiteral("Applied: %1").arg(TypedText(result_->typed)));
        emit Applied();
    });
}

void TuneDialog::StopAndWait() {
    if (!worker_.joinable()) return;
    cancelled_ = true;
    worker_.join();
    // The result the thread posted is not wanted any more; SearchEnded finds nothing to join.
}

void TuneDialog::closeEvent(QCloseEvent* event) {
    // A search still running is stopped, and the window waits for its thread, before it goes.
    if (Running()) {
        StopAndWait();
        ShowRunning(false);
        ShowStatus(QStringLiteral("Stopped"));
    }
    QDialog::closeEvent(event);
}

void TuneDialog::reject() {
    if (Running()) {
        StopAndWait();
        ShowRunning(false);
        ShowStatus(QStringLiteral("Stopped"));
    }
    QDialog::reject();
}

} // namespace linkwright
