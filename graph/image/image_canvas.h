// The map canvas on a Qt image: 32-bit RGB pixels written in place.
#pragma once

#include <QImage>

#include "graph/track/canvas.h"

namespace qirt {

// Writes the image in the format ("BMP", "PNG") as WriteWholeFile writes:
// links followed, a regular file replaced only when complete, a device
// written in place. False when it cannot be written.
bool SaveImage(const QImage& image, const char* format, const QString& fileName);

class TImageCanvas : public TCanvas {
public:
    TImageCanvas(int width, int height);

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    TColour Pixel(int x, int y) const override;
    void SetPixel(int x, int y, TColour c) override;
    void Fill(TColour c) override;
    void FillBlock(int x, int y, int w, int h, TColour c) override;

    const QImage& Image() const { return image_; }
    // Puts a picture back (the map without its tracks), or a picture of
    // another size in place of the canvas's.
    void SetImage(const QImage& image) { image_ = image.convertToFormat(QImage::Format_RGB32); }
    // Writes the image as a Windows bitmap; false when the file cannot be created.
    bool SaveBitmap(const QString& fileName) const;

private:
    QImage image_;
};

} // namespace qirt
