#pragma once

#include <QWidget>

namespace fbc {

// Maps the Windows Japanese font names the window asks for onto the installed IPA and Noto
// faces, which Debian's fontconfig does not alias.
void installJapaneseFontSubstitutions();

// The designer window `FBC`.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace fbc
