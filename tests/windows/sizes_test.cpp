// Every window fits the screen it opens on: the main window, the graph
// window with and without its run panel (a single run and a comparison),
// the basins and surface windows, the region window, the comparison
// dialog, the message and about windows and the help. Run once per screen
// (a laptop's 1366 x 768, full HD, and 2560 x 1440 at two device pixels
// per pixel), from the offscreen platform's screen files.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "graph/window/basins_window.h"
#include "graph/window/grafik.h"
#include "graph/window/run_panel.h"
#include "graph/window/surface_window.h"
#include "program_fixture.h"
#include "windows/compare_dialog.h"
#include "windows/settings.h"
#include "windows/vvod_obl.h"

using namespace qirt;
using qirt::testing::Program;

namespace {

// The window's frame within the screen's available area.
bool Fits(const QWidget& w) {
    const QRect room = w.screen()->availableGeometry();
    const QRect frame = w.frameGeometry();
    return frame.width() <= room.width() && frame.height() <= room.height() && room.contains(frame);
}

QString Describe(const QWidget& w) {
    const QRect room = w.screen()->availableGeometry();
    const QRect f = w.frameGeometry();
    return QStringLiteral("%1: %2x%3 at %4,%5 on %6x%7").arg(QString::fromLatin1(w.metaObject()->className()))
        .arg(f.width()).arg(f.height()).arg(f.x()).arg(f.y()).arg(room.width()).arg(room.height());
}

} // namespace

class SizesTest : public QObject {
    Q_OBJECT
private slots:
    void everyWindowFitsTheScreen() {
        Program p;
        TForm1& w = *p.form1;
        QVERIFY2(Fits(w), qPrintable(Describe(w)));
        p.Formula("100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
        bool checked = false;
        w.GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                QVERIFY2(Fits(graph), qPrintable(Describe(graph)));
                // The map has a canvas pixel for every device pixel it covers.
                const qreal ratio = graph.Image1->devicePixelRatioF();
                QCOMPARE(graph.Canvas().Width(), qRound(graph.Image1->width() * ratio));
                QCOMPARE(graph.Canvas().Height(), qRound(graph.Image1->height() * ratio));
                graph.showRuns->trigger();
                QVERIFY2(Fits(graph), qPrintable(Describe(graph)));
                graph.showRuns->trigger();
                graph.showRuns->trigger(); // open, close, open: it never creeps
                QVERIFY2(Fits(graph), qPrintable(Describe(graph)));
                // The windows the graph window opens: the basins and the
                // surface (here without OpenGL, its message instead).
                graph.showBasins->trigger();
                QVERIFY(graph.Basins);
                graph.Basins->Wait();
                QVERIFY2(Fits(*graph.Basins), qPrintable(Describe(*graph.Basins)));
                graph.showSurface->trigger();
                QVERIFY(graph.Surface);
                QVERIFY2(Fits(*graph.Surface), qPrintable(Describe(*graph.Surface)));
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(checked);

        TForm4 region(p.S, p.form2.get(), &w);
        region.show();
        QVERIFY2(Fits(region), qPrintable(Describe(region)));
        region.hide();
        TCompareDialog compare(&w);
        compare.show();
        QVERIFY2(Fits(compare), qPrintable(Describe(compare)));
        compare.hide();
        p.form2->show();
        QVERIFY2(Fits(*p.form2), qPrintable(Describe(*p.form2)));
        p.form2->hide();
        p.about->show();
        QVERIFY2(Fits(*p.about), qPrintable(Describe(*p.about)));
        p.about->hide();
        w.Contents1Click();
        auto* help = w.findChild<QTextBrowser*>();
        QVERIFY(help);
        QVERIFY2(Fits(*help), qPrintable(Describe(*help)));
    }

    // A geometry remembered on a larger screen is brought within this one.
    void rememberedGeometryIsClampedToTheScreen() {
        QTemporaryDir dir;
        const QString file = dir.filePath("qirt.ini");
        Program p;
        TForm1& w = *p.form1;
        w.resize(4000, 3000);
        w.move(2500, 1500);
        {
            TProgramSettings settings(std::make_unique<QSettings>(file, QSettings::IniFormat));
            settings.Remember(w);
        }
        w.resize(600, 400);
        w.move(0, 0);
        TProgramSettings settings(std::make_unique<QSettings>(file, QSettings::IniFormat));
        settings.Restore(w);
        QVERIFY2(Fits(w), qPrintable(Describe(w)));
    }
};

QTEST_MAIN(SizesTest)
#include "sizes_test.moc"
