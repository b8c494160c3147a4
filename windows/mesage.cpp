#include "windows/mesage.h"
#include "windows/style.h"

#include <QLabel>
#include <QPushButton>

namespace qirt {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("mesage"));
    UseDialogFont(this);
    setFixedSize(351, 118);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setGeometry(8, 16, 335, 32);
    Label1->setWordWrap(true);
    Button1 = new QPushButton(QString::fromUtf8("Да"), this);
    Button1->setGeometry(136, 56, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

void TForm2::SetMessage(const std::string& text) {
    // A condition that cannot be evaluated reports at every evaluation:
    // the same text again changes nothing.
    const QString message = QString::fromStdString(text);
    if (Label1->text() != message) Label1->setText(message);
}

void TForm2::ShowModal() {
    if (isVisible()) hide(); // a non-modal show turns into a modal one
    exec();
}

void TForm2::ShowNonModal() {
    if (isVisible()) return; // already showing: only its text changed
    show();
    raise();
    activateWindow();
}

void TForm2::Button1Click() { done(QDialog::Accepted); }

} // namespace qirt
