// One redraw of the graph window's map: 63,002 evaluations of the
// Rosenbrock function, the levels, one pixel per sample on the Qt image,
// and a track of 1,000 points on top; and the same map drawn 1000 pixels
// across, as an enlarged window shows it (251,002 evaluations).
#include <string>
#include <thread>

#include <benchmark/benchmark.h>

#include "func/function.h"
#include <QGuiApplication>
#include <QPainter>

#include "graph/image/image_canvas.h"
#include "graph/image/plot_picture.h"
#include "graph/map/map.h"
#include "methods/session.h"

namespace {

using namespace qirt;

// The arguments: the look (0 the dotted map, 1 filled, 2 filled with level
// lines, 3 level lines over the dots) and the map's side in pixels.
void RedrawRosenbrockMap(benchmark::State& state) {
    TSession S;
    S.MapFilled = state.range(0) == 1 || state.range(0) == 2;
    S.MapLevelLines = state.range(0) >= 2;
    BuildTree(S.Function, "100*(x[1]-x[0]^2)^2+(1-x[0])^2");
    S.CurrentLastIndex = 1;
    S.View = {-2, 2, -1, 3};
    Tdata track;
    for (int k = 0; k < 1000; ++k) {
        const Real t = k / 1000.0L;
        AddTrackPoint(track, Vector{-1.2L + 2.2L * t, 1 - t + t * t}, 1, 0);
    }
    S.Track = &track;
    const int side = static_cast<int>(state.range(1));
    TImageCanvas canvas(side, side);
    for (auto _ : state) {
        RedrawMap(S, canvas, 0, 1, "16");
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    state.counters["evaluations"] = benchmark::Counter(
        static_cast<double>(S.Function.EvaluationCount) / static_cast<double>(state.iterations()));
}
BENCHMARK(RedrawRosenbrockMap)
    ->ArgNames({"look", "side"})
    ->ArgsProduct({{0, 1, 2, 3}, {kMapPixels, 1000}})
    ->Unit(benchmark::kMillisecond);

// The plot around the map, drawn at 1000 x 800 as an export draws it.
void DrawRosenbrockPlot(benchmark::State& state) {
    TSession S;
    BuildTree(S.Function, "100*(x[1]-x[0]^2)^2+(1-x[0])^2");
    S.CurrentLastIndex = 1;
    S.View = {-2, 2, -1, 3};
    S.MapLevelLines = true;
    TImageCanvas canvas(kMapPixels, kMapPixels);
    RedrawMap(S, canvas, 0, 1, "16");
    TPlotPicture picture;
    picture.Map = canvas.Image();
    picture.View = S.View;
    picture.Levels = LevelRanges(MapSamples(S), "16");
    QImage image(1000, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        DrawPlot(p, image.size(), picture);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(DrawRosenbrockPlot)->Unit(benchmark::kMillisecond);

// A costly formula of ten variables and about 3,000 characters, sampled by
// one thread and by one thread per core (the argument; 0 = every core).
void RedrawCostlyMap(benchmark::State& state) {
    std::string formula;
    for (int k = 0; k < 85; ++k) {
        if (k) formula += "+";
        formula += "sin(x[" + std::to_string(k % 10) + "]*" + std::to_string(k + 1) +
                   ")*cos(x[" + std::to_string((k + 3) % 10) + "])+ln(1+x[" +
                   std::to_string((k + 7) % 10) + "]^2)";
    }
    TSession S;
    BuildTree(S.Function, formula);
    S.CurrentLastIndex = 9;
    S.View = {-2, 2, -1, 3};
    S.MapThreads = static_cast<int>(state.range(0));
    TImageCanvas canvas(kMapPixels, kMapPixels);
    for (auto _ : state) {
        RedrawMap(S, canvas, 0, 1, "16");
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    state.counters["characters"] = static_cast<double>(formula.size());
    state.counters["threads"] = S.MapThreads ? S.MapThreads : std::thread::hardware_concurrency();
}
BENCHMARK(RedrawCostlyMap)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // The plot's fonts need Qt's GUI part; offscreen, no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
