// The graph window: the result of a run on the left, the colour map of the
// function with the track of iterates on the right, and the controls that
// choose the axis variables and the view range, the read-out of the value
// under the mouse, and the saving of the map and the track.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

#include <QDialog>
#include <QPoint>
#include <QString>

#include <vector>

#include <QImage>

#include "graph/image/image_canvas.h"
#include "graph/image/plot_picture.h"
#include "graph/track/map_transform.h"
#include "graph/window/run_panel.h"
#include "graph/image/shown_run.h"
#include "methods/compare.h"
#include "methods/run.h"
#include "methods/session.h"

class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolButton;
class QAction;
class QTimer;

namespace qirt {

class TMapAxes;
class TColourBar;
class TSurfaceWindow;
class TBasinsWindow;

class TMapView;
struct TMapRequest;
struct TReport;
struct TMapPanel;

// Asks where to write a report, HTML or PDF; a name typed without an
// ending takes the chosen filter's. Empty when cancelled.
QString AskReportName(QWidget* parent);

class TForm3 : public QDialog {
    Q_OBJECT
public:
    // The window over the program's session: its function object, track,
    // found point, last variable index and view range.
    explicit TForm3(TSession& session, QWidget* parent = nullptr);
    ~TForm3() override;

    // Left column.
    QLabel *label1, *Label14, *Label2, *Label3, *Label15, *Label16, *Label17, *Label18, *Label19,
        *Label20, *Label21, *Label11, *Label12, *Label13, *Label4;
    QLabel *Label22, *Label23, *Label24; // gradient caption, its value, the end
    // The largest gradient component where the single run ended, for the
    // last row of its iteration table.
    Real SingleRunGradient = std::nanl("");
    TRegionReport SingleRunRegion; // what a single run found about the region
    // What the single run's method used for each step, and its method.
    std::shared_ptr<const TIterationLog> SingleRunLog;
    int SingleRunMethod = -1;
    QListWidget* ListBox1;
    QComboBox *ComboBox1, *ComboBox2;
    QPushButton *Button1, *Button2, *Button3;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
    // The map and its surroundings.
    QScrollArea* ScrollBox1;
    QWidget* Image1; // the map image, with a cross-hair cursor
    QLabel *Label5, *Label6, *Label7, *Label8, *Label9, *Label10;
    QToolButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4;
    QStatusBar* StatusBar1;
    // The "File" menu and its dialogs.
    QMenuBar* MainMenu1;
    QAction *save1, *saveas1, *savetrek1, *saveastrek1;
    QFileDialog *SavePictureDialog1, *SaveDialog1;
    // Beyond the map of one run: exports, and the panel of runs (the
    // iteration table, the slider, the convergence plot, the comparison).
    QAction *savePng, *saveCsv, *saveResults, *showRuns;
    // Shades the part of the view outside the region (enabled with a region).
    QAction* shadeOutside;
    QAction *mapFilled, *mapLevelLines; // the map's look
    QAction* saveGrid;                  // the sampled grid as CSV
    QAction* exportPlot;                // the plot as PNG or SVG at a chosen size
    QAction* saveReport;                // the report of what is shown, HTML or PDF
    QAction *showSurface, *saveSurface; // f over the view as a 3-D surface, and its PNG
    TSurfaceWindow* Surface = nullptr;  // made when first asked for
    // Where each start leads: the run's method from every cell of a grid.
    QAction* showBasins;
    TBasinsWindow* Basins = nullptr;
    // The main window's inputs of the run shown (for the basins).
    TRunInputs RunInputs;
    bool HaveRunInputs = false;
    QLabel* OutsideLegend;
    TMapAxes* Axes;  // ticks along the map's edges
    TColourBar* Bar; // the levels' colours and values beside the map
    TRunPanel* RunPanel;
    std::vector<TShownRun> Runs;      // one run, or the compared ones
    std::vector<TResultRow> ResultRows;       // of a comparison, as shown
    std::vector<TComparisonRow> ComparedRows; // the same, as computed
    bool Comparing = false;
    int CurrentPoint = -1; // the point the slider chose; -1: the whole track

    QString MapFileName, TrackFileName;
    // The last map took long enough to show the busy cursor over the map.
    bool LastRedrawBusy = false;
    bool Dragging = false;
    int GridSize = 0;
    std::array<std::pair<Real, Real>, 10> AxisRanges{};
    QPoint DragOrigin, DragCorner;
    bool frameDrawn_ = false;     // a frame stands on the map since the press
    int widthWithoutPanel_ = 0;   // the window's width before the run panel opened
    bool penBeforeFrame_ = false; // the canvas's inverting pen at the press

    // The picture as shown once the map asked for last has arrived (waits
    // for it).
    const TImageCanvas& Canvas() const;
    // The picture on the screen now, a map on its way or not.
    const QImage& ShownImage() const;
    // Whether a map is being computed.
    bool MapPending() const;
    // Waits for the map asked for last and shows it at once.
    void WaitForMap();

