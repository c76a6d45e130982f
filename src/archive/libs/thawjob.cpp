#include "archive/libs/thawjob.h"

#include "archive/archiverapi.h"
#include "archive/libs/archivehandles.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/paths.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

namespace g3 {

std::string entryNameUtf8(std::string_view raw) {
    return windowsTextToUtf8(raw);
}

namespace {

// Calls each component of a "/"-separated text, empty ones included.
template <class F> void forEachComponent(std::string_view s, F f) {
    std::size_t start = 0;
    for (;;) {
        std::size_t slash = s.find('/', start);
        f(s.substr(start,
                   slash == std::string_view::npos ? std::string_view::npos : slash - start));
        if (slash == std::string_view::npos) return;
        start = slash + 1;
    }
}

} // namespace

std::optional<std::string> cleanEntryName(std::string_view name, EntryProblem& problem) {
    if (!name.empty() && name.front() == '/') {
        problem = EntryProblem::Absolute;
        return std::nullopt;
    }
    std::string clean;
    bool dotdot = false;
    forEachComponent(name, [&](std::string_view c) {
        if (c.empty() || c == ".") return;
        if (c == "..") dotdot = true;
        if (!clean.empty()) clean += '/';
        clean += c;
    });
    if (dotdot) {
        problem = EntryProblem::DotDot;
        return std::nullopt;
    }
    return clean;
}

bool linkStaysInside(std::string_view name, std::string_view target) {
    if (target.empty() || target.front() == '/') return false;
    long depth = 0; // folders between the destination and the link
    for (char c : name)
        depth += c == '/';
    bool descended = false, inside = true;
    forEachComponent(target, [&](std::string_view c) {
        if (c.empty() || c == ".") return;
        if (c != "..") {
            descended = true;
            return;
        }
        if (descended || depth == 0) inside = false;
        --depth;
    });
    return inside;
}

namespace {

bool contains(const char* text, const char* part) {
    return text && std::string_view(text).find(part) != std::string_view::npos;
}

bool isSystemErrno(int e) {
    switch (e) {
    case ENOENT:
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENOTDIR:
    case ENOSPC:
    case EDQUOT:
    case EIO:
    case ENOMEM:
    case ENAMETOOLONG:
    case EROFS:
    case EEXIST:
    case EMFILE:
    case ENFILE:
    case EFBIG:
    case ELOOP:
        return true;
    default:
        return false;
    }
}

// Why the reader gave up on an entry or on the archive.
EntryProblem readProblem(struct archive* a, struct archive_entry* e) {
    const char* msg = archive_error_string(a);
    if ((e &&
         (archive_entry_is_data_encrypted(e) > 0 || archive_entry_is_metadata_encrypted(e) > 0)) ||
        contains(msg, "ncrypt") || contains(msg, "assword"))
        return EntryProblem::Encrypted;
    if (contains(msg, "nsupported") || contains(msg, "not supported"))
        return EntryProblem::Unsupported;
    if (contains(msg, "Unrecognized archive format")) return EntryProblem::NotArchive;
    if (isSystemErrno(archive_errno(a))) return EntryProblem::System;
    return EntryProblem::Damaged;
}

// Why the writer refused an entry.
EntryProblem writeProblem(struct archive* out) {
    const char* msg = archive_error_string(out);
    if (contains(msg, "symlink") || contains(msg, "Symlink")) return EntryProblem::ThroughLink;
    if (contains(msg, "'..'")) return EntryProblem::DotDot;
    if (contains(msg, "bsolute")) return EntryProblem::Absolute;
    return EntryProblem::System;
}

std::string detailOf(struct archive* a) {
    const char* msg = archive_error_string(a);
    return msg ? msg : "";
}

// Gives an existing file a hidden name beside it, so that it can be put back; "" when it
// cannot be moved (errno set).
std::string moveAside(const std::string& path) {
    const std::string folder = parentFolder(path);
    for (int i = 0; i < 100; ++i) {
        std::string aside = joinPath(folder, ".g3-thaw-" + std::to_string(getpid()) + "-" +
                                                 std::to_string(i) + ".old");
        int e = renameWithoutReplacing(path, aside);
        if (e == 0) return aside;
        if (e != EEXIST) {
            errno = e;
            return {};
        }
    }
    errno = EEXIST;
    return {};
}

void putBack(const std::string& aside, const std::string& path) {
    if (!aside.empty()) renameWithoutReplacing(aside, path);
}

// The process's current folder moved into a folder for the life of the object, and back to
// where it was after.
class ProcessFolderGuard {
public:
    ProcessFolderGuard() = default;
    ProcessFolderGuard(const ProcessFolderGuard&) = delete;
    ProcessFolderGuard& operator=(const ProcessFolderGuard&) = delete;
    ~ProcessFolderGuard() {
        if (back_) [[maybe_unused]]
            int r = fchdir(back_.get());
    }
    bool enter(const std::string& folder) {
        back_.reset(open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (chdir(folder.c_str()) == 0) return true;
        back_.reset();
        return false;
    }

private:
    UniqueFd back_;
};

} // namespace

struct ThawJob::Run {
    struct archive* in = nullptr;
    struct archive* out = nullptr;
    std::string root;              // the destination, resolved
    std::set<std::string> written; // clean names of the files and links written
    bool fatal = false;
};

ThawJob::ThawJob(std::string archive, std::string destination, unsigned families)
    : ArchiverJob(Kind::Thaw, std::move(archive)), dest_(std::move(destination)),
      families_(families) {}

void ThawJob::setMemory(const void* data, std::size_t size) {
    memory_ = data;
    memorySize_ = size;
}

int ThawJob::work() {
    ReadArchive in(archive_read_new());
    if (families_ & kFamilyLha) archive_read_support_format_lha(in.get());
    if (families_ & kFamilyZip) archive_read_support_format_zip(in.get());
    if (families_ & kFamily7z) archive_read_support_format_7zip(in.get());
    if (families_ & kFamilyCab) archive_read_support_format_cab(in.get());
    if (families_ & kFamilyRar) {
        archive_read_support_format_rar(in.get());
        archive_read_support_format_rar5(in.get());
    }
    int r;
    if (memory_) {
        bytesTotal_.store(memorySize_);
        r = archive_read_open_memory(in.get(), memory_, memorySize_);
    } else {
        struct stat st {};
        if (stat(archive().c_str(), &st) == 0)
            bytesTotal_.store(static_cast<std::uint64_t>(st.st_size));
        r = archive_read_open_filename(in.get(), archive().c_str(), 64 * 1024);
    }
    if (r != ARCHIVE_OK) {
        addError({}, readProblem(in.get(), nullptr), archive_errno(in.get()), detailOf(in.get()));
        return kArchiverCannotRead;
    }
    // The entries are written by names relative to the destination, from inside it: the
    // writer then refuses absolute names and ".." itself, and checks for links only the
    // components below the destination. It goes back to the folder it was in after the
    // writer has closed (folders get their times and modes only then).
    ProcessFolderGuard inDestination;
    WriteArchive out(archive_write_disk_new());
    archive_write_disk_set_options(
        out.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                       ARCHIVE_EXTRACT_SECURE_NOABSOLUTEPATHS | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                       ARCHIVE_EXTRACT_NO_OVERWRITE);
    Run run{in.get(), out.get(), {}, {}, false};
    int unreadable = 0; // headers in a row the reader could not give
    bool anyHeader = false;
    while (!cancelled() && !run.fatal) {
        struct archive_entry* e = nullptr;
        r = archive_read_next_header(in.get(), &e);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) {
            addError({}, readProblem(in.get(), e), archive_errno(in.get()), detailOf(in.get()));
            // A reader that fails in place would fail forever.
            if (r == ARCHIVE_FATAL || ++unreadable > 16) {
                if (!anyHeader) return kArchiverCannotRead;
                break;
            }
            continue;
        }
        unreadable = 0;
        anyHeader = true;
        // The destination is made for the first entry: an archive that cannot be read
        // leaves no empty folder behind.
        if (run.root.empty()) {
            if (!forceDirectories(dest_)) {
                addError({}, EntryProblem::System, errno);
                return kArchiverCannotWrite;
            }
            run.root = resolvedPath(dest_);
            if (!inDestination.enter(run.root)) {
                addError({}, EntryProblem::System, errno);
                return kArchiverCannotWrite;
            }
        }
        thawEntry(run, e);
        bytesDone_.store(static_cast<std::uint64_t>(archive_filter_bytes(in.get(), -1)));
    }
    // Folders get their times and modes only now, after everything inside them.
    if (archive_write_close(out.get()) != ARCHIVE_OK)
        addError({}, EntryProblem::System, archive_errno(out.get()), detailOf(out.get()));
    setCurrent({});
    return kArchiverOk;
}

void ThawJob::thawEntry(Run& run, struct archive_entry* e) {
    const char* raw = archive_entry_pathname(e);
    if (!raw) {
        addError({}, EntryProblem::BadName);
        return;
    }
    const std::string given = entryNameUtf8(raw);
    EntryProblem why = EntryProblem::System;
    std::optional<std::string> clean = cleanEntryName(given, why);
    if (!clean) return addError(given, why);
    if (clean->empty()) return;       // the destination itself
    const std::string& name = *clean; // as the report shows it
    setCurrent(name);
    if (archive_entry_is_data_encrypted(e) > 0 || archive_entry_is_metadata_encrypted(e) > 0)
        return addError(name, EntryProblem::Encrypted);

    const mode_t type = archive_entry_filetype(e);
    const char* hard = archive_entry_hardlink(e);
    if (hard) {
        std::optional<std::string> to = cleanEntryName(entryNameUtf8(hard), why);
        if (!to || !run.written.count(*to)) return addError(name, EntryProblem::HardLinkOutside);
        archive_entry_set_hardlink(e, to->c_str());
    } else if (type == AE_IFLNK) {
        const char* linkRaw = archive_entry_symlink(e);
        const std::string target = linkRaw ? entryNameUtf8(linkRaw) : std::string();
        if (!linkStaysInside(*clean, target)) return addError(name, EntryProblem::LinkOutside);
        archive_entry_set_symlink(e, target.c_str());
    } else if (type != AE_IFREG && type != AE_IFDIR) {
        return addError(name, EntryProblem::Special);
    }
    const bool folder = type == AE_IFDIR && !hard;
    if (!folder && !run.written.insert(*clean).second)
        return addError(name, EntryProblem::Duplicate);

    const std::string full = joinPath(run.root, *clean);
    std::string aside;
    struct stat st {};
    if (lstat(clean->c_str(), &st) == 0) {
        if (folder || S_ISDIR(st.st_mode)) {
            if (folder && S_ISDIR(st.st_mode)) return; // the folder is there already
            return addError(name, EntryProblem::FolderInTheWay);
        }
        ReplaceInfo info{
            full, st.st_size, archive_entry_size_is_set(e) ? archive_entry_size(e) : -1,
            localTimeText(st.st_mtime),
            archive_entry_mtime_is_set(e) ? localTimeText(archive_entry_mtime(e)) : ""};
        const bool asked = canAsk();
        const ReplaceAnswer a = askReplace(info);
        if (a == ReplaceAnswer::No && !asked) addError(name, EntryProblem::NotReplaced);
        if (a == ReplaceAnswer::No || a == ReplaceAnswer::Cancel) return;
        aside = moveAside(full);
        if (aside.empty()) return addError(name, EntryProblem::System, errno);
    }

    archive_entry_set_pathname(e, clean->c_str());
    archive_entry_set_perm(e, archive_entry_perm(e) & 0777);
    if (archive_write_header(run.out, e) < ARCHIVE_WARN) {
        addError(name, writeProblem(run.out), archive_errno(run.out), detailOf(run.out));
        putBack(aside, full);
        return;
    }
    DataEnd end = DataEnd::Done;
    if (type == AE_IFREG) end = copyData(run, e, name);
    const bool closed = archive_write_finish_entry(run.out) >= ARCHIVE_WARN;
    if (end == DataEnd::Done && !closed)
        addError(name, EntryProblem::System, archive_errno(run.out), detailOf(run.out));
    if (end != DataEnd::Done || !closed) {
        if (!folder) unlink(full.c_str());
        putBack(aside, full);
        return;
    }
    if (!aside.empty()) unlink(aside.c_str());
    entriesDone_.fetch_add(1);
}

ThawJob::DataEnd ThawJob::copyData(Run& run, struct archive_entry* e, const std::string& name) {
    for (;;) {
        if (cancelled()) return DataEnd::Cancelled;
        const void* buf = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        int r = archive_read_data_block(run.in, &buf, &size, &offset);
        if (r == ARCHIVE_EOF) return DataEnd::Done;
        // A warning here is a checksum that does not match or data past the entry's size:
        // the file is not what was frozen.
        if (r == ARCHIVE_WARN) {
            addError(name, EntryProblem::Damaged, 0, detailOf(run.in));
            return DataEnd::Failed;
        }
        if (r < ARCHIVE_WARN) {
            addError(name, readProblem(run.in, e), archive_errno(run.in), detailOf(run.in));
            run.fatal = r == ARCHIVE_FATAL;
            return run.fatal ? DataEnd::Fatal : DataEnd::Failed;
        }
        const la_ssize_t w = archive_write_data_block(run.out, buf, size, offset);
        if (w < ARCHIVE_OK) {
            const bool cut = w == ARCHIVE_WARN;
            addError(name, cut ? EntryProblem::Damaged : EntryProblem::System,
                     archive_errno(run.out), detailOf(run.out));
            return DataEnd::Failed;
        }
        bytesDone_.store(static_cast<std::uint64_t>(archive_filter_bytes(run.in, -1)));
    }
}

} // namespace g3
