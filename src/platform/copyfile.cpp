#include "platform/fileops.h"

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace g3 {

namespace {

using Clock = std::chrono::steady_clock;

// A piece is sized so that it takes about kPieceTarget: large enough to keep the
// kernel's copy efficient, small enough that the progress hook (and the window behind
// it) gets a turn several times a second even on a slow disk.
constexpr auto kPieceTarget = std::chrono::milliseconds(8);
constexpr std::size_t kMinPiece = 256 * 1024;
constexpr std::size_t kMaxPiece = 64 * 1024 * 1024;
constexpr std::size_t kFirstPiece = 4 * 1024 * 1024;
constexpr std::size_t kBufferSize = 1024 * 1024;

bool fail(int code) {
    setLastError(code);
    return false;
}

// One piece with copy_file_range at the given offsets; -1 with errno on failure, 0 at the
// end of the source.
ssize_t copyPieceInKernel(int in, int out, off_t at, std::size_t len) {
    for (;;) {
        off_t inAt = at, outAt = at;
        ssize_t n = copy_file_range(in, &inAt, out, &outAt, len, 0);
        if (n >= 0 || errno != EINTR) return n;
    }
}

ssize_t copyPieceThroughBuffer(int in, int out, off_t at, std::size_t len, std::vector<char>& buf) {
    if (buf.empty()) buf.resize(kBufferSize);
    std::size_t done = 0;
    while (done < len) {
        ssize_t r =
            pread(in, buf.data(), std::min(buf.size(), len - done), at + static_cast<off_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        if (!pwriteAll(out, std::string_view(buf.data(), static_cast<std::size_t>(r)),
                       at + static_cast<off_t>(done)))
            return -1;
        done += static_cast<std::size_t>(r);
    }
    return static_cast<ssize_t>(done);
}

bool kernelCopyUnsupported(int e) {
    return e == EXDEV || e == EINVAL || e == ENOSYS || e == EOPNOTSUPP || e == EBADF || e == EPERM;
}

// Copies the contents one piece at a time; the piece size adapts to keep each piece near
// kPieceTarget. A file with holes (fewer blocks than its size needs) is copied by its
// data ranges only, so the copy keeps the holes instead of filling them with zeros; the
// size itself is set at the end (finish()).
class PieceCopier {
public:
    PieceCopier(int in, int out, const struct stat& st, const CopyFault& fault)
        : in_(in), out_(out), fault_(fault), size_(st.st_size),
          sparse_(static_cast<std::uint64_t>(st.st_blocks) * 512 <
                  static_cast<std::uint64_t>(st.st_size)) {}
    // One piece: the bytes of the source passed over (data and holes), 0 at the end of
    // the source, -errno on failure.
    long long step() {
        if (fault_)
            if (int e = fault_(written_)) return -e;
        auto t0 = Clock::now();
        off_t from = pos_;
        if (sparse_ && !skipHole()) return -errno;
        std::size_t len = piece_;
        if (sparse_ && dataEnd_ > pos_) len = std::min<std::size_t>(len, dataEnd_ - pos_);
        ssize_t n = inKernel_ ? copyPieceInKernel(in_, out_, pos_, len) : -1;
        if (inKernel_ && n < 0 && written_ == 0 && kernelCopyUnsupported(errno)) inKernel_ = false;
        if (!inKernel_) n = copyPieceThroughBuffer(in_, out_, pos_, len, buf_);
        if (n < 0) return -errno;
        pos_ += n;
        written_ += static_cast<std::uint64_t>(n);
        auto took = Clock::now() - t0;
        if (took < kPieceTarget / 2 && piece_ < kMaxPiece)
            piece_ *= 2;
        else if (took > kPieceTarget * 2 && piece_ > kMinPiece)
            piece_ /= 2;
        return pos_ - from;
    }
    // Gives the copy the source's size: a trailing hole, and a source that shrank.
    int finish() {
        if (sparse_ && ftruncate(out_, std::max(pos_, size_)) != 0) return errno;
        return 0;
    }

private:
    // Moves pos_ to the start of the next data range (to the end when none is left).
    bool skipHole() {
        if (pos_ < dataEnd_) return true;
        off_t data = lseek(in_, pos_, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) { // only a hole is left
                pos_ = std::max(pos_, size_);
                return true;
            }
            if (errno != EINVAL) return false;
            sparse_ = false; // the file system cannot tell: copy it all
            return true;
        }
        off_t hole = lseek(in_, data, SEEK_HOLE);
        if (hole < 0) return false;
        pos_ = data;
        dataEnd_ = hole;
        return true;
    }

    int in_, out_;
    const CopyFault& fault_;
    off_t size_;
    bool sparse_;
    off_t pos_ = 0;     // where the next piece starts, in both files
    off_t dataEnd_ = 0; // end of the data range under way (sparse files)
    std::size_t piece_ = kFirstPiece;
    bool inKernel_ = true;
    std::vector<char> buf_;
    std::uint64_t written_ = 0;
};

// A file that fits in one piece or two: the pieces run here, the hook after each.
int copyContentsHere(PieceCopier& copier, std::uint64_t total, const CopyProgress& progress) {
    std::uint64_t done = 0;
    for (;;) {
        long long n = copier.step();
        if (n < 0) return static_cast<int>(-n);
        if (n == 0) return 0;
        done += static_cast<std::uint64_t>(n);
        if (progress && !progress(done, std::max(done, total))) return ECANCELED;
    }
}

// A larger file: the pieces run one after the other on a helper thread while this thread
// calls the hook after each piece and, while a piece lasts, every kPieceTarget, so the
// caller's events keep flowing when a piece stalls (a slow or busy disk, the kernel
// holding back a writer). A piece starts only after the hook has answered for the one
// before, so a cancel stops the copy at the next piece as before.
class PieceThread {
public:
    explicit PieceThread(PieceCopier& copier) : copier_(copier), thread_([this] { work(); }) {}
    ~PieceThread() {
        {
            std::lock_guard<std::mutex> lock(m_);
            quit_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    PieceThread(const PieceThread&) = delete;
    PieceThread& operator=(const PieceThread&) = delete;

    // Waits up to `wait` for the piece under way; true and its result when it finished.
    bool awaitPiece(std::chrono::milliseconds wait, long long& result) {
        std::unique_lock<std::mutex> lock(m_);
        if (!cv_.wait_for(lock, wait, [this] { return finished_; })) return false;
        finished_ = false;
        result = result_;
        return true;
    }
    void startPiece() {
        {
            std::lock_guard<std::mutex> lock(m_);
            go_ = true;
        }
        cv_.notify_all();
    }

private:
    void work() {
        std::unique_lock<std::mutex> lock(m_);
        for (;;) {
            cv_.wait(lock, [this] { return go_ || quit_; });
            if (quit_) return;
            go_ = false;
            lock.unlock();
            long long n = copier_.step();
            lock.lock();
            result_ = n;
            finished_ = true;
            cv_.notify_all();
        }
    }

    PieceCopier& copier_;
    std::mutex m_;
    std::condition_variable cv_;
    bool go_ = true, finished_ = false, quit_ = false;
    long long result_ = 0;
    std::thread thread_; // last: starts once the state above is ready
};

int copyContentsBeside(PieceCopier& copier, std::uint64_t total, const CopyProgress& progress) {
    PieceThread pieces(copier);
    std::uint64_t done = 0;
    bool cancelled = false;
    for (;;) {
        long long n = 0;
        bool finished = pieces.awaitPiece(kPieceTarget, n);
        if (finished) {
            if (n < 0) return static_cast<int>(-n);
            if (n == 0) return 0;
            done += static_cast<std::uint64_t>(n);
        }
        if (!cancelled && progress && !progress(done, std::max(done, total))) cancelled = true;
        if (!finished) continue;
        if (cancelled) return ECANCELED;
        pieces.startPiece();
    }
}

// Copies the contents; 0 or the errno of the failure.
int copyContents(int in, int out, const struct stat& srcSt, const CopyProgress& progress,
                 const CopyFault& fault) {
    PieceCopier copier(in, out, srcSt, fault);
    const auto total = static_cast<std::uint64_t>(srcSt.st_size);
    int e = !progress || total < 2 * kFirstPiece ? copyContentsHere(copier, total, progress)
                                                 : copyContentsBeside(copier, total, progress);
    return e ? e : copier.finish();
}

// Gives the copy the source's mode and last-write time. The set-user and set-group bits
// go only with the owner: a copy that belongs to whoever copies must not run as the
// source's owner. keepOwner hands the copy to the source's owner where the process may
// (as root); elsewhere it stays the copier's, as a move by hand would leave it.
int finishContents(int fd, const struct stat& srcSt, bool keepOwner) {
    bool owned = keepOwner && fchown(fd, srcSt.st_uid, srcSt.st_gid) == 0;
    if (fchmod(fd, srcSt.st_mode & (owned ? 07777 : 01777)) != 0) return errno;
    struct timespec times[2] = {{0, UTIME_OMIT}, srcSt.st_mtim};
    if (futimens(fd, times) != 0) return errno;
    return 0;
}

} // namespace

bool copyFile(const std::string& src, const std::string& dst, bool failIfExists,
              const CopyProgress& progress, bool keepOwner, const CopyFault& fault) {
    struct stat srcSt {};
    UniqueFd in = openRegularFile(src, srcSt);
    if (!in) return fail(errno);
    bool exists = false;
    // src was opened through any link: srcSt is the file itself, and a link at dst that
    // leads to it (src's own link among them) is refused with it.
    if (int e = destinationRefusal(srcSt, &srcSt, dst, !failIfExists, exists)) return fail(e);
    // Read ahead in large windows: the whole file is read once, front to back. Small
    // files fit in the default window and are spared the call.
    if (srcSt.st_size >= static_cast<off_t>(kFirstPiece))
        posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // Written where no name points at it, and named only when whole: a copy cut short by
    // a failure or a kill never stands under the real name, where a later run would take
    // it for the newer file.
    TempFile out(dst);
    if (!out.isOpen()) return fail(errno);
    if (int e = copyContents(in.get(), out.fd(), srcSt, progress, fault)) return fail(e);
    if (int e = finishContents(out.fd(), srcSt, keepOwner)) return fail(e);
    // Replacing only what was there when looked at: a name that appeared meanwhile (a
    // dangling link among them) is replaced only after the same checks.
    if (!exists) {
        int e = out.renameInto(dst, false);
        if (e != EEXIST || failIfExists) return e ? fail(e) : true;
        if ((e = destinationRefusal(srcSt, &srcSt, dst, true, exists))) return fail(e);
    }
    if (int e = out.renameInto(dst, true)) return fail(e);
    return true;
}

} // namespace g3
