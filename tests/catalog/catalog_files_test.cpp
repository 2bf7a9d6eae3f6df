#include "catalog/catalog_files.h"
#include "catalog/catalog_text.h"
#include "platform/codepage.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace kelvo::catalog {
namespace {

std::string w(const std::string& utf8) { return cp1251::fromUtf8(utf8); }

std::vector<std::string> allLines(const std::string& data, int extra = 0) {
  LineReader in(data);
  std::vector<std::string> lines;
  while (!in.atEnd()) lines.push_back(in.next());
  for (int i = 0; i < extra; ++i) lines.push_back(in.next());
  return lines;
}

TEST(CatalogText, LineEndsAndEndOfFile) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc", {"ab", "c"}},        // a lone CR is dropped, it ends nothing
      {"a\n\n  \nb", {"a", "", "  ", "b"}},
      {"a\nb\x1A" "c\nd\n", {"a", "b"}},  // 1Ah ends the file
      {"\x1A" "a\n", {}},
      {"", {}},
  };
  for (const auto& [data, lines] : cases) EXPECT_EQ(allLines(data), lines) << data;
  EXPECT_EQ(allLines("a\n", 3), (V{"a", "", "", ""}));  // past the end: empty lines
}

TEST(CatalogText, TwoDigitNumber) {
  const std::pair<const char*, int> good[] = {{"00", 0}, {"07", 7}, {"10", 10}, {"99", 99}};
  for (const auto& [text, value] : good) EXPECT_EQ(TwoDigitNumber(text), value) << text;
  for (const char* bad : {"0", "", "0a", "a1", " 7", "7 ", "-1", "1-", "123"})
    EXPECT_THROW(TwoDigitNumber(bad), std::invalid_argument) << bad;
}

TEST(CatalogText, RecordLineColumns) {
  const RecordLine r = parseRecordLine(w("#07 1 03 С2"));
  EXPECT_EQ(r.picture, 7);
  EXPECT_EQ(r.tab, 1);
  EXPECT_EQ(r.position, 3);
  EXPECT_EQ(r.designation, w("С2"));
  EXPECT_EQ(parseRecordLine(w("#07 1 03 С2 ")).designation, w("С2 "));
  EXPECT_EQ(parseRecordLine(w("#12x3y09zС22xyz")).designation, w("С22"));
  EXPECT_EQ(parseRecordLine("#12 3 09").designation, "");
  for (const char* bad : {"#", "#07", "#07 x 03 C", "#07 1 3", "#7 1 03 C", "07 1 03 C"})
    EXPECT_THROW(parseRecordLine(bad), std::invalid_argument) << bad;
}

TEST(Standards, ListRows) {
  struct Case {
    std::string file;
    std::vector<std::pair<std::string, std::string>> rows;
  };
  const Case cases[] = {
      {"Heading\n", {}},
      {"", {}},
      {"H\n5264-80\nTitle A\n14771-76\nTitle B\n", {{"5264-80", "Title A"}, {"14771-76", "Title B"}}},
      {"H\n5264-80\nTitle A\n8713-79", {{"5264-80", "Title A"}, {"8713-79", ""}}},
      {"H\n5264-80\nTitle A\n\n", {{"5264-80", "Title A"}, {"", ""}}},
      {"H\r\n 1 \r\n\r\n", {{" 1 ", ""}}},
  };
  for (const auto& c : cases) {
    std::vector<StandardRow> rows;
    bytes::readStandards(c.file, rows);
    ASSERT_EQ(rows.size(), c.rows.size()) << c.file;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].designation, w("ГОСТ ") + c.rows[i].first);
      EXPECT_EQ(rows[i].title, c.rows[i].second);
    }
  }
}

const std::string kData = w(
    "ГОСТ 14771-76\n"
    "Дуговая сварка в защитном газе\n"
    "comment\n"
    "[Способ сварки]\n"
    "ИН\nбез присадки\nУП\nв углекислом газе\n"
    "\n"
    "[Тип соединения - закладки]\nСтыковые\nУгловые\n\n"
    "#00 0 00 С1\nСтыковое\nС отбортовкой двух кромок\nОдносторонний\n-\n-\n0,5-2,0\n-\n0,5-4,0\n"
    "#01 0 01 С3\nСтыковое\nС отбортовкой одной кромки\nОдносторонний\n-\n-\n1\n-\n2\n"
    "#07 1 00 У1\nУгловое\nБез скоса кромок\nОдносторонний\n-\n-\n3\n-\n4\n");

TEST(DataFile, HeadingMethodsAndTabs) {
  Heading h;
  bytes::readHeading(kData, h);
  EXPECT_EQ(h.designation, w("ГОСТ 14771-76"));
  EXPECT_EQ(h.methodLines, (std::vector<std::string>{w("ИН"), w("без присадки"), w("УП"),
                                                      w("в углекислом газе")}));
  std::vector<std::string> tabs;
  bytes::readTabs(kData, tabs);
  EXPECT_EQ(tabs, (std::vector<std::string>{w("Стыковые"), w("Угловые")}));
}

