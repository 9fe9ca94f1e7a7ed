#include "cli/waveform_csv.h"

#include <array>
#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "waveform/samples.h"

namespace fbc {
namespace {

DesignState designAt(const char16_t* fs) {
  DesignInputs inputs;
  inputs.fs = fs;
  DesignState state;
  EXPECT_TRUE(calculateDesign(inputs, CoreCatalogue{}, state).completed);
  return state;
}

// Splits on "\n" only, so that a stray "\r" stays visible in the last field.
std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    result.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the last line ends in a newline";
  return result;
}

std::array<float, 5> parseRow(const std::string& line) {
  std::array<float, 5> values{};
  const char* at = line.data();
  const char* const end = line.data() + line.size();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto [next, error] = std::from_chars(at, end, values[i]);
    EXPECT_TRUE(error == std::errc()) << line;
    at = next;
    if (i + 1 < values.size()) {
      EXPECT_TRUE(at != end && *at == ',') << line;
      ++at;
    }
  }
  EXPECT_EQ(at, end) << line;
  return values;
}

std::string csvFor(const DesignState& state) {
  std::ostringstream out;
  writeWaveformCsv(out, state);
  return out.str();
}

TEST(WaveformCsv, HasAHeaderAndOneLinePerSampleOfTheTimeLoop) {
  const struct {
    const char16_t* fs;
    std::size_t lines;
  } cases[] = {{u"50000", 1002}, {u"40000", 1001}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    const DesignState state = designAt(c.fs);
    const std::vector<std::string> rows = lines(csvFor(state));
    ASSERT_EQ(rows.size(), c.lines);
    EXPECT_EQ(rows.front(), "t,vsw,isw,vd,id");
    EXPECT_EQ(rows.size() - 1, waveformSamples(state).size());
  }
}

TEST(WaveformCsv, EveryValueReadsBackAsExactlyTheSample) {
  const DesignState state = designAt(u"50000");
  const std::vector<std::string> rows = lines(csvFor(state));
  const std::vector<WaveformSample> samples = waveformSamples(state);
  ASSERT_EQ(rows.size(), samples.size() + 1);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    SCOPED_TRACE(i);
    const std::array<float, 5> v = parseRow(rows[i + 1]);
    const WaveformSample back{v[0], v[1], v[2], v[3], v[4]};
    ASSERT_EQ(back, samples[i]) << rows[i + 1];
  }
  // Shortest texts: the first sample of the worked example as written.
  EXPECT_EQ(rows[1], "0,0,0,51.221313,0");
  EXPECT_EQ(rows[2], "4e-08,0,0.024,51.221313,0");
}

TEST(WaveformCsv, WithoutInductanceOnlyTheHeader) {
  // The window draws nothing when Lp is 0; neither does the CSV hold any sample.
  DesignState state = designAt(u"50000");
  state.Lp = 0;
  EXPECT_EQ(csvFor(state), "t,vsw,isw,vd,id\n");
}

}  // namespace
}  // namespace fbc
