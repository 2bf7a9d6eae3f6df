#include <QWindow>

#include "platform/window_frame.h"

namespace kelvo {

// Frames are drawn by the system itself here, and Qt knows them from the moment of showing.
QMargins windowFrame(const QWindow* window) { return window ? window->frameMargins() : QMargins(); }

}  // namespace kelvo
