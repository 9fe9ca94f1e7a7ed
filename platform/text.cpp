#include "text.h"

#include <cstdint>

namespace fbc {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The shape of a UTF-8 sequence by its first byte: its length (0 when the byte cannot start
// one) and the allowed range of its second byte, which excludes overlong forms, surrogates and
// values beyond U+10FFFF. The one table both the decoder and the validity check read.
struct Utf8Lead {
  std::size_t length = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
};

constexpr Utf8Lead utf8Lead(std::uint8_t lead) noexcept {
  if (lead < 0x80) {
    return {1, 0x80, 0xBF};
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    return {2, 0x80, 0xBF};
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    return {3, lead == 0xE0 ? std::uint8_t{0xA0} : std::uint8_t{0x80},
            lead == 0xED ? std::uint8_t{0x9F} : std::uint8_t{0xBF}};
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    return {4, lead == 0xF0 ? std::uint8_t{0x90} : std::uint8_t{0x80},
            lead == 0xF4 ? std::uint8_t{0x8F} : std::uint8_t{0xBF}};
  }
  return {};
}

}  // namespace

std::string toUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      const char32_t high = c - 0xD800U;
      const char32_t low = text[++i] - 0xDC00U;
      appendUtf8(out, 0x10000 + ((high << 10) | low));
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      appendUtf8(out, kReplacement);
    } else {
      appendUtf8(out, c);
    }
  }
  return out;
}

// Each invalid sequence becomes one U+FFFD per maximal part of a well-formed sequence (the
// practice of the Unicode standard and of web browsers): a byte that cannot start a sequence
// is replaced alone, a truncated sequence as a whole, and the byte that broke it is read again.
std::u16string fromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  std::size_t i = 0;
  while (i < text.size()) {
    const std::uint8_t lead = byteAt(i);
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      ++i;
      continue;
    }
    const Utf8Lead shape = utf8Lead(lead);
    if (shape.length == 0) {
      out += static_cast<char16_t>(kReplacement);
      ++i;
      continue;
    }
    const std::size_t length = shape.length;
    std::uint8_t low = shape.low;
    std::uint8_t high = shape.high;
    // The lead byte keeps 7 - length payload bits.
    char32_t c = lead & (0x7FU >> length);
    std::size_t taken = 1;
    for (; taken < length && i + taken < text.size(); ++taken) {
      const std::uint8_t next = byteAt(i + taken);
      if (next < low || next > high) {
        break;
      }
      c = (c << 6) | (next & 0x3FU);
      low = 0x80;
      high = 0xBF;
    }
    if (taken == length) {
      appendUtf16(out, c);
    } else {
      out += static_cast<char16_t>(kReplacement);
    }
    i += taken;
  }
  return out;
}

bool isValidUtf8(std::string_view bytes) noexcept {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const Utf8Lead shape = utf8Lead(static_cast<std::uint8_t>(bytes[i]));
    if (shape.length == 0 || shape.length > bytes.size() - i) {
      return false;
    }
    for (std::size_t k = 1; k < shape.length; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + k]);
      const std::uint8_t min = k == 1 ? shape.low : std::uint8_t{0x80};
      const std::uint8_t max = k == 1 ? shape.high : std::uint8_t{0xBF};
      if (next < min || next > max) {
        return false;
      }
    }
    i += shape.length;
  }
  return true;
}

}  // namespace fbc
