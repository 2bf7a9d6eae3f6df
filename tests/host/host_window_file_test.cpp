// The host's file commands with drawings other programs wrote: the user is asked once before an
// older form's file is replaced, and told every repair of a malformed one.
#include "host/model/dxf_reader.h"
#include "host/ui/host_window.h"
#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <memory>
#include <gtest/gtest.h>

namespace kelvo::host {
namespace {

const char* const kR12 =
    "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n"
    "  0\nLINE\n  8\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 11\n1.0\n 21\n1.0\n 31\n0.0\n  0\nENDSEC\n  0\nEOF\n";

void triggerSave(HostWindow& w) {
  for (QAction* a : w.menuBar()->findChildren<QAction*>())
    if (a->text() == QStringLiteral("&Сохранить")) return a->trigger();
  ADD_FAILURE() << "no Save command";
}

// Answers the next question with the button named `answer`, keeping its text (shared: a timer
// that finds no question may fire after the test).
void answerNextQuestion(const std::shared_ptr<QString>& asked, const QString& answer) {
  QTimer::singleShot(50, [asked, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    *asked = box->text();
    for (QAbstractButton* b : box->buttons())
      if (b->text() == answer) b->click();
  });
}

TEST(HostWindowFiles, AnR12FileIsReplacedOnlyOnceTheUserAgrees) {
  test::TempDir dir;
  const std::string file = dir.file("old.dxf");
  ASSERT_TRUE(replaceFileAtomically(file, kR12));
  Document doc = loadDxf(file);
  doc.modified = true;
  HostWindow w(doc, QString::fromStdString(file));
  auto asked = std::make_shared<QString>();
  answerNextQuestion(asked, QStringLiteral("Отмена"));
  triggerSave(w);
  EXPECT_TRUE(asked->contains(QStringLiteral("DXF R12 (AC1009)"))) << asked->toStdString();
  EXPECT_EQ(*readWholeFile(file), kR12) << "cancelled: the file is as it was";
  answerNextQuestion(asked, QStringLiteral("Да"));
  triggerSave(w);
  EXPECT_NE(readWholeFile(file)->find("AC1015"), std::string::npos);
  asked->clear();
  answerNextQuestion(asked, QStringLiteral("Да"));
  triggerSave(w);
  EXPECT_TRUE(asked->isEmpty()) << "asked once a drawing: " << asked->toStdString();
}

TEST(HostWindowFiles, EveryRepairOfAMalformedDrawingIsShown) {
  Document doc = readDxf(std::string(kR12).substr(0, std::string(kR12).rfind("  0\nEOF\n")));
  HostWindow w(doc, QString());
  const auto boxes = w.findChildren<QMessageBox*>();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0]->text().contains(QStringLiteral("дописан конец файла (EOF)"))) << boxes[0]->text().toStdString();
}

}  // namespace
}  // namespace kelvo::host
