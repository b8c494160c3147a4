// A canvas of plain memory, for drawing without a display.
#pragma once

#include <vector>

#include "graph/track/canvas.h"

namespace qirt::testing {

class MemoryCanvas : public TCanvas {
public:
    MemoryCanvas(int width = 500, int height = 500)
        : width_(width), height_(height), pixels_(width * height, kWhite) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    TColour Pixel(int x, int y) const override { return pixels_[y * width_ + x]; }
    void SetPixel(int x, int y, TColour c) override { pixels_[y * width_ + x] = c; }
    void Fill(TColour c) override { pixels_.assign(pixels_.size(), c); }
    bool operator==(const MemoryCanvas& o) const { return pixels_ == o.pixels_; }
    int Count(TColour c) const {
        int n = 0;
        for (const TColour& p : pixels_) n += p == c;
        return n;
    }

private:
    int width_, height_;
    std::vector<TColour> pixels_;
};

} // namespace qirt::testing
