// The map's drawing surface: pixels that can be read and set, a pen that
// draws black or inverts, and a brush colour, with the few primitives the
// map needs rasterised here so that every platform draws the same pixels.
#pragma once

#include <cstdint>

#include "graph/track/track.h"

namespace qirt {

// Four bytes, so that a colour travels in one register.
struct TColour {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    std::uint8_t Unused = 0;
    bool operator==(const TColour&) const = default;
};
inline constexpr TColour kBlack{0, 0, 0};
inline constexpr TColour kWhite{255, 255, 255};

class TCanvas {
public:
    virtual ~TCanvas() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual TColour Pixel(int x, int y) const = 0; // inside the image only
    virtual void SetPixel(int x, int y, TColour c) = 0; // inside the image only
    virtual void Fill(TColour c) = 0;
    // The side of the square map the canvas holds, which the track's
    // pixels span.
    virtual int MapSide() const { return Width(); }
    // Sets every pixel of the block of w x h pixels at (x, y) that lies
    // inside the image.
    virtual void FillBlock(int x, int y, int w, int h, TColour c);

    // With the inverting pen every pixel drawn becomes NOT (colour XOR
    // pixel): the black pen inverts, a white brush leaves the pixel as it is.
    bool InvertingPen = false;
    TColour PenColour = kBlack; // the track of one run, the frame and the marks are black
    TColour BrushColour = kWhite;

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    // Puts the colour on a pixel with the current mix mode; outside pixels are skipped.
    void Plot(int x, int y, TColour c);
};

// A line from (x1, y1) towards (x2, y2) with the pen; the end pixel is not set.
void DrawLine(TCanvas& canvas, int x1, int y1, int x2, int y2);
// Lines through all points in turn; only the very last point is not set.
void DrawPolyline(TCanvas& canvas, const TTrackPixels& points);
// The ellipse in the box between two corners (right and bottom edges
// excluded): its rim with the pen, its inside with the brush.
void DrawEllipse(TCanvas& canvas, int x1, int y1, int x2, int y2);
// The rectangle between two corners (right and bottom edges excluded): its
// edge with the pen, its inside with the brush.
void DrawRectangle(TCanvas& canvas, int x1, int y1, int x2, int y2);

} // namespace qirt
