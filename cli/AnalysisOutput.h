// What the analyse and family commands write: the diagram pictures (SVG, optionally PNG), the step
// table with the pressures and the table of the family's events.
#pragma once

#include "app/Simulation.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
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

// linkwright-cli analyse and family (see each command's help).
void AddAnalyseCommand(CLI::App& app, std::function<int()>& run);
void AddFamilyCommand(CLI::App& app, std::function<int()>& run);

} // namespace linkwright
