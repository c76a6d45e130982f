// Back and forward through the folders visited, with folders that went away meanwhile.
#include "app/visittrail.h"

#include <gtest/gtest.h>

using g3::VisitTrail;

TEST(VisitTrail, BackForwardAndBranching) {
    VisitTrail t;
    EXPECT_EQ(t.stepBack(), "");
    for (const char* p : {"/a", "/b", "/c"}) t.visited(p);
    EXPECT_EQ(t.stepBack(), "/b");
    t.visited("/b"); // the step's own arrival changes nothing
    EXPECT_EQ(t.stepBack(), "/a");
    t.visited("/a");
    EXPECT_EQ(t.stepBack(), "");
    EXPECT_EQ(t.stepForward(), "/b");
    t.visited("/b");
    t.visited("/x"); // from the middle: /c is dropped
    EXPECT_EQ(t.entries(), (std::vector<std::string>{"/a", "/b", "/x"}));
    EXPECT_EQ(t.stepForward(), "");

    // A folder that cannot be shown leaves the trail; the next step goes past it.
    EXPECT_EQ(t.stepBack(), "/b");
    t.forgetStep(false);
    EXPECT_EQ(t.entries()[t.position()], "/x");
    EXPECT_EQ(t.stepBack(), "/a");
    t.visited("/a");
    EXPECT_EQ(t.stepForward(), "/x");
    t.forgetStep(true);
    EXPECT_EQ(t.entries(), std::vector<std::string>{"/a"});
    EXPECT_EQ(t.stepForward(), "");

    VisitTrail full;
    for (std::size_t i = 0; i <= VisitTrail::kCap; ++i) full.visited("/" + std::to_string(i));
    EXPECT_EQ(full.entries().size(), VisitTrail::kCap);
    EXPECT_EQ(full.entries().front(), "/1");
}
