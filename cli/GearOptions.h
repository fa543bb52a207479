// The options every linkwright-cli command shares to describe a gear as the user would set it up,
// and the preparation of a Simulation that follows the desktop program's own steps.
#pragma once

#include "app/Simulation.h"
#include "cli/OutputFile.h"
#include "windows/Dialogs.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace linkwright {

class QtCanvas;
struct GearKindRow;

// Message boxes have no one to answer them here: the texts go to stderr, questions answer OK.
class HeadlessDialogs final : public Dialogs {
public:
    bool WarningOkCancel(const std::string& text) override;
    void Information(const std::string& text) override;
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    // The save dialog is answered with saveFileName (save --out), if any.
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return saveFileName; }
    bool ConfirmPrint() override { return false; }
    std::string lastShown;
    std::optional<std::string> saveFileName;
    // While set, questions are answered OK without a word: save replaces its --out as asked.
    bool answerQuietly = false;
};

struct GearOptions {
    std::string kind;
    std::string file;
    std::optional<double> angle; // degrees
    std::string setting;         // typed into the gear field
    bool annotate = false;
    std::string size = "800x600";
    std::optional<double> slack;
    std::optional<double> wheelLift;
    std::optional<double> wheelDisp;
    bool autoSetting = false;
    std::optional<bool> forward;   // set by the commands that care about the direction
    std::optional<int> steps;      // typed into the editor's Solution Steps
    bool pictureIsOutput = false;  // the command writes the picture it draws (render)
    std::vector<std::string> sets; // --set NAME=TEXT, in the order given
    std::string fieldsFile;        // --fields FILE.json
};

void AddGearOptions(CLI::App& command, GearOptions& options);

// A simulation brought to the state the desktop shows for these options, drawn on `canvas`.
// Throws std::invalid_argument, GearFileRefused or EditorSyntaxError (see Simulation::PrepareAsUser).
std::unique_ptr<Simulation> PrepareGear(const GearOptions& options, HeadlessDialogs& dialogs,
                                        QtCanvas& canvas);

// What is wrong with a data file that the kind of `row` refused: why it cannot be read, that it is
// no plain file, or its size or version where the kind's differ.
std::string WhyRefused(const std::string& file, const GearKindRow& row);

// File > Save with `file` typed into the dialog, as save --out does: a name without an extension
// gets the kind's, and a file already there is replaced without the question. A name that
// RefuseUnsavable refuses is refused before the dialog is answered.
void SaveAs(Simulation& sim, HeadlessDialogs& dialogs, const std::string& file);

// The files every gear command shares, for RefuseSharedFiles: the data file and the fields file it
// reads and the messages file it writes in the working folder, with `listing` also the listing of
// the kind `sim` shows.
// A data file saved may replace the one opened, a fields file written the one read, and the
// messages file copied into a folder may be the messages file itself.
inline constexpr int DataFileSharing = 1;
inline constexpr int FieldsFileSharing = 2;
inline constexpr int MessagesFileSharing = 3;
std::vector<CommandFile> GearCommandFiles(const GearOptions& options, const Simulation& sim, bool listing);

// Refuses, with the reason, a `file` to save that names a folder ("", "/", "dir/") or lies in a
// folder that is missing, is no folder or cannot be written.
void RefuseUnsavable(const std::string& file);

// "WxH" into a width and height of 1 .. 20000 pixels; false when the text is not of that form.
bool ParseSize(const std::string& text, int& width, int& height);

// The largest picture a command draws, by its area.
inline constexpr long long MaxPicturePixels = 64'000'000;

struct PictureSize {
    int width = 800;
    int height = 600;
};
// The picture the gear is drawn on for these options: --size for a command whose output is that
// picture, the main window's usual size for the others (which never show it), so that a large
// --size costs nothing where it is not used. Throws std::invalid_argument for a --size that is
// not "WxH" or larger than MaxPicturePixels.
PictureSize PictureSizeFor(const GearOptions& options);

// Each command adds itself to the program; a new command is one more file and one more line in Main.
// Parsing the command line sets `run` to the chosen command's work, which Main runs once Qt is up.
void AddRenderCommand(CLI::App& app, std::function<int()>& run);
void AddSolveCommand(CLI::App& app, std::function<int()>& run);
void AddFieldsCommand(CLI::App& app, std::function<int()>& run);
void AddSaveCommand(CLI::App& app, std::function<int()>& run);
void AddCompareCommand(CLI::App& app, std::function<int()>& run);
void AddTuneCommand(CLI::App& app, std::function<int()>& run);

// Runs a command's work, turning its exceptions into a message on stderr and exit status 1.
int RunReportingErrors(HeadlessDialogs& dialogs, const std::function<void()>& work);

} // namespace linkwright
