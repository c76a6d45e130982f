#include "imgpreview/fileicon.h"

#include "imgpreview/filebytes.h"
#include "imgpreview/peicons.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"
#include "shellviews/mimetypes.h"
#include "ui/programicon.h"

#include <QBuffer>
#include <QIcon>
#include <QImageReader>

#include <sys/stat.h>

#include <cstdlib>
#include <exception>

namespace g3 {

namespace {

// The headers of a PE file lie within its first pages.
constexpr std::size_t kPeHeadBytes = 64 * 1024;
// A resource section larger than this is not read for an icon.
constexpr std::size_t kMaxResourceBytes = 64u << 20;
constexpr std::size_t kMaxIconFileBytes = 4u << 20;
constexpr int kMaxIconFilePictures = 64;

bool hasExtension(const std::string& path, std::initializer_list<const char*> exts) {
    const std::string name = namePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string_view ext = std::string_view(name).substr(dot);
    for (const char* e : exts)
        if (equalsIgnoringAsciiCase(ext, e)) return true;
    return false;
}

QImage themeIcon(int typeIndex) {
    const TypeInfo& t = typeInfo(typeIndex);
    QIcon icon;
    if (!t.iconName.isEmpty()) icon = QIcon::fromTheme(t.iconName);
    if (icon.isNull() && !t.genericIconName.isEmpty()) icon = QIcon::fromTheme(t.genericIconName);
    if (icon.isNull()) icon = ownIcon(t.fallback == TypeFallback::File ? "house" : "cave");
    return icon.pixmap(kIconSize, kIconSize).toImage();
}

QImage typeIcon(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        if (isVolumeRoot(path)) return themeIcon(typeIndexForDrive());
        if (currentFolderForm(path) == currentFolderForm(homeFolder()))
            return themeIcon(typeIndexForHome());
        return themeIcon(typeIndexForFolder());
    }
    return themeIcon(typeIndexForFileName(namePart(path)));
}

PeIcons readPeIcons(const std::string& path, std::vector<std::uint8_t>& section) {
    const std::vector<std::uint8_t> head = readFileBytes(path, kPeHeadBytes, false);
    PeResourceSection where;
    if (!findPeResources(head, where) || where.size > kMaxResourceBytes) return {};
    section = readFileRange(path, where.fileOffset, where.size);
    return PeIcons(section, where);
}

QImage decodeIco(const QByteArray& ico) {
    const ByteView bytes(reinterpret_cast<const std::uint8_t*>(ico.constData()),
                         static_cast<std::size_t>(ico.size()));
    return iconFilePicture(bytes);
}

// Icon `index` of a program or library; null when it has none (or is none).
QImage programIcon(const std::string& path, int index) {
    try {
        std::vector<std::uint8_t> section;
        const PeIcons icons = readPeIcons(path, section);
        return decodeIco(icons.icoFile(index));
    } catch (const std::exception&) {
        return {};
    }
}

QImage ownPicture(const std::string& path) {
    try {
        return iconFilePicture(readFileBytes(path, kMaxIconFileBytes));
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

QImage iconFilePicture(ByteView ico) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(ico.data()),
                                               static_cast<qsizetype>(ico.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage best;
    const int count = std::min(reader.imageCount(), kMaxIconFilePictures);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        const QImage image = reader.read();
        if (image.isNull()) continue;
        const int distance = std::abs(image.width() - kIconSize);
        const int bestDistance = std::abs(best.width() - kIconSize);
        if (best.isNull() || distance < bestDistance ||
            (distance == bestDistance && image.width() > best.width()))
            best = image;
    }
    return best;
}

QImage shellIcon(const std::string& path, int index) {
    QImage icon;
    if (index != 0 || hasExtension(path, {".exe", ".dll"}))
        icon = programIcon(path, index);
    else if (hasExtension(path, {".ico", ".cur"}))
        icon = ownPicture(path);
    return icon.isNull() ? typeIcon(path) : icon;
}

int shellIconCount(const std::string& path) {
    try {
        std::vector<std::uint8_t> section;
        return readPeIcons(path, section).count();
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace g3
