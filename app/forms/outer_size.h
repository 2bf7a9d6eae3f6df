// A top-level window sized by its outer size (frame included), as the settings file stores it,
// and placed when it is first shown: where the user left it, if that is on a screen; a dialog
// centred on its owner; anything else centred on its screen. Hidden and shown again (as around
// a draw command), it comes back where it was.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace kelvo {

// Watches `window` (and is owned by it). An X11 window manager frames a window only after it is
// mapped, so at the first show the frame is still unknown: the size is corrected when a frame
// shows or changes (for a few seconds after the first show), and never again, so the user's own
// resizing stays.
class OuterGeometry : public QObject {
 public:
  OuterGeometry(QWidget* window, QSize outer, std::optional<QPoint> framePosition = std::nullopt);

  // The window's size including its frame (its own size while it has no frame); once it is
  // hidden, with the frame it last had while shown.
  QSize outer() const;
  // The frame's top-left corner on the desktop, where the window is or last was.
  QPoint position() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPoint framePosition() const;  // where the window is to stand
  bool onAScreen(QPoint framePos) const;
  void fitToFrame();
  void stopWatching();

  QWidget* window_;
  QSize outer_;
  std::optional<QPoint> wanted_;  // the position asked for, until the window is placed
  QPoint left_;                   // the frame's position when the window was last hidden
  QMargins frame_;  // as last seen while shown
  QTimer poll_;
  int polls_ = 0;
  bool shown_ = false;
  QMargins fitted_;  // the frame the window was last fitted to; none before the first fit
};

}  // namespace kelvo
