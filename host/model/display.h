// What a space of the drawing looks like, as drawing primitives: paths, fills, text runs and
// construction lines, in drawing coordinates, each in its final colour, with linetypes already
// broken into dashes and blocks already placed. The viewer paints them, `--render` paints them
// into an image, and extents and object snap measure the geometry kept beside them.
#pragma once

#include "host/model/document.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::host {

using P2 = std::array<double, 2>;

struct Shape {
  enum class Type : std::uint8_t {
    Path,  // `points`, joined; `closed` joins the last to the first
    Fill,  // rings of `points` (sizes in `rings`), filled even-odd so that islands stay open
    Dot,   // `points[0]`, one pixel whatever the zoom
    Text,  // `text` (Windows-1251, as shown) from the baseline's left end `points[0]`
    Ray,   // from `points[0]` along `points[1]`; `closed`: both ways (a construction line)
  };
  Type type = Type::Path;
  bool closed = false;
  std::uint32_t rgb = 0xFFFFFF;
  std::vector<P2> points;
  std::vector<std::uint32_t> rings;
  // Text: cap height, baseline angle (radians), width factor, slant of the glyphs (radians).
  // A negative width factor draws the text backwards (mirrored about its start, as TEXT's
  // flag 2 or a mirroring block reference); `upsideDown` mirrors it about its baseline.
  double height = 0, angle = 0, widthFactor = 1, oblique = 0, width = 0;  // width: the advance
  bool upsideDown = false;
  std::string text;
  // The box around it in drawing coordinates (a text's by its font's advances): a painter
  // skips what is out of view and shows what is smaller than a pixel as a pixel.
  P2 lo{}, hi{};
};

enum class SnapKind : std::uint8_t { Endpoint, Midpoint, Center, Quadrant, Intersection, Perpendicular, Nearest };

struct Picture {
  std::vector<Shape> shapes;
  // What nearest, perpendicular and intersection snap to besides the paths and fills: the
  // geometry no shape shows whole (a dashed line undashed, a pattern hatch's boundary). Closed
  // ones repeat their first point at the end.
  std::vector<std::vector<P2>> edges;
  struct Feature {
    P2 at;
    SnapKind kind;
  };
  std::vector<Feature> features;  // end, middle, centre and quadrant points
  // Of everything but construction lines; min > max when there is nothing.
  P2 min{1e300, 1e300}, max{-1e300, -1e300};
  bool empty() const { return min[0] > max[0]; }
};

// Model space (or paper space) as a CAD program shows it: layers off or frozen hidden, colours
// by layer, by block, by index or true colour, the drawing's linetypes at LTSCALE. Entities
// placed through block references stop at `mostPlaced`: blocks that reference each other many
// times over (or arrays of them) multiply past anything a screen could show, and a drawing made
// that way must not hang the host.
inline constexpr std::size_t kMostPlaced = 1'000'000;
Picture pictureOf(const Document& doc, const Block& space, std::size_t mostPlaced = kMostPlaced);

// The palette of colour indices 1..255 as 0xRRGGBB (7 is white: the viewer's ground is dark).
std::uint32_t aciRgb(int index);

}  // namespace kelvo::host
