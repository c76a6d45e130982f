// A scripted stand-in for the window: it answers the archive commands' questions from its
// settings and writes every call it gets into one log, in order.
#pragma once

#include "archive/archivebridge.h"

#include <string>
#include <vector>

namespace g3test {

class FakeArchiveContext : public g3::ArchiveCommandContext {
public:
    int count = 1;
    std::string selected;
    std::string current;
    void* owner = reinterpret_cast<void*>(0x5eed);
    bool answerYes = true;
    bool nameOk = true;
    std::string typedName; // when set, typed into the name dialog in place of its text
    // Folders navigateTo accepts (existing folders always are).
    std::vector<std::string> log;
    // What the name dialog was shown with.
    std::string nameCaption, namePrompt, nameInitial;

    int selectionCount() const override { return count; }
    std::string selectedPath() const override { return selected; }
    std::string currentFolder() const override { return current; }
    void* ownerWindow() const override { return owner; }
    bool confirm(const std::string& text) override;
    void inform(const std::string& text) override;
    bool askArchiveName(const std::string& caption, const std::string& prompt,
                        std::string& text) override;
    void monitorOff() override { log.push_back("monitorOff"); }
    void monitorOn() override { log.push_back("monitorOn"); }
    void treeRefresh() override { log.push_back("refresh"); }
    // Accepts an existing folder (a trailing "/" allowed) and makes it current.
    bool navigateTo(const std::string& path) override;
};

} // namespace g3test
