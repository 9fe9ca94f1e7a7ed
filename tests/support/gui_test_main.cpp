#include <clocale>
#include <locale>

#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>

#include "platform/japanese_fonts.h"

// Creates the application on Qt's offscreen platform (unless the environment chose another)
// with a pinned locale, then runs the tests.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                  : qgetenv("QT_QPA_PLATFORM"));
  std::setlocale(LC_ALL, "C");
  std::locale::global(std::locale::classic());
  QLocale::setDefault(QLocale::c());
  QApplication application(argc, argv);
  fbc::installJapaneseFontSubstitutions();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
