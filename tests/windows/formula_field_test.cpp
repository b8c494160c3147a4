// The formula field as the user types: the check after a pause and off the
// typing path, its answer in the status bar, a mark and a tip on a formula
// that does not build, and nothing run or remembered until the start button.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "program_fixture.h"
#include "windows/formula_check.h"

using namespace qirt;
using qirt::testing::Program;
using qirt::testing::T;

namespace {

// Types the text into the field as a user does, and waits for its check.
void TypeAndWait(Program& p, const QString& text) {
    QLineEdit* edit = p.form1->ComboBox4->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, text);
    QTRY_VERIFY_WITH_TIMEOUT(!p.form1->FormulaCheckPending(), 20000);
}

QString Info(const Program& p) { return p.form1->FormulaInfo->text(); }

bool Marked(const Program& p) {
    const QLineEdit* edit = p.form1->ComboBox4->lineEdit();
    return edit->palette().color(QPalette::Base) != p.form1->ComboBox4->palette().color(QPalette::Base);
}

} // namespace

class FormulaFieldTest : public QObject {
    Q_OBJECT
private slots:
    void aValidFormulaShowsItsVariablesAndDerivatives() {
        Program p;
        TypeAndWait(p, QStringLiteral("x[0]^2+x[2]"));
        QCOMPARE(Info(p), QStringLiteral("x[0], x[2] — ") + T("%1 переменные").arg(3) + QStringLiteral(" · ") +
                              T("символьные производные"));
        QVERIFY(!Marked(p));
        QVERIFY(p.form1->ComboBox4->lineEdit()->toolTip().isEmpty());
        TypeAndWait(p, QStringLiteral("pi*x[4]^2+1e-3"));
        QCOMPARE(Info(p), QStringLiteral("x[4] — ") + T("%1 переменных").arg(5) + QStringLiteral(" · ") +
                              T("символьные производные"));
        TypeAndWait(p, QStringLiteral("x[0]"));
        QVERIFY(Info(p).startsWith(QStringLiteral("x[0] — ") + T("%1 переменная").arg(1)));
        TypeAndWait(p, QStringLiteral("2+3"));
        QCOMPARE(Info(p), T("в формуле нет переменных"));
    }

    void anInvalidFormulaIsMarkedAndSaysWhereInItsTip() {
        Program p;
        TypeAndWait(p, QStringLiteral("x[0]^2+tan(x[1])"));
        QVERIFY(Marked(p));
        const QString line = T("позиция %1: неизвестная функция «%2» — возможно, %3")
                                 .arg(8)
                                 .arg(QStringLiteral("tan"), QStringLiteral("tg"));
        QCOMPARE(Info(p), line);
        const QString tip = p.form1->ComboBox4->lineEdit()->toolTip();
        QVERIFY2(tip.contains(line.toHtmlEscaped()), qPrintable(tip));
        QVERIFY2(tip.contains(QStringLiteral("x[0]^2+tan(x[1])\n       ^")), qPrintable(tip));
        // Nothing ran: no message, nothing in the history.
        QVERIFY(!p.form2->isVisible());
        QCOMPARE(p.History(), QString());
        // Mended, the mark goes.
        TypeAndWait(p, QStringLiteral("x[0]^2+tg(x[1])"));
        QVERIFY(!Marked(p));
        QVERIFY(p.form1->ComboBox4->lineEdit()->toolTip().isEmpty());
        // Emptied, nothing is said.
        p.form1->ComboBox4->lineEdit()->clear();
        QVERIFY(!p.form1->FormulaCheckPending());
        QCOMPARE(Info(p), QString());
        QVERIFY(!Marked(p));
    }

    // Keys only restart the pause; what is checked is the text the typing
    // stopped at, and an answer for an older text is never shown.
    void onlyTheTextTypingStoppedAtIsChecked() {
        Program p;
        TypeAndWait(p, QStringLiteral("x[0]"));
        QLineEdit* edit = p.form1->ComboBox4->lineEdit();
        QTest::keyClicks(edit, QStringLiteral("+x[9"));
        QVERIFY(p.form1->FormulaCheckPending());
        QCOMPARE(Info(p).left(4), QStringLiteral("x[0]")); // the old answer until the pause
        QTest::keyClicks(edit, QStringLiteral("]"));
        QTRY_VERIFY(!p.form1->FormulaCheckPending());
        QVERIFY(Info(p).startsWith(QStringLiteral("x[0], x[9] — ")));
        QVERIFY(!Marked(p));
    }

    // A formula of 36,000 characters: setting it returns at once, with the
    // check still due, and the window keeps handling its events while the
    // worker checks; then the answer arrives.
    void aLongFormulaIsCheckedOffTheTypingPath() {
        Program p;
        QString formula;
        for (int k = 0; formula.size() < 36000; ++k)
            formula += QStringLiteral("+sin(x[%1])*(x[%2]-1)^2").arg(k % 10).arg((k + 3) % 10);
        formula.remove(0, 1);
        p.form1->ComboBox4->setEditText(formula);
        QVERIFY(p.form1->FormulaCheckPending());
        QCOMPARE(Info(p), QString());
        bool sawWorker = false;
        QTRY_VERIFY_WITH_TIMEOUT((sawWorker |= p.form1->FormulaChecker->Busy(), !p.form1->FormulaCheckPending()),
                                 60000);
        QVERIFY(sawWorker);
        QVERIFY2(Info(p).startsWith(QStringLiteral("x[0], x[1], x[2], x[3], x[4], x[5], x[6], x[7], x[8], x[9] — ")),
                 qPrintable(Info(p)));
        // A fault at its very end is found there.
        p.form1->ComboBox4->setEditText(formula + QStringLiteral("+tan(x[1])"));
        QTRY_VERIFY_WITH_TIMEOUT(!p.form1->FormulaCheckPending(), 60000);
        QVERIFY(Marked(p));
        QVERIFY(Info(p).startsWith(T("позиция %1: неизвестная функция «%2» — возможно, %3")
                                       .arg(formula.size() + 2)
                                       .arg(QStringLiteral("tan"), QStringLiteral("tg"))));
    }

    void theAnswerFollowsTheLanguage() {
        Program p;
        TypeAndWait(p, QStringLiteral("x[0]**2"));
        const QString before = Info(p);
        const TLanguage other = testing::InEnglish() ? TLanguage::Russian : TLanguage::English;
        QVERIFY(testing::Translations().Set(other));
        QTRY_VERIFY2(Info(p) != before, qPrintable(before)); // the change reaches the window as an event
        QCOMPARE(Info(p), T("позиция %1: знак «%2» там, где ожидается операнд — возможно, %3")
                              .arg(6)
                              .arg(QStringLiteral("*"), QStringLiteral("^")));
    }
};

QIRT_TEST_MAIN(FormulaFieldTest)
#include "formula_field_test.moc"
