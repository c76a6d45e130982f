#include "app/settings.h"

#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/xdgdirs.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace g3 {

namespace {

const char* const kHabaKeys[4] = {"haba0", "haba1", "haba2", "haba3"};

// Windows' formatted message: "%s" replaced by the file name.
std::string withName(const char* pattern, const std::string& name) {
    std::string s = pattern;
    s.replace(s.find("%s"), 2, name);
    return s;
}

} // namespace

std::string dataIniPath() { return joinPath(configFolder(), "data.ini"); }
std::string memoIniPath() { return joinPath(configFolder(), "memo.ini"); }

FormSettings readDataIni(const std::string& path) {
    const ProfileFile ini(path);
    FormSettings s;
    s.layout = ini.readInteger("sutairu", "tateyoko", s.layout);
    s.left = ini.readInteger("form", "left", s.left);
    s.top = ini.readInteger("form", "top", s.top);
    s.width = ini.readInteger("form", "width", s.width);
    s.height = ini.readInteger("form", "height", s.height);
    s.ban = ini.readInteger("fileVstyle", "ban", s.ban);
    for (int i = 0; i < 4; ++i) s.haba[i] = ini.readInteger("fileVhaba", kHabaKeys[i], s.haba[i]);
    return s;
}

void writeDataIni(const std::string& path, const FormSettings& s, const std::string& folder) {
    ProfileFile ini(path);
    auto put = [&](const char* section, const char* key, int v) {
        if (!ini.writeInteger(section, key, v))
            throw std::runtime_error(withName("%s に書き込めません", path));
    };
    put("sutairu", "tateyoko", s.layout);
    put("form", "left", s.left);
    put("form", "top", s.top);
    put("form", "width", s.width);
    put("form", "height", s.height);
    // A folder whose name holds a line break cannot stand on one line: it is not kept.
    const bool storable = folder.find_first_of("\r\n") == std::string::npos;
    if (!ini.writeString("Folder", "Path", storable ? folder : std::string()))
        throw std::runtime_error(withName("%s に書き込めません", path));
    for (int i = 0; i < 4; ++i) put("fileVhaba", kHabaKeys[i], s.haba[i]);
    put("fileVstyle", "ban", s.ban);
}

QRect correctOffScreen(QRect window, const std::vector<QRect>& screens) {
    if (screens.empty()) return window;
    long long sumWidth = 0;
    int minHeight = INT_MAX;
    for (const QRect& r : screens) {
        sumWidth += r.width();
        minHeight = std::min(minHeight, r.height());
    }
    if (static_cast<long long>(window.left()) + window.width() > sumWidth) window.moveLeft(50);
    if (static_cast<long long>(window.top()) + window.height() > minHeight) window.moveTop(50);
    return window;
}

QRect fitSizeInto(QRect window, const QRect& available) {
    if (available.isEmpty()) return window;
    window.setWidth(std::min(window.width(), available.width()));
    window.setHeight(std::min(window.height(), available.height()));
    return window;
}

std::vector<std::string> readMemoIni(const std::string& path) {
    std::vector<std::string> lines;
    std::string raw;
    if (!readWholeFile(path, raw)) return lines;
    const std::string text = windowsTextToUtf8(raw);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void writeMemoIni(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    // A path with a line break would come back as two tabs: such a tab is not kept.
    for (const auto& l : lines)
        if (l.find_first_of("\r\n") == std::string::npos) bytes += l + "\r\n";
    if (!writeFileAtomically(path, bytes))
        throw std::runtime_error(withName("ファイル %s を作成できません", path));
}

std::string tabCaption(const std::string& path) {
    std::string name = namePart(path);
    return name.empty() ? path : name;
}

} // namespace g3
