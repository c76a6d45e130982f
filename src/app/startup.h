// Start-up and shut-down of the program.
#pragma once

class QApplication;

namespace g3 {

// Sets the application title "Grottan3", installs the event pump, creates the windows in
// their fixed order (the main window first), shows the main window and runs the message
// loop until it closes. Returns the loop's exit code.
int runGrottan3(QApplication& app);

// The event pump installed for long work: processes pending events, but returns at once
// when it last ran less than 2 ms ago.
void installThrottledPump();

} // namespace g3
