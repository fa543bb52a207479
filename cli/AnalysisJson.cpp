// The valve events of an analysis as JSON: the numbers the listings and the cut-off caption print,
// taken from the same figures, at full precision.
#include "cli/AnalysisOutput.h"

#include "analysis/Indicplt.h"
#include "analysis/Listings.h"
#include "common/NumberFormat.h"
#include "gears/GearKinds.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <numbers>
#include <string>

namespace linkwright {

namespace {

// A Single as the shortest decimal that reads back as it.
double Number(float value) {
    const std::string text = ShortestText(value);
    double number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

nlohmann::ordered_json EventJson(const ListedEvent& event) {
    return {{"step", event.step},
            {"crank_angle_deg", event.crankDegrees},
            {"piston_pct", event.pistonPct},
            {"valve_pos", event.valvePos},
            {"stroke_pct", event.interpolatedPct}};
}

nlohmann::ordered_json EndJson(const ListedEnd& end, std::span<const float> crank,
                               std::span<const float> piston, std::span<const float> valve) {
    const auto i = static_cast<std::size_t>(end.deadCentreStep);
    return {{"admission", EventJson(end.admission)},
            {"cutoff", EventJson(end.cutoff)},
            {"release", EventJson(end.release)},
            {"compression", EventJson(end.compression)},
            {"admission_angle_deg", end.admissionDegrees},
            {"cutoff_pct", end.cutoffPct},
            {"lead",
             {{"step", end.deadCentreStep},
              {"crank_angle_deg", static_cast<double>(crank[i]) * 180.0 / std::numbers::pi},
              {"piston_pct", static_cast<double>(piston[i])},
              {"valve_pos", static_cast<double>(valve[i])},
              {"opening", end.lead}}},
            {"inlet_opening", end.inletOpening},
            {"exhaust_opening", end.exhaustOpening}};
}

} // namespace

nlohmann::ordered_json ValveEventsJson(const Simulation& sim, std::span<const float> valve,
                                       const EventRecord& events) {
    const SimulationState& state = sim.State;
    const std::span<const float> crank(sim.Steps.StepCrankAngle);
    const std::span<const float> piston(sim.Steps.StepPistonPct);
    const ListingFigures figures = ComputeListingFigures(events, crank, piston, valve, state.Nsteps);
    const CaptionCutoffs cutoffs = CutoffCaptionFigures(piston, events, state.Nsteps);
    return {
        {"kind", KindRow(sim.CurrentKind).name},
        {"setting", Number(state.GearSetting)},
        {"direction", state.fwd != 0 ? "forward" : "backward"},
        {"steps", state.Nsteps},
        {"events_improper", state.EventsImproper == 1},
        {"admission", events.Inside == 1 ? "inside" : "outside"},
        {"port_opening_levels",
         {{"top_steam", Number(events.TopSteam)},
          {"top_exhaust", Number(events.TopExhaust)},
          {"bottom_steam", Number(events.BottomSteam)},
          {"bottom_exhaust", Number(events.BottomExhaust)}}},
        {"front", EndJson(figures.front, crank, piston, valve)},
        {"rear", EndJson(figures.rear, crank, piston, valve)},
        {"valve",
         {{"min", figures.valveMin},
          {"mean", figures.valveMean},
          {"max", figures.valveMax},
          {"travel", figures.valveTravel}}},
        {"cutoff_caption",
         {{"text", CutoffCaptionText(state.GearSetting, state.EventsImproper, piston, events, state.Nsteps)},
          {"front_cutoff_pct", cutoffs.front},
          {"rear_cutoff_pct", cutoffs.rear}}}};
}

JsonOutput::JsonOutput(const std::string& name) : name_(name) {
    if (!name.empty() && name != "-") file_.emplace(name);
}

void JsonOutput::Put(const nlohmann::ordered_json& json) {
    const std::string text = json.dump(2) + "\n";
    if (file_)
        file_->Put(text);
    else if (ToStdout())
        std::cout << text;
}

} // namespace linkwright
