#include "platform/xdgdirs.h"
#include "shellviews/shellnamespace.h"

#include "shellviews/shelltemp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using g3test::writeFile;
using g3test::makeFolders;
using g3test::ScopedEnv;
using g3test::TempDir;

namespace {

ItemIDList parsed(const std::string& path) {
    ItemIDList out;
    EXPECT_TRUE(ParseDisplayName(path, out)) << path;
    return out;
}

ShellFolderPtr bound(const std::string& path) {
    return SHGetDesktopFolder()->BindToObject(parsed(path));
}

std::vector<std::string> listed(const ShellFolder& f, unsigned flags) {
    std::vector<std::string> out;
    EXPECT_TRUE(f.EnumObjects(flags, [&](EnumItem&& it) { out.emplace_back(it.id.firstName()); }));
    std::sort(out.begin(), out.end());
    return out;
}

using Names = std::vector<std::string>;

std::string nameOf(const ShellFolder& f, const ItemIDList& id, unsigned flags) {
    std::string out;
    EXPECT_TRUE(f.GetDisplayNameOf(id, flags, out));
    return out;
}

} // namespace

TEST(ShellDesktop, RootNamesAndParsingName) {
    TempDir t;
    makeFolders(t / "Desk");
    ScopedEnv desk("XDG_DESKTOP_DIR", t / "Desk");
    ShellFolderPtr d = SHGetDesktopFolder();
    EXPECT_EQ(d->idList(), ItemIDList::empty());
    EXPECT_EQ(nameOf(*d, desktopIDList(), SHGDN_INFOLDER), "デスクトップ");
    EXPECT_EQ(nameOf(*d, desktopIDList(), SHGDN_NORMAL), "デスクトップ");
    EXPECT_EQ(nameOf(*d, desktopIDList(), SHGDN_FORPARSING), t / "Desk");
    std::string path;
    EXPECT_TRUE(SHGetPathFromIDList(desktopIDList(), path));
    EXPECT_EQ(path, t / "Desk");
}

