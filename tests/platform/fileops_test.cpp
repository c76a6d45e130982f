#include "platform/errors.h"
#include "platform/fileops.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iterator>

using namespace g3;
using g3test::readFile;
using g3test::TempDir;
using g3test::writeFile;

namespace {

// Fails every piece after the first with code.
CopyFault failAfterFirstPiece(int code) {
    return [code](std::uint64_t written) { return written > 0 ? code : 0; };
}

} // namespace

TEST(CopyFile, RefusesToCopyAFileOntoItselfOrItsHardLink) {
    TempDir t;
    writeFile(t / "a", "precious");
    ASSERT_EQ(link((t / "a").c_str(), (t / "hard").c_str()), 0);
    EXPECT_FALSE(copyFile(t / "a", t / "a"));
    EXPECT_FALSE(copyFile(t / "a", t / "hard"));
    EXPECT_EQ(readFile(t / "a"), "precious");
    EXPECT_EQ(readFile(t / "hard"), "precious");
}

TEST(CopyFile, RefusesAReadOnlyDestinationEvenForRoot) {
    TempDir t;
    writeFile(t / "src", "new");
    writeFile(t / "dst", "old");
    chmod((t / "dst").c_str(), 0444);
    EXPECT_FALSE(copyFile(t / "src", t / "dst"));
    EXPECT_EQ(lastError(), EACCES);
    EXPECT_EQ(readFile(t / "dst"), "old");
}

TEST(CopyFile, NeverOpensAFifoAndFailsAtOnce) {
    TempDir t;
    ASSERT_EQ(mkfifo((t / "fifo").c_str(), 0644), 0);
    // Opening the FIFO would block here for ever; returning at all is the check.
    EXPECT_FALSE(copyFile(t / "fifo", t / "out"));
    EXPECT_FALSE(pathExists(t / "out"));
}

