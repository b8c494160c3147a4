#include "graph/grafik.h"

#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
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
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "func/evaluate.h"
#include "func/messages.h"
#include "func/scan.h"
#include "graph/map.h"
#include "windows/fit.h"
#include "windows/style.h"
#include "windows/texts.h"

namespace qirt {

// The map image: shows the canvas and passes the mouse to the window.
class TMapImage : public QWidget {
public:
    TMapImage(TForm3* form, QWidget* parent) : QWidget(parent), form_(form) {
        setFixedSize(kMapPixels, kMapPixels);
        setCursor(Qt::CrossCursor);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, form_->Canvas().Image());
    }
    void mousePressEvent(QMouseEvent* e) override {
        form_->Image1MouseDown(e->position().toPoint().x(), e->position().toPoint().y());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        form_->Image1MouseMove(e->position().toPoint().x(), e->position().toPoint().y());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        form_->Image1Click();
        form_->Image1MouseUp(e->position().toPoint().x(), e->position().toPoint().y());
    }

private:
    TForm3* form_;
};

namespace {

// A label for texts that may outgrow it: they end in "…" (with the whole
// text as tooltip).
QLabel* MakeElidedLabel(QWidget* parent, int x, int y, int width = 182) {
    auto* label = new TElidedLabel(parent);
    label->setGeometry(x, y, width, label->fontMetrics().height() + 2);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* text, int x, int y, int width) {
    auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
    edit->setGeometry(x, y, width, 21);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* text, const char* hint, int x, int y, int w,
                        int h) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setGeometry(x, y, w, h);
    if (hint) button->setToolTip(QString::fromUtf8(hint));
    button->setAutoDefault(false);
    return button;
}

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow, int x, int y) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setGeometry(x, y, 25, 25);
    return button;
}

QFileDialog* MakeSaveDialog(QWidget* parent, const char* filter, const char* suffix) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilter(QString::fromUtf8(filter));
    if (suffix) dialog->setDefaultSuffix(QString::fromUtf8(suffix));
    return dialog;
}

} // namespace

TForm3::TForm3(TSession& session, QWidget* parent)
    : QDialog(parent), S(session), canvas_(kMapPixels, kMapPixels) {
    BuildLayout();
    FormCreate();
}

TForm3::~TForm3() = default;

