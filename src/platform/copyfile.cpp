#include "platform/fileops.h"

#include "platform/errors.h"
#include "platform/fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
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

// Copies the contents piece by piece; the piece size adapts to keep each piece near
// kPieceTarget. Returns 0 or the errno of the failure.
int copyContents(int in, int out, std::uint64_t total, const CopyProgress& progress) {
    std::uint64_t done = 0;
    std::size_t piece = kFirstPiece;
    bool inKernel = true;
    std::vector<char> buf;
    for (;;) {
        if (int e = injectedFault(done)) return e;
        auto t0 = Clock::now();
        ssize_t n = inKernel ? copyPieceInKernel(in, out, piece) : -1;
        if (inKernel && n < 0 && done == 0 && kernelCopyUnsupported(errno)) inKernel = false;
        if (!inKernel) n = copyPieceThroughBuffer(in, out, piece, buf);
        if (n < 0) return errno;
        if (n == 0) return 0;
        done += static_cast<std::uint64_t>(n);
        auto took = Clock::now() - t0;
        if (took < kPieceTarget / 2 && piece < kMaxPiece) piece *= 2;
        else if (took > kPieceTarget * 2 && piece > kMinPiece) piece /= 2;
        if (progress && !progress(done, std::max(done, total))) return ECANCELED;
    }
}

// Gives the copy the source's mode and last-write time.
int finishContents(int fd, const struct stat& srcSt) {
    if (fchmod(fd, srcSt.st_mode & 07777) != 0) return errno;
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
    if (!exists) {
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
