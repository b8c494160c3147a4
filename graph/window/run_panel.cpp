#include "graph/window/run_panel.h"

#include <algorithm>
#include <iterator>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPixmap>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "graph/window/convergence_plot.h"
#include "graph/window/iteration_model.h"
#include "graph/window/line_search_plot.h"
#include "graph/window/region_panel.h"
#include "graph/widgets/texts.h"

namespace qirt {

TRunPanel::TRunPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    Tabs = new QTabWidget(this);
    // Whole captions; the panel is at least as wide as its tabs (see
    // FitTabs), and should it still be narrower they scroll.
    Tabs->setElideMode(Qt::ElideNone);
    Tabs->setUsesScrollButtons(true);
    layout->addWidget(Tabs);

    auto* iterations = new QWidget;
    auto* column = new QVBoxLayout(iterations);
    Table = new QTableView;
    Model = new TIterationModel(Table);
    Table->setModel(Model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->verticalHeader()->hide();
    // Rows of one height and no measuring per row: 100,000 points open at once.
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 4);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Table->horizontalHeader()->setDefaultSectionSize(
        Table->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000000000000000")) + 8);
    Table->setTextElideMode(Qt::ElideRight); // numbers keep their beginning; the tip has them whole
    column->addWidget(Table);
    auto* walk = new QHBoxLayout;
    auto button = [&](const char* text, const char* hint) {
        auto* b = new QToolButton;
        b->setText(QString::fromUtf8(text));
        b->setToolTip(Tr(hint));
        walk->addWidget(b);
        return b;
    };
    First = button("|◀", UI_TEXT("qirt", "К первой точке"));
    Back = button("◀", UI_TEXT("qirt", "На точку назад"));
    Slider = new QSlider(Qt::Horizontal);
    walk->addWidget(Slider, 1);
    Forward = button("▶", UI_TEXT("qirt", "На точку вперёд"));
    Last = button("▶|", UI_TEXT("qirt", "Вся траектория"));
    column->addLayout(walk);
    Position = new QLabel;
    column->addWidget(Position);
    Legend = new QLabel;
    Legend->setWordWrap(true);
    Legend->setText(Tr("qirt", "На карте: <span style=\"color:#dc0000\">антиградиент</span>, "
                              "<span style=\"color:#1e3cc8\">направление поиска</span>, пробные точки (○), "
                              "<span style=\"color:#008c3c\">принятый шаг</span>, "
                              "<span style=\"color:#a000b4\">симплекс</span>, "
                              "<span style=\"color:#783c00\">оси Розенброка</span>."));
    Legend->hide();
    // Its room stays when it is hidden: the buttons above do not move
    // under the pointer when a point is chosen.
    QSizePolicy keep = Legend->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    Legend->setSizePolicy(keep);
    column->addWidget(Legend);
    Tabs->addTab(iterations, Tr("qirt", "Итерации"));

    Plot = new TConvergencePlot;
    Tabs->addTab(Plot, Tr("qirt", "Сходимость"));
    Search = new TLineSearchPlot;
    Tabs->addTab(Search, Tr("qirt", "Поиск на прямой"));

    // Owned by the panel until a comparison puts it into a tab.
    Results = new QTableWidget(0, 11, this);
    Results->hide();
    Results->setHorizontalHeaderLabels({Tr("qirt", "Метод"), Tr("qirt", "Точка"),
                                        Tr("qirt", "Минимум"), QString::fromUtf8("‖∇f‖∞"),
                                        Tr("qirt", "Итерации"),
                                        Tr("qirt", "Вычисления"), Tr("qirt", "Время, с"),
                                        Tr("qirt", "Окончание"), Tr("qirt", "f без штрафов"),
                                        Tr("qirt", "Нарушение"), Tr("qirt", "Область")});
    // Method, minimum, gradient and end first, where they are seen without
    // scrolling; the point, the counts, the time and the region's columns
    // after them.
    const int order[] = {0, 2, 3, 7, 1, 4, 5, 6, 8, 9, 10};
    for (int v = 0; v < static_cast<int>(std::size(order)); ++v)
        Results->horizontalHeader()->moveSection(Results->horizontalHeader()->visualIndex(order[v]), v);
    Results->setTextElideMode(Qt::ElideRight); // whole texts in the tips
    Results->setSelectionBehavior(QAbstractItemView::SelectRows);
    Results->setSelectionMode(QAbstractItemView::SingleSelection);
    Results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Results->verticalHeader()->hide();

    Region = new TRegionPanel(this);
    Region->hide();

    QObject::connect(Slider, &QSlider::valueChanged, this, [this](int v) { SliderMoved(v); });
    QObject::connect(First, &QToolButton::clicked, this, [this] { Slider->setValue(0); });
    QObject::connect(Back, &QToolButton::clicked, this, [this] { Slider->setValue(Slider->value() - 1); });
    QObject::connect(Forward, &QToolButton::clicked, this,
                     [this] { Slider->setValue(Slider->value() + 1); });
    QObject::connect(Last, &QToolButton::clicked, this, [this] { Slider->setValue(Slider->maximum()); });
    QObject::connect(Table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                     [this](const QModelIndex& current) {
                         if (current.isValid()) Slider->setValue(current.row());
                     });
    QObject::connect(Results, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (row < 0) return;
        ChooseRun(row);
        if (RunChosen) RunChosen(row);
    });
}

