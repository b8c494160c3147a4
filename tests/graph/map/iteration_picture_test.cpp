// An iteration laid over the map: arrows of a fixed length in the right
// direction, lines kept near the map however far a search went, and phi
// sampled along the search's line.
#include <cmath>

#include <gtest/gtest.h>

#include "func/evaluate.h"
#include "func/function.h"
#include "graph/map/iteration_picture.h"

namespace qirt {
namespace {

const TViewRange kView{-5, 5, -5, 5}; // 50 pixels per unit on 500

TEST(IterationOverlay, ArrowsKeepTheirLengthAndPointAgainstTheGradient) {
    TIterationView it;
    it.HasGradient = true;
    it.Gradient = Vector{3, 4};
    const TIterationOverlay o = IterationOverlay(it, Vector{0, 0}, 0, 1, kView, 500);
    ASSERT_EQ(o.Antigradient.size(), 1u);
    const TOverlaySegment& a = o.Antigradient[0];
    EXPECT_DOUBLE_EQ(a.X1, 250);
    EXPECT_DOUBLE_EQ(a.Y1, 250);
    EXPECT_NEAR(std::hypot(a.X2 - a.X1, a.Y2 - a.Y1), 60, 1e-9);
    // -(3, 4) is left and down; down on the map is +y in pixels.
    EXPECT_NEAR(a.X2 - a.X1, -36, 1e-9);
    EXPECT_NEAR(a.Y2 - a.Y1, 48, 1e-9);
    // Twice the map, twice the arrow; a gradient off the axes, no arrow.
    EXPECT_NEAR(IterationOverlay(it, Vector{0, 0}, 0, 1, kView, 1000).Antigradient[0].X2, 500 - 72, 1e-9);
    EXPECT_TRUE(IterationOverlay(it, Vector{0, 0}, 2, 3, kView, 500).Antigradient.empty());
}

TEST(IterationOverlay, FarSearchesAreKeptNearTheMapAndTrialsOffItLeftOut) {
    TIterationView it;
    TSearchView s;
    s.Origin = Vector{1, 1};
    s.Direction = Vector{1, 0};
    s.Trials = {{0, 2}, {0.1, 1.9}, {1e30, 1}};
    s.Accepted = 2;
    s.Taken = true;
    it.Searches.push_back(s);
    const TIterationOverlay o = IterationOverlay(it, s.Origin, 0, 1, kView, 500);
    ASSERT_EQ(o.Directions.size(), 1u);
    EXPECT_LE(o.Directions[0].X2, 1000);
    EXPECT_GE(o.Directions[0].X1, -500);
    EXPECT_DOUBLE_EQ(o.Directions[0].Y1, 200);
    EXPECT_EQ(o.Trials.size(), 2u); // 1e30 lies far off the map
    ASSERT_EQ(o.Steps.size(), 1u);
    EXPECT_DOUBLE_EQ(o.Steps[0].X1, 300);
    EXPECT_DOUBLE_EQ(o.Steps[0].X2, 400);
}

TEST(IterationOverlay, TheSimplexIsItsEdgesAndTheAxesCrossThePoint) {
    TIterationView it;
    it.Simplex = {Vector{0, 0}, Vector{1, 0}, Vector{0, 1}};
    it.Axes = {Vector{1, 0}, Vector{0, 1}};
    const TIterationOverlay o = IterationOverlay(it, Vector{0, 0}, 0, 1, kView, 500);
    EXPECT_EQ(o.Simplex.size(), 3u);
    ASSERT_EQ(o.Axes.size(), 2u);
    EXPECT_DOUBLE_EQ(o.Axes[0].X1, 190);
    EXPECT_DOUBLE_EQ(o.Axes[0].X2, 310);
    EXPECT_DOUBLE_EQ(o.Axes[1].Y1, 310); // from below the point to above it
}

TEST(SearchLine, PhiIsTheFunctionAlongTheLineAndUndefinedIsNaN) {
    TFunction f;
    BuildTree(f, "ln(x[0])+x[1]^2");
    TSearchView s;
    s.Origin = Vector{1, 2};
    s.Direction = Vector{-1, 1};
    s.Trials = {{0, 4}, {0.5, 1}};
    const auto [t0, t1] = SearchInterval(s);
    EXPECT_DOUBLE_EQ(t0, -0.025);
    EXPECT_DOUBLE_EQ(t1, 0.525);
    const std::vector<double> phi = SampleSearchLine(f, 1, s, -1, 2, 4); // t = -1, 0, 1, 2
    ASSERT_EQ(phi.size(), 4u);
    EXPECT_NEAR(phi[0], std::log(2.0) + 1, 1e-15);
    EXPECT_NEAR(phi[1], 4, 1e-15);
    EXPECT_TRUE(std::isnan(phi[2])); // ln 0
    EXPECT_TRUE(std::isnan(phi[3])); // ln -1
    EXPECT_EQ(SearchInterval(TSearchView{}), std::make_pair(-1.0, 1.0));
}

} // namespace
} // namespace qirt
