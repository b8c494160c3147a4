#include "windows/interf.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QActionGroup>
#include <QCheckBox>
#include <QEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTextBrowser>

#include "func/scan.h"
#include "graph/window/grafik.h"
#include "graph/map/map.h"
#include "graph/window/region_panel.h"
#include "graph/window/run_panel.h"
#include "methods/constrained.h"
#include "windows/about.h"
#include "windows/compare_dialog.h"
#include "graph/widgets/fit.h"
#include "windows/history.h"
#include "windows/history_model.h"
#include "windows/mesage.h"
#include "windows/progress.h"
#include "windows/settings.h"
#include "windows/vvod_obl.h"
#include "graph/widgets/style.h"
#include "graph/widgets/texts.h"

// The help page is compiled into the windows' library; its resource is
// registered once, before the first help window needs it.
static void RegisterHelpResource() { Q_INIT_RESOURCE(help); }

namespace qirt {

namespace {

// The marked text an action shows, kept to show it again in another language.
constexpr const char* kSourceText = "sourceText";

// What each family shows: caption, tabs, whether the first tab is selected,
// and which option controls are visible. The tabs of the families with
// methods are their rows of the table of methods; the statistical family
// and the map alone have a tab of their own.
struct TFamily {
    const char* Caption;
    std::vector<const char*> Tabs;
    bool SelectFirst;
    bool Step, Iterations, Start, Accuracies;
};

std::vector<const char*> MethodTabs(int family) {
    std::vector<const char*> tabs;
    for (const TMethod& m : kMethods)
        if (m.Family == family) tabs.push_back(m.Caption);
    return tabs;
}

const TFamily& Family(int number) {
    static const TFamily families[] = {
        {UI_TEXT("qirt", "Програмный пакет по исследованиям операций(Методы нулевого порядка)"),
         MethodTabs(family::ZeroOrder), false, false, false, true, true},
        {UI_TEXT("qirt", "Програмный пакет по исследованиям операций(Методы первого порядка)"),
         MethodTabs(family::FirstOrder), false, true, false, true, true},
        {UI_TEXT("qirt", "Програмный пакет по исследованиям операций(Методы второго порядка)"),
         MethodTabs(family::Newton), true, true, false, true, true},
        {UI_TEXT("qirt", "Програмный пакет по исследованиям операций(Методы переменной метрики)"),
         MethodTabs(family::VariableMetric), false, true, false, true, true},
        {UI_TEXT("qirt", "Програмный пакет по исследованиям операций(Статистические методы)"),
         {UI_TEXT("qirt", "Ненаправленный поиск")}, true, false, true, true, true},
        {UI_TEXT("qirt", "Програмный пакет по исследованиям операций(График функции)"),
         {UI_TEXT("qirt", "График функции")}, true, false, false, false, false},
    };
    return families[number - 1];
}

QComboBox* MakeCombo(QWidget* parent, int x, int y, int width, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setGeometry(x, y, width, 21);
    return box;
}

QStringList Powers(int from, int to) {
    QStringList items;
    for (int e = from; e <= to; ++e) items << QStringLiteral("1e-%1").arg(e);
    return items;
}

} // namespace

TForm1::TForm1(TSession& session, QWidget* parent) : QMainWindow(parent), S(session) {
    RegisterHelpResource();
    BuildLayout();
    FormCreate();
}

TForm1::~TForm1() {
    FinishRun(S, Run);
    // The formula list reads History, which goes before the window's
    // children would: the list goes first.
    delete ComboBox4;
}

void TForm1::BuildLayout() {
    caption_ = Family(family::FirstOrder).Caption;
    UseDialogFont(this);

    QMenuBar* menu = menuBar();
    BuildFileMenus();
    auto family = [&](const char* caption, void (TForm1::*handler)()) {
        QAction* a = menu->addAction(Tr(caption));
        a->setProperty(kSourceText, QByteArray(caption));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    N1 = family(UI_TEXT("qirt", "Методы нулевого порядка"), &TForm1::N1Click);
    N2 = family(UI_TEXT("qirt", "Методы первого пордка"), &TForm1::N2Click);
    N3 = family(UI_TEXT("qirt", "Методы второго порядка"), &TForm1::N3Click);
    N4 = family(UI_TEXT("qirt", "Методы переменной метрики"), &TForm1::N4Click);
    N5 = family(UI_TEXT("qirt", "Статистические методы"), &TForm1::N5Click);
    N5->setVisible(false);
    K1 = family(UI_TEXT("qirt", "График функции"), &TForm1::K1Click);
    CompareMethods1 = family(UI_TEXT("qirt", "Сравнить методы…"), &TForm1::CompareMethods1Click);
    settingsMenu_ = menu->addMenu(QString());
    Defaults1 = settingsMenu_->addAction(QString(), this, &TForm1::RestoreDefaults);
    // The language menu reads the same in both languages, so that it can
    // be found in either; each language is named in itself.
    QMenu* language = menu->addMenu(QString::fromUtf8("Язык / Language"));
    auto* languages = new QActionGroup(language);
    for (auto [action, name, code] : {std::tuple{&Russian1, "Русский", TLanguage::Russian},
                                      std::tuple{&English1, "English", TLanguage::English}}) {
        *action = language->addAction(QString::fromUtf8(name));
        (*action)->setCheckable(true);
        languages->addAction(*action);
        connect(*action, &QAction::triggered, this, [this, code] { ChooseLanguage(code); });
    }
    Russian1->setChecked(true);
    helpMenu_ = menu->addMenu(QString());
    Contents1 = helpMenu_->addAction(QString(), this, &TForm1::Contents1Click);
    helpMenu_->addSeparator();
    About1 = helpMenu_->addAction(QString(), this, &TForm1::About1Click);

    // The designed size; the window may grow, its fields stretching.
    constexpr QSize kDesigned(478, 336);
    auto* client = new QWidget(this);
    client->setMinimumSize(kDesigned);
    client->resize(kDesigned);
    setCentralWidget(client);
    auto* page = new QWidget(client); // the tab control's page, controls on it
    page->setGeometry(0, 0, 473, 329);
    TabControl1 = new QTabBar(page);
    TabControl1->setExpanding(false);
    TabControl1->setDrawBase(true);
    for (const char* tab : {UI_TEXT("qirt", "Флетчера-Ривса"), UI_TEXT("qirt", "Пшеничного"), UI_TEXT("qirt", "Наискорейшего спуска")})
        TabControl1->setTabData(TabControl1->addTab(QString()), QByteArray(tab));
    TabControl1->setGeometry(0, 0, 473, 28);
    auto* frame = new QWidget(page);
    frame->setGeometry(0, 27, 473, 302);
    frame->setAutoFillBackground(true);
    frame->lower();

    Label1 = MakeLabel(page, "", 8, 35);
    ComboBox4 = MakeCombo(page, 8, 50, 145, {QString()});
    Label2 = MakeLabel(page, "", 8, 80);
    ComboBox1 = MakeCombo(page, 8, 95, 145, Powers(3, 12));
    Label3 = MakeLabel(page, "", 8, 128);
    ComboBox2 = MakeCombo(page, 8, 144, 145, Powers(3, 15));
    CheckBox1 = new QCheckBox(page);
    CheckBox1->setGeometry(8, 184, 153, 17);
    CheckBox2 = new QCheckBox(page);
    CheckBox2->setGeometry(8, 208, 185, 17);
    CheckBox2->hide();
    Button1 = new QPushButton(page);
    Button1->setGeometry(16, 272, 113, 25);
    Button1->setDefault(true);
    Label4 = MakeLabel(page, "", 210, 35);
    QStringList counts{Tr(kAutomaticCount)};
    for (int n = 1; n <= 10; ++n) counts << QString::number(n);
    ComboBox3 = MakeCombo(page, 210, 50, 145, counts);
    Label5 = MakeLabel(page, "", 210, 80);
    Edit2 = new QLineEdit(page);
    Edit2->setGeometry(210, 95, 145, 21);
    Label6 = MakeLabel(page, "", 210, 128);
    ComboBox5 = MakeCombo(page, 210, 144, 145,
                          {Tr(kSymbolicStepText), "1e-3", "1e-5", "1e-7"});
    Label7 = MakeLabel(page, "", 210, 128);
    ComboBox6 = MakeCombo(page, 210, 144, 145,
                          {"10000", "20000", "50000", "100000", "200000", "500000", "1000000"});
    Label7->hide();
    ComboBox6->hide();
    // Texts longer than their field show their beginning, as typed.
    for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
        connect(box, &QComboBox::currentIndexChanged, box,
                [box] { box->lineEdit()->setCursorPosition(0); });
    // A formula of any length the engine takes goes in whole (the field's
    // own limit is 32,767 characters).
    ComboBox4->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    // Growing, the two columns of fields share the room: the left fields
    // widen, the right column moves over and widens as much.
    stretcher_ = new TStretcher(client, kDesigned);
    stretcher_->Follow(page, 0, 0, 1, 1);
    stretcher_->Follow(TabControl1, 0, 0, 1, 0);
    stretcher_->Follow(frame, 0, 0, 1, 1);
    for (QWidget* w : {ComboBox4, ComboBox1, ComboBox2}) stretcher_->Follow(w, 0, 0, 0.5, 0);
    for (QWidget* w : {Label4, Label5, Label6, Label7}) stretcher_->Follow(w, 0.5, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{ComboBox3, Edit2, ComboBox5, ComboBox6})
        stretcher_->Follow(w, 0.5, 0, 0.5, 0);
    TipCutTexts({ComboBox4, ComboBox1, ComboBox2, ComboBox3, Edit2, ComboBox5, ComboBox6});
    Retranslate(); // every text, the labels' included

    connect(ComboBox3, &QComboBox::editTextChanged, this, &TForm1::ComboBox3Change);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    // Enter in any field starts the run, as the window's default button.
    for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
        connect(box->lineEdit(), &QLineEdit::returnPressed, this, &TForm1::Button1Click);
    connect(Edit2, &QLineEdit::returnPressed, this, &TForm1::Button1Click);
}

void TForm1::Retranslate() {
    RetranslateFileMenus(); // and the caption, with the task's name
    for (int k = 0; k < TabControl1->count(); ++k)
        TabControl1->setTabText(k, Tr(TabControl1->tabData(k).toByteArray().constData()));
    for (QAction* a : {N1, N2, N3, N4, N5, K1, CompareMethods1})
        a->setText(Tr(a->property(kSourceText).toByteArray().constData()));
    settingsMenu_->setTitle(Tr("qirt", "Настройки"));
    Defaults1->setText(Tr("qirt", "Настройки по умолчанию"));
    helpMenu_->setTitle(Tr("qirt", "Help"));
    Contents1->setText(Tr("qirt", "Contents"));
    About1->setText(Tr("qirt", "About..."));

    for (auto [label, text] : {std::pair{Label1, UI_TEXT("qirt", "Минимизируемая функция")},
                               std::pair{Label2, UI_TEXT("qirt", "Точность по переменным")},
                               std::pair{Label3, UI_TEXT("qirt", "Точность по значениям функции")}}) {
        label->setText(Tr(text));
        label->adjustSize();
    }
    for (auto [label, text] : {std::pair{Label4, UI_TEXT("qirt", "Количество переменных")},
                               std::pair{Label5, UI_TEXT("qirt", "Начальное приближение")},
                               std::pair{Label6, UI_TEXT("qirt", "Шаг при дифференцировании")},
                               std::pair{Label7, UI_TEXT("qirt", "Максимальное число итераций")}}) {
        label->setText(Tr(text));
        stretcher_->Resize(label, label->sizeHint());
    }
    // Captions get the room their font needs, at least the designed one.
    for (auto [button, text, designed] :
         {std::tuple{static_cast<QAbstractButton*>(CheckBox1), UI_TEXT("qirt", "Задана область(да/нет)"), 153},
          std::tuple{static_cast<QAbstractButton*>(CheckBox2), UI_TEXT("qirt", "График расширенной функции"), 185},
          std::tuple{static_cast<QAbstractButton*>(Button1), UI_TEXT("qirt", "Начать вычисления"), 113}}) {
        button->setText(Tr(text));
        button->resize(std::max(designed, button->sizeHint().width()), button->height());
    }
    // The words among the choices of the fields; a field showing one of
    // them shows it in the new language.
    for (auto [box, text] : {std::pair{ComboBox3, kAutomaticCount}, std::pair{ComboBox5, kSymbolicStepText}}) {
        const bool shown = box->currentText() == box->itemText(0);
        const QSignalBlocker block(box);
        box->setItemText(0, Tr(text));
        if (shown) {
            box->setEditText(Tr(text));
            box->lineEdit()->setCursorPosition(0);
        }
    }
    if (help_) ShowHelpTexts();
    // The window is as wide as its menu, so that every family can be chosen.
    QWidget* client = centralWidget();
    client->setMinimumWidth(std::max(478, menuBar()->sizeHint().width()));
    if (client->width() < client->minimumWidth()) client->resize(client->minimumWidth(), client->height());
    if (width() < minimumSizeHint().width()) resize(minimumSizeHint().width(), height());
    stretcher_->Apply();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        Retranslate(); // every text, the labels' included
        const TLanguage language = Translations ? Translations->Current() : TLanguage::Russian;
        (language == TLanguage::English ? English1 : Russian1)->setChecked(true);
    }
    QMainWindow::changeEvent(event);
}

void TForm1::ChooseLanguage(TLanguage language) {
    if (!Translations || !Translations->Set(language)) {
        (Translations && Translations->Current() == TLanguage::English ? English1 : Russian1)->setChecked(true);
        return;
    }
    if (Settings) Settings->RememberLanguage(language);
}

void TForm1::ShowHelpTexts() {
    help_->setWindowTitle(Tr("qirt", "Справка — qirt.HLP"));
    QFile page(Tr("qirt", ":/help/qirt_help.html"));
    if (page.open(QIODevice::ReadOnly)) help_->setHtml(QString::fromUtf8(page.readAll()));
}

std::string TForm1::EngineStepText() const {
    return EngineWord(ComboBox5->currentText(), {kSymbolicStepText});
}

void TForm1::FormCreate() {
    ComboBox1->setEditText(QStringLiteral("1e-7"));
    ComboBox2->setEditText(QStringLiteral("1e-7"));
    {
        const QSignalBlocker block(ComboBox3); // the start point is set next
        ComboBox3->setEditText(Tr(kAutomaticCount));
    }
    ComboBox5->setEditText(Tr(kSymbolicStepText));
    ComboBox5->lineEdit()->setCursorPosition(0);
    Edit2->setText(QStringLiteral("3,4,0,0,0,0,0,0,0,0"));
    History.Read();
    {
        const QSignalBlocker block(ComboBox4);
        ComboBox4->setModel(new THistoryModel(History, 0, ComboBox4));
        // Rows of one height: the list lays out millions of formulas
        // without measuring each.
        if (auto* list = qobject_cast<QListView*>(ComboBox4->view())) list->setUniformItemSizes(true);
        // The drop-down shows whole formulas, as wide as the longest one
        // up to the screen's width, and cuts at the end (the beginnings
        // tell formulas apart); every item's tooltip holds it whole.
        ComboBox4->view()->setTextElideMode(Qt::ElideRight);
        const std::size_t lines = History.LineCount();
        if (lines > 0) {
            const QString longest = Cp1251ToQString(History.Line(History.LongestLine()));
            const int screen = ComboBox4->screen() ? ComboBox4->screen()->availableGeometry().width() : 1024;
            const int wanted = ComboBox4->fontMetrics().horizontalAdvance(longest) + 40;
            ComboBox4->view()->setMinimumWidth(std::min(wanted, screen - 20));
        }
        if (lines > kCompletionLines)
            ComboBox4->completer()->setModel(
                new THistoryModel(History, lines - kCompletionLines, ComboBox4->completer()));
    }
    ComboBox4->setEditText(ComboBox4->itemText(0));
    ComboBox4->lineEdit()->setCursorPosition(0);
    MethodFamily = family::FirstOrder;
    S.ConditionCount = 0;
}

void TForm1::ChooseFamily(int number) {
    const TFamily& f = Family(number);
    MethodFamily = number;
    caption_ = f.Caption;
    ShowTaskName();
    const int selected = TabControl1->currentIndex();
    while (TabControl1->count() > 1) TabControl1->removeTab(1);
    TabControl1->setTabText(0, Tr(f.Tabs[0]));
    TabControl1->setTabData(0, QByteArray(f.Tabs[0]));
    for (std::size_t k = 1; k < f.Tabs.size(); ++k)
        TabControl1->setTabData(TabControl1->addTab(Tr(f.Tabs[k])), QByteArray(f.Tabs[k]));
    // The run needs a tab of this family: keep the one selected if it is
    // still there, else take the first.
    TabControl1->setCurrentIndex(f.SelectFirst || selected < 0 || selected >= TabControl1->count()
                                     ? 0
                                     : selected);
    Label6->setVisible(f.Step);
    ComboBox5->setVisible(f.Step);
    Label7->setVisible(f.Iterations);
    ComboBox6->setVisible(f.Iterations);
    if (f.Iterations) ComboBox6->setEditText(ComboBox6->itemText(0));
    Label5->setVisible(f.Start);
    Edit2->setVisible(f.Start);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(ComboBox1),
                       static_cast<QWidget*>(Label3), static_cast<QWidget*>(ComboBox2)})
        w->setVisible(f.Accuracies);
}

