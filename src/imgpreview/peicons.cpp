#include "imgpreview/peicons.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace g3 {

namespace {

constexpr std::uint32_t kRtIcon = 3;
constexpr std::uint32_t kRtGroupIcon = 14;
constexpr std::uint32_t kHighBit = 0x80000000u;
// Entries read of one directory: far more than a real program holds, few enough that a
// damaged count costs nothing.
constexpr std::uint32_t kMaxEntries = 4096;
constexpr std::size_t kGroupEntrySize = 14;
constexpr int kNaturalIconSize = 32;

// Little-endian reads that check every offset against the bytes there are.
struct Reader {
    ByteView d;
    bool has(std::uint64_t at, std::uint64_t n) const {
        return at <= d.size() && n <= d.size() - at;
    }
    std::uint16_t u16(std::size_t at) const { return le16(d, at); }
    std::uint32_t u32(std::size_t at) const { return le32(d, at); }
};

// One directory entry: its id (or name) and where it leads (a subdirectory when the high
// bit is set), both as the file stores them.
struct Entry {
    std::uint32_t name, target;
};

std::vector<Entry> entries(const Reader& r, std::uint64_t dir) {
    std::vector<Entry> out;
    if (!r.has(dir, 16)) return out;
    const std::uint32_t n =
        std::min<std::uint32_t>(std::uint32_t{r.u16(dir + 12)} + r.u16(dir + 14), kMaxEntries);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint64_t at = dir + 16 + std::uint64_t{8} * i;
        if (!r.has(at, 8)) break;
        out.push_back({r.u32(at), r.u32(at + 4)});
    }
    return out;
}

} // namespace

bool findPeResources(ByteView head, PeResourceSection& where) {
    const Reader r{head};
    if (!r.has(0, 64) || head[0] != 'M' || head[1] != 'Z') return false;
    const std::uint64_t pe = r.u32(0x3C);
    if (!r.has(pe, 24) || std::memcmp(head.data() + pe, "PE\0\0", 4) != 0) return false;
    const std::uint32_t sections = r.u16(pe + 6);
    const std::uint32_t optionalSize = r.u16(pe + 20);
    const std::uint64_t opt = pe + 24;
    if (!r.has(opt, optionalSize) || optionalSize < 2) return false;
    const std::uint16_t magic = r.u16(opt);
    const std::uint64_t dirs = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    // The resource table is the third data directory.
    if (dirs == 0 || optionalSize < dirs + 3 * 8 || r.u32(opt + dirs - 4) < 3) return false;
    const std::uint32_t rva = r.u32(opt + dirs + 16);
    if (rva == 0) return false;
    const std::uint64_t table = opt + optionalSize;
    for (std::uint32_t i = 0; i < sections; ++i) {
        const std::uint64_t s = table + std::uint64_t{40} * i;
        if (!r.has(s, 40)) return false;
        const std::uint32_t address = r.u32(s + 12), rawSize = r.u32(s + 16);
        if (rva >= address && rva - address < rawSize) {
            where = {r.u32(s + 20), rawSize, address, rva};
            return true;
        }
    }
    return false;
}

PeIcons::PeIcons(ByteView section, const PeResourceSection& where) : section_(section) {
    const Reader r{section};
    const std::uint64_t root = std::uint64_t{where.rootAddress} - where.address;
    // The data of a resource: the first language's entry of the resource's directory.
    auto data = [&](const Entry& resource, std::uint32_t& offset, std::uint32_t& size) {
        if (!(resource.target & kHighBit)) return false;
        const std::vector<Entry> languages = entries(r, root + (resource.target & ~kHighBit));
        if (languages.empty() || (languages[0].target & kHighBit)) return false;
        const std::uint64_t entry = root + languages[0].target;
        if (!r.has(entry, 16)) return false;
        const std::uint32_t rva = r.u32(entry);
        size = r.u32(entry + 4);
        if (rva < where.address || !r.has(std::uint64_t{rva} - where.address, size)) return false;
        offset = rva - where.address;
        return true;
    };
    for (const Entry& type : entries(r, root)) {
        if (!(type.target & kHighBit) || (type.name != kRtIcon && type.name != kRtGroupIcon))
            continue;
        for (const Entry& resource : entries(r, root + (type.target & ~kHighBit))) {
            std::uint32_t offset = 0, size = 0;
            if (!data(resource, offset, size)) continue;
            if (type.name == kRtGroupIcon)
                groups_.push_back(section.subspan(offset, size));
            else if (!(resource.name & kHighBit) && resource.name <= 0xFFFF)
                images_.push_back({static_cast<std::uint16_t>(resource.name), offset, size});
        }
    }
}

PeIcons PeIcons::fromFile(ByteView file) {
    PeResourceSection where;
    if (!findPeResources(file, where) || where.fileOffset > file.size()) return {};
    const std::size_t size = std::min<std::uint64_t>(where.size, file.size() - where.fileOffset);
    return PeIcons(file.subspan(static_cast<std::size_t>(where.fileOffset), size), where);
}

QByteArray PeIcons::icoFile(int index) const {
    if (index < 0 || index >= count()) return {};
    const Reader g{groups_[static_cast<std::size_t>(index)]};
    if (!g.has(0, 6) || g.u16(0) != 0 || g.u16(2) != 1) return {};
    const Image* best = nullptr;
    std::size_t bestEntry = 0;
    int bestDistance = 0, bestBits = 0;
    for (std::size_t i = 0; i < g.u16(4); ++i) {
        const std::size_t e = 6 + kGroupEntrySize * i;
        if (!g.has(e, kGroupEntrySize)) break;
        const std::uint16_t id = g.u16(e + 12);
        const auto image = std::find_if(images_.begin(), images_.end(),
                                        [id](const Image& im) { return im.id == id; });
        if (image == images_.end()) continue;
        const int side = g.d[e] ? g.d[e] : 256;
        const int distance = std::abs(side - kNaturalIconSize), bits = g.u16(e + 6);
        if (!best || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = &*image;
            bestEntry = e;
            bestDistance = distance;
            bestBits = bits;
        }
    }
    if (!best) return {};
    // An icon directory of one entry (the group entry's first eight bytes, the image's
    // size and its offset after the directory), then the image.
    QByteArray ico(6 + 16, '\0');
    ico[2] = 1;
    ico[4] = 1;
    std::memcpy(ico.data() + 6, g.d.data() + bestEntry, 8);
    const std::uint32_t size = best->size, offset = 22;
    for (int i = 0; i < 4; ++i) {
        ico[14 + i] = static_cast<char>(size >> (8 * i));
        ico[18 + i] = static_cast<char>(offset >> (8 * i));
    }
    ico.append(reinterpret_cast<const char*>(section_.data() + best->offset),
               static_cast<qsizetype>(best->size));
    return ico;
}

} // namespace g3
