#include "platform/errors.h"
#include "platform/transfer.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

using namespace g3;
using g3test::readFile;
using g3test::TempDir;
using g3test::writeFile;

namespace {

struct Entry {
    bool exists = false;
    mode_t type = 0;
    std::string contents; // a file's bytes or a link's target text
};

Entry entryAt(const std::string& path) {
    Entry e;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return e;
    e.exists = true;
    e.type = st.st_mode & S_IFMT;
    if (S_ISREG(st.st_mode)) e.contents = readFile(path);
    if (S_ISLNK(st.st_mode)) {
        char buf[4096];
        ssize_t n = readlink(path.c_str(), buf, sizeof buf);
        e.contents.assign(buf, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    return e;
}

bool operator==(const Entry& a, const Entry& b) {
    return a.exists == b.exists && a.type == b.type && a.contents == b.contents;
}

std::size_t entriesIn(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

bool sameFileSystem(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

// Copies in a child that the fault seam kills once `killAt` bytes are written, as a
// crash or the user's kill would; the parent sees what the kill left.
void copyKilledAfter(const std::string& src, const std::string& dst, std::uint64_t killAt) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        TransferOptions o;
        o.replace = true;
        o.fault = [killAt](std::uint64_t written) {
            if (written >= killAt) kill(getpid(), SIGKILL);
            return 0;
        };
        copyEntry(src, dst, o);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the copy ended before the kill";
}

} // namespace

// Each destination that would lose data, or be written through, is refused and left as it
// was, for a file and for a link as the source.
TEST(Transfer, RefusalsLeaveTheDestinationAsItWas) {
    TempDir t;
    writeFile(t / "file", "source");
    writeFile(t / "target", "precious");
    writeFile(t / "readonly", "kept");
    chmod((t / "readonly").c_str(), 0444);
    ASSERT_EQ(mkdir((t / "folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink((t / "target").c_str(), (t / "link").c_str()), 0);
    ASSERT_EQ(symlink((t / "readonly").c_str(), (t / "to-readonly").c_str()), 0);
    ASSERT_EQ(link((t / "file").c_str(), (t / "hard").c_str()), 0);
    struct Case {
        const char* src;
        const char* dst;
        bool replace;
        int code;
    } cases[] = {
        {"file", "file", true, EINVAL},          {"file", "hard", true, EINVAL},
        {"link", "target", true, EINVAL},        {"link", "link", true, EINVAL},
        {"file", "readonly", true, EACCES},      {"link", "readonly", true, EACCES},
        {"file", "to-readonly", true, EACCES},   {"file", "folder", true, EISDIR},
        {"link", "folder", true, EISDIR},        {"file", "target", false, EEXIST},
        {"link", "readonly", false, EEXIST},     {"folder", "new", true, EISDIR},
    };
    for (const auto& c : cases) {
        Entry before = entryAt(t / c.dst);
        TransferOptions o;
        o.replace = c.replace;
        EXPECT_FALSE(copyEntry(t / c.src, t / c.dst, o)) << c.src << " -> " << c.dst;
        EXPECT_EQ(lastError(), c.code) << c.src << " -> " << c.dst;
        EXPECT_TRUE(entryAt(t / c.dst) == before) << c.src << " -> " << c.dst;
    }
    EXPECT_EQ(readFile(t / "target"), "precious");
    EXPECT_TRUE(isSameFile(t / "link", t / "target"));
    EXPECT_FALSE(isSameFile(t / "file", t / "target"));
}

// A copy killed in the middle leaves nothing under the real name: a new name stays free and
// an old file stays whole, for a file of one piece and one of many.
TEST(Transfer, AKilledCopyNeverStandsUnderTheRealName) {
    TempDir t;
    for (std::size_t size : {std::size_t(1) << 20, std::size_t(24) << 20}) {
        std::string data(size, 'k');
        writeFile(t / "src", data);
        writeFile(t / "old", "old");
        const std::size_t before = entriesIn(t.path());
        copyKilledAfter(t / "src", t / "new", size / 2);
        copyKilledAfter(t / "src", t / "old", size / 2);
        EXPECT_FALSE(entryAt(t / "new").exists) << size;
        EXPECT_EQ(readFile(t / "old"), "old") << size;
        EXPECT_EQ(entriesIn(t.path()), before) << "an unnamed file leaves no trace";
        TransferOptions o;
        o.replace = true;
        ASSERT_TRUE(copyEntry(t / "src", t / "old", o));
        EXPECT_TRUE(readFile(t / "old") == data);
    }
}

TEST(Transfer, HolesStayHolesAndLongNamesAreReplaced) {
    TempDir t;
    {
        int fd = open((t / "sparse").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(pwrite(fd, "tail", 4, 8 << 20), 4);
        ASSERT_EQ(ftruncate(fd, 12 << 20), 0); // and a hole at the end
        close(fd);
    }
    ASSERT_TRUE(copyEntry(t / "sparse", t / "copy", {}));
    struct stat st {};
    ASSERT_EQ(stat((t / "copy").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 12 << 20);
    EXPECT_LT(st.st_blocks * 512, 1 << 20) << "the holes were filled";
    std::string copy = readFile(t / "copy");
    EXPECT_EQ(copy.substr(0, 4), "head");
    EXPECT_EQ(copy.substr(8 << 20, 4), "tail");
    EXPECT_EQ(copy.find_first_not_of(std::string(1, 0), 4), std::size_t(8) << 20);

    // A name of 255 bytes leaves no room for a longer temporary one beside it.
    const std::string longName(255, 'n');
    ASSERT_EQ(symlink("somewhere", (t / "link").c_str()), 0);
    writeFile(t / longName, "old");
    TransferOptions o;
    o.replace = true;
    ASSERT_TRUE(copyEntry(t / "link", t / longName, o)) << systemErrorText(lastError());
    EXPECT_EQ(entryAt(t / longName).contents, "somewhere");
    ASSERT_TRUE(copyEntry(t / "sparse", t / longName, o)) << systemErrorText(lastError());
    EXPECT_EQ(entryAt(t / longName).type, S_IFREG);
}

TEST(Transfer, HardLinksOfOneRunStayLinked) {
    TempDir t;
    writeFile(t / "a", "shared");
    ASSERT_EQ(link((t / "a").c_str(), (t / "b").c_str()), 0);
    writeFile(t / "c", "alone");
    ASSERT_EQ(mkdir((t / "out").c_str(), 0755), 0);
    HardLinkMemory links;
    TransferOptions o;
    o.links = &links;
    for (std::string n : {"a", "b", "c"}) ASSERT_TRUE(copyEntry(t / n, t / ("out/" + n), o));
    struct stat a {}, b {}, c {};
    ASSERT_EQ(stat((t / "out/a").c_str(), &a), 0);
    ASSERT_EQ(stat((t / "out/b").c_str(), &b), 0);
    ASSERT_EQ(stat((t / "out/c").c_str(), &c), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(a.st_nlink, 2u);
    EXPECT_NE(a.st_ino, c.st_ino);
}

// A move never replaces; across file systems the file keeps its owner and set-id bits
// where the process may give them (root), as a move by hand does.
TEST(Transfer, MovesNeverReplaceAndKeepTheOwnerAcrossFileSystems) {
    TempDir t;
    writeFile(t / "a", "A");
    writeFile(t / "b", "B");
    EXPECT_FALSE(moveEntry(t / "a", t / "b", {}));
    EXPECT_EQ(lastError(), EEXIST);
    EXPECT_EQ(readFile(t / "b"), "B");

    if (access("/dev/shm", W_OK) != 0 || sameFileSystem("/dev/shm", t.path()))
        GTEST_SKIP() << "no second file system at /dev/shm on this machine";
    TempDir other("/dev/shm");
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown((t / "a").c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(chmod((t / "a").c_str(), root ? 04755 : 0640), 0);
    ASSERT_TRUE(moveEntry(t / "a", other / "a", {}));
    EXPECT_FALSE(entryAt(t / "a").exists);
    EXPECT_EQ(readFile(other / "a"), "A");
    struct stat st {};
    ASSERT_EQ(stat((other / "a").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, root ? 04755u : 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
}

TEST(Transfer, FoldersAreMadeBelowTheRootOnlyAndNeverThroughALink) {
    TempDir t;
    ASSERT_EQ(mkdir((t / "root").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((t / "elsewhere").c_str(), 0755), 0);
    ASSERT_EQ(symlink((t / "elsewhere").c_str(), (t / "root/link").c_str()), 0);
    writeFile(t / "root/file", "f");
    EXPECT_TRUE(makeFoldersBelow(t / "root", t / "root/a/b/c"));
    EXPECT_TRUE(entryAt(t / "root/a/b/c").type == S_IFDIR);
    EXPECT_FALSE(makeFoldersBelow(t / "root", t / "root/link/x"));
    EXPECT_EQ(lastError(), ENOTDIR);
    EXPECT_FALSE(makeFoldersBelow(t / "root", t / "root/file/x"));
    EXPECT_EQ(lastError(), ENOTDIR);
    EXPECT_FALSE(makeFoldersBelow(t / "gone", t / "gone/x"));
    EXPECT_EQ(lastError(), ENOENT);
    EXPECT_FALSE(entryAt(t / "gone").exists);
    EXPECT_EQ(entriesIn(t / "elsewhere"), 0u);
}
