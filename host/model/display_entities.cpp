// The geometry of the curve and outline entities, from their own tags.
#include "host/model/display_build.h"

#include <algorithm>
#include <numbers>

namespace kelvo::host::display {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

struct Vertex {
  P2 at{};
  double startWidth = 0, endWidth = 0, bulge = 0;
};

// The outline of a polyline whose segments have widths: one filled band a segment.
void bands(const std::vector<Vertex>& v, bool closed, Sink& s) {
  const std::size_t n = closed ? v.size() : v.size() - 1;
  for (std::size_t i = 0; i < n; ++i) {
    const Vertex& a = v[i];
    const Vertex& b = v[(i + 1) % v.size()];
    std::vector<P2> centre{a.at};
    appendBulge(centre, a.at, b.at, a.bulge);
    std::vector<P2> left, right;
    for (std::size_t k = 0; k < centre.size(); ++k) {
      const P2& p = centre[k];
      const P2& q = centre[std::min(k + 1, centre.size() - 1)];
      const P2& o = centre[k == 0 ? 0 : k - 1];
      P2 d{q[0] - o[0], q[1] - o[1]};
      const double len = std::hypot(d[0], d[1]);
      if (len == 0) continue;
      const double w = (a.startWidth + (a.endWidth - a.startWidth) * static_cast<double>(k) / static_cast<double>(centre.size() - 1)) / 2;
      left.push_back({p[0] - d[1] / len * w, p[1] + d[0] / len * w});
      right.push_back({p[0] + d[1] / len * w, p[1] - d[0] / len * w});
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    s.fill({left});
  }
}

void drawVertices(const std::vector<Vertex>& v, bool closed, Sink& s) {
  if (v.empty()) return;
  std::vector<P2> pts{v[0].at}, corners;
  for (std::size_t i = 0; i < v.size(); ++i) {
    corners.push_back(v[i].at);
    const bool last = i + 1 == v.size();
    if (last && !closed) break;
    appendBulge(pts, v[i].at, v[last ? 0 : i + 1].at, v[i].bulge);
  }
  if (closed) pts.pop_back();  // the first point again
  const bool wide = std::any_of(v.begin(), v.end(), [](const Vertex& x) { return x.startWidth > 0 || x.endWidth > 0; });
  if (wide && v.size() > 1) bands(v, closed, s);
  else s.path(pts, closed);
  s.vertexFeatures(corners, closed);
}

}  // namespace

void lightweightPolyline(const Fields& f, Sink& s) {
  std::vector<Vertex> v;
  const double constant = f.real(43);
  for (std::size_t i = 1; i < f.size(); ++i) {
    const Tag& g = f.tags()[i];
    if (g.code == 10) v.push_back({{parseReal(g.value), 0}, constant, constant, 0});
    else if (v.empty()) continue;
    else if (g.code == 20) v.back().at[1] = parseReal(g.value);
    else if (g.code == 40) v.back().startWidth = parseReal(g.value);
    else if (g.code == 41) v.back().endWidth = parseReal(g.value);
    else if (g.code == 42) v.back().bulge = parseReal(g.value);
  }
  drawVertices(v, f.integer(70) & 1, s);
}

void polyline(const Fields& head, const std::vector<const Tags*>& vertices, Sink& s) {
  const int flags = head.integer(70);
  std::vector<Vertex> v;
  std::vector<std::array<int, 4>> faces;
  for (const Tags* t : vertices) {
    const Fields f(*t);
    const int vf = f.integer(70);
    if (vf & 16) continue;  // a spline's frame: CAD shows the curve fitted through it
    if ((flags & 64) && (vf & 128) && !(vf & 64)) {
      faces.push_back({f.integer(71), f.integer(72), f.integer(73), f.integer(74)});
      continue;
    }
    v.push_back({f.point(10), f.real(40, head.real(40)), f.real(41, head.real(41)), f.real(42)});
  }
  if (flags & 64) {  // a polyface mesh: the visible edges of its faces
    for (const auto& face : faces)
      for (int k = 0; k < 4; ++k) {
        const int a = face[static_cast<std::size_t>(k)], b = face[static_cast<std::size_t>((k + 1) % 4)];
        const int ia = std::abs(a) - 1, ib = std::abs(b ? b : face[0]) - 1;
        if (a <= 0 || ia >= static_cast<int>(v.size()) || ib < 0 || ib >= static_cast<int>(v.size())) continue;
        s.path({v[static_cast<std::size_t>(ia)].at, v[static_cast<std::size_t>(ib)].at}, false);
      }
    return;
  }
  if (flags & 16) {  // a polygon mesh: M rows of N vertices
    const int m = head.integer(71), n = head.integer(72);
    if (m <= 0 || n <= 0 || static_cast<std::size_t>(m) * static_cast<std::size_t>(n) > v.size()) return;
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) {
        const P2 p = v[static_cast<std::size_t>(i * n + j)].at;
        if (j + 1 < n) s.path({p, v[static_cast<std::size_t>(i * n + j + 1)].at}, false);
        if (i + 1 < m) s.path({p, v[static_cast<std::size_t>((i + 1) * n + j)].at}, false);
      }
    return;
  }
  if (flags & 8)  // a 3D polyline has no bulges or widths
    for (Vertex& x : v) x.bulge = x.startWidth = x.endWidth = 0;
  drawVertices(v, flags & 1, s);
}

