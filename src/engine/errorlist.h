// The error list of a copy or move run: one entry per failed file, in the order of the
// failures, offered to the user at the end of the run. The list itself is window-free so
// the engine can fill it; TOKRightDlg keeps and shows it (app/OKRightDlg.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace g3 {

// First + CR LF + Second + CR LF + "「" + the system's text for Code + "」というエラーが
// 発生したみたいです。"
std::string errorMessageText(const std::string& First, const std::string& Second,
                             std::int32_t Code);

// The end-of-run question: the decimal count directly followed by
// "件のエラーが発生したみたいです。メッセージ一覧を表示しますか？"
std::string errorReportQuestion(std::int32_t count);

// The windows of the end-of-run report.
class ErrorReportHost {
public:
    virtual ~ErrorReportHost() = default;
    // Asks question in a warning box with Yes and No; true for Yes.
    virtual bool askShowErrorList(const std::string& question) = 0;
    // Shows the list modally.
    virtual void showErrorList() = 0;
};

// The list itself: one entry per failed file since the start of the run.
class ErrorList {
public:
    // Appends errorMessageText(...) and counts it.
    void AddErrorMessage(const std::string& First, const std::string& Second, std::int32_t Code);
    // Start of a run: the list is emptied and ErrorCount is 0.
    void clear();
    const std::vector<std::string>& entries() const { return entries_; }
    std::int32_t ErrorCount() const { return count_; }
    // End of a run: nothing when ErrorCount is 0; otherwise asks errorReportQuestion and
    // has the list shown on Yes. The list stays until the next clear either way.
    void report(ErrorReportHost& windows) const;

private:
    std::vector<std::string> entries_;
    std::int32_t count_ = 0;
};

} // namespace g3
