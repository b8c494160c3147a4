// Comparing methods and looking into runs, driven as a user does: the
// comparison dialog, the graph window's legend and results, the iteration
// table and its slider, the convergence plot, the exports and the wheel.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

#include "../../windows/program_fixture.h"
#include "graph/window/convergence_plot.h"
#include "graph/window/grafik.h"
#include "graph/window/iteration_model.h"
#include "graph/window/line_search_plot.h"
#include "graph/window/basins_window.h"
#include <QProgressBar>
#include <QSpinBox>
#include "func/evaluate.h"
#include "func/function.h"
#include "graph/map/map.h"
#include "graph/report/report.h"
#include "graph/window/map_view.h"
#include "graph/window/run_panel.h"
#include "methods/method_table.h"
#include "windows/compare_dialog.h"

using namespace qirt;
using qirt::testing::T;
using qirt::testing::Program;

namespace {

int CountColour(const QImage& image, TColour c) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(c.Red, c.Green, c.Blue)) ++n;
    return n;
}

} // namespace

class RunsTest : public QObject {
    Q_OBJECT

private slots:
    void comparisonShowsEveryTrackWithItsLegendAndResults() {
        Program p;
        p.Formula("100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
        bool answered = false, checked = false;
        p.form1->CompareShown = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                auto& d = static_cast<TCompareDialog&>(dialog);
                for (QCheckBox* box : d.Boxes) QVERIFY(box->isChecked()); // all ticked at first
                d.Boxes[1]->setChecked(false); // Gauss left out
                answered = true;
                d.Compare->click();
            });
        };
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                QVERIFY(graph.Comparing);
                QVERIFY(graph.RunPanel->isVisible());
                QCOMPARE(static_cast<int>(graph.Runs.size()), 10);
                QTableWidget* results = graph.RunPanel->Results;
                QCOMPARE(results->rowCount(), 10);
                QCOMPARE(results->item(0, 0)->text(), T("Метод вpащающихся кооpдинат Розенбpока"));
                // DFP is row 6 (Gauss left out): its numbers are those of its single run.
                QCOMPARE(results->item(6, 0)->text(), T("Дэвидона-Флетчеpа-Пауэла"));
                QCOMPARE(results->item(6, 3)->text(), QStringLiteral("0.00000040651088931"));
                QCOMPARE(results->item(6, 4)->text(), QStringLiteral("9"));
                QCOMPARE(results->item(6, 5)->text(), QStringLiteral("94"));
                QCOMPARE(results->item(6, 7)->text(), T("сходимость"));
                // Steepest descent stops in the valley: the table says so.
                QCOMPARE(results->item(4, 7)->text(), T("остановка не в минимуме"));
                QVERIFY(!results->item(6, 0)->icon().isNull()); // its colour in the legend
                // Method, minimum, gradient and end are seen without scrolling.
                const QHeaderView& header = *results->horizontalHeader();
                int rightEdge = 0;
                for (int logical : {0, 2, 3, 7}) {
                    QVERIFY(header.visualIndex(logical) < 4);
                    rightEdge = std::max(rightEdge, header.sectionViewportPosition(logical) + header.sectionSize(logical));
                }
                QVERIFY2(rightEdge <= results->viewport()->width(),
                         qPrintable(QStringLiteral("%1 > %2").arg(rightEdge).arg(results->viewport()->width())));
                QCOMPARE(results->item(0, 0)->toolTip(), results->item(0, 0)->text()); // cut, whole in its tip
                // Every track in its own colour on the map.
                const QImage map = graph.Canvas().Image();
                int seen = 0; // tracks may cover one another where the paths agree
                for (int k = 0; k < kMethodCount; ++k) seen += CountColour(map, TrackColour(k)) > 20;
                QVERIFY2(seen >= 5, qPrintable(QString::number(seen)));
                QCOMPARE(CountColour(map, TrackColour(1)), 0); // Gauss did not run
                // Choosing a row brings that track to the front.
                results->setCurrentCell(8, 0); // Broyden
                QCOMPARE(graph.RunPanel->CurrentRun(), 8);
                QCOMPARE(graph.RunPanel->Model->rowCount(), graph.Runs[8].Track->Count);
                // The PNG has the legend under the map.
                QTemporaryDir dir;
                QVERIFY(graph.WritePng(dir.filePath("map.png")));
                QImage png(dir.filePath("map.png"));
                QCOMPARE(png.width(), 500);
                QVERIFY(png.height() > 500 + 8 * 10);
                QVERIFY(graph.WriteResultsCsv(dir.filePath("results.csv")));
                QFile csv(dir.filePath("results.csv"));
                QVERIFY(csv.open(QIODevice::ReadOnly));
                const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                QCOMPARE(lines.size(), 11);
                // The same table qirt-batch writes: keys, a column per coordinate.
                QCOMPARE(lines[0], QStringLiteral("method,x[0],x[1],minimum,iterations,evaluations,seconds,end,gradient"));
                const QStringList dfp = lines[7].split(QLatin1Char(','));
                QCOMPARE(dfp.size(), 9);
                QCOMPARE(dfp[0], QStringLiteral("dfp"));
                QCOMPARE(dfp[1].toDouble(), double(graph.ComparedRows[6].Point[0]));
                QCOMPARE(dfp[4], QStringLiteral("9"));
                QCOMPARE(dfp[7], QStringLiteral("converged"));
                // The report holds the comparison as shown: every method with
                // the table's figures, the best marked, the legend on the map.
                const TReport report = graph.Report();
                QCOMPARE(report.Runs.size(), std::size_t(10));
                QCOMPARE(report.Task.Compare.size(), std::size_t(10));
                QCOMPARE(report.Task.Compare[6], MethodIndex("dfp"));
                QCOMPARE(report.Runs[6].Figures.Minimum, results->item(6, 2)->text());
                QCOMPARE(report.Runs[6].Figures.Gradient, QStringLiteral("0.00000040651088931"));
                QCOMPARE(report.Runs[6].Run.Track, graph.Runs[6].Track);
                QCOMPARE(&graph.ComparedRows[static_cast<std::size_t>(report.Best)], BestRow(graph.ComparedRows));
                QCOMPARE(report.Plot.Legend.size(), std::size_t(10));
                QCOMPARE(report.Plot.Map.size(), QSize(500, 500));
                // "save trek" saves the chosen run's track, in the track file's own form.
                graph.TrackFileName = dir.filePath("broyden.txt");
                graph.savetrek1->trigger();
                QFile trek(dir.filePath("broyden.txt"));
                QVERIFY(trek.open(QIODevice::ReadOnly));
                QVERIFY(trek.readAll().startsWith(QByteArray::number(graph.Runs[8].Track->Count) + "\r\n"));
                checked = true;
                graph.accept();
            });
        };
        p.form1->CompareMethods1->trigger();
        QVERIFY(answered);
        QVERIFY(checked);
        QCOMPARE(p.S.Function.Root, nullptr); // nothing stays built
        QVERIFY(p.History().startsWith(QStringLiteral("100*(x[1]-x[0]^2)^2+(1-x[0])^2")));
    }

    void stoppingAComparisonSkipsTheRest() {
        Program p;
        p.form1->ProgressDelayMilliseconds = 0;
        p.Formula("100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
        QString stage;
        p.form1->CompareShown = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&dialog] { static_cast<TCompareDialog&>(dialog).Compare->click(); });
        };
        // As soon as the progress shows, it names the method and is stopped.
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->windowTitle() == T("Идёт поиск минимума")) {
                    for (QLabel* label : w->findChildren<QLabel*>())
                        if (label->text().startsWith(T("Метод %1 из %2: %3").section(QLatin1Char('%'), 0, 0))) stage = label->text();
                    for (QPushButton* b : w->findChildren<QPushButton*>()) b->click();
                    poll->stop();
                }
        });
        poll->start(0);
        QStringList ends;
        p.form1->GraphShown = [&](TForm3& graph) {
            for (int r = 0; r < graph.RunPanel->Results->rowCount(); ++r)
                ends << graph.RunPanel->Results->item(r, 7)->text();
            QTimer::singleShot(0, &graph, &QDialog::accept);
        };
        p.form1->CompareMethods1->trigger();
        delete poll;
        QCOMPARE(stage, T("Метод %1 из %2: %3").arg(1).arg(11).arg(T("Метод вpащающихся кооpдинат Розенбpока")));
        QCOMPARE(ends.size(), 11);
        QCOMPARE(ends[0], T("остановлен"));
        for (int r = 1; r < 11; ++r) QCOMPARE(ends[r], T("пропущен"));
    }

    void iterationTableAndSliderWalkTheTrack() {
        Program p;
        p.form1->N4->trigger(); // DFP
        p.Formula("100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
        bool checked = false;
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                const QImage whole = graph.Canvas().Image().copy();
                QVERIFY(!graph.RunPanel->isVisible()); // a single run: the window as it was
                graph.showRuns->trigger();
                QVERIFY(graph.RunPanel->isVisible());
                TRunPanel& panel = *graph.RunPanel;
                QCOMPARE(panel.Model->rowCount(), 11); // start, 9 steps, the end again
                QCOMPARE(panel.Model->columnCount(), 5); // k, x[0], x[1], f, the gradient
                // The gradient stands in the last row only, as the results show it.
                QCOMPARE(panel.Model->index(0, 4).data().toString(), QString());
                QCOMPARE(panel.Model->index(10, 4).data().toString(), graph.Label23->text());
                QVERIFY(!graph.Label23->text().isEmpty());
                QCOMPARE(graph.Label24->text(), T("сходимость"));
                QCOMPARE(panel.Model->index(0, 1).data().toString(), QStringLiteral("-1.2"));
                QCOMPARE(panel.Model->index(0, 3).data().toString(), QStringLiteral("24.2"));
                QCOMPARE(panel.Slider->value(), 10);
                QCOMPARE(graph.Canvas().Image(), whole); // the whole track until the slider moves
                panel.First->click();
                QCOMPARE(graph.CurrentPoint, 0);
                QVERIFY(graph.Canvas().Image() != whole); // only the start now
                QVERIFY(static_cast<TMapView*>(graph.Image1)->Mark().x() >= 0);
                panel.Forward->click();
                panel.Forward->click();
                QCOMPARE(panel.Slider->value(), 2);
                QCOMPARE(panel.Table->currentIndex().row(), 2); // the table follows
                panel.Table->selectRow(5);                        // and leads
                QCOMPARE(panel.Slider->value(), 5);
                {
                    // The mark sits on the track's own pixel of the point.
                    QVERIFY(TrackPointInView(p.S.Track->Head, 0, 1, p.S.View));
                    TTrackPixels pixels;
                    FillTrackPixels(*p.S.Track, 0, 1, p.S.View, pixels);
                    QCOMPARE(static_cast<TMapView*>(graph.Image1)->Mark(), QPoint(pixels[5].X, pixels[5].Y));
                }
                // The plot marks the chosen point, below the start's difference.
                QVERIFY(panel.Plot->PlaceOf(0, 5).y() > panel.Plot->PlaceOf(0, 0).y());
                panel.Last->click();
                QCOMPARE(graph.CurrentPoint, -1);
                QCOMPARE(graph.Canvas().Image(), whole); // back to the whole track
                QCOMPARE(static_cast<TMapView*>(graph.Image1)->Mark(), QPoint(-1, -1));
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(checked);
    }

    // A chosen iteration shows on the map what its method did, and its
    // search on a line in its own tab, sampled apart from the run's counts.
    void choosingAnIterationShowsWhatTheMethodDid() {
        Program p;
        p.form1->N4->trigger(); // DFP
        p.Formula("(x[0]-1)^2+10*(x[1]+2)^2", "3,4");
        bool checked = false;
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                graph.showRuns->trigger();
                TRunPanel& panel = *graph.RunPanel;
                auto& view = *static_cast<TMapView*>(graph.Image1);
                QVERIFY(view.Overlay().Empty()); // the whole track: nothing extra
                QVERIFY(!panel.Legend->isVisible());
                graph.WaitForMap();
                const std::int64_t evaluations = p.S.Function.EvaluationCount;
                const QPoint buttons = panel.First->mapTo(&graph, QPoint());
                panel.Slider->setValue(1);
                graph.WaitForMap(); // the tracks and the iteration come with the map
                const TIterationOverlay& o = view.Overlay();
                // The antigradient arrow leaves the chosen point, the step
                // taken ends at the next one.
                TTrackPixels pixels;
                FillTrackPixels(*p.S.Track, 0, 1, p.S.View, pixels);
                QCOMPARE(o.Antigradient.size(), std::size_t(1));
                QVERIFY(std::abs(o.Antigradient[0].X1 - pixels[1].X) <= 1 && std::abs(o.Antigradient[0].Y1 - pixels[1].Y) <= 1);
                QCOMPARE(o.Steps.size(), std::size_t(1));
                QVERIFY(std::abs(o.Steps[0].X2 - pixels[2].X) <= 1 && std::abs(o.Steps[0].Y2 - pixels[2].Y) <= 1);
                QCOMPARE(o.Directions.size(), std::size_t(1));
                QVERIFY(!o.Trials.empty());
                QVERIFY(panel.Legend->isVisible());
                QApplication::processEvents(); // the layout, after the legend showed
                QCOMPARE(panel.First->mapTo(&graph, QPoint()), buttons); // nothing moved under the pointer
                // The search tab plots phi of that search: every sample the
                // function's value on the search's line.
                TLineSearchPlot& search = *panel.Search;
                QCOMPARE(search.Shown, 0);
                QCOMPARE(static_cast<int>(search.Phi.size()), 400);
                const TSearchView s = graph.Runs[0].Log->Iteration(1).Searches[0];
                TFunction f;
                BuildTree(f, "(x[0]-1)^2+10*(x[1]+2)^2");
                for (int k : {0, 123, 399}) {
                    const double t = search.T0 + (search.T1 - search.T0) * k / 399;
                    Vector x{};
                    for (int i = 0; i < 2; ++i) x[i] = s.Origin[i] + Real(t) * s.Direction[i];
                    const double direct = double(FunctionValue(f, x, 1));
                    QVERIFY(std::abs(search.Phi[k] - direct) <= 1e-12 * std::max(1.0, std::abs(direct)));
                }
                QVERIFY(search.T0 <= 0 && search.T1 >= double(s.Accepted));
                QCOMPARE(p.S.Function.EvaluationCount, evaluations); // counted apart
                // Back to the whole track.
                panel.Last->click();
                QVERIFY(view.Overlay().Empty());
                QCOMPARE(search.Shown, -1);
                // The start (3, 4) lies above the map's view: the status
                // bar says so. Closing the panel with a point chosen shows
                // the whole track.
                QVERIFY(double(p.S.View.YMax) < 4);
                panel.Slider->setValue(0);
                graph.WaitForMap();
                QVERIFY(!view.Overlay().Empty());
                QCOMPARE(graph.StatusBar1->currentMessage(), T("Точка %1 вне карты: (%2; %3)").arg(0).arg(3).arg(4));
                graph.showRuns->trigger();
                QVERIFY(panel.isHidden());
                graph.WaitForMap();
                QVERIFY(view.Overlay().Empty());
                QCOMPARE(graph.CurrentPoint, -1);
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(checked);
    }

    // Nelder–Mead's iteration is its simplex; BFGS's search shows the Wolfe
    // conditions.
    void theSimplexAndTheWolfeSearch() {
        for (int method : {2, 3}) {
            Program p;
            if (method == 2) {
                p.form1->N1->trigger();
                p.form1->TabControl1->setCurrentIndex(2); // Nelder–Mead
            } else {
                p.form1->N4->trigger();
                p.form1->TabControl1->setCurrentIndex(3); // BFGS
            }
            p.Formula("100*(x[1]-x[0]^2)^2+(1-x[0])^2", "-1.2,1");
            bool checked = false;
            p.form1->GraphShown = [&](TForm3& graph) {
                QTimer::singleShot(0, &graph, [&] {
                    graph.showRuns->trigger();
                    TRunPanel& panel = *graph.RunPanel;
                    panel.Slider->setValue(3);
                    graph.WaitForMap();
                    const TIterationOverlay& o = static_cast<TMapView*>(graph.Image1)->Overlay();
                    if (method == 2) {
                        QCOMPARE(o.Simplex.size(), std::size_t(3)); // a triangle's edges
                        QVERIFY(o.Antigradient.empty());
                        QCOMPARE(panel.Search->Shown, -1);
                        QCOMPARE(panel.Search->Note->text(), T("Метод Нелдера-Мида не ищет на прямой: на карте — его симплекс."));
                    } else {
                        QCOMPARE(o.Antigradient.size(), std::size_t(1));
                        QCOMPARE(panel.Search->Shown, 0);
                        QVERIFY(panel.Search->Note->text().endsWith(
                            T(". Пунктир — достаточное убывание, точки — наклон условия кривизны (Вольфе).")));
                    }
                    checked = true;
                    graph.accept();
                });
            };
            QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
            QVERIFY(checked);
        }
    }

    // "Вид" → "Карта сходимости": steepest descent on a function with two
    // minima, x[0] = -1 and 1: the starts left of the middle lead to one,
    // those right of it to the other; a click shows a start's track.
    void basinsOfTheRunsMethod() {
        Program p;
        p.form1->N2->trigger();
        p.form1->TabControl1->setCurrentIndex(2); // steepest descent
        p.Formula("(x[0]^2-1)^2+x[1]^2", "0.5,0.5");
        bool checked = false;
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                graph.Edit1->setText(QStringLiteral("-2"));
                graph.Edit2->setText(QStringLiteral("2"));
                graph.Edit3->setText(QStringLiteral("-1"));
                graph.Edit4->setText(QStringLiteral("1"));
                graph.Button1Click();
                QVERIFY(graph.showBasins->isEnabled());
                graph.showBasins->trigger();
                QVERIFY(graph.Basins);
                TBasinsWindow& b = *graph.Basins;
                QVERIFY(b.isVisible());
                b.Wait();
                const TBasins& basins = b.Basins();
                QCOMPARE(basins.MinimumCount, 2);
                QCOMPARE(b.Legend->rowCount(), static_cast<int>(basins.Groups.size()));
                QCOMPARE(b.Progress->value(), 50 * 50);
                // Left and right of the middle, the two minima's colours.
                const TColour left = b.Canvas().Pixel(100, 250), right = b.Canvas().Pixel(400, 250);
                QVERIFY(!(left == right));
                const QImage before = b.Canvas().Image().copy();
                b.ChooseCell(45, 10);
                QVERIFY(b.Canvas().Image() != before); // its track over the picture
                QVERIFY(b.Status->text().contains(T("сходимость")));
                // An odd grid has a column of starts on the ridge x[0] = 0,
                // which end at the saddle: named so, after the minima.
                b.GridSize->setValue(51);
                b.Compute();
                b.Wait();
                QCOMPARE(b.Basins().MinimumCount, 2);
                QCOMPARE(b.Basins().StationaryCount, 3);
                QCOMPARE(b.Legend->item(0, 0)->text(), T("минимум %1").arg(1));
                QCOMPARE(b.Legend->item(2, 0)->text(), T("седловая точка %1").arg(1));
                QCOMPARE(b.Legend->item(2, 2)->text(), QStringLiteral("1")); // f at (0, 0)
                // Stopped, it says how far it came and shows the starts
                // that ran.
                b.GridSize->setValue(200);
                b.Compute();
                QTest::qWait(50);
                b.Stop();
                QVERIFY(b.Basins().Cancelled || b.Basins().CellsDone == 200 * 200);
                QVERIFY(!b.Running());
                if (b.Basins().Cancelled && b.Basins().CellsDone > 0) {
                    QVERIFY(b.Status->text().contains(QString::number(b.Basins().CellsDone)));
                    QVERIFY(b.Legend->rowCount() > 0);
                    QVERIFY(!(b.Canvas().Pixel(0, 0) == kWhite)); // the first column ran first
                }
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(checked);
    }

    void wheelZoomsAboutTheCursor() {
        Program p;
        p.Formula("x[0]^2+x[1]^2", "0,0");
        bool checked = false;
        p.form1->GraphShown = [&](TForm3& graph) {
            QTimer::singleShot(0, &graph, [&] {
                QCOMPARE(double(p.S.View.XMin), -5.0);
                // Pixel (100, 250) is x = -3, y = 0; one step in halves the view about it.
                QWheelEvent in(QPointF(100, 250), graph.Image1->mapToGlobal(QPointF(100, 250)), QPoint(),
                               QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(graph.Image1, &in);
                QCOMPARE(double(p.S.View.XMin), -4.0);
                QCOMPARE(double(p.S.View.XMax), 1.0);
                QCOMPARE(graph.Edit1->text(), QStringLiteral("-4"));
                QWheelEvent out(QPointF(100, 250), graph.Image1->mapToGlobal(QPointF(100, 250)), QPoint(),
                                QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(graph.Image1, &out);
                QCOMPARE(double(p.S.View.XMin), -5.0);
                QCOMPARE(double(p.S.View.XMax), 5.0);
                QCOMPARE(graph.save1->shortcut(), QKeySequence(QKeySequence::Save));
                checked = true;
                graph.accept();
            });
        };
        QTest::mouseClick(p.form1->Button1, Qt::LeftButton);
        QVERIFY(checked);
    }

    void aLongTrackOpensInTheTableAtOnce() {
        TShownRun run;
        run.Track = std::make_shared<Tdata>();
        run.LastIndex = 1;
        for (int k = 0; k < 100000; ++k) {
            AddTrackPoint(*run.Track, Vector{k * 1e-3L, -k * 1e-3L}, 1, 0);
            run.Values.push_back(k);
        }
        std::vector<TShownRun> runs{run};
        TRunPanel panel;
        panel.resize(400, 600);
        panel.show();
        QElapsedTimer clock;
        clock.start();
        panel.SetRuns(&runs, {});
        QApplication::processEvents();
        const qint64 opened = clock.elapsed();
        QCOMPARE(panel.Model->rowCount(), 100000);
        QCOMPARE(panel.Model->index(99999, 2).data().toString(), QStringLiteral("-99.999"));
        panel.Table->scrollToBottom();
        QApplication::processEvents();
        qInfo("100,000 points open in the table in %lld ms", static_cast<long long>(opened));
        QVERIFY(opened < 2000); // generous for a loaded machine; bench_runs measures it
    }

    void convergencePlotTakesZerosAndUndefinedValuesToItsFloor() {
        TShownRun a, b;
        a.Values = {100, 1, 0.01L, 0};      // ends at the best value: difference 0
        b.Values = {50, std::nanl(""), 5}; // an undefined value
        std::vector<TShownRun> runs{a, b};
        TConvergencePlot plot;
        plot.resize(400, 300);
        plot.SetRuns(&runs);
        QCOMPARE(plot.LowestLog(), -3.0); // a tenth of the smallest positive difference, 0.01
        QCOMPARE(plot.HighestLog(), 2.0);
        QCOMPARE(plot.PlaceOf(0, 3).y(), plot.PlaceOf(1, 1).y()); // both at the floor
        QVERIFY(plot.PlaceOf(0, 0).y() < plot.PlaceOf(0, 1).y()); // higher values higher up
    }
};

QIRT_TEST_MAIN(RunsTest)
#include "runs_test.moc"
