// The thaw and freeze commands against stand-in modules that record every call: which
// module and entry point, the exact command line, the owner, the buffer, the process's
// folder at the call, and the order of the window's steps around it.
#include "archive/archivebridge.h"
#include "fake_archive_context.h"
#include "support/tempdir.h"

#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using g3test::FakeArchiveContext;

namespace {

using RecorderHook = void (*)(const char*, void*, const char*, char*, std::uint32_t);

struct Call {
    std::string entry, line, cwd;
    void* owner = nullptr;
    std::uint32_t size = 0;
    bool buffer = false;
};

class ArchiveBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        current_ = this;
        oldCwd_ = g3::processFolder();
        for (const char* lib : {"UNLHA32.DLL", "7-zip32.dll", "cab32.dll", "unrar32.dll"}) {
            void* h = dlopen((std::string(G3_FAKE_MODULES) + lib).c_str(), RTLD_NOW | RTLD_LOCAL);
            ASSERT_NE(h, nullptr) << dlerror();
            *static_cast<RecorderHook*>(dlsym(h, "g3RecorderHook")) = &hook;
            handles_.push_back(h);
        }
        dl = tmp.mkdir("dl");
        ctx.current = dl;
    }
    void TearDown() override {
        for (void* h : handles_)
            dlclose(h);
        current_ = nullptr;
        [[maybe_unused]] int r = chdir(oldCwd_.c_str());
    }

    static void hook(const char* entry, void* owner, const char* line, char* output,
                     std::uint32_t size) {
        ArchiveBridgeTest& t = *current_;
        t.calls.push_back({entry, line, g3::processFolder(), owner, size, output != nullptr});
        t.ctx.log.push_back(std::string("call:") + entry);
        if (!t.makeOnCall.empty()) g3test::makeFolders(t.makeOnCall);
    }

    void thaw(const std::string& name) {
        ctx.selected = g3::joinPath(dl, name);
        g3::ArchiveBridge(ctx, G3_FAKE_MODULES).failkaito();
    }

    g3test::TempDir tmp;
    std::string dl;
    FakeArchiveContext ctx;
    std::vector<Call> calls;
    std::string makeOnCall; // a folder the module "extracts" into

private:
    static inline ArchiveBridgeTest* current_ = nullptr;
    std::vector<void*> handles_;
    std::string oldCwd_;
};

const char* const kCaveQuestion = "の洞窟に解凍しますが、いいですか？";
const char* const kFolderQuestion = "のフォルダに解凍しますが、良いですか？";

TEST_F(ArchiveBridgeTest, ThawCallsTheArchiveModuleWithItsLineAndShowsTheDestination) {
    struct Case {
        const char* name;
        const char* entry;
        const char* dest; // below dl
        const char* line; // %A the archive, %D the destination
        const char* question;
        const char* shown; // the navigation's path below dl
    } cases[] = {
        {"photos.zip", "SevenZip", "photos", "x \"%A\" -o\"%D\"", kFolderQuestion, "photos"},
        {"old.lzh", "Unlha", "old", "x \"%A\" \"%D/\" ", kCaveQuestion, "old/"},
        {"data.tar.cab", "Cab", "data.tar", "-x \"%A\" \"%D/\"", kFolderQuestion, "data.tar"},
        {"archive.7Z", "SevenZip", "archive", "x \"%A\" -o\"%D\"", kFolderQuestion, "archive"},
        {"Old.Rar", "Unrar", "Old", "-x \"%A\" \"%D/\"", kFolderQuestion, "Old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.log.clear();
        calls.clear();
        ctx.current = dl;
        const std::string a = g3::joinPath(dl, c.name), d = g3::joinPath(dl, c.dest);
        makeOnCall = d;
        thaw(c.name);
        std::string line = c.line;
        line.replace(line.find("%A"), 2, a);
        line.replace(line.find("%D"), 2, d);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].entry, c.entry);
        EXPECT_EQ(calls[0].line, line);
        EXPECT_EQ(calls[0].owner, ctx.owner);
        EXPECT_EQ(calls[0].size, 65000u);
        EXPECT_TRUE(calls[0].buffer);
        const std::vector<std::string> expected{"monitorOff",
                                                std::string("confirm:") + c.name + "を\n\r" + d +
                                                    "\r\n" + c.question,
                                                std::string("call:") + c.entry,
                                                "refresh",
                                                "navigate:" + g3::joinPath(dl, c.shown),
                                                "monitorOn",
                                                "refresh"};
        EXPECT_EQ(ctx.log, expected);
        g3test::removeTree(d);
    }
}

