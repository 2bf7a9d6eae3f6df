// The draw command through real COM calls across processes, against kelvo-comhost.exe.
#include "cad/draw_weld.h"
#include "cad/take_designation.h"
#include "host/model/dxf_reader.h"
#include "platform/codepage.h"
#include "platform/com/com_objects.h"
#include "platform/com/com_transport.h"
#include "tests/com/com_server.h"
#include "tests/com/draw_cases.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace kelvo::test {
namespace {

using namespace std::chrono_literals;

class ComTransport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { token_ = registerComTransport(); }
  static void TearDownTestSuite() { cad::unregisterTransport(token_); }

  std::vector<std::string> draw(const DrawCase& c, const std::string& progId) {
    std::vector<std::string> messages;
    cad::DrawWeld command({[&](const std::string& t) { messages.push_back(cp1251::toUtf8(t)); }, &referenceTime});
    command.AcadDrawWeld(caseInput(c, progId));
    return messages;
  }

  TempDir dir;
  static int token_;
};
int ComTransport::token_ = 0;

// The server's transcript without the Quit that ended it.
std::string servedCalls(const std::string& transcript) {
  const std::string quit = "\"member\":\"Quit\"";
  const std::size_t last = transcript.rfind('\n', transcript.size() >= 2 ? transcript.size() - 2 : 0);
  const std::size_t start = last == std::string::npos ? 0 : last + 1;
  return transcript.find(quit, start) != std::string::npos ? transcript.substr(0, start) : transcript;
}

TEST_F(ComTransport, DrawsWhatTheInProcessHostDraws) {
  for (const DrawCase& c : drawCases()) {
    SCOPED_TRACE(c.name);
    const std::string progId = uniqueProgId();
    ComServer server(progId, {"--picks", c.picks, "--transcript", dir.file("calls.jsonl"), "--output", dir.file("out.dxf")});
    EXPECT_TRUE(draw(c, progId).empty());
    ASSERT_EQ(server.quit(), 0);
    EXPECT_EQ(slurp(dir.file("out.dxf")), slurp(goldenFile(c, ".dxf")));
    EXPECT_EQ(servedCalls(slurp(dir.file("calls.jsonl"))), slurp(goldenFile(c, ".jsonl")));
  }
}

// Taken back through COM's out-parameters (GetEntity, GetXData), then replaced at its points.
TEST_F(ComTransport, ADesignationIsTakenBackAndReplaced) {
  const DrawCase& c = drawCases().front();
  const std::string progId = uniqueProgId();
  ComServer server(progId, {"--picks", std::string(c.picks) + ";10,7.5;10,7.5", "--output", dir.file("out.dxf")});
  EXPECT_TRUE(draw(c, progId).empty());
  const cad::AcadDocument doc = cad::AcadApplication(cad::GetActiveOleObject(progId)).ActiveDocument();
  const cad::Taken taken = cad::takeDesignation(doc);
  ASSERT_EQ(taken.outcome, cad::TakeOutcome::Taken);
  EXPECT_EQ(taken.designation.input.texts, caseInput(c, progId).texts);
  EXPECT_EQ(taken.designation.handles.size(), 3u);
  DrawInput changed = caseInput(c, progId);
  changed.texts[5] = "9";
  cad::DrawWeld command({[](const std::string& t) { ADD_FAILURE() << cp1251::toUtf8(t); }, &referenceTime});
  command.AcadDrawWeld(changed, taken.designation);
  EXPECT_EQ(cad::takeDesignation(doc).designation.input.texts[5], "9");
  ASSERT_EQ(server.quit(), 0);
}

// The drawing's designations come through one selection set whose filter is read by the server
// (arrays of group codes and of variants, the points omitted), as AutoCAD's Select takes it.
TEST_F(ComTransport, TheDesignationsOfADrawingAreFoundWithOneSelectionSet) {
  const DrawCase& five = drawCases()[0];
  const DrawCase& twelve = drawCases()[1];
  const std::string progId = uniqueProgId();
  ComServer server(progId, {"--picks", std::string(five.picks) + ";" + twelve.picks, "--transcript", dir.file("calls.jsonl")});
  EXPECT_TRUE(draw(five, progId).empty());
  EXPECT_TRUE(draw(twelve, progId).empty());
  const std::size_t drawn = slurp(dir.file("calls.jsonl")).size();
  cad::DrawWeld command({[](const std::string& t) { ADD_FAILURE() << cp1251::toUtf8(t); }, &referenceTime});
  EXPECT_EQ(command.NextFreeNumber(progId), 13);
  const auto found = command.Designations(progId);
  ASSERT_TRUE(found.has_value());
  ASSERT_EQ(found->size(), 2u);
  EXPECT_EQ((*found)[1].stored.input.texts[1], "12");
  ASSERT_EQ(server.quit(), 0);
  const std::string searched = servedCalls(slurp(dir.file("calls.jsonl"))).substr(drawn);
  auto count = [&](const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = searched.find(what); at != std::string::npos; at = searched.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("\"member\":\"Select\""), 2u) << searched;  // one for each search
  EXPECT_EQ(count("\"member\":\"GetXData\""), 4u);
  EXPECT_EQ(count("[0,1001]"), 2u) << searched;
}

