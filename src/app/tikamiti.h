// TdlgTikamiti: the shortcut dialog. It shows the house the short cut path leads to and
// collects the short cut's name, its working place and the place it is put in; the two
// browse buttons choose a folder through the folder browse component they are given.
// Made once, modal, centred on the screen; the fields keep their texts between uses.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace g3 {

class TFolderDialog;

class TdlgTikamiti : public QDialog {
    Q_OBJECT
public:
    TdlgTikamiti(TFolderDialog* browse, QWidget* parent = nullptr);

    QLabel* lblFailu;          // the target's name, white and read-only
    QLineEdit* edNamae;        // the short cut's name
    QLineEdit* edsagyoBasyo;   // the working place
    QToolButton* bbtnSagyo;    // browses for it
    QLineEdit* edOkubasyo;     // the place the short cut is put in
    QToolButton* bbtnTikaOku;  // browses for it
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    void bbtnSagyoClick();
    void bbtnTikaOkuClick();

    // A field's text set from bytes, and the bytes of what it shows now: those of the text
    // set where the user left them, the typed text elsewhere (see nameAfterEdit), so a
    // name that is not UTF-8 survives the dialog.
    static void setField(QLineEdit* field, const std::string& bytes);
    static std::string fieldBytes(const QLineEdit* field);

private:
    void browseInto(QLineEdit* field, const char* title);

    TFolderDialog* browse_;
};

} // namespace g3
