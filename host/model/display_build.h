// Inside the display computation: placing an entity's geometry (through the blocks it sits in)
// and reading an entity's tags. Each entity kind's geometry is in a file of its own kind.
#pragma once

#include "host/model/display.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::host::display {

// x' = a x + c y + e, y' = b x + d y + f: a block reference's move, rotation and scale.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  P2 operator()(P2 p) const { return {a * p[0] + c * p[1] + e, b * p[0] + d * p[1] + f}; }
  // This one applied first, then `outer`.
  Affine then(const Affine& o) const {
    return {o.a * a + o.c * b, o.b * a + o.d * b, o.a * c + o.c * d, o.b * c + o.d * d, o.a * e + o.c * f + o.e, o.b * e + o.d * f + o.f};
  }
  double scale() const { return std::sqrt(std::abs(a * d - b * c)); }
};

// A move by `at` of a frame rotated by `angle` and scaled by sx, sy, whose origin is `base`.
Affine placement(P2 at, double angle, double sx, double sy, P2 base);
// From the object coordinates of the plane with normal `extrusion`, at `elevation` along it, to
// the drawing's plan (DXF's arbitrary axis rule); the identity for (0, 0, 1) or a zero normal.
Affine objectPlane(const std::array<double, 3>& extrusion, double elevation);

// One text run in an entity's own coordinates.
struct TextRun {
  P2 at{};  // left end of the baseline
  double height = 0, angle = 0, widthFactor = 1, oblique = 0;
  std::string text;  // Windows-1251 as shown
  std::optional<std::uint32_t> rgb;
  double width = 0;  // the advance, when the layout has measured it already
  bool backward = false, upsideDown = false;  // mirrored about its start, about its baseline
};

// Where an entity's geometry goes: through the placement of the blocks around it into the
// display, in the entity's colour and linetype.
struct Sink {
  Picture& out;
  Affine to;
  std::uint32_t rgb = 0xFFFFFF;
  std::vector<double> dashes;  // drawing units of the entity: + dash, - gap, 0 dot; none: solid

  void path(const std::vector<P2>& pts, bool closed);
  void fill(const std::vector<std::vector<P2>>& rings);
  // A closed outline that is not drawn but is snapped to and counted in the extents.
  void outline(const std::vector<P2>& ring);
  void text(const TextRun& run);
  void ray(P2 base, P2 direction, bool both);
  void dot(P2 p);
  void feature(P2 p, SnapKind kind);
  // Ends and middles of the straight segments of `pts`.
  void vertexFeatures(const std::vector<P2>& pts, bool closed);

 private:
  void extend(P2 p);
  void dashed(const std::vector<P2>& pts);
};

// An entity's tags up to its extended data, read by group code.
class Fields {
 public:
  explicit Fields(const Tags& tags);
  bool has(int code) const;
  double real(int code, double otherwise = 0) const;
  int integer(int code, int otherwise = 0) const;
  const std::string* raw(int code) const;
  P2 point(int code) const;  // code, code + 10
  double z(int code) const;  // code + 20
  const Tags& tags() const { return t_; }
  std::size_t size() const { return end_; }

 private:
  const Tags& t_;
  std::size_t end_;
};

// A group's integer: what no int holds, or no number at all, is 0.
int toInt(const std::string& s);
int toInt(double v);

// Tessellation: enough segments that a curve looks round at any useful zoom.
std::vector<P2> arcPoints(P2 centre, double radius, double from, double sweep);
std::vector<P2> ellipsePoints(P2 centre, P2 major, double ratio, double from, double to);
// A bulged segment from p to q (bulge: tan of a quarter of the included angle), without p.
void appendBulge(std::vector<P2>& out, P2 p, P2 q, double bulge);
// A spline's points: `degree`, control points, knots (uniform when missing), weights (1 when
// missing); with only fit points, a curve through them, leaving them along the tangents when
// the spline has them.
std::vector<P2> splinePoints(int degree, const std::vector<P2>& control, std::vector<double> knots,
                             const std::vector<double>& weights, const std::vector<P2>& fit, bool closed,
                             const std::array<std::optional<P2>, 2>& tangents = {});

// A CAD program's closed filled arrowhead of `size` at the first point of `line`, pointing
// away from the second.
void arrowhead(Sink& s, const std::vector<P2>& line, double size);

// Per entity kind: the geometry of the entity whose tags are `f`, in its own coordinates.
void lightweightPolyline(const Fields& f, Sink& s);
void ellipse(const Fields& f, Sink& s);
void spline(const Fields& f, Sink& s);
void point(const Document& doc, const Fields& f, Sink& s);
void corners(const Fields& f, Sink& s, bool filled);  // TRACE, SOLID filled; 3DFACE edges
void constructionLine(const Fields& f, Sink& s, bool both);
void mesh(const Fields& f, Sink& s);  // its faces' edges
void polyline(const Fields& head, const std::vector<const Tags*>& vertices, Sink& s);
void hatch(const Fields& f, Sink& s);
void text(const Document& doc, const Fields& f, Sink& s);  // TEXT, ATTRIB
void mtext(const Document& doc, const Fields& f, Sink& s);
void multileader(const Document& doc, const Fields& f, Sink& s);

// Multi-line text's formatted string laid out in a column `width` wide (0: no wrapping), its
// first line's top at `top` (before rotation), attachment 1..9.
struct MTextBox {
  P2 at{};
  double height = 2.5, width = 0, angle = 0;
  int attachment = 1;
};
void layoutMText(const Document& doc, const std::string& formatted, const MTextBox& box, Sink& s);

}  // namespace kelvo::host::display
