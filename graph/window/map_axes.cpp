#include "graph/window/map_axes.h"

#include <algorithm>

#include <QPainter>

#include "graph/image/plot_picture.h"
#include "graph/widgets/texts.h"

namespace qirt {

namespace {
constexpr int kTickLength = 4;
// The corner numbers (the ends of the ranges) keep their place: no tick
// value is written this close to an end.
constexpr int kCornerRoom = 40;
} // namespace

TMapAxes::TMapAxes(QWidget* box, QPoint origin) : QWidget(box), origin_(origin) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(box->rect());
}

void TMapAxes::SetSide(int side) {
    side_ = side;
    SetView(view_);
}

void TMapAxes::SetView(const TViewRange& view) {
    view_ = view;
    XTicks.clear();
    YTicks.clear();
    if (UsableView(view)) {
        // About one tick per 80 pixels: six on the map as first placed.
        const int kMostTicks = std::max(6, side_ / 80);
        const TMapTransform transform(view, side_);
        for (Real x : NiceTicks(view.XMin, view.XMax, kMostTicks))
            XTicks.push_back({transform.Pixel(x, view.YMin).X, GeneralNumberText(double(x))});
        for (Real y : NiceTicks(view.YMin, view.YMax, kMostTicks))
            YTicks.push_back({transform.Pixel(view.XMin, y).Y, GeneralNumberText(double(y))});
    }
    update();
}

void TMapAxes::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    p.setFont(small);
    const QFontMetrics metrics(small);
    const int left = origin_.x(), top = origin_.y(), size = side_;
    for (const auto& [x, text] : XTicks) {
        p.drawLine(left + x, top + size, left + x, top + size + kTickLength);
        if (x < kCornerRoom || x > size - kCornerRoom) continue;
        const int w = metrics.horizontalAdvance(text);
        p.drawText(left + x - w / 2, top + size + kTickLength + metrics.ascent(), text);
    }
    for (const auto& [y, text] : YTicks) {
        p.drawLine(left - kTickLength, top + y, left, top + y);
        if (y < kCornerRoom || y > size - kCornerRoom) continue;
        const int w = metrics.horizontalAdvance(text);
        p.drawText(std::max(0, left - kTickLength - 2 - w), top + y + metrics.ascent() / 2, text);
    }
}

TColourBar::TColourBar(QWidget* parent) : QWidget(parent) {}

void TColourBar::SetLevels(std::vector<TLevelRange> levels) {
    Levels = std::move(levels);
    // Every level's range; of very many, the lowest and highest twenty with
    // "…" between, so that the tip stays on the screen.
    constexpr std::size_t kEnds = 20;
    QStringList tip;
    const std::size_t n = Levels.size();
    for (std::size_t k = 0; k < n; ++k) {
        if (n > 2 * kEnds + 1 && k == kEnds) {
            tip << QStringLiteral("…");
            k = n - kEnds;
        }
        const TLevelRange& l = Levels[k];
        tip << QStringLiteral("%1 … %2").arg(GeneralNumberText(double(l.Low)), GeneralNumberText(double(l.High)));
    }
    setToolTip(tip.join(QLatin1Char('\n')));
    update();
}

void TColourBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    p.setFont(small);
    p.setPen(palette().color(QPalette::WindowText));
    // Four digits beside the bar; the tip has every level whole.
    constexpr int kStrip = 14;
    const int margin = p.fontMetrics().height() / 2;
    DrawColourBar(p, QRect(0, margin, kStrip, height() - 2 * margin), Levels, QLocale().decimalPoint().front());
}

} // namespace qirt
