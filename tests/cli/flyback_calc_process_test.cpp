// Runs the built flyback-calc executable, as a person or a script would.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"
#include "platform/number_text.h"

extern char** environ;

namespace fbc {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

class ProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "flyback-calc-XXXXXX");
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // `environment` is put before the command, such as "LC_ALL=POSIX".
  Outcome run(const std::vector<std::string>& args, const std::string& environment = {}) {
    const std::filesystem::path errFile = folder_ / "stderr.txt";
    std::string command = environment;
    command.append(" ").append(shellQuoted(FLYBACK_CALC_PATH));
    for (const std::string& arg : args) {
      command.append(" ").append(shellQuoted(arg));
    }
    command.append(" 2>").append(shellQuoted(errFile.string()));

    Outcome result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
      ADD_FAILURE() << "could not start " << command;
      return result;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      result.out.append(buffer, n);
    }
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errFile, std::ios::binary);
    result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return result;
  }

  std::string path(const char* name) const { return (folder_ / name).string(); }

  static std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path folder_;
};

std::string rawNumber(const std::string& json, const std::string& name) {
  std::smatch match;
  std::string pattern = "\"";
  pattern.append(name).append("\": ([^,\\s}]+)");
  if (!std::regex_search(json, match, std::regex(pattern))) {
    ADD_FAILURE() << name << " missing";
    return {};
  }
  return match[1];
}

std::size_t lineCount(const std::string& text) {
  std::istringstream in(text);
  std::size_t count = 0;
  for (std::string line; std::getline(in, line);) {
    ++count;
  }
  return count;
}

TEST_F(ProcessTest, WorkedExampleAsJson) {
  const Outcome result = run({"--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");

  EXPECT_EQ(rawNumber(result.out, "Iin"), "1.5");
  EXPECT_EQ(rawNumber(result.out, "AL"), "8.125668e-09");
  DesignState engine;
  ASSERT_TRUE(calculateDesign(DesignInputs{}, CoreCatalogue{}, engine).completed);
  EXPECT_EQ(std::strtof(rawNumber(result.out, "Ns").c_str(), nullptr), engine.Ns);
  EXPECT_EQ(std::strtof(rawNumber(result.out, "Np").c_str(), nullptr), engine.Np);
  EXPECT_EQ(generalText(engine.Ns), u"27.56696");

  const nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json.at("labels").at("lbltest"), "8.125668E-09,202.5396,0.2204155,36.32921");
  EXPECT_EQ(json.at("labels").at("lblNt"), "1 : 0.136");
  EXPECT_EQ(json.at("labels").at("lblLp"), "333.333[uH]");
  EXPECT_EQ(json.at("inputs").at("vin"), "200");
}

TEST_F(ProcessTest, OutputDoesNotDependOnTheLocale) {
  const Outcome reference = run({"--format", "json"});
  for (const char* environment :
       {"LC_ALL=POSIX", "LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8", "LC_NUMERIC=fr_FR.UTF-8"}) {
    SCOPED_TRACE(environment);
    const Outcome result = run({"--format", "json"}, environment);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, reference.out);
  }
}

