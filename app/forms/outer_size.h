// A top-level window sized by its outer size (frame included), as the settings file stores it,
// and centred on its screen when it is first shown.
#pragma once

#include <QMargins>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <QWidget>

namespace kelvo {

// Watches `window` (and is owned by it). An X11 window manager frames a window only after it is
// mapped, so at the first show the frame is still unknown: the size is corrected when a frame
// shows or changes (for a few seconds after the first show), and never again, so the user's own
// resizing stays.
class OuterGeometry : public QObject {
 public:
  OuterGeometry(QWidget* window, QSize outer);

  // The window's size including its frame (its own size while it has no frame); once it is
  // hidden, with the frame it last had while shown.
  QSize outer() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPoint framePosition() const;  // centred on the screen
  void fitToFrame();
  void stopWatching();

  QWidget* window_;
  QSize outer_;
  QMargins frame_;  // as last seen while shown
  QTimer poll_;
  int polls_ = 0;
  bool shown_ = false;
  QMargins fitted_;  // the frame the window was last fitted to; none before the first fit
};

}  // namespace kelvo
