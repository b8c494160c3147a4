#include "windows/vvod_obl.h"

#include <limits>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "func/messages.h"
#include "methods/constrained.h"
#include "graph/widgets/fit.h"
#include "graph/widgets/style.h"
#include "graph/widgets/texts.h"

namespace qirt {

namespace {
constexpr int kMinimumRows = 5; // the header row and four data rows
constexpr const char* kHeaders[5] = {UI_TEXT("qirt", "Номер"), UI_TEXT("qirt", "Неравенство"), UI_TEXT("qirt", "Коэффициент"), UI_TEXT("qirt", "Степень"),
                                     UI_TEXT("qirt", "Вид функции")};
constexpr const char* kRejected = UI_TEXT("qirt", "Недопустимое неравенство");

} // namespace

TForm4::TForm4(TSession& session, TMessageWindow* messages, QWidget* parent)
    : QDialog(parent), S(session), messages_(messages) {
    setWindowTitle(Tr("qirt", "Ввод области"));
    UseDialogFont(this);
    constexpr QSize kDesigned(748, 236);
    setMinimumSize(kDesigned);
    resize(kDesigned);

    StringGrid1 = new QTableWidget(kMinimumRows, 5, this);
    StringGrid1->setGeometry(8, 8, 617, 129);
    // The header row stays in place while the conditions scroll: the grid's
    // own header shows the headings, and row 0, which holds them too, is
    // not drawn.
    QStringList headings;
    for (const char* h : kHeaders) headings << Tr(h);
    StringGrid1->setHorizontalHeaderLabels(headings);
    StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    StringGrid1->horizontalHeader()->setFixedHeight(24);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setRowHidden(0, true);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every heading fits its column; the inequality column gives the room.
    int widths[5] = {64, 357, 78, 37, 70};
    int extra = 0;
    for (int c = 0; c < 5; ++c) {
        const int needed =
            StringGrid1->fontMetrics().horizontalAdvance(Tr(kHeaders[c])) + 12;
        if (c != 1 && needed > widths[c]) {
            extra += needed - widths[c];
            widths[c] = needed;
        }
    }
    widths[1] -= extra;
    for (int c = 0; c < 5; ++c) StringGrid1->setColumnWidth(c, widths[c]);
    // The inequality column takes whatever room the grid has beside the
    // others, so the columns always fill it and never scroll sideways.
    StringGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int r = 0; r < kMinimumRows; ++r) StringGrid1->setRowHeight(r, 24);

    auto button = [this](const char* text, int y) {
        auto* b = new QPushButton(Tr(text), this);
        b->setGeometry(656, y, 75, 25);
        b->setAutoDefault(false);
        return b;
    };
    Button1 = button(UI_TEXT("qirt", "Добавить"), 8);
    Button2 = button(UI_TEXT("qirt", "Удалить"), 56);
    Button3 = button(UI_TEXT("qirt", "Изменить"), 104);
    Button5 = button(UI_TEXT("qirt", "Закончить"), 152);
    Button4 = button("Ok", 176);
    Button4->hide();
    Button6 = button(UI_TEXT("qirt", "Очистить"), 206);
    Button6->setToolTip(Tr("qirt", "Удалить все условия области"));

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(72, 176, 361, 21);
    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(432, 176, 81, 21);
    Edit3 = new QLineEdit(this);
    Edit3->setGeometry(512, 176, 41, 21);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    ComboBox1->addItem(Tr(kExteriorKind));
    ComboBox1->addItem(Tr(kInteriorKind));
    ComboBox1->setGeometry(552, 176, 89, 21);
    auto* strategyLabel = new QLabel(Tr("qirt", "Учёт области:"), this);
    strategyLabel->setGeometry(8, 206, 120, 21);
    ComboBox2 = new QComboBox(this);
    for (int k = 0; k < kRegionStrategyCount; ++k)
        ComboBox2->addItem(Tr(RegionStrategyText(static_cast<TRegionStrategy>(k))));
    ComboBox2->setCurrentIndex(static_cast<int>(S.RegionStrategy));
    ComboBox2->setToolTip(Tr("qirt", "Одна штрафная функция: метод минимизирует функцию со штрафами один раз. "
                                     "Последовательность штрафов и метод множителей ищут минимум в самой области."));
    const int labelWidth = strategyLabel->fontMetrics().horizontalAdvance(strategyLabel->text()) + 8;
    strategyLabel->resize(labelWidth, 21);
    ComboBox2->setGeometry(8 + labelWidth, 206, 260, 21);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this,
            [this](int k) { S.RegionStrategy = static_cast<TRegionStrategy>(k); });
    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2),
                       static_cast<QWidget*>(Edit3), static_cast<QWidget*>(ComboBox1)})
        w->hide();

    Edit1->setMaxLength(std::numeric_limits<int>::max());
    TipCutTexts({Edit1, Edit2, Edit3, ComboBox1});
    // Growing, the grid widens (its inequality column) and deepens; the
    // buttons keep to its right, the edit row to its columns.
    auto* stretcher = new TStretcher(this, kDesigned);
    stretcher->Follow(StringGrid1, 0, 0, 1, 1);
    for (QPushButton* b : {Button1, Button2, Button3, Button4, Button5}) stretcher->Follow(b, 1, 0, 0, 0);
    stretcher->Follow(strategyLabel, 0, 1, 0, 0);
    stretcher->Follow(Button6, 1, 1, 0, 0);
    stretcher->Follow(ComboBox2, 0, 1, 0, 0);
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionResized, this,
            &TForm4::PlaceEditRow);

    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm4::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm4::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm4::Button6Click);
}

