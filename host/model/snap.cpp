#include "host/model/snap.h"

#include <algorithm>
#include <cmath>

namespace kelvo::host {

namespace {

// Pairs of segments tried for intersections: the aperture holds few unless the drawing is
// dense there, where the first ones found are as good as any.
constexpr std::size_t kMaxNearSegments = 256;

struct Segment {
  P2 a, b;
};

double distance(P2 p, P2 q) { return std::hypot(p[0] - q[0], p[1] - q[1]); }

// The point of `s` nearest to `p`, and where along it (0..1).
P2 closest(const Segment& s, P2 p, double* along = nullptr) {
  const double dx = s.b[0] - s.a[0], dy = s.b[1] - s.a[1], len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((p[0] - s.a[0]) * dx + (p[1] - s.a[1]) * dy) / len2, 0.0, 1.0) : 0.0;
  if (along) *along = len2 > 0 ? ((p[0] - s.a[0]) * dx + (p[1] - s.a[1]) * dy) / len2 : 0.0;
  if (t == 1) return s.b;
  if (t == 0) return s.a;
  return {s.a[0] + t * dx, s.a[1] + t * dy};
}

std::optional<P2> intersection(const Segment& s, const Segment& t) {
  const double rx = s.b[0] - s.a[0], ry = s.b[1] - s.a[1], qx = t.b[0] - t.a[0], qy = t.b[1] - t.a[1];
  const double den = rx * qy - ry * qx;
  if (std::abs(den) < 1e-12 * (std::abs(rx * qy) + std::abs(ry * qx) + 1e-300)) return std::nullopt;
  const double u = ((t.a[0] - s.a[0]) * qy - (t.a[1] - s.a[1]) * qx) / den;
  const double v = ((t.a[0] - s.a[0]) * ry - (t.a[1] - s.a[1]) * rx) / den;
  if (u < -1e-12 || u > 1 + 1e-12 || v < -1e-12 || v > 1 + 1e-12) return std::nullopt;
  return P2{s.a[0] + u * rx, s.a[1] + u * ry};
}

std::vector<Segment> segmentsNear(const Picture& d, P2 c, double r) {
  std::vector<Segment> near;
  auto take = [&](const P2& a, const P2& b) {
    if (near.size() == kMaxNearSegments) return;
    if (std::min(a[0], b[0]) > c[0] + r || std::max(a[0], b[0]) < c[0] - r || std::min(a[1], b[1]) > c[1] + r ||
        std::max(a[1], b[1]) < c[1] - r)
      return;
    if (distance(closest({a, b}, c), c) <= r) near.push_back({a, b});
  };
  auto polyline = [&](const std::vector<P2>& pts, std::size_t from, std::size_t n, bool closed) {
    for (std::size_t i = 1; i < n; ++i) take(pts[from + i - 1], pts[from + i]);
    if (closed && n > 2) take(pts[from + n - 1], pts[from]);
  };
  for (const Shape& s : d.shapes) {
    if (s.lo[0] > c[0] + r || s.hi[0] < c[0] - r || s.lo[1] > c[1] + r || s.hi[1] < c[1] - r) continue;
    if (s.type == Shape::Type::Path) polyline(s.points, 0, s.points.size(), false);
    if (s.type != Shape::Type::Fill) continue;
    std::size_t at = 0;
    for (const std::uint32_t n : s.rings) {
      if (at + n > s.points.size()) break;
      polyline(s.points, at, n, true);
      at += n;
    }
  }
  for (const auto& edge : d.edges) polyline(edge, 0, edge.size(), false);
  return near;
}

}  // namespace

std::optional<Snapped> snapPoint(const Picture& d, P2 cursor, double aperture, const std::optional<P2>& base) {
  std::optional<Snapped> best;
  double bestDistance = aperture;
  // Points a hair apart are one point: the kind that names it better (an end before the
  // crossing of the two segments that meet there) is kept.
  auto offer = [&](P2 p, SnapKind kind) {
    const double dist = distance(p, cursor);
    if (dist > aperture) return;
    const bool same = best && std::abs(dist - bestDistance) <= 1e-9 * aperture;
    if (!best || (same ? kind < best->kind : dist < bestDistance)) best = Snapped{p, kind}, bestDistance = dist;
  };
  for (const Picture::Feature& f : d.features) offer(f.at, f.kind);
  const std::vector<Segment> near = segmentsNear(d, cursor, aperture);
  for (std::size_t i = 0; i < near.size(); ++i)
    for (std::size_t j = i + 1; j < near.size(); ++j)
      if (near[i].b != near[j].a && near[i].a != near[j].b)  // joined segments: their end snaps
        if (const auto p = intersection(near[i], near[j])) offer(*p, SnapKind::Intersection);
  if (base)
    for (const Segment& s : near) {
      double along = 0;
      closest(s, *base, &along);
      if (along >= 0 && along <= 1)
        offer({s.a[0] + along * (s.b[0] - s.a[0]), s.a[1] + along * (s.b[1] - s.a[1])}, SnapKind::Perpendicular);
    }
  if (best) return best;
  for (const Segment& s : near) offer(closest(s, cursor), SnapKind::Nearest);
  return best;
}

}  // namespace kelvo::host
