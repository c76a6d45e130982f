// The file finder: TFindFirstLoop runs one find-first/find-next loop over a pattern;
// TFindFile walks one folder or a whole tree with it and reports the entries that match a
// mask and a set of conditions through OnFind.
//
// Both run synchronously on the calling (user-interface) thread and call the message pump
// at every entry, so handlers of the window run in the middle of a walk; setting Aborted
// from such a handler stops it. A finder must outlive its Run.
#pragma once

#include "platform/findfile.h"
#include "platform/pump.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace g3 {

// Raised by a cancelled TFindFirstLoop::Run when its ExceptionOnCancel is set:
// "TFindFirstLoop Cancelled" (cancelled at the first entry) or "Search Canceled" (later).
class EFindFirstLoopCancel : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by a cancelled TFindFile::Run when its ExceptionOnCancel is set:
// "TFindFile.Run Cancelled".
class EFindFileCancel : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TFindFirstLoop {
public:
    using FindEvent =
        std::function<void(TFindFirstLoop& Sender, const FindData& FindData, bool& Cancel)>;

    TFindFirstLoop() = default;
    virtual ~TFindFirstLoop() = default;
    TFindFirstLoop(const TFindFirstLoop&) = delete;
    TFindFirstLoop& operator=(const TFindFirstLoop&) = delete;

    // The pattern listed, "folder/mask" ("/*.*" lists the root). Ignored while running.
    const std::string& Path() const { return path_; }
    void setPath(std::string value);

    // How much of each record the listing reads; the finder's subfolder loop needs only
    // names and types.
    FindDetail Detail = FindDetail::Full;
    // When a handler cancels, Run raises EFindFirstLoopCancel instead of returning 1223.
    bool ExceptionOnCancel = false;
    // Called for every entry matching the pattern, "." and ".." included.
    FindEvent OnFind;

    bool Running() const { return running_; }
    // Why the folder of the last Run could not be listed (errno), or 0.
    int OpenError() const { return openError_; }

    // 0 when the listing ran to its end (also when nothing matched or the folder cannot
    // be listed), kErrorCancelled (1223) when a handler cancelled, else the errno of a
    // failed read. Returns 0 at once without an OnFind handler.
    virtual std::uint32_t Run();

private:
    std::string path_;
    bool running_ = false;
    int openError_ = 0;
};

enum TFindFileCondition {
    fcLastWriteTime,
    fcCreationTime,
    fcLastAccessTime,
    fcSize,
    fcReadOnly,
    fcHidden,
    fcSystem,
    fcDirectory,
    fcArchive,
};

// A set of TFindFileCondition.
class TFindFileConditions {
public:
    constexpr TFindFileConditions() = default;
    constexpr TFindFileConditions(std::initializer_list<TFindFileCondition> items) {
        for (auto c : items) bits_ |= bit(c);
    }
    constexpr bool contains(TFindFileCondition c) const { return bits_ & bit(c); }
    constexpr void include(TFindFileCondition c) { bits_ |= bit(c); }
    constexpr void exclude(TFindFileCondition c) { bits_ &= ~bit(c); }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr bool operator==(const TFindFileConditions&) const = default;

private:
    static constexpr std::uint16_t bit(TFindFileCondition c) {
        return static_cast<std::uint16_t>(1u << c);
    }
    std::uint16_t bits_ = 0;
};

class TFindFile {
public:
    using FindEvent = std::function<void(TFindFile& Sender, const FindData& FindData,
                                         const std::string& CurrentDir, bool& Cancel)>;

    TFindFile();
    virtual ~TFindFile() = default;
    TFindFile(const TFindFile&) = delete;
    TFindFile& operator=(const TFindFile&) = delete;

    // Time bounds as local DOS date-times, inclusive, kept as file times. Writing 0 stores
    // the widest bound (a From of 0 accepts every earlier time, a To of 0 every later one);
    // such a bound reads back as 1980-01-01 00:00:00 (From) or 2099-12-31 23:59:58 (To).
    // After construction each From is today 00:00:00 and each To tomorrow 00:00:00.
    std::uint32_t FromLastWriteTime() const;
    void setFromLastWriteTime(std::uint32_t dos);
    std::uint32_t ToLastWriteTime() const;
    void setToLastWriteTime(std::uint32_t dos);
    std::uint32_t FromCreationTime() const;
    void setFromCreationTime(std::uint32_t dos);
    std::uint32_t ToCreationTime() const;
    void setToCreationTime(std::uint32_t dos);
    std::uint32_t FromLastAccessTime() const;
    void setFromLastAccessTime(std::uint32_t dos);
    std::uint32_t ToLastAccessTime() const;
    void setToLastAccessTime(std::uint32_t dos);

