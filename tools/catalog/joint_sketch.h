// What the joint drawings share: curves built of points, and the drawings of the joints whose
// parts stand on or lie over one another.
#pragma once

#include "tools/catalog/canvas.h"
#include "tools/catalog/joint_picture.h"

#include <vector>

namespace kelvo::tools {

// Points from (x0, y) to (x1, y), bowed by `bulge` at the middle (negative: upwards).
inline void bow(std::vector<Pt>& out, double x0, double x1, double y, double bulge) {
  for (int i = 0; i <= 8; ++i) {
    const double t = i / 8.0;
    out.push_back({x0 + t * (x1 - x0), y + bulge * 4 * t * (1 - t)});
  }
}

// The same upright: from (x, y0) to (x, y1), bowed sideways.
inline void bowUpright(std::vector<Pt>& out, double x, double y0, double y1, double bulge) {
  for (int i = 0; i <= 8; ++i) {
    const double t = i / 8.0;
    out.push_back({x + bulge * 4 * t * (1 - t), y0 + t * (y1 - y0)});
  }
}

// Edges cut from both faces, welded from both sides whatever the seam says.
inline bool cutTwice(EdgePrep p) {
  return p == EdgePrep::DoubleBevel || p == EdgePrep::DoubleCurved || p == EdgePrep::DoubleBroken;
}

namespace upright {
void drawCorner(Canvas& c, const JointShape& s);
void drawTee(Canvas& c, const JointShape& s);
void drawLap(Canvas& c, const JointShape& s);
}  // namespace upright

}  // namespace kelvo::tools
