#include "graph/window/basins_window.h"

#include <cmath>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "graph/map/basins_picture.h"
#include "graph/map/map.h"
#include "graph/widgets/texts.h"
#include "methods/run_end.h"

namespace qirt {

namespace {

// A group's name in the legend: a stationary point by its kind, numbered
// within its kind ("минимум 2", "седловая точка 1"), other runs by how they
// ended.
QString GroupName(const TBasins& b, int group) {
    const TBasinGroup& g = b.Groups[static_cast<std::size_t>(group)];
    if (!g.Converged()) return Tr(EndText(g.End));
    int number = 1;
    for (int k = 0; k < group; ++k) number += b.Groups[static_cast<std::size_t>(k)].Kind == g.Kind;
    switch (g.Kind) {
    case TStationary::Saddle: return Tr("qirt", "седловая точка %1").arg(number);
    case TStationary::Maximum: return Tr("qirt", "максимум %1").arg(number);
    case TStationary::Minimum: break;
    }
    return Tr("qirt", "минимум %1").arg(number);
}

} // namespace

// The picture, 500 x 500, with a cross-hair; a click names a cell.
class TBasinsView : public QWidget {
public:
    explicit TBasinsView(const TImageCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
        setFixedSize(kMapPixels, kMapPixels);
        setCursor(Qt::CrossCursor);
    }
    std::function<void(int x, int y)> Clicked;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, canvas_.Image());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (Clicked) Clicked(e->position().toPoint().x(), e->position().toPoint().y());
    }

private:
    const TImageCanvas& canvas_;
};