    void FormCreate();
    void ShowRanges();
    void RememberRanges();
    void FillXAxisList(const QString& excluded, int lastIndex);
    void FillYAxisList(const QString& excluded, int lastIndex);
    bool IsListedX() const;
    bool IsListedY() const;
    void DrawZoomFrame();
    // The colour count field holds a whole number of at least 1, or nothing
    // (18 levels); otherwise the user is told and nothing is redrawn.
    bool ColourCountUsable();
    // Asks for the map of the current view on a worker thread and returns
    // at once: the picture shown stays until the map arrives; a newer
    // request cancels an older one.
    void RedrawMap();
    // The tracks again over the map as last painted.
    void RepaintTracks();
    // The runs of a comparison (with their results rows), or of one run.
    void ShowRuns(std::vector<TShownRun> runs, const std::vector<TResultRow>& results,
                  const std::vector<TComparisonRow>& compared);
    // The map as shown, with the legend of a comparison below it.
    QImage MapPicture() const;
    bool WritePng(const QString& fileName) const;
    bool WriteTrackCsv(const QString& fileName);
    bool WriteResultsCsv(const QString& fileName) const;
    // The samples of the map shown, x, y and f a line each.
    bool WriteGridCsv(const QString& fileName);
    // The plot as the window shows it: map, ticks, colour bar, legend, title.
    TPlotPicture PlotPicture() const;
    bool WritePlot(const QString& fileName, QSize size) const;
    // The run or comparison shown as a report: the task from the main
    // window's inputs and the region in force, the view as shown, the
    // figures as the window shows them, the 500 x 500 map with its tracks.
    TReport Report();
    bool WriteReport(const QString& fileName, QString& error);
    void WheelZoom(int x, int y, int steps);
    // The map at its first size, 500 x 500, as "save map" writes it: the
    // canvas when the map is shown at that size, else the same view
    // sampled and painted again at that size.
    QImage FirstSizeMap();

public slots:
    void Button1Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void Button2Click();
    void Button3Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void save1Click();
    void saveas1Click();
    void savetrek1Click();
    void saveastrek1Click();
    void SaveMapPng();
    void SaveTrackCsv();
    void SaveResultsCsv();
    void SaveGridCsv();
    void ExportPlot();
    void SaveReport();
    void ShowRunPanel(bool shown);
    void ShowSurface();
    void ShowBasins();
    void SaveSurfacePng();

public:
    // Mouse on the map, in pixels of the image; any button.
    void Image1MouseDown(int X, int Y);
    void Image1MouseMove(int X, int Y);
    void Image1MouseUp(int X, int Y);
    void Image1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    // The map as large as the scroll box lets it be; a canvas of a new size
    // (or for a screen of other device pixels) is sampled again.
    void FitMap(bool ratioChanged = false);
    // The surface window follows the map shown, the chosen run's track and
    // the chosen point.
    void UpdateSurface(bool wholeSurface);
    // Canvas pixels and the numbers they stand for, over a view.
    TMapTransform Transform(const TViewRange& v) const;
    // The variable index an axis field names; the last good one while the
    // field holds something else.
    int AxisVariable(const QComboBox* box, int& lastGood) const;
    // The status bar says so when the chosen point of a run lies off the map.
    void SayIfOutsideMap(int run, int point);
    void MoveView(Real dxMin, Real dxMax, Real dyMin, Real dyMax, bool remember);
    void AxisChanged(QComboBox* changed, QComboBox* other, QLabel* rangeHeading, QLabel* axisLabel,
                     QLineEdit* low, QLineEdit* high);
    void ShowValueAt(int X, int Y);
    // The function as the map evaluates it (the penalties only in an
    // extended plot), on copies made when first asked for.
    TFunction& MapFunction();
    void DrawTracks();
    // The tracks on a canvas; gives the canvas pixel of the chosen point's
    // mark, (-1, -1) when none is chosen.
    QPoint DrawTracks(TCanvas& canvas);
    void TakeSingleRun();
    void CannotCreate(const QString& fileName);
    void CancelMap();
    void MapArrived(std::uint64_t generation);

    TSession& S;
    TMapView* view_ = nullptr;
    std::unique_ptr<TMapPanel> mapPanel_; // the map's box and what it holds
    QImage mapOnly_; // the map as last painted, before the tracks
    int horizontal_ = 0, vertical_ = 1;
    std::unique_ptr<TMapRequest> request_; // the map being computed
    std::uint64_t mapGeneration_ = 0;
    QTimer* busyTimer_ = nullptr;
    QTimer* arrivalTimer_ = nullptr; // looks for the finished map
    // What the value under the mouse is read from: copies of the function
    // and region, made at the first read-out.
    // phi along a search: copies of the function and region as the run
    // minimised them, so that the run's counts stay as they are.
    std::unique_ptr<TFunction> searchFunction_;
    std::unique_ptr<uslov> searchRegion_;
    std::unique_ptr<TFunction> readFunction_;
    std::unique_ptr<uslov> readRegion_;
};

} // namespace qirt
