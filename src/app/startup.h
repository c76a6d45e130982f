// Start-up and shut-down of the program.
#pragma once

#include "app/OKRightDlg.h"
#include "app/mein.h"
#include "app/services.h"

#include <string>

class QApplication;

namespace g3 {

// The program's windows in their start-up order (the main window first), with what they
// share installed: the progress window of every run, the end-of-run error report.
class ProgramWindows {
public:
    explicit ProgramWindows(const Services& services);
    TForm1& form() { return form_; }

private:
    TForm1 form_;
    TOKRightDlg okRightDlg_;
};

// Sets the application title "Grottan3", makes the program's services and windows (the
// application's general error display shows in its boxes), shows the main window and runs
// the message loop until it closes. Returns the loop's exit code.
//
// With G3_EXIT_WHEN_SHOWN=1 in the environment the program quits as soon as the main
// window is shown with "/" listed (the start-up benchmark measures that).
int runGrottan3(QApplication& app);

// Where no session bus is known (no DBUS_SESSION_BUS_ADDRESS, no user bus socket in
// XDG_RUNTIME_DIR) none is asked for: the D-Bus library would otherwise launch one itself,
// forking a helper from a process that already runs threads, which can hang the start.
// Call first thing, before any thread starts.
void avoidSessionBusAutolaunch();

// The quick view plays sound and video through GStreamer (with the libav, good and bad
// plugin sets: wav, mp3, wma, mpg, avi and wmv) unless QT_MEDIA_BACKEND names another
// backend. Changes the environment: call before any thread starts.
void useGStreamerMedia();

// The program the window menu's "one more instance" starts: a file "grotx" beside the
// executable when there is one, else the executable itself.
std::string secondInstanceProgram();

} // namespace g3
