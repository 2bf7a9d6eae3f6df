#include "host/ui/drawing_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace kelvo::host {

namespace {

constexpr double kAperture = 10;   // pixels: how near the cursor a snap point is taken
constexpr double kMarker = 5;      // pixels: half the size of the snap marker
const QColor kMarkerColour(255, 200, 40);

}  // namespace

DrawingView::DrawingView(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, kGround);
  setPalette(p);
  setMinimumSize(320, 240);
}

void DrawingView::setPaperSpace(bool paper) {
  paper_ = paper;
  drawingChanged();
}

void DrawingView::drawingChanged() {
  display_.reset();
  painted_ = QImage();
  snap_.reset();
  update();
}

const Picture& DrawingView::display() {
  if (!display_) display_ = pictureOf(doc_, doc_.blocks[paper_ ? 1 : 0]);
  return *display_;
}

Point DrawingView::toDrawing(QPointF s) const {
  const P2 p = view_.toDrawing(s);
  return {p[0], p[1], 0};
}

void DrawingView::zoomExtents() {
  view_ = ViewMapping::fit(extentsWindow(display()), QSizeF(size()));
  update();
}

void DrawingView::startPicking(std::optional<Point> base, std::function<void(std::optional<Point>)> picked) {
  base_ = base;
  picked_ = std::move(picked);
  setCursor(Qt::BlankCursor);
  setFocus();
  updateSnap(mapFromGlobal(QCursor::pos()));
  update();
}

void DrawingView::cancelPicking() {
  if (!picked_) return;
  auto done = std::move(picked_);
  picked_ = nullptr;
  snap_.reset();
  unsetCursor();
  update();
  done(std::nullopt);
}

void DrawingView::updateSnap(QPointF at) {
  snap_.reset();
  if (!picked_ || !snapOn_) return;
  std::optional<P2> base;
  if (base_) base = P2{(*base_)[0], (*base_)[1]};
  snap_ = snapPoint(display(), view_.toDrawing(at), kAperture / view_.scale, base);
}

void DrawingView::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  if (painted_.size() != pixels || paintedView_.scale != view_.scale || paintedView_.offset != view_.offset) {
    painted_ = renderPicture(display(), doc_.font.family(), pixels, view_, ratio);
    paintedView_ = view_;
  }
  QPainter p(this);
  p.drawImage(QPointF(0, 0), painted_);
  p.setRenderHint(QPainter::Antialiasing);
  if (!picked_) return;
  const QPointF m = mapFromGlobal(QCursor::pos());
  p.setPen(QPen(QColor(230, 230, 230), 1));
  p.drawLine(QPointF(m.x(), 0), QPointF(m.x(), height()));
  p.drawLine(QPointF(0, m.y()), QPointF(width(), m.y()));
  if (base_) {
    p.setPen(QPen(QColor(255, 200, 80), 1, Qt::DashLine));
    p.drawLine(toScreen((*base_)[0], (*base_)[1]), snap_ ? view_.toScreen(snap_->at) : m);
  }
  paintSnapMarker(p);
}

// The markers CAD users know: a square at an end, a triangle at a middle, a circle at a
// centre, a diamond at a quadrant, a cross at an intersection, a right angle for a
// perpendicular and an hourglass for the nearest point.
void DrawingView::paintSnapMarker(QPainter& p) const {
  if (!snap_) return;
  const QPointF c = view_.toScreen(snap_->at);
  const double r = kMarker;
  p.setPen(QPen(kMarkerColour, 2));
  p.setBrush(Qt::NoBrush);
  switch (snap_->kind) {
    case SnapKind::Endpoint: p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r)); break;
    case SnapKind::Midpoint: {
      const QPointF t[] = {{c.x(), c.y() - r}, {c.x() + r, c.y() + r}, {c.x() - r, c.y() + r}};
      p.drawPolygon(t, 3);
      break;
    }
    case SnapKind::Center: p.drawEllipse(c, r, r); break;
    case SnapKind::Quadrant: {
      const QPointF d[] = {{c.x(), c.y() - r}, {c.x() + r, c.y()}, {c.x(), c.y() + r}, {c.x() - r, c.y()}};
      p.drawPolygon(d, 4);
      break;
    }
    case SnapKind::Intersection:
      p.drawLine(QPointF(c.x() - r, c.y() - r), QPointF(c.x() + r, c.y() + r));
      p.drawLine(QPointF(c.x() - r, c.y() + r), QPointF(c.x() + r, c.y() - r));
      break;
    case SnapKind::Perpendicular: {
      const QPointF l[] = {{c.x() - r, c.y() - r}, {c.x() - r, c.y() + r}, {c.x() + r, c.y() + r}};
      p.drawPolyline(l, 3);
      p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x(), c.y()));
      p.drawLine(QPointF(c.x(), c.y()), QPointF(c.x(), c.y() + r));
      break;
    }
    case SnapKind::Nearest: {
      const QPointF h[] = {{c.x() - r, c.y() - r}, {c.x() + r, c.y() - r}, {c.x() - r, c.y() + r}, {c.x() + r, c.y() + r}};
      p.drawPolygon(h, 4);
      break;
    }
  }
}

void DrawingView::mousePressEvent(QMouseEvent* e) {
  lastMouse_ = e->position();
  if (e->button() == Qt::MiddleButton) panning_ = true;
  else if (e->button() == Qt::LeftButton && picked_) {
    updateSnap(e->position());
    const Point at = snap_ ? Point{snap_->at[0], snap_->at[1], 0} : toDrawing(e->position());
    auto done = std::move(picked_);
    picked_ = nullptr;
    snap_.reset();
    unsetCursor();
    update();
    done(at);
  }
}

void DrawingView::mouseMoveEvent(QMouseEvent* e) {
  if (panning_) {
    view_.offset += e->position() - lastMouse_;
    lastMouse_ = e->position();
  }
  updateSnap(e->position());
  update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) panning_ = false;
}

void DrawingView::wheelEvent(QWheelEvent* e) {
  const QPointF at = e->position();
  const P2 before = view_.toDrawing(at);
  view_.scale *= e->angleDelta().y() > 0 ? 1.2 : 1 / 1.2;
  view_.offset = QPointF(at.x() - before[0] * view_.scale, at.y() + before[1] * view_.scale);
  updateSnap(at);
  update();
}

void DrawingView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && picked_) cancelPicking();
  else if (e->key() == Qt::Key_F3) toggleSnap();
  else QWidget::keyPressEvent(e);
}

void DrawingView::toggleSnap() {
  snapOn_ = !snapOn_;
  updateSnap(mapFromGlobal(QCursor::pos()));
  update();
  emit snapToggled(snapOn_);
}

}  // namespace kelvo::host