TEST(CopyFile, KeepsModeAndLastWriteTime) {
    TempDir t;
    writeFile(t / "src", std::string(100000, 'x'));
    chmod((t / "src").c_str(), 0751);
    struct timespec times[2] = {{1000000000, 0}, {1234567890, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, (t / "src").c_str(), times, 0), 0);
    ASSERT_TRUE(copyFile(t / "src", t / "dst"));
    struct stat st {};
    ASSERT_EQ(stat((t / "dst").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(readFile(t / "dst"), std::string(100000, 'x'));
}

// A large new copy stands under its real name only when it is whole, so one cut short by
// a crash never passes for the newer file. The copy leaves the set-user and set-group
// bits off, as it does not take the source's owner.
TEST(CopyFile, LargeNewCopyAppearsWholeAndSetIdBitsAreDropped) {
    TempDir t;
    writeFile(t / "src", std::string(4 << 20, 's'));
    chmod((t / "src").c_str(), 06755);
    bool visibleWhileCopying = false;
    ASSERT_TRUE(copyFile(t / "src", t / "dst", false, [&](std::uint64_t, std::uint64_t) {
        struct stat st {};
        if (lstat((t / "dst").c_str(), &st) == 0) visibleWhileCopying = true;
        return true;
    }));
    EXPECT_FALSE(visibleWhileCopying);
    struct stat st {};
    ASSERT_EQ(stat((t / "dst").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_EQ(readFile(t / "dst"), std::string(4 << 20, 's'));
}

TEST(CopyFile, AFailedOverwriteKeepsTheOldDestinationAndLeavesNoTemporary) {
    TempDir t;
    writeFile(t / "src", std::string(3 << 20, 'n'));
    writeFile(t / "dst", "old contents");
    EXPECT_FALSE(copyFile(t / "src", t / "dst", false, {}, false, failAfterFirstPiece(ENOSPC)));
    EXPECT_EQ(lastError(), ENOSPC);
    EXPECT_EQ(readFile(t / "dst"), "old contents");
    auto entries = std::distance(std::filesystem::directory_iterator(t.path()),
                                 std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 2) << "the temporary file was left behind";
    EXPECT_FALSE(copyFile(t / "src", t / "dst", /*failIfExists=*/true));
    EXPECT_TRUE(copyFile(t / "src", t / "dst"));
    EXPECT_EQ(readFile(t / "dst").size(), std::size_t(3 << 20));
}

// A new destination is written under its own name: a failure removes the partial file, and
// a name that is taken after all (a dangling link) is replaced only when allowed.
TEST(CopyFile, NewDestinationsFailWithoutTraceAndTakenNamesAreReplacedSafely) {
    TempDir t;
    writeFile(t / "src", std::string(5 << 20, 'n'));
    EXPECT_FALSE(copyFile(t / "src", t / "new", false, {}, false, failAfterFirstPiece(EIO)));
    EXPECT_EQ(lastError(), EIO);
    EXPECT_FALSE(pathExists(t / "new"));

    ASSERT_EQ(symlink("nowhere", (t / "dangling").c_str()), 0);
    EXPECT_FALSE(copyFile(t / "src", t / "dangling", /*failIfExists=*/true));
    EXPECT_EQ(lastError(), EEXIST);
    struct stat st {};
    ASSERT_EQ(lstat((t / "dangling").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_FALSE(pathExists(t / "nowhere"));
    EXPECT_TRUE(copyFile(t / "src", t / "dangling"));
    ASSERT_EQ(lstat((t / "dangling").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "the link is replaced, not written through";
    EXPECT_EQ(st.st_size, 5 << 20);
    EXPECT_FALSE(pathExists(t / "nowhere"));
}

// Files of several pieces are copied beside the caller, who gets the hook meanwhile.
TEST(CopyFile, LargeCopiesReportProgressAndFailCleanly) {
    TempDir t;
    std::string data(20 << 20, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 2654435761u >> 11);
    writeFile(t / "src", data);
    std::uint64_t last = 0, lastTotal = 0;
    EXPECT_TRUE(copyFile(t / "src", t / "dst", false, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_GE(done, last) << "progress never goes back";
        last = done;
        lastTotal = total;
        return true;
    }));
    EXPECT_EQ(last, data.size());
    EXPECT_EQ(lastTotal, data.size());
    EXPECT_TRUE(readFile(t / "dst") == data);

    const CopyProgress going = [](std::uint64_t, std::uint64_t) { return true; };
    EXPECT_FALSE(copyFile(t / "src", t / "new", false, going, false, failAfterFirstPiece(EIO)));
    EXPECT_EQ(lastError(), EIO);
    EXPECT_FALSE(pathExists(t / "new"));
    EXPECT_FALSE(copyFile(t / "src", t / "dst", false, going, false, failAfterFirstPiece(EIO)));
    EXPECT_TRUE(readFile(t / "dst") == data) << "the old destination stays";
}

TEST(CopyFile, ProgressHookCanCancelAndRunsBetweenPieces) {
    TempDir t;
    writeFile(t / "src", std::string(20 << 20, 'p'));
    int calls = 0;
    EXPECT_FALSE(copyFile(t / "src", t / "dst", false, [&](std::uint64_t, std::uint64_t) {
        return ++calls < 2;
    }));
    EXPECT_EQ(lastError(), ECANCELED);
    EXPECT_FALSE(pathExists(t / "dst"));
}

TEST(DeleteAndFolders, ReadOnlyFilesAreNotDeletedAndParentsAreMade) {
    TempDir t;
    writeFile(t / "ro", "x");
    chmod((t / "ro").c_str(), 0444);
    EXPECT_FALSE(deleteFile(t / "ro"));
    EXPECT_TRUE(pathExists(t / "ro"));

    std::string deep = t / "a/b/c";
    EXPECT_FALSE(createDirectory(deep));
    EXPECT_TRUE(forceDirectories(deep));
    EXPECT_TRUE(isFolder(deep));
    EXPECT_TRUE(forceDirectories(deep));
    EXPECT_TRUE(isFolder("/"));
    EXPECT_EQ(fileSizeOf(t / "missing"), -1);
    EXPECT_EQ(fileSizeOf(t / "ro"), 1);
}
