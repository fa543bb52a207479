// Shared gear options of linkwright-cli and the preparation of the simulation they describe.
#include "cli/GearOptions.h"

#include "cli/EditorText.h"
#include "gears/GearKinds.h"
#include "ui/QtCanvas.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkwright {

bool HeadlessDialogs::WarningOkCancel(const std::string& text) {
    if (answerQuietly) return true;
    std::cerr << "linkwright-cli: " << text << " (answered OK)\n";
    lastShown = text;
    return true;
}

void HeadlessDialogs::Information(const std::string& text) {
    std::cerr << "linkwright-cli: " << text << "\n";
    lastShown = text;
}

namespace {

// "Gear kind: Walschaerts1, ..., Stephensons2 or 0..4", and which of them are not built yet.
std::string KindOptionHelp() {
    std::string names;
    std::string missing;
    for (const GearKindRow& row : GearKinds()) {
        names += std::string(names.empty() ? "" : ", ") + row.name;
        if (!row.Built()) missing += std::string(missing.empty() ? "" : ", ") + row.name;
    }
    std::string help = "Gear kind: " + names + " or 0.." + std::to_string(GearKindCount - 1);
    if (!missing.empty()) help += " (not built yet: " + missing + ")";
    return help;
}

} // namespace

std::string WhyRefused(const std::string& file, const GearKindRow& row) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return std::strerror(errno);
    struct stat status {};
    std::int32_t version = 0;
    const bool read = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
                      ::read(descriptor, &version, sizeof version) == static_cast<ssize_t>(sizeof version);
    ::close(descriptor);
    if (S_ISDIR(status.st_mode)) return "a folder, not a data file";
    if (!S_ISREG(status.st_mode)) return "not a plain file (a pipe or a device), so not a data file";
    const auto size = static_cast<std::size_t>(status.st_size);
    const std::string name = row.name;
    if (size < row.FileSize() || (row.exactFileSize && size != row.FileSize()))
        return std::to_string(size) + " bytes, where a " + name + " file has " +
               std::to_string(row.FileSize());
    if (read && version != row.fileVersion)
        return "version " + std::to_string(version) + ", where a " + name + " file has version " +
               std::to_string(row.fileVersion);
    return "it cannot be read as a " + name + " file";
}

void AddGearOptions(CLI::App& command, GearOptions& o) {
    command.add_option("--kind", o.kind, KindOptionHelp());
    command
        .add_option("--file", o.file,
                    "Data file to open, as File > Open does; without --kind, its extension (.L1 .. .L5) "
                    "names the gear kind")
        ->check(CLI::ExistingFile);
    command.add_option("--angle", o.angle, "Crank angle, degrees");
    command.add_option("--setting", o.setting, "Gear setting, -1 (full backward) .. +1 (full forward)")
        ->check(CLI::Number);
    command.add_flag("--annotate", o.annotate, "Label the pins");
    command.add_option("--size", o.size, "Picture size in pixels, WxH")->capture_default_str();
    command.add_option("--slack", o.slack, "Backlash in the valve drive");
    command.add_option("--wheel-lift", o.wheelLift, "Vertical axle movement");
    command.add_option("--wheel-disp", o.wheelDisp, "Horizontal axle movement");
    command.add_flag("--autosetting", o.autoSetting, "Let the gear set its return crank itself");
    command
        .add_option("--set", o.sets,
                    "Type TEXT into the editor's control NAME (its name as the fields command lists it: "
                    "GC, PistStroke, FLAAd, cbDU, Admission, ...); a check box takes true or false (1 or "
                    "0), the admission radio pair Inside or Outside (or true or false for its first "
                    "button), the movie speed 1 .. 10. Repeatable: all are typed after --fields and the "
                    "condition options, which they override, and the editor's OK is pressed once for all")
        ->type_name("NAME=TEXT");
    command
        .add_option("--fields", o.fieldsFile,
                    "JSON file of editor fields as fields --json writes it: each entry is typed as a "
                    "--set, before the condition options and --set, which override it")
        ->check(CLI::ExistingFile);
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    const auto parse = [](std::string_view part, int& value) {
        const auto result = std::from_chars(part.data(), part.data() + part.size(), value);
        return result.ec == std::errc() && result.ptr == part.data() + part.size() && value >= 1 &&
               value <= 20000;
    };
    const std::string_view all(text);
    return parse(all.substr(0, x), width) && parse(all.substr(x + 1), height);
}

