// Speed of the plot library on the Qt canvas: a mechanism-sized picture (viewport, about two hundred
// clipped lines, circles, arcs, marks, labels and two axes) redrawn into a 1600 x 900 image.
#include "bench/BenchSupport.h"
#include "plot/Glib1.h"
#include "ui/QtCanvas.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

using linkwright::Glib1;
using linkwright::QtCanvas;

void DrawPicture(Glib1& plot, int width, int height, float phase) {
    plot.InitPlot(width, height, true, 10, 10, 90, 95);
    plot.SetWindow(true, -200, -100, 1400, 600);
    plot.SetColour(1);
    // Wheels, crank circles and pins.
    for (int i = 0; i < 3; ++i) {
        const float cx = 300.0f + 420.0f * static_cast<float>(i);
        plot.CircleW(cx, 150, 150);
        plot.CircleW(cx, 150, 12);
        plot.CrossW(cx + 80.0f * std::cos(phase), 150 + 80.0f * std::sin(phase), 6);
    }
    // Rods and links: polylines, some running out of the viewport.
    for (int i = 0; i < 200; ++i) {
        const float t = static_cast<float>(i) * 0.05f + phase;
        plot.MoveW(-300.0f + 8.0f * static_cast<float>(i), 300.0f + 250.0f * std::sin(t));
        plot.LineW(-250.0f + 8.0f * static_cast<float>(i), 320.0f + 260.0f * std::cos(t));
    }
    plot.SetLineStyle(1);
    plot.MoveW(-200, 150);
    plot.LineW(1400, 150);
    plot.SetLineStyle(0);
    for (int i = 0; i < 10; ++i)
        plot.ArcW(700, 300, 40.0f + 10.0f * static_cast<float>(i), 0.2f, 2.5f);
    // Pin labels.
    static const char* const kLabels[] = {"A", "C", "E", "G", "K", "L", "M", "R", "S", "V"};
    for (int i = 0; i < 30; ++i) {
        plot.MoveW(40.0f * static_cast<float>(i), 400);
        plot.PlotText(kLabels[i % 10]);
    }
    plot.Axis(false, "x");
    plot.Axis(true, "y");
}

void BM_MechanismPicture1600x900(benchmark::State& state) {
    QtCanvas canvas(1600, 900);
    Glib1 plot(canvas);
    float phase = 0;
    for (auto _ : state) {
        DrawPicture(plot, 1600, 900, phase);
        benchmark::DoNotOptimize(canvas.Image().constBits());
        phase += 0.01f;
    }
}
BENCHMARK(BM_MechanismPicture1600x900)->Unit(benchmark::kMillisecond);

void BM_MechanismPictureHiDpi(benchmark::State& state) {
    QtCanvas canvas(1600, 900, 2.0);
    Glib1 plot(canvas);
    float phase = 0;
    for (auto _ : state) {
        DrawPicture(plot, 1600, 900, phase);
        benchmark::DoNotOptimize(canvas.Image().constBits());
        phase += 0.01f;
    }
}
BENCHMARK(BM_MechanismPictureHiDpi)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return linkwright::bench::RunBenchmarks(argc, argv, "plot");
}
