// A region condition that cannot be evaluated at some samples of the map:
// only those samples are affected, the user is told once per redraw, and
// the next run in the same session minimises the penalised function again.
#include <cmath>

#include <gtest/gtest.h>

#include "../../func/recording_messages.h"
#include "graph/map/map.h"
#include "memory_canvas.h"
#include "methods/run.h"

namespace qirt {
namespace {

using testing::MemoryCanvas;
using testing::RecordingMessages;

struct RegionSession {
    RegionSession() {
        S.Function.Messages = &messages;
        S.Conditions.Messages = &messages;
        S.Conditions.AddCondition("ln(x[0])<=1", "1", "2", kExteriorKind);
        in.Formula = "(x[0]-3)^2+(x[1]-3)^2";
        in.StartText = "1,1";
    }
    void Run() {
        StartRun(S, in, run);
        ASSERT_EQ(run.Status, TRunStatus::Done);
    }
    int Shown() const { return int(messages.shown.size()); }
    RecordingMessages messages;
    TSession S;
    TRunInputs in;
    TRun run;
    MemoryCanvas canvas;
};

TEST(RegionMap, ConditionUndefinedAtSomeSamplesSpoilsOnlyThose) {
    for (bool extended : {true, false}) {
        SCOPED_TRACE(extended ? "with penalties" : "function alone");
        RegionSession r;
        r.in.ExtendedPlot = extended;
        r.Run();
        const Vector first = r.run.ResultPoint;
        const Real firstMinimum = r.run.MinimumValue;
        // The penalised minimum lies right of x[0] = e, where ln x[0] = 1.
        EXPECT_GT(first[0], std::exp(1.0L));
        EXPECT_LT(first[0], 3);
        EXPECT_EQ(r.Shown(), 0);

        r.S.View = {-2, 8, -2, 8}; // x[0] <= 0 in columns 0 ... 50
        RedrawMap(r.S, r.canvas, 0, 1, "16");
        const TMapSamples& m = MapSamples(r.S);
        int near = 0;
        for (int i = 0; i < kGridSize; ++i)
            for (int j = 0; j < kGridSize; ++j) {
                const Real x = -2 + i * 0.04L, y = 8 - j * 0.04L;
                ASSERT_EQ(m.SampleDefined[i][j], i > 50 || !extended) << i << "," << j;
                if (i <= 50) {
                    EXPECT_EQ(m.SampleNearBoundary[i][j], 0);
                    if (!extended) {
                        EXPECT_NEAR(double(m.SampleValues[i][j]),
                                    double((x - 3) * (x - 3) + (y - 3) * (y - 3)), 1e-12);
                    }
                } else if (m.SampleNearBoundary[i][j]) {
                    ++near;
                    EXPECT_LT(std::fabs(std::log(x) - 1), 0.02L) << i;
                }
            }
        EXPECT_EQ(near, 3 * kGridSize); // the columns at x[0] = 2.68, 2.72, 2.76
        if (extended) {
            EXPECT_EQ(r.canvas.Pixel(50, 100), kWhite);
        } else {
            EXPECT_NE(r.canvas.Pixel(50, 100), kWhite);
        }
        EXPECT_EQ(r.Shown(), 1); // once for 63,002 samples
        EXPECT_EQ(r.messages.shown[0].Text, "Ошибка вычисления условий");

        // The same input again, in the same session: the same answer.
        FinishRun(r.S, r.run);
        r.Run();
        EXPECT_EQ(r.run.ResultPoint[0], first[0]);
        EXPECT_EQ(r.run.ResultPoint[1], first[1]);
        EXPECT_EQ(r.run.MinimumValue, firstMinimum);
        EXPECT_EQ(r.Shown(), 1);
        FinishRun(r.S, r.run);
    }
}

TEST(RegionMap, UndefinedStartInTheRegionIsReportedAsSuch) {
    RegionSession r;
    r.in.StartText = "-1,1";
    StartRun(r.S, r.in, r.run);
    EXPECT_EQ(r.run.Status, TRunStatus::UndefinedStart);
    ASSERT_GE(r.Shown(), 1);
    EXPECT_EQ(r.messages.shown.back().Text, "Функция не определена в начальной точке");
    FinishRun(r.S, r.run);
}

// Shading adds a grey pixel beside each level dot outside the region and
// changes nothing else: the same dots, the same count of evaluations; and
// without it the map is the plain one.
TEST(RegionMap, ShadingMarksExactlyTheSamplesOutside) {
    TSession S;
    S.Conditions.AddCondition("x[0]+x[1]<=2", "1", "2", kExteriorKind);
    TRunInputs in;
    in.Formula = "(x[0]-3)^2+(x[1]-3)^2";
    in.StartText = "1,1";
    TRun run;
    StartRun(S, in, run);
    ASSERT_EQ(run.Status, TRunStatus::Done);
    S.Track = nullptr; // the map alone
    S.View = {-4, 6, -4, 6};
    MemoryCanvas plain, shaded;
    const std::int64_t before = S.Function.EvaluationCount;
    RedrawMap(S, plain, 0, 1, "16");
    const std::int64_t plainCount = S.Function.EvaluationCount - before;
    S.ShadeOutside = true;
    RedrawMap(S, shaded, 0, 1, "16");
    EXPECT_EQ(S.Function.EvaluationCount - before, 2 * plainCount);
    int outside = 0;
    for (int i = 0; i < kGridSize; ++i)
        for (int j = 0; j < kGridSize; ++j) {
            const Real x = -4 + i * 0.04L, y = 6 - j * 0.04L;
            const bool out = x + y > 2 + 1e-9L;
            if (std::fabs(x + y - 2) < 1e-9L) continue; // on the line: rounding decides
            ASSERT_EQ(MapSamples(S).SampleOutside[i][j], out) << i << "," << j;
            // The last column and row of samples lie just outside the picture.
            if (2 * i < 500 && 2 * j < 500) {
                EXPECT_EQ(shaded.Pixel(2 * i, 2 * j), plain.Pixel(2 * i, 2 * j));
            }
            if (2 * i + 1 < 500 && 2 * j + 1 < 500) {
                EXPECT_EQ(shaded.Pixel(2 * i + 1, 2 * j + 1), out ? kOutsideShade : plain.Pixel(2 * i + 1, 2 * j + 1));
            }
            outside += out;
        }
    EXPECT_GT(outside, 0);
    EXPECT_EQ(plain.Count(kOutsideShade), 0);
    S.ShadeOutside = false;
    MemoryCanvas again;
    RedrawMap(S, again, 0, 1, "16");
    EXPECT_TRUE(again == plain);
    FinishRun(S, run);
}

} // namespace
} // namespace qirt
