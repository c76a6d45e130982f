#include "engine/errorlist.h"

#include "platform/errors.h"

namespace g3 {

namespace {
std::vector<std::string> entries;
std::int32_t count = 0;
ErrorReportHost* reportHost = nullptr;
} // namespace

std::string errorMessageText(const std::string& First, const std::string& Second,
                             std::int32_t Code) {
    return First + "\r\n" + Second + "\r\n" + "「" + systemErrorText(Code) +
           "」というエラーが発生したみたいです。";
}

void AddErrorMessage(const std::string& First, const std::string& Second, std::int32_t Code) {
    entries.push_back(errorMessageText(First, Second, Code));
    ++count;
}

void clearErrorList() {
    entries.clear();
    count = 0;
}

const std::vector<std::string>& errorList() { return entries; }

std::int32_t ErrorCount() { return count; }

std::string errorReportQuestion(std::int32_t n) {
    return std::to_string(n) + "件のエラーが発生したみたいです。メッセージ一覧を表示しますか？";
}

ErrorReportHost* setErrorReportHost(ErrorReportHost* host) {
    ErrorReportHost* old = reportHost;
    reportHost = host;
    return old;
}

void reportErrors() {
    if (count == 0 || !reportHost) return;
    if (reportHost->askShowErrorList(errorReportQuestion(count))) reportHost->showErrorList();
}

} // namespace g3
