#include "engine/errorlist.h"

#include "platform/errors.h"

namespace g3 {

std::string errorMessageText(const std::string& First, const std::string& Second,
                             std::int32_t Code) {
    return First + "\r\n" + Second + "\r\n" + "「" + systemErrorText(Code) +
           "」というエラーが発生したみたいです。";
}

std::string errorReportQuestion(std::int32_t n) {
    return std::to_string(n) + "件のエラーが発生したみたいです。メッセージ一覧を表示しますか？";
}

void ErrorList::AddErrorMessage(const std::string& First, const std::string& Second,
                                std::int32_t Code) {
    entries_.push_back(errorMessageText(First, Second, Code));
    ++count_;
}

void ErrorList::clear() {
    entries_.clear();
    count_ = 0;
}

void ErrorList::report(ErrorReportHost& windows) const {
    if (count_ == 0) return;
    if (windows.askShowErrorList(errorReportQuestion(count_))) windows.showErrorList();
}

} // namespace g3
