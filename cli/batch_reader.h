#pragma once

#include <istream>
#include <string>
#include <vector>

#include "design/design_inputs.h"
#include "platform/csv_reader.h"

namespace fbc {

// One data row of a batch: the inputs it specifies on top of the base inputs, or why it
// cannot be read.
struct BatchRow {
  int number = 0;  // 1-based, counting data rows only (no header, no blank lines)
  DesignInputs inputs;
  std::string problem;  // empty for a usable row
};

// Reads a batch of designs as CSV, one row at a time: a header naming any of
// the input keys ("vin", "vout", ..., "core") and "level", in any order, then one row per
// design. A column left out keeps the base inputs' text; every row starts from the base
// afresh. Values are the texts a person would type; judging them is left to the limit rules
// and the calculation, except the level, which must be a level name ("hi", "typ", "lo").
class BatchReader {
 public:
  BatchReader(std::istream& in, DesignInputs base);

  // Empty when the header is usable; otherwise why not (no header, an unknown or repeated
  // column), and next() gives nothing.
  const std::string& headerProblem() const { return headerProblem_; }

  // The next data row; false at the end.
  bool next(BatchRow& row);

 private:
  // Where each column goes: an input, or the level.
  struct Column {
    DesignInput input = DesignInput::None;  // None: the level
  };

  CsvReader csv_;
  DesignInputs base_;
  std::vector<Column> columns_;
  std::vector<std::string> fields_;
  std::string problem_;
  std::string headerProblem_;
  int rows_ = 0;
};

}  // namespace fbc
