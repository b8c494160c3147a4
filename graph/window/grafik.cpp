#include "graph/window/grafik.h"
#include "graph/widgets/file_dialog.h"

#include <atomic>
#include <cmath>
#include <thread>
#include <tuple>

#include <QApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeySequence>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "func/evaluate.h"
#include "func/messages.h"
#include "func/scan.h"
#include "graph/window/grafik_panels.h"
#include "graph/map/iteration_picture.h"
#include "graph/map/map.h"
#include "graph/image/plot_picture.h"
#include "graph/map/plot.h"
#include "methods/method_table.h"
#include "graph/window/map_axes.h"
#include "graph/window/map_view.h"
#include "graph/window/run_panel.h"
#include "graph/window/surface_window.h"
#include "graph/window/basins_window.h"
#include "graph/track/track_values.h"
#include "graph/widgets/fit.h"
#include "graph/widgets/style.h"
#include "graph/widgets/texts.h"

namespace qirt {

// A map asked for: the job's copies, the result the worker fills, the flag
// that cancels it and the worker itself.
struct TMapRequest {
    std::unique_ptr<TMapJob> Job;
    TMapResult Result;
    std::atomic<bool> Cancel{false};
    std::atomic<bool> Done{false}; // set by the worker when the result is complete
    std::uint64_t Generation = 0;
    std::thread Worker;
};

namespace {

// A zoom frame narrower or lower than this, in window pixels, is a click.
constexpr int kLeastFrameSide = 3;

QFileDialog* MakeSaveDialog(QWidget* parent, const char* filter, const char* suffix) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    UseOwnFileDialog(*dialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilter(Tr(filter));
    if (suffix) dialog->setDefaultSuffix(QString::fromUtf8(suffix));
    return dialog;
}

// Asks for a file name to save under; empty when cancelled.
QString AskFile(QWidget* parent, const char* filter, const char* suffix);

} // namespace

TForm3::TForm3(TSession& session, QWidget* parent) : QDialog(parent), S(session) {
    BuildLayout();
    FormCreate();
    // A map that takes longer than 0.2 s shows a busy cursor over the map
    // until it arrives.
    busyTimer_ = new QTimer(this);
    busyTimer_->setSingleShot(true);
    busyTimer_->setInterval(200);
    connect(busyTimer_, &QTimer::timeout, this, [this] {
        if (!request_) return;
        Image1->setCursor(Qt::BusyCursor);
        LastRedrawBusy = true;
    });
    // The window looks for a finished map every few milliseconds. The worker
    // only sets a flag: the result passes to this thread through that flag
    // and the join, with no call queued from the worker.
    arrivalTimer_ = new QTimer(this);
    arrivalTimer_->setInterval(5);
    connect(arrivalTimer_, &QTimer::timeout, this, [this] {
        if (request_ && request_->Done.load(std::memory_order_acquire)) MapArrived(request_->Generation);
    });
}

TForm3::~TForm3() { CancelMap(); }

const TImageCanvas& TForm3::Canvas() const {
    // The window itself is never const: waiting shows the arrived map.
    const_cast<TForm3*>(this)->WaitForMap();
    return view_->Canvas();
}

const QImage& TForm3::ShownImage() const { return view_->Canvas().Image(); }

bool TForm3::MapPending() const { return request_ != nullptr; }

void TForm3::WaitForMap() {
    if (!request_) return;
    if (request_->Worker.joinable()) request_->Worker.join();
    MapArrived(request_->Generation);
}

void TForm3::CancelMap() {
    if (!request_) return;
    // The sampler looks at the flag between columns: the wait is short.
    request_->Cancel = true;
    if (request_->Worker.joinable()) request_->Worker.join();
    request_.reset();
    busyTimer_->stop();
    arrivalTimer_->stop();
}

void TForm3::BuildLayout() {
    setWindowTitle(Tr("qirt", "График"));
    UseDialogFont(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    MainMenu1 = new QMenuBar(this);
    QMenu* file = MainMenu1->addMenu(Tr("qirt", "File"));
    save1 = file->addAction(Tr("qirt", "save map"), this, &TForm3::save1Click);
    saveas1 = file->addAction(Tr("qirt", "save as map"), this, &TForm3::saveas1Click);
    savetrek1 = file->addAction(Tr("qirt", "save trek"), this, &TForm3::savetrek1Click);
    saveastrek1 = file->addAction(Tr("qirt", "save as trek"), this, &TForm3::saveastrek1Click);
    save1->setShortcut(QKeySequence::Save);
    saveas1->setShortcut(QKeySequence::SaveAs);
    savetrek1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    saveastrek1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    file->addSeparator();
    savePng = file->addAction(Tr("qirt", "Сохранить карту как PNG…"), this, &TForm3::SaveMapPng);
    saveCsv = file->addAction(Tr("qirt", "Сохранить траекторию как CSV…"), this, &TForm3::SaveTrackCsv);
    saveResults = file->addAction(Tr("qirt", "Сохранить результаты сравнения как CSV…"), this,
                                  &TForm3::SaveResultsCsv);
    saveResults->setEnabled(false);
    saveGrid = file->addAction(Tr("qirt", "Сохранить сетку значений как CSV…"), this, &TForm3::SaveGridCsv);
    exportPlot = file->addAction(Tr("qirt", "Экспортировать график (PNG или SVG)…"), this, &TForm3::ExportPlot);
    saveReport = file->addAction(Tr("qirt", "Отчёт…"), this, &TForm3::SaveReport);
    saveSurface = file->addAction(Tr("qirt", "Сохранить поверхность как PNG…"), this, &TForm3::SaveSurfacePng);
    saveSurface->setEnabled(false);
    file->addSeparator();
    file->addAction(Tr("qirt", "Закрыть"), QKeySequence::Close, this, &QDialog::reject);
    QMenu* view = MainMenu1->addMenu(Tr("qirt", "Вид"));
    showRuns = view->addAction(Tr("qirt", "Итерации и сходимость"));
    showRuns->setCheckable(true);
    showRuns->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(showRuns, &QAction::toggled, this, &TForm3::ShowRunPanel);
    // A look of the map: a session flag, ticked or not, and a redraw.
    auto look = [&](const char* text, bool& flag) {
        QAction* action = view->addAction(Tr("qirt", text));
        action->setCheckable(true);
        action->setChecked(flag);
        connect(action, &QAction::toggled, this, [this, &flag](bool on) {
            flag = on;
            RedrawMap();
        });
        return action;
    };
    mapFilled = look(UI_TEXT("qirt", "Заливка уровней"), S.MapFilled);
    mapLevelLines = look(UI_TEXT("qirt", "Линии уровня"), S.MapLevelLines);
    showSurface = view->addAction(Tr("qirt", "Поверхность"), this, &TForm3::ShowSurface);
    showBasins = view->addAction(Tr("qirt", "Карта сходимости"), this, &TForm3::ShowBasins);
    shadeOutside = view->addAction(Tr("qirt", "Затенять то, что вне области"));
    shadeOutside->setCheckable(true);
    const bool region = S.Function.Conditions && S.Conditions.Size > 0;
    shadeOutside->setEnabled(region);
    shadeOutside->setChecked(S.ShadeOutside && region);
    connect(shadeOutside, &QAction::toggled, this, [this](bool on) {
        S.ShadeOutside = on;
        OutsideLegend->setVisible(on);
        RedrawMap();
    });
    layout->setMenuBar(MainMenu1);
    // The designed size; the window may grow, the left column widening.
    // The panel of runs stands beside it when shown.
    constexpr QSize kDesigned(890, 585); // the map's box with its colour bar
    auto* body = new QWidget(this);
    auto* row = new QHBoxLayout(body);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* client = new QWidget(body);
    client->setMinimumSize(kDesigned);
    client->resize(kDesigned);
    row->addWidget(client, 1);
    RunPanel = new TRunPanel(body);
    RunPanel->setMinimumWidth(TRunPanel::kLeastWidth);
    RunPanel->hide();
    row->addWidget(RunPanel, 1);
    layout->addWidget(body);
    RunPanel->PointChosen = [this](int run, int point, bool whole) {
        CurrentPoint = whole ? -1 : point;
        RepaintTracks();
        if (!whole) SayIfOutsideMap(run, point);
    };
    RunPanel->Sampler = [this](const TSearchView& s, double t0, double t1, int count) {
        if (!searchFunction_) {
            searchFunction_ = std::make_unique<TFunction>();
            searchRegion_ = std::make_unique<uslov>();
            CopyForEvaluation(S.Function, *searchFunction_);
            searchRegion_->CopyForEvaluation(S.Conditions);
            if (S.Function.Conditions) searchFunction_->Conditions = searchRegion_.get();
        }
        return SampleSearchLine(*searchFunction_, S.CurrentLastIndex, s, t0, t1, count);
    };
    RunPanel->RunChosen = [this](int) {
        CurrentPoint = -1;
        RepaintTracks();
    };

    auto* stretcher = new TStretcher(client, kDesigned);
    const TResultPanel left = BuildResultPanel(client, *stretcher);
    std::tie(label1, Label14, Label2, Label3, Label15, Label16, Label17, Label18, Label19, Label20,
             Label21, Label11, Label12, Label13, Label4) =
        std::tie(left.label1, left.Label14, left.Label2, left.Label3, left.Label15, left.Label16,
                 left.Label17, left.Label18, left.Label19, left.Label20, left.Label21, left.Label11,
                 left.Label12, left.Label13, left.Label4);
    std::tie(Label22, Label23, Label24) = std::tie(left.Label22, left.Label23, left.Label24);
    ListBox1 = left.ListBox1;
    std::tie(ComboBox1, ComboBox2, Button1, Button2, Button3) =
        std::tie(left.ComboBox1, left.ComboBox2, left.Button1, left.Button2, left.Button3);
    std::tie(Edit1, Edit2, Edit3, Edit4, Edit5) =
        std::tie(left.Edit1, left.Edit2, left.Edit3, left.Edit4, left.Edit5);
    const TMapPanel right = BuildMapPanel(client, *stretcher);
    mapPanel_ = std::make_unique<TMapPanel>(right);
    ScrollBox1 = right.ScrollBox1;
    Image1 = view_ = right.Image1;
    // The map grows and shrinks with its scroll box.
    right.ScrollBox1->installEventFilter(this);
    view_->RatioChanged = [this] { FitMap(true); };
    std::tie(Label5, Label6, Label7, Label8, Label9, Label10) =
        std::tie(right.Label5, right.Label6, right.Label7, right.Label8, right.Label9, right.Label10);
    std::tie(BitBtn1, BitBtn2, BitBtn3, BitBtn4) =
        std::tie(right.BitBtn1, right.BitBtn2, right.BitBtn3, right.BitBtn4);
    StatusBar1 = right.StatusBar1;
    OutsideLegend = right.OutsideLegend;
    Axes = right.Axes;
    Bar = right.Bar;
    OutsideLegend->setVisible(shadeOutside->isChecked());
    view_->Pressed = [this](int x, int y) { Image1MouseDown(x, y); };
    view_->Moved = [this](int x, int y) { Image1MouseMove(x, y); };
    view_->Clicked = [this] { Image1Click(); };
    view_->Released = [this](int x, int y) { Image1MouseUp(x, y); };
    view_->Wheel = [this](int x, int y, int steps) { WheelZoom(x, y, steps); };

    SavePictureDialog1 = MakeSaveDialog(this, UI_TEXT("qirt", "Bitmaps (*.bmp)"), "bmp");
    SaveDialog1 = MakeSaveDialog(this, UI_TEXT("qirt", "Text DOS (*.txt)"), nullptr);

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(BitBtn1, &QToolButton::clicked, this, &TForm3::BitBtn1Click);
    connect(BitBtn2, &QToolButton::clicked, this, &TForm3::BitBtn2Click);
    connect(BitBtn3, &QToolButton::clicked, this, &TForm3::BitBtn3Click);
    connect(BitBtn4, &QToolButton::clicked, this, &TForm3::BitBtn4Click);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TForm3::ComboBox1Change);
    connect(ComboBox2, &QComboBox::editTextChanged, this, &TForm3::ComboBox2Change);
    move(0, 0);
}

void TForm3::FormCreate() {
    view_->Canvas().Fill(kWhite);
    GridSize = kGridSize;
    for (int i = 0; i < 10; ++i) AxisRanges[i] = {S.FoundPoint[i] - 5, S.FoundPoint[i] + 5};
    S.View = {AxisRanges[0].first, AxisRanges[0].second, AxisRanges[1].first,
              AxisRanges[1].second};
    Edit1->setText(Text(S.View.XMin));
    Edit2->setText(Text(S.View.XMax));
    Edit3->setText(Text(S.View.YMin));
    Edit4->setText(Text(S.View.YMax));
}

bool TForm3::ColourCountUsable() {
    const std::string text = Std(Edit5->text());
    if (UsableColourCount(text)) return true;
    ShowMessage(S.Function.Messages, message::BadColourCount, ShowKind::NonModal);
    return false;
}

void TForm3::Button1Click() {
    if (!ColourCountUsable()) return;
    QLineEdit* edits[4] = {Edit1, Edit2, Edit3, Edit4};
    Real values[4];
    for (int k = 0; k < 4; ++k) {
        const std::string text = Std(edits[k]->text());
        if (!IsRealText(text)) return;
        values[k] = TextToReal(text);
    }
    if (!(values[0] < values[1] && values[2] < values[3])) return;
    const TViewRange view{values[0], values[1], values[2], values[3]};
    if (!UsableView(view)) {
        ShowMessage(S.Function.Messages, message::BadRange, ShowKind::NonModal);
        return;
    }
    S.View = view;
    ShowRanges();
    RedrawMap();
    RememberRanges();
}

void TForm3::ShowRanges() {
    Edit1->setText(Text(S.View.XMin));
    Edit2->setText(Text(S.View.XMax));
    Edit3->setText(Text(S.View.YMin));
    Edit4->setText(Text(S.View.YMax));
    // Long numbers show their beginning.
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4}) edit->setCursorPosition(0);
    Label7->setText(Edit1->text());
    Label8->setText(Edit2->text());
    Label9->setText(Edit3->text());
    Label10->setText(Edit4->text());
}

