// Number texts of the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace g3 {

// "#,##0": 1234567 gives "1,234,567", 0 gives "0", -1 gives "-1".
std::string formatGrouped(std::int64_t v);
// "#,##": as formatGrouped, but 0 gives an empty text.
std::string formatGroupedBlankZero(std::int64_t v);
// ",0" on an unsigned 32-bit value: 4294967295 gives "4,294,967,295".
std::string formatGroupedU32(std::uint32_t v);
// Right alignment: s padded on the left with blanks to `width` characters (bytes);
// a longer text is returned unchanged.
std::string alignRight(std::string_view s, std::size_t width);

} // namespace g3
