#include "graph/track/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qirt {

void TCanvas::FillBlock(int x, int y, int w, int h, TColour c) {
    for (int py = std::max(y, 0); py < std::min(y + h, Height()); ++py)
        for (int px = std::max(x, 0); px < std::min(x + w, Width()); ++px) SetPixel(px, py, c);
}

void TCanvas::Plot(int x, int y, TColour c) {
    if (!Inside(x, y)) return;
    if (!InvertingPen) return SetPixel(x, y, c);
    const TColour p = Pixel(x, y);
    auto notXor = [](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(~(a ^ b)); };
    SetPixel(x, y, {notXor(c.Red, p.Red), notXor(c.Green, p.Green), notXor(c.Blue, p.Blue)});
}

namespace {

// Pixels further out than this from the image are never drawn: a line
// that reaches beyond is first cut at this frame.
constexpr int kClipMargin = 4096;

// Cuts the segment to the frame around the image (Liang-Barsky); false
// when nothing of it is inside. The cut ends are rounded to pixels.
bool ClipToFrame(const TCanvas& canvas, int& x1, int& y1, int& x2, int& y2) {
    const long double left = -kClipMargin, right = canvas.Width() + kClipMargin;
    const long double top = -kClipMargin, bottom = canvas.Height() + kClipMargin;
    const long double dx = static_cast<long double>(x2) - x1, dy = static_cast<long double>(y2) - y1;
    long double t0 = 0, t1 = 1;
    const long double p[4] = {-dx, dx, -dy, dy};
    const long double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const long double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const long double ax = x1, ay = y1;
    x1 = static_cast<int>(std::lround(ax + t0 * dx));
    y1 = static_cast<int>(std::lround(ay + t0 * dy));
    x2 = static_cast<int>(std::lround(ax + t1 * dx));
    y2 = static_cast<int>(std::lround(ay + t1 * dy));
    return true;
}

} // namespace

void DrawLine(TCanvas& canvas, int x1, int y1, int x2, int y2) {
    // A line far outside the image (the track of a point far out of view)
    // is cut to a frame around it first, so that its length is bounded;
    // lines within the frame are drawn exactly as they are.
    auto outside = [&](int x, int y) {
        return x < -kClipMargin || y < -kClipMargin || x > canvas.Width() + kClipMargin ||
               y > canvas.Height() + kClipMargin;
    };
    if ((outside(x1, y1) || outside(x2, y2)) && !ClipToFrame(canvas, x1, y1, x2, y2)) return;
    // Bresenham, stopping one pixel short of the end.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        canvas.Plot(x, y, canvas.PenColour);
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void DrawPolyline(TCanvas& canvas, const TTrackPixels& points) {
    for (std::size_t k = 0; k + 1 < points.size(); ++k)
        DrawLine(canvas, points[k].X, points[k].Y, points[k + 1].X, points[k + 1].Y);
}

namespace {

struct TBox {
    int Left, Top, Right, Bottom; // right and bottom excluded
};

TBox Normalised(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

} // namespace

void DrawEllipse(TCanvas& canvas, int x1, int y1, int x2, int y2) {
    const TBox b = Normalised(x1, y1, x2, y2);
    if (b.Right <= b.Left || b.Bottom <= b.Top) return;
    // In extended reals: a box of pixels far apart overflows int.
    const Real left = b.Left, right = b.Right, top = b.Top, bottom = b.Bottom;
    const Real cx = (left + right - 1) / 2, cy = (top + bottom - 1) / 2;
    const Real rx = (right - left) / 2, ry = (bottom - top) / 2;
    auto inside = [&](int x, int y) {
        if (x < b.Left || x >= b.Right || y < b.Top || y >= b.Bottom) return false;
        const Real u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1;
    };
    // Only the part over the image is walked: a box far larger than the
    // image costs no more than the image.
    for (int y = std::max(b.Top, 0); y < std::min(b.Bottom, canvas.Height()); ++y)
        for (int x = std::max(b.Left, 0); x < std::min(b.Right, canvas.Width()); ++x) {
            if (!inside(x, y)) continue;
            const bool rim = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) ||
                             !inside(x, y + 1);
            canvas.Plot(x, y, rim ? canvas.PenColour : canvas.BrushColour);
        }
}

void DrawRectangle(TCanvas& canvas, int x1, int y1, int x2, int y2) {
    const TBox b = Normalised(x1, y1, x2, y2);
    if (b.Right <= b.Left || b.Bottom <= b.Top) return;
    // A white brush under the inverting pen leaves the inside as it is.
    const bool keepInside = canvas.InvertingPen && canvas.BrushColour == kWhite;
    for (int y = std::max(b.Top, 0); y < std::min(b.Bottom, canvas.Height()); ++y) {
        const bool edgeRow = y == b.Top || y == b.Bottom - 1;
        for (int x = std::max(b.Left, 0); x < std::min(b.Right, canvas.Width()); ++x) {
            const bool edge = edgeRow || x == b.Left || x == b.Right - 1;
            if (edge)
                canvas.Plot(x, y, canvas.PenColour);
            else if (keepInside)
                x = b.Right - 2; // on to the right edge
            else
                canvas.Plot(x, y, canvas.BrushColour);
        }
    }
}

} // namespace qirt
