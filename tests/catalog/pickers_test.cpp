// The catalogue pickers driven through the real main window, on crafted catalogue files.
#include "app/forms/main_weld.h"
#include "app/forms/qt_text.h"
#include "catalog/forms/gost_weld.h"
#include "catalog/forms/picker_hooks.h"
#include "catalog/forms/spos_weld.h"
#include "catalog/forms/tip_weld.h"
#include "catalog/picture_file.h"
#include "tests/support/form_helpers.h"
#include "tests/support/temp_dir.h"

#include <QBuffer>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::onNextModal;
using test::spit;

std::string w(const std::string& utf8) { return cp1251::fromUtf8(utf8); }
QString q(const char* utf8) { return QString::fromUtf8(utf8); }

std::string bmp(QColor colour) {
  QImage img(8, 6, QImage::Format_RGB32);
  img.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, "BMP");
  return bytes.toStdString();
}

// Standard "1-1": methods A (a), B (b), C (c), D (d); tab 0 with joints X (picture 0) and
// Y (picture 1), tab 1 with Z (picture 2).
const char* kData =
    "ГОСТ 1-1\nПервый стандарт\n[Способ сварки]\nA\nметод a\nB\nметод b\nC\nметод c\nD\nметод d\n\n"
    "[Тип соединения - закладки]\nПервая\nВторая\n\n"
    "#00 0 00 X\nтип X\nкромки X\nхарактер X\n-\n-\nXa\n-\nXb\n-\nXc\n-\nXd\n"
    "#01 0 01 Y\nтип Y\nкромки Y\nхарактер Y\n-\n-\nYa\n-\nYb\n-\nYc\n-\nYd\n"
    "#02 1 00 Z\nтип Z\nкромки Z\nхарактер Z\n-\n-\nZa\n-\nZb\n-\nZc\n-\nZd\n";

class PickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tipState() = TipState{};
    spit(dir.file("kelvo.dat"), w("Стандарты\n5264-80\nРучная дуговая сварка\n1-1\nПервый стандарт\n"));
    spit(dir.file("kelvo_1-1.dat"), w(kData));
    spit(dir.file("kelvo_1-1.ris"), catalog::writePictureFile({bmp(Qt::red), bmp(Qt::green), bmp(Qt::blue)}, true));
  }
  void open(const std::string& ini) {
    spit(dir.file("kelvo.ini"), w(ini));
    win = std::make_unique<TfmMain>(dir.file("kelvo.bin"), catalogPickers());
    win->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(win.get()));
  }
  QString field(int n) const { return win->edit(n)->text(); }
  template <typename T>
  static T* as(QWidget* modal) {
    auto* t = qobject_cast<T*>(modal);
    EXPECT_NE(t, nullptr);
    return t;
  }
  static void press(QWidget* dialog, const char* name) {
    dialog->findChild<QPushButton*>(QString::fromLatin1(name))->click();
  }
  // A key as the user types it: to whatever has the focus in the dialog.
  static void type(QWidget* dialog, Qt::Key key) {
    QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, key);
  }

  test::TempDir dir;
  test::RecordedMessages messages;
  std::unique_ptr<TfmMain> win;
};

TEST_F(PickerTest, TypicalUseFromEndToEnd) {
  open("[Сварка]\nПоле3=ГОСТ 5264-80\nПоле4=C2\nПоле5=Р\n");
  onNextModal([](QWidget* m) {
    auto* gost = as<TfmGost>(m);
    gost->list()->setCurrentCell(1, 1);
    press(gost, "bbOk");
  });
  win->dsbGOSTClick();
  EXPECT_EQ(field(field::GOST), q("ГОСТ 1-1"));
  EXPECT_EQ(mainWeld().WeldData.GostName, w("Первый стандарт"));
  EXPECT_EQ(field(field::Tip), "");
  EXPECT_EQ(field(field::Spos), "");

  onNextModal([](QWidget* m) {
    auto* spos = as<TfmSpos>(m);
    EXPECT_EQ(spos->methodCount(), 4);
    onNextModal([](QWidget* t) {
      auto* tip = as<TfmTip>(t);
      ASSERT_EQ(tip->tabs()->count(), 2);
      tip->tabs()->setCurrentIndex(1);
      EXPECT_FALSE(tip->button(0)->isHidden());
      EXPECT_TRUE(tip->button(1)->isHidden());
      tip->button(0)->click();
      EXPECT_EQ(mainWeld().WeldData.Tip, "Z");
      press(tip, "bbOk");
    });
    spos->findChild<QToolButton*>("sbRis")->click();
    EXPECT_EQ(mainWeld().WeldData.RisNum, 2);
    EXPECT_EQ(spos->findChild<QLabel*>("LTip")->text(), q("тип Z"));
    EXPECT_EQ(spos->grid()->item(1, 2)->text(), "Zc");
    spos->grid()->setCurrentCell(1, 2);
    EXPECT_EQ(spos->findChild<QLabel*>("LSposOboz")->text(), "C");
    press(spos, "bbOk");
  });
  win->dsbTipClick();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(field(field::Tip), "Z");
  EXPECT_EQ(field(field::Spos), "C");
  EXPECT_FALSE(win->edit(field::Spos)->isHidden());
  EXPECT_EQ(mainWeld().WeldData.RisNum, 2);
}

