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

}  // namespace

std::vector<ReviewRow> reviewRows(const DesignReview& review) {
  std::vector<ReviewRow> rows;
  if (!review.valid) {
    return rows;
  }
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    const ReviewDisplay* d = reviewDisplay(q.name);
    if (d == nullptr) {
      rows.push_back(
          {fromUtf8(q.name), fromUtf8(q.name), QString::number(q.value, 'g', 6), fromUtf8(q.unit)});
      continue;
    }
    rows.push_back({fromUtf8(q.name), fromText(d->caption),
                    QString::fromStdString(reviewValueText(*d, q.value)), fromText(d->unitJa)});
  }
  return rows;
}

}  // namespace fbc
