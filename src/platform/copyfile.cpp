#include "platform/fileops.h"

#include "platform/errors.h"
#include "platform/fileio.h"

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

std::mutex faultMutex;
std::function<int(std::uint64_t)> faultHook;
std::atomic<bool> faultHookSet{false};

int injectedFault(std::uint64_t written) {
    if (!faultHookSet.load(std::memory_order_relaxed)) return 0;
    std::lock_guard<std::mutex> lock(faultMutex);
    return faultHook ? faultHook(written) : 0;
}

bool fail(int code) {
    setLastError(code);
    return false;
}

// Why an existing destination refuses the copy, or 0. The write bits are checked here
// because root would pass the kernel's own check.
int destinationRefusal(const struct stat& dstSt, const struct stat& srcSt, bool failIfExists) {
    if (dstSt.st_dev == srcSt.st_dev && dstSt.st_ino == srcSt.st_ino) return EINVAL;
    if (failIfExists) return EEXIST;
    if (S_ISDIR(dstSt.st_mode)) return EISDIR;
    if (!(dstSt.st_mode & S_IWUSR)) return EACCES;
    return 0;
}

// One piece with copy_file_range; -1 with errno on failure, 0 at the end of the source.
ssize_t copyPieceInKernel(int in, int out, std::size_t len) {
    for (;;) {
        ssize_t n = copy_file_range(in, nullptr, out, nullptr, len, 0);
        if (n >= 0 || errno != EINTR) return n;
    }
}

ssize_t copyPieceThroughBuffer(int in, int out, std::size_t len, std::vector<char>& buf) {
    if (buf.empty()) buf.resize(kBufferSize);
    std::size_t done = 0;
    while (done < len) {
        ssize_t r = read(in, buf.data(), std::min(buf.size(), len - done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        if (!writeAll(out, std::string_view(buf.data(), static_cast<std::size_t>(r)))) return -1;
        done += static_cast<std::size_t>(r);
    }
    return static_cast<ssize_t>(done);
}

bool kernelCopyUnsupported(int e) {
    return e == EXDEV || e == EINVAL || e == ENOSYS || e == EOPNOTSUPP || e == EBADF || e == EPERM;
}

// Copies the contents one piece at a time; the piece size adapts to keep each piece near
// kPieceTarget.
class PieceCopier {
public:
    PieceCopier(int in, int out) : in_(in), out_(out) {}
    // One piece: the bytes copied, 0 at the end of the source, -errno on failure.
    long long step() {
        if (int e = injectedFault(done_)) return -e;
        auto t0 = Clock::now();
        ssize_t n = inKernel_ ? copyPieceInKernel(in_, out_, piece_) : -1;
        if (inKernel_ && n < 0 && done_ == 0 && kernelCopyUnsupported(errno)) inKernel_ = false;
        if (!inKernel_) n = copyPieceThroughBuffer(in_, out_, piece_, buf_);
        if (n < 0) return -errno;
        done_ += static_cast<std::uint64_t>(n);
        auto took = Clock::now() - t0;
        if (took < kPieceTarget / 2 && piece_ < kMaxPiece) piece_ *= 2;
        else if (took > kPieceTarget * 2 && piece_ > kMinPiece) piece_ /= 2;
        return n;
    }

private:
    int in_, out_;
    std::size_t piece_ = kFirstPiece;
    bool inKernel_ = true;
    std::vector<char> buf_;
    std::uint64_t done_ = 0;
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
int copyContents(int in, int out, std::uint64_t total, const CopyProgress& progress) {
    PieceCopier copier(in, out);
    if (!progress || total < 2 * kFirstPiece) return copyContentsHere(copier, total, progress);
    return copyContentsBeside(copier, total, progress);
}

// Gives the copy the source's mode and last-write time. The set-user and set-group bits
// are left off: the copy belongs to whoever copies, not to the source's owner.
int finishContents(int fd, const struct stat& srcSt) {
    if (fchmod(fd, srcSt.st_mode & 01777) != 0) return errno;
    struct timespec times[2] = {{0, UTIME_OMIT}, srcSt.st_mtim};
    if (futimens(fd, times) != 0) return errno;
    return 0;
}

// A destination that did not exist is written under its own name, created exclusively so
// nothing that appeared meanwhile is touched; on failure the partial file goes again.
// 0, or errno (EEXIST when something took the name first).
int copyToNewFile(int in, const struct stat& srcSt, const std::string& dst,
                  const CopyProgress& progress) {
    UniqueFd out(open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out) return errno;
    int e = copyContents(in, out.get(), static_cast<std::uint64_t>(srcSt.st_size), progress);
    if (!e) e = finishContents(out.get(), srcSt);
    if (out.closeChecked() != 0 && !e) e = errno;
    if (e) unlink(dst.c_str());
    return e;
}

// An existing destination: the copy goes to a temporary file renamed over it at the end,
// so a failure leaves the old file as it was.
int copyOverFile(int in, const struct stat& srcSt, const std::string& dst, bool replace,
                 const CopyProgress& progress) {
    TempFile tmp(dst);
    if (!tmp.isOpen()) return errno;
    if (int e = copyContents(in, tmp.fd(), static_cast<std::uint64_t>(srcSt.st_size), progress))
        return e;
    if (int e = finishContents(tmp.fd(), srcSt)) return e;
    return tmp.renameInto(dst, replace);
}

} // namespace

bool copyFile(const std::string& src, const std::string& dst, bool failIfExists,
              const CopyProgress& progress) {
    struct stat srcSt {};
    UniqueFd in = openRegularFile(src, srcSt);
    if (!in) return fail(errno);
    struct stat dstSt {};
    bool exists = stat(dst.c_str(), &dstSt) == 0;
    if (!exists && errno != ENOENT) return fail(errno);
    if (exists)
        if (int e = destinationRefusal(dstSt, srcSt, failIfExists)) return fail(e);
    // Read ahead in large windows: the whole file is read once, front to back. Small
    // files fit in the default window and are spared the call.
    if (srcSt.st_size >= static_cast<off_t>(kFirstPiece))
        posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // A new small file is written under its own name: it is whole after a write or two.
    // A large one goes through a temporary name like a replacement, so a copy cut short by
    // a crash never stands under the real name, where a later run would keep it as newer.
    if (!exists && srcSt.st_size < static_cast<off_t>(kFirstPiece)) {
        int e = copyToNewFile(in.get(), srcSt, dst, progress);
        // A name that appeared meanwhile (a dangling link among them) is an existing
        // destination after all: it is replaced the safe way.
        if (e != EEXIST || failIfExists) return e ? fail(e) : true;
    }
    if (int e = copyOverFile(in.get(), srcSt, dst, !failIfExists, progress)) return fail(e);
    return true;
}

void setCopyFaultInjection(std::function<int(std::uint64_t written)> hook) {
    std::lock_guard<std::mutex> lock(faultMutex);
    faultHookSet = static_cast<bool>(hook);
    faultHook = std::move(hook);
}

} // namespace g3
