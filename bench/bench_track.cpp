// Writing and drawing a track of a million points of ten variables.
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "graph/track/track.h"

namespace {

using namespace qirt;

constexpr int kPoints = 1'000'000;

Tdata& MillionPoints() {
    static Tdata track;
    if (!track.Head)
        for (int k = 0; k < kPoints; ++k) {
            Vector x;
            for (int i = 0; i < 10; ++i) x[i] = (k + 1) * 0.001L * (i + 1) - 3.7L * i;
            AddTrackPoint(track, x, 9, 0);
        }
    return track;
}

void SaveMillionPoints(benchmark::State& state) {
    Tdata& track = MillionPoints();
    const std::string name = "/tmp/qirt_bench_track.txt";
    for (auto _ : state) benchmark::DoNotOptimize(SaveTrack(track, name, 10));
    std::remove(name.c_str());
    state.SetItemsProcessed(state.iterations() * kPoints * 10);
}
BENCHMARK(SaveMillionPoints)->Unit(benchmark::kMillisecond);

void FormatOneNumber(benchmark::State& state) {
    char out[23];
    Real v = 1.234567890123456789L;
    for (auto _ : state) {
        TrackNumberText(v, out);
        benchmark::DoNotOptimize(out);
        v *= 1.0001L;
    }
}
BENCHMARK(FormatOneNumber);

// All batches of the track over a view that holds all of it.
void FillMillionPoints(benchmark::State& state) {
    Tdata& track = MillionPoints();
    const TViewRange view{-1e4, 1e4, -1e4, 1e4};
    TTrackPixels pixels;
    for (auto _ : state) {
        int batches = 0;
        do {
            FillTrackPixels(track, 0, 1, view, pixels);
            ++batches;
        } while (track.BatchState >= 199);
        benchmark::DoNotOptimize(batches);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(FillMillionPoints)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
