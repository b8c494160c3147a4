// Tasks in the main window as a user handles them: every field saved and
// opened again, a saved task run by qirt-batch as the window runs it,
// refusals that change nothing, Ctrl+S, the recent tasks, a dropped file,
// the examples, and the graph window's view kept with the task.
#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

#include "graph/window/grafik.h"
#include "graph/widgets/fit.h"
#include "program_fixture.h"
#include "methods/method_table.h"
#include "windows/compare_dialog.h"

using namespace qirt;
using qirt::testing::Program;
using qirt::testing::T;

namespace {

// Answers the next modal file dialog with the name given (cancels it for
// an empty name).
void AnswerFileDialog(const QString& name) {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, name] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        if (name.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(name);
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    timer->start();
}

// A file of the folder holding the text; its name.
QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return {};
    return f.fileName();
}

// What the fields of the main window show, in one text.
QString Fields(const TForm1& w) {
    return QStringList{w.windowTitle(), w.TabControl1->tabText(w.TabControl1->currentIndex()),
                       w.ComboBox4->currentText(), w.ComboBox3->currentText(), w.Edit2->text(),
                       w.ComboBox1->currentText(), w.ComboBox2->currentText(), w.ComboBox5->currentText(),
                       QString::number(w.CheckBox1->isChecked()), QString::number(w.CheckBox2->isChecked())}
        .join(QStringLiteral(" | "));
}

// Every field away from its default, a region of two conditions and a
// strategy among them.
void FillEveryField(Program& p) {
    TForm1& w = *p.form1;
    w.N4Click();
    w.TabControl1->setCurrentIndex(3); // BFGS
    w.ComboBox4->setEditText(QStringLiteral("(x[0]-2)^2+(x[1]-1)^2+x[2]^2"));
    w.ComboBox3->setEditText(QStringLiteral("3"));
    w.Edit2->setText(QStringLiteral("3,4,1"));
    w.ComboBox1->setEditText(QStringLiteral("1e-9"));
    w.ComboBox2->setEditText(QStringLiteral("2e-8"));
    w.ComboBox5->setEditText(QStringLiteral("1e-5"));
    p.S.Conditions.AddCondition("x[0]+x[1]<=2", "10", "2", kExteriorKind);
    p.S.Conditions.AddCondition("x[2]>=-5", "0.5", "2", kInteriorKind);
    p.S.ConditionCount = 2;
    p.S.RegionStrategy = TRegionStrategy::Multipliers;
    p.S.Function.Conditions = &p.S.Conditions;
    w.CheckBox1->setChecked(true);
    w.CheckBox2->show();
    w.CheckBox2->setChecked(true);
}

} // namespace

class TasksTest : public QObject {
    Q_OBJECT
private slots:
    void everyFieldSavedOpensAgainAsItWas() {
        QTemporaryDir dir;
        const QString file = dir.filePath("task.qirt");
        QString fields;
        QByteArray json;
        {
            Program p;
            FillEveryField(p);
            QVERIFY(p.form1->SaveTaskTo(file));
            fields = Fields(*p.form1);
            json = TaskJson(p.form1->CurrentTask());
            QVERIFY(p.form1->windowTitle().startsWith(QStringLiteral("task.qirt — ")));
        }
        Program q;
        QVERIFY(q.form1->OpenTask(file));
        QCOMPARE(Fields(*q.form1), fields);
        QCOMPARE(TaskJson(q.form1->CurrentTask()), json);
        // The region is in the session as the region window would have put it.
        QCOMPARE(q.S.Conditions.Size, 2);
        QCOMPARE(q.S.ConditionCount, 2);
        QCOMPARE(q.S.Conditions.Head->Text, std::string("x[0]+x[1]<=2"));
        QCOMPARE(q.S.Conditions.Tail->PenaltyKind, std::string(kInteriorKind));
        QVERIFY(q.S.Function.Conditions == &q.S.Conditions);
        QCOMPARE(q.S.RegionStrategy, TRegionStrategy::Multipliers);
    }

