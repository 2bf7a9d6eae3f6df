#include "app/forms/bitmap_list.h"
#include "app/forms/intermittent_edit.h"
#include "app/forms/main_weld.h"
#include "app/forms/qt_text.h"
#include "app/forms/znak_weld.h"
#include "platform/codepage.h"
#include "tests/support/form_helpers.h"
#include "tests/support/temp_dir.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kelvo {
namespace {

using test::onNextModal;
using test::RecordedMessages;
using test::slurp;
using test::spit;
using test::TempDir;

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }
QString q(const char* utf8) { return QString::fromUtf8(utf8); }

// Types any characters, as a keyboard layout would deliver them (QTest's keys are ASCII only).
void typeText(QWidget* target, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
  }
}

// A main window over a settings file written from `ini` (UTF-8 text, stored as cp1251).
class MainWindowTest : public ::testing::Test {
 protected:
  void open(const std::string& ini = "", MainHooks hooks = {}) {
    if (!ini.empty()) spit(dir.file("kelvo.ini"), w(ini.c_str()));
    win = std::make_unique<TfmMain>(dir.file("kelvo.bin"), std::move(hooks));
    win->show();
    win->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(win.get()));
  }
  template <typename T = QWidget>
  T* child(const char* name) {
    auto* c = win->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  void clickAt(QWidget* target) {
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
  }
  // Opens the sign picker with `open` and presses the button with Tag `tag`.
  void chooseSign(const std::function<void()>& open, int tag) {
    onNextModal([tag](QWidget* modal) {
      auto* picker = qobject_cast<TfmZnak*>(modal);
      ASSERT_NE(picker, nullptr);
      picker->button(tag)->click();
    });
    open();
  }
  std::string iniText() { return cp1251::toUtf8(slurp(dir.file("kelvo.ini"))); }

  TempDir dir;
  std::unique_ptr<TfmMain> win;
};

TEST_F(MainWindowTest, FirstStartHasDesignSizeHintsAndNoFields) {
  open();
  EXPECT_EQ(win->windowTitle(), q("Kelvo v.1 - Сварные швы"));
  EXPECT_EQ(win->frameGeometry().size(), QSize(725, 300));
  for (int n = 1; n <= kFieldCount; ++n) EXPECT_TRUE(win->edit(n)->isHidden()) << n;
  EXPECT_EQ(child<TImage>("imgKat")->picture(), 8);
  EXPECT_TRUE(child<QRadioButton>("rbUp")->isChecked());
  EXPECT_TRUE(win->arrowLeft());
}

TEST_F(MainWindowTest, ActivationOpensExactlyTheFilledFields) {
  struct Case {
    std::string ini;
    std::vector<int> open;
    const char* focus;  // nullptr: no rule applies
  };
  const Case cases[] = {
      {"[Сварка]\nПоле1=55\nПоле3=ГОСТ 14771-76\nПоле4=T12\nПоле6=5\n",
       {field::Kol, field::GOST, field::Tip, field::Kat}, "eTip"},
      {"[Сварка]\nПоле2=22\nПоле3=ГОСТ 14771-76\nПоле4=\"   \"\nПоле8=Rz20\n",
       {field::Num, field::GOST, field::Sher}, "eGOST"},
      {"[Сварка]\nПоле5=Ппш\nПоле7=200/300\n", {field::Spos, field::Dopl}, nullptr},
  };
  for (const auto& c : cases) {
    open(c.ini);
    for (int n = 1; n <= kFieldCount; ++n) {
      const bool expected = std::find(c.open.begin(), c.open.end(), n) != c.open.end();
      EXPECT_EQ(!win->edit(n)->isHidden(), expected) << c.ini << " field " << n;
    }
    const bool gostOpen = !win->edit(field::GOST)->isHidden();
    EXPECT_EQ(!child("dsbGOST")->isHidden(), gostOpen);
    EXPECT_EQ(child("pGOST")->width(), gostOpen ? 116 : 145);
    const bool katOpen = !win->edit(field::Kat)->isHidden();
    EXPECT_EQ(child<TImage>("imgKat")->picture(), katOpen ? 7 : 8);
    if (c.focus) {
      EXPECT_EQ(QApplication::focusWidget()->objectName(), QString(c.focus)) << c.ini;
    }
  }
  EXPECT_EQ(mainWeld().WeldData.Spos, w("Ппш"));
}

