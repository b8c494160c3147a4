// The progress of a long run: after half a second a modal dialog shows the
// iterations, the evaluations and the current value, and has a button that
// ends the method at its current point. The method runs on the interface
// thread; each report lets the windows handle their events, so they never
// look frozen.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include "methods/compare.h"
#include "methods/session.h"

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace qirt {

class TRunProgress : public TProgress {
public:
    TRunProgress(TSession& session, QWidget* parent, int delayMilliseconds = 500);
    ~TRunProgress() override;

    bool Continue(std::int32_t iterationCount, Real value) override;

    QDialog* Dialog() const { return dialog_; } // null until shown
    QPushButton* StopButton() const { return stop_; }
    // A line over the counts: which method of a comparison runs.
    void SetStage(const QString& text);

private:
    void Show();

    TSession& S;
    QWidget* parent_;
    int delay_;
    QElapsedTimer started_, shown_;
    QDialog* dialog_ = nullptr;
    QLabel *stage_ = nullptr, *iterations_ = nullptr, *evaluations_ = nullptr, *value_ = nullptr;
    QString stageText_;
    QPushButton* stop_ = nullptr;
    bool stopped_ = false;
};

// The progress of a comparison: one dialog for all its methods, naming the
// one that runs; "Остановить" ends it where it is and skips the rest.
class TCompareProgress : public TComparisonProgress {
public:
    TCompareProgress(TSession& session, QWidget* parent, int delayMilliseconds = 500)
        : run_(session, parent, delayMilliseconds) {}
    void MethodStarts(int method, int position, int count) override;
    bool Continue(std::int32_t iterationCount, Real value) override {
        return run_.Continue(iterationCount, value);
    }
    TRunProgress& Run() { return run_; }

private:
    TRunProgress run_;
};

} // namespace qirt
