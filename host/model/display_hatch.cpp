// Hatches: the boundary paths (polylines, or edges of lines, arcs, elliptic arcs and splines),
// filled even-odd for a solid hatch, or cut by the pattern's own lines as the entity carries
// them (already scaled and turned).
#include "host/model/display_build.h"

#include <algorithm>
#include <numbers>

namespace kelvo::host::display {

namespace {

constexpr double kRadians = std::numbers::pi / 180;
// Beyond this a pattern is too fine to see; CAD programs too leave it out.
constexpr std::size_t kMaxPatternLines = 10000;
constexpr double kMaxDashesPerLine = 5000;

class Cursor {
 public:
  explicit Cursor(const Fields& f) : f_(f), i_(1) {}
  bool done() const { return i_ >= f_.size(); }
  int code() const { return done() ? -1 : f_.tags()[i_].code; }
  // The value of the tag at the cursor if it has `c`, and past it; otherwise `otherwise`.
  double real(int c, double otherwise = 0) {
    if (code() != c) return otherwise;
    return parseReal(f_.tags()[i_++].value);
  }
  int integer(int c, int otherwise = 0) {
    if (code() != c) return otherwise;
    return toInt(f_.tags()[i_++].value);
  }
  P2 point(int c) {
    const double x = real(c);
    return {x, real(c + 10)};
  }
  void skip() { ++i_; }
  // Forward to the next tag with `c`; false at the end.
  bool seek(int c) {
    while (!done() && code() != c) ++i_;
    return !done();
  }

