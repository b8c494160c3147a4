// "Сравнить методы…": a box per method, all ticked at first; the methods
// ticked are compared on the main window's inputs.
#pragma once

#include <vector>

#include <QDialog>

#include "methods/method_table.h"

class QCheckBox;
class QPushButton;

namespace qirt {

class TCompareDialog : public QDialog {
public:
    explicit TCompareDialog(QWidget* parent = nullptr);
    // The methods ticked, as indices into kMethods.
    std::vector<int> Chosen() const;

    QCheckBox* Boxes[kMethodCount]; // one per method of kMethods
    QPushButton *Compare, *Cancel;
};

} // namespace qirt