void ellipse(const Fields& f, Sink& s) {
  const P2 c = f.point(10), major = f.point(11);
  const double ratio = f.real(40, 1), from = f.real(41, 0), to = f.real(42, kTau);
  const bool whole = std::abs(std::fmod(to - from, kTau)) < 1e-9;
  const std::vector<P2> pts = ellipsePoints(c, major, ratio, from, whole ? from + kTau : to);
  s.path(pts, whole);
  s.feature(c, SnapKind::Center);
  const P2 minor{-major[1] * ratio, major[0] * ratio};
  const P2 axes[] = {major, minor, {-major[0], -major[1]}, {-minor[0], -minor[1]}};
  for (int q = 0; q < 4; ++q) {
    const double t = q * std::numbers::pi / 2;
    const double rel = std::fmod(t - from + 2 * kTau, kTau), span = std::fmod(to - from + 2 * kTau, kTau);
    if (whole || rel <= span) s.feature({c[0] + axes[q][0], c[1] + axes[q][1]}, SnapKind::Quadrant);
  }
  if (!whole) s.feature(pts.front(), SnapKind::Endpoint), s.feature(pts.back(), SnapKind::Endpoint);
}

void spline(const Fields& f, Sink& s) {
  std::vector<P2> control, fit;
  std::vector<double> knots, weights;
  P2* last = nullptr;
  for (std::size_t i = 1; i < f.size(); ++i) {
    const Tag& g = f.tags()[i];
    if (g.code == 10) control.push_back({parseReal(g.value), 0}), last = &control.back();
    else if (g.code == 11) fit.push_back({parseReal(g.value), 0}), last = &fit.back();
    else if ((g.code == 20 || g.code == 21) && last) (*last)[1] = parseReal(g.value);
    else if (g.code == 40) knots.push_back(parseReal(g.value));
    else if (g.code == 41) weights.push_back(parseReal(g.value));
    else if (g.code != 30 && g.code != 31) last = nullptr;
  }
  const bool closed = f.integer(70) & 1;
  std::array<std::optional<P2>, 2> tangents;
  if (f.has(12)) tangents[0] = f.point(12);
  if (f.has(13)) tangents[1] = f.point(13);
  const std::vector<P2> pts = splinePoints(f.integer(71, 3), control, knots, weights, fit, closed, tangents);
  if (pts.size() < 2) return;
  s.path(pts, false);
  if (!closed) s.feature(pts.front(), SnapKind::Endpoint), s.feature(pts.back(), SnapKind::Endpoint);
}

