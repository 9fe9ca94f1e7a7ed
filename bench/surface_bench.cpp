#include <benchmark/benchmark.h>

#include "platform/palette.h"
#include "platform/raster_surface.h"

namespace {

// The picture boxes of the window: 257 x 81 pixels, two switching periods across, the grid
// height plus its margin band down.
constexpr int kWidth = 257;
constexpr int kHeight = 81;
constexpr float kScaleWidth = 4e-5F;
constexpr float kScaleHeight = 1100.0F;
constexpr int kSteps = 1001;

void prepare(fbc::RasterSurface& surface) {
  surface.setScaleWidth(kScaleWidth);
  surface.setScaleHeight(kScaleHeight);
}

// One calculation's traces: about a thousand time steps, two dots on each picture per step,
// every dot in another colour than the one before.
void BM_TraceDots(benchmark::State& state) {
  const qreal ratio = static_cast<qreal>(state.range(0));
  fbc::RasterSurface pic1(kWidth, kHeight, ratio);
  fbc::RasterSurface pic2(kWidth, kHeight, ratio);
  prepare(pic1);
  prepare(pic2);
  const fbc::Rgb red = fbc::paletteColour(12);
  const fbc::Rgb blue = fbc::paletteColour(9);
  for (auto _ : state) {
    float t = 0.0F;
    for (int i = 0; i < kSteps; ++i) {
      const auto wave = static_cast<float>(i % 500);
      pic1.pset(t, 1000.0F - wave * 2.0F, red);
      pic1.pset(t, 1000.0F - wave, blue);
      pic2.pset(t, 200.0F + wave, red);
      pic2.pset(t, 200.0F - wave * 0.4F, blue);
      t += kScaleWidth / 1000.0F;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSteps * 4);
}
BENCHMARK(BM_TraceDots)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The oscilloscope grid: five horizontal lines, a thick ground line and nine vertical lines.
void BM_GridLines(benchmark::State& state) {
  const qreal ratio = static_cast<qreal>(state.range(0));
  fbc::RasterSurface pic(kWidth, kHeight, ratio);
  prepare(pic);
  const fbc::Rgb grey = fbc::paletteColour(7);
  const fbc::Rgb blue = fbc::paletteColour(1);
  for (auto _ : state) {
    for (int i = 0; i <= 4; ++i) {
      const float y = 1000.0F - static_cast<float>(i) * 250.0F;
      pic.line(0.0F, y, kScaleWidth, y, grey);
    }
    pic.setDrawWidth(2);
    pic.line(0.0F, 1000.0F, kScaleWidth, 1000.0F, blue);
    pic.setDrawWidth(1);
    for (int i = 0; i <= 8; ++i) {
      const float x = static_cast<float>(i) * kScaleWidth / 8.0F;
      pic.line(x, 0.0F, x, kScaleHeight, grey);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 15);
}
BENCHMARK(BM_GridLines)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_Cls(benchmark::State& state) {
  fbc::RasterSurface pic(kWidth, kHeight, static_cast<qreal>(state.range(0)));
  for (auto _ : state) {
    pic.cls();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Cls)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
