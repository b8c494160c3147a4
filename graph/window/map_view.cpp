#include "graph/window/map_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "graph/map/map.h"

namespace qirt {

TMapView::TMapView(QWidget* parent) : QWidget(parent), canvas_(kMapPixels, kMapPixels) {
    setFixedSize(kMapPixels, kMapPixels);
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
}

void TMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // On a screen of more than one device pixel per pixel the map's dots
    // and lines are enlarged as they are, never blurred.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(0, 0, canvas_.Image());
    if (mark_.x() >= 0) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::red, 2));
        painter.drawEllipse(QPointF(mark_), 6, 6);
    }
}

void TMapView::mousePressEvent(QMouseEvent* e) {
    if (Pressed) Pressed(e->position().toPoint().x(), e->position().toPoint().y());
}

void TMapView::mouseMoveEvent(QMouseEvent* e) {
    if (Moved) Moved(e->position().toPoint().x(), e->position().toPoint().y());
}

void TMapView::mouseReleaseEvent(QMouseEvent* e) {
    if (Clicked) Clicked();
    if (Released) Released(e->position().toPoint().x(), e->position().toPoint().y());
}

void TMapView::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 120;
    if (Wheel && steps != 0) Wheel(e->position().toPoint().x(), e->position().toPoint().y(), steps);
    e->accept();
}

} // namespace qirt
