// Start-up and shut-down of the program.
#pragma once

#include <string>

class QApplication;

namespace g3 {

// Sets the application title "Grottan3", installs the event pump, creates the windows in
// their fixed order (the main window first), shows the main window and runs the message
// loop until it closes. Returns the loop's exit code.
//
// With G3_EXIT_WHEN_SHOWN=1 in the environment the program quits as soon as the main
// window is shown with "/" listed (the start-up benchmark measures that).
int runGrottan3(QApplication& app);

// The event pump installed for long work: processes pending events, but returns at once
// when it last ran less than 2 ms ago.
void installThrottledPump();

// The program the window menu's "one more instance" starts: a file "grotx" beside the
// executable when there is one, else the executable itself.
std::string secondInstanceProgram();

} // namespace g3
