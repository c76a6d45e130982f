// TImgUtil: turns a path into a picture an image box can draw. It decides the file's image
// type, decodes it with the matching codec or draws a stand-in (the file's icon, the first
// page of a text file, a metafile, a page of an HTML file or mail, one video frame) and, as
// GetType says, scales the result to the box. The result, Bitmap, belongs to the loader.
// TImgCustom lets the owner add formats of its own; TImgCustomTest adds GIF, PNG, JPE,
// Photo-CD and Photoshop pictures.
//
// No widgets: QImage is the bitmap (24 bits per pixel, QImage::Format_RGB888, unless a BMP
// file brings its own format). A QGuiApplication must exist (fonts, icons). Not thread-safe:
// one thread uses a loader, the user-interface thread (icons are drawn through QPixmap).
#pragma once

#include "imgpreview/codec.h"
#include "imgpreview/videoframe.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include <functional>
#include <string>

namespace g3 {

enum TImageType {
    iitNone,
    iitSusie, // a plug-in decoder's type; no path yields it
    iitBmp,
    iitJpeg,
    iitIco,
    iitCur,
    iitAni,
    iitEmf,
    iitWmf,
    iitExe,
    iitDll,
    iitHtml,
    iitTxt,
    iitEml,
    iitDir,
    iitCustom,
    iitAvi,
};

enum TGetType {
    igtNormal,  // no scaling
    igtPreview, // shrink to fit, never enlarge
    igtStretch, // enlarge or shrink to fit, keeping the aspect ratio
    igtFit,     // resample to exactly the box size
};

// The font of text pictures and its colour.
struct TFont {
    QFont font;
    QColor Color = Qt::black;
};

// TColor: 0x00BBGGRR.
using TColor = std::uint32_t;
QColor colorOf(TColor c);

// The owner's hook for formats of its own.
class TImgCustom {
public:
    virtual ~TImgCustom() = default;
    // Decodes the file into `bitmap`; true on success. May throw on a damaged file.
    virtual bool LoadBitmap(const std::string& fileName, QImage& bitmap) = 0;
    // True when the hook takes the file.
    virtual bool CanHandle(const std::string& fileName) = 0;
};

// Takes ".gif", ".png", ".jpe", ".pcd" and ".psd" (ASCII case ignored). ".pcd" and ".psd"
// go to whichever codec recognises the content; ".jpe" is decoded at full size with the
// JPEG codec's defaults. A decoder's failure is thrown (std::runtime_error).
class TImgCustomTest : public TImgCustom {
public:
    bool LoadBitmap(const std::string& fileName, QImage& bitmap) override;
    bool CanHandle(const std::string& fileName) override;
};

class TImgUtil {
public:
    TImgUtil();
    ~TImgUtil();
    TImgUtil(const TImgUtil&) = delete;
    TImgUtil& operator=(const TImgUtil&) = delete;

    // Published properties.
    TJPEGPerformance Performance() const { return performance_; }
    void setPerformance(TJPEGPerformance p);
    // Extra extensions shown as text: wildcard masks separated by ";" ("*.log;*.ini"). Kept
    // lower-cased (ASCII); TextExtList becomes ";.log;.ini;".
    const std::string& TextExt() const { return textExt_; }
    void setTextExt(const std::string& masks);
    const TFont& Font() const { return font_; }
    void setFont(const TFont& font);
    TGetType GetType() const { return getType_; }
    void setGetType(TGetType t) { getType_ = t; }
    // Under icons, metafiles and text. A different value fires OnChange.
    TColor BKColor() const { return bkColor_; }
    void setBKColor(TColor c);
    // Percent of the stream's length at which a video's frame is taken; only 0..100 taken.
    int AviFramePos() const { return aviFramePos_; }
    void setAviFramePos(int percent);

    // Public state.
    QImage Bitmap;
    TImageType ImageType = iitNone;
    int OrgWidth = 0, OrgHeight = 0;
    int IconCount = 0;                 // icons in an EXE or DLL; 0 = not yet counted
    int IconIndex = -1;                // the icon last drawn; -1 = none
    TImgCustom* CustomImage = nullptr; // not owned
    std::function<void(TImgUtil* sender)> OnChange;
    const std::string& TextExtList() const { return textExtList_; }
    TAviStreamInfo AviInfo;

    // For a loader used off the user-interface thread, where file icons cannot be drawn:
    // DrawFileIcon then leaves Bitmap empty and sets IconDeferred (Clear resets it), so the
    // owner can have a loader on the user-interface thread draw that picture.
    bool DeferIcons = false;
    bool IconDeferred = false;
    // With igtNormal, a JPEG is decoded as JpegToBitmap does (shrunk by the decoder as far as
    // it still covers the box) instead of at full size; OrgWidth/OrgHeight keep its size.
    // For an owner that scales the picture down to the box anyway.
    bool ReduceJpeg = false;

    // The picture of `fileName` for a width x height box. iconIndex picks an icon of an EXE
    // or DLL (0 = the file's own icon). 0: Bitmap holds the picture. 1: the path is neither
    // a file nor a folder; nothing loaded. Other (-1 as a rule): decoding failed, Bitmap
    // holds the file's icon.
    int GetImage(const std::string& fileName, int width, int height, int iconIndex);
    // Sets ImageType from the path alone (the hook first, then folders, then the extension);
    // 0, or 3 when no type applies.
    int CheckImageType(const std::string& fileName);
    // Resets ImageType, IconIndex, IconCount and Bitmap (a new empty picture).
    void Clear();
    // Scales `bitmap` in place to the box as GetType says.
    void ApplyGetType(QImage& bitmap, int width, int height) const;
    // See resample.h.
    static void ResizeBitmap(QImage& bitmap, int newWidth, int newHeight);
    static QSize CalcFitSize(int w, int h, int width, int height);

    // The loader's own steps.
    int DecodeImage(const std::string& fileName, int width, int height, int iconIndex);
    int DrawFileIcon(const std::string& fileName, int iconIndex);
    bool IsTextExt(const std::string& fileName) const;
    int LoadBmp(const std::string& fileName, int width, int height);
    int LoadJpeg(const std::string& fileName, int width, int height);
    int LoadMetafile(const std::string& fileName, int width, int height);
    int LoadHtml(const std::string& fileName, int width, int height);
    int LoadText(const std::string& fileName, int width, int height);
    int LoadCustom(const std::string& fileName, int width, int height);
    int LoadAvi(const std::string& fileName, int width, int height);
    // Decodes `jpeg` (of jpegSize) into Bitmap: as it is when it has the box's size exactly,
    // else shrunk by the decoder by 1/8, 1/4 or 1/2, the most that still covers the box, and
    // then fitted by ApplyGetType.
    void JpegToBitmap(ByteView jpeg, QSize jpegSize, int width, int height);
    // Draws the HTML or mail page of the file into `bitmap` at the size it has.
    bool ExtractHtmlImage(const std::string& fileName, QImage& bitmap) const;
    int GetAviFrame(const std::string& fileName, QImage& bitmap, int percent);

private:
    void fit(int width, int height);
    DecodeOptions decodeOptions() const;

    TJPEGPerformance performance_ = jpBestSpeed;
    std::string textExt_, textExtList_;
    TFont font_;
    TGetType getType_ = igtPreview;
    TColor bkColor_ = 0xFFFFFF;
    int aviFramePos_ = 20;
};

} // namespace g3