TEST_F(MainWindowTest, ClickingAClosedPanelOpensItsTextUnchanged) {
  open("[Сварка]\nПоле1=\" \"\nПоле3=\"  \"\n");
  ASSERT_TRUE(win->edit(field::Kol)->isHidden());
  clickAt(win->panel(field::Kol));
  EXPECT_FALSE(win->edit(field::Kol)->isHidden());
  EXPECT_EQ(win->edit(field::Kol)->text(), " ");
  EXPECT_EQ(QApplication::focusWidget(), win->edit(field::Kol));
  clickAt(win->panel(field::GOST));
  EXPECT_FALSE(win->edit(field::GOST)->isHidden());
  EXPECT_EQ(win->edit(field::GOST)->text(), "  ");
  EXPECT_FALSE(child("dsbGOST")->isHidden());
  EXPECT_EQ(child("pGOST")->width(), 116);
  clickAt(win->panel(field::Kat));
  EXPECT_EQ(child<TImage>("imgKat")->picture(), 7);
}

TEST_F(MainWindowTest, SideMovesTheTwentyRowControlsAndOnlyThem) {
  open();
  std::map<QString, QRect> before;
  for (QWidget* c : child("pMidle")->findChildren<QWidget*>()) before[c->objectName()] = c->geometry();
  std::set<QString> row;
  for (const char* name : TfmMain::rowControlNames()) row.insert(QString::fromLatin1(name));
  ASSERT_EQ(row.size(), 20u);

  clickAt(child("rbDown"));
  EXPECT_EQ(win->side(), Side::Back);
  for (QWidget* c : child("pMidle")->findChildren<QWidget*>()) {
    const QRect was = before[c->objectName()];
    if (row.count(c->objectName())) {
      EXPECT_EQ(c->geometry(), was.translated(0, 53 - was.top())) << c->objectName().toStdString();
    } else {
      EXPECT_EQ(c->geometry(), was) << c->objectName().toStdString();
    }
  }
  clickAt(child("rbUp"));
  for (QWidget* c : child("pMidle")->findChildren<QWidget*>())
    EXPECT_EQ(c->geometry(), before[c->objectName()]) << c->objectName().toStdString();
}

TEST_F(MainWindowTest, TwoClicksOnTheArrowAreaRestoreTheBarb) {
  open();
  QWidget* left = child("tlineStrL");
  QWidget* right = child("tlineStrR");
  for (int click = 1; click <= 4; ++click) {
    clickAt(child("Shape1"));
    const bool odd = click % 2 == 1;
    EXPECT_EQ(right->isHidden(), !odd);
    EXPECT_EQ(left->isHidden(), odd);
    EXPECT_EQ(win->arrowLeft(), !odd);
  }
}

TEST_F(MainWindowTest, BendSignChoiceShowsTheMarks) {
  open();
  const std::tuple<int, bool, bool> cases[] = {{3, true, true}, {0, false, false},
                                               {1, true, false}, {2, false, true}};
  for (const auto& [tag, circle, flag] : cases) {
    chooseSign([this] { win->shpSquareMouseUp(); }, tag);
    EXPECT_EQ(!child("shpCircle")->isHidden(), circle) << tag;
    EXPECT_EQ(!child("tlineEdge")->isHidden(), flag) << tag;
    EXPECT_EQ(mainWeld().Znak1, tag);
  }
}

