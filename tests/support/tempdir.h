// A fresh folder under /tmp (or another base) for one test, removed with everything in it.
#pragma once

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
    std::string operator/(std::string_view name) const;

private:
    std::string path_;
};

// Removes a tree through directory descriptors, so paths longer than PATH_MAX go too.
void removeTree(const std::string& path);

void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);

} // namespace g3test
