// Butt joints, and the choice of drawing by the type of joint. Corner, tee and lap joints are
// drawn in joint_picture_upright.cpp.
#include "tools/catalog/joint_picture.h"

#include "tools/catalog/joint_sketch.h"

#include <cmath>
#include <numbers>

namespace kelvo::tools {

namespace butt {

constexpr double kCx = 52, kTop = 26, kBottom = 40, kGap = 1.5, kMid = (kTop + kBottom) / 2;

// The round root of a J or U groove: a quarter circle from the groove's side, `r` from the
// root face, down to the root face at (g, floor); `flip` mirrors it about that height.
void roundRoot(std::vector<Pt>& out, double g, double floor, double r, bool flip) {
  for (int i = 0; i <= 6; ++i) {
    const double a = i * std::numbers::pi / 12;
    const double y = r * std::sin(flip ? std::numbers::pi / 2 - a : a);
    out.push_back({g + r * std::cos(flip ? std::numbers::pi / 2 - a : a), flip ? floor + r - y : floor - r + y});
  }
}

// A part's edge from its top face to its bottom face: each point's distance from the joint's
// centre line, and its height.
std::vector<Pt> edge(const JointShape& s, bool prepared) {
  const double g = kGap, wide = s.onePart ? 1.25 : 1.0;
  std::vector<Pt> e;
  switch (prepared ? s.prep : EdgePrep::Square) {
    case EdgePrep::Bevel:
      e = {{g + 8 * wide, kTop}, {g, kBottom - 3}, {g, kBottom}};
      break;
    case EdgePrep::Broken:
      e = {{g + 9 * wide, kTop}, {g + 3, kTop + 7}, {g, kBottom - 3}, {g, kBottom}};
      break;
    case EdgePrep::DoubleBevel:
      if (s.asymmetric) e = {{g + 7 * wide, kTop}, {g, kTop + 8}, {g, kTop + 10}, {g + 3 * wide, kBottom}};
      else e = {{g + 6 * wide, kTop}, {g, kMid - 1}, {g, kMid + 1}, {g + 6 * wide, kBottom}};
      break;
    case EdgePrep::DoubleBroken:
      e = {{g + 7 * wide, kTop}, {g + 2, kTop + 4}, {g, kMid - 1}, {g, kMid + 1}, {g + 2, kBottom - 4},
           {g + 7 * wide, kBottom}};
      break;
    case EdgePrep::Curved:
      e.push_back({g + 7 * wide, kTop});
      roundRoot(e, g, kBottom - 3, 4, false);
      e.push_back({g, kBottom});
      break;
    case EdgePrep::DoubleCurved:
      e.push_back({g + 6 * wide, kTop});
      roundRoot(e, g, kMid - 1, 3, false);
      roundRoot(e, g, kMid + 1, 3, true);
      e.push_back({g + 6 * wide, kBottom});
      break;
    default:
      e = {{g, kTop}, {g, kBottom}};
  }
  if (s.boring) {  // the inner face turned out near the edge, a short taper back to the wall
    e.back().y = kBottom - 2;
    e.push_back({g + 12, kBottom - 2});
    e.push_back({g + 14, kBottom});
  }
  return e;
}

// Where a point of a part's outline (its distance from the centre line, its height) stands: an
// expanded pipe end is lifted, the part's full wall beyond it.
Pt place(const JointShape& s, Pt p, bool right) {
  double y = p.y;
  if (right && s.expansion) y -= p.x <= 14 ? 3 : p.x >= 20 ? 0 : 3 * (20 - p.x) / 6;
  return {right ? kCx + p.x : kCx - p.x, y};
}

std::vector<Pt> outlineOf(const JointShape& s, const std::vector<Pt>& profile, bool right) {
  std::vector<Pt> out;
  const double end = kCx - 6;  // from the centre to the picture's side
  if (!right && s.arrangement == Arrangement::FlangeToPipe)
    out = {{6, 8}, {24, 8}, {24, kTop}};  // the flange's body behind its neck
  else out.push_back(place(s, {end, kTop}, right));
  if (right && s.expansion) out.insert(out.end(), {place(s, {20, kTop}, true), place(s, {14, kTop}, true)});
  for (const Pt& p : profile) out.push_back(place(s, p, right));
  if (right && s.expansion) out.insert(out.end(), {place(s, {14, kBottom}, true), place(s, {20, kBottom}, true)});
  out.push_back(place(s, {end, kBottom}, right));
  return out;
}

void drawBacking(Canvas& c, const JointShape& s) {
  const double top = s.boring ? kBottom - 2 : kBottom;
  const double lift = s.expansion ? 3 : 0;
  switch (s.backing) {
    case Backing::Strip: c.hatch(kCx - 13, top, kCx + 13, top + 6); break;
    case Backing::Removable: c.part({{kCx - 13, top + 1}, {kCx + 13, top + 1}, {kCx + 13, top + 7}, {kCx - 13, top + 7}}); break;
    case Backing::Conical:  // a ring thicker at one end, its outer face under the widened end
      c.hatchPolygon({{kCx - 13, top}, {kCx + 13, top - lift}, {kCx + 13, top + 6}, {kCx - 13, top + 3}});
      break;
    default: break;
  }
}

void drawParts(Canvas& c, const JointShape& s, const std::vector<Pt>& left, const std::vector<Pt>& right) {
  std::vector<Pt> l = outlineOf(s, left, false), r = outlineOf(s, right, true);
  if (s.backing == Backing::Lock) {  // the right part's lip carries the left one
    r.pop_back();
    for (Pt p : {Pt{kCx - 10, kBottom}, Pt{kCx - 10, kBottom + 4}, Pt{kCx + 14, kBottom + 4}, Pt{kCx + 18, kBottom}})
      r.push_back(p);
    r.push_back({98, kBottom});
  }
  c.part(l);
  c.part(r);
  drawBacking(c, s);
}

// The part of an edge's profile the weld lies against, placed: down to the root, not into a bore.
std::vector<Pt> weldFace(const JointShape& s, const std::vector<Pt>& profile, bool right) {
  std::vector<Pt> face;
  for (const Pt& p : profile) {
    if (s.boring && p.x > kGap + 0.01 && p.y >= kBottom - 2) break;
    face.push_back(place(s, p, right));
  }
  return face;
}

void drawWeld(Canvas& c, const JointShape& s, const std::vector<Pt>& left, const std::vector<Pt>& right) {
  const bool bottomCap = s.twoSided || cutTwice(s.prep);
  const bool bare = s.backing == Backing::None || s.backing == Backing::Insert;
  std::vector<Pt> w;
  const Pt lt = place(s, left.front(), false), rt = place(s, right.front(), true);
  for (int i = 0; i <= 8; ++i) {  // the cap, from face to face even where one part is lifted
    const double t = i / 8.0;
    w.push_back({lt.x - 2 + t * (rt.x - lt.x + 4), lt.y + t * (rt.y - lt.y) - 16 * t * (1 - t)});
  }
  const std::vector<Pt> rightFace = weldFace(s, right, true), leftFace = weldFace(s, left, false);
  w.insert(w.end(), rightFace.begin(), rightFace.end());
  const double rootY = w.back().y;
  const double lx = kCx - (s.boring ? kGap : left.back().x), rx = w.back().x;
  if (bottomCap) bow(w, rx + 2, lx - 2, rootY, 3);
  else if (bare) bow(w, rx, lx, rootY, 2);
  w.insert(w.end(), leftFace.rbegin(), leftFace.rend());
  c.weld(w);
  if (s.gouged) {  // the back run fills a groove gouged into the root
    std::vector<Pt> g{{kCx - 5, kBottom}};
    bow(g, kCx - 4, kCx + 4, kBottom - 1, -5);
    g.push_back({kCx + 5, kBottom});
    bow(g, kCx + 6, kCx - 6, kBottom, 4);
    c.weld(g);
  }
  if (s.backing == Backing::Insert) c.hatch(kCx - 2.5, rootY - 4, kCx + 2.5, rootY + 1);
}

// Flanged edges: the parts are bent up at the joint and their flanges melted together on top.
void drawFlanged(Canvas& c, bool both) {
  c.part({{6, 40}, {46, 40}, {46, 24}, {51, 24}, {51, 48}, {6, 48}});
  if (both) {
    c.part({{53, 24}, {58, 24}, {58, 40}, {98, 40}, {98, 48}, {53, 48}});
    std::vector<Pt> w;
    bow(w, 44, 60, 24, -7);
    c.weld(w);
    return;
  }
  c.part({{53, 40}, {98, 40}, {98, 48}, {53, 48}});
  c.weld({{44, 25}, {48, 19}, {54, 30}, {58, 40}, {51, 40}, {51, 24}});
}

// The row does not give the edges: the parts apart and, lighter than weld metal, the zone the
// weld takes, so that the picture claims no preparation.
void drawNotGiven(Canvas& c, const JointShape& s) {
  const std::vector<Pt> square{{4, kTop}, {4, kBottom}};
  drawParts(c, s, square, square);
  const std::vector<Pt> zone{{kCx - 5, kTop - 3}, {kCx + 5, kTop - 3}, {kCx + 5, kBottom + 2}, {kCx - 5, kBottom + 2}};
  c.fill(zone, kZoneGrey);
  c.outline(zone);
}

void drawAxis(Canvas& c, Arrangement a) {
  if (a == Arrangement::ElbowSectors) c.axis({{4, 55}, {kCx, 61}, {100, 55}});  // the sectors meet at an angle
  else if (a != Arrangement::Plates) c.axis({{4, 58}, {100, 58}});
}

void draw(Canvas& c, const JointShape& s) {
  drawAxis(c, s.arrangement);
  if (s.prep == EdgePrep::NotGiven) {
    drawNotGiven(c, s);
  } else if (s.prep == EdgePrep::FlangedOne || s.prep == EdgePrep::FlangedBoth) {
    drawFlanged(c, s.prep == EdgePrep::FlangedBoth);
  } else {
    const auto left = edge(s, true), right = edge(s, !s.onePart);
    drawParts(c, s, left, right);
    drawWeld(c, s, left, right);
  }
}

}  // namespace butt

Canvas drawJoint(const JointShape& shape) {
  Canvas c(kPictureWidth, kPictureHeight);
  switch (shape.family) {
    case JointFamily::Butt: butt::draw(c, shape); break;
    case JointFamily::Corner: upright::drawCorner(c, shape); break;
    case JointFamily::Tee: upright::drawTee(c, shape); break;
    case JointFamily::Lap: upright::drawLap(c, shape); break;
  }
  return c;
}

}  // namespace kelvo::tools
