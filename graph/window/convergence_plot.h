// The convergence plot: f(x_k) - f_best against k on a logarithmic scale,
// one curve per run in its track's colour, with the point the slider has
// chosen marked. f_best is the lowest value of all runs shown. Differences
// of 0 (the best point itself) or below, and undefined values, are drawn at
// the floor of the axis, a tenth of the smallest positive difference.
#pragma once

#include <QWidget>

#include "graph/window/shown_run.h"

namespace qirt {

class TConvergencePlot : public QWidget {
public:
    explicit TConvergencePlot(QWidget* parent = nullptr);

    void SetRuns(const std::vector<TShownRun>* runs);
    // The run and the point the slider has chosen (-1: none).
    void SetCurrent(int run, int point);

    // The axis' extent: log10 of the floor and of the largest difference.
    double LowestLog() const { return low_; }
    double HighestLog() const { return high_; }
    // Where point k of a run is drawn (for tests and the mark).
    QPointF PlaceOf(int run, int k) const;
    QSize sizeHint() const override { return {360, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double LogDifference(Real value) const;
    QRectF Area() const;

    const std::vector<TShownRun>* runs_ = nullptr;
    Real best_ = 0;
    double low_ = 0, high_ = 1;
    int maxK_ = 1;
    int currentRun_ = -1, currentPoint_ = -1;
};

} // namespace qirt
