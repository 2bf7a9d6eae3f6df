#include "host/ui/display_paint.h"

#include "platform/codepage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <map>
#include <numbers>
#include <optional>

namespace kelvo::host {

namespace {

// Below this many pixels a text is shown as the line it would fill, as CAD programs do: the
// glyphs could not be read, and drawing them is most of a dense drawing's repaint.
constexpr double kSmallestText = 3;
constexpr double kMargin = 0.05;  // of the extents, on each side

QColor colourOf(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u)); }

// Pixels of a 32-bit image set directly.
class Pixels {
 public:
  explicit Pixels(QImage& image) : bits_(image.bits()), stride_(image.bytesPerLine()), w_(image.width()), h_(image.height()) {}
  void set(double x, double y, std::uint32_t rgb) {
    if (!(x >= 0 && y >= 0 && x < static_cast<double>(w_) && y < static_cast<double>(h_))) return;
    const auto ix = static_cast<long>(x), iy = static_cast<long>(y);
    reinterpret_cast<QRgb*>(bits_ + iy * stride_)[ix] = rgb | 0xFF000000u;
  }
  void line(QPointF a, QPointF b, std::uint32_t rgb) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y(), longest = std::max(std::abs(dx), std::abs(dy));
    if (!(longest < 1e5)) return;  // only short lines come here; anything else is no number
    const int steps = static_cast<int>(std::ceil(longest));
    for (int i = 0; i <= steps; ++i) {
      const double t = steps ? static_cast<double>(i) / steps : 0;
      set(a.x() + dx * t, a.y() + dy * t, rgb);
    }
  }

 private:
  uchar* bits_;
  qsizetype stride_;
  long w_, h_;
};

class ShapePainter {
 public:
  ShapePainter(QPainter& p, const std::string& family, const ViewMapping& v, const QRectF& area)
      : p_(p), v_(v), area_(area.adjusted(-2, -2, 2, 2)), font_(QString::fromStdString(family)) {
    font_.setPixelSize(100);
    cap_ = QFontMetricsF(font_).capHeight();
    if (!(cap_ > 0)) cap_ = 70;
  }

  void paint(const Shape& s) {
    if (s.type == Shape::Type::Ray) return ray(s, colourOf(s.rgb));
    const QPointF a = v_.toScreen(s.lo), b = v_.toScreen(s.hi);  // y grows downwards
    if (b.x() < area_.left() || a.x() > area_.right() || a.y() < area_.top() || b.y() > area_.bottom()) return;
    // Under a pixel: a pixel, drawn with all the others of its colour at the end.
    const double extent = std::max(b.x() - a.x(), a.y() - b.y());
    if (extent < kPixel) return dot(s.rgb, (a + b) / 2);
    const QColor c = colourOf(s.rgb);
    switch (s.type) {
      case Shape::Type::Path: return path(s, c, extent);
      case Shape::Type::Fill: return fill(s, c);
      case Shape::Type::Dot: return dot(s.rgb, a);
      case Shape::Type::Text: return text(s, c);
      case Shape::Type::Ray: return;
    }
  }

