// Speed of the valve-event analysis: the event search with the pressures, both listings, a whole
// analysis from the revolution solve to the listings, and the ten-member family sweep.
#include "analysis/Events.h"
#include "analysis/Listings.h"
#include "app/Simulation.h"
#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace linkwright {
namespace {

using bench::SilentDialogs;

std::filesystem::path Scratch(const char* name) {
    return std::filesystem::current_path() / name;
}

// The Walschaerts example solved once at full gear with 550 steps.
struct Solved {
    SilentDialogs dialogs;
    Simulation sim{dialogs, Scratch("linkwright-bench-Messages.txt")};
    Solved() { sim.RunAnalysis(); }
};

void BM_FindEventsWithPressures(benchmark::State& state) {
    Solved solved;
    Simulation& sim = solved.sim;
    for (auto _ : state) {
        FindEvents(sim.Steps.StepPistonPct, sim.Steps.StepValvePos, sim.State.FrontPressure,
                   sim.State.RearPressure, sim.State.Events, sim.State.Nsteps, sim.State.EventsImproper);
        benchmark::DoNotOptimize(sim.State.FrontPressure);
    }
}
BENCHMARK(BM_FindEventsWithPressures);

void BM_BothListings(benchmark::State& state) {
    Solved solved;
    Simulation& sim = solved.sim;
    MessagesFile listing(Scratch("linkwright-bench-listing.txt"));
    for (auto _ : state) {
        listing.RewriteEmpty();
        WriteSummaryListing(listing, sim.State.Events, sim.Steps.StepCrankAngle, sim.Steps.StepPistonPct,
                            sim.Steps.StepValvePos, sim.State.Nsteps);
        WriteDetailedListing(listing, sim.State.Events, sim.Steps.StepCrankAngle, sim.Steps.StepPistonPct,
                             sim.Steps.StepValvePos, sim.State.Nsteps);
        listing.Flush();
    }
    listing.Close();
}
BENCHMARK(BM_BothListings)->Unit(benchmark::kMicrosecond);

// The gear's own share of an analysis: one revolution solved (with its listing file).
void BM_SolveRevolution(benchmark::State& state) {
    Solved solved;
    Simulation& sim = solved.sim;
    for (auto _ : state) {
        sim.SolveDispatch(sim.Steps.StepCrankAngle, sim.Steps.StepPistonPct, sim.Steps.StepValvePos,
                          sim.State.GearSetting, sim.State.Events, sim.State.Nsteps);
    }
}
BENCHMARK(BM_SolveRevolution)->Unit(benchmark::kMillisecond);

void BM_RunAnalysisEndToEnd(benchmark::State& state) {
    Solved solved;
    Simulation& sim = solved.sim;
    for (auto _ : state) {
        sim.State.AnalysisValid = 0; // as after a change of the gear setting
        sim.RunAnalysis();
    }
}
BENCHMARK(BM_RunAnalysisEndToEnd)->Unit(benchmark::kMillisecond);

void BM_FamilySweep(benchmark::State& state) {
    Solved solved;
    Simulation& sim = solved.sim;
    for (auto _ : state)
        sim.Family1Click();
}
BENCHMARK(BM_FamilySweep)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace linkwright

int main(int argc, char** argv) {
    return linkwright::bench::RunBenchmarks(argc, argv, "analysis");
}