// The bend picker opens with the designation's own sign pressed, as the shelf picker does.
TEST_F(MainWindowTest, TheBendPickerShowsTheSignTheDesignationHas) {
  open("[Сварка]\nЗнак1=2\n");
  std::vector<bool> pressed;
  onNextModal([&pressed](QWidget* modal) {
    auto* picker = qobject_cast<TfmZnak*>(modal);
    ASSERT_NE(picker, nullptr);
    for (int i = 1; i <= 3; ++i) pressed.push_back(picker->button(i)->isChecked());
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  win->shpSquareMouseUp();
  EXPECT_EQ(pressed, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(mainWeld().Znak1, 2) << "closed without a choice";
}

TEST_F(MainWindowTest, ShelfSignChoiceShowsPictures4To6) {
  open();
  for (int tag : {1, 2, 3, 0}) {
    chooseSign([this] { clickAt(child("imgZnak")); }, tag);
    EXPECT_EQ(child<TImage>("imgZnak")->picture(), tag == 0 ? 0 : tag + 3);
    EXPECT_EQ(mainWeld().Znak2, tag);
  }
}

// Ctrl+click gathers several shelf signs, letting go of Ctrl ends; a plain click is one sign.
TEST_F(MainWindowTest, SeveralShelfSignsWithCtrl) {
  open();
  onNextModal([](QWidget* modal) {
    auto* picker = qobject_cast<TfmZnak*>(modal);
    ASSERT_NE(picker, nullptr);
    for (int tag : {3, 1, 2, 2}) {
      QTest::mouseClick(picker->button(tag), Qt::LeftButton, Qt::ControlModifier);
      EXPECT_TRUE(picker->isVisible()) << tag;
    }
    EXPECT_TRUE(picker->button(1)->isChecked() && !picker->button(2)->isChecked());
    QTest::keyRelease(picker, Qt::Key_Control);
  });
  clickAt(child("imgZnak"));
  EXPECT_EQ(mainWeld().Znaki2.text(), "1,3");
  EXPECT_EQ(mainWeld().Znak2, 1);
  EXPECT_EQ(child<TImage>("imgZnak")->pictures(), QList<int>({4, 6}));
  EXPECT_EQ(shelfSignsOf(win->drawInput()).text(), "1,3");
  chooseSign([this] { clickAt(child("imgZnak")); }, 2);
  EXPECT_EQ(shelfSignsOf(win->drawInput()).text(), "2");
  EXPECT_TRUE(child<TImage>("imgZnak")->pictures().isEmpty());
  QTest::keyClick(win.get(), Qt::Key_Escape);
  EXPECT_EQ(iniText().find("Знаки2"), std::string::npos);  // one sign: the file as before
}

TEST_F(MainWindowTest, FieldSevenDrawsTheChainSignWhenNotTyping) {
  open("[Сварка]\nПоле7=50/100\nЗнак2=1\nЗнаки2=1,2,3\n");
  auto* e = qobject_cast<TIntermittentEdit*>(win->edit(field::Dopl));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(child<TImage>("imgZnak")->pictures(), QList<int>({4, 5, 6}));
  for (const auto& [text, glyph] : {std::pair{"50/100", true}, {"50Z100", true}, {"100", false}}) {
    e->setText(q(text));
    EXPECT_EQ(e->showsGlyph(), glyph) << text;
  }
  e->setFocus();
  EXPECT_FALSE(e->showsGlyph());
}

TEST_F(MainWindowTest, PickerClosedWithoutAChoiceChangesNothing) {
  open("[Сварка]\nЗнак1=2\n");
  onNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  win->shpSquareMouseUp();
  EXPECT_EQ(mainWeld().Znak1, 2);
  EXPECT_FALSE(child("tlineEdge")->isHidden());
  EXPECT_TRUE(child("shpCircle")->isHidden());
}

TEST_F(MainWindowTest, SignPickerPicturesHintsAndPlace) {
  open();
  TfmZnak bend(win.get(), 1, Side::Front);
  TfmZnak shelf(win.get(), 4, Side::Front);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(shelf.button(i)->toolTip().isEmpty(), false);
    EXPECT_NE(bend.button(i)->toolTip(), shelf.button(i)->toolTip());
  }
  EXPECT_EQ(bend.button(3)->toolTip(), q("Шов по замкнутой линии при монтаже изделия"));
  EXPECT_EQ(shelf.button(3)->toolTip(), q("Шов по не замкнутой линии"));
  const QPoint o(100, 50);
  EXPECT_EQ(TfmZnak::placement(o, 1, Side::Front), o + QPoint(139, 125));
  EXPECT_EQ(TfmZnak::placement(o, 4, Side::Front), o + QPoint(454, 99));
  EXPECT_EQ(TfmZnak::placement(o, 4, Side::Back), o + QPoint(454, 140));
}

TEST_F(MainWindowTest, EnterInAnEditBoxClearsButKeepsSideAndArrow) {
  open("[Сварка]\nПоле1=55\nПоле3=ГОСТ 14771-76\nПоле4=T12\nЗнак1=3\nЗнак2=2\n[Рисунок]\nНомер=7\n");
  clickAt(child("rbDown"));
  clickAt(child("Shape1"));
  win->edit(field::Tip)->setFocus();
  QTest::keyClick(win->edit(field::Tip), Qt::Key_Return);
  for (int n = 1; n <= kFieldCount; ++n) {
    EXPECT_TRUE(win->edit(n)->isHidden());
    EXPECT_TRUE(win->edit(n)->text().isEmpty());
  }
  EXPECT_TRUE(child("dsbGOST")->isHidden());
  EXPECT_EQ(child("pGOST")->width(), 145);
  EXPECT_EQ(child("pTip")->width(), 60);
  EXPECT_TRUE(child("shpCircle")->isHidden());
  EXPECT_EQ(child<TImage>("imgZnak")->picture(), 0);
  EXPECT_EQ(mainWeld().Znak1, 0);
  EXPECT_EQ(mainWeld().WeldData.RisNum, 255);
  EXPECT_EQ(mainWeld().WeldData.Gost, "");
  EXPECT_EQ(win->side(), Side::Back);
  EXPECT_FALSE(win->arrowLeft());
  EXPECT_EQ(child("pGOST")->y(), 53);
}

// The quick clear stays, and is taken back whole: by Ctrl+Z as by the button a mouse user finds.
TEST_F(MainWindowTest, AClearIsTakenBackWithEveryFieldSignAndTheRecord) {
  for (const bool byKey : {true, false}) {
    open("[Сварка]\nПоле1=55\nПоле3=ГОСТ 14771-76\nПоле4=T12\nПоле5=ИП\nЗнак1=3\nЗнак2=2\n[Рисунок]\nНомер=7\n");
    clickAt(child("rbDown"));
    clickAt(child("Shape1"));
    win->edit(field::Kat)->show();
    win->edit(field::Kat)->setFocus();
    QTest::keyClicks(win->edit(field::Kat), "5");
    const DrawInput before = win->drawInput();
    auto* undo = child<QPushButton>("bbUndoClear");
    EXPECT_FALSE(undo->isEnabled());
    QTest::keyClick(win->edit(field::Kat), Qt::Key_Return);
    ASSERT_TRUE(win->edit(field::Kat)->text().isEmpty());
    ASSERT_EQ(mainWeld().WeldData.Gost, "");
    EXPECT_TRUE(undo->isEnabled());
    if (byKey) QTest::keyClick(win.get(), Qt::Key_Z, Qt::ControlModifier);
    else undo->click();
    const DrawInput after = win->drawInput();
    for (std::size_t i = 0; i < before.texts.size(); ++i) EXPECT_EQ(after.texts[i], before.texts[i]) << i;
    EXPECT_EQ(after.texts[field::Kat - 1], "5");
    EXPECT_EQ(after.Znak1, before.Znak1);
    EXPECT_EQ(after.Znak2, before.Znak2);
    EXPECT_EQ(after.side, Side::Back);
    EXPECT_FALSE(after.arrowLeft);
    EXPECT_EQ(mainWeld().WeldData.Gost, before.WeldData.Gost);
    EXPECT_EQ(mainWeld().WeldData.RisNum, 7);
    EXPECT_EQ(mainWeld().WeldData.Spos, w("ИП"));
    EXPECT_FALSE(win->edit(field::Kat)->isHidden());
    EXPECT_FALSE(undo->isEnabled()) << "given back once";
  }
}

TEST_F(MainWindowTest, EscClosesAndWritesTheSettings) {
  open("[Сварка]\nПоле6=555\nЗнак1=3\n[Рисунок]\nНомер=300\n");
  EXPECT_EQ(win->edit(field::Kat)->text(), "555");
  QTest::keyClick(win.get(), Qt::Key_Escape);
  EXPECT_FALSE(win->isVisible());
  const std::string ini = iniText();
  for (const char* line : {"Поле6=555\r\n", "Знак1=3\r\n", "Номер=44\r\n", "Подсказка=1\r\n",
                           "Ширина=725\r\n", "ТипНомера=N%%d\r\n"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;
}

TEST_F(MainWindowTest, TypingIsCutAtTwoInTheLegAndToWindows1251) {
  open();
  clickAt(win->panel(field::Kat));
  QTest::keyClicks(win->edit(field::Kat), "1234");
  EXPECT_EQ(win->edit(field::Kat)->text(), "12");
  clickAt(win->panel(field::Sher));
  typeText(win->edit(field::Sher), q("Rz€ü中ё"));
  EXPECT_EQ(win->edit(field::Sher)->text(), q("Rz€ё"));
}

TEST_F(MainWindowTest, JointTypeButtonChecksTheStandardFirst) {
  RecordedMessages messages;
  int pickerRuns = 0;
  MainHooks hooks;
  hooks.sposPicker = [&pickerRuns](QWidget*) {
    ++pickerRuns;
    mainWeld().WeldData.Tip = w("С2");
    mainWeld().WeldData.Spos = w("Ппш");
  };
  open("[Сварка]\nПоле4=T1\n", hooks);
  win->dsbTipClick();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].utf8, "Не заполнено поле номера ГОСТа!");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);

  win->edit(field::GOST)->setText(q("ГОСТ 14771-76"));
  win->dsbTipClick();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].utf8, "Модуль Main_weld (dsbTipClick)\r\nФайл с данными\r\n" +
                                        dir.file("kelvo_14771-76.dat") +
                                        "\r\nне найден или запорчен!");
  EXPECT_EQ(pickerRuns, 0);
  EXPECT_EQ(win->edit(field::Tip)->text(), "T1");

  spit(dir.file("kelvo_14771-76.dat"), "");
  win->dsbTipClick();
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(pickerRuns, 1);
  EXPECT_EQ(win->edit(field::Tip)->text(), q("С2"));
  EXPECT_EQ(win->edit(field::Spos)->text(), q("Ппш"));
  EXPECT_FALSE(win->edit(field::Spos)->isHidden());
}

