// How runs end: which coordinates take part, the end each kind of function
// must get from every method, and the gradient evidence beside the minimum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "../func/recording_messages.h"
#include "func/derivative.h"
#include "func/evaluate.h"
#include "func/messages.h"
#include "methods/run.h"
#include "methods/verdict.h"

namespace qirt {
namespace {

using testing::RecordingMessages;

struct TOneRun {
    TOneRun() {
        S.Function.Messages = &messages;
        S.Conditions.Messages = &messages;
    }
    ~TOneRun() { FinishRun(S, run); }
    TRunStatus Run(int method, const std::string& formula, const std::string& start, const char* step) {
        TRunInputs in;
        in.Formula = formula;
        in.StartText = start;
        in.StepText = step;
        in.MethodFamily = kMethods[method].Family;
        in.MethodVariant = kMethods[method].Variant;
        StartRun(S, in, run);
        return run.Status;
    }
    RecordingMessages messages;
    TSession S;
    TRun run;
};

constexpr const char* kSteps[] = {kSymbolicStepText, "0.00001"};

std::string Describe(int method, const char* step) {
    return std::string(kMethods[method].Name) + " with step " + step;
}

// With the automatic count, x[0] ... x[k] take part, x[k] the highest
// variable; unused coordinates stay where they were.
TEST(Variables, EveryCoordinateUpToTheHighestTakesPart) {
    struct TCase {
        const char* Formula;
        const char* Start;
        int LastIndex;
        std::vector<double> Expected;
    };
    const TCase cases[] = {
        {"(x[0]-1)^2+(x[2]-3)^2", "0,5,0", 2, {1, 5, 3}},
        {"(x[1]-2)^2", "7,0", 1, {7, 2}},
        {"(x[9]+1)^2", "1,2,3,4,5,6,7,8,9,10", 9, {1, 2, 3, 4, 5, 6, 7, 8, 9, -1}},
    };
    for (const TCase& c : cases)
        for (int m = 0; m < kMethodCount; ++m)
            for (const char* step : kSteps) {
                SCOPED_TRACE(std::string(c.Formula) + " " + Describe(m, step));
                TOneRun r;
                ASSERT_EQ(r.Run(m, c.Formula, c.Start, step), TRunStatus::Done);
                const TRunResult& result = r.run.Result;
                ASSERT_EQ(result.LastIndex, c.LastIndex);
                EXPECT_EQ(result.End, TRunEnd::Converged);
                for (int i = 0; i <= c.LastIndex; ++i)
                    EXPECT_NEAR(double(result.Point[i]), c.Expected[i], 1e-3) << "x[" << i << "]";
                // The track carries every coordinate that took part.
                EXPECT_EQ(result.Track->Tail->X[c.LastIndex], result.Point[c.LastIndex]);
            }
}

TEST(Variables, AShortStartIsRefusedAndAnExplicitCountKeepsItsMeaning) {
    TOneRun r;
    EXPECT_EQ(r.Run(MethodIndex("bfgs"), "(x[0]-1)^2+(x[2]-3)^2", "0,0", kSymbolicStepText),
              TRunStatus::MissingCoordinates);
    EXPECT_EQ(r.messages.shown.back().Text, message::MissingCoordinates);
    // A count typed in the field leaves the distinct variables of the formula.
    TRunInputs in;
    in.Formula = "(x[0]-1)^2+(x[2]-3)^2";
    in.StartText = "0,0,0";
    in.VariableCountText = "3";
    StartRun(r.S, in, r.run);
    EXPECT_EQ(r.run.LastIndex, 1);
}

// A variable only the region uses takes part as well: (1-x[0])^2 with
// 10 (x[1] - x[0]^2) = 0 as an exterior term has its minimum at (1, 1).
TEST(Variables, AVariableOnlyTheRegionUsesTakesPart) {
    for (int m = 0; m < kMethodCount; ++m)
        for (const char* step : kSteps) {
            SCOPED_TRACE(Describe(m, step));
            TOneRun r;
            r.S.Conditions.AddCondition("10*(x[1]-x[0]^2)=0", "1", "2", kExteriorKind);
            ASSERT_EQ(r.S.Conditions.ConditionErrorCode, 0);
            ASSERT_EQ(r.Run(m, "(1-x[0])^2", "-1.2,1", step), TRunStatus::Done);
            ASSERT_EQ(r.run.Result.LastIndex, 1);
            EXPECT_EQ(r.S.CurrentLastIndex, 1); // the map's axes offer x[1]
            // Gauss stops on the valley's wall, as on Rosenbrock's function,
            // and says so.
            if (r.run.Result.End == TRunEnd::NotStationary) continue;
            // Some methods stop short in this curved valley (Rosenbrock's);
            // all move both coordinates towards (1, 1).
            EXPECT_NE(r.run.Result.Point[1], 1);
            EXPECT_NEAR(double(r.run.Result.Point[0]), 1, 0.1);
            EXPECT_NEAR(double(r.run.Result.Point[1]), 1, 0.2);
        }
    // A condition in x[2] with a formula in x[0], x[1]; switched off, the
    // formula alone counts.
    TOneRun r;
    r.S.Conditions.AddCondition("x[2]>=1", "1", "2", kExteriorKind);
    ASSERT_EQ(r.Run(MethodIndex("dfp"), "x[0]^2+x[1]^2+x[2]^2", "1,1,0", kSymbolicStepText),
              TRunStatus::Done);
    EXPECT_EQ(r.run.Result.LastIndex, 2);
    EXPECT_GT(double(r.run.Result.Point[2]), 0.4); // pulled towards the region
    FinishRun(r.S, r.run);
    r.S.Conditions.PenaltyEnabled = false;
    ASSERT_EQ(r.Run(MethodIndex("dfp"), "x[0]^2+x[1]^2", "1,1,0", kSymbolicStepText), TRunStatus::Done);
    EXPECT_EQ(r.run.Result.LastIndex, 1);
}

// Every method, symbolic and numeric, on functions whose truth is known:
// the end it may have. A method may fail to reach a minimum, but it must
// never say "converged" where there is none, nor "unbounded" where f is
// bounded.
TEST(Ends, EveryMethodTellsTheTruth) {
    using E = TRunEnd;
    struct TCase {
        const char* Formula;
        const char* Start;
        std::vector<TRunEnd> Allowed;
        double Infimum; // a converged run is within the accuracy of it
    };
    const TCase cases[] = {
        // f falls without limit.
        {"x[0]", "1", {E::Unbounded, E::SingularHessian}, 0},
        {"0-x[0]^2", "1", {E::Unbounded}, 0},
        // Bounded below, the infimum 0 only at infinity: where a method
        // stops on the tail, f is within the accuracy of it.
        {"1/(1+x[0]^2)", "1", {E::RunsOff, E::Converged}, 0},
        {"exp(0-x[0])+x[1]^2", "1,1", {E::RunsOff, E::Converged, E::NotStationary}, 0},
        // A steep quadratic: a minimum at 0, or an honest failure.
        {"100000000*x[0]^2+x[1]^2", "1,1", {E::Converged, E::NotStationary}, 0},
    };
    for (const TCase& c : cases)
        for (int m = 0; m < kMethodCount; ++m)
            for (const char* step : kSteps) {
                SCOPED_TRACE(std::string(c.Formula) + " " + Describe(m, step));
                TOneRun r;
                ASSERT_EQ(r.Run(m, c.Formula, c.Start, step), TRunStatus::Done);
                const TRunResult& result = r.run.Result;
                EXPECT_NE(std::find(c.Allowed.begin(), c.Allowed.end(), result.End), c.Allowed.end())
                    << EndKey(result.End) << " at f = " << double(result.Minimum);
                // Whatever converges has a small gradient where it stopped.
                if (result.End == E::Converged) {
                    EXPECT_TRUE(Stationary(result.RelativeGradient, 1e-7L));
                    EXPECT_NEAR(double(result.Minimum), c.Infimum, 1e-6);
                }
            }
}

TEST(Ends, KnownFaultsOfTheStoppingTestsAreNamed) {
    struct TCase {
        const char* Method;
        const char* Formula;
        const char* Start;
        TRunEnd End;
    };
    const TCase cases[] = {
        // The first search finds no decrease: the start is no minimum.
        {"dfp", "100000000*x[0]^2+x[1]^2", "1,1", TRunEnd::NotStationary},
        {"fletcher-reeves", "100000000*x[0]^2+x[1]^2", "1,1", TRunEnd::NotStationary},
        {"steepest-descent", "100000000*x[0]^2+x[1]^2", "1,1", TRunEnd::NotStationary},
        // Gauss stops on Rosenbrock's valley wall at f = 4.37.
        {"gauss", "100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1", TRunEnd::NotStationary},
        // Newton's matrix of a function of x[0] + x[1] alone is singular.
        {"newton", "(x[0]+x[1])^2", "1,2", TRunEnd::SingularHessian},
        // Falling to the end of the number range with the point, f bounded.
        {"dfp", "1/(1+x[0]^2)", "1", TRunEnd::RunsOff},
        {"rosenbrock", "exp(0-x[0])+x[1]^2", "1,1", TRunEnd::RunsOff},
        {"gauss", "exp(0-x[0])+x[1]^2", "1,1", TRunEnd::RunsOff},
        // BFGS's value test alone once stopped at f = -1.9e2466.
        {"bfgs", "x[0]+x[1]^2", "1,1", TRunEnd::Unbounded},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Method) + " on " + c.Formula);
        TOneRun r;
        ASSERT_EQ(r.Run(MethodIndex(c.Method), c.Formula, c.Start, kSymbolicStepText), TRunStatus::Done);
        EXPECT_EQ(r.run.Result.End, c.End) << EndKey(r.run.Result.End);
        // The end the user must not miss is said in a message.
        ASSERT_FALSE(r.messages.shown.empty());
    }
}

