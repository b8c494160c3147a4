// ns per FunctionValue on typical formulas, at a point that changes every
// call, and one Rosenbrock map of 251 x 251 samples.
#include <benchmark/benchmark.h>

#include "func/evaluate.h"

using namespace qirt;

namespace {

const char* const kFormulas[] = {
    "x[0]^2+x[1]^2",
    "100*(x[1]-x[0]^2)^2+(1-x[0])^2",
    "sin(x[0])*cos(x[1])+ln(x[0]*x[0]+x[1]*x[1]+1)",
    "(x[0]-1)^2+(x[1]-2)^2+(x[2]-3)^2+(x[3]-4)^2+(x[4]-5)^2+x[0]*x[1]*x[2]",
};

void FunctionValuePerCall(benchmark::State& state) {
    TFunction F;
    BuildTree(F, kFormulas[state.range(0)]);
    const int last = F.VariableCount - 1;
    Vector points[64];
    for (int k = 0; k < 64; ++k) points[k] = {0.5L + k * 1e-3L, -1.25L - k * 1e-3L, 2, 3, 4};
    Real sum = 0;
    unsigned k = 0;
    for (auto _ : state) sum += FunctionValue(F, points[k++ & 63], last);
    benchmark::DoNotOptimize(sum);
    state.SetLabel(kFormulas[state.range(0)]);
}
BENCHMARK(FunctionValuePerCall)->DenseRange(0, 3);

void RosenbrockGrid251(benchmark::State& state) {
    TFunction F;
    BuildTree(F, kFormulas[1]);
    Vector p{};
    Real sum = 0;
    for (auto _ : state) {
        for (int i = 0; i <= 250; ++i) {
            p[0] = -2 + i * (4.0L / 250);
            for (int j = 0; j <= 250; ++j) {
                p[1] = -1 + j * (4.0L / 250);
                sum += FunctionValue(F, p, 1);
            }
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * 251 * 251);
}
BENCHMARK(RosenbrockGrid251)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
