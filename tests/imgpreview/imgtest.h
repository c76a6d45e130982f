// Shared by the loader's tests: where the samples are, reading them, comparing pictures.
#pragma once

#include "imgpreview/codec.h"

#include <QImage>

#include <string>
#include <vector>

namespace g3test {

// The shared picture corpus's images folder; empty when the corpus is not there.
std::string corpusImages();
// A sample file of data/samples.
std::string sample(const std::string& name);
std::vector<std::uint8_t> bytesOf(const std::string& path);
// A binary PPM file as an RGB888 picture.
QImage readPpm(const std::string& path);
// The largest difference of any channel of any pixel; INT_MAX when the sizes differ.
int maxDifference(const QImage& a, const QImage& b);

} // namespace g3test