// Asked for 1e-10, BFGS delivers it: a flat quartic from far away once
// stopped at f = 0.99999936.
TEST(Ends, BfgsReachesTheAccuracyAskedFor) {
    for (const char* accuracy : {"1e-7", "1e-10"}) {
        TRunInputs in;
        in.Formula = "x[0]^4+x[1]^2";
        in.StartText = "10000,1";
        in.VariableAccuracyText = in.ValueAccuracyText = accuracy;
        in.MethodFamily = family::VariableMetric;
        in.MethodVariant = 4;
        TSession S;
        TRun run;
        StartRun(S, in, run);
        EXPECT_EQ(run.Result.End, TRunEnd::Converged) << accuracy;
        EXPECT_LT(double(run.Result.Minimum), 1e-8) << accuracy;
        EXPECT_LT(run.Result.Evaluations, 200) << accuracy;
        FinishRun(S, run);
    }
}

// The numeric step grows with |x| where x + h would lose it, and stays as
// it is below 1e9: BFGS with step 1e-5 no longer "converges" on x[0].
TEST(Ends, TheNumericStepNeverVanishes) {
    EXPECT_EQ(ScaledStep(1e-5L, 1e9L), 1e-5L);
    EXPECT_EQ(ScaledStep(1e-5L, -1e9L), 1e-5L);
    for (Real x : {1e15L, -5.9e14L, 1e300L, 1e4000L}) {
        const Real h = ScaledStep(1e-5L, x);
        EXPECT_NE(x + h, x);
        EXPECT_NE(x - h, x);
    }
    TOneRun r;
    ASSERT_EQ(r.Run(MethodIndex("bfgs"), "x[0]", "1", "0.00001"), TRunStatus::Done);
    EXPECT_EQ(r.run.Result.End, TRunEnd::Unbounded);
}

