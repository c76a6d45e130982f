#include "imgpreview/dib.h"

#include <QIODevice>

#include <cstdlib>

namespace g3 {

namespace {

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kFileHeaderSize = 14;

void put16(char*& p, std::uint32_t v) {
    *p++ = static_cast<char>(v & 0xFF);
    *p++ = static_cast<char>(v >> 8 & 0xFF);
}
void put32(char*& p, std::uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p, v >> 16);
}

} // namespace

bool WriteDibAsBmp(ByteView dib, QIODevice* stream) {
    if (dib.empty() || !stream || dib.size() < kInfoHeaderSize) return false;
    const std::int64_t width = static_cast<std::int32_t>(le32(dib, 4));
    const std::int64_t height = std::llabs(static_cast<std::int32_t>(le32(dib, 8)));
    const std::int64_t bits = le16(dib, 14);
    const std::int64_t used = le32(dib, 32);
    const std::int64_t colours = bits == 4   ? (used ? used : 16)
                                 : bits == 8 ? (used ? used : 256)
                                             : 0;
    const std::int64_t rowBytes = (bits * width + 31) / 32 * 4;
    const std::int64_t fileSize = rowBytes * height + colours * 4 + 54;
    // The header's sizes are the DIB's word, not its length; a frame that claims more than
    // it holds is not read past its end.
    if (width < 0 || rowBytes < 0 ||
        fileSize - static_cast<std::int64_t>(kFileHeaderSize) >
            static_cast<std::int64_t>(dib.size()) ||
        fileSize > 0xFFFFFFFFLL)
        return false;
    char header[kFileHeaderSize];
    char* p = header;
    put16(p, 0x4D42); // "BM"
    put32(p, static_cast<std::uint32_t>(fileSize));
    put32(p, 0);
    put32(p, static_cast<std::uint32_t>(54 + colours * 4));
    return stream->write(header, sizeof header) == static_cast<qint64>(sizeof header) &&
           stream->write(reinterpret_cast<const char*>(dib.data()),
                         fileSize - static_cast<qint64>(kFileHeaderSize)) ==
               fileSize - static_cast<qint64>(kFileHeaderSize);
}

} // namespace g3
