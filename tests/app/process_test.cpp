// Tests that start the real program: one copy per executable name, and settings that survive
// a restart. Each test runs its own copy of the executable under a name of its own, so that
// tests running side by side never meet.
#include "platform/codepage.h"
#include "platform/single_instance.h"
#include "tests/support/temp_dir.h"

#include <QLocalSocket>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace kelvo {
namespace {

using test::slurp;
using test::spit;
using test::TempDir;

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name = "kt" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
    exe = dir.file(name);
    std::error_code ec;
    std::filesystem::create_hard_link(KELVO_EXECUTABLE, exe, ec);
    if (ec) std::filesystem::copy_file(KELVO_EXECUTABLE, exe);
    ini = exe.substr(0, exe.size() - 4) + ".ini";
    // The copy's lock and socket folder, and this test's view of it, inside the test's folder.
    qputenv("TMPDIR", QByteArray::fromStdString(dir.path()));
  }

  std::unique_ptr<QProcess> start() {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QString::fromStdString(exe), {});
    EXPECT_TRUE(p->waitForStarted(10000));
    return p;
  }

  // True once the running copy answers on its socket, i.e. its window is up.
  bool waitUntilListening() {
    const QString path = SingleInstance::socketPath(QString::fromStdString(name));
    for (int i = 0; i < 300; ++i) {
      QLocalSocket s;
      s.connectToServer(path);
      if (s.waitForConnected(100)) return true;
      QThread::msleep(50);
    }
    return false;
  }

  static void stop(QProcess& p) {
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
  }

  TempDir dir;
  std::string name, exe, ini;
};

TEST_F(ProgramTest, SecondStartRaisesTheFirstAndWritesNothing) {
  spit(ini, w("[Сварка]\nПоле1=55\n"));
  auto first = start();
  ASSERT_TRUE(waitUntilListening());
  const std::string before = slurp(ini);
  const auto stamp = std::filesystem::last_write_time(ini);

  auto second = start();
  ASSERT_TRUE(second->waitForFinished(20000));
  EXPECT_EQ(second->exitCode(), 0) << "the running copy did not answer the request to raise";
  EXPECT_EQ(first->state(), QProcess::Running);
  EXPECT_EQ(slurp(ini), before);
  EXPECT_EQ(std::filesystem::last_write_time(ini), stamp);

  stop(*first);
  EXPECT_NE(slurp(ini).find(w("Поле1=55\r\n")), std::string::npos);
}

TEST_F(ProgramTest, SettingsSurviveARestart) {
  const std::string values = w(
      "[Общая]\nВысота=420\nШирина=900\nПодсказка=0\nИмяСлоя=Швы\nТипНомера=No\n"
      "[Сварка]\nПоле1=55\nПоле2=22\nПоле3=ГОСТ 14771-76\nПоле4=T12\nПоле5=Ппш\nПоле6=555\n"
      "Поле7=200/300\nПоле8=Rz200\nЗнак1=3\nЗнак2=2\n[Рисунок]\nНомер=17\n");
  spit(ini, values);
  for (int run = 0; run < 2; ++run) {
    auto p = start();
    ASSERT_TRUE(waitUntilListening());
    stop(*p);
  }
  const std::string saved = cp1251::toUtf8(slurp(ini));
  for (const char* line :
       {"Высота=420\r\n", "Ширина=900\r\n", "Подсказка=0\r\n", "ИмяСлоя=Швы\r\n",
        "ТипНомера=No\r\n", "Поле1=55\r\n", "Поле2=22\r\n", "Поле3=ГОСТ 14771-76\r\n",
        "Поле4=T12\r\n", "Поле5=Ппш\r\n", "Поле6=555\r\n", "Поле7=200/300\r\n",
        "Поле8=Rz200\r\n", "Знак1=3\r\n", "Знак2=2\r\n", "Номер=17\r\n"})
    EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
}

}  // namespace
}  // namespace kelvo
