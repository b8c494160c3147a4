#include "windows/progress.h"
#include "graph/widgets/texts.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace qirt {

namespace {
constexpr int kRefreshMilliseconds = 40; // how often the dialog and the windows catch up
}

TRunProgress::TRunProgress(TSession& session, QWidget* parent, int delayMilliseconds)
    : S(session), parent_(parent), delay_(delayMilliseconds) {
    started_.start();
}

TRunProgress::~TRunProgress() { delete dialog_; }

void TRunProgress::Show() {
    dialog_ = new QDialog(parent_);
    dialog_->setWindowTitle(Tr("qirt", "Идёт поиск минимума"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(dialog_);
    stage_ = new QLabel(stageText_, dialog_);
    stage_->setVisible(!stageText_.isEmpty());
    layout->addWidget(stage_);
    iterations_ = new QLabel(dialog_);
    evaluations_ = new QLabel(dialog_);
    value_ = new QLabel(dialog_);
    stop_ = new QPushButton(Tr("qirt", "Остановить"), dialog_);
    for (QWidget* w : {static_cast<QWidget*>(iterations_), static_cast<QWidget*>(evaluations_),
                       static_cast<QWidget*>(value_), static_cast<QWidget*>(stop_)})
        layout->addWidget(w);
    dialog_->setMinimumWidth(320);
    QObject::connect(stop_, &QPushButton::clicked, [this] { stopped_ = true; });
    // Closing the dialog stops the run as well.
    QObject::connect(dialog_, &QDialog::rejected, [this] { stopped_ = true; });
    dialog_->show();
    shown_.start();
}

bool TRunProgress::Continue(std::int32_t iterationCount, Real value) {
    if (!dialog_) {
        if (started_.elapsed() < delay_) return !stopped_;
        Show();
    } else if (shown_.elapsed() < kRefreshMilliseconds) {
        return !stopped_;
    }
    shown_.restart();
    iterations_->setText(Tr("qirt", "Число итераций: %1").arg(iterationCount));
    evaluations_->setText(
        Tr("qirt", "Число вычислений функции: %1").arg(S.Function.EvaluationCount));
    value_->setText(Tr("qirt", "Текущее значение: %1")
                        .arg(QLocale().toString(static_cast<double>(value), 'g', 15)));
    QApplication::processEvents();
    return !stopped_;
}

void TRunProgress::SetStage(const QString& text) {
    stageText_ = text;
    if (stage_) {
        stage_->setText(text);
        stage_->setVisible(!text.isEmpty());
    }
}

void TCompareProgress::MethodStarts(int method, int position, int count) {
    run_.SetStage(Tr("qirt", "Метод %1 из %2: %3")
                      .arg(position + 1)
                      .arg(count)
                      .arg(Tr(kMethods[method].Caption)));
}

} // namespace qirt
