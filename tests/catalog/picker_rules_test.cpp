#include "catalog/picker_rules.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace kelvo::catalog {
namespace {

TEST(PickerRules, SplitAtSpace) {
  std::string seventy(70, 'x');
  seventy[59] = ' ';  // position 60
  struct Case {
    std::string text;
    std::size_t limit;
    std::string first;
    std::optional<std::string> second;
  };
  const Case cases[] = {
      {seventy, 65, std::string(59, 'x'), std::string(10, 'x')},
      {std::string(65, 'y'), 65, std::string(65, 'y'), std::nullopt},
      {std::string(30, 'a') + " " + std::string(20, 'b'), 65, std::string(30, 'a') + " " + std::string(20, 'b'), std::nullopt},
      {std::string(70, 'z'), 65, std::string(70, 'z'), std::nullopt},
      {std::string(65, 'z') + " tail", 65, std::string(65, 'z') + " tail", std::nullopt},  // space at 66
      {"a " + std::string(70, 'b'), 65, "a", std::string(70, 'b')},
      {" " + std::string(90, 'c'), 85, "", std::string(90, 'c')},
      {std::string(64, 'd') + " e" + std::string(300, 'f'), 65, std::string(64, 'd'), "e" + std::string(300, 'f')},
  };
  for (const auto& c : cases) {
    const Split s = SplitAtSpace(c.text, c.limit);
    EXPECT_EQ(s.first, c.first) << c.text;
    EXPECT_EQ(s.second, c.second) << c.text;
  }
}

TEST(PickerRules, ColumnWidths) {
  const std::tuple<int, int, int> cases[] = {{730, 4, 180}, {730, 1, 726}, {730, 0, 0}, {5, 4, 0}, {730, 11, 65}};
  for (const auto& [width, columns, expected] : cases) EXPECT_EQ(methodColumnWidth(width, columns), expected);
}

TEST(PickerRules, TitleOfTheFirstRowWithTheKeyIgnoringCase) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {cp1251::fromUtf8("ГОСТ 1-1"), "first"}, {cp1251::fromUtf8("гост 1-1"), "second"}, {"x", "third"}};
  EXPECT_EQ(titleOfFirstRowWithKey(rows, cp1251::fromUtf8("гОСТ 1-1")), "first");
  EXPECT_EQ(titleOfFirstRowWithKey(rows, "X"), "third");
  EXPECT_EQ(titleOfFirstRowWithKey(rows, "y"), "");
}

}  // namespace
}  // namespace kelvo::catalog
