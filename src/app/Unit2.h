// TPasswordDlg2: the two-field input dialog, TPasswordDlg with two more lines of text and
// a second field Edit1. Same buttons, same Password field and the same behaviour (focus,
// time stamp, busy rule).
#pragma once

#include "app/Unit1.h"

namespace g3 {

class TPasswordDlg2 : public TPasswordDlg {
    Q_OBJECT
public:
    explicit TPasswordDlg2(QWidget* parent = nullptr);

    QLabel* Label2; // second line of text
    QLabel* Label3; // label of Password
    QLabel* Label4; // label of Edit1
    QLineEdit* Edit1;
};

} // namespace g3
