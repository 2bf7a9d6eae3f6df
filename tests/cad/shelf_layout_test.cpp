// Worked examples of the shelf layout for sets of shelf signs and for the chain and staggered
// signs, computed by hand from the layout rules: TextHeight 10 (u = 1), TextGap 2, the bend at
// (100, 50), every character 5 wide. Baselines: 52 on the front side, 37 on the back side.
#include "cad/shelf_layout.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace kelvo::cad::shelf {
namespace {

std::string num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.4f", v);
  std::string s = b;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}
std::string pt(const Point& p) { return num(p[0]) + "," + num(p[1]); }

class Recorder : public Sink {
 public:
  std::vector<std::string> items;
  Box text(const Text& t) override {
    items.push_back("text " + t.text + " at " + pt(t.at) + (t.rightEnd ? " right " + pt(*t.rightEnd) : ""));
    const double w = 5.0 * static_cast<double>(t.text.size());
    return {t.at, {t.at[0] + w, t.at[1] + 10, 0}};
  }
  void shape(const Shape& s) override {
    if (const auto* l = std::get_if<Line>(&s)) items.push_back("line " + pt(l->from) + " " + pt(l->to));
    if (const auto* c = std::get_if<Circle>(&s)) items.push_back("circle " + pt(c->centre) + " r" + num(c->radius));
    if (const auto* a = std::get_if<Arc>(&s))
      items.push_back("arc " + pt(a->centre) + " r" + num(a->radius) + " " + num(a->start) + ".." + num(a->end));
    if (const auto* p = std::get_if<Polyline>(&s)) {
      std::string line = "poly";
      for (const Point& v : p->vertices) line += " " + pt(v);
      items.push_back(line);
    }
  }
};

struct Example {
  const char* name;
  Side side;
  bool toRight;
  std::vector<std::uint8_t> signs;
  const char* standard;
  const char* joint;
  const char* leg;
  const char* field7;  // joined to the leg when there is one, else to the joint
  std::vector<std::string> want;
  double length;
};

Input inputOf(const Example& e) {
  Input in;
  in.standard = e.standard, in.joint = e.joint, in.leg = e.leg;
  in.shelfSigns = e.signs;
  in.side = e.side, in.toRight = e.toRight;
  in.sizes = {10, 2, 1};
  in.bend = {100, 50, 0};
  if (*e.field7) {
    std::string& carrier = *e.leg ? in.leg : in.joint;
    carrier += std::string("-") + e.field7;
    in.intermittent = readIntermittent(e.field7);
    in.intermittentText = e.field7;
    in.intermittentOnLeg = *e.leg != 0;
  }
  return in;
}

TEST(ShelfLayout, WorkedExamplesOfSignSetsAndIntermittentSigns) {
  const Example examples[] = {
      {"signs 1 and 3, front, to the right", Side::Front, true, {1, 3}, "GOST14", "", "", "",
       {"text GOST14 at 103,52", "line 136,52 152,52", "circle 144,57 r5",
        "poly 155,52 172,52 172,62 155,62", "line 100,50 174,50"},
       72},
      {"signs 1, 2 and 3, front, to the left", Side::Front, false, {1, 2, 3}, "GOST14", "", "", "",
       {"poly 79,52 96,52 96,62 79,62", "line 43,52 76,52", "arc 52,59.5 r7.5 3.1416..0",
        "arc 67,59.5 r7.5 3.1416..0", "line 24,52 40,52", "circle 32,57 r5", "text GOST14 at 24,52 right 22,52",
        "line 100,50 -8,50"},
       106},
      {"signs 1 and 3, back, to the right", Side::Back, true, {1, 3}, "GOST14", "", "", "",
       {"text GOST14 at 103,37", "line 136,47 152,47", "circle 144,42 r5",
        "poly 155,37 172,37 172,47 155,47", "line 100,50 174,50"},
       72},
      {"chain on the leg, front, to the right", Side::Front, true, {}, "", "", "5", "50/100",
       {"poly 105,52 105,62 112,52 105,52", "text 5-50 at 114,52", "line 136,52 141.7735,62",
        "text 100 at 143.7735,52", "line 100,50 160.7735,50"},
       58.7735},
      {"staggered on the standard, back, to the left", Side::Back, false, {}, "ST", "T3", "", "50Z100",
       {"text 100 at 99,37 right 97,37", "poly 74.2265,47 80,47 74.2265,37 80,37",
        "text ST-T3-50 at 99,37 right 72.2265,37", "line 100,50 32.2265,50"},
       65.7735},
      {"chain on the standard, back, to the right", Side::Back, true, {}, "ST", "T3", "", "50/100",
       {"text ST-T3-50 at 103,37", "line 145,37 150.7735,47", "text 100 at 152.7735,37",
        "line 100,50 169.7735,50"},
       67.7735},
      {"staggered on the leg, front, to the left", Side::Front, false, {}, "", "", "5", "50z100",
       {"text 100 at 99,52 right 96,52", "poly 73.2265,62 79,62 73.2265,52 79,52",
        "text 5-50 at 99,52 right 71.2265,52", "poly 42.2265,52 42.2265,62 49.2265,52 42.2265,52",
        "line 100,50 37.2265,50"},
       60.7735},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    Recorder r;
    const Result result = layout(inputOf(e), r);
    EXPECT_EQ(r.items, e.want);
    EXPECT_NEAR(result.length, e.length, 1e-4);
  }
}

}  // namespace
}  // namespace kelvo::cad::shelf
