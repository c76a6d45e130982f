#include "platform/codepage.h"

#include <iconv.h>

#include <algorithm>
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

// s converted by iconv; where the input at a byte offset cannot be converted, invalid(offset)
// gives the text written instead and how many input bytes it stands for.
template <class Invalid>
std::string convert(const char* to, const char* from, std::string_view s, Invalid invalid) {
    Iconv cd(to, from);
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
        const auto [text, skip] = invalid(s.size() - inLeft);
        out += text;
        const std::size_t n = std::min(inLeft, skip);
        in += n;
        inLeft -= n;
    }
    return out;
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
    // An invalid byte, or a lead byte cut off at the end: one replacement, one byte on.
    return convert("UTF-8", "CP932", s, [](std::size_t) { return std::pair<std::string_view, std::size_t>(kReplacement, 1); });
}

std::string utf8ToCp932(std::string_view s) {
    // A character CP932 lacks is one "?", as Windows' own conversion writes it.
    return convert("CP932", "UTF-8", s, [s](std::size_t at) {
        return std::pair<std::string_view, std::size_t>("?", std::max<std::size_t>(1, utf8SequenceLength(s, at)));
    });
}

std::string windowsTextToUtf8(std::string_view s) {
    return isValidUtf8(s) ? std::string(s) : cp932ToUtf8(s);
}

std::size_t cp932Length(std::string_view utf8) {
    Iconv cd("CP932", "UTF-8");
    std::size_t n = 0;
    for (const Piece& p : piecesOf(utf8)) {
        if (p.len == 1 && p.wellFormed) {
            ++n;
            continue;
        }
        char out[4];
        char* in = const_cast<char*>(utf8.data() + p.at);
        char* o = out;
        std::size_t inLeft = p.len, oLeft = sizeof out;
        const bool encoded = p.wellFormed && cd.ok() &&
                             iconv(cd.get(), &in, &inLeft, &o, &oLeft) != static_cast<std::size_t>(-1);
        n += encoded ? static_cast<std::size_t>(o - out) : 2;
    }
    return n;
}

namespace {

char32_t decodeUtf8(std::string_view s) {
    const auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[k])); };
    switch (s.size()) {
    case 1: return b(0);
    case 2: return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    case 3: return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    default: return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr char16_t kEscapedByte = 0xDC00; // + a byte of 0x80..0xFF

} // namespace

std::u16string bytesToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (const Piece& p : piecesOf(bytes)) {
        if (!p.wellFormed) {
            out += static_cast<char16_t>(kEscapedByte + static_cast<unsigned char>(bytes[p.at]));
            continue;
        }
        const char32_t c = decodeUtf8(bytes.substr(p.at, p.len));
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string utf16ToBytes(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        const bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (low && u >= kEscapedByte + 0x80 && u <= kEscapedByte + 0xFF) {
            out += static_cast<char>(u - kEscapedByte);
        } else if (high || low) {
            out += kReplacement;
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

} // namespace g3