void point(const Document& doc, const Fields& f, Sink& s) {
  const P2 p = f.point(10);
  const int mode = toInt(doc.number("PDMODE").value_or(0));
  double size = doc.number("PDSIZE").value_or(0);
  if (size <= 0) {  // a share of the drawing's height, as the header's extents give it
    const double h = doc.number("EXTMAX").value_or(0) - doc.number("EXTMIN").value_or(0);
    size = (size < 0 ? -size / 100 : 0.05) * (h > 0 && h < 1e12 ? h : 20);
  }
  // The cross and the plus reach past the circle and the square, as in CAD's point styles.
  const double r = size / 2, arm = size;
  switch (mode & 7) {
    case 0: s.dot(p); break;
    case 2: s.path({{p[0] - arm, p[1]}, {p[0] + arm, p[1]}}, false), s.path({{p[0], p[1] - arm}, {p[0], p[1] + arm}}, false); break;
    case 3:
      s.path({{p[0] - arm, p[1] - arm}, {p[0] + arm, p[1] + arm}}, false);
      s.path({{p[0] - arm, p[1] + arm}, {p[0] + arm, p[1] - arm}}, false);
      break;
    case 4: s.path({p, {p[0], p[1] + r}}, false); break;
    default: break;
  }
  if (mode & 32) s.path(arcPoints(p, r, 0, kTau), true);
  if (mode & 64) s.path({{p[0] - r, p[1] - r}, {p[0] + r, p[1] - r}, {p[0] + r, p[1] + r}, {p[0] - r, p[1] + r}}, true);
  s.feature(p, SnapKind::Endpoint);
}

void corners(const Fields& f, Sink& s, bool filled) {
  const P2 a = f.point(10), b = f.point(11), c = f.point(12), d = f.has(13) ? f.point(13) : c;
  if (filled) {
    s.fill({{a, b, d, c}});
    s.vertexFeatures({a, b, d, c}, true);
    return;
  }
  const P2 ring[] = {a, b, c, d};
  const int hidden = f.integer(70);
  for (int k = 0; k < 4; ++k)
    if (!(hidden & (1 << k))) s.path({ring[k], ring[(k + 1) % 4]}, false);
  s.vertexFeatures({a, b, c, d}, true);
}

void constructionLine(const Fields& f, Sink& s, bool both) { s.ray(f.point(10), f.point(11), both); }

// A MESH's vertices (92 and as many points), then its faces (93, the count of the 90s that
// follow: each face its size, then as many vertex indices); each face drawn as its outline.
void mesh(const Fields& f, Sink& s) {
  std::vector<P2> vertices;
  std::vector<int> faces;
  const Tags& t = f.tags();
  enum { None, Vertices, Faces } part = None;
  std::size_t left = 0;
  for (std::size_t i = 1; i < f.size(); ++i) {
    const Tag& g = t[i];
    if (left == 0) part = None;
    if (part == None && (g.code == 92 || g.code == 93)) {
      part = g.code == 92 ? Vertices : Faces;
      left = static_cast<std::size_t>(std::clamp(toInt(g.value), 0, 10'000'000));
    } else if (part == Vertices && g.code == 10) {
      vertices.push_back({parseReal(g.value), i + 1 < f.size() && t[i + 1].code == 20 ? parseReal(t[i + 1].value) : 0});
      --left;
    } else if (part == Faces && g.code == 90) {
      faces.push_back(toInt(g.value));
      --left;
    }
  }
  for (std::size_t i = 0; i < faces.size();) {
    const std::size_t n = static_cast<std::size_t>(std::max(faces[i], 0));
    std::vector<P2> ring;
    for (std::size_t k = 1; k <= n && i + k < faces.size(); ++k) {
      const int v = faces[i + k];
      if (v >= 0 && static_cast<std::size_t>(v) < vertices.size()) ring.push_back(vertices[static_cast<std::size_t>(v)]);
    }
    if (ring.size() > 1) s.path(ring, true);
    i += n + 1;
  }
}

}  // namespace kelvo::host::display