int TForm3::AxisVariable(const QComboBox* box, int& lastGood) const {
    // A name that is not in the field's list (x[5] of a function of two
    // variables, or the other axis's variable) is ignored.
    const bool listed = box == ComboBox1 ? IsListedX() : IsListedY();
    const int v = VariableNumber(Std(box->currentText())) - 1;
    if (listed && v >= 0 && v <= 9) lastGood = v;
    return lastGood;
}

void TForm3::RememberRanges() {
    AxisRanges[AxisVariable(ComboBox1, horizontal_)] = {S.View.XMin, S.View.XMax};
    AxisRanges[AxisVariable(ComboBox2, vertical_)] = {S.View.YMin, S.View.YMax};
}

namespace {
// Names x[0] ... x[last] without the excluded one, written over the items
// in order; the list keeps its length.
void FillAxisList(QComboBox* box, const QString& excluded, int lastIndex) {
    const QSignalBlocker block(box);
    const int e = VariableNumber(Std(excluded)) - 1;
    int item = 0;
    for (int i = 0; i <= lastIndex && i <= 9; ++i) {
        if (i == e) continue;
        if (item < box->count())
            box->setItemText(item, QStringLiteral("x[%1]").arg(QChar(DigitChar(Byte(i)))));
        ++item;
    }
}

bool IsListed(const QComboBox* box) {
    const QString text = box->currentText();
    if (text.isEmpty()) return false;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == text) return true;
    return false;
}
} // namespace