namespace {

// A number given on the command line that the gear's Singles must hold.
void CheckSingle(const char* option, double value) {
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        throw std::invalid_argument(std::string(option) + " must be a finite number a Single can hold");
}

// --setting as a plain decimal number: the gear field would take any text, and one that is no
// number as 1, but a setting typed on the command line is meant as given.
void CheckSetting(const std::string& text) {
    double value = 0;
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    const bool decimal =
        error == std::errc() && stop == end && text.find_first_of("nNiIxXpP") == std::string::npos;
    if (!decimal || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        throw std::invalid_argument("--setting must be a decimal number such as 0.75, not \"" + text + "\"");
}

// The controls the condition options type, and the options.
struct ConditionOption {
    const char* component;
    const char* option;
    bool given;
};
std::vector<ConditionOption> ConditionOptions(const GearOptions& o) {
    return {{"Nsteps", "--steps", o.steps.has_value()},
            {"Slack1", "--slack", o.slack.has_value()},
            {"WheelLift1", "--wheel-lift", o.wheelLift.has_value()},
            {"WheelDisp1", "--wheel-disp", o.wheelDisp.has_value()},
            {"AutoSetting1", "--autosetting", o.autoSetting}};
}

// One text typed into the editor, and what on the command line typed it.
struct Typing {
    std::string name;
    std::string text;
    std::string origin; // "--set NAME=TEXT", "--fields FILE"
};

// The --fields entries that no condition option overrides, then the --set entries, in order.
std::vector<Typing> TypingsOf(const GearOptions& o, const FieldsFile& file) {
    std::vector<Typing> typings;
    const std::vector<ConditionOption> conditions = ConditionOptions(o);
    for (const TypedField& field : file.fields) {
        bool overridden = false;
        for (const ConditionOption& condition : conditions)
            overridden = overridden || (condition.given && field.name == condition.component);
        if (!overridden) typings.push_back({field.name, field.text, "--fields " + o.fieldsFile});
    }
    for (const std::string& set : o.sets) {
        const std::size_t equals = set.find('=');
        if (equals == std::string::npos || equals == 0)
            throw std::invalid_argument("--set must be NAME=TEXT, such as GC=8.5, not \"" + set + "\"");
        typings.push_back({set.substr(0, equals), set.substr(equals + 1), "--set " + set});
    }
    return typings;
}

// Under the editor's syntax-error message, each field that did not convert: the option, --set or
// --fields that typed it last, or, for a field nothing typed, the data file's value as the form
// shows it.
void ReportRefusedFields(const EditorSyntaxError& error, const GearOptions& o, const EditorTable& table,
                         const std::vector<Typing>& typings) {
    for (const EditorSyntaxError::Field& field : error.fields) {
        std::string option;
        for (const ConditionOption& condition : ConditionOptions(o))
            if (condition.given && field.component == condition.component) option = condition.option;
        for (const Typing& typing : typings)
            if (ControlNameOf(table, typing.name) == field.component) option = typing.origin;
        if (!option.empty())
            std::cerr << "linkwright-cli: " << option << ": \"" << field.text
                      << "\" is not a number the field \"" << field.label << "\" (" << field.component
                      << ") takes\n";
        else
            std::cerr << "linkwright-cli: the field \"" << field.label << "\" (" << field.component
                      << ") shows \"" << field.text
                      << "\" for the gear's value, which it does not take back as a number\n";
    }
}

} // namespace

PictureSize PictureSizeFor(const GearOptions& options) {
    PictureSize size;
    if (!ParseSize(options.size, size.width, size.height))
        throw std::invalid_argument("--size must be WxH in pixels, such as 800x600, not \"" + options.size +
                                    "\"");
    const long long area = static_cast<long long>(size.width) * size.height;
    if (area > MaxPicturePixels)
        throw std::invalid_argument("--size " + options.size + " is too large: a picture may have at most " +
                                    std::to_string(MaxPicturePixels) + " pixels");
    return options.pictureIsOutput ? size : PictureSize{};
}

std::unique_ptr<Simulation> PrepareGear(const GearOptions& o, HeadlessDialogs& dialogs, QtCanvas& canvas) {
    GearSetup setup;
    const PictureSize size = PictureSizeFor(o);
    setup.width = size.width;
    setup.height = size.height;
    if (!o.kind.empty()) {
        // A number is one digit; the simulation refuses one beyond the table.
        if (o.kind.size() == 1 && o.kind[0] >= '0' && o.kind[0] <= '9')
            setup.kindIndex = o.kind[0] - '0';
        else
            setup.kindName = o.kind;
    } else if (!o.file.empty()) {
        // Without --kind, a data file's extension names its kind, as the desktop program opens a
        // file given to it; any other name is opened as the first kind's.
        const std::string extension = std::filesystem::path(o.file).extension().string();
        if (extension.size() > 1)
            if (const std::optional<GearKind> kind =
                    FindGearKindByExtension(std::string_view(extension).substr(1)))
                setup.kindIndex = static_cast<int>(*kind);
    }
    if (!o.file.empty()) setup.file = o.file;
    if (!o.setting.empty()) CheckSetting(o.setting);
    const std::pair<const char*, const std::optional<double>*> numbers[] = {{"--angle", &o.angle},
                                                                            {"--slack", &o.slack},
                                                                            {"--wheel-lift", &o.wheelLift},
                                                                            {"--wheel-disp", &o.wheelDisp}};
    for (const auto& [option, value] : numbers)
        if (*value) CheckSingle(option, **value);
    if (o.slack) setup.slack = static_cast<float>(*o.slack);
    if (o.wheelLift) setup.wheelLift = static_cast<float>(*o.wheelLift);
    if (o.wheelDisp) setup.wheelDisp = static_cast<float>(*o.wheelDisp);
    if (o.autoSetting) setup.autoSetting = true;
    // Typed into "Solution Steps"; the editor clamps it to 30 .. 550 on closing.
    setup.steps = o.steps;
    if (!o.setting.empty()) setup.gearSetting = o.setting;
    setup.forward = o.forward;

    const FieldsFile file = o.fieldsFile.empty() ? FieldsFile{} : ReadFieldsFile(o.fieldsFile);
    const std::vector<Typing> typings = TypingsOf(o, file);
    auto sim = std::make_unique<Simulation>(dialogs);
    if (!typings.empty() || !file.kind.empty())
        setup.typeIntoEditor = [&](const EditorTable& table, std::vector<ControlValue>& values) {
            const char* kind = KindRow(sim->CurrentKind).name;
            if (!file.kind.empty() && file.kind != kind)
                throw std::invalid_argument("--fields " + o.fieldsFile + ": the fields are of a " +
                                            file.kind + " gear, not of a " + kind);
            for (const Typing& typing : typings)
                if (const std::optional<std::string> refused =
                        TypeControlText(table, values, typing.name, typing.text))
                    throw std::invalid_argument(typing.origin + ": " + *refused);
        };
    sim->Plot.AttachCanvas(canvas);
    try {
        sim->PrepareAsUser(setup);
    } catch (const GearFileRefused&) {
        // Under the program's own message, why the file was refused.
        std::cerr << "linkwright-cli: \"" << o.file
                  << "\": " << WhyRefused(o.file, KindRow(sim->CurrentModel().Kind())) << "\n";
        throw;
    } catch (const EditorSyntaxError& error) {
        ReportRefusedFields(error, o, sim->CurrentModel().Editor(), typings);
        throw;
    }
    if (o.angle) {
        // The crank scroll bar moved to the angle: the picture is redrawn there.
        if (!std::isfinite(*o.angle)) throw std::invalid_argument("--angle must be a finite number");
        sim->Annotate = 0;
        sim->CrankAngle = static_cast<float>(*o.angle / 180.0 * std::numbers::pi);
        sim->Redraw();
    }
    if (o.annotate) sim->AnnotClick();
    return sim;
}

int RunReportingErrors(HeadlessDialogs& dialogs, const std::function<void()>& work) {
    try {
        work();
        return 0;
    } catch (const std::exception& error) {
        // A refused file has already been shown by the program's own message box.
        if (dialogs.lastShown != error.what()) std::cerr << "linkwright-cli: " << error.what() << "\n";
        return 1;
    }
}

std::vector<CommandFile> GearCommandFiles(const GearOptions& o, const Simulation& sim, bool listing) {
    std::vector<CommandFile> files{{"the data file of --file", o.file, false, DataFileSharing},
                                   {"the fields file of --fields", o.fieldsFile, false, FieldsFileSharing},
                                   {"the messages file", sim.Messages.Path(), true, MessagesFileSharing}};
    const char* const listingName = KindRow(sim.CurrentKind).listingFileName;
    if (listing && listingName != nullptr) files.push_back({"the listing", listingName, true, 0});
    return files;
}

void RefuseUnsavable(const std::string& file) {
    const std::filesystem::path path(file);
    if (path.filename().empty())
        throw std::invalid_argument("--out \"" + file + "\" names a folder, not a data file");
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    const auto refuse = [&](std::error_code reason) {
        throw std::system_error(reason, "Cannot create \"" + file + "\"");
    };
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        refuse(error ? error : std::make_error_code(std::errc::not_a_directory));
    if (::access(folder.c_str(), W_OK | X_OK) != 0) refuse(std::error_code(errno, std::generic_category()));
}

void SaveAs(Simulation& sim, HeadlessDialogs& dialogs, const std::string& file) {
    RefuseUnsavable(file);
    dialogs.saveFileName = file;
    dialogs.answerQuietly = true;
    sim.Save1Click();
    dialogs.answerQuietly = false;
}

} // namespace linkwright
