// Speed of the Walschaerts 1 model: one linkage solution, a whole revolution of 550 steps with its
// listing, and the drawing of the main view at 1600 x 900 pixels on the Qt canvas.
#include "gears/wal1/Wal1.h"
#include "plot/Glib1.h"
#include "ui/QtCanvas.h"
#include "windows/Dialogs.h"
#include "windows/MessagesFile.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace linkwright {
namespace {

class SilentDialogs final : public Dialogs {
public:
    bool WarningOkCancel(const std::string&) override { return false; }
    void Information(const std::string&) override {}
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    bool ConfirmPrint() override { return false; }
};

// The example gear as the program starts with it, in full forward gear.
struct ExampleGear {
    SilentDialogs dialogs;
    SimulationState state{};
    MessagesFile messages{std::filesystem::current_path() / "linkwright-bench-wal1-Messages.txt"};
    Wal1 model{GearEnvironment{state, messages, dialogs}};
    ExampleGear() {
        state.fwd = 1;
        state.Nsteps = 550;
        state.Decimals = 4;
        messages.Create();
        model.SetExample();
        model.InitialiseGear();
    }
};

void BM_CalcGear(benchmark::State& bench) {
    ExampleGear gear;
    float angle = 0;
    for (auto _ : bench) {
        gear.model.CalcGear(angle, 1.0f);
        benchmark::DoNotOptimize(gear.model.ValvePos());
        angle += 0.01f;
        if (angle > 6.2831853f) angle = 0;
    }
}
BENCHMARK(BM_CalcGear);

void BM_SolveRevolution550(benchmark::State& bench) {
    ExampleGear gear;
    StepArrays steps;
    EventRecord events{};
    for (auto _ : bench) {
        gear.model.SolveRevolution(steps, 550, events, 1.0f);
        benchmark::DoNotOptimize(steps.StepValvePos.data());
    }
}
BENCHMARK(BM_SolveRevolution550)->Unit(benchmark::kMicrosecond);

void BM_DrawGear1600x900(benchmark::State& bench) {
    ExampleGear gear;
    QtCanvas canvas(1600, 900);
    Glib1 plot(canvas);
    float angle = 0;
    for (auto _ : bench) {
        gear.model.DrawGear(plot, 1600, 900, true, angle, 1.0f);
        benchmark::DoNotOptimize(canvas.Image().constBits());
        angle += 0.01f;
    }
}
BENCHMARK(BM_DrawGear1600x900)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace linkwright

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
