#include "windows/compare_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "graph/widgets/style.h"
#include "methods/compare.h"

namespace qirt {

TCompareDialog::TCompareDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Tr("qirt", "Сравнение методов"));
    UseDialogFont(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Tr("qirt",
        "Отмеченные методы выполняются один за другим с теми же\n"
        "функцией, начальной точкой, точностями, шагом и областью.")));
    for (int k = 0; k < kMethodCount; ++k) {
        Boxes[k] = new QCheckBox(Tr(kMethods[k].Caption));
        Boxes[k]->setChecked(true);
        layout->addWidget(Boxes[k]);
    }
    auto* buttons = new QHBoxLayout;
    Compare = new QPushButton(Tr("qirt", "Сравнить"));
    Compare->setDefault(true);
    Cancel = new QPushButton(Tr("qirt", "Отмена"));
    buttons->addStretch();
    buttons->addWidget(Compare);
    buttons->addWidget(Cancel);
    layout->addLayout(buttons);
    connect(Compare, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<int> TCompareDialog::Chosen() const {
    std::vector<int> chosen;
    for (int k = 0; k < kMethodCount; ++k)
        if (Boxes[k]->isChecked()) chosen.push_back(k);
    return chosen;
}

} // namespace qirt
