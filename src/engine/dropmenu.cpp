#include "engine/dropmenu.h"

#include "engine/opkind.h"

#include <QMenu>

#include <memory>
#include <utility>

namespace g3 {

namespace {

void addKind(QMenu* menu, const char* name, const char* caption, int code) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setData(code);
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

} // namespace

QMenu* buildPopupMenu3(QWidget* parent) {
    auto* m = new QMenu(parent);
    m->setObjectName(QStringLiteral("PopupMenu3"));
    addKind(m, "popMcopyFast", "建て増しnew(&A)", okCopyNewer);
    addKind(m, "popMcopyFastUwa", "上書き建て増し(&B)", okCopyOverwrite);
    addKind(m, "popMmuvu", "家のみ引っ越しnew(&C)", okMoveNewer);
    addKind(m, "popMmuvuUwa", "家のみ上書き引っ越し(&D)", okMoveOverwrite);
    addSeparator(m, "N2");
    QMenu* sub = m->addMenu(QStringLiteral("同名確認"));
    sub->setObjectName(QStringLiteral("popCopyDomeiMenu"));
    sub->menuAction()->setObjectName(QStringLiteral("popCopyDomei"));
    addKind(sub, "psmDomeCopy", "建て増し(&E)", okAskCopy);
    addKind(sub, "psmDomeIdo", "家のみ引っ越し(&F)", okAskMove);
    addSeparator(m, "N3");
    addKind(m, "pmCopyWin", "windows標準コピー(&G)", okShellCopy);
    addKind(m, "pmIdoWin", "windows標準移動(&H)", okShellMove);
    addSeparator(m, "N1");
    addKind(m, "popMcancel", "キャンセル(&X)", okNone);
    return m;
}

int PopupMenu3(MenuChooser& chooser, const QPoint& screenPos, QWidget* parent) {
    std::unique_ptr<QMenu> menu(buildPopupMenu3(parent));
    QAction* chosen = chooser.choose(*menu, screenPos);
    if (!chosen || chosen->menu()) return okNone;
    bool ok = false;
    int code = chosen->data().toInt(&ok);
    return ok ? code : okNone;
}

} // namespace g3