    // Inclusive range of the low 32 bits of the size, for fcSize (0 and 2147483647).
    std::int32_t MinSize = 0;
    std::int32_t MaxSize = 2147483647;

    // For each attribute condition: whether the attribute must be set (true) or clear.
    bool AttrReadOnly = false;
    bool AttrArchive = false;
    bool AttrDirectory = false;
    bool AttrHidden = false;
    bool AttrSystem = false;

    // Which filters apply (none after construction).
    TFindFileConditions Conditions;

    // Folder the walk starts in (the home folder after construction, else "/"). A value
    // shorter than two characters other than "/" is ignored; one trailing "/" is removed
    // except from the root "/".
    const std::string& BaseDir() const { return baseDir_; }
    void setBaseDir(const std::string& value);

    // Walk the folders below BaseDir too, breadth first. Linked folders and pseudo file
    // systems are never entered.
    bool SearchSubDir() const { return searchSubDir_; }
    void setSearchSubDir(bool value);

    // Pattern of the entries reported in each folder (folders included) and of the
    // subfolders the tree walk descends into; both "*.*" after construction.
    std::string FileMask = "*.*";
    std::string DirMask = "*.*";

    FindEvent OnFind;

    // Called for each folder of the walk that could not be listed (BaseDir included),
    // with its errno; the walk goes on without it. Walks that must account for every
    // entry (copy and move) report these.
    std::function<void(TFindFile& Sender, const std::string& Folder, int Code)> OnFolderError;
    // Asked before the tree walk enters a subfolder; false keeps it out of the walk.
    std::function<bool(TFindFile& Sender, const std::string& Folder)> OnEnterFolder;

    // Cleared at the start of every Run; when set, the walk stops at the next entry.
    bool Aborted = false;
    // When set, a cancelled Run raises EFindFileCancel.
    bool ExceptionOnCancel = false;
    // The folder being listed (the last one listed after a Run).
    const std::string& CurrentDir() const { return currentDir_; }

    // Called at every entry: the owner's event pump (none: the walk does not pump).
    Pump MessagePump;

    // 0 on completion, kErrorCancelled (1223) when cancelled, else the first non-zero
    // result of a loop. Returns 0 at once without an OnFind handler. A Run started from a
    // handler while this finder is already running returns EBUSY and changes nothing.
    virtual std::uint32_t Run();

protected:
    // Entry loop: pump, honour Aborted, skip "." and "..", filter, report.
    virtual void DoFileEntry(TFindFirstLoop& Sender, const FindData& FindData, bool& Cancel);
    // Subfolder loop: pump, honour Aborted, queue the subfolders to visit.
    virtual void DoDirEntry(TFindFirstLoop& Sender, const FindData& FindData, bool& Cancel);
    // Builds the filter list and attribute masks from Conditions (done by Run).
    void prepareFilters();
    // True when the record passes every filter, in list order.
    bool passesFilters(const FindData& d) const;

private:
    enum Filter { ftLastWrite, ftCreation, ftLastAccess, ftSize, ftAttributes };
    enum TimeIndex { tiLastWrite, tiCreation, tiLastAccess, tiCount };

    std::uint32_t searchOneFolder();
    void reportOpenError();
    std::uint32_t searchTree();
    void pump();
    std::uint32_t fromTime(TimeIndex i) const;
    std::uint32_t toTime(TimeIndex i) const;
    void setFromTime(TimeIndex i, std::uint32_t dos);
    void setToTime(TimeIndex i, std::uint32_t dos);

    bool passes(Filter f, const FindData& d) const;
    bool lastWriteFilter(const FindData& d) const;
    bool creationFilter(const FindData& d) const;
    bool lastAccessFilter(const FindData& d) const;
    bool sizeFilter(const FindData& d) const;
    bool attributeFilter(const FindData& d) const;

    TFindFirstLoop fileLoop_;
    TFindFirstLoop dirLoop_;
    // Folders still to visit, relative to BaseDir, each followed by a NUL byte (no name
    // holds one), read from queueHead_ on: one buffer for a whole level of the tree, not
    // one allocation per folder.
    std::string queue_;
    std::size_t queueHead_ = 0;
    std::string currentRel_; // the folder being listed, relative to BaseDir
    Filter filters_[5] = {};
    int filterCount_ = 0;
    std::uint32_t requiredAttrs_ = 0;
    std::uint32_t excludedAttrs_ = 0;
    FileTime from_[tiCount] = {};
    FileTime to_[tiCount] = {};
    std::string baseDir_;
    std::string currentDir_;
    bool searchSubDir_ = false;
    std::uint32_t (TFindFile::*search_)() = &TFindFile::searchOneFolder;
    bool running_ = false;
};

} // namespace g3
