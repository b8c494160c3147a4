// The region window "Ввод области": the inequalities of the region, each
// with a penalty coefficient, power and kind, typed into an edit row under
// a grid and kept in the program's one condition list.
#pragma once

#include <QDialog>

#include "methods/session.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qirt {

class TMessageWindow;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    TForm4(TSession& session, TMessageWindow* messages, QWidget* parent = nullptr);

    QTableWidget* StringGrid1;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5;
    QPushButton* Button6; // "Очистить": removes every condition
    QLineEdit *Edit1, *Edit2, *Edit3;
    QComboBox* ComboBox1;
    // How the region is taken into account: one penalised run, a sequence
    // of penalties or the method of multipliers (the session keeps it).
    QComboBox* ComboBox2;
    bool ChangeMode = false;

    // Texts of the grid, "" for an empty cell.
    QString Cell(int row, int column) const;
    int SelectedRow() const;

    void FormActivate();

public slots:
    void Button1Click(); // "Добавить"
    void Button2Click(); // "Удалить"
    void Button3Click(); // "Изменить"
    void Button4Click(); // "Ok"
    void Button5Click(); // "Закончить"
    void Button6Click(); // "Очистить"
    // Esc while a row is being edited cancels that row's edit only.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetCell(int row, int column, const QString& text);
    // Row `row` (from 1) shows a condition's texts: inequality,
    // coefficient, power and kind.
    void ShowCondition(int row, const QString (&texts)[4]);
    void OpenEditRow(bool change);
    void CloseEditRow();
    void MakeDefault(QPushButton* button);
    void PlaceEditRow();

    TSession& S;
    TMessageWindow* messages_;
    bool activated_ = false;
};

} // namespace qirt
