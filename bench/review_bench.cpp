// Microseconds per engineering review with the windings chosen: the wire table searched for
// both windings in both arrangements, then the losses, the stress and the flags, over designs
// that span every catalogue core, every drive mode and the frequency range's ends. The median
// over the designs is the figure (the target is 100 µs). reviewAllFiveOutputs reviews the same
// designs with four further outputs and a bias winding (five outputs in all, as in Fairchild
// AN-4137's appendix): its time beside reviewAll's is the cost of several outputs (the target is
// at most twice).
//   review_bench --benchmark_min_time=0.2

#include <array>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"
#include "review/review.h"

namespace {

struct Case {
  std::u16string core;
  std::u16string fs;
  fbc::DriveMode mode;
};

struct Prepared {
  fbc::DesignState state;
  fbc::ReviewConditions conditions;
};

const std::vector<Prepared>& designs() {
  static const std::vector<Prepared> list = [] {
    const fbc::CoreCatalogue catalogue;
    std::vector<Prepared> out;
    const std::array<std::u16string, 3> frequencies = {u"10000", u"50000", u"300000"};
    for (const std::u16string& core : catalogue.listNames()) {
      for (std::size_t k = 0; k < frequencies.size(); ++k) {
        fbc::DesignInputs inputs;
        inputs.core = core;
        inputs.fs = frequencies[k];
        Prepared p;
        if (!fbc::calculateDesign(inputs, catalogue, p.state).completed) {
          continue;
        }
        p.conditions.mode = fbc::kDriveModes[(out.size()) % fbc::kDriveModes.size()];
        out.push_back(p);
      }
    }
    return out;
  }();
  return list;
}

void review(benchmark::State& state) {
  const Prepared& p = designs()[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) {
    benchmark::DoNotOptimize(fbc::reviewDesign(p.state, 0.2, p.conditions));
  }
}

// Every design in turn, so that the time per review is the mean over the set.
void reviewAll(benchmark::State& state) {
  for (auto _ : state) {
    for (const Prepared& p : designs()) {
      benchmark::DoNotOptimize(fbc::reviewDesign(p.state, 0.2, p.conditions));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(designs().size()));
}

// The same designs with four further outputs and a bias, their power a fifth of the main one's
// each.
const std::vector<Prepared>& fiveOutputDesigns() {
  static const std::vector<Prepared> list = [] {
    std::vector<Prepared> out = designs();
    for (Prepared& p : out) {
      const double power = static_cast<double>(p.state.Vout) * p.state.Iout / 5.0;
      for (const double v : {5.0, 12.0, 18.0, 33.0}) {
        p.conditions.outputs.push_back({v, power / v, 1.0});
      }
      p.conditions.bias = fbc::OutputTarget{12.0, 0.01, 0.7};
    }
    return out;
  }();
  return list;
}

void reviewAllFiveOutputs(benchmark::State& state) {
  for (auto _ : state) {
    for (const Prepared& p : fiveOutputDesigns()) {
      benchmark::DoNotOptimize(fbc::reviewDesign(p.state, 0.2, p.conditions));
    }
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(fiveOutputDesigns().size()));
}

}  // namespace

BENCHMARK(reviewAllFiveOutputs)->Unit(benchmark::kMillisecond);
BENCHMARK(review)->DenseRange(0, 53, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(reviewAll)->Unit(benchmark::kMillisecond);
