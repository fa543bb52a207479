// linkwright-cli: the simulator without a window. Each command lives in a file of its own and adds
// itself here; they all prepare the gear through the same steps the desktop program takes.
#include "cli/AnalysisOutput.h"
#include "cli/GearOptions.h"
#include "common/BuildConfig.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

namespace {

// No display is needed, whatever the environment says: Qt draws offscreen. It wants a runtime
// folder; when none is set, one of its own is made for the run and removed after it.
class HeadlessEnvironment {
public:
    HeadlessEnvironment() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (std::getenv("XDG_RUNTIME_DIR") != nullptr) return;
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error || !std::filesystem::is_directory(base, error)) base = "/tmp";
        std::string dir = (base / "linkwright-cli-runtime-XXXXXX").string();
        if (mkdtemp(dir.data()) == nullptr) return;
        runtime_ = dir;
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    ~HeadlessEnvironment() {
        std::error_code ignored;
        if (!runtime_.empty()) std::filesystem::remove_all(runtime_, ignored);
    }
    HeadlessEnvironment(const HeadlessEnvironment&) = delete;
    HeadlessEnvironment& operator=(const HeadlessEnvironment&) = delete;

private:
    std::filesystem::path runtime_;
};

// What a command printed must have reached its destination: a full disk or a closed pipe behind
// standard output is an error, not a success.
int CheckStandardOutput(int status) {
    std::cout.flush();
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good()) return status;
    // A write that failed earlier, when the buffer filled, leaves no cause behind.
    std::cerr << "linkwright-cli: Cannot write to standard output";
    if (errno != 0) std::cerr << ": " << std::strerror(errno);
    std::cerr << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Linkwright valve gear simulator, command line"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("linkwright-cli ") + linkwright::ProgramVersion,
                         "Print the version and exit");
    std::function<int()> run;
    linkwright::AddRenderCommand(app, run);
    linkwright::AddSolveCommand(app, run);
    linkwright::AddAnalyseCommand(app, run);
    linkwright::AddFamilyCommand(app, run);
    linkwright::AddFieldsCommand(app, run);
    linkwright::AddSaveCommand(app, run);
    linkwright::AddCompareCommand(app, run);
    linkwright::AddTuneCommand(app, run);

    // Options are checked before Qt starts, so --help, --version and usage errors need no platform
    // at all.
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }
    if (!run) return 1;
    const HeadlessEnvironment environment;
    int status = 0;
    {
        QGuiApplication qt(argc, argv);
        status = run();
    }
    return CheckStandardOutput(status);
}
