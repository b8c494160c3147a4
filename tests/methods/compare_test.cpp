#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "graph/track/track_values.h"
#include "methods/compare.h"

namespace qirt {
namespace {

std::vector<int> All() {
    std::vector<int> all;
    for (int k = 0; k < kMethodCount; ++k) all.push_back(k);
    return all;
}

TRunInputs Rosenbrock(const char* step = kSymbolicStepText) {
    TRunInputs in;
    in.Formula = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";
    in.StartText = "-1.2,1";
    in.StepText = step;
    return in;
}

// Every row is the run the start button makes with that method.
TEST(CompareMethods, EachRowIsTheSingleRun) {
    for (const char* step : {kSymbolicStepText, "1e-5"}) {
        TSession S;
        const auto rows = CompareMethods(S, Rosenbrock(step), All());
        ASSERT_EQ(rows.size(), 11u);
        for (const TComparisonRow& row : rows) {
            SCOPED_TRACE(std::string(kMethods[row.Method].Name) + " " + step);
            TSession single;
            TRunInputs in = Rosenbrock(step);
            in.MethodFamily = kMethods[row.Method].Family;
            in.MethodVariant = kMethods[row.Method].Variant;
            TRun run;
            StartRun(single, in, run);
            ASSERT_EQ(run.Status, TRunStatus::Done);
            EXPECT_EQ(row.End, RunEnd(run));
            EXPECT_EQ(row.GradientNorm, run.Result.GradientNorm);
            EXPECT_EQ(row.GradientEvaluations, run.Result.GradientEvaluations);
            EXPECT_EQ(row.LastIndex, run.LastIndex);
            EXPECT_EQ(row.Point, run.ResultPoint);
            EXPECT_EQ(row.Minimum, run.MinimumValue);
            EXPECT_EQ(row.Iterations, single.IterationCount);
            EXPECT_EQ(row.Evaluations, single.Function.EvaluationCount);
            ASSERT_EQ(row.Track->Count, run.Track.Count);
            const TrackPoint* p = run.Track.Head;
            for (const TrackPoint* q = row.Track->Head; q; q = q->Next, p = p->Next)
                EXPECT_EQ(q->X, p->X);
            // f at every track point, the first the start's value.
            ASSERT_EQ(row.Values.size(), static_cast<std::size_t>(run.Track.Count));
            EXPECT_NEAR(double(row.Values.front()), 24.2, 1e-13);
            EXPECT_EQ(row.Values.back(), row.Minimum); // the last point, twice in the track, is the result
            FinishRun(single, run);
        }
        // The comparison counts nothing on the program's function object
        // beyond the runs, and leaves nothing built.
        EXPECT_EQ(S.Function.Root, nullptr);
        EXPECT_EQ(S.Track, nullptr);
    }
}

// A progress that stops the second method at its third iteration.
class StopSecond : public TComparisonProgress {
public:
    void MethodStarts(int method, int position, int count) override {
        started.push_back(method);
        this->position = position;
        EXPECT_EQ(count, 3);
    }
    bool Continue(std::int32_t iterations, Real) override { return !(position == 1 && iterations >= 3); }
    std::vector<int> started;
    int position = -1;
};

TEST(CompareMethods, StoppingEndsTheCurrentMethodAndSkipsTheRest) {
    TSession S;
    StopSecond progress;
    const auto rows = CompareMethods(S, Rosenbrock(), {MethodIndex("steepest-descent"),
                                                       MethodIndex("steepest-descent"), MethodIndex("dfp")},
                                     &progress);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(progress.started, (std::vector<int>{5, 5})); // steepest descent twice
    // Steepest descent stops in Rosenbrock's valley, the gradient still 0.012.
    EXPECT_EQ(rows[0].End, TRunEnd::NotStationary);
    EXPECT_EQ(rows[1].End, TRunEnd::Stopped);
    EXPECT_EQ(rows[1].Iterations, 3);
    EXPECT_EQ(rows[2].End, TRunEnd::Skipped);
    EXPECT_EQ(rows[2].LastIndex, -1);
    EXPECT_STREQ(EndKey(rows[1].End), "stopped");
    EXPECT_STREQ(EndKey(rows[2].End), "skipped");
    EXPECT_EQ(S.Progress, nullptr); // put back
}

TEST(CompareMethods, RefusedAndUndefinedStartsHaveTheirRows) {
    TSession S;
    TRunInputs in = Rosenbrock();
    in.Formula = "ln(x[0])+x[1]^2";
    in.StartText = "-1,1";
    const auto rows = CompareMethods(S, in, {MethodIndex("gauss"), MethodIndex("dfp")});
    for (const auto& r : rows) EXPECT_EQ(r.End, TRunEnd::UndefinedStart);
    in.StartText = "1,a";
    const auto refused = CompareMethods(S, in, {MethodIndex("gauss")});
    EXPECT_EQ(refused[0].End, TRunEnd::Refused);
}

// The results table: a column per coordinate any row has, a row's missing
// coordinates and a skipped method's numbers left empty.
TEST(ComparisonCsv, KeysAndEmptyFieldsWhereNothingRan) {
    std::vector<TComparisonRow> rows(3);
    rows[0].Method = MethodIndex("dfp");
    rows[0].LastIndex = 1;
    rows[0].Point = Vector{1, 0.1L};
    rows[0].Minimum = 0;
    rows[0].Iterations = 4;
    rows[0].Evaluations = 30;
    rows[0].Seconds = 0.25;
    rows[0].GradientNorm = 1e-9L;
    rows[0].End = TRunEnd::Converged;
    rows[1].Method = MethodIndex("gauss");
    rows[1].LastIndex = 0;
    rows[1].Point = Vector{-2};
    rows[1].Minimum = 4;
    rows[1].GradientNorm = std::nanl(""); // not taken
    rows[1].End = TRunEnd::IterationLimit;
    rows[2].Method = MethodIndex("newton");
    rows[2].End = TRunEnd::Skipped;
    std::FILE* f = std::tmpfile();
    ASSERT_TRUE(WriteComparisonCsv(rows, f));
    std::rewind(f);
    char text[512] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(text, n),
              "method,x[0],x[1],minimum,iterations,evaluations,seconds,end,gradient\n"
              "dfp,1,0.1,0,4,30,0.250000,converged,1e-09\n"
              "gauss,-2,,4,0,0,0.000000,iteration-limit,\n"
              "newton,,,,0,0,0.000000,skipped,\n");
}

TEST(TrackCsv, HeaderThenEveryPointWithItsValue) {
    Tdata track;
    AddTrackPoint(track, Vector{1, 2}, 1, 0);
    AddTrackPoint(track, Vector{-0.5L, 1e-30L}, 1, 0);
    std::FILE* f = std::tmpfile();
    ASSERT_TRUE(WriteTrackCsv(track, 2, {5, std::nanl("")}, f));
    std::rewind(f);
    char text[256] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(text, n), "k,x[0],x[1],f\n0,1,2,5\n1,-0.5,1e-30,nan\n");
    EXPECT_EQ(ShortestText(0.1L), "0.1");
    EXPECT_EQ(std::stold(ShortestText(2.0L / 3)), 2.0L / 3); // reads back exactly
}

} // namespace
} // namespace qirt
