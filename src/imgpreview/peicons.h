// The icons inside a Windows program or library: a small reader of a PE file's resource
// tree (icon groups and the icon images they list), every offset checked against the bytes
// it has, that rebuilds an icon group as the bytes of an .ico file for Qt's ico reader.
#pragma once

#include "imgpreview/codec.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace g3 {

// Where a PE file keeps its resources: a stretch of the file and the address it is loaded at.
struct PeResourceSection {
    std::uint64_t fileOffset = 0;
    std::uint32_t size = 0;
    std::uint32_t address = 0;     // the section's relative virtual address
    std::uint32_t rootAddress = 0; // the resource directory's
};

// The resource section named by the headers at the start of a PE file; false when `head`
// holds no PE headers or the file has no resources. `head` needs the first few KiB only.
bool findPeResources(ByteView head, PeResourceSection& where);

class PeIcons {
public:
    PeIcons() = default;
    // Reads the icon groups of the resource section's bytes (`section`, as `where` describes).
    PeIcons(ByteView section, const PeResourceSection& where);
    // The same from a whole file's bytes.
    static PeIcons fromFile(ByteView file);

    // The number of icon groups, in the order of the resource directory.
    int count() const { return static_cast<int>(groups_.size()); }
    // Group `index` as an .ico file holding the group's image nearest 32 x 32 pixels (of
    // those, the one with the most colours); empty when the group or its image is damaged.
    QByteArray icoFile(int index) const;

private:
    struct Image {
        std::uint16_t id;
        std::uint32_t offset, size; // in the section
    };
    ByteView section_;
    std::vector<ByteView> groups_; // the group directories
    std::vector<Image> images_;    // every icon image, by id
};

} // namespace g3
