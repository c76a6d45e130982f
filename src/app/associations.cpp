#include "app/associations.h"

#include "platform/codepage.h"
#include "platform/desktopassoc.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "shellviews/shellexec.h"
#include "ui/msgbox.h"
#include "ui/programicon.h"

#include <QAction>

#include <stdexcept>
#include <utility>

namespace g3 {

namespace {

constexpr std::size_t kMaxTypeNameBytes = 8;

bool blankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; }

QString text(std::string_view bytes) { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); }

} // namespace

std::string trimmedTypeName(std::string_view typed) {
    while (!typed.empty() && blankOrControl(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && blankOrControl(typed.back())) typed.remove_suffix(1);
    return std::string(typed);
}

TypeNameFault checkTypeName(std::string_view ext) {
    if (ext.empty()) return TypeNameFault::Empty;
    if (ext.find('.') != std::string_view::npos) return TypeNameFault::Period;
    for (char c : ext)
        if (blankOrControl(c) && c != ' ') return TypeNameFault::BadCharacter;
    if (ext.find_first_of("\\/*?[]") != std::string_view::npos) return TypeNameFault::BadCharacter;
    if (cp932Length(ext) > kMaxTypeNameBytes) return TypeNameFault::TooLong;
    return TypeNameFault::None;
}

void AssociateExtension(const std::string& program, const std::string& ext, MessageBoxes& boxes,
                        QWidget* owner) {
    const std::string progId = "grottan3_" + ext;
    const std::string quoted = "\"" + program + "\"";
    const std::pair<std::string, std::string> keys[] = {
        {"." + ext, progId},
        {progId, ext + "ファイル"},
        {progId + "\\DefaultIcon", quoted + ",0"},
        {progId + "\\shell\\open\\command", quoted + " \"%1\""},
    };
    RegistryStore store;
    for (const auto& [key, value] : keys)
        if (!store.setDefaultValue(key, value)) throw std::runtime_error("'' の設定に失敗しました");
    DesktopRegistration desktop;
    registerWithDesktop(ext, program, desktop);
    boxes.messageBox(owner, text(ext + "型のファイルは\r\n\r\n" + program + "に関連付けされました"),
                     QStringLiteral("Grottan3 ♪ファイルの関連付けでのお知らせ"), MsgKind::Information, mbOK);
}

AssociationController::AssociationController(WindowContext& window, QObject* parent)
    : FeatureController(window, parent) {
    pmF04_ = makeAction("pmF04", QStringLiteral("他の家の親戚になる(&K)"), [this] { pmF04Click(); });
    pmF04_->setIcon(programIcon("relatives"));
}

void AssociationController::pmF04Click() {
    const std::vector<std::string> names = window_.selectedNames();
    if (names.size() != 1) return;
    MessageBoxes& boxes = window_.services().boxes;
    const std::string program = joinPath(window_.CurDir(), names.front());
    if (!isExecutableHouse(program)) {
        boxes.messageBox(window_.dialogOwner(),
                         text(program + "\n\r\n\rは実行型の家(.EXE)ではありませんので親戚になれません"),
                         QStringLiteral("Grottan3 お知らせ"), MsgKind::Information, mbOK);
        return;
    }
    const InputRequest prompt{names.front() + "への親戚付け",
                              "TXT BMP WAV などのように型名を一つ入力してね。（ピリオド.は不要です）", "親戚になる"};
    std::string typed;
    while (window_.askInput(prompt, typed)) {
        const std::string ext = trimmedTypeName(typed);
        const TypeNameFault fault = checkTypeName(ext);
        if (fault == TypeNameFault::None) return AssociateExtension(program, ext, boxes, window_.dialogOwner());
        showFault(fault, ext);
    }
}

void AssociationController::showFault(TypeNameFault fault, const std::string& ext) {
    QString caption = QStringLiteral("Grottan3 ♪家の親戚付けでの確認");
    QString message;
    switch (fault) {
    case TypeNameFault::Empty:
        message = QStringLiteral("型名が空っぽです\r\n\r\nTXT BMP WAV などのように型名を一つ入力してね");
        break;
    case TypeNameFault::Period:
        caption = QStringLiteral("Grottan3 ♪ファイルの親戚付けでの確認");
        message = text(ext + "\r\n\r\nのピリオド.は不要です");
        break;
    case TypeNameFault::BadCharacter:
        message = text(ext + "\r\n\r\nの型名に \\ / * ? [ ] や制御文字は使えません");
        break;
    case TypeNameFault::TooLong: message = text(ext + "\r\n\r\n拡張子は8文字以内です"); break;
    case TypeNameFault::None: return;
    }
    window_.services().boxes.messageBox(window_.dialogOwner(), message, caption, MsgKind::Information, mbOK);
}

} // namespace g3
