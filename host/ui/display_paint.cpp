#include "host/ui/display_paint.h"

#include "platform/codepage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace kelvo::host {

namespace {

// Below this many pixels a text is shown as the line it would fill, as CAD programs do: the
// glyphs could not be read, and drawing them is most of a dense drawing's repaint.
constexpr double kSmallestText = 3;
constexpr double kMargin = 0.05;  // of the extents, on each side

QColor colourOf(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u)); }

class ShapePainter {
 public:
  ShapePainter(QPainter& p, const std::string& family, const ViewMapping& v, const QRectF& area)
      : p_(p), v_(v), area_(area.adjusted(-2, -2, 2, 2)), font_(QString::fromStdString(family)) {
    font_.setPixelSize(100);
    cap_ = QFontMetricsF(font_).capHeight();
    if (!(cap_ > 0)) cap_ = 70;
  }

  void paint(const Shape& s) {
    const QColor c = colourOf(s.rgb);
    switch (s.type) {
      case Shape::Type::Path: return path(s, c);
      case Shape::Type::Fill: return fill(s, c);
      case Shape::Type::Dot: {
        const QPointF at = v_.toScreen(s.points[0]);
        if (area_.contains(at)) p_.setPen(QPen(c, 1.5, Qt::SolidLine, Qt::RoundCap)), p_.drawPoint(at);
        return;
      }
      case Shape::Type::Text: return text(s, c);
      case Shape::Type::Ray: return ray(s, c);
    }
  }

 private:
  QPainter& p_;
  const ViewMapping& v_;
  QRectF area_;
  QFont font_;
  double cap_ = 70;
  std::vector<QPointF> pts_;

  // The shape's points on the screen; false when none of it reaches into the area.
  bool place(const Shape& s) {
    pts_.clear();
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const P2& q : s.points) {
      const QPointF a = v_.toScreen(q);
      x0 = std::min(x0, a.x()), x1 = std::max(x1, a.x()), y0 = std::min(y0, a.y()), y1 = std::max(y1, a.y());
      pts_.push_back(a);
    }
    return x1 >= area_.left() && x0 <= area_.right() && y1 >= area_.top() && y0 <= area_.bottom();
  }

  void path(const Shape& s, const QColor& c) {
    if (!place(s)) return;
    p_.setPen(QPen(c, 1.2));
    p_.setBrush(Qt::NoBrush);
    p_.drawPolyline(pts_.data(), static_cast<int>(pts_.size()));
  }

  void fill(const Shape& s, const QColor& c) {
    if (!place(s)) return;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    std::size_t at = 0;
    for (const std::uint32_t n : s.rings) {
      QPolygonF ring(static_cast<qsizetype>(n));
      for (std::uint32_t k = 0; k < n && at + k < pts_.size(); ++k) ring[k] = pts_[at + k];
      path.addPolygon(ring);
      path.closeSubpath();
      at += n;
    }
    // A thin outline as well: a fill narrower than a pixel would vanish.
    p_.setPen(QPen(c, 1));
    p_.setBrush(c);
    p_.drawPath(path);
  }

  void text(const Shape& s, const QColor& c) {
    const double h = s.height * v_.scale;
    const QPointF at = v_.toScreen(s.points[0]);
    const std::u16string u = cp1251::toUtf16Unescaped(s.text);
    const QString str = QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
    const double k = h / cap_;
    const double w = QFontMetricsF(font_).horizontalAdvance(str) * k * s.widthFactor;
    const double reach = std::max(w, h) + 2;
    if (at.x() + reach < area_.left() || at.x() - reach > area_.right() || at.y() + reach < area_.top() || at.y() - reach > area_.bottom())
      return;
    p_.save();
    p_.translate(at);
    p_.rotate(-s.angle * 180 / std::numbers::pi);
    if (h < kSmallestText) {
      p_.setPen(QPen(c, std::max(h * 0.6, 0.8)));
      p_.drawLine(QPointF(0, -h / 2), QPointF(w, -h / 2));
    } else {
      p_.scale(k * s.widthFactor, k);
      if (s.oblique != 0) p_.shear(-std::tan(s.oblique), 0);
      p_.setPen(c);
      p_.setFont(font_);
      p_.drawText(QPointF(0, 0), str);
    }
    p_.restore();
  }

  // Clipped to the area: a construction line is endless, and so are its pixel coordinates.
  void ray(const Shape& s, const QColor& c) {
    const QPointF b = v_.toScreen(s.points[0]);
    const QPointF d(s.points[1][0], -s.points[1][1]);
    double t0 = s.closed ? -1e300 : 0, t1 = 1e300;
    const double lo[] = {area_.left(), area_.top()}, hi[] = {area_.right(), area_.bottom()};
    const double o[] = {b.x(), b.y()}, dir[] = {d.x(), d.y()};
    for (int k = 0; k < 2; ++k) {
      if (dir[k] == 0) {
        if (o[k] < lo[k] || o[k] > hi[k]) return;
        continue;
      }
      double a = (lo[k] - o[k]) / dir[k], z = (hi[k] - o[k]) / dir[k];
      if (a > z) std::swap(a, z);
      t0 = std::max(t0, a), t1 = std::min(t1, z);
    }
    if (t0 > t1) return;
    p_.setPen(QPen(c, 1.2));
    p_.drawLine(b + d * t0, b + d * t1);
  }
};

}  // namespace

ViewMapping ViewMapping::fit(const std::array<double, 4>& w, QSizeF size) {
  const double dx = std::max(w[2] - w[0], 1e-9), dy = std::max(w[3] - w[1], 1e-9);
  ViewMapping v;
  v.scale = std::min(size.width() / dx, size.height() / dy);
  v.offset = QPointF(size.width() / 2 - (w[0] + dx / 2) * v.scale, size.height() / 2 + (w[1] + dy / 2) * v.scale);
  return v;
}

void paintDisplay(QPainter& p, const Display& d, const std::string& fontFamily, const ViewMapping& view, const QRectF& area) {
  ShapePainter painter(p, fontFamily, view, area);
  for (const Shape& s : d.shapes) painter.paint(s);
}

std::array<double, 4> extentsWindow(const Display& d) {
  if (d.empty()) return {0, 0, 200, 150};
  const double mx = std::max(d.max[0] - d.min[0], 1.0) * kMargin, my = std::max(d.max[1] - d.min[1], 1.0) * kMargin;
  return {d.min[0] - mx, d.min[1] - my, d.max[0] + mx, d.max[1] + my};
}

QImage renderDisplay(const Display& d, const std::string& fontFamily, QSize size, const std::optional<std::array<double, 4>>& window) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(kGround);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  paintDisplay(p, d, fontFamily, ViewMapping::fit(window.value_or(extentsWindow(d)), QSizeF(size)), QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

}  // namespace kelvo::host
