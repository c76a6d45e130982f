// TPasswordDlg: the single-line input dialog the commands share (a name, a path; the
// text is shown in clear). Each command sets the caption, the prompt and, if it wants,
// the OK button's caption before showing it; the typed text stays in Password from one
// use to the next. Created once, modal, centred on the screen.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace g3 {

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    QLabel* Label1;      // the prompt; "\r\n" or "\n" starts its second line
    QLineEdit* Password; // the input
    QPushButton* OKBtn;  // default button; a right click sets the time stamp
    QPushButton* CancelBtn;

    // Password takes the focus with its text selected.
    void FormShow();
    // The right button puts the current local time "yyyyMMdd-HHmmss_" into Password; the
    // dialog stays open. Other buttons do nothing here.
    void OKBtnMouseDown(Qt::MouseButton button);

protected:
    // For the two-field variant: lays out a dialog of the given client height with the
    // buttons at buttonTop.
    TPasswordDlg(QWidget* parent, int clientHeight, int buttonTop);
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void build(int clientHeight, int buttonTop);
};

// The busy rule of the commands that use an input dialog: when dlg is already showing it
// is brought to the front and the answer is true, and the command does nothing else.
bool bringToFrontIfShowing(QWidget* dlg);


} // namespace g3
