#include "graph/window/convergence_plot.h"
#include "graph/widgets/texts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QPainter>
#include <QPainterPath>

namespace qirt {

TConvergencePlot::TConvergencePlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 150);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void TConvergencePlot::SetRuns(const std::vector<TShownRun>* runs) {
    runs_ = runs;
    best_ = std::numeric_limits<Real>::infinity();
    maxK_ = 1;
    for (const TShownRun& r : *runs) {
        maxK_ = std::max<int>(maxK_, static_cast<int>(r.Values.size()) - 1);
        for (Real v : r.Values)
            if (std::isfinite(v)) best_ = std::min(best_, v);
    }
    // The smallest and largest positive difference set the axis.
    Real smallest = std::numeric_limits<Real>::infinity(), largest = 0;
    for (const TShownRun& r : *runs)
        for (Real v : r.Values) {
            const Real d = v - best_;
            if (std::isfinite(d) && d > 0) {
                smallest = std::min(smallest, d);
                largest = std::max(largest, d);
            }
        }
    if (largest > 0) {
        low_ = std::log10(static_cast<double>(smallest)) - 1;
        high_ = std::max(std::log10(static_cast<double>(largest)), low_ + 1);
    } else {
        low_ = 0;
        high_ = 1;
    }
    update();
}

void TConvergencePlot::SetCurrent(int run, int point) {
    currentRun_ = run;
    currentPoint_ = point;
    update();
}

double TConvergencePlot::LogDifference(Real value) const {
    const Real d = value - best_;
    if (!std::isfinite(d) || d <= 0) return low_;
    return std::clamp(std::log10(static_cast<double>(d)), low_, high_);
}

QRectF TConvergencePlot::Area() const {
    return QRectF(48, 8, std::max(10, width() - 56), std::max(10, height() - 34));
}

QPointF TConvergencePlot::PlaceOf(int run, int k) const {
    const QRectF a = Area();
    const TShownRun& r = (*runs_)[static_cast<std::size_t>(run)];
    const double y = k < static_cast<int>(r.Values.size()) ? LogDifference(r.Values[k]) : low_;
    return {a.left() + a.width() * k / maxK_, a.bottom() - a.height() * (y - low_) / (high_ - low_)};
}

void TConvergencePlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF a = Area();
    p.setPen(palette().color(QPalette::Text));
    p.drawRect(a);
    // Decades on the value axis, iterations along the bottom.
    for (int e = static_cast<int>(std::ceil(low_)); e <= static_cast<int>(std::floor(high_)); ++e) {
        const double y = a.bottom() - a.height() * (e - low_) / (high_ - low_);
        p.drawLine(QPointF(a.left() - 4, y), QPointF(a.left(), y));
        p.drawText(QRectF(0, y - 8, a.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("1e%1").arg(e));
    }
    p.drawText(QRectF(a.left(), a.bottom() + 2, a.width(), 16), Qt::AlignLeft, QStringLiteral("0"));
    p.drawText(QRectF(a.left(), a.bottom() + 2, a.width(), 16), Qt::AlignRight,
               QStringLiteral("k = %1").arg(maxK_));
    p.drawText(QRectF(a.left(), a.bottom() + 2, a.width(), 16), Qt::AlignHCenter,
               Tr("qirt", "f(x_k) − f_лучшее"));
    if (!runs_) return;
    for (std::size_t r = 0; r < runs_->size(); ++r) {
        const TShownRun& run = (*runs_)[r];
        if (run.Values.empty()) continue;
        QPainterPath path(PlaceOf(static_cast<int>(r), 0));
        for (int k = 1; k < static_cast<int>(run.Values.size()); ++k)
            path.lineTo(PlaceOf(static_cast<int>(r), k));
        p.setPen(QPen(QColor(run.Colour.Red, run.Colour.Green, run.Colour.Blue), 1.5));
        p.drawPath(path);
    }
    if (currentRun_ >= 0 && currentRun_ < static_cast<int>(runs_->size()) && currentPoint_ >= 0) {
        p.setPen(QPen(Qt::red, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(PlaceOf(currentRun_, currentPoint_), 5, 5);
    }
}

} // namespace qirt
