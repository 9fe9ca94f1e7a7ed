// Rows per second of flyback-calc --batch, single-threaded: the whole path from CSV text
// through the reader, the limit rules, the calculation, the captions and scales, to the JSON
// line or CSV row, written into a buffer that is emptied as it fills (standing in for a pipe).
// Rows vary over voltages, frequencies, cores and levels, with one bad row in fifty.
//   batch_bench --benchmark_counters_tabular=true   (the rows/s column is the figure)

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "cli/batch_reader.h"
#include "cli/flyback_calc.h"
#include "design/core_catalogue.h"

namespace {

constexpr int kRows = 20000;

std::string batchText() {
  const std::vector<std::string> cores{"EER25.5", "EER28", "EER35", "PQ2620", "PQ3230", "PQ40"};
  const std::vector<std::string> levels{"hi", "typ", "lo"};
  std::string text = "vin,vout,iout,fs,core,level\n";
  for (int i = 0; i < kRows; ++i) {
    if (i % 50 == 49) {
      text += "abc,12,1,50000,EER28,typ\n";
      continue;
    }
    text += std::to_string(100 + i % 300) + "," + std::to_string(5 + i % 20) + "," +
            std::to_string(1 + i % 7) + ".5," + std::to_string(20000 + (i % 50) * 5000) + "," +
            cores[static_cast<std::size_t>(i) % cores.size()] + "," +
            levels[static_cast<std::size_t>(i) % levels.size()] + "\n";
  }
  return text;
}

// Keeps only the last few kilobytes: the cost of writing without the cost of holding it all.
class DiscardingBuffer : public std::streambuf {
 public:
  DiscardingBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }

 protected:
  int_type overflow(int_type c) override {
    setp(buffer_, buffer_ + sizeof buffer_);
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      sputc(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
  }

 private:
  char buffer_[8192];
};

void batch(benchmark::State& state, const char* format) {
  const std::string text = batchText();
  const std::vector<std::string> args{"--batch", "-", "--format", format};
  for (auto _ : state) {
    std::istringstream in(text);
    DiscardingBuffer sink;
    std::ostream out(&sink);
    std::ostringstream err;
    benchmark::DoNotOptimize(fbc::runFlybackCalc(args, in, out, err));
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}

// The same rows read and designed, nothing written: what the output costs is the difference.
void readAndDesignOnly(benchmark::State& state) {
  const std::string text = batchText();
  const fbc::CoreCatalogue catalogue;
  for (auto _ : state) {
    std::istringstream in(text);
    fbc::BatchReader reader(in, fbc::DesignInputs{});
    for (fbc::BatchRow row; reader.next(row);) {
      try {
        fbc::applyLimitRules(row.inputs, "");
        benchmark::DoNotOptimize(fbc::designFor(row.inputs, catalogue, ""));
      } catch (const fbc::InputError&) {
      }
    }
  }
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(readAndDesignOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(batch, json, "json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(batch, csv, "csv")->Unit(benchmark::kMillisecond);

}  // namespace