void TForm3::FillXAxisList(const QString& excluded, int lastIndex) {
    FillAxisList(ComboBox1, excluded, lastIndex);
}
void TForm3::FillYAxisList(const QString& excluded, int lastIndex) {
    FillAxisList(ComboBox2, excluded, lastIndex);
}
bool TForm3::IsListedX() const { return IsListed(ComboBox1); }
bool TForm3::IsListedY() const { return IsListed(ComboBox2); }

// A listed name typed or chosen in one axis field: its range heading and
// axis label follow, the other field's list leaves the name out (keeping
// its text), and the range fields offer the name's remembered range. The
// map waits for "Перерисовать".
void TForm3::AxisChanged(QComboBox* changed, QComboBox* other, QLabel* rangeHeading,
                         QLabel* axisLabel, QLineEdit* low, QLineEdit* high) {
    if (!IsListed(changed)) return;
    const QString name = changed->currentText();
    const QString otherName = other->currentText();
    rangeHeading->setText(Tr("qirt", "Диапазон ") + name);
    axisLabel->setText(name);
    rangeHeading->adjustSize();
    axisLabel->adjustSize();
    FillAxisList(other, name, S.CurrentLastIndex);
    {
        const QSignalBlocker block(other);
        other->setEditText(otherName);
    }
    const auto& range = AxisRanges[VariableNumber(Std(name)) - 1];
    low->setText(Text(range.first));
    high->setText(Text(range.second));
}

