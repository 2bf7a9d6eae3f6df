// The frame a window manager has put around a top-level window.
#pragma once

#include <QMargins>

class QWindow;

namespace kelvo {

// On X11, the extents the window manager has published for the window (_NET_FRAME_EXTENTS);
// empty margins while it has published none, as it is still building the frame. Qt's own
// measure is not used there: until the extents are published Qt walks the window tree, which
// in the middle of framing gives a wrong place for the client inside the frame. Under a
// window manager that publishes no extents at all, and on other platforms, Qt's measure.
QMargins windowFrame(const QWindow* window);

}  // namespace kelvo
