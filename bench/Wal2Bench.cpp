// Speed of the Walschaerts 2 model, the gear with a double hanger: one linkage solution, a whole
// revolution of 550 steps with its listing, and the drawing of the main view at 1600 x 900 pixels on
// the Qt canvas.
#include "bench/BenchSupport.h"

namespace linkwright::bench {
namespace {

constexpr GearKind Kind = GearKind::Walschaerts2;

void BM_CalcGear(benchmark::State& bench) {
    MeasureCalcGear(bench, Kind);
}
BENCHMARK(BM_CalcGear);

void BM_SolveRevolution550(benchmark::State& bench) {
    MeasureSolveRevolution(bench, Kind);
}
BENCHMARK(BM_SolveRevolution550)->Unit(benchmark::kMicrosecond);

void BM_DrawGear1600x900(benchmark::State& bench) {
    MeasureDrawGear(bench, Kind, 1600, 900);
}
BENCHMARK(BM_DrawGear1600x900)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace linkwright::bench

int main(int argc, char** argv) {
    return linkwright::bench::RunBenchmarks(argc, argv, "wal2");
}