TEST_F(ProcessTest, SweepHasOneRowPerCatalogueCore) {
  const Outcome table = run({"--sweep"});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_EQ(lineCount(table.out), 1U + 18U);  // heading and rows

  const Outcome json = run({"--sweep", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(nlohmann::json::parse(json.out).size(), 18U);
}

TEST_F(ProcessTest, ReplacedValueIsWarnedAboutOnStandardError) {
  const Outcome result = run({"--fs", "2", "--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "flyback-calc: warning: --fs 2 is outside the limits; using 10000\n");
  EXPECT_EQ(nlohmann::json::parse(result.out).at("inputs").at("fs"), "10000");
}

TEST_F(ProcessTest, BadInputLeavesStandardOutputEmpty) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> mentioned;
  } cases[] = {
      {{"--vin", "abc"}, {"--vin abc", "not a number"}},
      {{"--duty", "1", "--format", "json"}, {"--duty 1", "AL"}},
      {{"--format", "yaml"}, {"--format yaml"}},
      {{"--ambient", "300", "--format", "json"}, {"--ambient 300: must lie between -40 and 125"}},
      {{"--material", "X", "--advise"}, {"--material X: expected N97"}},
      {{"--vin-max", "150"}, {"--vin-max 150: must be at least the input voltage 200 V"}},
      {{"--clamp-ratio", "1", "--format", "json"},
       {"--clamp-ratio 1: must lie above 1 and at most 10"}},
      {{"--leakage", "-1e-6", "--sweep"}, {"--leakage -1e-6: must lie between 0 and 1"}},
      {{"--mode", "dcm"}, {"--mode dcm: expected pwm-critical, pfm-critical, pwm-ccm or qr"}},
      {{"--mode", "pwm-ccm", "--ripple", "0"}, {"--ripple 0: must lie above 0 and at most 1"}},
      {{"--ripple", "1.5", "--format", "json"}, {"--ripple 1.5: must lie above 0 and at most 1"}},
      {{"--ripple", "lots", "--advise"}, {"--ripple lots: not a number"}},
      {{"--mode", "qr", "--drain-capacitance", "-1e-12"},
       {"--drain-capacitance -1e-12: must lie between 0 and 1E-06"}},
      {{"--drain-capacitance", "100pF"}, {"--drain-capacitance 100pF: not a number"}},
      {{"extra"}, {"extra"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : ""));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(lineCount(result.err), 1U) << result.err;
    for (const std::string& part : c.mentioned) {
      EXPECT_NE(result.err.find(part), std::string::npos) << part << " in " << result.err;
    }
  }
}

// A switch's condition that cannot be used fails its own row, named by its column, and the
// run ends with status 2 after every row is written.
TEST_F(ProcessTest, BatchRowsWithUnusableStressConditionsFailAlone) {
  {
    std::ofstream csv(path("designs.csv"), std::ios::binary);
    csv << "core,vin,vinmax,clamp-ratio,leakage\n"
           "PQ50,200,370,1.5,\n"
           "PQ50,200,150,1.5,\n"
           "PQ50,200,,1,\n"
           "PQ50,200,,1.5,-1e-6\n";
  }
  const Outcome result = run({"--batch", path("designs.csv"), "--format", "json"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "");
  std::istringstream rows(result.out);
  std::vector<nlohmann::json> parsed;
  for (std::string line; std::getline(rows, line);) {
    parsed.push_back(nlohmann::json::parse(line));
  }
  ASSERT_EQ(parsed.size(), 4U);
  EXPECT_EQ(parsed[0].at("status"), "ok");
  EXPECT_EQ(parsed[0].at("stress").at("VinMax"), 370);
  const char* messages[] = {
      "vinmax 150: must be at least the input voltage 200 V",
      "clamp-ratio 1: must lie above 1 and at most 10",
      "leakage -1e-6: must lie between 0 and 1",
  };
  for (std::size_t i = 0; i < std::size(messages); ++i) {
    EXPECT_EQ(parsed[i + 1].at("status"), "error");
    EXPECT_EQ(parsed[i + 1].at("message"), messages[i]);
  }
}

// A file that is no CSV at all, such as a picture passed by mistake, is refused in one line of
// plain text.
TEST_F(ProcessTest, BinaryBatchFileGivesOneSafeLine) {
  {
    std::ofstream binary(path("designs.csv"), std::ios::binary);
    const char bytes[] =
        "\x1B[2J\x7F"
        "ELF\x02\x01\x01\0\xFF\xFE\x9B"
        "31m,vin\n1,2\n";
    binary.write(bytes, sizeof bytes - 1);
  }
  const Outcome result = run({"--batch", path("designs.csv")});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "flyback-calc: --batch " + path("designs.csv") +
                ": unknown column \"\\x1B[2J\\x7FELF\\x02\\x01\\x01\\x00\\xFF"
                "\\xFE\\x9B"
                "31m\" (expected any of vin, vout, iout, fs, vf, effi, duty, "
                "core, level, material, ambient, max-temperature, current-limit, vinmax, "
                "leakage, clamp-ratio, vds-rating, mode, ripple, drain-capacitance, "
                "wire-primary, wire-secondary, arrangement, vac-min, vac-max, line-frequency, "
                "bulk-capacitance, charge-duty, outputs, bias, secondary-turns, insulation, "
                "construction, working-voltage, pins)\n");
}

// Width and height from a PNG's header chunk, or 0 x 0 when it is not a PNG.
std::pair<unsigned, unsigned> pngSize(const std::string& png) {
  const std::string signature("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  if (png.size() < 24 || png.compare(0, signature.size(), signature) != 0) {
    return {0, 0};
  }
  auto bigEndian = [&png](std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      value = (value << 8) | static_cast<unsigned char>(png[at + i]);
    }
    return value;
  };
  return {bigEndian(16), bigEndian(20)};
}

TEST_F(ProcessTest, PlotAndCsvFilesBesideTheReport) {
  // Whatever platform the environment names, no display is needed, and the platform says
  // nothing on standard error.
  const Outcome result = run({"--plot", path("wave.png"), "--waveform-csv", path("wave.csv")},
                             "QT_QPA_PLATFORM=xcb DISPLAY=");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("lbldiv1"), std::string::npos);
  EXPECT_EQ(pngSize(contents(path("wave.png"))), std::make_pair(1611U, 426U));
  const std::string csv = contents(path("wave.csv"));
  EXPECT_EQ(lineCount(csv), 1002U);
  EXPECT_EQ(csv.rfind("t,vsw,isw,vd,id\n", 0), 0U);

  const Outcome svg = run({"--plot", path("wave.svg")});
  ASSERT_EQ(svg.status, 0) << svg.err;
  const std::string document = contents(path("wave.svg"));
  EXPECT_EQ(document.rfind("<?xml", 0), 0U);
  EXPECT_NE(document.find("<svg "), std::string::npos);
  EXPECT_NE(document.find("ダイオード電圧電流[20V/div][20A/div]"), std::string::npos);
}

