// Both backends of the directory monitor over the same changes: what each reports.
#include "fscomp/inotifywatch.h"
#include "fscomp/pollingwatch.h"
#include "platform/paths.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>

using namespace g3;
using g3test::TempDir;
using g3test::writeFile;

namespace {

struct Case {
    const char* name;
    std::function<void(const std::string& root)> change;
    InotifyPoll expected;
    std::vector<std::string> files; // changedFilesOnly, relative to root
    bool pollingSees = true;        // polling does not see contents inside subfolders
};

const Case kCases[] = {
    {"nothing", [](const std::string&) {}, InotifyPoll::Quiet, {}},
    {"a file written", [](const std::string& r) { writeFile(joinPath(r, "a.txt"), "more"); },
     InotifyPoll::Changed, {"a.txt"}},
    {"a file's mode", [](const std::string& r) { ::chmod(joinPath(r, "a.txt").c_str(), 0600); },
     InotifyPoll::Changed, {"a.txt"}},
    {"a file made", [](const std::string& r) { writeFile(joinPath(r, "new.txt"), "n"); },
     InotifyPoll::Changed, {}},
    {"a file renamed",
     [](const std::string& r) { ::rename(joinPath(r, "a.txt").c_str(), joinPath(r, "b.txt").c_str()); },
     InotifyPoll::Changed, {}},
    {"a file made in a subfolder", [](const std::string& r) { writeFile(joinPath(r, "sub/new"), "n"); },
     InotifyPoll::Changed, {}},
    {"a file written in a subfolder", [](const std::string& r) { writeFile(joinPath(r, "sub/s.txt"), "more"); },
     InotifyPoll::Changed, {"sub/s.txt"}, false},
    {"the folder deleted",
     [](const std::string& r) {
         ::unlink(joinPath(r, "sub/s.txt").c_str());
         ::rmdir(joinPath(r, "sub").c_str());
         ::unlink(joinPath(r, "a.txt").c_str());
         ::rmdir(r.c_str());
     },
     InotifyPoll::Gone, {}},
};

std::unique_ptr<FolderWatch> make(bool polling) {
    if (polling) return std::make_unique<PollingWatch>();
    return std::make_unique<InotifyWatch>();
}

} // namespace

TEST(FolderWatch, BothBackendsReportTheSameChanges) {
    for (bool polling : {false, true}) {
        for (const auto& c : kCases) {
            SCOPED_TRACE(std::string(polling ? "polling: " : "inotify: ") + c.name);
            TempDir t;
            const std::string root = t / "w";
            ::mkdir(root.c_str(), 0755);
            ::mkdir(joinPath(root, "sub").c_str(), 0755);
            writeFile(joinPath(root, "a.txt"), "a");
            writeFile(joinPath(root, "sub/s.txt"), "s");
            auto w = make(polling);
            ASSERT_TRUE(w->open(root, true, icFileName | icDirName | icSize | icLastWrite | icAttributes));
            EXPECT_EQ(w->watchCount(), 2u);
            // Times of a file written within the same clock tick may not move.
            ::usleep(20000);
            c.change(root);
            const bool seen = !polling || c.pollingSees;
            EXPECT_EQ(w->poll(), seen ? c.expected : InotifyPoll::Quiet);
            std::vector<std::string> files;
            for (const auto& f : c.files) files.push_back(joinPath(root, f));
            if (seen && c.expected == InotifyPoll::Changed) {
                EXPECT_EQ(w->changedFilesOnly(), files);
            }
            if (c.expected != InotifyPoll::Gone) {
                EXPECT_EQ(w->poll(), InotifyPoll::Quiet) << "reported twice";
            }
        }
    }
}
