// The formula field's check as the user types: the text is checked on a
// worker thread (a formula of tens of thousands of characters takes most of
// a second to differentiate), one check at a time, the newest text next;
// the window shows only the answer for its current text. The worker only
// fills a slot under a lock; the window's thread looks for the answer every
// few milliseconds and joins the worker, with no call queued from it.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include <QObject>
#include <QString>

#include "func/diagnose.h"

class QTimer;

namespace qirt {

class TFormulaChecker : public QObject {
public:
    explicit TFormulaChecker(QObject* parent = nullptr);
    // Waits for a check under way: it reads nothing of the window.
    ~TFormulaChecker() override;

    // Checks the text after the one under way; earlier texts not yet
    // started are dropped.
    void Check(const QString& text);
    // Called with each finished check of the text asked for last.
    std::function<void(const QString& text, const TFormulaCheck& check)> Checked;
    bool Busy() const { return running_; }

private:
    struct TJob;
    void StartNext();
    void Poll();

    std::shared_ptr<TJob> job_;
    std::thread worker_;
    QTimer* poll_;
    bool running_ = false, pending_ = false;
    QString next_, last_, checking_;
};

// The line beside the field for a formula that builds: its variables and
// the derivatives ("x[0], x[2] — 3 переменные · символьные производные").
QString CheckSummary(const TFormulaCheck& check);
// The fault in one line, in the language chosen.
QString FaultText(const TFormulaFault& fault);

} // namespace qirt
