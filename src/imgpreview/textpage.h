// Text pictures: the first lines of a text file, read a chunk at a time, drawn as a page.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include <string>

namespace g3 {

// The fonts the program's text pictures ask for by their Windows names ("ＭＳ Ｐゴシック" and
// the like) stand for the machine's Japanese Gothic and Mincho fonts of the same kind
// (proportional or fixed). Called by every loader; once per process is enough.
void useJapaneseFontSubstitutes();

// The text of a file's first lines, joined with CR LF: at most maxLines lines and
// maxChars + 1 bytes of each (columns count bytes, so a double-byte character may be cut).
// Read in 1024-byte chunks; a zero byte ends its chunk (reading goes on with the next one);
// CR is dropped. Nothing when maxLines <= 0. Throws std::runtime_error when the file cannot
// be opened (a FIFO or device is never opened).
std::string ReadTextLines(const std::string& fileName, int maxLines, int maxChars);

// The characters of ReadTextLines' bytes: UTF-8 when every line is (a character cut at a
// line's end is dropped), else CP932.
QString textPageCharacters(const std::string& bytes);

// Draws `text` (lines joined with CR LF, as ReadTextLines gives them) on `page` from its top
// left corner, each line lineHeight pixels below the one before, tabs moved on to the next
// multiple of eight average character widths, nothing wrapped.
void drawTextPage(QImage& page, const std::string& text, const QFont& font, const QColor& color,
                  int lineHeight);

} // namespace g3
