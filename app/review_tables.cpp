#include "app/review_tables.h"

#include <algorithm>

#include <QApplication>
#include <QBrush>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QTableWidget>

namespace fbc {

QString qs(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTableWidgetItem* readOnlyCell(const QString& text, Qt::Alignment alignment) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

QTableWidget* readOnlyTable(const QStringList& headers, QWidget* parent) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  table->setHorizontalHeaderLabels(headers);
  table->verticalHeader()->setVisible(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  // Tab moves on to the next control rather than from cell to cell.
  table->setTabKeyNavigation(false);
  table->setWordWrap(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  return table;
}

QTableWidget* numberTable(const QString& objectName, const QString& accessibleName,
                          QWidget* parent) {
  auto* table =
      readOnlyTable({QStringLiteral("項目"), QStringLiteral("値"), QStringLiteral("単位")}, parent);
  table->setObjectName(objectName);
  table->setAccessibleName(accessibleName);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  return table;
}

void fillNumberTable(QTableWidget& table, const std::vector<ReviewRow>& rows) {
  table.setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const ReviewRow& row = rows[static_cast<std::size_t>(i)];
    QTableWidgetItem* label = readOnlyCell(row.label);
    label->setToolTip(row.name);
    table.setItem(i, 0, label);
    table.setItem(i, 1, readOnlyCell(row.value, Qt::AlignRight));
    table.setItem(i, 2, readOnlyCell(row.unit));
  }
}

void SentenceDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QString text = item.text;
  item.text.clear();
  // The ground, selection and focus as the style draws them; the text on top.
  const QWidget* widget = item.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
  const QVariant foreground = index.data(Qt::ForegroundRole);
  QColor colour = foreground.isValid() ? foreground.value<QBrush>().color()
                                       : item.palette.color(QPalette::Text);
  if ((item.state & QStyle::State_Selected) != 0) {
    colour = item.palette.color(QPalette::HighlightedText);
  }
  painter->save();
  painter->setPen(colour);
  painter->setFont(item.font);
  painter->drawText(item.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin), kFlags, text);
  painter->restore();
}

QSize SentenceDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  // The list paints items a little narrower than it measures them (its spacing on both
  // sides): wrapping in less than that width never needs more lines than measured.
  const int width = std::max(1, option.rect.width() - 2 * kMargin - kSlack);
  const QRect text =
      QFontMetrics(item.font).boundingRect(QRect(0, 0, width, kTall), kFlags, item.text);
  return {text.width() + 2 * kMargin, text.height() + 2 * kMargin};
}

}  // namespace fbc
