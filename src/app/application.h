// The program's application object: an exception that escapes an event handler (a slot,
// a timer, a paint, a queued call) reaches notify(), is shown once in an error box
// through the general error display (msgbox.h), and the event loop goes on.
#pragma once

#include <QApplication>

#include "ui/msgbox.h"

namespace g3 {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // The general error display: where an escaping exception is shown (none: nowhere).
    void setErrorDisplay(MessageBoxes* boxes) { errorDisplay_ = boxes; }
    bool notify(QObject* receiver, QEvent* e) override;

private:
    MessageBoxes* errorDisplay_ = nullptr;
};

} // namespace g3
