// What the copy and move worker asks of the main window: the progress dialog, the error
// list, the same-name dialog, the monitor, the tree refresh, the folder dialog and the
// shell file operation window.
#pragma once

#include "engine/copyhost.h"
#include "engine/errorlist.h"

namespace g3 {

class TForm1;

class MainCopyHost : public CopyHost {
public:
    explicit MainCopyHost(TForm1& form) : form_(form) {}

    bool openProgress(bool showCancel, const std::string& caption, int max, int min) override;
    bool updateProgress(bool step, const std::string& line1, const std::string& line2,
                        const std::string& line3) override;
    void closeProgress() override;
    void clearErrors() override;
    void addErrorMessage(const std::string& first, const std::string& second, int code) override;
    int errorCount() override;
    void offerErrorReport() override;
    void prepareSameName() override;
    int askSameName(const std::string& label, const std::string& dst, std::int64_t srcSize,
                    std::int64_t dstSize, const std::string& srcTime,
                    const std::string& dstTime) override;
    void setMonitorActive(bool active) override;
    void refreshTree() override;
    void runStateChanged(bool running) override;
    void showRefusal(const std::string& text) override;
    bool chooseFolder(const std::string& title, std::string& folder) override;
    int runShellOperation(ShellFileOperation& op) override;

private:
    ErrorList& errors();

    TForm1& form_;
    ErrorList ownErrors_;
};

} // namespace g3
