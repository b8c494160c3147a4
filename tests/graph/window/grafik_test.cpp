// The graph window driven as a user drives it: typing ranges, pressing the
// buttons, choosing axis variables, dragging frames, hovering and saving.
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QLabel>
#include <QImage>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QXmlStreamReader>
#include <QtTest>

#include "func/conditions.h"
#include "func/function.h"
#include "graph/map/plot.h"
#include "graph/widgets/file_dialog.h"
#include "graph/window/grafik.h"
#include "graph/window/map_axes.h"
#include "graph/window/surface_window.h"
#include "graph/image/image_canvas.h"
#include "graph/map/map.h"
#include "methods/method_table.h"
#include "../../func/recording_messages.h"
#include "../../windows/test_language.h"

using namespace qirt;
using qirt::testing::T;

namespace {

constexpr TColour kOrange{253, 165, 2};

TColour At(const TForm3& w, int x, int y) { return w.Canvas().Pixel(x, y); }

void Mouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget* image, QPoint from, QPoint to) {
    Mouse(image, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(image, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(image, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(image, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Runs `act` on the next modal window as soon as it shows.
template <class Act>
void WhenModal(Act act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
    });
}

// Triggers the action and answers the message box it shows; its text.
QString MessageBoxText(QAction* action) {
    QString shown;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        shown = box->text();
        box->accept();
    });
    action->trigger();
    return shown;
}

} // namespace

class GraphWindowTest : public QObject {
    Q_OBJECT

