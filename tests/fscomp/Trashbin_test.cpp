// The protected folders of the trash component and the lists it hands on.
#include "fscomp/Trashbin.h"

#include "platform/mounts.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <unistd.h>

using namespace g3;

namespace {

struct RecordingHost : TrashbinHost {
    std::vector<std::string> shown;
    std::vector<std::vector<std::string>> deleted;
    std::string title;
    void showInformation(const std::string& text) override { shown.push_back(text); }
    void deleteToTrash(const std::vector<std::string>& paths, const std::string& t) override {
        deleted.push_back(paths);
        title = t;
    }
};

const char* const kTail = "は埋めませんのでご了承ください";

// A mount point not in the fixed list, when this machine has one.
std::string someOtherMountPoint() {
    for (const auto& m : readMountTable())
        if (m.mountPoint.size() > 5 && m.mountPoint.rfind("/proc", 0) != 0 &&
            m.mountPoint.rfind("/sys", 0) != 0)
            return m.mountPoint;
    return {};
}

} // namespace

// Every path is checked, by its text and by the folder it reaches; a refused list is not
// handed on at all, and the first protected path is named.
TEST(Trashbin, AnyProtectedPathStopsTheListAndTheCallAlwaysSucceeds) {
    const char* oldHome = std::getenv("HOME");
    const std::string home = oldHome ? oldHome : "/root";
    g3test::TempDir t;
    ASSERT_EQ(::symlink("/usr", (t / "to-usr").c_str()), 0);
    ASSERT_EQ(::symlink("/", (t / "root").c_str()), 0);
    const auto lowered = [](const std::string& p) { return TTrashbin::lowerCased(p); };
    struct Case {
        std::vector<std::string> paths;
        std::string refusedAs; // "" when the list goes to the trash whole
    } cases[] = {
        {{"C:\\WINDOWS"}, "c:\\windows"},
        {{"c:\\Program Files (x86)"}, "c:\\program files (x86)"},
        {{"c:\\windows\\"}, ""},
        {{"d:\\windows"}, ""},
        {{"/"}, "/"},
        {{"/USR"}, "/usr"},
        {{"/usr/"}, "/usr/"},
        {{"/usr/share"}, ""},
        {{"/Ｅtc"}, ""}, // a full-width letter lowers to itself, not to "e"
        {{"/ETC", "/tmp/a"}, "/etc"},
        {{"/tmp/a.txt", "/usr", "/etc"}, "/usr"},
        {{home}, lowered(home)},
        {{home + "/"}, lowered(home + "/")},
        {{t / "root/usr"}, lowered(t / "root/usr")}, // a system folder through a link above it
        {{t / "to-usr"}, ""},                        // a link to one is only a link
        {{"/tmp/\xff\xfe/A"}, ""},
    };
    for (const auto& c : cases) {
        RecordingHost host;
        TTrashbin bin(host);
        bin.Title = "ごみ出し";
        EXPECT_TRUE(bin.SendToTrash(pathList(c.paths))) << c.paths[0];
        if (c.refusedAs.empty()) {
            EXPECT_TRUE(host.shown.empty()) << c.paths[0];
            ASSERT_EQ(host.deleted.size(), 1u) << c.paths[0];
            EXPECT_EQ(host.deleted[0], c.paths) << "handed on whole, in order";
            EXPECT_EQ(host.title, "ごみ出し");
        } else {
            EXPECT_TRUE(host.deleted.empty()) << c.paths[0];
            ASSERT_EQ(host.shown.size(), 1u) << c.paths[0];
            EXPECT_EQ(host.shown[0], c.refusedAs + "\n\r" + kTail);
        }
    }
}

TEST(Trashbin, MountRootsAreProtected) {
    const std::string mp = someOtherMountPoint();
    if (mp.empty()) GTEST_SKIP() << "no mount point besides the fixed ones";
    RecordingHost host;
    TTrashbin bin(host);
    bin.SendToTrash(pathList({mp}));
    EXPECT_TRUE(host.deleted.empty()) << mp;
    EXPECT_EQ(host.shown.size(), 1u);
}

TEST(Trashbin, PathListsSplitAtTheEmptyPath) {
    EXPECT_EQ(pathList({"/a", "/b"}), std::string("/a\0/b\0\0", 7));
    EXPECT_EQ(splitPathList(std::string("/a\0/b\0\0/c\0\0", 11)), (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(splitPathList(std::string("/only", 5)), (std::vector<std::string>{"/only"}));
    EXPECT_TRUE(splitPathList(std::string("\0\0", 2)).empty());
}
