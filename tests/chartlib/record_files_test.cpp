#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/controls.h"
#include "platform/errors.h"
#include "platform/sequential_files.h"

namespace fbc::macro {
namespace {

namespace fs = std::filesystem;
using i16 = std::int16_t;

std::string bytes(const char8_t* text) { return reinterpret_cast<const char*>(text); }

ErrorNumber errorOf(const auto& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return ErrorNumber{};
}

const Value kUntouched(u"untouched");

// Column arrays with elements 0..upper, every element holding the text "untouched".
std::vector<Value> columns(int count, int upper) {
  std::vector<Value> result;
  for (int k = 0; k < count; ++k) {
    auto array = ColumnArray::make(0, upper);
    for (int r = 0; r <= upper; ++r) {
      array->at(r) = kUntouched;
    }
    result.emplace_back(array);
  }
  return result;
}

Value& element(std::vector<Value>& columns, int column, int record) {
  return columns[static_cast<std::size_t>(column)].array().at(record);
}

// The loader for `fields` fields per record.
void load(int fields, Value& filename, std::vector<Value>& c, Value& datanum) {
  switch (fields) {
    case 3:
      fileoutput3(filename, c[0], c[1], c[2], datanum);
      break;
    case 7:
      fileoutput7(filename, c[0], c[1], c[2], c[3], c[4], c[5], c[6], datanum);
      break;
    case 8:
      fileoutput8(filename, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], datanum);
      break;
    case 12:
      fileoutput12(filename, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9], c[10],
                   c[11], datanum);
      break;
    default:
      FAIL() << "no loader for " << fields << " fields";
  }
}

void write8(Value& filename, std::vector<Value>& d) {
  filewright8(filename, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
}

class RecordFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fbc-records-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    closeAllFiles();
    fs::remove_all(folder_);
  }

  Value path(const std::string& name) const {
    const std::string full = (folder_ / name).string();
    return Value(std::u16string(full.begin(), full.end()));
  }
  void write(const std::string& name, const std::string& content) const {
    std::ofstream(folder_ / name, std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path folder_;
};

TEST(TextdataTest, BuildsTwoNamedValueLines) {
  const struct {
    const char* name;
    std::vector<Value> args;
    std::u16string block;
  } cases[] = {
      {"texts and numbers",
       {Value(u"Vin"), Value(i16{100}), Value(u"V"), Value(u"Iout"), Value(2.5), Value(u"A")},
       u"Vin=100V\r\nIout=2.5A\r\n"},
      {"32-bit float and per-division label",
       {Value(u"T"), Value(0.1F), Value(u"us/div"), Value(u"N"), Value(std::int32_t{40000}),
        Value()},
       u"T=0.1us/div\r\nN=40000\r\n"},
      {"empty arguments contribute nothing",
       {Value(), Value(), Value(), Value(), Value(), Value()},
       u"=\r\n=\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Value block(u"previous content");
    std::vector<Value> a = c.args;
    Textdata(block, a[0], a[1], a[2], a[3], a[4], a[5]);
    EXPECT_TRUE(sameKindAndValue(block, Value(c.block))) << block;
  }
}

TEST(TextdataTest, ObjectArgumentLeavesTheBlockAlone) {
  Label label;
  Value block(u"previous content");
  Value na(u"Vin");
  Value object(label);
  Value empty;
  EXPECT_EQ(errorOf([&] { Textdata(block, na, empty, empty, na, object, empty); }),
            ErrorNumber::TypeMismatch);
  EXPECT_TRUE(sameKindAndValue(block, Value(u"previous content")));
}

TEST_F(RecordFilesTest, AppendedRecordsLoadBack) {
  Value file = path("log.txt");
  std::vector<Value> record;
  for (i16 k = 1; k <= 8; ++k) {
    record.emplace_back(k);
  }
  write8(file, record);
  write8(file, record);
  EXPECT_EQ(read("log.txt"), "1,2,3,4,5,6,7,8\r\n1,2,3,4,5,6,7,8\r\n");
  EXPECT_FALSE(isFileOpen(1));

  std::vector<Value> data = columns(8, 3);
  Value datanum(u"old");
  load(8, file, data, datanum);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(i16{2})));
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(sameKindAndValue(element(data, k, 0), kUntouched));
    EXPECT_TRUE(sameKindAndValue(element(data, k, 1), Value(static_cast<i16>(k + 1))));
    EXPECT_TRUE(sameKindAndValue(element(data, k, 2), Value(static_cast<i16>(k + 1))));
    EXPECT_TRUE(sameKindAndValue(element(data, k, 3), kUntouched));
  }
  EXPECT_FALSE(isFileOpen(1));
}

