// The yardsticks for Kelvo's start-up: a bare Qt window of the same size, and the same window
// with one line of text ("text" as argument), which pays for loading the fonts as any window
// with words in it must.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool withText = argc > 1 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("text");
  QWidget w;
  w.setWindowTitle(withText ? QStringLiteral("Qt window with text") : QStringLiteral("Bare Qt window"));
  w.resize(725, 300);
  if (withText) new QLabel(QStringLiteral("Обозначение швов сварных соединений"), &w);
  w.show();
  return app.exec();
}