// The three-dot buttons take no focus: a keyboard user opens each list from its own field.
TEST_F(MainWindowTest, FourOrAltDownInTheStandardOrJointFieldOpensItsPicker) {
  int gostRuns = 0, sposRuns = 0;
  MainHooks hooks;
  hooks.gostPicker = [&gostRuns](QWidget*) {
    ++gostRuns;
    return false;
  };
  hooks.sposPicker = [&sposRuns](QWidget*) { ++sposRuns; };
  open("[Сварка]\nПоле3=ГОСТ 14771-76\nПоле4=С2\nПоле6=5\n", hooks);
  spit(dir.file("kelvo_14771-76.dat"), "");
  const struct {
    int field;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int gost, spos;
  } cases[] = {{field::GOST, Qt::Key_F4, Qt::NoModifier, 1, 0},
               {field::GOST, Qt::Key_Down, Qt::AltModifier, 1, 0},
               {field::Tip, Qt::Key_F4, Qt::NoModifier, 0, 1},
               {field::Tip, Qt::Key_Down, Qt::AltModifier, 0, 1},
               {field::Kat, Qt::Key_F4, Qt::NoModifier, 0, 0},
               {field::GOST, Qt::Key_Down, Qt::NoModifier, 0, 0}};
  for (const auto& c : cases) {
    gostRuns = sposRuns = 0;
    win->edit(c.field)->setFocus();
    QTest::keyClick(win->edit(c.field), c.key, c.modifiers);
    EXPECT_EQ(gostRuns, c.gost) << c.field << " " << c.key;
    EXPECT_EQ(sposRuns, c.spos) << c.field << " " << c.key;
  }
}

