#include "host/model/hit_test.h"

#include "host/model/text_metrics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvo::host {

namespace {

constexpr double kFar = std::numeric_limits<double>::infinity();
constexpr int kMaxNesting = 8;  // blocks referencing blocks; a cycle ends here

double segment(const Point& p, const Point& a, const Point& b) {
  const double dx = b[0] - a[0], dy = b[1] - a[1], len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p[0] - (a[0] + t * dx), p[1] - (a[1] + t * dy));
}

double path(const Point& p, const std::vector<Point>& pts, bool closed) {
  double d = pts.size() == 1 ? std::hypot(p[0] - pts[0][0], p[1] - pts[0][1]) : kFar;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) d = std::min(d, segment(p, pts[i], pts[i + 1]));
  if (closed && pts.size() > 2) d = std::min(d, segment(p, pts.back(), pts.front()));
  return d;
}

double distance(const Document& doc, const Entity& e, const Point& p, int depth);

// The point in the block's own coordinates: the reference's move, rotation and scale undone.
double insertDistance(const Document& doc, const Entity& e, const Point& p, int depth) {
  const Block* b = depth < kMaxNesting && !e.points.empty() ? doc.findBlock(e.text) : nullptr;
  if (!b || e.scale[0] == 0 || e.scale[1] == 0) return kFar;
  const double c = std::cos(-e.rotation), s = std::sin(-e.rotation);
  const double dx = p[0] - e.points[0][0], dy = p[1] - e.points[0][1];
  const Point local{(dx * c - dy * s) / e.scale[0] + b->base[0], (dx * s + dy * c) / e.scale[1] + b->base[1], 0};
  double d = kFar;
  for (const Entity& inner : b->entities)
    if (!inner.deleted) d = std::min(d, distance(doc, inner, local, depth + 1));
  return d * std::min(std::abs(e.scale[0]), std::abs(e.scale[1]));
}

double distance(const Document& doc, const Entity& e, const Point& p, int depth) {
  if (e.points.empty()) return kFar;
  switch (e.kind) {
    case Kind::Line:
    case Kind::Polyline:
    case Kind::Leader: return path(p, e.points, false);
    case Kind::Solid: return path(p, e.points, true);
    case Kind::Circle:
    case Kind::Arc: return std::abs(std::hypot(p[0] - e.points[0][0], p[1] - e.points[0][1]) - e.radius);
    case Kind::Text: {
      const Box b = textBox(doc.font, e);
      const double dx = std::max({b.min[0] - p[0], 0.0, p[0] - b.max[0]});
      const double dy = std::max({b.min[1] - p[1], 0.0, p[1] - b.max[1]});
      return std::hypot(dx, dy);
    }
    case Kind::Insert: return insertDistance(doc, e, p, depth);
    case Kind::Other: return kFar;
  }
  return kFar;
}

}  // namespace

std::optional<std::size_t> entityAt(const Document& doc, const Block& space, const Point& p, double tolerance) {
  std::optional<std::size_t> best;
  double bestDistance = tolerance;
  for (std::size_t i = 0; i < space.entities.size(); ++i) {
    const Entity& e = space.entities[i];
    if (e.deleted) continue;
    const double d = distance(doc, e, p, 0);
    if (d <= bestDistance) best = i, bestDistance = d;
  }
  return best;
}

double pickTolerance(const Document& doc) {
  return 0.5 * doc.number("DIMTXT").value_or(2.5) * std::max(doc.number("DIMSCALE").value_or(1.0), 1e-9);
}

}  // namespace kelvo::host
