// TForm5: the quick view window. It stays on top of the others and shows one file on the page
// the user chose: the picture (Image), the text (Memo) or sound and video (Media). Which
// file, and when, the quick view command decides (quickview.h); this window only shows.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string>

class QAudioOutput;
class QLabel;
class QMediaPlayer;
class QPlainTextEdit;
class QTabWidget;
class QTimer;
class QToolButton;

namespace g3 {

class TImgBox;
class TImgCustomTest;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    // The pages, by their indexes in PageControl1.
    enum Page { tbsImage = 0, tbsMemo = 1, tbsMedia = 2 };
    // The memo shows at most this much of a file.
    static constexpr std::size_t kMemoBytes = std::size_t{4} << 20;
    // and breaks a longer line after this many characters.
    static constexpr qsizetype kMemoLine = 4096;

    // FormCreate: the custom-format hook is made and attached to ImgBoxmau's loader.
    explicit TForm5(QWidget* parent = nullptr);
    // The box stops decoding and lets go of the hook before the hook is released.
    ~TForm5() override;

    // Shows the window, over the middle of `over` the first time.
    void showOver(QWidget* over);
    int pageIndex() const;

    // The preview steps of the quick view command. Failures are silent: a picture the
    // loader cannot read leaves the box Empty, a text that cannot be read leaves the memo
    // empty, a media file that cannot be played shows and plays nothing.
    void hideBoxes();
    void showPicture(const std::string& path);
    // The memo shows the first lines at once and takes the rest of a long text in pieces.
    void showText(const std::string& path);
    // True while a long text is still going into the memo.
    bool fillingMemo() const { return memoAt_ < memoText_.size(); }
    // Plays a media file on a surface of its own; the previous file's surface is released.
    void playMedia(const std::string& path);
    // Stops what plays; the surface stays until the next media file.
    void stopMedia();

    // The text the memo shows for a file: its first kMemoBytes, as UTF-8 when they are
    // valid UTF-8 (a character the limit cut is left out), else as CP932, lines longer than
    // kMemoLine broken; when the file is longer, a last line says that the rest is not
    // shown. Throws when it cannot be read.
    static QString memoText(const std::string& path);
    // True for the extensions the media page plays (any case).
    static bool isMediaFile(const std::string& path);

    QTabWidget* PageControl1 = nullptr;
    QWidget* PaneImgbox = nullptr;
    TImgBox* ImgBoxmau = nullptr;
    QWidget* pnlMemo = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QWidget* MediaPlayer1 = nullptr; // the player's buttons
    QWidget* mediaPanel = nullptr;
    QMediaPlayer* player() const { return player_; }
    // The surface the playing file's video goes to; nullptr before the first media file
    // and after one that could not be played.
    QWidget* mediaSurface() const { return surface_; }

signals:
    // The window was closed from outside (the window manager's close): quick view goes off.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildImagePage();
    void buildMemoPage();
    void buildMediaPage();
    void releaseSurface();
    void fillMemo();
    void stopMemoFill();
    void stepBy(int direction);

    std::unique_ptr<TImgCustomTest> hook_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    QWidget* surface_ = nullptr;
    bool placed_ = false;
    QString memoText_; // the text going into the memo, in the memo up to memoAt_
    qsizetype memoAt_ = 0;
    QTimer* memoFill_ = nullptr;
};

} // namespace g3
