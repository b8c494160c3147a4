// The picture of the basins of attraction: every cell of the grid a block
// of pixels in the colour of the stationary point its start led to (or,
// for a run that found none, the tone of how it ended), lighter where the
// run took few iterations and darker where it took many; each minimum in
// the view marked with a small white disc, each saddle or maximum with a
// black one. And the rows of its legend.
#pragma once

#include <vector>

#include "graph/track/canvas.h"
#include "methods/basins.h"

namespace qirt {

// The colour of a group: the k-th stationary point (minima first) takes
// the k-th colour of a palette of twelve distinct hues (again from the
// first after the twelfth); the runs that ended otherwise take greys and
// dark tones, one per end.
TColour BasinGroupColour(const TBasins& basins, int group);

// The colour of cell (i, j): its group's colour shaded by the iterations
// of its run, on a logarithmic scale between the fewest and the most
// iterations of all converged runs of the picture: from the colour mixed
// half with white (the fewest) to the colour with a third of black (the
// most). The cells of runs that did not converge are not shaded; a cell
// without a group (a start a cancelled picture never ran) is white.
TColour BasinCellColour(const TBasins& basins, int i, int j);

// The cells spread over the canvas's map side (cell i covers the pixels
// from i side / N up to (i + 1) side / N), and a disc at each minimum that
// lies in the view.
void PaintBasins(const TBasins& basins, TCanvas& canvas);

// The cell under a pixel of a map side pixels across; false outside.
bool BasinCellAt(const TBasins& basins, int side, int x, int y, int& i, int& j);

// A row of the legend: a group with its colour.
struct TBasinLegendRow {
    int Group = 0; // index into TBasins::Groups
    TColour Colour;
    TBasinGroup Data;
};

// One row per group, in the groups' order: the minima by value, the
// saddles and maxima by value, then the other ends.
std::vector<TBasinLegendRow> BasinLegend(const TBasins& basins);

} // namespace qirt
