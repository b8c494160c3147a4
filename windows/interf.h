// The main window: the formula, accuracies, variable count, start point and
// differentiation step on a tab strip whose tabs name the methods of the
// family chosen in the main menu; "Начать вычисления" runs the method and
// shows the result in the graph window.
#pragma once

#include <functional>

#include <QMainWindow>

#include "graph/language/language.h"
#include "graph/task/task.h"
#include "methods/compare.h"
#include "methods/run.h"
#include "windows/history.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTextBrowser;
class QTimer;

namespace qirt {

class TForm2;
class TAboutBox;
class TFormulaChecker;
class TForm3;
class TProgramSettings;
class TStretcher;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(TSession& session, QWidget* parent = nullptr);
    ~TForm1() override;

    QTabBar* TabControl1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3, *ComboBox4, *ComboBox5, *ComboBox6;
    QLineEdit* Edit2;
    QCheckBox *CheckBox1, *CheckBox2;
    QPushButton* Button1;
    QAction *N1, *N2, *N3, *N4, *N5, *K1, *Contents1, *About1;
    QAction* CompareMethods1; // "Сравнить методы…"
    // "Файл": tasks (open, save, save as, the last ones) and the report;
    // "Примеры": the problems shipped with the program.
    QMenu *FileMenu, *RecentMenu, *ExamplesMenu;
    QAction *OpenTask1, *SaveTask1, *SaveTaskAs1;
    QAction* Report1; // the report of the task in the fields, run again

    // The run state of the window.
    int MethodFamily = family::FirstOrder;
    TRun Run;
    // The formulas run before, read at start; ComboBox4's list shows them.
    TFunctionHistory History;

    // Set at program start: the message window and the about window.
    TForm2* Messages = nullptr;
    TAboutBox* AboutBox = nullptr;
    // How long a run goes before its progress dialog shows.
    int ProgressDelayMilliseconds = 500;
    // Called with the graph window just before its modal show (tests close it from here).
    std::function<void(TForm3&)> GraphShown;
    // Called with the comparison dialog before its modal show (tests answer it from here).
    std::function<void(QDialog&)> CompareShown;
    // What is remembered between sessions; none in tests unless given.
    TProgramSettings* Settings = nullptr;
    QAction* Defaults1; // "Настройки по умолчанию"
    QAction *Russian1, *English1; // the language menu
    // The language of the windows; none in tests unless given (the menu
    // then changes nothing).
    TTranslations* Translations = nullptr;

    // The formula field's check as the user types (after a pause of
    // kCheckPause milliseconds, on a worker): the variables and the
    // derivatives, or where the formula goes wrong, in the status bar; a
    // formula that does not build marks the field and says why in its tip.
    TFormulaChecker* FormulaChecker;
    QLabel* FormulaInfo;
    static constexpr int kCheckPause = 300;
    // True while a check of the field's text is due or under way.
    bool FormulaCheckPending() const;

    // The task in the windows: its file (empty: none yet, or an example,
    // which is saved under a new name), the methods compared last (a task
    // saved after a comparison is one), the view its graph window opens
    // with, and its note.
    QString TaskFileName;
    std::vector<int> ComparedMethods;
    bool LastRunCompared = false;
    TTaskView TaskView;
    bool HaveTaskView = false;   // a task was opened: its graph windows open with TaskView
    bool HaveLastView = false;   // TaskView holds what a graph window showed last
    std::map<std::string, std::string> TaskNotes;
    // The tasks opened or saved last, the latest first (at most kRecentTasks).
    QStringList RecentTasks;
    static constexpr int kRecentTasks = 8;

    // The task the windows hold now.
    TTask CurrentTask() const;
    // Fills every field from the task (it has been read whole and checked).
    void ApplyTask(const TTask& task);
    // Opens the task file into the windows; on a refusal says why and
    // changes nothing.
    bool OpenTask(const QString& fileName);
    // The example's task (a file among the program's resources).
    bool OpenExample(const QString& resource);
    bool SaveTaskTo(const QString& fileName);
    // Runs the task in the fields (its method, or the methods compared
    // last) and writes its report, HTML or PDF by the name's ending.
    bool WriteTaskReport(const QString& fileName);
    void UpdateRecentMenu();

    // The family chosen from the menu, by its number.
    void ChooseFamily(int number);
    // The fields, the family, the language and the size as at the first start.
    void RestoreDefaults();
    // Shows every window in the language (and remembers it).
    void ChooseLanguage(TLanguage language);
    // The step field's text as the engine reads it (the symbolic choice is
    // shown in the language chosen).
    std::string EngineStepText() const;

    void FormCreate();
    void Form3_aktion();

public slots:
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void N5Click();
    void K1Click();
    void ComboBox3Change();
    void CheckBox1Click();
    void About1Click();
    void Contents1Click();
    void Button1Click();
    void CompareMethods1Click();
    void OpenTask1Click();
    void SaveTask1Click();
    void SaveTaskAs1Click();
    void Report1Click();

protected:
    void changeEvent(QEvent* event) override;
    // A .qirt file dropped on the window opens.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Every text of the window in the language chosen.
    void Retranslate();
    void ShowHelpTexts();
    // The inputs of a run as the fields hold them.
    TRunInputs Inputs() const;
    // The graph window over the function object as built, filled with a
    // result, shown modally; the runs of a comparison beside the map.
    void ShowGraph(const TRunResult& result, bool results, const QString& method,
                   const std::vector<TComparisonRow>* compared);
    void SaveHistory(const std::string& formula);
    void BuildLayout();
    void BuildFileMenus();
    void BuildFormulaCheck();
    void RetranslateFileMenus();
    // The caption with the task's file name, and its note in the status bar.
    void ShowTaskName();
    // The formula field's text changed: its check is due after the pause.
    void FormulaEdited();
    void ShowFormulaCheck();
    void RememberRecent(const QString& fileName);
    // Reads the task and fills the windows; says why not when it cannot.
    bool OpenTaskFile(const QString& fileName);
    // Asks for a task file to open or save under; empty when cancelled.
    QString AskTaskFile(bool save);
    // The view the graph window was left with, for the task.
    void RememberView(const TForm3& graph);
    // The task's view on a graph window about to open.
    void ApplyView(TForm3& graph);

    TSession& S;
    QTextBrowser* help_ = nullptr;
    QMenu *settingsMenu_, *helpMenu_;
    const char* caption_; // the window's marked caption
    TStretcher* stretcher_;
    bool historyWarned_ = false; // an unwritable history is told once
    QTimer* checkTimer_;
    // The last check of the field's text (shown again in another language).
    QString checkedText_;
    TFormulaCheck check_;
};

} // namespace qirt
