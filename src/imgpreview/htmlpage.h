// Pages of documents drawn into a bitmap of a given size: HTML through Qt's rich-text
// document (no network, no scripts) and mail messages (.eml) as their headers and their text
// or HTML part. User-interface thread (fonts need the QGuiApplication).
#pragma once

#include "imgpreview/codec.h"

#include <QImage>
#include <QString>

#include <string>

namespace g3 {

// The characters of an HTML file: in the charset a byte-order mark or the document's meta
// tag names, else UTF-8 when the bytes are, else CP932.
QString htmlCharacters(ByteView html);

// Draws the HTML document `html` on `page` at the size it has, white where the page sets
// nothing. Pictures and style sheets are read only from local files (relative names from
// `baseFolder`; with an empty baseFolder none) and from data: URLs.
void drawHtmlPage(const QString& html, const std::string& baseFolder, QImage& page);

// The page of a mail message (RFC 5322 with MIME parts, any charset) as HTML: a table of
// its From, To, Subject and Date headers and then its HTML part, else its text part. False
// when the bytes are no message.
bool mailPageHtml(ByteView eml, QString& html);

} // namespace g3