// The sheet needs no display either; its content is read back in tests/export.
TEST_F(ProcessTest, SheetBesideTheReport) {
  const Outcome result = run({"--sheet", path("design.pdf"), "--drawing-number", "FT-1024"},
                             "QT_QPA_PLATFORM=xcb DISPLAY=");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("lbldiv1"), std::string::npos);
  const std::string pdf = contents(path("design.pdf"));
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0U);
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  // Every page the helper drew: the design's and the transformer page after it.
  EXPECT_NE(pdf.find("/Count 2\n"), std::string::npos);

  const Outcome unwritable = run({"--sheet", path("missing/design.pdf")});
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_EQ(unwritable.out, "");
  EXPECT_NE(unwritable.err.find("--sheet " + path("missing/design.pdf")), std::string::npos);
}

TEST_F(ProcessTest, CsvToStandardOutputIsAllThatIsPrinted) {
  const Outcome result = run({"--waveform-csv", "-", "--fs", "40000"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(lineCount(result.out), 1001U);
  EXPECT_EQ(result.out.rfind("t,vsw,isw,vd,id\n0,", 0), 0U);
  EXPECT_EQ(result.out.find("Inputs"), std::string::npos);
}

TEST_F(ProcessTest, UnwritablePlotExitsWithStatusTwoAndWritesNothing) {
  const std::vector<std::vector<std::string>> cases{
      {"--plot", path("missing/wave.png"), "--waveform-csv", path("wave.csv")},
      {"--plot", path("wave.gif")},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args[1]);
    const Outcome result = run(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(lineCount(result.err), 1U) << result.err;
    EXPECT_NE(result.err.find("--plot " + args[1]), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(path("wave.csv")));
  }
}

// The report, sweep and batch runs start without Qt: the program links no Qt library, only the
// helper it runs for --plot does.
TEST_F(ProcessTest, LinksNoQtLibrary) {
  FILE* pipe = popen(("readelf -d " + shellQuoted(FLYBACK_CALC_PATH)).c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string dynamic;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    dynamic.append(buffer, n);
  }
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_NE(dynamic.find("(NEEDED)"), std::string::npos) << dynamic;
  EXPECT_EQ(dynamic.find("libQt"), std::string::npos) << dynamic;
}

TEST_F(ProcessTest, AMissingExportHelperIsAnInternalFault) {
  const Outcome result =
      run({"--plot", path("wave.png")}, "FLYBACK_EXPORT_HELPER=" + path("no-such-helper"));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(lineCount(result.err), 1U) << result.err;
  EXPECT_FALSE(std::filesystem::exists(path("wave.png")));
}

// Files land where the person sent them: through links, into pipes and onto devices, and a
// write that fails is reported.
TEST_F(ProcessTest, FilesFollowLinksAndFeedPipesAndDevices) {
  std::filesystem::create_directory(path("real"));
  std::filesystem::create_symlink("real/wave.csv", path("wave.csv"));
  std::filesystem::create_symlink("real/wave.svg", path("wave.svg"));
  const Outcome linked = run({"--waveform-csv", path("wave.csv"), "--plot", path("wave.svg")});
  ASSERT_EQ(linked.status, 0) << linked.err;
  EXPECT_TRUE(std::filesystem::is_symlink(path("wave.csv")));
  EXPECT_TRUE(std::filesystem::is_symlink(path("wave.svg")));
  EXPECT_EQ(lineCount(contents(path("real/wave.csv"))), 1002U);
  EXPECT_EQ(contents(path("real/wave.svg")).rfind("<?xml", 0), 0U);

  ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = contents(path("pipe")); });
  const Outcome piped = run({"--waveform-csv", path("pipe")});
  reader.join();
  ASSERT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(lineCount(received), 1002U);
  EXPECT_TRUE(std::filesystem::is_fifo(path("pipe")));

  // The CSV goes out first, then the report, both on standard output.
  const Outcome stdoutPath = run({"--waveform-csv", "/dev/stdout", "--format", "json"});
  ASSERT_EQ(stdoutPath.status, 0) << stdoutPath.err;
  EXPECT_EQ(stdoutPath.out.rfind("t,vsw,isw,vd,id\n", 0), 0U);
  EXPECT_NE(stdoutPath.out.find("\n{\n  \"inputs\""), std::string::npos);

  const Outcome full = run({"--waveform-csv", "/dev/full"});
  EXPECT_EQ(full.status, 2);
  EXPECT_EQ(full.out, "");
  EXPECT_EQ(full.err, "flyback-calc: --waveform-csv /dev/full: No space left on device\n");
}

