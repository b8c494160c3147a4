#include "graph/map/plot.h"

#include <cmath>
#include <string>

#include "graph/track/track_values.h"

namespace qirt {

std::vector<Real> NiceTicks(Real low, Real high, int most) {
    std::vector<Real> ticks;
    if (!(high > low) || !std::isfinite(high - low) || most < 1) return ticks;
    const Real span = high - low;
    // The smallest round step that gives at most `most` ticks.
    const Real rough = span / most;
    const Real power = std::pow(Real(10), std::floor(std::log10(rough)));
    Real step = 0;
    for (Real factor : {Real(1), Real(2), Real(5), Real(10)}) {
        step = factor * power;
        if (std::floor(high / step) - std::ceil(low / step) + 1 <= most) break;
    }
    const Real first = std::ceil(low / step), last = std::floor(high / step);
    for (Real k = first; k <= last; ++k) ticks.push_back(k * step == 0 ? 0 : k * step);
    return ticks;
}

std::vector<TLevelRange> LevelRanges(const TMapSamples& m, std::string_view colourCountText) {
    std::vector<TLevelRange> ranges;
    if (!m.AnyDefined) return ranges;
    const std::int32_t k = ColourCount(colourCountText);
    const Real step = (m.ValueMax - m.ValueMin) / (Real(k) - 1);
    if (step == 0 || !std::isfinite(step) || k < 2) {
        ranges.push_back({1, m.ValueMin, m.ValueMax});
        return ranges;
    }
    // Band n holds the values within half a step of ValueMin + n step.
    // Beyond kMostLevelRanges bands (a colour count of a billion) each
    // range stands for a run of bands, in the colour of its first: the list
    // stays small however many colours were asked for.
    const std::int64_t bands = std::llround((m.ValueMax - m.ValueMin) / step);
    const std::int64_t stride = (bands + kMostLevelRanges) / kMostLevelRanges;
    for (std::int64_t n = 0; n <= bands; n += stride)
        ranges.push_back({std::int32_t(n + 1), std::max(m.ValueMin, m.ValueMin + (n - 0.5L) * step),
                          std::min(m.ValueMax, m.ValueMin + (n + stride - 0.5L) * step)});
    return ranges;
}

bool WriteGridCsv(const TMapSamples& m, const TViewRange& v, std::FILE* file) {
    const int gridSize = m.GridSize;
    const Real dx = (v.XMax - v.XMin) / (gridSize - 1);
    const Real dy = (v.YMax - v.YMin) / (gridSize - 1);
    bool ok = std::fputs("x,y,f\n", file) >= 0;
    std::string line;
    for (int i = 0; i < gridSize && ok; ++i) {
        const Real x = i * dx + v.XMin; // as the samples were taken
        for (int j = 0; j < gridSize && ok; ++j) {
            const Real y = v.YMax - j * dy;
            line = ShortestText(x) + "," + ShortestText(y) + ",";
            if (m.SampleDefined[i][j]) line += ShortestText(m.SampleValues[i][j]);
            line += "\n";
            ok = std::fputs(line.c_str(), file) >= 0;
        }
    }
    return ok;
}

} // namespace qirt
