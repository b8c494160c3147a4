#include "graph/image/plot_picture.h"

#include <algorithm>

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include "graph/image/image_canvas.h"
#include "graph/track/track.h"

namespace qirt {

namespace {

QString Number(Real v, int digits) { return QString::number(double(v), 'g', digits); }

// Where the parts of a plot of the given size go: the font grows with the
// height; room around the map for the title above, values and names left
// and below, the colour bar right, the legend under everything.
struct TPlotLayout {
    QFont Font;
    int Line = 0;
    int Top = 0, Left = 0, Right = 0, Bottom = 0;
    QRect Map;
};

TPlotLayout PlotLayout(QFont font, QSize size, int legendLines) {
    TPlotLayout l;
    font.setPixelSize(std::max(10, size.height() / 50));
    l.Font = font;
    const QFontMetrics m(font);
    l.Line = m.height();
    l.Top = l.Line * 2;
    l.Left = m.horizontalAdvance(QStringLiteral("-0.0000")) + l.Line;
    l.Right = l.Line + m.horizontalAdvance(QStringLiteral("-0.0000e+00")) + l.Line;
    l.Bottom = l.Line * 3 + legendLines * l.Line;
    const int side = std::max(50, std::min(size.width() - l.Left - l.Right, size.height() - l.Top - l.Bottom));
    l.Map = QRect(l.Left, l.Top, side, side);
    return l;
}

} // namespace

void DrawColourBar(QPainter& p, QRect bar, const std::vector<TLevelRange>& levels, QChar decimalPoint) {
    const int n = static_cast<int>(levels.size());
    if (n == 0) return;
    const QFontMetrics m = p.fontMetrics();
    auto edge = [&](int k) { return bar.bottom() - bar.height() * k / n; }; // k = 0 ... n
    for (int k = 0; k < n; ++k) {
        const TColour c = LevelColour(levels[k].Level);
        p.fillRect(QRect(QPoint(bar.left(), edge(k + 1)), QPoint(bar.right(), edge(k))),
                   QColor(c.Red, c.Green, c.Blue));
    }
    p.drawRect(bar);
    const int every = std::max(1, (n * m.height() * 3 / 2 + bar.height() - 1) / std::max(1, bar.height()));
    for (int k = 0; k <= n; k += every) {
        const Real value = k < n ? levels[k].Low : levels[n - 1].High;
        QString text = Number(value, 4);
        text.replace(QLatin1Char('.'), decimalPoint);
        p.drawText(bar.right() + 4, edge(k) + m.ascent() / 2, text);
    }
}

void DrawPlot(QPainter& p, QSize size, const TPlotPicture& picture) {
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const int legendLines = static_cast<int>(picture.Legend.size());
    const TPlotLayout layout = PlotLayout(p.font(), size, legendLines);
    p.setFont(layout.Font);
    const QFontMetrics m(layout.Font);
    const int line = layout.Line, top = layout.Top, side = layout.Map.width();
    const QRect map = layout.Map;

    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, size.width(), top), Qt::AlignCenter,
               m.elidedText(picture.Title, Qt::ElideMiddle, size.width() - 2 * line));
    p.setRenderHint(QPainter::SmoothPixmapTransform, false); // the levels' dots stay sharp
    p.drawImage(map, picture.Map);
    p.drawRect(map.adjusted(0, 0, -1, -1));

    // Ticks at round values, placed as the map places points.
    const TViewRange& v = picture.View;
    if (UsableView(v)) {
        // The map's own pixels, of whatever side it was drawn at.
        const int mapSide = picture.Map.isNull() ? kMapPixels : picture.Map.width();
        const TMapTransform transform(v, mapSide);
        const double scale = double(side) / mapSide;
        for (Real x : NiceTicks(v.XMin, v.XMax, 7)) {
            const int px = map.left() + int(transform.Pixel(x, v.YMin).X * scale);
            p.drawLine(px, map.bottom(), px, map.bottom() + line / 3);
            const QString t = Number(x, 6);
            p.drawText(px - m.horizontalAdvance(t) / 2, map.bottom() + line / 3 + m.ascent(), t);
        }
        for (Real y : NiceTicks(v.YMin, v.YMax, 7)) {
            const int py = map.top() + int(transform.Pixel(v.XMin, y).Y * scale);
            p.drawLine(map.left() - line / 3, py, map.left(), py);
            const QString t = Number(y, 6);
            p.drawText(map.left() - line / 3 - 2 - m.horizontalAdvance(t), py + m.ascent() / 2, t);
        }
    }
    p.drawText(QRect(map.left(), map.bottom() + line * 3 / 2, side, line), Qt::AlignCenter, picture.XName);
    p.save();
    p.translate(line / 2 + m.ascent() / 2, map.center().y());
    p.rotate(-90);
    p.drawText(QRect(-side / 2, -m.ascent(), side, line), Qt::AlignCenter, picture.YName);
    p.restore();

    DrawColourBar(p, QRect(map.right() + line, map.top(), line, side), picture.Levels, QLatin1Char('.'));

    // The legend: a colour and a method a line.
    for (int r = 0; r < legendLines; ++r) {
        const int y = map.bottom() + line * 3 + r * line;
        const TColour c = picture.Legend[r].second;
        p.fillRect(QRect(map.left(), y + 2, line - 4, line - 4), QColor(c.Red, c.Green, c.Blue));
        p.drawText(QRect(map.left() + line, y, size.width() - map.left() - line, line), Qt::AlignVCenter,
                   picture.Legend[r].first);
    }
}

QSize PlotSizeForMap(const TPlotPicture& picture, int side) {
    // The margins follow the font and the font the height: a few rounds
    // settle on a height whose margins leave exactly the side.
    const int legendLines = static_cast<int>(picture.Legend.size());
    QSize size(side, side);
    for (int round = 0; round < 8; ++round) {
        const TPlotLayout l = PlotLayout(QFont(), size, legendLines);
        const QSize next(l.Left + side + l.Right, l.Top + side + l.Bottom);
        if (next == size) break;
        size = next;
    }
    return size;
}

bool SavePlot(const TPlotPicture& picture, QSize size, const QString& fileName) {
    if (!size.isValid()) return false;
    if (fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QBuffer buffer;
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(picture.Title);
        {
            QPainter p(&svg);
            DrawPlot(p, size, picture);
        }
        const QByteArray bytes = buffer.data();
        return WriteWholeFile(fileName.toStdString(), [&](std::FILE* f) {
            return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), f) == std::size_t(bytes.size());
        });
    }
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter p(&image);
        DrawPlot(p, size, picture);
    }
    return SaveImage(image, "PNG", fileName);
}

QSize PlotSize(const QString& text) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^\\s*(\\d{3,5})\\s*[x×,]\\s*(\\d{3,5})\\s*$")).match(text);
    if (!match.hasMatch()) return {};
    const int w = match.captured(1).toInt(), h = match.captured(2).toInt();
    if (w < 200 || h < 200 || w > 10000 || h > 10000) return {};
    return {w, h};
}

} // namespace qirt
