#include "windows/mesage.h"
#include "graph/widgets/style.h"

#include <QApplication>
#include <QFontDatabase>
#include <QScreen>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace qirt {

namespace {
constexpr int kMaxLines = 6; // earlier lines give way beyond this
} // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent), owner_(parent) {
    setWindowTitle(Tr("qirt", "mesage"));
    UseDialogFont(this);
    setFixedSize(351, 118);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setGeometry(8, 16, 335, 32);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = new QLabel(this);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true); // the marker stands under its character
    Label2->setFont(fixed);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->hide();
    Button1 = new QPushButton(Tr("qirt", "Да"), this);
    Button1->setGeometry(136, 56, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    // Windows that open modally later must not cover a message.
    qApp->installEventFilter(this);
}

TForm2::~TForm2() { qApp->removeEventFilter(this); }

void TForm2::SetMessage(const std::string& text) { AddLine({text, {}}); }

void TForm2::SetMessage(const std::string& pattern, const std::vector<std::string>& arguments) {
    AddLine({pattern, arguments});
}

void TForm2::AddLine(TLine line) {
    // While the window is open, a new text joins the ones shown, so that
    // the cause ("Ошибка создания дерева производных") stays beside its
    // consequence ("Ошибка создания дерева"); the same text again changes
    // nothing.
    if (!isVisible()) { // after NewReport too, lines_ is empty
        lines_.clear();
        excerpt_.clear();
    }
    if (lines_.contains(line)) return;
    lines_.append(std::move(line));
    while (lines_.size() > kMaxLines) lines_.removeFirst();
    ShowLines();
}

void TForm2::ShowLines() {
    QStringList shown;
    for (const TLine& line : lines_)
        shown << QString::fromStdString(FillArguments(Std(Tr(line.Pattern.c_str())), line.Arguments));
    Label1->setText(shown.join(QLatin1Char('\n')));
    FitText();
}

void TForm2::SetExcerpt(const std::string& excerpt) {
    excerpt_ = QString::fromStdString(excerpt);
    FitText();
}

void TForm2::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(Tr("qirt", "mesage"));
        Button1->setText(Tr("qirt", "Да"));
        if (!lines_.isEmpty()) ShowLines();
    }
    QDialog::changeEvent(event);
}

void TForm2::FitText() {
    // The label grows to hold every line; the excerpt, the button and the
    // window follow. A long excerpt widens the window (up to the screen).
    Label2->setText(excerpt_);
    Label2->setVisible(!excerpt_.isEmpty());
    int width = 351;
    if (!excerpt_.isEmpty()) {
        Label2->adjustSize();
        width = std::max(width, Label2->width() + 16);
        if (const QScreen* screen = this->screen()) width = std::min(width, screen->availableGeometry().width() - 40);
    }
    Label1->resize(width - 16, Label1->height());
    const int height = std::max(32, Label1->heightForWidth(Label1->width()));
    Label1->resize(Label1->width(), height);
    int bottom = Label1->y() + height;
    if (!excerpt_.isEmpty()) {
        Label2->move(Label1->x(), bottom + 6);
        bottom = Label2->y() + Label2->height();
    }
    // The designed place of the button in the designed width.
    Button1->move(width == 351 ? 136 : (width - Button1->width()) / 2, bottom + 8);
    setFixedSize(width, std::max(118, Button1->y() + Button1->height() + 37));
}

void TForm2::ShowModal() {
    if (isVisible()) hide(); // a non-modal show turns into a modal one
    FollowActiveWindow();
    if (QWidget* focus = QApplication::focusWidget(); focus && !isAncestorOf(focus)) returnFocus_ = focus;
    QTimer::singleShot(0, this, &TForm2::TakeFocus);
    exec();
}

void TForm2::TakeFocus() {
    // Enter answers the message, not the window behind it.
    activateWindow();
    Button1->setFocus(Qt::ActiveWindowFocusReason);
}

void TForm2::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    QWidget* back = returnFocus_;
    returnFocus_ = nullptr;
    // A modal window opened since then has the keyboard, not the window
    // behind it.
    if (QWidget* modal = QApplication::activeModalWidget();
        modal && modal != this && !isAncestorOf(modal) && (!back || back->window() != modal))
        back = modal->focusWidget() ? modal->focusWidget() : modal;
    if (back) {
        back->activateWindow();
        back->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void TForm2::ShowNonModal() {
    FollowActiveWindow();
    if (isVisible()) {
        raise(); // already showing: only its text changed
        return;
    }
    if (QWidget* focus = QApplication::focusWidget(); focus && !isAncestorOf(focus)) returnFocus_ = focus;
    show();
    raise();
    TakeFocus();
}

void TForm2::FollowActiveWindow() {
    // The window belongs to the modal window in front while one is open,
    // so that it stays above it and can be answered; to its owner otherwise.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* want = modal && modal != this && !isAncestorOf(modal) ? modal : owner_;
    if (parentWidget() != want) {
        const bool shown = isVisible();
        setParent(want, windowFlags());
        if (shown) show();
    }
    if (isVisible()) raise();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched != this && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && w->isModal()) {
            if (type == QEvent::Hide && parentWidget() == w) {
                // Back to the owner before the closing window goes (it would
                // take this window with it).
                const bool shown = isVisible();
                setParent(owner_, windowFlags());
                if (shown) show();
            } else if (type == QEvent::Show && isVisible()) {
                QTimer::singleShot(0, this, &TForm2::FollowActiveWindow);
                coveredBy_ = w;
            }
        }
    }
    // A window manager stacks a new window above the others once it has
    // mapped it, which may be after this window followed it: when a modal
    // window in front becomes active, this one goes above it again.
    // Opened over this one, that window took the keyboard too: it comes
    // back here (and goes to that window when this one closes: hideEvent).
    if (type == QEvent::WindowActivate && watched != this && watched->isWidgetType() && isVisible()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && w->isModal() && !isAncestorOf(w)) {
            const bool opened = coveredBy_ == w;
            coveredBy_ = nullptr;
            QTimer::singleShot(0, this, [this, opened] {
                FollowActiveWindow();
                if (opened && isVisible()) TakeFocus();
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::Button1Click() { done(QDialog::Accepted); }

} // namespace qirt
