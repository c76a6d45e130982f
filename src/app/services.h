// What the program's windows and components ask of the world around them: the message
// boxes, the menus the user chooses from, the opener of documents and programs, the
// progress window and the event pump. Made once at start-up (ProgramServices) and handed
// to each part that needs it, never reached through process-wide setters; tests hand in
// their own double (tests/support/testservices.h).
#pragma once

#include "engine/dropmenu.h"
#include "engine/progress.h"
#include "platform/pump.h"
#include "shellviews/shellexec.h"
#include "ui/msgbox.h"

namespace g3 {

struct Services {
    MessageBoxes& boxes;
    MenuChooser& menus;
    Opener& opener;
    ProgressHost* progressWindow = nullptr; // none: the progress routines run headless
    Pump pump;                              // none: long work does not pump
};

} // namespace g3
