#include "platform/errors.h"

#include <locale.h>

#include <cerrno>
#include <cstring>

namespace g3 {

namespace {
thread_local int tlsLastError = 0;

bool isTrimmed(char c) {
    auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f || c == ' ' || c == '.';
}

bool isAscii(const char* s) {
    for (; *s; ++s)
        if (static_cast<unsigned char>(*s) >= 0x80) return false;
    return true;
}

// The C library's messages in Japanese, as UTF-8; (locale_t)0 when the machine lacks the
// locale. Made once and kept: strerror_l's texts point into it. It is freed with the code
// that holds it, which for an archiver module is at every unload.
locale_t japaneseMessages() {
    struct Holder {
        locale_t loc =
            newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "ja_JP.UTF-8", static_cast<locale_t>(0));
        ~Holder() {
            if (loc) freelocale(loc);
        }
    };
    static const Holder messages;
    return messages.loc;
}

struct OwnText {
    int code;
    const char* text;
};

// The codes file work meets, for machines without the Japanese locale.
constexpr OwnText kOwnTexts[] = {
    {EPERM, "その操作は許されていません"},
    {ENOENT, "そのような家や洞窟はありません"},
    {EIO, "読み書きの途中で装置のエラーが起きました"},
    {ENXIO, "その装置やアドレスはありません"},
    {EBADF, "ファイル記述子が正しくありません"},
    {EAGAIN, "資源が一時的に使えません"},
    {ENOMEM, "メモリが足りません"},
    {EACCES, "アクセスが許可されていません"},
    {EBUSY, "装置や資源が使用中です"},
    {EEXIST, "同じ名前がすでにあります"},
    {EXDEV, "別の装置をまたぐリンクはできません"},
    {ENODEV, "その装置はありません"},
    {ENOTDIR, "洞窟ではありません"},
    {EISDIR, "洞窟です"},
    {EINVAL, "引数が正しくありません"},
    {ENFILE, "システム全体で開いているファイルが多すぎます"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ETXTBSY, "実行中のプログラムのファイルです"},
    {EFBIG, "ファイルが大きすぎます"},
    {ENOSPC, "装置に空きがありません"},
    {ESPIPE, "シークできません"},
    {EROFS, "読み込み専用のファイルシステムです"},
    {EMLINK, "リンクが多すぎます"},
    {ENAMETOOLONG, "名前が長すぎます"},
    {ENOTEMPTY, "洞窟が空ではありません"},
    {ELOOP, "シンボリックリンクの階層が多すぎます"},
    {EOPNOTSUPP, "その操作には対応していません"},
    {ETIMEDOUT, "時間切れになりました"},
    {ESTALE, "ファイルハンドルが古くなっています"},
    {EDQUOT, "ディスク使用量の上限を超えました"},
    {ECANCELED, "操作は取り消されました"},
};
} // namespace

int lastError() { return tlsLastError; }
void setLastError(int code) { tlsLastError = code; }

std::string ownErrorText(int code) {
    for (const auto& t : kOwnTexts)
        if (t.code == code) return t.text;
    return {};
}

std::string systemErrorText(int code) {
    // The cancel code is ours, not the system's; it reads as the system's own cancel.
    if (code == kErrorCancelled) code = ECANCELED;
    // strerror invents "Unknown error N" for codes it does not know; the name table
    // tells the known ones apart without depending on the language of the text.
    if (code <= 0 || strerrorname_np(code) == nullptr) return {};
    std::string text;
    // An untranslated text (no catalogue, or LANGUAGE asking for another language) is
    // plain ASCII: then ours is taken.
    if (locale_t ja = japaneseMessages()) {
        const char* s = strerror_l(code, ja);
        if (s && !isAscii(s)) text = s;
    }
    if (text.empty()) text = ownErrorText(code);
    if (text.empty()) {
        char buf[512];
        text = strerror_r(code, buf, sizeof buf);
    }
    while (!text.empty() && isTrimmed(text.back())) text.pop_back();
    return text;
}

} // namespace g3
