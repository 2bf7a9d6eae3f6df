// Settings stored as Kelvo stores them on closing, killed at random moments: the file is always
// the whole old one or the whole new one, and it reads back as one of them.
#include "app/settings.h"
#include "platform/ini_store.h"
#include "tests/support/kill_loop.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>


namespace kelvo {
namespace {

void store(const std::string& fileName, const MainSettings& s) {
  IniBatch ini{IniFile(fileName)};
  writeMainSettings(ini, s);
  ini.commit();
}

TEST(SettingsCrash, AKillWhileStoringLeavesTheOldFileOrTheNew) {
  test::TempDir dir;
  MainSettings a, b;
  b.height = 412, b.width = 900, b.hints = false, b.LayerName = "Weld", b.Znak1 = 3, b.Znak2 = 1, b.RisNum = 7;
  for (int n = 0; n < 8; ++n) b.texts[static_cast<std::size_t>(n)] = std::string(40 + n, static_cast<char>('A' + n));
  const std::string file = dir.file("Kelvo.ini");
  store(dir.file("a.ini"), a);
  store(dir.file("b.ini"), b);
  const std::string textA = test::slurp(dir.file("a.ini")), textB = test::slurp(dir.file("b.ini"));
  ASSERT_NE(textA, textB);

  int sawA = 0, sawB = 0;
  test::killWhileRepeating(
      300, [&] { store(file, a), store(file, b); },
      [&](int run) {
        const std::string now = test::slurp(file);
        if (now.empty() && run == 0) return;  // killed before its first file was there
        ASSERT_TRUE(now == textA || now == textB) << "run " << run << " left:\n" << now;
        (now == textA ? sawA : sawB)++;
        EXPECT_EQ(readMainSettings(IniFile(file)).height, now == textA ? a.height : b.height);
      });
  // Both files must have been caught, or the kills missed the moments that matter.
  EXPECT_GT(sawA, 10);
  EXPECT_GT(sawB, 10);
}

}  // namespace
}  // namespace kelvo
