// Placing an entity's geometry: transforms, linetypes, tessellation of curves, tag reading.
#include "host/model/display_build.h"

#include "host/model/dxf_tags.h"

#include <algorithm>
#include <numbers>

namespace kelvo::host::display {

namespace {

constexpr double kTau = 2 * std::numbers::pi;
// A linetype finer than this many repeats along one path is drawn solid, as CAD programs do:
// the dashes would not be told apart and would cost more than the whole drawing.
constexpr double kMaxRepeats = 2000;

// A sweep that is no number, or more than a turn, is drawn as one turn.
int segmentsFor(double sweep) {
  const double turns = std::isfinite(sweep) ? std::min(std::abs(sweep) / kTau, 1.0) : 1.0;
  return std::max(4, static_cast<int>(std::ceil(turns * 96)));
}

bool finite(P2 p) { return std::isfinite(p[0]) && std::isfinite(p[1]); }

Shape shapeOf(Shape::Type type, std::uint32_t rgb, std::vector<P2> points) {
  Shape s;
  s.type = type, s.rgb = rgb, s.points = std::move(points);
  return s;
}

}  // namespace

Affine objectPlane(const std::array<double, 3>& n0, double elevation) {
  const double len = std::sqrt(n0[0] * n0[0] + n0[1] * n0[1] + n0[2] * n0[2]);
  if (!(len > 0) || !std::isfinite(len)) return {};
  const std::array<double, 3> n{n0[0] / len, n0[1] / len, n0[2] / len};
  auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  // The x axis is the world's y (near the world's z) or z crossed with the normal.
  const bool nearZ = std::abs(n[0]) < 1.0 / 64 && std::abs(n[1]) < 1.0 / 64;
  std::array<double, 3> ax = cross(nearZ ? std::array<double, 3>{0, 1, 0} : std::array<double, 3>{0, 0, 1}, n);
  const double al = std::sqrt(ax[0] * ax[0] + ax[1] * ax[1] + ax[2] * ax[2]);
  for (double& v : ax) v /= al;
  const std::array<double, 3> ay = cross(n, ax);
  return {ax[0], ax[1], ay[0], ay[1], elevation * n[0], elevation * n[1]};
}

Affine placement(P2 at, double angle, double sx, double sy, P2 base) {
  const double c = std::cos(angle), s = std::sin(angle);
  Affine t{c * sx, s * sx, -s * sy, c * sy, 0, 0};
  t.e = at[0] - (t.a * base[0] + t.c * base[1]);
  t.f = at[1] - (t.b * base[0] + t.d * base[1]);
  return t;
}

int toInt(double v) { return v >= -2147483648.0 && v <= 2147483647.0 ? static_cast<int>(v) : 0; }
int toInt(const std::string& s) { return toInt(parseReal(s)); }

// Extended data ends what an entity says of itself, and so does an MTEXT's embedded object
// (101), whose 10 and 11 are its own and not the text's place and direction.
Fields::Fields(const Tags& tags) : t_(tags), end_(tags.size()) {
  for (std::size_t i = 1; i < tags.size(); ++i)
    if (tags[i].code >= 1000 || tags[i].code == 101) {
      end_ = i;
      break;
    }
}

const std::string* Fields::raw(int code) const {
  for (std::size_t i = 1; i < end_; ++i)
    if (t_[i].code == code) return &t_[i].value;
  return nullptr;
}
bool Fields::has(int code) const { return raw(code) != nullptr; }
double Fields::real(int code, double otherwise) const {
  const std::string* v = raw(code);
  return v ? parseReal(*v) : otherwise;
}
int Fields::integer(int code, int otherwise) const {
  const std::string* v = raw(code);
  return v ? toInt(*v) : otherwise;
}
P2 Fields::point(int code) const { return {real(code), real(code + 10)}; }
double Fields::z(int code) const { return real(code + 20); }

void Sink::extend(P2 p) {
  for (std::size_t k = 0; k < 2; ++k) out.min[k] = std::min(out.min[k], p[k]), out.max[k] = std::max(out.max[k], p[k]);
}

void Sink::path(const std::vector<P2>& pts, bool closed) {
  if (pts.empty()) return;
  std::vector<P2> placed;
  placed.reserve(pts.size() + 1);
  for (const P2& p : pts) placed.push_back(to(p));
  // A coordinate that is no number (or none a double holds) makes the shape unplaceable.
  if (!std::all_of(placed.begin(), placed.end(), finite)) return;
  for (const P2& p : placed) extend(p);
  if (closed && pts.size() > 2) placed.push_back(placed.front());
  if (!dashes.empty()) {
    out.edges.push_back(placed);
    return dashed(placed);
  }
  out.shapes.push_back(shapeOf(Shape::Type::Path, rgb, std::move(placed)));
}

void Sink::dashed(const std::vector<P2>& pts) {
  const double k = to.scale();
  double period = 0;
  for (double d : dashes) period += std::abs(d) * k;
  double length = 0;
  for (std::size_t i = 1; i < pts.size(); ++i) length += std::hypot(pts[i][0] - pts[i - 1][0], pts[i][1] - pts[i - 1][1]);
  if (!(period > 0) || length / period > kMaxRepeats) {
    out.shapes.push_back(shapeOf(Shape::Type::Path, rgb, pts));
    return;
  }
  std::size_t element = 0;
  double left = std::abs(dashes[0]) * k;  // of the current element
  std::vector<P2> piece{pts[0]};
  auto flush = [&] {
    if (piece.size() > 1) out.shapes.push_back(shapeOf(Shape::Type::Path, rgb, piece));
    piece.clear();
  };
  auto next = [&](P2 at) {
    if (dashes[element] > 0) piece.push_back(at), flush();
    else if (dashes[element] == 0) out.shapes.push_back(shapeOf(Shape::Type::Dot, rgb, {at}));
    element = (element + 1) % dashes.size();
    left = std::abs(dashes[element]) * k;
    if (dashes[element] > 0) piece = {at};
  };
  if (dashes[0] == 0) next(pts[0]);
  for (std::size_t i = 1; i < pts.size(); ++i) {
    P2 from = pts[i - 1];
    double seg = std::hypot(pts[i][0] - from[0], pts[i][1] - from[1]);
    while (seg > left) {
      const double t = left / seg;
      const P2 at{from[0] + (pts[i][0] - from[0]) * t, from[1] + (pts[i][1] - from[1]) * t};
      seg -= left;
      from = at;
      next(at);
    }
    left -= seg;
    if (dashes[element] > 0) piece.push_back(pts[i]);
  }
  if (dashes[element] > 0) flush();
}

void Sink::fill(const std::vector<std::vector<P2>>& rings) {
  Shape sh = shapeOf(Shape::Type::Fill, rgb, {});
  sh.closed = true;
  for (const auto& ring : rings) {
    if (ring.size() < 3) continue;
    const std::size_t start = sh.points.size();
    for (const P2& p : ring) sh.points.push_back(to(p));
    if (!std::all_of(sh.points.begin() + static_cast<std::ptrdiff_t>(start), sh.points.end(), finite)) {
      sh.points.resize(start);
      continue;
    }
    for (std::size_t i = start; i < sh.points.size(); ++i) extend(sh.points[i]);
    sh.rings.push_back(static_cast<std::uint32_t>(ring.size()));
  }
  if (!sh.rings.empty()) out.shapes.push_back(std::move(sh));
}

void Sink::outline(const std::vector<P2>& ring) {
  if (ring.empty()) return;
  std::vector<P2> edge;
  for (const P2& p : ring) edge.push_back(to(p));
  if (!std::all_of(edge.begin(), edge.end(), finite)) return;
  for (const P2& p : edge) extend(p);
  edge.push_back(edge.front());
  out.edges.push_back(std::move(edge));
}

void Sink::text(const TextRun& run) {
  if (run.text.empty() || !(run.height > 0) || !std::isfinite(run.height) || !finite(to(run.at))) return;
  const P2 u{std::cos(run.angle), std::sin(run.angle)}, v{-u[1], u[0]};
  const P2 lu{to.a * u[0] + to.c * u[1], to.b * u[0] + to.d * u[1]};
  const P2 lv{to.a * v[0] + to.c * v[1], to.b * v[0] + to.d * v[1]};
  const double su = std::hypot(lu[0], lu[1]), sv = std::hypot(lv[0], lv[1]);
  if (!(su > 0) || !(sv > 0)) return;
  // A placement that mirrors (a block reference scaled by -1) turns the text's v round: the
  // text is then drawn upside down along the same baseline.
  const bool mirrors = lu[0] * lv[1] - lu[1] * lv[0] < 0;
  Shape sh = shapeOf(Shape::Type::Text, run.rgb.value_or(rgb), {to(run.at)});
  const double back = run.backward ? -1 : 1;
  sh.height = run.height * sv, sh.angle = std::atan2(lu[1], lu[0]), sh.widthFactor = back * run.widthFactor * su / sv;
  sh.oblique = run.oblique, sh.text = run.text, sh.width = back * run.width * su;
  sh.upsideDown = run.upsideDown != mirrors;
  out.shapes.push_back(std::move(sh));
}

void Sink::ray(P2 base, P2 direction, bool both) {
  const P2 b = to(base), tip = to({base[0] + direction[0], base[1] + direction[1]});
  const P2 d{tip[0] - b[0], tip[1] - b[1]};
  if ((d[0] == 0 && d[1] == 0) || !finite(b) || !finite(d)) return;
  Shape sh = shapeOf(Shape::Type::Ray, rgb, {b, d});
  sh.closed = both;
  out.shapes.push_back(std::move(sh));
  out.features.push_back({b, both ? SnapKind::Midpoint : SnapKind::Endpoint});
}

void Sink::dot(P2 p) {
  if (!finite(to(p))) return;
  out.shapes.push_back(shapeOf(Shape::Type::Dot, rgb, {to(p)}));
  extend(to(p));
  out.features.push_back({to(p), SnapKind::Endpoint});
}

void Sink::feature(P2 p, SnapKind kind) { out.features.push_back({to(p), kind}); }

void Sink::vertexFeatures(const std::vector<P2>& pts, bool closed) {
  for (std::size_t i = 0; i < pts.size(); ++i) {
    feature(pts[i], SnapKind::Endpoint);
    const bool last = i + 1 == pts.size();
    if (last && !(closed && pts.size() > 2)) break;
    const P2& q = last ? pts[0] : pts[i + 1];
    feature({(pts[i][0] + q[0]) / 2, (pts[i][1] + q[1]) / 2}, SnapKind::Midpoint);
  }
}

std::vector<P2> arcPoints(P2 c, double r, double from, double sweep) {
  const int n = segmentsFor(sweep);
  std::vector<P2> pts;
  pts.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) {
    const double a = from + sweep * i / n;
    pts.push_back({c[0] + r * std::cos(a), c[1] + r * std::sin(a)});
  }
  return pts;
}

