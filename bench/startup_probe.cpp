// Start-up probe for hyperfine: opens a window, lets it be shown and painted once, then quits.
//   startup_probe designer   the designer window
//   startup_probe bare       a plain QWidget with the same kinds and numbers of controls,
//                            no schematic, no engine: the reference a start-up is compared to
// Example: hyperfine -w 3 'startup_probe designer' 'startup_probe bare'

#include <cstring>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>

#include "app/main_window.h"
#include "platform/japanese_fonts.h"

namespace {

std::unique_ptr<QWidget> bareWindow() {
  auto window = std::make_unique<QWidget>();
  window->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 9));
  window->setFixedSize(607, 570);
  const auto place = [](QWidget* w, int i) { w->setGeometry(8 * i, 10 * i, 70, 18); };
  int i = 0;
  for (int n = 0; n < 26; ++n) place(new QLabel(QStringLiteral("ラベル"), window.get()), i++);
  for (int n = 0; n < 8; ++n) place(new QLineEdit(QStringLiteral("100"), window.get()), i++);
  for (int n = 0; n < 3; ++n) place(new QPushButton(QStringLiteral("ボタン"), window.get()), i++);
  for (int n = 0; n < 7; ++n) place(new QRadioButton(QStringLiteral("選択"), window.get()), i++);
  for (int n = 0; n < 4; ++n) place(new QWidget(window.get()), i++);
  place(new QCheckBox(QStringLiteral("工事中"), window.get()), i++);
  auto* combo = new QComboBox(window.get());
  combo->setEditable(true);
  for (int n = 0; n < 18; ++n) combo->addItem(QStringLiteral("EER%1").arg(n));
  place(combo, i++);
  return window;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  fbc::installJapaneseFontSubstitutions();
  const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
  std::unique_ptr<QWidget> window =
      bare ? bareWindow() : std::unique_ptr<QWidget>(std::make_unique<fbc::MainWindow>());
  window->show();
  // A zero timer fires once the show and its first paint have been processed.
  QTimer::singleShot(0, &application, &QApplication::quit);
  return QApplication::exec();
}
