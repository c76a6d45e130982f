// The desktop's side of an association: so that other programs (file managers, gio open,
// xdg-open) open files of an extension with the program the user chose, the program gets
// a desktop entry of its own for that extension and becomes the default application of
// the extension's MIME type. An extension the shared MIME database does not know gets a
// glob type of the program's own first.
#pragma once

#include <string>
#include <string_view>

namespace g3 {

struct DesktopRegistration {
    std::string mimeType;    // the extension's type, the database's or our own
    std::string desktopFile; // the entry written for the program
};

// Registers program (an absolute path) as the opener of files ending in "." + ext, in the
// user's data and configuration folders:
// - the type: the one the MIME database gives the name "x." + ext; for an unknown one,
//   "application/x-grottan3-" + a token of ext, defined by a package file in
//   $XDG_DATA_HOME/mime/packages/ with the glob "*." + ext (case-insensitive), and
//   update-mime-database run on $XDG_DATA_HOME/mime;
// - the entry $XDG_DATA_HOME/applications/grottan3_<token>.desktop (hidden from menus)
//   that starts program with one file, and
// - that entry as the type's default in mimeapps.list, whose other groups and entries stay.
// One entry per extension: associating the extension again rewrites it for the new
// program. The token is ext in lower case with each byte other than a-z and 0-9 written
// "_" and two hex digits. False, with out holding what was done so far, when a step
// fails; EILSEQ, nothing written, when program or ext is not UTF-8 (a desktop entry holds
// UTF-8 text only), and EINVAL when program's path holds "%" (GIO refuses such an entry).
bool registerWithDesktop(std::string_view ext, const std::string& program, DesktopRegistration& out);

} // namespace g3
