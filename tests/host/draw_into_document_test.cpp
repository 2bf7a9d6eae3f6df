// The real draw command served in-process by the real document.
#include "cad/draw_weld.h"
#include "cad/take_designation.h"
#include "host/model/display.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/inprocess.h"
#include "host/model/text_metrics.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kelvo::host {
namespace {

std::string w(const char* s) { return cp1251::fromUtf8(s); }

struct Session {
  Document doc;
  std::vector<Point> picks;
  std::vector<std::string> messages;
  cad::DrawWeld command{{[this](const std::string& t) { messages.push_back(cp1251::toUtf8(t)); },
                         [] { return std::tm{}; }}};
  void draw(const DrawInput& in) {
    InProcessHost host(doc, [this](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
      if (picks.empty()) return std::nullopt;
      const Point p = picks.front();
      picks.erase(picks.begin());
      return p;
    });
    command.AcadDrawWeld(in);
  }
};

DrawInput input(std::array<const char*, 8> texts, std::uint8_t znak2 = 0) {
  DrawInput in;
  for (std::size_t i = 0; i < 8; ++i) in.texts[i] = texts[i] ? w(texts[i]) : "";
  in.Znak2 = znak2;
  in.LayerName = "Weld";
  in.NumberType = "N%%d";
  return in;
}

// The worked layout with the document's own widths: TextHeight 10, TextGap 2, bend (100, 50).
TEST(DrawIntoDocument, ShelfLaidOutWithTheDocumentsWidths) {
  Session r;
  r.doc.setNumber("DIMTXT", 10, 40);
  r.doc.setNumber("DIMGAP", 2, 40);
  r.doc.setNumber("DIMASZ", 1, 40);
  r.picks = {{0, 0, 0}, {100, 50, 0}, {0, 0, 0}};
  r.draw(input({nullptr, nullptr, "G", nullptr, nullptr, "7", nullptr, "R"}, 1));
  ASSERT_TRUE(r.messages.empty()) << r.messages[0];
  const Block* weld = r.doc.findBlock("Weld_000");
  ASSERT_NE(weld, nullptr);
  const double ws = textWidth({}, "G", 10), wl = textWidth({}, "7", 10), wr = textWidth({}, "R", 10);
  const auto& e = weld->entities;
  ASSERT_EQ(e.size(), 8u);
  EXPECT_EQ(e[0].kind, Kind::Text);
  EXPECT_NEAR(e[0].points[0][0], 103, 1e-9);
  EXPECT_NEAR(e[1].points[0][0], 103 + ws + 2, 1e-9);  // leg triangle
  EXPECT_NEAR(e[2].points[0][0], 103 + ws + 7 + 2 + 2, 1e-9);  // leg text
  const double s = 3 + ws + 9 + wl + 2 + 19;
  EXPECT_NEAR(e[5].points[0][0], 100 + s + 2, 1e-9);  // roughness text
  EXPECT_NEAR(e[7].points[1][0], 100 + s + wr + 7.5 + 2, 1e-9);  // the shelf's far end
  EXPECT_EQ(r.doc.findLayer("Weld")->color, 2);
  EXPECT_NE(r.doc.findBlock("KelvoL"), nullptr);
  const std::string dxf = writeDxf(r.doc);
  EXPECT_NE(dxf.find("LEADER"), std::string::npos);
}

// At Kelvo's shortest leaders, and at DIMSCALE 10, the arrowhead shows and is ArrowSize long:
// AutoCAD leaves it out of a first segment shorter than twice its drawn size.
TEST(DrawIntoDocument, TheArrowheadShowsAtTheShortestLeaderWhateverTheScale) {
  struct Case {
    double dimscale;
    std::array<const char*, 8> texts;
  };
  const Case cases[] = {{1, {nullptr, nullptr, "G"}}, {10, {nullptr, nullptr, "G"}}, {10, {}}, {1, {"2", "5", "G"}}};
  for (const Case& c : cases) {
    Session r;
    r.doc.setNumber("DIMSCALE", c.dimscale, 40);
    r.picks = {{0, 0, 0}, {0.1, 0.1, 0}, {5, 0, 0}};
    r.draw(input(c.texts));
    ASSERT_TRUE(r.messages.empty()) << r.messages[0];
    const Picture p = pictureOf(r.doc, r.doc.modelSpace());
    std::vector<const Shape*> fills;
    for (const Shape& s : p.shapes)
      if (s.type == Shape::Type::Fill) fills.push_back(&s);
    ASSERT_EQ(fills.size(), 1u) << c.dimscale;
    // The filled barb at 45 degrees spans x from the barb's corner (0, -0.2465) to the tip (1, 0)
    // of the unit arrow, times ArrowSize.
    const double c45 = std::cos(std::numbers::pi / 4);
    EXPECT_NEAR(fills[0]->hi[0] - fills[0]->lo[0], (c45 - 0.2465 * c45) * 2.5 * c.dimscale, 1e-9) << c.dimscale;
  }
}

// Another program's drawing whose header holds none of the variables the command reads: they
// have a new drawing's values (DIMTXT 2.5, DIMGAP 0.625, model space).
TEST(DrawIntoDocument, AHeaderWithoutTheDimensionVariablesDrawsWithANewDrawingsValues) {
  Session r;
  r.doc = readDxf("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n  0\nEOF\n");
  r.picks = {{0, 0, 0}, {100, 50, 0}, {0, 0, 0}};
  r.draw(input({nullptr, nullptr, "G"}));
  ASSERT_TRUE(r.messages.empty()) << r.messages[0];
  const Block* weld = r.doc.findBlock("Weld_000");
  ASSERT_NE(weld, nullptr);
  ASSERT_FALSE(weld->entities.empty());
  EXPECT_EQ(weld->entities[0].height, 2.5);
  EXPECT_NEAR(weld->entities[0].points[0][0], 100 + 1.5 * 0.625, 1e-9);
}

// Esc at the third prompt: no message, the guide line gone, the user's layer current again.
TEST(DrawIntoDocument, EscAtAPromptEndsTheCommandQuietly) {
  Session r;
  r.picks = {{0, 0, 0}, {30, 20, 0}};
  r.draw(input({nullptr, nullptr, "G"}));
  EXPECT_TRUE(r.messages.empty()) << r.messages[0];
  EXPECT_EQ(r.doc.entityCount(), 2u);  // the arrowhead block's solid and line, no guide line
  for (const Entity& e : r.doc.modelSpace().entities) EXPECT_TRUE(e.deleted);
  EXPECT_EQ(r.doc.activeLayer, "0");
}

TEST(DrawIntoDocument, ASecondDesignationGetsABlockOfItsOwn) {
  Session r;
  for (int i = 0; i < 2; ++i) {
    r.picks = {{0, 0, 0}, {30, 20, 0}, {0, 0, 0}};
    r.draw(input({nullptr, nullptr, "G"}));
  }
  EXPECT_NE(r.doc.findBlock("Weld_000"), nullptr);
  EXPECT_NE(r.doc.findBlock("Weld_000_2"), nullptr);
  EXPECT_EQ(r.doc.findBlock("Weld_000")->entities.size(), 2u);
}

// One undo takes a whole designation away, and a redo brings it back, through the document's
// undo marks as the command sets them.
TEST(DrawIntoDocument, UndoTakesAWholeDesignationAway) {
  Document doc;
  std::vector<Point> picks;
  InProcessHost host(doc, [&picks](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
    if (picks.empty()) return std::nullopt;
    const Point p = picks.front();
    picks.erase(picks.begin());
    return p;
  });
  cad::DrawWeld command{{[](const std::string& t) { ADD_FAILURE() << cp1251::toUtf8(t); }, [] { return std::tm{}; }}};
  std::vector<std::string> states{writeDxf(doc)};
  for (const char* leg : {"5", "7"}) {
    picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
    command.AcadDrawWeld(input({"2", leg, "G", nullptr, nullptr, leg}, 1));  // two seams, two numbers
    states.push_back(writeDxf(doc));
  }
  const cad::ObjectRef d = cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument().ref();
  d->call("SendCommand", {std::string("_u ")});
  EXPECT_EQ(writeDxf(doc), states[1]);
  d->call("SendCommand", {std::string("_.UNDO 1\n")});
  EXPECT_EQ(writeDxf(doc), states[0]);
  d->call("SendCommand", {std::string("_u ")});  // nothing left to undo
  EXPECT_EQ(writeDxf(doc), states[0]);
  d->call("SendCommand", {std::string("_redo ")});
  EXPECT_EQ(writeDxf(doc), states[1]);
  EXPECT_THROW(d->call("SendCommand", {std::string("_erase all ")}), cad::EOleException);
}

// What a pick finds: the designation by any of its parts; nothing, or a line, or a designation
// a part of which was erased by hand, is refused with its reason.
TEST(DrawIntoDocument, ATakeFindsTheDesignationByAnyPartOrSaysWhyNot) {
  Session r;
  r.picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
  r.draw(input({"2", "5", "G", nullptr, nullptr, "5"}, 1));
  auto& space = r.doc.modelSpace().entities;
  auto find = [&space](Kind k) {
    return std::find_if(space.begin(), space.end(), [k](const Entity& e) { return e.kind == k && !e.deleted; });
  };
  Entity plain = *find(Kind::Leader);  // a leader of the user's own, without the data
  plain.xdata.clear();
  plain.points = {{100, 0, 0}, {110, 0, 0}};
  space.push_back(plain);
  const std::pair<Point, cad::TakeOutcome> cases[] = {
      {{15, 10, 0}, cad::TakeOutcome::Taken},           // the leader
      {{31.5, 21.5, 0}, cad::TakeOutcome::Taken},       // a shelf text, inside the block
      {{-40, -40, 0}, cad::TakeOutcome::NothingPicked},
      {{105, 0, 0}, cad::TakeOutcome::NotADesignation},
  };
  InProcessHost host(r.doc, [&r](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
    const Point p = r.picks.front();
    r.picks.erase(r.picks.begin());
    return p;
  });
  const cad::AcadDocument d = cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument();
  for (const auto& [at, outcome] : cases) {
    r.picks = {at};
    EXPECT_EQ(cad::takeDesignation(d).outcome, outcome) << at[0];
  }
  find(Kind::Text)->deleted = true;  // the count/number text erased by hand
  r.picks = {{15, 10, 0}};
  EXPECT_EQ(cad::takeDesignation(d).outcome, cad::TakeOutcome::PartsErased);
}

// A pick looks in the space the user works in: a designation on a layout's paper is taken there
// even where a model-space line lies at the same coordinates, and from the model tab the line is.
TEST(DrawIntoDocument, APickFindsOnlyWhatTheCurrentSpaceHolds) {
  Session r;
  r.doc.setNumber("TILEMODE", 0, 70);
  r.doc.cvport = 1;
  r.picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
  r.draw(input({"2", "5", "G", nullptr, nullptr, "5"}, 1));
  ASSERT_FALSE(r.doc.paperSpace().entities.empty());
  Entity line;
  line.kind = Kind::Line;
  line.points = {{0, 0, 0}, {30, 20, 0}};  // under the leader, in model space
  r.doc.modelSpace().entities.push_back(line);
  InProcessHost host(r.doc, [&r](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
    const Point p = r.picks.front();
    r.picks.erase(r.picks.begin());
    return p;
  });
  const cad::AcadDocument d = cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument();
  const struct {
    int tilemode, cvport;
    cad::TakeOutcome outcome;
  } cases[] = {{0, 1, cad::TakeOutcome::Taken}, {1, 2, cad::TakeOutcome::NotADesignation}, {0, 2, cad::TakeOutcome::NotADesignation}};
  for (const auto& c : cases) {
    r.doc.setNumber("TILEMODE", c.tilemode, 70);
    r.doc.cvport = c.cvport;
    r.picks = {{15, 10, 0}};
    EXPECT_EQ(cad::takeDesignation(d).outcome, c.outcome) << c.tilemode << " " << c.cvport;
  }
}

// A thousand commands in a row: what the draw command and the host keep of a command does not
// grow; only the drawing does, by the same number of entities each time.
TEST(DrawIntoDocument, AThousandCommandsLeaveNothingBehind) {
  Session r;
  std::size_t objectsAfter10 = 0, entitiesAfter10 = 0;
  for (int i = 1; i <= 1000; ++i) {
    r.picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
    // Every hundredth is numbered: a numbered draw searches all the designations before it, which
    // would make the run grow with the square of the count without telling more of lifetimes.
    r.draw(input({"2", i % 100 == 0 ? "5" : "", "G", "T", "M", "5", "50/100", "R"}, 1));
    if (i == 10) objectsAfter10 = liveHostObjects(), entitiesAfter10 = r.doc.entityCount();
  }
  EXPECT_TRUE(r.messages.empty());
  EXPECT_EQ(liveHostObjects(), objectsAfter10);
  EXPECT_EQ(r.doc.entityCount() - entitiesAfter10, 990 * (entitiesAfter10 - 2) / 10);  // the arrowhead's 2 once
}

}  // namespace
}  // namespace kelvo::host
