#include "shellviews/ShView.h"

#include "shellviews/mimetypes.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "ui/msgbox.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTimer>
#include <QWidget>

namespace g3 {

namespace {

QStyle::StandardPixmap standardPixmapFor(TypeFallback f, bool open) {
    switch (f) {
    case TypeFallback::Folder: return open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon;
    case TypeFallback::Drive: return QStyle::SP_DriveHDIcon;
    case TypeFallback::Home: return QStyle::SP_DirHomeIcon;
    case TypeFallback::Desktop: return QStyle::SP_DesktopIcon;
    case TypeFallback::File: break;
    }
    return QStyle::SP_FileIcon;
}

int pixelsOf(bool large) { return large ? 32 : 16; }

// The style decodes each of its pictures in every size it has; small and large icons of
// a type share one decoding.
QIcon styleIcon(QStyle::StandardPixmap sp) {
    static QHash<int, QIcon> cache;
    auto it = cache.find(sp);
    if (it == cache.end()) it = cache.insert(sp, QApplication::style()->standardIcon(sp));
    return *it;
}

// The icon of a type as one pixmap of the wanted size, so every row of a type shares it.
QIcon makeTypeIcon(int typeIndex, bool large, bool open) {
    const TypeInfo& t = typeInfo(typeIndex);
    QIcon icon;
    if (open && t.fallback == TypeFallback::Folder) icon = QIcon::fromTheme(QStringLiteral("folder-open"));
    if (icon.isNull() && !t.iconName.isEmpty()) icon = QIcon::fromTheme(t.iconName);
    if (icon.isNull() && !t.genericIconName.isEmpty()) icon = QIcon::fromTheme(t.genericIconName);
    if (icon.isNull()) icon = styleIcon(standardPixmapFor(t.fallback, open));
    const int px = pixelsOf(large);
    QPixmap pm = icon.pixmap(px, px);
    // A theme that has the icon only in a smaller size gives a smaller pixmap; large
    // icons of one style then stand at different sizes side by side.
    if (!pm.isNull() && pm.width() < px && pm.height() < px)
        pm = pm.scaled(px, px, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return QIcon(pm);
}

// A small bent arrow in the lower left corner: the sign of a link.
void drawLinkOverlay(QPixmap& pm) {
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = pm.width() / 2.0;
    const QRectF box(0, pm.height() - s, s, s);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    QPen arrow(Qt::black, qMax<qreal>(1.0, s / 8));
    p.setPen(arrow);
    const QPointF from(box.left() + s * 0.25, box.bottom() - s * 0.2);
    const QPointF to(box.right() - s * 0.2, box.top() + s * 0.25);
    p.drawLine(from, to);
    p.drawLine(to, QPointF(to.x() - s * 0.35, to.y()));
    p.drawLine(to, QPointF(to.x(), to.y() + s * 0.35));
}

} // namespace

QIcon typeIcon(int typeIndex, bool large, bool open) {
    static QHash<int, QIcon> cache;
    const int key = typeIndex * 4 + (large ? 2 : 0) + (open ? 1 : 0);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, makeTypeIcon(typeIndex, large, open));
    return *it;
}

QIcon typeIconWithOverlay(int typeIndex, int overlay, bool large) {
    if (overlay != 1) return typeIcon(typeIndex, large);
    static QHash<int, QIcon> cache;
    const int key = typeIndex * 2 + (large ? 1 : 0);
    auto it = cache.find(key);
    if (it == cache.end()) {
        const int px = pixelsOf(large);
        QPixmap pm = typeIcon(typeIndex, large).pixmap(px, px);
        drawLinkOverlay(pm);
        it = cache.insert(key, QIcon(pm));
    }
    return *it;
}

void reportRenameFailure(MessageBoxes* boxes, QWidget* owner, std::string_view oldName,
                         std::string_view newName, int error) {
    if (!boxes || !owner) return;
    const QString text = QStringLiteral("「%1」の表札を「%2」に変えられませんでした（%3）")
                             .arg(QString::fromStdString(displayTextOf(oldName)),
                                  QString::fromStdString(displayTextOf(newName)),
                                  QString::fromStdString(systemErrorText(error)));
    // Shown from the event loop: the editor that asked is still closing now.
    QTimer::singleShot(0, owner, [boxes, text] { boxes->messageDlg(text, MsgKind::Warning, mbOK); });
}

bool isContextMenuKey(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    return (e.key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (e.key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

HourglassCursor::HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
HourglassCursor::~HourglassCursor() { QApplication::restoreOverrideCursor(); }

} // namespace g3
