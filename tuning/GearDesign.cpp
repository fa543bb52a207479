// A gear design apart from the shown gear: its own model, solved and analysed as the analysis
// command does, without listings, messages or dialogs reaching the user.
#include "tuning/GearDesign.h"

#include "analysis/Events.h"
#include "analysis/Ovalplt.h"
#include "gears/GearKinds.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace linkwright {

bool ParseGearSettings(std::string_view list, std::vector<float>& settings, std::string& bad) {
    settings.clear();
    while (true) {
        const std::size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        while (!item.empty() && item.back() == ' ')
            item.remove_suffix(1);
        const std::optional<double> value = ParseReal(item);
        if (!value) {
            bad = std::string(item);
            return false;
        }
        settings.push_back(static_cast<float>(*value));
        if (comma == std::string_view::npos) return true;
        list.remove_prefix(comma + 1);
    }
}

bool QuietDialogs::WarningOkCancel(const std::string& text) {
    lastShown = text;
    return true;
}

void QuietDialogs::Information(const std::string& text) {
    lastShown = text;
}

GearDesign::GearDesign(GearKind kind) : kind_(kind), messages_("/dev/null") {
    Make();
    model_->SetExample();
    ResetStateDefaults(state_);
    model_->InitialiseGear();
}

GearDesign::GearDesign(GearModel& model, const SimulationState& state)
    : kind_(model.Kind()), messages_("/dev/null") {
    Make();
    CopyFrom(model, state);
}

GearDesign::~GearDesign() = default;

void GearDesign::Make() {
    const GearKindRow& row = KindRow(kind_);
    if (!row.Built()) throw std::invalid_argument(std::string("The gear kind ") + row.name + " is not built");
    model_ = row.makeModel(GearEnvironment{state_, messages_, dialogs_});
    model_->WritesListing = false;
}

void GearDesign::CopyFrom(GearModel& model, const SimulationState& state) {
    if (model.Kind() != kind_) throw std::invalid_argument("A design is copied from a gear of its own kind");
    const std::span<std::uint8_t> from = model.RecordBytes();
    const std::span<std::uint8_t> to = model_->RecordBytes();
    std::copy(from.begin(), from.end(), to.begin());
    model_->WheelLift = model.WheelLift;
    model_->WheelDisp = model.WheelDisp;
    model_->Slack = model.Slack;
    model_->AutoSetting = model.AutoSetting;
    state_ = state;
    state_.Nsteps = std::clamp(state_.Nsteps, MinSteps, MaxSteps);
    model_->InitialiseGear();
}

LoadResult GearDesign::Load(const std::string& file) {
    if (model_->LoadGearFile(file) == LoadResult::Refused) return LoadResult::Refused;
    ResetStateDefaults(state_);
    model_->InitialiseGear();
    return LoadResult::Loaded;
}

void GearDesign::Save(const std::string& file) {
    model_->SaveGearFile(file);
}

std::vector<ControlValue> GearDesign::EditorValues() {
    const EditorSession session(*model_, state_, dialogs_);
    std::vector<ControlValue> values = session.Fill();
    HoldExactValues(session.Table(), values, state_.Decimals);
    return values;
}

std::vector<EditorSession::Refusal> GearDesign::Ok(const std::vector<ControlValue>& values) {
    EditorSession session(*model_, state_, dialogs_);
    if (session.Ok(values) == EditorOutcome::StayOpen) {
        std::vector<EditorSession::Refusal> refused = session.Refused();
        session.Cancel();
        return refused;
    }
    state_.Nsteps = std::clamp(state_.Nsteps, MinSteps, MaxSteps);
    return {};
}

