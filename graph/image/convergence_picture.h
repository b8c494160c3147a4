// The convergence plot drawn on any painter (the run panel's widget, the
// reports): f(x_k) - f_best against k on a logarithmic scale, one curve per
// run in its track's colour, a chosen point marked. f_best is the lowest
// value of all runs shown. Differences of 0 (the best point itself) or
// below, and undefined values, are drawn at the floor of the axis, a tenth
// of the smallest positive difference.
#pragma once

#include <vector>

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include "graph/image/shown_run.h"

class QPainter;

namespace qirt {

// The axes of a plot of the runs.
struct TConvergenceScale {
    Real Best = 0;            // f_best
    double Low = 0, High = 1; // log10 of the floor and of the largest difference
    int MaxK = 1;             // the last iteration along the bottom
};

TConvergenceScale ConvergenceScale(const std::vector<TShownRun>& runs);

// The plot's frame within a picture's rectangle: room for the decades on
// the left and the iteration numbers below.
QRectF ConvergenceArea(const QRect& rect);

// Where point k of a run is drawn within the frame.
QPointF ConvergencePlace(const TConvergenceScale& scale, const QRectF& area, const TShownRun& run,
                         int k);

// The frame, its decades and captions in the text colour, then the runs'
// curves (none without runs) and the chosen point (markRun < 0: none).
void DrawConvergence(QPainter& p, const QRect& rect, const std::vector<TShownRun>* runs,
                     const TConvergenceScale& scale, const QColor& text, int markRun = -1,
                     int markPoint = -1);

} // namespace qirt
