#include "graph/window/grafik_panels.h"

#include <algorithm>
#include <tuple>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolButton>

#include "graph/track/track.h"
#include "graph/window/map_axes.h"
#include "graph/window/map_view.h"
#include "graph/widgets/fit.h"
#include "graph/widgets/style.h"

namespace qirt {

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
    auto* button = new QPushButton(Tr(text), parent);
    // At least as wide as its caption needs.
    const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 12;
    button->setGeometry(x, y, std::max(w, needed), h);
    if (hint) button->setToolTip(Tr(hint));
    button->setAutoDefault(false);
    return button;
}

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow, int x, int y) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setGeometry(x, y, 25, 25);
    return button;
}

} // namespace

TResultPanel BuildResultPanel(QWidget* client, TStretcher& stretcher) {
    TResultPanel p;
    p.label1 = MakeLabel(client, UI_TEXT("qirt", "Исследуемая функция"), 26, 8);
    p.Label14 = MakeElidedLabel(client, 26, 24);
    p.Label2 = MakeLabel(client, UI_TEXT("qirt", "Полученная точка"), 26, 40);
    p.ListBox1 = new QListWidget(client);
    p.ListBox1->setGeometry(26, 56, 143, 97);
    for (int i = 0; i < 10; ++i) p.ListBox1->addItem(QString());
    p.Label3 = MakeLabel(client, UI_TEXT("qirt", "Минимум функции"), 26, 168);
    p.Label15 = MakeElidedLabel(client, 26, 184);
    p.Label16 = MakeLabel(client, UI_TEXT("qirt", "Число итераций"), 24, 208);
    p.Label17 = MakeLabel(client, "", 24, 224);
    p.Label18 = MakeLabel(client, UI_TEXT("qirt", "Число вычислений функции"), 24, 248);
    p.Label19 = MakeLabel(client, "", 24, 264);
    p.Label21 = MakeLabel(client, UI_TEXT("qirt", "Используемый метод"), 24, 288);
    p.Label20 = MakeElidedLabel(client, 24, 304);
    // Texts set later (results, headings the run fills in) need room to grow.
    for (QLabel* label : {p.label1, p.Label14, p.Label2, p.Label3, p.Label15, p.Label16, p.Label17, p.Label18, p.Label19,
                          p.Label20, p.Label21})
        label->resize(182, label->height());
    p.Label11 = MakeLabel(client, UI_TEXT("qirt", "Координаты"), 24, 328);
    p.ComboBox1 = new QComboBox(client);
    p.ComboBox2 = new QComboBox(client);
    for (auto [box, items, x, text] :
         {std::tuple{p.ComboBox1, 10, 24, "x[0]"}, std::tuple{p.ComboBox2, 9, 72, "x[1]"}}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        for (int i = 0; i < items; ++i) box->addItem(QString());
        box->setGeometry(x, 344, 49, 21);
        box->setEditText(QString::fromUtf8(text));
    }
    p.Button3 = MakeButton(client, "-", UI_TEXT("qirt", "Уменьшить"), 176, 328, 25, 25);
    p.Button2 = MakeButton(client, "+", UI_TEXT("qirt", "Увеличить"), 176, 360, 25, 25);
    QFont large = p.Button2->font();
    large.setPointSize(large.pointSize() + 4);
    p.Button2->setFont(large);
    p.Button3->setFont(large);
    p.Label12 = MakeLabel(client, UI_TEXT("qirt", "Диапазон  x[0]"), 24, 376);
    p.Edit1 = MakeEdit(client, "-20", 24, 392, 65);
    p.Edit2 = MakeEdit(client, "20", 96, 392, 65);
    p.Label13 = MakeLabel(client, UI_TEXT("qirt", "Диапазон  x[1]"), 24, 424);
    p.Edit3 = MakeEdit(client, "-20", 24, 440, 65);
    p.Edit4 = MakeEdit(client, "20", 96, 440, 65);
    p.Button1 = MakeButton(client, UI_TEXT("qirt", "Перерисовать"), nullptr, 24, 472, 81, 25);
    p.Button1->setDefault(true);
    p.Button1->setAutoDefault(true);
    p.Label4 = MakeLabel(client, UI_TEXT("qirt", "Количество цветов"), 24, 504);
    p.Edit5 = MakeEdit(client, "16", 136, 504, 64); // room for six digits
    p.Label22 = MakeLabel(client, UI_TEXT("qirt", "Градиент (‖∇f‖∞)"), 24, 532);
    p.Label23 = MakeElidedLabel(client, 24, 548);
    p.Label24 = MakeElidedLabel(client, 24, 564);
    for (QLabel* label : {p.Label22, p.Label23, p.Label24}) label->resize(182, label->height());

    // The map takes the growth it can use as a square; what is left across
    // widens this column.
    for (QWidget* w : std::initializer_list<QWidget*>{p.label1, p.Label14, p.Label2, p.ListBox1,
                                                      p.Label3, p.Label15, p.Label16, p.Label17,
                                                      p.Label18, p.Label19, p.Label21, p.Label20,
                                                      p.Edit5, p.Label22, p.Label23, p.Label24})
        stretcher.FollowSplit(w, 0, 0, 1, 0);
    for (QWidget* w : {p.Edit1, p.Edit3}) stretcher.FollowSplit(w, 0, 0, 0.5, 0);
    for (QWidget* w : {p.Edit2, p.Edit4}) stretcher.FollowSplit(w, 0.5, 0, 0.5, 0);
    for (QWidget* w : {p.Button2, p.Button3}) stretcher.FollowSplit(w, 1, 0, 0, 0);
    TipCutTexts({p.Label14, p.Label15, p.Label17, p.Label19, p.Label20, p.Label23, p.Label24, p.Edit1, p.Edit2, p.Edit3,
                 p.Edit4, p.Edit5, p.ComboBox1, p.ComboBox2});
    return p;
}

