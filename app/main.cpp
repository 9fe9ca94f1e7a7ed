#include <QApplication>

#include "app/main_window.h"
#include "platform/japanese_fonts.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  fbc::installJapaneseFontSubstitutions();
  fbc::MainWindow window;
  window.show();
  return QApplication::exec();
}
