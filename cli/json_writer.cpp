#include "cli/json_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/number_text.h"
#include "platform/text.h"

namespace fbc {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` (no overlong forms,
// surrogates or values past U+10FFFF), or 0. Our own texts are always well-formed; a batch
// field need not be.
std::size_t sequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  unsigned min = 0;
  unsigned code = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, min = 0x80, code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, min = 0x800, code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, min = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (length > text.size()) {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[k]);
    if ((next & 0xC0) != 0x80) {
      return 0;
    }
    code = (code << 6) | (next & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  return length;
}

// Whether any of eight bytes is a control character, '"' or '\\', or, unless the text is
// known to be well-formed UTF-8, a byte from 0x80 up. Each test sets a byte's top bit where it
// holds.
bool needsEscape(const char* bytes, bool wellFormed) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const auto hasZeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHigh; };
  const std::uint64_t ascii = ~word & kHigh;  // bytes below 0x80
  const std::uint64_t control = (word - 0x20 * kOnes) & ascii;
  const std::uint64_t quote = hasZeroByte(word ^ ('"' * kOnes));
  const std::uint64_t backslash = hasZeroByte(word ^ ('\\' * kOnes));
  // Text not known to be well-formed takes the careful path for any byte from 0x80 up.
  const std::uint64_t unchecked = wellFormed ? 0 : word & kHigh;
  return (control | quote | backslash | unchecked) != 0;
}

// Appends the JSON string of well-formed UTF-8 text, escaped as the JSON library escapes it:
// the short escapes where they exist, a six-character u00xx escape for the other control
// characters, everything else as it is. Runs that need no escape are copied whole. Unless the
// text is known to be well-formed, it is checked: false, with `out` as it was, when it is not.
bool appendQuoted(std::string& out, std::string_view text, bool wellFormed) {
  constexpr char kHex[] = "0123456789abcdef";
  const std::size_t original = out.size();
  out += '"';
  std::size_t run = 0;  // start of the bytes not yet copied
  std::size_t i = 0;
  while (i < text.size()) {
    // Skipped eight bytes at a time while none of them needs an escape or a check.
    while (i + 8 <= text.size() && !needsEscape(text.data() + i, wellFormed)) {
      i += 8;
    }
    if (i == text.size()) {
      break;
    }
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80 && wellFormed) {
      ++i;
      continue;
    }
    if (byte >= 0x80) {
      const std::size_t length = sequenceLength(text.substr(i));
      if (length == 0) {
        out.resize(original);
        return false;
      }
      i += length;
      continue;
    }
    if (byte >= 0x20 && byte != '"' && byte != '\\') {
      ++i;
      continue;
    }
    out.append(text.substr(run, i - run));
    switch (byte) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    run = ++i;
  }
  out.append(text.substr(run));
  out += '"';
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
    text_ += ',';
  }
  ++level.members;
  newlineAndIndent();
  quotedText(name);
  text_ += layout_ == JsonLayout::Indented ? ": " : ":";
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

void JsonWriter::value(std::u16string_view text) {
  // Most texts are ASCII (numbers, names); they need no conversion.
  const bool ascii = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
  if (!ascii) {
    utf8_ = toUtf8(text);
  } else {
    utf8_.assign(text.begin(), text.end());
  }
  if (sink_ != nullptr) {
    token(utf8_, JsonScalarSink::Kind::String);
    return;
  }
  beforeValue();
  // The conversion from UTF-16 gives well-formed UTF-8.
  appendQuoted(text_, utf8_, true);
}

void JsonWriter::value(float number) {
  if (!std::isfinite(number)) {
    null();
    return;
  }
  std::array<char, 32> buffer{};
  const char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number).ptr;
  token(std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())),
        JsonScalarSink::Kind::Number);
}

void JsonWriter::value(double number) {
  if (!std::isfinite(number)) {
    null();
    return;
  }
  // The shortest round-trip text, as shortestRoundTrip writes it, without a string to hold it:
  // a report writes dozens of numbers a row.
  std::array<char, 32> buffer{};
  const char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number).ptr;
  token(std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())),
        JsonScalarSink::Kind::Number);
}

void JsonWriter::value(int number) { token(std::to_string(number), JsonScalarSink::Kind::Number); }

void JsonWriter::boolean(bool flag) {
  token(flag ? "true" : "false", JsonScalarSink::Kind::Boolean);
}

void JsonWriter::value(const std::optional<double>& number) {
  if (number) {
    value(*number);
  } else {
    null();
  }
}

void JsonWriter::null() { token(sink_ != nullptr ? "" : "null", JsonScalarSink::Kind::Null); }

void JsonWriter::finish() {
  if (!levels_.empty() || keyPending_) {
    throw std::logic_error("JSON document left open");
  }
  if (out_ != nullptr) {
    text_ += '\n';
    flush();
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
    text_ += ',';
  }
  ++level.members;
  newlineAndIndent();
}

void JsonWriter::open(char bracket, bool object) {
  if (sink_ != nullptr && !levels_.empty() && !levels_.back().object) {
    Level& array = levels_.back();
    // An object in an array is flattened under its index: "losses.windings.0.wire".
    if (!object || (array.members > 0 && !array.holdsObjects)) {
      throw std::logic_error(
          "an array holding arrays, or scalars and objects, cannot be flattened");
    }
    array.holdsObjects = true;
    path_.resize(array.pathLength);
    path_ += '.';
    path_ += std::to_string(array.members);
    ++array.members;
    levels_.push_back(Level{object, 0, path_.size()});
    return;
  }
  beforeValue();
  if (sink_ != nullptr && !object) {
    arrayCell_.clear();
  }
  if (out_ != nullptr) {
    text_ += bracket;
  }
  levels_.push_back(Level{object, 0, path_.size()});
}

void JsonWriter::close(char bracket) {
  const bool object = bracket == '}';
  if (levels_.empty() || levels_.back().object != object || keyPending_) {
    throw std::logic_error("unbalanced JSON nesting");
  }
  const bool empty = levels_.back().members == 0;
  const bool holdsObjects = levels_.back().holdsObjects;
  path_.resize(levels_.back().pathLength);
  levels_.pop_back();
  if (out_ == nullptr) {
    if (!object && !holdsObjects) {
      sink_->scalar(path_, arrayCell_, JsonScalarSink::Kind::String);
      arrayCell_.clear();
    }
    return;
  }
  if (!empty) {
    newlineAndIndent();
  }
  text_ += bracket;
}

void JsonWriter::newlineAndIndent() {
  if (layout_ == JsonLayout::Compact) {
    return;
  }
  text_ += '\n';
  text_.append(2 * levels_.size(), ' ');
}

void JsonWriter::token(std::string_view text, JsonScalarSink::Kind kind) {
  if (sink_ != nullptr && !levels_.empty() && levels_.back().holdsObjects) {
    throw std::logic_error("an array holding scalars and objects cannot be flattened");
  }
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
  text_ += text;
  // A long document goes out in pieces rather than all at the end.
  if (text_.size() > kFlushSize) {
    flush();
  }
}

void JsonWriter::quotedText(std::string_view utf8Text) {
  if (appendQuoted(text_, utf8Text, false)) {
    return;
  }
  // Invalid UTF-8 cannot come from our own texts; replace rather than fail if it ever does.
  text_ += nlohmann::json(std::string(utf8Text))
               .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void JsonWriter::flush() {
  out_->write(text_.data(), static_cast<std::streamsize>(text_.size()));
  text_.clear();
}

}  // namespace fbc
