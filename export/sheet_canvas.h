#pragma once

#include <string_view>
#include <vector>

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include "export/design_sheet.h"

class QPainter;

namespace fbc {

// What every page of the design sheet is drawn with: the A4 frame, its inks and faces, and the
// headings, grids, tables and paragraphs its sections are made of. Each draws from a top edge and
// returns its bottom; while the pages are planned (drawing() false) nothing is drawn, only
// measured, so that a section is laid out the same way both times.
class SheetCanvas {
 public:
  // Page frame, in points: 15 mm at the sides, 12 mm at top and bottom.
  static constexpr double kLeft = 42.5;
  static constexpr double kRight = kSheetWidthPoints - 42.5;
  static constexpr double kTop = 34.0;
  static constexpr double kBottom = kSheetHeightPoints - 34.0;
  static constexpr double kWidth = kRight - kLeft;

  static constexpr double kRowHeight = 13.0;
  static constexpr double kReviewRowHeight = 12.0;
  static constexpr double kCellPadding = 4.0;
  static constexpr double kSectionGap = 6.0;
  static constexpr double kNoticeHeight = 22.0;

  // A cell's caption and text.
  struct Field {
    QString caption;
    QString value;
  };

  // A table's column: its share of the page's width and how its cells align.
  struct Column {
    double share = 0;
    Qt::Alignment align = Qt::AlignLeft;
  };

  explicit SheetCanvas(QPainter& painter);

  // Black and greys only for the page itself, so that it prints the same in black and white; the
  // traces keep the window's dark palette colours, which stay distinct in grey.
  static inline const QColor kInk{0, 0, 0};
  static inline const QColor kRule{0, 0, 0};
  static inline const QColor kHairline{150, 150, 150};
  static inline const QColor kBand{228, 228, 228};
  static inline const QColor kFaint{90, 90, 90};
  // The window's faces, which the Japanese substitutions map onto IPA or Noto fonts.
  static inline const QString kProportional = QStringLiteral("ＭＳ Ｐゴシック");
  static inline const QString kFixed = QStringLiteral("ＭＳ ゴシック");

  static QString qs(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
  }
  static QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  }

  bool drawing() const { return drawing_; }
  void setDrawing(bool drawing) { drawing_ = drawing; }

 protected:
  QPainter& painter() const { return painter_; }
  // Fonts are measured at the device's resolution; the painter works in points.
  double fontScale() const { return fontScale_; }

  QFont font(const QString& family, double points) const;
  // The width `s` takes in `f`, in points.
  double textWidth(const QFont& f, const QString& s) const;

  void text(const QRectF& box, int flags, const QFont& f, const QString& s,
            const QColor& colour = kInk);
  void rule(double x1, double y1, double x2, double y2, double width, const QColor& colour);
  void frame(const QRectF& box, double width);

  // Text wrapped within `box`'s width from its top; returns the rectangle it takes.
  QRectF wrapped(const QRectF& box, const QFont& f, const QString& s);
  // A mark and its text wrapped to the page's width, the lines after the first indented under
  // the text's first character; returns the bottom.
  double markedParagraph(double y, const QString& mark, const QString& s);
  // A sentence under a section saying why some of its figures are missing.
  double note(double y, const QString& sentence);

  // A numbered heading on a light band across the page; returns where its content starts.
  double heading(double y, const QString& number, const QString& title, const QString& english);
  // Fields in `columns` columns, each a caption on the left and its value on the right of its
  // cell, rows separated by hairlines; returns the bottom.
  double fieldGrid(double y, const std::vector<Field>& fields, int columns, double captionShare,
                   double rowHeight = kRowHeight);
  // A table across the page: the header (if any) in the proportional face, each row in the
  // fixed one under a hairline; returns the bottom.
  double table(double y, const std::vector<Column>& columns, const std::vector<QString>& header,
               const std::vector<std::vector<QString>>& rows, double rowHeight = kRowHeight);

 private:
  QPainter& painter_;
  double fontScale_;
  bool drawing_ = true;  // false while the pages are planned: laid out, not drawn
};

}  // namespace fbc
