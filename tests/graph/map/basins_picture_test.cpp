#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "graph/map/basins_picture.h"
#include "graph/track/map_transform.h"
#include "memory_canvas.h"

namespace qirt {
namespace {

using testing::MemoryCanvas;

// Basins as the engine leaves them, made up: cell (i, j) in group
// (i + j) % groupCount, the first `minima` groups minima at the given
// points, the rest iteration limits; iterations from 1 to 9 by cell.
TBasins MadeUp(int n, int minima, int groupCount, const std::vector<Vector>& points = {}) {
    TBasins b;
    b.Status = TRunStatus::Done;
    b.Grid.Size = n;
    b.Grid.View = {-1, 1, -1, 1};
    b.LastIndex = 1;
    b.MinimumCount = minima;
    b.StationaryCount = minima;
    b.Cells.resize(static_cast<std::size_t>(n) * n);
    for (int g = 0; g < groupCount; ++g) {
        TBasinGroup group;
        group.End = g < minima ? TRunEnd::Converged : TRunEnd::IterationLimit;
        group.Point =
            g < static_cast<int>(points.size()) ? points[g] : Vector{5, 5}; // outside the view
        b.Groups.push_back(group);
    }
    b.FewestIterations = 1;
    b.MostIterations = 9;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            TBasinCell& cell = b.Cells[static_cast<std::size_t>(i) * n + j];
            cell.Group = (i + j) % groupCount;
            cell.End = b.Groups[cell.Group].End;
            cell.Iterations = 1 + (i * 7 + j) % 9;
            ++b.Groups[cell.Group].Cells;
        }
    return b;
}

int Lightness(TColour c) {
    return c.Red + c.Green + c.Blue;
}

TEST(PaintBasins, EveryPixelTakesTheColourOfTheCellUnderIt) {
    // Grids that divide the side and grids that do not: the cells tile
    // the map without gaps, and the pixel-to-cell lookup agrees.
    for (auto [n, side] :
         {std::tuple{20, 500}, std::tuple{30, 500}, std::tuple{200, 500}, std::tuple{47, 333}}) {
        const TBasins b = MadeUp(n, 2, 3);
        MemoryCanvas canvas(side, side);
        canvas.Fill({1, 2, 3});
        PaintBasins(b, canvas);
        int wrong = 0;
        for (int x = 0; x < side; ++x)
            for (int y = 0; y < side; ++y) {
                int i = -1, j = -1;
                ASSERT_TRUE(BasinCellAt(b, side, x, y, i, j));
                ASSERT_TRUE(i >= 0 && i < n && j >= 0 && j < n);
                wrong += canvas.Pixel(x, y) != BasinCellColour(b, i, j);
            }
        EXPECT_EQ(wrong, 0) << n << " cells over " << side;
        EXPECT_EQ(canvas.Count({1, 2, 3}), 0);
        int i, j;
        EXPECT_FALSE(BasinCellAt(b, side, side, 0, i, j) || BasinCellAt(b, side, 0, -1, i, j));
    }
}

TEST(PaintBasins, MarksTheMinimaInTheView) {
    // (0.5, 0.5) is in the view, (5, 5) is not: one disc, white inside a
    // black rim, at the point's pixel.
    const TBasins b = MadeUp(20, 2, 2, {Vector{0.5L, 0.5L}, Vector{5, 5}});
    MemoryCanvas canvas(500, 500);
    PaintBasins(b, canvas);
    const TPixel p = TMapTransform(b.Grid.View, 500).Pixel(0.5L, 0.5L);
    EXPECT_EQ(canvas.Pixel(p.X, p.Y), kWhite);
    EXPECT_TRUE(canvas.Pixel(p.X - 3, p.Y) == kBlack && canvas.Pixel(p.X + 3, p.Y) == kBlack &&
                canvas.Pixel(p.X, p.Y - 3) == kBlack);
    EXPECT_LT(canvas.Count(kWhite) + canvas.Count(kBlack), 49); // within the one 7 x 7 box

    // A saddle is marked the other way round: black inside a white rim.
    TBasins saddle = MadeUp(20, 2, 2, {Vector{0.5L, 0.5L}, Vector{-0.5L, -0.5L}});
    saddle.MinimumCount = 1;
    saddle.Groups[1].Kind = TStationary::Saddle;
    MemoryCanvas marked(500, 500);
    PaintBasins(saddle, marked);
    const TPixel q = TMapTransform(saddle.Grid.View, 500).Pixel(-0.5L, -0.5L);
    EXPECT_EQ(marked.Pixel(q.X, q.Y), kBlack);
    EXPECT_TRUE(marked.Pixel(q.X - 3, q.Y) == kWhite && marked.Pixel(q.X + 3, q.Y) == kWhite);
    EXPECT_EQ(marked.Pixel(p.X, p.Y), kWhite); // the minimum as before
}

TEST(BasinColours, MinimaTakeDistinctHuesTheOtherEndsGreysAndDarkTones) {
    const TBasins b = MadeUp(20, 13, 14);
    std::set<std::tuple<int, int, int>> hues;
    for (int g = 0; g < 12; ++g) {
        const TColour c = BasinGroupColour(b, g);
        hues.insert({c.Red, c.Green, c.Blue});
        EXPECT_GT(std::max({c.Red, c.Green, c.Blue}) - std::min({c.Red, c.Green, c.Blue}), 60) << g;
    }
    EXPECT_EQ(hues.size(), 12u);
    EXPECT_EQ(BasinGroupColour(b, 12), BasinGroupColour(b, 0)); // the palette again
    // Every other end: little colour, and never a minimum's.
    std::set<std::tuple<int, int, int>> others;
    for (TRunEnd end :
         {TRunEnd::IterationLimit, TRunEnd::UndefinedDerivative, TRunEnd::UndefinedStep,
          TRunEnd::Stopped, TRunEnd::Unbounded, TRunEnd::UndefinedStart, TRunEnd::NotStationary,
          TRunEnd::SingularHessian, TRunEnd::RunsOff, TRunEnd::EvaluationLimit}) {
        TBasins one = MadeUp(20, 1, 2);
        one.Groups[1].End = end;
        const TColour c = BasinGroupColour(one, 1);
        EXPECT_LE(std::max({c.Red, c.Green, c.Blue}) - std::min({c.Red, c.Green, c.Blue}), 40)
            << static_cast<int>(end);
        EXPECT_EQ(hues.count({c.Red, c.Green, c.Blue}), 0u);
        others.insert({c.Red, c.Green, c.Blue});
    }
    EXPECT_EQ(others.size(), 10u);

    // The legend: a row per group, in order, in the group's colour.
    const std::vector<TBasinLegendRow> legend = BasinLegend(b);
    ASSERT_EQ(legend.size(), b.Groups.size());
    for (int g = 0; g < static_cast<int>(legend.size()); ++g)
        EXPECT_TRUE(legend[g].Group == g && legend[g].Colour == BasinGroupColour(b, g) &&
                    legend[g].Data.Cells == b.Groups[g].Cells &&
                    legend[g].Data.Minimum() == (g < 13));
}

TEST(BasinCellColour, FewerIterationsLighterMoreDarker) {
    TBasins b = MadeUp(20, 1, 2);
    const TColour base = BasinGroupColour(b, 0);
    // Cells of the minimum (group 0) with 1, 3 and 9 iterations.
    auto cellWith = [&](int group, std::int32_t iterations) {
        for (int i = 0; i < 20; ++i)
            for (int j = 0; j < 20; ++j)
                if (b.Cell(i, j).Group == group && b.Cell(i, j).Iterations == iterations)
                    return BasinCellColour(b, i, j);
        ADD_FAILURE() << "no cell of group " << group << " with " << iterations << " iterations";
        return kWhite;
    };
    const TColour fewest = cellWith(0, 1), some = cellWith(0, 3), most = cellWith(0, 9);
    EXPECT_TRUE(Lightness(fewest) > Lightness(base) && Lightness(fewest) > Lightness(some) &&
                Lightness(some) > Lightness(most) && Lightness(most) < Lightness(base));
    EXPECT_TRUE(most != kBlack && fewest != kWhite);
    // The other ends keep their tone whatever the iterations.
    EXPECT_TRUE(cellWith(1, 1) == BasinGroupColour(b, 1) &&
                cellWith(1, 9) == BasinGroupColour(b, 1));
    // All runs equally long: the middle shade for every cell.
    b.FewestIterations = b.MostIterations = 4;
    EXPECT_EQ(cellWith(0, 1), cellWith(0, 9));
    // A cell without a group (a cancelled picture) stays white.
    b.Cells[0].Group = -1;
    EXPECT_EQ(BasinCellColour(b, 0, 0), kWhite);
}

} // namespace
} // namespace qirt
