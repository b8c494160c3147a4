// The examples shipped with the program: each reads as a task and runs to
// the result its note promises (the table below is the one in
// docs/examples.md).
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QDir>

#include "graph/task/task.h"
#include "methods/compare.h"
#include "methods/run.h"

using namespace qirt;

namespace {

struct TPromise {
    const char* File;
    std::vector<Real> Point; // the point the run ends at
    Real Minimum;
    TRunEnd End;
    Real Tolerance; // in each coordinate and in the value
    int MaxIterations;
};

const TPromise kPromises[] = {
    {"rosenbrock", {1, 1}, 0, TRunEnd::Converged, 1e-6L, 100},
    {"himmelblau", {3, 2}, 0, TRunEnd::Converged, 1e-6L, 200},
    {"booth", {1, 3}, 0, TRunEnd::Converged, 1e-12L, 2},
    {"beale", {3, 0.5L}, 0, TRunEnd::Converged, 1e-6L, 100},
    {"badly-scaled", {0, 0}, 0, TRunEnd::Converged, 1e-3L, 100},
    // Coordinate descent stalls: the verdict says so, far from (0; 0).
    {"rotated-valley", {-3.6L, 4}, 3.04L, TRunEnd::NotStationary, 1e-9L, 10},
    {"three-hump-camel", {-1.74755L, 0.87378L}, 0.29864L, TRunEnd::Converged, 1e-4L, 20},
    {"sum-of-ten", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, TRunEnd::Converged, 1e-9L, 10},
    {"undefined-region", {1, 1}, 1, TRunEnd::Converged, 1e-5L, 20},
    {"exterior-region", {1.5L, 0.5L}, 0.5L, TRunEnd::Converged, 1e-5L, 100},
    {"interior-region", {1, 1}, 2, TRunEnd::Converged, 1e-4L, 200},
};

TTask Example(const std::string& name) {
    TTask task;
    QString error;
    EXPECT_TRUE(LoadTask(QStringLiteral(QIRT_EXAMPLES "/%1.qirt").arg(QString::fromStdString(name)), task, error))
        << error.toStdString();
    return task;
}

// The task's region in the session, as the main window puts it there.
void PutRegion(TSession& S, const TTask& task) {
    S.Conditions.ClearConditions();
    for (const TTaskCondition& c : task.Conditions)
        S.Conditions.AddCondition(c.Inequality, c.Coefficient, c.Power, c.Kind);
    S.Function.Conditions = task.Conditions.empty() ? nullptr : &S.Conditions;
    S.RegionStrategy = task.Run.RegionStrategy;
}

} // namespace

TEST(Examples, EveryExampleIsShippedAndHasANoteInBothLanguages) {
    const QStringList files = QDir(QStringLiteral(QIRT_EXAMPLES)).entryList({QStringLiteral("*.qirt")});
    EXPECT_EQ(files.size(), static_cast<qsizetype>(std::size(kPromises) + 1)); // and the comparison
    for (const QString& file : files) {
        const TTask task = Example(file.chopped(5).toStdString());
        EXPECT_FALSE(task.Notes.at("ru").empty()) << file.toStdString();
        EXPECT_FALSE(task.Notes.at("en").empty()) << file.toStdString();
        EXPECT_NE(task.Notes.at("ru"), task.Notes.at("en")) << file.toStdString();
    }
}

TEST(Examples, EachRunsToTheResultItsNotePromises) {
    for (const TPromise& promise : kPromises) {
        SCOPED_TRACE(promise.File);
        const TTask task = Example(promise.File);
        ASSERT_TRUE(task.Compare.empty());
        TSession S;
        PutRegion(S, task);
        TRun run;
        StartRun(S, task.Run, run);
        ASSERT_EQ(run.Status, TRunStatus::Done);
        const TRunResult& r = run.Result;
        EXPECT_EQ(r.End, promise.End);
        ASSERT_EQ(r.LastIndex + 1, static_cast<int>(promise.Point.size()));
        for (std::size_t i = 0; i < promise.Point.size(); ++i)
            EXPECT_NEAR(static_cast<double>(r.Point[i]), static_cast<double>(promise.Point[i]),
                        static_cast<double>(promise.Tolerance));
        const Real value = r.Region.Present ? r.Region.Objective : r.Minimum;
        EXPECT_NEAR(static_cast<double>(value), static_cast<double>(promise.Minimum),
                    static_cast<double>(promise.Tolerance));
        EXPECT_LE(r.Iterations, promise.MaxIterations);
        if (r.Region.Present) {
            EXPECT_EQ(r.Region.End, TRegionEnd::RegionMinimum);
        }
        FinishRun(S, run);
    }
}

// All eleven methods from one point: the two zero-order methods that move
// along fixed or rotated axes stop in the slanted valley and say so; every
// other one reaches (1; 1).
TEST(Examples, TheComparisonShowsWhichMethodsStopInTheValley) {
    const TTask task = Example("compare-all");
    ASSERT_EQ(task.Compare.size(), static_cast<std::size_t>(kMethodCount));
    TSession S;
    const std::vector<TComparisonRow> rows = CompareMethods(S, task.Run, task.Compare);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kMethodCount));
    for (const TComparisonRow& r : rows) {
        const std::string name = kMethods[r.Method].Name;
        SCOPED_TRACE(name);
        if (name == "rosenbrock" || name == "gauss") {
            EXPECT_EQ(r.End, TRunEnd::NotStationary);
            EXPECT_GT(r.Minimum, 0.5L);
        } else {
            EXPECT_EQ(r.End, TRunEnd::Converged);
            EXPECT_NEAR(static_cast<double>(r.Point[0]), 1.0, 1e-5);
            EXPECT_NEAR(static_cast<double>(r.Point[1]), 1.0, 1e-5);
        }
    }
}
