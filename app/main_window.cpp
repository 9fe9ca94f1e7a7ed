#include "app/main_window.h"

#include <QFont>

namespace fbc {

void installJapaneseFontSubstitutions() {
  QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                             {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
  QFont::insertSubstitutions(QStringLiteral("MS Gothic"),
                             {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                             {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
  QFont::insertSubstitutions(QStringLiteral("MS PGothic"),
                             {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("タルミナ電機株式会社 フライバックコンバータ用トランス設計ツール"));
  setFixedSize(607, 570);
}

}  // namespace fbc
