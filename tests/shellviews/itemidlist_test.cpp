#include "shellviews/itemidlist.h"
#include "shellviews/mimetypes.h"
#include "shellviews/shellnamespace.h"

#include <gtest/gtest.h>

using namespace g3;

namespace {

ItemIDList id(std::string_view name, std::uint8_t flags = kIdFolder) {
    return ItemIDList::makeID(flags, name);
}

ItemIDList list(std::initializer_list<std::string_view> names) {
    ItemIDList out = ItemIDList::empty();
    for (auto n : names) out = ConcatIDList(out, id(n));
    return out;
}

std::vector<std::string> names(const ItemIDList& l) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < l.idCount(); ++i) out.emplace_back(l.nameAt(i));
    return out;
}

using Names = std::vector<std::string>;

} // namespace

TEST(ItemIDList, LayoutIsCountFlagsNameAndTerminator) {
    ItemIDList a = id("ab", kIdFolder | kIdLink);
    EXPECT_EQ(a.bytes(), std::string("\x05\x00\x03" "ab" "\x00\x00", 7));
    EXPECT_EQ(a.idCount(), 1u);
    EXPECT_EQ(a.firstFlags(), kIdFolder | kIdLink);
    EXPECT_EQ(a.firstName(), "ab");
    EXPECT_EQ(IDListSize(a), 7u);
    // A name of 65,532 bytes is the longest a 16-bit count can hold with its header.
    EXPECT_FALSE(ItemIDList::makeID(0, std::string(65532, 'x')).isNull());
    EXPECT_TRUE(ItemIDList::makeID(0, std::string(65533, 'x')).isNull());
}

TEST(ItemIDList, NamesKeepEveryByte) {
    std::string odd("a\0b\xff/\xfe", 6);
    ItemIDList a = id(odd);
    EXPECT_EQ(a.firstName(), odd);
    EXPECT_EQ(LastIDOf(ConcatIDList(list({"x"}), a)).firstName(), odd);
}

TEST(ItemIDList, MalformedBytesEndTheList) {
    // A count past the end, and a count too small for its header, end the list there.
    EXPECT_EQ(ItemIDList::fromBytes(std::string("\x09\x00\x01" "ab", 5)).idCount(), 0u);
    EXPECT_EQ(ItemIDList::fromBytes(std::string("\x02\x00\x01" "ab", 5)).idCount(), 0u);
    ItemIDList cut = ItemIDList::fromBytes(std::string("\x04\x00\x01x\x09\x00\x01y", 8));
    EXPECT_EQ(cut.idCount(), 1u);
    EXPECT_EQ(cut.firstName(), "x");
    EXPECT_EQ(ItemIDList::fromBytes(std::string("\x04\x00", 2)).idCount(), 0u);
}

TEST(ItemIDListOps, AllocAndFree) {
    EXPECT_TRUE(AllocIDList(0).isNull());
    ItemIDList a = AllocIDList(10);
    EXPECT_EQ(a.bytes(), std::string(10, '\0'));
    EXPECT_EQ(a.idCount(), 0u);
    EXPECT_EQ(IDListSize(a), 2u);
    FreeIDList(a);
    EXPECT_TRUE(a.isNull());
    FreeIDList(a); // a null list is ignored
    EXPECT_TRUE(a.isNull());
}

TEST(ItemIDListOps, CopyFirstAndNext) {
    ItemIDList abc = list({"a", "bb", "c"});
    ItemIDList first = CopyFirstID(abc);
    EXPECT_EQ(names(first), Names{"a"});
    EXPECT_EQ(IDListSize(first), 4u + 2u); // its count + the terminator
    EXPECT_TRUE(CopyFirstID(ItemIDList()).isNull());
    EXPECT_TRUE(CopyFirstID(ItemIDList::empty()).isNull());

    ItemIDList next = NextID(abc);
    EXPECT_EQ(names(next), (Names{"bb", "c"}));
    EXPECT_EQ(names(NextID(next)), Names{"c"});
    EXPECT_TRUE(NextID(NextID(next)).isNull()); // nothing follows the last ID
    EXPECT_TRUE(NextID(ItemIDList::empty()).isNull());
    EXPECT_TRUE(NextID(ItemIDList()).isNull());
}

TEST(ItemIDListOps, Size) {
    EXPECT_EQ(IDListSize(ItemIDList()), 0u);
    EXPECT_EQ(IDListSize(ItemIDList::empty()), 2u);
    EXPECT_EQ(IDListSize(list({"a", "bb"})), 4u + 5u + 2u);
    // Bytes past the terminator do not count.
    EXPECT_EQ(IDListSize(ItemIDList::fromBytes(std::string("\x04\x00\x01x\x00\x00zzzz", 10))), 6u);
}

