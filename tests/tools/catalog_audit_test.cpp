#include "catalog/picture_file.h"
#include "platform/codepage.h"
#include "tests/support/temp_dir.h"
#include "tools/catalog/audit.h"
#include "tools/catalog/layout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

namespace kelvo::tools {
namespace {

std::string w(const std::string& utf8) { return cp1251::fromUtf8(utf8); }

std::string joined(const std::vector<Problem>& problems) {
  std::string all;
  for (const auto& p : problems) all += p.where + ": " + p.text + "\n";
  return all;
}

// Every data file that ships, read as Kelvo reads it and held against the others.
TEST(ShippedCatalogue, IsConsistent) {
  const std::string dir = KELVO_DATA_DIR;
  int dataFiles = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    dataFiles += entry.path().extension() == ".dat" && entry.path().stem().string().find('-') != std::string::npos;
  EXPECT_GE(dataFiles, 4);
  const auto problems = auditCatalogue(dir);
  EXPECT_TRUE(problems.empty()) << joined(problems);
}

TEST(ThicknessCell, AcceptsRangesDashAndNoData) {
  const struct {
    const char* utf8;
    bool good;
  } cases[] = {
      {"0,5-4,0", true},
      {"12-35", true},
      {"-", true},
      {"нет данных", true},
      {"1-6 (угол 179-91°, 89-5°); 7-30 (угол 135-91°, 89-5°)", true},
      {"0,8-6,0 (угол 179-91°)", true},
      {"2-5/25", true},  // pipes: wall thickness over the least outer diameter
      {"1,6-7/14-150", true},
      {"2-5/", false},
      {"2-5/150-14", false},
      {"", false},
      {"4,0-0,5", false},            // the bounds swapped
      {"0,5–4,0", false},            // an en dash, not the hyphen the rest of the catalogue uses
      {"0,5-4.0", false},            // a decimal point
      {"0,5-", false},
      {"0,5-4,0;1-2", false},
      {"1-6 (угол 179-91)", false},  // the degree sign missing
      {"1-6 (угол 179-91°", false},
      {"нет", false},
      {"до 4", false},
  };
  // However many digits a cell has, it is read and not thrown over.
  EXPECT_TRUE(isThicknessCell("1-" + std::string(400, '9')));
  for (const auto& c : cases) EXPECT_EQ(isThicknessCell(w(c.utf8)), c.good) << c.utf8;
}

TEST(FamilyCaption, IsThePluralOfTheType) {
  EXPECT_EQ(familyCaption(w("Стыковое")), w("Стыковые"));
  EXPECT_EQ(familyCaption(w("Нахлесточное")), w("Нахлесточные"));
  EXPECT_EQ(familyCaption(w("Угловое соединение фланца или кольца с трубой")), w("Угловые"));
  EXPECT_EQ(familyCaption(w("")), "");
  EXPECT_EQ(familyCaption(w("ое")), "");
  EXPECT_EQ(familyCaption(w("Стык")), "");
}

// A small catalogue in a temporary directory: one standard, two methods, `joints` butt joints
// on tabs of at most ten, and a picture of the button's size for each.
class AuditTest : public ::testing::Test {
 protected:
  static std::string dataFile(int joints, const std::string& captions) {
    std::string text = "ГОСТ 1-11\nЗаголовок\n[Способ сварки]\nА\nметод А\nБ\nметод Б\n\n"
                       "[Тип соединения - закладки]\n" + captions + "\n\n";
    for (int j = 0; j < joints; ++j) {
      char record[64];
      std::snprintf(record, sizeof record, "#%02d %d %02d ", j, j / 10, j % 10);
      text += record + ("С" + std::to_string(j + 1)) + "\n";
      text += "Стыковое\nБез скоса кромок\nОдносторонний\nТолщина, мм\nА\n1-4\nБ\n-\n";
    }
    return text;
  }
  static std::string bitmap(int width, int height) {
    std::string bmp = "BM" + std::string(52, '\0');
    bmp[14] = 40;
    bmp[18] = static_cast<char>(width);
    bmp[22] = static_cast<char>(height);
    return bmp;
  }
  std::vector<Problem> audit(const std::string& utf8Data, int pictures, int height = kPictureHeight) {
    test::spit(dir.file("standards.dat"), w("Стандарты\n1-11\nЗаголовок\n"));
    test::spit(dir.file("1-11.dat"), w(utf8Data));
    std::vector<std::string> bmps(static_cast<std::size_t>(pictures), bitmap(kPictureWidth, height));
    test::spit(dir.file("1-11.ris"), catalog::writePictureFile(bmps, false));
    return auditCatalogue(dir.path());
  }
  test::TempDir dir;
};

TEST_F(AuditTest, ACleanCatalogueHasNoProblems) {
  EXPECT_TRUE(audit(dataFile(3, "Стыковые"), 3).empty());
  EXPECT_TRUE(audit(dataFile(12, "Стыковые 1\nСтыковые 2"), 12).empty()) << "eleven joints and more split";
}

TEST_F(AuditTest, EachInconsistencyIsNamed) {
  auto replace = [](std::string s, const std::string& from, const std::string& to) {
    return s.replace(s.find(from), from.size(), to);
  };
  const std::string three = dataFile(3, "Стыковые");
  const struct {
    const char* name;
    std::string data;
    int pictures;
    int height;
    std::string words;
  } cases[] = {
      {"joint twice", replace(three, "С3\n", "С1\n"), 3, kPictureHeight, "stands already at line"},
      {"method line off", replace(three, "Б\n-\n#02", "В\n-\n#02"), 3, kPictureHeight, "not the method \"Б\""},
      {"thickness not a range", replace(three, "А\n1-4\n", "А\nсм. табл. 2\n"), 3, kPictureHeight,
       "is not a thickness range"},
      {"type not a type", replace(three, "#01 0 01 С2\nСтыковое", "#01 0 01 С2\n"), 3, kPictureHeight,
       "is not a type of joint"},
      {"caption unlike its joints", dataFile(3, "Угловые"), 3, kPictureHeight, "want \"Стыковые\""},
      {"split without need", replace(three, "#02 0 02", "#02 1 00"), 3, kPictureHeight, "fit one tab"},
      {"split tabs unnumbered", dataFile(12, "Стыковые\nСтыковые"), 12, kPictureHeight, "want \"Стыковые 1\""},
      {"two types on a tab", replace(three, "#02 0 02 С3\nСтыковое", "#02 0 02 С3\nУгловое"), 3,
       kPictureHeight, "holds both"},
      {"title unlike the list", replace(three, "Заголовок\n[", "Другой\n["), 3, kPictureHeight,
       "differs from the one in the standards list"},
      {"heading unlike the file name", replace(three, "ГОСТ 1-11", "ГОСТ 1-12"), 3, kPictureHeight, "line 1 is not"},
      {"stale picture file", three, 4, kPictureHeight, "4 pictures"},
      {"picture of another size", three, 3, 40, "is not a bitmap of 104 x 68"},
      {"last joint cut short", three.substr(0, three.size() - 2), 3, kPictureHeight, "end with the file"},
  };
  for (const auto& c : cases) {
    const std::string all = joined(audit(c.data, c.pictures, c.height));
    EXPECT_NE(all.find(c.words), std::string::npos) << c.name << ":\n" << all;
  }
}

TEST_F(AuditTest, AStandardMissingFromTheListIsNamed) {
  test::spit(dir.file("standards.dat"), w("Стандарты\n2-22\nДругой\n"));
  test::spit(dir.file("1-11.dat"), w(dataFile(1, "Стыковые")));
  test::spit(dir.file("1-11.ris"), catalog::writePictureFile({bitmap(kPictureWidth, kPictureHeight)}, false));
  const std::string all = joined(auditCatalogue(dir.path()));
  EXPECT_NE(all.find("does not hold ГОСТ 1-11"), std::string::npos) << all;
}

TEST(PlanTabs, SplitsATypeThatTenButtonsDoNotHold) {
  std::vector<std::string> types(23, w("Стыковое"));
  types.insert(types.end(), 3, w("Угловое"));
  const TabPlan plan = planTabs(types);
  const std::vector<std::string> captions{w("Стыковые 1"), w("Стыковые 2"), w("Стыковые 3"), w("Угловые")};
  EXPECT_EQ(plan.captions, captions);
  ASSERT_EQ(plan.placeOfJoint.size(), 26u);
  EXPECT_EQ(plan.placeOfJoint[9], std::make_pair(0, 9));
  EXPECT_EQ(plan.placeOfJoint[10], std::make_pair(1, 0));
  EXPECT_EQ(plan.placeOfJoint[22], std::make_pair(2, 2));
  EXPECT_EQ(plan.placeOfJoint[23], std::make_pair(3, 0));
  EXPECT_EQ(planTabs({w("Стыковое")}).captions, std::vector<std::string>{w("Стыковые")});
  // Joints of one type with different parts share the type's tabs.
  EXPECT_EQ(planTabs({w("Стыковое соединение трубы с трубой"), w("Стыковое соединение фланца с трубой")}).captions,
            std::vector<std::string>{w("Стыковые")});
}

TEST(PlanTabs, RefusesWhatNoLayoutCanShow) {
  EXPECT_THROW(planTabs({w("Стыковое"), w("Угловое"), w("Стыковое")}), std::invalid_argument);
  EXPECT_THROW(planTabs({w("")}), std::invalid_argument);
  EXPECT_THROW(planTabs(std::vector<std::string>(101, w("Стыковое"))), std::invalid_argument);
}

TEST(LayOut, ClosesCaptionsThatRunIntoTheRecords) {
  for (const char* tabSection : {"[Тип соединения - закладки]\nСтарое\n#00", "[Тип соединения - закладки]\n#00"}) {
    const std::string text = std::string("ГОСТ 1-1\nT\n[Способ сварки]\nА\nа\n\n") + tabSection +
                             " 3 07 С1\nСтыковое\nБез скоса кромок\nОдносторонний\n-\nА\n1-2\n";
    EXPECT_NE(layOut(w(text)).find(w("закладки]\r\nСтыковые\r\n\r\n#00 0 00 С1\r\nСтыковое")), std::string::npos)
        << tabSection;
  }
}

// Laid out, a file of more joints than a tab holds passes the checker and the audit; its
// picture numbers, the joints' identities in saved settings, stay as they were.
TEST_F(AuditTest, ALaidOutFilePassesTheChecks) {
  std::string crowded = dataFile(12, "Стыковые");
  for (const char* from : {"#10 1 00", "#11 1 01"}) {
    const std::string to = std::string(from).replace(4, 4, "0 09");
    crowded.replace(crowded.find(from), 8, to);
  }
  const std::string laidOut = layOut(w(crowded));
  EXPECT_NE(laidOut.find(w("#11 1 01 С12")), std::string::npos);
  EXPECT_NE(laidOut.find(w("\r\nСтыковые 1\r\nСтыковые 2\r\n\r\n#00 0 00")), std::string::npos);
  test::spit(dir.file("standards.dat"), w("Стандарты\n1-11\nЗаголовок\n"));
  test::spit(dir.file("1-11.dat"), laidOut);
  std::vector<std::string> bmps(12, bitmap(kPictureWidth, kPictureHeight));
  test::spit(dir.file("1-11.ris"), catalog::writePictureFile(bmps, false));
  EXPECT_TRUE(checkFile(dir.file("1-11.dat")).empty()) << joined(checkFile(dir.file("1-11.dat")));
  EXPECT_TRUE(auditCatalogue(dir.path()).empty()) << joined(auditCatalogue(dir.path()));
}

}  // namespace
}  // namespace kelvo::tools
