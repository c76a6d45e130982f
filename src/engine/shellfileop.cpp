#include "engine/shellfileop.h"

#include "platform/dostime.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/findfile.h"
#include "platform/paths.h"
#include "platform/transfer.h"
#include "platform/trash.h"

#include <cerrno>
#include <utility>

namespace g3 {

namespace {

// The names of a folder, read in one go: the operation then never sees entries it creates
// itself while it works on that folder. error receives why the folder could not be read
// (whole), or 0.
std::vector<std::string> namesIn(const std::string& folder, int& error) {
    std::vector<std::string> names;
    FindHandle h;
    FindData d;
    for (bool ok = h.first(joinPath(folder, "*"), d, FindDetail::NameAndType); ok; ok = h.next(d))
        if (!d.isDotOrDotDot()) names.push_back(d.name);
    error = h.error();
    return names;
}

// Number of entries that are not folders in the tree at path (1 for a file or link).
std::uint64_t countFiles(const std::string& path) {
    if (entryKindOf(path) != EntryKind::Folder) return 1;
    std::uint64_t n = 0;
    int error = 0;
    for (const auto& name : namesIn(path, error))
        n += countFiles(joinPath(path, name));
    return n;
}

} // namespace

ShellFileOperation::ShellFileOperation(ShellFileOpRequest request) : req_(std::move(request)) {
    // Paths are taken as what they name: "…/Foo/" is Foo (else its contents would land
    // straight in the destination) and "/a/b/.." is "/a".
    for (auto& src : req_.from)
        src = lexicallyNormal(src);
    req_.to = lexicallyNormal(req_.to);
    trash_ = [](const std::string& path) { return moveToTrash(path); };
}

ShellFileOperation::~ShellFileOperation() {
    wait();
}

std::string ShellFileOperation::explicitTarget() const {
    if (!req_.toIsTarget || req_.from.size() != 1 || isFolder(req_.to)) return {};
    return req_.to;
}

bool ShellFileOperation::findSelfNesting(std::string& folder, std::string& destination) const {
    if (req_.func == FO_DELETE) return false;
    const std::string target = explicitTarget();
    const std::string into = target.empty() ? req_.to : parentFolder(target);
    for (const auto& src : req_.from) {
        if (entryKindOf(src) != EntryKind::Folder) continue;
        if (isSameFolderOrInside(into, src)) {
            folder = src;
            destination = target.empty() ? req_.to : target;
            return true;
        }
    }
    return false;
}

void ShellFileOperation::start() {
    finished_.store(false);
    worker_ = std::thread([this] { run(); });
}

void ShellFileOperation::wait() {
    if (worker_.joinable()) worker_.join();
}

void ShellFileOperation::current(std::string& src, std::string& dst) const {
    std::lock_guard<std::mutex> lock(mutex_);
    src = curSrc_;
    dst = curDst_;
}

std::vector<FileOpError> ShellFileOperation::errors() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return errors_;
}

void ShellFileOperation::setCurrent(const std::string& src, const std::string& dst) {
    std::lock_guard<std::mutex> lock(mutex_);
    curSrc_ = src;
    curDst_ = dst;
}

// The first failure decides the result; a refusal through the error handler cancels.
int ShellFileOperation::fail(const std::string& path, const std::string& target,
                             FileOpProblem problem, int code) {
    FileOpError e{path, target, req_.func, problem, code,
                  req_.func == FO_DELETE && (req_.flags & FOF_ALLOWUNDO) != 0};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        errors_.push_back(e);
    }
    if (result_.load() == 0) result_.store(code ? code : EINVAL);
    if (onError_ && !onError_(e)) cancel();
    return code;
}

int ShellFileOperation::run() {
    result_.store(0);
    std::string folder, dest;
    const std::string target = explicitTarget();
    const std::string into = target.empty() ? req_.to : parentFolder(target);
    if (req_.func != FO_DELETE && !isFolder(into)) {
        // The destination is the folder the user chose; it is never made anew.
        fail(into, {}, FileOpProblem::System, ENOENT);
    } else if (findSelfNesting(folder, dest)) {
        fail(folder, dest, FileOpProblem::IntoItself, EINVAL);
        result_.store(kErrorCancelled);
    } else {
        written_.add(into);
        for (const auto& src : req_.from)
            count(src);
        for (const auto& src : req_.from) {
            if (cancelled()) break;
            if (req_.func == FO_DELETE)
                deleteItem(src);
            else
                transferItem(src, target.empty() ? joinPath(req_.to, namePart(src)) : target);
        }
        if (cancelled()) result_.store(kErrorCancelled);
    }
    setCurrent({}, {});
    finished_.store(true);
    return result_.load();
}

// Totals for the progress window; links and special files count as files of size 0. An
// item that goes to the trash goes whole, and counts as one.
void ShellFileOperation::count(const std::string& path) {
    if (req_.func == FO_DELETE && (req_.flags & FOF_ALLOWUNDO)) {
        filesTotal_ += 1;
        return;
    }
    FindData d;
    if (!findDataOfPath(path, d)) return;
    if (d.isDirectory() && !(d.attributes & faLink)) {
        int error = 0;
        for (const auto& n : namesIn(path, error))
            count(joinPath(path, n));
        return;
    }
    filesTotal_ += 1;
    if (d.attributes & faArchive) bytesTotal_ += d.size;
}

int ShellFileOperation::transferItem(const std::string& src, const std::string& dst) {
    if (cancelled()) return kErrorCancelled;
    switch (entryKindOf(src)) {
    case EntryKind::Missing:
        return fail(src, dst, FileOpProblem::System, lastError());
    case EntryKind::Folder:
        return transferTree(src, dst);
    case EntryKind::File:
    case EntryKind::Link:
        return transferEntry(src, dst);
    case EntryKind::Special:
        filesDone_ += 1;
        return fail(src, dst, FileOpProblem::Special, ENOTSUP);
    }
    return 0;
}

