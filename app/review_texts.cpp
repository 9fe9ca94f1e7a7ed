#include "app/review_texts.h"

#include <string_view>

#include "review/review_display.h"

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
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    rows.push_back(row(q.name, q.value, q.unit));
  }
  return rows;
}

std::vector<ReviewRow> lossRows(const TransformerLosses& losses) {
  std::vector<ReviewRow> rows;
  if (!losses.valid) {
    return rows;
  }
  for (const LossQuantity& q : lossQuantities(losses)) {
    if (q.name == "RthMeasured") {
      continue;
    }
    rows.push_back(row(q.name, q.value, q.unit));
    if (q.name == "Rth") {
      rows.back().label +=
          losses.RthMeasured ? QStringLiteral(" (実測値)") : QStringLiteral(" (推定値)");
    }
  }
  return rows;
}

}  // namespace fbc
