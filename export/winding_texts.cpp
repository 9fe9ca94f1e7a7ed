#include "export/winding_texts.h"

#include <QStringList>

namespace fbc {

namespace {

// 0.1 → "0.10", 0.071 → "0.071": what the wire tables print, no trailing zero past two decimals.
QString millimetres(double value) {
  QString text = QString::number(value, 'f', 3);
  if (text.endsWith(QLatin1Char('0'))) {
    text.chop(1);
  }
  return text;
}

}  // namespace

QString wireKindNameJa(WireKind kind) {
  switch (kind) {
    case WireKind::Round:
      return QStringLiteral("単線");
    case WireKind::Strands:
      return QStringLiteral("並列線");
    case WireKind::Litz:
      return QStringLiteral("リッツ線");
    case WireKind::Foil:
      return QStringLiteral("銅箔");
  }
  return {};
}

QString wireDescriptionJa(const Wire& wire) {
  // A foil is ordered by its thickness, every other wire by its bare diameter.
  const QString size = (wire.kind == WireKind::Foil ? QStringLiteral("t") : QStringLiteral("φ")) +
                       millimetres(wire.diameter);
  QString text = wireKindNameJa(wire.kind) + QStringLiteral(" ") + size;
  if (wire.strands > 1) {
    text += QStringLiteral("×%1").arg(wire.strands);
  }
  return text;
}

QString windingNameJa(Winding winding) {
  switch (winding) {
    case Winding::Primary:
      return QStringLiteral("一次");
    case Winding::Secondary:
      return QStringLiteral("二次");
    case Winding::Bias:
      return QStringLiteral("補助");
    default:
      break;
  }
  return QStringLiteral("二次%1").arg(static_cast<int>(winding) -
                                      static_cast<int>(Winding::Secondary) + 1);
}

QString arrangementNameJa(WindingArrangement arrangement) {
  switch (arrangement) {
    case WindingArrangement::Ps:
      return QStringLiteral("ps (一次・二次)");
    case WindingArrangement::Psp:
      return QStringLiteral("psp (挟み巻き)");
  }
  return {};
}

QString windingOrderTextJa(const TransformerLosses& losses) {
  QStringList places;
  for (const WindingPlace& place : windingOrder(losses)) {
    QString name = windingNameJa(place.winding);
    if (place.part == WindingPlace::Part::InnerHalf) {
      name += QStringLiteral("(内側)");
    } else if (place.part == WindingPlace::Part::OuterHalf) {
      name += QStringLiteral("(外側)");
    }
    places << QStringLiteral("%1 %2T").arg(name).arg(place.turns);
  }
  return places.join(QStringLiteral("、"));
}

QString lossesNotEstimatedJa() {
  return QStringLiteral(
      "巻線がボビンに収まらないため、交流抵抗比・銅損・全損失・温度上昇・コア温度は推定して"
      "いません。");
}

QString runawayNotEstimatedJa() {
  return QStringLiteral(
      "熱暴走のため、交流抵抗比・銅損・全損失・温度上昇・コア温度は推定していません。");
}

QString leakageNotEstimatedJa() {
  return QStringLiteral("巻線がボビンに収まらないため漏れインダクタンスが推定できません。");
}

}  // namespace fbc
