// The program's own services: boxes and menus on the screen, the desktop's opener, the
// progress windows, and the event pump that lets the window breathe during long work.
#pragma once

#include "app/services.h"
#include "engine/Sinkou.h"

namespace g3 {

class ProgramServices {
public:
    ProgramServices();
    ProgramServices(const ProgramServices&) = delete;
    ProgramServices& operator=(const ProgramServices&) = delete;

    Services services() { return {boxes, menus, opener, &progressWindows, pump}; }

    ScreenMessageBoxes boxes;
    ScreenMenuChooser menus;
    DesktopOpener opener;
    SinkouWindows progressWindows;
    Pump pump;
};

} // namespace g3
