#include "platform/codepage.h"
#include "platform/ini_store.h"
#include "platform/ini_text.h"

#include <gtest/gtest.h>

namespace kelvo::ini {
namespace {

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string expected;
};

TEST(IniRead, ValuesAsTheProfileFunctionsGiveThem) {
  const std::string dflt = "<default>";
  const ReadCase cases[] = {
      {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
      {"LF only", "[S]\nk=v\n", "S", "k", "v"},
      {"no final newline", "[S]\nk=v", "S", "k", "v"},
      {"spaces around", "[S]\n  k  =   v w  \n", "S", "k", "v w"},
      {"tabs around", "[S]\nk=\tv\t\n", "S", "k", "v"},
      {"double quotes", "[S]\nk=\" v \"\n", "S", "k", " v "},
      {"single quotes", "[S]\nk=' v '\n", "S", "k", " v "},
      {"only one pair of quotes", "[S]\nk=\"\"v\"\"\n", "S", "k", "\"v\""},
      {"unmatched quotes kept", "[S]\nk=\"v'\n", "S", "k", "\"v'"},
      {"lone quote kept", "[S]\nk=\"\n", "S", "k", "\""},
      {"empty value", "[S]\nk=\n", "S", "k", ""},
      {"equals in value", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"missing key", "[S]\nother=1\n", "S", "k", dflt},
      {"missing section", "[T]\nk=1\n", "S", "k", dflt},
      {"key before any section", "k=1\n[S]\n", "S", "k", dflt},
      {"key of another section", "[S]\n[T]\nk=1\n", "S", "k", dflt},
      {"first section wins", "[S]\nk=1\n[S]\nk=2\n", "S", "k", "1"},
      {"first key wins", "[S]\nk=1\nk=2\n", "S", "k", "1"},
      {"second section searched if first lacks key", "[S]\n[S]\nk=2\n", "S", "k", dflt},
      {"case of Latin names", "[sEc]\nKeY=v\n", "SeC", "kEy", "v"},
      {"case of Cyrillic names", w("[ОБЩАЯ]\nподсказка=0\n"), w("Общая"), w("ПОДСКАЗКА"), "0"},
      {"spaces in header", "[ S ]\nk=v\n", "S", "k", "v"},
      {"header without bracket", "[S\nk=v\n", "S", "k", "v"},
      {"line without equals", "[S]\nk\nk=v\n", "S", "k", "v"},
      {"CR kept inside a line", "[S]\nk=a\rb\n", "S", "k", "a\rb"},
      {"junk bytes", std::string("\0\xFF[\x01]\n=\n\xFE=\n", 12), "S", "k", dflt},
      {"empty file", "", "S", "k", dflt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(readValue(c.file, c.section, c.key, dflt), c.expected) << c.name;
}

TEST(IniRead, LongValuesAreCutAt2047) {
  const std::string longValue(5000, 'x');
  EXPECT_EQ(readValue("[S]\nk=" + longValue + "\n", "S", "k", ""), std::string(2047, 'x'));
  EXPECT_EQ(readValue("[S]\nk=\"" + std::string(2047, 'y') + "\"\n", "S", "k", ""),
            std::string(2047, 'y'));
}

TEST(IniRead, MegabyteLinesAndNoNewlineRead) {
  std::string file = "[S]\njunk=" + std::string(4 << 20, 'j') + "\nk=v";
  EXPECT_EQ(readValue(file, "S", "k", ""), "v");
}

struct IntCase {
  const char* text;
  int expected;  // 777 means "the default"
};

TEST(IniRead, Integers) {
  const IntCase cases[] = {
      {"0", 0},         {"42", 42},          {"-7", -7},          {"+7", 7},
      {"0x1F", 31},     {"0X1f", 31},        {"$ff", 255},        {"-$10", -16},
      {"2147483647", 2147483647},            {"-2147483648", -2147483647 - 1},
      {"2147483648", 777},                   {"$FFFFFFFF", -1},   {"$100000000", 777},
      {"", 777},        {"12a", 777},        {"a12", 777},        {"1 2", 777},
      {"0x", 777},      {"$", 777},          {"-", 777},          {"1.5", 777},
      {"99999999999999999999", 777},
  };
  for (const auto& c : cases) {
    const std::string file = std::string("[S]\nk=") + c.text + "\n";
    int value = 777;
    if (!parseIniInteger(readValue(file, "S", "k", ""), value)) value = 777;
    EXPECT_EQ(value, c.expected) << c.text;
  }
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST(IniWrite, KeepsEveryOtherLine) {
  const WriteCase cases[] = {
      {"new file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"replace in place", "; c\n[S]\na=1\nk=old\nb=2\n", "S", "k", "new",
       "; c\r\n[S]\r\na=1\r\nk=new\r\nb=2\r\n"},
      {"replace keeps the stored name", "[S]\n  KEY = old  \n", "S", "key", "v",
       "[S]\r\nKEY=v\r\n"},
      {"append at end of section before blank lines", "[S]\na=1\n\n[T]\nb=2\n", "S", "k", "v",
       "[S]\r\na=1\r\nk=v\r\n\r\n[T]\r\nb=2\r\n"},
      {"append to empty section", "[S]\n[T]\n", "S", "k", "v", "[S]\r\nk=v\r\n[T]\r\n"},
      {"append to last section", "[T]\nb=2\n[S]\na=1", "S", "k", "v",
       "[T]\r\nb=2\r\n[S]\r\na=1\r\nk=v\r\n"},
      {"append section at end", "[T]\nb=2\n", "S", "k", "v", "[T]\r\nb=2\r\n[S]\r\nk=v\r\n"},
      {"first section of two", "[S]\na=1\n[S]\nk=2\n", "S", "k", "v",
       "[S]\r\na=1\r\nk=v\r\n[S]\r\nk=2\r\n"},
      {"Cyrillic name of another case", w("[сварка]\nполе1=a\n"), w("Сварка"), w("Поле1"), "b",
       w("[сварка]\r\nполе1=b\r\n")},
      {"line breaks in a value cannot forge keys", "[S]\n", "S", "k", "a\r\nevil=1",
       "[S]\r\nk=a  evil=1\r\n"},
      {"lines without equals kept", "[S]\nnoise\n", "S", "k", "v", "[S]\r\nnoise\r\nk=v\r\n"},
  };
  for (const auto& c : cases) {
    const std::string after = withValue(c.before, c.section, c.key, c.value);
    EXPECT_EQ(after, c.after) << c.name;
    EXPECT_EQ(readValue(after, c.section, c.key, "?"),
              readValue(c.after, c.section, c.key, "!"))
        << c.name;
  }
}

TEST(IniWrite, JunkIsKeptByteForByte) {
  const std::string junk("\x01\xFF\0zz", 5);
  const std::string after = withValue(junk, "S", "k", "v");
  EXPECT_EQ(after, junk + "\r\n[S]\r\nk=v\r\n");
}

// Sections as the library keeps its entries: listed, taken out with their keys, renamed in place.
TEST(IniSections, ListedTakenOutAndRenamedWithEveryOtherLineKept) {
  const std::string text = "; note\n[A]\nk=1\n\n[ b ]\nk=2\n[A]\nk=3\n";
  EXPECT_EQ(sectionNames(text), (std::vector<std::string>{"A", "b", "A"}));
  EXPECT_EQ(withoutSection(text, "a"), "; note\r\n[ b ]\r\nk=2\r\n[A]\r\nk=3\r\n");
  EXPECT_EQ(withoutSection(text, "B"), "; note\r\n[A]\r\nk=1\r\n\r\n[A]\r\nk=3\r\n");
  EXPECT_EQ(withoutSection(text, "C"), text);
  EXPECT_EQ(withSectionRenamed(text, "B", "C"), "; note\r\n[A]\r\nk=1\r\n\r\n[C]\r\nk=2\r\n[A]\r\nk=3\r\n");
  EXPECT_EQ(readValue(withSectionRenamed(text, "B", "C"), "c", "k", "?"), "2");
}

}  // namespace
}  // namespace kelvo::ini
