#include "review/export_request.h"

#include <gtest/gtest.h>

namespace fbc {
namespace {

TEST(ExportRequest, EveryTextLevelAndParameterSurvivesTheHelpersArguments) {
  ExportRequest request;
  request.kind = ExportKind::PlotSvg;
  request.inputs.vin = u"1e2";
  request.inputs.vout = u"";       // an empty box
  request.inputs.core = u"a=b c";  // '=' and a blank inside a value
  request.inputs.effi = u"８０";   // full-width digits
  request.inputs.level = CoreLevel::None;
  request.parameters = {{"drawing-number", "FB-001 = rev. A"}, {"empty", ""}};

  const std::vector<std::string> args = exportArguments(request);
  EXPECT_EQ(args.front(), "plot-svg");
  const std::optional<ExportRequest> back = parseExportArguments(args);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, request);
  EXPECT_EQ(back->parameter("drawing-number"), "FB-001 = rev. A");
  EXPECT_EQ(back->parameter("missing"), std::nullopt);

  for (const ExportKindInfo& info : kExportKinds) {
    SCOPED_TRACE(info.name);
    request.kind = info.kind;
    EXPECT_EQ(parseExportArguments(exportArguments(request))->kind, info.kind);
  }
}

TEST(ExportRequest, ArgumentsFlybackCalcNeverWritesAreRefused) {
  const std::vector<std::vector<std::string>> cases{
      {}, {"plot-gif"}, {"plot-png", "vin"}, {"plot-png", "voltage=1"}, {"plot-png", "level=high"},
  };
  for (const auto& args : cases) {
    EXPECT_EQ(parseExportArguments(args), std::nullopt) << testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace fbc
