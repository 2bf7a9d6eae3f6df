// Painting a drawing's display: shared by the viewer and the image `--render` writes, so the
// two never differ.
#pragma once

#include "host/model/display.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

#include <array>
#include <optional>

class QPainter;

namespace kelvo::host {

inline const QColor kGround(33, 40, 48);

// Drawing coordinates to pixels: x right, y up.
struct ViewMapping {
  double scale = 4;  // pixels per drawing unit
  QPointF offset{40, 400};
  QPointF toScreen(P2 p) const { return {offset.x() + p[0] * scale, offset.y() - p[1] * scale}; }
  P2 toDrawing(QPointF s) const { return {(s.x() - offset.x()) / scale, (offset.y() - s.y()) / scale}; }
  // The window x0..x1, y0..y1 as large as fits in `size`, centred.
  static ViewMapping fit(const std::array<double, 4>& window, QSizeF size);
};

// Paints the shapes that reach into `area` (pixels).
void paintPicture(QPainter& p, const Picture& d, const std::string& fontFamily, const ViewMapping& view, const QRectF& area);

// The window `--render` and Zoom Extents show: the extents with a margin, or a sheet of
// 200 x 150 for an empty drawing.
std::array<double, 4> extentsWindow(const Picture& d);

// The model space as the viewer shows it, in an image of `size` pixels: the window of drawing
// coordinates given, or the extents.
QImage renderPicture(const Picture& d, const std::string& fontFamily, QSize size, const std::optional<std::array<double, 4>>& window);
// The same through a view's mapping, on a screen of `ratio` pixels a point.
QImage renderPicture(const Picture& d, const std::string& fontFamily, QSize pixels, const ViewMapping& view, qreal ratio);

}  // namespace kelvo::host
