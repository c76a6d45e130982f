// TOKRightDlg: the shared window that shows the about text (Memo1) and the error list of
// the last copy or move run (Memo2). Created once and reused.
#pragma once

#include "engine/errorlist.h"
#include "ui/msgbox.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QPlainTextEdit;

namespace g3 {

// The error list lives here for the whole program, and the window is also the report's:
// it asks in a warning box and shows the list.
class TOKRightDlg : public QDialog, public ErrorReportHost {
    Q_OBJECT
public:
    // The report's question goes to boxes.
    explicit TOKRightDlg(MessageBoxes& boxes, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1; // the about text, put in when it is first shown
    QPlainTextEdit* Memo2; // the error list

    // Builds one error entry and appends it to the run's list (engine/errorlist.h).
    void AddErrorMessage(const std::string& First, const std::string& Second,
                         std::int32_t Code);
    ErrorList& errorList() { return errors_; }
    // The end-of-run report of the list: the question, and the list on Yes.
    void reportErrors() { errors_.report(*this); }
    bool askShowErrorList(const std::string& question) override;

    // Caption "About Grottan3", Memo1 filling the window; shown without blocking.
    void showAbout();
    // Caption "Grottan3 実行結果エラー一覧", Memo2 with the run's list filling the window;
    // shown modally. Returns when the window is closed.
    void showErrorList() override;
    // Switches to the error list without showing (showErrorList = this, then exec).
    void prepareErrorList();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    MessageBoxes& boxes_;
    ErrorList errors_;
};

// The about text; its first line is "「Grottan3」 V8.6".
QString aboutText();

} // namespace g3
