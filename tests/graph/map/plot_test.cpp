// The pieces that make a map read like a plot: round tick values, the
// values of each colour level, the grid as CSV, filled levels and level
// lines read off the sampled grid.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "func/evaluate.h"
#include "graph/map/plot.h"
#include "memory_canvas.h"
#include "methods/session.h"

namespace qirt {
namespace {

using testing::MemoryCanvas;

TEST(NiceTicks, RoundStepsWithinTheRangeAndNoMoreThanAsked) {
    EXPECT_EQ(NiceTicks(0, 10, 6), (std::vector<Real>{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(NiceTicks(-5, 5, 10), (std::vector<Real>{-4, -2, 0, 2, 4}));
    EXPECT_EQ(NiceTicks(-5, 5, 11).size(), 11u); // step 1 when eleven are allowed
    EXPECT_TRUE(NiceTicks(1, 1, 5).empty());
    EXPECT_TRUE(NiceTicks(2, 1, 5).empty());
    for (auto [low, high] : {std::pair<Real, Real>{0.13L, 0.47L}, {-1e300L, 1e300L}, {1e-9L, 3e-9L}, {-7.3L, 1e4L}}) {
        for (int most : {2, 5, 8}) {
            const std::vector<Real> t = NiceTicks(low, high, most);
            ASSERT_FALSE(t.empty()) << double(low) << " " << double(high) << " " << most;
            EXPECT_LE(int(t.size()), most);
            for (Real v : t) {
                EXPECT_GE(v, low);
                EXPECT_LE(v, high);
            }
            if (t.size() < 2) continue;
            // One step, a round one: 1, 2 or 5 times a power of ten.
            const Real step = t[1] - t[0];
            const Real mantissa = step / std::pow(Real(10), std::floor(std::log10(step) + 1e-9L));
            EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9L || std::fabs(mantissa - 2) < 1e-9L ||
                        std::fabs(mantissa - 5) < 1e-9L)
                << double(step);
        }
    }
}

// A map of f over [-5, 5]^2 drawn with the given look.
struct Plot {
    Plot(const char* formula, TMapLook look = {}, const char* colours = "11") {
        BuildTree(S.Function, formula);
        S.CurrentLastIndex = 1;
        S.View = {-5, 5, -5, 5};
        S.MapFilled = look.Filled;
        S.MapLevelLines = look.LevelLines;
        RedrawMap(S, canvas, 0, 1, colours);
    }
    const TMapSamples& M() { return MapSamples(S); }
    TSession S;
    MemoryCanvas canvas;
};

TEST(LevelRanges, EverySampleLiesInItsLevelsRange) {
    Plot p("x[0]^2+x[1]^2");
    const std::vector<TLevelRange> ranges = LevelRanges(p.M(), "11");
    ASSERT_EQ(ranges.size(), 11u); // 0 ... 50 in steps of 5
    EXPECT_EQ(ranges.front().Low, 0);
    EXPECT_EQ(ranges.back().High, 50);
    for (std::size_t k = 1; k < ranges.size(); ++k) EXPECT_EQ(ranges[k].Low, ranges[k - 1].High);
    for (int i = 0; i < kGridSize; i += 5)
        for (int j = 0; j < kGridSize; j += 5) {
            const TLevelRange& r = ranges[p.M().SampleLevels[i][j] - 1];
            EXPECT_EQ(r.Level, p.M().SampleLevels[i][j]);
            EXPECT_GE(p.M().SampleValues[i][j], r.Low - 1e-12L);
            EXPECT_LE(p.M().SampleValues[i][j], r.High + 1e-12L);
        }
}

// A colour count of a billion: a bar of a few thousand ranges, still from
// the lowest value to the highest without a gap, not a billion entries.
TEST(LevelRanges, HugeColourCountsStaySmall) {
    Plot p("x[0]^2+x[1]^2", {}, "1000000000");
    const std::vector<TLevelRange> ranges = LevelRanges(p.M(), "1000000000");
    ASSERT_GT(ranges.size(), 1000u);
    ASSERT_LE(ranges.size(), 4097u);
    EXPECT_EQ(ranges.front().Low, 0);
    EXPECT_EQ(ranges.back().High, 50);
    for (std::size_t k = 1; k < ranges.size(); ++k) EXPECT_NEAR(double(ranges[k].Low), double(ranges[k - 1].High), 1e-12);
}

// The CSV grid against direct evaluation, undefined samples left empty.
TEST(GridCsv, EveryLineIsTheFunctionThere) {
    Plot p("ln(x[0])+x[1]");
    std::FILE* f = std::tmpfile();
    ASSERT_TRUE(WriteGridCsv(p.M(), p.S.View, f));
    std::rewind(f);
    char line[256];
    ASSERT_TRUE(std::fgets(line, sizeof line, f));
    EXPECT_STREQ(line, "x,y,f\n");
    int lines = 0, empty = 0;
    TFunction g;
    BuildTree(g, "ln(x[0])+x[1]");
    while (std::fgets(line, sizeof line, f)) {
        ++lines;
        char* end;
        const Real x = std::strtold(line, &end);
        const Real y = std::strtold(end + 1, &end);
        const std::string rest(end + 1);
        g.ClearEvaluationError();
        const Real direct = FunctionValue(g, Vector{x, y}, 1);
        if (rest == "\n") {
            ++empty;
            EXPECT_FALSE(g.LastEvaluationDefined()) << double(x) << "," << double(y);
        } else {
            ASSERT_TRUE(g.LastEvaluationDefined());
            EXPECT_EQ(std::strtold(rest.c_str(), nullptr), direct);
        }
    }
    std::fclose(f);
    EXPECT_EQ(lines, kGridSize * kGridSize);
    EXPECT_EQ(empty, 126 * kGridSize); // x <= 0 in the columns 0 ... 125
}

// Filled levels leave no white where f is defined; level lines of
// x0^2 + x1^2 are circles of radius sqrt((n + 1/2) 5), n = 0, 1, ...
TEST(MapLook, LevelLinesOfTheParaboloidAreTheBandCircles) {
    Plot filled("x[0]^2+x[1]^2", {true, false});
    EXPECT_EQ(filled.canvas.Count(kWhite), 0);
    Plot dots("x[0]^2+x[1]^2");
    EXPECT_GT(dots.canvas.Count(kWhite), 3 * 500 * 500 / 4 - 1000); // three pixels in four stay white

    Plot lines("x[0]^2+x[1]^2", {true, true});
    const Real step = 5, grid = 0.04L;
    std::vector<int> onCircle(10, 0);
    int dark = 0;
    for (int px = 0; px < 500; ++px)
        for (int py = 0; py < 500; ++py) {
            if (!(lines.canvas.Pixel(px, py) == kLevelLineColour)) continue;
            ++dark;
            // The sample whose cell holds the pixel, half a cell on.
            const Real x = -5 + (px / 2) * grid + grid / 2, y = 5 - (py / 2) * grid - grid / 2;
            const Real r = std::sqrt(x * x + y * y);
            const int n = int(std::lround(r * r / step - 0.5L));
            ASSERT_GE(n, 0);
            EXPECT_NEAR(double(r), double(std::sqrt((n + 0.5L) * step)), double(2 * grid)) << px << "," << py;
            if (n < 10) ++onCircle[n];
        }
    EXPECT_GT(dark, 0);
    // Every circle inside the view is drawn all round (at least 2 pi r / grid pixels).
    for (int n = 0; (n + 0.5L) * step < 25; ++n)
        EXPECT_GT(onCircle[n], int(2 * 3.14159 * std::sqrt((n + 0.5) * 5) / 0.04)) << n;
}

} // namespace
} // namespace qirt
