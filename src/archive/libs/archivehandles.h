// Owners of libarchive's handles: each is freed (and closed) when its owner goes.
#pragma once

#include <archive.h>

#include <memory>

namespace g3 {

namespace archive_detail {
struct FreeRead {
    void operator()(struct archive* a) const { archive_read_free(a); }
};
struct FreeWrite {
    void operator()(struct archive* a) const { archive_write_free(a); }
};
} // namespace archive_detail

using ReadArchive = std::unique_ptr<struct archive, archive_detail::FreeRead>;
using WriteArchive = std::unique_ptr<struct archive, archive_detail::FreeWrite>;

} // namespace g3
