// The host behaves as AutoCAD's ActiveX reference says AutoCAD does, so that a client's mistake
// shows here: layer states, changes on a locked layer, a leader's scale and arrowhead, the
// length of extended-data strings and the types of system variables.
#include "host/model/display.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/inprocess.h"

#include "cad/acad.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelvo::host {
namespace {

class AutoCadBehaviour : public ::testing::Test {
 protected:
  AutoCadBehaviour() : host(doc, [](const std::string&, const std::optional<Point>&) { return std::optional<Point>(); }) {}
  cad::AcadDocument acadDoc() {
    return cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument();
  }
  // A layer table of one entry with these flags (70) and colour (62), and an entity on it.
  void readLayer(int flags, int colour) {
    doc = readDxf("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n"
                  "0\nLAYER\n5\n10\n2\nWELD\n70\n" + std::to_string(flags) + "\n62\n" + std::to_string(colour) +
                  "\n0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n20\n8\nWELD\n10\n0\n20\n0\n11\n1\n21\n0\n"
                  "0\nENDSEC\n0\nEOF\n");
  }
  cad::AcadLayer layer(const char* name) { return acadDoc().Layers().ItemNamed(name); }
  Document doc;
  InProcessHost host;
};

// Layer properties Lock, Freeze, LayerOn: DXF keeps frozen as bit 1 and locked as bit 4 of
// group 70, a layer that is off as a negative colour.
TEST_F(AutoCadBehaviour, LayerStatesAreReadAndWrittenAsDxfKeepsThem) {
  struct Case {
    int flags, colour;
    bool frozen, locked, on;
  };
  const Case cases[] = {{0, 3, false, false, true}, {1, 3, true, false, true}, {4, 3, false, true, true},
                        {0, -3, false, false, false}, {5, -3, true, true, false}};
  for (const Case& c : cases) {
    readLayer(c.flags, c.colour);
    cad::AcadLayer l = layer("weld");
    EXPECT_EQ(l.Freeze(), c.frozen) << c.flags << " " << c.colour;
    EXPECT_EQ(l.Lock(), c.locked) << c.flags << " " << c.colour;
    EXPECT_EQ(l.LayerOn(), c.on) << c.flags << " " << c.colour;
    EXPECT_EQ(cad::toInt(l.ref()->get("Color")), 3);
    // Changed here, written anew from the model, read back the same.
    l.ref()->put("Lock", !c.locked);
    doc = readDxf(writeDxf(doc));
    EXPECT_EQ(layer("weld").Lock(), !c.locked);
    EXPECT_EQ(layer("weld").Freeze(), c.frozen);
    EXPECT_EQ(layer("weld").LayerOn(), c.on);
  }
}

// "A frozen layer cannot be made the active layer"; a locked one can, and takes new objects.
TEST_F(AutoCadBehaviour, AFrozenLayerIsRefusedAsTheActiveLayerALockedOneTakesNewObjects) {
  readLayer(1, 3);
  EXPECT_THROW(acadDoc().setActiveLayer(layer("WELD")), cad::EOleException);
  EXPECT_EQ(doc.activeLayer, "0");
  readLayer(4, 3);
  acadDoc().setActiveLayer(layer("WELD"));
  EXPECT_NO_THROW(acadDoc().ModelSpace().AddLine({0, 0, 0}, {1, 1, 0}));
  EXPECT_EQ(doc.modelSpace().entities.back().layer, "WELD");
  EXPECT_THROW(layer("WELD").ref()->put("Freeze", true), cad::EOleException);  // the current layer
}

// "Any change to an object on a locked layer fails": Delete, Move, Rotate, property puts, SetXData.
TEST_F(AutoCadBehaviour, EveryChangeOfAnObjectOnALockedLayerIsRefused) {
  using Change = std::function<void(const cad::ObjectRef&)>;
  const std::pair<const char*, Change> changes[] = {
      {"Delete", [](const cad::ObjectRef& o) { o->call("Delete", {}); }},
      {"Move", [](const cad::ObjectRef& o) { o->call("Move", {std::vector<double>{0, 0, 0}, std::vector<double>{1, 0, 0}}); }},
      {"Rotate", [](const cad::ObjectRef& o) { o->call("Rotate", {std::vector<double>{0, 0, 0}, 1.0}); }},
      {"Alignment", [](const cad::ObjectRef& o) { o->put("Alignment", 2); }},
      {"ScaleFactor", [](const cad::ObjectRef& o) { o->put("ScaleFactor", 2.0); }},
      {"SetXData", [](const cad::ObjectRef& o) {
         o->call("SetXData", {std::vector<std::int16_t>{1001, 1000}, cad::VariantArray{{std::string("KELVO"), std::string("x")}}});
       }},
  };
  for (const auto& [what, change] : changes) {
    for (const bool locked : {true, false}) {
      readLayer(locked ? 4 : 0, 3);
      const cad::AcadDocument d = acadDoc();
      d.setActiveLayer(layer("WELD"));
      d.RegisteredApplications().Add("KELVO");
      const cad::AcadSpace space = d.ModelSpace();
      const cad::ObjectRef text = space.AddText("T", {0, 0, 0}, 2.5).ref();
      const cad::ObjectRef leader = space.AddLeader({0, 0, 0, 10, 10, 0}, cad::AcadObject(), 2).ref();
      const cad::ObjectRef target = std::string(what) == "ScaleFactor" ? leader : text;
      if (locked) {
        EXPECT_THROW(change(target), cad::EOleException) << what;
        EXPECT_FALSE(doc.modelSpace().entities[1].deleted) << what;
      } else {
        EXPECT_NO_THROW(change(target)) << what;
      }
    }
  }
}

// A leader's ArrowheadSize is the unscaled DIMASZ; AutoCAD draws it times the leader's overall
// scale (ScaleFactor, taken from DIMSCALE when the leader is made), and leaves the arrowhead out
// when the first segment is shorter than twice that. In DXF: DSTYLE overrides 40 and 41.
TEST_F(AutoCadBehaviour, ALeadersArrowIsItsSizeTimesItsScale) {
  doc.setNumber("DIMSCALE", 10, 40);
  const cad::AcadSpace space = acadDoc().ModelSpace();
  const cad::AcadLeader leader = space.AddLeader({0, 0, 0, 100, 0, 0}, cad::AcadObject(), 2);
  EXPECT_EQ(cad::toDouble(leader.ref()->get("ScaleFactor")), 10);
  EXPECT_EQ(cad::toDouble(leader.ref()->get("ArrowheadSize")), 2.5);
  leader.setScaleFactor(4);
  doc = readDxf(writeDxf(doc));
  const Entity& read = doc.modelSpace().entities.back();
  EXPECT_EQ(read.leaderScale, 4);
  EXPECT_EQ(read.arrowSize, 2.5);
  struct Case {
    double length;
    bool arrow;
  };
  for (const Case c : {Case{100, true}, Case{20, true}, Case{19.9, false}}) {
    Document d;
    Entity e;
    e.kind = Kind::Leader, e.points = {{0, 0, 0}, {c.length, 0, 0}}, e.arrowSize = 2.5, e.leaderScale = 4;
    d.modelSpace().entities.push_back(e);
    const Picture p = pictureOf(d, d.modelSpace());
    std::size_t fills = 0;
    for (const Shape& s : p.shapes)
      if (s.type == Shape::Type::Fill) {
        ++fills;
        EXPECT_NEAR(s.hi[0] - s.lo[0], 10, 1e-9) << "arrow as long as 2.5 x 4";
      }
    EXPECT_EQ(fills, c.arrow ? 1u : 0u) << c.length;
  }
}

// "Strings in extended data can be up to 255 bytes long", in the bytes of the drawing's own
// encoding: a code page's one a Cyrillic letter, UTF-8's (R2007 on) two.
TEST_F(AutoCadBehaviour, AStringOfExtendedDataIsAtMost255Bytes) {
  struct Case {
    const char* version;
    std::size_t letters;
    bool taken;
  };
  const Case cases[] = {{"AC1015", 255, true}, {"AC1015", 256, false}, {"AC1021", 127, true}, {"AC1021", 128, false}};
  for (const Case& c : cases) {
    doc = readDxf(std::string("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n") + c.version + "\n9\n$DWGCODEPAGE\n3\nANSI_1251\n0\nENDSEC\n0\nEOF\n");
    const cad::AcadDocument d = acadDoc();
    d.RegisteredApplications().Add("KELVO");
    const cad::AcadEntity line = d.ModelSpace().AddLine({0, 0, 0}, {1, 0, 0});
    auto set = [&] { line.SetXData({1001, 1000}, cad::VariantArray{{std::string("KELVO"), std::string(c.letters, '\xD8')}}); };
    if (c.taken) EXPECT_NO_THROW(set()) << c.version << " " << c.letters;
    else EXPECT_THROW(set(), cad::EOleException) << c.version << " " << c.letters;
  }
}

// GetVariable answers each variable in its own type: integers as VT_I2, reals, texts; the
// annotation scale from the drawing's variable dictionary and scale list.
TEST_F(AutoCadBehaviour, SystemVariablesComeInAutoCadsTypes) {
  const std::string objects =
      "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n3\nAcDbVariableDictionary\n350\n30\n"
      "0\nDICTIONARY\n5\n30\n3\nCANNOSCALE\n350\n31\n0\nDICTIONARYVAR\n5\n31\n280\n0\n1\n1:20\n"
      "0\nSCALE\n5\n32\n300\n1:20\n140\n1.0\n141\n20.0\n0\nENDSEC\n";
  const std::string annotative =
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nDIMSTYLE\n0\nDIMSTYLE\n105\n40\n2\nStandard\n1001\nAcadAnnotative\n"
      "1000\nAnnotativeData\n1002\n{\n1070\n1\n1070\n1\n1002\n}\n0\nENDTAB\n0\nENDSEC\n";
  doc = readDxf("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$DIMSCALE\n40\n0.0\n9\n$DIMSTYLE\n2\nStandard\n0\nENDSEC\n" +
                annotative + objects + "0\nEOF\n");
  const cad::AcadDocument d = acadDoc();
  EXPECT_EQ(d.GetVariable("TILEMODE"), cad::Variant(std::int16_t{1}));
  EXPECT_EQ(d.GetVariable("CVPORT"), cad::Variant(std::int16_t{2}));
  EXPECT_EQ(d.GetVariable("DIMANNO"), cad::Variant(std::int16_t{1}));
  EXPECT_EQ(d.GetVariable("DIMSCALE"), cad::Variant(0.0));
  EXPECT_EQ(d.GetVariable("CANNOSCALE"), cad::Variant(std::string("1:20")));
  EXPECT_EQ(d.GetVariable("CANNOSCALEVALUE"), cad::Variant(0.05));
  doc = Document();
  EXPECT_EQ(d.GetVariable("DIMANNO"), cad::Variant(std::int16_t{0}));
  EXPECT_EQ(d.GetVariable("CANNOSCALE"), cad::Variant(std::string("1:1")));
  EXPECT_EQ(d.GetVariable("CANNOSCALEVALUE"), cad::Variant(1.0));
  EXPECT_EQ(d.GetVariable("INSUNITS"), cad::Variant(std::int16_t{4}));
}

// SelectionSets: Add refuses a name the drawing has; Select with acSelectionSetAll takes the
// top-level entities of model space and every layout that the filter lets through, on frozen
// and off layers too (as "ssget X"), never those inside blocks or erased; Delete forgets the set.
TEST_F(AutoCadBehaviour, ASelectionSetOfAllTakesWhatTheFilterLetsThroughInEverySpace) {
  readLayer(1, -3);  // frozen and off, holding a LINE
  const cad::AcadDocument d = acadDoc();
  d.RegisteredApplications().Add("KELVO");
  const cad::AcadBlock block = d.Blocks().Add({0, 0, 0}, "B");
  block.AddLine({0, 0, 0}, {1, 0, 0});
  const cad::AcadEntity inModel = d.ModelSpace().InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0);
  const cad::AcadEntity onPaper = d.PaperSpace().InsertBlock({5, 5, 0}, "B", 1, 1, 1, 0);
  d.ModelSpace().InsertBlock({9, 9, 0}, "B", 1, 1, 1, 0);  // carries no data
  for (const cad::AcadEntity& e : {inModel, onPaper}) e.SetXData({1001, 1000}, cad::VariantArray{{std::string("KELVO"), std::string("x")}});
  const cad::AcadEntity erased = d.ModelSpace().AddLine({0, 0, 0}, {2, 0, 0});
  erased.Delete();
  const cad::AcadSelectionSets sets = d.SelectionSets();
  const cad::AcadSelectionSet set = sets.Add("S");
  EXPECT_THROW(sets.Add("s"), cad::EOleException);
  struct Case {
    std::vector<std::int16_t> codes;
    std::vector<cad::Variant> values;
    int count;
  } cases[] = {
      {{}, {}, 4},  // the line on the frozen layer, and three references
      {{0}, {std::string("insert")}, 3},
      {{0, 1001}, {std::string("INSERT"), std::string("KELVO")}, 2},
      {{0, 67}, {std::string("INSERT"), 1}, 1},
      {{8}, {std::string("W*")}, 1},
      {{0}, {std::string("LINE,ARC")}, 1},
  };
  for (const Case& c : cases) {
    set.ref()->call("Clear", {});
    set.SelectAll(c.codes, cad::VariantArray{c.values});
    EXPECT_EQ(set.Count(), c.count) << cad::toText(c.values.empty() ? cad::Variant(std::string()) : c.values[0]);
  }
  set.ref()->call("Clear", {});
  set.SelectAll({0, 1001}, cad::VariantArray{{std::string("INSERT"), std::string("KELVO")}});
  set.SelectAll({0, 1001}, cad::VariantArray{{std::string("INSERT"), std::string("KELVO")}});  // held once
  ASSERT_EQ(set.Count(), 2);
  EXPECT_EQ(set.Item(1).Handle(), onPaper.Handle());
  EXPECT_THROW(set.SelectAll({62}, cad::VariantArray{{1}}), cad::EOleException);  // a filter this host does not know
  EXPECT_THROW(set.ref()->call("Select", {0, cad::Omitted{}, cad::Omitted{}}), cad::EOleException);  // a window needs a view
  set.Delete();
  EXPECT_THROW(set.Count(), cad::EOleException);
  EXPECT_NO_THROW(sets.Add("S").Delete());
}

}  // namespace
}  // namespace kelvo::host
