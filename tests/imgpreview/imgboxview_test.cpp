// Where the image box puts a picture, what its view bitmap holds and how far a scroll code
// moves it.
#include "imgpreview/imgboxview.h"

#include <gtest/gtest.h>

using namespace g3;

namespace {

struct StretchCase {
    QSize client, picture;
    QRect expected;
};

TEST(ImgBoxView, StretchKeepsTheAspectToWholePercents) {
    const StretchCase cases[] = {
        // WP 44 decides over HP 80: 445 x 220, bands of 92 above and below.
        {{445, 404}, {1000, 500}, {0, 92, 445, 220}},
        // HP 50 decides over WP 200: 25 x 100, centred across.
        {{100, 100}, {50, 200}, {37, 0, 25, 100}},
        // Smaller pictures are enlarged: WP 1000 = HP 1000, the width decides.
        {{200, 100}, {20, 10}, {0, 0, 200, 100}},
        {{100, 100}, {10, 20}, {25, 0, 50, 100}},
        // 6,000 x 4,000 at 7 percent (the true 7.4 is cut to whole percents).
        {{445, 404}, {6000, 4000}, {0, 62, 445, 280}},
        // A hundred times wider than the client: the height would be 0 percent; one row.
        {{445, 404}, {100000, 50}, {0, 201, 445, 1}},
        // Nothing to place.
        {{445, 404}, {0, 500}, {}},
        {{0, 404}, {10, 10}, {}},
    };
    for (const StretchCase& c : cases)
        EXPECT_EQ(stretchRect(c.client, c.picture), c.expected)
            << c.picture.width() << "x" << c.picture.height() << " in " << c.client.width() << "x"
            << c.client.height();
}

TEST(ImgBoxView, NaturalSizeIsCentredOnlyWhereSmaller) {
    EXPECT_EQ(centredRect({300, 200}, {100, 50}), QRect(100, 75, 100, 50));
    EXPECT_EQ(centredRect({300, 200}, {1000, 50}), QRect(0, 75, 1000, 50));
    EXPECT_EQ(centredRect({300, 200}, {1000, 800}), QRect(0, 0, 1000, 800));
}

TEST(ImgBoxView, ViewHasThePictureAndColourElsewhere) {
    QImage red(1000, 500, QImage::Format_RGB888);
    red.fill(Qt::red);
    const QImage view = composeView({445, 404}, red, QRect(0, 92, 445, 220), Qt::white);
    ASSERT_EQ(view.size(), QSize(445, 404));
    EXPECT_EQ(view.pixelColor(200, 91), QColor(Qt::white));
    EXPECT_EQ(view.pixelColor(200, 92), QColor(Qt::red));
    EXPECT_EQ(view.pixelColor(200, 311), QColor(Qt::red));
    EXPECT_EQ(view.pixelColor(200, 312), QColor(Qt::white));
    EXPECT_EQ(red.size(), QSize(1000, 500)); // the kept picture is not touched

    // Natural size larger than the client: the view is as large as the picture.
    const QImage large = composeView({300, 200}, red, QRect(0, 0, 1000, 500), Qt::white);
    EXPECT_EQ(large.size(), QSize(1000, 500));
}

struct ScrollCase {
    const char* what;
    int code;
    ScrollAxis axis; // pos, max, page, lineStep, track
    int delta;
};

TEST(ImgBoxView, ScrollCodesStopAtTheEnds) {
    // A picture 1,000 high (max 999) in a client 300 high: the last offset is 700.
    const ScrollCase cases[] = {
        {"line down", scLineDown, {0, 999, 300, 17, 0}, 17},
        {"line up at the top", scLineUp, {0, 999, 300, 17, 0}, 0},
        {"line up near the top", scLineUp, {5, 999, 300, 17, 0}, -5},
        {"page down", scPageDown, {0, 999, 300, 17, 0}, 300},
        {"page down near the end", scPageDown, {600, 999, 300, 17, 0}, 100},
        {"page down at the end", scPageDown, {700, 999, 300, 17, 0}, 0},
        {"page up", scPageUp, {500, 999, 300, 17, 0}, -300},
        {"end", scBottom, {0, 999, 300, 17, 0}, 700},
        {"end from the end", scBottom, {700, 999, 300, 17, 0}, 0},
        {"home", scTop, {450, 999, 300, 17, 0}, -450},
        {"thumb track", scTrack, {100, 999, 300, 17, 250}, 150},
        {"thumb position past the end", scPosition, {100, 999, 300, 17, 900}, 600},
        {"end of scroll", scEndScroll, {100, 999, 300, 17, 0}, 0},
        {"unknown code", 42, {100, 999, 300, 17, 0}, 0},
        {"a picture shorter than the page", scBottom, {0, 199, 300, 17, 0}, 0},
    };
    for (const ScrollCase& c : cases) EXPECT_EQ(scrollDelta(c.code, c.axis), c.delta) << c.what;
}

} // namespace