TEST_F(PickerTest, ChoosingTheShownStandardKeepsJointAndMethod) {
  open("[Сварка]\nПоле3=ГОСТ 1-1\nПоле4=X\nПоле5=A\n[Рисунок]\nНомер=0\n");
  onNextModal([](QWidget* m) {
    auto* gost = as<TfmGost>(m);
    gost->list()->setCurrentCell(1, 0);
    press(gost, "bbOk");
  });
  win->dsbGOSTClick();
  EXPECT_EQ(field(field::Tip), "X");
  EXPECT_EQ(field(field::Spos), "A");
  EXPECT_EQ(mainWeld().WeldData.RisNum, 0);
}

// What a picker shows selected is the designation's own, and Ok takes what is selected: no row
// lit up that Ok would not take, no first method put in place of the field's.
TEST_F(PickerTest, PickersOpenOnTheDesignationsOwnAndOkTakesWhatIsSelected) {
  open("[Сварка]\nПоле3=ГОСТ 1-1\nПоле4=X\nПоле5=C\n[Рисунок]\nНомер=0\n");
  onNextModal([](QWidget* m) {
    auto* gost = as<TfmGost>(m);
    EXPECT_EQ(gost->list()->currentRow(), 1);
    press(gost, "bbOk");
  });
  win->dsbGOSTClick();
  EXPECT_EQ(field(field::GOST), q("ГОСТ 1-1"));
  EXPECT_EQ(field(field::Spos), "C");
  onNextModal([](QWidget* m) {
    auto* spos = as<TfmSpos>(m);
    EXPECT_EQ(spos->grid()->currentColumn(), 2);
    EXPECT_EQ(spos->findChild<QLabel*>("LSposOboz")->text(), "C");
    press(spos, "bbOk");
  });
  win->dsbTipClick();
  EXPECT_EQ(field(field::Spos), "C");

  open("[Сварка]\n");
  onNextModal([](QWidget* m) {
    auto* gost = as<TfmGost>(m);
    EXPECT_EQ(gost->list()->selectionModel()->selectedRows().size(), 0);
    gost->list()->setFocus();
    type(gost, Qt::Key_Down);
    type(gost, Qt::Key_Down);
    press(gost, "bbOk");
  });
  win->dsbGOSTClick();
  EXPECT_EQ(field(field::GOST), q("ГОСТ 1-1"));
}

TEST_F(PickerTest, CancelInTheMethodPickerEmptiesJointAndMethod) {
  open("[Сварка]\nПоле3=ГОСТ 1-1\nПоле4=Y\nПоле5=B\n[Рисунок]\nНомер=1\n");
  onNextModal([](QWidget* m) {
    auto* spos = as<TfmSpos>(m);
    EXPECT_EQ(spos->findChild<QLabel*>("LOboz")->text(), "Y");
    EXPECT_EQ(spos->grid()->item(1, 0)->text(), "Ya");
    EXPECT_EQ(spos->grid()->columnWidth(0), 180);  // four methods on the design width
    press(spos, "bbClose");
  });
  win->dsbTipClick();
  EXPECT_EQ(field(field::Tip), "");
  EXPECT_EQ(field(field::Spos), "");
  EXPECT_EQ(mainWeld().WeldData.RisNum, 255);
}

