// The iteration table: one row per point of a run's track (k, x[0] ...
// x[n-1], f, and for a region strategy the outer step that starts at the
// row), answered from the track itself. Nothing is stored per row
// but a pointer, so a track of 100,000 points opens at once.
#pragma once

#include <QAbstractTableModel>

#include "graph/image/shown_run.h"

namespace qirt {

class TIterationModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRun(const TShownRun* run);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TShownRun* run_ = nullptr;
    std::vector<const TrackPoint*> points_;
    std::vector<int> outer_; // per row: the outer step starting there, or 0
};

} // namespace qirt
