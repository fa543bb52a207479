// The fields and save commands: the editor's controls as the form shows them for a gear set up
// from the command line, and that gear written as its kind's data file.
#include "cli/AnalysisOutput.h"
#include "cli/EditorText.h"
#include "cli/GearOptions.h"

#include "gears/GearKinds.h"
#include "ui/QtCanvas.h"

#include <iostream>
#include <memory>
#include <stdexcept>

namespace linkwright {

namespace {

struct FieldsRequest {
    GearOptions gear;
    std::string json;
};

void Fields(const FieldsRequest& request, HeadlessDialogs& dialogs) {
    JsonOutput json(request.json);
    const PictureSize size = PictureSizeFor(request.gear);
    QtCanvas picture(size.width, size.height);
    std::unique_ptr<Simulation> sim = PrepareGear(request.gear, dialogs, picture);
    std::vector<CommandFile> files = GearCommandFiles(request.gear, *sim, false);
    // Fields written over the fields file they were read from are a round trip, not a loss.
    files.push_back({"--json", request.json, true, FieldsFileSharing});
    RefuseSharedFiles(files);

    // What the form shows when it opens; it is not OKed.
    const EditorSession session(sim->CurrentModel(), sim->State, dialogs);
    const std::vector<ControlValue> values = session.Fill();
    const EditorTable& table = session.Table();
    if (!request.json.empty()) {
        json.Put(FieldsJson(KindRow(sim->CurrentKind).name, table, values, sim->State.Decimals));
        return;
    }
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        std::cout << table.fields[i].component << '\t' << table.fields[i].label << '\t'
                  << ControlText(table.fields[i], values[i], sim->State.Decimals) << '\n';
}

void Save(const GearOptions& options, const std::string& out, HeadlessDialogs& dialogs) {
    const PictureSize size = PictureSizeFor(options);
    QtCanvas picture(size.width, size.height);
    std::unique_ptr<Simulation> sim = PrepareGear(options, dialogs, picture);
    std::vector<CommandFile> files = GearCommandFiles(options, *sim, false);
    files.push_back({"--out", sim->SavedFileName(out), true, DataFileSharing});
    RefuseSharedFiles(files);
    SaveAs(*sim, dialogs, out);
}

} // namespace

void AddFieldsCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command = app.add_subcommand(
        "fields", "Print every control of the gear's editor as the form shows it, one a line: its name, "
                  "its label and its text (a number with more decimals where the form's do not hold its "
                  "value, a check box true or false, the admission radio pair the button checked, the "
                  "movie speed its position), separated by tabs");
    auto request = std::make_shared<FieldsRequest>();
    AddGearOptions(*command, request->gear);
    command
        ->add_option("--json", request->json,
                     "Write them as JSON instead, for --fields: the kind and a list of name, label and "
                     "text; - for stdout")
        ->type_name("FILE");
    command->callback([request, &run] {
        run = [request] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Fields(*request, dialogs); });
        };
    });
}

void AddSaveCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command =
        app.add_subcommand("save", "Write the gear as its kind's data file, as File > Save does (the record, "
                                   "then the stored part of the main state)");
    auto options = std::make_shared<GearOptions>();
    auto out = std::make_shared<std::string>();
    AddGearOptions(*command, *options);
    command
        ->add_option("--out", *out,
                     "Data file to write (the kind's extension is added to a name without one); a file "
                     "already there is replaced")
        ->required();
    command->callback([options, out, &run] {
        run = [options, out] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Save(*options, *out, dialogs); });
        };
    });
}

} // namespace linkwright