TEST_F(PickerTest, ChangingTheTabForgetsThePictureButNotTheDesignation) {
  open("[Сварка]\nПоле3=ГОСТ 1-1\nПоле4=Y\n[Рисунок]\nНомер=1\n");
  onNextModal([](QWidget* m) {
    auto* spos = as<TfmSpos>(m);
    onNextModal([](QWidget* t) {
      auto* tip = as<TfmTip>(t);
      EXPECT_TRUE(tip->button(1)->isChecked());  // opened on the joint of RisNum
      EXPECT_EQ(tip->label(1)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
      tip->tabs()->setCurrentIndex(1);
      EXPECT_EQ(mainWeld().WeldData.RisNum, 255);
      EXPECT_EQ(tipState().CurrentButton, 20);
      EXPECT_FALSE(tip->button(0)->isChecked());
      press(tip, "bbOk");
    });
    spos->findChild<QToolButton*>("sbRis")->click();
    EXPECT_EQ(mainWeld().WeldData.Tip, "Y");
    EXPECT_EQ(mainWeld().WeldData.RisNum, 255);
    press(spos, "bbClose");
  });
  win->dsbTipClick();
}

// Seven tabs, as 5264-80 has, all show without scrolling; the method picker's heading says
// what the row's cells measure (pipes: wall thickness over the least diameter).
TEST_F(PickerTest, ManyTabsAllShowAndTheHeadingIsTheRows) {
  std::string data = "ГОСТ 1-1\nПервый стандарт\n[Способ сварки]\nA\nметод a\n\n[Тип соединения - закладки]\n"
                     "Стыковые 1\nСтыковые 2\nСтыковые 3\nСтыковые 4\nУгловые\nТавровые\nНахлесточные\n\n";
  for (int t = 0; t < 7; ++t)
    data += "#0" + std::to_string(t) + " " + std::to_string(t) + " 00 X" + std::to_string(t) +
            "\nтип\nкромки\nхарактер\nТолщина стенки / диаметр трубы, мм\nA\n2-5/25\n";
  spit(dir.file("kelvo_1-1.dat"), w(data));
  spit(dir.file("kelvo_1-1.ris"), catalog::writePictureFile(std::vector<std::string>(7, bmp(Qt::red)), true));
  open("[Сварка]\nПоле3=ГОСТ 1-1\nПоле4=X6\n[Рисунок]\nНомер=6\n");
  onNextModal([](QWidget* m) {
    auto* spos = as<TfmSpos>(m);
    EXPECT_EQ(spos->findChild<QLabel*>("Label1")->text(), q("Толщина стенки / диаметр трубы, мм, для способа сварки"));
    onNextModal([](QWidget* t) {
      auto* tip = as<TfmTip>(t);
      ASSERT_EQ(tip->tabs()->count(), 7);
      EXPECT_LE(tip->tabs()->sizeHint().width(), tip->width());
      EXPECT_EQ(tip->tabs()->currentIndex(), 6);
      press(tip, "bbClose");
    });
    spos->findChild<QToolButton*>("sbRis")->click();
    press(spos, "bbClose");
  });
  win->dsbTipClick();
}

TEST_F(PickerTest, MissingPictureFileIsReportedAndNoMethodsShown) {
  std::remove(dir.file("kelvo_1-1.ris").c_str());
  open("[Сварка]\nПоле3=ГОСТ 1-1\nПоле4=X\n");
  onNextModal([](QWidget* m) {
    EXPECT_EQ(as<TfmSpos>(m)->methodCount(), 0);
    EXPECT_EQ(as<TfmSpos>(m)->grid()->columnCount(), 0);
    press(m, "bbOk");
  });
  win->dsbTipClick();
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown[0].utf8, "Модуль Spos_Weld (FormCreate).\r\nФайл с рисунками\r\n" +
                                        dir.file("kelvo_1-1.ris") + "\r\nне найден!");
}

TEST_F(PickerTest, EnterConfirmsAndEscIsTheCloseButton) {
  open("[Сварка]\nПоле3=ГОСТ 1-1\nПоле4=X\nПоле5=A\n[Рисунок]\nНомер=0\n");
  onNextModal([](QWidget* m) {
    onNextModal([](QWidget* t) {
      as<TfmTip>(t)->button(1)->click();
      type(t, Qt::Key_Return);
    });
    m->findChild<QToolButton*>("sbRis")->click();
    EXPECT_EQ(mainWeld().WeldData.RisNum, 1);
    type(m, Qt::Key_Return);
  });
  win->dsbTipClick();
  EXPECT_EQ(field(field::Tip), "Y");
  EXPECT_EQ(field(field::Spos), "A");
  EXPECT_EQ(mainWeld().WeldData.RisNum, 1);

  onNextModal([](QWidget* m) { type(m, Qt::Key_Escape); });
  win->dsbTipClick();
  EXPECT_EQ(field(field::Tip), "");
  EXPECT_EQ(mainWeld().WeldData.RisNum, 255);

  onNextModal([](QWidget* m) {
    QTableWidget* list = as<TfmGost>(m)->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0, 1)).center());
    type(m, Qt::Key_Return);
  });
  win->dsbGOSTClick();
  EXPECT_EQ(field(field::GOST), q("ГОСТ 5264-80"));
}

