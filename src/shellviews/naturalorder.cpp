#include "shellviews/naturalorder.h"

#include <cstring>

namespace g3 {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

unsigned char foldAscii(char c) {
    auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

int sign(long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Compares the digit runs starting at a[i] and b[j] by value and moves both past them.
int compareNumbers(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
    while (i < a.size() && a[i] == '0') ++i;
    while (j < b.size() && b[j] == '0') ++j;
    std::size_t ei = i, ej = j;
    while (ei < a.size() && isDigit(a[ei])) ++ei;
    while (ej < b.size() && isDigit(b[ej])) ++ej;
    std::size_t la = ei - i, lb = ej - j;
    int c = la != lb ? (la < lb ? -1 : 1) : sign(std::memcmp(a.data() + i, b.data() + j, la));
    i = ei;
    j = ej;
    return c;
}

} // namespace

int naturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (int c = compareNumbers(a, i, b, j)) return c;
            continue;
        }
        unsigned char ca = foldAscii(a[i]), cb = foldAscii(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    return (i < a.size() ? 1 : 0) - (j < b.size() ? 1 : 0);
}

int compareNames(std::string_view a, std::string_view b) {
    if (int c = naturalCompare(a, b)) return c;
    return sign(a.compare(b));
}

} // namespace g3
