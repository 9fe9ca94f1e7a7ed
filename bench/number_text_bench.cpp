// Number text on the paths a calculation takes: the result labels, the grid captions, and the
// conversion of the seven input boxes.

#include <string>

#include <benchmark/benchmark.h>

#include "platform/number_text.h"

namespace {

void BM_GeneralTextSingle(benchmark::State& state) {
  float value = 8.125668e-9F;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    auto text = fbc::generalText(value);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_GeneralTextSingle);

void BM_GeneralTextDouble(benchmark::State& state) {
  double value = 4.0 / 3.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    auto text = fbc::generalText(value);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_GeneralTextDouble);

void BM_FormatPatternFixed(benchmark::State& state) {
  double value = 333.33334350585938;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    auto text = fbc::formatPattern(value, u"0.000");
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatPatternFixed);

void BM_FormatPatternExponent(benchmark::State& state) {
  double value = 0.0015;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    auto text = fbc::formatPattern(value, u"0.00E+00");
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatPatternExponent);

void BM_ParseDouble(benchmark::State& state) {
  const std::u16string text = u" 12,345.5e-3 ";
  for (auto _ : state) {
    auto parsed = fbc::parseDouble(text);
    benchmark::DoNotOptimize(parsed);
  }
}
BENCHMARK(BM_ParseDouble);

void BM_ParseSingleFullWidth(benchmark::State& state) {
  const std::u16string text = u"－０．７";
  for (auto _ : state) {
    auto parsed = fbc::parseSingle(text);
    benchmark::DoNotOptimize(parsed);
  }
}
BENCHMARK(BM_ParseSingleFullWidth);

}  // namespace
