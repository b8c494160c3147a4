#include "graph/window/line_search_plot.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "graph/map/iteration_picture.h"
#include "graph/widgets/texts.h"
#include "methods/bfgs.h"

namespace qirt {

namespace {
constexpr int kSamples = 400;
// The ends of the axes in four digits: the note has the step whole.
QString Short(double v) { return QLocale::c().toString(v, 'g', 4); }
}

TLineSearchPlot::TLineSearchPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 150);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Searches = new QComboBox(this);
    Note = new QLabel(this);
    Note->setWordWrap(true);
    layout->addWidget(Searches, 0, Qt::AlignLeft);
    layout->addStretch(1);
    layout->addWidget(Note);
    QObject::connect(Searches, &QComboBox::currentIndexChanged, this, [this](int index) { ShowSearch(index); });
    Clear();
}

void TLineSearchPlot::Clear() {
    iteration_ = {};
    Shown = -1;
    Phi.clear();
    {
        const QSignalBlocker block(Searches);
        Searches->clear();
    }
    Searches->hide();
    Note->setText(Tr("qirt", "Выберите итерацию в таблице или ползунком."));
    update();
}

void TLineSearchPlot::SetIteration(const TIterationView& it, bool wolfe, TSampler sampler) {
    iteration_ = it;
    wolfe_ = wolfe;
    sampler_ = std::move(sampler);
    {
        const QSignalBlocker block(Searches);
        Searches->clear();
        for (int k = 0; k < static_cast<int>(it.Searches.size()); ++k) {
            const TSearchView& s = it.Searches[static_cast<std::size_t>(k)];
            QString text = Tr("qirt", "Поиск %1 из %2").arg(k + 1).arg(it.Searches.size());
            if (s.Coordinate >= 0 && it.Axes.empty()) text += QStringLiteral(" — x[%1]").arg(s.Coordinate);
            Searches->addItem(text);
        }
    }
    Searches->setVisible(it.Searches.size() > 1);
    ShowSearch(it.Searches.empty() ? -1 : 0);
}

void TLineSearchPlot::ShowSearch(int index) {
    Shown = index;
    Phi.clear();
    if (index < 0 || index >= static_cast<int>(iteration_.Searches.size())) {
        Note->setText(iteration_.Simplex.empty()
                          ? Tr("qirt", "На этой итерации метод не искал на прямой.")
                          : Tr("qirt", "Метод Нелдера-Мида не ищет на прямой: на карте — его симплекс."));
        update();
        return;
    }
    const TSearchView& s = iteration_.Searches[static_cast<std::size_t>(index)];
    std::tie(T0, T1) = SearchInterval(s);
    if (sampler_) Phi = sampler_(s, T0, T1, kSamples);
    low_ = HUGE_VAL;
    high_ = -HUGE_VAL;
    auto take = [&](double v) {
        if (std::isfinite(v)) {
            low_ = std::min(low_, v);
            high_ = std::max(high_, v);
        }
    };
    for (double v : Phi) take(v);
    for (const TTrialPoint& t : s.Trials) take(t.Value);
    if (!(low_ <= high_)) low_ = 0, high_ = 1;
    if (low_ == high_) low_ -= 1, high_ += 1;
    const double margin = (high_ - low_) / 20;
    low_ -= margin;
    high_ += margin;
    QString note = Tr("qirt", "φ(t) = f(x + t·s); пробных точек: %1").arg(s.Trials.size());
    if (s.Taken) note += Tr("qirt", "; принятый шаг t = %1").arg(GeneralNumberText(double(s.Accepted)));
    else note += Tr("qirt", "; шаг не найден");
    if (wolfe_) note += Tr("qirt", ". Пунктир — достаточное убывание, точки — наклон условия кривизны (Вольфе).");
    Note->setText(note);
    update();
}

QRectF TLineSearchPlot::Area() const {
    const int top = Searches->isVisible() ? Searches->geometry().bottom() + 6 : 8;
    const int bottom = Note->geometry().top() - 22;
    return QRectF(56, top, std::max(10, width() - 64), std::max(10, bottom - top));
}

QPointF TLineSearchPlot::PlaceOf(double t, double phi) const {
    const QRectF a = Area();
    return {a.left() + a.width() * (t - T0) / (T1 - T0), a.bottom() - a.height() * (phi - low_) / (high_ - low_)};
}