TBasinsWindow::TBasinsWindow(const TSession& S, const TRunInputs& in, QWidget* parent)
    : QWidget(parent, Qt::Window), inputs_(in), shown_(std::make_unique<TBasins>()),
      canvas_(kMapPixels, kMapPixels) {
    setWindowTitle(Tr("qirt", "Карта сходимости"));
    // The region as the run had it, read again from its texts, for every
    // worker; the session itself goes on changing while the work runs.
    snapshot_ = std::make_unique<TSession>();
    for (const straf* c = S.Conditions.Head; c; c = c->Next)
        snapshot_->Conditions.AddCondition(c->Text, c->CoefficientText, c->PowerText, c->PenaltyKind);
    snapshot_->Conditions.PenaltyEnabled = S.Conditions.PenaltyEnabled;
    snapshot_->Conditions.BoundaryTolerance = S.Conditions.BoundaryTolerance;
    snapshot_->ConditionCount = S.ConditionCount;
    snapshot_->Function.Conditions = S.Function.Conditions ? &snapshot_->Conditions : nullptr;

    auto* layout = new QHBoxLayout(this);
    View = new TBasinsView(canvas_, this);
    layout->addWidget(View, 0, Qt::AlignTop);
    auto* side = new QVBoxLayout;
    layout->addLayout(side, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(Tr("qirt", "Сетка N × N, N ="), this));
    GridSize = new QSpinBox(this);
    GridSize->setRange(kMinBasinGrid, kMaxBasinGrid);
    GridSize->setValue(kDefaultBasinGrid);
    row->addWidget(GridSize);
    Start = new QPushButton(Tr("qirt", "Построить"), this);
    Cancel = new QPushButton(Tr("qirt", "Остановить"), this);
    row->addWidget(Start);
    row->addWidget(Cancel);
    row->addStretch(1);
    side->addLayout(row);
    Progress = new QProgressBar(this);
    side->addWidget(Progress);
    Legend = new QTableWidget(0, 5, this);
    // Two-line headings: the five columns fit beside the picture.
    Legend->setHorizontalHeaderLabels({Tr("qirt", "Итог"), Tr("qirt", "Точка"), QStringLiteral("f"),
                                       Tr("qirt", "Доля\nстартов"), Tr("qirt", "Медиана\nитераций")});
    Legend->verticalHeader()->hide();
    Legend->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Legend->setTextElideMode(Qt::ElideRight);
    // The numbers as wide as they are; the names take the room left.
    Legend->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Legend->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    side->addWidget(Legend, 1);
    Status = new QLabel(this);
    Status->setWordWrap(true);
    side->addWidget(Status);
    auto* note = new QLabel(Tr("qirt", "Цвет клетки — точка, где остановился метод, начав из её центра (минимум, "
                                      "седло или серый — остановка по иной причине); светлее — меньше итераций, "
                                      "темнее — больше. Щёлкните клетку, чтобы увидеть её траекторию."),
                            this);
    note->setWordWrap(true);
    side->addWidget(note);
    resize(1160, 560); // the legend's five columns without scrolling

    poll_ = new QTimer(this);
    poll_->setInterval(30);
    connect(poll_, &QTimer::timeout, this, [this] {
        Progress->setValue(cellsDone_.load(std::memory_order_relaxed));
        if (done_.load(std::memory_order_acquire)) Finished();
    });
    connect(Start, &QPushButton::clicked, this, [this] { Compute(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { Stop(); });
    View->Clicked = [this](int x, int y) {
        int i, j;
        if (BasinCellAt(*shown_, kMapPixels, x, y, i, j)) ChooseCell(i, j);
    };
    Cancel->setEnabled(false);
}

TBasinsWindow::~TBasinsWindow() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void TBasinsWindow::SetView(const TViewRange& view, int a, int b, const QString& xName, const QString& yName) {
    grid_.View = view;
    grid_.A = a;
    grid_.B = b;
    xName_ = xName;
    yName_ = yName;
}

void TBasinsWindow::Compute() {
    Stop();
    grid_.Size = GridSize->value();
    computing_ = std::make_unique<TBasins>();
    cancel_ = false;
    done_ = false;
    cellsDone_ = 0;
    Progress->setRange(0, grid_.Size * grid_.Size);
    Progress->setValue(0);
    Start->setEnabled(false);
    Cancel->setEnabled(true);
    Status->setText(Tr("qirt", "Идёт расчёт…"));
    // The worker reads the snapshot, the inputs and the grid, and writes
    // only its result; this thread takes it after the join.
    TBasins* const result = computing_.get();
    worker_ = std::thread([this, result] {
        ComputeBasins(*snapshot_, inputs_, grid_, *result,
                      [this](int done, int) { cellsDone_.store(done, std::memory_order_relaxed); }, &cancel_);
        done_.store(true, std::memory_order_release);
    });
    poll_->start();
}

void TBasinsWindow::Stop() {
    if (!worker_.joinable()) return;
    cancel_ = true;
    Wait();
}

void TBasinsWindow::Wait() {
    if (!worker_.joinable()) return;
    worker_.join();
    Finished();
}

void TBasinsWindow::Finished() {
    if (worker_.joinable()) worker_.join();
    poll_->stop();
    if (!computing_) return;
    shown_ = std::move(computing_);
    Start->setEnabled(true);
    Cancel->setEnabled(false);
    Progress->setValue(shown_->CellsDone);
    Paint();
    const std::vector<TBasinLegendRow> rows = BasinLegend(*shown_);
    Legend->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TBasinGroup& g = rows[static_cast<std::size_t>(r)].Data;
        // Six digits in the table, every digit in the tips.
        QStringList point, whole;
        for (int i = 0; i <= shown_->LastIndex; ++i) {
            point << QLocale::c().toString(double(g.Point[i]), 'g', 6);
            whole << GeneralNumberText(double(g.Point[i]));
        }
        // A start where f is undefined has no value to show.
        const bool valued = g.End != TRunEnd::UndefinedStart && std::isfinite(double(g.Value));
        const QString texts[5] = {GroupName(*shown_, r), point.join(QStringLiteral("; ")),
                                  valued ? QLocale::c().toString(double(g.Value), 'g', 6) : QStringLiteral("—"),
                                  // Three digits, so that one start in 2,500 is not "0.0 %".
                                  QStringLiteral("%1 %").arg(QLocale::c().toString(100 * g.Share, 'g', 3)),
                                  QString::number(g.MedianIterations)};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setToolTip(c == 1                ? whole.join(QStringLiteral("; "))
                             : c == 2 && valued ? GeneralNumberText(double(g.Value))
                                                : texts[c]);
            Legend->setItem(r, c, item);
        }
        const TColour colour = rows[static_cast<std::size_t>(r)].Colour;
        QPixmap swatch(14, 14);
        swatch.fill(QColor(colour.Red, colour.Green, colour.Blue));
        Legend->item(r, 0)->setIcon(QIcon(swatch));
    }
    if (shown_->Cancelled)
        Status->setText(Tr("qirt", "Остановлено: выполнено стартов %1 из %2.")
                            .arg(shown_->CellsDone)
                            .arg(shown_->Grid.Size * shown_->Grid.Size));
    else if (shown_->Status == TRunStatus::Done && shown_->StationaryCount > shown_->MinimumCount)
        Status->setText(Tr("qirt", "Минимумов: %1, седловых точек и максимумов: %2; стартов: %3; %4 с.")
                            .arg(shown_->MinimumCount)
                            .arg(shown_->StationaryCount - shown_->MinimumCount)
                            .arg(shown_->Grid.Size * shown_->Grid.Size)
                            .arg(shown_->Seconds, 0, 'f', 2));
    else if (shown_->Status == TRunStatus::Done)
        Status->setText(Tr("qirt", "Минимумов: %1; стартов: %2; %3 с.")
                            .arg(shown_->MinimumCount)
                            .arg(shown_->Grid.Size * shown_->Grid.Size)
                            .arg(shown_->Seconds, 0, 'f', 2));
    else
        Status->setText(Tr("qirt", "Расчёт не выполнен."));
}

void TBasinsWindow::Paint() {
    canvas_.Fill(kWhite);
    if (!shown_->Cells.empty()) PaintBasins(*shown_, canvas_);
    picture_ = canvas_.Image().copy();
    View->update();
}

void TBasinsWindow::ChooseCell(int i, int j) {
    if (worker_.joinable() || shown_->Cells.empty()) return;
    const TRunResult r = RunBasinCell(*snapshot_, inputs_, *shown_, i, j);
    canvas_.SetImage(picture_);
    if (r.Track && r.Track->Head)
        DrawColouredTrack(shown_->Grid.View, canvas_, shown_->Grid.A, shown_->Grid.B, *r.Track, kBlack, true);
    View->update();
    const Vector start = BasinCellStart(*shown_, i, j);
    Status->setText(Tr("qirt", "Старт (%1; %2): итераций %3, f = %4 — %5.")
                        .arg(GeneralNumberText(double(start[shown_->Grid.A])),
                             GeneralNumberText(double(start[shown_->Grid.B])))
                        .arg(r.Iterations)
                        .arg(GeneralNumberText(double(r.Minimum)), Tr(EndText(r.End))));
}

} // namespace qirt
