#include "shellviews/itemidlist.h"

#include "shellviews/shellnamespace.h"

namespace g3 {

namespace {

constexpr std::size_t kHeader = 3; // count (2) + flags (1)

void putCount(std::string& s, std::size_t count) {
    s.push_back(static_cast<char>(count & 0xFF));
    s.push_back(static_cast<char>((count >> 8) & 0xFF));
}

// The bytes of the IDs of p without the terminator ("" for null or empty).
std::string_view idBytes(const ItemIDList& p) {
    std::size_t n = IDListSize(p);
    return n < 2 ? std::string_view() : std::string_view(p.bytes()).substr(0, n - 2);
}

ItemIDList terminated(std::string ids) {
    putCount(ids, 0);
    return ItemIDList::fromBytes(std::move(ids));
}

} // namespace

ItemIDList ItemIDList::fromBytes(std::string bytes) { return ItemIDList(std::move(bytes)); }

ItemIDList ItemIDList::makeID(std::uint8_t flags, std::string_view name) {
    std::size_t count = kHeader + name.size();
    if (count > 0xFFFF) return {};
    std::string b;
    b.reserve(count + 2);
    putCount(b, count);
    b.push_back(static_cast<char>(flags));
    b.append(name);
    putCount(b, 0);
    return ItemIDList(std::move(b));
}

ItemIDList ItemIDList::empty() { return ItemIDList(std::string(2, '\0')); }

std::uint16_t ItemIDList::countAt(std::size_t offset) const {
    if (offset + 2 > bytes_.size()) return 0;
    auto lo = static_cast<unsigned char>(bytes_[offset]);
    auto hi = static_cast<unsigned char>(bytes_[offset + 1]);
    std::uint16_t c = static_cast<std::uint16_t>(lo | (hi << 8));
    // A count that runs past the bytes or cannot hold the header ends the list.
    return (c < kHeader || offset + c > bytes_.size()) ? 0 : c;
}

std::size_t ItemIDList::offsetOf(std::size_t i) const {
    std::size_t off = 0;
    for (std::size_t k = 0;; ++k) {
        std::uint16_t c = countAt(off);
        if (c == 0) return std::string::npos;
        if (k == i) return off;
        off += c;
    }
}

std::size_t ItemIDList::idCount() const {
    std::size_t n = 0;
    for (std::size_t off = 0, c; (c = countAt(off)) != 0; off += c) ++n;
    return n;
}

std::size_t ItemIDList::usedSize() const {
    if (isNull()) return 0;
    std::size_t off = 0;
    for (std::size_t c; (c = countAt(off)) != 0;) off += c;
    return off + 2;
}

std::uint8_t ItemIDList::flagsAt(std::size_t i) const {
    std::size_t off = offsetOf(i);
    return off == std::string::npos ? 0 : static_cast<std::uint8_t>(bytes_[off + 2]);
}

std::string_view ItemIDList::nameAt(std::size_t i) const {
    std::size_t off = offsetOf(i);
    if (off == std::string::npos) return {};
    return std::string_view(bytes_).substr(off + kHeader, countAt(off) - kHeader);
}

std::uint8_t ItemIDList::firstFlags() const { return flagsAt(0); }
std::string_view ItemIDList::firstName() const { return nameAt(0); }

ItemIDList AllocIDList(std::size_t n) {
    return n == 0 ? ItemIDList() : ItemIDList::fromBytes(std::string(n, '\0'));
}

void FreeIDList(ItemIDList& p) { p = ItemIDList(); }

ItemIDList CopyFirstID(const ItemIDList& p) {
    if (p.idCount() == 0) return {};
    return ItemIDList::makeID(p.firstFlags(), p.firstName());
}

ItemIDList NextID(const ItemIDList& p) {
    if (p.idCount() < 2) return {};
    std::string_view ids = idBytes(p);
    std::size_t first = kHeader + p.firstName().size();
    return terminated(std::string(ids.substr(first)));
}

std::size_t IDListSize(const ItemIDList& p) { return p.usedSize(); }

ItemIDList ConcatIDList(const ItemIDList& a, const ItemIDList& b) {
    if (a.isNull() && b.isNull()) return {};
    std::string ids(idBytes(a));
    ids.append(idBytes(b));
    return terminated(std::move(ids));
}

ItemIDList ConcatAndFree(ItemIDList& a, ItemIDList& b) {
    ItemIDList r = ConcatIDList(a, b);
    FreeIDList(a);
    FreeIDList(b);
    return r;
}

ItemIDList ParentIDList(const ItemIDList& p) {
    std::size_t n = p.idCount();
    if (n < 2) return {};
    std::string_view ids = idBytes(p);
    std::size_t last = kHeader + p.nameAt(n - 1).size();
    return terminated(std::string(ids.substr(0, ids.size() - last)));
}

ItemIDList LastIDOf(const ItemIDList& p) {
    std::size_t n = p.idCount();
    if (n == 0) return {};
    return ItemIDList::makeID(p.flagsAt(n - 1), p.nameAt(n - 1));
}

// One walk along the list: a selection of 65,536 items is split in linear time.
std::vector<ItemIDList> SplitIDList(const ItemIDList& joined) {
    std::vector<ItemIDList> out;
    const std::string_view ids = idBytes(joined);
    for (std::size_t off = 0; off < ids.size();) {
        const std::size_t count = static_cast<unsigned char>(ids[off]) | (static_cast<unsigned char>(ids[off + 1]) << 8);
        out.push_back(terminated(std::string(ids.substr(off, count))));
        off += count;
    }
    return out;
}

ItemIDList JoinIDLists(const std::vector<ItemIDList>& lists) {
    std::size_t size = 0;
    for (const ItemIDList& l : lists) size += idBytes(l).size();
    std::string ids;
    ids.reserve(size + 2);
    for (const ItemIDList& l : lists) ids.append(idBytes(l));
    return terminated(std::move(ids));
}

int CompareIDLists(const ShellFolder* folder, const ItemIDList& a, const ItemIDList& b) {
    if (!folder || a.isNull() || b.isNull()) return -1;
    return folder->CompareIDs(a, b);
}

bool GetDisplayName(const ShellFolder* folder, const ItemIDList& id, unsigned flags,
                    std::string& out) {
    out.clear();
    if (!folder || id.isNull()) return false;
    return folder->GetDisplayNameOf(id, flags, out);
}

int GetIconIndex(const ItemIDList& absolute, unsigned /*flags*/) {
    return typeIndexOfItem(absolute);
}

} // namespace g3
