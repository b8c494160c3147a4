// What makes the map read like a plot: tick marks with their values at
// round numbers along its edges, and a colour bar beside it with the values
// each level stands for.
#pragma once

#include <utility>
#include <vector>

#include <QRect>
#include <QString>
#include <QWidget>

#include "graph/map/plot.h"

namespace qirt {

// Drawn over the map's box, letting the mouse through: ticks on the map's
// left and bottom edges (the map's top left corner at `origin`).
class TMapAxes : public QWidget {
public:
    TMapAxes(QWidget* box, QPoint origin);
    void SetView(const TViewRange& view);
    // The map's side on the screen; the ticks are placed again.
    void SetSide(int side);

    // The ticks shown: the pixel along the map's edge and the value's text.
    std::vector<std::pair<int, QString>> XTicks, YTicks;
    // Widgets of the box the tick values keep clear of (the corner numbers
    // as far as their texts reach, the arrow buttons); a value that would
    // touch one is left out, its tick kept.
    std::vector<const QWidget*> KeepClear;
    // Where a tick's value is written, in the box; empty when it is left out.
    QRect XValueRect(int k) const;
    QRect YValueRect(int k) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont ValueFont() const;
    // Whether the rectangle stays clear of the corners and the widgets kept clear.
    bool Clear(const QRect& r, int along) const;
    QPoint origin_;
    int side_ = 500;
    TViewRange view_;
};

// The levels' colours from the lowest value (bottom) to the highest (top),
// with the values at some band edges.
class TColourBar : public QWidget {
public:
    explicit TColourBar(QWidget* parent);
    void SetLevels(std::vector<TLevelRange> levels);

    std::vector<TLevelRange> Levels;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qirt
