// The analyse command: the analysis of View > Indicator Diagram without a window, written to files.
#include "cli/AnalysisOutput.h"

#include "cli/GearOptions.h"

#include "analysis/Ovalplt.h"
#include "app/ResultTables.h"
#include "common/NumberFormat.h"
#include "plot/Glib1.h"
#include "ui/QtCanvas.h"

#include "cli/OutputFile.h"

#include <QString>

#include <charconv>
#include <iostream>
#include <numbers>
#include <set>
#include <sstream>
#include <stdexcept>

namespace linkwright {

void WriteDiagram(Simulation& sim, Simulation::DiagramPlot plot, const std::filesystem::path& stem,
                  bool png) {
    const std::filesystem::path svgFile = std::filesystem::path(stem).replace_extension(".svg");
    OutputFile svg(svgFile);
    svg.Put(SvgBytes(DiagramWidth, DiagramHeight, QString::fromUtf8(Simulation::DiagramCaption(plot)),
                     [&](QtCanvas& canvas) {
                         Glib1 glib(canvas);
                         sim.DrawDiagram(plot, glib, DiagramWidth, DiagramHeight);
                     }));
    if (png) {
        OutputFile file(std::filesystem::path(stem).replace_extension(".png"));
        QtCanvas canvas(DiagramWidth, DiagramHeight);
        Glib1 glib(canvas);
        sim.DrawDiagram(plot, glib, DiagramWidth, DiagramHeight);
        file.Put(PngBytes(canvas));
    }
}

void WriteStepsCsv(const Simulation& sim, const std::filesystem::path& file) {
    OutputFile(file).Put(StepsCsv(sim));
}

void WriteEventsCsv(const Simulation& sim, const std::filesystem::path& file) {
    OutputFile(file).Put(EventsCsv(sim));
}

namespace {

const char* DiagramFileStem(Simulation::DiagramPlot plot) {
    return plot == Simulation::DiagramPlot::Oval     ? "oval"
           : plot == Simulation::DiagramPlot::Events ? "events"
                                                     : "indicator";
}

} // namespace

void WriteRequestedDiagrams(Simulation& sim, const std::vector<Simulation::DiagramPlot>& requested,
                            const std::filesystem::path& dir, bool png) {
    std::set<std::string> written;
    for (Simulation::DiagramPlot plot : requested) {
        const char* name = DiagramFileStem(plot);
        if (written.insert(name).second) WriteDiagram(sim, plot, dir / name, png);
    }
}

void AddRequestedDiagramFiles(std::vector<CommandFile>& files,
                              const std::vector<Simulation::DiagramPlot>& requested,
                              const std::filesystem::path& dir, bool png) {
    std::set<std::string> listed;
    for (Simulation::DiagramPlot plot : requested) {
        if (!listed.insert(DiagramFileStem(plot)).second) continue;
        const std::filesystem::path stem = dir / DiagramFileStem(plot);
        for (const char* extension : {".svg", ".png"})
            if (png || extension == std::string_view(".svg"))
                files.push_back(
                    {"a diagram of --out", std::filesystem::path(stem).replace_extension(extension)});
    }
}

namespace {

struct AnalyseRequest {
    GearOptions gear;
    std::optional<int> steps;
    bool backward = false;
    std::string out;
    bool png = false;
    std::string json;
};

void Analyse(const AnalyseRequest& request, HeadlessDialogs& dialogs) {
    GearOptions options = request.gear;
    options.steps = request.steps;
    if (request.backward) options.forward = false;
    const PictureSize size = PictureSizeFor(options);
    QtCanvas picture(size.width, size.height);
    std::unique_ptr<Simulation> sim = PrepareGear(options, dialogs, picture);
    sim->FirstActivation = 0; // the diagram windows have their places

    std::vector<Simulation::DiagramPlot> requested;
    std::string caption;
    sim->ShowDiagram = [&](Simulation::DiagramPlot plot) { requested.push_back(plot); };
    sim->ShowCutoffCaption = [&](const std::string& text) { caption = text; };
    sim->RunAnalysis();

    const std::filesystem::path dir(request.out);
    std::vector<CommandFile> files = GearCommandFiles(options, *sim, true);
    files.push_back({"the messages file of --out", dir / "Messages.txt", true, MessagesFileSharing});
    files.push_back({"the steps table of --out", dir / "steps.csv"});
    AddRequestedDiagramFiles(files, requested, dir, request.png);
    files.push_back({"--json", request.json});
    RefuseSharedFiles(files);
    CreateOutputFolder(dir);
    {
        // Read before anything is written: with --out the working folder the copy would be the
        // messages file itself, which then already holds what it should.
        const std::string messages = sim->Messages.Contents();
        const std::filesystem::path file = dir / "Messages.txt";
        std::error_code error;
        if (!std::filesystem::equivalent(file, sim->Messages.Path(), error)) OutputFile(file).Put(messages);
    }
    WriteRequestedDiagrams(*sim, requested, dir, request.png);
    WriteStepsCsv(*sim, dir / "steps.csv");
    // Taken with the other files, once the folder of --out is there: the JSON may go into it.
    JsonOutput json(request.json);
    if (!request.json.empty()) json.Put(ValveEventsJson(*sim, sim->Steps.StepValvePos, sim->State.Events));
    if (!json.ToStdout()) std::cout << caption << "\n";
}

} // namespace

void AddAnalyseCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command = app.add_subcommand(
        "analyse", "Analyse one revolution as View > Indicator Diagram does: write the messages file "
                   "(Messages.txt), the indicator and oval diagrams (SVG, and PNG with --png) and the "
                   "steps with their pressures (steps.csv) into --out, and print the cut-off caption");
    auto request = std::make_shared<AnalyseRequest>();
    AddGearOptions(*command, request->gear);
    command->add_option("--steps", request->steps,
                        "Solution steps per revolution (the editor clamps to 30 .. 550)");
    command->add_flag("--backward", request->backward, "Run backward (clears Forward)");
    command->add_option("--out", request->out, "Folder for the files (created if missing)")->required();
    command->add_flag("--png", request->png, "Also write the diagrams as PNG");
    command
        ->add_option("--json", request->json,
                     "Also write the valve events of both cylinder ends as JSON: admission, cut-off, "
                     "release and compression (step, crank angle, piston percent, valve position, "
                     "interpolated percent of stroke), lead, admission angle, openings, valve travel and "
                     "the cut-off caption's figures, with the kind, setting and direction; - for stdout "
                     "(in place of the caption)")
        ->type_name("FILE");
    command->callback([request, &run] {
        run = [request] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Analyse(*request, dialogs); });
        };
    });
}

} // namespace linkwright
