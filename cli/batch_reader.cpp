#include "cli/batch_reader.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"

namespace fbc {

namespace {

constexpr std::string_view kLevelColumn = "level";

// A line of nothing but blanks is as empty as an empty one.
bool isBlankRecord(const std::vector<std::string>& fields) {
  return fields.size() == 1 && std::all_of(fields[0].begin(), fields[0].end(),
                                           [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

std::string batchColumnList() {
  std::string list;
  for (DesignInput input : kInputPresentationOrder) {
    list.append(inputInfo(input)->key).append(", ");
  }
  list.append(kLevelColumn);
  for (const ReviewInputInfo& info : kReviewInputTable) {
    list.append(", ").append(info.column);
  }
  return list;
}

BatchReader::BatchReader(std::istream& in, DesignInputs base, ReviewInputs reviewBase)
    : csv_(in), base_(std::move(base)), reviewBase_(std::move(reviewBase)) {
  CsvReader::Status status;
  do {
    status = csv_.next(fields_, problem_);
  } while (status == CsvReader::Status::Record && isBlankRecord(fields_));
  if (status == CsvReader::Status::End) {
    headerProblem_ = "no header row naming the columns (" + batchColumnList() + ")";
    return;
  }
  if (status == CsvReader::Status::Malformed) {
    headerProblem_ = "the header row is not valid CSV: " + problem_;
    return;
  }
  std::vector<std::string_view> seen;
  for (const std::string& name : fields_) {
    Column column;
    if (const ReviewInputInfo* review = reviewInputInfoByColumn(name)) {
      column.review = review->input;
    } else if (name != kLevelColumn) {
      const InputInfo* info = inputInfoByKey(name);
      if (info == nullptr) {
        headerProblem_ = "unknown column \"" + messageQuote(name) + "\" (expected any of " +
                         batchColumnList() + ")";
        return;
      }
      column.input = info->input;
    }
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
      headerProblem_ = "column \"" + messageQuote(name) + "\" appears twice";
      return;
    }
    seen.push_back(name);
    columns_.push_back(column);
  }
}

bool BatchReader::names(DesignInput input) const {
  return std::any_of(columns_.begin(), columns_.end(),
                     [input](const Column& column) { return column.input == input; });
}

bool BatchReader::next(BatchRow& row) {
  if (!headerProblem_.empty()) {
    return false;
  }
  CsvReader::Status status;
  do {
    status = csv_.next(fields_, problem_);
  } while (status == CsvReader::Status::Record && isBlankRecord(fields_));
  if (status == CsvReader::Status::End) {
    return false;
  }
  row.number = ++rows_;
  row.inputs = base_;
  row.reviewInputs = reviewBase_;
  row.vinGiven = false;
  row.problem.clear();
  if (status == CsvReader::Status::Malformed) {
    row.problem = "not valid CSV: " + problem_;
    return true;
  }
  if (fields_.size() != columns_.size()) {
    row.problem = std::to_string(fields_.size()) + " fields where the header names " +
                  std::to_string(columns_.size());
    return true;
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].input != DesignInput::None) {
      *inputText(row.inputs, columns_[i].input) = fromUtf8(fields_[i]);
      row.vinGiven = row.vinGiven || (columns_[i].input == DesignInput::Vin &&
                                      fields_[i].find_first_not_of(" \t") != std::string::npos);
      continue;
    }
    if (columns_[i].review) {
      row.reviewInputs.text(*columns_[i].review) = fromUtf8(fields_[i]);
      continue;
    }
    if (const std::optional<CoreLevel> level = levelFromName(fields_[i])) {
      row.inputs.level = *level;
    } else {
      row.problem = "level \"" + messageQuote(fields_[i]) + "\": expected hi, typ or lo";
      return true;
    }
  }
  return true;
}

}  // namespace fbc
