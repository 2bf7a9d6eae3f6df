// Corner and tee joints (a part standing on another, a branch on a pipe) and lap joints.
#include "tools/catalog/joint_sketch.h"

#include <cmath>
#include <numbers>

namespace kelvo::tools::upright {

namespace {

// A part standing on another: its faces at x0 and x1, its foot on the other's top at kFoot.
struct Stand {
  double x0, x1;
};
constexpr double kTopEnd = 8, kFoot = 46, kBase = 56, kPipeAxis = 63;

// The cut of the standing part's foot on the x0 side, from its face down to the foot; the other
// side is its mirror. A single point: the foot is square there.
std::vector<Pt> cut(const JointShape& s, const Stand& st, bool doubled) {
  const double x = st.x0;
  switch (s.prep) {
    case EdgePrep::Bevel:
    case EdgePrep::DoubleBevel:
      if (doubled && s.asymmetric) return {{x, kFoot - 8}, {x + 5, kFoot}};
      return doubled ? std::vector<Pt>{{x, kFoot - 6}, {x + 4, kFoot}} : std::vector<Pt>{{x, kFoot - 8}, {x + 6, kFoot}};
    case EdgePrep::Broken:
    case EdgePrep::DoubleBroken:
      return {{x, kFoot - 8}, {x + 3, kFoot - 5}, {x + 5, kFoot}};
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

std::vector<Pt> mirrored(const std::vector<Pt>& pts, const Stand& st, double depth = 1) {
  std::vector<Pt> m;
  for (const Pt& p : pts) m.push_back({st.x0 + st.x1 - p.x, kFoot - (kFoot - p.y) * depth});
  return m;
}

// The inner side's cut: a mirror of the outer one, shallower when the two are unequal.
std::vector<Pt> innerCut(const JointShape& s, const Stand& st, const std::vector<Pt>& outer) {
  if (!cutTwice(s.prep)) return {{st.x1, kFoot}};
  return mirrored(outer, st, s.asymmetric ? 0.5 : 1);
}

// The standing part, from its top end down to its cut foot.
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

void backingUnder(Canvas& c, Backing b, double x) {
  if (b == Backing::Strip) c.hatch(x, kFoot - 7, x + 10, kFoot);
  if (b == Backing::Removable) c.part({{x + 1, kFoot - 7}, {x + 11, kFoot - 7}, {x + 11, kFoot}, {x + 1, kFoot}});
}

bool isPipe(Arrangement a) { return a != Arrangement::Plates; }

// A branch standing on a pipe: the main pipe's wall below, the branch's axis beside its wall.
void drawBranch(Canvas& c, const JointShape& s) {
  const Stand st = s.arrangement == Arrangement::EqualBranch ? Stand{44, 54} : Stand{46, 52};
  const auto outer = cut(s, st, cutTwice(s.prep));
  const auto inner = innerCut(s, st, outer);
  c.axis({{4, kPipeAxis}, {100, kPipeAxis}});
  c.axis({{st.x1 + 26, 4}, {st.x1 + 26, kFoot - 2}});
  if (s.backing == Backing::Spigot) {  // the branch's lip goes down through the hole in the wall
    c.part({{6, kFoot}, {st.x0 - 1, kFoot}, {st.x0 - 1, kBase}, {6, kBase}});
    c.part({{st.x1 + 1, kFoot}, {98, kFoot}, {98, kBase}, {st.x1 + 1, kBase}});
    c.part({{st.x0 + 2, kFoot}, {st.x1, kFoot}, {st.x1, kBase - 2}, {st.x0 + 2, kBase - 2}});
  } else {
    c.part({{6, kFoot}, {98, kFoot}, {98, kBase}, {6, kBase}});
  }
  drawStand(c, st, outer, inner);
  backingUnder(c, s.backing, st.x1);
  fillet(c, outer, -7);
  if (s.twoSided || cutTwice(s.prep)) fillet(c, inner, 7);
}

}  // namespace

void drawCorner(Canvas& c, const JointShape& s) {
  if (s.arrangement == Arrangement::Branch || s.arrangement == Arrangement::EqualBranch) {
    drawBranch(c, s);
    return;
  }
  // A flange or ring is thicker than the pipe it sits on.
  const Stand st = s.arrangement == Arrangement::FlangeOnPipe ? Stand{14, 30} : Stand{14, 24};
  const bool dbl = cutTwice(s.prep);
  const auto outer = cut(s, st, dbl);
  const auto inner = innerCut(s, st, outer);
  const bool flanged = s.prep == EdgePrep::FlangedOne || s.prep == EdgePrep::FlangedBoth;
  if (isPipe(s.arrangement)) c.axis({{4, kPipeAxis}, {100, kPipeAxis}});
  // "кромок": the lying part's end is cut too, the two cuts making one groove.
  const bool baseCut = !s.onePart && !flanged && s.prep != EdgePrep::Square && s.prep != EdgePrep::NotGiven;
  const double below = baseCut ? 6 : 0;
  if (flanged) c.part({{7, 28}, {12, 28}, {12, kFoot}, {94, kFoot}, {94, kBase}, {7, kBase}});
  else if (baseCut) c.part({{st.x0 + 6, kFoot}, {94, kFoot}, {94, kBase}, {st.x0, kBase}, {st.x0, kFoot + below}});
  else c.part({{st.x0, kFoot}, {94, kFoot}, {94, kBase}, {st.x0, kBase}});
  drawStand(c, st, outer, inner);
  if (s.backing == Backing::Flare)  // the pipe's end spread and rolled against the flange's bore
    c.part({{st.x1, kFoot}, {st.x1, kFoot - 7}, {st.x1 + 2, kFoot - 7}, {st.x1 + 7, kFoot}});
  backingUnder(c, s.backing, st.x1);
  std::vector<Pt> w;
  if (flanged) {
    bow(w, 6, 15, 28, -5);
  } else {
    w.push_back({st.x0, outer.front().y - (outer.size() > 1 ? 2 : 8)});
    w.insert(w.end(), outer.begin(), outer.end());
    if (baseCut) w.push_back({st.x0 + 6, kFoot});
    w.push_back({st.x0, kFoot + below});
    bowUpright(w, st.x0, kFoot + 4 + below, w.front().y, -5);
  }
  c.weld(w);
  if (s.twoSided || dbl) fillet(c, inner, 7);
}

void drawTee(Canvas& c, const JointShape& s) {
  const Stand st{47, 57};
  const auto outer = cut(s, st, cutTwice(s.prep));
  const auto inner = innerCut(s, st, outer);
  c.part({{6, kFoot}, {98, kFoot}, {98, kBase}, {6, kBase}});
  drawStand(c, st, outer, inner);
  backingUnder(c, s.backing, st.x1);
  fillet(c, outer, -7);
  if (s.twoSided || cutTwice(s.prep)) fillet(c, inner, 7);
}

void drawLap(Canvas& c, const JointShape& s) {
  if (isPipe(s.arrangement)) c.axis({{4, 60}, {100, 60}});
  switch (s.arrangement) {
    case Arrangement::ExpandedEnd:  // the right pipe's end widened over the left one
      c.part({{6, 40}, {58, 40}, {58, 48}, {6, 48}});
      c.part({{36, 32}, {62, 32}, {70, 40}, {98, 40}, {98, 48}, {68, 48}, {60, 40}, {36, 40}});
      c.weld({{36, 32}, {36, 40}, {28, 40}});
      return;
    case Arrangement::Sleeve:  // two pipes end to end, a sleeve over both
      c.part({{6, 40}, {50, 40}, {50, 48}, {6, 48}});
      c.part({{54, 40}, {98, 40}, {98, 48}, {54, 48}});
      c.part({{30, 32}, {74, 32}, {74, 40}, {30, 40}});
      c.weld({{30, 32}, {30, 40}, {22, 40}});
      if (s.doubleWeld || s.twoSided) c.weld({{74, 32}, {74, 40}, {82, 40}});
      return;
    default:
      c.part({{6, 40}, {66, 40}, {66, 48}, {6, 48}});
      c.part({{36, 32}, {98, 32}, {98, 40}, {36, 40}});
      c.weld({{36, 32}, {36, 40}, {28, 40}});
      if (s.twoSided) c.weld({{66, 40}, {74, 40}, {66, 48}});
  }
}

}  // namespace kelvo::tools::upright
