// Nothing typed or computed is cut off without a way to see it whole: the
// windows grow with fields that stretch, labels elide with "…", every cut
// text shows its whole as a tooltip, and a formula of any length reaches
// the engine whole.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "graph/window/grafik.h"
#include "program_fixture.h"
#include "methods/session.h"
#include "graph/widgets/fit.h"
#include "windows/interf.h"
#include "windows/mesage.h"
#include "windows/vvod_obl.h"

using namespace qirt;
using qirt::testing::T;
using qirt::testing::Program;

namespace {

// A formula of `terms` squares, about 12 characters each.
QString LongFormula(int terms) {
    QStringList parts;
    for (int k = 0; k < terms; ++k) parts << QStringLiteral("(x[%1]-%2)^2").arg(k % 2).arg(k);
    return parts.join(QLatin1Char('+'));
}


// The text a tooltip shows, markup and break chances taken out.
QString Plain(QString tip) {
    tip.remove(QChar(0x200B));
    tip.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return tip.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

// The plain text of the tip of a text: the whole, or of a very long one its
// beginning and end with its length.
QString TipOf(const QString& text) {
    if (text.size() <= qirt::kTipHead + qirt::kTipTail + 50) return text;
    return text.left(qirt::kTipHead) + QStringLiteral(" … ") + text.right(qirt::kTipTail) +
           Plain(T("<p>(%1 символов)</p>").arg(text.size()));
}

} // namespace

class FitTest : public QObject {
    Q_OBJECT


private slots:
    void longFormulaReachesTheEngineWholeAndShowsAsTip() {
        Program p;
        TForm1& w = *p.form1;
        const QString formula = LongFormula(3000); // about 36,000 characters
        QVERIFY(formula.size() > 32767);
        w.ComboBox4->setEditText(formula);
        QCOMPARE(w.ComboBox4->currentText(), formula); // no cut at the field's default limit
        QCOMPARE(Plain(CutTextTip(w.ComboBox4)), TipOf(formula));
        QVERIFY(Plain(CutTextTip(w.ComboBox4)).size() < 700); // never a screenful
        w.Edit2->setText(QStringLiteral("0,0"));
        w.N1->trigger(); // Gauss: no derivative trees for so long a formula
        w.TabControl1->setCurrentIndex(1);
        QString shown;
        w.GraphShown = [&](TForm3& graph) {
            shown = graph.Label14->text();
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(shown, formula);
        QFile history(p.dir.filePath("funtion.txt"));
        QVERIFY(history.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(history.readAll()), formula + QStringLiteral("\r\n"));
    }

    void mainWindowFieldsStretchAndTellWhatTheyCut() {
        Program p;
        TForm1& w = *p.form1;
        // At the start the window is as wide as its menu and the fields use it.
        QVERIFY(w.ComboBox4->width() > 145);
        QVERIFY(w.ComboBox5->lineEdit()->fontMetrics().horizontalAdvance(w.ComboBox5->currentText()) <
                w.ComboBox5->lineEdit()->width());
        QVERIFY(CutTextTip(w.ComboBox5).isEmpty()); // "Символьное дифференцирование" fits
        const int formulaWidth = w.ComboBox4->width();
        const QRect right = w.ComboBox3->geometry();
        w.resize(w.width() + 200, w.height() + 50);
        QApplication::processEvents();
        QCOMPARE(w.ComboBox4->width(), formulaWidth + 100);
        QCOMPARE(w.ComboBox3->x(), right.x() + 100);
        QCOMPARE(w.ComboBox3->width(), right.width() + 100);
        QVERIFY(w.ComboBox3->x() > w.ComboBox4->geometry().right()); // the columns stay apart
        QCOMPARE(w.TabControl1->width(), w.centralWidget()->width() - 5);
        // Nothing cut, no tip; a cut text shows whole.
        w.ComboBox4->setEditText(QStringLiteral("x[0]^2"));
        QVERIFY(CutTextTip(w.ComboBox4).isEmpty());
        const QString formula = LongFormula(250); // about 3,000 characters
        w.ComboBox4->setEditText(formula);
        QCOMPARE(Plain(CutTextTip(w.ComboBox4)), TipOf(formula));
    }

    void formulaListShowsWholeFormulas() {
        QTemporaryDir dir;
        QFile f(dir.filePath("funtion.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QString a = QStringLiteral("x[0]^2+") + LongFormula(8) + QStringLiteral("+1");
        const QString b = QStringLiteral("x[0]^2+") + LongFormula(8) + QStringLiteral("+2");
        f.write((a + "\r\n" + b + "\r\n").toLatin1());
        f.close();
        QDir::setCurrent(dir.path());
        TSession S;
        TForm1 w(S);
        w.show();
        // Formulas alike in the middle: the list is as wide as the longest
        // formula, and does not cut out the middle where it must cut.
        const int wanted = w.ComboBox4->fontMetrics().horizontalAdvance(a);
        QVERIFY(w.ComboBox4->view()->minimumWidth() >= wanted);
        QCOMPARE(w.ComboBox4->view()->textElideMode(), Qt::ElideRight);
        QCOMPARE(Plain(w.ComboBox4->model()->index(1, 0).data(Qt::ToolTipRole).toString()), b);
        QDir::setCurrent(QDir::tempPath());
    }

    void graphWindowElidesAndTipsLongResults() {
        Program p;
        TForm1& w = *p.form1;
        w.N1->trigger(); // "Метод вpащающихся кооpдинат Розенбpока", the longest method name
        w.TabControl1->setCurrentIndex(0);
        const QString formula = LongFormula(250);
        w.ComboBox4->setEditText(formula);
        w.Edit2->setText(QStringLiteral("123456789.123456789,-0.000123456789"));
        bool checked = false;
        w.GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                Check(graph);
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(checked);
    }

    // The graph window of the run above, shown.
    void Check(TForm3& graph) {
        QCOMPARE(graph.Label20->text(), T("Метод вpащающихся кооpдинат Розенбpока"));
        for (QLabel* label : {graph.Label14, graph.Label20}) {
            QVERIFY(static_cast<TElidedLabel*>(label)->IsElided());
            QCOMPARE(Plain(CutTextTip(label)), TipOf(label->text()));
        }
        QCOMPARE(graph.ListBox1->item(0)->toolTip(), graph.ListBox1->item(0)->text());
        // Six digits of colours fit their field.
        graph.Edit5->setText(QStringLiteral("100000"));
        QVERIFY(CutTextTip(graph.Edit5).isEmpty());
        // A range of long numbers: the field shows its beginning and tips the whole.
        graph.Edit1->setText(QStringLiteral("-1.2345678901234567e+20"));
        graph.Edit1->setCursorPosition(0);
        QCOMPARE(Plain(CutTextTip(graph.Edit1)), graph.Edit1->text());
        // The window grows: the map grows as a square by the 100 pixels it
        // grew down, the left column widens by the other 200 across and the
        // map moves over.
        const int labelWidth = graph.Label20->width();
        const QPoint map = graph.ScrollBox1->pos();
        graph.resize(graph.width() + 300, graph.height() + 100);
        QApplication::processEvents();
        QCOMPARE(graph.Label20->width(), labelWidth + 200);
        QCOMPARE(graph.ScrollBox1->pos(), map + QPoint(200, 0));
        QCOMPARE(graph.Image1->size(), QSize(600, 600));
        QVERIFY(!static_cast<TElidedLabel*>(graph.Label20)->IsElided());
    }

private slots:
    void regionWindowHeadingsFitAndItsEditRowKeepsToTheColumns() {
        TSession S;
        TForm2 messages;
        TForm4 r(S, &messages);
        r.show();
        QApplication::processEvents();
        QTableWidget* grid = r.StringGrid1;
        for (int c = 0; c < 5; ++c) {
            const QString heading = grid->item(0, c)->text();
            QVERIFY2(grid->fontMetrics().horizontalAdvance(heading) < grid->columnWidth(c),
                     qPrintable(heading));
        }
        auto add = [&](const QString& inequality) {
            r.Button1->click();
            // The edit row lies under the grid, each field under its column
            // and inside the grid's width.
            const int left = grid->x() + grid->frameWidth();
            QCOMPARE(r.Edit1->x(), left + grid->columnViewportPosition(1));
            QCOMPARE(r.Edit2->x(), left + grid->columnViewportPosition(2));
            QCOMPARE(r.ComboBox1->width(), grid->columnWidth(4));
            QVERIFY(r.ComboBox1->geometry().right() <= grid->geometry().right());
            QVERIFY(r.Edit1->y() > grid->geometry().bottom());
            r.Edit1->setText(inequality);
            r.Button4->click();
        };
        for (int k = 1; k <= 5; ++k) add(QStringLiteral("x[0]<=%1").arg(k));
        QTest::qWait(50);
        // The fifth condition is scrolled into view.
        const QRect fifth = grid->visualItemRect(grid->item(5, 1));
        QVERIFY(grid->horizontalHeader()->isVisible()); // the headings stay in place
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), T("Коэффициент"));
        QVERIFY2(grid->viewport()->rect().contains(fifth),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6 rows %7").arg(fifth.x()).arg(fifth.y()).arg(fifth.width()).arg(fifth.height()).arg(grid->viewport()->width()).arg(grid->viewport()->height()).arg(grid->rowCount())));
        // A long inequality shows whole as its cell's tip.
        const QString longOne = LongFormula(40) + QStringLiteral("<=1000");
        add(longOne);
        QCOMPARE(Plain(grid->item(6, 1)->toolTip()), TipOf(longOne));
        QCOMPARE(r.Edit1->maxLength(), std::numeric_limits<int>::max());
        // Growing, the grid widens and the edit row follows its columns.
        r.resize(r.width() + 200, r.height() + 60);
        QApplication::processEvents();
        r.Button1->click();
        QCOMPARE(r.Edit2->x(), grid->x() + grid->frameWidth() + grid->columnViewportPosition(2));
        QVERIFY(r.Button1->x() > grid->geometry().right());
    }
};

QIRT_TEST_MAIN(FitTest)
#include "fit_test.moc"