TEST(DataFile, SectionRules) {
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> methods;
  };
  const Case cases[] = {
      {"first line after the header is taken even when empty",
       "H\nT\n[Способ сварки]\n\nA\nB\n\nC\n", {"", "A", "B"}},
      {"header on line 2 is not a header", "H\n[Способ сварки]\nA\n", {}},
      {"missing header ends at the end of the file", "H\nT\nA\nB\n", {}},
      {"section up to the end of the file", "H\nT\n[Способ сварки]\nA\nB", {"A", "B"}},
      {"header compared exactly", "H\nT\n[способ сварки]\nA\n [Способ сварки]\nB\n", {}},
      {"1Ah ends the section", "H\nT\n[Способ сварки]\nA\x1A" "B\nC\n", {"A"}},
  };
  for (const auto& c : cases) {
    Heading h;
    bytes::readHeading(w(c.file), h);
    std::vector<std::string> expected;
    for (const auto& m : c.methods) expected.push_back(w(m));
    EXPECT_EQ(h.methodLines, expected) << c.name;
  }
}

TEST(DataFile, LocateJoint) {
  struct Case {
    int picture, tab, position;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 1}, Case{7, 1, 0}, Case{2, -1, -1},
                        Case{100, -1, -1}, Case{-1, -1, -1}}) {
    int tab = -1, position = -1;
    bytes::locateJoint(kData, c.picture, tab, position);
    EXPECT_EQ(tab, c.tab) << c.picture;
    EXPECT_EQ(position, c.position) << c.picture;
  }
}

TEST(DataFile, TabReaderStopsAfterItsRun) {
  const std::string data = "#00 0 00 A\nx\n#01 0 01 B\n#02 1 00 C\nbody\n#03 1 01 D\n"
                           "#04 2 00 E\n#05 1 02 F\n";
  std::vector<std::string> records;
  bytes::readTabRecords(data, 1, records);
  EXPECT_EQ(records, (std::vector<std::string>{"#02 1 00 C", "#03 1 01 D"}));
  records.clear();
  bytes::readTabRecords(data, 5, records);
  EXPECT_TRUE(records.empty());
}

TEST(DataFile, FindJoint) {
  int picture = -1;
  JointBody body;
  ASSERT_TRUE(bytes::findJoint(kData, w("С3"), 2, picture, body));
  EXPECT_EQ(picture, 1);
  EXPECT_EQ(body.type, w("Стыковое"));
  EXPECT_EQ(body.edges, w("С отбортовкой одной кромки"));
  EXPECT_EQ(body.thickness, (std::vector<std::string>{"1", "2"}));
  picture = 7;
  EXPECT_FALSE(bytes::findJoint(kData, w("С3"), 2, picture, body));
  picture = 7;
  EXPECT_TRUE(bytes::findJoint(kData, w("У1"), 2, picture, body));
  EXPECT_EQ(body.thickness, (std::vector<std::string>{"3", "4"}));
  picture = -1;
  EXPECT_FALSE(bytes::findJoint(kData, w("С2"), 2, picture, body));
  // A body cut short by the end of the file reads as empty lines.
  picture = -1;
  ASSERT_TRUE(bytes::findJoint("#03 0 00 X\nT\n", "X", 3, picture, body));
  EXPECT_EQ(body.edges, "");
  EXPECT_EQ(body.thickness.size(), 3u);
}

TEST(DataFile, FailuresNameTheOperationAndKeepWhatWasRead) {
  test::TempDir dir;
  const std::string name = dir.file("k_1.dat");
  test::spit(name, "#00 0 00 A\n#01 0 01 B\n#02 x 02 C\n");
  std::vector<std::string> records;
  try {
    readTabRecords(name, 0, records);
    FAIL();
  } catch (const CatalogError& e) {
    EXPECT_EQ(e.operation(), Operation::ReadTabRecords);
    EXPECT_EQ(e.fileName(), name);
  }
  EXPECT_EQ(records.size(), 2u);
  std::vector<std::string> tabs;
  try {
    readTabCaptions(dir.file("missing.dat"), tabs);
    FAIL();
  } catch (const CatalogError& e) {
    EXPECT_EQ(e.operation(), Operation::ReadTabs);
  }
  EXPECT_FALSE(checkDataFile(dir.file("missing.dat")));
  EXPECT_FALSE(checkDataFile(dir.path()));  // a directory opens but does not read
  test::spit(dir.file("empty.dat"), "");
  EXPECT_TRUE(checkDataFile(dir.file("empty.dat")));
}

}  // namespace
}  // namespace kelvo::catalog
