// Kelvo's main window drawing into the real drawing host, headless, over the local transport.
#include "app/forms/main_weld.h"
#include "cad/draw_weld.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "platform/codepage.h"
#include "cad/acad.h"
#include "cad/designation_xdata.h"
#include "cad/draw_session.h"
#include "catalog/forms/gost_weld.h"
#include "catalog/forms/picker_hooks.h"
#include "catalog/forms/spos_weld.h"
#include "catalog/forms/tip_weld.h"
#include "host/model/object_model.h"
#include "host/model/xdata.h"
#include "platform/automation_wire.h"
#include "platform/local_transport.h"
#include "tests/host/end_to_end.h"
#include "tests/support/form_helpers.h"
#include "tests/support/temp_dir.h"

#include <QLabel>
#include <QLocalSocket>
#include <QPushButton>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <thread>

namespace kelvo {
namespace {


TEST_F(EndToEnd, TheDesignationLandsInTheDrawing) {
  auto hostProcess = startHost("0,0;30,20;60,20");
  openWindow();
  pressDraw();
  EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : messages.shown[0].utf8);
  EXPECT_TRUE(win->isVisible());
  host::Document doc = stopHost(*hostProcess);
  ASSERT_NE(doc.findLayer(w("Сварка")), nullptr);
  EXPECT_EQ(doc.findLayer(w("Сварка"))->color, 2);
  ASSERT_NE(doc.findBlock("KelvoL"), nullptr);
  const host::Block* weld = doc.findBlock("Weld_000");
  ASSERT_NE(weld, nullptr);
  const auto shelfText = std::find_if(weld->entities.begin(), weld->entities.end(),
                                     [](const host::Entity& e) { return e.kind == host::Kind::Text; });
  ASSERT_NE(shelfText, weld->entities.end());
  EXPECT_EQ(shelfText->text, w("ГОСТ 14771-76-С2-ИП-"));
  const auto& space = doc.modelSpace().entities;
  ASSERT_EQ(space.size(), 3u);
  EXPECT_EQ(space[0].kind, host::Kind::Text);
  EXPECT_EQ(space[0].text, "2N%%d5");
  EXPECT_EQ(space[1].kind, host::Kind::Insert);
  EXPECT_EQ(space[2].kind, host::Kind::Leader);
  EXPECT_EQ(space[2].points[1], space[1].points[0]);  // the leader ends at the insert
  // The arrowhead override is written as the leader's XDATA.
  bool override341 = false;
  for (const host::Tag& t : *space[2].original) override341 |= t.code == 1070 && t.value == "341";
  EXPECT_TRUE(override341);
  // The designation crossed the socket as extended data (group codes and an array of values)
  // and came back from the saved drawing on each of its parts.
  for (const host::Entity& part : space) {
    const cad::VariantArray x = host::getXData(doc, part, "KELVO");
    const auto d = cad::readDesignationXData(cad::toShorts(x.items.at(0)), cad::toVariants(x.items.at(1)));
    ASSERT_TRUE(d.has_value()) << host::variantJson(x);
    EXPECT_EQ(d->input.texts[2], w("ГОСТ 14771-76"));
    EXPECT_EQ(d->handles, (std::vector<std::string>{space[1].handle, space[2].handle, space[0].handle}));
  }
}

// A joint and a method picked in the shipped catalogue, as a user clicks them, from each of the
// larger standards, and the designation drawn with them.
TEST_F(EndToEnd, AJointPickedFromEachStandardIsDrawn) {
  for (const char* name : {"standards.dat", "16037-80.dat", "5264-80.dat", "14771-76.dat", "8713-79.dat",
                           "16037-80.ris", "5264-80.ris", "14771-76.ris", "8713-79.ris"}) {
    const std::string to = name == std::string("standards.dat") ? "kelvo.dat" : std::string("kelvo_") + name;
    std::filesystem::copy_file(std::string(KELVO_DATA_DIR) + "/" + name, dir.file(to));
  }
  const struct {
    int standard, tab, button, method;  // the standard's row in the list; the method's column
    const char* shelf;
  } cases[] = {
      {5, 3, 5, 4, "ГОСТ 16037-80-У17-Г"},  // a branch, gas welding
      {0, 2, 4, 0, "ГОСТ 5264-80-С45"},     // no method designation
      {1, 2, 1, 3, "ГОСТ 14771-76-У8-УП"},
      {2, 0, 1, 1, "ГОСТ 8713-79-С38-АФф"},
  };
  openWindow(catalogPickers());
  for (const auto& c : cases) {
    tipState() = TipState{};
    test::onNextModal([&c](QWidget* m) {
      auto* gost = qobject_cast<TfmGost*>(m);
      ASSERT_NE(gost, nullptr);
      gost->list()->setCurrentCell(c.standard, 1);
      gost->findChild<QPushButton*>("bbOk")->click();
    });
    win->dsbGOSTClick();
    test::onNextModal([&c](QWidget* m) {
      auto* spos = qobject_cast<TfmSpos*>(m);
      ASSERT_NE(spos, nullptr);
      test::onNextModal([&c](QWidget* t) {
        auto* tip = qobject_cast<TfmTip*>(t);
        ASSERT_NE(tip, nullptr);
        tip->tabs()->setCurrentIndex(c.tab);
        tip->button(c.button)->click();
        tip->findChild<QPushButton*>("bbOk")->click();
      });
      spos->findChild<QToolButton*>("sbRis")->click();
      spos->grid()->setCurrentCell(1, c.method);
      spos->findChild<QPushButton*>("bbOk")->click();
    });
    win->dsbTipClick();
    auto hostProcess = startHost("0,0;30,20;60,20");
    pressDraw();
    EXPECT_TRUE(messages.shown.empty()) << c.shelf << ": " << (messages.shown.empty() ? "" : messages.shown[0].utf8);
    messages.shown.clear();
    host::Document doc = stopHost(*hostProcess);
    const host::Block* weld = doc.findBlock("Weld_000");
    ASSERT_NE(weld, nullptr) << c.shelf;
    const auto shelfText = std::find_if(weld->entities.begin(), weld->entities.end(),
                                       [](const host::Entity& e) { return e.kind == host::Kind::Text; });
    ASSERT_NE(shelfText, weld->entities.end()) << c.shelf;
    EXPECT_EQ(cp1251::toUtf8(shelfText->text).rfind(c.shelf, 0), 0u) << cp1251::toUtf8(shelfText->text);
    std::filesystem::remove(dir.file("out.dxf"));
  }
}

// With --snap the picks a few hundredths off a drawing's geometry land on it, as a user's
// clicks within the aperture do: the leader starts exactly at the flange's corner, and on the
// slanted edge of the hatched weld.
TEST_F(EndToEnd, SnappedPicksStartTheLeaderOnTheGeometry) {
  test::spit(dir.file("tee.dxf"), test::slurp(KELVO_HOST_DATA_DIR "/tee_joint.dxf"));
  auto hostProcess = startHost("0.03,11.97;-20,40;-60,40;110.03,16.02;150,80;190,80", false,
                               {"--snap", QString::fromStdString(dir.file("tee.dxf"))});
  openWindow();
  pressDraw();
  pressDraw();
  EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : messages.shown[0].utf8);
  const host::Document doc = stopHost(*hostProcess);
  std::vector<host::Point> tips;
  for (const host::Entity& e : doc.blocks[0].entities)
    if (e.kind == host::Kind::Leader && !e.points.empty()) tips.push_back(e.points[0]);
  ASSERT_EQ(tips.size(), 2u);
  EXPECT_EQ(tips[0], (host::Point{0, 12, 0}));
  // On the edge from (114, 12) to (106, 20): x + y = 126.
  EXPECT_NEAR(tips[1][0] + tips[1][1], 126, 1e-9);
  EXPECT_NEAR(tips[1][0], 110, 0.05);
}

