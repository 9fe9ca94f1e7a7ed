#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QString>

#include "export/design_sheet.h"
#include "export/sheet_canvas.h"
#include "export/transformer_build.h"

class QPainter;

namespace fbc {

// The transformer page (トランス仕様書) that follows the design sheet's pages, for the winding
// shop: the electrical diagram with its pins and dots beside the bobbin's window to scale, the
// winding order with margins and tapes, what the finished transformer is measured and tested for,
// and the materials. Drawn with the design sheet's canvas, so it shares its frame, faces and inks.
class TransformerPage : public SheetCanvas {
 public:
  TransformerPage(QPainter& painter, const DesignSheetContent& content);

  // A design has the page where its review laid the windings out.
  bool present() const { return build_.has_value(); }

  // The page's title for the title block, and its line under it.
  static QString title();
  static QString subtitle();

  // The page's sections in the order they are read, each drawn from its top edge and returning
  // its bottom: the sheet places them as it places its own.
  std::vector<std::function<double(double)>> sections();

 private:
  double figures(double y);
  double diagram(const QRectF& box);
  double crossSection(const QRectF& box);
  void legend(const QPointF& at, bool margins);
  double order(double y);
  double tests(double y);
  double materials(double y);

  const DesignSheetContent& content_;
  std::optional<TransformerBuild> build_;
};

}  // namespace fbc
