// The draw button with the real draw command behind it.
#include "app/forms/main_weld.h"
#include "cad/draw_weld.h"
#include "tests/cad/fake_host.h"
#include "tests/support/form_helpers.h"
#include "tests/support/temp_dir.h"

#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

class DrawButtonTest : public ::testing::Test {
 protected:
  void open() {
    MainHooks hooks;
    hooks.draw = [this](const DrawInput& in) {
      hiddenWhileDrawing = !win->isVisible();
      drawing.AcadDrawWeld(in);
    };
    test::spit(dir.file("kelvo.ini"), cp1251::fromUtf8("[Сварка]\nПоле3=ГОСТ 14771-76\nПоле6=5\n"));
    win = std::make_unique<TfmMain>(dir.file("kelvo.bin"), hooks);
    win->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(win.get()));
  }
  void pressDraw() {
    auto* button = win->findChild<QPushButton*>("bbDraw");
    QTest::mouseClick(button, Qt::LeftButton);
  }

  test::TempDir dir;
  test::RecordedMessages messages;
  cad::DrawWeld drawing{{[](const std::string& text) {
                           showMessage(nullptr, MessageIcon::Warning, text);
                         },
                         [] { return std::tm{}; }}};
  std::unique_ptr<TfmMain> win;
  bool hiddenWhileDrawing = false;
};

TEST_F(DrawButtonTest, NoHostShowsBothMessagesAndTheWindowComesBack) {
  open();
  pressDraw();
  EXPECT_TRUE(hiddenWhileDrawing);
  EXPECT_TRUE(win->isVisible());
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
  EXPECT_EQ(messages.shown[0].utf8,
            "Модуль   : Draw_Weld\r\nПроцедура: Start_ACAD\r\nОшибка   : Операция недоступна! (EOleSysError)");
  EXPECT_EQ(messages.shown[1].utf8,
            "Модуль   : Draw_Weld\r\nПроцедура: AcadDrawWeld\r\nОшибка   : Незагружен AutoCAD! (EOleError)");
}

TEST_F(DrawButtonTest, DrawsTheDesignationOnTheFakeHost) {
  auto host = std::make_shared<cad::test::FakeHost>();
  host->registerAsRunning();
  host->picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
  open();
  pressDraw();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(win->isVisible());
  ASSERT_NE(host->block("Weld_000"), nullptr);
  EXPECT_EQ(cad::toText(host->block("Weld_000")->entities[0]->args[0]), cp1251::fromUtf8("ГОСТ 14771-76"));
}

TEST_F(DrawButtonTest, AnyOtherFailureIsReportedAndTheWindowComesBack) {
  auto host = std::make_shared<cad::test::FakeHost>();
  host->registerAsRunning();
  host->picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
  host->failAt = 20;
  host->failKind = cad::test::FailKind::Other;
  open();
  pressDraw();
  EXPECT_TRUE(win->isVisible());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(messages.shown[0].utf8, "Модуль Main_weld (bbDrawClick)\r\nНепредвиденная ошибка\r\nsomething else");
}

}  // namespace
}  // namespace kelvo
