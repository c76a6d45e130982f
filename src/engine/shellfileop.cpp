#include "engine/shellfileop.h"

#include "engine/fileprobe.h"
#include "platform/dostime.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/findfile.h"
#include "platform/paths.h"

#include <cerrno>
#include <utility>

namespace g3 {

namespace {

// The names of a folder, read in one go: the operation then never sees entries it creates
// itself while it works on that folder.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    FindHandle h;
    FindData d;
    for (bool ok = h.first(joinPath(folder, "*"), d, FindDetail::NameAndType); ok; ok = h.next(d))
        if (!d.isDotOrDotDot()) names.push_back(d.name);
    return names;
}

} // namespace

ShellFileOperation::ShellFileOperation(ShellFileOpRequest request) : req_(std::move(request)) {
    // "…/Foo/" names Foo: without the trailing "/" its last part would be empty and its
    // contents would land straight in the destination.
    for (auto& src : req_.from) src = currentFolderForm(src);
}

ShellFileOperation::~ShellFileOperation() { wait(); }

bool ShellFileOperation::findSelfNesting(std::string& folder, std::string& destination) const {
    if (req_.func == FO_DELETE) return false;
    for (const auto& src : req_.from) {
        if (entryKindOf(src) != EntryKind::Folder) continue;
        if (isSameFolderOrInside(req_.to, src)) {
            folder = src;
            destination = req_.to;
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
    FileOpError e{path, target, req_.func, problem, code};
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
    if (findSelfNesting(folder, dest)) {
        fail(folder, dest, FileOpProblem::IntoItself, EINVAL);
        result_.store(kErrorCancelled);
        finished_.store(true);
        return kErrorCancelled;
    }
    for (const auto& src : req_.from) count(src);
    for (const auto& src : req_.from) {
        if (cancelled()) break;
        if (req_.func == FO_DELETE)
            deleteItem(src);
        else
            transferItem(src, joinPath(req_.to, namePart(src)));
    }
    if (cancelled()) result_.store(kErrorCancelled);
    setCurrent({}, {});
    finished_.store(true);
    return result_.load();
}

// Totals for the progress window; links and special files count as files of size 0.
void ShellFileOperation::count(const std::string& path) {
    FindData d;
    if (!findDataOfPath(path, d)) return;
    if (d.isDirectory() && !(d.attributes & faLink)) {
        for (const auto& n : namesIn(path)) count(joinPath(path, n));
        return;
    }
    filesTotal_ += 1;
    if (d.attributes & faArchive) bytesTotal_ += d.size;
}

int ShellFileOperation::transferItem(const std::string& src, const std::string& dst) {
    if (cancelled()) return kErrorCancelled;
    switch (entryKindOf(src)) {
    case EntryKind::Missing: return fail(src, dst, FileOpProblem::System, lastError());
    case EntryKind::Link: return transferLink(src, dst);
    case EntryKind::Folder: return transferTree(src, dst);
    case EntryKind::File: return transferFile(src, dst);
    case EntryKind::Special: filesDone_ += 1; return fail(src, dst, FileOpProblem::Special, ENOTSUP);
    }
    return 0;
}

// A folder: renamed whole when it is moved to a new name on the same file system, else
// merged item by item into the destination folder, which is created when missing. A moved
// folder is removed at the end only when everything in it went.
int ShellFileOperation::transferTree(const std::string& src, const std::string& dst) {
    if (sameEntry(src, dst)) return fail(src, dst, FileOpProblem::SameFile, EINVAL);
    setCurrent(src, dst);
    if (req_.func == FO_MOVE && !pathExists(dst)) {
        if (moveFile(src, dst)) {
            filesDone_ += countFiles(dst);
            return 0;
        }
        if (lastError() != EXDEV) return fail(src, dst, FileOpProblem::System, lastError());
    }
    EntryKind k = entryKindOf(dst);
    if (k != EntryKind::Missing && k != EntryKind::Folder)
        return fail(src, dst, FileOpProblem::NotFolder, ENOTDIR);
    if (k == EntryKind::Missing && !forceDirectories(dst))
        return fail(src, dst, FileOpProblem::System, lastError());
    for (const auto& n : namesIn(src)) {
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
    case ReplaceAnswer::Yes: return true;
    case ReplaceAnswer::YesToAll: replaceAll_ = true; return true;
    case ReplaceAnswer::No: return false;
    case ReplaceAnswer::Cancel: cancel(); return false;
    }
    return false;
}

// A regular file. The source of a move goes only after its copy is complete.
int ShellFileOperation::transferFile(const std::string& src, const std::string& dst) {
    setCurrent(src, dst);
    const std::uint64_t base = bytesDone_.load();
    std::int64_t size = fileSizeOf(src);
    auto finish = [&] {
        filesDone_ += 1;
        bytesDone_.store(base + (size > 0 ? static_cast<std::uint64_t>(size) : 0));
    };
    EntryKind k = entryKindOf(dst);
    if (k == EntryKind::Folder) return finish(), fail(src, dst, FileOpProblem::NotFolder, EISDIR);
    if (k != EntryKind::Missing) {
        if (sameEntry(src, dst)) return finish(), fail(src, dst, FileOpProblem::SameFile, EINVAL);
        if (!decideReplace(src, dst)) return cancelled() ? kErrorCancelled : (finish(), 0);
    }
    CopyProgress progress = [this, base](std::uint64_t done, std::uint64_t) {
        bytesDone_.store(base + done);
        return !cancelled();
    };
    bool ok = (req_.func == FO_MOVE && k == EntryKind::Missing)
                  ? moveFile(src, dst, progress)
                  : copyFile(src, dst, false, progress);
    if (!ok) {
        if (cancelled()) return kErrorCancelled;
        return finish(), fail(src, dst, FileOpProblem::System, lastError());
    }
    if (req_.func == FO_MOVE && k != EntryKind::Missing && !deleteFile(src))
        fail(src, dst, FileOpProblem::System, lastError());
    finish();
    return 0;
}

// A symbolic link is copied or moved as a link; its target is never followed.
int ShellFileOperation::transferLink(const std::string& src, const std::string& dst) {
    setCurrent(src, dst);
    filesDone_ += 1;
    EntryKind k = entryKindOf(dst);
    if (k == EntryKind::Folder) return fail(src, dst, FileOpProblem::NotFolder, EISDIR);
    if (k != EntryKind::Missing) {
        if (sameEntry(src, dst)) return fail(src, dst, FileOpProblem::SameFile, EINVAL);
        if (!decideReplace(src, dst)) return cancelled() ? kErrorCancelled : 0;
    }
    bool ok = req_.func == FO_MOVE && k == EntryKind::Missing ? moveLink(src, dst)
                                                             : replaceWithLink(src, dst);
    if (!ok) return fail(src, dst, FileOpProblem::System, lastError());
    if (req_.func == FO_MOVE && k != EntryKind::Missing) deleteFile(src);
    return 0;
}

// Without FOF_ALLOWUNDO a tree is deleted for good, files first; with it every item goes
// to the trash handler (the recycle bin), and without one the delete is refused.
int ShellFileOperation::deleteItem(const std::string& path) {
    setCurrent(path, {});
    if (req_.flags & FOF_ALLOWUNDO) {
        filesDone_ += countFiles(path);
        if (!trash_) return fail(path, {}, FileOpProblem::System, ENOTSUP);
        return trash_(path) ? 0 : fail(path, {}, FileOpProblem::System, lastError());
    }
    if (entryKindOf(path) == EntryKind::Folder) {
        for (const auto& n : namesIn(path)) {
            if (cancelled()) return kErrorCancelled;
            deleteItem(joinPath(path, n));
        }
        return removeDirectory(path) ? 0 : fail(path, {}, FileOpProblem::System, lastError());
    }
    filesDone_ += 1;
    return deleteFile(path) ? 0 : fail(path, {}, FileOpProblem::System, lastError());
}

} // namespace g3
