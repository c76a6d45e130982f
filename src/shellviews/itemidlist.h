// Item IDs and item ID lists of the shell namespace.
//
// An item ID list is a chain of item IDs ended by a zero count, as bytes:
//   ID   = [count: 16-bit little-endian, counting itself][flags: 1 byte][name bytes]
//   list = ID ID ... [0x00 0x00]
// One ID stands for one name component, kept as the exact bytes of the name. The flags
// byte records what the namespace knew when it made the ID (folder, link, desktop item),
// so that ordering and attribute queries need no file-system call. A desktop item (a child
// of the virtual desktop root) carries its absolute path as its name.
//
// ItemIDList owns its bytes and is a plain value: copying copies the bytes. The null list
// (no bytes at all) plays the part of a nil pointer; the empty list (terminator only) is
// the desktop's own list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace g3 {

inline constexpr std::uint8_t kIdFolder = 0x01;
inline constexpr std::uint8_t kIdLink = 0x02;
inline constexpr std::uint8_t kIdDesktopItem = 0x10;

class ItemIDList {
public:
    ItemIDList() = default;
    // Takes bytes as they stand; the caller guarantees the layout above.
    static ItemIDList fromBytes(std::string bytes);
    // A one-item list. Names longer than 65,532 bytes cannot be held; the result is null.
    static ItemIDList makeID(std::uint8_t flags, std::string_view name);
    // The desktop's list: the terminator alone.
    static ItemIDList empty();

    bool isNull() const { return bytes_.empty(); }
    explicit operator bool() const { return !isNull(); }
    const std::string& bytes() const { return bytes_; }
    bool operator==(const ItemIDList& o) const = default;

    // Number of IDs in the list (0 for null and for the empty list).
    std::size_t idCount() const;
    // Flags and name of the first ID; 0 and "" when there is none.
    std::uint8_t firstFlags() const;
    std::string_view firstName() const;
    // Name of the ID at position i (0-based), "" past the end.
    std::string_view nameAt(std::size_t i) const;
    std::uint8_t flagsAt(std::size_t i) const;
    // Bytes in use: every ID and the terminator (0 for null).
    std::size_t usedSize() const;

private:
    explicit ItemIDList(std::string b) : bytes_(std::move(b)) {}
    // Byte offset of ID number i, or npos.
    std::size_t offsetOf(std::size_t i) const;
    std::uint16_t countAt(std::size_t offset) const;

    std::string bytes_;

};

// n zero bytes (a list whose first count is 0); null for n == 0.
ItemIDList AllocIDList(std::size_t n);
// Releases p's bytes; p becomes null.
void FreeIDList(ItemIDList& p);
// A one-item list with the first ID of p; null for null or empty p.
ItemIDList CopyFirstID(const ItemIDList& p);
// The list past the first ID; null when p has no ID or nothing follows it.
ItemIDList NextID(const ItemIDList& p);
// Sum of all counts + 2 (the terminator); 0 for null.
std::size_t IDListSize(const ItemIDList& p);
// The IDs of a followed by those of b; either may be null (two nulls give null).
ItemIDList ConcatIDList(const ItemIDList& a, const ItemIDList& b);
// ConcatIDList, then both inputs are released.
ItemIDList ConcatAndFree(ItemIDList& a, ItemIDList& b);
// All IDs but the last; null for a list of one ID (or none).
ItemIDList ParentIDList(const ItemIDList& p);
// A one-item list with the last ID of p; null when p has none.
ItemIDList LastIDOf(const ItemIDList& p);
// Splits a joined list into one-item lists, in order.
std::vector<ItemIDList> SplitIDList(const ItemIDList& joined);
// The IDs of every list, in order, as one list (the empty list for none).
ItemIDList JoinIDLists(const std::vector<ItemIDList>& lists);

class ShellFolder;
// The folder's own order of a and b: negative, 0 or positive; -1 when either is null.
int CompareIDLists(const ShellFolder* folder, const ItemIDList& a, const ItemIDList& b);
// The item's name in one of the SHGDN forms (shellnamespace.h); false with "" on failure.
bool GetDisplayName(const ShellFolder* folder, const ItemIDList& id, unsigned flags,
                    std::string& out);
// Index of the item's icon in the program's icon table (mimetypes.h), from an absolute
// list; flags are the SHGFI bits (small / open icon), which share one index here.
int GetIconIndex(const ItemIDList& absolute, unsigned flags);

} // namespace g3
