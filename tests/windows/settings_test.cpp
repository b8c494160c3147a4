// Remembered settings: what one session leaves the next one finds; a
// damaged, foreign or out-of-range file changes nothing and stops nothing;
// "Настройки по умолчанию" forgets it all.
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include "graph/window/grafik.h"
#include "program_fixture.h"
#include "windows/settings.h"

using namespace qirt;
using qirt::testing::T;
using qirt::testing::Program;

namespace {

std::unique_ptr<QSettings> Store(const QString& file) {
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void aSessionLeavesWhatTheNextFinds() {
        QTemporaryDir dir;
        const QString file = dir.filePath("qirt.ini");
        QPoint inside;
        {
            Program p;
            TForm1& w = *p.form1;
            w.N4->trigger(); // variable metric
            w.TabControl1->setCurrentIndex(2);
            w.ComboBox5->setEditText(QStringLiteral("1e-5"));
            w.ComboBox1->setEditText(QStringLiteral("1e-9"));
            w.ComboBox2->setEditText(QStringLiteral("1e-11"));
            w.resize(w.width() + 100, w.height() + 40);
            w.move(30, 50);
            inside = w.geometry().topLeft();
            TProgramSettings settings(Store(file));
            settings.Remember(w);
        }
        Program p;
        TForm1& w = *p.form1;
        const QSize fresh = w.size();
        TProgramSettings settings(Store(file));
        QVERIFY(settings.Readable());
        settings.Restore(w);
        QCOMPARE(w.MethodFamily, 4);
        QCOMPARE(w.TabControl1->currentIndex(), 2);
        QCOMPARE(w.ComboBox5->currentText(), QStringLiteral("1e-5"));
        QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("1e-9"));
        QCOMPARE(w.ComboBox2->currentText(), QStringLiteral("1e-11"));
        QCOMPARE(w.size(), fresh + QSize(100, 40));
        // Its inside where it was, so that a frame cannot push it down by
        // its title at every start.
        QCOMPARE(w.geometry().topLeft(), inside);

        // The graph window keeps its colour count and its save folders.
        w.Settings = &settings;
        p.Formula("x[0]^2+x[1]^2", "1,1");
        w.GraphShown = [&](TForm3& graph) {
            graph.Edit5->setText(QStringLiteral("7"));
            graph.MapFileName = dir.filePath("map.bmp");
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QString colours, folder;
        w.GraphShown = [&](TForm3& graph) {
            colours = graph.Edit5->text();
            folder = graph.SavePictureDialog1->directory().absolutePath();
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(colours, QStringLiteral("7"));
        QCOMPARE(folder, QDir(dir.path()).absolutePath());

        // The way back: everything as at the first start.
        w.Defaults1->trigger();
        QCOMPARE(w.MethodFamily, 2);
        QCOMPARE(w.ComboBox5->currentText(), T("Символьное дифференцирование"));
        QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("1e-7"));
        QVERIFY(Store(file)->allKeys().isEmpty());
    }

    void damagedForeignAndOutOfRangeFilesChangeNothing() {
        QTemporaryDir dir;
        const char* contents[] = {
            "\x01\x02\xff\xfe garbage [[[ \n=\n",                                    // not settings
            "[main]\nfamily=5\nmethod=99\nstep=abc\nvariableAccuracy=-1\ninside=@ByteArray(xyz)\nmaximised=2\n",
            "[main]\nfamily=banana\n[other]\nkey=1\n",                                // foreign keys
        };
        for (const char* text : contents) {
            const QString file = dir.filePath("bad.ini");
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
            f.close();
            Program p;
            TForm1& w = *p.form1;
            const QSize size = w.size();
            TProgramSettings settings(Store(file));
            settings.Restore(w);
            QCOMPARE(w.MethodFamily, 2);
            QCOMPARE(w.TabControl1->currentIndex(), 0);
            QCOMPARE(w.ComboBox5->currentText(), T("Символьное дифференцирование"));
            QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("1e-7"));
            QCOMPARE(w.size(), size);
            settings.Remember(w); // and it can be written over
        }
    }
};

QIRT_TEST_MAIN(SettingsTest)
#include "settings_test.moc"