TEST(Verdict, TheMethodsEndWeighedAgainstTheEvidence) {
    using M = TMethodEnd;
    using E = TRunEnd;
    struct TCase {
        M Method;
        Real F;
        bool Stationary;
        Real Largest;
        E End;
    };
    const TCase cases[] = {
        {M::Converged, 1, true, 1, E::Converged},
        {M::Converged, 1, false, 1, E::NotStationary},
        {M::Converged, -1e21L, true, 1, E::Unbounded},
        {M::Converged, 0, true, 1e31L, E::RunsOff},
        {M::Unbounded, -1e25L, false, 1e30L, E::Unbounded},
        {M::Unbounded, 0.5, false, 1e4000L, E::RunsOff},
        {M::IterationLimit, -1e21L, false, 1, E::Unbounded},
        {M::IterationLimit, 3, false, 1, E::IterationLimit},
        {M::EvaluationLimit, 3, true, 1, E::EvaluationLimit},
        {M::EvaluationLimit, -1e21L, false, 1, E::Unbounded},
        {M::SingularHessian, 1, false, 1, E::SingularHessian},
        {M::Cancelled, 1, true, 1, E::Stopped},
        {M::UndefinedStart, 1, false, 1, E::UndefinedStart},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Verdict(c.Method, c.F, c.Stationary, c.Largest), c.End) << static_cast<int>(c.Method);
    // The scale: relative to |x| and |f|, looser for a loose accuracy.
    const Vector x{1000, 1};
    EXPECT_NEAR(double(RelativeGradient(Vector{1e-6L, 1e-3L}, 0.5, x, 1)), 1e-3, 1e-15);
    EXPECT_EQ(RelativeGradient(Vector{1, 0}, -1e29L, Vector{-1e29L, 0}, 1), 1);
    EXPECT_EQ(StationaryTolerance(1e-7L), 1e-3L);
    EXPECT_EQ(StationaryTolerance(1e-4L), 1e-2L);
    EXPECT_EQ(StationaryTolerance(1), 0.1L);
    EXPECT_FALSE(Stationary(std::nanl(""), 1e-7L));
}

