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
    if (mark_.x() >= 0) {
        const double per = double(side_) / canvas_.Width();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::red, 2));
        painter.drawEllipse(QPointF(mark_.x() * per, mark_.y() * per), 6, 6);
    }
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
