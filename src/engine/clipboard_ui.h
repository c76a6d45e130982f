// Files between this program and any other through the desktop clipboard: the selected
// items go there in every format the file managers read (marked as a copy), and whatever
// files another program put there, cut included, are copied into a folder by the shell
// file operation. Names are exact bytes both ways.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace g3 {

class MessageBoxes;

// Places curDir joined with each name, in order, on the clipboard. No names: the
// clipboard is left as it was.
void CopyFilesToClipboard(const std::string& curDir, const std::vector<std::string>& names);

// Copies every file and folder named on the clipboard into curDir (a cut is copied too;
// the sources stay), behind the shell file operation's window owned by owner. Nothing
// happens when the clipboard names no file. Returns the operation's result (0 also when
// nothing was there).
int PasteFiles(const std::string& curDir, MessageBoxes& boxes, QWidget* owner = nullptr);

} // namespace g3
