// Kelvo's main window drawing into the real drawing host, headless, over the local transport:
// the host started with scripted picks, the window with a settings file of the test's own.
#pragma once

#include "app/forms/main_weld.h"
#include "cad/draw_session.h"
#include "host/model/dxf_reader.h"
#include "platform/codepage.h"
#include "platform/local_transport.h"
#include "tests/support/form_helpers.h"
#include "tests/support/temp_dir.h"

#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>

namespace kelvo {

inline std::string w(const char* s) { return cp1251::fromUtf8(s); }

class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A socket directory of the tests' own, so that a drawing host the developer has open is
    // never reached (the host started here inherits it).
    static char base[] = "/tmp/kelvo-e2e-XXXXXX";
    if (mkdtemp(base)) {
      tmp_.emplace("TMPDIR", base);
      socketDir_ = base;
    }
    registerLocalTransport();
  }
  // Failed tests too: gtest runs this after every test of the suite, passed or not.
  static void TearDownTestSuite() {
    std::error_code ec;
    if (!socketDir_.empty()) std::filesystem::remove_all(socketDir_, ec);
    tmp_.reset();
  }
  static inline std::string socketDir_;
  static inline std::optional<test::ScopedEnv> tmp_;

  std::unique_ptr<QProcess> startHost(const QString& picks, bool hold = false, const QStringList& more = {}) {
    auto p = std::make_unique<QProcess>();
    QStringList args{"--headless", "--picks", picks, "--output", QString::fromStdString(dir.file("out.dxf"))};
    if (hold) args << "--hold";
    args << more;
    p->start(QStringLiteral(KELVO_HOST), args);
    EXPECT_TRUE(p->waitForStarted(10000));
    for (int i = 0; i < 200 && !p->canReadLine(); ++i) p->waitForReadyRead(100);
    EXPECT_EQ(p->readLine().trimmed(), "ready");
    return p;
  }
  host::Document stopHost(QProcess& p) {
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    EXPECT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    return host::loadDxf(dir.file("out.dxf"));
  }
  void openWindow(MainHooks hooks = {}) {
    test::spit(dir.file("kelvo.ini"),
               w("[Общая]\nИмяСлоя=Сварка\n[Сварка]\nПоле1=2\nПоле2=5\nПоле3=ГОСТ 14771-76\nПоле4=С2\n"
                 "Поле5=ИП\nПоле6=5\nПоле8=Rz20\nЗнак1=3\nЗнак2=1\n"));
    hooks.draw = [this](const DrawInput& in) { drawing.draw(in); };
    hooks.take = [this](const std::string& application) { return drawing.take(application); };
    hooks.same = [this](const DrawInput& in) { drawing.same(in); };
    hooks.table = [this](const DrawInput& in) { drawing.table(in); };
    hooks.nextNumber = [this](const std::string& application) { return drawing.nextNumber(application); };
    hooks.designations = [this](const std::string& application) { return drawing.designations(application); };
    win = std::make_unique<TfmMain>(dir.file("kelvo.bin"), hooks);
    win->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(win.get()));
  }
  void pressDraw() { QTest::mouseClick(win->findChild<QPushButton*>("bbDraw"), Qt::LeftButton); }

  test::TempDir dir;
  test::RecordedMessages messages;
  cad::DrawSession drawing{{[](const std::string& t) { showMessage(nullptr, MessageIcon::Warning, t); },
                         [] { return std::tm{}; }}};
  std::unique_ptr<TfmMain> win;
};

}  // namespace kelvo
