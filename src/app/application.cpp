#include "app/application.h"

#include "ui/msgbox.h"

namespace g3 {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

// The innermost notify() that sees an exception shows it and reports the event as
// handled, so a nested dispatch never lets the same exception reach an outer one.
bool Application::notify(QObject* receiver, QEvent* e) {
    try {
        return QApplication::notify(receiver, e);
    } catch (...) {
        if (errorDisplay_) errorDisplay_->showCurrentException();
        return true;
    }
}

} // namespace g3
