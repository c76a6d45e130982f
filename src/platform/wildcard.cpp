#include "platform/findfile.h"

#include "platform/paths.h"

namespace g3 {

namespace {

// "*" and "?" over bytes, ASCII letters without regard to case; the last "*" seen is
// retried one byte further on a mismatch, so the match runs in linear passes.
bool globMatch(std::string_view name, std::string_view mask) {
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || lowerAscii(mask[m]) == lowerAscii(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

bool isDotOrDotDotName(std::string_view name) { return name == "." || name == ".."; }

} // namespace

bool matchesMask(std::string_view name, std::string_view mask) {
    if (mask == "*" || mask == "*.*") return true;
    if (mask.empty()) return false;
    // A mask ending in "." asks for names without an extension ("*." lists "README").
    if (mask.back() == '.') {
        while (!mask.empty() && mask.back() == '.') mask.remove_suffix(1);
        if (!isDotOrDotDotName(name) && name.find('.') != std::string_view::npos) return false;
        return mask.empty() ? isDotOrDotDotName(name) : globMatch(name, mask);
    }
    // As on the system the program was written for, a final ".*" also matches no
    // extension at all: "read*.*" lists "readme" as well as "readme.txt".
    if (globMatch(name, mask)) return true;
    return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
           globMatch(name, mask.substr(0, mask.size() - 2));
}

} // namespace g3
