// Map pixels and the numbers they stand for: the one transform the track,
// the mouse, the zoom frame and the wheel share. Pixel (0, 0) is the top
// left corner of the 500 x 500 map; x grows to the right, y upwards.
#pragma once

#include "func/types.h"
#include "graph/track/rounding.h"
#include "graph/track/track.h"

namespace qirt {

inline constexpr int kMapPixels = 500; // the map is 500 x 500 pixels

class TMapTransform {
public:
    explicit TMapTransform(const TViewRange& view)
        : view_(view), perX_(kMapPixels / (view.XMax - view.XMin)),
          perY_(kMapPixels / (view.YMax - view.YMin)) {}

    // The pixel a point is drawn at: the nearest pixel centre, halves to
    // the even neighbour.
    TPixel Pixel(Real x, Real y) const {
        return {RoundHalfEven(perX_ * (x - view_.XMin) + 0.5L),
                RoundHalfEven(kMapPixels + 0.5L - perY_ * (y - view_.YMin))};
    }

    // The numbers a pixel position stands for, in extended reals.
    Real X(Real px) const { return px * ScaleX() + view_.XMin; }
    Real Y(Real py) const { return (kMapPixels - py) * ScaleY() + view_.YMin; }

    // The same with the scale factors and the results held in double
    // precision, as the status bar reads the mouse position.
    double ReadX(int px) const { return double(px * Real(double(ScaleX())) + view_.XMin); }
    double ReadY(int py) const {
        return double((kMapPixels - py) * Real(double(ScaleY())) + view_.YMin);
    }

private:
    Real ScaleX() const { return (view_.XMax - view_.XMin) / kMapPixels; }
    Real ScaleY() const { return (view_.YMax - view_.YMin) / kMapPixels; }

    TViewRange view_;
    Real perX_, perY_; // pixels per unit
};

} // namespace qirt
