#include "imgpreview/filebytes.h"

#include "platform/fileio.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace g3 {

namespace {

UniqueFd openForReading(const std::string& path, struct stat& st) {
    UniqueFd fd = openRegularFile(path, st);
    if (!fd) throw std::runtime_error(path + ": " + std::strerror(errno));
    return fd;
}

// Reads into all of `bytes` from `offset`, shortening it where the file ends first.
void readAt(int fd, const std::string& path, std::uint64_t offset,
            std::vector<std::uint8_t>& bytes) {
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::runtime_error(path + ": " + std::strerror(errno));
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
}

} // namespace

std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t limit, bool mustFit) {
    struct stat st {};
    UniqueFd fd = openForReading(path, st);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (mustFit && size > limit) throw std::runtime_error(path + ": file too large");
    // The size is a hint: the file may grow or shrink while it is read.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(size, limit)));
    readAt(fd.get(), path, 0, bytes);
    return bytes;
}

std::vector<std::uint8_t> readFileRange(const std::string& path, std::uint64_t offset,
                                        std::size_t size) {
    struct stat st {};
    UniqueFd fd = openForReading(path, st);
    const auto length = static_cast<std::uint64_t>(st.st_size);
    std::vector<std::uint8_t> bytes(
        offset >= length
            ? 0
            : static_cast<std::size_t>(std::min<std::uint64_t>(size, length - offset)));
    readAt(fd.get(), path, offset, bytes);
    return bytes;
}

} // namespace g3
