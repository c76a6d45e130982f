#include "platform/shelllink.h"

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/findfile.h"
#include "platform/paths.h"
#include "platform/profile.h"

#include <cerrno>
#include <sys/stat.h>

namespace g3 {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} as stored.
constexpr char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 '\xC0', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum LinkFlag : std::uint32_t {
    HasLinkTargetIDList = 0x01,
    HasLinkInfo = 0x02,
    HasName = 0x04,
    HasRelativePath = 0x08,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};

constexpr std::uint32_t kVolumeIDAndLocalBasePath = 0x1;
constexpr std::uint32_t kLinkInfoHeader = 0x1C;        // without the Unicode offsets
constexpr std::uint32_t kLinkInfoHeaderUnicode = 0x24; // with them
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kAttributeMask = 0x437; // read-only, hidden, system, folder, archive, reparse
constexpr std::size_t kMaxLinkFile = 1 << 20;

// --- Writing ------------------------------------------------------------------------

class LittleEndian {
public:
    void u16(std::uint32_t v) {
        out_ += static_cast<char>(v & 0xFF);
        out_ += static_cast<char>(v >> 8 & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void u64(std::uint64_t v) {
        u32(static_cast<std::uint32_t>(v));
        u32(static_cast<std::uint32_t>(v >> 32));
    }
    void bytes(std::string_view b) { out_ += b; }
    void utf16(std::u16string_view s) {
        for (char16_t c : s) u16(c);
    }
    void patch32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
    }
    std::size_t size() const { return out_.size(); }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string linkInfo(const std::string& target) {
    const bool unicode = !isAscii(target);
    const std::uint32_t headerSize = unicode ? kLinkInfoHeaderUnicode : kLinkInfoHeader;
    const std::uint32_t volumeIdSize = 16 + 1; // the fields and an empty label
    const std::uint32_t basePathAt = headerSize + volumeIdSize;
    const std::uint32_t suffixAt = basePathAt + static_cast<std::uint32_t>(target.size()) + 1;
    LittleEndian w;
    w.u32(0); // LinkInfoSize, known at the end
    w.u32(headerSize);
    w.u32(kVolumeIDAndLocalBasePath);
    w.u32(headerSize); // VolumeID right after the header
    w.u32(basePathAt);
    w.u32(0); // no network link
    w.u32(suffixAt);
    const std::u16string wide = unicode ? bytesToUtf16(target) : std::u16string();
    if (unicode) {
        const std::uint32_t wideBaseAt = suffixAt + 1;
        w.u32(wideBaseAt);
        w.u32(wideBaseAt + static_cast<std::uint32_t>(2 * (wide.size() + 1)));
    }
    w.u32(volumeIdSize);
    w.u32(kDriveFixed);
    w.u32(0);    // drive serial number
    w.u32(0x10); // the label right after these fields
    w.bytes(std::string_view("\0", 1));
    w.bytes(target);
    w.bytes(std::string_view("\0\0", 2)); // the base path's end and an empty suffix
    if (unicode) {
        w.utf16(wide);
        w.u32(0); // the base path's end and an empty suffix
    }
    w.patch32(0, static_cast<std::uint32_t>(w.size()));
    return w.take();
}

bool appendStringData(LittleEndian& w, std::string_view s) {
    const std::u16string wide = bytesToUtf16(s);
    if (wide.size() > 0xFFFF) return false;
    w.u16(static_cast<std::uint32_t>(wide.size()));
    w.utf16(wide);
    return true;
}

// --- Reading ------------------------------------------------------------------------

// A view of bytes whose every read is checked against their end.
class Reader {
public:
    explicit Reader(std::string_view b) : b_(b) {}
    bool u16(std::uint32_t& v) {
        if (!has(2)) return false;
        v = byte(0) | byte(1) << 8;
        at_ += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        std::uint32_t lo, hi;
        if (!has(4) || !u16(lo) || !u16(hi)) return false;
        v = lo | hi << 16;
        return true;
    }
    bool take(std::size_t n, std::string_view& out) {
        if (!has(n)) return false;
        out = b_.substr(at_, n);
        at_ += n;
        return true;
    }
    bool skip(std::size_t n) {
        std::string_view ignored;
        return take(n, ignored);
    }
    std::size_t at() const { return at_; }

private:
    bool has(std::size_t n) const { return n <= b_.size() - at_; }
    std::uint32_t byte(std::size_t k) const { return static_cast<unsigned char>(b_[at_ + k]); }

    std::string_view b_;
    std::size_t at_ = 0;
};

// The NUL-terminated ANSI string at offset of block; false when it runs past the block.
bool ansiAt(std::string_view block, std::uint32_t offset, std::string& out) {
    if (offset >= block.size()) return false;
    const std::size_t end = block.find('\0', offset);
    if (end == std::string_view::npos) return false;
    out = windowsTextToUtf8(block.substr(offset, end - offset));
    return true;
}

// The NUL-terminated UTF-16LE string at offset of block.
bool unicodeAt(std::string_view block, std::uint32_t offset, std::string& out) {
    if (offset >= block.size()) return false;
    std::u16string wide;
    for (std::size_t i = offset; i + 1 < block.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(static_cast<unsigned char>(block[i]) |
                                                 static_cast<unsigned char>(block[i + 1]) << 8);
        if (c == 0) {
            out = utf16ToBytes(wide);
            return true;
        }
        wide += c;
    }
    return false;
}

bool readLinkInfo(Reader& r, ShellLink& link) {
    Reader peek = r;
    std::uint32_t size = 0;
    std::string_view block;
    if (!peek.u32(size) || size < kLinkInfoHeader || !r.take(size, block)) return false;
    Reader h(block);
    std::uint32_t headerSize = 0, flags = 0, volumeAt = 0, baseAt = 0, networkAt = 0, suffixAt = 0;
    if (!h.skip(4) || !h.u32(headerSize) || headerSize < kLinkInfoHeader || headerSize > size ||
        !h.u32(flags) || !h.u32(volumeAt) || !h.u32(baseAt) || !h.u32(networkAt) || !h.u32(suffixAt))
        return false;
    const bool unicode = headerSize >= kLinkInfoHeaderUnicode;
    std::uint32_t wideBaseAt = 0, wideSuffixAt = 0;
    if (unicode && (!h.u32(wideBaseAt) || !h.u32(wideSuffixAt))) return false;
    if (!(flags & kVolumeIDAndLocalBasePath)) return true;
    if (!ansiAt(block, baseAt, link.localBasePath) || !ansiAt(block, suffixAt, link.commonPathSuffix))
        return false;
    return !unicode || (unicodeAt(block, wideBaseAt, link.localBasePath) &&
                        unicodeAt(block, wideSuffixAt, link.commonPathSuffix));
}

bool readStringData(Reader& r, bool unicode, std::string& out) {
    std::uint32_t count = 0;
    std::string_view raw;
    if (!r.u16(count) || !r.take(unicode ? 2 * std::size_t(count) : count, raw)) return false;
    if (!unicode) {
        out = windowsTextToUtf8(raw);
        return true;
    }
    std::u16string wide(count, u'\0');
    for (std::size_t i = 0; i < count; ++i)
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                        static_cast<unsigned char>(raw[2 * i + 1]) << 8);
    out = utf16ToBytes(wide);
    return true;
}

// Extra data blocks up to the terminal block (a size below 4).
bool readExtraData(Reader& r) {
    for (;;) {
        std::uint32_t size = 0;
        if (!r.u32(size)) return false;
        if (size < 4) return true;
        if (size < 8 || !r.skip(size - 4)) return false;
    }
}

} // namespace

