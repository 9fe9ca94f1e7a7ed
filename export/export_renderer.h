#pragma once

#include <string>

#include "review/design_report.h"
#include "review/export_request.h"

namespace fbc {

// The file's bytes for one request, drawn from the completed design `report` made from the
// request's inputs. The one place that knows which renderer draws which kind.
std::string renderExport(const ExportRequest& request, const DesignReport& report);

}  // namespace fbc
