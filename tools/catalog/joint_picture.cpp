#include "tools/catalog/joint_picture.h"

#include "platform/codepage.h"

#include <cmath>
#include <numbers>

namespace kelvo::tools {

using namespace kelvo::literals;

namespace {

bool has(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::optional<JointFamily> familyOf(std::string_view type) {
  if (type == "Стыковое"_w) return JointFamily::Butt;
  if (type == "Угловое"_w) return JointFamily::Corner;
  if (type == "Тавровое"_w) return JointFamily::Tee;
  if (type == "Нахлесточное"_w) return JointFamily::Lap;
  return std::nullopt;
}

// The edge form and whether it is cut on one part only; nothing for a form not known here.
std::optional<std::pair<EdgePrep, bool>> prepOf(std::string_view edges) {
  const bool one = has(edges, "одной кромки"_w);
  const bool twice = has(edges, "двумя"_w);
  if (edges.empty()) return std::pair{EdgePrep::NotGiven, false};
  if (has(edges, "отбортовк"_w)) return std::pair{one ? EdgePrep::FlangedOne : EdgePrep::FlangedBoth, one};
  if (has(edges, "Без скоса"_w)) return std::pair{EdgePrep::Square, false};
  if (has(edges, "криволинейн"_w)) return std::pair{twice ? EdgePrep::DoubleCurved : EdgePrep::Curved, one};
  if (has(edges, "скос"_w)) return std::pair{twice ? EdgePrep::DoubleBevel : EdgePrep::Bevel, one};
  return std::nullopt;
}

// Points from (x0, y) to (x1, y), bowed by `bulge` at the middle (negative: upwards).
void bow(std::vector<Pt>& out, double x0, double x1, double y, double bulge) {
  for (int i = 0; i <= 8; ++i) {
    const double t = i / 8.0;
    out.push_back({x0 + t * (x1 - x0), y + bulge * 4 * t * (1 - t)});
  }
}

// The same upright: from (x, y0) to (x, y1), bowed sideways.
void bowUpright(std::vector<Pt>& out, double x, double y0, double y1, double bulge) {
  for (int i = 0; i <= 8; ++i) {
    const double t = i / 8.0;
    out.push_back({x + bulge * 4 * t * (1 - t), y0 + t * (y1 - y0)});
  }
}

// The round root of a J or U groove: a quarter circle from the groove's side, `r` from the
// root face, down to the root face at (g, floor); `flip` mirrors it about that height.
void roundRoot(std::vector<Pt>& out, double g, double floor, double r, bool flip) {
  for (int i = 0; i <= 6; ++i) {
    const double a = i * std::numbers::pi / 12;
    const double y = r * std::sin(flip ? std::numbers::pi / 2 - a : a);
    out.push_back({g + r * std::cos(flip ? std::numbers::pi / 2 - a : a), flip ? floor + r - y : floor - r + y});
  }
}

}  // namespace

std::optional<JointShape> shapeOf(std::string_view type, std::string_view edges, std::string_view character) {
  const auto family = familyOf(type);
  const auto prep = prepOf(edges);
  if (!family || !prep) return std::nullopt;
  JointShape s;
  s.family = *family;
  s.prep = prep->first;
  s.onePart = prep->second;
  s.twoSided = has(character, "Двусторон"_w) || has(character, "двусторон"_w);
  if (has(character, "одкладк"_w)) s.backing = Backing::Strip;
  if (has(character, "амков"_w)) s.backing = Backing::Lock;
  return s;
}

namespace butt {

constexpr double kCx = 52, kTop = 26, kBottom = 40, kGap = 1.5;

// A part's edge from its top face to its bottom face: each point's distance from the joint's
// centre line, and its height.
std::vector<Pt> edge(const JointShape& s, bool prepared) {
  const double g = kGap, mid = (kTop + kBottom) / 2;
  std::vector<Pt> e;
  switch (prepared ? s.prep : EdgePrep::Square) {
    case EdgePrep::Bevel:
      return {{g + (s.onePart ? 10 : 7), kTop}, {g, kBottom - 3}, {g, kBottom}};
    case EdgePrep::DoubleBevel:
      return {{g + (s.onePart ? 8 : 6), kTop}, {g, mid - 1}, {g, mid + 1}, {g + (s.onePart ? 8 : 6), kBottom}};
    case EdgePrep::Curved:
      e.push_back({g + (s.onePart ? 9 : 7), kTop});
      roundRoot(e, g, kBottom - 3, 4, false);
      e.push_back({g, kBottom});
      return e;
    case EdgePrep::DoubleCurved:
      e.push_back({g + (s.onePart ? 8 : 6), kTop});
      roundRoot(e, g, mid - 1, 3, false);
      roundRoot(e, g, mid + 1, 3, true);
      e.push_back({g + (s.onePart ? 8 : 6), kBottom});
      return e;
    default:
      return {{g, kTop}, {g, kBottom}};
  }
}

void drawParts(Canvas& c, const std::vector<Pt>& left, const std::vector<Pt>& right, Backing backing) {
  std::vector<Pt> l{{6, kTop}}, r{{98, kTop}};
  for (const Pt& p : left) l.push_back({kCx - p.x, p.y});
  for (const Pt& p : right) r.push_back({kCx + p.x, p.y});
  l.push_back({6, kBottom});
  if (backing == Backing::Lock)  // the right part's lip carries the left one
    for (Pt p : {Pt{kCx - 10, kBottom}, Pt{kCx - 10, kBottom + 4}, Pt{kCx + 14, kBottom + 4}, Pt{kCx + 18, kBottom}})
      r.push_back(p);
  r.push_back({98, kBottom});
  c.part(l);
  c.part(r);
  if (backing == Backing::Strip) c.hatch(kCx - 15, kBottom, kCx + 15, kBottom + 6);
}

void drawWeld(Canvas& c, const JointShape& s, const std::vector<Pt>& left, const std::vector<Pt>& right) {
  const bool bottomCap = s.twoSided || s.prep == EdgePrep::DoubleBevel || s.prep == EdgePrep::DoubleCurved;
  std::vector<Pt> w;
  bow(w, kCx - left.front().x - 2, kCx + right.front().x + 2, kTop, -4);
  for (const Pt& p : right) w.push_back({kCx + p.x, p.y});
  if (bottomCap) bow(w, kCx + right.back().x + 2, kCx - left.back().x - 2, kBottom, 3);
  else if (s.backing == Backing::None) bow(w, kCx + right.back().x, kCx - left.back().x, kBottom, 2);
  for (auto it = left.rbegin(); it != left.rend(); ++it) w.push_back({kCx - it->x, it->y});
  c.weld(w);
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
  drawParts(c, square, square, s.backing);
  c.fill({{kCx - 5, kTop - 3}, {kCx + 5, kTop - 3}, {kCx + 5, kBottom + 2}, {kCx - 5, kBottom + 2}}, kZoneGrey);
  c.outline({{kCx - 5, kTop - 3}, {kCx + 5, kTop - 3}, {kCx + 5, kBottom + 2}, {kCx - 5, kBottom + 2}});
}

void draw(Canvas& c, const JointShape& s) {
  if (s.prep == EdgePrep::NotGiven) {
    drawNotGiven(c, s);
    return;
  }
  if (s.prep == EdgePrep::FlangedOne || s.prep == EdgePrep::FlangedBoth) {
    drawFlanged(c, s.prep == EdgePrep::FlangedBoth);
    return;
  }
  const auto left = edge(s, true), right = edge(s, !s.onePart);
  drawParts(c, left, right, s.backing);
  drawWeld(c, s, left, right);
}

}  // namespace butt

namespace upright {

// A plate standing on another: its faces at x0 and x1, its foot on the other's top at kFoot.
struct Stand {
  double x0, x1;
};
constexpr double kTopEnd = 8, kFoot = 46, kBase = 56;

// The cut of the standing plate's foot on the x0 side, from its face down to the foot; the
// other side is its mirror. A single point: the foot is square there.
std::vector<Pt> cut(const JointShape& s, const Stand& st, bool doubled) {
  const double x = st.x0;
  switch (s.prep) {
    case EdgePrep::Bevel:
    case EdgePrep::DoubleBevel:
      return doubled ? std::vector<Pt>{{x, kFoot - 6}, {x + 4, kFoot}} : std::vector<Pt>{{x, kFoot - 8}, {x + 6, kFoot}};
    case EdgePrep::Curved:
    case EdgePrep::DoubleCurved: {
      std::vector<Pt> e;
      const double r = doubled ? 4.5 : 7;
      for (int i = 0; i <= 6; ++i) {
        const double a = i * std::numbers::pi / 12;
        e.push_back({x + r * std::sin(a), kFoot - r * std::cos(a)});
      }
      return e;
    }
    default:
      return {{x, kFoot}};
  }
}

std::vector<Pt> mirrored(const std::vector<Pt>& pts, const Stand& st) {
  std::vector<Pt> m;
  for (const Pt& p : pts) m.push_back({st.x0 + st.x1 - p.x, p.y});
  return m;
}

bool doubleCut(const JointShape& s) { return s.prep == EdgePrep::DoubleBevel || s.prep == EdgePrep::DoubleCurved; }

void drawStand(Canvas& c, const Stand& st, const std::vector<Pt>& outer, const std::vector<Pt>& inner) {
  std::vector<Pt> p{{st.x0, kTopEnd}, {st.x1, kTopEnd}};
  p.insert(p.end(), inner.begin(), inner.end());
  p.insert(p.end(), outer.rbegin(), outer.rend());
  c.part(p);
}

// A fillet or a filled cut beside the foot, reaching `reach` along the base (negative: leftwards).
void fillet(Canvas& c, const std::vector<Pt>& cutPts, double reach) {
  const Pt face = cutPts.front();
  std::vector<Pt> w{{face.x, face.y - (cutPts.size() > 1 ? 2 : 7)}};
  w.insert(w.end(), cutPts.begin(), cutPts.end());
  w.push_back({face.x + reach, kFoot});
  c.weld(w);
}

void drawCorner(Canvas& c, const JointShape& s) {
  const Stand st{14, 24};
  const bool dbl = doubleCut(s);
  const auto outer = cut(s, st, dbl), inner = dbl ? mirrored(cut(s, st, dbl), st) : std::vector<Pt>{{st.x1, kFoot}};
  const bool flanged = s.prep == EdgePrep::FlangedOne || s.prep == EdgePrep::FlangedBoth;
  if (flanged) c.part({{7, 28}, {12, 28}, {12, kFoot}, {94, kFoot}, {94, kBase}, {7, kBase}});
  else c.part({{st.x0, kFoot}, {94, kFoot}, {94, kBase}, {st.x0, kBase}});
  drawStand(c, st, outer, inner);
  if (s.backing == Backing::Strip) c.hatch(st.x1, kFoot - 7, st.x1 + 10, kFoot);
  std::vector<Pt> w;
  if (flanged) {
    bow(w, 6, 15, 28, -5);
  } else {
    w.push_back({st.x0, outer.front().y - (outer.size() > 1 ? 2 : 8)});
    w.insert(w.end(), outer.begin(), outer.end());
    w.push_back({st.x0, kFoot});
    bowUpright(w, st.x0, kFoot + 4, w.front().y, -5);
  }
  c.weld(w);
  if (s.twoSided || dbl) fillet(c, inner, 7);
}

void drawTee(Canvas& c, const JointShape& s) {
  const Stand st{47, 57};
  const bool dbl = doubleCut(s);
  const auto outer = cut(s, st, dbl);
  const auto inner = dbl ? mirrored(outer, st) : std::vector<Pt>{{st.x1, kFoot}};
  c.part({{6, kFoot}, {98, kFoot}, {98, kBase}, {6, kBase}});
  drawStand(c, st, outer, inner);
  if (s.backing == Backing::Strip) c.hatch(st.x1, kFoot - 7, st.x1 + 10, kFoot);
  fillet(c, outer, -7);
  if (s.twoSided || dbl) fillet(c, inner, 7);
}

}  // namespace upright

namespace {

void drawLap(Canvas& c, const JointShape& s) {
  c.part({{6, 40}, {66, 40}, {66, 48}, {6, 48}});
  c.part({{36, 32}, {98, 32}, {98, 40}, {36, 40}});
  c.weld({{36, 32}, {36, 40}, {28, 40}});
  if (s.twoSided) c.weld({{66, 40}, {74, 40}, {66, 48}});
}

}  // namespace

Canvas drawJoint(const JointShape& shape) {
  Canvas c(kPictureWidth, kPictureHeight);
  switch (shape.family) {
    case JointFamily::Butt: butt::draw(c, shape); break;
    case JointFamily::Corner: upright::drawCorner(c, shape); break;
    case JointFamily::Tee: upright::drawTee(c, shape); break;
    case JointFamily::Lap: drawLap(c, shape); break;
  }
  return c;
}

}  // namespace kelvo::tools
