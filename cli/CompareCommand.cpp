// The compare command: two data files of one kind side by side, their valve events at a few gear
// settings as a table and their oval and events diagrams overlaid.
#include "cli/AnalysisOutput.h"
#include "cli/GearOptions.h"
#include "cli/OutputFile.h"

#include "analysis/Comparison.h"
#include "common/NumberFormat.h"
#include "gears/EditorFields.h"
#include "gears/GearKinds.h"
#include "plot/Glib1.h"
#include "tuning/EventsTable.h"
#include "tuning/GearDesign.h"
#include "ui/QtCanvas.h"

#include <QString>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace linkwright {

namespace {

struct CompareRequest {
    std::string first;
    std::string second;
    std::vector<std::string> settings;
    bool backward = false;
    std::string out;
};

// The settings of every --setting, each a list separated by commas, in order and each once.
std::vector<float> ParseSettings(const std::vector<std::string>& given) {
    std::vector<float> settings;
    for (const std::string& list : given) {
        std::vector<float> parsed;
        std::string bad;
        if (!ParseGearSettings(list, parsed, bad))
            throw std::invalid_argument("--setting must be gear settings such as 1,0.5,0.25, not \"" + list +
                                        "\"");
        for (const float setting : parsed)
            if (std::find(settings.begin(), settings.end(), setting) == settings.end())
                settings.push_back(setting);
    }
    return settings;
}

// The kind a data file's extension names, as the desktop program opens a file given to it.
GearKind KindOfFile(const std::string& file) {
    const std::string extension = std::filesystem::path(file).extension().string();
    const std::optional<GearKind> kind =
        extension.size() > 1 ? FindGearKindByExtension(std::string_view(extension).substr(1)) : std::nullopt;
    if (!kind)
        throw std::invalid_argument(
            "\"" + file + "\": " +
            (extension.empty() ? std::string("a name without an extension") : "the extension " + extension) +
            " names no gear kind's data file");
    return *kind;
}

std::unique_ptr<GearDesign> LoadDesign(GearKind kind, const std::string& file) {
    auto design = std::make_unique<GearDesign>(kind);
    if (design->Load(file) == LoadResult::Refused)
        throw std::invalid_argument("\"" + file + "\" is refused as a " + KindRow(kind).name +
                                    " data file: " + WhyRefused(file, KindRow(kind)));
    return design;
}

// The file names without their folders; two that are the same are told apart by their order.
std::vector<std::string> DesignNames(const std::string& first, const std::string& second) {
    std::vector<std::string> names = {std::filesystem::path(first).filename().string(),
                                      std::filesystem::path(second).filename().string()};
    if (names[0] == names[1]) {
        names[0] += " (1)";
        names[1] += " (2)";
    }
    return names;
}

// The table as text in columns: numbers right-aligned, words left-aligned.
std::string AlignedText(const EventsTable& table) {
    const std::size_t columns = table.columns.size();
    std::vector<std::size_t> widths(columns, 0);
    std::vector<bool> numeric(columns, true);
    for (std::size_t c = 0; c < columns; ++c) {
        widths[c] = table.columns[c].size();
        for (const std::vector<std::string>& row : table.rows) {
            widths[c] = std::max(widths[c], row[c].size());
            numeric[c] = numeric[c] && ParseReal(row[c]).has_value();
        }
    }
    std::string text;
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string out;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::string padding(widths[c] - cells[c].size(), ' ');
            if (c > 0) out += "  ";
            out += numeric[c] ? padding + cells[c] : cells[c] + padding;
        }
        out.erase(out.find_last_not_of(' ') + 1);
        text += out + "\n";
    };
    line(table.columns);
    for (const std::vector<std::string>& row : table.rows)
        line(row);
    return text;
}

void WriteSvg(const std::filesystem::path& file, const char* caption,
              const std::function<void(Glib1&)>& draw) {
    OutputFile svg(file);
    svg.Put(SvgBytes(DiagramWidth, DiagramHeight, QString::fromUtf8(caption), [&](QtCanvas& canvas) {
        Glib1 glib(canvas);
        draw(glib);
    }));
}

