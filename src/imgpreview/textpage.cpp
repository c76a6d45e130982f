#include "imgpreview/textpage.h"

#include "platform/codepage.h"
#include "platform/fileio.h"

#include <QFontMetrics>
#include <QPainter>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace g3 {

namespace {

constexpr std::size_t kChunk = 1024;
constexpr int kTabColumns = 8;

template <class Fn> void forEachLine(std::string_view text, Fn&& fn) {
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find("\r\n", at);
        fn(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) return;
        at = end + 2;
    }
}

} // namespace

void useJapaneseFontSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList proportionalGothic = {
            QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
            QStringLiteral("TakaoPGothic")};
        const QStringList gothic = {QStringLiteral("IPAGothic"),
                                    QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")};
        const QStringList proportionalMincho = {QStringLiteral("IPAPMincho"),
                                                QStringLiteral("IPAexMincho"),
                                                QStringLiteral("Noto Serif CJK JP")};
        const QStringList mincho = {QStringLiteral("IPAMincho"),
                                    QStringLiteral("Noto Serif CJK JP")};
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), proportionalGothic);
        QFont::insertSubstitutions(QStringLiteral("MS PGothic"), proportionalGothic);
        QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), gothic);
        QFont::insertSubstitutions(QStringLiteral("MS Gothic"), gothic);
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), proportionalMincho);
        QFont::insertSubstitutions(QStringLiteral("MS PMincho"), proportionalMincho);
        QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), mincho);
        QFont::insertSubstitutions(QStringLiteral("MS Mincho"), mincho);
    });
}

std::string ReadTextLines(const std::string& fileName, int maxLines, int maxChars) {
    std::string out;
    if (maxLines <= 0) return out;
    struct stat st {};
    UniqueFd fd = openRegularFile(fileName, st);
    if (!fd) throw std::runtime_error(fileName + ": " + std::strerror(errno));
    int line = 0, column = 0;
    char chunk[kChunk];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, kChunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return out;
        for (ssize_t i = 0; i < n && chunk[i] != '\0'; ++i) {
            const char c = chunk[i];
            if (c == '\n') {
                if (++line >= maxLines) return out;
                out += "\r\n";
                column = 0;
            } else if (c != '\r') {
                if (column <= maxChars) out += c;
                ++column;
            }
        }
    }
}

QString textPageCharacters(const std::string& bytes) {
    std::vector<std::string_view> lines;
    forEachLine(bytes, [&](std::string_view line) { lines.push_back(line); });
    bool utf8 = true;
    for (std::string_view line : lines)
        utf8 = utf8 && isValidUtf8(withoutCutCharacter(line));
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += '\n';
        out += utf8 ? std::string(withoutCutCharacter(lines[i])) : cp932ToUtf8(lines[i]);
    }
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

void drawTextPage(QImage& page, const std::string& text, const QFont& font, const QColor& color,
                  int lineHeight) {
    if (page.isNull() || lineHeight < 1) return;
    QPainter p(&page);
    p.setFont(font);
    p.setPen(color);
    const QFontMetrics fm(font, &page);
    const int tab = std::max(1, kTabColumns * fm.averageCharWidth());
    int y = 0;
    for (const QString& line : textPageCharacters(text).split(QLatin1Char('\n'))) {
        if (y >= page.height()) break;
        int x = 0;
        const QStringList pieces = line.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0) x = (x / tab + 1) * tab;
            p.drawText(x, y + fm.ascent(), pieces[i]);
            x += fm.horizontalAdvance(pieces[i]);
        }
        y += lineHeight;
    }
}

} // namespace g3
