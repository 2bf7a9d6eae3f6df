// The shelf of a designation as a plain computation: from the prepared texts, the signs, the
// side, the direction and the sizes to the items placed in the weld block, one after another.
// The widths come from whoever draws the texts (the CAD host measures them), so the items go
// to a sink as they are placed and each text's box comes back before the next item is placed.
#pragma once

#include "app/weld_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kelvo::cad::shelf {

using Point = std::array<double, 3>;

struct Sizes {
  double height = 0;  // H, the text height
  double gap = 0;     // g, the gap between items
  double unit = 0;    // u, the sign unit (0.1 H)
};

struct Line {
  Point from, to;
};
struct Circle {
  Point centre;
  double radius;
};
struct Arc {
  Point centre;
  double radius, start, end;
};
struct Polyline {
  std::vector<Point> vertices;
};
using Shape = std::variant<Line, Circle, Arc, Polyline>;

// A text inserted at `at` (the left end of its baseline); with `rightEnd` it is then aligned so
// that its baseline ends there.
struct Text {
  std::string text;
  Point at;
  std::optional<Point> rightEnd;
};

struct Box {
  Point low, high;
};

class Sink {
 public:
  virtual ~Sink() = default;
  // Draws the text and answers its box as drawn, before any alignment moves it.
  virtual Box text(const Text& t) = 0;
  virtual void shape(const Shape& s) = 0;
};

struct Input {
  std::string standard, joint, method, leg, roughness;
  std::uint8_t bendSign = 0;   // 0 none, 1 closed line, 2 installation, 3 both
  std::vector<std::uint8_t> shelfSigns;  // codes 1 to 3 in the order of the sign table
  Side side = Side::Front;
  bool toRight = true;
  Sizes sizes;
  Point bend{};  // where the leader bends and the shelf starts
  // The z the items' anchors carry (that of the third pick), and the z the roughness mark's far
  // end starts with: each measured box then hands on the z of its low corner.
  double anchorZ = 0;
  double markZ = 0;
  // Field 7 as typed (trimmed) when it reads as length, sign and pitch, and whether the leg
  // (else the standard text) carries it at its end: its sign is then drawn as a glyph.
  std::optional<IntermittentSign> intermittent;
  std::string intermittentText;
  bool intermittentOnLeg = false;
  // The shelf line itself; a seam table writes the designation without it.
  bool shelfLine = true;
};

struct Result {
  double length = 0;  // along the shelf from the bend, before the closing gap
  std::string label;  // the composite standard text, empty when none is drawn
};

// The field texts as the designation writes them: with no standard the count and the number
// take its place on the shelf, and field 7 is joined with "-" behind the first of leg, method,
// joint and standard that is not empty (dropped when all are).
struct Prepared {
  std::string count, number, standard, joint, method, leg, roughness;
  std::string intermittent;  // field 7 as joined, empty when dropped
  bool intermittentOnLeg = false;
};
Prepared prepare(const DrawInput& in);
// What the shelf carries of a prepared designation: texts, shelf signs, side and field 7's
// glyph. The bend sign, direction, sizes and places are the caller's.
Input itemsOf(const Prepared& p, const DrawInput& in);

// Places the bend signs, the shelf's items and the shelf line, in drawing order.
Result layout(const Input& in, Sink& sink);

// Standard, joint type and method joined by hyphens, with the hyphen before a leg size.
std::string compositeStandardText(const Input& in);

// The glyphs, at their anchors. Corners other than the anchor lie at z 0.
std::vector<Shape> bendSigns(std::uint8_t sign, const Point& bend, double anchorZ, const Sizes& s);
std::vector<Shape> auxSign(std::uint8_t sign, const Point& anchor, Side side, const Sizes& s);
double auxSignWidth(std::uint8_t sign, double unit);  // 0 for a code that draws nothing
Shape roughMark(const Point& vertex, bool up, double shelfY, double farZ, const Sizes& s);
Shape legTriangle(const Point& anchor, const Sizes& s);
// The chain sign (a slash at 60 degrees) or the staggered sign (a Z of three strokes), standing
// on the baseline from `left`, the height of the digits.
Shape intermittentGlyph(IntermittentSign::Kind kind, const Point& left, const Sizes& s);
double intermittentGlyphWidth(const Sizes& s);

}  // namespace kelvo::cad::shelf
