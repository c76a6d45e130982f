#include "app/nyuryok.h"

#include "app/FldrDlg.h"

namespace g3 {

TdlgNyuryok::TdlgNyuryok(QWidget* owner, QObject* parent)
    : QObject(parent), FolderDialog1(new TFolderDialog(owner)) {
    setObjectName(QStringLiteral("dlgNyuryok"));
    FolderDialog1->setParent(this);
    FolderDialog1->setObjectName(QStringLiteral("FolderDialog1"));
}

} // namespace g3
