#include "archive/libs/archiverjob.h"

#include "archive/archiverapi.h"
#include "platform/codepage.h"
#include "platform/dostime.h"
#include "platform/errors.h"
#include "platform/paths.h"

#include <clocale>
#include <locale.h>

namespace g3 {

namespace {

// The job's thread reads and writes names as UTF-8 whatever the process's locale: the
// reader converts names to the thread's locale, and under "C" it gives none at all.
class ThreadUtf8Locale {
public:
    ThreadUtf8Locale() {
        loc_ = newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
        if (loc_) old_ = uselocale(loc_);
    }
    ~ThreadUtf8Locale() {
        if (!loc_) return;
        uselocale(old_);
        freelocale(loc_);
    }
    ThreadUtf8Locale(const ThreadUtf8Locale&) = delete;
    ThreadUtf8Locale& operator=(const ThreadUtf8Locale&) = delete;

private:
    locale_t loc_ = nullptr;
    locale_t old_ = nullptr;
};

} // namespace

ArchiverJob::ArchiverJob(Kind kind, std::string archive)
    : kind_(kind), archive_(std::move(archive)) {}

ArchiverJob::~ArchiverJob() {
    wait();
}

int ArchiverJob::run() {
    int r;
    {
        ThreadUtf8Locale utf8;
        r = work();
    }
    if (r == kArchiverOk && cancelled()) r = kArchiverCancelled;
    if (r == kArchiverOk && !errors().empty()) r = kArchiverEntriesFailed;
    result_.store(r);
    finished_.store(true);
    if (onFinished_) onFinished_();
    return r;
}

void ArchiverJob::start() {
    worker_ = std::thread([this] { run(); });
}

void ArchiverJob::wait() {
    if (worker_.joinable()) worker_.join();
}

std::string ArchiverJob::currentEntry() const {
    std::lock_guard lock(mutex_);
    return current_;
}

std::vector<EntryError> ArchiverJob::errors() const {
    std::lock_guard lock(mutex_);
    return errors_;
}

void ArchiverJob::addError(std::string name, EntryProblem problem, int code, std::string detail) {
    std::lock_guard lock(mutex_);
    errors_.push_back({std::move(name), problem, code, std::move(detail)});
}

void ArchiverJob::setCurrent(const std::string& name) {
    std::lock_guard lock(mutex_);
    current_ = name;
}

ReplaceAnswer ArchiverJob::askReplace(const ReplaceInfo& info) {
    if (replaceAll_) return ReplaceAnswer::Yes;
    if (!question_) return ReplaceAnswer::No;
    ReplaceAnswer a = question_(info);
    if (a == ReplaceAnswer::YesToAll) replaceAll_ = true;
    if (a == ReplaceAnswer::Cancel) cancel();
    return a;
}

std::string problemText(const EntryError& e) {
    switch (e.problem) {
    case EntryProblem::System: {
        std::string why = systemErrorText(e.code);
        return why.empty() ? "書き込めませんでした" : why;
    }
    case EntryProblem::Absolute:
        return "冷凍団地の外の場所（絶対パス）を表札にしているので、解凍しません";
    case EntryProblem::DotDot:
        return "表札に「..」があり、解凍先の洞窟の外に出てしまうので、解凍しません";
    case EntryProblem::LinkOutside:
        return "解凍先の洞窟の外を指す近道なので、作りません";
    case EntryProblem::ThroughLink:
        return "近道を通って書き込むことになるので、解凍しません";
    case EntryProblem::HardLinkOutside:
        return "この冷凍団地から解凍していない家への別名なので、作りません";
    case EntryProblem::Special:
        return "普通の家ではない（デバイスやパイプなど）ので、扱いません";
    case EntryProblem::Duplicate:
        return "同じ表札の家が冷凍団地に二度入っているので、二軒目は解凍しません";
    case EntryProblem::FolderInTheWay:
        return "同じ名前の洞窟と家がぶつかるので、解凍できません";
    case EntryProblem::NotReplaced:
        return "同じ表札の家が既にあり、置き換えてよいか聞けないので、そのままにしました";
    case EntryProblem::Encrypted:
        return "鍵のかかった家なので、解凍できません";
    case EntryProblem::Unsupported:
        return "知らない方法で凍結されているので、解凍できません";
    case EntryProblem::Damaged:
        return "冷凍団地が壊れているので、解凍できません";
    case EntryProblem::BadName:
        return "表札が読めないので、扱えません";
    case EntryProblem::NotArchive:
        return "この冷凍団地の形式は分かりません";
    case EntryProblem::Missing:
        return "家が見つからないので、凍結できません";
    case EntryProblem::ArchiveExists:
        return "同じ名前の冷凍団地が既にあるので、凍結しませんでした";
    }
    return {};
}

std::string reportText(const ArchiverJob& job, std::size_t maxLines) {
    const std::vector<EntryError> errors = job.errors();
    if (errors.empty()) return {};
    const std::string estate = "冷凍団地「" + namePart(job.archive()) + "」";
    const bool thaw = job.kind() == ArchiverJob::Kind::Thaw;
    const bool whole = job.result() == kArchiverCannotRead ||
                       job.result() == kArchiverCannotWrite || job.result() == kArchiverBadCommand;
    std::string text;
    if (whole)
        text = estate + (thaw ? "を解凍できませんでした。" : "に凍結できませんでした。");
    else
        text = estate + (thaw ? "を解凍しましたが、次の家は解凍できませんでした。"
                              : "に凍結しましたが、次の家は凍結できませんでした。");
    std::size_t shown = 0;
    for (const EntryError& e : errors) {
        if (shown == maxLines) {
            text += "\nほか " + std::to_string(errors.size() - shown) + " 件";
            break;
        }
        text += "\n";
        if (!e.name.empty()) text += "「" + displayTextOf(e.name) + "」: ";
        text += problemText(e);
        ++shown;
    }
    return text;
}

std::string localTimeText(std::int64_t seconds) {
    return formatFileTimeLong(fileTimeFromUnix(seconds));
}

} // namespace g3
