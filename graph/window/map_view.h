// The map view: the map image, showing the canvas the map is drawn on, with
// a cross-hair cursor. The view is side x side pixels on the screen (500 as
// first placed); its canvas has one pixel per device pixel, so a larger
// view, or a screen of more device pixels, shows a sharper map rather than
// an enlarged one. Mouse presses, moves, releases and wheel turns over it go,
// in canvas pixels, to whoever assembles the window.
#pragma once

#include <functional>

#include <QWidget>

class QPainter;

#include "graph/image/image_canvas.h"
#include "graph/map/iteration_picture.h"

namespace qirt {

class TMapView : public QWidget {
public:
    explicit TMapView(QWidget* parent = nullptr);

    TImageCanvas& Canvas() { return canvas_; }
    const TImageCanvas& Canvas() const { return canvas_; }
    // A mark drawn over the map (not into it) at a canvas pixel; (-1, -1) none.
    void SetMark(QPoint pixel) {
        mark_ = pixel;
        update();
    }
    QPoint Mark() const { return mark_; }
    // What one iteration did, in canvas pixels, drawn over the map (not
    // into it) on white halos that read over every level colour.
    void SetOverlay(TIterationOverlay overlay) {
        overlay_ = std::move(overlay);
        update();
    }
    const TIterationOverlay& Overlay() const { return overlay_; }

    // Makes the view side x side pixels on the screen. The canvas takes the
    // side in device pixels, made even (the samples fall on every second
    // pixel) and at most 2,400; the picture it had is kept, scaled, until a
    // new one is painted. True when the canvas changed size.
    bool SetSide(int side);
    int Side() const { return side_; }
    // The canvas pixel under a position in the view.
    QPoint ToCanvas(QPointF position) const;
    // Told when the screen's device pixels per pixel change under the view
    // (moved to another screen): the canvas should follow.
    std::function<void()> RatioChanged;

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
    void PaintOverlay(QPainter& painter) const;

    TImageCanvas canvas_;
    QPoint mark_{-1, -1};
    TIterationOverlay overlay_;
    int side_ = 0;
    qreal ratio_ = 0; // the device pixel ratio the canvas was sized for
};

} // namespace qirt
