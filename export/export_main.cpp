// flyback-export: draws one picture or document for flyback-calc and writes its bytes to
// standard output. Kept apart so that flyback-calc starts without loading Qt; it is not meant
// to be run by hand, and its arguments are those exportArguments() writes.
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "design/core_catalogue.h"
#include "export/export_renderer.h"
#include "review/design_report.h"
#include "review/export_request.h"

namespace {

constexpr std::string_view kProgram = "flyback-export: ";

bool writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::optional<fbc::ExportRequest> request = fbc::parseExportArguments(args);
  if (!request) {
    std::cerr << kProgram << "not a request from flyback-calc\n";
    return 2;
  }
  try {
    const fbc::DesignReport report =
        fbc::designFor(request->inputs, fbc::CoreCatalogue{}, "--", request->reviewInputs);
    if (!writeAll(fbc::renderExport(*request, report))) {
      std::cerr << kProgram << "cannot write to standard output\n";
      return 1;
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << kProgram << error.what() << '\n';
    return 1;
  }
}
