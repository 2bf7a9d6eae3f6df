// The drawing host's model: golden tags of the writer, the reader's refusals and its lossless
// round trip, and the object model's CAD semantics.
#include "cad/acad.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/inprocess.h"
#include "host/model/text_metrics.h"
#include "host/model/object_model.h"
#include "host/model/xdata.h"
#include "platform/codepage.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <numbers>

namespace kelvo::host {
namespace {

Tags tags(std::initializer_list<std::pair<int, const char*>> list) {
  Tags out;
  for (const auto& [c, v] : list) out.push_back({c, v});
  return out;
}

Entity make(Kind k, std::vector<Point> pts) {
  Entity e;
  e.kind = k;
  e.handle = "AB";
  e.layer = "L";
  e.points = std::move(pts);
  return e;
}

TEST(DxfWriter, GoldenTagsOfEachEntityKind) {
  Document doc;
  doc.blocks[0].recordHandle = "1F";
  Block& arrow = doc.addBlock("KelvoL", {1, 0, 0});
  arrow.recordHandle = "2A";
  const Tags head = tags({{0, ""}, {5, "AB"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "L"}});
  auto withHead = [&head](const char* name, Tags rest) {
    Tags t = head;
    t[0].value = name;
    t.insert(t.end(), rest.begin(), rest.end());
    return t;
  };
  Entity arc = make(Kind::Arc, {{1, 2, 0}});
  arc.radius = 7.5, arc.startAngle = std::numbers::pi, arc.endAngle = 0;
  Entity poly = make(Kind::Polyline, {{0, 0, 3}, {1, 0, 3}, {1, 1, 3}});
  Entity text = make(Kind::Text, {{5, 6, 0}, {9, 6, 0}});
  text.text = "N%%d";
  text.height = 2.5, text.horizontal = 2, text.rotation = std::numbers::pi / 2;
  Entity insert = make(Kind::Insert, {{4.5, 6, 0}});
  insert.text = "Weld_957";
  Entity leader = make(Kind::Leader, {{0, 0, 0}, {4.5, 6, 0}});
  leader.annotation = "C0", leader.arrowBlock = "kelvol", leader.arrowSize = 2.5;
  Entity circle = make(Kind::Circle, {{100, 50, 0}});
  circle.radius = 4;
  const std::pair<Entity, Tags> cases[] = {
      {make(Kind::Line, {{0, 0, 0}, {3, 4, 0}}),
       withHead("LINE", tags({{100, "AcDbLine"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {11, "3.0"}, {21, "4.0"}, {31, "0.0"}}))},
      {circle, withHead("CIRCLE", tags({{100, "AcDbCircle"}, {10, "100.0"}, {20, "50.0"}, {30, "0.0"}, {40, "4.0"}}))},
      {arc, withHead("ARC", tags({{100, "AcDbCircle"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {40, "7.5"},
                                  {100, "AcDbArc"}, {50, "180.0"}, {51, "0.0"}}))},
      {make(Kind::Solid, {{1, 0, 0}, {0, -0.2465, 0}, {0.3264, 0, 0}, {1, 0, 0}}),
       withHead("SOLID", tags({{100, "AcDbTrace"}, {10, "1.0"}, {20, "0.0"}, {30, "0.0"}, {11, "0.0"}, {21, "-0.2465"},
                               {31, "0.0"}, {12, "0.3264"}, {22, "0.0"}, {32, "0.0"}, {13, "1.0"}, {23, "0.0"}, {33, "0.0"}}))},
      {poly, withHead("LWPOLYLINE", tags({{100, "AcDbPolyline"}, {90, "3"}, {70, "0"}, {38, "3.0"}, {10, "0.0"},
                                          {20, "0.0"}, {10, "1.0"}, {20, "0.0"}, {10, "1.0"}, {20, "1.0"}}))},
      {text, withHead("TEXT", tags({{100, "AcDbText"}, {10, "5.0"}, {20, "6.0"}, {30, "0.0"}, {40, "2.5"}, {1, "N%%d"},
                                    {50, "90.0"}, {72, "2"}, {11, "9.0"}, {21, "6.0"}, {31, "0.0"}, {100, "AcDbText"}}))},
      {insert, withHead("INSERT", tags({{100, "AcDbBlockReference"}, {2, "Weld_957"}, {10, "4.5"}, {20, "6.0"},
                                        {30, "0.0"}, {41, "1.0"}, {42, "1.0"}, {43, "1.0"}, {50, "0.0"}}))},
      {leader, withHead("LEADER", tags({{100, "AcDbLeader"}, {3, "Standard"}, {71, "1"}, {72, "0"}, {73, "2"},
                                        {74, "0"}, {75, "0"}, {40, "0.0"}, {41, "0.0"}, {76, "2"}, {10, "0.0"},
                                        {20, "0.0"}, {30, "0.0"}, {10, "4.5"}, {20, "6.0"}, {30, "0.0"}, {340, "C0"},
                                        {1001, "ACAD"}, {1000, "DSTYLE"}, {1002, "{"}, {1070, "41"}, {1040, "2.5"},
                                        {1070, "341"}, {1005, "2A"}, {1002, "}"}}))},
  };
  for (const auto& [entity, expected] : cases) {
    const Tags got = entityTags(doc, entity, "1F", false);
    ASSERT_EQ(got.size(), expected.size()) << expected[0].value;
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_EQ(got[i], expected[i]) << expected[0].value << " tag " << i << ": " << got[i].code << " " << got[i].value;
  }
}

TEST(DxfReader, RefusesWhatItCannotRead) {
  const std::pair<std::string, const char*> cases[] = {
      {std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0SECT", 28), "обрезан"},
      {"AC1015\0\0\0\0\0\0", "DWG"},
      {"  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1040\n  0\nENDSEC\n  0\nEOF\n", "«AC1040» неизвестна"},
      {"  0\nSECTION\n  2\nENTITIES\n  0\nREPEAT\n  8\n0\n  0\nENDSEC\n  0\nEOF\n", "REPEAT"},
      {"hello\nworld\n", "код группы"},
      {"  0\nSECTION\n  2\n", "обрезан"},
  };
  for (const auto& [text, words] : cases) {
    try {
      readDxf(text);
      ADD_FAILURE() << words;
    } catch (const DxfError& e) {
      EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
    }
  }
}

TEST(DxfReader, WhatItWritesItReadsAndWritesAgainUnchanged) {
  Document doc;
  doc.addLayer(cp1251::fromUtf8("Сварка")).color = 2;
  Block& b = doc.addBlock("Weld_1", {4.5, 6, 0});
  Entity t = make(Kind::Text, {{1, 2, 0}});
  t.handle.clear();
  t.text = cp1251::fromUtf8("ГОСТ 14771-76");
  t.height = 2.5;
  b.entities.push_back(t);
  Entity l = make(Kind::Line, {{0, 0, 0}, {1, 1, 0}});
  l.handle.clear();
  doc.modelSpace().entities.push_back(l);
  const std::string first = writeDxf(doc);
  Document again = readDxf(first);
  EXPECT_EQ(writeDxf(again), first);
  ASSERT_NE(again.findBlock("WELD_1"), nullptr);
  EXPECT_EQ(again.findBlock("Weld_1")->entities.front().text, t.text);
  EXPECT_EQ(again.findLayer(cp1251::fromUtf8("сварка"))->color, 2);
}

TEST(DxfWriter, ADrawingKeepsItsVersionAndItsTextEncoding) {
  Document fresh;
  std::string text = writeDxf(fresh);
  text.replace(text.find("AC1015"), 6, "AC1027");
  Document doc = readDxf(text);
  Entity t = make(Kind::Text, {{0, 0, 0}});
  t.handle.clear();
  t.text = cp1251::fromUtf8("ГОСТ");
  t.height = 2.5;
  doc.modelSpace().entities.push_back(t);
  const std::string out = writeDxf(doc);
  EXPECT_NE(out.find("AC1027"), std::string::npos);
  EXPECT_NE(out.find("\n  1\nГОСТ\n"), std::string::npos);  // UTF-8 from R2007 on
  Document back = readDxf(out);
  EXPECT_EQ(back.modelSpace().entities.back().text, t.text);
}

TEST(DxfReader, UnknownEntitiesAndObjectsAreKeptAsTags) {
  Document doc;
  std::string text = writeDxf(doc);
  const std::string hatch = "  0\nHATCH\n  5\nF00\n330\n" + doc.modelSpace().recordHandle +
                            "\n100\nAcDbEntity\n  8\n0\n100\nAcDbHatch\n  2\nSOLID\n 91\n0\n";
  text.replace(text.find("  0\nENDSEC\n  0\nSECTION\n  2\nOBJECTS"), 0, hatch);
  Document read = readDxf(text);
  const std::string out = writeDxf(read);
  EXPECT_NE(out.find(hatch), std::string::npos);
  EXPECT_EQ(read.modelSpace().entities.size(), 1u);
  EXPECT_EQ(read.modelSpace().entities[0].kind, Kind::Other);
  EXPECT_GT(read.nextHandle, 0xF00u);  // new handles never clash with the kept ones
}

TEST(DxfWriter, SaveReplacesTheFileWhole) {
  test::TempDir dir;
  Document doc;
  saveDxf(doc, dir.file("a.dxf"));
  EXPECT_NO_THROW(loadDxf(dir.file("a.dxf")));
  test::spit(dir.file("plain"), "x");
  EXPECT_THROW(saveDxf(doc, dir.file("plain/a.dxf")), DxfError);
}

// A trailing blank of a text value is data (a long MTEXT's pieces, a string of extended data);
// a number's or a marker's blanks are not.
TEST(DxfTags, TextValuesKeepTheirTrailingBlanks) {
  const Tags t = readTags("  0\r\nTEXT \r\n  1\r\nwords \r\n 40\r\n2.5  \r\n1000\r\npiece \n");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].value, "TEXT");
  EXPECT_EQ(t[1].value, "words ");
  EXPECT_EQ(t[2].value, "2.5");
  EXPECT_EQ(t[3].value, "piece ");
}

class ObjectModelTest : public ::testing::Test {
 protected:
  ObjectModelTest()
      : host(doc, [this](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
          if (picks.empty()) return std::nullopt;
          const Point p = picks.front();
          picks.erase(picks.begin());
          return p;
        }) {}
  cad::AcadDocument acadDoc() {
    return cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument();
  }
  Document doc;
  std::vector<Point> picks;
  InProcessHost host;
};

TEST_F(ObjectModelTest, CollectionsBehaveAsInACadSystem) {
  const cad::AcadDocument d = acadDoc();
  EXPECT_THROW(d.Layers().ItemAt(1), cad::EOleException);
  EXPECT_THROW(d.Layers().ItemAt(-1), cad::EOleException);
  const auto layer = d.Layers().Add("Weld");
  EXPECT_EQ(d.Layers().Add("WELD").name(), "Weld");
  EXPECT_EQ(d.Layers().Count(), 2);
  d.Blocks().Add({0, 0, 0}, "B");
  d.Blocks().Add({5, 5, 0}, "b");
  EXPECT_EQ(d.Blocks().Count(), 3);
  d.setActiveLayer(layer);
  d.ModelSpace().AddLine({0, 0, 0}, {1, 0, 0});
  EXPECT_EQ(doc.modelSpace().entities.back().layer, "Weld");
  EXPECT_EQ(cad::toInt(d.GetVariable("TILEMODE")), 1);
  EXPECT_EQ(cad::toDouble(d.GetVariable("DIMTXT")), 2.5);
  EXPECT_THROW(d.GetVariable("NOSUCHVAR"), cad::EOleException);
  EXPECT_THROW(d.ModelSpace().InsertBlock({0, 0, 0}, "missing", 1, 1, 1, 0), cad::EOleException);
}

TEST_F(ObjectModelTest, TextExtentsHonourAlignmentAndRotation) {
  const cad::AcadDocument d = acadDoc();
  const auto text = d.ModelSpace().AddText("Rz20", {10, 20, 0}, 2.5);
  const double w = textWidth({}, "Rz20", 2.5);
  auto [lo, hi] = text.GetBoundingBox();
  EXPECT_NEAR(lo[0], 10, 1e-9);
  EXPECT_NEAR(hi[0], 10 + w, 1e-9);
  EXPECT_NEAR(hi[1], 22.5, 1e-9);
  text.setVerticalAlignment(0);
  text.setHorizontalAlignment(2);
  text.setTextAlignmentPoint({50, 20, 0});
  std::tie(lo, hi) = text.GetBoundingBox();
  EXPECT_NEAR(hi[0], 50, 1e-9);
  EXPECT_NEAR(lo[0], 50 - w, 1e-9);
  text.Rotate({50, 20, 0}, std::numbers::pi / 2);
  std::tie(lo, hi) = text.GetBoundingBox();
  EXPECT_NEAR(hi[1], 20, 1e-9);
  EXPECT_NEAR(lo[1], 20 - w, 1e-9);
  EXPECT_GT(textWidth({}, "WWW", 1), textWidth({}, "iii", 1));
  EXPECT_NEAR(textWidth({}, "N%%d", 1), textWidth({}, "N\xB0", 1), 1e-12);
}

TEST_F(ObjectModelTest, APromptTheUserCancelsFailsTheCall) {
  const cad::AcadDocument d = acadDoc();
  picks = {{1, 2, 3}};
  EXPECT_EQ(d.Utility().GetPoint(std::nullopt, "a"), (Point{1, 2, 3}));
  EXPECT_THROW(d.Utility().GetPoint(Point{0, 0, 0}, "b"), cad::EOleException);
  EXPECT_NEAR(d.Utility().AngleFromXAxis({0, 0, 0}, {0, -1, 0}), 3 * std::numbers::pi / 2, 1e-12);
}

TEST_F(ObjectModelTest, ExtendedDataIsRefusedAsACadSystemRefusesIt) {
  const cad::AcadDocument d = acadDoc();
  const auto line = d.ModelSpace().AddLine({0, 0, 0}, {1, 0, 0});
  using V = std::vector<cad::Variant>;
  const std::pair<std::vector<std::int16_t>, V> refused[] = {
      {{1001, 1000}, V{"KELVO", "not registered yet"}},
      {{1000}, V{"no application first"}},
      {{1001, 1000}, V{"ACAD"}},
      {{1001, 1002}, V{"ACAD", "("}},
      {{1001, 1070}, V{"ACAD", 70000}},
      {{1001, 1010}, V{"ACAD", std::vector<double>{1, 2}}},
      {{1001, 1, 1000}, V{"ACAD", "x", "y"}},
      {{1001, 1005}, V{"ACAD", "not a handle"}},
  };
  for (const auto& [types, values] : refused)
    EXPECT_THROW(line.SetXData(types, {values}), cad::EOleException) << types.back();
  d.RegisteredApplications().Add("KELVO");
  d.RegisteredApplications().Add("kelvo");  // once is enough, in any case
  EXPECT_EQ(doc.addedApps.size(), 1u);
  line.SetXData({1001, 1000, 1010, 1040, 1070, 1071, 1005}, {V{"KELVO", "\xD8\xEE\xE2", std::vector<double>{1, 2, 3}, 2.5, 7, 70000, line.Handle()}});
  // Read back from the saved drawing, and kept when the entity read is changed.
  const std::string handle = line.Handle();
  doc = readDxf(writeDxf(doc));
  const cad::ObjectRef read = cad::toObject(cad::AcadDocument(acadDoc()).ref()->call("HandleToObject", {handle}));
  read->call("Move", {std::vector<double>{0, 0, 0}, std::vector<double>{5, 0, 0}});
  EXPECT_FALSE(doc.modelSpace().entities.back().original.has_value());
  Document back = readDxf(writeDxf(doc));
  EXPECT_EQ(variantJson(getXData(back, back.modelSpace().entities.back(), "kelvo")),
            "[[1001,1000,1010,1040,1070,1071,1005],[\"KELVO\",\"Шов\",[1.0,2.0,3.0],2.5,7,70000,\"" + handle + "\"]]");
}

}  // namespace
}  // namespace kelvo::host
