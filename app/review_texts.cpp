#include "app/review_texts.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "export/winding_texts.h"
#include "review/review_display.h"
#include "review/review_inputs.h"
#include "review/switch_stress.h"

namespace fbc {

namespace {

QString fromText(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

ReviewRow row(std::string_view name, double value, std::string_view unit) {
  const ReviewDisplay* d = reviewDisplay(name);
  if (d == nullptr) {
    return {fromUtf8(name), fromUtf8(name), QString::number(value, 'g', 6), fromUtf8(unit)};
  }
  return {fromUtf8(name), fromText(d->caption), QString::fromStdString(reviewValueText(*d, value)),
          fromText(d->unitJa)};
}

}  // namespace

std::vector<ReviewRow> reviewRows(const DesignReview& review) {
  std::vector<ReviewRow> rows;
  if (!review.valid) {
    return rows;
  }
  const bool critical = review.mode == DriveMode::PwmCritical;
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    rows.push_back(row(q.name, q.value, q.unit));
    // Beside the output side's figures, the winding's from the primary's ampere-turns.
    if (q.name == "IsRms") {
      rows.push_back(row("IsPkWinding", review.IsPkWinding, "A"));
      rows.push_back(row("IsRmsWinding", review.IsRmsWinding, "A"));
    }
    // Its caption names critical conduction, the critical modes'.
    if (q.name == "LpRef" && !criticalConduction(review.mode)) {
      rows.back().label = QStringLiteral("一次インダクタンス");
    }
  }
  if (critical) {
    return rows;
  }
  rows.push_back({QStringLiteral("mode"), fromText(reviewInputInfo(ReviewInput::Mode).caption),
                  fromUtf8(driveModeCode(review.mode)), QString()});
  for (const ModeQuantity& q : modeQuantities(review.operation.figures)) {
    if (q.value) {
      rows.push_back(row(q.name, *q.value, q.unit));
    } else if (q.name == "VinCcmLimit" && review.mode == DriveMode::PwmCcm) {
      const ReviewDisplay* d = reviewDisplay(q.name);
      rows.push_back({fromUtf8(q.name), fromText(d->caption),
                      QStringLiteral("なし (全入力で電流連続)"), QString()});
    }
  }
  return rows;
}

namespace {

// A figure the windings cannot give because they do not fit the bobbin.
ReviewRow notEstimatedRow(std::string_view name) {
  const ReviewDisplay* d = reviewDisplay(name);
  return {fromUtf8(name), d != nullptr ? fromText(d->caption) : fromUtf8(name), QStringLiteral("—"),
          QString()};
}

}  // namespace

std::vector<ReviewRow> lossRows(const TransformerLosses& losses) {
  std::vector<ReviewRow> rows;
  if (!losses.valid) {
    return rows;
  }
  for (const LossQuantity& q : lossQuantities(losses)) {
    // The summary says whether the temperature balanced.
    if (q.name == "RthMeasured" || q.name == "converged") {
      continue;
    }
    if (!q.value) {
      rows.push_back(notEstimatedRow(q.name));
      continue;
    }
    rows.push_back(row(q.name, *q.value, q.unit));
    if (q.name == "Rth") {
      rows.back().label +=
          losses.RthMeasured ? QStringLiteral(" (実測値)") : QStringLiteral(" (推定値)");
    }
  }
  return rows;
}

QStringList outputResultHeaders() {
  return {QStringLiteral("巻線"),    QStringLiteral("巻数"),
          QStringLiteral("目標[V]"), QStringLiteral("巻数での電圧[V]"),
          QStringLiteral("ずれ[%]"), QStringLiteral("ピーク[A]"),
          QStringLiteral("実効[A]"), QStringLiteral("ダイオード逆電圧[V]")};
}

std::vector<OutputResultRow> outputResultRows(const DesignReview& review) {
  std::vector<OutputResultRow> rows;
  if (!review.valid) {
    return rows;
  }
  const auto add = [&rows](Winding winding, const OutputResult& o) {
    const QString error = (o.errorPercent >= 0.0 ? QStringLiteral("+") : QString()) +
                          QString::number(o.errorPercent, 'f', 1);
    rows.push_back({windingNameJa(winding),
                    {QString::number(o.turns), QString::number(o.V, 'g', 6),
                     QString::number(o.Vactual, 'f', 2), error, QString::number(o.IsPk, 'f', 3),
                     QString::number(o.IsRms, 'f', 3), QString::number(o.VdRevMax, 'f', 1)},
                    std::abs(o.errorPercent) > kOutputVoltageTolerance * 100.0});
  };
  for (std::size_t k = 0; k < review.outputs.size(); ++k) {
    add(outputWinding(static_cast<int>(k) + 1), review.outputs[k]);
  }
  if (review.bias) {
    add(Winding::Bias, *review.bias);
  }
  return rows;
}

std::vector<ReviewRow> windingRows(const TransformerLosses& losses) {
  std::vector<ReviewRow> rows;
  if (!losses.valid) {
    return rows;
  }
  const ReviewDisplay* density = reviewDisplay("JrmsModel");
  for (const WindingLoss& w : losses.windings) {
    const QString suffix = fromUtf8(windingSuffix(w.winding));
    // The primary's and the main output's wires are conditions of their own, named by the
    // table; a further winding's wire is always the review's choice.
    QString label = windingNameJa(w.winding) + QStringLiteral("巻線の線材");
    if (w.winding == Winding::Primary || w.winding == Winding::Secondary) {
      label = fromText(reviewInputInfo(w.winding == Winding::Primary ? ReviewInput::WirePrimary
                                                                     : ReviewInput::WireSecondary)
                           .caption);
    }
    ReviewRow wire{QStringLiteral("wire") + suffix, label, fromUtf8(wireText(w.wire)), QString()};
    wire.label += w.wireChosen ? QStringLiteral(" (自動)") : QStringLiteral(" (指定)");
    rows.push_back(wire);
    rows.push_back({QStringLiteral("J") + suffix,
                    windingNameJa(w.winding) + QStringLiteral("の電流密度"),
                    QString::fromStdString(reviewValueText(*density, w.currentDensity * 1e-6)),
                    fromText(density->unitJa)});
  }
  return rows;
}

std::vector<ReviewRow> stressRows(const SwitchStress& stress, DriveMode mode) {
  std::vector<ReviewRow> rows;
  if (!stress.valid) {
    return rows;
  }
  for (const StressQuantity& q : stressQuantitiesForReading(stress)) {
    if (q.boolean ||
        (mode == DriveMode::PwmCritical && (q.name == "fsHigh" || q.name == "IpkHigh"))) {
      continue;
    }
    if (q.unknown) {
      rows.push_back(notEstimatedRow(q.name));
      continue;
    }
    if (!q.value) {
      const ReviewDisplay* d = reviewDisplay(q.name);
      rows.push_back({fromUtf8(q.name), d != nullptr ? fromText(d->caption) : fromUtf8(q.name),
                      QStringLiteral("不要"), QString()});
      continue;
    }
    rows.push_back(row(q.name, *q.value, q.unit));
    if (q.name == "Llk") {
      // The estimate is what an empty leakage field stands for.
      rows.back().label +=
          QStringLiteral(" (") +
          (stress.LlkEstimated ? fromText(reviewInputInfo(ReviewInput::Leakage).emptyMeansJa)
                               : QStringLiteral("実測値")) +
          QStringLiteral(")");
    }
  }
  return rows;
}

std::vector<ReviewRow> clampPartRows(const SwitchStress& stress) {
  if (!stress.valid) {
    return {};
  }
  const QString unneeded = stress.leakageKnown ? QStringLiteral("不要") : QStringLiteral("—");
  QString resistor = unneeded;
  QString capacitor = unneeded;
  if (stress.leakageKnown && stress.clampNeeded()) {
    const ReviewRow r = row("RclampE24", stress.RclampE24, "ohm");
    const ReviewRow rating = row("PratingR", stress.PratingR, "W");
    const ReviewRow c = row("CclampE12", stress.CclampE12, "F");
    resistor = QStringLiteral("%1 %2 (E24)、定格電力 %3 %4 以上")
                   .arg(r.value, r.unit, rating.value, rating.unit);
    capacitor = QStringLiteral("%1 %2 (E12)").arg(c.value, c.unit);
  }
  return {{QStringLiteral("RclampE24"), QStringLiteral("クランプ抵抗"), resistor, QString()},
          {QStringLiteral("CclampE12"), QStringLiteral("クランプ容量"), capacitor, QString()}};
}

namespace {

const QString kNone = QStringLiteral("—");

// "6.4 mm", or a dash for a length the insulation does not have.
QString millimetres(std::optional<double> metres) {
  return metres ? QString::number(*metres * 1e3, 'f', 1) + QStringLiteral(" mm") : kNone;
}

// "4000 V", or a dash.
QString volts(std::optional<double> value) {
  return value ? QString::number(*value, 'f', 0) + QStringLiteral(" V") : kNone;
}

QString workingVoltageLabel(const Isolation& iso, const ReviewConditions& conditions) {
  QString from = QStringLiteral("直流入力");
  if (iso.workingVoltageGiven) {
    from = QStringLiteral("指定");
  } else if (conditions.mains) {
    from = QStringLiteral("交流実効値");
  }
  return QStringLiteral("動作電圧 (%1)").arg(from);
}

}  // namespace

std::vector<ReviewRow> isolationRows(const DesignReview& review,
                                     const ReviewConditions& conditions) {
  if (!review.valid) {
    return {};
  }
  const Isolation& iso = review.isolation;
  const bool functional = iso.insulation == Insulation::Functional;
  QString margin = millimetres(iso.margin);
  if (functional) {
    margin = kNone;
  } else if (iso.construction == Construction::Tiw) {
    margin = QStringLiteral("なし");
  }
  const bool bobbinKnown = iso.bobbinBreadth > 0.0;
  // Margins wider than the bobbin leave nothing, not less than nothing.
  const QString breadths = bobbinKnown
                               ? QStringLiteral("%1 / %2 mm")
                                     .arg(std::max(0.0, iso.windingBreadth) * 1e3, 0, 'f', 1)
                                     .arg(iso.bobbinBreadth * 1e3, 0, 'f', 1)
                               : kNone;
  // The test's peak, then the customary AC test; the label says how long it is held.
  const QString hipot = iso.hipotPeak && iso.hipotAC
                            ? volts(iso.hipotPeak) + QStringLiteral(" / ") + volts(iso.hipotAC)
                            : kNone;
  return {
      {QStringLiteral("insulation"), QStringLiteral("絶縁"),
       fromText(insulationNameJa(iso.insulation)) + QStringLiteral("・") +
           fromText(constructionNameJa(iso.construction)),
       QString()},
      {QStringLiteral("workingVoltage"), workingVoltageLabel(iso, conditions),
       volts(iso.workingVoltage), QString()},
      {QStringLiteral("creepage"), QStringLiteral("沿面距離"), millimetres(iso.creepage),
       QString()},
      {QStringLiteral("clearance"), QStringLiteral("空間距離"), millimetres(iso.clearance),
       QString()},
      {QStringLiteral("margin"), QStringLiteral("マージン (片側)"), margin, QString()},
      {QStringLiteral("tapeLayersPS"), QStringLiteral("一次・二次間テープ"),
       QStringLiteral("%1層 (%2 mm)").arg(iso.tapeLayersPS).arg(iso.tape() * 1e3, 0, 'f', 2),
       QString()},
      {QStringLiteral("windingBreadth"), QStringLiteral("巻幅 / ボビン幅"), breadths, QString()},
      {QStringLiteral("hipot"),
       QStringLiteral("耐電圧 (ピーク / 交流%1秒)").arg(iso.hipotSeconds, 0, 'f', 0), hipot,
       QString()},
  };
}

}  // namespace fbc
