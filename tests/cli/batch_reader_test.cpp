#include "cli/batch_reader.h"

#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/csv_reader.h"

namespace fbc {
namespace {

struct Record {
  CsvReader::Status status;
  std::vector<std::string> fields;
};

std::vector<Record> records(const std::string& text) {
  std::istringstream in(text);
  CsvReader reader(in);
  std::vector<Record> all;
  std::vector<std::string> fields;
  std::string problem;
  for (CsvReader::Status s; (s = reader.next(fields, problem)) != CsvReader::Status::End;) {
    all.push_back({s, s == CsvReader::Status::Record ? fields : std::vector<std::string>{problem}});
  }
  return all;
}

using Fields = std::vector<std::string>;
constexpr auto kRecord = CsvReader::Status::Record;
constexpr auto kMalformed = CsvReader::Status::Malformed;

TEST(CsvReader, ReadsTheFormsOfRfc4180) {
  const struct {
    const char* name;
    std::string text;
    std::vector<Record> expected;
  } cases[] = {
      {"LF", "a,b\n1,2\n", {{kRecord, {"a", "b"}}, {kRecord, {"1", "2"}}}},
      {"CRLF", "a,b\r\n1,2\r\n", {{kRecord, {"a", "b"}}, {kRecord, {"1", "2"}}}},
      {"lone CR", "a\r1\r", {{kRecord, {"a"}}, {kRecord, {"1"}}}},
      {"no final break", "a,b\n1,2", {{kRecord, {"a", "b"}}, {kRecord, {"1", "2"}}}},
      {"byte-order mark", "\xEF\xBB\xBFvin\n1\n", {{kRecord, {"vin"}}, {kRecord, {"1"}}}},
      {"mark alone", "\xEF\xBB\xBF", {}},
      {"partial mark is text", "\xEF\xBBx\n", {{kRecord, {"\xEF\xBBx"}}}},
      {"blank lines", "\n\r\na\n\n\r\n1\n\n", {{kRecord, {"a"}}, {kRecord, {"1"}}}},
      {"empty fields", ",\n,,\n", {{kRecord, {"", ""}}, {kRecord, {"", "", ""}}}},
      {"quoted comma, quote and breaks",
       "\"1,5\",\"say \"\"hi\"\"\",\"two\r\nlines\"\n",
       {{kRecord, {"1,5", "say \"hi\"", "two\r\nlines"}}}},
      {"quoted empty", "\"\",x\n", {{kRecord, {"", "x"}}}},
      {"quote inside an unquoted field is text", "a\"b\n", {{kRecord, {"a\"b"}}}},
      {"UTF-8 kept", "コア\nＰＱ\n", {{kRecord, {"コア"}}, {kRecord, {"ＰＱ"}}}},
      {"text after a closing quote, reading goes on",
       "\"1\"2,3\n4\n",
       {{kMalformed, {"text after a field's closing quote"}}, {kRecord, {"4"}}}},
      {"unclosed quote",
       "1\n\"2,3\n4\n",
       {{kRecord, {"1"}},
        {kMalformed, {"a quoted field is not closed before the end of the input"}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Record> got = records(c.text);
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].status, c.expected[i].status) << i;
      EXPECT_EQ(got[i].fields, c.expected[i].fields) << i;
    }
  }
}

// Hands out its text one byte per read, as a slow pipe may.
class TrickleBuffer : public std::streambuf {
 public:
  explicit TrickleBuffer(std::string text) : text_(std::move(text)) {}

 protected:
  int_type underflow() override {
    if (next_ >= text_.size()) {
      return traits_type::eof();
    }
    setg(&text_[next_], &text_[next_], &text_[next_] + 1);
    ++next_;
    return traits_type::to_int_type(text_[next_ - 1]);
  }

