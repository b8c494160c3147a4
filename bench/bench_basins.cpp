// The basins of attraction of DFP on Rosenbrock's function: 10,000 runs,
// one from the centre of each cell of a 100 x 100 grid over [-2, 2] x
// [-1, 3], with symbolic derivatives, grouped into minima; on one thread
// and on one thread per core (the argument; 0 = every core). Wall-clock
// time, since the work is spread over threads.
#include <benchmark/benchmark.h>

#include "methods/basins.h"
#include "methods/method_table.h"

namespace {

using namespace qirt;

void RosenbrockBasins(benchmark::State& state) {
    TSession S;
    TRunInputs in;
    in.Formula = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";
    in.StartText = "-1.2,1";
    in.MethodFamily = family::VariableMetric;
    in.MethodVariant = 1; // dfp
    TBasinGrid grid;
    grid.View = {-2, 2, -1, 3};
    grid.Size = 100;
    grid.Threads = static_cast<int>(state.range(0));
    TBasins basins;
    for (auto _ : state) {
        if (!ComputeBasins(S, in, grid, basins))
            state.SkipWithError("the basins were not computed");
        benchmark::DoNotOptimize(basins.Cells.data());
    }
    state.counters["threads"] = basins.Grid.Threads;
    state.counters["minima"] = basins.MinimumCount;
    // The share of the starts that found the minimum (1, 1).
    state.counters["share"] = basins.MinimumCount > 0 ? basins.Groups[0].Share : 0;
}
BENCHMARK(RosenbrockBasins)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