// A folder: renamed whole when it is moved to a new name on the same file system, else
// merged item by item into the destination folder, which is made when missing. A moved
// folder is removed at the end only when everything in it went. A folder the operation
// writes into is never entered as a source, however it is reached (a link, a bind mount).
int ShellFileOperation::transferTree(const std::string& src, const std::string& dst) {
    if (!written_.admits(src)) return fail(src, dst, FileOpProblem::IntoItself, EINVAL);
    if (idOfPath(src, false) == idOfPath(dst, false))
        return fail(src, dst, FileOpProblem::SameFile, EINVAL);
    setCurrent(src, dst);
    if (req_.func == FO_MOVE && !pathExists(dst)) {
        if (moveEntry(src, dst, {})) {
            filesDone_ += countFiles(dst);
            return 0;
        }
        if (lastError() != EXDEV) return fail(src, dst, FileOpProblem::System, lastError());
    }
    // Nothing is written through a link: a link at dst is no folder to merge into.
    EntryKind k = entryKindOf(dst);
    if (k != EntryKind::Missing && k != EntryKind::Folder)
        return fail(src, dst, FileOpProblem::NotFolder, ENOTDIR);
    if (k == EntryKind::Missing && !createDirectory(dst))
        return fail(src, dst, FileOpProblem::System, lastError());
    written_.add(dst);
    int error = 0;
    std::vector<std::string> names = namesIn(src, error);
    if (error) return fail(src, dst, FileOpProblem::System, error);
    for (const auto& n : names) {
        if (cancelled()) return kErrorCancelled;
        transferItem(joinPath(src, n), joinPath(dst, n));
    }
    if (req_.func == FO_MOVE) removeDirectory(src);
    return 0;
}

bool ShellFileOperation::decideReplace(const std::string& src, const std::string& dst) {
    if ((req_.flags & FOF_NOCONFIRMATION) || replaceAll_) return true;
    if (!question_) return false;
    ReplaceInfo info;
    info.src = src;
    info.dst = dst;
    FindData s, d;
    if (findDataOfPath(src, s)) {
        info.srcSize = static_cast<std::int64_t>(s.size);
        info.srcTime = formatFileTimeLong(s.lastWriteTime);
    }
    if (findDataOfPath(dst, d)) {
        info.dstSize = static_cast<std::int64_t>(d.size);
        info.dstTime = formatFileTimeLong(d.lastWriteTime);
    }
    switch (question_(info)) {
    case ReplaceAnswer::Yes:
        return true;
    case ReplaceAnswer::YesToAll:
        replaceAll_ = true;
        return true;
    case ReplaceAnswer::No:
        return false;
    case ReplaceAnswer::Cancel:
        cancel();
        return false;
    }
    return false;
}

// A regular file or a link (as a link: its target is never followed). The source of a
// move goes only after its copy is complete.
int ShellFileOperation::transferEntry(const std::string& src, const std::string& dst) {
    setCurrent(src, dst);
    const std::uint64_t base = bytesDone_.load();
    FindData s;
    const std::uint64_t size = findDataOfPath(src, s) && (s.attributes & faArchive) ? s.size : 0;
    auto finish = [&] {
        filesDone_ += 1;
        bytesDone_.store(base + size);
    };
    EntryKind k = entryKindOf(dst);
    if (k == EntryKind::Folder) return finish(), fail(src, dst, FileOpProblem::NotFolder, EISDIR);
    if (k != EntryKind::Missing) {
        if (isSameFile(src, dst)) return finish(), fail(src, dst, FileOpProblem::SameFile, EINVAL);
        if (!decideReplace(src, dst)) return cancelled() ? kErrorCancelled : (finish(), 0);
    }
    TransferOptions o;
    o.replace = true;
    o.keepOwner = req_.func == FO_MOVE;
    o.links = &links_;
    o.fault = fault_;
    o.progress = [this, base](std::uint64_t done, std::uint64_t) {
        bytesDone_.store(base + done);
        return !cancelled();
    };
    bool moving = req_.func == FO_MOVE;
    bool ok = moving && k == EntryKind::Missing ? moveEntry(src, dst, o) : copyEntry(src, dst, o);
    if (!ok) {
        if (cancelled()) return kErrorCancelled;
        return finish(), fail(src, dst, FileOpProblem::System, lastError());
    }
    if (moving && k != EntryKind::Missing && !deleteFile(src))
        fail(src, dst, FileOpProblem::System, lastError());
    finish();
    return 0;
}

// Without FOF_ALLOWUNDO a tree is deleted for good, files first; with it every item goes
// whole to the trash, and one that cannot stays where it is and is reported.
int ShellFileOperation::deleteItem(const std::string& path) {
    setCurrent(path, {});
    if (req_.flags & FOF_ALLOWUNDO) {
        const int error = trash_ ? trash_(path) : ENOTSUP;
        filesDone_ += 1;
        return error ? fail(path, {}, FileOpProblem::System, error) : 0;
    }
    if (entryKindOf(path) == EntryKind::Folder) {
        int error = 0;
        std::vector<std::string> names = namesIn(path, error);
        if (error) return fail(path, {}, FileOpProblem::System, error);
        for (const auto& n : names) {
            if (cancelled()) return kErrorCancelled;
            deleteItem(joinPath(path, n));
        }
        return removeDirectory(path) ? 0 : fail(path, {}, FileOpProblem::System, lastError());
    }
    filesDone_ += 1;
    return deleteFile(path) ? 0 : fail(path, {}, FileOpProblem::System, lastError());
}

} // namespace g3
