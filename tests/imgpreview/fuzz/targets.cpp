#include "targets.h"

#include "imgpreview/codecs.h"
#include "imgpreview/fileicon.h"
#include "imgpreview/htmlpage.h"
#include "imgpreview/peicons.h"

#include <QGuiApplication>

#include <array>
#include <cstring>

namespace g3fuzz {

namespace {

using g3::ByteView;

// Each codec at full size; JPEG also through its header and at the smallest DCT scale.
template <const g3::ImageCodec& (*codec)()>
void decode(const std::uint8_t* data, std::size_t size) {
    (void)codec().decode(ByteView(data, size), {});
}

void jpeg(const std::uint8_t* data, std::size_t size) {
    const ByteView bytes(data, size);
    (void)g3::jpegHeaderSize(bytes);
    g3::DecodeOptions small;
    small.scaleDenom = 8;
    small.performance = g3::jpBestQuality;
    (void)g3::jpegCodec().decode(bytes, small);
    (void)g3::jpegCodec().decode(bytes, {});
}

void peIcons(const std::uint8_t* data, std::size_t size) {
    const g3::PeIcons icons = g3::PeIcons::fromFile(ByteView(data, size));
    for (int i = 0; i < icons.count() && i < 8; ++i) {
        const QByteArray ico = icons.icoFile(i);
        (void)g3::iconFilePicture(ByteView(reinterpret_cast<const std::uint8_t*>(ico.constData()),
                                           std::size_t(ico.size())));
    }
}

void eml(const std::uint8_t* data, std::size_t size) {
    QString page;
    (void)g3::mailPageHtml(ByteView(data, size), page);
}

constexpr std::array<Target, 8> kTargets = {{
    {"bmp", &decode<g3::bmpCodec>},
    {"jpeg", &jpeg},
    {"png", &decode<g3::pngCodec>},
    {"gif", &decode<g3::gifCodec>},
    {"psd", &decode<g3::psdCodec>},
    {"emf", &decode<g3::emfCodec>},
    {"peicons", &peIcons},
    {"eml", &eml},
}};

} // namespace

std::span<const Target> targets() {
    return kTargets;
}

const Target* targetNamed(const char* name) {
    for (const Target& t : kTargets)
        if (std::strcmp(t.name, name) == 0) return &t;
    return nullptr;
}

void startGui() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv); // lives as long as the process
}

} // namespace g3fuzz
