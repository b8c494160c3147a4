// Map pixels and the numbers they stand for: the one transform the track,
// the mouse, the zoom frame and the wheel share. Pixel (0, 0) is the top
// left corner of the square map, 500 x 500 pixels unless the map is drawn
// larger; x grows to the right, y upwards.
#pragma once

#include "func/types.h"
#include "graph/track/rounding.h"
#include "graph/track/track.h"

namespace qirt {

class TMapTransform {
public:
    // The view spread over a map of `side` x `side` pixels.
    explicit TMapTransform(const TViewRange& view, int side = kMapPixels)
        : view_(view), side_(side), perX_(side / (view.XMax - view.XMin)),
          perY_(side / (view.YMax - view.YMin)) {}

    // The pixel a point is drawn at: the nearest pixel centre, halves to
    // the even neighbour.
    TPixel Pixel(Real x, Real y) const {
        return {RoundHalfEven(perX_ * (x - view_.XMin) + 0.5L),
                RoundHalfEven(side_ + 0.5L - perY_ * (y - view_.YMin))};
    }

    // The numbers a pixel position stands for, in extended reals.
    Real X(Real px) const { return px * ScaleX() + view_.XMin; }
    Real Y(Real py) const { return (side_ - py) * ScaleY() + view_.YMin; }

    // The same with the scale factors and the results held in double
    // precision, as the status bar reads the mouse position.
    double ReadX(int px) const { return double(px * Real(double(ScaleX())) + view_.XMin); }
    double ReadY(int py) const {
        return double((side_ - py) * Real(double(ScaleY())) + view_.YMin);
    }

private:
    Real ScaleX() const { return (view_.XMax - view_.XMin) / side_; }
    Real ScaleY() const { return (view_.YMax - view_.YMin) / side_; }

    TViewRange view_;
    int side_;
    Real perX_, perY_; // pixels per unit
};

} // namespace qirt
