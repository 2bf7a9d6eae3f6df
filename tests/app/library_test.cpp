// The library of designations in its INI file: what is saved reads back whole, a damaged entry
// is named and skipped and survives every later change, and a file that cannot be read is never
// written over.
#include "app/library.h"
#include "platform/codepage.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kelvo::library {
namespace {

using test::slurp;
using test::spit;

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

DrawInput designation() {
  DrawInput d;
  const char* texts[] = {"2", "5", "ГОСТ 14771-76", "Т3", "УП", "6", "50/100", "Rz20"};
  for (std::size_t i = 0; i < 8; ++i) d.texts[i] = w(texts[i]);
  d.side = Side::Back, d.arrowLeft = false, d.Znak1 = 3;
  d.Znaki2 = ShelfSigns::parse("1,3"), d.Znak2 = 1;
  d.WeldData = {w("ГОСТ 14771-76"), w("Дуговая сварка в защитном газе"), w("Т3"), w("УП"), 17};
  return d;
}

bool same(const DrawInput& a, const DrawInput& b) {
  return a.texts == b.texts && a.side == b.side && a.arrowLeft == b.arrowLeft && a.Znak1 == b.Znak1 &&
         a.Znak2 == b.Znak2 && a.Znaki2 == b.Znaki2 && a.WeldData.Gost == b.WeldData.Gost &&
         a.WeldData.GostName == b.WeldData.GostName && a.WeldData.Tip == b.WeldData.Tip &&
         a.WeldData.Spos == b.WeldData.Spos && a.WeldData.RisNum == b.WeldData.RisNum;
}

TEST(Library, SavedRenamedAndRemovedEntriesReadBackWhole) {
  test::TempDir dir;
  const std::string file = fileName(dir.file("kelvo"));
  EXPECT_EQ(file, dir.file("kelvo_lib.ini"));
  EXPECT_TRUE(load(file).entries.empty());
  save(file, {w("Тавровый, катет 6"), designation()});
  save(file, {"B", DrawInput{}});
  save(file, {w("ТАВРОВЫЙ, КАТЕТ 6"), designation()});  // the same name in another case replaces it
  Loaded l = load(file);
  ASSERT_EQ(l.entries.size(), 2u);
  EXPECT_TRUE(l.skipped.empty());
  EXPECT_EQ(l.entries[1].name, w("ТАВРОВЫЙ, КАТЕТ 6"));
  EXPECT_TRUE(same(l.entries[1].designation, designation()));
  EXPECT_THROW(rename(file, "B", w("тавровый, катет 6")), LibraryError);
  rename(file, "B", "C");
  remove(file, w("Тавровый, катет 6"));
  l = load(file);
  ASSERT_EQ(l.entries.size(), 1u);
  EXPECT_EQ(l.entries[0].name, "C");
  EXPECT_TRUE(has(file, "c"));
  for (const char* bad : {"", " a", "a]", "[a", "a\tb"}) EXPECT_TRUE(nameProblem(bad).has_value()) << bad;
  EXPECT_THROW(save(file, {"a]", DrawInput{}}), LibraryError);
}

TEST(Library, ADamagedEntryIsNamedSkippedAndKeptThroughChanges) {
  test::TempDir dir;
  const std::string file = dir.file("k_lib.ini");
  const std::string damaged[] = {
      w("[Знак плохой]\r\nПоле3=ГОСТ\r\nЗнак1=x\r\n"),
      w("[Сторона 7]\r\nПоле3=ГОСТ\r\nСторона=7\r\n"),
      w("[Пустая]\r\nПрочее=1\r\n"),
      w("[Знаки]\r\nПоле3=ГОСТ\r\nЗнаки2=1,9\r\n"),
      w("[Хорошая]\r\nПоле3=ГОСТ 2\r\n"),  // the second of a name
  };
  std::string text = w("[Хорошая]\r\nПоле3=ГОСТ 1\r\n");
  for (const std::string& d : damaged) text += d;
  spit(file, text);
  Loaded l = load(file);
  ASSERT_EQ(l.entries.size(), 1u);
  EXPECT_EQ(l.entries[0].designation.texts[2], w("ГОСТ 1"));
  ASSERT_EQ(l.skipped.size(), 5u);
  EXPECT_NE(cp1251::toUtf8(l.skipped[0]).find("«Знак плохой» повреждена и пропущена (ключ «Знак1» со значением «x»)"), std::string::npos);
  save(file, {"New", designation()});
  rename(file, "New", "Newer");
  remove(file, "Newer");
  EXPECT_EQ(slurp(file), text);  // every damaged line as it was
}

// A library name that is no file (a folder here; on a user's machine a file locked by another
// program) reads as an error, not as an empty library a change would store over it.
TEST(Library, AFileThatCannotBeReadIsNeverWrittenOver) {
  test::TempDir dir;
  const std::string file = dir.file("k_lib.ini");
  std::filesystem::create_directory(file);
  spit(file + "/kept", "x");
  EXPECT_THROW(load(file), LibraryError);
  EXPECT_THROW(save(file, {"B", DrawInput{}}), LibraryError);
  EXPECT_THROW(remove(file, "B"), LibraryError);
  EXPECT_EQ(slurp(file + "/kept"), "x");
}

}  // namespace
}  // namespace kelvo::library
