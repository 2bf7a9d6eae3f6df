// Settings stored as Kelvo stores them on closing, killed at random moments: the file is always
// the whole old one or the whole new one, and it reads back as one of them.
#include "app/settings.h"
#include "platform/ini_store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

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

  std::mt19937 random(20261209);
  int sawA = 0, sawB = 0;
  for (int run = 0; run < 500; ++run) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) store(file, a), store(file, b);
    }
    usleep(std::uniform_int_distribution<useconds_t>(200, 4000)(random));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = test::slurp(file);
    if (now.empty() && run == 0) continue;  // killed before its first file was there
    ASSERT_TRUE(now == textA || now == textB) << "run " << run << " left:\n" << now;
    (now == textA ? sawA : sawB)++;
    const MainSettings read = readMainSettings(IniFile(file));
    EXPECT_EQ(read.height, now == textA ? a.height : b.height);
  }
  // Both files must have been caught, or the kills missed the moments that matter.
  EXPECT_GT(sawA, 10);
  EXPECT_GT(sawB, 10);
}

}  // namespace
}  // namespace kelvo
