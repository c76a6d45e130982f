#include "archive/libs/freezejob.h"

#include "archive/archiverapi.h"
#include "archive/libs/archivehandles.h"
#include "archive/libs/thawjob.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/paths.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>

namespace g3 {

namespace {

using Entry = std::unique_ptr<struct archive_entry, decltype(&archive_entry_free)>;

// The name a file takes inside the archive: its clean form, without a leading "/".
std::string storedName(const std::string& name) {
    std::size_t start = name.find_first_not_of('/');
    EntryProblem why;
    auto clean = cleanEntryName(start == std::string::npos ? "" : name.substr(start), why);
    return clean ? *clean : std::string();
}

// The process's file-creation mask (from the kernel's status; umask() itself would have
// to change it for a moment, under the other threads' feet).
mode_t creationMask() {
    std::ifstream f("/proc/self/status");
    std::string key;
    while (f >> key) {
        if (key == "Umask:") {
            std::string v;
            f >> v;
            return static_cast<mode_t>(std::stoul(v, nullptr, 8));
        }
    }
    return 022;
}

} // namespace

FreezeJob::FreezeJob(std::string archive, std::string base, std::vector<std::string> names)
    : ArchiverJob(Kind::Freeze, std::move(archive)), base_(std::move(base)),
      names_(std::move(names)) {}

int FreezeJob::work() {
    std::uint64_t total = 0;
    for (const std::string& n : names_) {
        struct stat st {};
        if (lstat(joinPath(base_, n).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            total += static_cast<std::uint64_t>(st.st_size);
    }
    bytesTotal_.store(total);

    bool replace = false;
    struct stat existing {};
    if (lstat(archive().c_str(), &existing) == 0) {
        const bool asked = canAsk();
        ReplaceInfo info{archive(), existing.st_size, -1, localTimeText(existing.st_mtime), ""};
        ReplaceAnswer a = askReplace(info);
        if (a == ReplaceAnswer::Cancel) return kArchiverCancelled;
        if (a == ReplaceAnswer::No) {
            if (!asked) addError({}, EntryProblem::ArchiveExists);
            return asked ? kArchiverCancelled : kArchiverCannotWrite;
        }
        replace = true;
    }

    TempFile temp(archive());
    if (!temp.isOpen()) {
        addError({}, EntryProblem::System, errno);
        return kArchiverCannotWrite;
    }
    WriteArchive out(archive_write_new());
    archive_write_set_format_7zip(out.get());
    archive_write_set_format_option(out.get(), "7zip", "compression", "lzma2");
    if (archive_write_open_fd(out.get(), temp.fd()) != ARCHIVE_OK) {
        addError({}, EntryProblem::System, archive_errno(out.get()));
        return kArchiverCannotWrite;
    }
    for (const std::string& n : names_) {
        if (cancelled()) return kArchiverCancelled; // the temporary file goes with `temp`
        if (!freezeOne(out.get(), n)) return kArchiverCannotWrite;
    }
    if (archive_write_close(out.get()) != ARCHIVE_OK) {
        addError({}, EntryProblem::System, archive_errno(out.get()));
        return kArchiverCannotWrite;
    }
    if (cancelled()) return kArchiverCancelled;
    fchmod(temp.fd(), 0666 & ~creationMask());
    if (int e = temp.renameInto(archive(), replace); e != 0) {
        addError({}, e == EEXIST ? EntryProblem::ArchiveExists : EntryProblem::System, e);
        return kArchiverCannotWrite;
    }
    setCurrent({});
    return kArchiverOk;
}

bool FreezeJob::freezeOne(struct archive* out, const std::string& name) {
    setCurrent(name);
    const std::string path = joinPath(base_, name);
    const std::string stored = storedName(name);
    if (stored.empty() || !isValidUtf8(stored)) {
        addError(name, EntryProblem::BadName);
        return true;
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        addError(name, errno == ENOENT ? EntryProblem::Missing : EntryProblem::System, errno);
        return true;
    }
    Entry e(archive_entry_new(), &archive_entry_free);
    archive_entry_set_pathname(e.get(), stored.c_str());
    archive_entry_set_mtime(e.get(), st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    UniqueFd fd;
    if (S_ISLNK(st.st_mode)) {
        std::string target(static_cast<std::size_t>(st.st_size) + 1, '\0');
        ssize_t len = readlink(path.c_str(), target.data(), target.size());
        if (len < 0) {
            addError(name, EntryProblem::System, errno);
            return true;
        }
        target.resize(static_cast<std::size_t>(len));
        archive_entry_set_filetype(e.get(), AE_IFLNK);
        archive_entry_set_perm(e.get(), 0777);
        archive_entry_set_symlink(e.get(), target.c_str());
    } else if (S_ISREG(st.st_mode)) {
        fd = openRegularFile(path, st);
        if (!fd) {
            addError(name, errno == ENOENT ? EntryProblem::Missing : EntryProblem::System, errno);
            return true;
        }
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), st.st_mode & 0777);
        archive_entry_set_size(e.get(), st.st_size);
    } else {
        addError(name, S_ISDIR(st.st_mode) ? EntryProblem::FolderInTheWay : EntryProblem::Special);
        return true;
    }
    int r = archive_write_header(out, e.get());
    if (r == ARCHIVE_FATAL) {
        addError(name, EntryProblem::System, archive_errno(out));
        return false;
    }
    if (r < ARCHIVE_WARN) {
        addError(name, EntryProblem::BadName);
        return true;
    }
    if (!fd) {
        entriesDone_.fetch_add(1);
        return true;
    }
    // The header promised st_size bytes: a file that shrinks meanwhile is padded, one that
    // grows is cut, so the archive stays consistent.
    std::unique_ptr<char[]> buf(new char[256 * 1024]);
    std::int64_t left = st.st_size;
    while (left > 0) {
        if (cancelled()) return true;
        ssize_t got = read(fd.get(), buf.get(),
                           static_cast<std::size_t>(std::min<std::int64_t>(left, 256 * 1024)));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got < 0)
                addError(name, EntryProblem::System, errno);
            else
                addError(name, EntryProblem::System, EIO);
            std::fill_n(buf.get(), 256 * 1024, '\0');
            while (left > 0) {
                la_ssize_t w = archive_write_data(
                    out, buf.get(),
                    static_cast<std::size_t>(std::min<std::int64_t>(left, 256 * 1024)));
                if (w < 0) return false;
                left -= w;
            }
            return true;
        }
        la_ssize_t w = archive_write_data(out, buf.get(), static_cast<std::size_t>(got));
        if (w < 0) {
            addError(name, EntryProblem::System, archive_errno(out));
            return false;
        }
        left -= got;
        bytesDone_.fetch_add(static_cast<std::uint64_t>(got));
    }
    entriesDone_.fetch_add(1);
    return true;
}

} // namespace g3
