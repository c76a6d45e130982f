#include "platform/errors.h"

#include <cerrno>
#include <cstring>

namespace g3 {

namespace {
thread_local int tlsLastError = 0;

bool isTrimmed(char c) {
    auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f || c == ' ' || c == '.';
}
} // namespace

int lastError() { return tlsLastError; }
void setLastError(int code) { tlsLastError = code; }

std::string systemErrorText(int code) {
    // The cancel code is ours, not the system's; it reads as the system's own cancel.
    if (code == kErrorCancelled) code = ECANCELED;
    // strerror invents "Unknown error N" for codes it does not know; the name table
    // tells the known ones apart without depending on the language of the text.
    if (code <= 0 || strerrorname_np(code) == nullptr) return {};
    char buf[512];
    std::string text = strerror_r(code, buf, sizeof buf);
    while (!text.empty() && isTrimmed(text.back())) text.pop_back();
    return text;
}

} // namespace g3