void TForm4::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceEditRow();
}

void TForm4::PlaceEditRow() {
    // Each field under its column, the row under the grid.
    const int y = StringGrid1->geometry().bottom() + 39;
    const int left = StringGrid1->x() + StringGrid1->frameWidth();
    QWidget* fields[4] = {Edit1, Edit2, Edit3, ComboBox1};
    for (int c = 1; c <= 4; ++c)
        fields[c - 1]->setGeometry(left + StringGrid1->columnViewportPosition(c), y,
                                   StringGrid1->columnWidth(c), 21);
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

QString TForm4::Cell(int row, int column) const {
    const QTableWidgetItem* item = StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

void TForm4::SetCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = StringGrid1->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        // The header row and the number column are fixed: grey, not selectable.
        if (row == 0 || column == 0) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(palette().button());
        }
        StringGrid1->setItem(row, column, item);
    }
    item->setText(text);
    item->setToolTip(row > 0 && column > 0 ? WholeTextTip(text) : QString());
}

int TForm4::SelectedRow() const { return StringGrid1->currentRow(); }

void TForm4::MakeDefault(QPushButton* button) {
    for (QPushButton* b : {Button1, Button4}) b->setDefault(b == button);
}

void TForm4::FormActivate() {
    for (int c = 0; c < 5; ++c) SetCell(0, c, Tr(kHeaders[c]));
    for (int r = 1; r < StringGrid1->rowCount(); ++r) SetCell(r, 0, QString());
    // The conditions typed before, as they were typed.
    S.ConditionCount = 0;
    ChangeMode = false;
    if (S.Conditions.Size == 0) S.Conditions.ResetConditions();
    for (const straf* c = S.Conditions.Head; c; c = c->Next) {
        const QString texts[4] = {QString::fromStdString(c->Text), QString::fromStdString(c->CoefficientText),
                                  QString::fromStdString(c->PowerText), Tr(c->PenaltyKind.c_str())};
        ShowCondition(++S.ConditionCount, texts);
    }
    StringGrid1->setCurrentCell(1, 1);
    MakeDefault(Button1);
    Button2->setEnabled(false);
    Button3->setEnabled(false);
}

void TForm4::OpenEditRow(bool change) {
    ChangeMode = change;
    for (QWidget* w : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                       static_cast<QWidget*>(Button3), static_cast<QWidget*>(StringGrid1)})
        w->setEnabled(false);
    Edit1->setText(QString());
    Edit2->setText(QStringLiteral("1"));
    Edit3->setText(QStringLiteral("2"));
    ComboBox1->setEditText(Tr(kExteriorKind));
    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2),
                       static_cast<QWidget*>(Edit3), static_cast<QWidget*>(ComboBox1)})
        w->show();
    PlaceEditRow();
    Button4->show();
    MakeDefault(Button4);
    Button5->hide();
    Edit1->setFocus();
}

