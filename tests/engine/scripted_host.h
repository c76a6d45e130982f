// A CopyHost for tests: records what the worker asks and answers from a script.
#pragma once

#include "engine/copyhost.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace g3test {

struct ErrorEntry {
    std::string first, second;
    int code;
};

struct SameNameQuestion {
    std::string label, dst;
    std::int64_t srcSize, dstSize;
    std::string srcTime, dstTime;
};

class ScriptedHost : public g3::CopyHost {
public:
    // Recorded calls, in order ("open:<caption>", "update:<line1>|<line2>|<line3>",
    // "close", "monitor:0", "monitor:1", "refresh", "run:1", "run:0", "report").
    std::vector<std::string> calls;
    std::vector<ErrorEntry> errors;
    std::vector<SameNameQuestion> questions;
    std::vector<std::string> refusals;
    std::deque<int> answers;  // same-name answers; 6 once empty
    int prepared = 0;
    bool updateResult = true; // what updateProgress answers
    int updatesBeforeStop = -1; // >= 0: updateProgress turns false after that many calls
    std::string folderChoice; // empty: the folder dialog is cancelled
    std::string folderTitle;
    std::vector<g3::ReplaceAnswer> replaceAnswers; // for the shell operation
    int shellRuns = 0;
    std::vector<g3::FileOpError> shellErrors; // what the shell operations reported
    int shellResult = 0;                      // the last one's result
    std::function<void()> duringRun; // called at openProgress of the run

    bool openProgress(bool, const std::string& caption, int, int) override;
    bool updateProgress(bool, const std::string& l1, const std::string& l2,
                        const std::string& l3) override;
    void closeProgress() override { calls.push_back("close"); }
    void clearErrors() override { errors.clear(); }
    void addErrorMessage(const std::string& first, const std::string& second, int code) override {
        errors.push_back({first, second, code});
    }
    int errorCount() override { return static_cast<int>(errors.size()); }
    void offerErrorReport() override { calls.push_back("report"); }
    void prepareSameName() override { ++prepared; }
    int askSameName(const std::string& label, const std::string& dst, std::int64_t srcSize,
                    std::int64_t dstSize, const std::string& srcTime,
                    const std::string& dstTime) override;
    void setMonitorActive(bool a) override { calls.push_back(a ? "monitor:1" : "monitor:0"); }
    void refreshTree() override { calls.push_back("refresh"); }
    void runStateChanged(bool r) override { calls.push_back(r ? "run:1" : "run:0"); }
    void showRefusal(const std::string& text) override { refusals.push_back(text); }
    bool chooseFolder(const std::string& title, std::string& folder) override;
    int runShellOperation(g3::ShellFileOperation& op) override;

    int count(const std::string& call) const;
};

} // namespace g3test