// "Из чертежа": the window shows exactly what was drawn; with another leg, "Чертить" replaces it
// at its old points; one undo in the host brings the old one back, a redo the new one; a pick on
// nothing says so and leaves the window as it was.
TEST_F(EndToEnd, ADesignationIsTakenBackChangedAndTheChangeUndone) {
  auto hostProcess = startHost("0,0;30,20;60,20;15,10;15,10;200,200");
  openWindow();
  pressDraw();
  const FieldTexts drawn = win->fieldTexts();
  auto take = [this] { QTest::mouseClick(win->findChild<QPushButton*>("bbTake"), Qt::LeftButton); };
  win->bbClearClick();
  take();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(win->fieldTexts(), drawn);
  EXPECT_EQ(mainWeld().Znak1, 3);
  EXPECT_EQ(win->findChild<QLabel*>("lbCaption")->text(), QStringLiteral("Изменяется обозначение из чертежа (ГОСТ 2.312-72)"));
  win->edit(field::Kat)->setText(QStringLiteral("8"));
  pressDraw();
  const cad::ObjectRef d = cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument().ref();
  d->call("SendCommand", {std::string("_u ")});
  take();
  EXPECT_EQ(win->edit(field::Kat)->text(), QStringLiteral("5"));  // the old designation is back
  d->call("SendCommand", {std::string("_redo ")});
  take();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].utf8.find("Ничего не выбрано"), std::string::npos);
  EXPECT_EQ(win->edit(field::Kat)->text(), QStringLiteral("5"));
  host::Document doc = stopHost(*hostProcess);
  const auto& space = doc.modelSpace().entities;
  ASSERT_EQ(space.size(), 3u);  // the old parts are gone from the file
  EXPECT_EQ(space[1].points[0], (host::Point{30, 20, 0}));
  const host::Block* weld = doc.findBlock(space[1].text);
  ASSERT_NE(weld, nullptr);
  std::vector<std::string> texts;
  for (const host::Entity& e : weld->entities)
    if (e.kind == host::Kind::Text) texts.push_back(e.text);
  EXPECT_EQ(texts, (std::vector<std::string>{w("ГОСТ 14771-76-С2-ИП-"), "8", "Rz20"}));
}