void TForm3::ComboBox1Change() { AxisChanged(ComboBox1, ComboBox2, Label12, Label6, Edit1, Edit2); }
void TForm3::ComboBox2Change() { AxisChanged(ComboBox2, ComboBox1, Label13, Label5, Edit3, Edit4); }

void TForm3::MoveView(Real dxMin, Real dxMax, Real dyMin, Real dyMax, bool remember) {
    if (!ColourCountUsable()) return;
    const TViewRange moved{S.View.XMin + dxMin, S.View.XMax + dxMax, S.View.YMin + dyMin, S.View.YMax + dyMax};
    if (!UsableView(moved)) return; // no further in or out
    S.View = moved;
    ShowRanges();
    RedrawMap();
    if (remember) RememberRanges();
}

void TForm3::Button2Click() {
    const Real w = S.View.XMax - S.View.XMin, h = S.View.YMax - S.View.YMin;
    MoveView(w / 4, -w / 4, h / 4, -h / 4, true);
}
void TForm3::Button3Click() {
    const Real w = S.View.XMax - S.View.XMin, h = S.View.YMax - S.View.YMin;
    MoveView(-w / 2, w / 2, -h / 2, h / 2, true);
}
void TForm3::BitBtn1Click() {
    const Real w = S.View.XMax - S.View.XMin;
    MoveView(w / 2, w / 2, 0, 0, false);
}
void TForm3::BitBtn2Click() {
    const Real w = S.View.XMax - S.View.XMin;
    MoveView(-w / 2, -w / 2, 0, 0, false);
}
void TForm3::BitBtn3Click() {
    const Real h = S.View.YMax - S.View.YMin;
    MoveView(0, 0, h / 2, h / 2, false);
}
void TForm3::BitBtn4Click() {
    const Real h = S.View.YMax - S.View.YMin;
    MoveView(0, 0, -h / 2, -h / 2, false);
}

TMapTransform TForm3::Transform(const TViewRange& v) const { return TMapTransform(v, view_->Canvas().MapSide()); }

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1 && event->type() == QEvent::Resize) FitMap();
    return QDialog::eventFilter(watched, event);
}

void TForm3::FitMap(bool ratioChanged) {
    const int side = MapSideFor(*mapPanel_);
    if (side == view_->Side() && !ratioChanged) return;
    if (!PlaceMapBox(*mapPanel_, side)) return;
    // A new canvas: the old picture, scaled, stands until the map sampled
    // for it arrives; a zoom frame being dragged is given up.
    mapOnly_ = QImage();
    Dragging = frameDrawn_ = false;
    if (mapGeneration_ > 0) RedrawMap();
}

void TForm3::RedrawMap() {
    const int a = AxisVariable(ComboBox1, horizontal_);
    const int b = AxisVariable(ComboBox2, vertical_);
    CancelMap(); // an older map is of no use any more
    auto request = std::make_unique<TMapRequest>();
    // One sample every second pixel of the canvas: 251 along each axis on
    // the map as first placed.
    GridSize = MapGridSize(view_->Canvas().MapSide());
    request->Job = MakeMapJob(S, a, b, GridSize, Std(Edit5->text()));
    // The methods after a redraw see the map's boundary tolerance.
    S.Conditions.BoundaryTolerance = request->Job->Region.BoundaryTolerance;
    request->Generation = ++mapGeneration_;
    // The worker reads and writes only the request; this thread takes the
    // result when the worker says it is done, unless a newer request has
    // replaced it (then it was cancelled and is dropped).
    TMapRequest* const r = request.get();
    request->Worker = std::thread([r] {
        if (ComputeMap(*r->Job, r->Result, &r->Cancel)) r->Done.store(true, std::memory_order_release);
    });
    request_ = std::move(request);
    LastRedrawBusy = false;
    busyTimer_->start();
    arrivalTimer_->start();
}

void TForm3::MapArrived(std::uint64_t generation) {
    if (!request_ || request_->Generation != generation) return;
    if (request_->Worker.joinable()) request_->Worker.join();
    const std::unique_ptr<TMapRequest> done = std::move(request_);
    busyTimer_->stop();
    arrivalTimer_->stop();
    if (Image1->cursor().shape() == Qt::BusyCursor) Image1->setCursor(Qt::CrossCursor);
    // The session takes the samples and the evaluations as a synchronous
    // redraw leaves them.
    TakeMapResult(S, done->Result);
    // The map kept before the tracks, so that they can be drawn again alone.
    TImageCanvas& canvas = view_->Canvas();
    canvas.Fill(kWhite);
    PaintSamples(*done->Result.Samples, canvas, done->Job->ColourCountText,
                 {S.MapFilled, S.MapLevelLines});
    mapOnly_ = canvas.Image().copy();
    Axes->SetView(done->Job->View);
    Bar->SetLevels(LevelRanges(*done->Result.Samples, done->Job->ColourCountText));
    DrawTracks();
    UpdateSurface(true);
    if (Dragging) DrawZoomFrame(); // the frame being dragged stays over the new map
    Image1->update();
}

void TForm3::RepaintTracks() {
    // A map on its way brings the tracks with it.
    if (mapOnly_.isNull() || request_) return;
    view_->Canvas().SetImage(mapOnly_);
    DrawTracks();
    UpdateSurface(false);
    Image1->update();
}

void TForm3::ShowSurface() {
    if (!Surface) {
        Surface = new TSurfaceWindow(this);
        Surface->resize(800, 600);
    }
    WaitForMap();
    ShowOver(Surface, this);
    UpdateSurface(true);
    Surface->raise();
    Surface->activateWindow();
    saveSurface->setEnabled(Surface->Graph() != nullptr);
}

