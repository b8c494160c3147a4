#include "windows/formula_check.h"

#include <mutex>

#include <QTimer>

#include "func/messages.h"
#include "graph/widgets/texts.h"

namespace qirt {

// What the worker hands over: its answer and whether it is there.
struct TFormulaChecker::TJob {
    std::mutex Lock;
    bool Done = false;
    TFormulaCheck Result;
};

TFormulaChecker::TFormulaChecker(QObject* parent) : QObject(parent), poll_(new QTimer(this)) {
    poll_->setInterval(10);
    connect(poll_, &QTimer::timeout, this, &TFormulaChecker::Poll);
}

TFormulaChecker::~TFormulaChecker() {
    if (worker_.joinable()) worker_.join();
}

void TFormulaChecker::Check(const QString& text) {
    next_ = text;
    pending_ = true;
    last_ = text;
    if (!running_) StartNext();
}

void TFormulaChecker::StartNext() {
    running_ = true;
    pending_ = false;
    checking_ = next_;
    job_ = std::make_shared<TJob>();
    // The worker gets its own copy of the text, as the engine reads it.
    worker_ = std::thread([job = job_, text = Std(checking_)] {
        TFormulaCheck check = CheckFormula(text);
        const std::lock_guard<std::mutex> hold(job->Lock);
        job->Result = std::move(check);
        job->Done = true;
    });
    poll_->start();
}

void TFormulaChecker::Poll() {
    {
        const std::lock_guard<std::mutex> hold(job_->Lock);
        if (!job_->Done) return;
    }
    worker_.join();
    poll_->stop();
    running_ = false;
    const QString text = checking_;
    const TFormulaCheck check = job_->Result;
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
