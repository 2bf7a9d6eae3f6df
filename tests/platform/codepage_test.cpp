#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace kelvo::cp1251 {
namespace {

using namespace kelvo::literals;

TEST(CodePage, EveryByteSurvivesUtf8AndUtf16) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(fromUtf8(toUtf8(one)), one) << "byte " << b;
    EXPECT_EQ(fromUtf16(toUtf16(one)), one) << "byte " << b;
  }
}

TEST(CodePage, EveryByteHasItsOwnCharacter) {
  std::u16string all;
  for (int b = 0; b < 256; ++b) all += toUtf16(std::string(1, static_cast<char>(b)));
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j) ASSERT_NE(all[i], all[j]) << i << " " << j;
}

TEST(CodePage, KnownCharacters) {
  struct Case {
    const char* utf8;
    std::string bytes;
  };
  const Case cases[] = {
      {"ГОСТ", "\xC3\xCE\xD1\xD2"},
      {"ёЁ", "\xB8\xA8"},
      {"№", "\xB9"},
      {"€", "\x88"},
      {"°", "\xB0"},
      {"Ґґ", "\xA5\xB4"},
      {"plain", "plain"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fromUtf8(c.utf8), c.bytes) << c.utf8;
    EXPECT_EQ(toUtf8(c.bytes), c.utf8);
  }
}

TEST(CodePage, ReportsWhatItCannotHoldInsteadOfReplacing) {
  struct Case {
    std::string utf8;
    char32_t codePoint;
    std::size_t offset;
  };
  const Case cases[] = {
      {"ab\xC3\xBC", 0x00FC, 2},          // ü
      {"Шов \xE4\xB8\xAD", 0x4E2D, 7},    // CJK after Cyrillic
      {"\xF0\x9F\x98\x80", 0x1F600, 0},   // outside the BMP
      {"x\xC3", 0xFFFD, 1},               // truncated sequence
      {"\xC0\x80", 0xFFFD, 0},            // overlong NUL
      {"\xED\xA0\x80", 0xFFFD, 0},        // encoded surrogate
      {"\x80", 0xFFFD, 0},                // stray continuation byte
  };
  for (const auto& c : cases) {
    try {
      fromUtf8(c.utf8);
      ADD_FAILURE() << "accepted " << c.utf8;
    } catch (const Unrepresentable& e) {
      EXPECT_EQ(e.codePoint(), c.codePoint);
      EXPECT_EQ(e.offset(), c.offset);
    }
  }
}

TEST(CodePage, Utf16ReportsFirstBadUnit) {
  EXPECT_EQ(firstUnrepresentable(u"Шов"), std::nullopt);
  EXPECT_EQ(firstUnrepresentable(u"ab\u00FC"), 2u);
  EXPECT_EQ(firstUnrepresentable(u"a\U0001F600"), 1u);
  try {
    fromUtf16(u"a\U0001F600");
    ADD_FAILURE();
  } catch (const Unrepresentable& e) {
    EXPECT_EQ(e.codePoint(), 0x1F600u);
  }
}

TEST(CodePage, LiteralIsConvertedAtCompileTime) {
  static_assert("Общая"_w == std::string_view("\xCE\xE1\xF9\xE0\xFF"));
  static_assert("N%%d"_w == "N%%d");
  static_assert(""_w.empty());
}

TEST(CodePage, CaseFoldingCoversCyrillic) {
  const std::pair<const char*, const char*> pairs[] = {
      {"ОБЩАЯ", "общая"}, {"Ё", "ё"}, {"Ґ", "ґ"}, {"ЇІЄЎЈЅ", "їієўјѕ"},
      {"ЂЃЉЊЌЋЏ", "ђѓљњќћџ"}, {"ABC", "abc"}};
  for (const auto& [upper, lower] : pairs)
    EXPECT_TRUE(equalsIgnoreCase(fromUtf8(upper), fromUtf8(lower))) << upper;
  EXPECT_FALSE(equalsIgnoreCase(fromUtf8("Е"), fromUtf8("ё")));
  EXPECT_FALSE(equalsIgnoreCase("[", "{"));  // 5Bh and 7Bh differ by 20h but are no letters
}

}  // namespace
}  // namespace kelvo::cp1251
