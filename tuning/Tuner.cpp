// The tuner's targets, controls and search. NLopt's BOBYQA (COBYLA for a single control) searches
// the controls scaled to 0 .. 1 between their bounds, from today's values first and then from
// starts drawn from the seed, and the best feasible design of all evaluations is the answer.
#include "tuning/Tuner.h"

#include "common/NumberFormat.h"
#include "gears/GearKinds.h"

#include <nlopt.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>

namespace linkwright {

namespace {

struct TargetSpelling {
    TargetKind kind;
    const char* name;
    bool takesValue;
};
constexpr TargetSpelling TargetSpellings[] = {
    {TargetKind::EqualCutoff, "equal-cutoff", false},
    {TargetKind::EqualLead, "equal-lead", false},
    {TargetKind::Cutoff, "cutoff", true},
    {TargetKind::MaxTravel, "max-travel", true},
    {TargetKind::MinOpening, "min-opening", true},
};

const TargetSpelling& SpellingOf(TargetKind kind) {
    for (const TargetSpelling& spelling : TargetSpellings)
        if (spelling.kind == kind) return spelling;
    return TargetSpellings[0];
}

double ParseNumber(std::string_view text, std::string_view what, std::string_view target) {
    const std::optional<double> number = ParseReal(text);
    if (!number || text.empty())
        throw std::invalid_argument("The target \"" + std::string(target) + "\" has \"" + std::string(text) +
                                    "\" where " + std::string(what) + " should be a number");
    return *number;
}

} // namespace

const char* TargetName(TargetKind kind) {
    return SpellingOf(kind).name;
}

TuningTarget ParseTarget(std::string_view text, TargetDirections directions) {
    const std::size_t equals = text.find('=');
    const std::string_view head = text.substr(0, equals);
    const std::size_t at = head.find('@');
    const std::string_view name = head.substr(0, at);
    const TargetSpelling* spelling = nullptr;
    for (const TargetSpelling& candidate : TargetSpellings)
        if (name == candidate.name) spelling = &candidate;
    if (spelling == nullptr)
        throw std::invalid_argument("Unknown target \"" + std::string(text) +
                                    "\": the targets are equal-cutoff, equal-lead, cutoff, max-travel and "
                                    "min-opening, as NAME[@SETTINGS][=VALUE]");
    TuningTarget target;
    target.kind = spelling->kind;
    if (spelling->takesValue != (equals != std::string_view::npos))
        throw std::invalid_argument(
            std::string("The target \"") + std::string(text) + "\" " +
            (spelling->takesValue ? "needs a value: " + std::string(name) + "=VALUE" : "takes no value"));
    if (spelling->takesValue) target.value = ParseNumber(text.substr(equals + 1), "the value", text);
    if (target.kind == TargetKind::Cutoff && (target.value <= 0 || target.value >= 100))
        throw std::invalid_argument("The cut-off of \"" + std::string(text) +
                                    "\" must lie between 0 and 100 percent of the stroke");
    if (target.kind == TargetKind::MaxTravel && target.value <= 0)
        throw std::invalid_argument("The valve travel of \"" + std::string(text) + "\" must be above 0");
    if (target.kind == TargetKind::MinOpening && target.value < 0)
        throw std::invalid_argument("The port opening of \"" + std::string(text) + "\" must not be below 0");

    std::vector<float> settings;
    if (at == std::string_view::npos) {
        settings.push_back(1.0f);
    } else {
        std::string bad;
        if (!ParseGearSettings(head.substr(at + 1), settings, bad))
            throw std::invalid_argument("The target \"" + std::string(text) + "\" has \"" + bad +
                                        "\" where a gear setting should be a number");
    }
    for (const float setting : settings) {
        if (directions != TargetDirections::Backward) target.points.push_back({setting, true});
        if (directions != TargetDirections::Forward) target.points.push_back({setting, false});
    }
    return target;
}

std::string TargetText(const TuningTarget& target) {
    std::string text = TargetName(target.kind);
    std::vector<float> settings;
    bool forward = false;
    bool backward = false;
    for (const OperatingPoint& point : target.points) {
        if (std::find(settings.begin(), settings.end(), point.setting) == settings.end())
            settings.push_back(point.setting);
        (point.forward ? forward : backward) = true;
    }
    for (std::size_t i = 0; i < settings.size(); ++i) {
        text += i == 0 ? '@' : ',';
        text += ShortestText(settings[i]);
    }
    if (SpellingOf(target.kind).takesValue) {
        text += '=';
        text += ShortestText(static_cast<float>(target.value));
    }
    if (forward && backward)
        text += " both directions";
    else if (backward)
        text += " backward";
    return text;
}

// ---- controls ----------------------------------------------------------------------------------

namespace {

bool IsTunable(const EditorField& field) {
    if (field.control != ControlKind::Edit || field.storage.Kind() != FieldRef::Type::Float) return false;
    if (field.tab != GeometryTab && field.tab != ValvingTab) return false;
    // The clearance volume shapes the pressures, never a valve event.
    if (field.component == "Clearance") return false;
    switch (field.conversion) {
    case FieldConversion::Plain:
    case FieldConversion::Degrees:
    case FieldConversion::DegreesOver180:
    case FieldConversion::Doubled:
        return true;
    default:
        return false;
    }
}

std::size_t FieldIndex(const EditorTable& table, std::string_view component) {
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        if (table.fields[i].component == component) return i;
    return table.fields.size();
}

} // namespace

std::vector<std::size_t> TunableFields(const EditorTable& table, const std::vector<ControlValue>&,
                                       const std::vector<bool>& enabled) {
    std::vector<std::size_t> fields;
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        if (IsTunable(table.fields[i]) && (i >= enabled.size() || enabled[i])) fields.push_back(i);
    return fields;
}

VariedControl DefaultBounds(std::string component, double shown) {
    const double half = shown == 0 ? 0.1 : std::fabs(shown) * 0.1;
    return VariedControl{std::move(component), shown - half, shown + half};
}

VariedControl ParseVaried(std::string_view text, const EditorTable& table,
                          const std::vector<ControlValue>& values) {
    const std::size_t colon = text.find(':');
    const std::string component(text.substr(0, colon));
    const std::size_t index = FieldIndex(table, component);
    if (index == table.fields.size())
        throw std::invalid_argument("The editor of this gear has no control \"" + component + "\"");
    if (!IsTunable(table.fields[index]))
        throw std::invalid_argument(
            "The control \"" + component +
            "\" is not a dimension of the geometry or the valving that can be varied");
    const std::optional<double> shown =
        index < values.size() ? ParseReal(values[index].text) : std::optional<double>{};
    if (colon == std::string_view::npos) {
        if (!shown) throw std::invalid_argument("The control \"" + component + "\" shows no number to vary");
        return DefaultBounds(component, *shown);
    }
    const std::string_view bounds = text.substr(colon + 1);
    const std::size_t second = bounds.find(':');
    if (second == std::string_view::npos)
        throw std::invalid_argument("\"" + std::string(text) + "\" should be CONTROL or CONTROL:LOW:HIGH");
    const std::optional<double> low = ParseReal(bounds.substr(0, second));
    const std::optional<double> high = ParseReal(bounds.substr(second + 1));
    if (!low || !high || bounds.substr(0, second).empty() || bounds.substr(second + 1).empty())
        throw std::invalid_argument("The bounds of \"" + std::string(text) + "\" are not numbers");
    return VariedControl{component, *low, *high};
}

void TypeTuned(const EditorTable& table, std::vector<ControlValue>& values,
               const std::vector<TunedField>& typed) {
    for (const TunedField& field : typed) {
        const std::size_t index = FieldIndex(table, field.component);
        if (index < values.size()) values[index].text = field.text;
    }
}

const char* TuningStopText(TuningStop stop) {
    switch (stop) {
    case TuningStop::Met:
        return "every target is met";
    case TuningStop::Converged:
        return "the search has converged";
    case TuningStop::Evaluations:
        return "the evaluations are spent";
    case TuningStop::Time:
        return "the time is spent";
    case TuningStop::Cancelled:
        return "cancelled";
    }
    return "";
}

// ---- the tuner ---------------------------------------------------------------------------------

Tuner::Tuner(GearModel& model, const SimulationState& state, TuningProblem problem)
    : design_(model, state), problem_(std::move(problem)) {
    if (problem_.targets.empty()) throw std::invalid_argument("There is no target to tune for");
    if (problem_.vary.empty()) throw std::invalid_argument("There is no control to vary");
    const EditorTable& table = design_.Model().Editor();
    // Every control is typed as exactly what it holds, so that only the varied ones change.
    startValues_ = design_.EditorValues();
    const std::vector<bool> enabled =
        EditorSession(design_.Model(), design_.State(), design_.Dialogs()).Enabled(startValues_);
    const std::vector<std::size_t> tunable = TunableFields(table, startValues_, enabled);
    for (const VariedControl& control : problem_.vary) {
        const std::size_t index = FieldIndex(table, control.component);
        if (std::find(tunable.begin(), tunable.end(), index) == tunable.end()) {
            // A dimension a ticked check box computes says which box.
            for (const EditorField& box : table.fields)
                if (std::find(box.disables.begin(), box.disables.end(), control.component) !=
                        box.disables.end() &&
                    index < enabled.size() && !enabled[index])
                    throw std::invalid_argument("The control \"" + control.component +
                                                "\" is set by the ticked \"" + box.label + "\" (" +
                                                box.component + "): untick it to vary it");
            throw std::invalid_argument("The control \"" + control.component +
                                        "\" is not one of this gear's dimensions that can be varied");
        }
        if (std::find(varied_.begin(), varied_.end(), index) != varied_.end())
            throw std::invalid_argument("The control \"" + control.component + "\" is varied twice");
        if (!std::isfinite(control.low) || !std::isfinite(control.high) || !(control.low < control.high))
            throw std::invalid_argument("The bounds of \"" + control.component +
                                        "\" must be numbers with the low one below the high one");
        varied_.push_back(index);
        const double shown = ParseReal(startValues_[index].text).value_or(control.low);
        start_.push_back(shown); // the design as it stands, even where it lies outside the bounds
    }
    for (const TuningTarget& target : problem_.targets) {
        if (target.points.empty()) throw std::invalid_argument("A target has no gear setting");
        for (const OperatingPoint& point : target.points) {
            if (!std::isfinite(point.setting))
                throw std::invalid_argument("A target's gear setting is not a number");
            if (std::find(points_.begin(), points_.end(), point) == points_.end()) points_.push_back(point);
        }
    }
    const std::span<const std::uint8_t> record = design_.Model().RecordBytes();
    startRecord_.assign(record.begin(), record.end());
    startState_ = design_.State();
    GearModel& gear = design_.Model();
    startWheelLift_ = gear.WheelLift;
    startWheelDisp_ = gear.WheelDisp;
    startSlack_ = gear.Slack;
    startAutoSetting_ = gear.AutoSetting;
    // The lengths are weighed against the port: a hundredth of its width counts as much as one
    // percent of the stroke.
    const float portWidth = design_.Model().CurrentValving().PortWidth;
    lengthScale_ = std::isfinite(portWidth) && portWidth > 0 ? portWidth / 100.0 : 1.0;
}

std::vector<TunedField> Tuner::Typed(std::span<const double> x) const {
    std::vector<TunedField> typed;
    for (std::size_t i = 0; i < problem_.vary.size() && i < x.size(); ++i)
        typed.push_back({problem_.vary[i].component, ShortestText(static_cast<float>(x[i]))});
    return typed;
}

Evaluation Tuner::Evaluate(std::span<const double> x) {
    GearModel& gear = design_.Model();
    const std::span<std::uint8_t> record = gear.RecordBytes();
    std::copy(startRecord_.begin(), startRecord_.end(), record.begin());
    gear.WheelLift = startWheelLift_;
    gear.WheelDisp = startWheelDisp_;
    gear.Slack = startSlack_;
    gear.AutoSetting = startAutoSetting_;
    design_.State() = startState_;

    Evaluation evaluation;
    std::vector<ControlValue> values = startValues_;
    TypeTuned(gear.Editor(), values, Typed(x));
    const std::vector<EditorSession::Refusal> refused = design_.Ok(values);
    if (!refused.empty()) {
        evaluation.problem = "the editor refuses \"" + refused.front().text + "\" for " +
                             gear.Editor().fields[refused.front().field].component;
        return evaluation;
    }
    for (const OperatingPoint& point : points_) {
        evaluation.events.push_back(design_.Solve(point).events);
        const PointEvents& events = evaluation.events.back();
        if (!events.proper && evaluation.problem.empty())
            evaluation.problem = "at gear " + ShortestText(point.setting) +
                                 (point.forward ? "" : " backward") + " " + events.problem;
    }
    if (!evaluation.problem.empty()) return evaluation;
    evaluation.feasible = true;

    const double lengths = lengthScale_;
    double largestTerm = 0;
    int readings = 0;
    for (std::size_t t = 0; t < problem_.targets.size(); ++t) {
        const TuningTarget& target = problem_.targets[t];
        for (const OperatingPoint& point : target.points) {
            const PointEvents& events = evaluation.events[static_cast<std::size_t>(
                std::find(points_.begin(), points_.end(), point) - points_.begin())];
            const EndEvents& front = events.front;
            const EndEvents& rear = events.rear;
            TargetReading reading{t, point, 0, 0, 0};
            double terms = 0;
            switch (target.kind) {
            case TargetKind::EqualCutoff: {
                reading.front = front.cutoffPct;
                reading.rear = rear.cutoffPct;
                reading.shortfall = std::fabs(front.cutoffPct - rear.cutoffPct);
                // The listing's figure moves in steps of the solution; the interpolated one leads the
                // search smoothly towards designs whose listed figures agree as well.
                const double exact = front.cutoffExactPct - rear.cutoffExactPct;
                terms = (exact * exact + reading.shortfall * reading.shortfall) / 2;
            } break;
            case TargetKind::Cutoff: {
                reading.front = front.cutoffPct;
                reading.rear = rear.cutoffPct;
                reading.shortfall = std::max(std::fabs(front.cutoffPct - target.value),
                                             std::fabs(rear.cutoffPct - target.value));
                for (const double figure :
                     {front.cutoffPct, rear.cutoffPct, front.cutoffExactPct, rear.cutoffExactPct})
                    terms += (figure - target.value) * (figure - target.value) / 2;
            } break;
            case TargetKind::EqualLead: {
                reading.front = front.lead;
                reading.rear = rear.lead;
                reading.shortfall = std::fabs(front.lead - rear.lead);
                terms = std::pow(reading.shortfall / lengths, 2);
            } break;
            case TargetKind::MaxTravel: {
                reading.front = events.valveTravel;
                reading.rear = events.valveTravel;
                reading.shortfall = std::max(0.0, events.valveTravel - target.value);
                terms = std::pow(reading.shortfall / lengths, 2);
            } break;
            case TargetKind::MinOpening: {
                reading.front = front.inletOpening;
                reading.rear = rear.inletOpening;
                const double frontShort = std::max(0.0, target.value - front.inletOpening);
                const double rearShort = std::max(0.0, target.value - rear.inletOpening);
                reading.shortfall = std::max(frontShort, rearShort);
                terms = std::pow(frontShort / lengths, 2) + std::pow(rearShort / lengths, 2);
            } break;
            }
            evaluation.objective += terms;
            largestTerm = std::max(largestTerm, terms);
            ++readings;
            evaluation.largestShortfall = std::max(evaluation.largestShortfall, reading.shortfall);
            evaluation.readings.push_back(reading);
        }
    }
    // The largest shortfall counts four times again for each reading besides it, so that the search
    // lowers the worst of several points rather than trading it for the others.
    evaluation.objective += 4 * (readings - 1) * largestTerm;
    return evaluation;
}

namespace {

// What the objective answers for a design that cannot be built or solved: worse than any that can
// (a squared shortfall of a whole stroke at a hundred points), and the same everywhere, so that
// the search steps back from it.
constexpr double InfeasibleObjective = 1e8;

struct Search {
    Tuner& tuner;
    const TuningProblem& problem;
    const TuningOptions& options;
    std::chrono::steady_clock::time_point started;
    int evaluations = 0;
    int budget = 0;
    bool feasibleFound = false;
    double bestObjective = std::numeric_limits<double>::infinity();
    std::vector<double> best;
    Evaluation bestEvaluation;
    std::optional<TuningStop> stop;

