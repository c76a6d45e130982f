// Where the program's windows go on the screen.
#pragma once

class QWidget;

namespace g3 {

// Moves the window so that its centre is the centre of the primary screen's available area.
void centreOnScreen(QWidget* w);

} // namespace g3
