// Seconds per flyback-calc --simulate: the netlist, ngspice -b on it (found on PATH) and the
// comparison, for designs over every drive mode and the extremes of the limit rules' frequency
// range, where the settling periods and the steps per period make the most work. Each design
// must finish within 5 s; the real time per iteration is the figure.
//   simulation_bench --benchmark_min_time=0.1

#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "cli/flyback_calc.h"

namespace {

const std::vector<std::vector<std::string>>& designs() {
  static const std::vector<std::vector<std::string>> list = {
      {"--core", "PQ50"},
      {"--core", "PQ50", "--mode", "pfm-critical"},
      {"--core", "PQ50", "--mode", "pwm-ccm", "--ripple", "0.1"},
      {"--core", "PQ50", "--mode", "qr", "--drain-capacitance", "1e-9"},
      {"--core", "EC90", "--fs", "10000", "--level", "hi"},
      {"--core", "PQ50", "--fs", "300000", "--effi", "99"},
      {"--core", "EER25.5", "--leakage", "1e-7", "--effi", "50"},
  };
  return list;
}

void simulate(benchmark::State& state) {
  std::vector<std::string> args = designs()[static_cast<std::size_t>(state.range(0))];
  args.emplace_back("--simulate");
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    if (fbc::runFlybackCalc(args, out, err) != 0) {
      state.SkipWithError(err.str().c_str());
      return;
    }
    benchmark::DoNotOptimize(out.str());
  }
}

}  // namespace

BENCHMARK(simulate)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->UseRealTime();
