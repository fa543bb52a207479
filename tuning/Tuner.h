// The tuner: dimensions of a gear, typed into its editor within bounds, searched by NLopt for a
// design whose valve events meet the targets set (equal cut-off or lead front and back, a given
// cut-off, a valve travel no larger or port openings no smaller than a bound) at one or more
// operating points. Every candidate is evaluated as the program would: its fields typed into the
// editor and OK pressed, the revolution solved, the events found by the listings' own code.
#pragma once

#include "tuning/GearDesign.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace linkwright {

enum class TargetKind : std::uint8_t {
    EqualCutoff, // "equal-cutoff": front and back cut off at the same percent of the stroke
    EqualLead,   // "equal-lead": the same opening to steam at both dead centres
    Cutoff,      // "cutoff": both ends cut off at `value` percent of the stroke
    MaxTravel,   // "max-travel": a valve travel no larger than `value`
    MinOpening,  // "min-opening": both ports open to steam by at least `value`
};

struct TuningTarget {
    TargetKind kind = TargetKind::EqualCutoff;
    std::vector<OperatingPoint> points;
    double value = 0;
};

// Which directions of running a target written without one is meant for.
enum class TargetDirections : std::uint8_t { Forward, Backward, Both };

// A target as written on the command line and shown in the dialog: NAME[@SETTINGS][=VALUE], where
// SETTINGS is a list of gear settings separated by commas (full gear, 1, when left out) and VALUE
// is required by cutoff, max-travel and min-opening: "equal-cutoff@0.25,0.5,1", "equal-lead@1",
// "cutoff@1=80", "max-travel=0.9", "min-opening@0.25=0.1". Throws std::invalid_argument with the
// reason for a text not of that form.
TuningTarget ParseTarget(std::string_view text, TargetDirections directions = TargetDirections::Forward);
// The target's name and, for each point, "setting" or "setting backward": for the reports.
const char* TargetName(TargetKind kind);
std::string TargetText(const TuningTarget& target);

// A control the search varies: an editor edit of a real, between two bounds in the units the
// editor shows it (degrees for an angle, the stroke for a crank radius).
struct VariedControl {
    std::string component;
    double low = 0;
    double high = 0;
};

// The edits of `table` a tuner can vary: those of a real number on the Geometry and Valving pages
// (not the clearance, which moves no valve event) that the check boxes as `values` hold them leave
// enabled.
std::vector<std::size_t> TunableFields(const EditorTable& table, const std::vector<ControlValue>& values,
                                       const std::vector<bool>& enabled);
// The bounds of a control by default: 10 % either side of the value it shows, or 0.1 either side of 0.
VariedControl DefaultBounds(std::string component, double shown);
// "NAME" or "NAME:LOW:HIGH" (--vary); `shown` is the value the control shows today.
VariedControl ParseVaried(std::string_view text, const EditorTable& table,
                          const std::vector<ControlValue>& values);

struct TuningProblem {
    std::vector<VariedControl> vary;
    std::vector<TuningTarget> targets;
};

// What a target reads at one of its points: the figures it compares (front and rear, or the one
// figure as `front`), and how far the design is from meeting it in its own unit (percent of the
// stroke for the cut-offs, the gear's length unit for lead, travel and openings); 0 when met.
struct TargetReading {
    std::size_t target = 0;
    OperatingPoint point;
    double front = 0;
    double rear = 0;
    double shortfall = 0;
};

struct Evaluation {
    bool feasible = false;
    std::string problem;  // why not, when not
    double objective = 0; // the sum of the squared shortfalls, scaled; 0 when every target is met
    std::vector<TargetReading> readings;
    std::vector<PointEvents> events; // at every point the targets name, in the order first named
    double largestShortfall = 0;
};

struct TuningProgress {
    int evaluations = 0;
    int maxEvaluations = 0;
    bool feasible = false;    // a feasible design has been found
    double bestObjective = 0; // of the best so far
    std::vector<double> best; // the best so far, one value per varied control
};

struct TuningOptions {
    int maxEvaluations = 2000;
    double maxSeconds = 60;
    std::uint32_t seed = 1;
    // Set from another thread to stop the search; it stops before the next evaluation.
    const std::atomic<bool>* cancel = nullptr;
    // Called after each evaluation that found a better design, and every so often otherwise, on the
    // thread that runs the search.
    std::function<void(const TuningProgress&)> progress;
};

enum class TuningStop : std::uint8_t { Met, Converged, Evaluations, Time, Cancelled };
const char* TuningStopText(TuningStop stop);

// A control's new text, as typed into the editor.
struct TunedField {
    std::string component;
    std::string text;
};

struct TuningResult {
    std::vector<double> start; // the values the controls showed
    std::vector<double> best;
    std::vector<TunedField> typed; // what to type into the editor for the best design
    Evaluation before;
    Evaluation after;
    int evaluations = 0;
    TuningStop stop = TuningStop::Converged;
};

class Tuner {
public:
    // A tuner of a copy of `model`'s gear with the state's solution steps. Throws
    // std::invalid_argument for a problem without a target or a control, a control the editor
    // does not have or cannot vary, bounds that are not finite or low above high, or a start the
    // editor refuses.
    Tuner(GearModel& model, const SimulationState& state, TuningProblem problem);

    const TuningProblem& Problem() const { return problem_; }
    const EditorTable& Table() { return design_.Model().Editor(); }
    // The texts typed for a candidate, and its evaluation; the design always starts from the gear
    // the tuner was given.
    std::vector<TunedField> Typed(std::span<const double> x) const;
    Evaluation Evaluate(std::span<const double> x);
    // The search: several starts of NLopt's BOBYQA within the bounds, the first at today's values,
    // the others drawn from the seed, until the targets are met, the evaluations or the time are
    // spent, or a cancel is asked for. The best is the best feasible design found, else the start.
    TuningResult Run(const TuningOptions& options);

private:
    GearDesign design_;
    TuningProblem problem_;
    std::vector<std::uint8_t> startRecord_;
    SimulationState startState_{};
    float startWheelLift_ = 0;
    float startWheelDisp_ = 0;
    float startSlack_ = 0;
    std::uint8_t startAutoSetting_ = 0;
    std::vector<ControlValue> startValues_;
    std::vector<std::size_t> varied_; // table index of each varied control
    std::vector<double> start_;
    std::vector<OperatingPoint> points_;
    double lengthScale_ = 1;
};

// Types the tuned texts into the editor's controls (as the form holds them, `values`).
void TypeTuned(const EditorTable& table, std::vector<ControlValue>& values,
               const std::vector<TunedField>& typed);

} // namespace linkwright