    void aRefusedTaskChangesNothingAndSaysWhy() {
        QTemporaryDir dir;
        Program p;
        FillEveryField(p);
        const QString before = Fields(*p.form1);
        const QByteArray task = TaskJson(p.form1->CurrentTask());
        const struct {
            const char* Name;
            QByteArray Text;
            const char* Reason;
        } cases[] = {
            {"damaged.qirt", "{\"format\": \"qirt-task\", \"version\": 1, \"formula\": ", "файл повреждён: это не JSON (%1, символ %2)"},
            {"newer.qirt", "{\"format\": \"qirt-task\", \"version\": 3, \"formula\": \"x[0]\"}",
             "задача записана более новой версией программы (версия %1; эта версия программы читает задачи версий до %2 включительно)"},
            {"types.qirt", "{\"format\": \"qirt-task\", \"version\": 1, \"formula\": [\"x[0]\"]}", "поле «%1» должно быть %2"},
            {"method.qirt", "{\"format\": \"qirt-task\", \"version\": 1, \"formula\": \"x[0]\", \"method\": \"simplex\"}",
             "неизвестный метод «%1»"},
            {"long.qirt",
             "{\"format\": \"qirt-task\", \"version\": 1, \"formula\": \"" + QByteArray(kMaxTaskText + 1, 'x') + "\"}",
             "поле «%1» длиннее %2 символов"},
        };
        for (const auto& c : cases) {
            const QString file = WriteFile(dir, c.Name, c.Text);
            QVERIFY(!file.isEmpty());
            p.form2->hide();
            QVERIFY(!p.form1->OpenTask(file));
            QVERIFY(p.form2->isVisible());
            const QString pattern = T(c.Reason);
            const QString said = p.form2->Label1->text();
            QVERIFY2(said.contains(QLatin1String(c.Name)), qPrintable(said));
            QVERIFY2(said.contains(pattern.left(pattern.indexOf(QLatin1Char('%')))), qPrintable(said));
            QCOMPARE(Fields(*p.form1), before);
            QCOMPARE(TaskJson(p.form1->CurrentTask()), task);
            QVERIFY(p.form1->RecentTasks.isEmpty());
        }
    }