TEST(ItemIDListOps, ConcatTakesEitherNull) {
    ItemIDList a = list({"a"}), b = list({"b", "c"});
    EXPECT_EQ(names(ConcatIDList(a, b)), (Names{"a", "b", "c"}));
    EXPECT_EQ(ConcatIDList(a, ItemIDList()), a);
    EXPECT_EQ(ConcatIDList(ItemIDList(), b), b);
    EXPECT_TRUE(ConcatIDList(ItemIDList(), ItemIDList()).isNull());
    EXPECT_EQ(ConcatIDList(ItemIDList::empty(), ItemIDList::empty()), ItemIDList::empty());
    // A list with bytes after its terminator is joined without them.
    ItemIDList padded = ItemIDList::fromBytes(std::string("\x04\x00\x01x\x00\x00junk", 10));
    EXPECT_EQ(names(ConcatIDList(padded, a)), (Names{"x", "a"}));

    ItemIDList fa = a, fb = b;
    EXPECT_EQ(names(ConcatAndFree(fa, fb)), (Names{"a", "b", "c"}));
    EXPECT_TRUE(fa.isNull());
    EXPECT_TRUE(fb.isNull());
}

TEST(ItemIDListOps, ParentAndLast) {
    ItemIDList abc = list({"a", "b", "c"});
    EXPECT_EQ(names(ParentIDList(abc)), (Names{"a", "b"}));
    EXPECT_TRUE(ParentIDList(list({"a"})).isNull());
    EXPECT_TRUE(ParentIDList(ItemIDList::empty()).isNull());
    EXPECT_EQ(names(LastIDOf(abc)), Names{"c"});
    EXPECT_EQ(LastIDOf(list({"a"})), list({"a"}));
    EXPECT_TRUE(LastIDOf(ItemIDList::empty()).isNull());
    EXPECT_TRUE(LastIDOf(ItemIDList()).isNull());
    EXPECT_EQ(ConcatIDList(ParentIDList(abc), LastIDOf(abc)), abc);
}

TEST(ItemIDListOps, SplitKeepsFlagsAndOrder) {
    ItemIDList joined = ConcatIDList(id("f", 0), id("d", kIdFolder));
    auto parts = SplitIDList(joined);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], id("f", 0));
    EXPECT_EQ(parts[1], id("d", kIdFolder));
    EXPECT_TRUE(SplitIDList(ItemIDList::empty()).empty());
}

TEST(ItemIDListOps, CompareAndDisplayNameThroughAFolder) {
    ShellFolderPtr desktop = SHGetDesktopFolder();
    EXPECT_EQ(CompareIDLists(nullptr, id("a"), id("a")), -1);
    EXPECT_EQ(CompareIDLists(desktop.get(), ItemIDList(), id("a")), -1);
    EXPECT_EQ(CompareIDLists(desktop.get(), list({"x", "a"}), list({"x", "a"})), 0);
    EXPECT_LT(CompareIDLists(desktop.get(), list({"x", "a"}), list({"x", "b"})), 0);
    EXPECT_GT(CompareIDLists(desktop.get(), list({"x", "b"}), list({"x"})), 0);

    std::string out = "stale";
    EXPECT_FALSE(GetDisplayName(nullptr, id("a"), SHGDN_NORMAL, out));
    EXPECT_EQ(out, "");
    out = "stale";
    EXPECT_FALSE(GetDisplayName(desktop.get(), ItemIDList(), SHGDN_NORMAL, out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(GetDisplayName(desktop.get(), ItemIDList::empty(), SHGDN_INFOLDER, out));
    EXPECT_EQ(out, "デスクトップ");
}

TEST(ItemIDListOps, IconIndexFollowsTheItemKind) {
    ItemIDList root = ConcatIDList(ItemIDList::empty(), id("/", kIdFolder | kIdDesktopItem));
    EXPECT_EQ(GetIconIndex(ItemIDList::empty(), 0), typeIndexForDesktop());
    EXPECT_EQ(GetIconIndex(root, 0), typeIndexForDrive());
    EXPECT_EQ(GetIconIndex(ConcatIDList(root, id("etc")), 0), typeIndexForFolder());
    EXPECT_EQ(GetIconIndex(ConcatIDList(root, id("a.txt", 0)), 0), typeIndexForFileName("a.txt"));
}

// A selection of 65,536 items is joined and split again in linear time, names kept.
TEST(ItemIDListOps, JoinAndSplitAreInverses) {
    std::vector<ItemIDList> ids;
    for (int i = 0; i < 65536; ++i) ids.push_back(ItemIDList::makeID(i % 3 ? 0 : kIdFolder, "n\xff" + std::to_string(i)));
    const ItemIDList joined = JoinIDLists(ids);
    EXPECT_EQ(joined.idCount(), ids.size());
    EXPECT_EQ(SplitIDList(joined), ids);
    EXPECT_EQ(JoinIDLists({}), ItemIDList::empty());
    EXPECT_TRUE(SplitIDList(ItemIDList()).empty());
}
