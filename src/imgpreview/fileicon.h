// File icons as the loader draws them: the desktop's icon for a file or folder, and the
// icons inside Windows programs and libraries. User-interface thread (icons need the
// QGuiApplication).
#pragma once

#include "imgpreview/codec.h"

#include <QImage>

#include <string>

namespace g3 {

// The natural size of an icon: a theme icon is drawn this many pixels square, and of an
// icon file's pictures the one nearest this size is taken.
constexpr int kIconSize = 32;

// Icon number `index` of the file, transparent around the picture. Index 0 is the file's
// own icon: a Windows program's or library's first icon, an icon file's picture, the drive
// icon for a volume root, the home icon for the home folder, the folder icon, else the icon
// of the file's type from the desktop's icon theme (the program's own drawings of a cave and
// a house where the theme has none). Any other index is that icon of a program or library,
// or the type's icon when it has no such icon.
QImage shellIcon(const std::string& path, int index);

// The number of icons in a Windows program or library; 0 for any other file.
int shellIconCount(const std::string& path);

// Of the pictures in an .ico or .cur file's bytes, the one nearest kIconSize (of those, the
// largest); null when there is none.
QImage iconFilePicture(ByteView ico);

} // namespace g3
