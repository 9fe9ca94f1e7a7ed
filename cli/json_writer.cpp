#include "cli/json_writer.h"

#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

// Text that needs no escaping: printable ASCII other than '"' and '\'. Our keys and most
// values are such; the rest goes through the JSON library.
bool isPlain(std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      return false;
    }
  }
  return true;
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
  if (sink_ != nullptr) {
    path_.resize(level.pathLength);
    if (!path_.empty()) {
      path_ += '.';
    }
    path_ += name;
    ++level.members;
    keyPending_ = true;
    return;
  }
  if (level.members > 0) {
    *out_ << ',';
  }
  ++level.members;
  newlineAndIndent();
  quotedText(name);
  *out_ << (layout_ == JsonLayout::Indented ? ": " : ":");
  keyPending_ = true;
}

void JsonWriter::value(std::string_view utf8Text) {
  if (sink_ != nullptr) {
    token(utf8Text, JsonScalarSink::Kind::String);
    return;
  }
  beforeValue();
  quotedText(utf8Text);
}

void JsonWriter::value(std::u16string_view text) { value(std::string_view(toUtf8(text))); }

void JsonWriter::value(float number) {
  if (!std::isfinite(number)) {
    null();
    return;
  }
  token(shortestRoundTrip(number), JsonScalarSink::Kind::Number);
}

void JsonWriter::value(double number) {
  if (!std::isfinite(number)) {
    null();
    return;
  }
  token(shortestRoundTrip(number), JsonScalarSink::Kind::Number);
}

void JsonWriter::value(int number) { token(std::to_string(number), JsonScalarSink::Kind::Number); }

void JsonWriter::boolean(bool flag) {
  token(flag ? "true" : "false", JsonScalarSink::Kind::Boolean);
}

void JsonWriter::null() { token(sink_ != nullptr ? "" : "null", JsonScalarSink::Kind::Null); }

void JsonWriter::finish() {
  if (!levels_.empty() || keyPending_) {
    throw std::logic_error("JSON document left open");
  }
  if (out_ != nullptr) {
    *out_ << '\n';
  }
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
  if (sink_ != nullptr) {
    // An item of a flattened array: it joins the array's one cell.
    ++level.members;
    return;
  }
  if (level.members > 0) {
    *out_ << ',';
  }
  ++level.members;
  newlineAndIndent();
}

void JsonWriter::open(char bracket, bool object) {
  if (sink_ != nullptr && !levels_.empty() && !levels_.back().object) {
    throw std::logic_error("an array holding objects or arrays cannot be flattened");
  }
  beforeValue();
  if (sink_ != nullptr && !object) {
    arrayCell_.clear();
  }
  if (out_ != nullptr) {
    *out_ << bracket;
  }
  levels_.push_back(Level{object, 0, path_.size()});
}

void JsonWriter::close(char bracket) {
  const bool object = bracket == '}';
  if (levels_.empty() || levels_.back().object != object || keyPending_) {
    throw std::logic_error("unbalanced JSON nesting");
  }
  const bool empty = levels_.back().members == 0;
  path_.resize(levels_.back().pathLength);
  levels_.pop_back();
  if (out_ == nullptr) {
    if (!object) {
      sink_->scalar(path_, arrayCell_, JsonScalarSink::Kind::String);
      arrayCell_.clear();
    }
    return;
  }
  if (!empty) {
    newlineAndIndent();
  }
  *out_ << bracket;
}

void JsonWriter::newlineAndIndent() {
  if (layout_ == JsonLayout::Compact) {
    return;
  }
  *out_ << '\n';
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    *out_ << "  ";
  }
}

void JsonWriter::token(std::string_view text, JsonScalarSink::Kind kind) {
  beforeValue();
  if (sink_ != nullptr) {
    if (!levels_.empty() && !levels_.back().object) {
      arrayCell_ += arrayCell_.empty() ? "" : " ";
      arrayCell_ += text;
    } else {
      sink_->scalar(path_, text, kind);
    }
    return;
  }
  *out_ << text;
}

void JsonWriter::quotedText(std::string_view utf8Text) {
  if (isPlain(utf8Text)) {
    *out_ << '"' << utf8Text << '"';
    return;
  }
  // Invalid UTF-8 cannot come from our own texts; replace rather than fail if it ever does.
  *out_ << nlohmann::json(std::string(utf8Text))
               .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace fbc