std::vector<P2> ellipsePoints(P2 c, P2 major, double ratio, double from, double to) {
  if (!(to > from)) to = from + (std::isfinite(to - from) ? std::fmod(to - from, kTau) + kTau : kTau);
  const P2 minor{-major[1] * ratio, major[0] * ratio};
  const int n = segmentsFor(to - from);
  std::vector<P2> pts;
  for (int i = 0; i <= n; ++i) {
    const double t = from + (to - from) * i / n, ct = std::cos(t), st = std::sin(t);
    pts.push_back({c[0] + major[0] * ct + minor[0] * st, c[1] + major[1] * ct + minor[1] * st});
  }
  return pts;
}

void arrowhead(Sink& s, const std::vector<P2>& line, double size) {
  if (line.size() < 2 || !(size > 0)) return;
  const double angle = std::atan2(line[0][1] - line[1][1], line[0][0] - line[1][0]);
  const Affine tip = placement(line[0], angle, size, size, {0, 0});
  s.fill({{tip({0, 0}), tip({-1, 1.0 / 6}), tip({-1, -1.0 / 6})}});
}

void appendBulge(std::vector<P2>& out, P2 p, P2 q, double bulge) {
  const double chord = std::hypot(q[0] - p[0], q[1] - p[1]);
  if (std::abs(bulge) < 1e-9 || chord == 0) {
    out.push_back(q);
    return;
  }
  const double sweep = 4 * std::atan(bulge);
  const double r = chord / 2 * (1 + bulge * bulge) / (2 * std::abs(bulge));
  // The centre lies on the chord's left for a shallow counter-clockwise arc (bulge 0..1).
  const double off = chord / 2 * (1 - bulge * bulge) / (2 * bulge);
  const P2 m{(p[0] + q[0]) / 2, (p[1] + q[1]) / 2}, n{-(q[1] - p[1]) / chord, (q[0] - p[0]) / chord};
  const P2 c{m[0] + n[0] * off, m[1] + n[1] * off};
  const double from = std::atan2(p[1] - c[1], p[0] - c[0]);
  std::vector<P2> arc = arcPoints(c, r, from, sweep);
  out.insert(out.end(), arc.begin() + 1, arc.end() - 1);
  out.push_back(q);
}

}  // namespace kelvo::host::display
