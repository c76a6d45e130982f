// The desktop's applications through GIO, on a desktop of the test's own: XDG folders in a
// temporary folder, set before the first GIO call of the process (GLib reads them once).
#include "platform/desktopapps.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

using namespace g3;
using namespace g3test;

namespace {

class DesktopApps : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        t_ = std::make_unique<TempDir>();
        for (const char* v : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            const std::string dir = t_->mkdir(v);
            setenv(v, dir.c_str(), 1);
        }
        unsetenv("XDG_CURRENT_DESKTOP");
        // The program records its working folder and then each argument, one a line.
        const std::string recorder = t_->write("recorder.sh", "#!/bin/sh\npwd > \"$0.out.tmp\"\n"
                                                              "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> \"$0.out.tmp\"\n"
                                                              "mv \"$0.out.tmp\" \"$0.out\"\n");
        chmod(recorder.c_str(), 0755);
        t_->mkdir("workdir");
        app("viewer", "Name=見るもの\nExec=" + recorder + " %F\nPath=" + t_->path("workdir") + "\n");
        app("editor", "Name=Editor\nExec=" + recorder + " %f\n");
        app("hidden", "Name=Hidden\nExec=" + recorder + " %f\nNoDisplay=true\n");
        t_->write("XDG_CONFIG_HOME/mimeapps.list", "[Default Applications]\ntext/plain=editor.desktop\n");
        // What update-desktop-database writes: GIO finds an entry for a type through it.
        t_->write("XDG_DATA_HOME/applications/mimeinfo.cache",
                  "[MIME Cache]\ntext/plain=viewer.desktop;editor.desktop;hidden.desktop;\n");
    }
    static void TearDownTestSuite() { t_.reset(); }

    static void app(const std::string& id, const std::string& lines) {
        t_->write("XDG_DATA_HOME/applications/" + id + ".desktop",
                  "[Desktop Entry]\nType=Application\nMimeType=text/plain;\n" + lines);
    }
    // What the recorder wrote, waited for; "" when it never ran.
    static std::string recorded() {
        const std::string out = t_->path("recorder.sh.out");
        for (int i = 0; i < 200 && !exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::string text = exists(out) ? readFile(out) : std::string();
        std::remove(out.c_str());
        return text;
    }

    static std::unique_ptr<TempDir> t_;
};

std::unique_ptr<TempDir> DesktopApps::t_;

} // namespace

TEST_F(DesktopApps, TheDefaultComesFirstAndHiddenEntriesStayOut) {
    const std::vector<DesktopApp> apps = applicationsForType("text/plain");
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].id, "editor.desktop");
    EXPECT_EQ(apps[1].id, "viewer.desktop");
    EXPECT_EQ(apps[1].name, "見るもの");
    EXPECT_TRUE(applicationsForType("image/x-nobody-has-this").empty());
}

// The program gets the paths' exact bytes, in its Path folder.
TEST_F(DesktopApps, LaunchedProgramsGetTheFilesInTheirFolder) {
    const std::vector<std::string> files = {t_->write("a b.txt", "a"), t_->write("raw\xff.txt", "r")};
    ASSERT_TRUE(launchApplication("viewer.desktop", files));
    EXPECT_EQ(recorded(), t_->path("workdir") + "\n" + files[0] + "\n" + files[1] + "\n");
    ASSERT_TRUE(launchDesktopEntry(t_->path("XDG_DATA_HOME/applications/viewer.desktop"), {files[1]}));
    EXPECT_EQ(recorded(), t_->path("workdir") + "\n" + files[1] + "\n");
    EXPECT_FALSE(launchApplication("nobody.desktop", files));
    EXPECT_FALSE(launchDesktopEntry(t_->path("a b.txt"), files));
}

TEST_F(DesktopApps, OnlyApplicationEntriesHaveAName) {
    EXPECT_EQ(desktopEntryName(t_->path("XDG_DATA_HOME/applications/viewer.desktop")), "見るもの");
    const std::string link = t_->write("link.desktop", "[Desktop Entry]\nType=Link\nName=L\nURL=file:///\n");
    EXPECT_EQ(desktopEntryName(link), "");
    EXPECT_EQ(desktopEntryName(t_->path("missing.desktop")), "");
}
