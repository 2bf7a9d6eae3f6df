#include "app/forms/outer_size.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "platform/window_frame.h"

#include <algorithm>

namespace kelvo {

namespace {

// How long after the first show a frame is still waited for: a window manager may report the
// frame's extents a moment after the window is mapped, and then no event tells the window.
constexpr int kFramePollMs = 50;
constexpr int kFramePolls = 100;

// Asked of the native window each time: the widget's own record of its frame is brought up to
// date only when the widget moves or is resized, and framing need do neither.
QMargins frameOf(const QWidget* window) { return windowFrame(window->windowHandle()); }

bool hasFrame(const QMargins& m) { return m.left() + m.right() > 0 || m.top() + m.bottom() > 0; }

}  // namespace

OuterGeometry::OuterGeometry(QWidget* window, QSize outer, std::optional<QPoint> framePosition)
    : QObject(window), window_(window), outer_(outer), wanted_(framePosition) {
  window_->resize(outer_);
  window_->installEventFilter(this);
  poll_.setInterval(kFramePollMs);
  connect(&poll_, &QTimer::timeout, this, [this] {
    fitToFrame();
    if (++polls_ >= kFramePolls) stopWatching();
  });
}

QPoint OuterGeometry::position() const { return window_->isVisible() ? window_->frameGeometry().topLeft() : left_; }

QSize OuterGeometry::outer() const {
  return window_->size().grownBy(window_->isVisible() ? frameOf(window_) : frame_);
}

bool OuterGeometry::eventFilter(QObject* watched, QEvent* event) {
  // Noted while shown: once hidden, a window has no frame to measure.
  if (watched == window_ && window_->isVisible() &&
      (event->type() == QEvent::Resize || event->type() == QEvent::Move))
    frame_ = frameOf(window_), left_ = window_->frameGeometry().topLeft();
  // Hidden for a command and shown again, the window is put back where the user had it: a
  // window manager may place a window mapped anew as it places a new one.
  if (watched == window_ && event->type() == QEvent::Show && shown_) window_->move(left_);
  if (watched == window_ && event->type() == QEvent::Show && !shown_) {
    // Before the window is mapped, so that it appears where it belongs (a dialog would
    // otherwise centre itself over its owner). A top-level window's position is its frame's.
    shown_ = true;
    window_->move(framePosition());
    fitToFrame();
    // The native window hears first of its placement by the window manager; the poll covers
    // extents that the window manager reports later still.
    if (QWindow* native = window_->windowHandle()) native->installEventFilter(this);
    poll_.start();
  } else if (watched != window_) {
    const QEvent::Type t = event->type();
    if (t == QEvent::Move || t == QEvent::Resize || t == QEvent::Expose) fitToFrame();
  }
  return false;
}

// A remembered position counts while the frame's top edge, where the user takes hold of it,
// is on some screen: a screen since removed must not leave the window out of reach.
bool OuterGeometry::onAScreen(QPoint p) const {
  const QRect grip(p, QSize(std::max(outer_.width(), 1), 24));
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect shared = s->availableGeometry().intersected(grip);
    if (shared.width() >= std::min(100, grip.width()) && shared.height() >= 8) return true;
  }
  return false;
}

QPoint OuterGeometry::framePosition() const {
  if (wanted_ && onAScreen(*wanted_)) return *wanted_;
  const QWidget* owner = window_->parentWidget() ? window_->parentWidget()->window() : nullptr;
  if (owner && owner->isVisible() && owner->screen()) {
    // Over its owner, and kept on the owner's screen where it fits.
    const QRect avail = owner->screen()->availableGeometry();
    const QRect o = owner->frameGeometry();  // its centre without QRect::center()'s rounding
    const QPoint p = o.topLeft() + QPoint((o.width() - outer_.width()) / 2, (o.height() - outer_.height()) / 2);
    return {std::clamp(p.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - outer_.width())),
            std::clamp(p.y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - outer_.height()))};
  }
  const QScreen* screen = window_->screen();
  const QRect avail = screen ? screen->availableGeometry() : QRect();
  return avail.center() - QPoint(outer_.width() / 2, outer_.height() / 2);
}

// Fitted again whenever the frame changes while it is watched: a window manager may change a
// frame's extents once more after it first published them.
void OuterGeometry::fitToFrame() {
  const QMargins m = frameOf(window_);
  if (!hasFrame(m) || m == fitted_) return;
  fitted_ = m;
  frame_ = m;
  // The client area inside the frame, placed so that the frame is where it belongs.
  window_->setGeometry(QRect(framePosition() + QPoint(m.left(), m.top()), outer_.shrunkBy(m)));
}

void OuterGeometry::stopWatching() {
  poll_.stop();
  if (QWindow* native = window_->windowHandle()) native->removeEventFilter(this);
}

}  // namespace kelvo
