// The per-type loaders of TImgUtil. Each returns 0 with the picture in Bitmap, or a code of
// its own; a decoder's failure is thrown and DecodeImage turns it into the file's icon.
#include "imgpreview/ImgUtils.h"

#include "imgpreview/codecs.h"
#include "imgpreview/dib.h"
#include "imgpreview/filebytes.h"
#include "imgpreview/htmlpage.h"
#include "imgpreview/resample.h"
#include "imgpreview/textpage.h"
#include "platform/paths.h"

#include <QBuffer>
#include <QFontMetrics>

#include <sys/stat.h>

#include <exception>
#include <stdexcept>

namespace g3 {

namespace {

// The page width of HTML and mail pictures.
constexpr int kPageWidth = 640;
// How much of an HTML file or mail is read for its first page.
constexpr std::size_t kMaxPageBytes = 4u << 20;
// Text pages are laid out at the system's 96 dots per inch, so a 12-point font is 16 pixels.
constexpr int kDotsPerMeter = 3780;

bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

ByteView bytesOf(const QByteArray& a) {
    return {reinterpret_cast<const std::uint8_t*>(a.constData()),
            static_cast<std::size_t>(a.size())};
}

// A new page of w x h pixels; empty when either is not positive.
QImage newPage(int w, int h) {
    if (w <= 0 || h <= 0) return {};
    if (!pictureSizeAllowed(w, h)) throw std::invalid_argument("page too large");
    QImage page(w, h, QImage::Format_RGB888);
    if (page.isNull()) throw std::invalid_argument("page does not fit in memory");
    page.setDotsPerMeterX(kDotsPerMeter);
    page.setDotsPerMeterY(kDotsPerMeter);
    return page;
}

} // namespace

int TImgUtil::LoadBmp(const std::string& fileName, int width, int height) {
    Bitmap = takePicture(bmpCodec().decode(readFileBytes(fileName), decodeOptions()));
    OrgWidth = Bitmap.width();
    OrgHeight = Bitmap.height();
    fit(width, height);
    return 0;
}

int TImgUtil::LoadJpeg(const std::string& fileName, int width, int height) {
    const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
    const QSize size = jpegHeaderSize(bytes);
    if (size.isEmpty()) throw std::runtime_error(fileName + ": no JPEG header");
    OrgWidth = size.width();
    OrgHeight = size.height();
    if (GetType() != igtNormal || ReduceJpeg)
        JpegToBitmap(bytes, size, width, height);
    else
        Bitmap = takePicture(jpegCodec().decode(bytes, decodeOptions()));
    return 0;
}

void TImgUtil::JpegToBitmap(ByteView jpeg, QSize jpegSize, int width, int height) {
    DecodeOptions options = decodeOptions();
    if (jpegSize == QSize(width, height)) {
        Bitmap = takePicture(jpegCodec().decode(jpeg, options));
        return;
    }
    const int jw = jpegSize.width(), jh = jpegSize.height();
    for (int denom : {8, 4, 2}) {
        if (jh / denom >= height && jw / denom >= width) {
            options.scaleDenom = denom;
            break;
        }
    }
    Bitmap = takePicture(jpegCodec().decode(jpeg, options));
    ApplyGetType(Bitmap, width, height);
}

int TImgUtil::LoadMetafile(const std::string& fileName, int width, int height) {
    const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
    // The content decides between the enhanced and the old format, as the system's
    // metafile reader does.
    const ImageCodec& codec = emfCodec().recognises(bytes) ? emfCodec() : wmfCodec();
    Bitmap = takePicture(codec.decode(bytes, decodeOptions()));
    OrgWidth = Bitmap.width();
    OrgHeight = Bitmap.height();
    fit(width, height);
    return 0;
}

int TImgUtil::LoadHtml(const std::string& fileName, int width, int height) {
    // The page has the box's aspect ratio; a box without width has none.
    const double pageHeight = static_cast<double>(kPageWidth) / width * height;
    if (width == 0 || !(pageHeight >= 0 && pageHeight <= kMaxPictureSide))
        throw std::invalid_argument("no page height for this box");
    Bitmap = newPage(kPageWidth, static_cast<int>(pageHeight));
    if (!Bitmap.isNull()) Bitmap.fill(Qt::white);
    ExtractHtmlImage(fileName, Bitmap);
    OrgWidth = Bitmap.width();
    OrgHeight = Bitmap.height();
    if (GetType() != igtNormal) ResizeBitmap(Bitmap, width, height);
    return 0;
}

bool TImgUtil::ExtractHtmlImage(const std::string& fileName, QImage& bitmap) const {
    try {
        const std::vector<std::uint8_t> bytes = readFileBytes(fileName, kMaxPageBytes, false);
        if (ImageType == iitEml) {
            QString html;
            if (!mailPageHtml(bytes, html)) return false;
            // A mail's pictures are its own parts; nothing is read from the disk for it.
            drawHtmlPage(html, std::string(), bitmap);
        } else {
            drawHtmlPage(htmlCharacters(bytes), parentFolder(fileName), bitmap);
        }
        return true;
    } catch (const std::exception&) {
        // As the system's page extractor: an unreadable page is left as it was sized.
        return false;
    }
}

int TImgUtil::LoadText(const std::string& fileName, int width, int height) {
    if (!exists(fileName)) return 1;
    Bitmap = newPage(2 * width, 2 * height);
    OrgWidth = 2 * width;
    OrgHeight = 2 * height;
    if (!Bitmap.isNull()) Bitmap.fill(colorOf(BKColor()));
    const QFontMetrics fm =
        Bitmap.isNull() ? QFontMetrics(Font().font) : QFontMetrics(Font().font, &Bitmap);
    const int lineHeight = fm.height();
    if (lineHeight < 1) return 1;
    const std::string text =
        ReadTextLines(fileName, Bitmap.height() / lineHeight + 1, Bitmap.width() / 2);
    drawTextPage(Bitmap, text, Font().font, Font().Color, lineHeight);
    fit(width, height);
    return 0;
}

int TImgUtil::LoadCustom(const std::string& fileName, int width, int height) {
    if (!CustomImage || !CustomImage->LoadBitmap(fileName, Bitmap)) return -1;
    OrgWidth = Bitmap.width();
    OrgHeight = Bitmap.height();
    fit(width, height);
    return 0;
}

int TImgUtil::LoadAvi(const std::string& fileName, int width, int height) {
    const int r = GetAviFrame(fileName, Bitmap, AviFramePos());
    if (r != 0) return r;
    OrgWidth = Bitmap.width();
    OrgHeight = Bitmap.height();
    fit(width, height);
    return 0;
}

int TImgUtil::GetAviFrame(const std::string& fileName, QImage& bitmap, int percent) {
    if (!exists(fileName)) return -1;
    VideoStream video(fileName);
    if (!video.isOpen()) return -1;
    AviInfo = video.info();
    // Unsigned 32-bit, as the system computes it. At 100 % that names the frame after the
    // last one, which no stream has; the last one is shown instead.
    std::uint32_t frame =
        percent == 0 ? 0 : AviInfo.dwLength * static_cast<std::uint32_t>(percent) / 100;
    if (AviInfo.dwLength > 0 && frame >= AviInfo.dwLength) frame = AviInfo.dwLength - 1;
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    WriteDibAsBmp(video.frameAsDib(frame), &stream);
    // A frame the stream does not have leaves the stream empty, and the BMP codec fails.
    bitmap = takePicture(bmpCodec().decode(bytesOf(stream.data()), decodeOptions()));
    return 0;
}

} // namespace g3
