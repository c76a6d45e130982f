#include "platform/paths.h"

#include <gtest/gtest.h>

using namespace g3;

TEST(Paths, JoinAppliesTheRootRule) {
    EXPECT_EQ(joinPath("/", "x"), "/x");
    EXPECT_EQ(joinPath("/a", "x"), "/a/x");
    EXPECT_EQ(joinPath("", "x"), "/x");
    EXPECT_EQ(joinPath("/a", ""), "/a");
    EXPECT_EQ(joinPath("/", ""), "/");
    EXPECT_EQ(joinPath("/a", "b/c"), "/a/b/c");
    EXPECT_EQ(joinPath("/a", std::string("n\xff\n", 3)), std::string("/a/n\xff\n", 6));
}

TEST(Paths, ParentAndNamePart) {
    struct Case {
        const char *path, *parent, *name;
    } cases[] = {
        {"/x", "/", "x"},       {"/a/x", "/a", "x"}, {"/a/b/c.txt", "/a/b", "c.txt"},
        {"x", "", "x"},         {"/", "/", ""},      {"/a/", "/a", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parentFolder(c.path), c.parent) << c.path;
        EXPECT_EQ(namePart(c.path), c.name) << c.path;
    }
}

TEST(Paths, RelativePathIgnoresCasePerComponent) {
    EXPECT_EQ(relativePath("/a/B/c/d.txt", "/a/b"), "c/d.txt");
    EXPECT_EQ(relativePath("/A/b/c", "/a/B/"), "c");
    EXPECT_EQ(relativePath("/a/b", "/a/b"), "");
    EXPECT_EQ(relativePath("/x/y", "/"), "x/y");
    // "ab" is not inside "a": comparison is by whole components, not by prefix.
    EXPECT_EQ(relativePath("/ab/c", "/a"), "ab/c");
}

TEST(Paths, RootRuleAndCurrentFolderForm) {
    EXPECT_EQ(rootRule("/"), "");
    EXPECT_EQ(rootRule("/a"), "/a");
    EXPECT_EQ(rootRule(""), "");
    EXPECT_EQ(currentFolderForm("/"), "/");
    EXPECT_EQ(currentFolderForm("///"), "/");
    EXPECT_EQ(currentFolderForm("/a/b/"), "/a/b");
    EXPECT_EQ(currentFolderForm("/a/b//"), "/a/b");
    EXPECT_EQ(currentFolderForm("/a"), "/a");
    EXPECT_EQ(currentFolderForm(""), "");
}

TEST(Paths, VolumeRoots) {
    EXPECT_TRUE(isVolumeRoot("/"));
    EXPECT_TRUE(isVolumeRoot(""));
    EXPECT_TRUE(isVolumeRoot("/proc"));
    EXPECT_TRUE(isVolumeRoot("/proc/"));
    EXPECT_FALSE(isVolumeRoot("/proc/self"));
    EXPECT_FALSE(isVolumeRoot("/tmp/surely-not-a-mount-point"));
}

TEST(Paths, SameOrInsideByComponents) {
    EXPECT_TRUE(isSameOrInside("/a/b", "/a/b"));
    EXPECT_TRUE(isSameOrInside("/a/b/c", "/a/b"));
    EXPECT_TRUE(isSameOrInside("/a/b/", "/a/b"));
    EXPECT_TRUE(isSameOrInside("/a/b", "/"));
    EXPECT_FALSE(isSameOrInside("/a/bc", "/a/b"));
    EXPECT_FALSE(isSameOrInside("/a", "/a/b"));
    EXPECT_FALSE(isSameOrInside("/A/b", "/a"));
    EXPECT_FALSE(isSameOrInside("", "/a"));
}

TEST(Paths, LexicallyNormal) {
    struct Case {
        const char *path, *normal;
    } cases[] = {
        {"/a/b/..", "/a"},        {"/a/./b/.", "/a/b"},    {"/a//b///", "/a/b"},
        {"/..", "/"},             {"/a/../..", "/"},       {"/.", "/"},
        {"/a/b/../../c", "/c"},   {"a/./b", "a/b"},        {"/a/..b", "/a/..b"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(lexicallyNormal(c.path), c.normal) << c.path;
}