void TRunPanel::SetRuns(const std::vector<TShownRun>* runs, const std::vector<TResultRow>& results) {
    runs_ = runs;
    Plot->SetRuns(runs);
    const int resultsTab = Tabs->indexOf(Results);
    if (results.empty()) {
        if (resultsTab >= 0) Tabs->removeTab(resultsTab);
    } else {
        if (resultsTab < 0) Tabs->insertTab(0, Results, Tr("qirt", "Сравнение"));
        Results->setRowCount(static_cast<int>(results.size()));
        bool region = false;
        for (const TResultRow& row : results) region = region || !row.RegionEnd.isEmpty();
        for (int c = 8; c < 11; ++c) Results->setColumnHidden(c, !region);
        for (int r = 0; r < static_cast<int>(results.size()); ++r) {
            const TResultRow& row = results[static_cast<std::size_t>(r)];
            const QString texts[11] = {row.Method,  row.Point,     row.Minimum, row.Gradient,
                                       row.Iterations, row.Evaluations, row.Seconds, row.End,
                                       row.Objective, row.Violation, row.RegionEnd};
            for (int c = 0; c < 11; ++c) {
                auto* item = new QTableWidgetItem(texts[c]);
                item->setToolTip(texts[c]);
                Results->setItem(r, c, item);
            }
            // The legend: the method's track colour beside its name.
            const TColour colour = (*runs)[static_cast<std::size_t>(r)].Colour;
            QPixmap swatch(14, 14);
            swatch.fill(QColor(colour.Red, colour.Green, colour.Blue));
            Results->item(r, 0)->setIcon(QIcon(swatch));
        }
        Results->resizeColumnsToContents();
        // The first four share the panel's width: a long method name or
        // number is cut (its tip has it whole).
        const int room = std::max(Results->viewport()->width(), minimumWidth() - 30);
        const int shares[4][2] = {{0, 34}, {2, 24}, {3, 18}, {7, 24}}; // percent of the room
        for (const auto& [logical, percent] : shares)
            Results->setColumnWidth(logical, std::min(Results->columnWidth(logical), room * percent / 100));
        Tabs->setCurrentWidget(Results);
    }
    ChooseRun(0);
}

void TRunPanel::FitTabs() {
    const int tabs = Tabs->tabBar()->sizeHint().width() + 2 * layout()->contentsMargins().left() + 8;
    setMinimumWidth(std::max(kLeastWidth, tabs));
}

void TRunPanel::ChooseRun(int run) {
    if (!runs_ || run < 0 || run >= static_cast<int>(runs_->size())) return;
    run_ = run;
    Model->SetRun(&(*runs_)[static_cast<std::size_t>(run)]);
    Table->setColumnWidth(0, Table->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 8);
    const int points = Model->rowCount();
    const QSignalBlocker block(Slider);
    Slider->setRange(0, std::max(0, points - 1));
    Slider->setValue(Slider->maximum());
    Position->setText(Tr("qirt", "Вся траектория: %1 точек").arg(points));
    Plot->SetCurrent(run, points - 1);
    ShowIteration(-1);
    const TShownRun& shown = (*runs_)[static_cast<std::size_t>(run)];
    const int regionTab = Tabs->indexOf(Region);
    if (shown.Region.Present) {
        Region->Show(shown.Region, shown.LastIndex);
        if (regionTab < 0) Tabs->addTab(Region, Tr("qirt", "Область"));
    } else if (regionTab >= 0) {
        Tabs->removeTab(regionTab);
    }
    FitTabs();
}

int TRunPanel::CurrentPoint() const { return Slider->value(); }

void TRunPanel::SliderMoved(int point) {
    const bool whole = point == Slider->maximum();
    Position->setText(whole ? Tr("qirt", "Вся траектория: %1 точек").arg(Slider->maximum() + 1)
                            : Tr("qirt", "Точка %1 из %2").arg(point).arg(Slider->maximum()));
    {
        const QSignalBlocker block(Table->selectionModel());
        Table->selectRow(point);
        Table->scrollTo(Model->index(point, 0));
    }
    Plot->SetCurrent(run_, point);
    ShowIteration(whole ? -1 : point);
    if (PointChosen) PointChosen(run_, point, whole);
}

void TRunPanel::ShowIteration(int point) {
    const TShownRun* run = runs_ && run_ < static_cast<int>(runs_->size()) ? &(*runs_)[static_cast<std::size_t>(run_)]
                                                                            : nullptr;
    if (point < 0 || !run || !run->Log || point >= run->Log->Count()) {
        Search->Clear();
        Legend->hide();
        return;
    }
    Search->SetIteration(run->Log->Iteration(point), run->Wolfe, Sampler);
    Legend->show();
}

} // namespace qirt
