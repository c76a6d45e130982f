#include "app/mein.h"

namespace g3 {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Grottan3"));
    resize(320, 240);
}

TForm1::~TForm1() = default;

} // namespace g3
