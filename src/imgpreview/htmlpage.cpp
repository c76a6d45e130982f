#include "imgpreview/htmlpage.h"

#include "imgpreview/filebytes.h"
#include "platform/codepage.h"
#include "platform/paths.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>
#include <QUrl>

#include <exception>

namespace g3 {

namespace {

// What one page may read of pictures and style sheets, together.
constexpr std::size_t kResourceBudget = 32u << 20;
constexpr int kDefaultPixelSize = 16;

// A document whose resources come only from local files and data: URLs; Qt's own loading
// would read any path, devices and FIFOs included.
class PageDocument final : public QTextDocument {
public:
    explicit PageDocument(std::string baseFolder) : baseFolder_(std::move(baseFolder)) {}

protected:
    QVariant loadResource(int, const QUrl& name) override {
        if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
            return dataUrlBytes(name.toString(QUrl::FullyEncoded).toLatin1());
        if (baseFolder_.empty() || (!name.scheme().isEmpty() && !name.isLocalFile())) return {};
        // The path's bytes as the page names them (percent-encoded bytes stay bytes), beside
        // the folder's own bytes: a name that is not UTF-8 must survive.
        const QByteArray named =
            QByteArray::fromPercentEncoding(name.path(QUrl::FullyEncoded).toLatin1());
        const std::string rel(named.constData(), static_cast<std::size_t>(named.size()));
        const std::string path =
            lexicallyNormal(rel.starts_with('/') ? rel : joinPath(baseFolder_, rel));
        try {
            std::vector<std::uint8_t> bytes = readFileBytes(path, budget_);
            budget_ -= bytes.size();
            return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<qsizetype>(bytes.size()));
        } catch (const std::exception&) {
            return {};
        }
    }

private:
    // data:[type][;base64],payload
    static QByteArray dataUrlBytes(const QByteArray& url) {
        const qsizetype comma = url.indexOf(',');
        if (comma < 0) return {};
        const QByteArray payload = QByteArray::fromPercentEncoding(url.mid(comma + 1));
        return url.left(comma).endsWith(";base64") ? QByteArray::fromBase64(payload) : payload;
    }

    std::string baseFolder_;
    std::size_t budget_ = kResourceBudget;
};

} // namespace

QString htmlCharacters(ByteView html) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(html.data()),
                                                     static_cast<qsizetype>(html.size()));
    if (auto bom = QStringConverter::encodingForData(bytes)) return QStringDecoder(*bom)(bytes);
    static const QRegularExpression charset(
        QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_.:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(4096));
    const QRegularExpressionMatch m = charset.match(head);
    if (m.hasMatch()) {
        QStringDecoder decoder(m.captured(1).toLatin1().constData());
        if (decoder.isValid()) return decoder(bytes);
    }
    const std::string text = windowsTextToUtf8(std::string_view(bytes.constData(), html.size()));
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void drawHtmlPage(const QString& html, const std::string& baseFolder, QImage& page) {
    if (page.isNull()) return;
    page.fill(Qt::white);
    PageDocument doc(baseFolder);
    QFont font = doc.defaultFont();
    font.setPixelSize(kDefaultPixelSize);
    doc.setDefaultFont(font);
    doc.setHtml(html);
    doc.setTextWidth(page.width());
    QPainter painter(&page);
    doc.drawContents(&painter, QRectF(0, 0, page.width(), page.height()));
}

} // namespace g3
