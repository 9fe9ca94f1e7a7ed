#include "export/export_renderer.h"

#include <stdexcept>

#include "design/click_constants.h"
#include "export/design_sheet.h"
#include "export/plot_export.h"
#include "platform/text.h"

namespace fbc {

std::string renderExport(const ExportRequest& request, const DesignReport& report) {
  switch (request.kind) {
    case ExportKind::PlotPng:
      return plotFileBytes(report.state, clickConstants().m, PlotFormat::Png);
    case ExportKind::PlotSvg:
      return plotFileBytes(report.state, clickConstants().m, PlotFormat::Svg);
    case ExportKind::SheetPdf: {
      DesignSheetContent content =
          designSheetContent(report.inputs, report.state, report.conditions,
                             fromUtf8(request.parameter("date").value_or("")),
                             fromUtf8(request.parameter("program").value_or("")),
                             request.parameter("drawing-number").value_or(""));
      // The supply exactly as the design was made from it.
      content.supply = report.supply;
      return designSheetPdf(content);
    }
  }
  throw std::logic_error("an export kind without a renderer");
}

}  // namespace fbc