void TForm3::BuildLayout() {
    setWindowTitle(QString::fromUtf8("График"));
    UseDialogFont(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    MainMenu1 = new QMenuBar(this);
    QMenu* file = MainMenu1->addMenu(QStringLiteral("File"));
    save1 = file->addAction(QStringLiteral("save map"), this, &TForm3::save1Click);
    saveas1 = file->addAction(QStringLiteral("save as map"), this, &TForm3::saveas1Click);
    savetrek1 = file->addAction(QStringLiteral("save trek"), this, &TForm3::savetrek1Click);
    saveastrek1 = file->addAction(QStringLiteral("save as trek"), this, &TForm3::saveastrek1Click);
    layout->setMenuBar(MainMenu1);
    // The designed size; the window may grow, the left column widening.
    constexpr QSize kDesigned(800, 545);
    auto* client = new QWidget(this);
    client->setMinimumSize(kDesigned);
    client->resize(kDesigned);
    layout->addWidget(client);

    label1 = MakeLabel(client, "Исследуемая функция", 26, 8);
    Label14 = MakeElidedLabel(client, 26, 24);
    Label2 = MakeLabel(client, "Полученная точка", 26, 40);
    ListBox1 = new QListWidget(client);
    ListBox1->setGeometry(26, 56, 143, 97);
    for (int i = 0; i < 10; ++i) ListBox1->addItem(QString());
    Label3 = MakeLabel(client, "Минимум функции", 26, 168);
    Label15 = MakeElidedLabel(client, 26, 184);
    Label16 = MakeLabel(client, "Число итераций", 24, 208);
    Label17 = MakeLabel(client, "", 24, 224);
    Label18 = MakeLabel(client, "Число вычислений функции", 24, 248);
    Label19 = MakeLabel(client, "", 24, 264);
    Label21 = MakeLabel(client, "Используемый метод", 24, 288);
    Label20 = MakeElidedLabel(client, 24, 304);
    // Texts set later (results, headings the run fills in) need room to grow.
    for (QLabel* label : {label1, Label14, Label2, Label3, Label15, Label16, Label17, Label18, Label19,
                          Label20, Label21})
        label->resize(182, label->height());
    Label11 = MakeLabel(client, "Координаты", 24, 328);
    ComboBox1 = new QComboBox(client);
    ComboBox2 = new QComboBox(client);
    for (auto [box, items, x, text] :
         {std::tuple{ComboBox1, 10, 24, "x[0]"}, std::tuple{ComboBox2, 9, 72, "x[1]"}}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        for (int i = 0; i < items; ++i) box->addItem(QString());
        box->setGeometry(x, 344, 49, 21);
        box->setEditText(QString::fromUtf8(text));
    }
    Button3 = MakeButton(client, "-", "Уменьшить", 176, 328, 25, 25);
    Button2 = MakeButton(client, "+", "Увеличить", 176, 360, 25, 25);
    QFont large = Button2->font();
    large.setPointSize(large.pointSize() + 4);
    Button2->setFont(large);
    Button3->setFont(large);
    Label12 = MakeLabel(client, "Диапазон  x[0]", 24, 376);
    Edit1 = MakeEdit(client, "-20", 24, 392, 65);
    Edit2 = MakeEdit(client, "20", 96, 392, 65);
    Label13 = MakeLabel(client, "Диапазон  x[1]", 24, 424);
    Edit3 = MakeEdit(client, "-20", 24, 440, 65);
    Edit4 = MakeEdit(client, "20", 96, 440, 65);
    Button1 = MakeButton(client, "Перерисовать", nullptr, 24, 472, 81, 25);
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    Label4 = MakeLabel(client, "Количество цветов", 24, 504);
    Edit5 = MakeEdit(client, "16", 136, 504, 64); // room for six digits

    ScrollBox1 = new QScrollArea(client);
    ScrollBox1->setGeometry(208, 0, 585, 545);
    auto* box = new QWidget;
    box->setFixedSize(581, 541);
    Image1 = new TMapImage(this, box);
    Image1->move(40, 0);
    Label5 = MakeLabel(box, "x[1]", 5, 24);
    Label6 = MakeLabel(box, "x[0]", 544, 480);
    // The ends of the ranges, each in the room beside its edge of the map.
    Label7 = MakeElidedLabel(box, 24, 496, 236);
    Label8 = MakeElidedLabel(box, 496, 496, 85);
    Label9 = MakeElidedLabel(box, 4, 472, 36);
    Label10 = MakeElidedLabel(box, 4, 0, 36);
    Label7->setText(QStringLiteral("-20"));
    Label8->setText(QStringLiteral("20"));
    Label9->setText(QStringLiteral("-20"));
    Label10->setText(QStringLiteral("20"));
    BitBtn1 = MakeArrow(box, Qt::RightArrow, 543, 230);
    BitBtn2 = MakeArrow(box, Qt::LeftArrow, 15, 230);
    BitBtn3 = MakeArrow(box, Qt::UpArrow, 270, 0);
    BitBtn4 = MakeArrow(box, Qt::DownArrow, 270, 472);
    StatusBar1 = new QStatusBar(box);
    StatusBar1->setGeometry(0, 520, 581, 21);
    StatusBar1->setSizeGripEnabled(false);
    ScrollBox1->setWidget(box);

    auto* stretcher = new TStretcher(client, kDesigned);
    for (QWidget* w : std::initializer_list<QWidget*>{label1, Label14, Label2, ListBox1, Label3, Label15,
                                                      Label16, Label17, Label18, Label19, Label21, Label20,
                                                      Edit5})
        stretcher->Follow(w, 0, 0, 1, 0);
    for (QWidget* w : {Edit1, Edit3}) stretcher->Follow(w, 0, 0, 0.5, 0);
    for (QWidget* w : {Edit2, Edit4}) stretcher->Follow(w, 0.5, 0, 0.5, 0);
    for (QWidget* w : {Button2, Button3}) stretcher->Follow(w, 1, 0, 0, 0);
    stretcher->Follow(ScrollBox1, 1, 0, 0, 1);
    TipCutTexts({Label14, Label15, Label17, Label19, Label20, Label7, Label8, Label9, Label10, Edit1,
                 Edit2, Edit3, Edit4, Edit5, ComboBox1, ComboBox2});

    SavePictureDialog1 = MakeSaveDialog(this, "Bitmaps (*.bmp)", "bmp");
    SaveDialog1 = MakeSaveDialog(this, "Text DOS (*.txt)", nullptr);

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
    canvas_.Fill(kWhite);
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
    if (text.empty() || (IsNumberText(text) && ColourCount(text) >= 1)) return true;
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
    S.View = {values[0], values[1], values[2], values[3]};
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
    rangeHeading->setText(QString::fromUtf8("Диапазон ") + name);
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
    S.View.XMin += dxMin;
    S.View.XMax += dxMax;
    S.View.YMin += dyMin;
    S.View.YMax += dyMax;
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

void TForm3::RedrawMap() {
    const int a = AxisVariable(ComboBox1, horizontal_);
    const int b = AxisVariable(ComboBox2, vertical_);
    // The map is sampled on every core; meanwhile the window repaints (the
    // old map stays until the new one is painted) and, past 0.2 s, shows a
    // busy cursor. Input waits until the redraw is done.
    QElapsedTimer clock;
    clock.start();
    bool busy = false;
    S.WhileSampling = [&] {
        if (!busy && clock.elapsed() > 200) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            busy = true;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    qirt::RedrawMap(S, canvas_, a, b, Std(Edit5->text()), GridSize);
    S.WhileSampling = nullptr;
    if (busy) QApplication::restoreOverrideCursor();
    LastRedrawBusy = busy;
    Image1->update();
}

void TForm3::DrawZoomFrame() {
    canvas_.InvertingPen = true; // and it stays so for the track drawn later
    DrawRectangle(canvas_, DragOrigin.x(), DragOrigin.y(), DragCorner.x(), DragCorner.y());
    Image1->update();
}

void TForm3::Image1MouseDown(int X, int Y) {
    Dragging = true;
    DragOrigin = DragCorner = QPoint(X, Y);
    StatusBar1->showMessage(QStringLiteral("Origin: (%1, %2)").arg(X).arg(Y));
}

void TForm3::Image1MouseMove(int X, int Y) {
    if (Dragging) {
        DrawZoomFrame();
        DragCorner = QPoint(X, Y);
        DrawZoomFrame();
    }
    ShowValueAt(X, Y);
}

void TForm3::ShowValueAt(int X, int Y) {
    const TViewRange& v = S.View;
    const double sx = static_cast<double>((v.XMax - v.XMin) / kMapPixels);
    const double sy = static_cast<double>((v.YMax - v.YMin) / kMapPixels);
    const double x = static_cast<double>(X * Real(sx) + v.XMin);
    const double y = static_cast<double>((kMapPixels - Y) * Real(sy) + v.YMin);
    Vector P = S.FoundPoint;
    P[AxisVariable(ComboBox1, horizontal_)] = x;
    P[AxisVariable(ComboBox2, vertical_)] = y;
    TFunction& F = S.Function;
    S.Conditions.PenaltyEnabled = F.ExtendedPlot;
    F.ClearEvaluationError();
    const double value = static_cast<double>(FunctionValue(F, P, S.CurrentLastIndex));
    const bool defined = F.LastEvaluationDefined() && std::isfinite(value);
    F.ClearEvaluationError();
    S.Conditions.PenaltyEnabled = true;
    const QString valueText = defined ? GeneralNumberText(value)
                                      : QString::fromUtf8("функция не определена");
    StatusBar1->showMessage(QString::fromUtf8("Координаты:(%1;%2)  Значение: (%3)")
                                .arg(GeneralNumberText(x), GeneralNumberText(y), valueText));
}

void TForm3::Image1MouseUp(int, int) {
    DrawZoomFrame();
    Dragging = false;
    if (!ColourCountUsable()) return;
    const TViewRange old = S.View;
    const Real sx = (old.XMax - old.XMin) / kMapPixels;
    const Real sy = (old.YMax - old.YMin) / kMapPixels;
    TViewRange v;
    v.XMax = DragCorner.x() * sx + old.XMin;
    v.XMin = DragOrigin.x() * sx + old.XMin;
    v.YMax = (kMapPixels - DragOrigin.y()) * sy + old.YMin;
    v.YMin = (kMapPixels - DragCorner.y()) * sy + old.YMin;
    if (v.XMin > v.XMax) std::swap(v.XMin, v.XMax);
    if (v.YMin > v.YMax) std::swap(v.YMin, v.YMax);
    // A frame without width or height would leave nothing to show.
    if (!(v.XMin < v.XMax) || !(v.YMin < v.YMax)) return;
    S.View = v;
    ShowRanges();
    RedrawMap();
    RememberRanges();
}

void TForm3::Image1Click() { Dragging = !Dragging; }

void TForm3::save1Click() {
    if (MapFileName.isEmpty()) return saveas1Click();
    if (!canvas_.SaveBitmap(MapFileName))
        QMessageBox::critical(this, windowTitle(),
                              QStringLiteral("Cannot create file %1").arg(MapFileName));
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
    if (S.Track && !SaveTrack(*S.Track, Std(TrackFileName), S.Function.VariableCount))
        QMessageBox::critical(this, windowTitle(),
                              QStringLiteral("Cannot create file %1").arg(TrackFileName));
}

void TForm3::saveastrek1Click() {
    if (SaveDialog1->exec() != QDialog::Accepted) return;
    const QStringList chosen = SaveDialog1->selectedFiles();
    if (chosen.isEmpty()) return;
    TrackFileName = chosen.front();
    savetrek1Click();
}

} // namespace qirt
