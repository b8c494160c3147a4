// The main window's tasks: the "Файл" menu (open, save, save as, the last
// tasks), the examples shipped with the program, a task file dropped on the
// window, and the view a task gives the graph window.
#include <QComboBox>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTabBar>

#include "func/messages.h"
#include "graph/widgets/texts.h"
#include "graph/widgets/file_dialog.h"
#include "graph/widgets/fit.h"
#include "graph/window/grafik.h"
#include "windows/interf.h"
#include "graph/report/run_report.h"
#include "windows/mesage.h"
#include "windows/progress.h"
#include "windows/settings.h"

static void RegisterExamplesResource() { Q_INIT_RESOURCE(examples); }

namespace qirt {

namespace {

// The examples: a task file among the resources and its title in the menu.
struct TExample {
    const char* File;
    const char* Title;
};
constexpr TExample kExamples[] = {
    {"rosenbrock", UI_TEXT("qirt", "Овраг Розенброка")},
    {"himmelblau", UI_TEXT("qirt", "Четыре минимума Химмельблау")},
    {"booth", UI_TEXT("qirt", "Функция Бута: Ньютону хватает шага")},
    {"beale", UI_TEXT("qirt", "Функция Била")},
    {"badly-scaled", UI_TEXT("qirt", "Плохо масштабированная квадратичная функция")},
    {"rotated-valley", UI_TEXT("qirt", "Покоординатный спуск в косом овраге")},
    {"three-hump-camel", UI_TEXT("qirt", "Трёхгорбый верблюд: несколько минимумов")},
    {"sum-of-ten", UI_TEXT("qirt", "Сумма квадратов десяти переменных")},
    {"undefined-region", UI_TEXT("qirt", "Функция, определённая не везде (ln, sqrt)")},
    {"exterior-region", UI_TEXT("qirt", "Область: внешний штраф и множители")},
    {"interior-region", UI_TEXT("qirt", "Область: внутренний штраф")},
    {"compare-all", UI_TEXT("qirt", "Сравнение всех методов")},
};

constexpr const char* kTaskFilter = UI_TEXT("qirt", "Задачи QIRT (*.qirt)");
constexpr const char* kExampleResource = ":/examples/%1.qirt";
// The language whose note a task shows: "ru" as written, "en" in the
// English translation.
constexpr const char* kNoteLanguage = UI_TEXT("qirt", "ru");

std::string NoteOf(const std::map<std::string, std::string>& notes) {
    TLanguage language = TLanguage::Russian;
    LanguageFromCode(Tr(kNoteLanguage), language);
    TTask t;
    t.Notes = notes;
    return t.Note(language);
}

bool IsTaskFile(const QUrl& url) {
    return url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".qirt"), Qt::CaseInsensitive);
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Shows the text in the field from its beginning.
void SetField(QComboBox* box, const QString& text) {
    box->setEditText(text);
    box->lineEdit()->setCursorPosition(0);
}

} // namespace

void TForm1::BuildFileMenus() {
    RegisterExamplesResource();
    QMenuBar* menu = menuBar();
    FileMenu = menu->addMenu(QString());
    OpenTask1 = FileMenu->addAction(QString(), this, &TForm1::OpenTask1Click);
    OpenTask1->setShortcut(QKeySequence::Open);
    SaveTask1 = FileMenu->addAction(QString(), this, &TForm1::SaveTask1Click);
    SaveTask1->setShortcut(QKeySequence::Save);
    SaveTaskAs1 = FileMenu->addAction(QString(), this, &TForm1::SaveTaskAs1Click);
    SaveTaskAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    RecentMenu = FileMenu->addMenu(QString());
    FileMenu->addSeparator();
    Report1 = FileMenu->addAction(QString(), this, &TForm1::Report1Click);
    ExamplesMenu = menu->addMenu(QString());
    for (const TExample& e : kExamples) {
        QAction* a = ExamplesMenu->addAction(QString());
        const QString resource = QString::fromLatin1(kExampleResource).arg(QLatin1String(e.File));
        connect(a, &QAction::triggered, this, [this, resource] { OpenExample(resource); });
        // The notes are read once; a change of language only picks another.
        TTask task;
        QString error;
        if (LoadTask(resource, task, error)) a->setData(QVariant::fromValue(task.Notes));
    }
    setAcceptDrops(true);
    UpdateRecentMenu();
}

void TForm1::RetranslateFileMenus() {
    FileMenu->setTitle(Tr("qirt", "Файл"));
    OpenTask1->setText(Tr("qirt", "Открыть задачу…"));
    SaveTask1->setText(Tr("qirt", "Сохранить задачу"));
    SaveTaskAs1->setText(Tr("qirt", "Сохранить задачу как…"));
    RecentMenu->setTitle(Tr("qirt", "Последние задачи"));
    Report1->setText(Tr("qirt", "Отчёт…"));
    ExamplesMenu->setTitle(Tr("qirt", "Примеры"));
    const QList<QAction*> examples = ExamplesMenu->actions();
    for (int k = 0; k < examples.size(); ++k) {
        examples[k]->setText(Tr(kExamples[k].Title));
        // The example's note in the language chosen.
        const auto notes = examples[k]->data().value<std::map<std::string, std::string>>();
        examples[k]->setToolTip(Q(NoteOf(notes)));
    }
    ExamplesMenu->setToolTipsVisible(true);
    ShowTaskName();
}

