// Kelvo's INI store beside the system's private-profile functions (wine's
// GetPrivateProfileStringA / WritePrivateProfileStringA) on the same files. Where they differ,
// Kelvo keeps the rule of the settings file, and the row says why.
#include "platform/ini_store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace kelvo {
namespace {

using test::slurp;
using test::spit;
using test::TempDir;

struct ReadCase {
  const char* file;
  const char* section;
  const char* key;
  const char* differs;  // why wine's answer is not taken, or nullptr where both agree
};

std::string systemRead(const std::string& file, const char* section, const char* key) {
  // The buffer the settings reader uses: 2047 characters and the terminator.
  std::string buf(2048, '\0');
  const DWORD n = GetPrivateProfileStringA(section, key, "<default>", buf.data(), 2048, file.c_str());
  buf.resize(n);
  return buf;
}

const std::string kLong(3000, 'x');

TEST(IniAgainstWine, Reads) {
  const std::string longFile = "[S]\r\nk=" + kLong + "\r\n";
  const ReadCase cases[] = {
      {"[S]\r\nk=v\r\n", "S", "k", nullptr},
      {"[S]\r\nk=\"quoted value\"\r\n", "S", "k", nullptr},
      {"[S]\r\nk='single'\r\n", "S", "k", nullptr},
      {"[S]\r\nk=\"unbalanced\r\n", "S", "k", nullptr},
      {"[S]\r\n  k  =  spaced value  \r\n", "S", "k", nullptr},
      {"[ S ]\r\nk=v\r\n", "S", "k", nullptr},
      {"[s]\r\nK=v\r\n", "S", "k", nullptr},
      {"[\xCE\xE1\xF9\xE0\xFF]\r\n\xC2\xFB\xF1\xEE\xF2\xE0=300\r\n", "\xEE\xE1\xF9\xE0\xFF", "\xE2\xFB\xF1\xEE\xF2\xE0",
       "wine matches names case-blind for Latin letters only; Windows in the 1251 code page, and "
       "the settings file, for Cyrillic ones too"},
      {"[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n", "S", "k", nullptr},
      {"[T]\r\nk=v\r\n", "S", "k", nullptr},
      {"[S]\r\nother=v\r\n", "S", "k", nullptr},
      {"junk line\r\n[S]\r\nno equals sign\r\nk=v\r\n", "S", "k", nullptr},
      {"[S]\r\n;k=comment\r\nk=v\r\n", "S", "k", nullptr},
      {"[S]\nk=unix lines\n", "S", "k", nullptr},
      {"[S]\r\nk=\r\n", "S", "k", nullptr},
      {"[S]\r\nk=a=b\r\n", "S", "k", nullptr},
      {"k=before any section\r\n[S]\r\n", "S", "k", nullptr},
      {longFile.c_str(), "S", "k", nullptr},
  };
  TempDir dir;
  const std::string file = dir.file("t.ini");
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.file);
    spit(file, c.file);
    const std::string ours = IniFile(file).readString(c.section, c.key, "<default>");
    const std::string wine = systemRead(file, c.section, c.key);
    if (c.differs) EXPECT_NE(ours, wine) << "wine now agrees: " << c.differs;
    else EXPECT_EQ(ours, wine);
  }
}

struct WriteCase {
  const char* before;  // nullptr: no file yet
  const char* section;
  const char* key;
  const char* value;
  const char* differs;
};

TEST(IniAgainstWine, Writes) {
  const WriteCase cases[] = {
      {nullptr, "S", "k", "v", nullptr},
      {"[S]\r\nk=old\r\n", "S", "k", "new", nullptr},
      {"[S]\r\na=1\r\n", "S", "k", "v", nullptr},
      {"[S]\r\na=1\r\n", "T", "k", "v", nullptr},
      {"[s]\r\nK=old\r\n", "S", "k", "new", nullptr},
      {"[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3", nullptr},
      {"[S]\r\n  k  =  old  \r\n", "S", "k", "new", nullptr},
      {"[S]\r\nk=v\r\n\r\n[T]\r\nj=w\r\n", "S", "n", "x",
       "wine writes the whole file anew and drops its blank lines; Kelvo changes only the line it writes"},
      {"[S]\r\nk=v", "S", "n", "x", nullptr},
      {nullptr, "\xCE\xE1\xF9\xE0\xFF", "\xC2\xFB\xF1\xEE\xF2\xE0", "\xCF\xF0\xE8\xE2\xE5\xF2", nullptr},
  };
  TempDir dir;
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(std::string(c.before ? c.before : "(no file)") + " <- " + c.key);
    const std::string ours = dir.file("ours.ini"), wine = dir.file("wine.ini");
    DeleteFileA(ours.c_str());
    DeleteFileA(wine.c_str());
    if (c.before) spit(ours, c.before), spit(wine, c.before);
    IniFile(ours).writeString(c.section, c.key, c.value);
    ASSERT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, wine.c_str()));
    if (c.differs) EXPECT_NE(slurp(ours), slurp(wine)) << "wine now agrees: " << c.differs;
    else EXPECT_EQ(slurp(ours), slurp(wine));
  }
}

}  // namespace
}  // namespace kelvo