std::string shellLinkBytes(const std::string& linkPath, const std::string& target,
                           const std::string& workDir) {
    FindData d;
    const bool found = findDataOfPath(target, d);
    std::uint32_t flags = HasLinkInfo | HasRelativePath | IsUnicode;
    if (!workDir.empty()) flags |= HasWorkingDir;
    LittleEndian w;
    w.u32(kHeaderSize);
    w.bytes(std::string_view(kLinkClsid, sizeof kLinkClsid));
    w.u32(flags);
    w.u32(found ? d.attributes & kAttributeMask : 0);
    w.u64(found ? d.creationTime : 0);
    w.u64(found ? d.lastAccessTime : 0);
    w.u64(found ? d.lastWriteTime : 0);
    w.u32(found ? d.sizeLow() : 0);
    w.u32(0); // icon index
    w.u32(kShowNormal);
    w.u16(0); // hot key
    w.u16(0);
    w.u32(0);
    w.u32(0);
    w.bytes(linkInfo(target));
    if (!appendStringData(w, pathFromFolder(parentFolder(linkPath), target)) ||
        (!workDir.empty() && !appendStringData(w, workDir))) {
        setLastError(ENAMETOOLONG);
        return {};
    }
    w.u32(0); // terminal block
    return w.take();
}

int writeShellLink(const std::string& linkPath, const std::string& target, const std::string& workDir) {
    const std::string bytes = shellLinkBytes(linkPath, target, workDir);
    if (bytes.empty()) return lastError();
    return writeFileAtomically(linkPath, bytes) ? 0 : lastError();
}

