#include "export/export_renderer.h"

#include <stdexcept>

#include "design/click_constants.h"
#include "export/plot_export.h"

namespace fbc {

std::string renderExport(const ExportRequest& request, const DesignReport& report) {
  switch (request.kind) {
    case ExportKind::PlotPng:
      return plotFileBytes(report.state, clickConstants().m, PlotFormat::Png);
    case ExportKind::PlotSvg:
      return plotFileBytes(report.state, clickConstants().m, PlotFormat::Svg);
  }
  throw std::logic_error("an export kind without a renderer");
}

}  // namespace fbc
