#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

ErrorNumber errorOf(const auto& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return ErrorNumber{};
}

// Seven record columns 0..upper; field k of record r is the text "<letter k><r>".
struct Records {
  std::vector<Value> columns;

  explicit Records(int upper) {
    for (char letter = 'a'; letter < 'a' + 7; ++letter) {
      auto array = ColumnArray::make(0, upper);
      for (int r = 0; r <= upper; ++r) {
        const std::string text = letter + std::to_string(r);
        array->at(r) = Value(std::u16string(text.begin(), text.end()));
      }
      columns.emplace_back(array);
    }
  }

  void view(Value& lblview, Value dataviewnum, Value datanum) {
    auto& c = columns;
    viewlbl7(lblview, dataviewnum, c[0], c[1], c[2], c[3], c[4], c[5], c[6], datanum);
  }
};

std::u16string listingLine(int r) {
  const std::u16string n = std::u16string(1, static_cast<char16_t>(u'0' + r % 10));
  const std::u16string tens =
      r >= 10 ? std::u16string(1, static_cast<char16_t>(u'0' + r / 10)) : u"";
  const std::u16string s = tens + n;
  return u"a" + s + u"    ,b" + s + u",c" + s + u"  ,d" + s + u"  ,e" + s + u"   ,f" + s +
         u"       ,g" + s + u"\r\n";
}

TEST(Viewlbl7Test, AppendsTheWindowOfRecords) {
  const struct {
    int datanum;
    int dataviewnum;
    int first;  // 0: nothing appended
  } cases[] = {
      {10, 3, 7}, {3, 3, 1}, {4, 3, 1}, {2, 5, 1}, {0, 3, 0}, {1, 0, 1}, {5, 0, 5},
  };
  Records records(10);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "datanum " << c.datanum << ", dataviewnum " << c.dataviewnum);
    Value lblview(u"kept\r\n");
    records.view(lblview, Value(static_cast<i16>(c.dataviewnum)),
                 Value(static_cast<i16>(c.datanum)));
    std::u16string expected = u"kept\r\n";
    for (int r = c.first; c.first > 0 && r <= c.datanum; ++r) {
      expected += listingLine(r);
    }
    EXPECT_TRUE(sameKindAndValue(lblview, Value(expected))) << lblview;
  }
}

TEST(Viewlbl7Test, SeparatorsAndValueText) {
  std::vector<Value> c;
  const Value fields[] = {Value(u"A1"), Value(u"10:00"), Value(u"S"), Value(u"C"),
                          Value(u"x"),  Value(u"y"),     Value(u"z")};
  for (const Value& field : fields) {
    auto array = ColumnArray::make(1, 2);
    array->at(1) = field;
    array->at(2) = Value(2.5F);
    c.emplace_back(array);
  }
  c[6].array().at(2) = Value();
  Value lblview;
  Value dataviewnum(i16{5});
  Value datanum(i16{2});
  viewlbl7(lblview, dataviewnum, c[0], c[1], c[2], c[3], c[4], c[5], c[6], datanum);
  EXPECT_TRUE(sameKindAndValue(lblview, Value(u"A1    ,10:00,S  ,C  ,x   ,y       ,z\r\n"
                                              u"2.5    ,2.5,2.5  ,2.5  ,2.5   ,2.5       ,\r\n")))
      << lblview;
}

TEST(Viewlbl7Test, RecordOutsideTheArraysStopsAfterTheLinesBefore) {
  Records records(10);
  Value lblview;
  EXPECT_EQ(errorOf([&] { records.view(lblview, Value(i16{3}), Value(i16{12})); }),
            ErrorNumber::SubscriptOutOfRange);
  EXPECT_TRUE(sameKindAndValue(lblview, Value(listingLine(9) + listingLine(10))));

  records.columns[4] = Value(u"not an array");
  lblview = Value(u"kept");
  EXPECT_EQ(errorOf([&] { records.view(lblview, Value(i16{3}), Value(i16{2})); }),
            ErrorNumber::SubscriptOutOfRange);
  EXPECT_TRUE(sameKindAndValue(lblview, Value(u"kept")));
}

// A scroll bar as Sel_Reg leaves it, moved to `position`.
void moveTo(ScrollBar& bar, i16 position) {
  bar.setMax(0);
  bar.setMin(60);
  bar.setValue(position);
}

