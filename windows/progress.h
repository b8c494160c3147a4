// The progress of a long run: after half a second a modal dialog shows the
// iterations, the evaluations and the current value, and has a button that
// ends the method at its current point. The method runs on the interface
// thread; each report lets the windows handle their events, so they never
// look frozen.
#pragma once

#include <QElapsedTimer>

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

private:
    void Show();

    TSession& S;
    QWidget* parent_;
    int delay_;
    QElapsedTimer started_, shown_;
    QDialog* dialog_ = nullptr;
    QLabel *iterations_ = nullptr, *evaluations_ = nullptr, *value_ = nullptr;
    QPushButton* stop_ = nullptr;
    bool stopped_ = false;
};

} // namespace qirt
