// The program's windows driven as a user drives them: the main window's
// families and fields, runs of every family to the graph window, the
// messages, the region window, the progress dialog, about and help.
#include <functional>

#include "func/messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "graph/window/grafik.h"
#include "graph/window/iteration_model.h"
#include "graph/window/region_panel.h"
#include "graph/window/run_panel.h"
#include "program_fixture.h"
#include "windows/about.h"
#include "windows/interf.h"
#include "windows/mesage.h"
#include "windows/progress.h"
#include "windows/vvod_obl.h"

using namespace qirt;
using qirt::testing::T;
using qirt::testing::Program;

namespace {

// Calls `act` once, from the event loop, as soon as `ready` returns a
// window; the modal loops of the windows under test keep the events going.
void When(std::function<QWidget*()> ready, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ready, act] {
        if (QWidget* w = ready()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

template <class T>
std::function<QWidget*()> Modal() {
    return [] { return qobject_cast<T*>(QApplication::activeModalWidget()); };
}

QStringList Tabs(const QTabBar* bar) {
    QStringList tabs;
    for (int i = 0; i < bar->count(); ++i) tabs << bar->tabText(i);
    return tabs;
}

QString U(const char* text) { return QString::fromUtf8(text); }

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT


private slots:
    void startsWithTheFirstOrderFamily() {
        Program p;
        TForm1& w = *p.form1;
        QCOMPARE(w.windowTitle(), T("Програмный пакет по исследованиям операций(Методы первого порядка)"));
        QCOMPARE(Tabs(w.TabControl1), (QStringList{T("Флетчера-Ривса"), T("Пшеничного"), T("Наискорейшего спуска")}));
        QCOMPARE(w.MethodFamily, 2);
        QCOMPARE(w.ComboBox5->currentText(), T("Символьное дифференцирование"));
        QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("1e-7"));
        QCOMPARE(w.ComboBox2->currentText(), QStringLiteral("1e-7"));
        QCOMPARE(w.ComboBox2->count(), 13);
        QCOMPARE(w.ComboBox3->currentText(), T("Автоопределение"));
        QCOMPARE(w.Edit2->text(), QStringLiteral("3,4,0,0,0,0,0,0,0,0"));
        QVERIFY(!w.N5->isVisible());
        QVERIFY(!w.CheckBox2->isVisible());
        QVERIFY(w.Button1->isDefault());
        QCOMPARE(w.ComboBox4->count(), 1); // no history yet
        // Help: "Contents", a separator, "About...".
        const QList<QAction*> help = w.Contents1->associatedObjects().isEmpty()
                                         ? QList<QAction*>()
                                         : qobject_cast<QMenu*>(w.Contents1->associatedObjects().front())->actions();
        QCOMPARE(help.size(), 3);
        QCOMPARE(help[0], w.Contents1);
        QVERIFY(help[1]->isSeparator());
        QCOMPARE(help[2], w.About1);
        QVERIFY(QFile::exists(p.dir.filePath("funtion.txt"))); // created empty
    }

    void eachFamilyHasItsCaptionTabsAndFields() {
        Program p;
        TForm1& w = *p.form1;
        w.TabControl1->setCurrentIndex(2);
        w.N3->trigger();
        QCOMPARE(w.MethodFamily, 3);
        QCOMPARE(Tabs(w.TabControl1), QStringList{T("Метод Ньютона")});
        QCOMPARE(w.TabControl1->currentIndex(), 0);
        w.N4->trigger();
        QCOMPARE(w.windowTitle(), T("Програмный пакет по исследованиям операций(Методы переменной метрики)"));
        QCOMPARE(Tabs(w.TabControl1), (QStringList{T("Дэвидона-Флетчеpа-Пауэла"), T("Флетчеpа"), T("Бpойдена"),
                                                   T("Бройдена-Флетчера-Гольдфарба-Шанно")}));
        w.TabControl1->setCurrentIndex(3);
        w.N1->trigger(); // three tabs: the fourth cannot stay selected
        QCOMPARE(Tabs(w.TabControl1), (QStringList{T("Метод вpащающихся кооpдинат Розенбpока"), T("Гауса"),
                                                   T("Нелдера-Мида")}));
        QCOMPARE(w.TabControl1->currentIndex(), 0);
        QVERIFY(!w.ComboBox5->isVisible()); // zero order: no step
        w.TabControl1->setCurrentIndex(1);
        w.N2->trigger(); // the second tab is still there
        QCOMPARE(w.TabControl1->currentIndex(), 1);
        QVERIFY(w.ComboBox5->isVisible());
        w.K1->trigger();
        QCOMPARE(Tabs(w.TabControl1), QStringList{T("График функции")});
        for (QWidget* hidden : {static_cast<QWidget*>(w.ComboBox1), static_cast<QWidget*>(w.ComboBox2),
                                static_cast<QWidget*>(w.Edit2), static_cast<QWidget*>(w.ComboBox5)})
            QVERIFY(!hidden->isVisible());
        QVERIFY(w.ComboBox4->isVisible() && w.ComboBox3->isVisible() && w.CheckBox1->isVisible());
        w.N5Click(); // the hidden statistical family
        QVERIFY(w.ComboBox6->isVisible());
        QCOMPARE(w.ComboBox6->currentText(), QStringLiteral("10000"));
        w.N2->trigger();
        QVERIFY(w.ComboBox1->isVisible() && w.Edit2->isVisible() && !w.ComboBox6->isVisible());
    }

    void variableCountFillsTheStartPointWithZeros() {
        Program p;
        TForm1& w = *p.form1;
        w.ComboBox3->setCurrentIndex(3);
        QCOMPARE(w.Edit2->text(), QStringLiteral("0,0,0"));
        w.ComboBox3->setCurrentIndex(0);
        QCOMPARE(w.Edit2->text(), QStringLiteral("0,0,0,0,0,0,0,0,0,0"));
        w.ComboBox3->setEditText(QStringLiteral("1"));
        QCOMPARE(w.Edit2->text(), QStringLiteral("0"));
    }

    // An empty formula or step runs nothing, and the message names the field.
    void emptyFieldsRunNothingAndSaySo() {
        Program p;
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(p.form2->isVisible());
        QCOMPARE(p.form2->Label1->text(), T("Введите функцию: поле функции пусто"));
        QCOMPARE(p.History(), QString());
        p.form2->Button1->click();
        p.Formula("x[0]^2", "1");
        p.form1->ComboBox5->setEditText(QString());
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(p.form2->isVisible());
        QCOMPARE(p.form2->Label1->text(), T(message::EmptyStep));
        QCOMPARE(p.History(), QString());
    }

    void badFormulaShowsBothMessages() {
        Program p;
        p.Formula("x[0]+", "1");
        QString modalText;
        When(Modal<TForm2>(), [&](QWidget* w) {
            modalText = static_cast<TForm2*>(w)->Label1->text();
            static_cast<TForm2*>(w)->Button1->click();
        });
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QCOMPARE(modalText, T("Ошибка формирования дерева"));
        QVERIFY(p.form2->isVisible()); // then shown non-modally with the run's message
        // The run's text first, as it always was; under it where the formula
        // goes wrong, and the formula with a marker in a fixed-width font.
        const QStringList lines = p.form2->Label1->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], T("Ошибка создания дерева"));
        QCOMPARE(lines[1], T("позиция %1: после «%2» нет операнда").arg(5).arg(QStringLiteral("+")));
        QVERIFY(p.form2->Label2->isVisible());
        QCOMPARE(p.form2->Label2->text(), QStringLiteral("x[0]+\n    ^"));
        QVERIFY(p.form2->Label2->font().fixedPitch());
        QCOMPARE(p.History(), QString());
        // The next message without a formula has no excerpt.
        p.form2->hide();
        p.Formula("x[0]+x[1]", "1");
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(p.form2->isVisible());
        QVERIFY(!p.form2->Label2->isVisible());
    }

    void shortStartPointAndConstantFormulas() {
        Program p;
        p.Formula("x[0]+x[1]+x[2]", "3,4");
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QCOMPARE(p.form2->Label1->text(), T("Нехватает переменных"));
        p.Formula("5", "3,4");
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(p.form2->Label1->text().startsWith(T("Функция не содержит переменных: минимизировать нечего")));
        p.Formula("ln(x[0])", "-1");
        p.form1->ComboBox5->setEditText(QStringLiteral("1e-5"));
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QCOMPARE(p.form2->Label1->text(), T("Функция не определена в начальной точке"));
        QCOMPARE(p.History(), QString()); // no run succeeded
    }

    void everyFamilyRunsIntoTheGraphWindow() {
        Program p;
        TForm1& w = *p.form1;
        struct Case {
            void (TForm1::*choose)();
            int tab;
            const char* method;
        };
        const Case cases[] = {{&TForm1::N1Click, 1, "Гауса"},
                              {&TForm1::N2Click, 0, "Флетчеpа-Ривса"},
                              {&TForm1::N3Click, 0, "Метод Ньютона"},
                              {&TForm1::N4Click, 2, "Бpойдена"},
                              {&TForm1::K1Click, 0, "График функции"}};
        for (const Case& c : cases) {
            (w.*c.choose)();
            w.TabControl1->setCurrentIndex(c.tab);
            p.Formula("(x[0]-1)^2+(x[1]-2)^2", "0,0");
            bool shown = false;
            w.GraphShown = [&](TForm3& graph) {
                shown = true;
                QCOMPARE(graph.label1->text(), T("Исследуемая функция:"));
                QCOMPARE(graph.Label14->text(), QStringLiteral("(x[0]-1)^2+(x[1]-2)^2"));
                QCOMPARE(graph.Label3->text(), T("Найденный минимум:"));
                QCOMPARE(graph.Label20->text(), T(c.method));
                if (w.MethodFamily == 6) {
                    QCOMPARE(graph.ListBox1->item(0)->text(), QString());
                    QCOMPARE(graph.Label17->text(), QString());
                    QCOMPARE(graph.Edit1->text(), QStringLiteral("-5"));
                } else {
                    QVERIFY(qAbs(graph.ListBox1->item(0)->text().toDouble() - 1) < 1e-6);
                    QVERIFY(qAbs(graph.ListBox1->item(1)->text().toDouble() - 2) < 1e-6);
                    QCOMPARE(graph.Label17->text(), QString::number(p.S.IterationCount));
                    QVERIFY(!graph.Label19->text().isEmpty());
                    QCOMPARE(graph.Edit1->text(), QStringLiteral("-4"));
                    QCOMPARE(graph.Edit4->text(), QStringLiteral("7"));
                }
                QCOMPARE(graph.ListBox1->item(2)->text(), QString());
                // Remembered already while the map is open.
                QCOMPARE(p.History(), QStringLiteral("(x[0]-1)^2+(x[1]-2)^2\r\n"));
                QTimer::singleShot(0, &graph, &QDialog::accept);
            };
            QTest::mouseClick(w.Button1, Qt::LeftButton);
            QVERIFY2(shown, c.method);
            QCOMPARE(p.S.Function.Root, nullptr); // released after the window closed
        }
        QCOMPARE(p.History(), QStringLiteral("(x[0]-1)^2+(x[1]-2)^2\r\n")); // once
    }

    void statisticalFamilyRunsNothingButKeepsTheFormula() {
        Program p;
        p.form1->N5Click();
        p.Formula("x[0]^2+x[1]^2", "1,1");
        bool shown = false;
        p.form1->GraphShown = [&](TForm3& graph) {
            shown = true;
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(!shown);
        QCOMPARE(p.History(), QStringLiteral("x[0]^2+x[1]^2\r\n"));
    }

    // The message takes the keyboard when it opens, so Enter answers it, and
    // gives it back to where it was when it closes.
    void messageWindowTakesAndGivesBackTheFocus() {
        Program p;
        TForm1& w = *p.form1;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        p.Formula("x[0]^2+x[1]^2", "1,1");
        w.ComboBox1->setEditText(QStringLiteral("abc"));
        w.Edit2->setFocus();
        QVERIFY(w.Edit2->hasFocus());
        w.Button1->click();
        QVERIFY(p.form2->isVisible());
        QTRY_VERIFY(p.form2->Button1->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!p.form2->isVisible());
        QTRY_VERIFY(w.Edit2->hasFocus());
    }

    void messageWindowKeepsTheCauseBesideItsConsequence() {
        Program p;
        TForm2& m = *p.form2;
        m.SetMessage("first");
        QVERIFY(!m.isVisible()); // setting a text shows nothing
        m.ShowNonModal();
        QVERIFY(m.isVisible());
        const int height = m.height();
        m.SetMessage("second");
        m.ShowNonModal();
        m.SetMessage("second"); // again: nothing changes
        m.ShowNonModal();
        QCOMPARE(m.Label1->text(), QStringLiteral("first\nsecond"));
        for (const char* more : {"third", "fourth", "fifth"}) m.SetMessage(more);
        QVERIFY(m.height() > height); // room for every line
        QVERIFY(m.Label1->heightForWidth(m.Label1->width()) <= m.Label1->height());
        QVERIFY(m.Button1->geometry().top() > m.Label1->geometry().bottom());
        QTest::mouseClick(m.Button1, Qt::LeftButton); // "Да" closes it
        QVERIFY(!m.isVisible());
        m.SetMessage("third"); // a closed window starts afresh
        QCOMPARE(m.Label1->text(), QStringLiteral("third"));
        QCOMPARE(m.windowTitle(), T("mesage"));

        // The real case: derivative trees too large to build, the way out,
        // and the run's consequence; then a new run starts a new report.
        QString product = QStringLiteral("x[0]");
        for (int k = 0; k < 400; ++k) product += QStringLiteral("*sin(x[0]+%1)").arg(k);
        p.Formula(product.toUtf8().constData(), "1");
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QCOMPARE(m.Label1->text(), T("Ошибка создания матрицы Гессе") + "\n" + T(message::UseNumericStep) + "\n" +
                                       T("Ошибка создания дерева"));
        p.Formula("5", "1,1");
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(m.Label1->text().startsWith(T("Функция не содержит переменных: минимизировать нечего")));
    }

    void messageOfARunStaysAboveTheGraphWindow() {
        Program p;
        p.form1->N1->trigger(); // Rosenbrock's method
        p.Formula("x[0]+x[1]", "1,1"); // unbounded below: a message, then the map
        bool above = false, answered = false;
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(100, &graph, [&] {
                // The message belongs to the modal graph window: it is in
                // front of it and takes input.
                above = p.form2->isVisible() && p.form2->parentWidget() == &graph &&
                        !p.form2->isHidden();
                // Opened before the graph window, it takes the keyboard back
                // from it, so Enter answers the message; then the graph
                // window has it. (Checked after the window is closed, so
                // that a failure cannot leave it open.)
                const bool focused = QTest::qWaitFor([&] { return p.form2->Button1->hasFocus(); });
                QTest::keyClick(p.form2->Button1, Qt::Key_Return);
                answered = !p.form2->isVisible();
                const bool back = QTest::qWaitFor([&] { return graph.isActiveWindow(); });
                graph.accept();
                QVERIFY(focused);
                QVERIFY(back);
            });
        };
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(above);
        QVERIFY(answered);
        QCOMPARE(p.form2->parentWidget(), p.form1.get()); // back with its owner
        // A message raised while the graph window is open comes to its front.
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                graph.Edit5->setText(QStringLiteral("0"));
                graph.Button1Click();
                above = p.form2->isVisible() && p.form2->parentWidget() == &graph;
                graph.accept();
            });
        };
        p.Formula("x[0]^2+x[1]^2", "1,1");
        above = false;
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(above);
        QCOMPARE(p.form2->Label1->text(), T("Количество цветов должно быть целым числом не меньше 1"));
        QVERIFY(p.form2->isVisible()); // still there after the graph window closed
    }

    void regionWindowAddsChangesAndDeletes() {
        Program p;
        TForm1& w = *p.form1;
        int rowsAfterFive = 0, rowsAfterDelete = 0;
        QStringList row1, row2, row3;
        QString rejected;
        bool editRowOpen = false;
        When(Modal<TForm4>(), [&](QWidget* window) {
            auto* r = static_cast<TForm4*>(window);
            auto add = [&](const char* inequality) {
                r->Button1->click();
                r->Edit1->setText(QString::fromUtf8(inequality));
                r->Button4->click();
            };
            add("x[0]>=-10");
            add("x[1]<=10");
            add("x[0]+x[1]<=15");
            add("x[0]<=20");
            add("x[1]>=-20");
            rowsAfterFive = r->StringGrid1->rowCount();
            r->StringGrid1->setCurrentCell(2, 1);
            r->Button2->click(); // delete row 2: row 3 moves up
            rowsAfterDelete = r->StringGrid1->rowCount();
            r->StringGrid1->setCurrentCell(1, 1);
            r->Button3->click(); // change row 1
            r->Edit1->setText(QStringLiteral("x[0]>=-11"));
            r->Edit2->setText(QStringLiteral("5"));
            r->Button4->click();
            for (int c = 0; c < 5; ++c) {
                row1 << r->Cell(1, c);
                row2 << r->Cell(2, c);
                row3 << r->Cell(4, c);
            }
            // An inequality without a relation: the message, and the row stays open.
            When(Modal<TForm2>(), [&](QWidget* m) {
                rejected = static_cast<TForm2*>(m)->Label1->text();
                static_cast<TForm2*>(m)->Button1->click();
            });
            r->Button1->click();
            r->Edit1->setText(QStringLiteral("x[0]+1"));
            r->Button4->click();
            editRowOpen = r->Edit1->isVisible() && r->Edit1->text() == QStringLiteral("x[0]+1");
            r->Button5->click();
        });
        w.CheckBox1->click();
        QCOMPARE(rowsAfterFive, 6);
        QCOMPARE(rowsAfterDelete, 5);
        QCOMPARE(row1, (QStringList{"1", "x[0]>=-11", "5", "2", T("внешняя")}));
        QCOMPARE(row2, (QStringList{"2", "x[0]+x[1]<=15", "1", "2", T("внешняя")}));
        QCOMPARE(row3, (QStringList{"4", "x[1]>=-20", "1", "2", T("внешняя")}));
        QCOMPARE(rejected, T("Недопустимое неравенство"));
        QVERIFY(editRowOpen);
        QCOMPARE(p.S.ConditionCount, 4);
        QCOMPARE(p.S.Conditions.Size, 4);
        QVERIFY(w.CheckBox1->isChecked());
        QVERIFY(w.CheckBox2->isVisible());

        QCOMPARE(p.S.Function.Conditions, &p.S.Conditions); // in force
        w.CheckBox1->click(); // unticking switches the region off and keeps it
        QCOMPARE(p.S.Conditions.Size, 4);
        QCOMPARE(p.S.Function.Conditions, nullptr);
        QVERIFY(!w.CheckBox2->isVisible());

        // Ticked again, the window shows the conditions as they were; Esc
        // while a row is edited cancels the edit, not the window.
        QStringList again;
        bool openAfterEsc = false;
        When(Modal<TForm4>(), [&](QWidget* window) {
            auto* r = static_cast<TForm4*>(window);
            for (int c = 0; c < 5; ++c) again << r->Cell(1, c);
            r->Button1->click();
            r->Edit1->setText(QStringLiteral("x[0]>=3"));
            QTest::keyClick(r->Edit1, Qt::Key_Escape);
            openAfterEsc = r->isVisible() && !r->Edit1->isVisible();
            r->Button5->click();
        });
        w.CheckBox1->click();
        QCOMPARE(again, row1);
        QVERIFY(openAfterEsc);
        QCOMPARE(p.S.Conditions.Size, 4); // the cancelled row added nothing
        QCOMPARE(p.S.Function.Conditions, &p.S.Conditions);

        // "Очистить" removes them all; closed without a condition, the
        // region is unticked again.
        w.CheckBox1->click();
        When(Modal<TForm4>(), [](QWidget* r) {
            static_cast<TForm4*>(r)->Button6->click();
            static_cast<TForm4*>(r)->Button5->click();
        });
        w.CheckBox1->click();
        QCOMPARE(p.S.Conditions.Size, 0);
        QVERIFY(!w.CheckBox1->isChecked());
        QVERIFY(!w.CheckBox2->isVisible());
    }

    // The region window's choice of strategy reaches the run: the method of
    // multipliers finds the region's minimum (1, 1), and the graph window
    // opens its region tab with the outer steps and the multipliers. A
    // single penalised run keeps the window as it was and says how far
    // outside its answer lies.
    void regionStrategyFindsTheRegionsMinimum() {
        Program p;
        TForm1& w = *p.form1;
        When(Modal<TForm4>(), [&](QWidget* window) {
            auto* r = static_cast<TForm4*>(window);
            QCOMPARE(r->ComboBox2->currentIndex(), 0); // one penalised run unless chosen
            r->Button1->click();
            r->Edit1->setText(QStringLiteral("x[0]+x[1]<=2"));
            r->Button4->click();
            r->Button1->click();
            r->Edit1->setText(QStringLiteral("x[0]>=0.5"));
            r->ComboBox1->setCurrentText(T("внутреняя"));
            r->Button4->click();
            r->ComboBox2->setCurrentIndex(2);
            r->Button5->click();
        });
        w.CheckBox1->click();
        QCOMPARE(p.S.RegionStrategy, TRegionStrategy::Multipliers);
        w.N4->trigger(); // DFP
        p.Formula("(x[0]-3)^2+(x[1]-3)^2", "0,0");
        bool checked = false;
        w.GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                QVERIFY(graph.RunPanel->isVisible());
                QCOMPARE(graph.RunPanel->Tabs->currentWidget(), graph.RunPanel->Region);
                QVERIFY(graph.Label24->text().endsWith(T("минимум в области")));
                QVERIFY(std::fabs(graph.ListBox1->item(0)->text().toDouble() - 1) < 1e-5);
                QVERIFY(std::fabs(graph.ListBox1->item(1)->text().toDouble() - 1) < 1e-5);
                const TRegionPanel& region = *graph.RunPanel->Region;
                QVERIFY(region.Outer->rowCount() >= 2);
                QCOMPARE(region.Conditions->rowCount(), 2);
                QCOMPARE(region.Conditions->item(0, 3)->text(), T("активно"));
                QVERIFY(std::fabs(region.Conditions->item(0, 4)->text().toDouble() - 4) < 1e-2);
                QVERIFY(region.Summary->text().contains(T("минимум в области")));
                QCOMPARE(region.Outer->item(0, 7)->text(), T("сходимость"));
                // The iteration table marks where each outer step starts.
                const QAbstractItemModel& table = *graph.RunPanel->Model;
                QCOMPARE(table.columnCount(), 6);
                QCOMPARE(table.headerData(5, Qt::Horizontal).toString(), T("Внешний шаг"));
                QCOMPARE(table.index(0, 5).data().toString(), QStringLiteral("1"));
                int marked = 0;
                for (int row = 0; row < table.rowCount(); ++row) marked += !table.index(row, 5).data().toString().isEmpty();
                QCOMPARE(marked, region.Outer->rowCount());
                // The map shades what lies outside, with its legend.
                QVERIFY(graph.shadeOutside->isChecked());
                QVERIFY(graph.OutsideLegend->isVisible());
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(checked);

        p.S.RegionStrategy = TRegionStrategy::Single;
        checked = false;
        w.GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                QVERIFY(!graph.RunPanel->isVisible()); // the window as it was
                QVERIFY(!graph.shadeOutside->isChecked());
                QVERIFY(graph.shadeOutside->isEnabled());
                QVERIFY(!graph.OutsideLegend->isVisible());
                QCOMPARE(graph.Label24->text(), T("сходимость"));
                graph.showRuns->trigger();
                const TRegionPanel& region = *graph.RunPanel->Region;
                QVERIFY(graph.RunPanel->Tabs->indexOf(graph.RunPanel->Region) >= 0);
                QCOMPARE(region.Conditions->item(0, 3)->text(), T("нарушено"));
                QVERIFY(region.Conditions->item(0, 4)->text().isEmpty()); // no multipliers
                QVERIFY(region.Outer->isHidden());
                QVERIFY(region.Summary->text().contains(T("минимум функции со штрафами")));
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(checked);
    }

    void longRunsShowProgressAndCanBeStopped() {
        Program p;
        TForm1& w = *p.form1;
        w.ProgressDelayMilliseconds = 0;
        w.TabControl1->setCurrentIndex(2); // steepest descent: 513 iterations on its own
        // Rosenbrock's function made slower by 100 terms that count for nothing.
        QString slow = QStringLiteral("100*(x[1]-x[0]^2)^2+(1-x[0])^2+0*(");
        for (int k = 0; k < 100; ++k) slow += QStringLiteral("sin(x[0])+");
        slow += QStringLiteral("0)");
        p.Formula(slow.toUtf8().constData(), "-1.2,1");
        w.ComboBox5->setEditText(QStringLiteral("1e-5"));
        w.ComboBox1->setEditText(QStringLiteral("1e-15"));
        w.ComboBox2->setEditText(QStringLiteral("1e-15"));
        QString progressText;
        When([] {
                 for (QWidget* top : QApplication::topLevelWidgets())
                     if (top->isVisible() && top->findChild<QPushButton*>() &&
                         top->windowTitle() == T("Идёт поиск минимума"))
                         return top;
                 return static_cast<QWidget*>(nullptr);
             },
             [&](QWidget* dialog) {
                 for (QLabel* label : dialog->findChildren<QLabel*>()) progressText += label->text();
                 dialog->findChild<QPushButton*>()->click();
             });
        int iterations = -1;
        w.GraphShown = [&](TForm3& graph) {
            iterations = graph.Label17->text().toInt();
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(progressText.contains(T("Число итераций: %1").arg(QString())));
        QVERIFY(iterations >= 1 && iterations < 500);
        QCOMPARE(p.S.End, TMethodEnd::Cancelled);
    }

    void aboutAndHelp() {
        Program p;
        int result = -1;
        When(Modal<TAboutBox>(), [&](QWidget* a) {
            auto* about = static_cast<TAboutBox*>(a);
            QCOMPARE(about->ProductName->text(), QStringLiteral("Dravik"));
            QCOMPARE(about->Version->text(), QStringLiteral("Version 1.0"));
            QTest::keyClick(about, Qt::Key_Escape); // the cancel button is OK too
        });
        p.form1->About1->trigger();
        result = p.about->result();
        QCOMPARE(result, int(QDialog::Accepted));

        p.form1->Contents1->trigger();
        auto* help = p.form1->findChild<QTextBrowser*>();
        QVERIFY(help && help->isVisible());
        QVERIFY(help->toPlainText().contains(T("Флетчера-Ривса")));
        QVERIFY(help->toPlainText().contains(T("внешняя")));
    }

    void historyFillsTheFormulaListAtStart() {
        QTemporaryDir dir;
        QFile f(dir.filePath("funtion.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x[0]^2+x[1]^2\r\nsin(x[0])\n");
        f.close();
        QDir::setCurrent(dir.path());
        TSession S;
        TForm1 w(S);
        QCOMPARE(w.ComboBox4->count(), 2);
        QCOMPARE(w.ComboBox4->currentText(), QStringLiteral("x[0]^2+x[1]^2"));
        QCOMPARE(w.ComboBox4->itemText(1), QStringLiteral("sin(x[0])"));
        QDir::setCurrent(QDir::tempPath());
    }

    void historyOfManyLinesCompletesFromTheNewest() {
        QTemporaryDir dir;
        QFile f(dir.filePath("funtion.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int k = 0; k < 120000; ++k) f.write(QByteArray("x[0]^2+") + QByteArray::number(k) + "\r\n");
        f.write("\xE0\xE1\xE2(x[0])\r"); // Windows-1251, CR alone
        f.close();
        QDir::setCurrent(dir.path());
        TSession S;
        TForm1 w(S);
        w.show();
        QCOMPARE(w.ComboBox4->count(), 120001);
        QCOMPARE(w.ComboBox4->itemText(119999), QStringLiteral("x[0]^2+119999"));
        QCOMPARE(w.ComboBox4->itemText(120000), U("абв(x[0])"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.ComboBox4->lineEdit()->setFocus();
        w.ComboBox4->lineEdit()->clear();
        QTest::keyClicks(w.ComboBox4->lineEdit(), QStringLiteral("x[0]^2+11999"));
        QCOMPARE(w.ComboBox4->lineEdit()->text(), QStringLiteral("x[0]^2+119990")); // completed inline
        QDir::setCurrent(QDir::tempPath());
    }

    void historyThatCannotBeWrittenIsToldOnce() {
        Program p;
        QFile::remove(p.dir.filePath("funtion.txt"));
        QVERIFY(QDir(p.dir.path()).mkdir("funtion.txt")); // a folder of that name
        p.form1->N1->trigger(); // zero order: no graph window settings needed
        for (const char* formula : {"x[0]^2+x[1]^2", "(x[0]-1)^2+x[1]^2"}) {
            p.Formula(formula, "1,1");
            p.form2->hide();
            p.form1->GraphShown = [](TForm3& graph) { QTimer::singleShot(0, &graph, &QDialog::accept); };
            QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
            if (QString(formula).startsWith("x")) {
                QVERIFY(p.form2->isVisible());
                QCOMPARE(p.form2->Label1->text(), T("Не удалось записать формулу в файл истории funtion.txt"));
            } else {
                QVERIFY(!p.form2->isVisible()); // once per session
            }
        }
    }
};

QIRT_TEST_MAIN(WindowsTest)
#include "windows_test.moc"