TEST_F(ArchiveBridgeTest, ThawDoesNothingForOtherNamesOrSelections) {
    struct Case {
        const char* name;
        int count;
    } cases[] = {
        {"archive.gz", 1}, {"zip", 1}, {"a.zip.txt", 1}, {"photos.zip", 0}, {"photos.zip", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.count = c.count;
        thaw(c.name);
        EXPECT_TRUE(ctx.log.empty());
        EXPECT_TRUE(calls.empty());
    }
}

TEST_F(ArchiveBridgeTest, AnsweringNoStillSwitchesTheMonitorAndRefreshes) {
    ctx.answerYes = false;
    thaw("photos.zip");
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(ctx.log.size(), 4u);
    EXPECT_EQ(ctx.log[0], "monitorOff");
    EXPECT_EQ(ctx.log[1].rfind("confirm:", 0), 0u);
    EXPECT_EQ(ctx.log[2], "monitorOn");
    EXPECT_EQ(ctx.log[3], "refresh");
}

TEST_F(ArchiveBridgeTest, AMissingDestinationFallsBackToTheFolderShownBefore) {
    thaw("photos.zip"); // the module makes nothing
    const std::vector<std::string> tail{"navigateFailed:" + g3::joinPath(dl, "photos"),
                                        "navigate:" + dl, "monitorOn", "refresh"};
    ASSERT_GE(ctx.log.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(ctx.log.end() - 4, ctx.log.end()), tail);
}

TEST_F(ArchiveBridgeTest, AMissingModuleOrEntryPointDoesNothingSilentlyAndUnloads) {
    const std::vector<std::string> quiet{"monitorOff", "monitorOn", "refresh"};
    for (const std::string& folder : {tmp / "noDLL/", std::string(G3_NOENTRY_MODULES)}) {
        SCOPED_TRACE(folder);
        ctx.log.clear();
        ctx.selected = g3::joinPath(dl, "photos.zip");
        g3::ArchiveBridge(ctx, folder).failkaito();
        EXPECT_EQ(ctx.log, quiet);
        ctx.log.clear();
        ctx.current = tmp.mkdir("work");
        tmp.write("work/a.txt", "a");
        g3::ArchiveBridge(ctx, folder).failasyuk();
        EXPECT_TRUE(ctx.log.empty());
    }
    // The module is not kept loaded after the command.
    EXPECT_EQ(
        dlopen((std::string(G3_NOENTRY_MODULES) + "7-zip32.dll").c_str(), RTLD_NOW | RTLD_NOLOAD),
        nullptr);
}

TEST_F(ArchiveBridgeTest, FreezeNamesEveryFileRelativeToTheCurrentFolder) {
    const std::string work = tmp.mkdir("work");
    tmp.write("work/a.txt", "a");
    tmp.write("work/sub/b.txt", "b");
    ctx.current = work;
    ctx.typedName = "work";
    g3::ArchiveBridge(ctx, G3_FAKE_MODULES).failasyuk();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].entry, "SevenZip");
    EXPECT_EQ(calls[0].line, "a \"work.7z\"  \"a.txt\" \"sub/b.txt\"");
    EXPECT_EQ(calls[0].cwd, work);
    EXPECT_EQ(calls[0].size, 65000u);
    EXPECT_EQ(calls[0].owner, ctx.owner);
    EXPECT_EQ(ctx.nameCaption, "7z凍結します 洞窟は" + work);
    EXPECT_EQ(ctx.namePrompt,
              "洞窟内の2軒の家を凍結する冷凍団地の名前(.7zは自動で付きます)を入力してね");
    EXPECT_EQ(ctx.nameInitial, "a");
    // No monitor switching and no refresh of its own.
    EXPECT_EQ(ctx.log, (std::vector<std::string>{"askName", "call:SevenZip"}));
}

TEST_F(ArchiveBridgeTest, FreezeOffersTheFirstFileWithoutExtensionAndStopsOnCancel) {
    const std::string work = tmp.mkdir("deep");
    tmp.write("deep/sub/photo.2024.jpg", "x");
    ctx.current = work;
    ctx.nameOk = false;
    g3::ArchiveBridge(ctx, G3_FAKE_MODULES).failasyuk();
    EXPECT_EQ(ctx.nameInitial, "sub/photo.2024");
    EXPECT_TRUE(calls.empty());
}

TEST_F(ArchiveBridgeTest, FreezeRefusesGroundLevelAndIgnoresAFolderWithoutFiles) {
    const std::string refusal =
        "inform:地表や惑星直下\n\rでは圧縮しませんので、どこかサブ洞窟を掘って\n\r"
        "そこに家を入れて冷凍してください";
    std::vector<std::string> roots{"/", ""};
    if (g3::isVolumeRoot("/proc")) roots.push_back("/proc");
    for (const std::string& root : roots) {
        SCOPED_TRACE(root);
        ctx.log.clear();
        ctx.current = root;
        g3::ArchiveBridge(ctx, G3_FAKE_MODULES).failasyuk();
        EXPECT_EQ(ctx.log, std::vector<std::string>{refusal});
    }
    ctx.log.clear();
    ctx.current = tmp.mkdir("empty/only/folders");
    ctx.current = tmp / "empty";
    g3::ArchiveBridge(ctx, G3_FAKE_MODULES).failasyuk();
    EXPECT_TRUE(ctx.log.empty());
    EXPECT_TRUE(calls.empty());
}

} // namespace