TEST(SelRegTest, PositionGivesPreferredNumber) {
  const struct {
    i16 position;
    Value e12;
    Value e24;
  } cases[] = {
      {0, Value(i16{10}), Value(i16{11})},
      {4, Value(i16{22}), Value(i16{24})},
      {11, Value(i16{82}), Value(i16{91})},
      {12, Value(i16{100}), Value(i16{110})},
      {35, Value(i16{8200}), Value(i16{9100})},
      {36, Value(i16{10000}), Value(i16{11000})},
      {48, Value(std::int32_t{100000}), Value(std::int32_t{110000})},
      {59, Value(std::int32_t{820000}), Value(std::int32_t{910000})},
      {60, Value(std::int32_t{1000000}), Value(std::int32_t{1000000})},
  };
  for (const auto& c : cases) {
    for (const bool e24 : {false, true}) {
      SCOPED_TRACE(testing::Message() << "position " << c.position << (e24 ? " E24" : " E12"));
      ScrollBar bar;
      moveTo(bar, c.position);
      Value series = e24 ? Value(i16{24}) : Value(i16{12});
      Value bar_name(bar);
      Value output(u"old");
      Sel_Reg(series, bar_name, output);
      EXPECT_TRUE(sameKindAndValue(output, e24 ? c.e24 : c.e12)) << output;
      EXPECT_EQ(bar.max(), 0);
      EXPECT_EQ(bar.min(), 60);
      EXPECT_EQ(bar.smallChange(), 1);
      EXPECT_EQ(bar.value(), c.position);
    }
  }
}

TEST(SelRegTest, SeriesChoosesTheTable) {
  const struct {
    const char* name;
    Value series;
    Value output;
  } cases[] = {
      {"empty", Value(), Value(i16{22})},
      {"24 as a float", Value(24.0), Value(i16{24})},
      {"24 as a text", Value(u"24"), Value(i16{24})},
      {"6", Value(i16{6}), Value(i16{22})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScrollBar bar;
    moveTo(bar, 4);
    Value series = c.series;
    Value bar_name(bar);
    Value output;
    Sel_Reg(series, bar_name, output);
    EXPECT_TRUE(sameKindAndValue(output, c.output)) << output;
  }
}

TEST(SelRegTest, FailuresLeaveOutputAlone) {
  ScrollBar bar;
  moveTo(bar, 4);
  Value bar_name(bar);
  Value output(u"old");
  Value text_series(u"E24");
  EXPECT_EQ(errorOf([&] { Sel_Reg(text_series, bar_name, output); }), ErrorNumber::TypeMismatch);
  Value series(i16{24});
  Value no_bar(i16{1});
  EXPECT_EQ(errorOf([&] { Sel_Reg(series, no_bar, output); }), ErrorNumber::ObjectLacksProperty);
  Label label;
  Value label_name(label);
  EXPECT_EQ(errorOf([&] { Sel_Reg(series, label_name, output); }),
            ErrorNumber::ObjectLacksProperty);
  EXPECT_TRUE(sameKindAndValue(output, Value(u"old")));
}

struct ClampCase {
  const char* name;
  Value before;
  Value after;
};

const ClampCase kClampCases[] = {
    {"below", Value(i16{-5}), Value(i16{0})},
    {"above", Value(i16{150}), Value(i16{100})},
    {"inside", Value(i16{42}), Value(i16{42})},
    {"inside, type kept", Value(42.5F), Value(42.5F)},
    {"at the lower limit", Value(0.0), Value(0.0)},
    {"at the upper limit", Value(100.0), Value(100.0)},
    {"empty counts as 0", Value(), Value()},
    {"a text counts as larger", Value(u"50"), Value(i16{100})},
};

TEST(TxtvsbTest, Txtvsb0ClampsTheTextAndCopiesIt) {
  for (const ClampCase& c : kClampCases) {
    SCOPED_TRACE(c.name);
    ScrollBar bar;
    Value bar_name(bar);
    Value txt = c.before;
    Value maxValue(i16{100});
    Value minValue(i16{0});
    Value output(u"old");
    txtvsb0(txt, bar_name, maxValue, minValue, output);
    EXPECT_TRUE(sameKindAndValue(txt, c.after)) << txt;
    EXPECT_TRUE(sameKindAndValue(output, c.after)) << output;
    EXPECT_EQ(bar.max(), 0);
    EXPECT_EQ(bar.min(), 100);
    EXPECT_EQ(bar.smallChange(), 1);
  }
}

TEST(TxtvsbTest, Txtvsb1ClampsOutputInPlace) {
  for (const ClampCase& c : kClampCases) {
    SCOPED_TRACE(c.name);
    ScrollBar bar;
    Value bar_name(bar);
    Value maxValue(i16{100});
    Value minValue(i16{0});
    Value change(i16{5});
    Value output = c.before;
    txtvsb1(bar_name, maxValue, minValue, change, output);
    EXPECT_TRUE(sameKindAndValue(output, c.after)) << output;
    EXPECT_EQ(bar.max(), 0);
    EXPECT_EQ(bar.min(), 100);
    EXPECT_EQ(bar.smallChange(), 5);
  }
}

TEST(TxtvsbTest, RefusedStepKeepsEarlierPropertiesAndLeavesTheValue) {
  ScrollBar bar;
  Value bar_name(bar);
  Value maxValue(i16{100});
  Value minValue(i16{10});
  Value change(i16{0});
  Value output(i16{500});
  EXPECT_EQ(errorOf([&] { txtvsb1(bar_name, maxValue, minValue, change, output); }),
            ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(bar.max(), 10);
  EXPECT_EQ(bar.min(), 100);
  EXPECT_TRUE(sameKindAndValue(output, Value(i16{500})));
}

class SeledataTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "fbc-seledata-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    previous_ = fs::current_path();
    fs::current_path(folder_);
  }
  void TearDown() override {
    closeAllFiles();
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }

  void writeTable(const std::string& content) const {
    std::ofstream(folder_ / "IPM_VI2.txt", std::ios::binary) << content;
  }

  fs::path folder_;
  fs::path previous_;
};

