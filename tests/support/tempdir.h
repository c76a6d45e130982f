// A fresh folder for one test (under /tmp unless told), removed with everything in it,
// and the small file helpers the tests of every folder share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace g3test {

class TempDir {
public:
    explicit TempDir(const std::string& base = "/tmp");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    const std::string& root() const { return path_; }
    // root + "/" + rel
    std::string path(std::string_view rel) const;
    std::string operator/(std::string_view rel) const { return path(rel); }
    // Writes a file below the folder (parents made); returns its path.
    std::string write(std::string_view rel, std::string_view contents);
    // Makes a folder below the folder (parents made); returns its path.
    std::string mkdir(std::string_view rel);

private:
    std::string path_;
};

// Removes a tree through directory descriptors, so read-only folders and paths longer than
// PATH_MAX go too.
void removeTree(const std::string& path);

void writeFile(const std::string& path, std::string_view bytes = {});
std::string readFile(const std::string& path);
// True when anything, a dangling link included, is at path.
bool exists(const std::string& path);
// mkdir -p of one path; false on failure.
bool makeFolders(const std::string& path);
// A chain of folders below base whose full path is longer than minBytes, made through
// directory descriptors; returns that path.
std::string makeDeepFolder(const std::string& base, std::size_t minBytes);
// Sets the last-write and access times in Unix seconds (a link itself, not its target).
void setMtime(const std::string& path, std::int64_t seconds);
// A local time as Unix seconds.
std::int64_t localTime(int year, int month, int day, int hour, int minute, int second);

} // namespace g3test