constexpr const char* kNotRunning[] = {
    "Модуль   : Draw_Weld\r\nПроцедура: Start_ACAD\r\nОшибка   : Операция недоступна! (EOleSysError)",
    "Модуль   : Draw_Weld\r\nПроцедура: AcadDrawWeld\r\nОшибка   : Незагружен AutoCAD! (EOleError)"};

TEST_F(ComTransport, NoServerRunning) {
  const std::string registered = uniqueProgId();
  { ComServer once(registered, {}); EXPECT_EQ(once.quit(), 0); }
  // A ProgID no program registered, and one registered whose program is not running.
  for (const std::string& progId : {uniqueProgId(), registered}) {
    SCOPED_TRACE(progId);
    const auto messages = draw(drawCases()[0], progId);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], kNotRunning[0]);
    EXPECT_EQ(messages[1], kNotRunning[1]);
  }
}

TEST_F(ComTransport, ListOfProgramsReachesTheOneRunning) {
  const std::string progId = uniqueProgId();
  ComServer server(progId, {"--picks", drawCases()[0].picks, "--output", dir.file("out.dxf")});
  EXPECT_TRUE(draw(drawCases()[0], uniqueProgId() + ";" + progId).empty());
  ASSERT_EQ(server.quit(), 0);
  EXPECT_EQ(slurp(dir.file("out.dxf")), slurp(goldenFile(drawCases()[0], ".dxf")));
}

// Esc at a prompt fails GetPoint in the server as AutoCAD's does (DISP_E_EXCEPTION): the command
// ends without a message and leaves nothing of the designation but its arrowhead block.
TEST_F(ComTransport, ACancelAtEachPromptEndsTheCommandQuietly) {
  const DrawCase& c = drawCases().front();
  const std::string picks[] = {"", "0,0", "0,0;20,15"};
  for (const std::string& answered : picks) {
    SCOPED_TRACE(answered);
    const std::string progId = uniqueProgId();
    std::vector<std::string> args{"--output", dir.file("out.dxf")};
    if (!answered.empty()) args.insert(args.end(), {"--picks", answered});
    ComServer server(progId, args);
    const auto messages = draw(c, progId);
    EXPECT_TRUE(messages.empty()) << messages.front();
    ASSERT_EQ(server.quit(), 0);
    const host::Document doc = host::readDxf(slurp(dir.file("out.dxf")));
    for (const host::Entity& e : doc.blocks[0].entities) EXPECT_TRUE(e.deleted) << e.handle;
    for (const host::Block& b : doc.blocks) EXPECT_FALSE(b.name.starts_with("Weld_")) << b.name;
  }
}

// A refusal of the server arrives as the host's exception with its text, and integer system
// variables as 16-bit integers (VT_I2), as AutoCAD answers them.
TEST_F(ComTransport, ServerExceptionsAndVariableTypesCrossAsAutoCadsDo) {
  const std::string progId = uniqueProgId();
  ComServer server(progId, {});
  const cad::AcadDocument doc = cad::AcadApplication(cad::GetActiveOleObject(progId)).ActiveDocument();
  try {
    doc.HandleToObject("FFFFF");
    ADD_FAILURE() << "no exception";
  } catch (const cad::EOleException& e) {
    EXPECT_NE(std::string(e.what()).find("FFFFF"), std::string::npos) << e.what();
  }
  EXPECT_EQ(doc.GetVariable("TILEMODE"), cad::Variant(std::int16_t{1}));
  EXPECT_EQ(doc.GetVariable("DIMSCALE"), cad::Variant(1.0));
  EXPECT_EQ(doc.GetVariable("CANNOSCALE"), cad::Variant(std::string("1:1")));
  EXPECT_EQ(server.quit(), 0);
}

TEST_F(ComTransport, ServerKilledDuringACallEndsTheCommandWithAMessage) {
  const std::string progId = uniqueProgId();
  ComServer server(progId, {"--hold"});  // waits at the first prompt like a user who does not pick
  std::thread killer([&server] {
    std::this_thread::sleep_for(1500ms);
    server.kill();
  });
  const auto messages = draw(drawCases()[0], progId);
  killer.join();
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages[0].find("(EOleSysError)"), std::string::npos) << messages[0];
}

TEST_F(ComTransport, BusyServerIsWaitedFor) {
  const std::string progId = uniqueProgId();
  const DrawCase& c = drawCases()[0];
  ComServer server(progId, {"--busy", "2", "--picks", c.picks, "--output", dir.file("out.dxf")});
  const auto start = std::chrono::steady_clock::now();
  const auto messages = draw(c, progId);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_GE(std::chrono::steady_clock::now() - start, 1s);
  ASSERT_EQ(server.quit(), 0);
  EXPECT_EQ(slurp(dir.file("out.dxf")), slurp(goldenFile(c, ".dxf")));
}

