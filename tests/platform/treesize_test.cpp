#include "platform/treesize.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace g3;
using namespace g3test;

namespace {

// A tree with files at several depths, a link to a big folder outside it (never followed)
// and a link to a file (an entry of its own, no bytes of its target).
struct Tree {
    TempDir t;
    std::string top = t.mkdir("top");
    Tree() {
        t.write("top/a.txt", "12345");
        t.write("top/sub/b.bin", std::string(1000, 'b'));
        t.write("top/sub/deeper/c", "");
        t.mkdir("top/sub/empty");
        t.write("outside/big", std::string(50000, 'x'));
        EXPECT_EQ(symlink(t.path("outside").c_str(), t.path("top/to-outside").c_str()), 0);
        EXPECT_EQ(symlink(t.path("top/a.txt").c_str(), t.path("top/sub/to-a").c_str()), 0);
    }
};

} // namespace

TEST(TreeSize, CountsWhatIsBelowWithoutFollowingLinks) {
    Tree tree;
    TreeSizeCount count({tree.top});
    count.run();
    EXPECT_TRUE(count.finished());
    EXPECT_EQ(count.bytes(), 1005u);
    EXPECT_EQ(count.files(), 5u);   // a.txt, b.bin, c and the two links
    EXPECT_EQ(count.folders(), 3u); // sub, deeper, empty
    EXPECT_EQ(count.unreadable(), 0u);
    EXPECT_EQ(treeBytes(tree.top), 1005u);
}

TEST(TreeSize, SeveralItemsAddUpAndMissingOnesCountNothing) {
    Tree tree;
    TreeSizeCount count({tree.t.path("top/a.txt"), tree.t.path("top/sub"), tree.t.path("gone")});
    count.start();
    while (!count.finished()) std::this_thread::yield();
    EXPECT_EQ(count.bytes(), 1005u);
    EXPECT_EQ(count.files(), 4u);
    EXPECT_EQ(count.folders(), 2u);
}

TEST(TreeSize, ACancelledCountEndsAtOnce) {
    Tree tree;
    TreeSizeCount count({tree.top});
    count.cancel();
    count.run();
    EXPECT_TRUE(count.finished());
    EXPECT_EQ(count.folders(), 0u);
}
