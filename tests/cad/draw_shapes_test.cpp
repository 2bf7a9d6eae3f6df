// Arrowhead blocks, the leader label, the sign glyphs and the shelf layout, against the worked
// examples, to 1e-9.
#include "tests/cad/draw_test_support.h"

#include <numbers>

namespace kelvo::cad::test {
namespace {

constexpr double kPi = std::numbers::pi;

struct Expected {
  const char* kind;
  std::vector<std::vector<double>> points;  // point arguments in order (polyline: one flat list)
  std::vector<double> numbers;              // other numeric arguments in order
};

void expectEntities(const std::vector<std::shared_ptr<FakeEntity>>& got, const std::vector<Expected>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    const std::string what = "entity " + std::to_string(i) + " " + want[i].kind;
    EXPECT_EQ(got[i]->kind, want[i].kind) << what;
    std::size_t p = 0, n = 0;
    for (const Variant& a : got[i]->args) {
      if (const auto* v = std::get_if<std::vector<double>>(&a)) {
        ASSERT_LT(p, want[i].points.size()) << what;
        expectNear(*v, want[i].points[p++], what);
      } else if (const auto* d = std::get_if<double>(&a)) {
        ASSERT_LT(n, want[i].numbers.size()) << what;
        EXPECT_NEAR(*d, want[i].numbers[n++], 1e-9) << what;
      }
    }
    EXPECT_EQ(p, want[i].points.size()) << what;
    EXPECT_EQ(n, want[i].numbers.size()) << what;
  }
}

std::vector<double> editPoint(const FakeEntity& e, const char* member) {
  for (const auto& [m, args] : e.edits)
    if (m == member) return toDoubles(args.at(0));
  ADD_FAILURE() << "no " << member;
  return {};
}

class ShapeTest : public DrawTest {
 protected:
  // TextHeight 10 (u = 1), TextGap 2, LeaderPoint (100, 50), a weld block to draw into.
  void context(Side side = Side::Front, std::uint8_t znak1 = 0, std::uint8_t znak2 = 0) {
    draw.Begin(input({}, side, true, znak1, znak2));
    draw.Start_ACAD();
    draw.LeaderPoint = {100, 50, 0};
    host->blocks.clear();
    draw.WeldBlock = draw.AcadDoc.Blocks().Add({100, 50, 0}, "Weld_test");
  }
  std::vector<std::shared_ptr<FakeEntity>> drawn() { return host->block("Weld_test")->entities; }
};

TEST_F(ShapeTest, BendSigns) {
  const std::pair<int, std::vector<Expected>> cases[] = {
      {3, {{"Circle", {{100, 50, 0}}, {4}}, {"PolyLine", {{100, 50, 0, 100, 60, 0, 95, 60, 0}}, {}}}},
      {1, {{"Circle", {{100, 50, 0}}, {4}}}},
      {2, {{"PolyLine", {{100, 50, 0, 100, 60, 0, 95, 60, 0}}, {}}}},
      {0, {}},
      {7, {{"PolyLine", {{100, 50, 0, 100, 60, 0, 95, 60, 0}}, {}}}},
  };
  for (const auto& [znak1, want] : cases) {
    host->blocks.clear();
    pick(0, 0);
    pick(100, 50);
    pick(0, 0);
    // Through the whole command so that the routine reads the designation's Znak1.
    draw.AcadDrawWeld(input({nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "R"},
                            Side::Front, true, static_cast<std::uint8_t>(znak1)));
    auto e = weldEntities();
    e.resize(want.size());
    expectEntities(e, want);
  }
}

// The glyphs at the anchors of the table: drawn through a shelf that holds only the sign.
TEST_F(ShapeTest, AuxiliarySigns) {
  struct Case {
    int znak2;
    Side side;
    std::vector<Expected> want;
    double grows;
  };
  const Case cases[] = {
      {1, Side::Front, {{"Line", {{10, 0, 0}, {26, 0, 0}}, {}}, {"Circle", {{18, 5, 0}}, {5}}}, 19},
      {1, Side::Back, {{"Line", {{10, 10, 0}, {26, 10, 0}}, {}}, {"Circle", {{18, 5, 0}}, {5}}}, 19},
      {2, Side::Front,
       {{"Line", {{10, 0, 0}, {43, 0, 0}}, {}}, {"Arc", {{19, 7.5, 0}}, {7.5, kPi, 0}}, {"Arc", {{34, 7.5, 0}}, {7.5, kPi, 0}}},
       36},
      {2, Side::Back,
       {{"Line", {{10, 10, 0}, {43, 10, 0}}, {}}, {"Arc", {{19, 2.5, 0}}, {7.5, 0, kPi}}, {"Arc", {{34, 2.5, 0}}, {7.5, 0, kPi}}},
       36},
      {3, Side::Front, {{"PolyLine", {{10, 0, 0, 27, 0, 0, 27, 10, 0, 10, 10, 0}}, {}}}, 20},
      {3, Side::Back, {{"PolyLine", {{10, 0, 0, 27, 0, 0, 27, 10, 0, 10, 10, 0}}, {}}}, 20},
      {0, Side::Front, {}, 0},
      {4, Side::Front, {}, 0},
  };
  for (const auto& c : cases) {
    context(c.side, 0, static_cast<std::uint8_t>(c.znak2));
    draw.WorkPoint1 = {10, 0, 0};
    draw.ShelfLength = 1;
    draw.DrawAuxSign();
    expectEntities(drawn(), c.want);
    EXPECT_NEAR(draw.ShelfLength, 1 + c.grows, 1e-9) << c.znak2;
  }
}

TEST_F(ShapeTest, RoughMarksAndLegTriangle) {
  context();
  draw.WorkPoint1 = {180, 50, 0};
  draw.DrawRoughMark(true);
  draw.DrawRoughMark(false);
  draw.WorkPoint1 = {135, 52, 0};
  draw.DrawLegTriangle();
  expectEntities(drawn(), {{"PolyLine", {{174.2265, 60, 0, 180, 50, 0, 191.547, 70, 0}}, {}},
                           {"PolyLine", {{185.7735, 40, 0, 180, 50, 0, 168.453, 30, 0}}, {}},
                           {"PolyLine", {{135, 52, 0, 135, 62, 0, 142, 52, 0, 135, 52, 0}}, {}}});
}

TEST_F(DrawTest, ArrowBlocks) {
  struct Case {
    bool haveLeft, haveRight, arrowLeft;
    const char* defined;  // nullptr: none
  };
  const Case cases[] = {{false, false, true, "KelvoL"}, {false, false, false, "KelvoR"},
                        {true, false, false, "KelvoR"}, {true, true, true, nullptr},
                        {true, true, false, nullptr},   {false, true, true, "KelvoL"}};
  for (const auto& c : cases) {
    host->blocks.clear();
    if (c.haveLeft) host->blocks.push_back(std::make_shared<FakeBlock>(FakeBlock{"KelvoL", {9, 9, 9}, {}}));
    if (c.haveRight) host->blocks.push_back(std::make_shared<FakeBlock>(FakeBlock{"KelvoR", {9, 9, 9}, {}}));
    draw.Start_ACAD();
    DrawInput in = input({}, Side::Front, c.arrowLeft);
    pick(0, 0);
    pick(10, 10);
    draw.AcadDrawWeld(in);
    const std::size_t before = host->blocks.size();
    host->calls.clear();
    draw.EnsureArrowBlock();
    std::size_t adds = 0;
    for (const auto& call : host->calls) adds += call.member == "Add" || call.member.starts_with("Add");
    if (!c.defined) {
      EXPECT_EQ(adds, 0u);
      EXPECT_EQ(host->blocks.size(), before);
      continue;
    }
    const auto b = host->block(c.defined);
    ASSERT_NE(b, nullptr);
    if ((std::string(c.defined) == "KelvoL" && c.haveLeft) || (std::string(c.defined) == "KelvoR" && c.haveRight)) continue;
    const double barb = std::string(c.defined) == "KelvoL" ? -0.2465 : 0.2465;
    expectNear(b->base, {1, 0, 0}, "base point");
    // The third corner repeated: a SOLID's outline runs 1-2-4-3, so this fills the triangle.
    expectEntities(b->entities, {{"Solid", {{1, 0, 0}, {0, barb, 0}, {0.3264, 0, 0}, {0.3264, 0, 0}}, {}},
                                 {"Line", {{1, 0, 0}, {0, 0, 0}}, {}}});
    const char* other = std::string(c.defined) == "KelvoL" ? "KelvoR" : "KelvoL";
    EXPECT_EQ(host->block(other) != nullptr, std::string(other) == "KelvoL" ? c.haveLeft : c.haveRight);
  }
}

TEST_F(DrawTest, LeaderLabel) {
  host->variables["DIMASZ"] = 5.0;
  host->variables["DIMGAP"] = 1.0;
  host->textWidth = [](const std::string&) { return 20.0; };
  struct Case {
    double bendX;
    std::vector<double> bend;
    const char* placement;  // "TextAlignmentPoint" or "Move"
    std::vector<double> at;
    double rotation;
  };
  const Case cases[] = {{10, {39, 0, 0}, "TextAlignmentPoint", {34, 1, 0}, 0},
                        {-10, {-39, 0, 0}, "Move", {-31.5, 1, 0}, 2 * kPi}};
  for (const auto& c : cases) {
    host->modelSpace->entities.clear();
    pick(0, 0);
    pick(c.bendX, 0);
    pick(0, 0);
    draw.AcadDrawWeld(input({"3", "5", "G"}));
    expectNear(std::vector<double>(draw.LeaderPoint.begin(), draw.LeaderPoint.end()), c.bend, "bend");
    const auto label = host->modelSpace->entities[1];
    ASSERT_EQ(label->kind, "Text");
    EXPECT_EQ(toText(arg(*label, 0)), "3N%%d5");
    if (std::string(c.placement) == "Move") {
      ASSERT_EQ(label->edits[0].first, "Move");
      expectNear(toDoubles(label->edits[0].second.at(1)), c.at, "moved to");
    } else {
      EXPECT_EQ(label->edits[0].first, "Alignment");
      EXPECT_EQ(std::get<std::int32_t>(label->edits[0].second.at(0)), 2);
      expectNear(editPoint(*label, "TextAlignmentPoint"), c.at, "aligned at");
    }
    const auto& rotate = label->edits.back();
    ASSERT_EQ(rotate.first, "Rotate");
    expectNear(toDoubles(rotate.second.at(0)), c.at, "rotated about");
    EXPECT_NEAR(toDouble(rotate.second.at(1)), c.rotation, 1e-9);
  }
  // The count alone has no number type; the number alone has it in front.
  pick(0, 0);
  pick(100, 0);
  pick(0, 0);
  host->modelSpace->entities.clear();
  draw.AcadDrawWeld(input({"3", "", "G"}));
  EXPECT_EQ(toText(arg(*host->modelSpace->entities.at(1), 0)), "3");
  EXPECT_NEAR(draw.LeaderPoint[0], 100, 1e-12);  // longer than needed: left as picked
}

// The worked example: TextHeight 10, TextGap 2, LeaderPoint (100, 50), Znak2 1, texts 30, 7, 12.
TEST_F(DrawTest, ShelfWorkedExample) {
  host->variables["DIMASZ"] = 1.0;
  host->textWidth = [](const std::string& s) { return s == "STD" ? 30.0 : s == "LEG" ? 7.0 : 12.0; };
  const DrawInput in = input({nullptr, nullptr, "STD", nullptr, nullptr, "LEG", nullptr, "RGH"}, Side::Front, true, 0, 1);
  pick(0, 0);
  pick(100, 50);
  pick(0, 0);
  draw.AcadDrawWeld(in);
  auto e = weldEntities();
  expectEntities(e, {{"Text", {{103, 52, 0}}, {10}},
                     {"PolyLine", {{135, 52, 0, 135, 62, 0, 142, 52, 0, 135, 52, 0}}, {}},
                     {"Text", {{144, 52, 0}}, {10}},
                     {"Line", {{154, 52, 0}, {170, 52, 0}}, {}},
                     {"Circle", {{162, 57, 0}}, {5}},
                     {"Text", {{172, 64, 0}}, {10}},
                     {"PolyLine", {{174.2265, 60, 0, 180, 50, 0, 191.547, 70, 0}}, {}},
                     {"Line", {{100, 50, 0}, {191.5, 50, 0}}, {}}});
  EXPECT_NEAR(draw.ShelfLength, 89.5, 1e-9);

  pick(200, 0);
  pick(100, 50);
  pick(0, 0);
  draw.AcadDrawWeld(in);
  for (const auto& b : host->blocks)
    if (b->name == draw.BlockName) e = b->entities;
  expectEntities(e, {{"PolyLine", {{85.453 - 5.7735, 60, 0, 85.453, 50, 0, 85.453 + 11.547, 70, 0}}, {}},
                     {"Text", {{85.453, 50, 0}}, {10}},
                     {"Line", {{58.5, 52, 0}, {74.5, 52, 0}}, {}},
                     {"Circle", {{66.5, 57, 0}}, {5}},
                     {"Text", {{58.5, 52, 0}}, {10}},
                     {"PolyLine", {{39.5, 52, 0, 39.5, 62, 0, 46.5, 52, 0, 39.5, 52, 0}}, {}},
                     {"Text", {{39.5, 52, 0}}, {10}},
                     {"Line", {{100, 50, 0}, {4.5, 50, 0}}, {}}});
  expectNear(editPoint(*e[1], "TextAlignmentPoint"), {89.453, 64, 0}, "roughness right end");
  expectNear(editPoint(*e[4], "TextAlignmentPoint"), {55.5, 52, 0}, "leg right end");
  expectNear(editPoint(*e[6], "TextAlignmentPoint"), {37.5, 52, 0}, "standard right end");
  EXPECT_EQ(e[6]->edits[0].first, "VerticalAlignment");
  EXPECT_EQ(e[6]->edits[1].first, "HorizontalAlignment");
  EXPECT_NEAR(draw.ShelfLength, 93.5, 1e-9);
}

TEST_F(DrawTest, CompositeStandardTextAndBackSide) {
  host->variables["DIMASZ"] = 1.0;
  const std::tuple<std::array<const char*, 8>, const char*> cases[] = {
      {{nullptr, nullptr, "G", "T", nullptr, "5"}, "G-T"},
      {{nullptr, nullptr, "G", "T", "M", "5"}, "G-T-M-"},
      {{nullptr, nullptr, "G", "T", "M"}, "G-T-M"},
      {{nullptr, nullptr, "G", nullptr, "M", "5"}, "G"},
  };
  for (const auto& [fields, label] : cases) {
    pick(0, 0);
    pick(100, 50);
    pick(0, 0);
    draw.AcadDrawWeld(input(fields, Side::Back));
    EXPECT_EQ(draw.LabelText, label);
    for (const auto& b : host->blocks)
      if (b->name == draw.BlockName) expectNear(xyz(arg(*b->entities[0], 1)), {103, 50 - 3 - 10, 0}, "back baseline");
  }
}

}  // namespace
}  // namespace kelvo::cad::test