    // Ctrl+S asks for a name the first time only; "save as" always asks and
    // a cancelled dialog writes nothing.
    void saveAsksForANameOnceAndSaveAsAlways() {
        QTemporaryDir dir;
        Program p;
        QVERIFY(QTest::qWaitForWindowActive(p.form1.get())); // for the shortcuts
        p.Formula("x[0]^2+x[1]^2", "1,1");
        AnswerFileDialog(dir.filePath("first"));
        p.form1->SaveTask1->trigger();
        QVERIFY(QFile::exists(dir.filePath("first.qirt"))); // the suffix added
        QCOMPARE(p.form1->TaskFileName, dir.filePath("first.qirt"));

        p.Formula("x[0]^4+x[1]^2", "1,1");
        bool asked = false;
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                asked = true;
                modal->close();
            }
        });
        guard.start(10);
        p.form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.form1.get()));
        QTest::keyClick(p.form1->windowHandle(), Qt::Key_S, Qt::ControlModifier);
        guard.stop();
        QVERIFY(!asked);
        TTask saved;
        QString error;
        QVERIFY(LoadTask(dir.filePath("first.qirt"), saved, error));
        QCOMPARE(saved.Run.Formula, std::string("x[0]^4+x[1]^2"));

        AnswerFileDialog(QString());
        p.form1->SaveTaskAs1->trigger();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
        AnswerFileDialog(dir.filePath("second.qirt"));
        p.form1->SaveTaskAs1->trigger();
        QVERIFY(QFile::exists(dir.filePath("second.qirt")));
        QCOMPARE(p.form1->RecentTasks,
                 QStringList({dir.filePath("second.qirt"), dir.filePath("first.qirt")}));

        // Ctrl+O opens through the dialog.
        p.Formula("x[0]", "1");
        AnswerFileDialog(dir.filePath("first.qirt"));
        p.form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.form1.get()));
        QTest::keyClick(p.form1->windowHandle(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(p.form1->ComboBox4->currentText(), QStringLiteral("x[0]^4+x[1]^2"));
        QCOMPARE(p.form1->TaskFileName, dir.filePath("first.qirt"));
    }

    // The last eight tasks, the latest first, each once; one that is gone
    // leaves the list when chosen.
    void theRecentTasksKeepTheLastEight() {
        QTemporaryDir dir;
        Program p;
        p.Formula("x[0]^2+x[1]^2", "1,1");
        for (int k = 1; k <= 10; ++k) QVERIFY(p.form1->SaveTaskTo(dir.filePath(QStringLiteral("t%1.qirt").arg(k))));
        QVERIFY(p.form1->OpenTask(dir.filePath("t5.qirt")));
        QCOMPARE(p.form1->RecentTasks.size(), TForm1::kRecentTasks);
        QCOMPARE(p.form1->RecentTasks.front(), dir.filePath("t5.qirt"));
        QCOMPARE(p.form1->RecentTasks.count(dir.filePath("t5.qirt")), 1);
        QVERIFY(!p.form1->RecentTasks.contains(dir.filePath("t2.qirt")));
        const QList<QAction*> items = p.form1->RecentMenu->actions();
        QCOMPARE(items.size(), TForm1::kRecentTasks);
        QCOMPARE(items[1]->text(), QStringLiteral("&2 t10.qirt"));

        p.Formula("x[0]", "1");
        items[1]->trigger();
        QCOMPARE(p.form1->ComboBox4->currentText(), QStringLiteral("x[0]^2+x[1]^2"));
        QCOMPARE(p.form1->TaskFileName, dir.filePath("t10.qirt"));

        QVERIFY(QFile::remove(dir.filePath("t9.qirt")));
        p.form2->hide();
        p.form1->RecentMenu->actions().at(2)->trigger();
        QVERIFY(p.form2->isVisible());
        QVERIFY(!p.form1->RecentTasks.contains(dir.filePath("t9.qirt")));
        QCOMPARE(p.form1->RecentMenu->actions().size(), TForm1::kRecentTasks - 1);
    }

    void aDroppedTaskFileOpensOtherFilesAreNotTaken() {
        QTemporaryDir dir;
        Program p;
        p.Formula("(x[0]-5)^2", "0");
        QVERIFY(p.form1->SaveTaskTo(dir.filePath("dropped.qirt")));
        p.Formula("x[0]", "1");
        auto drop = [&](const QString& file) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(p.form1.get(), &enter);
            if (!enter.isAccepted()) return false;
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(p.form1.get(), &dropped);
            return true;
        };
        QVERIFY(!drop(dir.filePath("notes.txt")));
        QCOMPARE(p.form1->ComboBox4->currentText(), QStringLiteral("x[0]"));
        QVERIFY(drop(dir.filePath("dropped.qirt")));
        QCOMPARE(p.form1->ComboBox4->currentText(), QStringLiteral("(x[0]-5)^2"));
        QCOMPARE(p.form1->TaskFileName, dir.filePath("dropped.qirt"));
    }

    // Every example opens with its note; an example is saved under a new name.
    void everyExampleOpensWithItsNote() {
        Program p;
        const QList<QAction*> examples = p.form1->ExamplesMenu->actions();
        QCOMPARE(examples.size(), 12);
        for (QAction* example : examples) {
            p.form2->hide();
            example->trigger();
            QVERIFY2(!p.form2->isVisible(), qPrintable(p.form2->Label1->text()));
            QVERIFY(!p.form1->ComboBox4->currentText().isEmpty());
            QVERIFY(p.form1->statusBar()->isVisible());
            auto* note = p.form1->statusBar()->findChild<QLabel*>(QStringLiteral("taskNote"));
            QVERIFY(note);
            QCOMPARE(note->text(), example->toolTip());
            QVERIFY(!note->text().isEmpty());
            QVERIFY(p.form1->TaskFileName.isEmpty());
        }
        // A note longer than the status bar ends in "…", whole in its tip.
        auto* note = dynamic_cast<TElidedLabel*>(p.form1->statusBar()->findChild<QLabel*>(QStringLiteral("taskNote")));
        QVERIFY(note);
        QVERIFY(dynamic_cast<TElidedLabel*>(p.form1->FormulaInfo));
        note->setText(QString(300, QLatin1Char('n')));
        QVERIFY(note->width() < note->fontMetrics().horizontalAdvance(note->text()));
        QVERIFY(note->IsElided());
        QTemporaryDir dir;
        AnswerFileDialog(dir.filePath("mine.qirt"));
        p.form1->SaveTask1->trigger(); // an example: "save" asks where
        QVERIFY(QFile::exists(dir.filePath("mine.qirt")));
    }

    // A comparison task ticks its methods in the dialog and is saved as one;
    // after a single run the task is of that one method.
    void aComparisonTaskTicksItsMethods() {
        Program p;
        QVERIFY(p.form1->OpenExample(QStringLiteral(":/examples/compare-all.qirt")));
        QCOMPARE(p.form1->CurrentTask().Compare.size(), std::size_t(kMethodCount));
        QTemporaryDir dir;
        const QString two = WriteFile(dir, "two.qirt",
                                      "{\"format\": \"qirt-task\", \"version\": 1, \"formula\": \"x[0]^2+x[1]^2\", "
                                      "\"compare\": [\"newton\", \"bfgs\"]}");
        QVERIFY(p.form1->OpenTask(two));
        std::vector<int> ticked;
        p.form1->CompareShown = [&](QDialog& dialog) {
            ticked = static_cast<TCompareDialog&>(dialog).Chosen();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        };
        p.form1->CompareMethods1->trigger();
        QCOMPARE(ticked, (std::vector<int>{MethodIndex("newton"), MethodIndex("bfgs")}));
        p.form1->GraphShown = [](TForm3& graph) { QTimer::singleShot(0, &graph, &QDialog::accept); };
        p.form1->Button1->click();
        QVERIFY(p.form1->CurrentTask().Compare.empty());
    }

    // The graph window opens with the task's view, and the view it is left
    // with goes into the task saved next.
    void theGraphWindowOpensWithTheTasksViewAndKeepsTheOneLeft() {
        QTemporaryDir dir;
        const QString file = WriteFile(dir, "view.qirt",
                                       "{\"format\": \"qirt-task\", \"version\": 1, \"formula\": \"x[0]^2+x[1]^2+x[2]^2\", "
                                       "\"start\": \"1,2,3\", \"method\": \"dfp\", \"view\": {\"axes\": [\"x[2]\", \"x[0]\"], "
                                       "\"range\": [\"-1\", \"3\", \"-2\", \"2\"], \"colours\": \"7\", \"style\": \"filled-lines\"}}");
        QVERIFY(!file.isEmpty());
        Program p;
        QVERIFY(p.form1->OpenTask(file));
        QStringList seen;
        p.form1->GraphShown = [&](TForm3& graph) {
            seen << graph.ComboBox1->currentText() << graph.ComboBox2->currentText() << graph.Edit1->text()
                 << graph.Edit2->text() << graph.Edit3->text() << graph.Edit4->text() << graph.Edit5->text()
                 << QString::number(graph.mapFilled->isChecked()) << QString::number(graph.mapLevelLines->isChecked());
            // The user looks elsewhere before closing.
            graph.Edit1->setText(QStringLiteral("-4"));
            graph.Button1Click();
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        p.form1->Button1->click();
        QCOMPARE(seen, QStringList({"x[2]", "x[0]", "-1", "3", "-2", "2", "7", "1", "1"}));
        const TTask task = p.form1->CurrentTask();
        QCOMPARE(task.View.AxisX, 2);
        QCOMPARE(task.View.AxisY, 0);
        QVERIFY(task.View.HaveRange);
        QCOMPARE(double(task.View.Range.XMin), -4.0);
        QCOMPARE(double(task.View.Range.XMax), 3.0);
        QCOMPARE(task.View.Colours, std::string("7"));
        QVERIFY(task.View.Look.Filled && task.View.Look.LevelLines);
    }

    // "Файл → Отчёт…" runs the task in the fields again and writes its report;
    // a comparison task reports every method it compares.
    void theReportOfTheFieldsTask() {
        QTemporaryDir dir;
        Program p;
        QVERIFY(p.form1->OpenExample(QStringLiteral(":/examples/booth.qirt")));
        AnswerFileDialog(dir.filePath("booth"));
        p.form1->Report1->trigger();
        QFile html(dir.filePath("booth.html")); // the first filter's ending
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(html.readAll());
        QVERIFY(text.contains(QStringLiteral("(x[0]+2*x[1]-7)^2+(2*x[0]+x[1]-5)^2")));
        QVERIFY(text.contains(T(kMethods[MethodIndex("newton")].Caption).toHtmlEscaped()));
        QVERIFY(text.contains(QStringLiteral("data:image/png;base64,")));
        QVERIFY(!p.form2->isVisible());

        QVERIFY(p.form1->OpenExample(QStringLiteral(":/examples/compare-all.qirt")));
        QVERIFY(p.form1->WriteTaskReport(dir.filePath("all.pdf")));
        QFile pdf(dir.filePath("all.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        // A formula that does not build: no report, the message says why.
        p.Formula("x[0]+", "1");
        p.form1->LastRunCompared = false;
        QTimer answer; // the build's own message is modal
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() == p.form2.get()) p.form2->Button1->click();
        });
        answer.start(10);
        QVERIFY(!p.form1->WriteTaskReport(dir.filePath("bad.html")));
        answer.stop();
        QVERIFY(!QFile::exists(dir.filePath("bad.html")));
        QTRY_VERIFY(p.form2->isVisible());
        QVERIFY(p.form2->Label1->text().contains(T("Ошибка создания дерева")));
    }

    // Without a task the graph window opens as always: around the found point.
    void withoutATaskTheGraphWindowOpensAsAlways() {
        Program p;
        p.form1->N1Click();
        p.Formula("(x[0]-1)^2+(x[1]-2)^2", "0,0");
        QStringList seen;
        p.form1->GraphShown = [&](TForm3& graph) {
            seen << graph.Edit1->text() << graph.Edit2->text() << graph.Edit3->text() << graph.Edit4->text();
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        p.form1->Button1->click();
        p.form1->Button1->click(); // the view left is not forced on the next run
        QCOMPARE(seen, QStringList({"-4", "6", "-3", "7", "-4", "6", "-3", "7"}));
        auto* note = p.form1->findChild<QLabel*>(QStringLiteral("taskNote"));
        QVERIFY(!note || note->text().isEmpty());
    }

    // The task saved from the window, run by qirt-batch, gives the numbers
    // the window showed. Last: under ThreadSanitizer a process that has
    // started another may start no threads of its own afterwards.
    void qirtBatchRunsTheSavedTaskAsTheWindowDoes() {
        QTemporaryDir dir;
        Program p;
        QVERIFY(p.form1->OpenExample(QStringLiteral(":/examples/exterior-region.qirt")));
        QStringList shown;
        p.form1->GraphShown = [&](TForm3& graph) {
            for (int i = 0; i < 2; ++i) shown << graph.ListBox1->item(i)->text();
            shown << graph.Label15->text() << graph.Label17->text() << graph.Label19->text();
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        p.form1->Button1->click();
        QCOMPARE(shown.size(), 5);
        const QString file = dir.filePath("run.qirt");
        QVERIFY(p.form1->SaveTaskTo(file));
        QProcess batch;
        batch.start(QStringLiteral(QIRT_BATCH), {QStringLiteral("--task"), file});
        QVERIFY(batch.waitForFinished(60000));
        QCOMPARE(batch.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(batch.readAllStandardOutput()).split(QLatin1Char('\n'));
        auto line = [&](const char* key) {
            for (const QString& l : lines)
                if (l.startsWith(QLatin1String(key) + QLatin1String(": "))) return l.mid(int(strlen(key)) + 2);
            return QString();
        };
        QCOMPARE(line("point"), shown[0] + QLatin1Char(',') + shown[1]);
        QCOMPARE(line("minimum"), shown[2]);
        QCOMPARE(line("iterations"), shown[3]);
        QCOMPARE(line("evaluations"), shown[4]);
    }
};

QIRT_TEST_MAIN(TasksTest)
#include "tasks_test.moc"
