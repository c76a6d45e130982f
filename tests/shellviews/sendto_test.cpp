#include "shellviews/sendto.h"

#include "platform/paths.h"
#include "shellviews/shelltemp.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace g3;
using namespace g3test;

namespace {

// A desktop of the test's own: home, desktop and configuration folders in a temporary one.
struct SendToHome {
    TempDir t;
    ScopedEnv home{"HOME", t.mkdir("home")};
    ScopedEnv config{"XDG_CONFIG_HOME", t.mkdir("config")};
    ScopedEnv desktop{"XDG_DESKTOP_DIR", t.mkdir("home/Desktop")};
    std::string folder() const { return t.path("config/grottan3/SendTo"); }
};

std::vector<std::string> captions(const std::vector<SendToEntry>& entries) {
    std::vector<std::string> out;
    for (const SendToEntry& e : entries) out.push_back(e.caption);
    return out;
}

} // namespace

TEST(SendTo, FirstUseMakesTheFolderWithLinksHomeAndToTheDesktop) {
    SendToHome h;
    EXPECT_EQ(sendToFolder(), h.folder());
    ASSERT_TRUE(ensureSendToFolder());
    std::vector<SendToEntry> entries;
    ASSERT_TRUE(listSendTo(h.folder(), 100, entries));
    EXPECT_EQ(captions(entries), (std::vector<std::string>{"デスクトップ", "ホーム"}));
    EXPECT_EQ(sendToTargetOf(entries[0].path).path, h.t.path("home/Desktop"));
    EXPECT_EQ(sendToTargetOf(entries[1].path).path, h.t.path("home"));
    // The folder is the user's from then on: a removed link stays removed.
    ASSERT_EQ(unlink(entries[0].path.c_str()), 0);
    ASSERT_TRUE(ensureSendToFolder());
    ASSERT_TRUE(listSendTo(h.folder(), 100, entries));
    EXPECT_EQ(captions(entries), std::vector<std::string>{"ホーム"});
}

// Items that are not folders, in the folder's name order; a link to a folder is an item.
TEST(SendTo, ListsItemsInNameOrderUpToTheLimit) {
    SendToHome h;
    const std::string f = h.t.mkdir("config/grottan3/SendTo");
    h.t.write("config/grottan3/SendTo/b10.txt", "");
    h.t.write("config/grottan3/SendTo/B9.txt", "");
    h.t.write("config/grottan3/SendTo/.hidden", "");
    h.t.mkdir("config/grottan3/SendTo/a folder");
    ASSERT_EQ(symlink(h.t.mkdir("target").c_str(), joinPath(f, "c&link").c_str()), 0);
    h.t.write("config/grottan3/SendTo/app.desktop",
              "[Desktop Entry]\nType=Application\nName=記録係\nExec=/bin/true %F\n");
    std::vector<SendToEntry> entries;
    ASSERT_TRUE(listSendTo(f, 100, entries));
    EXPECT_EQ(captions(entries), (std::vector<std::string>{"記録係", "B9.txt", "b10.txt", "c&link"}));
    ASSERT_TRUE(listSendTo(f, 2, entries));
    EXPECT_EQ(captions(entries), (std::vector<std::string>{"記録係", "B9.txt"}));
    EXPECT_FALSE(listSendTo(h.t.path("missing"), 100, entries));
}

TEST(SendTo, TargetsAreFoldersThroughLinksAndApplicationEntries) {
    SendToHome h;
    const std::string target = h.t.mkdir("to");
    const std::string link = h.t.path("link"), dangling = h.t.path("dangling");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(symlink(h.t.path("none").c_str(), dangling.c_str()), 0);
    const std::string app = h.t.write("app.desktop", "[Desktop Entry]\nType=Application\nName=A\nExec=/bin/true\n");
    const std::string url = h.t.write("url.desktop", "[Desktop Entry]\nType=Link\nName=U\nURL=file:///\n");
    struct Case {
        std::string item;
        SendToTarget::Kind kind;
        std::string path;
    };
    const Case cases[] = {
        {link, SendToTarget::Folder, target},
        {target, SendToTarget::Folder, target},
        {app, SendToTarget::Application, app},
        {url, SendToTarget::None, ""},
        {h.t.write("plain.txt", "p"), SendToTarget::None, ""},
        {dangling, SendToTarget::None, ""},
    };
    for (const Case& c : cases) {
        const SendToTarget t = sendToTargetOf(c.item);
        EXPECT_EQ(t.kind, c.kind) << c.item;
        EXPECT_EQ(t.path, c.path) << c.item;
    }
}
