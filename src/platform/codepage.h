// Text encodings: UTF-8 inside the program, CP932 (Shift-JIS) in files written on Windows.
#pragma once

#include <string>
#include <string_view>

namespace g3 {

bool isValidUtf8(std::string_view s);
// CP932 bytes to UTF-8 (iconv); bytes that do not convert become U+FFFD.
std::string cp932ToUtf8(std::string_view s);
// Text from a file that may have been written on Windows: kept when valid UTF-8, else
// decoded as CP932.
std::string windowsTextToUtf8(std::string_view s);

} // namespace g3
