// Speed of the tuner on the Walschaerts 1 example: one evaluation (the editor's OK with three
// controls typed, then a revolution solved and analysed at working, half and full gear), and a
// whole tune of ARx, PXx and PXy for equal cut-offs at those three settings.
#include "app/Simulation.h"
#include "bench/BenchSupport.h"
#include "tuning/Tuner.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace linkwright {
namespace {

using bench::SilentDialogs;

struct Example {
    SilentDialogs dialogs;
    Simulation sim{dialogs, std::filesystem::current_path() / "linkwright-bench-Messages.txt"};

    TuningProblem Problem() {
        TuningProblem problem;
        GearDesign design(sim.CurrentModel(), sim.State);
        const std::vector<ControlValue> values = design.EditorValues();
        for (const char* control : {"ARx", "PXx", "PXy"})
            problem.vary.push_back(ParseVaried(control, sim.CurrentModel().Editor(), values));
        problem.targets.push_back(ParseTarget("equal-cutoff@0.25,0.5,1"));
        return problem;
    }
};

void BM_OneEvaluationAtThreeSettings(benchmark::State& state) {
    Example example;
    Tuner tuner(example.sim.CurrentModel(), example.sim.State, example.Problem());
    std::vector<double> x;
    for (const VariedControl& control : tuner.Problem().vary)
        x.push_back((control.low + control.high) / 2);
    for (auto _ : state) {
        x[0] += 1e-6; // a new candidate each time
        const Evaluation evaluation = tuner.Evaluate(x);
        benchmark::DoNotOptimize(evaluation.objective);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OneEvaluationAtThreeSettings)->Unit(benchmark::kMicrosecond);

void BM_WholeTuneAtThreeSettings(benchmark::State& state) {
    Example example;
    Tuner tuner(example.sim.CurrentModel(), example.sim.State, example.Problem());
    TuningOptions options;
    options.maxEvaluations = 1000;
    int evaluations = 0;
    for (auto _ : state) {
        const TuningResult result = tuner.Run(options);
        evaluations = result.evaluations;
        benchmark::DoNotOptimize(result.after.objective);
    }
    state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_WholeTuneAtThreeSettings)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace linkwright

int main(int argc, char** argv) {
    return linkwright::bench::RunBenchmarks(argc, argv, "tuning");
}
