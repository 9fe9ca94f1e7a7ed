#include "cli/batch_run.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cli/batch_reader.h"
#include "cli/flyback_calc.h"
#include "cli/json_writer.h"
#include "cli/report.h"
#include "design/core_catalogue.h"
#include "platform/text.h"

namespace fbc {

namespace {

// Batch messages name the columns, as written in the header.
constexpr std::string_view kColumnPrefix = "";

constexpr std::string_view kRow = "row";
constexpr std::string_view kStatus = "status";
constexpr std::string_view kMessage = "message";

// The outcome of one row, in either format.
class RowWriter {
 public:
  virtual ~RowWriter() = default;
  virtual void ok(int row, const DesignReport& report) = 0;
  virtual void error(int row, const std::string& message) = 0;
};

class JsonLines final : public RowWriter {
 public:
  explicit JsonLines(std::ostream& out) : json_(out, JsonLayout::Compact) {}

  void ok(int row, const DesignReport& report) override {
    begin(row, "ok");
    writeReportMembers(json_, report);
    end();
  }
  void error(int row, const std::string& message) override {
    begin(row, "error");
    json_.key(kMessage);
    json_.value(std::string_view(message));
    end();
  }

 private:
  // One writer for every row: a finished document leaves it ready for the next, its buffer
  // kept.
  void begin(int row, std::string_view status) {
    json_.beginObject();
    json_.key(kRow);
    json_.value(row);
    json_.key(kStatus);
    json_.value(status);
  }
  void end() {
    json_.endObject();
    json_.finish();
  }

  JsonWriter json_;
};

// A CSV cell: quoted when it holds a comma, a quote or a line break.
void appendCell(std::string& out, std::string_view text) {
  // A plain loop: find_first_of searches the set once per character.
  const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
  });
  if (plain) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') {
      out += '"';
    }
    out += c;
  }
  out += '"';
}

// The dotted paths of a report's scalars, in the order the report writes them.
class PathList final : public JsonScalarSink {
 public:
  void scalar(std::string_view path, std::string_view, Kind) override { paths.emplace_back(path); }
  std::vector<std::string> paths;
};

class CsvRows final : public RowWriter, private JsonScalarSink {
 public:
  // `model` gives the columns in the order they always stood; `fullest`, a design with every
  // further output and the bias, the columns only such a design has, appended after them.
  CsvRows(std::ostream& out, const DesignReport& model, const DesignReport& fullest) : out_(out) {
    PathList list;
    list.paths = {std::string(kRow), std::string(kStatus), std::string(kMessage)};
    {
      JsonWriter json(list);
      json.beginObject();
      writeReportMembers(json, model);
      json.endObject();
    }
    PathList more;
    {
      JsonWriter json(more);
      json.beginObject();
      writeReportMembers(json, fullest);
      json.endObject();
    }
    const std::unordered_set<std::string> known(list.paths.begin(), list.paths.end());
    // Members that came later stand after every column that stood before them, the fullest
    // design's included, so that columns read by position stay put.
    const auto later = [](const std::string& path) { return path.starts_with("isolation."); };
    std::erase_if(list.paths, later);
    for (std::string& path : more.paths) {
      if (!known.contains(path) && !later(path)) {
        list.paths.push_back(path);
      }
    }
    std::copy_if(more.paths.begin(), more.paths.end(), std::back_inserter(list.paths), later);
    std::string header;
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
      columns_.emplace(list.paths[i], i);
      if (i > 0) {
        header += ',';
      }
      appendCell(header, list.paths[i]);
    }
    out_ << header << '\n';
    paths_ = std::move(list.paths);
    cells_.resize(paths_.size());
  }

  void ok(int row, const DesignReport& report) override {
    start(row, "ok");
    JsonWriter json(static_cast<JsonScalarSink&>(*this));
    json.beginObject();
    writeReportMembers(json, report);
    json.endObject();
    flush();
  }
  void error(int row, const std::string& message) override {
    start(row, "error");
    cells_[2] = message;
    flush();
  }

 private:
  void scalar(std::string_view path, std::string_view text, Kind) override {
    // Usually the path is the next column's, as the report writes its members in order.
    if (next_ < paths_.size() && paths_[next_] == path) {
      cells_[next_++].assign(text);
      return;
    }
    // A path the model report lacks has no column.
    if (const auto column = columns_.find(std::string(path)); column != columns_.end()) {
      cells_[column->second].assign(text);
      next_ = column->second + 1;
    }
  }
  void start(int row, std::string_view status) {
    for (std::string& cell : cells_) {
      cell.clear();
    }
    cells_[0] = std::to_string(row);
    cells_[1] = status;
    next_ = 3;  // after row, status and message
  }
  void flush() {
    line_.clear();
    for (std::size_t i = 0; i < cells_.size(); ++i) {
      if (i > 0) {
        line_ += ',';
      }
      appendCell(line_, cells_[i]);
    }
    line_ += '\n';
    out_ << line_;
  }

  std::ostream& out_;
  std::vector<std::string> paths_;
  std::unordered_map<std::string, std::size_t> columns_;
  std::vector<std::string> cells_;
  std::size_t next_ = 0;
  std::string line_;
};

// Review conditions with every output a design may have beside the main one, and a bias.
ReviewInputs fullestInputs() {
  ReviewInputs inputs;
  std::u16string outputs;
  for (int k = 0; k < kMostExtraOutputs; ++k) {
    outputs += (outputs.empty() ? u"" : u";") + std::u16string(u"5,0.1");
  }
  inputs.text(ReviewInput::Outputs) = outputs;
  inputs.text(ReviewInput::Bias) = u"12";
  return inputs;
}

}  // namespace

bool runBatch(std::istream& in, const CliOptions& options, std::ostream& out, std::ostream& err) {
  BatchReader reader(in, options.inputs, options.reviewInputs);
  if (!reader.headerProblem().empty()) {
    throw InputError("--batch " + messageQuote(options.batch, kLongQuoteLimit) + ": " +
                     reader.headerProblem());
  }
  const CoreCatalogue catalogue;
  std::unique_ptr<RowWriter> writer;
  if (options.format == OutputFormat::Json) {
    writer = std::make_unique<JsonLines>(out);
  } else {
    // The window's start values always complete, so the model has every member; the fullest
    // model adds every further output, the bias and their windings.
    writer = std::make_unique<CsvRows>(out, designFor(DesignInputs{}, catalogue),
                                       designFor(DesignInputs{}, catalogue, "--", fullestInputs()));
  }

  bool allDone = true;
  BatchRow row;
  while (reader.next(row)) {
    if (!row.problem.empty()) {
      writer->error(row.number, row.problem);
      allDone = false;
      continue;
    }
    try {
      // A --vin on the command line counts where no column of the row replaces it.
      const bool vinGiven = row.vinGiven || (options.vinGiven && !reader.names(DesignInput::Vin));
      refuseInputVoltageWithMains(row.inputs, vinGiven, row.reviewInputs, kColumnPrefix);
      // The valley replaces the input voltage: an empty vin cell beside a mains input is none.
      if (mainsGiven(row.reviewInputs) && !vinGiven) {
        row.inputs.vin = options.inputs.vin;
      }
      for (const std::string& warning : applyLimitRules(row.inputs, kColumnPrefix)) {
        err << "flyback-calc: row " << row.number << ": warning: " << warning << '\n';
      }
      writer->ok(row.number, designFor(row.inputs, catalogue, kColumnPrefix, row.reviewInputs));
    } catch (const InputError& error) {
      writer->error(row.number, error.what());
      allDone = false;
    }
  }
  return allDone;
}

}  // namespace fbc
