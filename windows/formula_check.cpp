#include "windows/formula_check.h"

#include <QMetaObject>

#include "func/messages.h"
#include "graph/widgets/texts.h"

namespace qirt {

TFormulaChecker::TFormulaChecker(QObject* parent) : QObject(parent) { pool_.setMaxThreadCount(1); }

TFormulaChecker::~TFormulaChecker() { pool_.waitForDone(); }

void TFormulaChecker::Check(const QString& text) {
    next_ = text;
    pending_ = true;
    last_ = text;
    if (!running_) StartNext();
}

void TFormulaChecker::StartNext() {
    running_ = true;
    pending_ = false;
    const QString text = next_;
    pool_.start([this, text] {
        const TFormulaCheck check = CheckFormula(Std(text));
        // Back on the window's thread; the destructor waits for this job,
        // so the object is alive when the call is queued.
        QMetaObject::invokeMethod(this, [this, text, check] { Finished(text, check); }, Qt::QueuedConnection);
    });
}

void TFormulaChecker::Finished(const QString& text, const TFormulaCheck& check) {
    running_ = false;
    if (pending_) StartNext();
    if (text == last_ && Checked) Checked(text, check);
}

namespace {
constexpr const char* kNoVariables = UI_TEXT("qirt", "в формуле нет переменных");
constexpr const char* kSymbolic = UI_TEXT("qirt", "символьные производные");
constexpr const char* kNumeric = UI_TEXT("qirt", "производные численно: формула велика для символьных");
} // namespace

QString CheckSummary(const TFormulaCheck& check) {
    if (check.Fault.Kind != TFormulaFaultKind::None) return {};
    if (check.Highest < 0) return Tr(kNoVariables);
    QStringList names;
    for (int i = 0; i < 10; ++i)
        if (check.Used[i]) names << QStringLiteral("x[%1]").arg(i);
    // x[0] ... x[highest] take part, as with "Автоопределение".
    const int n = check.Highest + 1;
    const char* count = n == 1                                           ? UI_TEXT("qirt", "%1 переменная")
                        : (n % 10 >= 2 && n % 10 <= 4 && (n < 10 || n > 20)) ? UI_TEXT("qirt", "%1 переменные")
                                                                         : UI_TEXT("qirt", "%1 переменных");
    return names.join(QStringLiteral(", ")) + QStringLiteral(" — ") + Tr(count).arg(n) + QStringLiteral(" · ") +
           Tr(check.Symbolic ? kSymbolic : kNumeric);
}

QString FaultText(const TFormulaFault& fault) {
    const TFaultLine line = FaultLine(fault);
    if (!line.Pattern) return {};
    return QString::fromStdString(FillArguments(Std(Tr(line.Pattern)), line.Arguments));
}

} // namespace qirt
