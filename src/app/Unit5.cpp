#include "app/Unit5.h"

#include "imgpreview/ImgBox.h"
#include "imgpreview/filebytes.h"
#include "platform/codepage.h"
#include "platform/paths.h"

#include <QAudioOutput>
#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaPlayer>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <algorithm>

namespace g3 {

namespace {

QVBoxLayout* fill(QWidget* w) {
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    return l;
}

// A page named `page` with the caption `caption`, filled by one panel named `panel`; the
// panel, laid out to hold one control.
QWidget* addPanelPage(QTabWidget* tabs, const char* page, const char* caption, const char* panel) {
    auto* p = new QWidget;
    p->setObjectName(QString::fromLatin1(page));
    auto* inner = new QWidget(p);
    inner->setObjectName(QString::fromLatin1(panel));
    fill(p)->addWidget(inner);
    fill(inner);
    tabs->addTab(p, QString::fromLatin1(caption));
    return inner;
}

// The memo lays a line out whole whenever it changes, so one line of megabytes (a minified
// script, a file without line ends) would stall the window for as long as that takes: such a
// line is shown broken after every kMemoLine characters.
QString withLinesBroken(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / TForm5::kMemoLine);
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n')) {
            run = 0;
        } else if (run >= TForm5::kMemoLine && !c.isLowSurrogate()) {
            out += QLatin1Char('\n');
            run = 0;
        }
        out += c;
        ++run;
    }
    return out;
}

QFont gothic(int pixels) {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(pixels);
    return f;
}

// Keeps the media surface over the whole of the panel it lies on.
class FillChild : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Resize)
            for (QWidget* c : static_cast<QWidget*>(watched)->findChildren<QWidget*>(
                     QStringLiteral("mediaSurface"), Qt::FindDirectChildrenOnly))
                c->setGeometry(static_cast<QWidget*>(watched)->rect());
        return false;
    }
};

} // namespace

TForm5::TForm5(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      hook_(std::make_unique<TImgCustomTest>()) {
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_ShowWithoutActivating); // the main window keeps the keyboard
    setWindowTitle(QStringLiteral("クイックビュー"));
    resize(463, 467);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    fill(this)->addWidget(PageControl1);
    buildImagePage();
    buildMemoPage();
    buildMediaPage();
    PageControl1->setCurrentIndex(tbsMemo);
    ImgBoxmau->ImgUtil().CustomImage = hook_.get();
    memoFill_ = new QTimer(this);
    memoFill_->setSingleShot(true);
    memoFill_->setInterval(0);
    connect(memoFill_, &QTimer::timeout, this, &TForm5::fillMemo);
}

TForm5::~TForm5() {
    ImgBoxmau->StopDecoding();
    ImgBoxmau->ImgUtil().CustomImage = nullptr;
    player_->stop();
}

void TForm5::buildImagePage() {
    PaneImgbox = addPanelPage(PageControl1, "tbsImage", "Image", "PaneImgbox");
    ImgBoxmau = new TImgBox(PaneImgbox);
    ImgBoxmau->setObjectName(QStringLiteral("ImgBoxmau"));
    ImgBoxmau->setColor(Qt::white);
    ImgBoxmau->setSizeType(ispStretch);
    ImgBoxmau->ImgUtil().setGetType(igtNormal);
    ImgBoxmau->ImgUtil().setFont({gothic(16), palette().color(QPalette::WindowText)});
    PaneImgbox->layout()->addWidget(ImgBoxmau);
}

void TForm5::buildMemoPage() {
    pnlMemo = addPanelPage(PageControl1, "tbsMemo", "Memo", "pnlMemo");
    Memo1 = new QPlainTextEdit(pnlMemo);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(gothic(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pnlMemo->layout()->addWidget(Memo1);
}

void TForm5::buildMediaPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tbsMedia"));
    auto* column = fill(page);

    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    player_->setAudioOutput(audio_);
    // A file the player cannot play shows nothing and plays nothing.
    connect(player_, &QMediaPlayer::errorOccurred, this, [this] {
        player_->stop();
        releaseSurface();
    });

    MediaPlayer1 = new QWidget(page);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    auto* row = new QHBoxLayout(MediaPlayer1);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(1);
    struct Button {
        const char* name;
        QStyle::StandardPixmap picture;
        std::function<void()> run;
    };
    const Button buttons[] = {
        {"btnPlay", QStyle::SP_MediaPlay, [this] { player_->play(); }},
        {"btnPause", QStyle::SP_MediaPause, [this] { player_->pause(); }},
        {"btnStop", QStyle::SP_MediaStop, [this] { player_->stop(); }},
        {"btnNext", QStyle::SP_MediaSkipForward, [this] { player_->setPosition(player_->duration()); }},
        {"btnPrev", QStyle::SP_MediaSkipBackward, [this] { player_->setPosition(0); }},
        {"btnStep", QStyle::SP_MediaSeekForward, [this] { stepBy(1); }},
        {"btnBack", QStyle::SP_MediaSeekBackward, [this] { stepBy(-1); }},
    };
    for (const Button& b : buttons) {
        auto* t = new QToolButton(MediaPlayer1);
        t->setObjectName(QString::fromLatin1(b.name));
        t->setIcon(style()->standardIcon(b.picture));
        t->setAutoRaise(true);
        connect(t, &QToolButton::clicked, this, b.run);
        row->addWidget(t);
    }
    row->addStretch(1);
    column->addWidget(MediaPlayer1);

    mediaPanel = new QWidget(page);
    mediaPanel->setObjectName(QStringLiteral("mediaPanel"));
    mediaPanel->installEventFilter(new FillChild(mediaPanel));
    auto* lines = new QVBoxLayout(mediaPanel);
    lines->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    auto* warning = new QLabel(QStringLiteral("音量注意！"), mediaPanel);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(16);
    warning->setFont(bold);
    warning->setStyleSheet(QStringLiteral("color: red"));
    lines->addWidget(warning);
    for (const char* text : {"Grottan3では音量調整できませんので、", "Windowsの方で音量調整してくださいね。",
                             "認識できるファイルは、wav, wma, mp3, mpg, avi, wmvです。"})
        lines->addWidget(new QLabel(QString::fromUtf8(text), mediaPanel));
    column->addWidget(mediaPanel, 1);
    PageControl1->addTab(page, QStringLiteral("Media"));
}

void TForm5::showOver(QWidget* over) {
    if (!placed_ && over) {
        move(over->frameGeometry().center() - rect().center());
    }
    show();
    if (!placed_) {
        placed_ = true;
        // 463 x 467 is the outer size: what the frame takes comes off the inside.
        const QSize frame = frameGeometry().size() - geometry().size();
        if (!frame.isEmpty()) resize(QSize(463, 467) - frame);
    }
}

void TForm5::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    emit closedByUser();
}

