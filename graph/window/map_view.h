// The map view: the 500 x 500 map image, showing the canvas the map is
// drawn on, with a cross-hair cursor. Mouse presses, moves, releases and
// wheel turns over it go, in image pixels, to whoever assembles the window.
#pragma once

#include <functional>

#include <QWidget>

#include "graph/image/image_canvas.h"

namespace qirt {

class TMapView : public QWidget {
public:
    explicit TMapView(QWidget* parent = nullptr);

    TImageCanvas& Canvas() { return canvas_; }
    // A mark drawn over the map (not into it) at a pixel; (-1, -1) none.
    void SetMark(QPoint pixel) {
        mark_ = pixel;
        update();
    }
    QPoint Mark() const { return mark_; }
    const TImageCanvas& Canvas() const { return canvas_; }

    // Any button; the release reports the click first, as the platform's
    // image control orders them.
    std::function<void(int x, int y)> Pressed, Moved, Released;
    std::function<void()> Clicked;
    // A wheel turn at a pixel: positive steps away from the user.
    std::function<void(int x, int y, int steps)> Wheel;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TImageCanvas canvas_;
    QPoint mark_{-1, -1};
};

} // namespace qirt
