#include "graph/image_canvas.h"

#include <QSaveFile>

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

bool TImageCanvas::SaveBitmap(const QString& fileName) const {
    // Written aside and renamed when complete: a failure leaves no partial
    // bitmap behind, and an existing file as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!image_.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace qirt
