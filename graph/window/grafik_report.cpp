// "Файл → Отчёт…" of the graph window: the run or comparison shown, with
// the view shown, written as HTML or PDF.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>

#include "graph/report/report.h"
#include "graph/widgets/file_dialog.h"
#include "graph/widgets/texts.h"
#include "graph/window/grafik.h"
#include "methods/method_table.h"

namespace qirt {

namespace {

// The single run's figures as its labels show them.
TResultRow ShownFigures(const TForm3& w, int lastIndex) {
    QStringList point;
    for (int i = 0; i <= lastIndex && i < w.ListBox1->count(); ++i)
        point << w.ListBox1->item(i)->text();
    TResultRow f;
    f.Method = w.Label20->text();
    f.Point = point.join(QStringLiteral("; "));
    f.Minimum = w.Label15->text();
    f.Gradient = w.Label23->text();
    f.Iterations = w.Label17->text();
    f.Evaluations = w.Label19->text();
    f.End = w.Label24->text();
    return f;
}

} // namespace

TReport TForm3::Report() {
    if (Runs.empty()) TakeSingleRun();
    TReport report;
    TTask& task = report.Task;
    if (HaveRunInputs)
        task.Run = RunInputs;
    else
        task.Run.Formula = Std(Label14->text());
    task.Run.RegionStrategy = S.RegionStrategy;
    if (SingleRunMethod >= 0 && SingleRunMethod < kMethodCount) {
        task.Run.MethodFamily = kMethods[SingleRunMethod].Family;
        task.Run.MethodVariant = kMethods[SingleRunMethod].Variant;
    }
    if (S.Function.Conditions && S.Conditions.Size > 0)
        for (const straf* c = S.Conditions.Head; c; c = c->Next)
            task.Conditions.push_back({c->Text, c->CoefficientText, c->PowerText, c->PenaltyKind});
    TTaskView& view = task.View;
    view.AxisX = AxisVariable(ComboBox1, horizontal_);
    view.AxisY = AxisVariable(ComboBox2, vertical_);
    view.HaveRange = true;
    view.Range = S.View;
    view.Colours = Std(Edit5->text());
    view.Look = {S.MapFilled, S.MapLevelLines};
    view.Shade = S.ShadeOutside;
    report.Variables = S.CurrentLastIndex + 1;

    if (Comparing) {
        const TComparisonRow* best = BestRow(ComparedRows);
        for (std::size_t k = 0; k < Runs.size() && k < ResultRows.size() && k < ComparedRows.size();
             ++k) {
            task.Compare.push_back(ComparedRows[k].Method);
            if (best == &ComparedRows[k]) report.Best = static_cast<int>(k);
            report.Runs.push_back({Runs[k], ResultRows[k]});
        }
    } else if (SingleRunMethod >= 0 && !Runs.empty()) {
        report.Runs.push_back({Runs.front(), ShownFigures(*this, S.CurrentLastIndex)});
    }
    report.Plot = PlotPicture();
    report.Plot.Map = FirstSizeMap();
    return report;
}

bool TForm3::WriteReport(const QString& fileName, QString& error) {
    return qirt::WriteReport(Report(), fileName, error);
}

QString AskReportName(QWidget* parent) {
    const QString html = QStringLiteral("HTML (*.html)"), pdf = QStringLiteral("PDF (*.pdf)");
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    UseOwnFileDialog(dialog);
    dialog.setNameFilters({html, pdf});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    // A name typed without an ending takes the chosen filter's.
    QString name = dialog.selectedFiles().front();
    if (!IsReportName(name))
        name +=
            dialog.selectedNameFilter() == pdf ? QStringLiteral(".pdf") : QStringLiteral(".html");
    return name;
}

void TForm3::SaveReport() {
    const QString name = AskReportName(this);
    if (name.isEmpty()) return;
    QString error;
    if (!WriteReport(name, error)) QMessageBox::critical(this, windowTitle(), error);
}

} // namespace qirt