std::optional<ShellLink> parseShellLink(std::string_view bytes) {
    Reader r(bytes);
    std::uint32_t headerSize = 0;
    std::string_view clsid;
    ShellLink link;
    if (!r.u32(headerSize) || headerSize != kHeaderSize || !r.take(16, clsid) ||
        clsid != std::string_view(kLinkClsid, sizeof kLinkClsid) || !r.u32(link.flags) ||
        !r.u32(link.attributes) || !r.skip(kHeaderSize - r.at()))
        return std::nullopt;
    std::uint32_t idListSize = 0;
    if ((link.flags & HasLinkTargetIDList) && (!r.u16(idListSize) || !r.skip(idListSize)))
        return std::nullopt;
    if ((link.flags & HasLinkInfo) && !readLinkInfo(r, link)) return std::nullopt;
    const bool unicode = link.flags & IsUnicode;
    const std::pair<LinkFlag, std::string*> strings[] = {
        {HasName, &link.name},
        {HasRelativePath, &link.relativePath},
        {HasWorkingDir, &link.workingDir},
        {HasArguments, &link.arguments},
        {HasIconLocation, &link.iconLocation},
    };
    for (const auto& [flag, out] : strings)
        if ((link.flags & flag) && !readStringData(r, unicode, *out)) return std::nullopt;
    if (!readExtraData(r)) return std::nullopt;
    return link;
}

bool isShortcutName(std::string_view name) {
    return name.size() > 4 && equalsIgnoringAsciiCase(name.substr(name.size() - 4), ".lnk");
}

std::optional<ShortcutTarget> readShortcut(const std::string& linkPath) {
    if (!isShortcutName(namePart(linkPath))) return std::nullopt;
    struct stat st {};
    if (stat(linkPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) > kMaxLinkFile)
        return std::nullopt;
    std::string bytes;
    if (!readWholeFile(linkPath, bytes) || bytes.size() > kMaxLinkFile) return std::nullopt;
    const std::optional<ShellLink> link = parseShellLink(bytes);
    if (!link) return std::nullopt;
    std::string path = link->localPath();
    if (path.empty() || path.front() != '/') {
        if (link->relativePath.empty()) return std::nullopt;
        path = lexicallyNormal(joinPath(parentFolder(linkPath), link->relativePath));
    }
    if (path.empty() || path.front() != '/') return std::nullopt;
    return ShortcutTarget{path, link->workingDir};
}

} // namespace g3
