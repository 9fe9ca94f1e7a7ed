#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "export/design_sheet.h"
#include "platform/japanese_fonts.h"

namespace {

fbc::DesignSheetContent workedExample() {
  const fbc::CoreCatalogue catalogue;
  fbc::DesignState state;
  fbc::calculateDesign(fbc::DesignInputs{}, catalogue, state);
  return fbc::designSheetContent(fbc::DesignInputs{}, state, fbc::ReviewConditions{}, u"2026-12-10",
                                 u"flyback-calc 1.0.0", "FT-1024");
}

// One whole sheet of the worked example as the command line and the window make it: the
// review, the waveform stage on recording surfaces, painting and the PDF with its embedded
// font subsets. The goal is under 100 ms.
void BM_DesignSheetPdf(benchmark::State& state) {
  const fbc::DesignSheetContent content = workedExample();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string pdf = fbc::designSheetPdf(content);
    bytes = pdf.size();
    benchmark::DoNotOptimize(pdf.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DesignSheetPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Text needs the font database of a GUI application, which the window always has running.
  QGuiApplication application(argc, argv);
  fbc::installJapaneseFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