namespace {
// Around a map of side s: 40 pixels left of it for the vertical axis, 171 in
// all across (the colour bar right), 41 below it (the corner numbers and
// the status bar).
constexpr int kBoxExtraWidth = 171, kBoxExtraHeight = 41;
} // namespace

TMapPanel BuildMapPanel(QWidget* client, TStretcher& stretcher) {
    TMapPanel p;
    p.ScrollBox1 = new QScrollArea(client);
    p.ScrollBox1->setGeometry(208, 0, 675, 545);
    p.Box = new QWidget;
    p.Image1 = new TMapView(p.Box);
    p.Image1->move(40, 0);
    p.Label5 = MakeLabel(p.Box, "x[1]", 5, 24);
    p.Label6 = MakeLabel(p.Box, "x[0]", 0, 0);
    // The ends of the ranges, each in the room beside its edge of the map.
    p.Label7 = MakeElidedLabel(p.Box, 0, 0, 236);
    p.Label8 = MakeElidedLabel(p.Box, 0, 0, 85);
    p.Label9 = MakeElidedLabel(p.Box, 0, 0, 36);
    p.Label10 = MakeElidedLabel(p.Box, 4, 0, 36);
    p.Label7->setText(QStringLiteral("-20"));
    p.Label8->setText(QStringLiteral("20"));
    p.Label9->setText(QStringLiteral("-20"));
    p.Label10->setText(QStringLiteral("20"));
    p.OutsideLegend = MakeLabel(p.Box, UI_TEXT("qirt", "▒ вне области"), 0, 0);
    p.OutsideLegend->setStyleSheet(QStringLiteral("color: rgb(110, 110, 110)"));
    p.OutsideLegend->hide();
    p.BitBtn1 = MakeArrow(p.Box, Qt::RightArrow, 0, 0);
    p.BitBtn2 = MakeArrow(p.Box, Qt::LeftArrow, 0, 0);
    p.BitBtn3 = MakeArrow(p.Box, Qt::UpArrow, 0, 0);
    p.BitBtn4 = MakeArrow(p.Box, Qt::DownArrow, 0, 0);
    p.Axes = new TMapAxes(p.Box, QPoint(40, 0));
    p.Axes->KeepClear = {p.Label7, p.Label8, p.Label9, p.Label10, p.BitBtn2, p.BitBtn4};
    p.Bar = new TColourBar(p.Box);
    p.StatusBar1 = new QStatusBar(p.Box);
    p.StatusBar1->setSizeGripEnabled(false);
    PlaceMapBox(p, kMapPixels);
    p.ScrollBox1->setWidget(p.Box);

    stretcher.FollowSplit(p.ScrollBox1, 1, 1, 0, 1);
    TipCutTexts({p.Label7, p.Label8, p.Label9, p.Label10});
    return p;
}

int MapSideFor(const TMapPanel& p) {
    // The scroll box as placed (675 x 545) holds the 500 x 500 map's box
    // with room for its frame to spare.
    const QSize room = p.ScrollBox1->size() - QSize(4, 4);
    return std::max(kMapPixels, std::min(room.width() - kBoxExtraWidth, room.height() - kBoxExtraHeight));
}

bool PlaceMapBox(const TMapPanel& p, int side) {
    // Everything right of the map or below it moves with its far edge; the
    // arrows stay at the middle of their edges.
    const int s = side, half = side / 2;
    p.Box->setFixedSize(s + kBoxExtraWidth, s + kBoxExtraHeight);
    const bool changed = p.Image1->SetSide(s);
    p.Label6->move(s + 44, s - 20);
    p.Label7->move(24, s - 4);
    p.Label8->move(s - 4, s - 4);
    p.Label9->move(4, s - 28);
    p.OutsideLegend->move(s + 76, s + 4);
    p.BitBtn1->move(s + 43, half - 20);
    p.BitBtn2->move(15, half - 20);
    p.BitBtn3->move(half + 20, 0);
    p.BitBtn4->move(half + 20, s - 28);
    p.Axes->setGeometry(p.Box->rect());
    p.Axes->SetSide(s);
    p.Bar->setGeometry(s + 86, 0, 84, s);
    p.StatusBar1->setGeometry(0, s + 20, s + 81, 21);
    return changed;
}

} // namespace qirt
