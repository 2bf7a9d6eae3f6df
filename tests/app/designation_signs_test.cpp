#include "app/settings.h"
#include "platform/codepage.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

TEST(ShelfSigns, ReadFromTheSettingsText) {
  const std::pair<const char*, const char*> cases[] = {
      {"1,3", "1,3"}, {"3,1", "1,3"}, {" 2 , 3 ", "2,3"}, {"1,1,2", "1,2"}, {"", ""},
      {"4,0,2", "2"}, {"x,1,,", "1"}, {"12", ""}, {"1;3", ""}, {"-1,3", "3"},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(ShelfSigns::parse(text).text(), want) << text;
  EXPECT_EQ(ShelfSigns::parse("2,3").first(), 2);
  EXPECT_EQ(ShelfSigns::single(4).text(), "");
  EXPECT_EQ(ShelfSigns::single(2).text(), "2");
}

TEST(ShelfSigns, TheSetWinsOverZnak2WhenItHoldsAny) {
  DrawInput in;
  in.Znak2 = 2;
  EXPECT_EQ(shelfSignsOf(in).text(), "2");
  in.Znaki2 = ShelfSigns::parse("1,3");
  EXPECT_EQ(shelfSignsOf(in).text(), "1,3");
  in = {};
  in.Znak2 = 4;  // a code the picker can leave behind draws nothing
  EXPECT_TRUE(shelfSignsOf(in).empty());
}

TEST(IntermittentSign, ReadOnlyAsLengthSignAndPitch) {
  using K = IntermittentSign::Kind;
  struct Case {
    const char* field7;
    bool sign;
    K kind;
    const char* length;
    const char* pitch;
  };
  const Case cases[] = {
      {"50/100", true, K::Chain, "50", "100"},
      {"50Z100", true, K::Staggered, "50", "100"},
      {" 50 z 100 ", true, K::Staggered, "50", "100"},
      {"2,5/7.5", true, K::Chain, "2,5", "7.5"},
      {"3Х50/100", true, K::Chain, "3Х50", "100"},
      {"3Ч50/100", false, K::Chain, "", ""},
      {"3х50Z100", true, K::Staggered, "3х50", "100"},
      {"3x50/100", true, K::Chain, "3x50", "100"},
      {"100", false, K::Chain, "", ""},
      {"50/", false, K::Chain, "", ""},
      {"/100", false, K::Chain, "", ""},
      {"a/b", false, K::Chain, "", ""},
      {"50/100/200", false, K::Chain, "", ""},
      {"50-100", false, K::Chain, "", ""},
      {"1,2,3/4", false, K::Chain, "", ""},
      {"Z", false, K::Chain, "", ""},
  };
  for (const Case& c : cases) {
    const auto got = readIntermittent(w(c.field7));
    ASSERT_EQ(got.has_value(), c.sign) << c.field7;
    if (!got) continue;
    EXPECT_EQ(got->kind, c.kind) << c.field7;
    EXPECT_EQ(got->length, w(c.length)) << c.field7;
    EXPECT_EQ(got->pitch, c.pitch) << c.field7;
  }
}

TEST(Settings, SignSetRoundTripAndOldFiles) {
  test::TempDir dir;
  IniFile ini(dir.file("kelvo.ini"));
  // An old file: Знак2 alone reads as before and is written back without the new key.
  test::spit(ini.fileName(), w("[Сварка]\r\nЗнак2=2\r\n"));
  MainSettings s = readMainSettings(ini);
  EXPECT_EQ(s.Znak2, 2);
  EXPECT_TRUE(s.Znaki2.empty());
  writeMainSettings(ini, s);
  EXPECT_EQ(ini.readString(w("Сварка"), w("Знаки2"), "none"), "none");

  s.Znaki2 = ShelfSigns::parse("1,3");
  s.Znak2 = s.Znaki2.first();
  writeMainSettings(ini, s);
  EXPECT_EQ(ini.readString(w("Сварка"), w("Знаки2"), ""), "1,3");
  EXPECT_EQ(ini.readString(w("Сварка"), w("Знак2"), ""), "1");
  EXPECT_EQ(readMainSettings(ini).Znaki2.text(), "1,3");

  // Back to one sign: the set in the file follows, or it would bring the two signs back.
  s.Znaki2 = ShelfSigns::single(2);
  s.Znak2 = 2;
  writeMainSettings(ini, s);
  const MainSettings r = readMainSettings(ini);
  EXPECT_EQ(r.Znaki2.text(), "2");
  EXPECT_EQ(r.Znak2, 2);

  // A hand-edited file whose Знак2 disagrees: the set holds, Знак2 becomes its first sign.
  test::spit(ini.fileName(), w("[Сварка]\r\nЗнак2=2\r\nЗнаки2=3,1\r\n"));
  EXPECT_EQ(readMainSettings(ini).Znak2, 1);
}

}  // namespace
}  // namespace kelvo
