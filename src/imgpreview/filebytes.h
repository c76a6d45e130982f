// Reading a file's bytes for a decoder: regular files only, up to a limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace g3 {

// The largest file the loader reads whole.
constexpr std::size_t kMaxFileBytes = std::size_t{512} << 20;

// The first `limit` bytes of a regular file (links followed); a FIFO or device is never
// opened. Throws std::runtime_error with the reason when the file cannot be read or, with
// mustFit, when it is longer than `limit`.
std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t limit = kMaxFileBytes,
                                        bool mustFit = true);

// Up to `size` bytes of a regular file from `offset` (fewer where the file ends first). Throws
// std::runtime_error as readFileBytes does.
std::vector<std::uint8_t> readFileRange(const std::string& path, std::uint64_t offset,
                                        std::size_t size);

} // namespace g3
