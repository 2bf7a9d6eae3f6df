#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/window_frame.h"

namespace kelvo {

namespace {

struct FreeReply {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t atomNamed(xcb_connection_t* c, const char* name) {
  const Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// An atom lives as long as the X server, and the program has one connection: asked once, not
// at every move of a window. Asked again while it does not exist yet (no window manager has
// named it), as only_if_exists then answers none.
xcb_atom_t knownAtom(xcb_connection_t* c, const char* name, xcb_atom_t& cached) {
  if (cached == XCB_ATOM_NONE) cached = atomNamed(c, name);
  return cached;
}

// A CARDINAL[] property of a window; empty if it has none.
Reply<xcb_get_property_reply_t> cardinals(xcb_connection_t* c, xcb_window_t w, xcb_atom_t a,
                                          uint32_t count) {
  Reply<xcb_get_property_reply_t> r(
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, a, XCB_ATOM_ANY, 0, count), nullptr));
  if (r && r->format == 32 && r->value_len > 0) return r;
  return nullptr;
}

// Whether the window manager names _NET_FRAME_EXTENTS among what it supports. Asked each
// time: a window manager may be started or replaced while the program runs.
bool publishesExtents(xcb_connection_t* c, xcb_window_t root, xcb_atom_t extents) {
  static xcb_atom_t supportedAtom = XCB_ATOM_NONE;
  const xcb_atom_t supported = knownAtom(c, "_NET_SUPPORTED", supportedAtom);
  if (supported == XCB_ATOM_NONE) return false;
  const auto r = cardinals(c, root, supported, 1024);
  if (!r) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(r.get()));
  for (uint32_t i = 0; i < r->value_len; ++i)
    if (atoms[i] == extents) return true;
  return false;
}

}  // namespace

QMargins windowFrame(const QWindow* window) {
  if (!window || !window->handle()) return QMargins();
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  // The offscreen platform answers as X11 too, with no connection.
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return window->frameMargins();
  static xcb_atom_t extentsAtom = XCB_ATOM_NONE;
  const xcb_atom_t extents = knownAtom(c, "_NET_FRAME_EXTENTS", extentsAtom);
  if (extents == XCB_ATOM_NONE) return window->frameMargins();
  const auto w = static_cast<xcb_window_t>(window->winId());
  if (const auto r = cardinals(c, w, extents, 4); r && r->value_len == 4) {
    // left, right, top, bottom
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                    static_cast<int>(v[3]));
  }
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (screen && publishesExtents(c, screen->root, extents)) return QMargins();
  return window->frameMargins();
}

}  // namespace kelvo
