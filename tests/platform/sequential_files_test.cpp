#include "platform/sequential_files.h"

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace fbc {
namespace {

namespace fs = std::filesystem;

std::string bytes(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class SequentialFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fbc-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    closeAllFiles();
    fs::remove_all(folder_);
  }

  std::u16string path(const std::string& name) const {
    const std::string full = (folder_ / name).string();
    return {full.begin(), full.end()};
  }
  void write(const std::string& name, const std::string& content) const {
    std::ofstream(folder_ / name, std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Every field of the file, read until the end-of-file test says there is none left.
  std::vector<Value> fieldsOf(const std::string& content) {
    write("fields.txt", content);
    openFile(1, path("fields.txt"), FileMode::Input);
    std::vector<Value> fields;
    while (!endOfFile(1)) {
      fields.push_back(inputField(1));
    }
    closeFile(1);
    return fields;
  }

  fs::path folder_;
};

ErrorNumber errorOf(const auto& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return ErrorNumber{};
}

struct FieldCase {
  const char* name;
  std::string content;
  std::vector<Value> fields;
};

TEST_F(SequentialFilesTest, ReadsDelimitedFields) {
  using i16 = std::int16_t;
  const FieldCase cases[] = {
      {"plain record", "1,2.5,abc\r\n", {Value(i16{1}), Value(2.5), Value(u"abc")}},
      {"blanks around fields", "  x ,\t y  \r\n", {Value(u"x"), Value(u"y")}},
      {"quoted comma and doubled quote",
       "\"a,b\",\"say \"\"hi\"\"\"\r\n",
       {Value(u"a,b"), Value(u"say \"hi\"")}},
      {"quoted blanks and line end kept", "\" a\r\nb \",c", {Value(u" a\r\nb "), Value(u"c")}},
      {"quoted numbers stay text", "\"12\",\"\"", {Value(u"12"), Value(u"")}},
      {"text after the closing quote ignored", "\"ab\" junk,c", {Value(u"ab"), Value(u"c")}},
      {"empty fields", "a,,b\r\n", {Value(u"a"), Value(), Value(u"b")}},
      {"comma before a line end", "a,\r\nb", {Value(u"a"), Value(), Value(u"b")}},
      {"comma at the very end", "a,", {Value(u"a"), Value()}},
      {"every kind of line end",
       "1\n2\r3\r\n4",
       {Value(i16{1}), Value(i16{2}), Value(i16{3}), Value(i16{4})}},
      {"blank lines skipped", "\r\n  \r\n1,2\r\n\r\n\n", {Value(i16{1}), Value(i16{2})}},
      {"empty file", "", {}},
      {"byte-order mark", "\xEF\xBB\xBFx,1", {Value(u"x"), Value(i16{1})}},
      {"integers by size",
       "-32768,32767,40000,-2147483648,3000000000",
       {Value(i16{-32768}), Value(i16{32767}), Value(std::int32_t{40000}),
        Value(std::int32_t{-2147483647 - 1}), Value(3000000000.0)}},
      {"other numbers",
       "1E-05,.5,+7,1.,-0.25e1,007",
       {Value(1e-05), Value(0.5), Value(i16{7}), Value(1.0), Value(-2.5), Value(i16{7})}},
      {"not numbers",
       "12abc,-,e5,1e,1e400,１２",
       {Value(u"12abc"), Value(u"-"), Value(u"e5"), Value(u"1e"), Value(u"1e400"), Value(u"１２")}},
      {"UTF-8 text", bytes(u8"銅線,ｱｲ"), {Value(u"銅線"), Value(u"ｱｲ")}},
      {"Shift-JIS text",
       "\x83\x4A\x83\x5E\x83\x4A\x83\x69,\xB1\xB2\r\n",
       {Value(u"カタカナ"), Value(u"ｱｲ")}},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Value> fields = fieldsOf(c.content);
    ASSERT_EQ(fields.size(), c.fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
      EXPECT_TRUE(sameKindAndValue(fields[i], c.fields[i]))
          << "field " << i << ": " << fields[i] << ", expected " << c.fields[i];
    }
  }
}

TEST_F(SequentialFilesTest, InputPastTheEndFails) {
  const struct {
    const char* name;
    std::string content;
    int fieldsBefore;
  } cases[] = {
      {"after the last field", "1,2\r\n", 2},
      {"after trailing blank lines", "1\r\n\r\n  ", 1},
      {"inside a quoted field", "\"open,2", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    write("short.txt", c.content);
    openFile(1, path("short.txt"), FileMode::Input);
    for (int i = 0; i < c.fieldsBefore; ++i) {
      inputField(1);
    }
    EXPECT_EQ(errorOf([] { inputField(1); }), ErrorNumber::InputPastEndOfFile);
    closeFile(1);
  }
}

TEST_F(SequentialFilesTest, OpenFailuresNameTheirError) {
  write("exists.txt", "1");
  fs::create_directory(folder_ / "sub");
  const struct {
    const char* name;
    int number;
    std::u16string path;
    FileMode mode;
    ErrorNumber error;
  } cases[] = {
      {"missing file", 1, path("none.txt"), FileMode::Input, ErrorNumber::FileNotFound},
      {"missing folder, input", 1, path("nodir/a.txt"), FileMode::Input, ErrorNumber::PathNotFound},
      {"missing folder, append", 1, path("nodir/a.txt"), FileMode::Append,
       ErrorNumber::PathNotFound},
      {"file used as a folder", 1, path("exists.txt/a.txt"), FileMode::Append,
       ErrorNumber::PathNotFound},
      {"folder for input", 1, path("sub"), FileMode::Input, ErrorNumber::PathFileAccess},
      {"folder for append", 1, path("sub"), FileMode::Append, ErrorNumber::PathFileAccess},
      {"empty name", 1, u"", FileMode::Input, ErrorNumber::BadFileNameOrNumber},
      {"name with NUL", 1, path("a") + u'\0' + u"b", FileMode::Append,
       ErrorNumber::BadFileNameOrNumber},
      {"number 0", 0, path("exists.txt"), FileMode::Input, ErrorNumber::BadFileNameOrNumber},
      {"number 512", 512, path("exists.txt"), FileMode::Input, ErrorNumber::BadFileNameOrNumber},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(errorOf([&] { openFile(c.number, c.path, c.mode); }), c.error);
    EXPECT_FALSE(isFileOpen(c.number));
  }
  EXPECT_FALSE(fs::exists(folder_ / "none.txt"));
}

TEST_F(SequentialFilesTest, NumberAlreadyOpenIsRefusedAndKeepsItsFile) {
  write("a.txt", "first");
  write("b.txt", "second");
  openFile(1, path("a.txt"), FileMode::Input);
  for (const FileMode mode : {FileMode::Input, FileMode::Append}) {
    EXPECT_EQ(errorOf([&] { openFile(1, path("b.txt"), mode); }), ErrorNumber::FileAlreadyOpen);
  }
  EXPECT_TRUE(sameKindAndValue(inputField(1), Value(u"first")));
  EXPECT_EQ(read("b.txt"), "second");
}

TEST_F(SequentialFilesTest, OperationsNeedTheRightMode) {
  write("a.txt", "1");
  EXPECT_EQ(errorOf([] { inputField(2); }), ErrorNumber::BadFileNameOrNumber);
  openFile(2, path("a.txt"), FileMode::Input);
  EXPECT_EQ(errorOf([] { printLine(2, u"x"); }), ErrorNumber::BadFileNameOrNumber);
  openFile(3, path("a.txt"), FileMode::Append);
  EXPECT_EQ(errorOf([] { inputField(3); }), ErrorNumber::BadFileNameOrNumber);
  EXPECT_EQ(errorOf([] { endOfFile(3); }), ErrorNumber::BadFileNameOrNumber);
}

TEST_F(SequentialFilesTest, CloseOneOrAll) {
  write("a.txt", "1");
  openFile(1, path("a.txt"), FileMode::Input);
  openFile(2, path("a.txt"), FileMode::Input);
  openFile(511, path("b.txt"), FileMode::Append);
  closeFile(1);
  closeFile(7);
  EXPECT_FALSE(isFileOpen(1));
  EXPECT_TRUE(isFileOpen(2));
  closeAllFiles();
  EXPECT_FALSE(isFileOpen(2));
  EXPECT_FALSE(isFileOpen(511));
  openFile(1, path("a.txt"), FileMode::Input);
  EXPECT_TRUE(isFileOpen(1));
}

TEST_F(SequentialFilesTest, AppendsLinesInUtf8) {
  openFile(1, path("new.txt"), FileMode::Append);
  printLine(1, u"1,2");
  printLine(1, u"担当,ｱ");
  closeFile(1);
  openFile(1, path("new.txt"), FileMode::Append);
  printLine(1, u"");
  closeFile(1);
  EXPECT_EQ(read("new.txt"), "1,2\r\n" + bytes(u8"担当,ｱ") + "\r\n\r\n");
}

TEST_F(SequentialFilesTest, AppendedLinesReadBackAsWritten) {
  using i16 = std::int16_t;
  const struct {
    const char* name;
    std::u16string line;
    std::string content;
    std::vector<Value> fields;
  } cases[] = {
      {"plain", u"x,1", "x,1\r\n", {Value(u"x"), Value(i16{1})}},
      {"Japanese", u"担当,2", bytes(u8"担当,2\r\n"), {Value(u"担当"), Value(i16{2})}},
      // The reader skips a leading byte-order mark, so the writer puts one before the text's own.
      {"leading U+FEFF",
       u"\uFEFFx,1",
       "\xEF\xBB\xBF\xEF\xBB\xBFx,1\r\n",
       {Value(u"\uFEFFx"), Value(i16{1})}},
      {"only U+FEFF", u"\uFEFF", "\xEF\xBB\xBF\xEF\xBB\xBF\r\n", {Value(u"\uFEFF")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(folder_ / "new.txt");
    openFile(1, path("new.txt"), FileMode::Append);
    printLine(1, c.line);
    closeFile(1);
    const std::string content = read("new.txt");
    EXPECT_EQ(content, c.content);
    const std::vector<Value> fields = fieldsOf(content);
    ASSERT_EQ(fields.size(), c.fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
      EXPECT_TRUE(sameKindAndValue(fields[i], c.fields[i])) << fields[i];
    }
  }
}

TEST_F(SequentialFilesTest, AppendEndsAnUnfinishedLastLineFirst) {
  write("a.txt", "1,2");
  openFile(1, path("a.txt"), FileMode::Append);
  printLine(1, u"3,4");
  printLine(1, u"5,6");
  closeFile(1);
  EXPECT_EQ(read("a.txt"), "1,2\r\n3,4\r\n5,6\r\n");
}

TEST_F(SequentialFilesTest, AppendKeepsAShiftJisFileInShiftJis) {
  const std::string old = "\x83\x4A\x83\x5E,1\r\n";  // カタ,1
  write("old.txt", old);
  openFile(1, path("old.txt"), FileMode::Append);
  printLine(1, u"カナ,2");
  EXPECT_EQ(errorOf([] { printLine(1, u"\U0001F600"); }), ErrorNumber::InvalidCall);
  closeFile(1);
  EXPECT_EQ(read("old.txt"), old + "\x83\x4A\x83\x69,2\r\n");
  const std::vector<Value> fields = fieldsOf(read("old.txt"));
  ASSERT_EQ(fields.size(), 4U);
  EXPECT_TRUE(sameKindAndValue(fields[0], Value(u"カタ")));
  EXPECT_TRUE(sameKindAndValue(fields[2], Value(u"カナ")));
}

TEST_F(SequentialFilesTest, FailedWriteLeavesNoPartialLine) {
  write("a.txt", "1,2\r\n");
  // A file-size limit just past the current end makes the write stop half-way.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  openFile(1, path("a.txt"), FileMode::Append);
  const ErrorNumber error = errorOf([] { printLine(1, u"3,4,5,6,7,8"); });
  closeFile(1);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedHandler);
  EXPECT_EQ(error, ErrorNumber::DeviceIo);
  EXPECT_EQ(read("a.txt"), "1,2\r\n");
}

}  // namespace
}  // namespace fbc
