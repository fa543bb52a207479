// Speed of one full redraw of the main view: the simulation's Redraw (caption, texts and the gear
// drawing) onto a 1920 x 1080 picture, and the hand-over of the finished picture to Image1.
#include "app/Simulation.h"
#include "bench/BenchSupport.h"
#include "ui/QtCanvas.h"
#include "ui/TfrmMain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

using linkwright::bench::SilentDialogs;

void FullRedraw(benchmark::State& state, double devicePixelRatio) {
    SilentDialogs dialogs;
    linkwright::Simulation simulation(dialogs, std::filesystem::current_path() / "Messages.txt");
    linkwright::QtCanvas canvas(1, 1, devicePixelRatio);
    simulation.Plot.AttachCanvas(canvas);
    linkwright::PictureBox image1;
    // The client area that leaves a 1920 x 1080 picture (3 pixels are kept free on each axis).
    const int clientWidth = 1920 + 3;
    const int clientHeight = 1080 + 3;
    int crank = 0;
    for (auto _ : state) {
        // A turn of the crank scroll bar, as the user drags it: every redraw shows a new position.
        simulation.CrankAngle = static_cast<float>(crank * 3.14159265358979 / 180.0);
        crank = (crank + 7) % 360;
        simulation.Redraw(clientWidth, clientHeight, 0);
        image1.SetPicture(canvas.Image());
        benchmark::DoNotOptimize(image1.Picture().constBits());
    }
}

void BM_Redraw1920x1080(benchmark::State& state) {
    FullRedraw(state, 1.0);
}
void BM_Redraw1920x1080HiDpi(benchmark::State& state) {
    FullRedraw(state, 2.0);
}

BENCHMARK(BM_Redraw1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw1920x1080HiDpi)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return linkwright::bench::RunBenchmarks<QApplication>(argc, argv, "redraw");
}
