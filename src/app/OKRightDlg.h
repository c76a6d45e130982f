// TOKRightDlg: the shared window that shows the about text (Memo1) and the error list of
// the last copy or move run (Memo2). Created once and reused.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class QPlainTextEdit;

namespace g3 {

class TOKRightDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOKRightDlg(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1; // the about text, put in when it is first shown
    QPlainTextEdit* Memo2; // the error list

    // Builds one error entry and appends it to the run's list (engine/errorlist.h).
    void AddErrorMessage(const std::string& First, const std::string& Second,
                         std::int32_t Code);

    // Caption "About Grottan3", Memo1 filling the window; shown without blocking.
    void showAbout();
    // Caption "Grottan3 実行結果エラー一覧", Memo2 with the run's list filling the window;
    // shown modally. Returns when the window is closed.
    void showErrorList();
    // Switches to the error list without showing (showErrorList = this, then exec).
    void prepareErrorList();

protected:
    void resizeEvent(QResizeEvent* e) override;
};

// The about text; its first line is "「Grottan3」 V8.6".
QString aboutText();

// Makes the engine's end-of-run report ask in a warning box and show the list on dlg.
void installErrorReport(TOKRightDlg* dlg);

} // namespace g3
