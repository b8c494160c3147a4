// The log of what each method used to choose its steps: the gradients,
// directions, trial points and steps must be the ones the method computed
// and evaluated, an iteration per track point.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "../func/recording_messages.h"
#include "func/derivative.h"
#include "func/evaluate.h"
#include "methods/bfgs.h"
#include "methods/run.h"

namespace qirt {
namespace {

struct LoggedRun {
    explicit LoggedRun(const std::string& method, const char* formula = "(x[0]-1)^2+10*(x[1]+2)^2",
                       const char* start = "3,4") {
        S.Function.Messages = &messages;
        S.Conditions.Messages = &messages;
        TRunInputs in;
        in.Formula = formula;
        in.StartText = start;
        const int m = MethodIndex(method);
        in.MethodFamily = kMethods[m].Family;
        in.MethodVariant = kMethods[m].Variant;
        StartRun(S, in, run);
    }
    ~LoggedRun() { FinishRun(S, run); }
    const TIterationLog& Log() const { return *run.Result.Log; }
    std::vector<Vector> Points() const {
        std::vector<Vector> points;
        for (const TrackPoint* p = run.Track.Head; p; p = p->Next) points.push_back(p->X);
        return points;
    }
    Real ValueAt(const Vector& x) {
        TFunction copy;
        CopyForEvaluation(S.Function, copy);
        return FunctionValue(copy, x, run.LastIndex);
    }

