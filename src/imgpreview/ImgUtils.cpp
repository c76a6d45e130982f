// The loader's properties, its type decision and the steps around the per-type loaders
// (ImgUtils_loaders.cpp).
#include "imgpreview/ImgUtils.h"

#include "imgpreview/codecs.h"
#include "imgpreview/filebytes.h"
#include "imgpreview/fileicon.h"
#include "imgpreview/resample.h"
#include "imgpreview/textpage.h"
#include "platform/paths.h"

#include <QPainter>

#include <sys/stat.h>

#include <stdexcept>

namespace g3 {

namespace {

std::string lowered(std::string s) {
    for (char& c : s)
        c = lowerAscii(c);
    return s;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct ExtensionType {
    const char* ext;
    TImageType type;
};

constexpr ExtensionType kExtensionTable[] = {
    {".bmp", iitBmp},   {".jpg", iitJpeg}, {".jpeg", iitJpeg}, {".ico", iitIco}, {".cur", iitCur},
    {".ani", iitAni},   {".emf", iitEmf},  {".wmf", iitWmf},   {".exe", iitExe}, {".dll", iitDll},
    {".html", iitHtml}, {".htm", iitHtml}, {".eml", iitEml},   {".txt", iitTxt}, {".avi", iitAvi},
};

} // namespace

QColor colorOf(TColor c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>(c >> 8 & 0xFF),
                  static_cast<int>(c >> 16 & 0xFF));
}

TImgUtil::TImgUtil() {
    useJapaneseFontSubstitutes();
    font_.font.setPointSize(12);
}

TImgUtil::~TImgUtil() = default;

void TImgUtil::setPerformance(TJPEGPerformance p) {
    if (p != performance_) performance_ = p;
}

void TImgUtil::setTextExt(const std::string& masks) {
    textExt_ = lowered(masks);
    textExtList_.clear();
    if (textExt_.empty()) return;
    std::string list = textExt_;
    if (list.front() != ';') list.insert(list.begin(), ';');
    if (list.back() != ';') list.push_back(';');
    for (char c : list)
        if (c != '*') textExtList_.push_back(c);
}

void TImgUtil::setFont(const TFont& font) {
    font_ = font;
}

void TImgUtil::setBKColor(TColor c) {
    if (c == bkColor_) return;
    bkColor_ = c;
    if (OnChange) OnChange(this);
}

void TImgUtil::setAviFramePos(int percent) {
    if (percent >= 0 && percent <= 100) aviFramePos_ = percent;
}

void TImgUtil::Clear() {
    ImageType = iitNone;
    IconIndex = -1;
    IconCount = 0;
    IconDeferred = false;
    Bitmap = QImage();
}

int TImgUtil::GetImage(const std::string& fileName, int width, int height, int iconIndex) {
    Clear();
    struct stat st {};
    if (stat(fileName.c_str(), &st) != 0) return 1;
    if (CheckImageType(fileName) != 0) return DrawFileIcon(fileName, iconIndex);
    switch (ImageType) {
    case iitNone:
    case iitIco:
    case iitCur:
    case iitAni:
    case iitExe:
    case iitDll:
    case iitDir:
        DrawFileIcon(fileName, iconIndex);
        return 0;
    default:
        return DecodeImage(fileName, width, height, 0);
    }
}

int TImgUtil::CheckImageType(const std::string& fileName) {
    ImageType = iitNone;
    if (CustomImage && CustomImage->CanHandle(fileName)) {
        ImageType = iitCustom;
        return 0;
    }
    const std::string ext = lowerExtension(fileName);
    if (ext.empty()) {
        if (fileName == "/" || isFolder(fileName)) {
            ImageType = iitDir;
            return 0;
        }
        return 3;
    }
    for (const ExtensionType& e : kExtensionTable) {
        if (ext == e.ext) {
            ImageType = e.type;
            return 0;
        }
    }
    if (IsTextExt(fileName)) {
        ImageType = iitTxt;
        return 0;
    }
    return 3;
}

bool TImgUtil::IsTextExt(const std::string& fileName) const {
    if (textExtList_.empty()) return false;
    const std::string ext = lowerExtension(fileName);
    if (ext.empty() || ext == ".") return false;
    return textExtList_.find(ext) != std::string::npos;
}

int TImgUtil::DecodeImage(const std::string& fileName, int width, int height, int iconIndex) {
    int r = -1;
    try {
        switch (ImageType) {
        case iitCustom:
            r = LoadCustom(fileName, width, height);
            break;
        case iitBmp:
            r = LoadBmp(fileName, width, height);
            break;
        case iitJpeg:
            r = LoadJpeg(fileName, width, height);
            break;
        case iitHtml:
        case iitEml:
            r = LoadHtml(fileName, width, height);
            break;
        case iitTxt:
            r = LoadText(fileName, width, height);
            break;
        case iitAvi:
            r = LoadAvi(fileName, width, height);
            break;
        case iitEmf:
        case iitWmf:
            r = LoadMetafile(fileName, width, height);
            break;
        default:
            r = -1;
            break;
        }
    } catch (...) {
        DrawFileIcon(fileName, iconIndex);
        return -1;
    }
    if (r != 0) DrawFileIcon(fileName, iconIndex);
    return r;
}

int TImgUtil::DrawFileIcon(const std::string& fileName, int iconIndex) {
    Bitmap = QImage();
    if ((ImageType == iitExe || ImageType == iitDll) && IconCount == 0)
        IconCount = shellIconCount(fileName);
    if (DeferIcons) {
        IconDeferred = true;
        IconIndex = iconIndex;
        return 0;
    }
    const QImage icon = shellIcon(fileName, iconIndex);
    Bitmap = QImage(icon.size(), QImage::Format_RGB888);
    OrgWidth = Bitmap.width();
    OrgHeight = Bitmap.height();
    if (!Bitmap.isNull()) {
        Bitmap.fill(colorOf(bkColor_));
        QPainter p(&Bitmap);
        p.drawImage(0, 0, icon);
    }
    IconIndex = iconIndex;
    return 0;
}

void TImgUtil::ApplyGetType(QImage& bitmap, int width, int height) const {
    QSize size;
    switch (getType_) {
    case igtNormal:
        return;
    case igtPreview:
        size = g3::CalcFitSize(bitmap.width(), bitmap.height(), width, height);
        break;
    case igtStretch:
        size = StretchSize(bitmap.width(), bitmap.height(), width, height);
        break;
    case igtFit:
        size = QSize(width, height);
        break;
    }
    g3::ResizeBitmap(bitmap, size.width(), size.height());
}

void TImgUtil::ResizeBitmap(QImage& bitmap, int newWidth, int newHeight) {
    g3::ResizeBitmap(bitmap, newWidth, newHeight);
}

QSize TImgUtil::CalcFitSize(int w, int h, int width, int height) {
    return g3::CalcFitSize(w, h, width, height);
}

void TImgUtil::fit(int width, int height) {
    if (getType_ != igtNormal) ApplyGetType(Bitmap, width, height);
}

DecodeOptions TImgUtil::decodeOptions() const {
    DecodeOptions o;
    o.performance = performance_;
    o.background = colorOf(bkColor_);
    return o;
}

bool TImgCustomTest::CanHandle(const std::string& fileName) {
    const std::string ext = lowerExtension(fileName);
    return ext == ".gif" || ext == ".png" || ext == ".jpe" || ext == ".pcd" || ext == ".psd";
}

bool TImgCustomTest::LoadBitmap(const std::string& fileName, QImage& bitmap) {
    const std::string ext = lowerExtension(fileName);
    const ImageCodec* codec = nullptr;
    if (ext == ".gif")
        codec = &gifCodec();
    else if (ext == ".png")
        codec = &pngCodec();
    else if (ext == ".jpe")
        codec = &jpegCodec();
    else if (ext != ".pcd" && ext != ".psd")
        return false;
    const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
    // Photo-CD and Photoshop files go to whichever codec knows their content; one that none
    // knows is left to the extension's tests above, which do not take it.
    if (!codec) codec = codecRecognising(bytes);
    if (!codec) return false;
    // The decoders' own defaults: best quality, full size, white under transparency.
    DecodeOptions defaults;
    defaults.performance = jpBestQuality;
    bitmap = takePicture(codec->decode(bytes, defaults));
    return true;
}

} // namespace g3
