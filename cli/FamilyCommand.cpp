// The family command: the sweep of View > Family without a window, written to files.
#include "cli/AnalysisOutput.h"
#include "cli/GearOptions.h"

#include "ui/QtCanvas.h"

#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace linkwright {

namespace {

struct FamilyRequest {
    GearOptions gear;
    std::string out;
    bool png = false;
    std::string json;
};

void Family(const FamilyRequest& request, HeadlessDialogs& dialogs) {
    const PictureSize size = PictureSizeFor(request.gear);
    QtCanvas picture(size.width, size.height);
    std::unique_ptr<Simulation> sim = PrepareGear(request.gear, dialogs, picture);
    sim->FirstActivation = 0; // the diagram windows have their places

    std::vector<Simulation::DiagramPlot> requested;
    sim->ShowDiagram = [&](Simulation::DiagramPlot plot) { requested.push_back(plot); };
    nlohmann::ordered_json members = nlohmann::ordered_json::array();
    if (!request.json.empty())
        sim->FamilyMemberAnalysed = [&](int member, std::span<const float> valve) {
            members.push_back(ValveEventsJson(*sim, valve, sim->Family.FamilyEvents[member]));
        };
    sim->Family1Click();

    const std::filesystem::path dir(request.out);
    std::vector<CommandFile> files = GearCommandFiles(request.gear, *sim, true);
    files.push_back({"the events table of --out", dir / "events.csv"});
    AddRequestedDiagramFiles(files, requested, dir, request.png);
    files.push_back({"--json", request.json});
    RefuseSharedFiles(files);
    CreateOutputFolder(dir);
    WriteRequestedDiagrams(*sim, requested, dir, request.png);
    WriteEventsCsv(*sim, dir / "events.csv");
    // Taken with the other files, once the folder of --out is there: the JSON may go into it.
    JsonOutput json(request.json);
    if (!request.json.empty()) json.Put(members);
}

} // namespace

void AddFamilyCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command = app.add_subcommand(
        "family",
        "Sweep ten gear settings of the sign of --setting as View > Family does: write the ten "
        "overlaid indicator diagrams (indicator.svg), the events diagram (events.svg), PNG with "
        "--png, and events.csv (setting, then the piston percent of each of the eight events "
        "tson, tsoff, bson, bsoff, teon, teoff, beon, beoff as the events diagram plots it) into --out");
    auto request = std::make_shared<FamilyRequest>();
    AddGearOptions(*command, request->gear);
    command->add_option("--out", request->out, "Folder for the files (created if missing)")->required();
    command->add_flag("--png", request->png, "Also write the diagrams as PNG");
    command
        ->add_option("--json", request->json,
                     "Also write the valve events of every setting of the sweep as JSON: a list with "
                     "one entry per setting, each as analyse --json writes it; - for stdout")
        ->type_name("FILE");
    command->callback([request, &run] {
        run = [request] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Family(*request, dialogs); });
        };
    });
}

} // namespace linkwright
