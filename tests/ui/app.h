// One QApplication for a test program (the tests run on the offscreen platform).
#pragma once

#include <QApplication>

namespace torvik::test {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "torvik6-test";
  static char* argv[] = {name, nullptr};
  // Headless unless the caller chose a platform (also when run outside ctest).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: at exit Qt's own statics may already be gone.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace torvik::test

#include <QColor>
#include <ostream>

// Readable colours in failure messages.
inline void PrintTo(const QColor& c, std::ostream* os) {
  if (!c.isValid()) {
    *os << "(invalid colour)";
    return;
  }
  *os << "rgb(" << c.red() << ", " << c.green() << ", " << c.blue() << ")";
}
