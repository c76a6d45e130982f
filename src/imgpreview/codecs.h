// The loader's codecs, one file each, and the order in which they bid on a file's content.
#pragma once

#include "imgpreview/codec.h"

#include <QSize>

#include <span>

namespace g3 {

const ImageCodec& bmpCodec();  // Qt's BMP reader
const ImageCodec& jpegCodec(); // libjpeg-turbo
const ImageCodec& pngCodec();  // libpng
const ImageCodec& gifCodec();  // giflib, the first frame
const ImageCodec& psdCodec();  // Magick++
const ImageCodec& pcdCodec();  // Magick++
const ImageCodec& wmfCodec();  // Magick++ (libwmf)
const ImageCodec& emfCodec();  // libemf2svg and Qt's SVG renderer

// The size a JPEG's frame header declares; an empty size when there is no readable header.
QSize jpegHeaderSize(ByteView data);

// The raster codecs in the order they are asked whether they recognise a file's content.
std::span<const ImageCodec* const> registeredCodecs();
// The first registered codec that recognises `data`, or nullptr.
const ImageCodec* codecRecognising(ByteView data);

} // namespace g3