 private:
  const Fields& f_;
  std::size_t i_;
};

std::vector<P2> arcEdge(Cursor& c, bool elliptic) {
  const P2 centre = c.point(10);
  const P2 major = elliptic ? c.point(11) : P2{};
  const double r = elliptic ? 1 : c.real(40);
  const double ratio = elliptic ? c.real(40, 1) : 1;
  double from = c.real(50) * kRadians, to = c.real(51) * kRadians;
  const bool ccw = c.integer(73, 1) != 0;
  // Clockwise edges store their angles as 360 - angle, and the other way round.
  if (!ccw) std::tie(from, to) = std::pair{2 * std::numbers::pi - to, 2 * std::numbers::pi - from};
  std::vector<P2> pts;
  if (elliptic) {
    auto param = [&](double a) { return std::atan2(std::sin(a) / ratio, std::cos(a)); };
    double p0 = param(from), p1 = param(to);
    if (std::abs(to - from - 2 * std::numbers::pi) < 1e-9) p1 = p0 + 2 * std::numbers::pi;
    pts = ellipsePoints(centre, major, ratio, p0, p1);
  } else {
    double sweep = to - from;
    if (!(sweep > 0)) sweep = std::isfinite(sweep) ? std::fmod(sweep, 2 * std::numbers::pi) + 2 * std::numbers::pi : 0;
    pts = arcPoints(centre, r, from, std::min(sweep, 2 * std::numbers::pi));
  }
  if (!ccw) std::reverse(pts.begin(), pts.end());
  return pts;
}

std::vector<P2> splineEdge(Cursor& c) {
  const int degree = c.integer(94, 3);
  c.integer(73), c.integer(74);
  const int knotCount = c.integer(95), controlCount = c.integer(96);
  std::vector<double> knots, weights;
  std::vector<P2> control, fit;
  for (int k = 0; k < knotCount && c.code() == 40; ++k) knots.push_back(c.real(40));
  for (int k = 0; k < controlCount && c.code() == 10; ++k) {
    control.push_back(c.point(10));
    if (c.code() == 42) weights.push_back(c.real(42));
  }
  const int fitCount = c.integer(97);
  for (int k = 0; k < fitCount && c.code() == 11; ++k) fit.push_back(c.point(11));
  return splinePoints(degree, control, knots, weights, fit, false);
}

std::vector<P2> boundary(Cursor& c) {
  const int flags = c.integer(92);
  std::vector<P2> ring;
  if (flags & 2) {  // a polyline path
    const bool bulges = c.integer(72) != 0;
    c.integer(73);
    const int n = c.integer(93);
    std::vector<std::pair<P2, double>> v;
    for (int k = 0; k < n && c.code() == 10; ++k) {
      const P2 p = c.point(10);
      v.push_back({p, bulges ? c.real(42) : 0});
    }
    if (v.empty()) return ring;
    ring.push_back(v[0].first);
    for (std::size_t k = 0; k < v.size(); ++k) appendBulge(ring, v[k].first, v[(k + 1) % v.size()].first, v[k].second);
    ring.pop_back();
  } else {
    const int edges = c.integer(93);
    for (int k = 0; k < edges && c.code() == 72; ++k) {
      const int type = c.integer(72);
      std::vector<P2> pts;
      if (type == 1) pts = {c.point(10), c.point(11)};
      else if (type == 2 || type == 3) pts = arcEdge(c, type == 3);
      else if (type == 4) pts = splineEdge(c);
      else break;
      // Edges meet end to start: the shared point once.
      const bool joins = !ring.empty() && !pts.empty() && std::hypot(ring.back()[0] - pts[0][0], ring.back()[1] - pts[0][1]) < 1e-9;
      ring.insert(ring.end(), pts.begin() + (joins ? 1 : 0), pts.end());
    }
  }
  const int sources = c.integer(97);
  for (int k = 0; k < sources && c.code() == 330; ++k) c.skip();
  return ring;
}

// Where the line `origin` + t `u` is inside the rings (even-odd), as ranges of t.
std::vector<double> crossings(const std::vector<std::vector<P2>>& rings, P2 origin, P2 u) {
  const P2 n{-u[1], u[0]};
  std::vector<double> ts;
  for (const auto& ring : rings)
    for (std::size_t k = 0; k < ring.size(); ++k) {
      const P2& p = ring[k];
      const P2& q = ring[(k + 1) % ring.size()];
      const double sp = (p[0] - origin[0]) * n[0] + (p[1] - origin[1]) * n[1];
      const double sq = (q[0] - origin[0]) * n[0] + (q[1] - origin[1]) * n[1];
      if ((sp > 0) == (sq > 0)) continue;
      const double a = sp / (sp - sq);
      ts.push_back((p[0] + (q[0] - p[0]) * a - origin[0]) * u[0] + (p[1] + (q[1] - p[1]) * a - origin[1]) * u[1]);
    }
  std::sort(ts.begin(), ts.end());
  return ts;
}

void dashLine(Sink& s, P2 origin, P2 u, double t0, double t1, const std::vector<double>& dashes) {
  auto at = [&](double t) { return P2{origin[0] + u[0] * t, origin[1] + u[1] * t}; };
  double period = 0;
  for (double d : dashes) period += std::abs(d);
  if (dashes.empty() || !(period > 0) || (t1 - t0) / period > kMaxDashesPerLine) return s.path({at(t0), at(t1)}, false);
  // The pattern starts at the line's origin: step back to the repeat that holds t0. (Counted:
  // far from the origin, adding a short dash may not move t at all.)
  double t = std::floor(t0 / period) * period;
  const auto most = static_cast<std::size_t>(kMaxDashesPerLine + 2) * dashes.size();
  for (std::size_t k = 0, n = 0; t < t1 && n < most; k = (k + 1) % dashes.size(), ++n) {
    const double len = std::abs(dashes[k]);
    const double a = std::max(t, t0), b = std::min(t + len, t1);
    if (dashes[k] > 0 && b > a) s.path({at(a), at(b)}, false);
    else if (dashes[k] == 0 && t >= t0) s.dot(at(t));
    t += len;
  }
}

void pattern(Cursor& c, const std::vector<std::vector<P2>>& rings, Sink& s) {
  P2 lo{1e300, 1e300}, hi{-1e300, -1e300};
  for (const auto& ring : rings)
    for (const P2& p : ring)
      for (std::size_t k = 0; k < 2; ++k) lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
  const int lines = c.seek(78) ? c.integer(78) : 0;
  std::size_t drawn = 0;
  for (int l = 0; l < lines && c.code() == 53; ++l) {
    const double angle = c.real(53) * kRadians;
    const double bx = c.real(43);
    const P2 base{bx, c.real(44)}, offset{c.real(45), c.real(46)};
    std::vector<double> dashes;
    for (int k = c.integer(79); k > 0 && c.code() == 49; --k) dashes.push_back(c.real(49));
    const P2 u{std::cos(angle), std::sin(angle)}, n{-u[1], u[0]};
    const double step = offset[0] * n[0] + offset[1] * n[1];
    if (std::abs(step) < 1e-12 || rings.empty()) continue;
    const double b = base[0] * n[0] + base[1] * n[1];
    double dmin = 1e300, dmax = -1e300;
    for (const P2 corner : {lo, hi, P2{lo[0], hi[1]}, P2{hi[0], lo[1]}})
      dmin = std::min(dmin, corner[0] * n[0] + corner[1] * n[1]), dmax = std::max(dmax, corner[0] * n[0] + corner[1] * n[1]);
    const double k0 = std::ceil(std::min((dmin - b) / step, (dmax - b) / step));
    const double k1 = std::floor(std::max((dmin - b) / step, (dmax - b) / step));
    if (!(k1 - k0 + static_cast<double>(drawn) <= static_cast<double>(kMaxPatternLines))) return;
    const auto count = static_cast<std::size_t>(std::max(0.0, k1 - k0 + 1));
    for (std::size_t i = 0; i < count; ++i, ++drawn) {
      const double k = k0 + static_cast<double>(i);
      const P2 origin{base[0] + offset[0] * k, base[1] + offset[1] * k};
      const std::vector<double> ts = crossings(rings, origin, u);
      for (std::size_t j = 0; j + 1 < ts.size(); j += 2) dashLine(s, origin, u, ts[j], ts[j + 1], dashes);
    }
  }
}

}  // namespace

void hatch(const Fields& f, Sink& s) {
  s.dashes.clear();
  const bool solid = f.integer(70) & 1;
  Cursor c(f);
  std::vector<std::vector<P2>> rings;
  if (c.seek(91)) {
    const int paths = c.integer(91);
    for (int k = 0; k < paths && c.code() == 92; ++k)
      if (std::vector<P2> ring = boundary(c); ring.size() > 2) rings.push_back(std::move(ring));
  }
  if (solid) return s.fill(rings);
  for (const auto& ring : rings) s.outline(ring);
  pattern(c, rings, s);
}

}  // namespace kelvo::host::display
