#include "cli/file_output.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace fbc {
namespace {

namespace fs = std::filesystem;

class FileOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fbc-file-output-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Everything in the folder, by name.
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  static std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path folder_;
};

TEST_F(FileOutputTest, WritesEveryFileWholeAndReplacesAnOldOne) {
  {
    std::ofstream old(folder_ / "wave.csv", std::ios::binary);
    old << "an older and much longer file that must not shine through";
  }
  const std::string binary("\x89PNG\r\n\x1a\n\0\xff", 10);
  writeOutputFiles({{"--waveform-csv", folder_ / "wave.csv", "t\n0\n"},
                    {"--plot", folder_ / "wave.png", binary}});
  EXPECT_EQ(contents(folder_ / "wave.csv"), "t\n0\n");
  EXPECT_EQ(contents(folder_ / "wave.png"), binary);
  EXPECT_EQ(entries(), (std::set<std::string>{"wave.csv", "wave.png"}));
}

TEST_F(FileOutputTest, AFailureNamesTheOptionTheFileAndTheReasonAndLeavesNothingBehind) {
  fs::create_directory(folder_ / "taken.png");
  const struct {
    fs::path path;
    std::string reason;
  } cases[] = {
      {folder_ / "missing" / "wave.png", "No such file or directory"},
      {folder_ / "taken.png", "Is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    // The first file could be written; it must not appear when the second fails.
    try {
      writeOutputFiles({{"--waveform-csv", folder_ / "wave.csv", "t\n"}, {"--plot", c.path, "x"}});
      ADD_FAILURE() << "written";
    } catch (const OutputError& error) {
      EXPECT_EQ(std::string(error.what()), "--plot " + c.path.string() + ": " + c.reason);
    }
    EXPECT_EQ(entries(), (std::set<std::string>{"taken.png"}));
  }
}

TEST_F(FileOutputTest, AFileNameWithoutAFolderGoesIntoTheWorkingFolder) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  writeOutputFiles({{"--plot", "wave.svg", "<svg/>"}});
  fs::current_path(previous);
  EXPECT_EQ(contents(folder_ / "wave.svg"), "<svg/>");
  EXPECT_EQ(entries(), (std::set<std::string>{"wave.svg"}));
}

TEST_F(FileOutputTest, NothingToWriteIsNoError) { EXPECT_NO_THROW(writeOutputFiles({})); }

}  // namespace
}  // namespace fbc