TEST_F(ComTransport, ServerThatStaysBusyFailsAfterTheRetryTime) {
  const std::string progId = uniqueProgId();
  ComServer server(progId, {"--busy", "600"});
  com::setRejectedCallRetryTime(3s);
  const auto start = std::chrono::steady_clock::now();
  const auto messages = draw(drawCases()[0], progId);
  const auto took = std::chrono::steady_clock::now() - start;
  com::setRejectedCallRetryTime(30s);
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages[0].find("Процедура: Start_ACAD"), std::string::npos) << messages[0];
  EXPECT_GE(took, 3s);
  EXPECT_LT(took, 20s);
}

// The CAD program closed and started again between two commands of one Kelvo: the second
// command draws into the new one, and the old one's objects go without holding it up.
TEST_F(ComTransport, AProgramStartedAgainTakesTheNextCommand) {
  const DrawCase& c = drawCases().front();
  const std::string progId = uniqueProgId();
  std::vector<std::string> messages;
  cad::DrawWeld command({[&](const std::string& t) { messages.push_back(cp1251::toUtf8(t)); }, &referenceTime});
  {
    ComServer first(progId, {"--picks", c.picks});
    command.AcadDrawWeld(caseInput(c, progId));
    first.kill();  // closed without a word
  }
  command.AcadDrawWeld(caseInput(c, uniqueProgId()));  // nothing running: its two messages
  ASSERT_EQ(messages.size(), 2u);
  messages.clear();
  ComServer second(progId, {"--picks", c.picks, "--output", dir.file("out.dxf")});
  const auto start = std::chrono::steady_clock::now();
  command.AcadDrawWeld(caseInput(c, progId));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_TRUE(messages.empty()) << messages.front();
  ASSERT_EQ(second.quit(), 0);
  EXPECT_EQ(slurp(dir.file("out.dxf")), slurp(goldenFile(c, ".dxf")));
}

// A CAD program that stops answering in the middle of a command (alive, not busy): the call is
// given up after the time set, the command ends with its message at once, and nothing else of
// it waits that long again (releasing the program's objects included).
TEST_F(ComTransport, AProgramThatStopsAnsweringEndsTheCommandWithItsMessage) {
  const DrawCase& c = drawCases().front();
  const std::string progId = uniqueProgId();
  ComServer server(progId, {"--picks", c.picks, "--stall-after", "40"});  // past the prompts
  com::setUnansweredCallTime(2s);
  com::setRejectedCallRetryTime(1s);
  const auto start = std::chrono::steady_clock::now();
  const auto messages = draw(c, progId);
  const auto took = std::chrono::steady_clock::now() - start;
  com::setUnansweredCallTime(35s);
  com::setRejectedCallRetryTime(30s);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Модуль   : Draw_Weld\r\nПроцедура: AcadDrawWeld\r\nОшибка   : Операция недоступна! (EOleSysError)");
  EXPECT_GE(took, 6s);  // the retry time and 5 s
  EXPECT_LT(took, 12s);
}

TEST_F(ComTransport, EveryByteAndCyrillicNamesCrossIntact) {
  auto tables = [](const std::string& progId) {
    const cad::ObjectRef doc = cad::toObject(cad::GetActiveOleObject(progId)->get("ActiveDocument"));
    return std::make_pair(cad::toObject(doc->get("Layers")), cad::toObject(doc->get("Blocks")));
  };
  {
    const std::string progId = uniqueProgId();
    ComServer server(progId, {});
    const cad::ObjectRef layers = tables(progId).first;
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(cad::toText(cad::toObject(layers->call("Add", {all}))->get("Name")), all);
    // A text the code page cannot hold comes back escaped, as CAD keeps it.
    EXPECT_EQ(cad::toText(cad::toObject(layers->call("Add", {std::string("\\U+4E2D")}))->get("Name")), "\\U+4E2D");
    EXPECT_EQ(server.quit(), 0);
  }
  const std::string progId = uniqueProgId();
  ComServer server(progId, {"--output", dir.file("out.dxf")});
  const std::string layer = cp1251::fromUtf8("Швы монтажные"), block = cp1251::fromUtf8("Блок_шва");
  tables(progId).first->call("Add", {layer});
  tables(progId).second->call("Add", {std::vector<double>{0, 0, 0}, block});
  EXPECT_EQ(server.quit(), 0);
  const std::string dxf = slurp(dir.file("out.dxf"));
  EXPECT_NE(dxf.find("\n" + layer + "\n"), std::string::npos);
  EXPECT_NE(dxf.find("\n" + block + "\n"), std::string::npos);
}

}  // namespace
}  // namespace kelvo::test
