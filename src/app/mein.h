// The main window.
#pragma once

#include <QMainWindow>

namespace g3 {

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;
};

} // namespace g3
