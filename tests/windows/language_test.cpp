// The windows in the language of the run: every text they show is in it
// (no Russian left in an English run) and whole (nothing cut off); the
// language menu switches the open windows at once and back, byte for byte;
// the choice is remembered.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "graph/window/grafik.h"
#include "graph/window/run_panel.h"
#include "graph/widgets/fit.h"
#include "program_fixture.h"
#include "windows/compare_dialog.h"
#include "windows/progress.h"
#include "windows/settings.h"
#include "windows/vvod_obl.h"

using namespace qirt;
using qirt::testing::InEnglish;
using qirt::testing::Program;
using qirt::testing::T;

namespace {

// A text a window shows, where, and whether it shows whole.
struct TShown {
    QString Where, Text;
    bool Cut;
};

QString Name(const QObject* o) {
    return QString::fromLatin1(o->metaObject()->className()) + QLatin1Char(' ') + o->objectName();
}

bool Fits(const QFontMetrics& metrics, const QString& text, int room) {
    return metrics.horizontalAdvance(text) <= room;
}

// Every text the window shows now: its title, its menus, and the texts,
// tooltips, tabs, headings and choices of its visible controls.
QList<TShown> ShownTexts(QWidget* window) {
    QList<TShown> shown;
    auto add = [&](const QObject* o, const QString& text, bool cut) {
        if (!text.isEmpty()) shown.append({Name(o), text, cut});
    };
    add(window, window->windowTitle(), false);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow()) continue;
        add(w, w->toolTip(), false);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            // Elided labels hold results and show them whole as a tooltip.
            const bool elides = dynamic_cast<TElidedLabel*>(label) != nullptr;
            const bool cut = !elides && !label->wordWrap() &&
                             label->sizeHint().width() > label->width();
            add(w, label->text(), cut);
        } else if (auto* push = qobject_cast<QPushButton*>(w)) {
            // A push button's size hint has a least width of the style's;
            // its text needs its own width and a little room.
            QString text = push->text();
            text.remove(QLatin1Char('&'));
            add(w, push->text(), !Fits(push->fontMetrics(), text, push->width() - 6));
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            add(w, button->text(), button->sizeHint().width() > button->width());
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            const int end = tabs->count() ? tabs->tabRect(tabs->count() - 1).right() : 0;
            for (int k = 0; k < tabs->count(); ++k)
                add(w, tabs->tabText(k),
                    end >= tabs->width() ||
                        !Fits(tabs->fontMetrics(), tabs->tabText(k), tabs->tabRect(k).width() - 8));
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            for (int k = 0; k < header->count(); ++k) {
                if (header->isSectionHidden(k)) continue;
                const QString text = header->model()->headerData(k, header->orientation()).toString();
                add(w, text, header->orientation() == Qt::Horizontal &&
                                 !Fits(header->fontMetrics(), text, header->sectionSize(k) - 6));
            }
        } else if (auto* box = qobject_cast<QComboBox*>(w)) {
            for (int k = 0; k < box->count(); ++k) add(w, box->itemText(k), false);
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            add(w, QStringLiteral("menu bar"), bar->sizeHint().width() > bar->width());
            for (QAction* a : bar->actions()) {
                add(bar, a->text(), false);
                if (QMenu* menu = a->menu())
                    for (QAction* item : menu->actions()) add(menu, item->text(), false);
            }
        } else if (auto* browser = qobject_cast<QTextBrowser*>(w)) {
            add(w, browser->toPlainText(), false);
        }
    }
    return shown;
}

// The language menu names itself and each language in both languages.
const QStringList kBilingual = {QString::fromUtf8("Язык / Language"), QString::fromUtf8("Русский")};

