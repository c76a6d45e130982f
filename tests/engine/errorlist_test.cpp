#include "engine/errorlist.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace g3;

namespace {

struct ScriptedReport : ErrorReportHost {
    bool answer = false;
    std::vector<std::string> questions;
    int listsShown = 0;
    bool askShowErrorList(const std::string& q) override {
        questions.push_back(q);
        return answer;
    }
    void showErrorList() override { ++listsShown; }
};

class ErrorListTest : public ::testing::Test {
protected:
    ErrorList list;
    ScriptedReport report;
};

} // namespace

TEST_F(ErrorListTest, EntryIsThreeLinesWithTheSystemText) {
    const std::string sys = systemErrorText(ENOENT);
    ASSERT_FALSE(sys.empty());
    EXPECT_NE(sys.back(), '.');
    EXPECT_EQ(errorMessageText("/a/x.txt から", "/b/x.txt への建て増しで、", ENOENT),
              "/a/x.txt から\r\n/b/x.txt への建て増しで、\r\n「" + sys +
                  "」というエラーが発生したみたいです。");
}

TEST_F(ErrorListTest, UnknownCodeLeavesTheBracketsEmpty) {
    EXPECT_EQ(errorMessageText("a", "b", 987654), "a\r\nb\r\n「」というエラーが発生したみたいです。");
}

TEST_F(ErrorListTest, EntriesKeepTheirOrderAndCount) {
    list.AddErrorMessage("1", "x", EACCES);
    list.AddErrorMessage("2", "x", EEXIST);
    ASSERT_EQ(list.ErrorCount(), 2);
    ASSERT_EQ(list.entries().size(), 2u);
    EXPECT_EQ(list.entries()[0].substr(0, 3), "1\r\n");
    EXPECT_EQ(list.entries()[1].substr(0, 3), "2\r\n");
    list.clear();
    EXPECT_EQ(list.ErrorCount(), 0);
    EXPECT_TRUE(list.entries().empty());
}

TEST_F(ErrorListTest, ThreeErrorsAskTheExactQuestionAndNoKeepsTheList) {
    for (int i = 0; i < 3; ++i) list.AddErrorMessage("s", "d", EIO);
    list.report(report);
    ASSERT_EQ(report.questions.size(), 1u);
    EXPECT_EQ(report.questions[0],
              "3件のエラーが発生したみたいです。メッセージ一覧を表示しますか？");
    EXPECT_EQ(report.listsShown, 0);
    EXPECT_EQ(list.entries().size(), 3u);
    report.answer = true;
    list.report(report);
    EXPECT_EQ(report.listsShown, 1);
}

TEST_F(ErrorListTest, NoFailureNoQuestion) {
    list.report(report);
    EXPECT_TRUE(report.questions.empty());
}
