// GOST's numbering of identical seams over a drawing's designations, and the seam table's rows,
// text and grid, from designations as the drawing stores them.
#include "cad/seam_list.h"
#include "cad/seam_table.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace kelvo::cad {
namespace {

std::string w(const char* s) { return cp1251::fromUtf8(s); }

// Texts as (count, number, standard, joint, method, leg, field 7, roughness), UTF-8.
FoundDesignation seam(std::array<const char*, 8> texts, std::uint8_t znak1 = 0, const char* handle = "A") {
  FoundDesignation f;
  for (std::size_t i = 0; i < 8; ++i) f.stored.input.texts[i] = w(texts[i]);
  f.stored.input.Znak1 = znak1;
  f.stored.input.NumberType = "N%%d";
  f.handle = handle;
  return f;
}

const FoundDesignation kFull2 = seam({"1", "2", "ГОСТ 14771-76", "Т3", "УП", "6", "", "Rz20"}, 0, "B1");
const FoundDesignation kSame2 = seam({"", "2", "", "", "", "", "", ""}, 0, "C1");
const FoundDesignation kOther5 = seam({"", "5", "ГОСТ 5264-80", "С2", "", "4", "", ""}, 0, "D1");
const FoundDesignation kLoose = seam({"3", "", "ГОСТ 5264-80", "У4", "", "5", "", ""}, 0, "E1");

TEST(SeamNumbers, NextFreeConflictsAndCounts) {
  const std::vector<FoundDesignation> drawing{kFull2, kSame2, kOther5, kLoose, seam({"", "1", "ГОСТ 5264-80", "Т1", "", "", "", ""})};
  EXPECT_EQ(nextFreeNumber(drawing), 6);
  EXPECT_EQ(nextFreeNumber({}), 1);
  EXPECT_EQ(nextFreeNumber({seam({"", "7а", "ГОСТ", "", "", "", "", ""})}), 1);  // not a number
  struct Case {
    const char* name;
    FoundDesignation drawn;
    std::string replacing;
    const FoundDesignation* takenBy;
  } cases[] = {
      {"the same seam again under its number", seam({"", "2", "ГОСТ 14771-76", "Т3", "УП", "6", "", "Rz20"}), "", nullptr},
      {"another seam under a taken number", seam({"", "02", "ГОСТ 14771-76", "Т3", "УП", "8", "", ""}), "", &drawing[0]},
      {"a number-only designation refers to the seam", seam({"", "5", "", "", "", "", "", ""}), "", nullptr},
      {"a free number", seam({"", "9", "ГОСТ 5264-80", "С2", "", "4", "", ""}), "", nullptr},
      {"the designation being replaced does not count", seam({"", "5", "ГОСТ 5264-80", "С2", "", "7", "", ""}), "d1", nullptr},
      {"a closed-line sign makes another seam", seam({"", "5", "ГОСТ 5264-80", "С2", "", "4", "", ""}, 1), "", &drawing[2]},
      {"no number, no conflict", seam({"", "", "ГОСТ 1", "", "", "", "", ""}), "", nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(numberTakenBy(drawing, c.drawn.stored.input, c.replacing), c.takenBy) << c.name;
  EXPECT_EQ(seamsNumbered(drawing, "2"), 2);
  EXPECT_EQ(fullDesignationsNumbered(drawing, "2").size(), 1u);
}

TEST(SeamRows, NumbersInOrderCountsAndTheSeamsWithoutANumber) {
  const std::vector<FoundDesignation> drawing{kOther5, kSame2, kLoose, kFull2, kSame2, kLoose,
                                              seam({"4", "10", "ГОСТ 1", "", "", "", "", ""}), seam({"", "7", "", "", "", "", "", ""})};
  const std::vector<SeamRow> rows = seamRows(drawing);
  std::vector<std::string> got;
  for (const SeamRow& r : rows) got.push_back(cp1251::toUtf8(r.number) + " | " + shelfText(r.designation) + " | " + std::to_string(r.count));
  EXPECT_EQ(got, (std::vector<std::string>{
                     "2 | ГОСТ 14771-76-Т3-УП-⊿6 √Rz20 | 3",  // the full one and two number-only ones
                     "5 | ГОСТ 5264-80-С2 ⊿4 | 1",
                     "7 |  | 1",                          // only a number-only designation carries 7
                     "10 | ГОСТ 1 | 4",                    // its count field says more than the drawing shows
                     " | ГОСТ 5264-80-У4 ⊿5 | 6",         // two designations without a number, 3 seams each
                 }));
}

TEST(SeamRows, ShelfTextAndCsv) {
  DrawInput in = seam({"", "", "", "", "", "", "", ""}).stored.input;
  EXPECT_EQ(shelfText(in), "");
  in.texts[1] = "3";
  EXPECT_EQ(shelfText(in), "N°3");
  in = seam({"", "", "ГОСТ 14771-76", "Т3", "", "6", "50Z100", "Rz20"}, 3).stored.input;
  in.Znaki2 = ShelfSigns::parse("1,3");
  EXPECT_EQ(shelfText(in), "⚑ ○ ГОСТ 14771-76-Т3 ⊿6-50Z100 ⌒ ⊐ √Rz20");
  EXPECT_EQ(cp1251::toUtf8(shelfText(in, true)), "ГОСТ 14771-76-Т3 6-50Z100 Rz20");
  const std::vector<SeamRow> rows{{"1", seam({"", "1", "ГОСТ \"А\", 2", "", "", "", "", ""}).stored.input, 2}};
  EXPECT_EQ(seamRowsCsv(rows), "\xEF\xBB\xBFНомер шва,Обозначение шва,Количество\r\n1,\"ГОСТ \"\"А\"\", 2\",2\r\n");
}

// Every character 1 wide, the height 2.5: the grid encloses every text, and the columns are as
// wide as their widest text with half a height either side.
class Measured : public shelf::Sink {
 public:
  std::vector<shelf::Box> texts;
  std::vector<shelf::Line> lines;
  shelf::Box text(const shelf::Text& t) override {
    const shelf::Box b{t.at, {t.at[0] + static_cast<double>(t.text.size()), t.at[1] + 2.5, 0}};
    texts.push_back(b);
    return b;
  }
  void shape(const shelf::Shape& s) override {
    if (const auto* l = std::get_if<shelf::Line>(&s)) lines.push_back(*l);
  }
};

TEST(SeamTable, TheGridEnclosesEveryTextAndNoShelfLineIsDrawn) {
  Measured sink;
  const std::vector<SeamRow> rows = seamRows({kFull2, kOther5, kLoose});
  const table::Extent e = table::layout(rows, {100, 200, 0}, {2.5, 0.625, 0.25}, sink);
  EXPECT_DOUBLE_EQ(e.high[1], 200);
  EXPECT_DOUBLE_EQ(e.low[1], 200 - 2 * 2.5 - 3 * 3.2 * 2.5);  // a header and three rows with room for roughness
  ASSERT_EQ(sink.texts.size(), 3u + 2 + 3 + 7);  // headers, two numbers, counts, the shelves' texts
  for (const shelf::Box& b : sink.texts) {
    EXPECT_GT(b.low[0], e.low[0]);
    EXPECT_LT(b.high[0], e.high[0]);
    EXPECT_GT(b.low[1], e.low[1]);
    EXPECT_LT(b.high[1], e.high[1]);
  }
  std::size_t vertical = 0, horizontal = 0;
  for (const shelf::Line& l : sink.lines) {
    if (l.from[0] == l.to[0]) ++vertical;
    else if (l.from[1] == l.to[1] && l.from[0] == e.low[0] && l.to[0] == e.high[0]) ++horizontal;
  }
  EXPECT_EQ(vertical, 4u);
  EXPECT_EQ(horizontal, 5u);  // top, under the header, and under each row: no shelf line beside them
}

}  // namespace
}  // namespace kelvo::cad
