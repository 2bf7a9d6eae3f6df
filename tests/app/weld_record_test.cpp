#include "app/weld_record.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

TEST(WeldRecord, StandardNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"ГОСТ 14771-76", "14771-76"},
      {"ГОСТ 5264-80  ", "5264-80"},
      {"ГОСТ 123456789012345678", "12345678901234"},  // characters 5 (the space) to 19
      {"ГОСТ", ""},
      {"ГОСТ ", ""},
      {"ОСТ 36-3-71", ""},
      {"14771-76", ""},
      {"", ""},
      // Position 5 counts from the start of the text, wherever the word stands.
      {"Ст. ГОСТ 8713-79", "ГОСТ 8713-79"},
      {"гост 8713-79", ""},
  };
  for (const auto& [field3, number] : cases)
    EXPECT_EQ(StandardNumber(w(field3)), w(number)) << field3;
}

TEST(WeldRecord, CatalogueFileNames) {
  const std::string base = "/opt/kelvo/kelvo";
  EXPECT_EQ(CatalogFileName(base, w("ГОСТ 14771-76"), ".dat"), base + "_14771-76.dat");
  EXPECT_EQ(CatalogFileName(base, w("ГОСТ 14771-76"), ".ris"), base + "_14771-76.ris");
  EXPECT_EQ(CatalogFileName(base, "no standard", ".dat"), base + "_.dat");
  EXPECT_EQ(StandardsFileName(base), base + ".dat");
  EXPECT_EQ(SettingsFileName(base), base + ".ini");
}

TEST(WeldRecord, BasePathDropsFourCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/kelvo/kelvo.bin", "/opt/kelvo/kelvo"},
      {"C:\\Kelvo\\Kelvo.exe", "C:\\Kelvo\\Kelvo"},
      {"/usr/local/bin/kelvo", "/usr/local/bin/k"},  // no extension: still four characters
      {"abc", ""},
      {"", ""},
  };
  for (const auto& [exe, base] : cases) EXPECT_EQ(basePathFrom(exe), base) << exe;
}

TEST(WeldRecord, EmptyTextIgnoresControlCharactersAndSpaces) {
  EXPECT_TRUE(isEmptyText(""));
  EXPECT_TRUE(isEmptyText(std::string(" \t\r\n\x01\x1F\0 ", 9)));
  EXPECT_FALSE(isEmptyText(" x "));
  EXPECT_FALSE(isEmptyText("\xA0"));  // no-break space is code 160, a character
  EXPECT_EQ(trimText(" \x01 a b \x1F"), "a b");
}

TEST(WeldRecord, ClearingKeepsDrawingOptions) {
  MainWeld state;
  state.Znak1 = 3;
  state.Znak2 = 2;
  state.LayerName = "Weld";
  state.NumberType = "No";
  state.WeldData = {"G", "N", "T", "S", 7};
  FieldTexts texts{"1", "2", "3", "4", "5", "6", "7", "8"};
  clearDesignation(texts, state);
  for (const auto& t : texts) EXPECT_EQ(t, "");
  EXPECT_EQ(state.Znak1, 0);
  EXPECT_EQ(state.Znak2, 0);
  EXPECT_EQ(state.WeldData.Gost, "");
  EXPECT_EQ(state.WeldData.GostName, "");
  EXPECT_EQ(state.WeldData.RisNum, kNoPicture);
  EXPECT_EQ(state.LayerName, "Weld");
  EXPECT_EQ(state.NumberType, "No");
}

TEST(WeldRecord, ChangeOfStandard) {
  FieldTexts texts{"", "", w("ГОСТ 5264-80"), "C2", w("Р"), "", "", ""};
  TWeldData data{w("ГОСТ 5264-80"), "title", "C2", w("Р"), 4};
  EXPECT_FALSE(applyStandardChoice(texts, data));
  EXPECT_EQ(fieldText(texts, field::Tip), "C2");
  EXPECT_EQ(data.RisNum, 4);

  data.Gost = w("гОСТ 5264-80");  // the comparison is exact
  EXPECT_TRUE(applyStandardChoice(texts, data));
  EXPECT_EQ(fieldText(texts, field::GOST), w("гОСТ 5264-80"));
  EXPECT_EQ(fieldText(texts, field::Tip), "");
  EXPECT_EQ(fieldText(texts, field::Spos), "");
  EXPECT_EQ(data.Tip, "");
  EXPECT_EQ(data.Spos, "");
  EXPECT_EQ(data.GostName, "title");
  EXPECT_EQ(data.RisNum, kNoPicture);
}

TEST(WeldRecord, ActivationTakesOnlyFilledCatalogueFields) {
  FieldTexts texts{"", "", w("ГОСТ 5264-80"), "   ", " C2 ", "", "", ""};
  TWeldData data{"old", "", "oldTip", "oldSpos", 9};
  takeCatalogFields(texts, data);
  EXPECT_EQ(data.Gost, w("ГОСТ 5264-80"));
  EXPECT_EQ(data.Tip, "oldTip");
  EXPECT_EQ(data.Spos, " C2 ");
}

TEST(WeldRecord, SignCodesSelectMarksAndPictures) {
  struct Case {
    std::uint8_t code;
    bool circle, flag;
    int picture;
  };
  const Case cases[] = {{0, false, false, 0}, {1, true, false, 4}, {2, false, true, 5},
                        {3, true, true, 6},   {4, false, false, 0}, {255, false, false, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(showsCircle(c.code), c.circle) << int(c.code);
    EXPECT_EQ(showsFlag(c.code), c.flag) << int(c.code);
    EXPECT_EQ(signCellPicture(c.code), c.picture) << int(c.code);
  }
}

TEST(WeldRecord, DrawInputIsTrimmedAndCarriesOptions) {
  MainWeld state;
  state.Znak1 = 2;
  state.Znak2 = 1;
  state.LayerName = w("Сварка");
  state.WeldData.Tip = "ignored";
  FieldTexts texts{" 55 ", "22", "  ", "", "", "5\t", "", "Rz200"};
  const DrawInput in = takeDrawInput(texts, Side::Back, false, state);
  EXPECT_EQ(in.texts[0], "55");
  EXPECT_EQ(in.texts[2], "");
  EXPECT_EQ(in.texts[5], "5");
  EXPECT_EQ(in.side, Side::Back);
  EXPECT_FALSE(in.arrowLeft);
  EXPECT_EQ(in.Znak1, 2);
  EXPECT_EQ(in.Znak2, 1);
  EXPECT_EQ(in.LayerName, w("Сварка"));
  EXPECT_EQ(in.NumberType, "N%%d");
}

TEST(WeldRecord, FieldTableKeysAndTags) {
  const int tags[] = {1, 2, 3, 4, 5, 6, 7, 9};
  for (int n = 1; n <= kFieldCount; ++n) {
    EXPECT_EQ(fieldDef(n).key, w(("Поле" + std::to_string(n)).c_str()));
    EXPECT_EQ(fieldDef(n).tag, tags[n - 1]);
  }
}

}  // namespace
}  // namespace kelvo
