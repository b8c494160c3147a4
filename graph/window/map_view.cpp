#include "graph/window/map_view.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include "graph/map/map.h"

namespace qirt {

TMapView::TMapView(QWidget* parent) : QWidget(parent), canvas_(kMapPixels, kMapPixels) {
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    SetSide(kMapPixels);
}

bool TMapView::SetSide(int side) {
    side_ = side;
    setFixedSize(side, side);
    ratio_ = devicePixelRatioF();
    const int device = static_cast<int>(std::lround(side * ratio_));
    const int pixels = 2 * (MapGridSize(device) - 1);
    if (pixels == canvas_.Width()) return false;
    // A new image; the pens stay as they were.
    canvas_.SetImage(canvas_.Image().scaled(pixels, pixels));
    return true;
}

QPoint TMapView::ToCanvas(QPointF position) const {
    const int pixels = canvas_.Width();
    if (pixels == side_) return position.toPoint();
    const double per = double(pixels) / side_;
    return {int(std::floor(position.x() * per)), int(std::floor(position.y() * per))};
}

void TMapView::paintEvent(QPaintEvent*) {
    if (devicePixelRatioF() != ratio_ && RatioChanged)
        QTimer::singleShot(0, this, [this] {
            if (RatioChanged) RatioChanged();
        });
    QPainter painter(this);
    // The canvas fills the view at one canvas pixel per device pixel; where
    // it cannot (beyond 2,400 device pixels) its dots are enlarged as they
    // are, never blurred.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(0, 0, side_, side_), canvas_.Image());
    if (!overlay_.Empty()) PaintOverlay(painter);
    if (mark_.x() >= 0) {
        const double per = double(side_) / canvas_.Width();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::red, 2));
        painter.drawEllipse(QPointF(mark_.x() * per, mark_.y() * per), 6, 6);
    }
}

void TMapView::PaintOverlay(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double per = double(side_) / canvas_.Width();
    auto place = [per](double x, double y) { return QPointF(x * per, y * per); };
    // Each kind on a white halo, then in its colour; arrows get a head.
    auto lines = [&](const std::vector<TOverlaySegment>& segments, QColor colour, double width, Qt::PenStyle style,
                     bool head) {
        for (int pass = 0; pass < 2; ++pass) {
            painter.setPen(pass == 0 ? QPen(Qt::white, width + 3, Qt::SolidLine, Qt::RoundCap)
                                     : QPen(colour, width, style, Qt::RoundCap));
            for (const TOverlaySegment& s : segments) {
                const QPointF from = place(s.X1, s.Y1), to = place(s.X2, s.Y2);
                painter.drawLine(from, to);
                const QLineF line(to, from);
                if (!head || line.length() < 1) continue;
                for (double turn : {25.0, -25.0}) {
                    QLineF barb = line;
                    barb.setLength(9);
                    barb.setAngle(line.angle() + turn);
                    painter.drawLine(barb);
                }
            }
        }
    };
    lines(overlay_.Axes, QColor(120, 60, 0), 2, Qt::DashLine, false); // dark: the lowest levels are orange
    lines(overlay_.Simplex, QColor(160, 0, 180), 2, Qt::SolidLine, false);
    lines(overlay_.Directions, QColor(30, 60, 200), 1.5, Qt::DashLine, false);
    lines(overlay_.Steps, QColor(0, 140, 60), 2.5, Qt::SolidLine, true);
    lines(overlay_.Antigradient, QColor(220, 0, 0), 2, Qt::SolidLine, true);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    for (const auto& [x, y] : overlay_.Trials) painter.drawEllipse(place(x, y), 3.5, 3.5);
    painter.restore();
}

void TMapView::mousePressEvent(QMouseEvent* e) {
    const QPoint p = ToCanvas(e->position());
    if (Pressed) Pressed(p.x(), p.y());
}

void TMapView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = ToCanvas(e->position());
    if (Moved) Moved(p.x(), p.y());
}

void TMapView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = ToCanvas(e->position());
    if (Clicked) Clicked();
    if (Released) Released(p.x(), p.y());
}

void TMapView::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 120;
    const QPoint p = ToCanvas(e->position());
    if (Wheel && steps != 0) Wheel(p.x(), p.y(), steps);
    e->accept();
}

} // namespace qirt
