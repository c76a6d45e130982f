// The last error of a platform call, and the system's text for an error code.
// Codes are errno values; the finder's cancel code 1223 is the program's own.
#pragma once

#include <string>

namespace g3 {

inline constexpr int kErrorCancelled = 1223;

// Error code left by the last failing call of the platform layer on this thread.
int lastError();
void setLastError(int code);

// The system's text for a code (strerror, locale-aware) with every trailing control
// character, blank and "." removed; an unknown code gives an empty text.
std::string systemErrorText(int code);

} // namespace g3
