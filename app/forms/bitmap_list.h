// The main window's nine small pictures: the empty sign cell, three bend signs, three shelf
// signs and the leg triangle in black and in grey. Drawn by the program, black on white.
#pragma once

#include <QImage>

namespace kelvo {

inline constexpr int kBitmapCount = 9;

// Picture `index` (0..8) as designed, white background; an empty image outside 0..8.
const QImage& bmLst(int index);
// The same picture with its white made transparent.
const QImage& bmLstTransparent(int index);

}  // namespace kelvo
