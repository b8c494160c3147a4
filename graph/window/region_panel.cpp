#include "graph/window/region_panel.h"

#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include <vector>

#include "graph/widgets/texts.h"
#include "methods/constrained.h"
#include "methods/run_end.h"

namespace qirt {

namespace {

QTableWidget* MakeTable(QWidget* parent, const QStringList& headings) {
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    return table;
}

// A cell: its short text, the whole one in its tip.
struct TCell {
    QString Shown, Whole;
    TCell(const QString& text) : Shown(text), Whole(text) {}
    TCell(const QString& shown, const QString& whole) : Shown(shown), Whole(whole) {}
};

void SetRow(QTableWidget* table, int row, const std::vector<TCell>& cells) {
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        auto* item = new QTableWidgetItem(cells[static_cast<std::size_t>(c)].Shown);
        item->setToolTip(cells[static_cast<std::size_t>(c)].Whole);
        table->setItem(row, c, item);
    }
}

// A number, or a dash where there is none.
QString Number(Real v) { return v == v ? Text(v) : QStringLiteral("—"); }
// Seven significant digits for a table cell, the whole number in its tip.
TCell Short(Real v) {
    return v == v ? TCell(QString::number(double(v), 'g', 7), Text(v)) : TCell(QStringLiteral("—"));
}

} // namespace

TRegionPanel::TRegionPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    Summary = new QLabel(this);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Summary->setWordWrap(true);
    layout->addWidget(Summary);
    Conditions = MakeTable(this, {Tr("qirt", "№"), Tr("qirt", "c(x)"), Tr("qirt", "Нарушение"),
                                  Tr("qirt", "Состояние"), Tr("qirt", "Множитель")});
    layout->addWidget(Conditions, 1);
    Outer = MakeTable(this, {Tr("qirt", "Шаг"), Tr("qirt", "Коэффициент"), Tr("qirt", "Вес"),
                             Tr("qirt", "Точка"), Tr("qirt", "f"), Tr("qirt", "Нарушение"),
                             Tr("qirt", "Итерации"), Tr("qirt", "Окончание")});
    layout->addWidget(Outer, 2);
}

void TRegionPanel::Show(const TRegionReport& g, int lastIndex) {
    QStringList lines;
    lines << Tr("qirt", "Учёт области: %1").arg(Tr(RegionStrategyText(g.Strategy)));
    lines << Tr("qirt", "f без штрафов: %1").arg(Number(g.Objective));
    lines << Tr("qirt", "f со штрафами: %1").arg(Number(g.Penalised));
    lines << Tr("qirt", "Наибольшее нарушение условий: %1").arg(Number(g.Violation));
    if (g.HasMultipliers)
        lines << Tr("qirt", "Невязка условий Куна-Таккера ‖∇f + Σ λᵢ∇cᵢ‖∞: %1").arg(Number(g.Kkt));
    lines << Tr("qirt", "Итог: %1").arg(Tr(RegionEndText(g.End)));
    Summary->setText(lines.join(QLatin1Char('\n')));

    Conditions->setRowCount(static_cast<int>(g.Conditions.size()));
    for (int k = 0; k < static_cast<int>(g.Conditions.size()); ++k) {
        const TConditionState& c = g.Conditions[static_cast<std::size_t>(k)];
        const QString state = c.Violated ? Tr("qirt", "нарушено")
                              : c.Active ? Tr("qirt", "активно")
                                         : Tr("qirt", "выполнено");
        SetRow(Conditions, k,
               {QString::number(k + 1), Short(c.Value), Short(c.Violation), state,
                g.HasMultipliers ? Short(c.Multiplier) : TCell(QString())});
    }
    Conditions->resizeColumnsToContents();

    Outer->setVisible(!g.Outer.empty());
    Outer->setRowCount(static_cast<int>(g.Outer.size()));
    for (int k = 0; k < static_cast<int>(g.Outer.size()); ++k) {
        const TOuterStep& s = g.Outer[static_cast<std::size_t>(k)];
        QStringList point, whole;
        for (int i = 0; i <= lastIndex; ++i) {
            point << Short(s.Point[i]).Shown;
            whole << Text(s.Point[i]);
        }
        SetRow(Outer, k,
               {QString::number(k + 1), Short(s.Coefficient), Short(s.InteriorWeight),
                TCell(point.join(QStringLiteral("; ")), whole.join(QStringLiteral("; "))), Short(s.Objective),
                Short(s.Violation), QString::number(s.Iterations), Tr(EndText(s.End))});
    }
    Outer->resizeColumnsToContents();
}

} // namespace qirt
