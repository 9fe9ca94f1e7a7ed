// Arithmetic of dynamically typed values on the paths the point plots take about four
// thousand times per calculation, and the counting loop that drives them.

#include <cstdint>

#include <benchmark/benchmark.h>

#include "platform/counting_loop.h"
#include "platform/value.h"

namespace {

using fbc::Value;

void BM_AddInt16Int16(benchmark::State& state) {
  Value a(std::int16_t{120});
  Value b(std::int16_t{7});
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    Value sum = fbc::add(a, b);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AddInt16Int16);

void BM_AddSingleInt16(benchmark::State& state) {
  Value x(1.25e-6F);
  Value xofset(std::int16_t{0});
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(xofset);
    Value sum = fbc::add(x, xofset);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AddSingleInt16);

void BM_AddSingleDouble(benchmark::State& state) {
  Value x(1.25e-6F);
  Value xofset(0.5e-6);
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(xofset);
    Value sum = fbc::add(x, xofset);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AddSingleDouble);

void BM_SubtractDoubleSingle(benchmark::State& state) {
  Value scaleH(100.0);
  Value y(42.5F);
  for (auto _ : state) {
    benchmark::DoNotOptimize(scaleH);
    benchmark::DoNotOptimize(y);
    Value difference = fbc::subtract(scaleH, y);
    benchmark::DoNotOptimize(difference);
  }
}
BENCHMARK(BM_SubtractDoubleSingle);

// The two expressions of one Plot00 call: X + Xofset and Scale_H - (Y + Yofset).
void BM_PlotCoordinates(benchmark::State& state) {
  Value x(1.25e-6F);
  Value y(37.5);
  Value xofset(std::int16_t{0});
  Value yofset(std::int16_t{0});
  Value scaleH(std::int16_t{100});
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    Value px = x + xofset;
    Value py = scaleH - (y + yofset);
    benchmark::DoNotOptimize(px);
    benchmark::DoNotOptimize(py);
  }
}
BENCHMARK(BM_PlotCoordinates);

void BM_CountingLoopSingleStep(benchmark::State& state) {
  const Value start(std::int16_t{0});
  const Value end(1.0e-3);
  const Value step(1.0e-6F);
  for (auto _ : state) {
    int passes = 0;
    fbc::countingLoop(start, end, step, [&passes](const Value&) { ++passes; });
    benchmark::DoNotOptimize(passes);
  }
}
BENCHMARK(BM_CountingLoopSingleStep);

void BM_CountingLoopInt16(benchmark::State& state) {
  const Value start(std::int16_t{1});
  const Value end(std::int16_t{1000});
  const Value step(std::int16_t{1});
  for (auto _ : state) {
    int passes = 0;
    fbc::countingLoop(start, end, step, [&passes](const Value&) { ++passes; });
    benchmark::DoNotOptimize(passes);
  }
}
BENCHMARK(BM_CountingLoopInt16);

}  // namespace
