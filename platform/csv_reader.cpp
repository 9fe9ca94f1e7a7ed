#include "platform/csv_reader.h"

#include <algorithm>
#include <streambuf>
#include <string_view>

namespace fbc {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool CsvReader::refill() {
  // Whatever has arrived, without waiting for a full buffer: rows fed through a pipe are read
  // as they come.
  std::streambuf& source = *in_.rdbuf();
  position_ = 0;
  filled_ = 0;
  if (std::streambuf::traits_type::eq_int_type(source.sgetc(),
                                               std::streambuf::traits_type::eof())) {
    return false;
  }
  const std::streamsize ready = std::clamp<std::streamsize>(
      source.in_avail(), 1, static_cast<std::streamsize>(sizeof buffer_));
  filled_ = static_cast<std::size_t>(source.sgetn(buffer_, ready));
  return filled_ > 0;
}

void CsvReader::skipLine() {
  for (int c = get(); c != -1; c = get()) {
    if (c == '\n') {
      return;
    }
    if (c == '\r') {
      if (peek() == '\n') {
        get();
      }
      return;
    }
  }
}

void CsvReader::skipByteOrderMark() {
  // A pipe may deliver the first bytes one at a time: gather as many as the mark has (or all
  // there are) before looking for it.
  std::streambuf& source = *in_.rdbuf();
  while (filled_ < kByteOrderMark.size() &&
         !std::streambuf::traits_type::eq_int_type(source.sgetc(),
                                                   std::streambuf::traits_type::eof())) {
    filled_ += static_cast<std::size_t>(source.sgetn(buffer_ + filled_, 1));
  }
  if (std::string_view(buffer_, filled_).starts_with(kByteOrderMark)) {
    position_ = kByteOrderMark.size();
  }
}

bool CsvReader::readQuoted(std::string& field, std::string& problem) {
  for (;;) {
    const int c = get();
    if (c == -1) {
      problem = "a quoted field is not closed before the end of the input";
      return false;
    }
    if (c == '"') {
      if (peek() != '"') {
        break;
      }
      get();
    }
    field += static_cast<char>(c);
  }
  const int after = peek();
  if (after != ',' && after != '\n' && after != '\r' && after != -1) {
    problem = "text after a field's closing quote";
    skipLine();
    return false;
  }
  return true;
}

CsvReader::Status CsvReader::next(std::vector<std::string>& fields, std::string& problem) {
  if (!started_) {
    started_ = true;
    skipByteOrderMark();
  }
  for (;;) {
    fields.clear();
    const int c = peek();
    if (c == -1) {
      return Status::End;
    }
    if (c != '\n' && c != '\r') {
      return readRecord(fields, problem);
    }
    skipLine();  // an empty line
  }
}

CsvReader::Status CsvReader::readRecord(std::vector<std::string>& fields, std::string& problem) {
  fields.emplace_back();
  for (;;) {
    const int c = get();
    if (c == '"' && fields.back().empty()) {
      if (!readQuoted(fields.back(), problem)) {
        return Status::Malformed;
      }
      continue;
    }
    if (c == ',') {
      fields.emplace_back();
      continue;
    }
    if (c == '\n' || c == -1) {
      return Status::Record;
    }
    if (c == '\r') {
      if (peek() == '\n') {
        get();
      }
      return Status::Record;
    }
    fields.back() += static_cast<char>(c);
  }
}

}  // namespace fbc
