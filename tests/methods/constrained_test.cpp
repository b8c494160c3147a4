// The region's minimum: the sequence of penalties and the method of
// multipliers against known answers, the multiplier estimates against
// hand-worked values, and the report of a single penalised run.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../func/recording_messages.h"
#include "func/conditions.h"
#include "func/derivative.h"
#include "func/scan.h"
#include "methods/constrained.h"
#include "methods/run.h"

namespace qirt {
namespace {

struct TCondition {
    const char* Text;
    const char* Coefficient;
    const char* Kind;
};

// One run from the main window's texts with a region.
struct RegionRun {
    RegionRun(const char* formula, const char* start, const std::vector<TCondition>& conditions,
              TRegionStrategy strategy, const char* method = "dfp", const char* step = kSymbolicStepText) {
        S.Function.Messages = &messages;
        S.Conditions.Messages = &messages;
        for (const TCondition& c : conditions) S.Conditions.AddCondition(c.Text, c.Coefficient, "2", c.Kind);
        TRunInputs in;
        in.Formula = formula;
        in.StartText = start;
        in.StepText = step;
        const int k = MethodIndex(method);
        in.MethodFamily = kMethods[k].Family;
        in.MethodVariant = kMethods[k].Variant;
        in.RegionStrategy = strategy;
        StartRun(S, in, run);
    }
    ~RegionRun() { FinishRun(S, run); }
    const TRunResult& R() const { return run.Result; }
    const TRegionReport& G() const { return run.Result.Region; }

