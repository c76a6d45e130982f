#include "platform/numfmt.h"

namespace g3 {

namespace {
std::string groupDigits(std::uint64_t magnitude, bool negative) {
    std::string digits = std::to_string(magnitude);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    if (negative) out += '-';
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}
} // namespace

std::string formatGrouped(std::int64_t v) {
    // Negating in unsigned arithmetic keeps the most negative value representable.
    auto magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    return groupDigits(magnitude, v < 0);
}

std::string formatGroupedBlankZero(std::int64_t v) { return v == 0 ? std::string() : formatGrouped(v); }

std::string formatGroupedU32(std::uint32_t v) { return groupDigits(v, false); }

std::string alignRight(std::string_view s, std::size_t width) {
    if (s.size() >= width) return std::string(s);
    std::string out(width - s.size(), ' ');
    out += s;
    return out;
}

} // namespace g3