    testing::RecordingMessages messages;
    TSession S;
    TRun run;
};

Vector Along(const TSearchView& s, Real t) {
    Vector p{};
    for (int i = 0; i < 10; ++i) p[i] = s.Origin[i] + t * s.Direction[i];
    return p;
}

TEST(IterationLog, EveryMethodKeepsAnIterationPerTrackPoint) {
    for (const TMethod& m : kMethods) {
        LoggedRun r(m.Name, "100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
        ASSERT_EQ(r.run.Status, TRunStatus::Done) << m.Name;
        ASSERT_TRUE(r.run.Result.Log) << m.Name;
        EXPECT_EQ(r.Log().Count(), r.run.Track.Count) << m.Name;
        EXPECT_TRUE(r.Log().Complete()) << m.Name;
        EXPECT_EQ(r.S.Log, r.run.Log.get()) << m.Name; // until the run is finished
    }
}

TEST(IterationLog, SteepestDescentSearchesAlongTheAntigradientFromEachPoint) {
    LoggedRun r("steepest-descent");
    ASSERT_EQ(r.run.Status, TRunStatus::Done);
    const std::vector<Vector> points = r.Points();
    const TIterationLog& log = r.Log();
    std::int64_t trials = 0, taken = 0;
    int searched = 0;
    for (int k = 0; k < log.Count(); ++k) {
        const TIterationView it = log.Iteration(k);
        for (const TSearchView& s : it.Searches) {
            trials += static_cast<std::int64_t>(s.Trials.size());
            taken += s.Taken;
        }
        if (it.Searches.empty()) continue;
        ++searched;
        ASSERT_TRUE(it.HasGradient);
        ASSERT_EQ(it.Searches.size(), 1u);
        const TSearchView& s = it.Searches[0];
        // From the track point, against the gradient the method took there,
        // which is the function's own gradient at that point.
        Vector g{};
        TFunction& F = r.S.Function;
        ASSERT_TRUE(DefinedGradient(F, points[k], g, 1));
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(s.Origin[i], points[k][i]);
            EXPECT_EQ(it.Gradient[i], g[i]);
            EXPECT_EQ(s.Direction[i], -g[i]);
        }
        // The first trial is the origin itself; each value is the
        // function's value at its point.
        ASSERT_FALSE(s.Trials.empty());
        EXPECT_EQ(s.Trials[0].Step, 0);
        for (const TTrialPoint& t : s.Trials) {
            const Real direct = r.ValueAt(Along(s, t.Step));
            EXPECT_NEAR(double(t.Value), double(direct), 1e-12 * std::max(1.0, std::fabs(double(direct))));
        }
        // The step taken leads exactly to the next point.
        if (s.Taken && k + 1 < static_cast<int>(points.size())) {
            for (int i = 0; i < 2; ++i) EXPECT_EQ(points[k + 1][i], s.Origin[i] + s.Accepted * s.Direction[i]);
        }
    }
    EXPECT_GT(searched, 3);
    // The searches' trials and the points the steps led to are every value
    // the run took, besides the one at the start: none left out, none added.
    EXPECT_EQ(r.run.Result.Evaluations, 1 + trials + taken);
}

TEST(IterationLog, NewtonOnAQuadraticStepsToTheMinimumAtOnce) {
    LoggedRun r("newton");
    ASSERT_EQ(r.run.Status, TRunStatus::Done);
    const TIterationView first = r.Log().Iteration(0);
    ASSERT_TRUE(first.HasGradient);
    EXPECT_EQ(first.Gradient[0], 4);  // 2 (3 - 1)
    EXPECT_EQ(first.Gradient[1], 120); // 20 (4 + 2)
    ASSERT_EQ(first.Searches.size(), 1u);
    const TSearchView& s = first.Searches[0];
    // -H^-1 g points from (3, 4) straight at (1, -2).
    EXPECT_NEAR(double(s.Direction[0]), -2, 1e-15);
    EXPECT_NEAR(double(s.Direction[1]), -6, 1e-15);
    ASSERT_TRUE(s.Taken);
    EXPECT_NEAR(double(s.Accepted), 1, 1e-12);
    const Vector next = r.Points()[1];
    EXPECT_NEAR(double(next[0]), 1, 1e-12);
    EXPECT_NEAR(double(next[1]), -2, 1e-12);
}

TEST(IterationLog, GaussSearchesTheCoordinatesInTurn) {
    LoggedRun r("gauss");
    ASSERT_EQ(r.run.Status, TRunStatus::Done);
    const TIterationView first = r.Log().Iteration(0);
    ASSERT_EQ(first.Searches.size(), 2u);
    EXPECT_EQ(first.Searches[0].Coordinate, 0);
    EXPECT_EQ(first.Searches[1].Coordinate, 1);
    EXPECT_FALSE(first.HasGradient);
    // The second search starts where the first one's step led.
    const TSearchView& a = first.Searches[0];
    ASSERT_TRUE(a.Taken);
    EXPECT_EQ(first.Searches[1].Origin[0], a.Origin[0] + a.Accepted * a.Direction[0]);
}

TEST(IterationLog, RosenbrocksAxesStayOrthonormalAndStartAsTheCoordinates) {
    LoggedRun r("rosenbrock", "100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
    ASSERT_EQ(r.run.Status, TRunStatus::Done);
    const TIterationLog& log = r.Log();
    ASSERT_GT(log.Count(), 3);
    const TIterationView first = log.Iteration(0);
    ASSERT_EQ(first.Axes.size(), 2u);
    EXPECT_EQ(first.Axes[0][0], 1);
    EXPECT_EQ(first.Axes[1][1], 1);
    bool rotated = false;
    for (int k = 1; k + 1 < log.Count(); ++k) {
        const TIterationView it = log.Iteration(k);
        if (it.Axes.size() != 2) continue;
        const Vector &u = it.Axes[0], &v = it.Axes[1];
        EXPECT_NEAR(double(u[0] * u[0] + u[1] * u[1]), 1, 1e-12);
        EXPECT_NEAR(double(u[0] * v[0] + u[1] * v[1]), 0, 1e-12);
        rotated = rotated || (u[0] != 1 && u[0] != -1);
        // Each search runs along one of the iteration's axes.
        for (const TSearchView& s : it.Searches) {
            const bool alongU = s.Direction[0] == u[0] && s.Direction[1] == u[1];
            const bool alongV = s.Direction[0] == v[0] && s.Direction[1] == v[1];
            EXPECT_TRUE(alongU || alongV);
        }
    }
    EXPECT_TRUE(rotated);
}

TEST(IterationLog, NelderMeadKeepsItsSimplexBestFirst) {
    LoggedRun r("nelder-mead");
    ASSERT_EQ(r.run.Status, TRunStatus::Done);
    const TIterationView first = r.Log().Iteration(0);
    ASSERT_EQ(first.Simplex.size(), 3u);
    // From (3, 4) and 5 % further along each coordinate; best first.
    Real previous = -HUGE_VALL;
    for (const Vector& v : first.Simplex) {
        const Real value = r.ValueAt(v);
        EXPECT_GE(value, previous);
        previous = value;
    }
    bool startIsAVertex = false;
    for (const Vector& v : first.Simplex) startIsAVertex |= v[0] == 3 && v[1] == 4;
    EXPECT_TRUE(startIsAVertex);
    EXPECT_TRUE(first.Searches.empty());
}

TEST(IterationLog, BfgsTakesAStepThatMeetsTheWolfeConditions) {
    LoggedRun r("bfgs", "100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
    ASSERT_EQ(r.run.Status, TRunStatus::Done);
    const TIterationLog& log = r.Log();
    int checked = 0;
    for (int k = 0; k + 1 < log.Count(); ++k) {
        const TIterationView it = log.Iteration(k);
        if (it.Searches.size() != 1 || !it.Searches[0].Taken) continue;
        const TSearchView& s = it.Searches[0];
        const Real f0 = r.ValueAt(s.Origin);
        const Real slope0 = it.Gradient[0] * s.Direction[0] + it.Gradient[1] * s.Direction[1];
        ASSERT_LT(slope0, 0);
        // The search never evaluates its origin; the step taken is one of its trials.
        bool amongTrials = false;
        for (const TTrialPoint& t : s.Trials) {
            EXPECT_NE(t.Step, 0);
            amongTrials |= t.Step == double(s.Accepted);
        }
        EXPECT_TRUE(amongTrials);
        EXPECT_LE(r.ValueAt(Along(s, s.Accepted)), f0 + kWolfeDecrease * s.Accepted * slope0 + 1e-15);
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

TEST(IterationLog, AVeryLongRunKeepsOnlyItsFirstDetails) {
    TIterationLog log(1);
    const Vector one{1};
    for (int k = 0; k < 1'100'000; ++k) {
        log.PointRecorded();
        log.SearchBegins(one, one);
        log.Trial(0, 1);
    }
    EXPECT_FALSE(log.Complete());
    EXPECT_EQ(log.Count(), 1'100'000);
    EXPECT_EQ(log.Iteration(0).Searches.size(), 1u);
    EXPECT_EQ(log.Iteration(0).Searches[0].Trials.size(), 1u);
    EXPECT_TRUE(log.Iteration(1'099'999).Searches.empty());
    EXPECT_LE(log.TrialCount(), 1'048'576);
}

} // namespace
} // namespace qirt
