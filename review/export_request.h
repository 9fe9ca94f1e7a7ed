#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "design/design_inputs.h"
#include "review/review_inputs.h"

namespace fbc {

// The pictures and documents that need Qt to be drawn. flyback-calc itself loads no Qt
// library; it hands an ExportRequest to the helper program flyback-export, which designs
// from the same inputs, renders and writes the file's bytes to its standard output.
//
// A new kind is one row here and one case in renderExport() (export/export_renderer.cpp); its
// option adds the request in cli/flyback_calc.cpp.
enum class ExportKind { PlotPng, PlotSvg, SheetPdf };

// The picture formats of the plots.
enum class PlotFormat { Png, Svg };

struct ExportKindInfo {
  ExportKind kind;
  std::string_view name;  // as the helper's first argument
};

inline constexpr ExportKindInfo kExportKinds[] = {
    {ExportKind::PlotPng, "plot-png"},
    {ExportKind::PlotSvg, "plot-svg"},
    {ExportKind::SheetPdf, "sheet-pdf"},
};

struct ExportRequest {
  ExportKind kind = ExportKind::PlotPng;
  // The input texts after the limit rules, exactly as the report shows them.
  DesignInputs inputs;
  // The review's conditions as typed.
  ReviewInputs reviewInputs;
  // What a kind needs beyond the design, by name (such as a drawing number).
  std::vector<std::pair<std::string, std::string>> parameters;

  // The parameter's value, or nothing.
  std::optional<std::string> parameter(std::string_view name) const;

  friend bool operator==(const ExportRequest&, const ExportRequest&) = default;
};

// The helper's arguments: the kind's name, then "key=value" for every input ("level=typ"
// and the review's inputs included) and "+name=value" for every parameter. Arguments carry any text
// but NUL, which no command-line value can hold.
std::vector<std::string> exportArguments(const ExportRequest& request);

// The request the arguments describe; nothing for arguments flyback-calc never writes.
std::optional<ExportRequest> parseExportArguments(const std::vector<std::string>& args);

}  // namespace fbc
