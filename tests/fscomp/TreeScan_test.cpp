#include "fscomp/TreeScan.h"

#include "platform/findfile.h"
#include "platform/paths.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace g3 {
namespace {

namespace fs = std::filesystem;

class TreeScannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/g3-scan-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        chmod(root.c_str(), 0755); // open to the unprivileged walk
        scanner->MessagePump = [this] { ++pumps; };
        scanner->setInitialDirectory(root);
        scanner->OnDirectoryFound = [this](TTreeScanner& s) { log.push_back("D " + rel(s.FileFound())); };
        scanner->OnFileFound = [this](TTreeScanner& s) { log.push_back("F " + rel(s.FileFound())); };
        scanner->OnDirectoryDone = [this](TTreeScanner& s) { log.push_back("E " + rel(s.FileFound())); };
        scanner->OnSearchDone = [this](TTreeScanner&) { log.push_back("S"); };
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string rel(const std::string& p) const { return p.substr(root.size()); }
    void file(const std::string& r, off_t size = 0) {
        std::string p = joinPath(root, r);
        fs::create_directories(parentFolder(p));
        int fd = open(p.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
    }

    std::string root;
    TTreeScannerPtr scanner = makeTreeScanner();
    std::vector<std::string> log;
    int pumps = 0;
};

TEST_F(TreeScannerTest, MaskListIsSortedWithoutDuplicates) {
    scanner->setFileMaskCommaText("b*, A* a*,\"my file*\",");
    EXPECT_EQ(scanner->Masks(), (std::vector<std::string>{"A*", "b*", "my file*"}));
    EXPECT_EQ(scanner->FileMask(), "A*");
    EXPECT_EQ(scanner->FileMaskCommaText(), "A*,b*,\"my file*\"");
    scanner->setFileMask("");
    EXPECT_TRUE(scanner->Masks().empty());
}

TEST_F(TreeScannerTest, DepthFirstAlphabeticalOrderAndHiddenRules) {
    for (const char* f : {"b.txt", "A.txt", "x.doc", ".h.txt", "C/c.txt", "a/z.txt", "a/B/y.txt", ".hid/q.txt"})
        file(f);
    fs::create_symlink(root, joinPath(root, "a/loop"));
    scanner->setFileMaskCommaText("*.txt,a*");
    scanner->Search();
    EXPECT_EQ(scanner->InitialDirectory(), root + "/");
    EXPECT_EQ(log, (std::vector<std::string>{"D /", "F /A.txt", "F /b.txt", "D /a/", "F /a/z.txt", "D /a/B/",
                                             "F /a/B/y.txt", "E /a/B/y.txt", "E /a/B/y.txt", "D /C/",
                                             "F /C/c.txt", "E /C/c.txt", "E /C/c.txt", "S"}));
    log.clear();
    scanner->FindHiddenFiles = scanner->FindHiddenFolders = true;
    scanner->Recursive = false;
    scanner->Search();
    EXPECT_EQ(log, (std::vector<std::string>{"D /", "F /.h.txt", "F /A.txt", "F /b.txt", "E /b.txt", "S"}));
}

TEST_F(TreeScannerTest, FileSizeIsTheLow32Bits) {
    file("big.bin", 5'000'000'000LL);
    scanner->setFileMask("*.bin");
    std::uint32_t low = 0;
    std::uint64_t full = 0;
    scanner->OnFileFound = [&](TTreeScanner& s) { low = s.FileSize(); full = s.FileSize64(); };
    scanner->Search();
    EXPECT_EQ(low, 705'032'704u);
    EXPECT_EQ(full, 5'000'000'000ull);
    EXPECT_EQ(scanner->FileSize(), 0u);
}

TEST_F(TreeScannerTest, MasksFrozenAndStopFromThePump) {
    for (const char* f : {"a/a1/f", "a/a2/f", "b/f"}) file(f);
    scanner->setFileMask("*");
    scanner->OnDirectoryFound = [this](TTreeScanner& s) {
        s.setFileMask("other");
        log.push_back("D " + rel(s.FileFound()));
    };
    scanner->MessagePump = [this] {
        if (++pumps == 4) scanner->ContinueSearch = false; // before a/a2
    };
    scanner->Search();
    EXPECT_EQ(scanner->FileMask(), "*");
    EXPECT_EQ(log, (std::vector<std::string>{"D /", "D /a/", "D /a/a1/", "F /a/a1/f", "E /a/a1/f", "E /a/a1/f",
                                             "E /a/a1/f", "S"}));
}

TEST_F(TreeScannerTest, ReleaseDuringAScanFreesAfterIt) {
    file("a/f");
    file("b/f");
    auto* raw = scanner.get();
    raw->MessagePump = [this] {
        if (++pumps == 2) scanner.reset(); // the owner frees it from inside the pump
    };
    raw->Search();
    EXPECT_EQ(log, (std::vector<std::string>{"D /"}));
}

TEST_F(TreeScannerTest, UnreadableFolderCountsAsEmpty) {
    for (const char* f : {"locked/a.txt", "locked/inner/b.txt", "open/c.txt"}) file(f);
    chmod(joinPath(root, "open").c_str(), 0755);
    chmod(joinPath(root, "locked").c_str(), 0);
    scanner->setFileMask("*.txt");
    auto outcome = g3test::runUnprivileged([&] {
        scanner->Search();
        return log == std::vector<std::string>{"D /", "D /locked/", "E /locked/", "D /open/", "F /open/c.txt",
                                               "E /open/c.txt", "E /open/c.txt", "S"};
    });
    chmod(joinPath(root, "locked").c_str(), 0755);
    if (outcome == g3test::Unprivileged::NotPossible) GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(outcome, g3test::Unprivileged::Passed);
}

TEST_F(TreeScannerTest, VanishedFoldersAreSkipped) {
    for (const char* f : {"a/x.txt", "a/deep/y.txt", "b/z.txt", "c/w.txt"}) file(f);
    scanner->setFileMask("*.txt");
    scanner->OnDirectoryFound = [this](TTreeScanner& s) {
        log.push_back("D " + rel(s.FileFound()));
        if (rel(s.FileFound()) == "/a/") {
            fs::remove_all(joinPath(root, "a")); // the folder itself, before it is listed
            fs::remove_all(joinPath(root, "b")); // a sibling already listed by the parent
        }
    };
    scanner->Search();
    EXPECT_EQ(log, (std::vector<std::string>{"D /", "D /a/", "E /a/", "D /b/", "E /b/", "D /c/", "F /c/w.txt",
                                             "E /c/w.txt", "E /c/w.txt", "S"}));
}

TEST_F(TreeScannerTest, LinkedFolderIsNotDescended) {
    file("elsewhere/far.txt");
    file("tree/near.txt");
    fs::create_symlink(joinPath(root, "elsewhere"), joinPath(root, "tree/away"));
    fs::create_symlink("..", joinPath(root, "tree/up"));
    scanner->setInitialDirectory(joinPath(root, "tree"));
    scanner->setFileMask("*");
    scanner->Search();
    EXPECT_EQ(log, (std::vector<std::string>{"D /tree/", "F /tree/near.txt", "E /tree/near.txt", "S"}))
        << "links to folders are neither entered nor reported as files";
}

// A scan of "/" stopped below the first level: every folder of the root is found, and
// none of the pseudo file systems among them.
TEST_F(TreeScannerTest, RootScanLeavesPseudoFileSystemsOut) {
    std::vector<std::string> level1;
    scanner->setInitialDirectory("/");
    scanner->setFileMask("\x01no file has this name");
    scanner->OnFileFound = nullptr;
    scanner->OnDirectoryDone = nullptr;
    scanner->OnSearchDone = nullptr;
    scanner->OnDirectoryFound = [&](TTreeScanner& s) {
        // Listings after the root's own yield no subfolders.
        if (s.FileFound() != "/") {
            s.Recursive = false;
            level1.push_back(s.FileFound());
        }
    };
    scanner->Search();
    EXPECT_EQ(scanner->InitialDirectory(), "/");
    EXPECT_NE(std::find(level1.begin(), level1.end(), "/tmp/"), level1.end());
    for (const char* name : {"proc", "sys"}) {
        if (!isPseudoFileSystemMount(std::string("/") + name)) {
            std::printf("/%s is no pseudo file system mount here: not checked\n", name);
            continue;
        }
        EXPECT_EQ(std::find(level1.begin(), level1.end(), std::string("/") + name + "/"), level1.end()) << name;
    }
}

} // namespace
} // namespace g3
