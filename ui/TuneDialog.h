// View > Tune: the controls of the shown gear to vary and their bounds, the targets, the search run
// on a thread of its own while the window stays usable, and what it found: the events before and
// after, the oval diagrams of both, and Apply, which types the found values into the editor.
#pragma once

#include "tuning/GearDesign.h"
#include "tuning/Tuner.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QComboBox;
class QString;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace linkwright {

class Dialogs;
class DrawingView;
class Simulation;

class TuneDialog : public QDialog {
    Q_OBJECT
public:
    // The controls and their values are the shown gear's as they are now; messages go to `dialogs`.
    TuneDialog(Simulation& simulation, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TuneDialog() override;

    // Run: the problem as the dialog sets it, the search started on its own thread. False, with
    // the reason shown, when the problem cannot be searched.
    bool RunClick();
    // Asks the running search to stop; it stops before its next evaluation.
    void CancelClick();
    // Types the found values into the shown gear's editor and presses its OK.
    void ApplyClick();

    bool Running() const { return worker_.joinable(); }
    // What the last finished search found.
    const std::optional<TuningResult>& Result() const { return result_; }

    // The vary check box and bounds of a control (by component name) and the target list, as the
    // user sets them.
    bool SetVaried(const std::string& component, bool vary);
    // Adds a target text; refused, with the parser's reason shown, when it does not parse.
    bool AddTarget(const std::string& text);

signals:
    // The search has ended (met, converged, spent, stopped or failed).
    void Finished();
    // Apply has changed the shown gear.
    void Applied();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void FillControls();
    void ShowRunning(bool running);
    void ShowProgress();
    void ShowStatus(const QString& text);
    void SearchEnded();
    void ShowResult();
    void StopAndWait();
    TargetDirections Directions() const;
    TuningProblem Problem() const;

    Simulation& sim_;
    Dialogs& dialogs_;

    QTableWidget* controls_ = nullptr;
    QListWidget* targets_ = nullptr;
    QLineEdit* targetText_ = nullptr;
    QComboBox* direction_ = nullptr;
    QSpinBox* maxEvaluations_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* close_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* summary_ = nullptr;
    QTableWidget* events_ = nullptr;
    DrawingView* oval_ = nullptr;
    std::vector<QWidget*> setup_; // what may not change while the search runs

    // The search and what the thread running it hands over.
    std::unique_ptr<Tuner> tuner_;
    std::thread worker_;
    std::atomic<bool> cancelled_{false};
    std::mutex handover_;
    TuningProgress latest_;                // guarded by handover_
    std::optional<TuningResult> finished_; // guarded by handover_
    std::string failure_;                  // guarded by handover_
    std::atomic<bool> progressPosted_{false};

    std::optional<TuningResult> result_;
    std::vector<std::string> varied_; // the components of the last run, in its order
    // The first target point solved before and after, for the oval diagrams.
    SolvedRevolution before_;
    SolvedRevolution after_;
};

} // namespace linkwright
