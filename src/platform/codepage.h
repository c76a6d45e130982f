// Text encodings: UTF-8 inside the program, CP932 (Shift-JIS) in files written on Windows.
#pragma once

#include <string>
#include <string_view>

namespace g3 {

bool isValidUtf8(std::string_view s);
// The bytes without a UTF-8 sequence that a cut (a column limit, a read limit) left short at
// their end; everything else as it stands.
std::string_view withoutCutCharacter(std::string_view bytes);

// The text a name's bytes are shown as: well-formed UTF-8 as it stands, each byte of an
// ill-formed sequence as U+FFFD.
std::string displayTextOf(std::string_view bytes);
// The bytes of a name whose shown text (displayTextOf(original)) the user edited into
// `edited` (UTF-8). What stands before and after the edited stretch (the longest common
// start and end of the two texts, in whole characters) keeps the original's bytes, so
// bytes that are not UTF-8 survive wherever they were not edited; only the edited
// stretch takes the typed text. An unchanged text gives the original bytes.
std::string nameAfterEdit(std::string_view original, std::string_view edited);
// CP932 bytes to UTF-8 (iconv); bytes that do not convert become U+FFFD.
std::string cp932ToUtf8(std::string_view s);
// UTF-8 to CP932 bytes (iconv), as a Windows program holds the text; a character CP932 has
// not, and each byte of an ill-formed sequence, becomes "?".
std::string utf8ToCp932(std::string_view s);
// Text from a file that may have been written on Windows: kept when valid UTF-8, else
// decoded as CP932.
std::string windowsTextToUtf8(std::string_view s);

// How many bytes the UTF-8 text takes in CP932: one or two per character as CP932 encodes
// it; a character CP932 has no code for, and a byte of an ill-formed sequence, count two.
std::size_t cp932Length(std::string_view utf8);

// UTF-16 for formats written on Windows. A name's bytes that are not UTF-8 become lone
// surrogates (U+DC80 + the byte), which utf16ToBytes turns back into that byte, so any
// byte string comes back exactly. A lone surrogate of another value reads as U+FFFD.
std::u16string bytesToUtf16(std::string_view bytes);
std::string utf16ToBytes(std::u16string_view text);

} // namespace g3
