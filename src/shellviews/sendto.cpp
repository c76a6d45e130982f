#include "shellviews/sendto.h"

#include "platform/codepage.h"
#include "platform/desktopapps.h"
#include "platform/fileops.h"
#include "platform/findfile.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"
#include "shellviews/naturalorder.h"

#include <unistd.h>

#include <algorithm>

namespace g3 {

std::string sendToFolder() { return joinPath(joinPath(configHome(), "grottan3"), "SendTo"); }

bool ensureSendToFolder() {
    const std::string folder = sendToFolder();
    if (isFolder(folder)) return true;
    if (!forceDirectories(folder)) return false;
    const std::string home = homeFolder();
    const std::string desktop = desktopFolder();
    // Links that cannot be made leave a folder the user fills in by hand.
    (void)symlink(home.c_str(), joinPath(folder, "ホーム").c_str());
    if (desktop != home) (void)symlink(desktop.c_str(), joinPath(folder, "デスクトップ").c_str());
    return true;
}

bool listSendTo(const std::string& folder, std::size_t max, std::vector<SendToEntry>& out) {
    out.clear();
    FindHandle h;
    FindData d;
    bool ok = h.first(joinPath(folder, "*"), d, FindDetail::NameAndType);
    if (!ok && h.error() != 0) return false;
    std::vector<std::string> names;
    for (; ok; ok = h.next(d)) {
        if (d.isDotOrDotDot() || (d.attributes & faHidden)) continue;
        if ((d.attributes & faDirectory) && !(d.attributes & faLink)) continue;
        names.push_back(d.name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return compareNames(a, b) < 0; });
    if (names.size() > max) names.resize(max);
    for (const std::string& n : names) {
        const std::string path = joinPath(folder, n);
        std::string caption = n.ends_with(".desktop") ? desktopEntryName(path) : std::string();
        if (caption.empty()) caption = displayTextOf(n);
        out.push_back({path, caption});
    }
    return true;
}

SendToTarget sendToTargetOf(const std::string& item) {
    const std::string resolved = resolvedPath(item);
    if (resolved.empty()) return {};
    if (isFolder(resolved)) return {SendToTarget::Folder, resolved};
    if (resolved.ends_with(".desktop") && !desktopEntryName(resolved).empty())
        return {SendToTarget::Application, resolved};
    return {};
}

} // namespace g3
