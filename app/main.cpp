#include <QApplication>
#include <QIcon>

#include "app/main_window.h"
#include "platform/japanese_fonts.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Lets desktops match the running window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.example.FlybackDesigner"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.example.FlybackDesigner")));
  fbc::installJapaneseFontSubstitutions();
  fbc::MainWindow window;
  window.show();
  return QApplication::exec();
}
