// The convergence plot of the run panel (graph/image/convergence_picture.h
// draws it): the runs shown, with the point the slider has chosen marked.
#pragma once

#include <QWidget>

#include "graph/image/convergence_picture.h"

namespace qirt {

class TConvergencePlot : public QWidget {
  public:
    explicit TConvergencePlot(QWidget* parent = nullptr);

    void SetRuns(const std::vector<TShownRun>* runs);
    // The run and the point the slider has chosen (-1: none).
    void SetCurrent(int run, int point);

    // The axis' extent: log10 of the floor and of the largest difference.
    double LowestLog() const { return scale_.Low; }
    double HighestLog() const { return scale_.High; }
    // Where point k of a run is drawn (for tests and the mark).
    QPointF PlaceOf(int run, int k) const;
    QSize sizeHint() const override { return {360, 240}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const std::vector<TShownRun>* runs_ = nullptr;
    TConvergenceScale scale_;
    int currentRun_ = -1, currentPoint_ = -1;
};

} // namespace qirt
