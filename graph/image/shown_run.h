// A run as the graph window shows it beside the map: its name, its
// track's colour, the track and f at each of its points.
#pragma once

#include <cmath>

#include <memory>
#include <vector>

#include <QString>

#include "graph/track/canvas.h"
#include "graph/track/track.h"
#include "methods/iteration_log.h"
#include "methods/region_report.h"

namespace qirt {

struct TShownRun {
    QString Name;
    TColour Colour = kBlack;
    std::shared_ptr<Tdata> Track; // shared with whoever made the run
    std::vector<Real> Values;     // f at the points, NaN where undefined
    int LastIndex = 0;
    // The largest gradient component at the last point (NaN: unknown).
    Real GradientNorm = std::nanl("");
    // What the run found about the region (Present: a region was in force).
    TRegionReport Region;
    // What the method used for each step (null: not recorded), and whether
    // its searches keep to the Wolfe conditions.
    std::shared_ptr<const TIterationLog> Log;
    bool Wolfe = false;
    // The points in order, for access by number.
    std::vector<const TrackPoint*> Points() const;
};

inline std::vector<const TrackPoint*> TShownRun::Points() const {
    std::vector<const TrackPoint*> points;
    if (!Track) return points;
    points.reserve(static_cast<std::size_t>(Track->Count > 0 ? Track->Count : 0));
    for (const TrackPoint* p = Track->Head; p; p = p->Next) points.push_back(p);
    return points;
}

} // namespace qirt
