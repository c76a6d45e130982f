#include "ui/programicon.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <cstring>
#include <memory>

namespace g3 {

namespace {

// Each picture with the freedesktop icon name a theme would give the same command, or
// nullptr where no theme name says what the picture does (those are always ours).
struct Picture {
    const char* name;
    const char* theme;
};

constexpr Picture kPictures[] = {
    {"cave", "folder"},
    {"house", "text-x-generic"},
    {"dig", "folder-new"},
    {"fill", "edit-delete"},
    {"refresh", "view-refresh"},
    {"search", "edit-find"},
    {"stop", "process-stop"},
    {"liststyle", "view-list-icons"},
    {"rename", "edit-rename"},
    {"paste", "edit-paste"},
    {"copy", "edit-copy"},
    {"selectall", "edit-select-all"},
    {"evict", "user-trash"},
    {"evicted", "user-trash-full"},
    {"extension", nullptr},
    {"move", nullptr},
    {"extension-rename", nullptr},
    {"copy-name", "edit-copy-path"},
    {"thaw", "archive-extract"},
    {"freeze", "archive-insert"},
    {"quickview", "document-preview"},
    {"sort", "view-sort-ascending"},
    {"layout", "view-split-left-right"},
    {"shortcut", "insert-link"},
    {"help", "help-about"},
    {"save-tabs", "document-save"},
    {"add-tab", "tab-new"},
    {"ok", "dialog-ok"},
    {"relatives", nullptr},
};

const Picture* find(const char* name) {
    for (const Picture& p : kPictures)
        if (std::strcmp(p.name, name) == 0) return &p;
    return nullptr;
}

// Grey and faded. An engine of our own gets no disabled form from the style, and the
// style's generated one (Fusion's) keeps dark ink dark and every pixel opaque: pictures drawn
// mostly in ink (sort, list style, the eye) looked live.
QImage disabledImage(const QImage& normal) {
    QImage img = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int grey = 80 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
        }
    }
    return img;
}

// One compiled-in SVG, parsed once and drawn at whatever size is asked: each size and mode
// once (the pixmap cache keeps them), when a button is first painted. Pictures are square.
class SvgPicture final : public QIconEngine {
public:
    explicit SvgPicture(const char* name)
        : name_(QString::fromLatin1(name)),
          renderer_(std::make_shared<QSvgRenderer>(QStringLiteral(":/icons/%1.svg").arg(name_))) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, pixmap((QSizeF(rect.size()) * dpr).toSize(), mode, state));
    }

    QPixmap pixmap(const QSize& asked, QIcon::Mode mode, QIcon::State state) override {
        const QSize size = actualSize(asked, mode, state);
        if (size.isEmpty() || !renderer_->isValid()) return {};
        const QString key = QStringLiteral("g3pic:%1:%2:%3")
                                .arg(name_)
                                .arg(size.width())
                                .arg(mode == QIcon::Disabled ? 1 : 0);
        QPixmap pm;
        if (QPixmapCache::find(key, &pm)) return pm;
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        renderer_->render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
        p.end();
        pm = QPixmap::fromImage(mode == QIcon::Disabled ? disabledImage(img) : img);
        QPixmapCache::insert(key, pm);
        return pm;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }
    QString key() const override { return QStringLiteral("g3-svg-picture"); }
    QIconEngine* clone() const override { return new SvgPicture(*this); }
    QString iconName() override { return name_; }
    bool isNull() override { return !renderer_->isValid(); }

private:
    QString name_;
    std::shared_ptr<QSvgRenderer> renderer_; // shared by clones: parsed once
};

} // namespace

QIcon ownIcon(const char* name) {
    if (!find(name)) return {};
    return QIcon(new SvgPicture(name));
}

QIcon programIcon(const char* name) {
    const Picture* p = find(name);
    if (!p) return {};
    if (p->theme) {
        const QString theme = QString::fromLatin1(p->theme);
        if (QIcon::hasThemeIcon(theme)) return QIcon::fromTheme(theme);
    }
    return ownIcon(name);
}

QStringList programIconNames() {
    QStringList names;
    for (const Picture& p : kPictures)
        names << QString::fromLatin1(p.name);
    return names;
}

} // namespace g3