    // A session as the run controller leaves it: the formula built, the
    // found point, the track, and the window filled as after a run.
    struct Window {
        Window(const char* formula, Vector found, int points = 0) {
            S.Function.DifferentiationStep = 1e-5L;
            BuildTree(S.Function, formula);
            S.CurrentLastIndex = static_cast<Byte>(S.Function.VariableCount - 1);
            S.FoundPoint = found;
            for (int k = 0; k < points; ++k)
                AddTrackPoint(track, Vector{-4 + k * 0.8L, 4 - k * 0.8L}, 1, 0);
            S.Track = &track;
            w = std::make_unique<TForm3>(S);
            w->FillXAxisList("x[1]", S.CurrentLastIndex);
            w->FillYAxisList("x[0]", S.CurrentLastIndex);
            w->Edit1->setText(QString::number(std::trunc(double(found[0] - 5.1L))));
            w->Edit2->setText(QString::number(std::trunc(double(found[0] + 5.1L))));
            w->Edit3->setText(QString::number(std::trunc(double(found[1] - 5.1L))));
            w->Edit4->setText(QString::number(std::trunc(double(found[1] + 5.1L))));
            w->Button1Click();
            w->show();
        }
        TSession S;
        Tdata track;
        std::unique_ptr<TForm3> w;
    };

private slots:
    void createsTheFirstViewAroundTheFoundPoint() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        QCOMPARE(w.windowTitle(), T("График"));
        QCOMPARE(w.GridSize, 251);
        QCOMPARE(w.Label7->text(), QStringLiteral("-5"));
        QCOMPARE(w.Label10->text(), QStringLiteral("5"));
        QCOMPARE(double(win.S.View.XMin), -5.0);
        QVERIFY(At(w, 250, 250) == kOrange); // the minimum in the middle
        QVERIFY(At(w, 251, 251) == kWhite);
        QCOMPARE(w.ComboBox1->itemText(0), QStringLiteral("x[0]"));
        QCOMPARE(w.ComboBox1->itemText(1), QString());
        QCOMPARE(w.ComboBox2->itemText(0), QStringLiteral("x[1]"));
        QCOMPARE(w.Button1->isDefault(), true);
        QCOMPARE(w.Button2->toolTip(), T("Увеличить"));
        QCOMPARE(w.Image1->size(), QSize(500, 500));
        QCOMPARE(w.Image1->cursor().shape(), Qt::CrossCursor);
    }

    void redrawTakesOnlyValidRanges() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        Type(w.Edit1, "-2");
        Type(w.Edit2, "6");
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(double(win.S.View.XMin), -2.0);
        QCOMPARE(w.Label8->text(), QStringLiteral("6"));
        QCOMPARE(double(w.AxisRanges[0].second), 6.0);
        const TViewRange before = win.S.View;
        for (auto [low, high] : {std::pair{"abc", "6"}, std::pair{"3", "3"}, std::pair{"1e2", "5"},
                                 std::pair{"4", "-4"}}) {
            Type(w.Edit1, low);
            Type(w.Edit2, high);
            QTest::mouseClick(w.Button1, Qt::LeftButton);
            QCOMPARE(double(win.S.View.XMin), double(before.XMin));
            QCOMPARE(double(win.S.View.XMax), double(before.XMax));
        }
        // Enter in a field presses the default button.
        Type(w.Edit1, "-1");
        Type(w.Edit2, "1");
        QTest::keyClick(w.Edit2, Qt::Key_Return);
        QCOMPARE(double(win.S.View.XMax), 1.0);
    }

    void zoomAndMoveButtons() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        QTest::mouseClick(w.Button2, Qt::LeftButton); // "+": the middle half
        QCOMPARE(double(win.S.View.XMin), -2.5);
        QCOMPARE(double(win.S.View.YMax), 2.5);
        QCOMPARE(double(w.AxisRanges[1].first), -2.5);
        QCOMPARE(w.Edit1->text(), QStringLiteral("-2.5"));
        QTest::mouseClick(w.Button3, Qt::LeftButton); // "-": back again
        QCOMPARE(double(win.S.View.XMin), -5.0);
        QCOMPARE(double(win.S.View.XMax), 5.0);
        QCOMPARE(double(w.AxisRanges[0].first), -5.0);

        QTest::mouseClick(w.BitBtn1, Qt::LeftButton); // right by half the width
        QCOMPARE(double(win.S.View.XMin), 0.0);
        QCOMPARE(double(win.S.View.XMax), 10.0);
        QCOMPARE(double(w.AxisRanges[0].first), -5.0); // moves are not remembered
        QTest::mouseClick(w.BitBtn3, Qt::LeftButton);  // up
        QCOMPARE(double(win.S.View.YMin), 0.0);
        QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
        QTest::mouseClick(w.BitBtn4, Qt::LeftButton);
        QCOMPARE(double(win.S.View.XMin), -5.0);
        QCOMPARE(double(win.S.View.YMin), -5.0);
    }

    void choosingAnAxisVariableOffersItsRememberedRange() {
        Window win("x[0]^2+x[1]^2+x[2]^2", Vector{1, 2, 3});
        TForm3& w = *win.w;
        QCOMPARE(w.ComboBox1->itemText(1), QStringLiteral("x[2]"));
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton); // move right: not remembered
        QCOMPARE(w.Edit1->text(), QStringLiteral("1"));
        const QImage before = w.Canvas().Image().copy();

        w.ComboBox1->lineEdit()->selectAll();
        QTest::keyClicks(w.ComboBox1->lineEdit(), "x[2");
        QCOMPARE(w.Label6->text(), QStringLiteral("x[0]")); // an incomplete name does nothing
        QTest::keyClicks(w.ComboBox1->lineEdit(), "]");
        QCOMPARE(w.Label6->text(), QStringLiteral("x[2]"));
        QCOMPARE(w.Label12->text(), T("Диапазон ") + "x[2]");
        QCOMPARE(w.Edit1->text(), QStringLiteral("-2")); // found 3 minus 5
        QCOMPARE(w.Edit2->text(), QStringLiteral("8"));
        QCOMPARE(w.ComboBox2->currentText(), QStringLiteral("x[1]"));
        QCOMPARE(w.ComboBox2->itemText(0), QStringLiteral("x[0]")); // x[2] left the other list
        QCOMPARE(w.ComboBox2->itemText(1), QStringLiteral("x[1]"));
        QVERIFY(w.Canvas().Image() == before); // nothing redrawn yet

        w.ComboBox1->lineEdit()->selectAll();
        QTest::keyClicks(w.ComboBox1->lineEdit(), "x[0]");
        QCOMPARE(w.Edit1->text(), QStringLiteral("-4")); // the range from before the move
        QCOMPARE(w.Edit2->text(), QStringLiteral("6"));

        // A name that is not in the list (the other axis' variable) is ignored.
        w.ComboBox2->lineEdit()->selectAll();
        QTest::keyClicks(w.ComboBox2->lineEdit(), "x[0]");
        QCOMPARE(w.Label5->text(), QStringLiteral("x[1]"));

        // Choosing x[2] vertically and redrawing maps x[0] across, x[2] up.
        w.ComboBox2->lineEdit()->selectAll();
        QTest::keyClicks(w.ComboBox2->lineEdit(), "x[2]");
        QCOMPARE(w.Edit3->text(), QStringLiteral("-2"));
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(double(win.S.View.YMax), 8.0);
        w.WaitForMap();
        // x[1] is held at its found 2: the centre value is 1 + 4 + 9 at pixel (250, 250).
        QCOMPARE(double(MapSamples(win.S).ValueMin), 4.0);
    }

    void dragAFrameInEitherDirection() {
        for (bool reversed : {false, true}) {
            Window win("x[0]^2+x[1]^2", Vector{0, 0});
            TForm3& w = *win.w;
            const QPoint a(100, 150), b(300, 400);
            Mouse(w.Image1, QEvent::MouseButtonPress, reversed ? b : a, Qt::LeftButton);
            // Where the frame starts, in the axes' numbers (pixel 100 is -3).
            QCOMPARE(w.StatusBar1->currentMessage(),
                     reversed ? T("Начало рамки: (%1; %2)").arg("1", "-3") : T("Начало рамки: (%1; %2)").arg("-3", "2"));
            Mouse(w.Image1, QEvent::MouseMove, reversed ? a : b, Qt::LeftButton);
            QVERIFY(At(w, 100, 201) == kBlack); // the frame's left edge inverts the white
            Mouse(w.Image1, QEvent::MouseButtonRelease, reversed ? a : b, Qt::NoButton);
            QVERIFY(!w.Dragging);
            QVERIFY(qAbs(double(win.S.View.XMin) + 3) < 1e-15);
            QVERIFY(qAbs(double(win.S.View.XMax) - 1) < 1e-15);
            QVERIFY(qAbs(double(win.S.View.YMin) + 3) < 1e-15);
            QVERIFY(qAbs(double(win.S.View.YMax) - 2) < 1e-15);
            QCOMPARE(w.Edit1->text(), QStringLiteral("-3"));
            QVERIFY(qAbs(double(w.AxisRanges[1].second) - 2) < 1e-15);
            QVERIFY(w.Canvas().InvertingPen); // the frame's pen stays
        }
    }

    void framesWithoutExtentAreIgnored() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        const QImage before = w.Canvas().Image().copy();
        Mouse(w.Image1, QEvent::MouseButtonPress, QPoint(200, 200), Qt::LeftButton);
        Mouse(w.Image1, QEvent::MouseButtonRelease, QPoint(200, 200), Qt::NoButton);
        Drag(w.Image1, QPoint(200, 100), QPoint(200, 300)); // no width
        Drag(w.Image1, QPoint(300, 300), QPoint(302, 301)); // a hand's tremble
        Drag(w.Image1, QPoint(100, 300), QPoint(400, 302)); // a line, not a frame
        QCOMPARE(double(win.S.View.XMin), -5.0);
        QCOMPARE(double(win.S.View.YMax), 5.0);
        QVERIFY(w.Canvas().Image() == before); // the frames were erased again
        QVERIFY(!w.Canvas().InvertingPen);
        // The status bar reads the map again, not the frame's start.
        QVERIFY(w.StatusBar1->currentMessage().startsWith(T("Координаты:(%1;%2)  Значение: (%3)").section('(', 0, 0)));
        // Three pixels each way is a frame.
        Drag(w.Image1, QPoint(250, 250), QPoint(253, 253));
        QVERIFY(win.S.View.XMax - win.S.View.XMin < 0.1L);
    }

    // Ticks at round values where the track's own transform puts them, and a
    // colour bar with every level's values.
    void axesAndColourBarReadLikeAPlot() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        w.Edit5->setText(QStringLiteral("11"));
        w.Button1Click();
        w.WaitForMap();
        using Tick = std::pair<int, QString>;
        const QString zero = GeneralNumberText(0);
        QCOMPARE(w.Axes->XTicks, (std::vector<Tick>{{50, GeneralNumberText(-4)}, {150, GeneralNumberText(-2)},
                                                    {250, zero}, {350, GeneralNumberText(2)}, {450, GeneralNumberText(4)}}));
        QCOMPARE(w.Axes->YTicks.size(), std::size_t(5));
        QCOMPARE(w.Axes->YTicks[0].first, 450); // y = -4, near the bottom
        QCOMPARE(w.Axes->YTicks[2], Tick(250, zero));
        const std::vector<TLevelRange>& levels = w.Bar->Levels;
        QCOMPARE(levels.size(), std::size_t(11));
        QCOMPARE(double(levels.front().Low), 0.0);
        QCOMPARE(double(levels.back().High), 50.0);
        QCOMPARE(double(levels[1].Low), 2.5);
        QVERIFY(!w.Bar->toolTip().isEmpty());
        // A billion colours: a tip of forty levels and "…", not a billion lines.
        w.Edit5->setText(QStringLiteral("1000000000"));
        w.Button1Click();
        w.WaitForMap();
        QCOMPARE(w.Bar->toolTip().count(QLatin1Char('\n')), 40);
        w.Edit5->setText(QStringLiteral("16"));
        // Zoomed in, the ticks follow.
        w.Edit1->setText(QStringLiteral("0"));
        w.Edit2->setText(QStringLiteral("1"));
        w.Button1Click();
        w.WaitForMap();
        QCOMPARE(w.Axes->XTicks.front(), Tick(0, zero));
        QCOMPARE(w.Axes->XTicks[1].second, GeneralNumberText(0.2));
        // Ends of many digits, as a frame leaves them: the values written
        // keep clear of the corner numbers' texts and of the arrows.
        w.Edit1->setText(QStringLiteral("-0.57894736842105263"));
        w.Edit2->setText(QStringLiteral("2.5170278637770898"));
        w.Edit3->setText(QStringLiteral("-1.3962848297213622"));
        w.Edit4->setText(QStringLiteral("2.0185758513931889"));
        w.Button1Click();
        w.WaitForMap();
        auto reach = [](const QLabel* label) {
            QRect r = label->geometry();
            r.setWidth(std::min(r.width(), label->fontMetrics().horizontalAdvance(label->text())));
            return r;
        };
        int written = 0;
        for (int k = 0; k < static_cast<int>(w.Axes->XTicks.size()); ++k) {
            const QRect r = w.Axes->XValueRect(k);
            if (r.isNull()) continue;
            ++written;
            QVERIFY(!r.intersects(reach(w.Label7)) && !r.intersects(reach(w.Label8)));
        }
        for (int k = 0; k < static_cast<int>(w.Axes->YTicks.size()); ++k) {
            const QRect r = w.Axes->YValueRect(k);
            if (r.isNull()) continue;
            ++written;
            QVERIFY(!r.intersects(w.BitBtn2->geometry()) && !r.intersects(reach(w.Label9)));
        }
        QVERIFY(written >= 4); // most values are still written
    }

    // "Вид" paints the map filled and with level lines; both off, it is the
    // dotted map again, pixel for pixel. "File" writes the sampled grid.
    void mapLooksAndTheGridOfValues() {
        QTemporaryDir dir;
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        w.WaitForMap();
        const QImage dots = w.Canvas().Image().copy();
        const QRgb line = qRgb(kLevelLineColour.Red, kLevelLineColour.Green, kLevelLineColour.Blue);
        auto count = [](const QImage& image, QRgb colour) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
            return n;
        };
        w.mapLevelLines->trigger();
        w.WaitForMap();
        QVERIFY(count(w.Canvas().Image(), line) > 1000);
        w.mapFilled->trigger();
        w.WaitForMap();
        QCOMPARE(count(w.Canvas().Image(), qRgb(255, 255, 255)), 0);
        w.mapFilled->trigger();
        w.mapLevelLines->trigger();
        w.WaitForMap();
        QVERIFY(w.Canvas().Image() == dots);
        // The plot at the size asked, with the window's levels and title.
        w.Label14->setText(QStringLiteral("x[0]^2+x[1]^2"));
        const TPlotPicture picture = w.PlotPicture();
        QCOMPARE(picture.Levels.size(), w.Bar->Levels.size());
        QCOMPARE(picture.Title, QStringLiteral("x[0]^2+x[1]^2"));
        QVERIFY(picture.Legend.empty()); // one run: no legend
        QVERIFY(w.WritePlot(dir.filePath("plot.png"), QSize(800, 600)));
        QCOMPARE(QImage(dir.filePath("plot.png")).size(), QSize(800, 600));
        QVERIFY(w.WritePlot(dir.filePath("plot.svg"), QSize(800, 600)));
        QFile svg(dir.filePath("plot.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("<svg"));
        QVERIFY(w.WriteGridCsv(dir.filePath("grid.csv")));
        QFile grid(dir.filePath("grid.csv"));
        QVERIFY(grid.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = grid.readAll().split('\n');
        QCOMPARE(lines.size(), 251 * 251 + 2); // header, samples, and the empty end
        QCOMPARE(lines[1], QByteArray("-5,5,50"));
    }

    // A click without a drag changes nothing: not the view, not a pixel,
    // and not the pen the tracks are drawn with afterwards.
    void aClickLeavesThePenAsItWas() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        const QImage before = w.Canvas().Image().copy();
        QVERIFY(!w.Canvas().InvertingPen);
        Mouse(w.Image1, QEvent::MouseButtonPress, QPoint(100, 306), Qt::LeftButton);
        Mouse(w.Image1, QEvent::MouseButtonRelease, QPoint(100, 306), Qt::NoButton);
        QVERIFY(!w.Canvas().InvertingPen);
        QVERIFY(w.Canvas().Image() == before);
        QCOMPARE(double(win.S.View.XMin), -5.0);
        QVERIFY(!w.StatusBar1->currentMessage().contains(QStringLiteral("Origin")));
    }

    void statusBarShowsTheValueUnderTheMouse() {
        QLocale::setDefault(QLocale::c());
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        Type(w.Edit1, "-250");
        Type(w.Edit2, "250");
        Type(w.Edit3, "-250");
        Type(w.Edit4, "250");
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        Mouse(w.Image1, QEvent::MouseMove, QPoint(250, 250), Qt::NoButton);
        QCOMPARE(w.StatusBar1->currentMessage(), T("Координаты:(%1;%2)  Значение: (%3)").arg("0", "0", "0"));
        Mouse(w.Image1, QEvent::MouseMove, QPoint(260, 240), Qt::NoButton);
        QCOMPARE(w.StatusBar1->currentMessage(), T("Координаты:(%1;%2)  Значение: (%3)").arg("10", "10", "200"));

        QLocale::setDefault(QLocale(QLocale::Russian));
        Type(w.Edit1, "-5");
        Type(w.Edit2, "5");
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        Mouse(w.Image1, QEvent::MouseMove, QPoint(275, 240), Qt::NoButton); // x = 0.5, y = 10
        QCOMPARE(w.StatusBar1->currentMessage(), T("Координаты:(%1;%2)  Значение: (%3)").arg("0,5", "10", "100,25"));
        QLocale::setDefault(QLocale::c());
    }

    // %g: no digit grouping in any locale, a small "e" with a two-digit
    // exponent, the locale's decimal separator.
    void statusBarWritesNumbersAsPercentG() {
        Window win("x[0]^2+x[1]^2+39300", Vector{0, 0});
        TForm3& w = *win.w;
        for (auto [locale, value, tiny] :
             {std::tuple{QLocale::c(), "39301.9604", "1e-05"},
              std::tuple{QLocale(QLocale::Russian), "39301,9604", "1e-05"},
              std::tuple{QLocale(QLocale::English, QLocale::UnitedStates), "39301.9604", "1e-05"}}) {
            QLocale::setDefault(locale);
            Type(w.Edit1, "-5");
            Type(w.Edit2, "5");
            Type(w.Edit3, "-5");
            Type(w.Edit4, "5");
            QTest::mouseClick(w.Button1, Qt::LeftButton);
            Mouse(w.Image1, QEvent::MouseMove, QPoint(299, 200), Qt::NoButton); // x = 0.98, y = 1
            QVERIFY2(w.StatusBar1->currentMessage().endsWith(QStringLiteral("(%1)").arg(value)),
                     qPrintable(w.StatusBar1->currentMessage()));
            Type(w.Edit1, "0");
            Type(w.Edit2, "0.005");
            QTest::mouseClick(w.Button1, Qt::LeftButton);
            Mouse(w.Image1, QEvent::MouseMove, QPoint(1, 250), Qt::NoButton); // x = 1e-05, y = 0
            QVERIFY2(w.StatusBar1->currentMessage().startsWith(T("Координаты:(%1;%2)  Значение: (%3)").section(QLatin1Char('%'), 0, 0) + tiny),
                     qPrintable(w.StatusBar1->currentMessage()));
        }
        QLocale::setDefault(QLocale::c());
    }

    void axisNamesOutsideTheListAreIgnored() {
        Window win("x[0]^2+2*x[1]^2", Vector{0, 0}, 3);
        TForm3& w = *win.w;
        const QImage before = w.Canvas().Image().copy();
        for (const char* name : {"x[5]", "x[1]"}) { // not a variable; the other axis's
            w.ComboBox1->setEditText(QString::fromUtf8(name));
            QCOMPARE(w.Label12->text(), T("Диапазон  x[0]")); // labels stay
            QCOMPARE(w.Label6->text(), QStringLiteral("x[0]"));
            QTest::mouseClick(w.Button1, Qt::LeftButton);
            QVERIFY(w.Canvas().Image() == before); // the same map: x[0] still across
            Mouse(w.Image1, QEvent::MouseMove, QPoint(350, 250), Qt::NoButton); // x[0] = 2, x[1] = 0
            QVERIFY2(w.StatusBar1->currentMessage().endsWith(QStringLiteral("(4)")),
                     qPrintable(w.StatusBar1->currentMessage()));
        }
        w.ComboBox2->setEditText(QStringLiteral("x[7]"));
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(w.Canvas().Image() == before);
    }

    void badColourCountsAreRefusedAndChangeNothing() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        const QImage before = w.Canvas().Image().copy();
        const TViewRange view = win.S.View;
        for (const char* text : {"0", "-5", "abc", "2.5"}) {
            w.Edit5->setText(QString::fromUtf8(text));
            QTest::mouseClick(w.Button1, Qt::LeftButton);
            w.Button2Click(); // zoom: nothing either
            QVERIFY(w.Canvas().Image() == before);
            QCOMPARE(double(win.S.View.XMax), double(view.XMax));
        }
        w.Edit5->setText(QString());
        QTest::mouseClick(w.Button1, Qt::LeftButton); // empty: the default 18 levels
        QVERIFY(w.Canvas().Image() != before);
    }

    // The map the engine draws synchronously for the window's session as
    // it stands: the same formula, region, found point, view and track.
    static QImage SynchronousMap(const Window& win, const char* formula, const char* condition,
                                 const QString& colours) {
        TSession S;
        S.Function.DifferentiationStep = 1e-5L;
        BuildTree(S.Function, formula);
        if (condition) S.Conditions.AddCondition(condition, "1", "2", kExteriorKind);
        S.Function.ExtendedPlot = win.S.Function.ExtendedPlot;
        S.CurrentLastIndex = win.S.CurrentLastIndex;
        S.FoundPoint = win.S.FoundPoint;
        S.View = win.S.View;
        Tdata track;
        for (const TrackPoint* p = win.track.Head; p; p = p->Next)
            AddTrackPoint(track, p->X, S.CurrentLastIndex, p->PointValue);
        S.Track = &track;
        TImageCanvas canvas(kMapPixels, kMapPixels);
        RedrawMap(S, canvas, 0, 1, colours.toStdString());
        return canvas.Image().copy();
    }

    static QByteArray SlowFormula() {
        QString formula = QStringLiteral("x[0]+x[1]");
        for (int k = 0; k < 100; ++k) formula += QStringLiteral("+sin(x[0]*%1)*cos(x[1])").arg(k);
        return formula.toLatin1();
    }

    // A slow map is computed on a worker: the window answers at once, its
    // timers fire and the old picture stays until the new one arrives; the
    // session (the penalty switch, the track, the view, the count) is not
    // touched while the map is made; the map that arrives is the
    // synchronous one, counted once.
    void slowMapsComeFromAWorkerAndLeaveTheSessionAlone() {
        const QByteArray formula = SlowFormula();
        const char* condition = "x[0]<=1";
        Window win(formula.constData(), Vector{0, 0}, 5);
        TForm3& w = *win.w;
        w.WaitForMap();
        win.S.Conditions.AddCondition(condition, "1", "2", kExteriorKind);
        win.S.Function.ExtendedPlot = false; // the map without penalties
        win.S.MapThreads = 2;
        const QImage before = w.Canvas().Image().copy();
        const std::int64_t count = win.S.Function.EvaluationCount;
        Type(w.Edit1, "-3");
        QTest::mouseClick(w.Button1, Qt::LeftButton); // returns at once
        QVERIFY(w.MapPending());
        const TViewRange view = win.S.View;
        Tdata* const track = win.S.Track;
        int ticks = 0;
        bool touched = false, oldShown = true, busySeen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (w.MapPending()) {
                ++ticks;
                touched = touched || !win.S.Conditions.PenaltyEnabled || win.S.Track != track ||
                          win.S.View.XMin != view.XMin || win.S.View.YMax != view.YMax ||
                          win.S.Function.EvaluationCount != count;
                oldShown = oldShown && w.ShownImage() == before;
                busySeen = busySeen || w.Image1->cursor().shape() == Qt::BusyCursor;
            }
        });
        poll.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(!w.MapPending(), 120000);
        poll.stop();
        QVERIFY(ticks > 0);
        QVERIFY(!touched);
        QVERIFY(oldShown);
        QVERIFY(busySeen);
        QVERIFY(w.LastRedrawBusy);
        QCOMPARE(w.Image1->cursor().shape(), Qt::CrossCursor); // back to normal
        QCOMPARE(win.S.Function.EvaluationCount - count, std::int64_t(251 * 251 + 1));
        QVERIFY(w.ShownImage() != before);
        QVERIFY(w.Canvas().Image() == SynchronousMap(win, formula.constData(), condition, w.Edit5->text()));
    }

    // A newer request (zoom, move) cancels the older one: its result is
    // dropped and not counted, and the picture that arrives is the
    // synchronous map of the last view.
    void aNewerMapCancelsTheOlder() {
        const QByteArray formula = SlowFormula();
        Window win(formula.constData(), Vector{0, 0}, 5); // asks for the first map
        TForm3& w = *win.w;
        QVERIFY(w.MapPending());
        w.Button2Click(); // zoom before the first map is there
        QVERIFY(w.MapPending());
        w.WaitForMap();
        QCOMPARE(win.S.Function.EvaluationCount, std::int64_t(251 * 251 + 1));
        QCOMPARE(double(win.S.View.XMin), -2.5);
        QVERIFY(w.Canvas().Image() == SynchronousMap(win, formula.constData(), nullptr, w.Edit5->text()));

        // Superseded from the event loop while the older map is computed.
        w.Button3Click();
        QTimer::singleShot(30, &w, [&] { w.BitBtn1Click(); });
        QTRY_VERIFY_WITH_TIMEOUT(!w.MapPending() && win.S.View.XMin == 0, 120000);
        QCOMPARE(win.S.Function.EvaluationCount, std::int64_t(2 * (251 * 251 + 1)));
        QVERIFY(w.Canvas().Image() == SynchronousMap(win, formula.constData(), nullptr, w.Edit5->text()));
        // A new colour count is a new request too.
        w.Edit5->setText(QStringLiteral("5"));
        w.Button1Click();
        w.Edit5->setText(QStringLiteral("9"));
        w.Button1Click();
        w.WaitForMap();
        QCOMPARE(win.S.Function.EvaluationCount, std::int64_t(3 * (251 * 251 + 1)));
        QVERIFY(w.Canvas().Image() == SynchronousMap(win, formula.constData(), nullptr, QStringLiteral("9")));
    }

    void statusBarSaysWhereTheFunctionIsUndefined() {
        Window win("ln(x[0])+x[1]", Vector{3, 0});
        TForm3& w = *win.w;
        Mouse(w.Image1, QEvent::MouseMove, QPoint(10, 250), Qt::NoButton); // x[0] < 0
        QVERIFY(w.StatusBar1->currentMessage().contains(T("функция не определена")));
        QVERIFY(At(w, 10, 250) == kWhite);  // an undefined sample stays white
        QVERIFY(At(w, 450, 250) != kWhite); // the defined half is coloured
    }

    void trackDiscsAndEndCross() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0}, 5);
        TForm3& w = *win.w;
        // Point 0 (-4, 4) is pixel (50, 50); point 4 (-0.8, 0.8) is pixel (210, 210).
        QVERIFY(At(w, 48, 50) == kBlack);
        QVERIFY(At(w, 47, 47) != kBlack); // the corner of the disc's box
        QVERIFY(At(w, 130, 130) == kBlack); // point 2
        QVERIFY(At(w, 210, 213) == kBlack); // the end cross reaches past the disc
        QVERIFY(At(w, 213, 210) == kBlack);
        QVERIFY(At(w, 210, 214) != kBlack);
    }

    void saveMapAsksOnceThenReusesTheName() {
        QTemporaryDir dir;
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->nameFilters(), QStringList{T("Bitmaps (*.bmp)")});
            dialog->selectFile(dir.filePath("map"));
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        w.save1->trigger();
        QCOMPARE(w.MapFileName, dir.filePath("map.bmp"));
        QImage saved(dir.filePath("map.bmp"));
        QCOMPARE(saved.size(), QSize(500, 500));
        QCOMPARE(saved.pixel(250, 250), qRgb(253, 165, 2));
        QCOMPARE(saved.pixel(251, 250), qRgb(255, 255, 255));

        QFile::remove(dir.filePath("map.bmp"));
        bool asked = false;
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                asked = true;
                modal->close();
            }
        });
        guard.start(10);
        w.save1->trigger(); // no dialog the second time
        guard.stop();
        QVERIFY(!asked);
        QVERIFY(QFile::exists(dir.filePath("map.bmp")));

        WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        w.saveas1->trigger(); // cancelled: the name stays
        QCOMPARE(w.MapFileName, dir.filePath("map.bmp"));
    }

    // Enlarged, the window samples the map at its displayed size: a sample
    // every second pixel, the track, the read-out and the frame in the same
    // pixels; "save map" still writes the 500 x 500 map, and shrunk back the
    // window shows it again.
    void anEnlargedWindowSamplesTheMapAtItsSize() {
        QTemporaryDir dir;
        Window win("x[0]^2+x[1]^2", Vector{0, 0}, 5);
        TForm3& w = *win.w;
        w.MapFileName = dir.filePath("first.bmp");
        w.save1->trigger();
        const QImage first = w.Canvas().Image().copy();
        const QSize firstSize = w.size();

        w.resize(firstSize + QSize(500, 400));
        QApplication::processEvents();
        QCOMPARE(w.Image1->size(), QSize(900, 900)); // grown by 400 down, and as far across
        QCOMPARE(w.Canvas().Width(), 900);
        QCOMPARE(w.GridSize, 451);
        QCOMPARE(MapSamples(win.S).GridSize, 451);
        QVERIFY(At(w, 450, 450) == kOrange); // the minimum in the middle
        QVERIFY(At(w, 451, 451) == kWhite);
        QVERIFY(At(w, 448, 448) != kWhite);
        // Point 0 (-4, 4) is now pixel (90, 90): its disc, and the end cross
        // of point 4 (-0.8, 0.8) at (378, 378).
        QVERIFY(At(w, 88, 90) == kBlack);
        QVERIFY(At(w, 378, 381) == kBlack);
        QVERIFY(At(w, 378, 382) != kBlack);
        // The axes' ticks follow: x = 0 at pixel 450 of the map.
        bool zeroTick = false;
        for (const auto& [x, text] : w.Axes->XTicks) zeroTick |= text == GeneralNumberText(0.0) && x == 450;
        QVERIFY(zeroTick);

        w.MapFileName = dir.filePath("large.bmp");
        w.save1->trigger();
        QCOMPARE(QImage(dir.filePath("large.bmp")), QImage(dir.filePath("first.bmp")));

        // The middle pixel reads (0; 0), to the double-precision scale's
        // rounding (10/900 is not a double).
        Mouse(w.Image1, QEvent::MouseMove, QPoint(450, 450), Qt::NoButton);
        const QRegularExpressionMatch read = QRegularExpression(QStringLiteral("\\(([^;]+);([^)]+)\\)"))
                                                  .match(w.StatusBar1->currentMessage());
        QVERIFY(read.hasMatch());
        QVERIFY(qAbs(read.captured(1).toDouble()) < 1e-15 && qAbs(read.captured(2).toDouble()) < 1e-15);

        w.resize(firstSize);
        QApplication::processEvents();
        QCOMPARE(w.Image1->size(), QSize(500, 500));
        QVERIFY(w.Canvas().Image() == first);
        QCOMPARE(MapSamples(win.S).GridSize, 251);

        w.resize(firstSize + QSize(500, 400));
        QApplication::processEvents();
        Drag(w.Image1, QPoint(90, 90), QPoint(450, 450)); // from (-4, 4) to (0, 0)
        QCOMPARE(double(win.S.View.XMin), -4.0);
        QCOMPARE(double(win.S.View.XMax), 0.0);
        QCOMPARE(double(win.S.View.YMin), 0.0);
        QCOMPARE(double(win.S.View.YMax), 4.0);
        // The wheel zooms about the pixel under it: (-2, 2) stays put.
        w.WheelZoom(450, 450, 1);
        QCOMPARE(double(win.S.View.XMin), -3.0);
        QCOMPARE(double(win.S.View.YMax), 3.0);
    }

    // "Вид" → "Поверхность" opens the surface of the map shown with the
    // track on it, or, without OpenGL, a window that says why.
    void theSurfaceOpensOrSaysWhyNot() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0}, 5);
        TForm3& w = *win.w;
        const std::int64_t evaluations = win.S.Function.EvaluationCount;
        w.showSurface->trigger();
        QVERIFY(w.Surface);
        QVERIFY(w.Surface->isVisible());
        QString why;
        if (TSurfaceWindow::SurfaceAvailable(&why)) {
            QVERIFY(w.Surface->Graph());
            QVERIFY(w.Surface->TrackItem());
            QVERIFY(w.saveSurface->isEnabled());
        } else {
            QVERIFY(!w.Surface->Graph());
            QVERIFY(w.Surface->Message()->text().contains(why));
            QVERIFY(!w.saveSurface->isEnabled());
            w.saveSurface->trigger(); // nothing to save: no dialog, no crash
        }
        // Lifting the track counts nothing in the run's evaluations (the map,
        // now arrived, counts its own).
        QCOMPARE(win.S.Function.EvaluationCount - evaluations, std::int64_t(251 * 251 + 1));
    }

    // "Экспортировать график": the size first, asked again after one that
    // cannot be drawn (the message is modal), then the file, written at
    // that size.
    void exportAsksTheSizeAgainThenTheFile() {
        QTemporaryDir dir;
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        qirt::testing::RecordingMessages messages;
        win.S.Function.Messages = &messages;
        QStringList titles;
        auto answer = [&](const QString& text, auto next) {
            WhenModal([&titles, text, next](QWidget* modal) {
                auto* ask = qobject_cast<QInputDialog*>(modal);
                QVERIFY(ask);
                titles << ask->windowTitle();
                QVERIFY(ask->minimumWidth() > ask->fontMetrics().horizontalAdvance(ask->windowTitle()));
                ask->setTextValue(text);
                next();
                ask->accept();
            });
        };
        answer(QStringLiteral("0×0"), [&] {
            answer(QStringLiteral("900x700"), [&] {
                WhenModal([&](QWidget* modal) {
                    auto* files = qobject_cast<QFileDialog*>(modal);
                    QVERIFY(files);
                    files->selectFile(dir.filePath("plot.png"));
                    static_cast<QDialog*>(files)->accept();
                });
            });
        });
        w.exportPlot->trigger();
        QCOMPARE(titles, QStringList({T("Размер графика"), T("Размер графика")}));
        QCOMPARE(messages.shown.size(), std::size_t(1));
        QCOMPARE(messages.shown[0].How, ShowKind::Modal);
        QCOMPARE(QImage(dir.filePath("plot.png")).size(), QSize(900, 700));
    }

    // The file dialogs name a file's type by its name, never by reading it:
    // /proc/kmsg, for one, blocks whoever reads it (and the program with
    // it). A PDF without an ending is not known for one.
    void fileDialogsNeverReadAFileToNameItsType() {
        QTemporaryDir dir;
        const QString unnamed = dir.filePath("report");
        QFile file(unnamed);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
        file.close();
        const QString pdf = QMimeDatabase().mimeTypeForName(QStringLiteral("application/pdf")).comment();
        QCOMPARE(QFileIconProvider().type(QFileInfo(unnamed)), pdf); // Qt's own reads it
        QFileDialog dialog;
        UseOwnFileDialog(dialog);
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        const QAbstractFileIconProvider* icons = dialog.iconProvider();
        QVERIFY(icons);
        QVERIFY(icons->type(QFileInfo(unnamed)) != pdf);
        QCOMPARE(icons->type(QFileInfo(dir.filePath("plot.pdf"))), pdf);
    }

    void saveMapReportsAFileThatCannotBeCreated() {
        Window win("x[0]^2+x[1]^2", Vector{0, 0});
        TForm3& w = *win.w;
        w.MapFileName = QStringLiteral("/nonexistent-dir/map.bmp");
        QCOMPARE(MessageBoxText(w.save1), QStringLiteral("Cannot create file /nonexistent-dir/map.bmp"));
        QCOMPARE(w.MapFileName, QString()); // the next save asks for a name again
    }

    void saveTrackReportsAPlaceThatCannotBeWritten() {
        QTemporaryDir dir;
        Window win("x[0]^2+x[1]^2", Vector{0, 0}, 5);
        TForm3& w = *win.w;
        w.TrackFileName = QStringLiteral("/nonexistent/dir/t.txt");
        QCOMPARE(MessageBoxText(w.savetrek1), QStringLiteral("Cannot create file /nonexistent/dir/t.txt"));
        QCOMPARE(w.TrackFileName, QString()); // the next save asks for a name again
        // A save that fails leaves no file behind, nor a partial one.
        QVERIFY(QDir(dir.path()).mkdir("locked"));
        QFile::setPermissions(dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        w.TrackFileName = dir.filePath("locked/t.txt");
        if (!QFileInfo(dir.filePath("locked")).isWritable()) { // root may write anywhere
            WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
            w.savetrek1->trigger();
            QVERIFY(QDir(dir.filePath("locked")).entryList(QDir::Files).isEmpty());
        }
    }

    // "Файл → Отчёт…" writes the run shown as HTML or PDF, by the filter
    // chosen, and says why when it cannot.
    void reportOfTheRunShown() {
        QTemporaryDir dir;
        Window win("x[0]^2+x[1]^2", Vector{0, 0}, 5);
        TForm3& w = *win.w;
        w.RunInputs.Formula = "x[0]^2+x[1]^2";
        w.HaveRunInputs = true;
        w.SingleRunMethod = MethodIndex("gauss");
        w.Label20->setText(T(kMethods[w.SingleRunMethod].Caption));
        w.Label15->setText(QStringLiteral("0.25"));
        w.Label17->setText(QStringLiteral("4"));
        w.ListBox1->item(0)->setText(QStringLiteral("-0.8"));
        w.ListBox1->item(1)->setText(QStringLiteral("0.8"));
        auto save = [&](const QString& name, const QString& filter) {
            WhenModal([&, name, filter](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog);
                QCOMPARE(dialog->nameFilters(), (QStringList{"HTML (*.html)", "PDF (*.pdf)"}));
                dialog->selectNameFilter(filter);
                dialog->selectFile(name);
                static_cast<QDialog*>(dialog)->accept(); // as the Save button does
            });
            w.saveReport->trigger();
        };
        save(dir.filePath("report"), QStringLiteral("HTML (*.html)"));
        QFile html(dir.filePath("report.html"));
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(html.readAll());
        QXmlStreamReader xml(text);
        QStringList sections, cells;
        int images = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("h2"))
                sections << xml.attributes().value(QLatin1String("id")).toString();
            if (xml.isStartElement() && xml.name() == QLatin1String("img")) ++images;
            if (xml.isStartElement() && xml.name() == QLatin1String("td")) cells << xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(sections, (QStringList{"task", "results", "map", "convergence", "iterations"}));
        QCOMPARE(images, 2); // the map and the convergence plot
        // The task, the labels' figures, and the track's five points.
        QVERIFY(cells.contains(QStringLiteral("x[0]^2+x[1]^2")));
        QVERIFY(cells.contains(T(kMethods[w.SingleRunMethod].Caption)));
        QVERIFY(cells.contains(QStringLiteral("-0.8; 0.8")));
        QVERIFY(cells.contains(QStringLiteral("0.25")));
        QVERIFY(cells.contains(QStringLiteral("x[0] ∈ [-5; 5], x[1] ∈ [-5; 5]")));
        const qsizetype last = cells.lastIndexOf(QStringLiteral("4"));
        QVERIFY(last > 0);
        QCOMPARE(cells[last + 1], Text(Real(-0.8L))); // k = 4 at (-0.8, 0.8)

        save(dir.filePath("report"), QStringLiteral("PDF (*.pdf)"));
        QFile pdf(dir.filePath("report.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");

        const QString missing = dir.filePath("missing/report.html");
        QString shown;
        WhenModal([&](QWidget* modal) {
            WhenModal([&](QWidget* box) {
                QVERIFY(qobject_cast<QMessageBox*>(box));
                shown = qobject_cast<QMessageBox*>(box)->text();
                qobject_cast<QMessageBox*>(box)->accept();
            });
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->selectFile(missing);
            static_cast<QDialog*>(dialog)->accept();
        });
        w.saveReport->trigger();
        QCOMPARE(shown, T("Отчёт «%1» не записан: %2").arg(missing, T("нет такой папки")));
    }

    void saveTrackThroughItsOwnDialog() {
        QTemporaryDir dir;
        Window win("x[0]^2+x[1]^2", Vector{0, 0}, 5);
        TForm3& w = *win.w;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->nameFilters(), QStringList{T("Text DOS (*.txt)")});
            dialog->selectFile(dir.filePath("trek"));
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        w.savetrek1->trigger();
        QCOMPARE(w.TrackFileName, dir.filePath("trek")); // used as typed
        QCOMPARE(w.MapFileName, QString());
        QFile file(dir.filePath("trek"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("5\r\n-4.00000000000000E+0000 4.00000000000000E+0000\r\n"));
        QCOMPARE(text.size(), 3 + 5 * 48);
    }
};

QIRT_TEST_MAIN(GraphWindowTest)
#include "grafik_test.moc"
