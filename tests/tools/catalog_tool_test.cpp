#include "catalog/picture_file.h"
#include "platform/codepage.h"
#include "tests/support/temp_dir.h"
#include "tools/catalog/check.h"
#include "tools/catalog/dump.h"

#include <gtest/gtest.h>

namespace kelvo::tools {
namespace {

std::string w(const std::string& utf8) { return cp1251::fromUtf8(utf8); }

// The last part of a path: a Windows path's drive letter has a colon of its own.
std::string fileName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

const std::string kGood = w(
    "ГОСТ 1-1\nT\n[Способ сварки]\nA\nметод A\n\n[Тип соединения - закладки]\nОдна\n\n"
    "#00 0 00 X\nt\ne\nc\n-\n-\n1-2\n"
    "#01 0 01 Y\nt\ne\nc\n-\n-\n3-4\n");

class CheckTest : public ::testing::Test {
 protected:
  // Writes a data file and a picture file of `pictures` pictures beside it.
  std::string data(const std::string& text, int pictures = 2) {
    const std::string name = dir.file("k_1-1.dat");
    test::spit(name, text);
    std::vector<std::string> bmps;
    const std::string bmp = std::string("BM") + std::string(24, '\0');
    for (int i = 0; i < pictures; ++i) bmps.push_back(bmp);
    test::spit(dir.file("k_1-1.ris"), catalog::writePictureFile(bmps, false));
    return name;
  }
  test::TempDir dir;
};

TEST_F(CheckTest, CleanFileHasNoProblems) {
  EXPECT_TRUE(checkData(data(kGood)).empty());
  EXPECT_EQ(guessKind(data(kGood)), CatalogKind::Data);
}

TEST_F(CheckTest, EachBrokenRuleIsNamedWithItsLine) {
  struct Case {
    const char* name;
    std::string text;
    int pictures;
    std::string where;  // the line the problem names ("" for the whole file)
    std::string words;
  };
  auto replace = [](std::string s, const std::string& fromUtf8, const std::string& toUtf8) {
    const std::string from = w(fromUtf8);
    return s.replace(s.find(from), from.size(), w(toUtf8));
  };
  const Case cases[] = {
      {"incomplete record", replace(kGood, "#01 0 01 Y", "#01 x 01 Y"), 2, ":17", "incomplete"},
      {"record inside a body", replace(kGood, "c\n-\n-\n1-2", "c\n#02 0 02 Z\n-\n1-2"), 3, ":14", "inside the body"},
      {"duplicate position", replace(kGood, "#01 0 01", "#01 0 00"), 2, ":17", "button position 0"},
      {"duplicate picture", replace(kGood, "#01 0 01", "#00 0 01"), 2, ":17", "used already"},
      {"picture past the file", kGood, 1, ":17", "not below the 1 pictures"},
      {"tab beyond captions", replace(kGood, "#01 0 01", "#01 1 00"), 2, ":17", "tab section has 1"},
      {"odd method lines", replace(kGood, "метод A\n", "метод A\nB\n"), 2, ":3", "odd number"},
      {"method header on line 2", replace(kGood, "T\n[Способ", "[Способ"), 2, "", "method section header is missing"},
      {"no tab header", replace(kGood, "[Тип соединения - закладки]", "x"), 2, "", "tab section header is missing"},
  };
  for (const auto& c : cases) {
    const auto problems = checkData(data(c.text, c.pictures));
    bool found = false;
    for (const auto& p : problems)
      found |= p.text.find(c.words) != std::string::npos &&
               (c.where.empty() ? fileName(p.where).find(':') == std::string::npos : p.where.ends_with(c.where));
    EXPECT_TRUE(found) << c.name << ": " << (problems.empty() ? "no problem" : problems[0].where + " " + problems[0].text);
  }
}

TEST_F(CheckTest, StandardsList) {
  const std::string name = dir.file("k.dat");
  test::spit(name, "H\n5264-80\nA\n 1\nB\n123456789012345\nC\n\n");
  const auto problems = checkStandards(name);
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_NE(problems[0].text.find("space"), std::string::npos);
  EXPECT_NE(problems[1].text.find("14"), std::string::npos);
  EXPECT_NE(problems[2].text.find("empty"), std::string::npos);
  EXPECT_NE(problems[3].text.find("without a title"), std::string::npos);
}

TEST_F(CheckTest, DumpShowsWhatTheReadersSee) {
  const std::string json = dumpData(data(kGood));
  EXPECT_NE(json.find("\"heading\":\"ГОСТ 1-1\""), std::string::npos) << json;
  EXPECT_NE(json.find("{\"designation\":\"A\",\"description\":\"метод A\"}"), std::string::npos);
  EXPECT_NE(json.find("{\"picture\":1,\"tab\":0,\"position\":1,\"designation\":\"Y\",\"type\":\"t\","
                      "\"edges\":\"e\",\"character\":\"c\",\"thicknessCaption\":\"-\",\"thickness\":[\"3-4\"]}"),
            std::string::npos)
      << json;
  const std::string pics = dumpPictures(dir.file("k_1-1.ris"));
  EXPECT_EQ(pics, "{\"kind\":\"pictures\",\"count\":2,\"pictures\":[{\"index\":0,\"compressed\":false,"
                  "\"bytes\":26,\"width\":0,\"height\":0},{\"index\":1,\"compressed\":false,\"bytes\":26,"
                  "\"width\":0,\"height\":0}]}");
}

}  // namespace
}  // namespace kelvo::tools
