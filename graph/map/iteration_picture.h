// What one iteration of a method looks like: its gradient, searches, trial
// points, step, simplex or rotated axes laid over the map in map pixels,
// and the function along a search's line, phi(t) = f(origin + t s), sampled
// for a plot of that search.
#pragma once

#include <utility>
#include <vector>

#include "func/function.h"
#include "graph/track/track.h"
#include "methods/iteration_log.h"

namespace qirt {

// A segment in map pixels (x to the right, y down), kept to the map and
// a margin around it.
struct TOverlaySegment {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct TIterationOverlay {
    std::vector<TOverlaySegment> Antigradient; // one arrow from the point, of fixed length
    std::vector<TOverlaySegment> Directions;   // each search's line over the steps it tried
    std::vector<TOverlaySegment> Steps;        // each step taken
    std::vector<TOverlaySegment> Simplex;      // the simplex's edges
    std::vector<TOverlaySegment> Axes;         // the rotated axes through the point
    std::vector<std::pair<double, double>> Trials; // the points the searches tried
    bool Empty() const {
        return Antigradient.empty() && Directions.empty() && Steps.empty() && Simplex.empty() && Axes.empty() &&
               Trials.empty();
    }
};

// The iteration at `point` (its track point) over the view, a and b the
// variables on the axes, on a map side x side pixels. Directions that do
// not move the two shown variables leave nothing.
TIterationOverlay IterationOverlay(const TIterationView& it, const Vector& point, int a, int b,
                                   const TViewRange& view, int side);

// The steps a search explored, 0 included, widened by a twentieth on each
// side (a search that tried nothing but 0 spans [-1, 1]).
std::pair<double, double> SearchInterval(const TSearchView& s);

// phi(t) at `count` evenly spaced steps over [t0, t1] on the function object
// (a copy, so that the run's counts stay as they are); NaN where the
// function is undefined or not finite.
std::vector<double> SampleSearchLine(TFunction& F, int lastIndex, const TSearchView& s, double t0, double t1,
                                     int count);

} // namespace qirt
