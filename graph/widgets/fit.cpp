#include "graph/widgets/fit.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLineEdit>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QToolTip>

#include "graph/widgets/texts.h"

namespace qirt {

TStretcher::TStretcher(QWidget* container, QSize designed)
    : QObject(container), container_(container), designed_(designed) {
    container->installEventFilter(this);
}

void TStretcher::Follow(QWidget* control, double moveX, double moveY, double growX,
                        double growY) {
    anchors_.append({control, control->geometry(), moveX, moveY, growX, growY});
}

void TStretcher::FollowSplit(QWidget* control, double moveRest, double growSquare, double growRest,
                             double growY) {
    anchors_.append({control, control->geometry(), 0, 0, 0, growY, moveRest, growSquare, growRest});
}

void TStretcher::Apply() {
    const int dx = std::max(0, container_->width() - designed_.width());
    const int dy = std::max(0, container_->height() - designed_.height());
    const int square = std::min(dx, dy), rest = dx - square;
    auto part = [](double share, int growth) { return static_cast<int>(std::lround(share * growth)); };
    for (const TAnchor& a : anchors_) {
        const QRect& r = a.Placed;
        a.Control->setGeometry(r.x() + part(a.MoveX, dx) + part(a.MoveRest, rest), r.y() + part(a.MoveY, dy),
                               r.width() + part(a.GrowX, dx) + part(a.GrowSquare, square) + part(a.GrowRest, rest),
                               r.height() + part(a.GrowY, dy));
    }
}

void TStretcher::Resize(QWidget* control, QSize placed) {
    for (TAnchor& a : anchors_)
        if (a.Control == control) a.Placed.setSize(placed);
    Apply();
}

bool TStretcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == container_ && event->type() == QEvent::Resize) Apply();
    return QObject::eventFilter(watched, event);
}

bool TElidedLabel::IsElided() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void TElidedLabel::paintEvent(QPaintEvent* event) {
    if (!IsElided()) return QLabel::paintEvent(event);
    QPainter painter(this);
    const QRect room = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, static_cast<int>(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
}

QString WholeTextTip(const QString& text) {
    constexpr int kPlainUpTo = 100;
    if (text.size() <= kPlainUpTo) return text;
    if (text.size() > kTipHead + kTipTail + 50)
        return WholeTextTip(text.left(kTipHead) + QStringLiteral(" … ") + text.right(kTipTail)) +
               Tr("qirt", "<p>(%1 символов)</p>").arg(text.size());
    // Rich text wraps; a zero-width space after each operator lets a long
    // formula break where it reads well.
    QString tip = QStringLiteral("<p style='white-space:pre-wrap'>");
    tip.reserve(text.size() * 2);
    for (QChar c : text) {
        if (c == QLatin1Char('<')) tip += QStringLiteral("&lt;");
        else if (c == QLatin1Char('>')) tip += QStringLiteral("&gt;");
        else if (c == QLatin1Char('&')) tip += QStringLiteral("&amp;");
        else tip += c;
        if (QStringLiteral("+-*/^,;").contains(c)) tip += QChar(0x200B);
    }
    tip += QStringLiteral("</p>");
    return tip;
}

namespace {

// Room for text inside a line edit.
int TextRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    const QRect r = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins m = edit->textMargins();
    return r.width() - m.left() - m.right() - 4;
}

class TCutTextTips : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
        auto* control = static_cast<QWidget*>(watched);
        const QString tip = CutTextTip(control);
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, control);
        }
        return true;
    }
};

} // namespace

QString CutTextTip(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        const bool cut = label->fontMetrics().horizontalAdvance(label->text()) >
                         label->contentsRect().width();
        return cut ? WholeTextTip(label->text()) : QString();
    }
    if (auto* box = qobject_cast<const QComboBox*>(control)) {
        if (box->lineEdit()) return CutTextTip(box->lineEdit());
        return QString();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) {
        const bool cut = edit->fontMetrics().horizontalAdvance(edit->text()) > TextRoom(edit);
        return cut ? WholeTextTip(edit->text()) : QString();
    }
    return QString();
}

void TipCutTexts(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls) {
        QWidget* target = control;
        if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit())
            target = box->lineEdit();
        auto* tips = new TCutTextTips(target);
        target->installEventFilter(tips);
    }
}

namespace {

// Where a frame's top left corner goes for the frame to lie within the
// room (at its top left when it is larger).
QPoint TopLeftWithin(const QRect& f, const QRect& room) {
    return {std::clamp(f.x(), room.left(), std::max(room.left(), room.right() + 1 - f.width())),
            std::clamp(f.y(), room.top(), std::max(room.top(), room.bottom() + 1 - f.height()))};
}

} // namespace

void FitToScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    // The frame the window manager adds, known once the window is shown.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const QSize most = (room.size() - frame).expandedTo(window->minimumSize());
    if (window->width() > most.width() || window->height() > most.height())
        window->resize(window->size().boundedTo(most));
    const QRect f = window->frameGeometry();
    const QPoint at = TopLeftWithin(f, room);
    if (at != f.topLeft()) window->move(window->pos() + (at - f.topLeft()));
}

void ShowOver(QWidget* window, const QWidget* from) {
    QScreen* screen = from && from->screen() ? from->screen() : QGuiApplication::primaryScreen();
    if (screen && !window->isVisible()) {
        const QRect room = screen->availableGeometry();
        const QSize frame = from ? from->frameGeometry().size() - from->geometry().size() : QSize();
        window->resize(window->size().boundedTo(room.size() - frame).expandedTo(window->minimumSize()));
        QRect f(QPoint(), window->size() + frame);
        f.moveCenter(from ? from->frameGeometry().center() : room.center());
        window->move(TopLeftWithin(f, room));
    }
    window->show();
    QTimer::singleShot(0, window, [window] { FitToScreen(window); });
}

} // namespace qirt
