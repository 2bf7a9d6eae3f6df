#include "host/ui/drawing_view.h"

#include "host/model/text_metrics.h"
#include "platform/codepage.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>
#include <numbers>

namespace kelvo::host {

QColor aciColour(int i) {
  static const QColor base[] = {Qt::white, QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0), QColor(0, 255, 255),
                                QColor(0, 0, 255), QColor(255, 0, 255), Qt::white, QColor(128, 128, 128), QColor(192, 192, 192)};
  if (i >= 0 && i <= 9) return base[i];
  if (i >= 250) return QColor::fromHsv(0, 0, 51 + (i - 250) * 40);
  // 10..249: hue in steps of 15 degrees, then lightness and saturation by the last digit.
  const int hue = ((i - 10) / 10) * 15;
  const int shade = (i % 10) / 2;
  const int value = 255 - shade * 45;
  return QColor::fromHsv(hue % 360, i % 2 ? 128 : 255, value);
}

namespace {

struct Transform {
  double dx = 0, dy = 0, sx = 1, sy = 1, rot = 0, bx = 0, by = 0;
  QPointF apply(double x, double y) const {
    const double px = (x - bx) * sx, py = (y - by) * sy, c = std::cos(rot), s = std::sin(rot);
    return {dx + px * c - py * s, dy + px * s + py * c};
  }
};

}  // namespace

DrawingView::DrawingView(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(33, 40, 48));
  setPalette(p);
  setMinimumSize(320, 240);
}

void DrawingView::setPaperSpace(bool paper) {
  paper_ = paper;
  update();
}

QPointF DrawingView::toScreen(double x, double y) const { return {offset_.x() + x * scale_, offset_.y() - y * scale_}; }

Point DrawingView::toDrawing(QPointF s) const {
  return {(s.x() - offset_.x()) / scale_, (offset_.y() - s.y()) / scale_, 0};
}

void DrawingView::zoomExtents() {
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const Entity& e : doc_.blocks[paper_ ? 1 : 0].entities)
    for (const Point& p : e.points) {
      if (e.deleted) continue;
      minX = std::min(minX, p[0] - e.radius), maxX = std::max(maxX, p[0] + e.radius + textWidth(doc_.font, e.text, e.height));
      minY = std::min(minY, p[1] - e.radius), maxY = std::max(maxY, p[1] + e.radius + e.height);
    }
  if (minX > maxX) minX = 0, minY = 0, maxX = 200, maxY = 150;
  const double w = std::max(maxX - minX, 1.0), h = std::max(maxY - minY, 1.0);
  scale_ = 0.9 * std::min(width() / w, height() / h);
  offset_ = QPointF(width() / 2.0 - (minX + w / 2) * scale_, height() / 2.0 + (minY + h / 2) * scale_);
  update();
}

void DrawingView::startPicking(std::optional<Point> base, std::function<void(std::optional<Point>)> picked) {
  base_ = base;
  picked_ = std::move(picked);
  setCursor(Qt::BlankCursor);
  setFocus();
  update();
}

void DrawingView::cancelPicking() {
  if (!picked_) return;
  auto done = std::move(picked_);
  picked_ = nullptr;
  unsetCursor();
  update();
  done(std::nullopt);
}

namespace {

// Draws one entity (and what it references) through the view's mapping.
struct Painter {
  QPainter& p;
  const Document& doc;
  std::function<QPointF(double, double)> toScreen;
  double scale;

  void draw(const Entity& e, const Transform& t, const QColor& colour, int depth) {
    if (e.deleted || depth > 8) return;
    auto at = [&](const Point& q) {
      const QPointF d = t.apply(q[0], q[1]);
      return toScreen(d.x(), d.y());
    };
    p.setPen(QPen(colour, 1.2));
    p.setBrush(Qt::NoBrush);
    const double s = scale * std::abs(t.sx);
    switch (e.kind) {
      case Kind::Line:
      case Kind::Polyline:
        for (std::size_t i = 1; i < e.points.size(); ++i) p.drawLine(at(e.points[i - 1]), at(e.points[i]));
        break;
      case Kind::Circle:
        if (!e.points.empty()) p.drawEllipse(at(e.points[0]), e.radius * s, e.radius * s);
        break;
      case Kind::Arc:
        if (!e.points.empty()) arc(e, at(e.points[0]), s, t);
        break;
      case Kind::Solid:
        if (e.points.size() >= 4) {
          const QPointF poly[] = {at(e.points[0]), at(e.points[1]), at(e.points[3]), at(e.points[2])};
          p.setBrush(colour);
          p.drawPolygon(poly, 4);
        }
        break;
      case Kind::Text:
        if (!e.points.empty()) text(e, at(e.points[0]), s, t);
        break;
      case Kind::Insert: insert(e, t, colour, depth); break;
      case Kind::Leader: leader(e, t, colour, depth, at); break;
      case Kind::Other: break;
    }
  }

