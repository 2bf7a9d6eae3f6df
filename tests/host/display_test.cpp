// What the host shows of a drawing and where a pick snaps: drawings made by hand for each
// rule, and the tee joint an engineer draws.
#include "host/model/display.h"
#include "host/model/dxf_reader.h"
#include "host/model/snap.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kelvo::host {
namespace {

// A drawing of the given layer and linetype table entries and entities (tags as "code\nvalue").
Document drawing(const std::string& entities, const std::string& tables = "", const std::string& blocks = "") {
  return readDxf("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$DWGCODEPAGE\n3\nANSI_1251\n9\n$LTSCALE\n40\n2\n0\nENDSEC\n"
                 "0\nSECTION\n2\nTABLES\n" + tables + "0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n" + blocks +
                 "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n");
}

Picture shown(const Document& doc) { return pictureOf(doc, doc.blocks[0]); }

std::size_t count(const Picture& d, Shape::Type t) {
  return static_cast<std::size_t>(std::count_if(d.shapes.begin(), d.shapes.end(), [t](const Shape& s) { return s.type == t; }));
}

double distanceToSegment(P2 p, P2 a, P2 b) {
  const double dx = b[0] - a[0], dy = b[1] - a[1];
  const double t = std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

const std::string kLayers =
    "0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nOFF\n70\n0\n62\n-3\n0\nLAYER\n2\nFROZEN\n70\n1\n62\n4\n"
    "0\nLAYER\n2\nRED\n70\n0\n62\n1\n6\nDASH\n0\nENDTAB\n"
    "0\nTABLE\n2\nLTYPE\n0\nLTYPE\n2\nDASH\n73\n2\n40\n0.75\n49\n0.5\n74\n0\n49\n-0.25\n74\n0\n0\nENDTAB\n";
const std::string kBlock = "0\nBLOCK\n2\nB\n10\n0\n20\n0\n0\nLINE\n8\n0\n62\n0\n10\n0\n20\n0\n11\n1\n21\n0\n0\nENDBLK\n";

TEST(Picture, LayersColoursAndLinetypesAsACadProgramShowsThem) {
  struct Case {
    const char* what;
    std::string entities;
    std::size_t paths;
    std::uint32_t rgb;
  };
  const Case cases[] = {
      {"a layer turned off hides its entities", "0\nLINE\n8\nOFF\n10\n0\n20\n0\n11\n10\n21\n0\n", 0, 0},
      {"a frozen layer too", "0\nLINE\n8\nFROZEN\n10\n0\n20\n0\n11\n10\n21\n0\n", 0, 0},
      {"and the layer-0 entities of a block referenced on it", "0\nINSERT\n8\nFROZEN\n2\nB\n10\n0\n20\n0\n", 0, 0},
      {"by block takes the reference's colour", "0\nINSERT\n8\n0\n62\n3\n2\nB\n10\n0\n20\n0\n", 1, 0x00FF00},
      {"by layer the layer's; its linetype at LTSCALE 2 makes 1-long dashes 0.5 apart",
       "0\nLINE\n8\nRED\n10\n0\n20\n0\n11\n10\n21\n0\n", 7, 0xFF0000},
      {"an entity's own linetype scale multiplies", "0\nLINE\n8\nRED\n48\n2\n10\n0\n20\n0\n11\n10\n21\n0\n", 4, 0xFF0000},
      {"true colour before the index", "0\nLINE\n8\n0\n62\n1\n420\n1193046\n10\n0\n20\n0\n11\n10\n21\n0\n", 1, 0x123456},
      {"an invisible entity is not shown", "0\nLINE\n8\n0\n60\n1\n10\n0\n20\n0\n11\n10\n21\n0\n", 0, 0},
  };
  for (const Case& c : cases) {
    const Picture d = shown(drawing(c.entities, kLayers, kBlock));
    EXPECT_EQ(count(d, Shape::Type::Path), c.paths) << c.what;
    if (c.paths > 0) {
      EXPECT_EQ(d.shapes[0].rgb, c.rgb) << c.what;
    }
  }
}

TEST(Picture, CurvesOutlinesAndFillsFollowTheirTags) {
  // A closed polyline whose first segment bulges into a half circle below the chord.
  const Picture bulge = shown(drawing("0\nLWPOLYLINE\n8\n0\n90\n3\n70\n1\n10\n0\n20\n0\n42\n1\n10\n2\n20\n0\n10\n1\n20\n3\n"));
  ASSERT_EQ(bulge.shapes.size(), 1u);
  EXPECT_NEAR(bulge.min[1], -1, 1e-3);
  EXPECT_EQ(bulge.shapes[0].points.front(), bulge.shapes[0].points.back());
  // A 2D polyline's vertices up to SEQEND make one closed outline; a spline frame point is not drawn.
  const Picture old = shown(drawing("0\nPOLYLINE\n8\n0\n66\n1\n70\n1\n0\nVERTEX\n8\n0\n10\n0\n20\n0\n0\nVERTEX\n8\n0\n10\n5\n20\n0\n"
                                    "0\nVERTEX\n8\n0\n70\n16\n10\n50\n20\n50\n0\nVERTEX\n8\n0\n10\n5\n20\n5\n0\nSEQEND\n8\n0\n"
                                    "0\nLINE\n8\n0\n10\n0\n20\n9\n11\n1\n21\n9\n"));
  ASSERT_EQ(old.shapes.size(), 2u);
  EXPECT_EQ(old.shapes[0].points.size(), 4u);
  EXPECT_EQ(old.max[0], 5);
  // A solid hatch with an island keeps both rings, filled even-odd.
  const Picture solid = shown(drawing("0\nHATCH\n8\n0\n70\n1\n91\n2\n92\n3\n72\n0\n73\n1\n93\n4\n10\n0\n20\n0\n10\n10\n20\n0\n10\n10\n20\n10\n10\n0\n20\n10\n97\n0\n"
                                      "92\n16\n93\n1\n72\n2\n10\n5\n20\n5\n40\n2\n50\n0\n51\n360\n73\n1\n97\n0\n75\n0\n76\n1\n98\n0\n"));
  ASSERT_EQ(count(solid, Shape::Type::Fill), 1u);
  EXPECT_EQ(solid.shapes[0].rings.size(), 2u);
  // A pattern's lines run from boundary to boundary and stop at the island.
  const Picture lines = shown(drawing("0\nHATCH\n8\n0\n70\n0\n91\n2\n92\n3\n72\n0\n73\n1\n93\n4\n10\n0\n20\n0\n10\n10\n20\n0\n10\n10\n20\n10\n10\n0\n20\n10\n97\n0\n"
                                      "92\n16\n93\n1\n72\n1\n10\n4\n20\n4\n11\n6\n21\n4\n97\n0\n"
                                      "75\n0\n76\n1\n52\n0\n41\n1\n77\n0\n78\n1\n53\n0\n43\n0\n44\n0.5\n45\n0\n46\n1\n79\n0\n98\n0\n"));
  EXPECT_EQ(count(lines, Shape::Type::Path), 10u);
  for (const Shape& s : lines.shapes)
    for (const P2& p : s.points) {
      EXPECT_GE(p[0], -1e-9);
      EXPECT_LE(p[0], 10 + 1e-9);
    }
}

// Blocks that place each other in arrays: 100 x 100 copies of 100 x 100 copies of ... of a
// line would be 10^16 lines; the picture stops at a bound instead of hanging the host.
TEST(Picture, BlocksThatMultiplyEndAtABound) {
  std::string blocks = "0\nBLOCK\n2\nB0\n10\n0\n20\n0\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n1\n21\n0\n0\nENDBLK\n";
  for (int k = 1; k <= 4; ++k)
    blocks += "0\nBLOCK\n2\nB" + std::to_string(k) + "\n10\n0\n20\n0\n0\nINSERT\n8\n0\n2\nB" + std::to_string(k - 1) +
              "\n10\n0\n20\n0\n70\n100\n71\n100\n44\n2\n45\n2\n0\nENDBLK\n";
  const Document doc = drawing("0\nINSERT\n8\n0\n2\nB4\n10\n0\n20\n0\n", "", blocks);
  const Picture d = pictureOf(doc, doc.blocks[0], 20000);
  EXPECT_GT(d.shapes.size(), 10000u);
  EXPECT_LE(d.shapes.size(), 20000u);
}

// A large space is worked out in two halves at once: they join in order, and the polylines
// where they meet are neither lost nor drawn twice.
TEST(Picture, ALargeSpaceIsWholeAndInOrder) {
  std::string entities;
  for (int i = 0; i < 10001; ++i)
    entities += "0\nPOLYLINE\n8\n0\n66\n1\n0\nVERTEX\n8\n0\n10\n" + std::to_string(i) + "\n20\n0\n0\nVERTEX\n8\n0\n10\n" +
                std::to_string(i) + "\n20\n1\n0\nSEQEND\n8\n0\n";
  const Picture d = shown(drawing(entities));
  ASSERT_EQ(d.shapes.size(), 10001u);
  for (std::size_t i = 0; i < d.shapes.size(); ++i) ASSERT_EQ(d.shapes[i].points[0][0], static_cast<double>(i));
}

TEST(Picture, MultiLineTextShowsItsWordsAndNeverItsCodes) {
  const Picture d = shown(drawing(cp1251::fromUtf8("0\nMTEXT\n8\n0\n10\n0\n20\n20\n40\n2.5\n41\n30\n71\n1\n"
                                                   "1\n{\\fArial|b1|i0;Шов} по контуру\\P\\H2x;\\C1;Б\\S1/2;\\~\\Lк\\lатет\n")));
  std::vector<std::string> words;
  for (const Shape& s : d.shapes)
    if (s.type == Shape::Type::Text) {
      words.push_back(cp1251::toUtf8(s.text));
      EXPECT_EQ(s.text.find_first_of("\\{}"), std::string::npos) << words.back();
    }
  EXPECT_EQ(words, (std::vector<std::string>{"Шов", "по", "контуру", "Б", "1", "2", " катет"}));
  const auto big = std::find_if(d.shapes.begin(), d.shapes.end(), [](const Shape& s) { return s.text == cp1251::fromUtf8("Б"); });
  ASSERT_NE(big, d.shapes.end());
  EXPECT_EQ(big->height, 5);
  EXPECT_EQ(big->rgb, 0xFF0000u);
  EXPECT_LT(big->points[0][1], 20 - 2.5 - 5);  // the second paragraph under the first
}

// The tee joint: two plates, two fillet welds (one hatched solid, one ANSI31), a rib, a hole.
TEST(Snap, APickNearTheGeometryLandsOnIt) {
  const Document doc = loadDxf(KELVO_HOST_DATA_DIR "/tee_joint.dxf");
  const Picture d = shown(doc);
  struct Case {
    const char* what;
    P2 cursor;
    std::optional<P2> base;
    SnapKind kind;
    P2 at;
  };
  const Case cases[] = {
      {"a polyline's corner", {0.03, 11.96}, {}, SnapKind::Endpoint, {0, 12}},
      {"the ellipse's centre", {100.02, 70.03}, {}, SnapKind::Center, {100, 70}},
      {"the ellipse's quadrant", {100.04, 84.97}, {}, SnapKind::Quadrant, {100, 85}},
      {"the flange's bottom edge from a base above it", {50.02, 0.04}, P2{50, 40}, SnapKind::Perpendicular, {50, 0}},
  };
  for (const Case& c : cases) {
    const auto s = snapPoint(d, c.cursor, 0.5, c.base);
    ASSERT_TRUE(s) << c.what;
    EXPECT_EQ(s->kind, c.kind) << c.what;
    EXPECT_NEAR(s->at[0], c.at[0], 1e-9) << c.what;
    EXPECT_NEAR(s->at[1], c.at[1], 1e-9) << c.what;
  }
  // The slanted edges of both weld hatches, a little off their middle.
  for (const auto& [a, b] : {std::pair{P2{114, 12}, P2{106, 20}}, std::pair{P2{86, 12}, P2{94, 20}}}) {
    const P2 off{(a[0] + b[0]) / 2 + 0.03, (a[1] + b[1]) / 2 + 0.02};
    const auto s = snapPoint(d, off, 0.5);
    ASSERT_TRUE(s);
    EXPECT_LT(distanceToSegment(s->at, a, b), 1e-9);
  }
  EXPECT_FALSE(snapPoint(d, {50, 50}, 0.5)) << "nothing within the aperture";
  // Two crossing lines that share no end: their crossing.
  const Picture cross = shown(drawing("0\nLINE\n8\n0\n10\n0\n20\n0\n11\n10\n21\n10\n0\nLINE\n8\n0\n10\n0\n20\n6\n11\n12\n21\n0\n"));
  const auto x = snapPoint(cross, {4.1, 3.95}, 0.5);
  ASSERT_TRUE(x);
  EXPECT_EQ(x->kind, SnapKind::Intersection);
  EXPECT_NEAR(x->at[0], 4, 1e-12);
}

}  // namespace
}  // namespace kelvo::host