    std::vector<double> Controls(const std::vector<double>& u) const {
        std::vector<double> x(u.size());
        for (std::size_t i = 0; i < u.size(); ++i) {
            const VariedControl& control = problem.vary[i];
            x[i] = control.low + std::clamp(u[i], 0.0, 1.0) * (control.high - control.low);
        }
        return x;
    }

    void Report() const {
        if (!options.progress) return;
        options.progress(TuningProgress{evaluations, budget, feasibleFound, bestObjective, best});
    }

    double Objective(const std::vector<double>& u) {
        if (options.cancel != nullptr && options.cancel->load())
            stop = TuningStop::Cancelled;
        else if (evaluations >= budget)
            stop = TuningStop::Evaluations;
        else if (std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() >=
                 options.maxSeconds)
            stop = TuningStop::Time;
        if (stop) throw nlopt::forced_stop();
        const std::vector<double> x = Controls(u);
        Evaluation evaluation = tuner.Evaluate(x);
        ++evaluations;
        const double objective = evaluation.feasible ? evaluation.objective : InfeasibleObjective;
        const bool better = evaluation.feasible && objective < bestObjective;
        if (better) {
            feasibleFound = true;
            bestObjective = objective;
            best = x;
            bestEvaluation = std::move(evaluation);
        }
        if (better || evaluations % 25 == 0) Report();
        if (feasibleFound && bestObjective <= 0) {
            stop = TuningStop::Met;
            throw nlopt::forced_stop();
        }
        return objective;
    }
};

} // namespace

TuningResult Tuner::Run(const TuningOptions& options) {
    TuningResult result;
    result.start = start_;
    result.best = start_;
    result.before = Evaluate(start_);

    if (result.before.feasible && result.before.objective <= 0) {
        result.after = result.before;
        result.evaluations = 1;
        result.stop = TuningStop::Met;
        result.typed = Typed(result.best);
        return result;
    }

    Search search{*this, problem_, options,     std::chrono::steady_clock::now(),
                  0,     0,        false,       std::numeric_limits<double>::infinity(),
                  {},    {},       std::nullopt};
    // The start's own evaluation counts against the budget.
    search.budget = std::max(1, options.maxEvaluations - 1);
    const std::size_t n = problem_.vary.size();
    std::vector<double> u(n);
    for (std::size_t i = 0; i < n; ++i) {
        const VariedControl& control = problem_.vary[i];
        // The first start is the design as it stands, or the nearest point within the bounds.
        u[i] = std::clamp((start_[i] - control.low) / (control.high - control.low), 0.0, 1.0);
    }
    std::mt19937 random(options.seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    constexpr int MaxStarts = 8;
    int starts = 0;
    while (!search.stop && starts < MaxStarts) {
        if (starts > 0)
            for (double& value : u)
                value = uniform(random);
        ++starts;
        nlopt::opt opt(n >= 2 ? nlopt::LN_BOBYQA : nlopt::LN_COBYLA, static_cast<unsigned>(n));
        opt.set_lower_bounds(std::vector<double>(n, 0.0));
        opt.set_upper_bounds(std::vector<double>(n, 1.0));
        opt.set_initial_step(0.25);
        opt.set_xtol_abs(1e-7);
        opt.set_min_objective(
            [](unsigned, const double* x, double*, void* data) {
                Search& s = *static_cast<Search*>(data);
                return s.Objective(std::vector<double>(x, x + s.problem.vary.size()));
            },
            &search);
        // Each start may spend what is left, shared with the starts still to come.
        const int left = search.budget - search.evaluations;
        opt.set_maxeval(std::max(1, left / std::max(1, MaxStarts - starts + 1)));
        double value = 0;
        try {
            opt.optimize(u, value);
        } catch (const nlopt::forced_stop&) {
        } catch (const nlopt::roundoff_limited&) {
        } catch (const std::invalid_argument&) {
            throw;
        }
        if (search.evaluations >= search.budget && !search.stop) search.stop = TuningStop::Evaluations;
    }
    result.stop = search.stop.value_or(TuningStop::Converged);
    result.evaluations = search.evaluations + 1;
    if (search.feasibleFound && (!result.before.feasible || search.bestObjective < result.before.objective)) {
        result.best = search.best;
        result.after = std::move(search.bestEvaluation);
    } else {
        result.after = result.before;
    }
    if (result.after.feasible && result.after.objective <= 0) result.stop = TuningStop::Met;
    result.typed = Typed(result.best);
    search.Report();
    return result;
}

} // namespace linkwright
