// Temporary folders for the shell view tests: a fresh folder under /tmp removed with
// everything in it, and folder chains deeper than the kernel's path limit.
#pragma once

#include "shellviews/itemidlist.h"

#include <string>
#include <string_view>

namespace g3test {

class ShellTempDir {
public:
    ShellTempDir();
    ~ShellTempDir();
    ShellTempDir(const ShellTempDir&) = delete;
    ShellTempDir& operator=(const ShellTempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const;

private:
    std::string path_;
};

// mkdir -p of one path below an existing folder; false on failure.
bool makeFolders(const std::string& path);
void makeFile(const std::string& path, std::string_view bytes = {});
// A chain of folders below base whose full path is longer than minBytes, made through
// directory descriptors; returns that path.
std::string makeDeepFolder(const std::string& base, std::size_t minBytes);

// The absolute ID list of an existing path (a warning and the null list otherwise).
g3::ItemIDList parsedPath(const std::string& path);

} // namespace g3test