    testing::RecordingMessages messages;
    TSession S;
    TRun run;
};

const std::vector<TCondition> kExample = {{"x[0]+x[1]<=2", "1", kExteriorKind},
                                          {"x[0]>=0.5", "1", kInteriorKind}};
constexpr const char* kExampleFormula = "(x[0]-3)^2+(x[1]-3)^2";

// Every method that takes a gradient, both strategies, both kinds of
// derivatives: (1, 1) with f = 8, feasible, the first condition binding with
// multiplier 4 (grad f = (-4, -4) there), the second not.
TEST(RegionStrategies, TheExampleEndsAtTheRegionsMinimumForEveryGradientMethod) {
    for (TRegionStrategy strategy : {TRegionStrategy::Sequence, TRegionStrategy::Multipliers})
        for (const TMethod& m : kMethods) {
            if (m.Needs == TDerivatives::None) continue;
            for (const char* step : {kSymbolicStepText, "1e-5"}) {
                SCOPED_TRACE(std::string(m.Name) + " " + RegionStrategyKey(strategy) + " " + step);
                RegionRun r(kExampleFormula, "0,0", kExample, strategy, m.Name, step);
                ASSERT_EQ(r.run.Status, TRunStatus::Done);
                EXPECT_EQ(r.G().End, TRegionEnd::RegionMinimum);
                EXPECT_EQ(r.R().End, TRunEnd::Converged);
                // The penalty sequence's last problems are steep: its points
                // are found to about 1e-3 along the boundary, the
                // multipliers' to about 1e-5.
                const Real near = strategy == TRegionStrategy::Sequence ? 1e-3L : 1e-5L;
                EXPECT_NEAR(double(r.R().Point[0]), 1.0, double(near));
                EXPECT_NEAR(double(r.R().Point[1]), 1.0, double(near));
                EXPECT_NEAR(double(r.G().Objective), 8.0, 1e-5);
                EXPECT_LE(r.G().Violation, 1e-5L);
                ASSERT_EQ(r.G().Conditions.size(), 2u);
                EXPECT_TRUE(r.G().Conditions[0].Active);
                EXPECT_FALSE(r.G().Conditions[1].Active);
                EXPECT_NEAR(double(r.G().Conditions[0].Multiplier), 4.0, 1e-2);
                EXPECT_EQ(r.G().Conditions[1].Multiplier, 0);
                // One track, the outer steps marked on it in order.
                ASSERT_GE(r.G().Outer.size(), 2u);
                for (std::size_t k = 1; k < r.G().Outer.size(); ++k)
                    EXPECT_GT(r.G().Outer[k].FirstTrackPoint, r.G().Outer[k - 1].FirstTrackPoint);
                EXPECT_GT(r.run.Track.Count, r.G().Outer.back().FirstTrackPoint);
            }
        }
}

// The coefficients the user typed are in force again after a strategy.
TEST(RegionStrategies, TheTypedCoefficientsComeBack) {
    RegionRun r(kExampleFormula, "0,0", kExample, TRegionStrategy::Multipliers);
    ASSERT_EQ(r.G().End, TRegionEnd::RegionMinimum);
    const straf* exterior = r.S.Conditions.At(1);
    const straf* interior = r.S.Conditions.At(2);
    EXPECT_EQ(exterior->Coefficient, 1);
    EXPECT_FALSE(exterior->Augmented);
    EXPECT_EQ(exterior->Multiplier, 0);
    EXPECT_EQ(interior->InteriorWeight, 1);
    // Outer steps raised the coefficient or moved the multiplier on the way.
    EXPECT_GT(r.G().Outer.back().Coefficient, 1);
    EXPECT_LT(r.G().Outer.back().InteriorWeight, 1);
}

// min x0^2 + x1^2 with x0 + x1 = 1: (0.5, 0.5); written c = x0 + x1 - 1,
// grad f + lambda grad c = (1, 1) + lambda (1, 1) = 0 gives lambda = -1.
TEST(RegionStrategies, AnEqualityHasItsSignedMultiplier) {
    for (TRegionStrategy strategy : {TRegionStrategy::Sequence, TRegionStrategy::Multipliers}) {
        SCOPED_TRACE(RegionStrategyKey(strategy));
        RegionRun r("x[0]^2+x[1]^2", "3,4", {{"x[0]+x[1]=1", "1", kExteriorKind}}, strategy);
        EXPECT_EQ(r.G().End, TRegionEnd::RegionMinimum);
        EXPECT_NEAR(double(r.R().Point[0]), 0.5, 1e-5);
        EXPECT_NEAR(double(r.R().Point[1]), 0.5, 1e-5);
        EXPECT_NEAR(double(r.G().Conditions[0].Multiplier), -1.0, 1e-5);
        EXPECT_TRUE(r.G().Conditions[0].Active);
        EXPECT_LE(r.G().Kkt, 1e-5L);
    }
}

// A condition that does not bind changes nothing: the unconstrained
// minimum, multiplier 0, nothing active or violated.
TEST(RegionStrategies, AnInactiveConditionLeavesTheUnconstrainedAnswer) {
    for (TRegionStrategy strategy : {TRegionStrategy::Sequence, TRegionStrategy::Multipliers}) {
        RegionRun r("(x[0]-1)^2+(x[1]-1)^2", "3,4", {{"x[0]+x[1]<=5", "1", kExteriorKind}}, strategy);
        EXPECT_EQ(r.G().End, TRegionEnd::RegionMinimum);
        EXPECT_NEAR(double(r.R().Point[0]), 1.0, 1e-7);
        EXPECT_NEAR(double(r.R().Point[1]), 1.0, 1e-7);
        EXPECT_EQ(r.G().Conditions[0].Multiplier, 0);
        EXPECT_FALSE(r.G().Conditions[0].Active);
        EXPECT_FALSE(r.G().Conditions[0].Violated);
        EXPECT_EQ(r.G().Violation, 0);
    }
}

// Hand-worked multipliers: min x0 + x1 in the disc x0^2 + x1^2 <= 2 ends at
// (-1, -1), where (1, 1) + lambda (2 x0, 2 x1) = 0 gives lambda = 1/2; min x0
// with x0 >= 2 (c = 2 - x0) gives lambda = 1.
TEST(RegionStrategies, MultipliersAgainstHandWorkedValues) {
    RegionRun disc("x[0]+x[1]", "0.3,0.2", {{"x[0]^2+x[1]^2<=2", "1", kExteriorKind}},
                   TRegionStrategy::Multipliers);
    EXPECT_EQ(disc.G().End, TRegionEnd::RegionMinimum);
    EXPECT_NEAR(double(disc.R().Point[0]), -1.0, 1e-5);
    EXPECT_NEAR(double(disc.R().Point[1]), -1.0, 1e-5);
    EXPECT_NEAR(double(disc.G().Conditions[0].Multiplier), 0.5, 1e-5);

    RegionRun bound("x[0]+x[1]^2", "5,1", {{"x[0]>=2", "1", kExteriorKind}}, TRegionStrategy::Sequence);
    EXPECT_EQ(bound.G().End, TRegionEnd::RegionMinimum);
    EXPECT_NEAR(double(bound.R().Point[0]), 2.0, 1e-5);
    EXPECT_NEAR(double(bound.G().Conditions[0].Multiplier), 1.0, 1e-4);
    EXPECT_NEAR(double(bound.G().Conditions[0].Value), 0.0, 1e-5); // c = 2 - x0
}

// Outside an interior region the term is a constant 1e6: f alone leads the
// method to -1, outside x0 >= 1, and no term leads it in.
TEST(RegionStrategies, AnInfeasibleStartForInteriorTermsIsSaid) {
    for (TRegionStrategy strategy : {TRegionStrategy::Sequence, TRegionStrategy::Multipliers}) {
        RegionRun r("(x[0]+1)^2", "-3", {{"x[0]>=1", "1", kInteriorKind}}, strategy);
        EXPECT_EQ(r.G().End, TRegionEnd::InfeasibleStart);
        EXPECT_NE(r.R().End, TRunEnd::Converged);
        EXPECT_TRUE(r.G().Conditions[0].Violated);
        EXPECT_EQ(r.G().Outer.size(), 1u);
    }
}

// The single penalised run reports how far its answer is from the region:
// the example's penalised minimum lies 1.4 outside.
TEST(RegionReport, ASinglePenalisedRunSaysHowFarOutsideItIs) {
    RegionRun r(kExampleFormula, "0,0", kExample, TRegionStrategy::Single);
    EXPECT_EQ(r.G().End, TRegionEnd::PenalisedMinimum);
    EXPECT_TRUE(r.G().Present);
    EXPECT_FALSE(r.G().HasMultipliers);
    EXPECT_TRUE(r.G().Outer.empty());
    EXPECT_NEAR(double(r.G().Violation), 1.42, 0.01);
    EXPECT_TRUE(r.G().Conditions[0].Violated);
    EXPECT_FALSE(r.G().Conditions[1].Violated);
    // f alone, and with its penalties as the method minimised it.
    const Real x0 = r.R().Point[0], x1 = r.R().Point[1];
    const Real alone = (x0 - 3) * (x0 - 3) + (x1 - 3) * (x1 - 3);
    EXPECT_NEAR(double(r.G().Objective), double(alone), 1e-15);
    EXPECT_EQ(r.G().Penalised, r.R().Minimum);
    EXPECT_GT(r.G().Penalised, r.G().Objective);
}

// One penalised run is the method's own run, bit for bit: the same point,
// value and counts as calling the method on the penalised function.
TEST(RegionReport, ASingleRunIsTheMethodsOwnRun) {
    for (const TMethod& m : kMethods)
        for (const char* step : {kSymbolicStepText, "1e-4"}) {
            SCOPED_TRACE(std::string(m.Name) + " " + step);
            RegionRun r(kExampleFormula, "0.2,0.1", kExample, TRegionStrategy::Single, m.Name, step);
            ASSERT_EQ(r.run.Status, TRunStatus::Done);
            // The same session prepared by hand, the method called directly.
            TSession S;
            for (const TCondition& c : kExample) S.Conditions.AddCondition(c.Text, c.Coefficient, "2", c.Kind);
            // The step as the run reads its text.
            S.Function.DifferentiationStep = step == kSymbolicStepText ? 0 : TextToReal(step);
            BuildTree(S.Function, kExampleFormula, m.Needs != TDerivatives::None && step == kSymbolicStepText);
            Tdata track;
            S.Track = &track;
            Vector x{0.2L, 0.1L};
            Real f = 0;
            m.Run(S, x, 1, f, 1e-7L, 1e-7L);
            EXPECT_EQ(std::memcmp(&x[0], &r.R().Point[0], 10), 0);
            EXPECT_EQ(std::memcmp(&x[1], &r.R().Point[1], 10), 0);
            EXPECT_EQ(std::memcmp(&f, &r.R().Minimum, 10), 0);
            EXPECT_EQ(S.IterationCount, r.R().Iterations);
            EXPECT_EQ(S.Function.EvaluationCount, r.R().Evaluations);
            EXPECT_EQ(track.Count, r.run.Track.Count);
        }
}

// Each outer step keeps its inner run's end and counts.
TEST(RegionStrategies, OuterStepsKeepTheirInnerRuns) {
    RegionRun r(kExampleFormula, "0,0", kExample, TRegionStrategy::Sequence);
    std::int64_t evaluations = 0;
    std::int32_t iterations = 0;
    for (const TOuterStep& s : r.G().Outer) {
        EXPECT_EQ(s.End, TRunEnd::Converged);
        evaluations += s.Evaluations;
        iterations += s.Iterations;
    }
    EXPECT_EQ(iterations, r.R().Iterations);
    EXPECT_LE(evaluations, r.R().Evaluations);
    EXPECT_GT(evaluations, 0);
    // The first outer step is the single penalised run (restarted while it
    // moved, so to the accuracy).
    RegionRun single(kExampleFormula, "0,0", kExample, TRegionStrategy::Single);
    EXPECT_NEAR(double(r.G().Outer[0].Point[0]), double(single.R().Point[0]), 1e-5);
    EXPECT_NEAR(double(r.G().Outer[0].Point[1]), double(single.R().Point[1]), 1e-5);
}

// Without a region nothing is reported, and a region switched off counts
// as none.
TEST(RegionReport, NoRegionNoReport) {
    RegionRun none("x[0]^2+x[1]^2", "1,1", {}, TRegionStrategy::Multipliers);
    EXPECT_FALSE(none.G().Present);
    EXPECT_EQ(none.R().End, TRunEnd::Converged);
}

TEST(RegionStrategies, KeysReadBack) {
    for (int k = 0; k < kRegionStrategyCount; ++k)
        EXPECT_EQ(RegionStrategyIndex(RegionStrategyKey(static_cast<TRegionStrategy>(k))), k);
    EXPECT_EQ(RegionStrategyIndex("penalty"), -1);
}

} // namespace
} // namespace qirt