// No text left untranslated in an English run; nothing cut in either.
void CheckShown(QWidget* window) {
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    for (const TShown& s : ShownTexts(window)) {
        QVERIFY2(!s.Cut, qPrintable(s.Where + QStringLiteral(" cuts ") + s.Text));
        if (InEnglish() && !kBilingual.contains(s.Text))
            QVERIFY2(!s.Text.contains(cyrillic), qPrintable(s.Where + QStringLiteral(": ") + s.Text));
    }
}

// Every text of a window, to compare before and after a round of languages.
QStringList Snapshot(QWidget* window) {
    QStringList texts;
    for (const TShown& s : ShownTexts(window)) texts << s.Where + QLatin1Char('|') + s.Text;
    return texts;
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowInEveryFamily() {
        Program p;
        TForm1& w = *p.form1;
        CheckShown(&w); // as it opens, before a family is chosen
        for (void (TForm1::*choose)() : {&TForm1::N1Click, &TForm1::N2Click, &TForm1::N3Click,
                                         &TForm1::N4Click, &TForm1::K1Click}) {
            (w.*choose)();
            CheckShown(&w);
        }
        w.CheckBox2->show(); // shown once a region is given
        CheckShown(&w);
    }

    void graphWindowOfAComparisonWithItsRunPanel() {
        Program p;
        p.Formula("100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
        bool checkedDialog = false, checkedGraph = false;
        p.form1->CompareShown = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                CheckShown(&dialog);
                checkedDialog = true;
                static_cast<TCompareDialog&>(dialog).Compare->click();
            });
        };
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                graph.showRuns->setChecked(true);
                for (int tab = 0; tab < graph.RunPanel->Tabs->count(); ++tab) {
                    graph.RunPanel->Tabs->setCurrentIndex(tab);
                    CheckShown(&graph);
                }
                checkedGraph = true;
                graph.accept();
            });
        };
        p.form1->CompareMethods1->trigger();
        QVERIFY(checkedDialog);
        QVERIFY(checkedGraph);
    }

    void regionWindowWithItsEditRowOpen() {
        Program p;
        TForm4 region(p.S, p.form2.get(), p.form1.get());
        region.show();
        CheckShown(&region);
        region.Button1->click(); // "Добавить" opens the edit row
        CheckShown(&region);
    }

    void messageAboutAndProgressWindows() {
        Program p;
        ShowMessage(p.form2.get(), message::BadStartCoordinate, ShowKind::NonModal, {"2", "a"});
        ShowMessage(p.form2.get(), message::Unbounded, ShowKind::NonModal);
        CheckShown(p.form2.get());
        QCOMPARE(p.form2->Label1->text(),
                 T(message::BadStartCoordinate).arg(QStringLiteral("2"), QStringLiteral("a")) +
                     QLatin1Char('\n') + T(message::Unbounded));
        p.about->show();
        CheckShown(p.about.get());
        TCompareProgress progress(p.S, p.form1.get(), 0);
        progress.MethodStarts(0, 1, kMethodCount);
        QVERIFY(progress.Continue(12, 3.5L));
        QVERIFY(progress.Run().Dialog());
        CheckShown(progress.Run().Dialog());
    }

    void languageMenuSwitchesOpenWindowsAtOnceAndBack() {
        QTemporaryDir dir;
        TProgramSettings settings(
            std::make_unique<QSettings>(dir.filePath("qirt.conf"), QSettings::IniFormat));
        Program p;
        TForm1& w = *p.form1;
        w.Settings = &settings;
        w.N4Click();
        w.TabControl1->setCurrentIndex(2);
        w.Contents1->trigger();
        auto* help = w.findChild<QTextBrowser*>();
        QVERIFY(help);
        ShowMessage(p.form2.get(), message::MissingCoordinates, ShowKind::NonModal);
        const TLanguage first = testing::RunLanguage();
        const TLanguage other = first == TLanguage::English ? TLanguage::Russian : TLanguage::English;
        const QStringList main = Snapshot(&w), message = Snapshot(p.form2.get());
        const QString helpText = help->toPlainText();

        (other == TLanguage::English ? w.English1 : w.Russian1)->trigger();
        QCoreApplication::processEvents(); // the windows get their LanguageChange
        QCOMPARE(settings.Language(), other);
        QVERIFY((other == TLanguage::English ? w.English1 : w.Russian1)->isChecked());
        QCOMPARE(w.TabControl1->currentIndex(), 2); // the choice stays, in the new words
        QCOMPARE(w.TabControl1->tabText(2), T("Бpойдена"));
        QCOMPARE(w.windowTitle(), T("Програмный пакет по исследованиям операций(Методы переменной метрики)"));
        QCOMPARE(w.ComboBox5->currentText(), T("Символьное дифференцирование"));
        QCOMPARE(w.EngineStepText(), std::string(kSymbolicStepText));
        QCOMPARE(p.form2->Label1->text(), T(message::MissingCoordinates));
        QVERIFY(Snapshot(&w) != main);
        QVERIFY(help->toPlainText() != helpText);
        CheckShown(&w);
        // Qt's own texts (its file dialogs' buttons) follow: Russian from
        // Qt's translations, which the set-up installs.
        const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        QCOMPARE(cancel, other == TLanguage::English ? QStringLiteral("Cancel") : QStringLiteral("Отмена"));

        (first == TLanguage::English ? w.English1 : w.Russian1)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(settings.Language(), first);
        QCOMPARE(Snapshot(&w), main);
        QCOMPARE(Snapshot(p.form2.get()), message);
        QCOMPARE(help->toPlainText(), helpText);
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != cancel);
    }

    void aRunTakesTheShownStepAndKindInEitherLanguage() {
        Program p;
        p.Formula("(x[0]-1)^2+(x[1]-2)^2", "0,0");
        QCOMPARE(p.form1->ComboBox5->currentText(), T(kSymbolicStepText));
        bool shown = false;
        p.form1->GraphShown = [&](TForm3& graph) {
            shown = true;
            QVERIFY(qAbs(graph.ListBox1->item(0)->text().toDouble() - 1) < 1e-6);
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(shown);
        QVERIFY(!p.form2->isVisible()); // no refusal of the shown step text

        TForm4 region(p.S, p.form2.get(), p.form1.get());
        region.show();
        region.Button1->click();
        region.Edit1->setText(QStringLiteral("x[0]>=2"));
        QCOMPARE(region.ComboBox1->currentText(), T(kExteriorKind));
        region.ComboBox1->setCurrentIndex(1);
        QCOMPARE(region.ComboBox1->currentText(), T(kInteriorKind));
        region.Button4->click();
        QCOMPARE(p.S.ConditionCount, 1);
        QCOMPARE(region.StringGrid1->item(1, 4)->text(), T(kInteriorKind));
        QCOMPARE(p.S.Conditions.At(1)->PenaltyKind, std::string(kInteriorKind));
    }

    void theLanguageIsRememberedAndAnUnknownOneIgnored() {
        QTemporaryDir dir;
        const QString file = dir.filePath("qirt.conf");
        {
            TProgramSettings settings(std::make_unique<QSettings>(file, QSettings::IniFormat));
            QCOMPARE(settings.Language(), TLanguage::Russian); // nothing stored yet
            settings.RememberLanguage(TLanguage::English);
        }
        {
            TProgramSettings settings(std::make_unique<QSettings>(file, QSettings::IniFormat));
            QCOMPARE(settings.Language(), TLanguage::English);
        }
        for (const char* junk : {"de", "", "EN", "en\n", "\xff\xfe"}) {
            QSettings(file, QSettings::IniFormat).setValue(QStringLiteral("language"), QByteArray(junk));
            TProgramSettings settings(std::make_unique<QSettings>(file, QSettings::IniFormat));
            QCOMPARE(settings.Language(), TLanguage::Russian);
        }
    }
};

QIRT_TEST_MAIN(LanguageTest)
#include "language_test.moc"
