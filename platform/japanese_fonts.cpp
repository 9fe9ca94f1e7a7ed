#include "japanese_fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace fbc {

void installJapaneseFontSubstitutions() {
  const QStringList fixedPitch{QStringLiteral("IPAGothic"),
                               QStringLiteral("Noto Sans Mono CJK JP")};
  const QStringList proportional{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
  QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), fixedPitch);
  QFont::insertSubstitutions(QStringLiteral("MS Gothic"), fixedPitch);
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), proportional);
  QFont::insertSubstitutions(QStringLiteral("MS PGothic"), proportional);
}

}  // namespace fbc
