// The main window's formula field as the user types: the check after a
// pause, its answer in the status bar, a mark on a field that does not
// build and the reason in its tip.
#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>

#include "graph/widgets/fit.h"
#include "graph/widgets/texts.h"
#include "windows/formula_check.h"
#include "windows/interf.h"

namespace qirt {

namespace {

// The colour a field that does not build is marked with.
const QColor kFaultBase(255, 228, 228);
const QColor kFaultText(170, 0, 0);

// Shows the field's own tip (the reason the formula does not build), with
// the whole text under it when the field cuts it; otherwise lets the tip of
// a cut text through.
class TFaultTip : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = static_cast<QLineEdit*>(watched);
        if (event->type() != QEvent::ToolTip || edit->toolTip().isEmpty()) return QObject::eventFilter(watched, event);
        const QString cut = CutTextTip(edit);
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           cut.isEmpty() ? edit->toolTip() : edit->toolTip() + QStringLiteral("<hr>") + cut.toHtmlEscaped(),
                           edit);
        return true;
    }
};

} // namespace

void TForm1::BuildFormulaCheck() {
    FormulaChecker = new TFormulaChecker(this);
    FormulaChecker->Checked = [this](const QString& text, const TFormulaCheck& check) {
        checkedText_ = text;
        check_ = check;
        ShowFormulaCheck();
    };
    FormulaInfo = new TElidedLabel(this); // cut with "…", whole in its tip
    FormulaInfo->setObjectName(QStringLiteral("formulaInfo"));
    FormulaInfo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addPermanentWidget(FormulaInfo, 2);
    checkTimer_ = new QTimer(this);
    checkTimer_->setSingleShot(true);
    checkTimer_->setInterval(kCheckPause);
    // Typing only restarts the pause: the check itself is off the typing path.
    connect(checkTimer_, &QTimer::timeout, this, [this] { FormulaChecker->Check(ComboBox4->currentText()); });
    connect(ComboBox4, &QComboBox::editTextChanged, this, &TForm1::FormulaEdited);
    // Installed after the tips of cut texts, so asked first.
    ComboBox4->lineEdit()->installEventFilter(new TFaultTip(ComboBox4->lineEdit()));
}

bool TForm1::FormulaCheckPending() const { return checkTimer_->isActive() || FormulaChecker->Busy(); }

void TForm1::FormulaEdited() {
    if (ComboBox4->currentText().isEmpty()) {
        checkTimer_->stop();
        checkedText_.clear();
        check_ = {};
        ShowFormulaCheck();
        return;
    }
    checkTimer_->start();
}

void TForm1::ShowFormulaCheck() {
    QLineEdit* edit = ComboBox4->lineEdit();
    const bool current = !checkedText_.isEmpty() && checkedText_ == ComboBox4->currentText();
    const bool fault = current && check_.Fault.Kind != TFormulaFaultKind::None;
    QPalette palette = ComboBox4->palette();
    if (fault) palette.setColor(QPalette::Base, kFaultBase);
    edit->setPalette(palette);
    if (fault) {
        const QString line = FaultText(check_.Fault);
        edit->setToolTip(QStringLiteral("<p>%1</p><pre>%2</pre>")
                             .arg(line.toHtmlEscaped(), QString::fromStdString(check_.Fault.Excerpt).toHtmlEscaped()));
        FormulaInfo->setText(line);
        FormulaInfo->setStyleSheet(QStringLiteral("color: %1").arg(kFaultText.name()));
    } else {
        edit->setToolTip(QString());
        FormulaInfo->setText(current ? CheckSummary(check_) : QString());
        FormulaInfo->setStyleSheet(QString());
    }
    // The line is as long as it needs; a long fault line is cut in the bar
    // and whole in its tip.
    FormulaInfo->setToolTip(FormulaInfo->text());
}

} // namespace qirt
