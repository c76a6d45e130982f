// The progress window's looping clip "cool": a little house wandering into its cave.
#pragma once

#include <QImage>

namespace g3 {

inline constexpr int kCoolFrameCount = 8;
inline constexpr int kCoolFrameWidth = 32;
inline constexpr int kCoolFrameHeight = 33;
inline constexpr int kCoolFrameMs = 500;

// Frame `index` (taken modulo the frame count), 32 x 33, 24-bit colour.
QImage coolFrame(int index);

} // namespace g3
