// The main window's persistent state: data.ini (placement, layout, list style, column
// widths) and memo.ini (the favourite tab set), both in configFolder(). Plain functions
// over values, so the rules can be tested without a window.
#pragma once

#include <QRect>

#include <array>
#include <string>
#include <vector>

namespace g3 {

// What data.ini holds, with the defaults of a first start.
struct FormSettings {
    int layout = 0; // "sutairu"/"tateyoko": 0 side by side, 1 stacked
    int left = 50, top = 50, width = 320, height = 240; // "form"
    int ban = 1;    // "fileVstyle"/"ban": 1 large icons, 2 small icons, 3 list, 4 details
    std::array<int, 4> haba{100, 70, 70, 70}; // "fileVhaba"/"haba0".."haba3"
};

std::string dataIniPath();
std::string memoIniPath();

// Reads data.ini; missing file, keys or non-numbers give the defaults.
FormSettings readDataIni(const std::string& path);
// Writes the keys in the order the window closes with; folder goes to "Folder"/"Path".
// Throws std::runtime_error "<path> に書き込めません" at the first write that fails (the
// values after it are not written).
void writeDataIni(const std::string& path, const FormSettings& s, const std::string& folder);

// The off-screen correction. W is the sum of the screens' widths, H the smallest height:
// a window whose right edge passes W gets left 50, one whose bottom passes H gets top 50.
// Size and a window partly left of or above the screens are left alone.
QRect correctOffScreen(QRect window, const std::vector<QRect>& screens);
// A size larger than the screen's available area (a size stored at a smaller scale
// factor) is cut down to it; the position is left to correctOffScreen.
QRect fitSizeInto(QRect window, const QRect& available);

// memo.ini: one folder per line (CR LF or LF), UTF-8 or, from Windows, CP932. A missing or
// unreadable file gives no lines.
std::vector<std::string> readMemoIni(const std::string& path);
// Replaces memo.ini with the lines, UTF-8, each ended by CR LF. Throws std::runtime_error
// "ファイル <path> を作成できません" when the file cannot be written.
void writeMemoIni(const std::string& path, const std::vector<std::string>& lines);

// Caption of a favourite tab: the part after the last "/", the whole path when there is
// none; "/" stays "/".
std::string tabCaption(const std::string& path);

} // namespace g3
