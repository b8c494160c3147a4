#include "graph/map/basins_picture.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "graph/track/map_transform.h"

namespace qirt {

namespace {

// Twelve hues that stay apart from each other and from the greys, light
// and dark enough to keep apart when shaded.
constexpr TColour kMinimumColours[] = {
    {31, 119, 180},  // blue
    {255, 127, 14},  // orange
    {44, 160, 44},   // green
    {214, 39, 40},   // red
    {148, 103, 189}, // violet
    {23, 190, 207},  // cyan
    {227, 119, 194}, // pink
    {188, 189, 34},  // olive
    {140, 86, 75},   // brown
    {255, 215, 0},   // gold
    {0, 128, 128},   // teal
    {150, 230, 80},  // lime
};

// The runs that found no minimum: greys and dark tones, one per end.
TColour OtherEndColour(TRunEnd end) {
    switch (end) {
    case TRunEnd::IterationLimit:
        return {90, 90, 90};
    case TRunEnd::EvaluationLimit:
        return {70, 70, 70};
    case TRunEnd::NotStationary:
        return {135, 135, 135};
    case TRunEnd::Unbounded:
        return {30, 30, 30};
    case TRunEnd::RunsOff:
        return {85, 60, 45};
    case TRunEnd::UndefinedStart:
        return {205, 205, 205};
    case TRunEnd::UndefinedDerivative:
        return {165, 165, 165};
    case TRunEnd::UndefinedStep:
        return {110, 110, 125};
    case TRunEnd::SingularHessian:
        return {60, 70, 95};
    case TRunEnd::Stopped:
        return {185, 180, 170};
    case TRunEnd::Refused:
    case TRunEnd::Skipped:
        return kWhite;
    case TRunEnd::Converged:
        break;
    }
    return {100, 100, 100};
}

std::uint8_t Channel(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

// From the colour half mixed with white (t = 0) to the colour with a third
// of black (t = 1).
TColour Shade(TColour c, double t) {
    auto mix = [t](std::uint8_t v) {
        const double light = v + (255 - v) * 0.5, dark = v * (2.0 / 3.0);
        return Channel(light + (dark - light) * t);
    };
    return {mix(c.Red), mix(c.Green), mix(c.Blue)};
}

// Where an iteration count lies between the fewest and the most, on a
// logarithmic scale: 0 ... 1, a half when all are equal.
double IterationShade(const TBasins& b, std::int32_t iterations) {
    const double low = std::log1p(double(b.FewestIterations)),
                 high = std::log1p(double(b.MostIterations));
    if (!(high > low)) return 0.5;
    return std::clamp((std::log1p(double(std::max(iterations, 0))) - low) / (high - low), 0.0, 1.0);
}

// The first pixel of cell k of n over side pixels: the smallest x with
// x n / side >= k.
int CellEdge(int k, int n, int side) {
    return static_cast<int>((static_cast<long long>(k) * side + n - 1) / n);
}

} // namespace

TColour BasinGroupColour(const TBasins& basins, int group) {
    if (group < 0 || group >= static_cast<int>(basins.Groups.size())) return kWhite;
    const TBasinGroup& g = basins.Groups[group];
    if (!g.Converged()) return OtherEndColour(g.End);
    constexpr int count = static_cast<int>(std::size(kMinimumColours));
    return kMinimumColours[group % count]; // the stationary points come first: group is their number
}

TColour BasinCellColour(const TBasins& basins, int i, int j) {
    const TBasinCell& cell = basins.Cell(i, j);
    const TColour colour = BasinGroupColour(basins, cell.Group);
    if (cell.Group < 0 || !basins.Groups[cell.Group].Converged()) return colour;
    return Shade(colour, IterationShade(basins, cell.Iterations));
}

void PaintBasins(const TBasins& basins, TCanvas& canvas) {
    const int n = basins.Grid.Size, side = canvas.MapSide();
    if (basins.Cells.size() != static_cast<std::size_t>(n) * n) return;
    for (int i = 0; i < n; ++i) {
        const int x = CellEdge(i, n, side), w = CellEdge(i + 1, n, side) - x;
        for (int j = 0; j < n; ++j) {
            const int y = CellEdge(j, n, side), h = CellEdge(j + 1, n, side) - y;
            canvas.FillBlock(x, y, w, h, BasinCellColour(basins, i, j));
        }
    }
    // The stationary points found, where both axis variables take part: a
    // minimum white ringed in black, a saddle or maximum black ringed in white.
    const TBasinGrid& g = basins.Grid;
    if (g.A > basins.LastIndex || g.B > basins.LastIndex) return;
    const TMapTransform transform(g.View, side);
    const TColour pen = canvas.PenColour, brush = canvas.BrushColour;
    for (int k = 0; k < basins.StationaryCount; ++k) {
        const bool minimum = basins.Groups[k].Minimum();
        canvas.PenColour = minimum ? kBlack : kWhite;
        canvas.BrushColour = minimum ? kWhite : kBlack;
        const Vector& p = basins.Groups[k].Point;
        if (!(g.View.XMin <= p[g.A] && p[g.A] <= g.View.XMax && g.View.YMin <= p[g.B] &&
              p[g.B] <= g.View.YMax))
            continue;
        const TPixel c = transform.Pixel(p[g.A], p[g.B]);
        DrawEllipse(canvas, c.X - 3, c.Y - 3, c.X + 4, c.Y + 4);
    }
    canvas.PenColour = pen;
    canvas.BrushColour = brush;
}

bool BasinCellAt(const TBasins& basins, int side, int x, int y, int& i, int& j) {
    const int n = basins.Grid.Size;
    if (side <= 0 || x < 0 || y < 0 || x >= side || y >= side) return false;
    i = static_cast<int>(static_cast<long long>(x) * n / side);
    j = static_cast<int>(static_cast<long long>(y) * n / side);
    return true;
}

std::vector<TBasinLegendRow> BasinLegend(const TBasins& basins) {
    std::vector<TBasinLegendRow> rows;
    for (int g = 0; g < static_cast<int>(basins.Groups.size()); ++g)
        rows.push_back({g, BasinGroupColour(basins, g), basins.Groups[g]});
    return rows;
}

} // namespace qirt
