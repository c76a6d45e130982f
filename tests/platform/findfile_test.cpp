#include "platform/findfile.h"

#include "platform/paths.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

using namespace g3;

namespace {

std::map<std::string, FindData> listAll(const std::string& pattern,
                                        FindDetail detail = FindDetail::Full, int* error = nullptr) {
    std::map<std::string, FindData> out;
    FindHandle h;
    FindData d;
    for (bool ok = h.first(pattern, d, detail); ok; ok = h.next(d)) out[d.name] = d;
    if (error) *error = h.error();
    return out;
}

// A folder chain deeper than PATH_MAX, made relative to each parent's descriptor.
std::string makeDeepChain(const std::string& base) {
    std::string comp(200, 'd');
    std::string path = base;
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 25; ++i) {
        mkdirat(fd, comp.c_str(), 0755);
        int sub = openat(fd, comp.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = sub;
        path = joinPath(path, comp);
    }
    close(openat(fd, "leaf", O_CREAT | O_WRONLY, 0644));
    close(fd);
    return path;
}

} // namespace

TEST(Wildcard, Masks) {
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"a.txt", "*.*", true},       {"README", "*.*", true},     {".", "*.*", true},
        {"README", "*.", true},       {"a.txt", "*.", false},      {".", "*.", true},
        {"..", "*.", true},           {".profile", "*.", false},   {"abc", "abc.", true},
        {"a", "?", true},             {"ab", "?", false},          {"", "?", false},
        {"A.TXT", "*.txt", true},     {"a.txt", "*.TXT", true},    {"a.txt.bak", "*.txt", false},
        {"readme", "read*.*", true},  {"readme.md", "read*.*", true}, {"xaxb", "*a*b", true},
        {"xaxbc", "*a*b", false},     {"abc", "a?c", true},        {"a", "", false},
        {"\xe6\x97\xa5.TXT", "*.txt", true}, {"\xe6\x97\xa5", "???", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

class Find : public ::testing::Test {
protected:
    g3test::TempDir dir;
};

TEST_F(Find, RecordsAndAttributes) {
    g3test::writeFile(dir / "a.txt", "12345");
    g3test::writeFile(dir / ".hidden", "");
    g3test::writeFile(dir / "ro", "r");
    chmod((dir / "ro").c_str(), 0444);
    mkdir((dir / "sub").c_str(), 0755);
    symlink("sub", (dir / "linkdir").c_str());
    symlink("a.txt", (dir / "linkfile").c_str());
    symlink("nowhere", (dir / "dangling").c_str());

    int error = -1;
    auto m = listAll(dir / "*.*", FindDetail::Full, &error);
    EXPECT_EQ(error, 0);
    ASSERT_EQ(m.size(), 9u);
    EXPECT_TRUE(m["."].isDirectory());
    EXPECT_TRUE(m[".."].isDirectory());
    EXPECT_FALSE(m["."].attributes & faHidden);
    EXPECT_EQ(m["a.txt"].attributes, faArchive);
    EXPECT_EQ(m["a.txt"].size, 5u);
    EXPECT_NE(m["a.txt"].lastWriteTime, 0u);
    EXPECT_NE(m["a.txt"].lastAccessTime, 0u);
    EXPECT_EQ(m[".hidden"].attributes, faArchive | faHidden);
    EXPECT_EQ(m["ro"].attributes, faArchive | faReadOnly);
    EXPECT_EQ(m["sub"].attributes, faDirectory);
    EXPECT_EQ(m["linkdir"].attributes & ~faReadOnly, faLink | faDirectory);
    EXPECT_EQ(m["linkdir"].size, 3u); // the link itself: its target text
    EXPECT_EQ(m["linkfile"].attributes & ~faReadOnly, faLink);
    EXPECT_EQ(m["dangling"].attributes & ~faReadOnly, faLink);
}

TEST_F(Find, NameAndTypeReadsNoMetadata) {
    g3test::writeFile(dir / "a.txt", "12345");
    mkdir((dir / "sub").c_str(), 0755);
    symlink("sub", (dir / "linkdir").c_str());
    auto m = listAll(dir / "*", FindDetail::NameAndType);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m["a.txt"].attributes, faArchive);
    EXPECT_EQ(m["a.txt"].size, 0u);
    EXPECT_EQ(m["a.txt"].lastWriteTime, 0u);
    EXPECT_EQ(m["sub"].attributes, faDirectory);
    EXPECT_EQ(m["linkdir"].attributes, faLink | faDirectory);
}

