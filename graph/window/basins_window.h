// The basins of attraction of the run's method over the map's view: the
// method started from every cell of an N x N grid, each cell coloured by
// the minimum its run reached (or the tone of how it ended) and shaded by
// its iterations, with the legend of the minima found. The work runs on
// worker threads with a progress bar and can be stopped; a click on a cell
// runs that start again and draws its track over the picture.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include <QWidget>

#include "graph/image/image_canvas.h"
#include "methods/basins.h"
#include "methods/run.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace qirt {

class TBasinsView;

class TBasinsWindow : public QWidget {
public:
    // The inputs of the run and a view of the variables a and b; the
    // session's region is copied at once (the session itself is not kept).
    TBasinsWindow(const TSession& S, const TRunInputs& in, QWidget* parent = nullptr);
    ~TBasinsWindow() override;

    // A new view (the map's) for the next computation.
    void SetView(const TViewRange& view, int a, int b, const QString& xName, const QString& yName);
    // Starts the computation (a running one is stopped first).
    void Compute();
    // Stops a running computation; the picture shows what was done.
    void Stop();
    bool Running() const { return worker_.joinable(); }
    // Waits for the running computation and shows it.
    void Wait();
    // The run of cell (i, j) again, its track over the picture.
    void ChooseCell(int i, int j);

    const TBasins& Basins() const { return *shown_; }
    const TImageCanvas& Canvas() const { return canvas_; }

    QSpinBox* GridSize;
    QPushButton *Start, *Cancel;
    QProgressBar* Progress;
    QTableWidget* Legend;
    QLabel* Status; // the chosen cell, or how the computation ended
    TBasinsView* View;

private:
    void Finished();
    void Paint();

    std::unique_ptr<TSession> snapshot_; // the region, for every worker
    TRunInputs inputs_;
    TBasinGrid grid_;
    QString xName_, yName_;
    std::unique_ptr<TBasins> computing_, shown_;
    std::atomic<bool> cancel_{false}, done_{false};
    std::atomic<int> cellsDone_{0};
    std::thread worker_;
    QTimer* poll_;
    TImageCanvas canvas_;
    QImage picture_; // the basins without a chosen track
};

} // namespace qirt
