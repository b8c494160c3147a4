// The function's values along a track, and the track as comma-separated
// values, for the iteration table, the convergence plot and the exports.
#pragma once

#include <cstdio>
#include <vector>

#include "func/function.h"
#include "graph/track/track.h"

namespace qirt {

class uslov;

// f at every point of the track, penalty terms included when a region is
// given, taken on copies so that no count of F changes; NaN where the
// function is undefined.
std::vector<Real> TrackValues(const TFunction& F, const uslov* region, const Tdata& track,
                              int lastIndex);

// A number as the shortest text that reads back to it, "." for the decimal
// point in every locale; "nan", "inf", "-inf" as they are.
std::string ShortestText(Real v);

// A header line "k,x[0],...,x[n-1],f", then one line per point. The values
// are those given (empty fields where there are fewer).
bool WriteTrackCsv(const Tdata& track, int variableCount, const std::vector<Real>& values,
                   std::FILE* file);

} // namespace qirt
