// Speed of the fixed-point format on one revolution's listing: per line a crank angle (a double,
// F(x, 5, 1)) and twelve pin coordinates (floats widened to double, -60..60, F(x, 6, 3)), each
// followed by a blank. "per_number" is the time per formatted number.
#include "common/NumberFormat.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using linkwright::AppendF;
using linkwright::F;
using linkwright::FieldRoom;
using linkwright::WriteF;

constexpr int kLines = 551;
constexpr int kCoordinates = 12;

struct Line {
    double angle;
    double coordinates[kCoordinates];
};

const std::vector<Line>& ListingLines() {
    static const std::vector<Line> lines = [] {
        std::mt19937 random(551);
        std::uniform_real_distribution<float> coordinate(-60.0f, 60.0f);
        std::vector<Line> result(kLines);
        for (int i = 0; i < kLines; ++i) {
            result[i].angle = 360.0 * i / (kLines - 1);
            for (double& c : result[i].coordinates)
                c = static_cast<double>(coordinate(random));
        }
        return result;
    }();
    return lines;
}

void CountNumbers(benchmark::State& state) {
    state.counters["per_number"] =
        benchmark::Counter(kLines * (1 + kCoordinates),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_F(benchmark::State& state) {
    const auto& lines = ListingLines();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const Line& line : lines) {
            total += F(line.angle, 5, 1).size();
            for (const double c : line.coordinates)
                total += F(c, 6, 3).size();
        }
        benchmark::DoNotOptimize(total);
    }
    CountNumbers(state);
}
BENCHMARK(BM_F);

void BM_AppendF(benchmark::State& state) {
    const auto& lines = ListingLines();
    std::string listing;
    listing.reserve(kLines * 96);
    for (auto _ : state) {
        listing.clear();
        for (const Line& line : lines) {
            AppendF(listing, line.angle, 5, 1);
            listing += ' ';
            for (const double c : line.coordinates) {
                AppendF(listing, c, 6, 3);
                listing += ' ';
            }
            listing += '\n';
        }
        benchmark::DoNotOptimize(listing.data());
        benchmark::ClobberMemory();
    }
    CountNumbers(state);
}
BENCHMARK(BM_AppendF);

// The listing written line by line into one buffer with room for every line's thirteen fields.
void BM_WriteF(benchmark::State& state) {
    const auto& lines = ListingLines();
    constexpr int kLineRoom = (1 + kCoordinates) * (FieldRoom(6) + 1) + 1;
    std::vector<char> listing(static_cast<std::size_t>(kLines) * kLineRoom);
    for (auto _ : state) {
        char* p = listing.data();
        for (const Line& line : lines) {
            p = WriteF(p, line.angle, 5, 1);
            *p++ = ' ';
            for (const double c : line.coordinates) {
                p = WriteF(p, c, 6, 3);
                *p++ = ' ';
            }
            *p++ = '\n';
        }
        benchmark::DoNotOptimize(p);
        benchmark::ClobberMemory();
    }
    CountNumbers(state);
}
BENCHMARK(BM_WriteF);

} // namespace

BENCHMARK_MAIN();