TEST(ShellDesktop, DesktopFolderFallsBackToHome) {
    TempDir t;
    makeFolders(t / "cfg");
    writeFile(t / "cfg/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    ScopedEnv home("HOME", t.path());
    ScopedEnv cfg("XDG_CONFIG_HOME", t / "cfg");
    unsetenv("XDG_DESKTOP_DIR");
    EXPECT_EQ(desktopFolder(), t.path()); // the folder named there does not exist
    makeFolders(t / "Schreibtisch");
    EXPECT_EQ(desktopFolder(), t / "Schreibtisch");
}

TEST(ShellDesktop, ChildrenAreHomeRootAndVolumes) {
    TempDir t;
    makeFolders(t / "home");
    ScopedEnv home("HOME", t / "home");
    writeFile(t / "mountinfo",
             "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
             "40 22 8:17 / /media/u/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
             "41 22 0:5 / /media/u/ram rw - tmpfs tmpfs rw\n"
             "42 22 8:33 / /mnt/data rw - ext4 /dev/sdc1 rw\n"
             "broken line\n");
    setMountInfoPathForTesting(t / "mountinfo");
    EXPECT_EQ(mountedVolumes(), (Names{"/media/u/USB STICK", "/mnt/data"}));

    ShellFolderPtr d = SHGetDesktopFolder();
    std::vector<ItemIDList> items;
    EXPECT_TRUE(d->EnumObjects(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN,
                               [&](EnumItem&& it) { items.push_back(std::move(it.id)); }));
    // Listed from a bigger index than the order: sorting with the folder gives it back.
    std::reverse(items.begin(), items.end());
    std::sort(items.begin(), items.end(),
              [&](const auto& a, const auto& b) { return d->CompareIDs(a, b) < 0; });
    Names shown, paths;
    for (const auto& i : items) {
        shown.push_back(nameOf(*d, i, SHGDN_INFOLDER));
        paths.push_back(nameOf(*d, i, SHGDN_FORPARSING));
        EXPECT_EQ(d->GetAttributesOf(i, SFGAO_FOLDER), SFGAO_FOLDER);
    }
    EXPECT_EQ(shown, (Names{"home", "/", "USB STICK", "data"}));
    EXPECT_EQ(paths, (Names{t / "home", "/", "/media/u/USB STICK", "/mnt/data"}));
    // Files are not desktop children; a desktop item cannot be renamed.
    EXPECT_TRUE(listed(*d, SHCONTF_NONFOLDERS).empty());
    ItemIDList renamed;
    EXPECT_FALSE(d->SetNameOf(items[1], "x", renamed));
    setMountInfoPathForTesting("");
}

TEST(ShellParse, PathsToIDLists) {
    TempDir t;
    makeFolders(t / "a/b");
    ItemIDList root = parsed("/");
    EXPECT_EQ(root.idCount(), 1u);
    EXPECT_EQ(root.firstName(), "/");
    EXPECT_TRUE(root.firstFlags() & kIdDesktopItem);

    ItemIDList ab = parsed(t / "a/b");
    std::string back;
    EXPECT_TRUE(SHGetPathFromIDList(ab, back));
    EXPECT_EQ(back, t / "a/b");
    EXPECT_EQ(parsed(t / "a/./b/"), ab);
    EXPECT_EQ(parsed(t / "a/b/../b"), ab);
    EXPECT_TRUE(ab.flagsAt(ab.idCount() - 1) & kIdFolder);

    ItemIDList out;
    EXPECT_FALSE(ParseDisplayName("", out));
    EXPECT_FALSE(ParseDisplayName("relative/a", out));
    EXPECT_FALSE(ParseDisplayName(t / "missing", out));
    EXPECT_FALSE(ParseDisplayName(t / std::string("a\0b", 3), out));
    EXPECT_TRUE(out.isNull());
}

TEST(ShellFolderTest, EnumerationIncludesHiddenOnlyWhenAsked) {
    TempDir t;
    makeFolders(t / "d/.hiddendir");
    makeFolders(t / "d/sub");
    writeFile(t / "d/.hiddenfile");
    writeFile(t / "d/file", "12345");
    ShellFolderPtr f = bound(t / "d");
    ASSERT_TRUE(f);
    EXPECT_EQ(listed(*f, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN),
              (Names{".hiddendir", ".hiddenfile", "file", "sub"}));
    EXPECT_EQ(listed(*f, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS), (Names{"file", "sub"}));
    EXPECT_EQ(listed(*f, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN), (Names{".hiddendir", "sub"}));

    std::uint64_t size = 0;
    bool folderFlag = false;
    f->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, [&](EnumItem&& it) {
        if (it.id.firstName() == "file") {
            size = it.size;
            EXPECT_TRUE(it.hasFindData);
        }
        if (it.id.firstName() == "sub") folderFlag = it.id.firstFlags() & kIdFolder;
    });
    EXPECT_EQ(size, 5u);
    EXPECT_TRUE(folderFlag);
    FindData fd;
    EXPECT_TRUE(f->GetDataFromIDList(ItemIDList::makeID(0, "file"), fd));
    EXPECT_EQ(fd.size, 5u);
    EXPECT_FALSE(f->GetDataFromIDList(ItemIDList::makeID(0, "gone"), fd));
}

