// TdlgNyuryok: made once at start only to own the folder browse component that the
// shortcut dialog's two browse buttons use; the form itself is never shown.
#pragma once

#include <QObject>

class QWidget;

namespace g3 {

class TFolderDialog;

class TdlgNyuryok : public QObject {
    Q_OBJECT
public:
    // owner: the window the browse window is modal over.
    explicit TdlgNyuryok(QWidget* owner, QObject* parent = nullptr);

    TFolderDialog* FolderDialog1;
};

} // namespace g3