TEST_F(RecordFilesTest, EachLoaderTakesItsOwnFieldCount) {
  for (const int fields : {3, 7, 8, 12}) {
    SCOPED_TRACE(testing::Message() << fields << " fields");
    std::string content;
    for (int r = 1; r <= 2; ++r) {
      for (int k = 1; k <= fields; ++k) {
        content += std::to_string(r * 100 + k) + (k < fields ? "," : "\r\n");
      }
    }
    write("table.txt", content);
    Value file = path("table.txt");
    std::vector<Value> data = columns(fields, 2);
    Value datanum;
    load(fields, file, data, datanum);
    EXPECT_TRUE(sameKindAndValue(datanum, Value(i16{2})));
    for (int r = 1; r <= 2; ++r) {
      for (int k = 0; k < fields; ++k) {
        EXPECT_TRUE(sameKindAndValue(element(data, k, r), Value(static_cast<i16>(r * 100 + k + 1))))
            << "record " << r << " field " << k + 1;
      }
    }
  }
}

TEST_F(RecordFilesTest, TwelveFieldWriterFeedsTheTwelveFieldLoader) {
  Value file = path("wide.txt");
  std::vector<Value> d = {Value(u"A1"),
                          Value(1.5),
                          Value(),
                          Value(u"x y"),
                          Value(true),
                          Value(i16{-7}),
                          Value(std::int32_t{70000}),
                          Value(0.25F),
                          Value(u"1,5"),
                          Value(u"東京"),
                          Value(1e-20),
                          Value(u"end")};
  filewright12(file, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10], d[11]);
  EXPECT_EQ(read("wide.txt"), bytes(u8"A1,1.5,,x y,True,-7,70000,0.25,\"1,5\",東京,1E-20,end\r\n"));
  std::vector<Value> data = columns(12, 1);
  Value datanum;
  load(12, file, data, datanum);
  const Value expected[] = {Value(u"A1"),
                            Value(1.5),
                            Value(),
                            Value(u"x y"),
                            Value(u"True"),
                            Value(i16{-7}),
                            Value(std::int32_t{70000}),
                            Value(0.25),
                            Value(u"1,5"),
                            Value(u"東京"),
                            Value(1e-20),
                            Value(u"end")};
  for (int k = 0; k < 12; ++k) {
    EXPECT_TRUE(sameKindAndValue(element(data, k, 1), expected[k]))
        << "field " << k + 1 << ": " << element(data, k, 1);
  }
}

TEST_F(RecordFilesTest, TextsThatWouldNotReadBackAreQuoted) {
  Value file = path("quotes.txt");
  std::vector<Value> record = {
      Value(u"a,b"), Value(u"say \"hi\""),    Value(u" lead"),      Value(u"trail\t"),
      Value(u"\"q"), Value(u"line\r\nbreak"), Value(u"plain text"), Value(2.5)};
  write8(file, record);
  write8(file, record);
  const std::string line =
      "\"a,b\",\"say \"\"hi\"\"\",\" lead\",\"trail\t\",\"\"\"q\",\"line\r\nbreak\","
      "plain text,2.5\r\n";
  EXPECT_EQ(read("quotes.txt"), line + line);
  std::vector<Value> data = columns(8, 2);
  Value datanum;
  load(8, file, data, datanum);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(i16{2})));
  for (int r = 1; r <= 2; ++r) {
    for (int k = 0; k < 8; ++k) {
      EXPECT_TRUE(sameKindAndValue(element(data, k, r), record[static_cast<std::size_t>(k)]))
          << "record " << r << " field " << k + 1 << ": " << element(data, k, r);
    }
  }
}

