#include "graph/image/image_canvas.h"

#include <algorithm>

#include <QBuffer>

namespace qirt {

TImageCanvas::TImageCanvas(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::white);
}

TColour TImageCanvas::Pixel(int x, int y) const {
    const QRgb p = reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
    return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
            static_cast<std::uint8_t>(qBlue(p))};
}

void TImageCanvas::SetPixel(int x, int y, TColour c) {
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = qRgb(c.Red, c.Green, c.Blue);
}

void TImageCanvas::Fill(TColour c) { image_.fill(qRgb(c.Red, c.Green, c.Blue)); }

void TImageCanvas::FillBlock(int x, int y, int w, int h, TColour c) {
    const QRgb rgb = qRgb(c.Red, c.Green, c.Blue);
    const int left = std::max(x, 0), right = std::min(x + w, Width());
    for (int py = std::max(y, 0); py < std::min(y + h, Height()); ++py) {
        QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(py));
        std::fill(line + left, line + std::max(left, right), rgb);
    }
}

bool TImageCanvas::SaveBitmap(const QString& fileName) const {
    return SaveImage(image_, "BMP", fileName);
}

bool SaveImage(const QImage& image, const char* format, const QString& fileName) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format)) return false;
    return WriteWholeFile(fileName.toStdString(), [&](std::FILE* f) {
        return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), f) ==
               static_cast<std::size_t>(bytes.size());
    });
}

} // namespace qirt
