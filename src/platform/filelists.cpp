#include "platform/filelists.h"

namespace g3 {

namespace {

bool keptAsItIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

} // namespace

std::string fileUri(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "file://";
    out.reserve(out.size() + path.size() * 3);
    for (unsigned char c : path) {
        if (keptAsItIs(c)) {
            out += static_cast<char>(c);
            continue;
        }
        out += '%';
        out += hex[c >> 4];
        out += hex[c & 0x0F];
    }
    return out;
}

std::vector<FileListPayload> fileListPayloads(const std::vector<std::string>& paths, bool cut) {
    std::string uriList, copied = cut ? "cut" : "copy", text;
    for (const std::string& p : paths) {
        const std::string uri = fileUri(p);
        uriList += uri + "\r\n";
        copied += "\n" + uri;
        if (!text.empty()) text += '\n';
        text += p;
    }
    using namespace fileformats;
    return {{kUriList, uriList},
            {kGnomeCopied, copied},
            {kMateCopied, copied},
            {kKdeCut, cut ? "1" : "0"},
            {kPlainUtf8, text}};
}

} // namespace g3
