#pragma once

#include <filesystem>
#include <string>

#include "review/export_request.h"

namespace fbc {

// The helper program's file name.
inline constexpr std::string_view kExportHelperName = "flyback-export";

// Where flyback-export is: the path in FLYBACK_EXPORT_HELPER when set; otherwise beside the
// running program (the build tree), or where the install puts it relative to the program's
// folder (FBC_EXPORT_HELPER_RELATIVE, from bin/ to libexec/flyback-designer/). The running
// program is found through /proc/self/exe, so the install can be moved as a whole. Empty when
// none is there.
std::filesystem::path exportHelperPath();

// Runs the helper for one request and returns the bytes it writes. Its error line, if any,
// passes straight to standard error. Throws std::runtime_error when the helper is missing,
// cannot start or fails; flyback-calc reports that as an internal fault.
std::string runExport(const ExportRequest& request);

}  // namespace fbc
