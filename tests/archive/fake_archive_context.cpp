#include "fake_archive_context.h"

#include "platform/fileops.h"
#include "platform/paths.h"

namespace g3test {

bool FakeArchiveContext::confirm(const std::string& text) {
    log.push_back("confirm:" + text);
    return answerYes;
}

void FakeArchiveContext::inform(const std::string& text) {
    log.push_back("inform:" + text);
}

bool FakeArchiveContext::askArchiveName(const std::string& caption, const std::string& prompt,
                                        std::string& text) {
    log.push_back("askName");
    nameCaption = caption;
    namePrompt = prompt;
    nameInitial = text;
    if (!typedName.empty()) text = typedName;
    return nameOk;
}

bool FakeArchiveContext::navigateTo(const std::string& path) {
    const bool ok = g3::isFolder(path);
    log.push_back(std::string(ok ? "navigate:" : "navigateFailed:") + path);
    if (ok) current = g3::currentFolderForm(path);
    return ok;
}

} // namespace g3test