 private:
  std::string text_;
  std::size_t next_ = 0;
};

TEST(CsvReader, AByteOrderMarkArrivingByteByByteIsStillDropped) {
  for (const std::string& text : {std::string("\xEF\xBB\xBFvin\n1\n"), std::string("\xEF\xBB")}) {
    TrickleBuffer trickle(text);
    std::istream in(&trickle);
    CsvReader reader(in);
    std::vector<std::string> fields;
    std::string problem;
    if (text.size() == 2) {  // a partial mark is text
      ASSERT_EQ(reader.next(fields, problem), kRecord);
      EXPECT_EQ(fields, (Fields{"\xEF\xBB"}));
      continue;
    }
    ASSERT_EQ(reader.next(fields, problem), kRecord);
    EXPECT_EQ(fields, (Fields{"vin"}));
    ASSERT_EQ(reader.next(fields, problem), kRecord);
    EXPECT_EQ(fields, (Fields{"1"}));
    EXPECT_EQ(reader.next(fields, problem), CsvReader::Status::End);
  }
}

TEST(CsvReader, ARecordLongerThanTheBufferIsWhole) {
  const std::string longField(200000, 'x');
  const std::vector<Record> got = records("a,\"" + longField + "\"\n" + longField + "\n");
  ASSERT_EQ(got.size(), 2U);
  EXPECT_EQ(got[0].fields, (Fields{"a", longField}));
  EXPECT_EQ(got[1].fields, (Fields{longField}));
}

std::vector<BatchRow> rows(const std::string& text, std::string* headerProblem = nullptr) {
  std::istringstream in(text);
  DesignInputs base;
  base.iout = u"2.5";  // as if --iout 2.5 was given
  BatchReader reader(in, base);
  if (headerProblem != nullptr) {
    *headerProblem = reader.headerProblem();
  }
  std::vector<BatchRow> all;
  for (BatchRow row; reader.next(row);) {
    all.push_back(row);
  }
  return all;
}

TEST(BatchReader, ColumnsInAnyOrderAndMissingOnesFromTheBase) {
  const std::vector<BatchRow> got = rows("core,level,vin\nPQ3230,hi,141\n\nEER28,lo,1e2\n");
  ASSERT_EQ(got.size(), 2U);
  EXPECT_EQ(got[0].number, 1);
  EXPECT_EQ(got[1].number, 2);  // the blank line is not a row
  EXPECT_EQ(got[0].inputs.core, u"PQ3230");
  EXPECT_EQ(got[0].inputs.level, CoreLevel::Hi);
  EXPECT_EQ(got[0].inputs.vin, u"141");
  EXPECT_EQ(got[0].inputs.iout, u"2.5");  // the base
  EXPECT_EQ(got[0].inputs.vout, u"24");   // the window's start text
  // Every row starts afresh from the base.
  EXPECT_EQ(got[1].inputs.level, CoreLevel::Lo);
  EXPECT_EQ(got[1].inputs.core, u"EER28");
  for (const BatchRow& row : got) {
    EXPECT_EQ(row.problem, "");
  }
}

TEST(BatchReader, ABadRowIsReportedAndTheNextOneRead) {
  const std::vector<BatchRow> got =
      rows("vin,level\n141,hi\n141\n141,warm\n\"1\"4,hi\n100,typ\n141,hi,extra\n");
  ASSERT_EQ(got.size(), 6U);
  EXPECT_EQ(got[0].problem, "");
  EXPECT_EQ(got[1].problem, "1 fields where the header names 2");
  EXPECT_EQ(got[2].problem, "level \"warm\": expected hi, typ or lo");
  EXPECT_EQ(got[3].problem, "not valid CSV: text after a field's closing quote");
  EXPECT_EQ(got[4].problem, "");
  EXPECT_EQ(got[4].inputs.vin, u"100");
  EXPECT_EQ(got[5].problem, "3 fields where the header names 2");
  EXPECT_EQ(got[5].number, 6);
}

TEST(BatchReader, AnUnusableHeaderGivesNoRows) {
  const struct {
    std::string text;
    std::string problem;
  } cases[] = {
      {"",
       "no header row naming the columns (vin, vout, iout, fs, vf, effi, duty, core, level, "
       "material, ambient, max-temperature, current-limit, vinmax, leakage, clamp-ratio, "
       "vds-rating, mode, "
       "ripple, drain-capacitance, wire-primary, wire-secondary, arrangement, vac-min, vac-max, "
       "line-frequency, bulk-capacitance, charge-duty, outputs, bias, secondary-turns, insulation, "
       "construction, working-voltage, pins)"},
      {"\n\n",
       "no header row naming the columns (vin, vout, iout, fs, vf, effi, duty, core, level, "
       "material, ambient, max-temperature, current-limit, vinmax, leakage, clamp-ratio, "
       "vds-rating, mode, "
       "ripple, drain-capacitance, wire-primary, wire-secondary, arrangement, vac-min, vac-max, "
       "line-frequency, bulk-capacitance, charge-duty, outputs, bias, secondary-turns, insulation, "
       "construction, working-voltage, pins)"},
      {"vin,Vout\n1,2\n",
       "unknown column \"Vout\" (expected any of vin, vout, iout, fs, vf, effi, duty, core, "
       "level, material, ambient, max-temperature, current-limit, vinmax, leakage, clamp-ratio, "
       "vds-rating, mode, "
       "ripple, drain-capacitance, wire-primary, wire-secondary, arrangement, vac-min, vac-max, "
       "line-frequency, bulk-capacitance, charge-duty, outputs, bias, secondary-turns, insulation, "
       "construction, working-voltage, pins)"},
      {"vin,vin\n1,2\n", "column \"vin\" appears twice"},
      {"\"vin\n",
       "the header row is not valid CSV: a quoted field is not closed before the end of "
       "the input"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string problem;
    EXPECT_TRUE(rows(c.text, &problem).empty());
    EXPECT_EQ(problem, c.problem);
  }
  // A header alone is a batch of no rows.
  std::string problem;
  EXPECT_TRUE(rows("vin\n", &problem).empty());
  EXPECT_EQ(problem, "");
}

}  // namespace
}  // namespace fbc
