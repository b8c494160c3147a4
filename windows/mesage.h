// The message window: the text and "Да", in the language chosen. The one channel through which the
// program reports errors; shown modally or non-modally. While it is open a
// new text is added under the ones shown, and it stays above whatever
// window is in front, modal windows included.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include "func/messages.h"

class QLabel;
class QPushButton;

namespace qirt {

class TForm2 : public QDialog, public TMessageWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    void SetMessage(const std::string& text) override;
    void SetMessage(const std::string& pattern, const std::vector<std::string>& arguments) override;
    void ShowModal() override;
    void ShowNonModal() override;
    void NewReport() override {
        lines_.clear();
        excerpt_.clear();
    }
    void SetExcerpt(const std::string& excerpt) override;

    QLabel* Label1;
    // The formula around the place it goes wrong, a marker under it, in a
    // fixed-width font under the texts (hidden without one).
    QLabel* Label2;
    QPushButton* Button1;

public slots:
    void Button1Click();
    void FollowActiveWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // A text as it came: shown in the language chosen at the time.
    struct TLine {
        std::string Pattern;
        std::vector<std::string> Arguments;
        bool operator==(const TLine&) const = default;
    };
    void AddLine(TLine line);
    void ShowLines();
    void FitText();
    QWidget* owner_;
    // Where the keyboard was when the window opened; it goes back there
    // when the window closes.
    QPointer<QWidget> returnFocus_;
    // A modal window that opened while this one was shown, until it is
    // first active.
    QPointer<QWidget> coveredBy_;
    void TakeFocus();
    QList<TLine> lines_;
    QString excerpt_;
};

} // namespace qirt
