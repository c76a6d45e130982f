// The program's own pictures for tool-bar buttons and dialogs, drawn as SVG and compiled in.
#pragma once

#include <QIcon>
#include <QStringList>

namespace g3 {

// The picture for `name` (one of programIconNames(): "dig", "evict", "thaw", ...): the
// desktop icon theme's picture for the same command when the theme has one, else the
// program's own drawing (ownIcon). A null icon for a name the program does not know.
// GUI thread only.
QIcon programIcon(const char* name);

// The program's own drawing of `name`, whatever the theme holds. It scales to any square
// size; its Disabled mode is a faded grey copy whatever the style does, so a disabled button
// never looks enabled. QIcon::name() gives `name` back. Null for an unknown name.
QIcon ownIcon(const char* name);

// Every picture name, in a fixed order.
QStringList programIconNames();

} // namespace g3