TEST_F(RecordFilesTest, EmptyFileLoadsNoRecord) {
  write("empty.txt", "");
  Value file = path("empty.txt");
  std::vector<Value> data = columns(8, 2);
  Value datanum(u"old");
  load(8, file, data, datanum);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(i16{0})));
  for (int k = 0; k < 8; ++k) {
    for (int r = 0; r <= 2; ++r) {
      EXPECT_TRUE(sameKindAndValue(element(data, k, r), kUntouched));
    }
  }
  EXPECT_FALSE(isFileOpen(1));
}

TEST_F(RecordFilesTest, ShiftJisRecordFileLoads) {
  Value file(std::u16string(u"" FBC_TEST_DATA_DIR) + u"/data/records_cp932.txt");
  std::vector<Value> data = columns(7, 2);
  Value datanum;
  load(7, file, data, datanum);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(i16{2})));
  const Value expected[2][7] = {
      {Value(u"A-101"), Value(u"10:00"), Value(u"山田"), Value(u"東洋電機"), Value(u"ｶﾞｿﾘﾝ"),
       Value(1.5), Value(u"備考あり")},
      {Value(u"B-202"), Value(u"11:30"), Value(u"佐藤"), Value(u"大阪, 本社"), Value(u"ﾃｰﾌﾞﾙ"),
       Value(i16{-3}), Value()},
  };
  for (int r = 1; r <= 2; ++r) {
    for (int k = 0; k < 7; ++k) {
      EXPECT_TRUE(sameKindAndValue(element(data, k, r), expected[r - 1][k]))
          << "record " << r << " field " << k + 1 << ": " << element(data, k, r);
    }
  }
}

// A load that fails part-way keeps the records before the failing one, leaves the failing one
// and datanum alone, and closes file number 1 so that the next call works.
TEST_F(RecordFilesTest, FailedLoadKeepsEarlierRecordsAndClosesTheFile) {
  std::string twelve;
  for (int k = 1; k <= 12; ++k) {
    twelve += std::to_string(k) + (k < 12 ? "," : "\r\n");
  }
  const struct {
    const char* name;
    std::string content;
    int upper;
    ErrorNumber error;
    int recordsStored;
  } cases[] = {
      {"more records than the arrays hold", "1,2,3\r\n4,5,6\r\n7,8,9\r\n", 2,
       ErrorNumber::SubscriptOutOfRange, 2},
      {"file ends inside a record", "1,2,3\r\n4,5\r\n", 3, ErrorNumber::InputPastEndOfFile, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    write("bad.txt", c.content);
    Value file = path("bad.txt");
    std::vector<Value> data = columns(3, c.upper);
    Value datanum(u"old");
    EXPECT_EQ(errorOf([&] { load(3, file, data, datanum); }), c.error);
    EXPECT_TRUE(sameKindAndValue(datanum, Value(u"old")));
    for (int r = 1; r <= c.upper; ++r) {
      const bool stored = r <= c.recordsStored;
      EXPECT_EQ(sameKindAndValue(element(data, 0, r), kUntouched), !stored) << "record " << r;
      EXPECT_EQ(sameKindAndValue(element(data, 2, r), kUntouched), !stored) << "record " << r;
    }
    EXPECT_FALSE(isFileOpen(1));
  }
}

TEST_F(RecordFilesTest, TwelveFieldFileReadInGroupsOfEight) {
  std::string line;
  for (int k = 1; k <= 12; ++k) {
    line += std::to_string(k) + (k < 12 ? "," : "\r\n");
  }
  Value file = path("twelve.txt");

  // Two lines hold 24 fields: three records of eight, whatever the line ends.
  write("twelve.txt", line + line);
  std::vector<Value> data = columns(8, 3);
  Value datanum;
  load(8, file, data, datanum);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(i16{3})));
  EXPECT_TRUE(sameKindAndValue(element(data, 0, 2), Value(i16{9})));
  EXPECT_TRUE(sameKindAndValue(element(data, 4, 2), Value(i16{1})));
  EXPECT_TRUE(sameKindAndValue(element(data, 7, 3), Value(i16{12})));

  // One line holds 12: the second record runs past the end.
  write("twelve.txt", line);
  data = columns(8, 3);
  datanum = Value(u"old");
  EXPECT_EQ(errorOf([&] { load(8, file, data, datanum); }), ErrorNumber::InputPastEndOfFile);
  EXPECT_TRUE(sameKindAndValue(element(data, 7, 1), Value(i16{8})));
  EXPECT_TRUE(sameKindAndValue(element(data, 0, 2), kUntouched));
  EXPECT_TRUE(sameKindAndValue(datanum, Value(u"old")));
  EXPECT_FALSE(isFileOpen(1));

  write("twelve.txt", line + line);
  load(8, file, data, datanum);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(i16{3})));
}

