#include "export/sheet_canvas.h"

#include <algorithm>

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

namespace fbc {

SheetCanvas::SheetCanvas(QPainter& painter)
    : painter_(painter), fontScale_(72.0 / painter.device()->logicalDpiY()) {}

QFont SheetCanvas::font(const QString& family, double points) const {
  QFont f(family);
  f.setPointSizeF(points * fontScale_);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

double SheetCanvas::textWidth(const QFont& f, const QString& s) const {
  // Measured at sixteen times the size: the fonts are set a tenth of their size under the
  // painter's scale, where the layout rounds each advance to whole device pixels and measures
  // half-width glyphs far narrower than the page draws them.
  constexpr double kMagnified = 16.0;
  QFont magnified = f;
  magnified.setPointSizeF(f.pointSizeF() * kMagnified);
  painter_.setFont(magnified);
  return painter_
             .boundingRect(QRectF(0, 0, kWidth * kMagnified, 20.0 * kMagnified), Qt::AlignLeft, s)
             .width() /
         kMagnified;
}

void SheetCanvas::text(const QRectF& box, int flags, const QFont& f, const QString& s,
                       const QColor& colour) {
  if (!drawing_) {
    return;
  }
  painter_.setFont(f);
  painter_.setPen(colour);
  painter_.drawText(box, flags | Qt::TextDontClip, s);
}

void SheetCanvas::rule(double x1, double y1, double x2, double y2, double width,
                       const QColor& colour) {
  if (!drawing_) {
    return;
  }
  painter_.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
  painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void SheetCanvas::frame(const QRectF& box, double width) {
  if (!drawing_) {
    return;
  }
  painter_.setPen(QPen(kRule, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(box);
}

QRectF SheetCanvas::wrapped(const QRectF& box, const QFont& f, const QString& s) {
  constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  painter_.setFont(f);
  if (!drawing_) {
    return painter_.boundingRect(box, kFlags, s);
  }
  painter_.setPen(kInk);
  QRectF used;
  painter_.drawText(box, kFlags, s, &used);
  return used;
}

double SheetCanvas::markedParagraph(double y, const QString& mark, const QString& s) {
  constexpr double kIndent = 12.0;
  const QFont f = font(kProportional, 8.0);
  text(QRectF(kLeft + kCellPadding, y, kIndent, 12.0), Qt::AlignLeft | Qt::AlignTop, f, mark);
  const QRectF box(kLeft + kCellPadding + kIndent, y, kWidth - 2 * kCellPadding - kIndent,
                   kSheetHeightPoints);
  return wrapped(box, f, s).bottom();
}

double SheetCanvas::note(double y, const QString& sentence) {
  return markedParagraph(y + 1.0, QStringLiteral("※"), sentence) + 1.0;
}

double SheetCanvas::heading(double y, const QString& number, const QString& title,
                            const QString& english) {
  const QRectF band(kLeft, y, kWidth, 15.0);
  if (drawing_) {
    painter_.fillRect(band, kBand);
  }
  rule(kLeft, band.bottom(), kRight, band.bottom(), 0.8, kRule);
  const QFont f = font(kProportional, 10.5);
  text(band.adjusted(kCellPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, f,
       number + QStringLiteral("  ") + title);
  text(band.adjusted(0, 0, -kCellPadding, 0), Qt::AlignRight | Qt::AlignVCenter,
       font(kProportional, 7.5), english, kFaint);
  return band.bottom() + 3.0;
}

double SheetCanvas::fieldGrid(double y, const std::vector<Field>& fields, int columns,
                              double captionShare, double rowHeight) {
  const double cellWidth = kWidth / columns;
  const auto perRow = static_cast<std::size_t>(columns);
  const int rows = static_cast<int>((fields.size() + perRow - 1) / perRow);
  const QFont captionFont = font(kProportional, 8.5);
  const QFont valueFont = font(kFixed, 9.0);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int column = static_cast<int>(i) / rows;
    const int row = static_cast<int>(i) % rows;
    const double x = kLeft + column * cellWidth;
    const double top = y + row * rowHeight;
    const double captionWidth = cellWidth * captionShare;
    // The value is set to the right: a caption takes the room it leaves, with a padding's gap,
    // and is set smaller where that is short, rather than running into the value.
    double captionRoom = captionWidth - kCellPadding;
    QFont fitted = captionFont;
    if (drawing()) {
      const double valueWidth = textWidth(valueFont, fields[i].value);
      captionRoom = cellWidth - 5 * kCellPadding - valueWidth;
      const double needed = textWidth(captionFont, fields[i].caption);
      if (needed > captionRoom) {
        fitted.setPointSizeF(std::max(captionFont.pointSizeF() * captionRoom / needed,
                                      0.7 * captionFont.pointSizeF()));
      }
    }
    text(QRectF(x + kCellPadding, top, captionRoom, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
         fitted, fields[i].caption);
    text(QRectF(x + captionWidth, top, cellWidth - captionWidth - 2 * kCellPadding, rowHeight),
         Qt::AlignRight | Qt::AlignVCenter, valueFont, fields[i].value);
  }
  for (int row = 1; row < rows; ++row) {
    rule(kLeft, y + row * rowHeight, kRight, y + row * rowHeight, 0.3, kHairline);
  }
  for (int column = 1; column < columns; ++column) {
    const double x = kLeft + column * cellWidth;
    rule(x, y, x, y + rows * rowHeight, 0.3, kHairline);
  }
  const double bottom = y + rows * rowHeight;
  rule(kLeft, bottom, kRight, bottom, 0.8, kRule);
  return bottom;
}

double SheetCanvas::table(double y, const std::vector<Column>& columns,
                          const std::vector<QString>& header,
                          const std::vector<std::vector<QString>>& rows, double rowHeight) {
  const auto cells = [&](double top, const std::vector<QString>& texts, const QFont& f) {
    double x = kLeft;
    const std::size_t count = std::min(texts.size(), columns.size());
    for (std::size_t i = 0; i < count; ++i) {
      const double width = kWidth * columns[i].share;
      const double room = width - 2 * kCellPadding;
      // A text longer than its cell is set smaller rather than into its neighbour.
      QFont fitted = f;
      const double needed = drawing() ? textWidth(f, texts[i]) : 0.0;
      if (needed > room) {
        fitted.setPointSizeF(std::max(f.pointSizeF() * room / needed, 0.7 * f.pointSizeF()));
      }
      text(QRectF(x + kCellPadding, top, room, rowHeight),
           static_cast<int>(columns[i].align | Qt::AlignVCenter), fitted, texts[i]);
      x += width;
    }
  };
  if (!header.empty()) {
    cells(y, header, font(kProportional, 8.5));
    y += rowHeight;
    rule(kLeft, y, kRight, y, 0.5, kRule);
  }
  const QFont cellFont = font(kFixed, 8.5);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    cells(y, rows[r], cellFont);
    y += rowHeight;
    if (r + 1 < rows.size()) {
      rule(kLeft, y, kRight, y, 0.3, kHairline);
    }
  }
  rule(kLeft, y, kRight, y, 0.8, kRule);
  return y;
}

}  // namespace fbc
