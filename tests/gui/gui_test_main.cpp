#include <gtest/gtest.h>

#include <QApplication>

// Widgets need an application object. Without a platform named in QT_QPA_PLATFORM the tests
// run offscreen, so they need no display, also when ctest lists them.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Tarn Monitor"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
