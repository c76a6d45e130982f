#include "fscomp/FindF.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace g3 {

namespace {

// Clears a flag on every way out of a scope, exceptions included.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

std::string defaultBaseDir() { return homeFolder(); }

// A zero bound is stored beyond every file time, so that it never restricts: files on
// Linux may well carry times before 1980 (an mtime of 0) or after 2099.
constexpr FileTime kWidestFrom = 0;
constexpr FileTime kWidestTo = std::numeric_limits<FileTime>::max();

std::uint32_t dosOfBound(FileTime ft) {
    if (ft < dosToFileTime(kDosTimeMin)) return kDosTimeMin;
    if (ft > dosToFileTime(kDosTimeMax)) return kDosTimeMax;
    std::uint32_t dos = 0;
    return fileTimeToDos(ft, dos) ? dos : kDosTimeMax;
}

} // namespace

// ---- TFindFirstLoop -------------------------------------------------------------------

void TFindFirstLoop::setPath(std::string value) {
    // A handler running inside the loop may reassign the pattern; the loop keeps its own.
    if (!running_) path_ = std::move(value);
}

std::uint32_t TFindFirstLoop::Run() {
    if (!OnFind) return 0;
    FlagScope running(running_);
    bool cancel = false;
    FindHandle h;
    FindData d;
    openError_ = 0;
    if (!h.first(path_, d, Detail)) {
        openError_ = h.error();
        return 0;
    }
    OnFind(*this, d, cancel);
    if (cancel) {
        h.close();
        if (ExceptionOnCancel) throw EFindFirstLoopCancel("TFindFirstLoop Cancelled");
        return kErrorCancelled;
    }
    while (h.next(d)) {
        OnFind(*this, d, cancel);
        if (cancel) {
            h.close();
            if (ExceptionOnCancel) throw EFindFirstLoopCancel("Search Canceled");
            return kErrorCancelled;
        }
    }
    return static_cast<std::uint32_t>(h.error());
}

// ---- TFindFile: properties ------------------------------------------------------------

TFindFile::TFindFile() : baseDir_(defaultBaseDir()) {
    fileLoop_.OnFind = [this](TFindFirstLoop& s, const FindData& d, bool& c) {
        DoFileEntry(s, d, c);
    };
    dirLoop_.OnFind = [this](TFindFirstLoop& s, const FindData& d, bool& c) {
        DoDirEntry(s, d, c);
    };
    // The subfolder loop only looks at names and the directory attribute.
    dirLoop_.Detail = FindDetail::NameAndType;
    for (int i = 0; i < tiCount; ++i) {
        setFromTime(static_cast<TimeIndex>(i), dosTodayMidnight());
        setToTime(static_cast<TimeIndex>(i), dosTomorrowMidnight());
    }
}

std::uint32_t TFindFile::fromTime(TimeIndex i) const { return dosOfBound(from_[i]); }
std::uint32_t TFindFile::toTime(TimeIndex i) const { return dosOfBound(to_[i]); }
void TFindFile::setFromTime(TimeIndex i, std::uint32_t dos) {
    from_[i] = dos == 0 ? kWidestFrom : dosToFileTime(dos);
}
void TFindFile::setToTime(TimeIndex i, std::uint32_t dos) {
    to_[i] = dos == 0 ? kWidestTo : dosToFileTime(dos);
}

std::uint32_t TFindFile::FromLastWriteTime() const { return fromTime(tiLastWrite); }
void TFindFile::setFromLastWriteTime(std::uint32_t dos) { setFromTime(tiLastWrite, dos); }
std::uint32_t TFindFile::ToLastWriteTime() const { return toTime(tiLastWrite); }
void TFindFile::setToLastWriteTime(std::uint32_t dos) { setToTime(tiLastWrite, dos); }
std::uint32_t TFindFile::FromCreationTime() const { return fromTime(tiCreation); }
void TFindFile::setFromCreationTime(std::uint32_t dos) { setFromTime(tiCreation, dos); }
std::uint32_t TFindFile::ToCreationTime() const { return toTime(tiCreation); }
void TFindFile::setToCreationTime(std::uint32_t dos) { setToTime(tiCreation, dos); }
std::uint32_t TFindFile::FromLastAccessTime() const { return fromTime(tiLastAccess); }
void TFindFile::setFromLastAccessTime(std::uint32_t dos) { setFromTime(tiLastAccess, dos); }
std::uint32_t TFindFile::ToLastAccessTime() const { return toTime(tiLastAccess); }
void TFindFile::setToLastAccessTime(std::uint32_t dos) { setToTime(tiLastAccess, dos); }

void TFindFile::setBaseDir(const std::string& value) {
    if (value == "/") {
        baseDir_ = value;
        return;
    }
    if (value.size() < 2) return;
    baseDir_ = value;
    if (baseDir_.back() == '/') baseDir_.pop_back();
}

void TFindFile::setSearchSubDir(bool value) {
    searchSubDir_ = value;
    search_ = value ? &TFindFile::searchTree : &TFindFile::searchOneFolder;
}

// ---- TFindFile: filters ---------------------------------------------------------------

