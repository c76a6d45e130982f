// Path rules of the program, on byte strings. The separator is "/"; the file-system root
// "/" plays the part of a drive root. Every child path is built with joinPath.
#pragma once

#include <string>
#include <string_view>

namespace g3 {

// The one helper that builds child paths: "/" + "x" gives "/x", "/a" + "x" gives "/a/x".
// An empty name gives the folder itself. The folder is taken as it stands otherwise
// (a folder ending in "/" other than the root is not changed).
std::string joinPath(std::string_view folder, std::string_view name);

// Parent folder: p up to its last "/"; that "/" is kept only when it is the root
// ("/x" gives "/", "/a/x" gives "/a"). A path without "/" gives "".
std::string parentFolder(std::string_view p);

// Name part: what follows the last "/" (the whole path when it has none).
std::string namePart(std::string_view p);

// The extension of the name part with its dot, ASCII lower-cased: from the name's last "."
// on; "" when the name has none.
std::string lowerExtension(std::string_view p);

// Relative path of p below base, compared component by component without regard to
// ASCII case: relativePath("/a/B/c/d.txt", "/a/b") gives "c/d.txt". Used only with p
// inside base; a p outside base gives the components of p past the common prefix.
std::string relativePath(std::string_view p, std::string_view base);

// The way from the folder `from` to `to`, both absolute, as a shortcut records it: "./"
// and the rest of `to` when it lies inside `from`, else one "../" for each component of
// `from` past their common start ("/a/b" to "/a/c/x" gives "../c/x"). Exact bytes.
std::string pathFromFolder(std::string_view from, std::string_view to);

// Root rule: the folder string to which "/" and a relative part are appended; "/"
// becomes "" so that "" + "/" + "x" is "/x". Any other folder is returned unchanged.
std::string rootRule(std::string_view folder);

// The current-folder form: "/" for the root, every other folder without trailing "/"s.
// An empty path stays empty.
std::string currentFolderForm(std::string_view path);

// The lexically normal form of an absolute path, for paths that come from outside (drops,
// the clipboard): repeated "/" and "." components removed, each ".." taking away the
// component before it (at the root it stays the root), no trailing "/". Links are not
// looked at. A relative path is only stripped of "." components and repeated "/".
std::string lexicallyNormal(std::string_view path);

// True for "/", the empty path and the root of any mounted file system: the places that
// are never filled in or frozen as a whole.
bool isVolumeRoot(std::string_view path);

// True when `inner` is `outer` itself or lies below it (component-wise, exact bytes).
bool isSameOrInside(std::string_view inner, std::string_view outer);

// ASCII-only case folding, the rule of every name comparison of the program.
char lowerAscii(char c);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace g3
