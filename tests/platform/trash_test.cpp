#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/trash.h"

#include "support/tempdir.h"
#include "support/trashhome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace g3;
using namespace g3test;

namespace {

const TrashEntry* findOriginal(const std::vector<TrashEntry>& all, const std::string& path) {
    auto it = std::find_if(all.begin(), all.end(), [&](const TrashEntry& e) { return e.originalPath == path; });
    return it == all.end() ? nullptr : &*it;
}

// Runs a shell command with the test's trash home; its output.
std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        pclose(p);
    }
    return out;
}

bool haveTool(const char* name) { return run(std::string("command -v ") + name).size() > 0; }

} // namespace

TEST(Trash, ItemsGoWholeAndComeBackByteExact) {
    TrashHome h;
    const std::string odd = h.t.write("work/a b\xff\x01.txt", "odd");
    const std::string folder = h.t.mkdir("work/cave");
    h.t.write("work/cave/inner.txt", std::string(1000, 'x'));
    const std::string dup1 = h.t.write("work/one/dup.txt", "1");
    const std::string dup2 = h.t.write("work/two/dup.txt", "2");
    for (const auto& p : {odd, folder, dup1, dup2}) ASSERT_EQ(moveToTrash(p), 0) << p;
    for (const auto& p : {odd, folder, dup1, dup2}) EXPECT_FALSE(exists(p)) << p;

    EXPECT_EQ(readFile(joinPath(h.trash(), "info/a b\xff\x01.txt.trashinfo")).substr(0, 19),
              "[Trash Info]\nPath=/");
    EXPECT_NE(readFile(joinPath(h.trash(), "info/a b\xff\x01.txt.trashinfo")).find("a%20b%FF%01.txt"),
              std::string::npos);
    EXPECT_TRUE(exists(joinPath(h.trash(), "files/dup.2.txt"))) << "a collision takes a new name";
    EXPECT_NE(readFile(joinPath(h.trash(), "directorysizes")).find("1000 "), std::string::npos);
    struct stat st {};
    ASSERT_EQ(stat(joinPath(h.trash(), "info").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const auto all = listTrash();
    for (const auto& p : {odd, folder, dup1, dup2}) {
        const TrashEntry* e = findOriginal(all, p);
        ASSERT_NE(e, nullptr) << p;
        EXPECT_EQ(restoreFromTrash(*e), 0) << p;
    }
    EXPECT_EQ(readFile(odd), "odd");
    EXPECT_EQ(readFile(joinPath(folder, "inner.txt")), std::string(1000, 'x'));
    EXPECT_EQ(readFile(dup2), "2");
    EXPECT_TRUE(listTrash().empty() || !findOriginal(listTrash(), odd));
}

TEST(Trash, RestoreNeverReplacesAndMakesMissingFolders) {
    TrashHome h;
    const std::string a = h.t.write("work/deep/a.txt", "trashed");
    TrashEntry e;
    ASSERT_EQ(moveToTrash(a, &e), 0);
    h.t.write("work/deep/a.txt", "new one");
    EXPECT_EQ(restoreFromTrash(e), EEXIST);
    EXPECT_EQ(readFile(a), "new one");
    ASSERT_EQ(unlink(a.c_str()), 0);
    ASSERT_EQ(rmdir(h.t.path("work/deep").c_str()), 0);
    EXPECT_EQ(restoreFromTrash(e), 0);
    EXPECT_EQ(readFile(a), "trashed");
}

// A trash folder that someone else made (a link, or a folder of another user's) is never
// used: the item stays where it was.
TEST(Trash, ATrashPlantedBySomeoneElseIsRefused) {
    const bool root = geteuid() == 0;
    for (const char* planted : {"link", "Trash", "Trash/files"}) {
        TrashHome h;
        const std::string f = h.t.write("work/a.txt", "a");
        if (std::string(planted) == "link") {
            ASSERT_EQ(symlink(h.t.mkdir("elsewhere").c_str(), h.trash().c_str()), 0);
        } else {
            if (!root) continue; // only root can make a folder another user owns
            const std::string folder = h.t.mkdir("data/" + std::string(planted));
            ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
            ASSERT_EQ(chown(folder.c_str(), 12345, 12345), 0);
        }
        EXPECT_NE(moveToTrash(f), 0) << planted;
        EXPECT_EQ(readFile(f), "a") << planted;
    }
}

// A file system of its own (tmpfs at /dev/shm) has its own trash at its top, with paths
// relative to it.
TEST(Trash, AnotherFileSystemHasItsOwnTrash) {
    TrashHome h;
    struct stat shm {}, data {};
    if (stat("/dev/shm", &shm) != 0 || stat(h.data.c_str(), &data) != 0 || shm.st_dev == data.st_dev ||
        access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second file system at /dev/shm";
    TempDir other("/dev/shm");
    const std::string f = other.write("x.txt", "on shm");
    TrashEntry e;
    ASSERT_EQ(moveToTrash(f, &e), 0) << systemErrorText(lastError());
    EXPECT_EQ(e.trash, "/dev/shm/.Trash-" + std::to_string(getuid()));
    EXPECT_NE(readFile(joinPath(e.trash, "info/" + e.name + ".trashinfo")).find("Path=" + namePart(other.path())),
              std::string::npos) << "relative to the file system's top";
    const auto all = listTrash();
    const TrashEntry* listed = findOriginal(all, f);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(restoreFromTrash(*listed), 0);
    EXPECT_EQ(readFile(f), "on shm");
}

// Other programs' trash tools see what this trash holds, and the other way round.
TEST(Trash, OtherTrashToolsAgree) {
    if (!haveTool("trash-list") || !haveTool("trash-put")) GTEST_SKIP() << "trash-cli is not installed";
    TrashHome h;
    const std::string env = "XDG_DATA_HOME='" + h.data + "' ";
    const std::string ours = h.t.write("work/ours \xe5\xae\xb6.txt", "ours");
    ASSERT_EQ(moveToTrash(ours), 0);
    EXPECT_NE(run(env + "trash-list").find(ours), std::string::npos);
    if (haveTool("gio") && haveTool("dbus-run-session")) {
        EXPECT_NE(run(env + "dbus-run-session -- gio trash --list 2>/dev/null").find("ours%20%E5%AE%B6.txt"),
                  std::string::npos);
    }
    run("cd '" + h.work + "' && echo 0 | " + env + "trash-restore >/dev/null 2>&1");
    EXPECT_EQ(readFile(ours), "ours") << "trash-restore brought it back";

    for (const char* tool : {"trash-put", "gio trash"}) {
        if (std::string(tool) == "gio trash" && !haveTool("gio")) continue;
        const std::string theirs = h.t.write("work/theirs \xe5\xae\xb6.txt", tool);
        run(env + tool + " '" + theirs + "'");
        ASSERT_FALSE(exists(theirs)) << tool;
        const auto all = listTrash();
        const TrashEntry* e = findOriginal(all, theirs);
        ASSERT_NE(e, nullptr) << tool;
        EXPECT_EQ(restoreFromTrash(*e), 0);
        EXPECT_EQ(readFile(theirs), tool);
    }
}

// An item shown in a trash's files/ folder knows its record; anything else has none.
TEST(Trash, ItemsOfATrashFolderFindTheirRecord) {
    TrashHome h;
    const std::string f = h.t.write("work/in cave/a\xff.txt", "a");
    TrashEntry trashed;
    ASSERT_EQ(moveToTrash(f, &trashed), 0);
    const std::string files = joinPath(h.trash(), "files");
    EXPECT_TRUE(isTrashFilesFolder(files));
    TrashEntry e;
    ASSERT_TRUE(trashEntryOf(joinPath(files, trashed.name), e));
    EXPECT_EQ(e.originalPath, f);
    EXPECT_EQ(e.name, trashed.name);
    EXPECT_EQ(restoreFromTrash(e), 0);
    EXPECT_EQ(readFile(f), "a");

    // A folder merely named files, a trash's info/ folder, an item without a record.
    const std::string lookalike = h.t.mkdir("work/Trash/files");
    h.t.mkdir("work/Trash/info");
    for (const std::string& folder : {lookalike, joinPath(h.trash(), "info"), h.trash()})
        EXPECT_FALSE(isTrashFilesFolder(folder)) << folder;
    EXPECT_FALSE(trashEntryOf(h.t.write("work/Trash/files/x", "x"), e));
    EXPECT_FALSE(trashEntryOf(h.t.write(joinPath(h.trash(), "files/stray").substr(h.t.path().size() + 1), "s"), e));
    // A file system's own trash, by its name.
    const std::string own = h.t.mkdir("work/.Trash-" + std::to_string(getuid()) + "/files");
    h.t.mkdir("work/.Trash-" + std::to_string(getuid()) + "/info");
    EXPECT_TRUE(isTrashFilesFolder(own));
}

// A record's relative Path is relative to the folder the trash stands in (the data folder
// for the home trash) and never climbs out of it; no Path holds a NUL byte: records on a
// volume are anyone's text.
TEST(Trash, RelativeRecordsStayBelowTheirTrashsFolder) {
    TrashHome h;
    const std::string own = h.t.mkdir("work/.Trash-" + std::to_string(getuid()));
    struct Case {
        std::string trash, pathLine, expected; // expected "" when the record is refused
    };
    const Case cases[] = {
        {h.trash(), "docs/a.txt", joinPath(h.data, "docs/a.txt")},
        {h.trash(), "../../../etc/cron.d/x", ""},
        {own, "cave/b.txt", joinPath(h.work, "cave/b.txt")},
        {own, "cave/%2E%2E/../../escape", ""},
        {own, "..", ""},
        {own, "cave/..x", joinPath(h.work, "cave/..x")},
        {own, "/abs/c.txt", "/abs/c.txt"},
        {own, "cave/d.txt%00.hidden", ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "item" + std::to_string(++n);
        const std::string rel = c.trash.substr(h.t.path().size() + 1);
        h.t.write(rel + "/files/" + name, "trashed");
        h.t.write(rel + "/info/" + name + ".trashinfo",
                  "[Trash Info]\nPath=" + c.pathLine + "\nDeletionDate=2026-01-01T00:00:00\n");
        TrashEntry e;
        const bool found = trashEntryOf(joinPath(c.trash, "files/" + name), e);
        EXPECT_EQ(found, !c.expected.empty()) << c.pathLine;
        if (found) {
            EXPECT_EQ(e.originalPath, c.expected) << c.pathLine;
        }
    }
}