// The evidence is the gradient of what was minimised, penalty terms
// included, and counts nothing on the run.
TEST(Evidence, AgreesWithCentralDifferencesAndCountsNothing) {
    const char* formulas[] = {"x[0]^2*x[1]+sin(x[1])", "exp(x[0]/3)+ln(x[1]+5)*x[0]", "sqrt(x[0]^2+x[1]^2+1)"};
    for (const char* formula : formulas)
        for (bool region : {false, true}) {
            SCOPED_TRACE(std::string(formula) + (region ? " with a region" : ""));
            TSession S;
            if (region) S.Conditions.AddCondition("x[0]+x[1]<=0.5", "3", "2", kExteriorKind);
            BuildTree(S.Function, formula, false);
            S.Function.VariableCount = 2;
            const Vector x{0.7L, -0.4L};
            S.Function.EvaluationCount = 17;
            Vector numeric{}, symbolic{};
            std::int64_t evaluations = 0;
            ASSERT_TRUE(GradientEvidence(S, x, 1, false, numeric, evaluations));
            EXPECT_EQ(evaluations, 4);
            EXPECT_EQ(S.Function.EvaluationCount, 17);
            BuildDerivativeObjects(S.Function);
            ASSERT_TRUE(GradientEvidence(S, x, 1, true, symbolic, evaluations));
            EXPECT_EQ(evaluations, 1);
            EXPECT_EQ(S.Function.GradientCount, 0);
            for (int i = 0; i < 2; ++i)
                EXPECT_NEAR(double(numeric[i]), double(symbolic[i]), 1e-9 * std::max(1.0, std::fabs(double(symbolic[i]))));
            EXPECT_EQ(LargestComponent(symbolic, 1), std::max(std::fabs(symbolic[0]), std::fabs(symbolic[1])));
        }
    // Undefined where a component is.
    TSession S;
    BuildTree(S.Function, "sqrt(x[0])", false);
    Vector g{};
    std::int64_t evaluations = 0;
    EXPECT_FALSE(GradientEvidence(S, Vector{0}, 0, false, g, evaluations));
}

} // namespace
} // namespace qirt
