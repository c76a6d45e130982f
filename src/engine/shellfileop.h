// The shell file operation: copies or moves lists of files and whole folder trees into one
// folder, with its own replace question and error reports, as one job object.
//
// The job runs either synchronously on the calling thread (run(), used by tests) or on a
// worker thread of its own (start(), then wait() or poll finished()), behind the modal
// progress window of shellfileopdlg. Counters and the cancel flag may be read and set from
// any thread while it runs. The question and error callbacks are called on the thread that
// runs the job and must block until they have an answer.
#pragma once

#include "platform/transfer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace g3 {

enum FileOpFunc : unsigned { FO_MOVE = 1, FO_COPY = 2, FO_DELETE = 3 };

enum FileOpFlags : unsigned {
    FOF_NOCONFIRMATION = 0x10,  // replace every existing file without asking
    FOF_ALLOWUNDO = 0x40,       // delete: to the recycle bin; copy and move: no effect here
    FOF_SIMPLEPROGRESS = 0x100, // the progress window shows no file names
    FOF_NOCONFIRMMKDIR = 0x200, // create missing destination folders without asking
};

struct ShellFileOpRequest {
    unsigned func = FO_COPY;
    std::vector<std::string> from; // full paths, in order
    std::string to;                // the destination folder
    unsigned flags = FOF_ALLOWUNDO;
    std::string title; // progress window title; empty: the operation's own
    // With one source: to is the path the source gets (a copy under a new name), unless
    // it is an existing folder, which then receives the source as usual.
    bool toIsTarget = false;
};

// The question put for one existing destination file.
struct ReplaceInfo {
    std::string src, dst;
    std::int64_t srcSize = -1, dstSize = -1;
    std::string srcTime, dstTime; // "yyyy/mm/dd hh:nn:ss", empty when unknown
};
enum class ReplaceAnswer { Yes, YesToAll, No, Cancel };

// What went wrong with one item.
enum class FileOpProblem {
    System,     // a call failed; code holds its errno
    IntoItself, // a folder would go into itself or one of its own subfolders
    SameFile,   // source and destination are the same file
    Special,    // a FIFO, device or socket: never opened
    NotFolder,  // a folder would replace an existing file, or a file a folder
};

// One failure: the item, its destination, the operation and the reason.
struct FileOpError {
    std::string path;
    std::string target;
    unsigned func = FO_COPY;
    FileOpProblem problem = FileOpProblem::System;
    int code = 0;
    bool toTrash = false; // a delete with undo: the item stays where it was
};

// Answers true to go on with the next item, false to stop the whole operation.
using FileOpErrorHandler = std::function<bool(const FileOpError&)>;
using ReplaceQuestion = std::function<ReplaceAnswer(const ReplaceInfo&)>;
// Delete with FOF_ALLOWUNDO hands each item to this: 0 when it is in the trash, else the
// errno of why it stays where it is. The desktop's trash unless set.
using TrashHandler = std::function<int(const std::string& path)>;

class ShellFileOperation {
public:
    explicit ShellFileOperation(ShellFileOpRequest request);
    ~ShellFileOperation(); // waits for a started worker
    ShellFileOperation(const ShellFileOperation&) = delete;
    ShellFileOperation& operator=(const ShellFileOperation&) = delete;

    // Callbacks; set before run() or start(). Without a question every existing file is
    // skipped; without an error handler the operation goes on after each failure.
    void setReplaceQuestion(ReplaceQuestion q) { question_ = std::move(q); }
    void setErrorHandler(FileOpErrorHandler h) { onError_ = std::move(h); }
    void setTrashHandler(TrashHandler t) { trash_ = std::move(t); }
    // Tests: failures and kills in the middle of a copy.
    void setCopyFault(CopyFault f) { fault_ = std::move(f); }

    // A folder of the list that contains the destination (copying or moving it into
    // itself or one of its subfolders): the first such pair, or false. The operation
    // refuses to start then.
    bool findSelfNesting(std::string& folder, std::string& destination) const;

    // Runs the whole operation on the calling thread. Returns 0 on success (also when
    // items were skipped by the user's answer), kErrorCancelled when cancelled or refused
    // through a callback, else the errno of the first failure: an item or folder that
    // could not be handled, or a destination folder that does not exist.
    int run();
    // Runs the operation on a worker thread; finished() turns true when it has ended.
    void start();
    void wait();
    bool finished() const { return finished_.load(); }
    int result() const { return result_.load(); }

    // Stops cleanly at the next piece of a file: a file being copied is left as it was.
    void cancel() { cancelled_.store(true); }
    bool cancelled() const { return cancelled_.load(); }

    const ShellFileOpRequest& request() const { return req_; }
    std::uint64_t filesTotal() const { return filesTotal_.load(); }
    std::uint64_t filesDone() const { return filesDone_.load(); }
    std::uint64_t bytesTotal() const { return bytesTotal_.load(); }
    std::uint64_t bytesDone() const { return bytesDone_.load(); }
    // The item being processed and its destination.
    void current(std::string& src, std::string& dst) const;
    std::vector<FileOpError> errors() const;

private:
    void count(const std::string& path);
    int transferItem(const std::string& src, const std::string& dst);
    int transferTree(const std::string& src, const std::string& dst);
    int transferEntry(const std::string& src, const std::string& dst);
    int deleteItem(const std::string& path);
    // Where the single source of a copy under a new name goes, or "" for the usual rule.
    std::string explicitTarget() const;
    bool decideReplace(const std::string& src, const std::string& dst);
    int fail(const std::string& path, const std::string& target, FileOpProblem problem,
             int code);
    void setCurrent(const std::string& src, const std::string& dst);

    ShellFileOpRequest req_;
    ReplaceQuestion question_;
    FileOpErrorHandler onError_;
    TrashHandler trash_;
    CopyFault fault_;
    bool replaceAll_ = false;
    DestinationGuard written_; // the folders written into: never entered as sources
    HardLinkMemory links_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> result_{0};
    std::atomic<std::uint64_t> filesTotal_{0}, filesDone_{0}, bytesTotal_{0}, bytesDone_{0};
    mutable std::mutex mutex_; // guards the current names and the error list
    std::string curSrc_, curDst_;
    std::vector<FileOpError> errors_;
    std::thread worker_;
};

} // namespace g3
