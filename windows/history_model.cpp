#include "windows/history_model.h"

#include "graph/widgets/fit.h"

namespace qirt {

QString Cp1251ToQString(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (std::size_t k = 0; k < bytes.size(); ++k)
        out[k] = QChar(Cp1251Char(static_cast<unsigned char>(bytes[k])));
    return text;
}

int THistoryModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    const std::size_t lines = history_.LineCount();
    if (lines == 0) return first_ == 0 ? 1 : 0;
    return static_cast<int>(std::min<std::size_t>(lines - std::min(first_, lines), INT_MAX));
}

QVariant THistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const std::size_t row = first_ + static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) return Cp1251ToQString(history_.Line(row));
    if (role == Qt::ToolTipRole) return WholeTextTip(Cp1251ToQString(history_.Line(row)));
    return {};
}

} // namespace qirt
