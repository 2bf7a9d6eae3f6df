// The connection, the drawing context, the text preparation, the layer, the prompts and the
// failure reports of the draw command.
#include "tests/cad/draw_test_support.h"

#include <numbers>
#include <optional>

namespace kelvo::cad::test {
namespace {

// DIMSCALE 0 is an annotative style's: the annotation scale in model space, 1 on paper, and 1
// where the program knows no annotation scale.
TEST_F(DrawTest, SizesFollowTheDimensionSettings) {
  struct Case {
    double scale, txt, asz, gap;
    std::optional<double> annotation;  // CANNOSCALEVALUE
    bool paper;
    double height, arrow, textGap, unit, overall;
  };
  const Case cases[] = {{0, 2.5, 2.5, 0.625, {}, false, 2.5, 2.5, 0.625, 0.25, 1},
                        {10, 2.5, 2.5, 0.625, {}, false, 25, 25, 6.25, 2.5, 10},
                        {-2, 2.5, 3, 1, {}, false, -5, -6, -2, -0.5, -2},
                        {0, 2.5, 2.5, 0.625, 0.1, false, 25, 25, 6.25, 2.5, 10},
                        {0, 2.5, 2.5, 0.625, 0.1, true, 2.5, 2.5, 0.625, 0.25, 1},
                        {0, 2.5, 2.5, 0.625, 0.0, false, 2.5, 2.5, 0.625, 0.25, 1},
                        {4, 2.5, 2.5, 0.625, 0.1, false, 10, 10, 2.5, 1, 4}};
  for (const auto& c : cases) {
    host->variables["DIMSCALE"] = c.scale;
    host->variables["DIMTXT"] = c.txt;
    host->variables["DIMASZ"] = c.asz;
    host->variables["DIMGAP"] = c.gap;
    host->variables["TILEMODE"] = static_cast<std::int16_t>(c.paper ? 0 : 1);
    host->variables["CVPORT"] = std::int16_t{1};
    host->variables.erase("CANNOSCALEVALUE");
    if (c.annotation) host->variables["CANNOSCALEVALUE"] = *c.annotation;
    draw.Start_ACAD();
    EXPECT_NEAR(draw.TextHeight, c.height, 1e-9) << c.scale;
    EXPECT_NEAR(draw.ArrowSize, c.arrow, 1e-9);
    EXPECT_NEAR(draw.TextGap, c.textGap, 1e-9);
    EXPECT_NEAR(draw.SignUnit, c.unit, 1e-9);
    EXPECT_NEAR(draw.Scale, c.overall, 1e-9);
    EXPECT_NEAR(draw.ArrowheadSize, c.asz, 1e-9);
  }
  EXPECT_TRUE(host->visible);
  EXPECT_TRUE(messages.empty());
}

TEST_F(DrawTest, SpaceFollowsTilemodeAndCvport) {
  const std::tuple<int, int, const char*> cases[] = {
      {1, 1, "modelspace"}, {1, 2, "modelspace"}, {0, 1, "paperspace"}, {0, 2, "modelspace"},
      {0, 257, "paperspace"}, {257, 2, "modelspace"}};
  for (const auto& [tilemode, cvport, space] : cases) {
    host->variables["TILEMODE"] = std::int32_t{tilemode};
    host->variables["CVPORT"] = static_cast<double>(cvport);  // hosts may answer reals
    host->calls.clear();
    draw.Start_ACAD();
    bool asked = false;
    for (const auto& c : host->calls) asked |= c.object == "document" && c.member == (std::string(space) == "modelspace" ? "ModelSpace" : "PaperSpace");
    EXPECT_TRUE(asked) << tilemode << " " << cvport;
    draw.DrawSpace.AddLine({0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(host->calls.back().object, space) << tilemode << " " << cvport;
  }
}

TEST_F(DrawTest, TextPreparation) {
  struct Case {
    std::array<const char*, 8> fields;
    const char* count;
    const char* number;
    const char* standard;
    const char* method;
    const char* leg;
  };
  const Case cases[] = {
      {{"2", "5", "", "", "", "", "", ""}, "", "", "2N%%d5", "", ""},
      {{"", "5", "", "", "", "", "", ""}, "", "", "N%%d5", "", ""},
      {{"2", "", "", "", "", "", "", ""}, "", "", "2", "", ""},
      {{"2", "5", "ГОСТ 1", "", "", "", "", ""}, "2", "5", "ГОСТ 1", "", ""},
      {{"", "", "G", "", "", "5", "50/100", ""}, "", "", "G", "", "5-50/100"},
      {{"", "", "G", "", "Ппш", "", "50/100", ""}, "", "", "G", "Ппш-50/100", ""},
      {{"", "", "G", "", "", "", "50/100", ""}, "", "", "G-50/100", "", ""},
      {{"", "", "", "", "", "", "50/100", ""}, "", "", "", "", ""},
  };
  for (const auto& c : cases) {
    DrawInput in = input(c.fields);
    host->picks.clear();
    draw.AcadDrawWeld(in);  // no picks: the command ends at the first prompt
    EXPECT_EQ(draw.CountText, w(c.count));
    EXPECT_EQ(draw.NumberText, w(c.number));
    EXPECT_EQ(draw.StandardText, w(c.standard));
    EXPECT_EQ(draw.MethodText, w(c.method));
    EXPECT_EQ(draw.LegText, w(c.leg));
    EXPECT_EQ(draw.IntermittentText, "");
  }
}

// Names compare without regard to case, as in CAD programs: the user's "сварка" is the layer,
// kept in its own colour; only a layer the command adds is coloured.
TEST_F(DrawTest, LayerMatchesWithoutRegardToCaseAndOnlyANewLayerIsColoured) {
  host->layers.push_back(std::make_shared<FakeLayer>(FakeLayer{w("сварка"), 5}));
  pick(0, 0);
  pick(10, 10);
  draw.AcadDrawWeld(input());
  EXPECT_EQ(host->layers.size(), 2u);
  EXPECT_EQ(host->layer(w("сварка"))->color, 5);
  EXPECT_EQ(host->activeLayer->name, "0");  // given back
  for (const auto& e : host->modelSpace->entities) EXPECT_EQ(e->layer, w("сварка")) << e->kind;

  host->layers.pop_back();
  pick(0, 0);
  pick(10, 10);
  draw.AcadDrawWeld(input());
  ASSERT_NE(host->layer(w("Сварка")), nullptr);
  EXPECT_EQ(host->layer(w("Сварка"))->color, 2);
}

// A layer that cannot take the designation is named before anything is drawn or asked.
TEST_F(DrawTest, AFrozenLockedOrOffLayerIsReportedAndNothingIsDrawn) {
  struct Case {
    bool frozen, locked, on;
    const char* reason;
  };
  const Case cases[] = {
      {true, false, true, "Слой \"СВАРКА\" заморожен. Разморозьте его и повторите команду."},
      {false, true, true, "Слой \"СВАРКА\" заблокирован. Разблокируйте его и повторите команду."},
      {false, false, false, "Слой \"СВАРКА\" отключён. Включите его и повторите команду."},
      {true, true, false, "Слой \"СВАРКА\" заморожен. Разморозьте его и повторите команду."}};
  for (const auto& c : cases) {
    host->layers.resize(1);
    host->layers.push_back(std::make_shared<FakeLayer>(FakeLayer{w("СВАРКА"), 4, c.frozen, c.locked, c.on}));
    host->prompts.clear();
    messages.clear();
    pick(0, 0);
    pick(10, 10);
    pick(20, 10);
    draw.AcadDrawWeld(input({"1", "2", "G"}));
    host->picks.clear();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::string("Модуль   : Draw_Weld\r\nПроцедура: AcadDrawWeld\r\nОшибка   : ") + c.reason);
    EXPECT_TRUE(host->prompts.empty());
    EXPECT_TRUE(host->modelSpace->entities.empty());
    EXPECT_TRUE(host->blocks.empty());
    EXPECT_EQ(host->activeLayer->name, "0");
    EXPECT_EQ(host->layer(w("СВАРКА"))->color, 4);
  }
}

// Esc at any prompt ends the command without a message: the guide line goes, the layer is
// given back; the layer and the arrowhead block it made may stay.
TEST_F(DrawTest, ACancelAtAnyPromptEndsTheCommandQuietly) {
  for (std::size_t answered = 0; answered < 3; ++answered) {
    auto fresh = std::make_shared<FakeHost>();
    fresh->registerAsRunning();
    host = fresh;
    DrawWeld d(services());
    for (std::size_t i = 0; i < answered; ++i) pick(10.0 * static_cast<double>(i), 5);
    d.AcadDrawWeld(input({"2", "5", "G", "С2", "", "4"}));
    EXPECT_TRUE(messages.empty()) << answered;
    EXPECT_EQ(host->prompts.size(), answered + 1);
    for (const auto& e : host->modelSpace->entities) EXPECT_TRUE(e->deleted) << e->kind << " " << answered;
    for (const auto& b : host->blocks) EXPECT_FALSE(b->name.starts_with("Weld_")) << answered;
    EXPECT_EQ(host->activeLayer->name, "0");
    EXPECT_EQ(host->calls.back().member, "EndUndoMark");
  }
}

TEST_F(DrawTest, NoTextTakesTwoPromptsAndLeavesTheGuideLine) {
  pick(0, 0);
  pick(1, 0);
  draw.AcadDrawWeld(input({nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
                          Side::Front, true, 3, 2));
  ASSERT_EQ(host->prompts.size(), 2u);
  // Each prompt on a line of its own in the command line.
  EXPECT_EQ(cp1251::toUtf8(host->prompts[0]), "\nУкажи точку вставки сварки      : ");
  EXPECT_EQ(cp1251::toUtf8(host->prompts[1]), "\nУкажи точку расположения выноски: ");
  const auto& space = host->modelSpace->entities;
  ASSERT_EQ(space.size(), 3u);
  EXPECT_EQ(space[0]->kind, "Line");
  EXPECT_FALSE(space[0]->deleted);
  EXPECT_EQ(space[1]->kind, "Insert");
  EXPECT_EQ(space[2]->kind, "Leader");
  EXPECT_TRUE(weldEntities().empty());
  expectNear(xyz(arg(*space[1], 0)), {12.5, 0, 0}, "bend at 2.5 arrow sizes");
  expectNear(xyz(arg(*space[2], 0)), {0, 0, 0, 12.5, 0, 0}, "leader vertices");
  EXPECT_TRUE(messages.empty());
}

TEST_F(DrawTest, MinimumLeaderLength) {
  host->variables["DIMASZ"] = 2.5;
  pick(0, 0);
  pick(3, 4);
  pick(50, 50);
  draw.AcadDrawWeld(input({nullptr, nullptr, "G"}));
  expectNear(std::vector<double>(draw.LeaderPoint.begin(), draw.LeaderPoint.end()), {4.5, 6, 0}, "moved bend");
  expectNear(host->block(draw.BlockName)->base, {4.5, 6, 0}, "block base");
  const auto& space = host->modelSpace->entities;
  expectNear(xyz(arg(*space[1], 0)), {4.5, 6, 0}, "insert");
  expectNear(xyz(arg(*space[2], 0)), {0, 0, 0, 4.5, 6, 0}, "leader");
  EXPECT_TRUE(space[0]->deleted);

  pick(0, 0);
  pick(10, 10);
  pick(50, 50);
  draw.AcadDrawWeld(input({nullptr, nullptr, "G"}));
  expectNear(std::vector<double>(draw.LeaderPoint.begin(), draw.LeaderPoint.end()), {10, 10, 0}, "kept bend");
  EXPECT_NEAR(draw.LeaderAngle, std::numbers::pi / 4, 1e-12);
}

TEST_F(DrawTest, ShelfSideAtTheQuarterAngles) {
  const std::tuple<double, double, bool> cases[] = {{0, 100, true}, {0, -100, false}, {-100, 100, false},
                                                    {100, 0, true}, {-100, 0, false}, {100, -1, true}};
  for (const auto& [x, y, right] : cases) {
    host->blocks.clear();
    pick(0, 0);
    pick(x, y);
    pick(0, 0);
    draw.AcadDrawWeld(input({nullptr, nullptr, "G"}));
    const auto shelf = weldEntities().back();
    const auto ends = xyz(arg(*shelf, 1));
    EXPECT_EQ(ends[0] > x, right) << x << "," << y;
  }
}

TEST_F(DrawTest, BlockNameFromTheTimeOfDayAndNeverReused) {
  const std::tuple<int, int, int, const char*> cases[] = {
      {9, 5, 7, "Weld_957"}, {1, 11, 5, "Weld_1115"}, {11, 1, 5, "Weld_1115"}, {0, 0, 0, "Weld_000"}};
  for (const auto& [h, m, s, name] : cases) {
    std::tm t{};
    t.tm_hour = h, t.tm_min = m, t.tm_sec = s;
    EXPECT_EQ(DrawWeld::BlockNameAt(t), name);
  }
  for (const char* expected : {"Weld_957", "Weld_957_2", "Weld_957_3"}) {
    pick(0, 0);
    pick(10, 10);
    pick(0, 0);
    draw.AcadDrawWeld(input({nullptr, nullptr, "G"}));
    EXPECT_EQ(draw.BlockName, expected);
  }
  EXPECT_EQ(host->block("Weld_957")->entities.size(), 2u);  // the first designation is untouched
}

TEST_F(DrawTest, NoHostOnTheFirstCommandGivesBothMessages) {
  auto draw2 = DrawWeld(services());
  host.reset();  // unregisters the transport
  draw2.AcadDrawWeld(input({"1"}));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Модуль   : Draw_Weld\r\nПроцедура: Start_ACAD\r\nОшибка   : Операция недоступна! (EOleSysError)");
  EXPECT_EQ(messages[1], "Модуль   : Draw_Weld\r\nПроцедура: AcadDrawWeld\r\nОшибка   : Незагружен AutoCAD! (EOleError)");
}

TEST_F(DrawTest, ALaterCommandWithoutHostUsesTheEarlierConnection) {
  pick(0, 0);
  pick(10, 10);
  draw.AcadDrawWeld(input());
  const int token = registerTransport([](std::string_view) -> ObjectRef { throw EOleSysError("gone"); });
  pick(0, 0);
  pick(10, 10);
  draw.AcadDrawWeld(input());
  unregisterTransport(token);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("Start_ACAD"), std::string::npos);
  EXPECT_EQ(host->modelSpace->entities.size(), 6u);  // both designations were drawn
}

// An automation object that only knows which program it stands for.
struct Named final : AutoObject {
  explicit Named(std::string n) : name(std::move(n)) {}
  Variant call(std::string_view, const Args&) override { return {}; }
  Variant get(std::string_view) override { return {}; }
  void put(std::string_view, const Variant&) override {}
  std::string name;
};

// The settings' list of CAD programs: the first one running is taken, in the list's order.
TEST(ProgIdList, FirstRunningProgramOfTheListIsTaken) {
  struct Case {
    const char* list;
    const char* running;  // nullptr: none
    const char* taken;    // nullptr: the failure of the last one tried
    std::vector<std::string> asked;
  };
  const Case cases[] = {
      {"AutoCAD.Application", "AutoCAD.Application", "AutoCAD.Application", {"AutoCAD.Application"}},
      {"", "AutoCAD.Application", "AutoCAD.Application", {"AutoCAD.Application"}},
      {" A.App ; B.App ;C.App", "B.App", "B.App", {"A.App", "B.App"}},
      {"A.App;;B.App;", "B.App", "B.App", {"A.App", "B.App"}},
      {"A.App;B.App", nullptr, nullptr, {"A.App", "B.App"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> asked;
    const int token = registerTransport([&](std::string_view progId) -> ObjectRef {
      asked.emplace_back(progId);
      if (!c.running || progId != c.running) return nullptr;
      return std::make_shared<Named>(std::string(progId));
    });
    if (c.taken) {
      const ObjectRef o = GetActiveOleObjectOf(c.list);
      EXPECT_EQ(std::static_pointer_cast<Named>(o)->name, c.taken) << c.list;
    } else {
      EXPECT_THROW(GetActiveOleObjectOf(c.list), EOleSysError) << c.list;
    }
    EXPECT_EQ(asked, c.asked) << c.list;
    unregisterTransport(token);
  }
}

// Blocks are asked for by name: a drawing full of designations costs no more calls than an
// empty one, and a user's block that differs from an arrowhead's name only in case is left alone.
TEST_F(DrawTest, CallsDoNotGrowWithTheDrawingAndAUsersBlockIsKept) {
  auto drawOnce = [this] {
    pick(0, 0);
    pick(30, 20);
    pick(60, 20);
    draw.AcadDrawWeld(input({"2", "5", "ГОСТ 14771-76", "С2", "ИП", "5", "50/100", "Rz20"}, Side::Front, true, 3, 1));
  };
  drawOnce();
  const std::size_t empty = host->calls.size();
  auto full = std::make_shared<FakeHost>();
  full->registerAsRunning();
  for (int i = 0; i < 1000; ++i)
    full->blocks.push_back(std::make_shared<FakeBlock>(FakeBlock{"Weld_" + std::to_string(i), {0, 0, 0}, {}}));
  full->blocks.push_back(std::make_shared<FakeBlock>(FakeBlock{"kelvol", {9, 9, 9}, {}}));
  host = full;
  DrawWeld fresh(services());
  pick(0, 0);
  pick(30, 20);
  pick(60, 20);
  fresh.AcadDrawWeld(input({"2", "5", "ГОСТ 14771-76", "С2", "ИП", "5", "50/100", "Rz20"}, Side::Front, true, 3, 1));
  EXPECT_TRUE(messages.empty());
  EXPECT_LE(host->calls.size(), empty);
  EXPECT_TRUE(host->block("kelvol")->entities.empty());
}

// Every call of a full command failed in turn, with each kind.
TEST_F(DrawTest, EachFailingCallIsReportedAndEndsTheCommand) {
  auto full = [this] {
    pick(0, 0);
    pick(30, 20);
    pick(60, 20);
    return input({"2", "5", "ГОСТ 14771-76", "С2", "ИП", "5", "50/100", "Rz20"}, Side::Front, true, 3, 1);
  };
  draw.AcadDrawWeld(full());
  const std::size_t total = host->calls.size();
  const auto reference = host->calls;
  // The host's exception in a lookup by name means "no such block", which the command expects;
  // at a prompt it is the user's cancel (a test of its own); a program that does not tell its
  // window is left where it is.
  auto expected = [&reference](std::size_t i, FailKind kind) {
    const std::string& m = reference[i].member;
    if (m == "HWND") return kind == FailKind::SysError;
    // A program that serves no selection sets is not searched for the number's other seams.
    if (m == "SelectionSets") return kind != FailKind::Error;
    if (kind != FailKind::Exception) return true;
    return m != "GetPoint" && !(m == "Item" && std::holds_alternative<std::string>(reference[i].args.at(0)));
  };
  // Start_ACAD ends by making the program visible; the number is checked before the undo group.
  std::size_t startCalls = 0, markAt = 0;
  while (host->calls[startCalls].member != "Visible") ++startCalls;
  ++startCalls;
  while (host->calls[markAt].member != "StartUndoMark") ++markAt;
  ASSERT_GT(total, 50u);
  const std::pair<FailKind, const char*> kinds[] = {
      {FailKind::Exception, "Нет связи с AutoCAD! (EOleException)"},
      {FailKind::SysError, "Операция недоступна! (EOleSysError)"},
      {FailKind::Error, "Незагружен AutoCAD! (EOleError)"}};
  for (const auto& [kind, reason] : kinds) {
    for (std::size_t i = 0; i < total; ++i) {
      if (!expected(i, kind)) continue;
      auto fresh = std::make_shared<FakeHost>();
      fresh->registerAsRunning();
      host = fresh;
      messages.clear();
      DrawWeld d(services());
      host->failAt = i;
      host->failKind = kind;
      d.AcadDrawWeld(full());
      ASSERT_FALSE(messages.empty()) << i;
      const bool inStart = i < startCalls;
      EXPECT_EQ(messages[0], std::string("Модуль   : Draw_Weld\r\nПроцедура: ") +
                                 (inStart ? "Start_ACAD" : "AcadDrawWeld") + "\r\nОшибка   : " + reason)
          << i;
      // After a failure only the undo group is closed, unless opening it was what failed.
      if (!inStart && i < markAt) {
        EXPECT_EQ(host->calls.size(), i + 1) << "calls went on after call " << i;
      } else if (!inStart && reference[i].member != "StartUndoMark" && reference[i].member != "EndUndoMark") {
        ASSERT_EQ(host->calls.size(), i + 2) << "calls went on after call " << i;
        EXPECT_EQ(host->calls.back().member, "EndUndoMark") << i;
      } else if (!inStart) {
        EXPECT_EQ(host->calls.size(), i + 1) << "calls went on after call " << i;
      } else if (host->calls.size() > i + 1) {
        EXPECT_EQ(host->calls[i + 1].member, reference[startCalls].member) << "Start_ACAD went on after call " << i;
      }
    }
  }
  host->calls.clear();
  host->failAt = 12;
  host->failKind = FailKind::Other;
  DrawWeld d(services());
  EXPECT_THROW(d.AcadDrawWeld(full()), std::runtime_error);
}

}  // namespace
}  // namespace kelvo::cad::test
