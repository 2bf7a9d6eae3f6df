// The library picker as a user works it: damaged entries named once, rename and delete that ask
// first and change only their entry, the drawing's designations added once each.
#include "app/forms/lib_weld.h"
#include "platform/codepage.h"
#include "tests/support/form_helpers.h"
#include "tests/support/temp_dir.h"

#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

DrawInput seam(const char* standard, const char* leg, const char* number = "") {
  DrawInput d;
  d.texts[1] = number, d.texts[2] = w(standard), d.texts[5] = leg;
  return d;
}

std::vector<std::string> names(const std::string& file) {
  std::vector<std::string> out;
  for (const library::Entry& e : library::load(file).entries) out.push_back(cp1251::toUtf8(e.name));
  return out;
}

TEST(LibraryPicker, DamagedEntriesAreNamedRenameAndDeleteAskAndTheDrawingIsAddedOnce) {
  test::TempDir dir;
  test::RecordedMessages messages;
  const std::string file = dir.file("k_lib.ini");
  mainWeld().BasePath = dir.file("k");  // the picker's size goes to k.ini
  test::spit(file, w("[A]\r\nПоле3=ГОСТ 1\r\n[Плохая]\r\nПоле3=x\r\nСторона=9\r\n[B]\r\nПоле3=ГОСТ 2\r\n"));
  std::vector<DrawInput> drawing{seam("ГОСТ 1", ""), seam("ГОСТ 3", "5", "4"), seam("ГОСТ 3", "5", "7"), seam("", "", "4")};
  TfmLib picker(nullptr, file, seam("ГОСТ 9", ""), [&drawing] { return std::optional(drawing); });
  picker.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].utf8.find("«Плохая» повреждена и пропущена (ключ «Сторона» со значением «9»)"), std::string::npos);
  ASSERT_EQ(picker.list()->rowCount(), 2);

  picker.list()->setCurrentCell(1, 0);
  messages.typed = {std::string("C")};
  QTest::keyClick(picker.list(), Qt::Key_F2);
  messages.yes = {false};
  QTest::keyClick(picker.list(), Qt::Key_Delete);  // answered Нет
  EXPECT_EQ(names(file), (std::vector<std::string>{"A", "C"}));
  messages.yes = {true};
  picker.list()->setCurrentCell(0, 0);
  QTest::keyClick(picker.list(), Qt::Key_Delete);
  EXPECT_EQ(names(file), (std::vector<std::string>{"C"}));
  EXPECT_NE(test::slurp(file).find(w("[Плохая]\r\nПоле3=x\r\nСторона=9")), std::string::npos);

  // ГОСТ 1 came back as a kind of seam the library lacks; ГОСТ 3 is one seam under two numbers;
  // a number-only designation is no kind of seam.
  picker.bbFromDrawingClick();
  picker.bbFromDrawingClick();
  EXPECT_EQ(names(file), (std::vector<std::string>{"C", "ГОСТ 1", "ГОСТ 3 5"}));
  EXPECT_EQ(library::load(file).entries[2].designation.texts[1], "");
  EXPECT_EQ(messages.shown.back().utf8, "Все обозначения чертежа уже есть в избранном.");

  picker.search()->setText(QStringLiteral("гост 3"));
  ASSERT_EQ(picker.list()->rowCount(), 1);
  picker.bbOkClick();
  ASSERT_TRUE(picker.chosen().has_value());
  EXPECT_EQ(picker.chosen()->texts[2], w("ГОСТ 3"));
}

}  // namespace
}  // namespace kelvo
