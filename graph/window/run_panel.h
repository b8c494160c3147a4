// The panel beside the map for looking into runs: the iteration table of a
// run with a slider and step buttons that walk its track point by point,
// the convergence plot, and, when methods are compared, the results table
// whose rows are the runs in their track colours.
#pragma once

#include <functional>
#include <vector>

#include <QWidget>

#include "graph/image/result_row.h"
#include "graph/image/shown_run.h"

class QLabel;
class QSlider;
class QTabWidget;
class QTableView;
class QTableWidget;
class QToolButton;

namespace qirt {

class TConvergencePlot;
class TLineSearchPlot;
class TIterationModel;
class TRegionPanel;

class TRunPanel : public QWidget {
public:
    explicit TRunPanel(QWidget* parent = nullptr);
    // The panel's least width, whatever its tabs.
    static constexpr int kLeastWidth = 380;

    // The runs shown (kept by the caller); results rows only when compared.
    void SetRuns(const std::vector<TShownRun>* runs, const std::vector<TResultRow>& results);
    // The run whose track the table and slider walk.
    void ChooseRun(int run);

    int CurrentRun() const { return run_; }
    // The chosen point of the current run; the last point when the whole
    // track is shown.
    int CurrentPoint() const;

    // Told when the slider, a step button or a table row chooses a point
    // (whole: the slider stands at the end), and when a results row
    // chooses a run.
    std::function<void(int run, int point, bool whole)> PointChosen;
    std::function<void(int run)> RunChosen;

    QTabWidget* Tabs;
    QTableView* Table;
    TIterationModel* Model;
    QSlider* Slider;
    QToolButton *First, *Back, *Forward, *Last;
    QLabel* Position;
    TConvergencePlot* Plot;
    TLineSearchPlot* Search; // the chosen iteration's search on a line
    QLabel* Legend;          // what the map shows of the chosen iteration
    // Samples phi for the search tab (set by the window, on a copy of the
    // function).
    std::function<std::vector<double>(const TSearchView&, double, double, int)> Sampler;
    QTableWidget* Results; // in its own tab while methods are compared
    TRegionPanel* Region;  // in its own tab while the chosen run has a region

private:
    void SliderMoved(int point);
    // The search tab and the legend for the chosen point (-1: none).
    void ShowIteration(int point);
    // The least width grows to show every tab's whole caption.
    void FitTabs();

    const std::vector<TShownRun>* runs_ = nullptr;
    int run_ = 0;
};

} // namespace qirt