TEST_F(Find, MaskFiltersAndEndsWithErrorZero) {
    g3test::writeFile(dir / "a.TXT", "");
    g3test::writeFile(dir / "b.doc", "");
    g3test::writeFile(dir / "README", "");
    int error = -1;
    auto m = listAll(dir / "*.txt", FindDetail::Full, &error);
    EXPECT_EQ(m.size(), 1u);
    EXPECT_TRUE(m.count("a.TXT"));
    EXPECT_EQ(error, 0);
    m = listAll(dir / "*.", FindDetail::Full);
    EXPECT_EQ(m.size(), 3u); // ".", "..", "README"
    m = listAll(dir / "*.zip", FindDetail::Full, &error);
    EXPECT_TRUE(m.empty());
    EXPECT_EQ(error, 0);
}

TEST_F(Find, MissingFolderGivesErrno) {
    FindHandle h;
    FindData d;
    EXPECT_FALSE(h.first(dir / "none/*.*", d));
    EXPECT_EQ(h.error(), ENOENT);
    EXPECT_FALSE(h.isOpen());
    g3test::writeFile(dir / "file", "");
    EXPECT_FALSE(h.first(dir / "file/*.*", d));
    EXPECT_EQ(h.error(), ENOTDIR);
}

TEST_F(Find, OddNamesComeBackByteForByte) {
    const std::string names[] = {std::string("bad\xff\xfe", 5), "new\nline", std::string(255, 'n'),
                                 "\xe6\x97\xa5\xe6\x9c\xac"};
    for (const auto& n : names) g3test::writeFile(joinPath(dir.path(), n), n);
    auto m = listAll(dir / "*.*");
    for (const auto& n : names) {
        ASSERT_TRUE(m.count(n)) << n;
        EXPECT_EQ(m[n].size, n.size());
    }
    FindData d;
    ASSERT_TRUE(findDataOfPath(joinPath(dir.path(), names[0]), d));
    EXPECT_EQ(d.name, names[0]);
}

TEST_F(Find, HandleMovesMidListing) {
    for (const char* n : {"a", "b", "c"}) g3test::writeFile(dir / n, "");
    FindHandle h;
    FindData d;
    ASSERT_TRUE(h.first(dir / "*", d));
    int count = 1;
    FindHandle moved(std::move(h));
    EXPECT_EQ(moved.folder(), dir.path());
    while (moved.next(d)) ++count;
    EXPECT_EQ(count, 5);
    EXPECT_EQ(moved.error(), 0);
}

TEST(FindSystem, PseudoFileSystemsAreSystem) {
    auto m = listAll("/*.*", FindDetail::NameAndType);
    ASSERT_TRUE(m.count("proc"));
    EXPECT_TRUE(m["proc"].attributes & faSystem);
    EXPECT_TRUE(m["sys"].attributes & faSystem);
    if (m.count("tmp")) {
        EXPECT_FALSE(m["tmp"].attributes & faSystem);
    }
    FindData d;
    ASSERT_TRUE(findDataOfPath("/proc", d));
    EXPECT_EQ(d.name, "proc");
    EXPECT_TRUE(d.attributes & faSystem);
    EXPECT_TRUE(isPseudoFileSystemMount("/proc/"));
    EXPECT_FALSE(isPseudoFileSystemMount("/tmp"));
    EXPECT_FALSE(isPseudoFileSystemMount("/"));
}

// Paths of PATH_MAX bytes and more: the layer passes paths to the kernel whole, so such a
// path fails cleanly with ENAMETOOLONG (never truncated, never a crash).
TEST_F(Find, OverlongPathsFailCleanly) {
    std::string deep = makeDeepChain(dir.path());
    ASSERT_GT(deep.size(), 4096u);
    FindHandle h;
    FindData d;
    EXPECT_FALSE(h.first(joinPath(deep, "*.*"), d));
    EXPECT_EQ(h.error(), ENAMETOOLONG);
    EXPECT_FALSE(findDataOfPath(joinPath(deep, "leaf"), d));
}
