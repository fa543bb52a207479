// What the benchmark of every gear kind needs: a working folder of its own (a gear writes its
// revolution listing into the working folder), the kind's example gear built through the kinds table
// with the state block, messages file and dialogs it works with, a Qt image canvas with the plot
// library on it, the measuring loops of the cases all kinds share, and the program's main(). A kind's
// benchmark file names its cases and calls these.
#pragma once

#include "gears/GearKinds.h"
#include "gears/GearModel.h"
#include "plot/Glib1.h"
#include "state/EventRecord.h"
#include "state/SimulationState.h"
#include "ui/QtCanvas.h"
#include "windows/Dialogs.h"
#include "windows/MessagesFile.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

namespace linkwright::bench {

// Nothing a benchmark runs asks the user anything; a question that came would be answered "no".
class SilentDialogs final : public Dialogs {
public:
    bool WarningOkCancel(const std::string&) override { return false; }
    void Information(const std::string&) override {}
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    bool ConfirmPrint() override { return false; }
};

// A fresh folder under the temporary folder, the working folder while the object lives; it is
// removed, and the previous working folder restored, with the object.
class ScratchWorkingFolder {
public:
    explicit ScratchWorkingFolder(const std::string& name)
        : previous_(std::filesystem::current_path()),
          path_(std::filesystem::temp_directory_path() /
                ("linkwright-bench-" + name + "-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScratchWorkingFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchWorkingFolder(const ScratchWorkingFolder&) = delete;
    ScratchWorkingFolder& operator=(const ScratchWorkingFolder&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// A kind's example gear as the program starts with it, in full forward gear, with the messages
// file open in the working folder, set to the example and initialised.
class ExampleGear {
public:
    static constexpr int Steps = 550;

    explicit ExampleGear(GearKind kind) {
        const GearKindRow& row = KindRow(kind);
        if (!row.Built()) throw std::logic_error(std::string(row.name) + " has no model to measure");
        model_ = row.makeModel(GearEnvironment{state, messages_, dialogs_});
        state.fwd = 1;
        state.Nsteps = Steps;
        state.Decimals = 4;
        messages_.Create();
        model_->SetExample();
        model_->InitialiseGear();
    }
    ExampleGear(const ExampleGear&) = delete;
    ExampleGear& operator=(const ExampleGear&) = delete;

    GearModel& Model() { return *model_; }

    SimulationState state{};

private:
    SilentDialogs dialogs_;
    MessagesFile messages_{std::filesystem::current_path() / "Messages.txt"};
    std::unique_ptr<GearModel> model_;
};

// A white Qt image of width x height pixels with the plot library drawing on it.
struct PlotCanvas {
    PlotCanvas(int width, int height) : canvas(width, height) {}
    QtCanvas canvas;
    Glib1 plot{canvas};
};

// One linkage solution per iteration, the crank turning by 0.01 rad each time, in full gear.
inline void MeasureCalcGear(benchmark::State& bench, GearKind kind) {
    ExampleGear gear(kind);
    GearModel& model = gear.Model();
    float angle = 0;
    for (auto _ : bench) {
        model.CalcGear(angle, 1.0f);
        benchmark::DoNotOptimize(model.ValvePos());
        angle += 0.01f;
        if (angle > 6.2831853f) angle = 0;
    }
}

// A whole revolution of the example's step count, with the kind's listing, per iteration.
inline void MeasureSolveRevolution(benchmark::State& bench, GearKind kind) {
    ExampleGear gear(kind);
    GearModel& model = gear.Model();
    StepArrays steps;
    EventRecord events{};
    for (auto _ : bench) {
        model.SolveRevolution(steps, ExampleGear::Steps, events, 1.0f);
        benchmark::DoNotOptimize(steps.StepValvePos.data());
    }
}

// The main view drawn at width x height pixels per iteration, with its annotation, the crank
// turning by 0.01 rad each time.
inline void MeasureDrawGear(benchmark::State& bench, GearKind kind, int width, int height) {
    ExampleGear gear(kind);
    GearModel& model = gear.Model();
    PlotCanvas picture(width, height);
    float angle = 0;
    for (auto _ : bench) {
        model.DrawGear(picture.plot, width, height, true, angle, 1.0f);
        benchmark::DoNotOptimize(picture.canvas.Image().constBits());
        angle += 0.01f;
    }
}

// The main() of a benchmark program: Qt offscreen unless a platform is chosen, the benchmarks the
// command line selects, run in a scratch working folder named after the program. A program that
// measures widgets asks for a QApplication.
template <typename Application = QGuiApplication>
int RunBenchmarks(int argc, char** argv, const std::string& name) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ScratchWorkingFolder folder(name);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace linkwright::bench
