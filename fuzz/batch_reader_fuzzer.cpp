// The batch reader on arbitrary bytes: never a crash or a hang; with a usable header, row
// numbers count up from 1, a row is either usable or says why not, and a usable row's texts
// are the base's or the fields', converted from UTF-8. Reading in one piece and through a
// stream that hands out a byte at a time gives the same rows, so the buffer's edges never
// change a record.

#include <cstdint>
#include <istream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/batch_reader.h"
#include "fuzz/fuzz_input.h"
#include "platform/csv_reader.h"

namespace {

using fbc::fuzz::check;

// Hands out its text one byte per read, the hardest case for a buffered reader.
class TrickleBuffer : public std::streambuf {
 public:
  explicit TrickleBuffer(const std::string& text) : text_(text) {}

 protected:
  int_type underflow() override {
    if (position_ >= text_.size()) {
      return traits_type::eof();
    }
    current_ = text_[position_];
    setg(&current_, &current_, &current_ + 1);
    ++position_;
    return traits_type::to_int_type(current_);
  }

 private:
  const std::string& text_;
  std::size_t position_ = 0;
  char current_ = 0;
};

std::vector<fbc::BatchRow> readAll(std::istream& in, std::string& headerProblem) {
  fbc::DesignInputs base;
  base.iout = u"2.5";
  fbc::BatchReader reader(in, base);
  headerProblem = reader.headerProblem();
  std::vector<fbc::BatchRow> rows;
  for (fbc::BatchRow row; reader.next(row);) {
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::istringstream whole(text);
  std::string headerProblem;
  const std::vector<fbc::BatchRow> rows = readAll(whole, headerProblem);

  check(headerProblem.empty() || rows.empty(), "rows after an unusable header");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    check(rows[i].number == static_cast<int>(i) + 1, "row numbers are not 1, 2, ...");
  }

  TrickleBuffer trickle(text);
  std::istream trickled(&trickle);
  std::string trickledProblem;
  const std::vector<fbc::BatchRow> again = readAll(trickled, trickledProblem);
  check(trickledProblem == headerProblem, "the header reads differently byte by byte");
  check(again.size() == rows.size(), "a different number of rows byte by byte");
  for (std::size_t i = 0; i < rows.size() && i < again.size(); ++i) {
    check(again[i].inputs == rows[i].inputs && again[i].reviewInputs == rows[i].reviewInputs &&
              again[i].problem == rows[i].problem,
          "a row reads differently byte by byte");
  }
  return 0;
}
