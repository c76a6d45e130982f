// The work of one module command as a job object: a thaw (extraction) or a freeze
// (compression) with its counters, its cancel flag, its replace question and the list of
// what went wrong, runnable on the calling thread (run(), tests and the module without a
// window) or on a worker thread of its own (start(), behind the module's progress window).
//
// Counters, the current entry, the cancel flag and the error list may be read and set from
// any thread while the job runs. The replace question and the finish callback are called
// on the thread that runs the job; the question must block until it has an answer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace g3 {

// Why one entry (thaw) or one file (freeze) was not written, or why the whole command
// failed (then the name is empty).
enum class EntryProblem {
    System,          // a call failed; code holds its errno
    Absolute,        // an absolute name
    DotDot,          // a ".." component: the name leaves the destination
    LinkOutside,     // a link whose target leaves the destination (or is absolute)
    ThroughLink,     // writing it would go through a link
    HardLinkOutside, // a hard link to something this archive did not write
    Special,         // a device, FIFO or socket: never made, never read
    Duplicate,       // the name came earlier in this archive
    FolderInTheWay,  // a folder stands where a file goes, or a file where a folder goes
    NotReplaced,     // an existing file, and nobody could be asked
    Encrypted,       // locked with a password
    Unsupported,     // a compression method or format feature the reader lacks
    Damaged,         // broken or truncated data
    BadName,         // a name that cannot be read or stored
    NotArchive,      // the file is not an archive of this module's formats
    Missing,         // freeze: a listed file is gone
    ArchiveExists,   // freeze: the archive exists and was not to be replaced
};

struct EntryError {
    std::string name; // the entry's or file's name as shown; empty for the whole command
    EntryProblem problem = EntryProblem::System;
    int code = 0;       // errno for System
    std::string detail; // the reader's own words, for the output text only
};

// The replace question: an existing file (or archive) and the one that would replace it.
struct ReplaceInfo {
    std::string path;
    std::int64_t oldSize = -1, newSize = -1;
    std::string oldTime, newTime; // "yyyy/mm/dd hh:nn:ss", empty when unknown
};
enum class ReplaceAnswer { Yes, YesToAll, No, Cancel };
using ReplaceQuestion = std::function<ReplaceAnswer(const ReplaceInfo&)>;

class ArchiverJob {
public:
    enum class Kind { Thaw, Freeze };

    ArchiverJob(Kind kind, std::string archive);
    virtual ~ArchiverJob(); // waits for a started worker
    ArchiverJob(const ArchiverJob&) = delete;
    ArchiverJob& operator=(const ArchiverJob&) = delete;

    // Without a question nothing existing is replaced (each such file is listed as
    // NotReplaced). Set before run() or start().
    void setReplaceQuestion(ReplaceQuestion q) { question_ = std::move(q); }
    // Called once on the job's thread when it has ended, after finished() turned true.
    void setOnFinished(std::function<void()> f) { onFinished_ = std::move(f); }

    // Runs on the calling thread; returns the ArchiverResult.
    int run();
    void start();
    void wait();
    bool finished() const { return finished_.load(); }
    int result() const { return result_.load(); }

    // Stops at the next block of data; what is being written then is taken back.
    void cancel() { cancelled_.store(true); }
    bool cancelled() const { return cancelled_.load(); }

    Kind kind() const { return kind_; }
    const std::string& archive() const { return archive_; }
    std::uint64_t entriesDone() const { return entriesDone_.load(); }
    // Progress: thaw counts the archive's bytes read, freeze the files' bytes stored.
    std::uint64_t bytesDone() const { return bytesDone_.load(); }
    std::uint64_t bytesTotal() const { return bytesTotal_.load(); }
    std::string currentEntry() const;
    std::vector<EntryError> errors() const;

protected:
    // The work; returns the ArchiverResult (cancelled and failed entries are folded in by
    // run()). Runs under a UTF-8 locale of its own thread, whatever the process's locale,
    // so that the reader and writer convert names as UTF-8.
    virtual int work() = 0;

    void addError(std::string name, EntryProblem problem, int code = 0, std::string detail = {});
    void setCurrent(const std::string& name);
    // The question, or No when there is none; YesToAll is remembered for the rest, and
    // Cancel cancels the job.
    ReplaceAnswer askReplace(const ReplaceInfo& info);
    bool canAsk() const { return static_cast<bool>(question_) || replaceAll_; }

    std::atomic<std::uint64_t> entriesDone_{0}, bytesDone_{0}, bytesTotal_{0};

private:
    Kind kind_;
    std::string archive_;
    ReplaceQuestion question_;
    bool replaceAll_ = false;
    std::function<void()> onFinished_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> result_{0};
    mutable std::mutex mutex_; // guards current_ and errors_
    std::string current_;
    std::vector<EntryError> errors_;
    std::thread worker_;
};

// The reason for one problem, in the program's words ("鍵のかかった家なので...").
std::string problemText(const EntryError& e);
// The report of a job that ended: a heading naming the archive, then one line per error
// (the first `maxLines`, then how many more). Empty when there is nothing to report (no
// error; a cancel alone is the user's own doing).
std::string reportText(const ArchiverJob& job, std::size_t maxLines = SIZE_MAX);

// "yyyy/mm/dd hh:nn:ss" of a time in Unix seconds, local time.
std::string localTimeText(std::int64_t seconds);

} // namespace g3
