#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace g3 {

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at s[i], or 0 (overlong forms, surrogates and
// values above U+10FFFF are not well-formed).
std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) return 1;
    std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((b(i + k) & 0xC0) != 0x80) return 0;
    unsigned char c1 = b(i + 1);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
        return 0;
    return len;
}

// One shown character of a byte string: a well-formed sequence, or one byte of an
// ill-formed one (shown as U+FFFD).
struct Piece {
    std::size_t at, len;
    bool wellFormed;
};

std::vector<Piece> piecesOf(std::string_view s) {
    std::vector<Piece> out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = utf8SequenceLength(s, i);
        out.push_back({i, n ? n : 1, n != 0});
        i += n ? n : 1;
    }
    return out;
}

std::string_view shownAs(std::string_view s, const Piece& p) {
    return p.wellFormed ? s.substr(p.at, p.len) : kReplacement;
}

// Byte offset where piece i begins (the end of s past the last piece).
std::size_t startOf(std::string_view s, const std::vector<Piece>& pieces, std::size_t i) {
    return i < pieces.size() ? pieces[i].at : s.size();
}

} // namespace

std::string_view withoutCutCharacter(std::string_view bytes) {
    std::size_t lead = bytes.size();
    for (int back = 0; back < 3 && lead > 0; ++back) {
        const auto c = static_cast<unsigned char>(bytes[lead - 1]);
        --lead;
        if ((c & 0xC0) != 0x80) {
            const std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            return bytes.size() - lead < need ? bytes.substr(0, lead) : bytes;
        }
    }
    return bytes;
}

std::string displayTextOf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const Piece& p : piecesOf(bytes)) out += shownAs(bytes, p);
    return out;
}

std::string nameAfterEdit(std::string_view original, std::string_view edited) {
    const std::vector<Piece> a = piecesOf(original), b = piecesOf(edited);
    auto same = [&](std::size_t i, std::size_t j) {
        return shownAs(original, a[i]) == shownAs(edited, b[j]);
    };
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && same(head, head)) ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           same(a.size() - 1 - tail, b.size() - 1 - tail))
        ++tail;
    const std::size_t typedFrom = startOf(edited, b, head);
    const std::size_t typedTo = startOf(edited, b, b.size() - tail);
    std::string out(original.substr(0, startOf(original, a, head)));
    out += edited.substr(typedFrom, typedTo - typedFrom);
    out += original.substr(startOf(original, a, a.size() - tail));
    return out;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = utf8SequenceLength(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string cp932ToUtf8(std::string_view s) {
    Iconv cd("UTF-8", "CP932");
    if (!cd.ok()) return std::string(s);
    std::string out;
    out.reserve(s.size() * 3 / 2 + 16);
    char buf[4096];
    char* in = const_cast<char*>(s.data());
    std::size_t inLeft = s.size();
    while (inLeft > 0) {
        char* o = buf;
        std::size_t oLeft = sizeof buf;
        std::size_t r = iconv(cd.get(), &in, &inLeft, &o, &oLeft);
        out.append(buf, static_cast<std::size_t>(o - buf));
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // An invalid byte, or a lead byte cut off at the end: one replacement, one byte on.
        out += kReplacement;
        ++in;
        --inLeft;
    }
    return out;
}

std::string windowsTextToUtf8(std::string_view s) {
    return isValidUtf8(s) ? std::string(s) : cp932ToUtf8(s);
}

} // namespace g3