namespace {

bool AllFinite(std::span<const float> values, int n) {
    return std::all_of(values.begin(), values.begin() + n + 1, [](float v) { return std::isfinite(v); });
}

// A position the linkage cannot reach keeps the pins of the position before: the piston then
// falls short of its stroke, the piston or the valve jumps where the linkage is solved again, or
// the revolution ends elsewhere than it began (entries 0 and n are the same crank position).
// Answers why the revolution is not one to trust, or nothing. A step may move ten times as far as
// the fastest a crank of the same travel moves its follower (travel / 2 x 2 pi / n): a gear's own
// quick motions stay well within that, a pin left behind for a few steps does not.
std::string BrokenRevolution(std::span<const float> piston, std::span<const float> valve, int n,
                             double valveTravel, double slack) {
    const auto [least, most] = std::minmax_element(piston.begin(), piston.begin() + n + 1);
    if (*most - *least < 90.0f) return "the piston does not make its stroke";
    const double stepFactor = 10.0 * 2.0 * std::numbers::pi / n;
    const double pistonStep = stepFactor * 50.0;
    const double valveStep = stepFactor * valveTravel / 2.0 + 1e-6;
    for (int i = 1; i <= n; ++i) {
        if (std::fabs(static_cast<double>(piston[i]) - piston[i - 1]) > pistonStep)
            return "the piston jumps between steps " + std::to_string(i - 1) + " and " + std::to_string(i);
        if (std::fabs(static_cast<double>(valve[i]) - valve[i - 1]) > valveStep)
            return "the valve jumps between steps " + std::to_string(i - 1) + " and " + std::to_string(i);
    }
    if (std::fabs(static_cast<double>(piston[n]) - piston[0]) > 1e-2 ||
        std::fabs(static_cast<double>(valve[n]) - valve[0]) > std::fabs(slack) + 1e-4 * valveTravel + 1e-6)
        return "the revolution does not close";
    return {};
}

EndEvents EndOf(const ListedEnd& end) {
    EndEvents events;
    events.cutoffPct = end.cutoffPct;
    events.cutoffExactPct = end.cutoff.interpolatedPct;
    events.admissionPct = end.admission.interpolatedPct;
    events.releasePct = end.release.interpolatedPct;
    events.compressionPct = end.compression.interpolatedPct;
    events.lead = end.lead;
    events.inletOpening = end.inletOpening;
    events.exhaustOpening = end.exhaustOpening;
    return events;
}

} // namespace

PointEvents EventsOf(OperatingPoint point, const ListingFigures& figures, std::span<const float> piston,
                     std::span<const float> valve, int n, bool eventsImproper, double slack) {
    PointEvents events;
    events.point = point;
    events.front = EndOf(figures.front);
    events.rear = EndOf(figures.rear);
    events.valveTravel = figures.valveTravel;
    if (!AllFinite(piston, n) || !AllFinite(valve, n))
        events.problem = "the positions lie beyond the numbers the program can hold";
    else if (eventsImproper)
        events.problem = "the valve events are improper";
    else
        events.problem = BrokenRevolution(piston, valve, n, figures.valveTravel, slack);
    events.proper = events.problem.empty();
    return events;
}

const SolvedRevolution& GearDesign::Solve(OperatingPoint point, bool pressures) {
    SolvedRevolution& solved = solved_;
    state_.fwd = point.forward ? 1 : 0;
    state_.GearSetting = point.setting;
    const int n = std::clamp(state_.Nsteps, MinSteps, MaxSteps);
    solved.Nsteps = n;
    const long linesBefore = messages_.LinesWritten();
    model_->SolveRevolution(solved.steps, n, solved.record, point.setting);
    std::uint8_t improper = 0;
    if (pressures)
        FindEvents(solved.steps.StepPistonPct, solved.steps.StepValvePos, solved.frontPressure,
                   solved.rearPressure, solved.record, n, improper);
    else
        FindEventSteps(solved.steps.StepValvePos, solved.record, n, improper);
    const ListingFigures figures = ComputeListingFigures(
        solved.record, solved.steps.StepCrankAngle, solved.steps.StepPistonPct, solved.steps.StepValvePos, n);
    solved.events = EventsOf(point, figures, solved.steps.StepPistonPct, solved.steps.StepValvePos, n,
                             improper != 0, model_->Slack);
    // A pin left where the position before put it, or a kind's report of one in the messages.
    if (solved.events.proper && model_->UnsolvedPlacings() > 0) {
        solved.events.proper = false;
        solved.events.problem =
            std::to_string(model_->UnsolvedPlacings()) + " placings of pins cannot be made";
    } else if (solved.events.proper && messages_.LinesWritten() != linesBefore) {
        solved.events.proper = false;
        solved.events.problem = "a position cannot be solved";
    }
    state_.EventsImproper = improper;
    return solved;
}

FamilyEvents GearDesign::Family(float setting, bool forward) {
    FamilyEvents family;
    SimulationState& state = family.state;
    state.Nsteps = std::clamp(state_.Nsteps, MinSteps, MaxSteps);
    state.FamilyGearFrom = setting >= 0 ? 0.1f : -0.1f;
    state.FamilyGearTo = setting >= 0 ? 1.0f : -1.0f;
    state.FamilyCount = FamilySize;
    state.fwd = forward ? 1 : 0;
    for (int m = 0; m < FamilySize; ++m) {
        const SolvedRevolution& solved = Solve({FamilyMemberSetting(state, m), forward});
        family.blocks.FamilyEvents[static_cast<std::size_t>(m)] = solved.record;
        family.members.push_back(solved.events);
        family.piston = solved.steps.StepPistonPct;
    }
    return family;
}

} // namespace linkwright
