// One redraw of the graph window's map: 63,002 evaluations of the
// Rosenbrock function, the levels, one pixel per sample on the Qt image,
// and a track of 1,000 points on top.
#include <benchmark/benchmark.h>

#include "func/function.h"
#include "graph/image_canvas.h"
#include "graph/map.h"
#include "methods/session.h"

namespace {

using namespace qirt;

void RedrawRosenbrockMap(benchmark::State& state) {
    TSession S;
    BuildTree(S.Function, "100*(x[1]-x[0]^2)^2+(1-x[0])^2");
    S.CurrentLastIndex = 1;
    S.View = {-2, 2, -1, 3};
    Tdata track;
    for (int k = 0; k < 1000; ++k) {
        const Real t = k / 1000.0L;
        AddTrackPoint(track, Vector{-1.2L + 2.2L * t, 1 - t + t * t}, 1, 0);
    }
    S.Track = &track;
    TImageCanvas canvas(kMapPixels, kMapPixels);
    for (auto _ : state) {
        RedrawMap(S, canvas, 0, 1, "16");
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    state.counters["evaluations"] = benchmark::Counter(
        static_cast<double>(S.Function.EvaluationCount) / static_cast<double>(state.iterations()));
}
BENCHMARK(RedrawRosenbrockMap)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
