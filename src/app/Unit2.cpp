#include "app/Unit2.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace g3 {

namespace {
constexpr int kMargin = 8;
constexpr int kFieldWidth = 729;
constexpr int kLineHeight = 17;
} // namespace

TPasswordDlg2::TPasswordDlg2(QWidget* parent) : TPasswordDlg(parent, 186, 155) {
    setObjectName(QStringLiteral("PasswordDlg2"));
    auto line = [this](QLabel* l, int top) {
        l->setGeometry(kMargin, top, kFieldWidth, kLineHeight);
        return l;
    };
    line(Label1, 8);
    Label2 = line(new QLabel(this), 28);
    Label3 = line(new QLabel(this), 52);
    Password->setGeometry(kMargin, 70, kFieldWidth, 21);
    Label4 = line(new QLabel(this), 100);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(kMargin, 118, 425, 21);
    setTabOrder(Password, Edit1);
    setTabOrder(Edit1, OKBtn);
}

} // namespace g3