void TFindFile::prepareFilters() {
    filterCount_ = 0;
    if (Conditions.contains(fcLastWriteTime)) filters_[filterCount_++] = ftLastWrite;
    if (Conditions.contains(fcCreationTime)) filters_[filterCount_++] = ftCreation;
    if (Conditions.contains(fcLastAccessTime)) filters_[filterCount_++] = ftLastAccess;
    if (Conditions.contains(fcSize)) filters_[filterCount_++] = ftSize;

    struct AttrCondition {
        TFindFileCondition condition;
        std::uint32_t bit;
        bool required;
    };
    const AttrCondition attrs[] = {
        {fcArchive, faArchive, AttrArchive},    {fcDirectory, faDirectory, AttrDirectory},
        {fcHidden, faHidden, AttrHidden},       {fcReadOnly, faReadOnly, AttrReadOnly},
        {fcSystem, faSystem, AttrSystem},
    };
    requiredAttrs_ = excludedAttrs_ = 0;
    for (const auto& a : attrs) {
        if (!Conditions.contains(a.condition)) continue;
        (a.required ? requiredAttrs_ : excludedAttrs_) |= a.bit;
    }
    if (requiredAttrs_ | excludedAttrs_) filters_[filterCount_++] = ftAttributes;
}

bool TFindFile::passesFilters(const FindData& d) const {
    for (int i = 0; i < filterCount_; ++i)
        if (!passes(filters_[i], d)) return false;
    return true;
}

bool TFindFile::passes(Filter f, const FindData& d) const {
    switch (f) {
    case ftLastWrite: return lastWriteFilter(d);
    case ftCreation: return creationFilter(d);
    case ftLastAccess: return lastAccessFilter(d);
    case ftSize: return sizeFilter(d);
    case ftAttributes: return attributeFilter(d);
    }
    return false;
}

bool TFindFile::lastWriteFilter(const FindData& d) const {
    return from_[tiLastWrite] <= d.lastWriteTime && d.lastWriteTime <= to_[tiLastWrite];
}

bool TFindFile::creationFilter(const FindData& d) const {
    return d.creationTime != 0 && from_[tiCreation] <= d.creationTime &&
           d.creationTime <= to_[tiCreation];
}

bool TFindFile::lastAccessFilter(const FindData& d) const {
    return d.lastAccessTime != 0 && from_[tiLastAccess] <= d.lastAccessTime &&
           d.lastAccessTime <= to_[tiLastAccess];
}

bool TFindFile::sizeFilter(const FindData& d) const {
    // Only the low 32 bits take part, unsigned: a file of 4 GiB + 10 bytes has size 10 here.
    std::int64_t low = d.sizeLow();
    return MinSize <= low && low <= MaxSize;
}

bool TFindFile::attributeFilter(const FindData& d) const {
    return (d.attributes & requiredAttrs_) == requiredAttrs_ && !(d.attributes & excludedAttrs_);
}

// ---- TFindFile: the walk --------------------------------------------------------------

void TFindFile::pump() {
    if (MessagePump) MessagePump();
}

void TFindFile::DoFileEntry(TFindFirstLoop&, const FindData& d, bool& Cancel) {
    pump();
    if (Aborted) {
        Cancel = true;
        return;
    }
    if (d.isDotOrDotDot() || !passesFilters(d)) return;
    // The handler may be cleared by a handler of the window run from the pump.
    if (OnFind) OnFind(*this, d, currentDir_, Cancel);
}

void TFindFile::DoDirEntry(TFindFirstLoop&, const FindData& d, bool& Cancel) {
    pump();
    if (Aborted) {
        Cancel = true;
        return;
    }
    // A linked folder could lead back up the tree, and a pseudo file system (/proc, /sys)
    // is no place for a file walk: neither is entered.
    if (!d.isDirectory() || d.isDotOrDotDot() || (d.attributes & (faLink | faSystem))) return;
    if (OnEnterFolder && !OnEnterFolder(*this, joinPath(currentDir_, d.name))) return;
    if (!currentRel_.empty()) {
        queue_ += currentRel_;
        queue_ += '/';
    }
    queue_ += d.name;
    queue_ += '\0';
}

std::uint32_t TFindFile::Run() {
    if (!OnFind) return 0;
    // A second Run from a handler would clear the queue of the running one, which would
    // then end early and report success for a partial walk.
    if (running_) return EBUSY;
    FlagScope running(running_);
    prepareFilters();
    Aborted = false;
    std::uint32_t result = (this->*search_)();
    queue_.clear();
    queue_.shrink_to_fit();
    queueHead_ = 0;
    if (result == kErrorCancelled && ExceptionOnCancel)
        throw EFindFileCancel("TFindFile.Run Cancelled");
    return result;
}

std::uint32_t TFindFile::searchOneFolder() {
    currentDir_ = baseDir_;
    fileLoop_.setPath(joinPath(currentDir_, FileMask));
    std::uint32_t r = fileLoop_.Run();
    reportOpenError();
    return r;
}

void TFindFile::reportOpenError() {
    // A folder that cannot be opened yields no entries; one that merely has none
    // matching the mask is no error.
    if (fileLoop_.OpenError() != 0 && OnFolderError)
        OnFolderError(*this, currentDir_, fileLoop_.OpenError());
}

std::uint32_t TFindFile::searchTree() {
    // Only the folders still to visit are kept; the visited part at the head of the queue
    // is dropped once it makes up half of the buffer.
    queue_.clear();
    queueHead_ = 0;
    currentRel_.clear();
    currentDir_ = baseDir_;
    for (;;) {
        fileLoop_.setPath(joinPath(currentDir_, FileMask));
        if (std::uint32_t r = fileLoop_.Run()) return r;
        reportOpenError();
        dirLoop_.setPath(joinPath(currentDir_, DirMask));
        if (std::uint32_t r = dirLoop_.Run()) return r;
        if (queueHead_ == queue_.size()) return 0;
        std::size_t end = queue_.find('\0', queueHead_);
        currentRel_.assign(queue_, queueHead_, end - queueHead_);
        queueHead_ = end + 1;
        if (queueHead_ > 4096 && queueHead_ * 2 > queue_.size()) {
            queue_.erase(0, queueHead_);
            queueHead_ = 0;
        }
        currentDir_ = joinPath(baseDir_, currentRel_);
    }
}

} // namespace g3
