#include "ui/workprogress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace g3 {

TWorkProgressDlg::TWorkProgressDlg(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* v = new QVBoxLayout(this);
    above_ = new QVBoxLayout;
    v->addLayout(above_);
    bar = new QProgressBar(this);
    bar->setRange(0, 1000);
    bar->setTextVisible(false);
    v->addWidget(bar);
    below_ = new QVBoxLayout;
    v->addLayout(below_);
    auto* row = new QHBoxLayout;
    row->addStretch();
    btnCancel = new QPushButton(QString::fromUtf8("キャンセル"), this);
    row->addWidget(btnCancel);
    v->addLayout(row);
    connect(btnCancel, &QPushButton::clicked, this, [this] { cancelClicked(); });
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] {
        refresh();
        if (workFinished()) accept();
    });
}

QLabel* TWorkProgressDlg::addLine(int minimumWidth) {
    auto* l = new QLabel(this);
    l->setTextFormat(Qt::PlainText);
    l->setMinimumWidth(minimumWidth);
    above_->addWidget(l);
    return l;
}

QLabel* TWorkProgressDlg::addLineBelow() {
    auto* l = new QLabel(this);
    below_->addWidget(l);
    return l;
}

void TWorkProgressDlg::setBar(double done, double total) {
    bar->setValue(total > 0 ? static_cast<int>(1000.0 * std::min(done, total) / total) : 0);
}

void TWorkProgressDlg::runModal(const std::function<void()>& start, const std::function<void()>& wait) {
    start();
    timer_->start();
    exec();
    timer_->stop();
    wait();
}

void TWorkProgressDlg::cancelClicked() {
    cancelWork();
    btnCancel->setEnabled(false);
    btnCancel->setText(QString::fromUtf8("中止しています..."));
}

void TWorkProgressDlg::reject() {
    if (!workFinished()) {
        cancelClicked();
        return; // closes once the work has stopped
    }
    QDialog::reject();
}

} // namespace g3
