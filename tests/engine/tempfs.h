// Temporary trees for the engine tests: a fresh folder per test, removed afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace g3test {

class TempTree {
public:
    // A fresh folder below base ("/tmp" unless given, e.g. "/dev/shm" for another file
    // system).
    explicit TempTree(const std::string& base = "/tmp");
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    // root + "/" + rel
    std::string path(const std::string& rel) const;
    // Writes a file (parents created) with the given contents; returns its path.
    std::string write(const std::string& rel, const std::string& contents);
    std::string mkdir(const std::string& rel);

private:
    std::string root_;
};

bool exists(const std::string& path);
std::string readAll(const std::string& path);
// Sets the last-write time in Unix seconds (access time too).
void setMtime(const std::string& path, std::int64_t seconds);
// A local time as Unix seconds.
std::int64_t localTime(int year, int month, int day, int hour, int minute, int second);

} // namespace g3test
