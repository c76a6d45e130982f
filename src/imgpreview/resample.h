// Resampling of 24-bit pictures in integer fixed-point arithmetic: four-tap cubic Lagrange
// interpolation to enlarge, area averaging to reduce, each axis on its own, width first.
// The results are exact to the last bit, so any two builds give the same pixels.
#pragma once

#include <QImage>
#include <QSize>

#include <array>

namespace g3 {

// The Lagrange basis for the nodes 0, 1, 2, 3 evaluated at t (in [1, 2)), scaled by s, each
// weight rounded as Trunc(value + 0.5), so a negative weight lies nearer zero than the
// nearest integer.
std::array<int, 4> CubicWeights(int s, double t);

// Resamples `bitmap` in place to newWidth x newHeight; a picture of another format is made
// 24 bits per pixel (QImage::Format_RGB888) first. Width is resampled before height; an axis
// whose length does not change is left alone. Throws std::invalid_argument when an axis must
// change and the picture is empty, the new length is not positive, or the result would be
// larger than a picture may be.
void ResizeBitmap(QImage& bitmap, int newWidth, int newHeight);

// The size a w x h picture shrinks to so that it fits a width x height box, keeping its
// aspect ratio; never enlarged. A picture without area takes the box's size.
QSize CalcFitSize(int w, int h, int width, int height);

// The size a w x h picture enlarges to so that it fits a width x height box, keeping its
// aspect ratio, when it is smaller than the box in both directions; else CalcFitSize.
QSize StretchSize(int w, int h, int width, int height);

} // namespace g3