// Over the main window, wherever the user put it (the joint picker over the method picker that
// opens it), and kept on the screen.
TEST_F(PickerTest, PickersOpenCentredOnTheMainWindow) {
  open("[Сварка]\nПоле3=ГОСТ 1-1\n");
  win->move(40, 30);  // off the centre, so that centring on the screen would show
  std::vector<QRect> frames;
  onNextModal([&frames](QWidget* m) {
    frames.push_back(m->frameGeometry());
    press(m, "bbClose");
  });
  win->dsbGOSTClick();
  onNextModal([&frames](QWidget* m) {
    onNextModal([&frames](QWidget* t) {
      frames.push_back(t->frameGeometry());
      press(t, "bbClose");
    });
    frames.push_back(m->frameGeometry());
    m->findChild<QToolButton*>("sbRis")->click();
    press(m, "bbClose");
  });
  win->dsbTipClick();
  const QRect avail = win->screen()->availableGeometry();
  const QSize sizes[] = {{725, 500}, {760, 390}, {645, 350}};
  ASSERT_EQ(frames.size(), 3u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].size(), sizes[i]) << i;
    const QRect owner = i == 2 ? frames[1] : win->frameGeometry();
    const QPoint over = owner.topLeft() + QPoint((owner.width() - sizes[i].width()) / 2, (owner.height() - sizes[i].height()) / 2);
    const QPoint kept(std::clamp(over.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - sizes[i].width())),
                      std::clamp(over.y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - sizes[i].height())));
    EXPECT_EQ(frames[i].topLeft(), kept) << i;
  }
}

TEST_F(PickerTest, PicturesBeforeACutShortOneAreShown) {
  std::string ris = catalog::writePictureFile({bmp(Qt::red), bmp(Qt::green), bmp(Qt::blue)}, false);
  ris.resize(ris.size() - 10);
  spit(dir.file("kelvo_1-1.ris"), ris);
  open("[Сварка]\nПоле3=ГОСТ 1-1\n");
  onNextModal([](QWidget* m) {
    EXPECT_EQ(as<TfmSpos>(m)->pictureCount(), 2);
    onNextModal([](QWidget* t) {
      EXPECT_FALSE(as<TfmTip>(t)->button(0)->icon().isNull());
      EXPECT_FALSE(as<TfmTip>(t)->button(1)->icon().isNull());
      press(t, "bbClose");
    });
    m->findChild<QToolButton*>("sbRis")->click();
    press(m, "bbClose");
  });
  win->dsbTipClick();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].utf8.find("Файл с рисунками"), std::string::npos);
}

TEST_F(PickerTest, MissingStandardsListClosesTheStandardPicker) {
  std::remove(dir.file("kelvo.dat").c_str());
  open("");
  win->dsbGOSTClick();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].utf8, "Модуль GOST_weld (FormActivate)\r\nФайл с данными\r\n" +
                                        dir.file("kelvo.dat") + "\r\nне найден или запорчен!");
}

TEST_F(PickerTest, SizesSurviveTheNextOpening) {
  open("");
  for (int round = 0; round < 2; ++round) {
    onNextModal([round](QWidget* m) {
      // The user drags the frame to 800 x 520; the stored size is the frame's.
      if (round == 0) m->resize(QSize(800, 520) - (m->frameGeometry().size() - m->size()));
      else EXPECT_EQ(m->frameGeometry().size(), QSize(800, 520));
      press(m, "bbClose");
    });
    win->dsbGOSTClick();
  }
  EXPECT_NE(test::slurp(dir.file("kelvo.ini")).find(w("[ГОСТ]\r\nВысота=520\r\nШирина=800")), std::string::npos);
}

TEST_F(PickerTest, TipPickerSurvivesDataThePartLeavesOpen) {
  // Eleven records on one tab, a tab index past the tabs, a picture past the list.
  std::string data = "ГОСТ 1-1\nT\n[Способ сварки]\nA\na\n\n[Тип соединения - закладки]\nОдна\n\n";
  for (int i = 0; i < 11; ++i) data += "#" + std::string(i < 10 ? "0" : "") + std::to_string(i) + " 0 " + (i < 10 ? "0" : "") + std::to_string(i) + " J\n";
  data += "#50 7 00 Q\n";
  spit(dir.file("kelvo_1-1.dat"), w(data));
  open("[Сварка]\nПоле3=ГОСТ 1-1\n[Рисунок]\nНомер=50\n");
  onNextModal([](QWidget* m) {
    onNextModal([](QWidget* t) {
      auto* tip = as<TfmTip>(t);
      EXPECT_EQ(tip->tabs()->currentIndex(), 0);
      EXPECT_FALSE(tip->button(9)->isHidden());
      tip->button(9)->click();
      press(tip, "bbOk");
      EXPECT_EQ(mainWeld().WeldData.RisNum, 9);
    });
    m->findChild<QToolButton*>("sbRis")->click();
    press(m, "bbOk");
  });
  win->dsbTipClick();
  EXPECT_EQ(mainWeld().WeldData.Tip, "J");
}

}  // namespace
}  // namespace kelvo