void TForm1::RestoreDefaults() {
    ChooseLanguage(TLanguage::Russian);
    if (Settings) Settings->Clear();
    ComboBox1->setEditText(QStringLiteral("1e-7"));
    ComboBox2->setEditText(QStringLiteral("1e-7"));
    ComboBox5->setEditText(Tr(kSymbolicStepText));
    ComboBox5->lineEdit()->setCursorPosition(0);
    TabControl1->setCurrentIndex(0);
    ChooseFamily(family::FirstOrder);
    resize(minimumSizeHint());
}

void TForm1::N1Click() { ChooseFamily(family::ZeroOrder); }
void TForm1::N2Click() { ChooseFamily(family::FirstOrder); }
void TForm1::N3Click() { ChooseFamily(family::Newton); }
void TForm1::N4Click() { ChooseFamily(family::VariableMetric); }
void TForm1::N5Click() { ChooseFamily(family::Statistical); }
void TForm1::K1Click() { ChooseFamily(family::GraphOnly); }

void TForm1::ComboBox3Change() {
    bool ok = false;
    int n = ComboBox3->currentText().toInt(&ok);
    if (!ok || n < 1 || n > 10 || ComboBox3->currentText() != QString::number(n)) n = 10;
    QStringList zeros;
    for (int k = 0; k < n; ++k) zeros << QStringLiteral("0");
    Edit2->setText(zeros.join(QLatin1Char(',')));
}

