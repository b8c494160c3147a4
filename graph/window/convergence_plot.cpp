#include "graph/window/convergence_plot.h"

#include <QPainter>

namespace qirt {

TConvergencePlot::TConvergencePlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 150);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void TConvergencePlot::SetRuns(const std::vector<TShownRun>* runs) {
    runs_ = runs;
    scale_ = ConvergenceScale(*runs);
    update();
}

void TConvergencePlot::SetCurrent(int run, int point) {
    currentRun_ = run;
    currentPoint_ = point;
    update();
}

QPointF TConvergencePlot::PlaceOf(int run, int k) const {
    return ConvergencePlace(scale_, ConvergenceArea(rect()),
                            (*runs_)[static_cast<std::size_t>(run)], k);
}

void TConvergencePlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    DrawConvergence(p, rect(), runs_, scale_, palette().color(QPalette::Text), currentRun_,
                    currentPoint_);
}

} // namespace qirt
