// The about window: the program's icon, name and version, and "OK".
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace qirt {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel *ProgramIcon, *ProductName, *Version;
    QPushButton* OKButton;

    // "OK" is also the cancel button: Esc and the close box end with OK too.
    void reject() override { accept(); }

protected:
    void changeEvent(QEvent* event) override;
};

// The program's icon: a small colour level map with a track to its minimum.
QPixmap ProgramPixmap(int size);

} // namespace qirt
