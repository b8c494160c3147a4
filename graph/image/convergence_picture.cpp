#include "graph/image/convergence_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QPainter>
#include <QPainterPath>

#include "graph/language/texts.h"

namespace qirt {

namespace {

double LogDifference(const TConvergenceScale& s, Real value) {
    const Real d = value - s.Best;
    if (!std::isfinite(d) || d <= 0) return s.Low;
    return std::clamp(std::log10(static_cast<double>(d)), s.Low, s.High);
}

} // namespace

TConvergenceScale ConvergenceScale(const std::vector<TShownRun>& runs) {
    TConvergenceScale s;
    s.Best = std::numeric_limits<Real>::infinity();
    for (const TShownRun& r : runs) {
        s.MaxK = std::max<int>(s.MaxK, static_cast<int>(r.Values.size()) - 1);
        for (Real v : r.Values)
            if (std::isfinite(v)) s.Best = std::min(s.Best, v);
    }
    // The smallest and largest positive difference set the axis.
    Real smallest = std::numeric_limits<Real>::infinity(), largest = 0;
    for (const TShownRun& r : runs)
        for (Real v : r.Values) {
            const Real d = v - s.Best;
            if (std::isfinite(d) && d > 0) {
                smallest = std::min(smallest, d);
                largest = std::max(largest, d);
            }
        }
    if (largest > 0) {
        s.Low = std::log10(static_cast<double>(smallest)) - 1;
        s.High = std::max(std::log10(static_cast<double>(largest)), s.Low + 1);
    }
    return s;
}

QRectF ConvergenceArea(const QRect& rect) {
    return QRectF(rect.left() + 48, rect.top() + 8, std::max(10, rect.width() - 56),
                  std::max(10, rect.height() - 34));
}

QPointF ConvergencePlace(const TConvergenceScale& s, const QRectF& a, const TShownRun& r, int k) {
    const double y = k < static_cast<int>(r.Values.size()) ? LogDifference(s, r.Values[k]) : s.Low;
    return {a.left() + a.width() * k / s.MaxK,
            a.bottom() - a.height() * (y - s.Low) / (s.High - s.Low)};
}

void DrawConvergence(QPainter& p, const QRect& rect, const std::vector<TShownRun>* runs,
                     const TConvergenceScale& s, const QColor& text, int markRun, int markPoint) {
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF a = ConvergenceArea(rect);
    p.setPen(text);
    p.drawRect(a);
    // Decades on the value axis, iterations along the bottom.
    for (int e = static_cast<int>(std::ceil(s.Low)); e <= static_cast<int>(std::floor(s.High));
         ++e) {
        const double y = a.bottom() - a.height() * (e - s.Low) / (s.High - s.Low);
        p.drawLine(QPointF(a.left() - 4, y), QPointF(a.left(), y));
        p.drawText(QRectF(rect.left(), y - 8, a.left() - 6 - rect.left(), 16),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("1e%1").arg(e));
    }
    p.drawText(QRectF(a.left(), a.bottom() + 2, a.width(), 16), Qt::AlignLeft, QStringLiteral("0"));
    p.drawText(QRectF(a.left(), a.bottom() + 2, a.width(), 16), Qt::AlignRight,
               QStringLiteral("k = %1").arg(s.MaxK));
    p.drawText(QRectF(a.left(), a.bottom() + 2, a.width(), 16), Qt::AlignHCenter,
               Tr("qirt", "f(x_k) − f_лучшее"));
    if (!runs) return;
    for (const TShownRun& run : *runs) {
        if (run.Values.empty()) continue;
        QPainterPath path(ConvergencePlace(s, a, run, 0));
        for (int k = 1; k < static_cast<int>(run.Values.size()); ++k)
            path.lineTo(ConvergencePlace(s, a, run, k));
        p.setPen(QPen(QColor(run.Colour.Red, run.Colour.Green, run.Colour.Blue), 1.5));
        p.drawPath(path);
    }
    if (markRun >= 0 && markRun < static_cast<int>(runs->size()) && markPoint >= 0) {
        p.setPen(QPen(Qt::red, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(ConvergencePlace(s, a, (*runs)[static_cast<std::size_t>(markRun)], markPoint),
                      5, 5);
    }
}

} // namespace qirt
