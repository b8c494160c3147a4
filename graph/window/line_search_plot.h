// The search on a line of the chosen iteration: phi(t) = f(x_k + t s) over
// the steps the search explored, sampled densely on a copy of the function
// (never counted in the run's evaluations), with the trial points the
// search evaluated, the step it took and, for a search under the Wolfe
// conditions, the lines of sufficient decrease and of the curvature slope.
// An iteration with several searches (a cycle over coordinates or axes)
// offers them in a list.
#pragma once

#include <functional>
#include <vector>

#include <QWidget>

#include "methods/iteration_log.h"

class QComboBox;
class QLabel;

namespace qirt {

class TLineSearchPlot : public QWidget {
public:
    explicit TLineSearchPlot(QWidget* parent = nullptr);

    // phi at `count` steps evenly over [t0, t1]; NaN where undefined.
    using TSampler = std::function<std::vector<double>(const TSearchView&, double t0, double t1, int count)>;
    // The iteration to show (none: a short note instead), whether its
    // searches keep to the Wolfe conditions, and what samples phi.
    void SetIteration(const TIterationView& it, bool wolfe, TSampler sampler);
    void Clear();

    QComboBox* Searches;  // which search of the iteration
    QLabel* Note;         // why there is no plot, or the step taken
    // What is drawn, for tests: the explored steps, phi there, and the
    // search shown (-1: none).
    double T0 = 0, T1 = 0;
    std::vector<double> Phi;
    int Shown = -1;
    QRectF Area() const;
    // Where (t, phi) is drawn.
    QPointF PlaceOf(double t, double phi) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ShowSearch(int index);

    TIterationView iteration_;
    bool wolfe_ = false;
    TSampler sampler_;
    double low_ = 0, high_ = 1; // phi's range on the plot
};

} // namespace qirt