void TForm4::CloseEditRow() {
    Button1->setEnabled(true);
    const bool typed = !Edit1->text().isEmpty();
    Button2->setEnabled(typed);
    Button3->setEnabled(typed);
    StringGrid1->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2),
                       static_cast<QWidget*>(Edit3), static_cast<QWidget*>(ComboBox1)})
        w->hide();
    Button4->hide();
    Button5->show();
    MakeDefault(Button1);
}

void TForm4::Button1Click() { OpenEditRow(false); }

void TForm4::Button3Click() {
    const int row = SelectedRow();
    if (row < 1 || row > S.ConditionCount) return;
    OpenEditRow(true);
    Edit1->setText(Cell(row, 1));
    Edit2->setText(Cell(row, 2));
    Edit3->setText(Cell(row, 3));
    ComboBox1->setEditText(Cell(row, 4));
}

void TForm4::Button4Click() {
    const QString texts[4] = {Edit1->text(), Edit2->text(), Edit3->text(),
                              ComboBox1->currentText()};
    // The kinds are shown in the language chosen; the engine knows its own.
    const std::string kind = EngineWord(texts[3], {kExteriorKind, kInteriorKind});
    uslov& list = S.Conditions;
    if (ChangeMode) {
        const int row = SelectedRow();
        list.ChangeCondition(row, Std(texts[0]), Std(texts[1]), Std(texts[2]), kind);
        if (list.ConditionErrorCode == 0)
            for (int c = 1; c <= 4; ++c) SetCell(row, c, texts[c - 1]);
    } else if (!texts[0].isEmpty()) {
        list.AddCondition(Std(texts[0]), Std(texts[1]), Std(texts[2]), kind);
        if (list.ConditionErrorCode == 0) {
            ShowCondition(++S.ConditionCount, texts);
            // The new row in view, the grid laid out for its new row first.
            StringGrid1->doItemsLayout();
            StringGrid1->scrollToItem(StringGrid1->item(S.ConditionCount, 1));
        }
    }
    if (list.ConditionErrorCode != 0) {
        ShowMessage(messages_, kRejected, ShowKind::Modal);
        list.ConditionErrorCode = 0;
        return; // the edit row stays open for a correction
    }
    CloseEditRow();
}

void TForm4::Button2Click() {
    const int k = SelectedRow();
    if (k < 1 || k > S.ConditionCount) return;
    S.Conditions.DeleteCondition(k);
    --S.ConditionCount;
    for (int r = k; r <= S.ConditionCount; ++r)
        for (int c = 1; c <= 4; ++c) SetCell(r, c, Cell(r + 1, c));
    const int vacated = S.ConditionCount + 1;
    if (StringGrid1->rowCount() <= kMinimumRows)
        for (int c = 0; c < 5; ++c) SetCell(vacated, c, QString());
    else
        StringGrid1->removeRow(StringGrid1->rowCount() - 1);
}

void TForm4::Button5Click() { done(QDialog::Accepted); }

void TForm4::ShowCondition(int row, const QString (&texts)[4]) {
    if (StringGrid1->rowCount() <= row) {
        StringGrid1->insertRow(StringGrid1->rowCount());
        StringGrid1->setRowHeight(StringGrid1->rowCount() - 1, 24);
    }
    SetCell(row, 0, QString::number(row));
    for (int c = 1; c <= 4; ++c) SetCell(row, c, texts[c - 1]);
}

void TForm4::Button6Click() {
    if (Edit1->isVisible()) CloseEditRow();
    S.Conditions.ClearConditions();
    S.ConditionCount = 0;
    while (StringGrid1->rowCount() > kMinimumRows) StringGrid1->removeRow(StringGrid1->rowCount() - 1);
    for (int r = 1; r < StringGrid1->rowCount(); ++r)
        for (int c = 0; c < 5; ++c) SetCell(r, c, QString());
    Button2->setEnabled(false);
    Button3->setEnabled(false);
}

void TForm4::reject() {
    if (Edit1->isVisible()) {
        CloseEditRow(); // the row's edit is cancelled; the window stays
        return;
    }
    QDialog::reject();
}

} // namespace qirt