TEST_F(MainWindowTest, StandardPickerChangesTheStandardOnlyWhenDifferent) {
  std::string choice;
  MainHooks hooks;
  hooks.gostPicker = [&choice](QWidget*) {
    mainWeld().WeldData.Gost = choice;
    return true;
  };
  open("[Сварка]\nПоле3=ГОСТ 5264-80\nПоле4=C2\nПоле5=Р\n[Рисунок]\nНомер=3\n", hooks);
  choice = w("ГОСТ 5264-80");
  win->dsbGOSTClick();
  EXPECT_EQ(win->edit(field::Tip)->text(), "C2");
  EXPECT_EQ(mainWeld().WeldData.RisNum, 3);
  choice = w("ГОСТ 14771-76");
  win->dsbGOSTClick();
  EXPECT_EQ(win->edit(field::GOST)->text(), q("ГОСТ 14771-76"));
  EXPECT_EQ(win->edit(field::Tip)->text(), "");
  EXPECT_EQ(win->edit(field::Spos)->text(), "");
  EXPECT_EQ(mainWeld().WeldData.RisNum, 255);
}

TEST_F(MainWindowTest, DrawHidesTheWindowAndAlwaysShowsItAgain) {
  RecordedMessages messages;
  std::vector<DrawInput> seen;
  bool visibleDuringDraw = true;
  int fail = 0;
  MainHooks hooks;
  hooks.draw = [&](const DrawInput& in) {
    seen.push_back(in);
    visibleDuringDraw = win->isVisible();
    if (fail == 1) throw std::runtime_error("boom");
    if (fail == 2) throw 42;
  };
  open("[Общая]\nИмяСлоя=Швы\n[Сварка]\nПоле1= 2 \nЗнак2=3\n", hooks);
  clickAt(child("bbDraw"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(visibleDuringDraw);
  EXPECT_TRUE(win->isVisible());
  EXPECT_EQ(seen[0].texts[0], "2");
  EXPECT_EQ(seen[0].Znak2, 3);
  EXPECT_EQ(seen[0].LayerName, w("Швы"));
  EXPECT_TRUE(seen[0].arrowLeft);
  for (fail = 1; fail <= 2; ++fail) {
    clickAt(child("bbDraw"));
    EXPECT_TRUE(win->isVisible());
  }
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].utf8, "Модуль Main_weld (bbDrawClick)\r\nНепредвиденная ошибка\r\nboom");
  EXPECT_EQ(messages.shown[1].utf8, "Модуль Main_weld (bbDrawClick)\r\nНепредвиденная ошибка");
}

