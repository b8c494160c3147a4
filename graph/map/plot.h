// What a map needs to read like a plot, and to be plotted elsewhere: tick
// values at round numbers along an axis, the value range of each colour
// level, and the sampled grid as comma-separated values.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "graph/map/map.h"

namespace qirt {

// The multiples of a round step (1, 2 or 5 times a power of ten) within
// [low, high], at most `most` of them and as many as that allows; empty for
// an empty or unusable range.
std::vector<Real> NiceTicks(Real low, Real high, int most);

// The values each colour level stands for: level n (1, 2, ...) covers the
// samples whose value lies in [Low, High); as the map bands them, by the
// value's distance from the lowest sample in steps of (max - min)/(k - 1).
struct TLevelRange {
    std::int32_t Level;
    Real Low, High;
};
// At most about kMostLevelRanges of them: more bands are taken in runs.
inline constexpr std::int64_t kMostLevelRanges = 4096;
std::vector<TLevelRange> LevelRanges(const TMapSamples& m, std::string_view colourCountText);

// The grid as CSV: "x,y,f", then a line per sample, column by column and
// down each column, numbers as their shortest exact text with "."; f empty
// where the function is undefined. False when the file cannot be written.
bool WriteGridCsv(const TMapSamples& m, const TViewRange& view, std::FILE* file);

} // namespace qirt
