// What a run with a region found about the region, beside the map: f with
// and without the penalty terms, the largest violation, the KKT residual
// and how the strategy ended; each condition's value, violation, state and
// multiplier; and the outer steps of a sequence or of the multipliers.
#pragma once

#include <QWidget>

#include "methods/region_report.h"

class QLabel;
class QTableWidget;

namespace qirt {

class TRegionPanel : public QWidget {
public:
    explicit TRegionPanel(QWidget* parent = nullptr);

    // Shows the report of a run over the coordinates 0 ... lastIndex.
    void Show(const TRegionReport& report, int lastIndex);

    QLabel* Summary;
    QTableWidget* Conditions; // number, c, violation, state, multiplier
    QTableWidget* Outer;      // step, coefficient, weight, point, f, violation, iterations, end
};

} // namespace qirt
