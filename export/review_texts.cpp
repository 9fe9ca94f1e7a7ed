#include "export/review_texts.h"

#include <string_view>

#include "design/review_limits.h"

namespace fbc {

namespace {

// How one engine number is shown: multiplied by `scale`, with `decimals` digits after the point.
struct Display {
  std::string_view name;
  const char* label;
  double scale;
  int decimals;
  const char* unit;
};

constexpr Display kDisplays[] = {
    {"Pin", "入力電力", 1.0, 1, "W"},
    {"Ipk", "一次ピーク電流", 1.0, 3, "A"},
    {"IpRms", "一次実効電流", 1.0, 3, "A"},
    {"IsPk", "二次ピーク電流", 1.0, 3, "A"},
    {"IsRms", "二次実効電流", 1.0, 3, "A"},
    {"LpRef", "一次インダクタンス(臨界)", 1e6, 2, "µH"},
    {"nRef", "巻数比(電圧時間積)", 1.0, 3, ""},
    {"NpMin", "最少一次巻数", 1.0, 1, "ターン"},
    {"Ns", "二次巻数", 1.0, 0, "ターン"},
    {"Np", "一次巻数", 1.0, 0, "ターン"},
    {"n", "巻数比 Np/Ns", 1.0, 3, ""},
    {"Bpk", "最大磁束密度", 1.0, 3, "T"},
    {"Isat", "飽和する一次電流", 1.0, 2, "A"},
    {"AL", "AL値", 1e9, 1, "nH/N²"},
    {"gap", "エアギャップ", 1e3, 2, "mm"},
    {"gapRatio", "ギャップ/√Ae", 1.0, 3, ""},
    {"AcuP", "一次銅断面積", 1.0, 3, "mm²"},
    {"AcuS", "二次銅断面積", 1.0, 3, "mm²"},
    {"dP", "一次線径", 1.0, 2, "mm"},
    {"dS", "二次線径", 1.0, 2, "mm"},
    {"skinDepth", "表皮深さ", 1.0, 3, "mm"},
    {"fill", "必要な占積率", 1.0, 1, "%"},
    {"fillAllowed", "許容占積率", 1.0, 1, "%"},
    {"JrmsModel", "モデルの電流密度(実効値)", 1.0, 2, "A/mm²"},
    {"Vds", "スイッチ電圧", 1.0, 1, "V"},
    {"Vr", "ダイオード逆電圧", 1.0, 1, "V"},
};

const Display* displayFor(std::string_view name) {
  for (const Display& d : kDisplays) {
    if (d.name == name) {
      return &d;
    }
  }
  return nullptr;
}

QString number(double value, int decimals) { return QString::number(value, 'f', decimals); }

}  // namespace

std::vector<ReviewRow> reviewRows(const DesignReview& review) {
  std::vector<ReviewRow> rows;
  if (!review.valid) {
    return rows;
  }
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    const QString name = QString::fromLatin1(q.name.data(), static_cast<int>(q.name.size()));
    const Display* d = displayFor(q.name);
    if (d == nullptr) {
      rows.push_back({name, name, QString::number(q.value, 'g', 6),
                      QString::fromUtf8(q.unit.data(), static_cast<int>(q.unit.size()))});
      continue;
    }
    rows.push_back({name, QString::fromUtf8(d->label), number(q.value * d->scale, d->decimals),
                    QString::fromUtf8(d->unit)});
  }
  return rows;
}

QString reviewFlagSentence(ReviewFlag flag) {
  const ReviewLimits& l = kReviewLimits;
  switch (flag) {
    case ReviewFlag::GapTooLarge:
      return QStringLiteral(
                 "エアギャップが中足の一辺(√Ae)の%1%を超えています。漏れ磁束が大きく製作で"
                 "きません。より大きなコアを選んでください。")
          .arg(l.maxGapRatio * 100.0, 0, 'g', 3);
    case ReviewFlag::GapTooSmall:
      return QStringLiteral(
                 "エアギャップが%1 mm未満です。加工のばらつきでインダクタンスが大きく変わ"
                 "ります。")
          .arg(l.minGap * 1e3, 0, 'g', 3);
    case ReviewFlag::FluxNearSaturation:
      return QStringLiteral(
                 "最大磁束密度が%1 Tを超え、飽和磁束密度(%2 T)に近すぎます。巻数を増やすか"
                 "大きなコアにしてください。")
          .arg(l.nearSaturationFluxDensity, 0, 'g', 3)
          .arg(l.saturationFluxDensity, 0, 'g', 3);
    case ReviewFlag::WindowOverfull:
      return QStringLiteral(
                 "電流密度%1 A/mm²の巻線が巻線窓に収まりません(必要な占積率が許容値を超え"
                 "ています)。")
          .arg(l.currentDensity, 0, 'g', 3);
    case ReviewFlag::TurnsImpractical:
      return QStringLiteral("一次巻数が%1ターンを超え、巻くことができません。")
          .arg(l.maxPrimaryTurns, 0, 'f', 0);
    case ReviewFlag::WireBeyondSkinDepth:
      return QStringLiteral(
                 "線径が表皮深さの%1倍を超えています。細い線を撚った線かリッツ線を使ってく"
                 "ださい。")
          .arg(l.maxWireToSkinDepth, 0, 'g', 3);
    case ReviewFlag::RmsVerdictWorse:
      return QStringLiteral(
          "実効値電流で見ると銅線の温度判定が平均電流による判定より悪くなります。");
  }
  return {};
}

QString reviewFlagShortName(ReviewFlag flag) {
  switch (flag) {
    case ReviewFlag::GapTooLarge:
      return QStringLiteral("ギャップ過大");
    case ReviewFlag::GapTooSmall:
      return QStringLiteral("ギャップ過小");
    case ReviewFlag::FluxNearSaturation:
      return QStringLiteral("飽和に近い");
    case ReviewFlag::WindowOverfull:
      return QStringLiteral("巻線窓不足");
    case ReviewFlag::TurnsImpractical:
      return QStringLiteral("巻数過多");
    case ReviewFlag::WireBeyondSkinDepth:
      return QStringLiteral("表皮効果");
    case ReviewFlag::RmsVerdictWorse:
      return QStringLiteral("実効値で温度悪化");
  }
  return {};
}

QString reviewVerdict(const DesignReview& review) {
  if (!review.valid) {
    return QStringLiteral(
        "この設計はレビューできません(入力が物理的な範囲の外か、数値が大きすぎま"
        "す)。");
  }
  return review.feasible ? QStringLiteral("このトランスは製作できます。")
                         : QStringLiteral("このままでは製作できません。");
}

}  // namespace fbc
