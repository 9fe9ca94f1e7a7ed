#pragma once

#include <istream>
#include <string>
#include <vector>

namespace fbc {

// Reads CSV records (RFC 4180) one at a time from a stream, holding only the record at hand:
// fields separated by commas, records ended by LF or CRLF (a lone CR too), a field in double
// quotes may hold commas, line breaks and doubled quotes. A UTF-8 byte-order mark before the
// first record is dropped. Lines that are empty are skipped.
class CsvReader {
 public:
  enum class Status {
    Record,     // `fields` holds the next record
    Malformed,  // the record broke the quoting rules; `problem` says how; reading goes on
    End,
  };

  explicit CsvReader(std::istream& in) : in_(in) {}

  Status next(std::vector<std::string>& fields, std::string& problem);

 private:
  // The next byte, or -1 at the end.
  int get() {
    if (position_ == filled_ && !refill()) {
      return -1;
    }
    return static_cast<unsigned char>(buffer_[position_++]);
  }
  int peek() {
    if (position_ == filled_ && !refill()) {
      return -1;
    }
    return static_cast<unsigned char>(buffer_[position_]);
  }
  bool refill();
  // Skips to the end of the current line, past its line break.
  void skipLine();
  // One record from its first character on: its fields, or why it cannot be read.
  Status readRecord(std::vector<std::string>& fields, std::string& problem);
  // Drops a UTF-8 byte-order mark at the very start of the input.
  void skipByteOrderMark();
  // The rest of a quoted field after its opening quote, up to the closing quote, which must
  // end the field; false with `problem` set when it does not.
  bool readQuoted(std::string& field, std::string& problem);

  std::istream& in_;
  char buffer_[65536];
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool started_ = false;
};

}  // namespace fbc