// One undo in the host takes the second designation away whole; a redo brings it back.
TEST_F(EndToEnd, OneUndoInTheHostTakesAWholeDesignationAway) {
  auto hostProcess = startHost("0,0;30,20;60,20;100,0;130,20;160,20");
  openWindow();
  pressDraw();
  pressDraw();
  EXPECT_TRUE(messages.shown.empty());
  const cad::ObjectRef d = cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument().ref();
  for (const char* command : {"_u ", "_u ", "_redo "}) d->call("SendCommand", {std::string(command)});
  host::Document doc = stopHost(*hostProcess);
  std::vector<host::Kind> kinds;
  for (const host::Entity& e : doc.modelSpace().entities) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<host::Kind>{host::Kind::Text, host::Kind::Insert, host::Kind::Leader}));
  EXPECT_EQ(doc.modelSpace().entities[1].points[0][0], 30);  // the first designation, as drawn
}

// The host dies after a designation was drawn: started again with --recover, it has the work.
TEST_F(EndToEnd, AKilledHostsWorkIsThereOnItsNextStart) {
  const QString part = QString::fromStdString(dir.file("part.dxf"));
  test::spit(dir.file("part.dxf"), host::writeDxf(*std::make_unique<host::Document>()));
  auto first = startHost("0,0;30,20;60,20", false, {part});
  openWindow();
  pressDraw();
  EXPECT_TRUE(messages.shown.empty());
  const std::string copy = dir.file("part.autosave.dxf");
  for (int i = 0; i < 100 && !std::filesystem::exists(copy); ++i) QTest::qWait(50);
  ASSERT_TRUE(std::filesystem::exists(copy));
  ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
  first->waitForFinished(10000);

  auto again = startHost("", false, {"--recover", part});
  host::Document doc = stopHost(*again);
  EXPECT_NE(doc.findBlock("Weld_000"), nullptr);
  EXPECT_EQ(doc.modelSpace().entities.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(copy)) << "saved work leaves no copy behind";
}

TEST_F(EndToEnd, NoHostShowsBothMessages) {
  openWindow();
  pressDraw();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_NE(messages.shown[0].utf8.find("Start_ACAD"), std::string::npos);
  EXPECT_NE(messages.shown[0].utf8.find("EOleSysError"), std::string::npos);
  EXPECT_NE(messages.shown[1].utf8.find("EOleError"), std::string::npos);
  EXPECT_TRUE(win->isVisible());
}

TEST_F(EndToEnd, EscAtAPromptEndsTheCommand) {
  auto hostProcess = startHost("0,0;30,20");  // the third prompt is cancelled
  openWindow();
  pressDraw();
  EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].utf8;
  EXPECT_TRUE(win->isVisible());
  stopHost(*hostProcess);
}

TEST_F(EndToEnd, AHostKilledWhileWaitingForAPickFailsTheCallAndKelvoGoesOn) {
  auto hostProcess = startHost("0,0", true);
  openWindow();
  const auto pid = static_cast<pid_t>(hostProcess->processId());
  std::thread killer([pid] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ::kill(pid, SIGKILL);
  });
  pressDraw();  // waits inside the second prompt until the host dies
  killer.join();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].utf8.find("EOleSysError"), std::string::npos);
  EXPECT_TRUE(win->isVisible());
  hostProcess->waitForFinished(5000);

  // A second command after the host was started again reaches the new one.
  auto again = startHost("0,0;30,20;60,20");
  messages.shown.clear();
  pressDraw();
  EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : messages.shown[0].utf8);
  host::Document doc = stopHost(*again);
  EXPECT_NE(doc.findBlock("Weld_000"), nullptr);
}

TEST_F(EndToEnd, AMalformedMessageClosesOnlyItsConnectionAndASecondHostIsRefused) {
  auto hostProcess = startHost("0,0;30,20;60,20");
  {
    QLocalSocket bad;
    bad.connectToServer(wire::socketPath(QStringLiteral("AutoCAD.Application")));
    ASSERT_TRUE(bad.waitForConnected(3000));
    bad.write(QByteArray("\x00\x00\x00\x05junk!", 9));
    bad.flush();
    EXPECT_TRUE(bad.waitForDisconnected(3000));
  }
  QProcess second;
  second.start(QStringLiteral(KELVO_HOST), {"--headless"});
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_TRUE(second.readAllStandardError().contains("уже обслуживает"));
  openWindow();
  pressDraw();  // the first host still serves
  EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : messages.shown[0].utf8);
  EXPECT_NE(stopHost(*hostProcess).findBlock("Weld_000"), nullptr);
}

}  // namespace
}  // namespace kelvo
