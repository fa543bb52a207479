// The tune command: the tuner's search for dimensions of the gear set up by the gear options that
// meet valve-event targets, its report, its JSON, and the tuned gear saved as a data file.
#include "cli/AnalysisOutput.h"
#include "cli/GearOptions.h"

#include "common/NumberFormat.h"
#include "gears/EditorFields.h"
#include "gears/GearKinds.h"
#include "tuning/Tuner.h"
#include "ui/QtCanvas.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace linkwright {

namespace {

struct TuneRequest {
    GearOptions gear;
    std::vector<std::string> vary;
    std::vector<std::string> targets;
    std::string direction = "forward";
    int maxEvaluations = 2000;
    double maxSeconds = 60;
    std::uint32_t seed = 1;
    std::string out;
    std::string json;
};

TargetDirections DirectionsOf(const std::string& text) {
    if (text == "backward") return TargetDirections::Backward;
    if (text == "both") return TargetDirections::Both;
    return TargetDirections::Forward;
}

const char* DirectionText(const OperatingPoint& point) {
    return point.forward ? "forward" : "backward";
}

// A gear setting as the shortest decimal that reads back as its Single.
double SettingNumber(float setting) {
    const std::string text = ShortestText(setting);
    double number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

// Cut-offs are read in percent of the stroke, the other targets in the gear's length unit.
bool InPercent(TargetKind kind) {
    return kind == TargetKind::EqualCutoff || kind == TargetKind::Cutoff;
}

nlohmann::ordered_json EndJson(const EndEvents& end) {
    return {{"cutoff_pct", end.cutoffPct},           {"cutoff_interpolated_pct", end.cutoffExactPct},
            {"admission_pct", end.admissionPct},     {"release_pct", end.releasePct},
            {"compression_pct", end.compressionPct}, {"lead", end.lead},
            {"inlet_opening", end.inletOpening},     {"exhaust_opening", end.exhaustOpening}};
}

nlohmann::ordered_json EvaluationJson(const Evaluation& evaluation, const TuningProblem& problem) {
    nlohmann::ordered_json readings = nlohmann::ordered_json::array();
    for (const TargetReading& reading : evaluation.readings)
        readings.push_back({{"target", TargetText(problem.targets.at(reading.target))},
                            {"setting", SettingNumber(reading.point.setting)},
                            {"direction", DirectionText(reading.point)},
                            {"front", reading.front},
                            {"rear", reading.rear},
                            {"shortfall", reading.shortfall}});
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (const PointEvents& events : evaluation.events)
        points.push_back({{"setting", SettingNumber(events.point.setting)},
                          {"direction", DirectionText(events.point)},
                          {"proper", events.proper},
                          {"problem", events.problem},
                          {"front", EndJson(events.front)},
                          {"rear", EndJson(events.rear)},
                          {"valve_travel", events.valveTravel}});
    return {{"feasible", evaluation.feasible},
            {"problem", evaluation.problem},
            {"objective", evaluation.objective},
            {"largest_shortfall", evaluation.largestShortfall},
            {"readings", readings},
            {"events", points}};
}

nlohmann::ordered_json TuneJson(const char* kind, const TuningProblem& problem, const TuningOptions& options,
                                const TuningResult& result) {
    nlohmann::ordered_json vary = nlohmann::ordered_json::array();
    for (const VariedControl& control : problem.vary)
        vary.push_back({{"control", control.component}, {"low", control.low}, {"high", control.high}});
    nlohmann::ordered_json targets = nlohmann::ordered_json::array();
    for (const TuningTarget& target : problem.targets)
        targets.push_back(TargetText(target));
    nlohmann::ordered_json best = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < problem.vary.size(); ++i)
        best.push_back({{"control", problem.vary[i].component},
                        {"start", result.start.at(i)},
                        {"value", result.best.at(i)},
                        {"typed", result.typed.at(i).text}});
    return {{"kind", kind},
            {"problem", {{"vary", vary}, {"targets", targets}}},
            {"options",
             {{"max_evaluations", options.maxEvaluations},
              {"max_seconds", options.maxSeconds},
              {"seed", options.seed}}},
            {"result",
             {{"evaluations", result.evaluations}, {"stop", TuningStopText(result.stop)}, {"best", best}}},
            {"before", EvaluationJson(result.before, problem)},
            {"after", EvaluationJson(result.after, problem)}};
}

// Each target's readings at each of its points, before and after.
void PrintReport(const TuningProblem& problem, const TuningResult& result, double seconds, int decimals) {
    const auto readingText = [&](const Evaluation& evaluation, std::size_t r) {
        if (!evaluation.feasible) return std::string("-");
        const TargetReading& reading = evaluation.readings.at(r);
        const TuningTarget& target = problem.targets.at(reading.target);
        const int d = InPercent(target.kind) ? 2 : decimals;
        const bool one = target.kind == TargetKind::MaxTravel;
        return (one ? F(reading.front, 0, d) : F(reading.front, 0, d) + " / " + F(reading.rear, 0, d)) +
               " (off by " + F(reading.shortfall, 0, d) + ")";
    };
    for (const auto& [name, evaluation] :
         {std::pair{"before", &result.before}, std::pair{"after", &result.after}})
        if (!evaluation->feasible) std::cout << "The design " << name << ": " << evaluation->problem << "\n";
    // The readings are in the same order before and after: every target's points in turn.
    const Evaluation& named = result.after.feasible ? result.after : result.before;
    for (std::size_t r = 0; r < named.readings.size(); ++r) {
        const TargetReading& reading = named.readings[r];
        const TuningTarget& target = problem.targets.at(reading.target);
        std::cout << TargetName(target.kind) << " at " << ShortestText(reading.point.setting) << " "
                  << DirectionText(reading.point) << ": " << readingText(result.before, r) << " -> "
                  << readingText(result.after, r) << "\n";
    }
    std::cout << "Evaluations " << result.evaluations << " in " << F(seconds, 0, 2) << " s, "
              << TuningStopText(result.stop) << "\n";
    for (const TunedField& field : result.typed)
        std::cout << field.component << "=" << field.text << "\n";
}

void Tune(const TuneRequest& request, HeadlessDialogs& dialogs) {
    if (request.maxEvaluations < 1) throw std::invalid_argument("--max-evals must be 1 or more");
    if (!std::isfinite(request.maxSeconds) || request.maxSeconds < 0)
        throw std::invalid_argument("--max-seconds must be a number of seconds, 0 or more");
    JsonOutput json(request.json);
    if (!request.out.empty()) RefuseUnsavable(request.out); // before the search, not after it
    const PictureSize size = PictureSizeFor(request.gear);
    QtCanvas picture(size.width, size.height);
    std::unique_ptr<Simulation> sim = PrepareGear(request.gear, dialogs, picture);
    std::vector<CommandFile> files = GearCommandFiles(request.gear, *sim, false);
    files.push_back({"--json", request.json});
    if (!request.out.empty())
        files.push_back({"--out", sim->SavedFileName(request.out), true, DataFileSharing});
    RefuseSharedFiles(files);

    TuningProblem problem;
    {
        const EditorSession session(sim->CurrentModel(), sim->State, dialogs);
        const std::vector<ControlValue> values = session.Fill();
        for (const std::string& text : request.vary)
            problem.vary.push_back(ParseVaried(text, session.Table(), values));
    }
    const TargetDirections directions = DirectionsOf(request.direction);
    for (const std::string& text : request.targets)
        problem.targets.push_back(ParseTarget(text, directions));
    Tuner tuner(sim->CurrentModel(), sim->State, problem);

    TuningOptions options;
    options.maxEvaluations = request.maxEvaluations;
    options.maxSeconds = request.maxSeconds;
    options.seed = request.seed;
    const auto started = std::chrono::steady_clock::now();
    const TuningResult result = tuner.Run(options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    if (!request.out.empty()) {
        if (!sim->ApplyTyped(result.typed)) throw std::runtime_error(SyntaxErrorMessage);
        SaveAs(*sim, dialogs, request.out);
    }
    if (!request.json.empty())
        json.Put(TuneJson(KindRow(sim->CurrentKind).name, tuner.Problem(), options, result));
    if (!json.ToStdout()) PrintReport(tuner.Problem(), result, seconds, sim->State.Decimals);
}

} // namespace

void AddTuneCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command = app.add_subcommand(
        "tune", "Search the gear's dimensions for valve events that meet the targets: each candidate typed "
                "into the editor and OK pressed, solved and analysed as View > Indicator Diagram does, "
                "searched by several starts of NLopt's BOBYQA within the bounds; print each target's "
                "readings before and after, and the texts to type");
    auto request = std::make_shared<TuneRequest>();
    AddGearOptions(*command, request->gear);
    command
        ->add_option("--vary", request->vary,
                     "A control to vary, by its name as the fields command lists it (a length or an angle "
                     "of the geometry or the valving), between LOW and HIGH as the editor shows it, or 10 % "
                     "either side of its value; repeatable")
        ->allow_extra_args(false)
        ->type_name("CONTROL[:LOW:HIGH]");
    command
        ->add_option("--target", request->targets,
                     "A target: equal-cutoff, equal-lead, cutoff=PERCENT, max-travel=LENGTH or "
                     "min-opening=LENGTH, at the gear settings after @ separated by commas (full gear "
                     "when left out): equal-cutoff@0.25,0.5,1, equal-lead@1, cutoff@1=80, max-travel=0.9; "
                     "repeatable")
        ->allow_extra_args(false)
        ->type_name("NAME[@SETTINGS][=VALUE]");
    command->add_option("--direction", request->direction, "The direction of running the targets are met in")
        ->check(CLI::IsMember({"forward", "backward", "both"}))
        ->capture_default_str();
    command->add_option("--max-evals", request->maxEvaluations, "The most designs evaluated")
        ->capture_default_str();
    command->add_option("--max-seconds", request->maxSeconds, "The longest the search takes, in seconds")
        ->capture_default_str();
    command->add_option("--seed", request->seed, "Seed of the starts after the first")->capture_default_str();
    command->add_option("--out", request->out,
                        "Save the tuned gear as a data file, as save --out does (the kind's extension is "
                        "added to a name without one)");
    command
        ->add_option("--json", request->json,
                     "Write the problem (kind, controls with their bounds, targets) and the result "
                     "(evaluations, why the search stopped, the best values and their texts, and before "
                     "and after each target's readings and the events at each point) as JSON; - for "
                     "stdout (in place of the report)")
        ->type_name("FILE");
    command->callback([request, &run] {
        run = [request] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Tune(*request, dialogs); });
        };
    });
}

} // namespace linkwright