void TForm3::UpdateSurface(bool wholeSurface) {
    // A closed surface window is brought up to date when it is shown again.
    if (!Surface || !Surface->isVisible() || !S.MapSamplesStore) return;
    const int a = AxisVariable(ComboBox1, horizontal_), b = AxisVariable(ComboBox2, vertical_);
    if (wholeSurface) {
        Surface->SetSurface(*S.MapSamplesStore, S.View, Std(Edit5->text()), ComboBox1->currentText(),
                            ComboBox2->currentText());
        // The chosen run's track lifted onto the surface: f where the map
        // takes it, the variables off the axes at the found point, on the
        // map's copy (its evaluations are not counted).
        TFunction& F = MapFunction();
        const int chosen = RunPanel->CurrentRun();
        const Tdata* track = chosen < static_cast<int>(Runs.size()) && Runs[chosen].Track ? Runs[chosen].Track.get()
                                                                                         : S.Track;
        std::vector<std::array<double, 3>> lifted;
        for (const TrackPoint* p = track ? track->Head : nullptr; p; p = p->Next) {
            Vector x = S.FoundPoint;
            x[a] = p->X[a];
            x[b] = p->X[b];
            F.ClearEvaluationError();
            const Real v = FunctionValue(F, x, S.CurrentLastIndex);
            const bool defined = F.LastEvaluationDefined() && std::isfinite(v);
            lifted.push_back({double(x[a]), double(x[b]), defined ? double(v) : std::nan("")});
        }
        Surface->SetTrack(std::move(lifted));
    }
    Surface->SetMarked(CurrentPoint);
}

void TForm3::ShowBasins() {
    if (!HaveRunInputs) return;
    // The method of the run chosen (of a comparison, its row's).
    TRunInputs in = RunInputs;
    const int chosen = RunPanel->CurrentRun();
    const int method = Comparing && chosen < static_cast<int>(ComparedRows.size()) ? ComparedRows[chosen].Method
                                                                                   : SingleRunMethod;
    if (method < 0) return;
    in.MethodFamily = kMethods[method].Family;
    in.MethodVariant = kMethods[method].Variant;
    delete Basins;
    Basins = new TBasinsWindow(S, in, this);
    Basins->setWindowTitle(Tr("qirt", "Карта сходимости") + QStringLiteral(" — ") + Tr(kMethods[method].Caption));
    Basins->SetView(S.View, AxisVariable(ComboBox1, horizontal_), AxisVariable(ComboBox2, vertical_),
                    ComboBox1->currentText(), ComboBox2->currentText());
    ShowOver(Basins, this);
    Basins->raise();
    Basins->Compute();
}

void TForm3::SaveSurfacePng() {
    if (!Surface || !Surface->Graph()) return;
    const QString name = AskFile(this, "PNG (*.png)", "png");
    if (!name.isEmpty() && !Surface->SavePng(name)) CannotCreate(name);
}

void TForm3::SayIfOutsideMap(int run, int point) {
    if (run < 0 || run >= static_cast<int>(Runs.size())) return;
    const std::vector<const TrackPoint*> points = Runs[static_cast<std::size_t>(run)].Points();
    if (point < 0 || point >= static_cast<int>(points.size())) return;
    const int a = AxisVariable(ComboBox1, horizontal_), b = AxisVariable(ComboBox2, vertical_);
    const Real x = points[static_cast<std::size_t>(point)]->X[a], y = points[static_cast<std::size_t>(point)]->X[b];
    const TViewRange& v = S.View;
    if (v.XMin <= x && x <= v.XMax && v.YMin <= y && y <= v.YMax) return;
    // The chosen point is off the map: said, as nothing on it shows it.
    StatusBar1->showMessage(Tr("qirt", "Точка %1 вне карты: (%2; %3)")
                                .arg(point)
                                .arg(GeneralNumberText(double(x)), GeneralNumberText(double(y))));
}

void TForm3::DrawTracks() {
    view_->SetMark(DrawTracks(view_->Canvas()));
    // The chosen iteration: what its method used to choose the step.
    TIterationOverlay overlay;
    const int chosen = RunPanel->CurrentRun();
    if (CurrentPoint >= 0 && chosen < static_cast<int>(Runs.size()) && Runs[chosen].Log &&
        CurrentPoint < Runs[chosen].Log->Count()) {
        const std::vector<const TrackPoint*> points = Runs[chosen].Points();
        if (CurrentPoint < static_cast<int>(points.size()))
            overlay = IterationOverlay(Runs[chosen].Log->Iteration(CurrentPoint), points[CurrentPoint]->X,
                                       AxisVariable(ComboBox1, horizontal_), AxisVariable(ComboBox2, vertical_),
                                       S.View, view_->Canvas().MapSide());
    }
    view_->SetOverlay(std::move(overlay));
}

