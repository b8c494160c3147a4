// Texts that fit their windows. The windows place their controls at the
// fixed spots of their designed size; TStretcher lets them grow beyond it,
// each control following a share of the growth as an anchor would.
// Where room still ends, labels elide with "…" and every cut text, of a
// label, a field or a list, shows its whole as a tooltip.
#pragma once

#include <QLabel>
#include <QObject>
#include <QSize>
#include <QVector>

class QAbstractItemView;

namespace qirt {

class TStretcher : public QObject {
public:
    // `container` is the widget whose size grows; `designed` the size at
    // which every control stands at its placed geometry.
    TStretcher(QWidget* container, QSize designed);
    // Of the growth (dx, dy) beyond the designed size, the control moves
    // by moveX * dx and moveY * dy and grows by growX * dx and growY * dy.
    void Follow(QWidget* control, double moveX, double moveY, double growX, double growY);
    // As Follow, with the growth across split in two: the square part, as
    // much as the growth down allows too, and the rest. The control moves by
    // moveRest * rest across and grows by growSquare * square + growRest *
    // rest across and growY * dy down. (A square map takes the square part;
    // the columns beside it the rest.)
    void FollowSplit(QWidget* control, double moveRest, double growSquare, double growRest, double growY);
    // Places every control for the container's present size.
    void Apply();
    // A followed control takes a new size at the designed size of the
    // container (a label given a text in another language).
    void Resize(QWidget* control, QSize placed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TAnchor {
        QWidget* Control;
        QRect Placed;
        double MoveX, MoveY, GrowX, GrowY;
        double MoveRest = 0, GrowSquare = 0, GrowRest = 0;
    };
    QWidget* container_;
    QSize designed_;
    QVector<TAnchor> anchors_;
};

// A label that elides its text with "…" at the right when the text is
// wider than the label; text() stays the whole text.
class TElidedLabel : public QLabel {
public:
    explicit TElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    bool IsElided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A tip never fills the screen: a text longer than kTipHead + kTipTail +
// 50 characters shows its first kTipHead and last kTipTail characters with
// "…" between, and its length.
inline constexpr int kTipHead = 400, kTipTail = 150;

// A tooltip text showing the whole of a long text: plain for short texts;
// wrapped, with break chances after operators and commas, for long ones.
QString WholeTextTip(const QString& text);

// The tooltip a control with a cut text shows: its whole text (labels,
// line edits, editable combo boxes), or an empty string when nothing is cut.
QString CutTextTip(const QWidget* control);

// Makes the controls show CutTextTip as their tooltip.
void TipCutTexts(std::initializer_list<QWidget*> controls);

// Keeps a window within the available area of its screen: no larger (down
// to its minimum size) and moved inside it. For restored geometry and for
// windows that grow by a panel.
void FitToScreen(QWidget* window);

// Shows a window of its own over the window it comes from: centred on it,
// within that window's screen (its frame reckoned as large as the other's),
// and brought within the screen again once a window manager has placed it.
void ShowOver(QWidget* window, const QWidget* from);

} // namespace qirt
