#include "cli/json_writer.h"

#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

std::string quoted(std::string_view utf8Text) {
  // Invalid UTF-8 cannot come from our own texts; replace rather than fail if it ever does.
  return nlohmann::json(std::string(utf8Text))
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

void JsonWriter::beginObject() { open('{', true); }

void JsonWriter::endObject() { close('}'); }

void JsonWriter::beginArray() { open('[', false); }

void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(std::string_view name) {
  if (levels_.empty() || !levels_.back().object || keyPending_) {
    throw std::logic_error("JSON member name outside an object");
  }
  Level& level = levels_.back();
  if (level.members > 0) {
    out_ << ',';
  }
  ++level.members;
  newlineAndIndent();
  out_ << quoted(name) << ": ";
  keyPending_ = true;
}

void JsonWriter::value(std::string_view utf8Text) { token(quoted(utf8Text)); }

void JsonWriter::value(std::u16string_view text) { value(std::string_view(toUtf8(text))); }

void JsonWriter::value(float number) {
  if (!std::isfinite(number)) {
    null();
    return;
  }
  token(shortestRoundTrip(number));
}

void JsonWriter::value(double number) {
  if (!std::isfinite(number)) {
    null();
    return;
  }
  token(shortestRoundTrip(number));
}

void JsonWriter::boolean(bool flag) { token(flag ? "true" : "false"); }

void JsonWriter::null() { token("null"); }

void JsonWriter::finish() {
  if (!levels_.empty() || keyPending_) {
    throw std::logic_error("JSON document left open");
  }
  out_ << '\n';
}

void JsonWriter::beforeValue() {
  if (levels_.empty()) {
    return;
  }
  Level& level = levels_.back();
  if (level.object) {
    if (!keyPending_) {
      throw std::logic_error("JSON value inside an object without a member name");
    }
    keyPending_ = false;
    return;
  }
  if (level.members > 0) {
    out_ << ',';
  }
  ++level.members;
  newlineAndIndent();
}

void JsonWriter::open(char bracket, bool object) {
  beforeValue();
  out_ << bracket;
  levels_.push_back(Level{object, 0});
}

void JsonWriter::close(char bracket) {
  const bool object = bracket == '}';
  if (levels_.empty() || levels_.back().object != object || keyPending_) {
    throw std::logic_error("unbalanced JSON nesting");
  }
  const bool empty = levels_.back().members == 0;
  levels_.pop_back();
  if (!empty) {
    newlineAndIndent();
  }
  out_ << bracket;
}

void JsonWriter::newlineAndIndent() {
  out_ << '\n';
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    out_ << "  ";
  }
}

void JsonWriter::token(std::string_view text) {
  beforeValue();
  out_ << text;
}

}  // namespace fbc
