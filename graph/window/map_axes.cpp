#include "graph/window/map_axes.h"

#include <algorithm>

#include <QLabel>
#include <QPainter>

#include "graph/image/plot_picture.h"
#include "graph/widgets/texts.h"

namespace qirt {

namespace {
constexpr int kTickLength = 4;
// The corner numbers (the ends of the ranges) keep their place: no tick
// value is written this close to an end.
constexpr int kCornerRoom = 40;
// The least room between a tick's value and a text beside it.
constexpr int kGap = 6;
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

QFont TMapAxes::ValueFont() const {
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    return small;
}

bool TMapAxes::Clear(const QRect& r, int along) const {
    if (along < kCornerRoom || along > side_ - kCornerRoom) return false;
    for (const QWidget* w : KeepClear) {
        if (!w || w->isHidden()) continue;
        QRect taken = w->geometry();
        // A label as far as its text reaches.
        if (const auto* label = qobject_cast<const QLabel*>(w))
            taken.setWidth(std::min(taken.width(), label->fontMetrics().horizontalAdvance(label->text()) + 4));
        if (taken.adjusted(-kGap, 0, kGap, 0).intersects(r)) return false;
    }
    return true;
}

QRect TMapAxes::XValueRect(int k) const {
    const auto& [x, text] = XTicks[static_cast<std::size_t>(k)];
    const QFontMetrics metrics(ValueFont());
    const int w = metrics.horizontalAdvance(text);
    const QRect r(origin_.x() + x - w / 2, origin_.y() + side_ + kTickLength, w, metrics.height());
    return Clear(r, x) ? r : QRect();
}

QRect TMapAxes::YValueRect(int k) const {
    const auto& [y, text] = YTicks[static_cast<std::size_t>(k)];
    const QFontMetrics metrics(ValueFont());
    const int w = metrics.horizontalAdvance(text);
    const QRect r(std::max(0, origin_.x() - kTickLength - 2 - w), origin_.y() + y - metrics.height() / 2, w,
                  metrics.height());
    return Clear(r, y) ? r : QRect();
}

void TMapAxes::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(ValueFont());
    const int left = origin_.x(), top = origin_.y(), size = side_;
    for (int k = 0; k < static_cast<int>(XTicks.size()); ++k) {
        const auto& [x, text] = XTicks[static_cast<std::size_t>(k)];
        p.drawLine(left + x, top + size, left + x, top + size + kTickLength);
        if (const QRect r = XValueRect(k); !r.isNull()) p.drawText(r, Qt::AlignCenter, text);
    }
    for (int k = 0; k < static_cast<int>(YTicks.size()); ++k) {
        const auto& [y, text] = YTicks[static_cast<std::size_t>(k)];
        p.drawLine(left - kTickLength, top + y, left, top + y);
        if (const QRect r = YValueRect(k); !r.isNull()) p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, text);
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
