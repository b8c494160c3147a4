// The map as a plot that stands on its own, for exporting: the formula as
// title, the map with its tracks, ticks and values along its edges, the
// axis names, the colour bar with the levels' values, and the legend of a
// comparison; drawn at any size, written as PNG or SVG.
#pragma once

#include <utility>
#include <vector>

#include <QChar>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include "graph/map/plot.h"

class QPainter;

namespace qirt {

struct TPlotPicture {
    QImage Map;       // the square map with its tracks, as shown
    TViewRange View;
    QString XName = QStringLiteral("x[0]"), YName = QStringLiteral("x[1]");
    QString Title;    // the formula
    std::vector<TLevelRange> Levels;
    std::vector<std::pair<QString, TColour>> Legend; // a comparison's methods and colours
};

// The colour bar in `bar`, the lowest level at the bottom, with the values
// at as many band edges as there is room for written right of it in four
// digits with the given decimal point.
void DrawColourBar(QPainter& p, QRect bar, const std::vector<TLevelRange>& levels, QChar decimalPoint);

// Draws the plot filling a picture of the given size.
void DrawPlot(QPainter& p, QSize size, const TPlotPicture& picture);

// The size of a plot whose map is drawn side pixels across, pixel for
// pixel (a map of that side is not scaled), with the default font.
QSize PlotSizeForMap(const TPlotPicture& picture, int side);

// Writes the plot as PNG, or as SVG when the name ends in ".svg", as
// WriteWholeFile writes (links followed, nothing replaced half written).
// False when it cannot be written.
bool SavePlot(const TPlotPicture& picture, QSize size, const QString& fileName);

// "WxH" or "W,H" with each side 200 ... 10000; an invalid size otherwise.
QSize PlotSize(const QString& text);

} // namespace qirt
