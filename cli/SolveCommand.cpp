// linkwright-cli solve: one revolution of the gear as the analysis solves it, with the kind's own
// listing, the messages the gear wrote, the step arrays as CSV, and the pins' paths as CSV.
#include "cli/GearOptions.h"
#include "cli/OutputFile.h"

#include "common/NumberFormat.h"
#include "gears/GearKinds.h"
#include "ui/QtCanvas.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace linkwright {

namespace {

void WriteCsv(std::ostream& out, const Simulation& sim, int Nsteps) {
    out << "index,crank_angle_rad,piston_pct,valve_pos\n";
    for (int i = 0; i <= Nsteps; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        out << i << ',' << ShortestText(sim.Steps.StepCrankAngle[k]) << ','
            << ShortestText(sim.Steps.StepPistonPct[k]) << ',' << ShortestText(sim.Steps.StepValvePos[k])
            << '\n';
    }
}

// Every named pin at each entry of the step arrays, in their order: the gear is set to the entry's
// crank angle as the picture is (CalcGear), so each position starts from the one before, as the
// revolution's did. Columns: the entry, its crank angle, then x and y of each pin by its letter. A
// coordinate that overflowed is left empty, and said so on stderr once.
void WritePinsCsv(std::ostream& out, const Simulation& sim, int Nsteps) {
    bool overflowed = false;
    const auto coordinate = [&](float value) {
        if (std::isfinite(value)) return ShortestText(value);
        overflowed = true;
        return std::string();
    };
    GearModel& model = sim.CurrentModel();
    const float setting = sim.State.GearSetting;
    out << "step,crank_angle_rad";
    model.CalcGear(sim.Steps.StepCrankAngle[0], setting);
    for (const NamedPin& pin : model.NamedPins())
        out << ',' << pin.name << "_x," << pin.name << "_y";
    out << '\n';
    for (int i = 0; i <= Nsteps; ++i) {
        const float angle = sim.Steps.StepCrankAngle[static_cast<std::size_t>(i)];
        model.CalcGear(angle, setting);
        out << i << ',' << ShortestText(angle);
        for (const NamedPin& pin : model.NamedPins())
            out << ',' << coordinate(pin.at.x) << ',' << coordinate(pin.at.y);
        out << '\n';
    }
    if (overflowed)
        std::cerr << "Some pins of this gear lie beyond the numbers the program can hold: their coordinates "
                     "are left empty\n";
}

struct SolveRequest {
    GearOptions gear;
    std::string csv;
    std::string pins;
};

// A table for stdout ("-") or a file, which is taken before the solve so that a path that cannot be
// written stops the command there.
class TableOutput {
public:
    explicit TableOutput(const std::string& name) : name_(name) {
        if (!name.empty() && name != "-") file_.emplace(name);
    }
    void Write(const std::function<void(std::ostream&)>& write) {
        if (name_.empty()) return;
        if (!file_) {
            write(std::cout);
            return;
        }
        std::ostringstream text;
        write(text);
        file_->Put(text.str());
    }

private:
    std::string name_;
    std::optional<OutputFile> file_;
};

void Solve(const SolveRequest& request, HeadlessDialogs& dialogs) {
    if (request.csv == "-" && request.pins == "-")
        throw std::invalid_argument("--csv and --pins cannot both be written to stdout");
    const PictureSize size = PictureSizeFor(request.gear);
    TableOutput csv(request.csv);
    TableOutput pins(request.pins);
    QtCanvas picture(size.width, size.height);
    std::unique_ptr<Simulation> sim = PrepareGear(request.gear, dialogs, picture);
    std::vector<CommandFile> files = GearCommandFiles(request.gear, *sim, true);
    files.push_back({"--csv", request.csv});
    files.push_back({"--pins", request.pins});
    RefuseSharedFiles(files);

    SimulationState& state = sim->State;
    sim->SolveDispatch(sim->Steps.StepCrankAngle, sim->Steps.StepPistonPct, sim->Steps.StepValvePos,
                       state.GearSetting, state.Events, state.Nsteps);
    std::string pinTable;
    if (!request.pins.empty()) {
        std::ostringstream text;
        WritePinsCsv(text, *sim, state.Nsteps);
        pinTable = text.str();
    }

    std::cout << sim->Messages.Contents();
    csv.Write([&](std::ostream& out) { WriteCsv(out, *sim, state.Nsteps); });
    pins.Write([&](std::ostream& out) { out << pinTable; });
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
    auto request = std::make_shared<SolveRequest>();
    auto backward = std::make_shared<bool>(false);
    auto steps = std::make_shared<std::optional<int>>();
    AddGearOptions(*command, request->gear);
    command->add_option("--steps", *steps, "Solution steps per revolution (the editor clamps to 30 .. 550)");
    command->add_flag("--backward", *backward, "Run backward (clears Forward)");
    command->add_option(
        "--csv", request->csv,
        "CSV file of index, crank angle (radians), piston percent, valve position; - for stdout");
    command
        ->add_option("--pins", request->pins,
                     "CSV file of every pin at each step: step, crank angle (radians), then x and y of each "
                     "pin under its letter on the annotated drawing (G_x, G_y, C_x, ...); - for stdout")
        ->type_name("FILE");
    command->callback([request, backward, steps, &run] {
        request->gear.steps = *steps;
        if (*backward) request->gear.forward = false;
        run = [request] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Solve(*request, dialogs); });
        };
    });
}

} // namespace linkwright