TEST_F(MainWindowTest, BringToFrontRestoresAMinimisedWindow) {
  open();
  win->showMinimized();
  QTest::qWait(20);
  win->bringToFront();
  EXPECT_FALSE(win->isMinimized());
  EXPECT_TRUE(win->isVisible());
}

TEST_F(MainWindowTest, HintsFollowTheSettings) {
  open("[Общая]\nПодсказка=0\n");
  clickAt(child("bbClose"));
  EXPECT_NE(iniText().find("Подсказка=0\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, TabFollowsTheDesignedKeyboardOrder) {
  open("[Сварка]\nПоле1=1\nПоле2=2\nПоле3=ГОСТ 1\nПоле4=T\nПоле5=M\nПоле6=5\nПоле7=7\nПоле8=R\n");
  win->edit(field::Kol)->setFocus();
  QStringList order;
  for (int i = 0; i < 12; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(order, QStringList({"eNum", "rbUp", "eGOST", "eTip", "eSpos", "eSher", "eDopl", "bbClear", "eKat",
                                "bbAbout", "bbClose", "bbDraw"}));  // then "Из чертежа"; "Вернуть" once enabled
}

TEST_F(MainWindowTest, AboutBoxTellsWhatAndWhichVersion) {
  open();
  bool seen = false;
  onNextModal([&seen](QWidget* m) {
    EXPECT_EQ(m->windowTitle(), q("О программе"));
    EXPECT_EQ(m->findChild<QLabel*>("lbName")->text(), "Kelvo");
    const QString text = m->findChild<QLabel*>("lbText")->text();
    EXPECT_TRUE(text.contains(q("Обозначение швов сварных соединений ГОСТ 2.312-72")));
    EXPECT_TRUE(text.contains(q("Версия: 1.2")));
    EXPECT_TRUE(text.contains(q("Разработчик: ")));
    m->findChild<QPushButton*>("bbOk")->click();
    seen = true;
  });
  clickAt(child("bbAbout"));
  EXPECT_TRUE(seen);
}

TEST(BitmapList, NinePicturesAtTheirSizes) {
  const QSize sizes[] = {{16, 16}, {22, 22}, {22, 22}, {22, 22}, {29, 19},
                         {29, 19}, {29, 19}, {25, 25}, {25, 25}};
  for (int i = 0; i < kBitmapCount; ++i) {
    EXPECT_EQ(bmLst(i).size(), sizes[i]) << i;
    int ink = 0;
    for (int y = 0; y < bmLst(i).height(); ++y)
      for (int x = 0; x < bmLst(i).width(); ++x) ink += bmLst(i).pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_EQ(ink == 0, i == 0) << i;
  }
  EXPECT_NE(bmLst(7).pixel(4, 21), bmLst(8).pixel(4, 21));  // black and grey triangles
  EXPECT_TRUE(bmLst(9).isNull());
}

}  // namespace
}  // namespace kelvo
