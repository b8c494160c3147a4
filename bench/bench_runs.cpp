// Comparing methods and looking into runs: all nine methods on Rosenbrock's
// function with symbolic derivatives, map included; a redraw of the map
// with nine tracks; the iteration table of a 100,000-point track.
#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include "graph/image/image_canvas.h"
#include "graph/map/map.h"
#include "graph/window/run_panel.h"
#include "methods/compare.h"

namespace {

using namespace qirt;

TRunInputs Rosenbrock() {
    TRunInputs in;
    in.Formula = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";
    in.StartText = "-1.2,1";
    return in;
}

std::vector<int> AllNine() {
    std::vector<int> all;
    for (int k = 0; k < kMethodCount; ++k) all.push_back(k);
    return all;
}

// The nine runs, then the map of the best point with every track on it.
void CompareNineWithMap(benchmark::State& state) {
    TImageCanvas canvas(kMapPixels, kMapPixels);
    for (auto _ : state) {
        TSession S;
        const auto rows = CompareMethods(S, Rosenbrock(), AllNine());
        TRun run;
        PrepareComparisonMap(S, Rosenbrock(), rows, run);
        S.View = FirstView(S.FoundPoint, 0, 1);
        RedrawMap(S, canvas, 0, 1, "16");
        for (const auto& r : rows) DrawColouredTrack(S, canvas, 0, 1, *r.Track, TrackColour(r.Method));
        FinishRun(S, run);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
}
BENCHMARK(CompareNineWithMap)->Unit(benchmark::kMillisecond)->UseRealTime();

void RedrawWithNineTracks(benchmark::State& state) {
    TSession S;
    const auto rows = CompareMethods(S, Rosenbrock(), AllNine());
    TRun run;
    PrepareComparisonMap(S, Rosenbrock(), rows, run);
    S.View = {-2, 2, -1, 3};
    TImageCanvas canvas(kMapPixels, kMapPixels);
    for (auto _ : state) {
        RedrawMap(S, canvas, 0, 1, "16");
        for (const auto& r : rows) DrawColouredTrack(S, canvas, 0, 1, *r.Track, TrackColour(r.Method));
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    FinishRun(S, run);
}
BENCHMARK(RedrawWithNineTracks)->Unit(benchmark::kMillisecond)->UseRealTime();

// The panel given a track of 100,000 points and shown with its table.
void OpenLongTrackTable(benchmark::State& state) {
    TShownRun run;
    run.Track = std::make_shared<Tdata>();
    run.LastIndex = 9;
    for (int k = 0; k < 100000; ++k) {
        Vector x;
        for (int i = 0; i < 10; ++i) x[i] = k * 1e-3L + i;
        AddTrackPoint(*run.Track, x, 9, 0);
        run.Values.push_back(k);
    }
    std::vector<TShownRun> runs{run};
    TRunPanel panel;
    panel.resize(420, 600);
    panel.show();
    for (auto _ : state) {
        panel.SetRuns(&runs, {});
        QApplication::processEvents();
    }
}
BENCHMARK(OpenLongTrackTable)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