// A batch fed through a pipe is answered row by row: each row's line comes out before the next
// row goes in, as a program talking to flyback-calc through two pipes needs.
TEST_F(ProcessTest, BatchFromAPipeAnswersEachRowAsItArrives) {
  int toCalc[2];
  int fromCalc[2];
  ASSERT_EQ(::pipe2(toCalc, O_CLOEXEC), 0);
  ASSERT_EQ(::pipe2(fromCalc, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toCalc[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromCalc[1], STDOUT_FILENO);
  std::vector<std::string> args{FLYBACK_CALC_PATH, "--batch", "-", "--format", "json"};
  std::vector<char*> argv;
  for (std::string& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(::posix_spawn(&child, FLYBACK_CALC_PATH, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(toCalc[0]);
  ::close(fromCalc[1]);

  std::string received;
  // The next line of output, or "" when none comes within ten seconds.
  const auto nextLine = [&]() -> std::string {
    for (;;) {
      if (const std::size_t end = received.find('\n'); end != std::string::npos) {
        std::string line = received.substr(0, end);
        received.erase(0, end + 1);
        return line;
      }
      pollfd ready{fromCalc[0], POLLIN, 0};
      if (::poll(&ready, 1, 10000) != 1) {
        return "";
      }
      char buffer[4096];
      const ssize_t got = ::read(fromCalc[0], buffer, sizeof buffer);
      if (got <= 0) {
        return "";
      }
      received.append(buffer, static_cast<std::size_t>(got));
    }
  };
  const auto send = [&](const std::string& text) {
    ASSERT_EQ(::write(toCalc[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  };

  send("vin,core\n141,PQ3230\n");
  EXPECT_EQ(nextLine().rfind("{\"row\":1,\"status\":\"ok\",", 0), 0U);
  send("abc,EER28\n");
  EXPECT_EQ(nextLine().rfind("{\"row\":2,\"status\":\"error\",", 0), 0U);
  ::close(toCalc[1]);
  EXPECT_EQ(nextLine(), "");
  ::close(fromCalc[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);  // row 2 failed
}

TEST_F(ProcessTest, HelpAndVersion) {
  const Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: flyback-calc"), std::string::npos);
  EXPECT_NE(help.out.find("Examples:"), std::string::npos);
  EXPECT_NE(help.out.find("--waveform-csv wave.csv --plot wave.png"), std::string::npos);

  const Outcome version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("flyback-calc ") + FBC_PROJECT_VERSION + "\n");
}

}  // namespace
}  // namespace fbc
