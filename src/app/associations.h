// Becoming a relative of another house: the selected program becomes the one that opens
// every file of a type name (an extension) the user types. The association is written into
// the program's registry (platform/registry.h), which its own opening honours, and
// registered with the desktop (platform/desktopassoc.h) for every other program.
//
// The command is the item pmF04 of the path-copy menu: the window puts pmF04() into that
// menu, which enables it only with exactly one item of the list selected.
#pragma once

#include "app/feature.h"

#include <string>
#include <string_view>

class QWidget;

namespace g3 {

class MessageBoxes;

// What is wrong with a type name, in the order the command checks it.
enum class TypeNameFault {
    None,
    Empty,
    Period,       // a "." anywhere
    BadCharacter, // "\" or "/" (key and path separators), "*", "?", "[" or "]" (wildcards,
                  // and the registry file's section brackets), or a control character
    TooLong,      // more than 8 bytes in CP932
};

// The typed text without the blanks and control characters at its ends.
std::string trimmedTypeName(std::string_view typed);
TypeNameFault checkTypeName(std::string_view ext);

// Writes the four keys of the association of ext with program, in order ("." + ext, the
// program identifier "grottan3_" + ext, its DefaultIcon and its shell\open\command),
// registers it with the desktop, and reports success in a box over owner. A key that
// cannot be written throws (the general error display shows "'' の設定に失敗しました"),
// leaving the later keys unwritten and nothing reported. A failed desktop registration is
// silent: the program's own opening honours the registry either way.
void AssociateExtension(const std::string& program, const std::string& ext, MessageBoxes& boxes,
                        QWidget* owner);

class AssociationController final : public FeatureController {
    Q_OBJECT
public:
    AssociationController(WindowContext& window, QObject* parent);

    // "他の家の親戚になる(&K)"; it asks for the type name in the window's input dialog.
    QAction* pmF04() const { return pmF04_; }
    void pmF04Click();

private:
    // The box for a refused type name; the prompt shows again after it.
    void showFault(TypeNameFault fault, const std::string& ext);

    QAction* pmF04_;
};

} // namespace g3