void TForm1::ShowTaskName() {
    QString title = Tr(caption_);
    if (!TaskFileName.isEmpty()) title = QFileInfo(TaskFileName).fileName() + QStringLiteral(" — ") + title;
    setWindowTitle(title);
    // The task's note stands in the status bar while the task is open.
    const QString note = Q(NoteOf(TaskNotes));
    QLabel* label = findChild<QLabel*>(QStringLiteral("taskNote"));
    if (!label) {
        label = new TElidedLabel(this);
        label->setObjectName(QStringLiteral("taskNote"));
        // However long the note, it never widens the window: cut with "…",
        // and whole in its tip.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        statusBar()->addWidget(label, 3);
    }
    label->setText(note);
    label->setToolTip(note);
}

TTask TForm1::CurrentTask() const {
    TTask t;
    t.Run = Inputs();
    if (LastRunCompared) t.Compare = ComparedMethods;
    if (S.Function.Conditions) {
        int n = 0;
        for (const straf* c = S.Conditions.Head; c && n < S.Conditions.Size; c = c->Next, ++n)
            t.Conditions.push_back({c->Text, c->CoefficientText, c->PowerText, c->PenaltyKind});
    }
    if (HaveTaskView || HaveLastView) t.View = TaskView;
    t.Notes = TaskNotes;
    return t;
}

void TForm1::ApplyTask(const TTask& t) {
    const TRunInputs& in = t.Run;
    ChooseFamily(in.MethodFamily);
    if (in.MethodVariant >= 1 && in.MethodVariant <= TabControl1->count())
        TabControl1->setCurrentIndex(in.MethodVariant - 1);
    SetField(ComboBox4, Q(in.Formula));
    // The count first: choosing it writes zeros into the start point.
    SetField(ComboBox3, in.VariableCountText == kAutomaticCount ? Tr(kAutomaticCount) : Q(in.VariableCountText));
    Edit2->setText(Q(in.StartText));
    Edit2->setCursorPosition(0);
    SetField(ComboBox1, Q(in.VariableAccuracyText));
    SetField(ComboBox2, Q(in.ValueAccuracyText));
    SetField(ComboBox5, in.StepText == kSymbolicStepText ? Tr(kSymbolicStepText) : Q(in.StepText));

    S.Conditions.ClearConditions();
    for (const TTaskCondition& c : t.Conditions)
        S.Conditions.AddCondition(c.Inequality, c.Coefficient, c.Power, c.Kind);
    S.ConditionCount = S.Conditions.Size;
    S.RegionStrategy = in.RegionStrategy;
    const bool region = S.Conditions.Size > 0;
    CheckBox1->setChecked(region);
    S.Function.Conditions = region ? &S.Conditions : nullptr;
    CheckBox2->setVisible(region);
    CheckBox2->setChecked(region && in.ExtendedPlot);

    ComparedMethods = t.Compare;
    LastRunCompared = !t.Compare.empty();
    TaskView = t.View;
    HaveTaskView = true;
    HaveLastView = false;
    TaskNotes = t.Notes;
}

bool TForm1::OpenTaskFile(const QString& fileName) {
    TTask task;
    QString error;
    if (!LoadTask(fileName, task, error)) {
        ShowMessage(Messages, Std(error).c_str(), ShowKind::NonModal);
        return false;
    }
    ApplyTask(task);
    return true;
}

bool TForm1::OpenTask(const QString& fileName) {
    if (!OpenTaskFile(fileName)) return false;
    TaskFileName = QFileInfo(fileName).absoluteFilePath();
    RememberRecent(TaskFileName);
    ShowTaskName();
    return true;
}

bool TForm1::OpenExample(const QString& resource) {
    if (!OpenTaskFile(resource)) return false;
    TaskFileName.clear(); // "Сохранить задачу" asks where
    ShowTaskName();
    return true;
}

bool TForm1::SaveTaskTo(const QString& fileName) {
    QString error;
    if (!SaveTask(CurrentTask(), fileName, error)) {
        ShowMessage(Messages, Std(error).c_str(), ShowKind::NonModal);
        return false;
    }
    TaskFileName = QFileInfo(fileName).absoluteFilePath();
    RememberRecent(TaskFileName);
    ShowTaskName();
    return true;
}

