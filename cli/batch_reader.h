#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "design/design_inputs.h"
#include "platform/csv_reader.h"
#include "review/review_inputs.h"

namespace fbc {

// The columns a batch's header may name, in the options' order, for messages and the help:
// "vin, vout, ..., level, material, ..., vds-rating".
std::string batchColumnList();

// One data row of a batch: the inputs it specifies on top of the base inputs, or why it
// cannot be read.
struct BatchRow {
  int number = 0;  // 1-based, counting data rows only (no header, no blank lines)
  DesignInputs inputs;
  ReviewInputs reviewInputs;
  bool vinGiven = false;  // the row's vin column holds a value
  std::string problem;    // empty for a usable row
};

// Reads a batch of designs as CSV, one row at a time: a header naming any of
// the input keys ("vin", "vout", ..., "core"), "level" and the review's inputs' columns
// ("material", ..., "vinmax", "vds-rating"), in any order, then one row per design. A column left
// out keeps the base inputs' text; every row starts from the base afresh. Values are the texts a
// person would type; judging them is left to the limit rules and the calculation, except the level,
// which must be a level name ("hi", "typ", "lo").
class BatchReader {
 public:
  BatchReader(std::istream& in, DesignInputs base, ReviewInputs reviewBase = {});

  // Empty when the header is usable; otherwise why not (no header, an unknown or repeated
  // column), and next() gives nothing.
  const std::string& headerProblem() const { return headerProblem_; }

  // The next data row; false at the end.
  bool next(BatchRow& row);

  // Whether the header names the design input's column.
  bool names(DesignInput input) const;

 private:
  // Where each column goes: a design input, a review input, or the level.
  struct Column {
    DesignInput input = DesignInput::None;  // None: a review input or the level
    std::optional<ReviewInput> review;      // nothing: the level
  };

  CsvReader csv_;
  DesignInputs base_;
  ReviewInputs reviewBase_;
  std::vector<Column> columns_;
  std::vector<std::string> fields_;
  std::string problem_;
  std::string headerProblem_;
  int rows_ = 0;
};

}  // namespace fbc
