#include "platform/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace fbc {
namespace {

namespace fs = std::filesystem;

class FileWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fbc-file-writer-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    ::chmod(folder_.c_str(), 0700);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

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

  static void put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  // The RuntimeError a write throws, or a failure when it succeeds.
  static RuntimeError failureOf(const fs::path& path, std::string_view bytes) {
    try {
      writeFileSoundly(path, bytes);
    } catch (const RuntimeError& error) {
      return error;
    }
    ADD_FAILURE() << path << " was written";
    return RuntimeError(ErrorNumber::InvalidCall);
  }

  fs::path folder_;
};

TEST_F(FileWriterTest, ARegularFileIsReplacedWholeKeepingItsPermissions) {
  put(folder_ / "wave.csv", "an older and much longer file that must not shine through");
  ASSERT_EQ(::chmod((folder_ / "wave.csv").c_str(), 0640), 0);
  writeFileSoundly(folder_ / "wave.csv", "t\n0\n");
  EXPECT_EQ(contents(folder_ / "wave.csv"), "t\n0\n");
  EXPECT_EQ(fs::status(folder_ / "wave.csv").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // A new file, with binary bytes, and no temporary file left beside either.
  const std::string binary("\x89PNG\r\n\x1a\n\0\xff", 10);
  writeFileSoundly(folder_ / "wave.png", binary);
  EXPECT_EQ(contents(folder_ / "wave.png"), binary);
  EXPECT_EQ(entries(), (std::set<std::string>{"wave.csv", "wave.png"}));
}

TEST_F(FileWriterTest, SymbolicLinksAreFollowedAndStayLinks) {
  fs::create_directory(folder_ / "real");
  put(folder_ / "real" / "data.csv", "old");
  // A relative link to a relative link to the file, and a link to a file not yet made.
  fs::create_symlink("real/data.csv", folder_ / "inner");
  fs::create_symlink("inner", folder_ / "outer");
  fs::create_symlink(folder_ / "real" / "new.csv", folder_ / "dangling");

  FileWriter writer(folder_ / "outer", "new");
  EXPECT_EQ(writer.target(), folder_ / "real" / "data.csv");
  EXPECT_FALSE(writer.direct());
  writer.commit();
  writeFileSoundly(folder_ / "dangling", "made");

  EXPECT_TRUE(fs::is_symlink(folder_ / "outer"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "inner"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "dangling"));
  EXPECT_EQ(contents(folder_ / "real" / "data.csv"), "new");
  EXPECT_EQ(contents(folder_ / "real" / "new.csv"), "made");
  EXPECT_EQ(entries(), (std::set<std::string>{"real", "inner", "outer", "dangling"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "real"), fs::directory_iterator()), 2);
}

TEST_F(FileWriterTest, ALinkLoopIsAnErrorNotAHang) {
  fs::create_symlink("b", folder_ / "a");
  fs::create_symlink("a", folder_ / "b");
  EXPECT_EQ(failureOf(folder_ / "a", "x").detail(), "Too many levels of symbolic links");
}

TEST_F(FileWriterTest, AFifoIsWrittenDirectlyToItsReader) {
  const fs::path fifo = folder_ / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] {
    std::ifstream in(fifo, std::ios::binary);
    received.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  });
  const std::string data(100000, 'x');  // more than a pipe holds at once
  writeFileSoundly(fifo, data);
  reader.join();
  EXPECT_EQ(received, data);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(entries(), (std::set<std::string>{"pipe"}));
}

TEST_F(FileWriterTest, ADescriptorPathWritesToTheOpenDescriptor) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  for (const std::string prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    SCOPED_TRACE(prefix);
    FileWriter writer(prefix + std::to_string(ends[1]), "row\n");
    EXPECT_TRUE(writer.direct());
    writer.commit();
    char buffer[16] = {};
    ASSERT_EQ(::read(ends[0], buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer), "row\n");
  }
  ::close(ends[0]);
  ::close(ends[1]);
}

TEST_F(FileWriterTest, AFullDeviceIsAFailure) {
  const RuntimeError error = failureOf("/dev/full", "data");
  EXPECT_EQ(error.number(), ErrorNumber::DeviceIo);
  EXPECT_EQ(error.detail(), "No space left on device");
}

TEST_F(FileWriterTest, FailuresNameTheReasonAndLeaveNothingBehind) {
  fs::create_directory(folder_ / "taken.png");
  const struct {
    fs::path path;
    ErrorNumber number;
    std::string reason;
  } cases[] = {
      {folder_ / "missing" / "wave.png", ErrorNumber::PathNotFound, "No such file or directory"},
      {folder_ / "taken.png", ErrorNumber::PathFileAccess, "Is a directory"},
      {"", ErrorNumber::PathNotFound, "No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    const RuntimeError error = failureOf(c.path, "x");
    EXPECT_EQ(error.number(), c.number);
    EXPECT_EQ(error.detail(), c.reason);
    EXPECT_EQ(entries(), (std::set<std::string>{"taken.png"}));
  }
}

TEST_F(FileWriterTest, AFolderWithoutWritePermissionIsAFailure) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "permissions do not bind root";
  }
  put(folder_ / "kept.csv", "old");
  ASSERT_EQ(::chmod(folder_.c_str(), 0500), 0);
  const RuntimeError error = failureOf(folder_ / "kept.csv", "new");
  EXPECT_EQ(error.number(), ErrorNumber::PathFileAccess);
  EXPECT_EQ(error.detail(), "Permission denied");
  ::chmod(folder_.c_str(), 0700);
  EXPECT_EQ(contents(folder_ / "kept.csv"), "old");
  EXPECT_EQ(entries(), (std::set<std::string>{"kept.csv"}));
}

TEST_F(FileWriterTest, AnUncommittedWriteLeavesTheTargetAsItWas) {
  put(folder_ / "kept.csv", "old");
  { FileWriter writer(folder_ / "kept.csv", "new"); }
  EXPECT_EQ(contents(folder_ / "kept.csv"), "old");
  EXPECT_EQ(entries(), (std::set<std::string>{"kept.csv"}));
}

// Device nodes of our own (the kernel's null and full devices) in the scratch folder: the node
// must stay a device, and the full one must report the failure.
TEST_F(FileWriterTest, ADeviceNodeStaysADevice) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "making device nodes needs root";
  }
  const fs::path null = folder_ / "null";
  const fs::path full = folder_ / "full";
  if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
      ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
    GTEST_SKIP() << "this file system refuses device nodes";
  }
  writeFileSoundly(null, "discarded");
  EXPECT_TRUE(fs::is_character_file(null));
  EXPECT_EQ(failureOf(full, "data").detail(), "No space left on device");
  EXPECT_TRUE(fs::is_character_file(full));
  EXPECT_EQ(entries(), (std::set<std::string>{"null", "full"}));
}

}  // namespace
}  // namespace fbc
