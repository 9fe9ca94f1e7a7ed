#include "export/export_renderer.h"

#include <gtest/gtest.h>

#include "design/click_constants.h"
#include "design/core_catalogue.h"
#include "export/plot_export.h"
#include "review/design_report.h"

namespace fbc {
namespace {

// Every kind the request knows has its renderer, and each plot kind is the plot's own file.
TEST(ExportRenderer, EachKindDrawsItsOwnFile) {
  ExportRequest request;
  const DesignReport report = designFor(request.inputs, CoreCatalogue{});
  for (const ExportKindInfo& info : kExportKinds) {
    SCOPED_TRACE(info.name);
    request.kind = info.kind;
    const std::string bytes = renderExport(request, report);
    switch (info.kind) {
      case ExportKind::PlotPng:
        EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        break;
      case ExportKind::PlotSvg:
        EXPECT_EQ(bytes, plotSvg(report.state, clickConstants().m));
        break;
      case ExportKind::SheetPdf:
        EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
        break;
    }
  }
}

}  // namespace
}  // namespace fbc
