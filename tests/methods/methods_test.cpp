#include <cmath>
#include <functional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "method_fixture.h"
#include "graph/track/track.h"
#include "methods/bfgs.h"
#include "methods/nelder_mead.h"
#include "methods/blis.h"
#include "methods/blmetr.h"
#include "methods/blpow.h"
#include "methods/blriv.h"
#include "methods/nyton.h"

namespace qirt {
namespace {

using testing::BuiltSession;

// One method as the run controller calls it, with RecordTrack 1.
using Method = std::function<void(TSession&, Vector&, Byte, Real&, Real, Real)>;

Method FirstOrder(int variant) {
    return [variant](TSession& S, Vector& x, Byte last, Real& f, Real va, Real xa) {
        FirstOrderMethod(S, x, last, f, variant, 1, va, xa);
    };
}
Method VariableMetric(int variant) {
    return [variant](TSession& S, Vector& x, Byte last, Real& f, Real va, Real xa) {
        VariableMetricMethod(S, x, last, f, variant, 1, va, xa);
    };
}
Method ZeroOrder(int variant) {
    return [variant](TSession& S, Vector& x, Byte last, Real& f, Real va, Real xa) {
        ZeroOrderMethod(S, x, last, f, variant, 1, va, xa);
    };
}
Method Newton() {
    return [](TSession& S, Vector& x, Byte last, Real& f, Real va, Real xa) {
        NewtonMethod(S, x, last, f, 1, va, xa);
    };
}

struct Named {
    const char* Name;
    Method Run;
};
const Named kAllMethods[] = {
    {"rosenbrock", ZeroOrder(1)},   {"gauss", ZeroOrder(2)},       {"nelder-mead", ZeroOrder(3)},
    {"fletcher-reeves", FirstOrder(1)}, {"pshenichny", FirstOrder(2)}, {"steepest", FirstOrder(3)},
    {"newton", Newton()},           {"dfp", VariableMetric(1)},    {"fletcher", VariableMetric(2)},
    {"broyden", VariableMetric(3)}, {"bfgs", VariableMetric(4)},
};

struct Outcome {
    Vector Point;
    Real Minimum;
    int Iterations;
    int Evaluations;
    std::vector<Vector> Track;
    TMethodEnd End;
};

Outcome RunOn(const char* formula, const Method& method, Vector start, Real step = 0,
              Real valueAccuracy = 1e-7L, Real variableAccuracy = 1e-7L) {
    BuiltSession b(formula, step);
    EXPECT_EQ(b.S.Function.ErrorCode, 0) << formula;
    Real f = -1;
    method(b.S, start, static_cast<Byte>(b.S.Function.VariableCount - 1), f, valueAccuracy,
           variableAccuracy);
    return {start, f, b.S.IterationCount, b.Evaluations(), b.TrackPoints(), b.S.End};
}

TEST(FirstOrderMethod, EveryVariantReachesTheMinimumOfASphereWithItsFirstSearch) {
    for (int variant = 1; variant <= 3; ++variant) {
        auto r = RunOn("x[0]^2+x[1]^2", FirstOrder(variant), Vector{1, 1});
        // The search along (-2, -2) returns the vertex 0.5, which is exact.
        EXPECT_EQ(r.Point[0], 0) << variant;
        EXPECT_EQ(r.Point[1], 0) << variant;
        EXPECT_EQ(r.Minimum, 0);
        EXPECT_EQ(r.Iterations, 1);
        // Entry, the search (f0, 0.1, 0.2, 0.4, 0.8), the new point. Pshenichny
        // keeps the squared norm of its restart, so it searches once more,
        // along the zero direction (one evaluation), before the restart ends it.
        EXPECT_EQ(r.Evaluations, variant == 2 ? 8 : 7);
        ASSERT_EQ(r.Track.size(), 3u); // start, the step, the end once more
        EXPECT_EQ(r.Track[0], (Vector{1, 1}));
        EXPECT_EQ(r.Track[1], r.Track[2]);
    }
}

TEST(FirstOrderMethod, ZeroGradientAtTheStartEndsAtOnce) {
    for (int variant = 1; variant <= 3; ++variant) {
        auto r = RunOn("(x[0]-1)^2+(x[1]+2)^2", FirstOrder(variant), Vector{1, -2});
        EXPECT_EQ(r.Iterations, 0);
        EXPECT_EQ(r.Evaluations, 1);
        ASSERT_EQ(r.Track.size(), 2u);
        EXPECT_EQ(r.Track[0], r.Track[1]);
    }
}

TEST(FirstOrderMethod, ConjugateVariantsCoincideOnAQuadraticAndFinishInTwoSteps) {
    const char* f = "(x[0]-1)^2+4*(x[1]+2)^2+x[0]*x[1]";
    // Minimum where 2(x0-1)+x1 = 0 and 8(x1+2)+x0 = 0.
    const Real x0 = 32.0L / 15, x1 = -34.0L / 15;
    auto fr = RunOn(f, FirstOrder(1), Vector{3, 4});
    auto ps = RunOn(f, FirstOrder(2), Vector{3, 4});
    ASSERT_GE(fr.Track.size(), 3u);
    ASSERT_GE(ps.Track.size(), 3u);
    for (auto* r : {&fr, &ps}) {
        EXPECT_NEAR(r->Track[2][0], x0, 1e-12);
        EXPECT_NEAR(r->Track[2][1], x1, 1e-12);
    }
    EXPECT_NEAR(fr.Track[1][0], ps.Track[1][0], 1e-15);
    EXPECT_NEAR(fr.Track[2][1], ps.Track[2][1], 1e-12);
    EXPECT_EQ(fr.Iterations, 2);
}

TEST(FirstOrderMethod, SteepestDescentZigZagsWhereConjugateGradientsDoNot) {
    const char* f = "x[0]^2+10*x[1]^2";
    auto sd = RunOn(f, FirstOrder(3), Vector{10, 1});
    auto fr = RunOn(f, FirstOrder(1), Vector{10, 1});
    EXPECT_GT(sd.Iterations, 5);
    EXPECT_LE(fr.Iterations, 3);
    EXPECT_NEAR(sd.Point[0], 0, 1e-3);
    EXPECT_NEAR(fr.Point[0], 0, 1e-9);
}

TEST(VariableMetricMethod, EveryVariantSolvesAQuadraticInTwoSteps) {
    const char* f = "(x[0]-1)^2+4*(x[1]+2)^2+x[0]*x[1]";
    const Real x0 = 32.0L / 15, x1 = -34.0L / 15;
    for (int variant = 1; variant <= 3; ++variant) {
        auto r = RunOn(f, VariableMetric(variant), Vector{3, 4});
        ASSERT_GE(r.Track.size(), 3u) << variant;
        EXPECT_NEAR(r.Track[2][0], x0, 1e-12) << variant;
        EXPECT_NEAR(r.Track[2][1], x1, 1e-12) << variant;
        EXPECT_NEAR(r.Point[0], x0, 1e-12) << variant;
        EXPECT_LE(r.Iterations, 3) << variant;
    }
}

TEST(VariableMetricMethod, ZeroVariableAccuracyMeansLooseAccuracies) {
    // With both accuracies 1e-3 the run stops earlier than with 1e-12.
    const char* f = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";
    auto loose = RunOn(f, VariableMetric(1), Vector{-1.2L, 1}, 0, 1e-12L, 0);
    auto tight = RunOn(f, VariableMetric(1), Vector{-1.2L, 1}, 0, 1e-12L, 1e-12L);
    EXPECT_LT(loose.Iterations, tight.Iterations);
    // The first-order family keeps an accuracy of 0: its tests never hold.
    auto zero = RunOn("x[0]^2+x[1]^2", FirstOrder(1), Vector{1, 1}, 0, 0, 0);
    EXPECT_EQ(zero.Iterations, 1); // ended by the zero gradient, not the tests
}

TEST(VariableMetricMethod, ZeroGradientAtTheStartEndsAtOnce) {
    auto r = RunOn("x[0]^2+x[1]^2", VariableMetric(2), Vector{0, 0});
    EXPECT_EQ(r.Iterations, 0);
    ASSERT_EQ(r.Track.size(), 2u);
}

TEST(MetricUpdates, KeepTheSecantConditionAndSkipDivisionsByZero) {
    TMetricStorage m;
    for (int i = 0; i < 2; ++i) m.MetricMatrix[i][i] = 1;
    m.d = Vector{1, 0.5L};
    m.y = Vector{3, 2};
    for (auto update : {DavidonFletcherPowellUpdate, FletcherUpdate, BroydenUpdate}) {
        TMetricStorage u = m;
        update(u, 1);
        // Every correction makes H y = d.
        for (int i = 0; i < 2; ++i)
            EXPECT_NEAR(u.MetricMatrix[i][0] * 3 + u.MetricMatrix[i][1] * 2, m.d[i], 1e-15);
    }
    // Where a correction would divide by zero H stays as it was.
    auto unchanged = [&](void (*update)(TMetricStorage&, int), Vector d, Vector y) {
        TMetricStorage z = m;
        z.d = d;
        z.y = y;
        update(z, 1);
        return z.MetricMatrix == m.MetricMatrix;
    };
    EXPECT_TRUE(unchanged(DavidonFletcherPowellUpdate, Vector{1, -1}, Vector{1, 1})); // d.y = 0
    EXPECT_TRUE(unchanged(DavidonFletcherPowellUpdate, Vector{1, 1}, Vector{0, 0}));  // y.Hy = 0
    EXPECT_TRUE(unchanged(FletcherUpdate, Vector{1, -1}, Vector{1, 1}));              // d.y = 0
    EXPECT_TRUE(unchanged(BroydenUpdate, Vector{2, 0}, Vector{1, 1}));                // w.y = 0
    EXPECT_FALSE(unchanged(BroydenUpdate, Vector{1, -1}, Vector{1, 1})); // d.y = 0 is fine here
}

TEST(MetricUpdates, FollowTheFormulasOrderOfOperations) {
    // H y is summed first and subtracted from d once; subtracting term by
    // term rounds differently, and the tracks then drift apart.
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> entry(-1, 1);
    for (int trial = 0; trial < 200; ++trial) {
        TMetricStorage m;
        for (int i = 0; i < 4; ++i) {
            m.d[i] = entry(random) / 3;
            m.y[i] = entry(random) / 7;
            for (int j = 0; j < 4; ++j) m.MetricMatrix[i][j] = entry(random) / 11;
        }
        Vector w{};
        for (int i = 0; i < 4; ++i) {
            Real sum = 0;
            for (int j = 0; j < 4; ++j) sum += m.MetricMatrix[i][j] * m.y[j];
            w[i] = m.d[i] - sum;
        }
        Real wy = 0;
        for (int i = 0; i < 4; ++i) wy += w[i] * m.y[i];
        Matrix H = m.MetricMatrix;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) H[i][j] = H[i][j] + w[i] * w[j] / wy;
        BroydenUpdate(m, 3);
        ASSERT_EQ(m.MetricMatrix, H) << "trial " << trial;
    }
}

TEST(VariableMetricMethod, BroydenTrackAgreesToTheLastBit) {
    auto r = RunOn("x[0]^2+2*x[1]^2+3*x[2]^2+x[0]*x[1]-x[2]", VariableMetric(3), Vector{1, 1, 1});
    ASSERT_GE(r.Track.size(), 4u);
    // The fourth point; term-by-term subtraction gave 1.35525271560688e-20.
    auto text = [](Real v) {
        char out[23];
        TrackNumberText(v, out);
        return std::string(out, 23);
    };
    EXPECT_EQ(text(r.Track[3][0]), " 4.06575814682064E-0020");
    EXPECT_EQ(text(r.Track[3][1]), "-6.77626357803440E-0021");
}

// Every step the Wolfe search accepts meets both strong Wolfe conditions.
TEST(WolfeSearch, AcceptedStepsMeetBothConditions) {
    const char* formulas[] = {"100*(x[1]-x[0]^2)^2+(1-x[0])^2", "x[0]^4+x[1]^2-x[0]*x[1]",
                              "exp(x[0])+exp(-x[1])+x[1]^2-x[0]", "ln(x[0])+1/x[0]+x[1]^2"};
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> coordinate(0.2, 2);
    int accepted = 0;
    for (const char* formula : formulas) {
        BuiltSession b(formula, 0);
        for (int k = 0; k < 50; ++k) {
            const Vector x{Real(coordinate(random)), Real(coordinate(random))};
            Real f0;
            Vector g0{};
            if (!DefinedValue(b.S, x, 1, f0) || !DefinedGradient(b.S.Function, x, g0, 1)) continue;
            const Vector p{-g0[0], -g0[1]};
            Real alpha = 1, f;
            Vector xNew{}, g{};
            if (WolfeSearch(b.S, x, 1, f0, g0, p, alpha, xNew, f, g) != TWolfeResult::Found) continue;
            const Real slope0 = g0[0] * p[0] + g0[1] * p[1];
            EXPECT_LE(f, f0 + kWolfeDecrease * alpha * slope0) << formula;
            if (std::fabs(g[0] * p[0] + g[1] * p[1]) <= -kWolfeCurvature * slope0) ++accepted;
            EXPECT_EQ(b.ValueAt(xNew), f);
        }
    }
    EXPECT_GT(accepted, 150);
}

TEST(BfgsMethod, SolvesQuadraticsInFewSteps) {
    // On a quadratic BFGS needs a few steps more than n.
    for (const char* formula :
         {"x[0]^2+10*x[1]^2", "(x[0]-1)^2+3*(x[1]+2)^2+(x[0]-1)*(x[1]+2)+(x[2]-0.5)^2"}) {
        auto r = RunOn(formula, VariableMetric(4), Vector{3, -4, 2}, 0, 1e-15L, 1e-12L);
        // Its Wolfe searches are not exact, so not n steps; a few more.
        EXPECT_LE(r.Iterations, 15) << formula;
        EXPECT_LT(r.Minimum, 1e-16L) << formula; // both minima are 0
        EXPECT_EQ(r.End, TMethodEnd::Converged);
    }
}

// The moves on a simplex of two points on a line, best at 1, worst at 2.
TEST(NelderMeadStep, EveryMoveOnHandWorkedCases) {
    struct Case {
        std::function<Real(Real)> F;
        TSimplexMove Move;
        Real NewPoint; // where the worst point goes
    };
    const Case cases[] = {
        // centre 1, reflection 0 below the best; the expansion -1 is no lower
        {[](Real x) { return x * x; }, TSimplexMove::Reflection, 0},
        // the expansion -1 is lower still
        {[](Real x) { return (x + 10) * (x + 10); }, TSimplexMove::Expansion, -1},
        // the reflection 0 between best and worst: contraction outside, at 0.5
        {[](Real x) { return (x - 0.9L) * (x - 0.9L); }, TSimplexMove::OutsideContraction, 0.5L},
        // the reflection worse than the worst: contraction inside, at 1.5
        {[](Real x) { return (x - 1.4L) * (x - 1.4L); }, TSimplexMove::InsideContraction, 1.5L},
        // nothing better: every point but the best halves its way to it
        {[](Real x) { return x == 1 ? Real(0) : x == 2 ? Real(1) : Real(5); }, TSimplexMove::Shrink, 1.5L},
    };
    for (const Case& c : cases) {
        TSimplex s;
        s.Points[0] = Vector{1};
        s.Points[1] = Vector{2};
        s.Values[0] = c.F(1);
        s.Values[1] = c.F(2);
        const TSimplexMove move = NelderMeadStep(s, 0, [&](const Vector& p) { return c.F(p[0]); });
        EXPECT_EQ(move, c.Move);
        EXPECT_EQ(s.Points[1][0], c.NewPoint);
        EXPECT_EQ(s.Values[1], c.F(c.NewPoint));
        EXPECT_EQ(s.Points[0][0], 1); // the best stays
    }
}

TEST(NelderMeadMethod, FirstSimplexAndTheWayToTheMinimum) {
    // From (1, 1) the first simplex is (1, 1), (1.05, 1), (1, 1.05): the
    // reflection of the worst, (1.05, 0.95), is kept without expansion.
    auto r = RunOn("x[0]^2+x[1]^2", ZeroOrder(3), Vector{1, 1}, 0, 1e-10L, 1e-8L);
    EXPECT_NEAR(double(r.Point[0]), 0, 1e-6);
    EXPECT_NEAR(double(r.Point[1]), 0, 1e-6);
    ASSERT_GE(r.Track.size(), 3u);
    EXPECT_EQ(r.Track[0], (Vector{1, 1}));
    // A zero coordinate moves by 0.00025; undefined points are never the best.
    auto z = RunOn("sqrt(x[0])+(x[0]-1)^2+x[1]^2", ZeroOrder(3), Vector{0.5L, 0}, 1e-3L, 1e-12L, 1e-10L);
    EXPECT_GE(z.Point[0], 0);
    EXPECT_TRUE(std::isfinite(z.Minimum));
    EXPECT_NEAR(double(z.Point[1]), 0, 1e-6);
    auto n = RunOn("100*(x[1]-x[0]^2)^2+(1-x[0])^2", ZeroOrder(3), Vector{-1.2L, 1});
    EXPECT_NEAR(double(n.Point[0]), 1, 1e-6);
    EXPECT_NEAR(double(n.Point[1]), 1, 1e-6);
}

TEST(ZeroOrderMethod, GaussReachesTheMinimumInItsFirstCycle) {
    auto r = RunOn("(x[0]-1)^2+(x[1]-2)^2", ZeroOrder(2), Vector{0, 0});
    EXPECT_EQ(r.Point, (Vector{1, 2}));
    EXPECT_EQ(r.Minimum, 0);
    EXPECT_EQ(r.Iterations, 2); // one cycle, plus one at the end
    ASSERT_EQ(r.Track.size(), 2u); // the cycle's start and the end
    EXPECT_EQ(r.Track[1], (Vector{1, 2}));
}

TEST(ZeroOrderMethod, GaussSurvivesAFailedSearch) {
    // Coordinate searches stall in the valley; a failed search leaves the
    // shared step at 0, which the next search must not start from.
    auto r = RunOn("100*(x[1]-x[0]^2)^2+(1-x[0])^2", ZeroOrder(2), Vector{-1.2L, 1});
    EXPECT_TRUE(std::isfinite(r.Minimum));
    EXPECT_LT(r.Evaluations, 100000);
    EXPECT_LT(r.Minimum, 24.2L); // lower than at the start
}

TEST(ZeroOrderMethod, RosenbrockFindsTheValleyMinimum) {
    auto r = RunOn("100*(x[1]-x[0]^2)^2+(1-x[0])^2", ZeroOrder(1), Vector{-1.2L, 1});
    EXPECT_NEAR(r.Point[0], 1, 1e-4);
    EXPECT_NEAR(r.Point[1], 1, 1e-4);
    EXPECT_EQ(r.Track.size(), static_cast<std::size_t>(r.Iterations));
}

TEST(ZeroOrderMethod, SmallValueEndsTheRunWhileThePointStillMoves) {
    // The value test |f| < accuracy holds after the first cycle.
    auto r = RunOn("0.000001*((x[0]-1)^2+(x[1]-2)^2)", ZeroOrder(2), Vector{0, 0}, 0, 1e-3L, 1e-9L);
    EXPECT_EQ(r.Iterations, 2);
}

TEST(RebuildDirections, TurnsTheAxesTowardsTheCycleDisplacement) {
    Vector h{1, 1};
    Matrix D{};
    D[0][0] = D[1][1] = 1;
    bool ok = false;
    RebuildDirections(h, D, 1, ok);
    EXPECT_TRUE(ok);
    const Real r = 1 / std::sqrt(2.0L);
    EXPECT_NEAR(D[0][0], r, 1e-18); // d0 = (1, 1)/sqrt 2, column 0
    EXPECT_NEAR(D[1][0], r, 1e-18);
    EXPECT_NEAR(D[0][1], r, 1e-18); // d1 = (1, -1)/sqrt 2
    EXPECT_NEAR(D[1][1], -r, 1e-18);
}

TEST(RebuildDirections, MovesZeroStepsToTheEndAndStopsWithoutAny) {
    Vector h{0, 2, 0};
    Matrix D{};
    for (int i = 0; i < 3; ++i) D[i][i] = 1;
    bool ok = false;
    RebuildDirections(h, D, 2, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(h[0], 2);
    EXPECT_EQ(h[1], 0);
    EXPECT_EQ(h[2], 0);
    // The one moving direction (axis 1) is now column 0, the others follow unchanged.
    EXPECT_EQ(D[1][0], 1);
    EXPECT_EQ(D[0][0], 0);

    Vector none{0, 0};
    Matrix E{};
    E[0][0] = E[1][1] = 1;
    const Matrix before = E;
    RebuildDirections(none, E, 1, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(E, before);
}

TEST(NewtonMethod, OneAcceptedStepOnASphere) {
    auto r = RunOn("x[0]^2+x[1]^2", Newton(), Vector{1, 1});
    EXPECT_EQ(r.Point, (Vector{0, 0}));
    EXPECT_EQ(r.Iterations, 1);
    ASSERT_EQ(r.Track.size(), 3u);
    // Numeric Hessian and gradient reach the same point.
    auto n = RunOn("x[0]^2+x[1]^2", Newton(), Vector{1, 1}, 1e-4L);
    EXPECT_NEAR(n.Point[0], 0, 1e-9);
    EXPECT_GT(n.Evaluations, r.Evaluations); // the numeric Hessian counts its values
}

TEST(NewtonMethod, SingularHessianEndsAtTheStart) {
    auto r = RunOn("x[0]*x[1]", Newton(), Vector{3, 4});
    EXPECT_EQ(r.Point, (Vector{3, 4}));
    EXPECT_EQ(r.Iterations, 0);
    ASSERT_EQ(r.Track.size(), 2u);
}

TEST(InvertMatrix, PivotsAroundAZeroDiagonal) {
    Matrix M{};
    M[0][0] = 0, M[0][1] = 1, M[1][0] = 1, M[1][1] = 2;
    bool ok = false;
    InvertMatrix(M, 1, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(M[0][0], -2);
    EXPECT_EQ(M[0][1], 1);
    EXPECT_EQ(M[1][0], 1);
    EXPECT_EQ(M[1][1], 0);
}

TEST(InvertMatrix, ReportsSingularMatrices) {
    Matrix M{};
    M[0][0] = M[0][1] = M[1][0] = M[1][1] = 2; // Hessian of (x0 + x1)^2
    bool ok = true;
    InvertMatrix(M, 1, ok);
    EXPECT_FALSE(ok);
}

TEST(InvertMatrix, InvertsARandomMatrix) {
    Matrix M{}, A{};
    unsigned seed = 7;
    auto next = [&] { return Real((seed = seed * 1103515245 + 12345) >> 16 & 0xff) / 64 - 2; };
    const int n = 6;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) A[i][j] = next() + (i == j ? 10 : 0);
    M = A;
    bool ok = false;
    InvertMatrix(M, n - 1, ok);
    ASSERT_TRUE(ok);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            Real sum = 0;
            for (int k = 0; k < n; ++k) sum += A[i][k] * M[k][j];
            EXPECT_NEAR(sum, i == j ? 1 : 0, 1e-15) << i << "," << j;
        }
}

// Functions that are unbounded, undefined in places or that grow without
// end: every method ends, at a point where the function is defined, and
// reports the value there.
TEST(EveryMethod, EndsAtADefinedPointOnHostileFunctions) {
    const char* formulas[] = {"x[0]",        "-x[0]^2",       "1/x[0]",          "sqrt(x[0])",
                              "ln(x[0])",    "x[0]*x[1]",     "ln(x[0])+x[1]^2", "1/(x[0]-2)+x[1]^2",
                              "tg(x[0])+x[1]^2"};
    for (const char* formula : formulas) {
        for (Real step : {0.0L, 1e-5L}) {
            for (const Named& m : kAllMethods) {
                BuiltSession b(formula, step);
                if (b.S.Function.ErrorCode != 0) continue; // no symbolic rule (sqrt, tg)
                Vector x{3, 4};
                Real f = 0;
                const auto last = static_cast<Byte>(b.S.Function.VariableCount - 1);
                m.Run(b.S, x, last, f, 1e-7L, 1e-7L);
                SCOPED_TRACE(std::string(formula) + " " + m.Name + (step == 0 ? " symbolic" : " numeric"));
                EXPECT_TRUE(std::isfinite(f));
                for (int i = 0; i <= last; ++i) EXPECT_TRUE(std::isfinite(x[i]));
                EXPECT_EQ(b.ValueAt(x), f);
                EXPECT_EQ(b.S.Function.ErrorCode, 0);
                // The simplex may chase a pole of tg to the iteration limit.
                if (std::string(m.Name) != "nelder-mead") {
                    EXPECT_LT(b.S.IterationCount, kMaxIterations);
                }
                // The last recorded point is the reported one.
                ASSERT_NE(b.track.Tail, nullptr);
                EXPECT_EQ(b.track.Tail->X[0], x[0]);
            }
        }
    }
}

// A function that falls without end along some direction: the first search
// that runs to the end of the number range ends the run there, at its last
// finite point, whatever the accuracies. Before, every later search doubled
// its step some 16,000 times from the edge of the range, iteration after
// iteration, up to the iteration limit.
TEST(EveryMethod, UnboundedFunctionsEndAtTheFirstSearchThatRunsOffTheRange) {
    const char* formulas[] = {"x[0]", "x[0]+x[1]", "-x[0]^2", "-x[0]^2-x[1]^2+x[0]*x[1]",
                              "x[0]+x[1]+x[2]+x[3]+x[4]+x[5]+x[6]+x[7]+x[8]+x[9]"};
    for (const char* formula : formulas) {
        for (Real accuracy : {0.0L, 1e-7L}) {
            for (const Named& m : kAllMethods) {
                if (std::string(m.Name) == "newton") continue; // singular or indefinite Hessians
                SCOPED_TRACE(std::string(formula) + " " + m.Name + " " +
                             std::to_string(double(accuracy)));
                BuiltSession b(formula, 0);
                Vector x{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
                Real f = 0;
                const auto last = static_cast<Byte>(b.S.Function.VariableCount - 1);
                m.Run(b.S, x, last, f, accuracy, accuracy);
                EXPECT_LT(b.S.Function.EvaluationCount, 400'000);
                EXPECT_TRUE(std::isfinite(f));
                if (std::string(m.Name) == "nelder-mead") {
                    // The simplex grows a vertex at a time: in many variables
                    // it meets the iteration limit before the end of the range.
                    EXPECT_TRUE(b.S.End == TMethodEnd::Unbounded || b.S.End == TMethodEnd::IterationLimit);
                } else {
                    EXPECT_EQ(b.S.End, TMethodEnd::Unbounded);
                    EXPECT_LT(b.S.IterationCount, 100);
                    EXPECT_LT(f, -1e4000L);
                }
                for (int i = 0; i <= last; ++i) EXPECT_TRUE(std::isfinite(x[i]));
                EXPECT_EQ(b.ValueAt(x), f);
            }
        }
    }
}

TEST(EveryMethod, BoundedFunctionsDoNotEndAsUnbounded) {
    const char* formulas[] = {"(x[0]-1)^2+(x[1]+2)^2", "100*(x[1]-x[0]^2)^2+(1-x[0])^2",
                              "-1/(x[0]^2+x[1]^2+1)", "ln(x[0])+1/x[0]+x[1]^2"};
    for (const char* formula : formulas)
        for (const Named& m : kAllMethods) {
            SCOPED_TRACE(std::string(formula) + " " + m.Name);
            auto r = RunOn(formula, m.Run, Vector{1.5L, 1});
            EXPECT_NE(r.End, TMethodEnd::Unbounded);
        }
}

TEST(EveryMethod, UndefinedStartIsReportedNotMinimised) {
    for (const Named& m : kAllMethods) {
        BuiltSession b("ln(x[0])+x[1]^2", 1e-5L);
        Vector x{-1, 4};
        Real f = 0;
        m.Run(b.S, x, 1, f, 1e-7L, 1e-7L);
        EXPECT_EQ(b.S.End, TMethodEnd::UndefinedStart) << m.Name;
        EXPECT_EQ(x, (Vector{-1, 4})) << m.Name;
    }
}

TEST(EveryMethod, UndefinedGradientEndsTheRunAtTheCurrentPoint) {
    // The symbolic derivative of x^0.5 is undefined at 0, the value is not.
    BuiltSession b("x[0]^0.5+x[1]^2");
    Vector x{0, 1};
    Real f = 0;
    FirstOrderMethod(b.S, x, 1, f, 1, 1, 1e-7L, 1e-7L);
    EXPECT_EQ(b.S.End, TMethodEnd::UndefinedDerivative);
    EXPECT_EQ(x, (Vector{0, 1}));
    EXPECT_EQ(f, 1);
}

class CancelAfter : public TProgress {
public:
    explicit CancelAfter(int n) : n_(n) {}
    bool Continue(std::int32_t iterations, Real value) override {
        asked.push_back(iterations);
        lastValue = value;
        return iterations < n_;
    }
    std::vector<int> asked;
    Real lastValue = -1;

private:
    int n_;
};

TEST(EveryMethod, ProgressIsAskedBetweenIterationsAndCanCancel) {
    for (const Named& m : kAllMethods) {
        const bool gauss = std::string(m.Name) == "gauss"; // stalls in the valley: slow it otherwise
        BuiltSession b(gauss ? "(x[0]-x[1])^2+0.1*(x[0]-10)^2" : "100*(x[1]-x[0]^2)^2+(1-x[0])^2");
        CancelAfter cancel(3);
        b.S.Progress = &cancel;
        Vector x{-1.2L, 1};
        Real f = 0;
        m.Run(b.S, x, 1, f, 1e-12L, 1e-12L);
        SCOPED_TRACE(m.Name);
        EXPECT_EQ(b.S.End, TMethodEnd::Cancelled);
        EXPECT_EQ(cancel.asked, (std::vector<int>{1, 2, 3}));
        const bool zeroOrder = std::string(m.Name) == "rosenbrock" || std::string(m.Name) == "gauss";
        EXPECT_EQ(b.S.IterationCount, zeroOrder ? 4 : 3); // zero-order adds one at the end
        EXPECT_EQ(b.ValueAt(x), f);
        EXPECT_EQ(cancel.lastValue, f); // the callback saw the value it stopped at
        EXPECT_EQ(b.track.Tail->X[0], x[0]); // the end point is recorded as usual
    }
}

} // namespace
} // namespace qirt
