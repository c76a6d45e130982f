// Mail messages as pages, parsed with GMime.
#include "imgpreview/htmlpage.h"

#include "platform/codepage.h"

// GLib names a member "signals", which Qt's headers define as a keyword.
#undef signals
#include <gmime/gmime.h>

#include <memory>
#include <mutex>

namespace g3 {

namespace {

template <class T> struct Unref {
    void operator()(T* p) const { g_object_unref(p); }
};
template <class T> using GObjectPtr = std::unique_ptr<T, Unref<T>>;
struct GFree {
    void operator()(char* p) const { g_free(p); }
};
using GString = std::unique_ptr<char, GFree>;
struct FreeParserOptions {
    void operator()(GMimeParserOptions* o) const { g_mime_parser_options_free(o); }
};

void setUpGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// Header text and parts without a charset label may still be 8-bit: mail written in Japan
// is mostly ISO-2022-JP, else Shift_JIS (as CP932) or EUC-JP.
GMimeParserOptions* newParserOptions() {
    GMimeParserOptions* options = g_mime_parser_options_new();
    static const char* fallback[] = {"UTF-8", "CP932", "EUC-JP", "ISO-8859-1", nullptr};
    g_mime_parser_options_set_fallback_charsets(options, fallback);
    return options;
}

QString fromUtf8Bytes(const char* text) {
    if (!text) return {};
    const std::string utf8 = windowsTextToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

struct Body {
    GMimeTextPart* html = nullptr;
    GMimeTextPart* plain = nullptr;
};

void findBody(GMimeObject*, GMimeObject* part, gpointer data) {
    auto& body = *static_cast<Body*>(data);
    if (!GMIME_IS_TEXT_PART(part) || g_mime_part_is_attachment(GMIME_PART(part))) return;
    GMimeContentType* type = g_mime_object_get_content_type(part);
    if (!body.html && g_mime_content_type_is_type(type, "text", "html"))
        body.html = GMIME_TEXT_PART(part);
    else if (!body.plain && g_mime_content_type_is_type(type, "text", "plain"))
        body.plain = GMIME_TEXT_PART(part);
}

QString addresses(InternetAddressList* list) {
    if (!list) return {};
    GString text(internet_address_list_to_string(list, nullptr, FALSE));
    return fromUtf8Bytes(text.get());
}

QString headerRow(const char* label, const QString& value) {
    return QStringLiteral("<tr><td valign=\"top\"><b>%1</b></td><td>%2</td></tr>")
        .arg(QString::fromUtf8(label), value.toHtmlEscaped());
}

} // namespace

bool mailPageHtml(ByteView eml, QString& html) {
    setUpGMime();
    GObjectPtr<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(reinterpret_cast<const char*>(eml.data()), eml.size()));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    std::unique_ptr<GMimeParserOptions, FreeParserOptions> options(newParserOptions());
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), options.get()));
    if (!message) return false;
    html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    html += headerRow("差出人:", addresses(g_mime_message_get_from(message.get())));
    html += headerRow("宛先:", addresses(g_mime_message_get_to(message.get())));
    html += headerRow("件名:", fromUtf8Bytes(g_mime_message_get_subject(message.get())));
    html += headerRow("日付:",
                      fromUtf8Bytes(g_mime_object_get_header(GMIME_OBJECT(message.get()), "Date")));
    html += QStringLiteral("</table><hr>");
    Body body;
    g_mime_message_foreach(message.get(), &findBody, &body);
    if (body.html) {
        GString text(g_mime_text_part_get_text(body.html));
        html += fromUtf8Bytes(text.get());
    } else if (body.plain) {
        GString text(g_mime_text_part_get_text(body.plain));
        // Mail lines end in CR LF; the page keeps one break for each.
        const QString plain =
            fromUtf8Bytes(text.get()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
        html +=
            QStringLiteral("<p style=\"white-space: pre-wrap\">%1</p>").arg(plain.toHtmlEscaped());
    }
    return true;
}

} // namespace g3
