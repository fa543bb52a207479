// What the analyse and family commands write: the diagram pictures (SVG, optionally PNG), the step
// table with the pressures, the table of the family's events, and the valve events as JSON.
#pragma once

#include "app/Simulation.h"
#include "cli/OutputFile.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace linkwright {

// Picture size of the diagram files, as a diagram window's client area less 3 pixels.
inline constexpr int DiagramWidth = 797;
inline constexpr int DiagramHeight = 397;

// Draws `plot` from the simulation's stored results into `stem`.svg, and `stem`.png when `png` is
// set. Throws std::runtime_error when a file cannot be written.
void WriteDiagram(Simulation& sim, Simulation::DiagramPlot plot, const std::filesystem::path& stem, bool png);

// steps.csv: per step the crank angle (radians, and degrees to 6 decimals), piston position (percent of
// stroke), valve position and both cylinder-end pressures, every value as its shortest exact decimal.
void WriteStepsCsv(const Simulation& sim, const std::filesystem::path& file);

// events.csv: per family member its gear setting and the piston percent of each of the eight
// events in event-record order, as the events diagram plots them.
void WriteEventsCsv(const Simulation& sim, const std::filesystem::path& file);

// The diagrams an analysis asked the windows to show, in order, each written once into `dir`
// under its window's file name: indicator, oval or events.
void WriteRequestedDiagrams(Simulation& sim, const std::vector<Simulation::DiagramPlot>& requested,
                            const std::filesystem::path& dir, bool png);

// The files WriteRequestedDiagrams writes, for RefuseSharedFiles.
void AddRequestedDiagramFiles(std::vector<CommandFile>& files,
                              const std::vector<Simulation::DiagramPlot>& requested,
                              const std::filesystem::path& dir, bool png);

// The valve events of one analysed revolution as JSON, with the figures the listings in the messages
// file print (analysis/Listings.h) and the cut-off caption's: the revolution in the simulation's
// steps with `valve` as its valve positions and `events` as its event record (the stored analysis,
// or a member of a family sweep while FamilyMemberAnalysed runs), at the state's gear setting.
nlohmann::ordered_json ValveEventsJson(const Simulation& sim, std::span<const float> valve,
                                       const EventRecord& events);

// A JSON document for a file (written whole, see OutputFile) or, for "-", for stdout; the file is
// taken when this is made, so that a path that cannot be written is refused from then on.
class JsonOutput {
public:
    explicit JsonOutput(const std::string& name);
    bool ToStdout() const { return name_ == "-"; }
    void Put(const nlohmann::ordered_json& json);

private:
    std::string name_;
    std::optional<OutputFile> file_;
};

// linkwright-cli analyse and family (see each command's help).
void AddAnalyseCommand(CLI::App& app, std::function<int()>& run);
void AddFamilyCommand(CLI::App& app, std::function<int()>& run);

} // namespace linkwright