QPoint TForm3::DrawTracks(TCanvas& canvas) {
    const int a = AxisVariable(ComboBox1, horizontal_);
    const int b = AxisVariable(ComboBox2, vertical_);
    const int chosen = RunPanel->CurrentRun();
    // The track up to the chosen point (the whole one when none is chosen).
    auto part = [&](const TShownRun& run, Tdata& into) -> Tdata& {
        if (CurrentPoint < 0 || !run.Track) return *run.Track;
        int k = 0;
        for (const TrackPoint* p = run.Track->Head; p && k <= CurrentPoint; p = p->Next, ++k)
            AddTrackPoint(into, p->X, run.LastIndex, p->PointValue);
        return into;
    };
    QPoint mark(-1, -1);
    if (Comparing) {
        // Every track in its colour, the chosen one last, in front, bold.
        for (int r = 0; r < static_cast<int>(Runs.size()); ++r) {
            if (r == chosen || !Runs[r].Track || !Runs[r].Track->Head) continue;
            DrawColouredTrack(S.View, canvas, a, b, *Runs[r].Track, Runs[r].Colour);
        }
        if (chosen < static_cast<int>(Runs.size()) && Runs[chosen].Track && Runs[chosen].Track->Head) {
            Tdata piece;
            Tdata& shown = part(Runs[chosen], piece);
            DrawColouredTrack(S.View, canvas, a, b, shown, Runs[chosen].Colour, true);
        }
    } else if (CurrentPoint >= 0 && !Runs.empty() && S.Track) {
        Tdata piece;
        Tdata& shown = part(Runs[0], piece);
        DrawTrack(shown, S.View, canvas, a, b);
    } else {
        DrawTrack(S, canvas, a, b);
    }
    // A strategy's outer steps, on the track of the run they belong to.
    if (Comparing && chosen < static_cast<int>(Runs.size())) {
        const TColour pen = canvas.PenColour;
        canvas.PenColour = Runs[chosen].Colour;
        DrawOuterSteps(Runs[chosen].Region, S.View, canvas, a, b);
        canvas.PenColour = pen;
    } else if (!Comparing) {
        DrawOuterSteps(SingleRunRegion, S.View, canvas, a, b);
    }
    // The chosen point is marked over the map (not into the saved picture).
    if (CurrentPoint >= 0 && chosen < static_cast<int>(Runs.size()) && Runs[chosen].Track) {
        int k = 0;
        const TMapTransform transform(S.View, canvas.MapSide());
        for (const TrackPoint* p = Runs[chosen].Track->Head; p; p = p->Next, ++k)
            if (k == CurrentPoint) {
                const TPixel pixel = transform.Pixel(p->X[a], p->X[b]);
                mark = QPoint(pixel.X, pixel.Y);
                break;
            }
    }
    return mark;
}

void TForm3::ShowRunPanel(bool shown) {
    if (shown && Runs.empty()) TakeSingleRun();
    // The window grows by the panel's width and shrinks back to what it
    // was, within the screen; the panel's own width, not yet laid out, is
    // not used.
    if (shown && RunPanel->isHidden()) {
        widthWithoutPanel_ = width();
        RunPanel->setVisible(true);
        resize(widthWithoutPanel_ + RunPanel->minimumWidth(), height());
    } else if (!shown && !RunPanel->isHidden()) {
        // Without the panel the map shows the whole track, nothing of a
        // point no longer chosen in sight.
        RunPanel->Slider->setValue(RunPanel->Slider->maximum());
        RunPanel->setVisible(false);
        resize(widthWithoutPanel_ > 0 ? widthWithoutPanel_ : width(), height());
    }
    FitToScreen(this);
    {
        const QSignalBlocker block(showRuns);
        showRuns->setChecked(shown);
    }
}

void TForm3::TakeSingleRun() {
    Runs.clear();
    if (!S.Track) return;
    TShownRun run;
    run.Name = Label20->text();
    run.Colour = kBlack;
    run.Track = std::shared_ptr<Tdata>(S.Track, [](Tdata*) {}); // the run owns it
    run.LastIndex = S.CurrentLastIndex;
    run.GradientNorm = SingleRunGradient;
    run.Region = SingleRunRegion;
    run.Log = SingleRunLog;
    run.Wolfe = UsesWolfeSearch(SingleRunMethod);
    if (S.Function.Root)
        run.Values = TrackValues(S.Function, S.Function.Conditions, *S.Track, S.CurrentLastIndex);
    Runs.push_back(std::move(run));
    Comparing = false;
    RunPanel->SetRuns(&Runs, {});
}

void TForm3::ShowRuns(std::vector<TShownRun> runs, const std::vector<TResultRow>& results,
                      const std::vector<TComparisonRow>& compared) {
    Runs = std::move(runs);
    Comparing = !results.empty();
    ResultRows = results;
    ComparedRows = compared;
    saveResults->setEnabled(Comparing);
    CurrentPoint = -1;
    RunPanel->SetRuns(&Runs, results);
    if (Comparing) ShowRunPanel(true);
    RepaintTracks();
}

void TForm3::WheelZoom(int x, int y, int steps) {
    // About the point under the cursor, by halves as "+" and doubles as "-".
    if (!ColourCountUsable()) return;
    const TViewRange v = S.View;
    const TMapTransform transform = Transform(v);
    const Real cx = transform.X(x), cy = transform.Y(y);
    const Real factor = steps > 0 ? 0.5L : 2.0L;
    for (int k = 0; k < std::abs(steps); ++k) {
        S.View.XMin = cx - (cx - S.View.XMin) * factor;
        S.View.XMax = cx + (S.View.XMax - cx) * factor;
        S.View.YMin = cy - (cy - S.View.YMin) * factor;
        S.View.YMax = cy + (S.View.YMax - cy) * factor;
    }
    if (!UsableView(S.View)) {
        S.View = v; // no room left to zoom into or out to
        return;
    }
    ShowRanges();
    RedrawMap();
    RememberRanges();
}

