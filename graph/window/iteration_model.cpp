#include "graph/window/iteration_model.h"

#include <cmath>

#include "graph/widgets/texts.h"

namespace qirt {

void TIterationModel::SetRun(const TShownRun* run) {
    beginResetModel();
    run_ = run;
    points_ = run ? run->Points() : std::vector<const TrackPoint*>{};
    outer_.assign(run && !run->Region.Outer.empty() ? points_.size() : 0, 0);
    if (!outer_.empty())
        for (std::size_t k = 0; k < run->Region.Outer.size(); ++k) {
            const auto row = static_cast<std::size_t>(run->Region.Outer[k].FirstTrackPoint);
            if (row < outer_.size()) outer_[row] = static_cast<int>(k + 1);
        }
    endResetModel();
}

int TIterationModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(points_.size());
}

int TIterationModel::columnCount(const QModelIndex& parent) const {
    // k, the coordinates, f, the gradient evidence at the last point, and
    // the outer steps of a strategy
    return parent.isValid() || !run_ ? 0 : run_->LastIndex + (outer_.empty() ? 4 : 5);
}

QVariant TIterationModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const int column = index.column();
    if (column == 0) return QString::number(index.row());
    if (column <= run_->LastIndex + 1) return Text(points_[row]->X[column - 1]);
    if (column == run_->LastIndex + 3)
        return row + 1 == points_.size() ? GradientText(run_->GradientNorm) : QString();
    if (column == run_->LastIndex + 4) return outer_[row] ? QString::number(outer_[row]) : QString();
    if (row >= run_->Values.size() || std::isnan(run_->Values[row]))
        return Tr("qirt", "не определена");
    return Text(run_->Values[row]);
}

QVariant TIterationModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !run_) return {};
    if (section == 0) return QStringLiteral("k");
    if (section <= run_->LastIndex + 1) return QStringLiteral("x[%1]").arg(section - 1);
    if (section == run_->LastIndex + 2) return QStringLiteral("f");
    if (section == run_->LastIndex + 3) return QString::fromUtf8("‖∇f‖∞");
    return Tr("qirt", "Внешний шаг");
}

} // namespace qirt
