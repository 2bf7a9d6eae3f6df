// GoogleTest main for tests that drive real widgets (offscreen in ctest).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Forms are driven offscreen, also when ctest lists the tests at build time.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