void TLineSearchPlot::paintEvent(QPaintEvent*) {
    if (Shown < 0) return;
    const TSearchView& s = iteration_.Searches[static_cast<std::size_t>(Shown)];
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF a = Area();
    const QColor text = palette().color(QPalette::Text);
    p.setPen(text);
    p.drawRect(a);
    // The ends of both axes, and t = 0 where the search started.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    p.setFont(small);
    const QFontMetrics m(small);
    p.drawText(QRectF(0, a.top() - 2, a.left() - 4, m.height()), Qt::AlignRight, Short(high_));
    p.drawText(QRectF(0, a.bottom() - m.height() + 2, a.left() - 4, m.height()), Qt::AlignRight,
               Short(low_));
    p.drawText(QRectF(a.left(), a.bottom() + 2, 120, m.height()), Qt::AlignLeft, Short(T0));
    p.drawText(QRectF(a.right() - 120, a.bottom() + 2, 120, m.height()), Qt::AlignRight, Short(T1));
    p.drawText(QRectF(a.left(), a.bottom() + 2, a.width(), m.height()), Qt::AlignHCenter, QStringLiteral("t"));
    p.save();
    p.setClipRect(a);
    const double zero = PlaceOf(0, 0).x();
    p.setPen(QPen(QColor(160, 160, 160), 1, Qt::DashLine));
    p.drawLine(QPointF(zero, a.top()), QPointF(zero, a.bottom()));
    // phi, broken where it is undefined.
    QPainterPath path;
    bool open = false;
    for (int k = 0; k < static_cast<int>(Phi.size()); ++k) {
        const double t = T0 + (T1 - T0) * k / std::max<int>(1, static_cast<int>(Phi.size()) - 1);
        if (!std::isfinite(Phi[static_cast<std::size_t>(k)])) {
            open = false;
            continue;
        }
        const QPointF q = PlaceOf(t, Phi[static_cast<std::size_t>(k)]);
        if (open) path.lineTo(q);
        else path.moveTo(q);
        open = true;
    }
    p.setPen(QPen(QColor(20, 60, 200), 1.5));
    p.drawPath(path);
    // The Wolfe conditions' lines through (0, phi(0)): slope c1 phi'(0)
    // (points below it decrease enough) and slope c2 phi'(0).
    if (wolfe_ && iteration_.HasGradient && !Phi.empty()) {
        double slope = 0;
        for (int i = 0; i < 10; ++i) slope += double(iteration_.Gradient[i] * s.Direction[i]);
        const std::size_t at0 = static_cast<std::size_t>(std::lround((0 - T0) / (T1 - T0) * (Phi.size() - 1)));
        const double phi0 = at0 < Phi.size() ? Phi[at0] : std::nan("");
        if (std::isfinite(phi0) && std::isfinite(slope)) {
            p.setPen(QPen(QColor(200, 60, 0), 1.2, Qt::DashLine));
            p.drawLine(PlaceOf(T0, phi0 + double(kWolfeDecrease) * T0 * slope),
                       PlaceOf(T1, phi0 + double(kWolfeDecrease) * T1 * slope));
            p.setPen(QPen(QColor(200, 60, 0), 1.2, Qt::DotLine));
            p.drawLine(PlaceOf(T0, phi0 + double(kWolfeCurvature) * T0 * slope),
                       PlaceOf(T1, phi0 + double(kWolfeCurvature) * T1 * slope));
        }
    }
    // The trial points, numbered in the order the search took them, and
    // the step taken.
    for (int k = 0; k < static_cast<int>(s.Trials.size()); ++k) {
        const TTrialPoint& t = s.Trials[static_cast<std::size_t>(k)];
        const double v = std::isfinite(t.Value) ? t.Value : high_;
        const QPointF q = PlaceOf(t.Step, v);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(std::isfinite(t.Value) ? QColor(Qt::white) : QColor(200, 200, 200));
        p.drawEllipse(q, 4, 4);
        p.drawText(q + QPointF(5, -5), QString::number(k + 1));
    }
    if (s.Taken) {
        const double x = PlaceOf(double(s.Accepted), 0).x();
        p.setPen(QPen(QColor(0, 140, 60), 2));
        p.drawLine(QPointF(x, a.top()), QPointF(x, a.bottom()));
    }
    p.restore();
}

} // namespace qirt
