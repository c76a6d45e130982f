#include "scripted_host.h"

#include <algorithm>

namespace g3test {

bool ScriptedHost::openProgress(bool, const std::string& caption, int, int) {
    calls.push_back("open:" + caption);
    if (duringRun) {
        auto f = std::move(duringRun);
        duringRun = nullptr;
        f();
    }
    return true;
}

bool ScriptedHost::updateProgress(bool, const std::string& l1, const std::string& l2,
                                  const std::string& l3) {
    calls.push_back("update:" + l1 + "|" + l2 + "|" + l3);
    if (updatesBeforeStop == 0) return false;
    if (updatesBeforeStop > 0) --updatesBeforeStop;
    return updateResult;
}

int ScriptedHost::askSameName(const std::string& label, const std::string& dst,
                              std::int64_t srcSize, std::int64_t dstSize,
                              const std::string& srcTime, const std::string& dstTime) {
    questions.push_back({label, dst, srcSize, dstSize, srcTime, dstTime});
    if (answers.empty()) return 6;
    int a = answers.front();
    answers.pop_front();
    return a;
}

bool ScriptedHost::chooseFolder(const std::string& title, std::string& folder) {
    folderTitle = title;
    if (folderChoice.empty()) return false;
    folder = folderChoice;
    return true;
}

int ScriptedHost::runShellOperation(g3::ShellFileOperation& op) {
    ++shellRuns;
    size_t next = 0;
    op.setReplaceQuestion([this, next](const g3::ReplaceInfo&) mutable {
        return next < replaceAnswers.size() ? replaceAnswers[next++] : g3::ReplaceAnswer::No;
    });
    shellResult = op.run();
    auto errors = op.errors();
    shellErrors.insert(shellErrors.end(), errors.begin(), errors.end());
    return shellResult;
}

int ScriptedHost::count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

} // namespace g3test