  void arc(const Entity& e, QPointF c, double s, const Transform& t) {
    double span = e.endAngle - e.startAngle;
    while (span <= 0) span += 2 * std::numbers::pi;
    const QRectF r(c.x() - e.radius * s, c.y() - e.radius * s, 2 * e.radius * s, 2 * e.radius * s);
    p.drawArc(r, static_cast<int>((e.startAngle + t.rot) * 180 / std::numbers::pi * 16),
              static_cast<int>(span * 180 / std::numbers::pi * 16));
  }

  void text(const Entity& e, QPointF at, double s, const Transform& t) {
    QFont f(QString::fromStdString(doc.font.family()));
    f.setPixelSize(100);
    const double cap = QFontMetricsF(f).capHeight();
    p.save();
    p.translate(at);
    p.rotate(-(e.rotation + t.rot) * 180 / std::numbers::pi);
    const double k = e.height * s / cap;
    p.scale(k, k);
    p.setFont(f);
    const std::u16string u = cp1251::toUtf16Unescaped(displayText(e.text));
    p.drawText(QPointF(0, 0), QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size())));
    p.restore();
  }

  void insert(const Entity& e, const Transform& t, const QColor& colour, int depth) {
    const Block* b = doc.findBlock(e.text);
    if (!b || e.points.empty()) return;
    const QPointF o = t.apply(e.points[0][0], e.points[0][1]);
    const Transform inner{o.x(), o.y(), e.scale[0] * t.sx, e.scale[1] * t.sy, e.rotation + t.rot, b->base[0], b->base[1]};
    for (const Entity& c : b->entities) draw(c, inner, colour, depth + 1);
  }

  // The line, and the arrowhead block at the first vertex, pointing along the leader and
  // scaled by the arrowhead size.
  template <typename At>
  void leader(const Entity& e, const Transform& t, const QColor& colour, int depth, At at) {
    for (std::size_t i = 1; i < e.points.size(); ++i) p.drawLine(at(e.points[i - 1]), at(e.points[i]));
    const Block* arrow = doc.findBlock(e.arrowBlock);
    if (!arrow || e.points.size() < 2) return;
    const Point& tip = e.points[0];
    const Point& next = e.points[1];
    const double angle = std::atan2(tip[1] - next[1], tip[0] - next[0]);
    const double size = e.arrowSize > 0 ? e.arrowSize : doc.number("DIMASZ").value_or(2.5);
    const QPointF o = t.apply(tip[0], tip[1]);
    const Transform inner{o.x(), o.y(), size, size, angle + t.rot, arrow->base[0], arrow->base[1]};
    for (const Entity& c : arrow->entities) draw(c, inner, colour, depth + 1);
  }
};

}  // namespace

void DrawingView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  Painter painter{p, doc_, [this](double x, double y) { return toScreen(x, y); }, scale_};
  for (const Entity& e : doc_.blocks[paper_ ? 1 : 0].entities) {
    const Layer* l = doc_.findLayer(e.layer);
    painter.draw(e, Transform{}, aciColour(l ? std::abs(l->color) : 7), 0);
  }
  if (!picked_) return;
  const QPointF m = mapFromGlobal(QCursor::pos());
  p.setPen(QPen(QColor(230, 230, 230), 1));
  p.drawLine(QPointF(m.x(), 0), QPointF(m.x(), height()));
  p.drawLine(QPointF(0, m.y()), QPointF(width(), m.y()));
  if (base_) {
    p.setPen(QPen(QColor(255, 200, 80), 1, Qt::DashLine));
    p.drawLine(toScreen((*base_)[0], (*base_)[1]), m);
  }
}

void DrawingView::mousePressEvent(QMouseEvent* e) {
  lastMouse_ = e->position();
  if (e->button() == Qt::MiddleButton) panning_ = true;
  else if (e->button() == Qt::LeftButton && picked_) {
    auto done = std::move(picked_);
    picked_ = nullptr;
    unsetCursor();
    update();
    done(toDrawing(e->position()));
  }
}

void DrawingView::mouseMoveEvent(QMouseEvent* e) {
  if (panning_) {
    offset_ += e->position() - lastMouse_;
    lastMouse_ = e->position();
  }
  update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) panning_ = false;
}

void DrawingView::wheelEvent(QWheelEvent* e) {
  const QPointF at = e->position();
  const Point before = toDrawing(at);
  scale_ *= e->angleDelta().y() > 0 ? 1.2 : 1 / 1.2;
  offset_ = QPointF(at.x() - before[0] * scale_, at.y() + before[1] * scale_);
  update();
}

void DrawingView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && picked_) cancelPicking();
  else QWidget::keyPressEvent(e);
}

}  // namespace kelvo::host
