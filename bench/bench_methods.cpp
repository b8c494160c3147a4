// Every method on the Rosenbrock function from (-1.2, 1), with symbolic
// derivatives and with central differences of step 1e-5. The counters give
// the iterations and evaluations of one run. And DFP on a two-variable
// problem with two conditions (one exterior, one interior) by each way of
// taking the region, the whole run from the main window's texts.
#include <benchmark/benchmark.h>

#include "func/conditions.h"
#include "func/derivative.h"
#include "func/function.h"
#include "methods/blmetr.h"
#include "methods/blpow.h"
#include "methods/blriv.h"
#include "methods/nyton.h"
#include "methods/run.h"
#include "methods/session.h"

namespace {

using namespace qirt;

constexpr const char* kRosenbrock = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";

// family, variant as the main menu numbers them
void RunMethod(TSession& S, int family, int variant, Vector& x, Real& f) {
    const Real accuracy = 1e-7L;
    switch (family) {
    case 1: ZeroOrderMethod(S, x, 1, f, variant, 1, accuracy, accuracy); break;
    case 2: FirstOrderMethod(S, x, 1, f, variant, 1, accuracy, accuracy); break;
    case 3: NewtonMethod(S, x, 1, f, 1, accuracy, accuracy); break;
    default: VariableMetricMethod(S, x, 1, f, variant, 1, accuracy, accuracy); break;
    }
}

void Method(benchmark::State& state) {
    const int family = static_cast<int>(state.range(0));
    const int variant = static_cast<int>(state.range(1));
    const Real step = state.range(2) ? 1e-5L : 0;
    TSession S;
    S.Function.DifferentiationStep = step;
    BuildTree(S.Function, kRosenbrock);
    for (auto _ : state) {
        Tdata track;
        S.Track = &track;
        S.Function.EvaluationCount = 0;
        Vector x{-1.2L, 1};
        Real f = 0;
        RunMethod(S, family, variant, x, f);
        benchmark::DoNotOptimize(f);
    }
    state.counters["iterations"] = S.IterationCount;
    state.counters["evaluations"] = S.Function.EvaluationCount;
}

// A run of 100,000 iterations (steepest descent on a function whose
// gradient jumps at its minimum, until the iteration limit) with its track,
// and with the log of what each step used (the argument 1) or without (0):
// the price of the log.
void LongRun(benchmark::State& state) {
    TSession S;
    BuildTree(S.Function, "abs(x[0])^1.5+abs(x[1])^3");
    BuildDerivativeObjects(S.Function);
    for (auto _ : state) {
        Tdata track;
        TIterationLog log(2);
        S.Track = &track;
        S.Log = state.range(0) ? &log : nullptr;
        Vector x{1, 2};
        Real f = 0;
        FirstOrderMethod(S, x, 1, f, 3, 1, 0, 0);
        benchmark::DoNotOptimize(f);
    }
    state.counters["iterations"] = S.IterationCount;
}
BENCHMARK(LongRun)->ArgName("log")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void Methods(benchmark::internal::Benchmark* b) {
    b->ArgNames({"family", "variant", "numeric"});
    const int methods[][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {2, 3}, {3, 1}, {4, 1}, {4, 2}, {4, 3}};
    for (int numeric = 0; numeric <= 1; ++numeric)
        for (auto [family, variant] : methods) b->Args({family, variant, numeric});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(Method)->Apply(Methods);

void RegionStrategy(benchmark::State& state) {
    TSession S;
    S.Conditions.AddCondition("x[0]+x[1]<=2", "1", "2", kExteriorKind);
    S.Conditions.AddCondition("x[0]>=0.5", "1", "2", kInteriorKind);
    TRunInputs in;
    in.Formula = "(x[0]-3)^2+(x[1]-3)^2";
    in.StartText = "0,0";
    in.MethodFamily = family::VariableMetric;
    in.MethodVariant = 1;
    in.RegionStrategy = static_cast<TRegionStrategy>(state.range(0));
    TRun run;
    for (auto _ : state) {
        StartRun(S, in, run);
        benchmark::DoNotOptimize(run.Result.Point);
        FinishRun(S, run);
    }
    state.counters["outer"] = static_cast<double>(run.Result.Region.Outer.size());
    state.counters["evaluations"] = static_cast<double>(run.Result.Evaluations);
}
BENCHMARK(RegionStrategy)->ArgName("strategy")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