QImage TForm3::MapPicture() const {
    const QImage& map = Canvas().Image();
    if (!Comparing) return map.copy();
    // The comparison's map with its legend below: a colour and a method a line.
    const int line = fontMetrics().height() + 4;
    QImage picture(map.width(), map.height() + 8 + line * static_cast<int>(Runs.size()),
                   QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.drawImage(0, 0, map);
    p.setFont(font());
    for (int r = 0; r < static_cast<int>(Runs.size()); ++r) {
        const int y = map.height() + 4 + r * line;
        const TColour c = Runs[r].Colour;
        p.fillRect(QRect(8, y + 2, line - 4, line - 4), QColor(c.Red, c.Green, c.Blue));
        p.setPen(Qt::black);
        p.drawText(QRect(8 + line, y, map.width() - line - 8, line), Qt::AlignVCenter, Runs[r].Name);
    }
    return picture;
}

namespace {
// Asks for a file name; empty when cancelled.
QString AskFile(QWidget* parent, const char* filter, const char* suffix) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    UseOwnFileDialog(dialog);
    dialog.setNameFilter(Tr(filter));
    dialog.setDefaultSuffix(QString::fromUtf8(suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}
} // namespace

bool TForm3::WritePng(const QString& fileName) const {
    return SaveImage(MapPicture(), "PNG", fileName);
}

bool TForm3::WriteTrackCsv(const QString& fileName) {
    if (Runs.empty()) TakeSingleRun();
    const int chosen = RunPanel->CurrentRun();
    if (chosen >= static_cast<int>(Runs.size()) || !Runs[chosen].Track) return false;
    const TShownRun& run = Runs[chosen];
    return WriteWholeFile(Std(fileName), [&](std::FILE* f) {
        return qirt::WriteTrackCsv(*run.Track, run.LastIndex + 1, run.Values, f);
    });
}

bool TForm3::WriteResultsCsv(const QString& fileName) const {
    return WriteWholeFile(Std(fileName),
                          [&](std::FILE* f) { return WriteComparisonCsv(ComparedRows, f); });
}

void TForm3::SaveMapPng() {
    const QString name = AskFile(this, "PNG (*.png)", "png");
    if (!name.isEmpty() && !WritePng(name)) CannotCreate(name);
}

void TForm3::SaveTrackCsv() {
    const QString name = AskFile(this, "CSV (*.csv)", "csv");
    if (!name.isEmpty() && !WriteTrackCsv(name)) CannotCreate(name);
}

TPlotPicture TForm3::PlotPicture() const {
    TPlotPicture picture;
    picture.Map = Canvas().Image().copy();
    picture.View = S.View;
    picture.XName = ComboBox1->currentText();
    picture.YName = ComboBox2->currentText();
    picture.Title = Label14->text();
    picture.Levels = Bar->Levels;
    if (Comparing)
        for (const TShownRun& run : Runs) picture.Legend.push_back({run.Name, run.Colour});
    return picture;
}

bool TForm3::WritePlot(const QString& fileName, QSize size) const {
    return SavePlot(PlotPicture(), size, fileName);
}

void TForm3::ExportPlot() {
    // The size first, asked again after a size that cannot be drawn, so
    // that a slip costs no second trip through the file dialog.
    QSize size;
    for (QString text = QStringLiteral("1000×800"); !size.isValid();) {
        QInputDialog ask(this);
        ask.setWindowTitle(Tr("qirt", "Размер графика"));
        ask.setLabelText(Tr("qirt", "Ширина × высота:"));
        ask.setComboBoxItems({QStringLiteral("800×600"), QStringLiteral("1000×800"), QStringLiteral("1600×1200"),
                              QStringLiteral("2400×1800")});
        ask.setComboBoxEditable(true);
        ask.setTextValue(text);
        // Wide enough for its whole title in the frame.
        ask.setMinimumWidth(ask.fontMetrics().horizontalAdvance(ask.windowTitle()) + 200);
        if (ask.exec() != QDialog::Accepted) return;
        text = ask.textValue();
        size = PlotSize(text);
        if (!size.isValid()) ShowMessage(S.Function.Messages, message::BadPlotSize, ShowKind::Modal);
    }
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    UseOwnFileDialog(dialog);
    dialog.setNameFilters({QStringLiteral("PNG (*.png)"), QStringLiteral("SVG (*.svg)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    QString name = dialog.selectedFiles().front();
    if (dialog.selectedNameFilter().contains(QStringLiteral("svg")) && !name.endsWith(QStringLiteral(".svg")))
        name.replace(QRegularExpression(QStringLiteral("\\.png$")), QStringLiteral(".svg"));
    if (!WritePlot(name, size)) CannotCreate(name);
}

bool TForm3::WriteGridCsv(const QString& fileName) {
    if (!S.MapSamplesStore) return false;
    return WriteWholeFile(Std(fileName),
                          [&](std::FILE* f) { return qirt::WriteGridCsv(*S.MapSamplesStore, S.View, f); });
}

void TForm3::SaveGridCsv() {
    const QString name = AskFile(this, "CSV (*.csv)", "csv");
    if (!name.isEmpty() && !WriteGridCsv(name)) CannotCreate(name);
}

void TForm3::SaveResultsCsv() {
    const QString name = AskFile(this, "CSV (*.csv)", "csv");
    if (!name.isEmpty() && !WriteResultsCsv(name)) CannotCreate(name);
}

void TForm3::CannotCreate(const QString& fileName) {
    QMessageBox::critical(this, windowTitle(), Tr("qirt", "Cannot create file %1").arg(fileName));
}

void TForm3::DrawZoomFrame() {
    view_->Canvas().InvertingPen = true; // and it stays so for the track drawn later
    DrawRectangle(view_->Canvas(), DragOrigin.x(), DragOrigin.y(), DragCorner.x(), DragCorner.y());
    Image1->update();
}

void TForm3::Image1MouseDown(int X, int Y) {
    Dragging = true;
    DragOrigin = DragCorner = QPoint(X, Y);
    frameDrawn_ = false;
    penBeforeFrame_ = view_->Canvas().InvertingPen;
    // Where the frame starts, in the numbers of the axes.
    const TMapTransform transform = Transform(S.View);
    StatusBar1->showMessage(Tr("qirt", "Начало рамки: (%1; %2)")
                                .arg(GeneralNumberText(transform.ReadX(X)), GeneralNumberText(transform.ReadY(Y))));
}

void TForm3::Image1MouseMove(int X, int Y) {
    if (Dragging) {
        DrawZoomFrame();
        DragCorner = QPoint(X, Y);
        DrawZoomFrame();
        frameDrawn_ = true;
    }
    ShowValueAt(X, Y);
}

TFunction& TForm3::MapFunction() {
    // On copies, as the map samples: the penalties only in an extended
    // plot, and the session's function and region are left as they are.
    // The function and region do not change while the window is open: the
    // copies are made when first needed, not at every mouse move.
    if (!readFunction_) {
        readFunction_ = std::make_unique<TFunction>();
        readRegion_ = std::make_unique<uslov>();
        CopyForEvaluation(S.Function, *readFunction_);
        readRegion_->CopyForEvaluation(S.Conditions);
        readRegion_->PenaltyEnabled = S.Function.ExtendedPlot;
        if (S.Function.Conditions) readFunction_->Conditions = readRegion_.get();
    }
    return *readFunction_;
}

void TForm3::ShowValueAt(int X, int Y) {
    const TMapTransform transform = Transform(S.View);
    const double x = transform.ReadX(X), y = transform.ReadY(Y);
    Vector P = S.FoundPoint;
    P[AxisVariable(ComboBox1, horizontal_)] = x;
    P[AxisVariable(ComboBox2, vertical_)] = y;
    TFunction& F = MapFunction();
    F.ClearEvaluationError();
    const std::int64_t before = F.EvaluationCount;
    const double value = static_cast<double>(FunctionValue(F, P, S.CurrentLastIndex));
    const bool defined = F.LastEvaluationDefined() && std::isfinite(value);
    S.Function.EvaluationCount += F.EvaluationCount - before;
    const QString valueText = defined ? GeneralNumberText(value)
                                      : Tr("qirt", "функция не определена");
    StatusBar1->showMessage(Tr("qirt", "Координаты:(%1;%2)  Значение: (%3)")
                                .arg(GeneralNumberText(x), GeneralNumberText(y), valueText));
}

void TForm3::Image1MouseUp(int X, int Y) {
    if (frameDrawn_) DrawZoomFrame();
    Dragging = false;
    frameDrawn_ = false;
    // A click, a drag back to where it began or a hand's tremble of a
    // pixel or two frames nothing: the pen is as it was, so the tracks
    // drawn later are not inverted, and the status bar reads the map again.
    const int least = qRound(kLeastFrameSide * view_->Canvas().Width() / double(std::max(1, Image1->width())));
    if (DragCorner == DragOrigin || std::abs(DragCorner.x() - DragOrigin.x()) < least ||
        std::abs(DragCorner.y() - DragOrigin.y()) < least) {
        view_->Canvas().InvertingPen = penBeforeFrame_;
        ShowValueAt(X, Y);
        return;
    }
    if (!ColourCountUsable()) return;
    const TMapTransform old = Transform(S.View);
    TViewRange v;
    v.XMax = old.X(DragCorner.x());
    v.XMin = old.X(DragOrigin.x());
    v.YMax = old.Y(DragOrigin.y());
    v.YMin = old.Y(DragCorner.y());
    if (v.XMin > v.XMax) std::swap(v.XMin, v.XMax);
    if (v.YMin > v.YMax) std::swap(v.YMin, v.YMax);
    // A frame without width or height would leave nothing to show.
    if (!UsableView(v)) return;
    S.View = v;
    ShowRanges();
    RedrawMap();
    RememberRanges();
}

void TForm3::Image1Click() { Dragging = !Dragging; }

QImage TForm3::FirstSizeMap() {
    const TImageCanvas& shown = Canvas();
    if (shown.MapSide() == kMapPixels) return shown.Image();
    // Sampled again at 251 x 251 over the same view, painted as the window
    // paints, the tracks on top; the session's counts are left alone.
    const std::string colours = Std(Edit5->text());
    const std::unique_ptr<TMapJob> job = MakeMapJob(S, AxisVariable(ComboBox1, horizontal_),
                                                    AxisVariable(ComboBox2, vertical_), kGridSize, colours);
    TMapResult result;
    ComputeMap(*job, result);
    TImageCanvas canvas(kMapPixels, kMapPixels);
    PaintSamples(*result.Samples, canvas, colours, {S.MapFilled, S.MapLevelLines});
    canvas.InvertingPen = shown.InvertingPen;
    DrawTracks(canvas);
    return canvas.Image();
}

void TForm3::save1Click() {
    if (MapFileName.isEmpty()) return saveas1Click();
    if (!SaveImage(FirstSizeMap(), "BMP", MapFileName)) {
        CannotCreate(MapFileName);
        MapFileName.clear(); // the next save asks for a name again
    }
}

void TForm3::saveas1Click() {
    if (SavePictureDialog1->exec() != QDialog::Accepted) return;
    const QStringList chosen = SavePictureDialog1->selectedFiles();
    if (chosen.isEmpty()) return;
    MapFileName = chosen.front();
    save1Click();
}

void TForm3::savetrek1Click() {
    if (TrackFileName.isEmpty()) return saveastrek1Click();
    // Of a comparison, the track of the run chosen in its table.
    Tdata* track = S.Track;
    const int chosen = RunPanel->CurrentRun();
    if (Comparing && chosen < static_cast<int>(Runs.size())) track = Runs[chosen].Track.get();
    if (track && !SaveTrack(*track, Std(TrackFileName), S.Function.VariableCount)) {
        CannotCreate(TrackFileName);
        TrackFileName.clear(); // the next save asks for a name again
    }
}

void TForm3::saveastrek1Click() {
    if (SaveDialog1->exec() != QDialog::Accepted) return;
    const QStringList chosen = SaveDialog1->selectedFiles();
    if (chosen.isEmpty()) return;
    TrackFileName = chosen.front();
    savetrek1Click();
}

} // namespace qirt
