// linkwright-cli solve: one revolution of the gear as the analysis solves it, with the kind's own
// listing, the messages the gear wrote, and the step arrays as CSV.
#include "cli/GearOptions.h"
#include "cli/OutputFile.h"

#include "common/NumberFormat.h"
#include "gears/GearKinds.h"
#include "ui/QtCanvas.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>

namespace linkwright {

namespace {

// Shortest text that reads back as the same float.
std::string Exact(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void WriteCsv(std::ostream& out, const Simulation& sim, int Nsteps) {
    out << "index,crank_angle_rad,piston_pct,valve_pos\n";
    for (int i = 0; i <= Nsteps; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        out << i << ',' << Exact(sim.Steps.StepCrankAngle[k]) << ',' << Exact(sim.Steps.StepPistonPct[k])
            << ',' << Exact(sim.Steps.StepValvePos[k]) << '\n';
    }
}

void Solve(const GearOptions& options, const std::string& csv, HeadlessDialogs& dialogs) {
    const PictureSize size = PictureSizeFor(options);
    // A CSV file is taken before the solve, so a path that cannot be written stops here.
    std::optional<OutputFile> file;
    if (!csv.empty() && csv != "-") file.emplace(csv);
    QtCanvas picture(size.width, size.height);
    std::unique_ptr<Simulation> sim = PrepareGear(options, dialogs, picture);

    SimulationState& state = sim->State;
    sim->SolveDispatch(sim->Steps.StepCrankAngle, sim->Steps.StepPistonPct, sim->Steps.StepValvePos,
                       state.GearSetting, state.Events, state.Nsteps);

    std::cout << sim->Messages.Contents();
    if (csv.empty()) return;
    if (csv == "-") {
        WriteCsv(std::cout, *sim, state.Nsteps);
        return;
    }
    std::ostringstream text;
    WriteCsv(text, *sim, state.Nsteps);
    file->Put(text.str());
}

// "Solve one revolution, write the kind's listing (Wal1Output.txt for Walschaerts1) in the ...".
std::string SolveHelp() {
    std::string listings;
    for (const GearKindRow& row : GearKinds())
        if (row.Built() && row.listingFileName != nullptr)
            listings += std::string(listings.empty() ? "" : ", ") + row.listingFileName + " for " + row.name;
    std::string help = "Solve one revolution, write the kind's listing";
    if (!listings.empty()) help += " (" + listings + ")";
    return help + " in the working directory, print the gear's messages, and write the step arrays as CSV";
}

} // namespace

void AddSolveCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command = app.add_subcommand("solve", SolveHelp());
    auto options = std::make_shared<GearOptions>();
    auto csv = std::make_shared<std::string>();
    auto backward = std::make_shared<bool>(false);
    auto steps = std::make_shared<std::optional<int>>();
    AddGearOptions(*command, *options);
    command->add_option("--steps", *steps, "Solution steps per revolution (the editor clamps to 30 .. 550)");
    command->add_flag("--backward", *backward, "Run backward (clears Forward)");
    command->add_option(
        "--csv", *csv,
        "CSV file of index, crank angle (radians), piston percent, valve position; - for stdout");
    command->callback([options, csv, backward, steps, &run] {
        options->steps = *steps;
        if (*backward) options->forward = false;
        run = [options, csv] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Solve(*options, *csv, dialogs); });
        };
    });
}

} // namespace linkwright