int TForm5::pageIndex() const { return PageControl1->currentIndex(); }

void TForm5::hideBoxes() {
    stopMemoFill();
    ImgBoxmau->hide();
    Memo1->hide();
}

void TForm5::showPicture(const std::string& path) {
    // Laid out first: the picture is decoded for the size the box has when it shows.
    ImgBoxmau->show();
    PaneImgbox->layout()->activate();
    ImgBoxmau->RequestFile(path);
}

void TForm5::showText(const std::string& path) {
    stopMemoFill();
    Memo1->clear();
    Memo1->setUndoRedoEnabled(false); // the file's text is no edit to undo
    try {
        memoText_ = memoText(path);
    } catch (const std::exception&) {
        // An unreadable file leaves the memo empty.
    }
    fillMemo();
    Memo1->show();
}

// A long text goes into the memo a piece at a time, one piece per turn of the event loop, so
// the windows go on painting and a newer house can take the memo over at any time.
void TForm5::fillMemo() {
    constexpr qsizetype kPiece = 64 * 1024;
    qsizetype end = std::min(memoText_.size(), memoAt_ + kPiece);
    if (end < memoText_.size()) {
        // The piece ends after a line, or at least not inside a surrogate pair.
        const qsizetype nl = memoText_.indexOf(QLatin1Char('\n'), end);
        end = nl >= 0 && nl - end < kPiece ? nl + 1 : end;
        if (memoText_.at(end - 1).isHighSurrogate()) ++end;
    }
    QTextCursor at(Memo1->document());
    at.movePosition(QTextCursor::End);
    at.insertText(memoText_.sliced(memoAt_, end - memoAt_));
    memoAt_ = end;
    if (memoAt_ < memoText_.size()) {
        memoFill_->start();
        return;
    }
    stopMemoFill();
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->setUndoRedoEnabled(true);
}

// What has not gone into the memo yet is dropped (and its megabytes with it).
void TForm5::stopMemoFill() {
    memoFill_->stop();
    memoText_ = QString();
    memoAt_ = 0;
}

void TForm5::playMedia(const std::string& path) {
    releaseSurface();
    auto* surface = new QVideoWidget(mediaPanel);
    surface->setObjectName(QStringLiteral("mediaSurface"));
    surface->setGeometry(mediaPanel->rect());
    surface->show();
    surface_ = surface;
    player_->setVideoOutput(surface);
    player_->setSource(QUrl::fromLocalFile(QString::fromUtf8(path.data(), qsizetype(path.size()))));
    player_->play();
}

void TForm5::stopMedia() { player_->stop(); }

void TForm5::releaseSurface() {
    if (!surface_) return;
    player_->setVideoOutput(nullptr);
    delete surface_;
    surface_ = nullptr;
}

// Step and back move by a tenth of the length, as far as the ends.
void TForm5::stepBy(int direction) {
    const qint64 step = std::max<qint64>(player_->duration() / 10, 1);
    player_->setPosition(std::clamp<qint64>(player_->position() + direction * step, 0, player_->duration()));
}

QString TForm5::memoText(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFileBytes(path, kMemoBytes + 1, false);
    const bool cut = bytes.size() > kMemoBytes;
    std::string_view head(reinterpret_cast<const char*>(bytes.data()), std::min(bytes.size(), kMemoBytes));
    if (cut) head = withoutCutCharacter(head);
    const std::string utf8 = windowsTextToUtf8(head);
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text = withLinesBroken(text);
    if (cut)
        text += QStringLiteral("\n\n（この家は長いので、はじめの%1MiBだけを表示しています）")
                    .arg(kMemoBytes >> 20);
    return text;
}

bool TForm5::isMediaFile(const std::string& path) {
    static const char* const kinds[] = {".wav", ".wma", ".mp3", ".mpg", ".mpeg", ".avi", ".wmv"};
    const std::string ext = lowerExtension(path);
    return std::any_of(std::begin(kinds), std::end(kinds), [&](const char* k) { return ext == k; });
}

} // namespace g3
