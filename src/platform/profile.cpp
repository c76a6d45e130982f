#include "platform/profile.h"

#include "platform/errors.h"
#include "platform/fileio.h"
#include "platform/paths.h"

#include <cerrno>
#include <climits>
#include <cstdint>

namespace g3 {

namespace {

std::string_view trimmed(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// "[name]" gives name; anything else is not a section header.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[') return false;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = trimmed(line.substr(1, close - 1));
    return true;
}

// "key=value" (not a comment) gives key and value, both trimmed; the value loses one pair
// of enclosing quotes, as profile readers do.
// A value that reading would change (blanks at either end, or a pair of quotes around it)
// goes in quotes, which reading takes off again.
std::string quotedIfNeeded(std::string_view v) {
    if (v.empty()) return {};
    const bool blankEnds = trimmed(v).size() != v.size();
    const bool quotedAlready =
        v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    if (!blankEnds && !quotedAlready) return std::string(v);
    return "\"" + std::string(v) + "\"";
}

bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = trimmed(line);
    if (t.empty() || t.front() == ';') return false;
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = trimmed(t.substr(0, eq));
    value = trimmed(t.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return !key.empty();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = lowerAscii(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

// The whole value must be a number: decimal in int range, or 0x with up to 8 hex digits
// taken as 32 bits ("0xFFFFFFFF" is -1).
bool parseInteger(std::string_view s, int& out) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        if (s.size() > 10) return false;
        std::uint32_t v = 0;
        for (char c : s.substr(2)) {
            int d = hexDigit(c);
            if (d < 0) return false;
            v = v * 16 + static_cast<std::uint32_t>(d);
        }
        out = static_cast<int>(v);
        return true;
    }
    bool negative = !s.empty() && (s[0] == '-' || s[0] == '+') ? (s[0] == '-') : false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    if (s.empty() || s.size() > 10) return false;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    v = negative ? -v : v;
    if (v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
    std::string bytes;
    if (!readWholeFile(path_, bytes)) {
        if (lastError() != ENOENT) readError_ = lastError();
        return;
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t nl = bytes.find('\n', start);
        if (nl == std::string::npos) nl = bytes.size();
        lines_.emplace_back(bytes, start, nl - start);
        start = nl + 1;
    }
}

int ProfileFile::findSection(std::string_view section) const {
    std::string_view name;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (sectionName(lines_[i], name) && equalsIgnoringAsciiCase(name, section)) return static_cast<int>(i);
    return -1;
}

int ProfileFile::findKey(int sectionLine, std::string_view key) const {
    std::string_view name, k, v;
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        if (sectionName(lines_[i], name)) break;
        if (keyValue(lines_[i], k, v) && equalsIgnoringAsciiCase(k, key)) return static_cast<int>(i);
    }
    return -1;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view def) const {
    int s = findSection(section);
    int k = s < 0 ? -1 : findKey(s, key);
    std::string_view name, value;
    if (k < 0 || !keyValue(lines_[static_cast<std::size_t>(k)], name, value)) return std::string(def);
    return std::string(value);
}

int ProfileFile::readInteger(std::string_view section, std::string_view key, int def) const {
    if (!hasKey(section, key)) return def;
    int v = 0;
    return parseInteger(readString(section, key), v) ? v : def;
}

bool ProfileFile::hasKey(std::string_view section, std::string_view key) const {
    int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

bool ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view raw) {
    // A line cannot hold a line break: such a value would break the file.
    if (raw.find_first_of("\r\n") != std::string_view::npos) {
        setLastError(EINVAL);
        return false;
    }
    const std::string value = quotedIfNeeded(raw);
    // New lines follow the file's own line ends, so a file from Windows stays CR LF.
    std::string eol = !lines_.empty() && !lines_[0].empty() && lines_[0].back() == '\r' ? "\r" : "";
    std::string line = std::string(key) + "=" + value + eol;
    int s = findSection(section);
    if (s < 0) {
        lines_.push_back("[" + std::string(section) + "]" + eol);
        lines_.push_back(line);
        return save();
    }
    int k = findKey(s, key);
    if (k >= 0) {
        std::string_view oldKey, oldValue;
        keyValue(lines_[static_cast<std::size_t>(k)], oldKey, oldValue);
        lines_[static_cast<std::size_t>(k)] = std::string(oldKey) + "=" + std::string(value) + eol;
        return save();
    }
    // After the section's last non-blank line, so the blank line before the next
    // section stays where it is.
    std::size_t at = static_cast<std::size_t>(s) + 1, end = at;
    std::string_view name;
    for (; end < lines_.size() && !sectionName(lines_[end], name); ++end)
        if (!trimmed(lines_[end]).empty()) at = end + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
    return save();
}

bool ProfileFile::writeInteger(std::string_view section, std::string_view key, int value) {
    return writeString(section, key, std::to_string(value));
}

bool ProfileFile::save() {
    if (readError_) {
        setLastError(readError_);
        return false;
    }
    std::string bytes;
    for (const auto& l : lines_) {
        bytes += l;
        bytes += '\n';
    }
    return writeFileAtomically(path_, bytes);
}

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    struct stat st {};
    mode_t mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    TempFile tmp(path);
    int e = 0;
    if (!tmp.isOpen()) e = errno;
    else if (!writeAll(tmp.fd(), bytes) || fchmod(tmp.fd(), mode) != 0 || fdatasync(tmp.fd()) != 0)
        e = errno;
    else
        e = tmp.renameInto(path, true);
    if (e) setLastError(e);
    return e == 0;
}

bool readWholeFile(const std::string& path, std::string& out) {
    struct stat st {};
    UniqueFd fd = openRegularFile(path, st);
    if (!fd) {
        setLastError(errno);
        return false;
    }
    out.clear();
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            setLastError(errno);
            return false;
        }
        if (n == 0) return true;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

} // namespace g3