TEST_F(SeledataTest, ReadsTheWholeTableAndClosesOnlyFileOne) {
  writeTable("0,0\r\n1,10\r\n2,20\r\n");
  std::ofstream(folder_ / "other.txt") << "x";
  openFile(2, (folder_ / "other.txt").u16string(), FileMode::Input);
  Value file;
  Value filenum;
  Seledata(file, filenum);
  EXPECT_FALSE(isFileOpen(1));
  EXPECT_TRUE(isFileOpen(2));
}

TEST_F(SeledataTest, BadTablesCloseFileOne) {
  const struct {
    const char* name;
    std::string content;
    ErrorNumber error;
  } cases[] = {
      {"odd field count", "0,0\r\n1,10\r\n2,20\r\n3\r\n", ErrorNumber::InputPastEndOfFile},
      {"text field", "0,0\r\n1,ten\r\n", ErrorNumber::TypeMismatch},
      {"empty field", "0,0\r\n1,\r\n", ErrorNumber::TypeMismatch},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeTable(c.content);
    Value file;
    Value filenum;
    EXPECT_EQ(errorOf([&] { Seledata(file, filenum); }), c.error);
    EXPECT_FALSE(isFileOpen(1));
  }
}

TEST_F(SeledataTest, MissingTableOrFileOneOpen) {
  Value file;
  Value filenum;
  EXPECT_EQ(errorOf([&] { Seledata(file, filenum); }), ErrorNumber::FileNotFound);
  writeTable("0,0\r\n");
  openFile(1, u"IPM_VI2.txt", FileMode::Input);
  EXPECT_EQ(errorOf([&] { Seledata(file, filenum); }), ErrorNumber::FileAlreadyOpen);
  EXPECT_TRUE(isFileOpen(1));
}

TEST_F(SeledataTest, LookupInterpolatesBetweenConsecutivePairs) {
  writeTable("0,0\r\n1,10\r\n2,20\r\n4,0\r\n");
  const struct {
    Value query;
    Value ordinate;
  } cases[] = {
      {Value(0.5), Value(5.0)},     {Value(i16{1}), Value(10.0)}, {Value(1.5F), Value(15.0F)},
      {Value(i16{3}), Value(10.0)}, {Value(i16{4}), Value(0.0)},  {Value(), Value()},
      {Value(i16{0}), Value()},     {Value(i16{5}), Value()},     {Value(-1.0), Value()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "query " << c.query);
    Value file;
    Value filenum;
    Value q1 = c.query;
    Value q2(2.5);
    Value y1(u"old");
    Value y2(u"old");
    SeledataLookup(file, filenum, q1, q2, y1, y2);
    EXPECT_TRUE(sameKindAndValue(y1, c.ordinate)) << y1;
    EXPECT_TRUE(sameKindAndValue(y2, Value(15.0))) << y2;
    EXPECT_FALSE(isFileOpen(1));
  }
}

TEST_F(SeledataTest, LookupFailureLeavesResultsAlone) {
  writeTable("0,0\r\n1,10\r\n2\r\n");
  Value file;
  Value filenum;
  Value q1(0.5);
  Value q2(u"x");
  Value y1(u"old");
  Value y2(u"old");
  EXPECT_EQ(errorOf([&] { SeledataLookup(file, filenum, q1, q2, y1, y2); }),
            ErrorNumber::TypeMismatch);
  q2 = Value(0.5);
  EXPECT_EQ(errorOf([&] { SeledataLookup(file, filenum, q1, q2, y1, y2); }),
            ErrorNumber::InputPastEndOfFile);
  EXPECT_TRUE(sameKindAndValue(y1, Value(u"old")));
  EXPECT_TRUE(sameKindAndValue(y2, Value(u"old")));
  EXPECT_FALSE(isFileOpen(1));
}

}  // namespace
}  // namespace fbc::macro