TEST_F(RecordFilesTest, ColumnThatIsNotAnArray) {
  write("a.txt", "1,2,3\r\n");
  Value file = path("a.txt");
  std::vector<Value> data = columns(3, 1);
  data[1] = Value(i16{0});
  Value datanum(u"old");
  EXPECT_EQ(errorOf([&] { load(3, file, data, datanum); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_TRUE(sameKindAndValue(element(data, 0, 1), kUntouched));
  EXPECT_FALSE(isFileOpen(1));
}

TEST_F(RecordFilesTest, MissingFileOrFolder) {
  std::vector<Value> data = columns(8, 1);
  Value datanum(u"old");
  Value missing = path("none.txt");
  EXPECT_EQ(errorOf([&] { load(8, missing, data, datanum); }), ErrorNumber::FileNotFound);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(u"old")));
  EXPECT_TRUE(sameKindAndValue(element(data, 0, 1), kUntouched));

  Value noFolder = path("nodir/log.txt");
  std::vector<Value> record(8, Value(i16{1}));
  EXPECT_EQ(errorOf([&] { write8(noFolder, record); }), ErrorNumber::PathNotFound);
  EXPECT_FALSE(isFileOpen(1));
}

TEST_F(RecordFilesTest, FileNumberOneAlreadyOpen) {
  write("other.txt", "x");
  write("log.txt", "1,2,3,4,5,6,7,8\r\n");
  openFile(1, path("other.txt").text(), FileMode::Input);
  Value file = path("log.txt");
  std::vector<Value> data = columns(8, 1);
  Value datanum(u"old");
  EXPECT_EQ(errorOf([&] { load(8, file, data, datanum); }), ErrorNumber::FileAlreadyOpen);
  std::vector<Value> record(8, Value(i16{9}));
  EXPECT_EQ(errorOf([&] { write8(file, record); }), ErrorNumber::FileAlreadyOpen);
  EXPECT_TRUE(sameKindAndValue(datanum, Value(u"old")));
  EXPECT_TRUE(sameKindAndValue(element(data, 0, 1), kUntouched));
  EXPECT_EQ(read("log.txt"), "1,2,3,4,5,6,7,8\r\n");
  // The caller's file stays open and unread.
  EXPECT_TRUE(sameKindAndValue(inputField(1), Value(u"x")));
}

TEST_F(RecordFilesTest, ValueWithoutTextLeavesTheFileUntouched) {
  write("log.txt", "1,2,3,4,5,6,7,8\r\n");
  Label label;
  Value file = path("log.txt");
  std::vector<Value> record(8, Value(i16{1}));
  record[7] = Value(label);
  EXPECT_EQ(errorOf([&] { write8(file, record); }), ErrorNumber::TypeMismatch);
  EXPECT_EQ(read("log.txt"), "1,2,3,4,5,6,7,8\r\n");
  EXPECT_FALSE(isFileOpen(1));
}

}  // namespace
}  // namespace fbc::macro
