// The message window: one line of text and "Да". The one channel through
// which the program reports errors; shown modally or non-modally, a new
// text replacing the old one at once, also while the window is visible.
#pragma once

#include <QDialog>

#include "func/messages.h"

class QLabel;
class QPushButton;

namespace qirt {

class TForm2 : public QDialog, public TMessageWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    void SetMessage(const std::string& text) override;
    void ShowModal() override;
    void ShowNonModal() override;

    QLabel* Label1;
    QPushButton* Button1;

public slots:
    void Button1Click();
};

} // namespace qirt
