#pragma once

#include <string_view>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>

#include "app/review_texts.h"

class QTableWidget;
class QTableWidgetItem;

namespace fbc {

// The engine's texts as Qt strings.
QString qs(std::u16string_view text);
QString qs(std::string_view text);

// A cell that can be selected but not edited.
QTableWidgetItem* readOnlyCell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft);

// A table of rows without row numbers that Tab passes as one control, one row selected at a time.
QTableWidget* readOnlyTable(const QStringList& headers, QWidget* parent);

// Label, value and unit columns, the label taking what is left; each label's tooltip is the
// engine's name of the number, which tests and tools find the row by.
QTableWidget* numberTable(const QString& objectName, const QString& accessibleName,
                          QWidget* parent);
void fillNumberTable(QTableWidget& table, const std::vector<ReviewRow>& rows);

// Paints each sentence of a list wrapped to the item's width and sizes it by the same text
// engine call. The style's own wrapping measures and paints through different paths, and a
// Japanese sentence whose last few characters wrap is then cut off with an ellipsis.
class SentenceDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  static constexpr int kMargin = 3;
  static constexpr int kSlack = 8;
  static constexpr int kTall = 1 << 20;
  static constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
};

}  // namespace fbc
