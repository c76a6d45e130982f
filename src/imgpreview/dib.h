// Packed DIBs (a BITMAPINFOHEADER, its colour table and the pixel rows in one block, as
// video frames come) written as the image of a BMP file, which the BMP codec then reads.
#pragma once

#include "imgpreview/codec.h"

class QIODevice;

namespace g3 {

// Writes the 14-byte BMP file header for `dib` and then the DIB itself, as far as the file
// header's size reaches: the row bytes (rounded up to whole 32-bit words) times the height,
// the colour table (4- and 8-bit frames: biClrUsed entries, or 16 and 256 when it is 0;
// none for other depths) and the 40-byte header. Nothing is written and the result is false
// when `dib` is empty, `stream` is null, the header is incomplete or the DIB is shorter than
// that size; a top-down DIB (negative height) counts its rows the same.
bool WriteDibAsBmp(ByteView dib, QIODevice* stream);

} // namespace g3
