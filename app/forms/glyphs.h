// Pictures of the program's own buttons and its icon, drawn by the program.
#pragma once

#include <QIcon>

namespace kelvo {

QIcon applicationIcon();
QIcon eraserIcon();
QIcon bookIcon();

}  // namespace kelvo
