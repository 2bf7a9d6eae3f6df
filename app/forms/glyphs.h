// Pictures of the program's own buttons and its icon, drawn by the program.
#pragma once

#include <QIcon>

namespace kelvo {

QIcon applicationIcon();
QIcon eraserIcon();
QIcon bookIcon();
// Drawn here rather than taken from the icon theme: looking a theme up costs more start-up
// time than the whole window.
QIcon okIcon();
QIcon cancelIcon();
// "+1" in strokes: the next free seam number.
QImage plusImage();

}  // namespace kelvo
