// The small signs of the designation, as shapes at sizes of the sign unit.
#include "cad/shelf_layout.h"

#include <cmath>
#include <numbers>

namespace kelvo::cad::shelf {

namespace {
constexpr double kPi = std::numbers::pi;
}

std::vector<Shape> bendSigns(std::uint8_t sign, const Point& bend, double anchorZ, const Sizes& s) {
  std::vector<Shape> out;
  if (sign == 1 || sign == 3) out.push_back(Circle{bend, 4 * s.unit});
  if (sign > 1) {
    const Point top{bend[0], bend[1] + s.height, anchorZ};
    const Point flag{bend[0] - 0.5 * s.height, bend[1] + s.height, 0};
    out.push_back(Polyline{{bend, top, flag}});
  }
  return out;
}

double auxSignWidth(std::uint8_t sign, double unit) {
  switch (sign) {
    case 1: return 16 * unit;
    case 2: return 33 * unit;
    case 3: return 17 * unit;
    default: return 0;
  }
}

// Drawn from the anchor towards +x whatever way the shelf runs; on the back side the line the
// sign stands on is the text's top, not its baseline.
std::vector<Shape> auxSign(std::uint8_t sign, const Point& anchor, Side side, const Sizes& s) {
  const double u = s.unit, x = anchor[0], y = anchor[1];
  const bool back = side == Side::Back;
  const double yL = back ? y + s.height : y;
  switch (sign) {
    case 1: {
      const double r = 5 * u;
      return {Line{{x, yL, 0}, {x + 16 * u, yL, 0}}, Circle{{x + 8 * u, y + r, 0}, r}};
    }
    case 2: {
      const double r = 7.5 * u;
      const double yC = back ? y + 2.5 * u : y + 7.5 * u;
      const double a0 = back ? 0 : kPi, a1 = back ? kPi : 0;
      return {Line{{x, yL, 0}, {x + 33 * u, yL, 0}}, Arc{{x + 9 * u, yC, 0}, r, a0, a1},
              Arc{{x + 24 * u, yC, 0}, r, a0, a1}};
    }
    case 3:
      return {Polyline{{anchor, {x + 17 * u, y, 0}, {x + 17 * u, y + s.height, 0}, {x, y + s.height, 0}}}};
    default:
      return {};
  }
}

Shape roughMark(const Point& vertex, bool up, double shelfY, double farZ, const Sizes& s) {
  const double u = s.unit, x = vertex[0];
  if (up) return Polyline{{{x - 5.7735 * u, shelfY + 10 * u, 0}, vertex, {x + 11.547 * u, shelfY + 20 * u, farZ}}};
  return Polyline{{{x + 5.7735 * u, shelfY - 10 * u, 0}, vertex, {x - 11.547 * u, shelfY - 20 * u, farZ}}};
}

Shape legTriangle(const Point& anchor, const Sizes& s) {
  const double x = anchor[0], y = anchor[1];
  return Polyline{{anchor, {x, y + s.height, 0}, {x + 7 * s.unit, y, 0}, anchor}};
}

double intermittentGlyphWidth(const Sizes& s) { return s.height / std::tan(kPi / 3); }

Shape intermittentGlyph(IntermittentSign::Kind kind, const Point& left, const Sizes& s) {
  const double x = left[0], y = left[1], z = left[2], w = intermittentGlyphWidth(s), h = s.height;
  if (kind == IntermittentSign::Kind::Chain) return Line{left, {x + w, y + h, z}};
  return Polyline{{{x, y + h, z}, {x + w, y + h, z}, {x, y, z}, {x + w, y, z}}};
}

}  // namespace kelvo::cad::shelf