TEST(ShellFolderTest, FoldersThatCannotBeListed) {
    TempDir t;
    makeFolders(t / "d");
    ShellFolderPtr f = bound(t / "d");
    ASSERT_TRUE(f);
    rmdir((t / "d").c_str());
    bool called = false;
    EXPECT_FALSE(f->EnumObjects(SHCONTF_FOLDERS, [&](EnumItem&&) { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_FALSE(SHGetDesktopFolder()->BindToObject(ConcatIDList(parsed(t.path()), ItemIDList::makeID(kIdFolder, "d"))));
    writeFile(t / "plain");
    EXPECT_FALSE(bound(t / "plain")); // a file is no folder
}

TEST(ShellFolderTest, UnreadableFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    TempDir t;
    makeFolders(t / "locked/inner");
    ShellFolderPtr locked = bound(t / "locked");
    chmod((t / "locked").c_str(), 0);
    EXPECT_FALSE(locked->EnumObjects(SHCONTF_FOLDERS, [](EnumItem&&) {}));
    chmod((t / "locked").c_str(), 0755);
}

TEST(ShellFolderTest, NameOrderFoldersFirstThenNatural) {
    ShellFolderPtr d = SHGetDesktopFolder();
    auto file = [](std::string_view n) { return ItemIDList::makeID(0, n); };
    auto dir = [](std::string_view n) { return ItemIDList::makeID(kIdFolder, n); };
    EXPECT_LT(d->CompareIDs(file("file2"), file("file10")), 0);
    EXPECT_GT(d->CompareIDs(file("file10"), file("file2")), 0);
    EXPECT_LT(d->CompareIDs(dir("zeta"), file("alpha")), 0);
    EXPECT_LT(d->CompareIDs(file("alpha"), file("Beta")), 0);
    EXPECT_LT(d->CompareIDs(file("Beta"), file("gamma")), 0);
    // Names differing in case are two items, next to each other.
    EXPECT_NE(d->CompareIDs(file("ABC"), file("abc")), 0);
    EXPECT_EQ(d->CompareIDs(file("abc"), file("abc")), 0);
    // Link flags play no part in the order.
    EXPECT_EQ(d->CompareIDs(ItemIDList::makeID(kIdFolder | kIdLink, "a"), dir("a")), 0);
}

TEST(ShellFolderTest, RenameRefusalsAndSuccess) {
    TempDir t;
    makeFolders(t / "d");
    writeFile(t / "d/old", "x");
    writeFile(t / "d/taken", "y");
    ShellFolderPtr f = bound(t / "d");
    ItemIDList old = ItemIDList::makeID(0, "old"), out;
    for (std::string_view bad : {std::string_view(""), std::string_view("a/b"), std::string_view("/"),
                                 std::string_view("."), std::string_view(".."), std::string_view("taken"),
                                 std::string_view("a\0b", 3)}) {
        EXPECT_FALSE(f->SetNameOf(old, bad, out)) << bad;
        EXPECT_TRUE(out.isNull());
    }
    EXPECT_EQ(access((t / "d/old").c_str(), F_OK), 0);
    EXPECT_TRUE(f->SetNameOf(old, "new name", out));
    EXPECT_EQ(out, ItemIDList::makeID(0, "new name"));
    EXPECT_EQ(access((t / "d/new name").c_str(), F_OK), 0);
    EXPECT_NE(access((t / "d/old").c_str(), F_OK), 0);
    EXPECT_FALSE(f->SetNameOf(ItemIDList::makeID(0, "old"), "again", out)); // vanished

    // A list of two IDs renames its last one and yields the whole new list.
    makeFolders(t / "d/sub");
    writeFile(t / "d/sub/a");
    ItemIDList two = ConcatIDList(ItemIDList::makeID(kIdFolder, "sub"), ItemIDList::makeID(0, "a"));
    EXPECT_TRUE(f->SetNameOf(two, "b", out));
    EXPECT_EQ(out, ConcatIDList(ItemIDList::makeID(kIdFolder, "sub"), ItemIDList::makeID(0, "b")));
}

TEST(ShellFolderTest, InvalidUtf8NamesStayExact) {
    TempDir t;
    std::string bad = "bad\xff\xfe.txt";
    makeFolders(t / "d");
    writeFile(t / ("d/" + bad));
    ShellFolderPtr f = bound(t / "d");
    ItemIDList item;
    f->EnumObjects(SHCONTF_NONFOLDERS, [&](EnumItem&& it) { item = std::move(it.id); });
    EXPECT_EQ(item.firstName(), bad);
    EXPECT_EQ(nameOf(*f, item, SHGDN_FORPARSING), t / ("d/" + bad));
    EXPECT_EQ(nameOf(*f, item, SHGDN_INFOLDER), "bad\uFFFD\uFFFD.txt");
    EXPECT_EQ(nameOf(*f, item, SHGDN_NORMAL), "bad\uFFFD\uFFFD.txt");
    FindData fd;
    EXPECT_TRUE(f->GetDataFromIDList(item, fd));
    // Parsing the exact bytes finds the same item.
    EXPECT_EQ(LastIDOf(parsed(t / ("d/" + bad))), item);
}

TEST(ShellFolderTest, HasSubfolder) {
    TempDir t;
    makeFolders(t / "d/files");
    writeFile(t / "d/files/a");
    makeFolders(t / "d/hidden/.only");
    makeFolders(t / "d/linked");
    makeFolders(t / "target");
    ASSERT_EQ(symlink((t / "target").c_str(), (t / "d/linked/to").c_str()), 0);
    makeFolders(t / "d/empty");
    writeFile(t / "d/plain");
    ShellFolderPtr f = bound(t / "d");
    auto has = [&](std::string_view n, std::uint8_t flags = kIdFolder) {
        return f->GetAttributesOf(ItemIDList::makeID(flags, n), SFGAO_HASSUBFOLDER) != 0;
    };
    EXPECT_FALSE(has("files"));
    EXPECT_TRUE(has("hidden"));
    EXPECT_TRUE(has("linked"));
    EXPECT_FALSE(has("empty"));
    EXPECT_FALSE(has("plain", 0));
    // Not asked, not computed.
    EXPECT_EQ(f->GetAttributesOf(ItemIDList::makeID(kIdFolder, "hidden"), SFGAO_FOLDER), SFGAO_FOLDER);
    EXPECT_EQ(f->GetAttributesOf(ItemIDList::makeID(kIdLink, "x"), SFGAO_LINK | SFGAO_FOLDER), SFGAO_LINK);
}

TEST(ShellFolderTest, PathsBeyondTheKernelLimit) {
    TempDir t;
    std::string deep = g3test::makeDeepFolder(t.path(), 5000);
    ASSERT_GT(deep.size(), 4096u);
    ItemIDList abs = parsed(deep);
    ASSERT_FALSE(abs.isNull());
    ShellFolderPtr f = SHGetDesktopFolder()->BindToObject(abs);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->EnumObjects(SHCONTF_FOLDERS, [](EnumItem&&) {}));

    ShellFolderPtr parent = SHGetDesktopFolder()->BindToObject(ParentIDList(abs));
    ShellFolderPtr grand = SHGetDesktopFolder()->BindToObject(ParentIDList(ParentIDList(abs)));
    ASSERT_TRUE(parent && grand);
    EXPECT_FALSE(parent->GetAttributesOf(LastIDOf(abs), SFGAO_HASSUBFOLDER));
    EXPECT_TRUE(grand->GetAttributesOf(LastIDOf(ParentIDList(abs)), SFGAO_HASSUBFOLDER));

    ItemIDList renamed;
    EXPECT_TRUE(parent->SetNameOf(LastIDOf(abs), "renamed", renamed));
    Names seen;
    EXPECT_TRUE(parent->EnumObjects(SHCONTF_FOLDERS, [&](EnumItem&& it) { seen.emplace_back(it.id.firstName()); }));
    EXPECT_EQ(seen, Names{"renamed"});
    FindData d;
    EXPECT_TRUE(parent->GetDataFromIDList(renamed, d));
    EXPECT_TRUE(d.isDirectory());
    EXPECT_EQ(d.name, "renamed");
    std::string path;
    EXPECT_TRUE(SHGetPathFromIDList(ConcatIDList(ParentIDList(abs), renamed), path));
    EXPECT_EQ(path, deep.substr(0, deep.rfind('/')) + "/renamed");
    EXPECT_EQ(parsed(path), ConcatIDList(ParentIDList(abs), renamed));
}