QString TForm1::AskTaskFile(bool save) {
    QFileDialog dialog(this, save ? Tr("qirt", "Сохранить задачу как…") : Tr("qirt", "Открыть задачу…"));
    UseOwnFileDialog(dialog);
    dialog.setNameFilter(Tr(kTaskFilter));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("qirt"));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    // Where the last task came from or went.
    const QString last = !TaskFileName.isEmpty() ? TaskFileName : RecentTasks.value(0);
    if (!last.isEmpty() && QFileInfo(last).absoluteDir().exists()) dialog.setDirectory(QFileInfo(last).absolutePath());
    if (save && !TaskFileName.isEmpty()) dialog.selectFile(QFileInfo(TaskFileName).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void TForm1::OpenTask1Click() {
    const QString name = AskTaskFile(false);
    if (!name.isEmpty()) OpenTask(name);
}

void TForm1::SaveTask1Click() {
    if (TaskFileName.isEmpty())
        SaveTaskAs1Click();
    else
        SaveTaskTo(TaskFileName);
}

void TForm1::SaveTaskAs1Click() {
    const QString name = AskTaskFile(true);
    if (!name.isEmpty()) SaveTaskTo(name);
}

void TForm1::Report1Click() {
    const QString name = AskReportName(this);
    if (!name.isEmpty()) WriteTaskReport(name);
}

bool TForm1::WriteTaskReport(const QString& fileName) {
    const TTask task = CurrentTask(); // the region is in the session already
    FinishRun(S, Run);
    TReport report;
    bool ran;
    {
        TRunProgress progress(S, this, ProgressDelayMilliseconds);
        S.Progress = &progress;
        ran = RunReport(S, task, report);
        S.Progress = nullptr;
    }
    if (!ran) return false; // the message says why
    QString error;
    if (!WriteReport(report, fileName, error)) {
        ShowMessage(Messages, Std(error).c_str(), ShowKind::NonModal);
        return false;
    }
    return true;
}

void TForm1::RememberRecent(const QString& fileName) {
    RecentTasks.removeAll(fileName);
    RecentTasks.prepend(fileName);
    while (RecentTasks.size() > kRecentTasks) RecentTasks.removeLast();
    if (Settings) Settings->RememberRecentTasks(RecentTasks);
    UpdateRecentMenu();
}

void TForm1::UpdateRecentMenu() {
    RecentMenu->clear();
    for (int k = 0; k < RecentTasks.size(); ++k) {
        const QString file = RecentTasks[k];
        // "&1 name.qirt": a digit to choose it by, the whole path in the tip.
        QAction* a = RecentMenu->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(file).fileName()));
        a->setToolTip(file);
        connect(a, &QAction::triggered, this, [this, file] {
            // A task that is gone leaves the list; the message says why.
            if (!OpenTask(file) && !QFileInfo::exists(file)) {
                RecentTasks.removeAll(file);
                if (Settings) Settings->RememberRecentTasks(RecentTasks);
                UpdateRecentMenu();
            }
        });
    }
    RecentMenu->setToolTipsVisible(true);
    RecentMenu->setEnabled(!RecentTasks.isEmpty());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && IsTaskFile(urls.front())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !IsTaskFile(urls.front())) return;
    event->acceptProposedAction();
    OpenTask(urls.front().toLocalFile());
}

void TForm1::RememberView(const TForm3& graph) {
    TTaskView& v = TaskView;
    v.AxisX = VariableNumber(Std(graph.ComboBox1->currentText())) - 1;
    v.AxisY = VariableNumber(Std(graph.ComboBox2->currentText())) - 1;
    if (v.AxisX < 0 || v.AxisY < 0 || v.AxisX == v.AxisY) v.AxisX = 0, v.AxisY = 1;
    v.HaveRange = UsableView(S.View) && S.View.XMin < S.View.XMax && S.View.YMin < S.View.YMax;
    v.Range = S.View;
    if (UsableColourCount(Std(graph.Edit5->text()))) v.Colours = Std(graph.Edit5->text());
    v.Look = {S.MapFilled, S.MapLevelLines};
    v.Shade = S.ShadeOutside;
    HaveLastView = true;
}

void TForm1::ApplyView(TForm3& graph) {
    const TTaskView& v = TaskView;
    graph.Edit5->setText(Q(v.Colours));
    // Axes the function has. Each list leaves out the other axis's
    // variable: both lists first, then the two names (which sets each
    // axis's range and labels).
    const int last = S.CurrentLastIndex;
    if (v.AxisX <= last && v.AxisY <= last) {
        const QString x = QStringLiteral("x[%1]").arg(v.AxisX), y = QStringLiteral("x[%1]").arg(v.AxisY);
        graph.FillXAxisList(y, last);
        graph.FillYAxisList(x, last);
        graph.ComboBox1->setEditText(x);
        graph.ComboBox2->setEditText(y);
    }
    if (v.HaveRange) {
        graph.Edit1->setText(Text(v.Range.XMin));
        graph.Edit2->setText(Text(v.Range.XMax));
        graph.Edit3->setText(Text(v.Range.YMin));
        graph.Edit4->setText(Text(v.Range.YMax));
    }
}

} // namespace qirt
