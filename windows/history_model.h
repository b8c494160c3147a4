// The formula list's items: the lines of the function history read at
// start, turned into text only when the list shows them. Nothing is stored
// per line, so a history of millions of formulas opens at once.
#pragma once

#include <string_view>

#include <QAbstractListModel>

#include "windows/history.h"

namespace qirt {

// Windows-1251 bytes as a Qt string.
QString Cp1251ToQString(std::string_view bytes);

class THistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The lines from `first` on. The list holds at least one item: the
    // empty text when the history has no line.
    THistoryModel(const TFunctionHistory& history, std::size_t first, QObject* parent)
        : QAbstractListModel(parent), history_(history), first_(first) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const TFunctionHistory& history_;
    std::size_t first_;
};

// Typing in the formula field completes from the newest formulas only:
// completion scans its lines at every key, and this many take a few
// milliseconds.
inline constexpr std::size_t kCompletionLines = 100'000;

} // namespace qirt