  // Small things without antialiasing, as CAD programs draw all their lines: at a few pixels
  // the difference does not show. Into an image they are set pixel by pixel, many times
  // faster than the painter draws that many short lines.
  void finish() {
    pen_.reset();
    p_.setRenderHint(QPainter::Antialiasing, false);
    QPaintDevice* device = p_.device();
    QImage* image = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    if (image && (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied) &&
        p_.transform().isIdentity()) {
      Pixels px(*image);
      for (const auto& [rgb, lines] : lines_)
        for (const QLineF& l : lines) px.line(l.p1(), l.p2(), rgb);
      for (const auto& [rgb, points] : dots_)
        for (const QPointF& at : points) px.set(at.x(), at.y(), rgb);
      p_.setRenderHint(QPainter::Antialiasing, true);
      return;
    }
    for (const auto& [rgb, lines] : lines_) {
      p_.setPen(QPen(colourOf(rgb), 0));
      p_.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
    for (const auto& [rgb, points] : dots_) {
      p_.setPen(QPen(colourOf(rgb), 1));
      p_.drawPoints(points.data(), static_cast<int>(points.size()));
    }
    p_.setRenderHint(QPainter::Antialiasing, true);
  }

 private:
  // A line no wider than this takes the painter's fast path for thin lines: a dense drawing
  // repaints many times faster than with a wider pen.
  static constexpr double kPen = 1;
  static constexpr double kPixel = 1.5;
  static constexpr double kBatched = 32;  // pixels: paths smaller than this are batched
  QPainter& p_;
  const ViewMapping& v_;
  QRectF area_;
  QFont font_;
  double cap_ = 70;
  std::vector<QPointF> pts_;
  std::map<std::uint32_t, std::vector<QPointF>> dots_;
  std::vector<QPointF>* dotsOf_ = nullptr;  // of the colour last asked for
  std::uint32_t dotsRgb_ = 0;
  // Small paths and texts too small to read, as lines drawn together in one call a colour: a
  // call of its own for each costs a dense drawing most of its repaint.
  std::map<std::uint32_t, std::vector<QLineF>> lines_;
  std::vector<QLineF>* linesOf_ = nullptr;
  std::uint32_t linesRgb_ = 0;
  std::optional<QPen> pen_;
  QColor brush_;

  std::vector<QLineF>& linesOf(std::uint32_t rgb) {
    if (!linesOf_ || rgb != linesRgb_) linesOf_ = &lines_[rgb], linesRgb_ = rgb;
    return *linesOf_;
  }

  void dot(std::uint32_t rgb, QPointF at) {
    if (!dotsOf_ || rgb != dotsRgb_) dotsOf_ = &dots_[rgb], dotsRgb_ = rgb;
    dotsOf_->push_back(at);
  }

  // The points on the screen; of a path `extent` pixels across no more than it can show (a
  // curve of a hundred points a few pixels long needs a handful), its ends always.
  void place(const Shape& s, double extent = 1e300) {
    pts_.clear();
    const std::size_t n = s.points.size();
    const std::size_t step = std::max<std::size_t>(1, n / static_cast<std::size_t>(std::min(extent * 2 + 2, 1e9)));
    for (std::size_t i = 0; i < n; i += step) pts_.push_back(v_.toScreen(s.points[i]));
    if ((n - 1) % step != 0) pts_.push_back(v_.toScreen(s.points.back()));
  }

  // Changing the pen costs the painter more than a short line: only when it changes.
  void pen(const QColor& c, double width) {
    if (pen_ && pen_->color() == c && pen_->widthF() == width) return;
    pen_ = QPen(c, width);
    p_.setPen(*pen_);
  }
  void brush(const QColor* c) {
    if (c ? brush_ == *c : !brush_.isValid()) return;
    brush_ = c ? *c : QColor();
    if (c) p_.setBrush(*c);
    else p_.setBrush(Qt::NoBrush);
  }

  void path(const Shape& s, const QColor& c, double extent) {
    place(s, extent);
    if (extent < kBatched) {
      std::vector<QLineF>& lines = linesOf(s.rgb);
      for (std::size_t i = 1; i < pts_.size(); ++i) lines.emplace_back(pts_[i - 1], pts_[i]);
      return;
    }
    pen(c, kPen);
    brush(nullptr);
    p_.drawPolyline(pts_.data(), static_cast<int>(pts_.size()));
  }

  void fill(const Shape& s, const QColor& c) {
    place(s);
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
    pen(c, kPen);
    brush(&c);
    p_.drawPath(path);
  }

  void text(const Shape& s, const QColor& c) {
    const double h = s.height * v_.scale;
    const QPointF at = v_.toScreen(s.points[0]);
    if (h < kSmallestText) {
      const double cs = s.angle == 0 ? 1 : std::cos(s.angle), sn = s.angle == 0 ? 0 : std::sin(s.angle), w = s.width * v_.scale;
      const QPointF mid = at + QPointF(-sn, -cs) * (h / 2);
      linesOf(s.rgb).emplace_back(mid, mid + QPointF(cs, -sn) * w);
      return;
    }
    const std::u16string u = cp1251::toUtf16Unescaped(s.text);
    const double k = h / cap_;
    p_.save();
    p_.translate(at);
    p_.rotate(-s.angle * 180 / std::numbers::pi);
    p_.scale(k * s.widthFactor, s.upsideDown ? -k : k);
    if (s.oblique != 0) p_.shear(-std::tan(s.oblique), 0);
    p_.setPen(c);
    p_.setFont(font_);
    p_.drawText(QPointF(0, 0), QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size())));
    p_.restore();
    pen_.reset();
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
    pen(c, kPen);
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

void paintPicture(QPainter& p, const Picture& d, const std::string& fontFamily, const ViewMapping& view, const QRectF& area) {
  ShapePainter painter(p, fontFamily, view, area);
  for (const Shape& s : d.shapes) painter.paint(s);
  painter.finish();
}

std::array<double, 4> extentsWindow(const Picture& d) {
  if (d.empty()) return {0, 0, 200, 150};
  const double mx = std::max(d.max[0] - d.min[0], 1.0) * kMargin, my = std::max(d.max[1] - d.min[1], 1.0) * kMargin;
  return {d.min[0] - mx, d.min[1] - my, d.max[0] + mx, d.max[1] + my};
}

QImage renderPicture(const Picture& d, const std::string& fontFamily, QSize size, const std::optional<std::array<double, 4>>& window) {
  return renderPicture(d, fontFamily, size, ViewMapping::fit(window.value_or(extentsWindow(d)), QSizeF(size)), 1);
}

QImage renderPicture(const Picture& d, const std::string& fontFamily, QSize pixels, const ViewMapping& view, qreal ratio) {
  QImage image(pixels, QImage::Format_RGB32);
  image.fill(kGround);
  // In pixels of the image: the mapping scaled, so that small things are set pixel by pixel.
  ViewMapping inPixels = view;
  inPixels.scale *= ratio;
  inPixels.offset *= ratio;
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  paintPicture(p, d, fontFamily, inPixels, QRectF(QPointF(0, 0), QSizeF(pixels)));
  p.end();
  image.setDevicePixelRatio(ratio);
  return image;
}

}  // namespace kelvo::host