void TForm1::CheckBox1Click() {
    if (CheckBox1->isChecked()) {
        TForm4 region(S, Messages, this);
        if (Settings) Settings->Restore(region);
        region.exec();
        if (Settings) Settings->Remember(region);
        if (S.ConditionCount != 0) {
            S.Function.Conditions = &S.Conditions;
            CheckBox2->show();
        } else {
            CheckBox1->setChecked(false);
            CheckBox1Click();
        }
        return;
    }
    // Off for runs and maps; the list stays for the next time it is ticked.
    S.Function.Conditions = nullptr;
    CheckBox2->hide();
    CheckBox2->setChecked(false);
}

void TForm1::About1Click() {
    if (AboutBox) AboutBox->exec();
}

void TForm1::Contents1Click() {
    if (!help_) {
        help_ = new QTextBrowser(this);
        help_->setWindowFlag(Qt::Window);
        help_->resize(720, 640);
        help_->setOpenExternalLinks(false);
        ShowHelpTexts();
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

TRunInputs TForm1::Inputs() const {
    TRunInputs in;
    in.StepText = EngineStepText();
    in.Formula = Std(ComboBox4->currentText());
    in.VariableCountText = EngineWord(ComboBox3->currentText(), {kAutomaticCount});
    in.StartText = Std(Edit2->text());
    in.VariableAccuracyText = Std(ComboBox1->currentText());
    in.ValueAccuracyText = Std(ComboBox2->currentText());
    in.MethodFamily = MethodFamily;
    in.MethodVariant = TabControl1->currentIndex() + 1;
    in.ExtendedPlot = CheckBox2->isChecked();
    in.RegionStrategy = S.RegionStrategy;
    return in;
}

void TForm1::SaveHistory(const std::string& formula) {
    if (History.SaveFunctionHistory(formula) == TFunctionHistory::TSaved::Failed &&
        !historyWarned_) {
        historyWarned_ = true;
        ShowMessage(Messages, message::HistoryNotWritten, ShowKind::NonModal);
    }
}

void TForm1::Button1Click() {
    const TRunInputs in = Inputs();
    FinishRun(S, Run);
    {
        TRunProgress progress(S, this, ProgressDelayMilliseconds);
        S.Progress = &progress;
        StartRun(S, in, Run);
        S.Progress = nullptr;
    }
    switch (Run.Status) {
    case TRunStatus::NotStarted: return;
    case TRunStatus::Done:
    case TRunStatus::NoMethod: break;
    default: // the message is shown; nothing of the run stays
        FinishRun(S, Run);
        return;
    }
    // The formula is remembered as soon as it ran, before the map is shown:
    // a program ended while the graph window is open keeps it.
    SaveHistory(in.Formula);
    LastRunCompared = false; // a task saved now is of this one method
    if (Run.Status == TRunStatus::Done) Form3_aktion();
    FinishRun(S, Run);
}

void TForm1::CompareMethods1Click() {
    TCompareDialog dialog(this);
    // The methods compared last (or a task's) stay ticked.
    if (!ComparedMethods.empty())
        for (int k = 0; k < kMethodCount; ++k)
            dialog.Boxes[k]->setChecked(std::find(ComparedMethods.begin(), ComparedMethods.end(), k) !=
                                        ComparedMethods.end());
    if (CompareShown) CompareShown(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<int> chosen = dialog.Chosen();
    if (chosen.empty()) return;
    ComparedMethods = chosen;
    LastRunCompared = true;
    const TRunInputs in = Inputs();
    FinishRun(S, Run);
    std::vector<TComparisonRow> rows;
    {
        TCompareProgress progress(S, this, ProgressDelayMilliseconds);
        rows = qirt::CompareMethods(S, in, chosen, &progress);
    }
    if (!PrepareComparisonMap(S, in, rows, Run)) { // every run refused: their messages are shown
        FinishRun(S, Run);
        return;
    }
    SaveHistory(in.Formula);
    const TComparisonRow* best = BestRow(rows);
    ShowGraph(*best, true, Tr(kMethods[best->Method].Caption), &rows);
    FinishRun(S, Run);
}

void TForm1::Form3_aktion() {
    const bool results = Run.MethodFamily != family::GraphOnly;
    ShowGraph(Run.Result, results, TabControl1->tabText(Run.MethodVariant - 1), nullptr);
}

void TForm1::ShowGraph(const TRunResult& result, bool results, const QString& method,
                       const std::vector<TComparisonRow>* compared) {
    const Vector& point = result.Point;
    const int lastIndex = result.LastIndex;
    S.FoundPoint = point;
    // After a strategy the map shades what lies outside the region; a plain
    // penalised run shows the plain map (either can be switched in "Вид").
    S.ShadeOutside = result.Region.Present && result.Region.Strategy != TRegionStrategy::Single;
    if (compared)
        for (const TComparisonRow& r : *compared)
            if (r.Region.Present && r.Region.Strategy != TRegionStrategy::Single) S.ShadeOutside = true;
    // A task's map looks as the task says (as the graph window was left).
    if (HaveTaskView) {
        S.ShadeOutside = TaskView.Shade;
        S.MapFilled = TaskView.Look.Filled;
        S.MapLevelLines = TaskView.Look.LevelLines;
    }
    TForm3 graph(S, this);
    S.CurrentLastIndex = static_cast<Byte>(lastIndex);
    graph.FillXAxisList(QStringLiteral("x[1]"), S.CurrentLastIndex);
    graph.FillYAxisList(QStringLiteral("x[0]"), S.CurrentLastIndex);
    graph.label1->setText(Tr("qirt", "Исследуемая функция:"));
    graph.Label14->setText(ComboBox4->currentText());
    graph.Label3->setText(Tr("qirt", "Найденный минимум:"));
    for (int i = 0; i < 10; ++i) {
        QListWidgetItem* item = graph.ListBox1->item(i);
        item->setText(results && i <= lastIndex ? Text(point[i]) : QString());
        item->setToolTip(item->text()); // the whole coordinate, however narrow the list
    }
    graph.Label15->setText(results ? Text(result.Minimum) : QString());
    graph.Label17->setText(results ? Text(result.Iterations) : QString());
    graph.Label19->setText(results ? Text(Real(result.Evaluations)) : QString());
    graph.SingleRunGradient = result.GradientNorm;
    graph.Label23->setText(results ? GradientText(result.GradientNorm) : QString());
    graph.Label24->setText(results ? Tr(EndText(result.End)) : QString());
    graph.SingleRunRegion = results ? result.Region : TRegionReport{};
    graph.SingleRunLog = results ? result.Log : nullptr;
    graph.SingleRunMethod = result.Method;
    graph.RunInputs = Inputs();
    graph.HaveRunInputs = true;
    graph.showBasins->setEnabled(results);
    // A strategy's verdict is about the region: it stands beside the end.
    const bool strategy = results && result.Region.Present && result.Region.Strategy != TRegionStrategy::Single;
    if (strategy)
        graph.Label24->setText(Tr(EndText(result.End)) + QStringLiteral(" · ") + Tr(RegionEndText(result.Region.End)));
    graph.Label20->setText(method);
    graph.Edit1->setText(Text(std::trunc(point[0] - 5.1L)));
    graph.Edit2->setText(Text(std::trunc(point[0] + 5.1L)));
    graph.Edit3->setText(Text(std::trunc(point[1] - 5.1L)));
    graph.Edit4->setText(Text(std::trunc(point[1] + 5.1L)));
    for (QLineEdit* edit : {graph.Edit1, graph.Edit2, graph.Edit3, graph.Edit4})
        edit->setCursorPosition(0); // long numbers show their beginning
    if (compared) {
        std::vector<TShownRun> runs;
        std::vector<TResultRow> table;
        for (const TComparisonRow& r : *compared) {
            TShownRun run;
            run.Name = Tr(kMethods[r.Method].Caption);
            run.Colour = kMethods[r.Method].Colour;
            run.GradientNorm = r.GradientNorm;
            run.Track = r.Track;
            run.Values = r.Values;
            run.Region = r.Region;
            run.Log = r.Log;
            run.Wolfe = UsesWolfeSearch(r.Method);
            run.LastIndex = std::max(r.LastIndex, 0);
            runs.push_back(std::move(run));
            QStringList coordinates;
            for (int i = 0; i <= r.LastIndex; ++i) coordinates << Text(r.Point[i]);
            const bool ran = r.LastIndex >= 0;
            table.push_back({Tr(kMethods[r.Method].Caption), coordinates.join(QStringLiteral("; ")),
                             ran ? Text(r.Minimum) : QString(), ran ? GradientText(r.GradientNorm) : QString(),
                             ran ? QString::number(r.Iterations) : QString(),
                             ran ? QString::number(r.Evaluations) : QString(),
                             ran ? QString::number(r.Seconds, 'f', 4) : QString(),
                             Tr(EndText(r.End)),
                             ran && r.Region.Present ? Text(r.Region.Objective) : QString(),
                             ran && r.Region.Present ? Text(r.Region.Violation) : QString(),
                             ran && r.Region.Present ? Tr(RegionEndText(r.Region.End)) : QString()});
        }
        graph.ShowRuns(std::move(runs), table, *compared);
    }
    if (Settings) Settings->Restore(graph);
    if (HaveTaskView) ApplyView(graph);
    graph.Button1Click();
    if (strategy && !compared) {
        // The outer steps and the multipliers are the answer: shown at once.
        graph.ShowRunPanel(true);
        graph.RunPanel->Tabs->setCurrentWidget(graph.RunPanel->Region);
    }
    if (GraphShown) GraphShown(graph);
    graph.exec();
    if (Settings) Settings->Remember(graph);
    RememberView(graph);
    ReleaseTree(S.Function);
}

} // namespace qirt
