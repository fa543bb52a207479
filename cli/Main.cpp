// linkwright-cli: the simulator without a window. Each command lives in a file of its own and adds
// itself here; they all prepare the gear through the same steps the desktop program takes.
#include "cli/AnalysisOutput.h"
#include "cli/GearOptions.h"

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

// No display is needed: Qt draws offscreen, with a runtime folder of its own when none is set.
void PrepareHeadlessEnvironment() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        std::string dir = (std::filesystem::temp_directory_path() / "linkwright-cli-runtime-XXXXXX").string();
        if (mkdtemp(dir.data()) != nullptr) setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Linkwright valve gear simulator, command line"};
    app.require_subcommand(1);
    std::function<int()> run;
    linkwright::AddRenderCommand(app, run);
    linkwright::AddSolveCommand(app, run);
    linkwright::AddAnalyseCommand(app, run);
    linkwright::AddFamilyCommand(app, run);

    // Options are checked before Qt starts, so --help and usage errors need no platform at all.
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
    PrepareHeadlessEnvironment();
    QGuiApplication qt(argc, argv);
    return run();
}
