// The last error of a platform call, and the system's text for an error code.
// Codes are errno values; the finder's cancel code 1223 is the program's own.
#pragma once

#include <string>

namespace g3 {

inline constexpr int kErrorCancelled = 1223;

// Error code left by the last failing call of the platform layer on this thread.
int lastError();
void setLastError(int code);

// The system's text for a code, in Japanese whatever the user's locale: the C library's
// own Japanese message where the machine has the ja_JP.UTF-8 locale, else ownErrorText,
// else (a rare code) the C library's English one. Every trailing control character, blank
// and "." is removed; an unknown code gives an empty text.
std::string systemErrorText(int code);

// The program's own Japanese text for the common codes of file work; empty for others.
std::string ownErrorText(int code);

} // namespace g3
