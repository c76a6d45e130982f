// Every message box of the program goes through a MessageBoxes, so tests can answer them
// without timing: they hand in a double and no window is shown.
//
// Two kinds of box exist:
// - messageDlg: the framework's message dialog. Kinds information, confirmation, warning,
//   error and custom, with the captions "情報", "確認", "警告", "エラー" and, for the custom
//   kind, the application title (the current folder). Buttons "はい(&Y)", "いいえ(&N)",
//   "OK", "キャンセル".
// - messageBox: the platform message box, with a caption and an icon chosen by the caller.
// Closing a box with its close button gives the box's cancel answer (Cancel when present,
// else No, else OK).
#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace g3 {

enum class MsgKind { Information, Confirmation, Warning, Error, Custom };

enum MsgButton : unsigned {
    mbYes = 0x1,
    mbNo = 0x2,
    mbOK = 0x4,
    mbCancel = 0x8,
    mbYesToAll = 0x10, // "すべてはい(&A)", after the Yes button
};
using MsgButtons = unsigned;

enum class MsgResult { Yes, No, OK, Cancel, YesToAll };

// What a box would show; handed to an installed answerer instead of showing a window.
struct MessageRequest {
    bool platformBox = false; // messageBox rather than messageDlg
    MsgKind kind = MsgKind::Information;
    QString caption;
    QString text;
    MsgButtons buttons = mbOK;
};


// The application title: "Grottan3" at start, then the folder shown; the caption of the
// custom kind. Kept here rather than as Qt's application display name, which Qt appends
// to the title of every window on X11 ("確認 — /home").
void setApplicationTitle(const QString& title);
QString applicationTitle();

// A text's lines as a window shows them: the system's line ends, CR LF and LF CR, and a lone
// CR or LF, each become one line break. The texts themselves keep their bytes.
QString displayLines(const QString& text);

// The message boxes of the program. Made once at start-up (ScreenMessageBoxes) and handed
// to every window and component that asks the user something; tests hand in a double
// that records the requests and answers them without a window.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows what req describes, modal over parent (or the active window), and returns the
    // answer.
    virtual MsgResult show(const MessageRequest& req, QWidget* parent) = 0;

    // The framework's message dialog; modal over the active window.
    MsgResult messageDlg(const QString& text, MsgKind kind, MsgButtons buttons);
    // The platform message box with the caller's caption; the icon follows kind.
    MsgResult messageBox(QWidget* parent, const QString& text, const QString& caption,
                         MsgKind kind, MsgButtons buttons);

    // The general error display: shows the exception's message once in an error box and
    // returns; the program goes on.
    void showException(const std::exception& e);
    // The same for the exception being handled; call it only inside a catch block.
    void showCurrentException();
    // Runs an event handler body; any exception escaping it goes to showException.
    void runGuarded(const std::function<void()>& handler);
};

// The boxes on the screen (QMessageBox).
class ScreenMessageBoxes final : public MessageBoxes {
public:
    MsgResult show(const MessageRequest& req, QWidget* parent) override;
};

} // namespace g3
