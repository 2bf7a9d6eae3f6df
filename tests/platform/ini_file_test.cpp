#include "platform/file_io.h"
#include "platform/ini_store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kelvo {
namespace {

using test::slurp;
using test::spit;
using test::TempDir;

TEST(IniFile, EveryCallGoesToTheFile) {
  TempDir dir;
  IniFile a(dir.file("k.ini"));
  IniFile b(dir.file("k.ini"));
  EXPECT_EQ(a.readString("S", "k", "d"), "d");
  b.writeString("S", "k", "one");
  EXPECT_EQ(a.readString("S", "k", "d"), "one");
  spit(dir.file("k.ini"), "[S]\nk=two\n");
  EXPECT_EQ(a.readString("S", "k", "d"), "two");
}

TEST(IniFile, IntegersAndBooleans) {
  TempDir dir;
  IniFile ini(dir.file("k.ini"));
  ini.writeInteger("S", "i", -12);
  ini.writeBool("S", "t", true);
  ini.writeBool("S", "f", false);
  EXPECT_EQ(slurp(ini.fileName()), "[S]\r\ni=-12\r\nt=1\r\nf=0\r\n");
  EXPECT_EQ(ini.readInteger("S", "i", 0), -12);
  EXPECT_TRUE(ini.readBool("S", "t", false));
  EXPECT_FALSE(ini.readBool("S", "f", true));
  spit(ini.fileName(), "[S]\nt=$10\nbad=yes\n");
  EXPECT_TRUE(ini.readBool("S", "t", false));
  EXPECT_TRUE(ini.readBool("S", "bad", true));
  EXPECT_FALSE(ini.readBool("S", "bad", false));
}

TEST(IniFile, UnwritableFileRaisesWithTheFullName) {
  TempDir dir;
  spit(dir.file("plain"), "x");
  // A path through a regular file cannot be created, even by root.
  const std::string name = dir.file("plain/kelvo.ini");
  IniFile ini(name);
  try {
    ini.writeString("S", "k", "v");
    FAIL() << "no error";
  } catch (const IniWriteError& e) {
    EXPECT_STREQ(e.what(), ("Unable to write to " + name).c_str());
  }
  EXPECT_EQ(ini.readString("S", "k", "d"), "d");
}

#ifndef _WIN32
// POSIX modes and symbolic links.
// A writable settings file in a folder where the user may not create files (a shared install):
// the value reaches the file all the same; a file that is itself read-only still fails.
TEST(IniFile, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
  TempDir dir;
  const std::string folder = dir.file("install");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string open = folder + "/kelvo.ini", locked = folder + "/locked.ini";
  spit(open, "[S]\r\nk=1\r\n");
  spit(locked, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(open.c_str(), 0666), 0);
  ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // Root may create files anywhere: the child gives up its rights to be an ordinary user.
    if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(77);
    if (access(folder.c_str(), X_OK) != 0) _exit(77);
    try {
      IniFile ini(open);
      ini.writeString("S", "k", "2");
      ini.writeString("S", "new", "3");
    } catch (const IniWriteError&) {
      _exit(1);
    }
    try {
      IniFile(locked).writeString("S", "k", "2");
      _exit(2);
    } catch (const IniWriteError& e) {
      _exit(e.what() == "Unable to write to " + locked ? 0 : 3);
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no ordinary user to run as";
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(slurp(open), "[S]\r\nk=2\r\nnew=3\r\n");
  EXPECT_EQ(slurp(locked), "[S]\r\nk=1\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
}

TEST(IniFile, PermissionsAndLinksSurviveAWrite) {
  TempDir dir;
  const std::string real = dir.file("real.ini");
  spit(real, "[S]\nk=1\n");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink(real.c_str(), dir.file("link.ini").c_str()), 0);
  IniFile(dir.file("link.ini")).writeString("S", "k", "2");
  struct stat st {};
  ASSERT_EQ(lstat(dir.file("link.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(slurp(real), "[S]\r\nk=2\r\n");
}

#endif

TEST(IniFile, NoTemporaryFilesAreLeftBehind) {
  TempDir dir;
  IniFile ini(dir.file("k.ini"));
  for (int i = 0; i < 20; ++i) ini.writeInteger("S", "k" + std::to_string(i), i);
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

#ifndef _WIN32
// A child rewrites a large file over and over and is killed at some moment; the file must then
// be one of the complete versions, never a truncated or mixed one.
TEST(IniFile, KilledWriterLeavesACompleteFile) {
  TempDir dir;
  const std::string name = dir.file("k.ini");
  const std::string big(1 << 20, 'p');
  spit(name, "[S]\r\npad=" + big + "\r\nk=0\r\n");
  for (int round = 0; round < 8; ++round) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      IniFile ini(name);
      for (int i = 1;; ++i) ini.writeInteger("S", "k", i);
    }
    usleep(static_cast<useconds_t>(20000 + round * 7000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const std::string now = slurp(name);
    const std::string head = "[S]\r\npad=" + big + "\r\nk=";
    ASSERT_EQ(now.substr(0, head.size()), head) << "round " << round;
    ASSERT_TRUE(now.ends_with("\r\n"));
    int value = -1;
    ASSERT_TRUE(parseIniInteger(now.substr(head.size(), now.size() - head.size() - 2), value));
  }
}

#endif

TEST(IniFile, BinaryJunkFileGivesDefaults) {
  TempDir dir;
  std::string junk;
  for (int i = 0; i < 100000; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
  spit(dir.file("k.ini"), junk);
  IniFile ini(dir.file("k.ini"));
  EXPECT_EQ(ini.readString("Общая", "Высота", "300"), "300");
  EXPECT_EQ(ini.readInteger("S", "k", 5), 5);
}

TEST(BasePath, ExecutablePathIsAbsoluteAndExists) {
  const std::string exe = executablePath();
  ASSERT_FALSE(exe.empty());
#ifdef _WIN32
  EXPECT_EQ(exe.substr(1, 2), ":\\");
  EXPECT_TRUE(exe.ends_with(".exe"));
#else
  EXPECT_EQ(exe.front(), '/');
  EXPECT_EQ(access(exe.c_str(), X_OK), 0);
#endif
  EXPECT_TRUE(std::filesystem::exists(filePath(exe)));
}

}  // namespace
}  // namespace kelvo