void Compare(const CompareRequest& request) {
    const std::vector<float> settings = ParseSettings(request.settings);
    const GearKind kind = KindOfFile(request.first);
    const GearKind secondKind = KindOfFile(request.second);
    if (secondKind != kind)
        throw std::invalid_argument("\"" + request.first + "\" is a " + KindRow(kind).name + " file and \"" +
                                    request.second + "\" a " + KindRow(secondKind).name +
                                    " file: only designs of one kind are compared");
    std::unique_ptr<GearDesign> designs[] = {LoadDesign(kind, request.first),
                                             LoadDesign(kind, request.second)};
    const std::vector<std::string> names = DesignNames(request.first, request.second);
    const int colours[] = {FirstDesignColour, SecondDesignColour};
    const bool forward = !request.backward;

    const std::filesystem::path dir(request.out);
    CreateOutputFolder(dir);
    std::vector<std::vector<PointEvents>> events(2);
    for (const float setting : settings) {
        // A design's solve is kept only until its next one.
        std::vector<SolvedRevolution> solved;
        for (std::size_t d = 0; d < 2; ++d) {
            solved.push_back(designs[d]->Solve({setting, forward}));
            events[d].push_back(solved.back().events);
        }
        std::vector<OvalDesign> ovals;
        for (std::size_t d = 0; d < 2; ++d)
            ovals.push_back({names[d], solved[d].steps.StepPistonPct, solved[d].steps.StepValvePos,
                             solved[d].record, solved[d].Nsteps, colours[d]});
        WriteSvg(dir / ("oval-" + ShortestText(setting) + ".svg"), OvalComparisonCaption,
                 [&](Glib1& plot) { DrawOvalComparison(plot, DiagramWidth, DiagramHeight, ovals); });
    }

    // The sweep of the first setting's sign.
    std::vector<FamilyEvents> families;
    for (std::size_t d = 0; d < 2; ++d)
        families.push_back(designs[d]->Family(settings.front(), forward));
    std::vector<EventsDesign> sweeps;
    for (std::size_t d = 0; d < 2; ++d)
        sweeps.push_back({names[d], families[d].piston, &families[d].blocks, families[d].state, colours[d]});
    WriteSvg(dir / "events.svg", EventsComparisonCaption,
             [&](Glib1& plot) { DrawEventsComparison(plot, DiagramWidth, DiagramHeight, sweeps); });

    const EventsTable table = CompareEvents(names, events);
    OutputFile(dir / "events.csv").Put(EventsTableCsv(table));
    std::cout << AlignedText(table);
}

} // namespace

void AddCompareCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command = app.add_subcommand(
        "compare", "Compare two data files of one kind: solve both at each gear setting, write their "
                   "valve events side by side (events.csv: cut-off, lead, release, compression and valve "
                   "travel of each cylinder end, and whether the events are proper), their oval diagrams "
                   "overlaid (oval-SETTING.svg) and their events diagrams overlaid over the sweep of the "
                   "first setting's sign (events.svg) into --out, and print the table");
    auto request = std::make_shared<CompareRequest>();
    command->add_option("first", request->first, "The first data file (its kind from its extension)")
        ->required()
        ->check(CLI::ExistingFile);
    command->add_option("second", request->second, "The second data file, of the same kind")
        ->required()
        ->check(CLI::ExistingFile);
    command
        ->add_option("--setting", request->settings,
                     "Gear settings to compare at, separated by commas; repeatable (default 1,0.5,0.25: "
                     "full gear, half and working)")
        ->allow_extra_args(false)
        ->type_name("S[,S...]");
    command->add_flag("--backward", request->backward, "Run backward");
    command->add_option("--out", request->out, "Folder for the files (created if missing)")->required();
    command->callback([request, &run] {
        if (request->settings.empty()) request->settings = {"1,0.5,0.25"};
        run = [request] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Compare(*request); });
        };
    });
}

} // namespace linkwright
