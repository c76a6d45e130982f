// Owners of the operating system's handles: each is released when its owner goes.
#pragma once

#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace g3 {

// A file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& o) noexcept {
        if (this != &o) reset(std::exchange(o.fd_, -1));
        return *this;
    }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Gives up ownership without closing.
    int release() { return std::exchange(fd_, -1); }
    // Closes now and reports the result: a late write error may surface only here.
    int closeChecked() {
        int r = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return r;
    }

private:
    int fd_ = -1;
};

namespace handle_detail {
struct CloseDir {
    void operator()(DIR* d) const { ::closedir(d); }
};
struct CloseLibrary {
    void operator()(void* h) const { ::dlclose(h); }
};
struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
} // namespace handle_detail

// An open directory stream (opendir, fdopendir).
using DirHandle = std::unique_ptr<DIR, handle_detail::CloseDir>;
// A loaded module (dlopen).
using LibraryHandle = std::unique_ptr<void, handle_detail::CloseLibrary>;
// A C stream (fopen, popen is not for this one).
using FileHandle = std::unique_ptr<std::FILE, handle_detail::CloseFile>;

} // namespace g3
