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

// The code point of the well-formed sequence at `at`, with its length; length 0 where the bytes
// there do not form one.
struct Utf8Sequence {
  char32_t c = 0;
  std::size_t length = 0;
};

Utf8Sequence readSequence(std::string_view bytes, std::size_t at) noexcept {
  const auto lead = static_cast<std::uint8_t>(bytes[at]);
  const Utf8Lead shape = utf8Lead(lead);
  if (shape.length == 0 || shape.length > bytes.size() - at) {
    return {};
  }
  // The lead byte keeps 7 - length payload bits, an ASCII byte all of its own.
  char32_t c = shape.length == 1 ? lead : lead & (0x7FU >> shape.length);
  for (std::size_t k = 1; k < shape.length; ++k) {
    const auto next = static_cast<std::uint8_t>(bytes[at + k]);
    if (next < (k == 1 ? shape.low : 0x80) || next > (k == 1 ? shape.high : 0xBF)) {
      return {};
    }
    c = (c << 6) | (next & 0x3FU);
  }
  return {c, shape.length};
}

// Characters that would break a message's line, restyle the terminal or reorder the text.
bool needsEscape(char32_t c) noexcept {
  const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
  const bool separator = c == 0x2028 || c == 0x2029;
  const bool bidirectional = c == 0x061C || c == 0x200E || c == 0x200F ||
                             (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
  return control || separator || bidirectional;
}

void appendHex(std::string& out, char32_t value, int minimumDigits) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[value & 0xFU]);
    value >>= 4U;
  } while (value != 0 || digits.size() < static_cast<std::size_t>(minimumDigits));
  out += digits;
}

// A byte as \xNN, a character as \u{NNNN}.
void appendByteEscape(std::string& out, std::uint8_t byte) {
  out += "\\x";
  appendHex(out, byte, 2);
}

void appendCharacterEscape(std::string& out, char32_t c) {
  out += "\\u{";
  appendHex(out, c, 2);
  out += '}';
}

}  // namespace

std::string messageQuote(std::string_view bytes, std::size_t limit) {
  std::string out;
  std::size_t characters = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (characters == limit) {
      out += "…";
      break;
    }
    ++characters;
    const Utf8Sequence sequence = readSequence(bytes, at);
    if (sequence.length == 0) {
      // Each byte of a broken sequence on its own: the next may start a good one.
      appendByteEscape(out, static_cast<std::uint8_t>(bytes[at++]));
      continue;
    }
    if (!needsEscape(sequence.c)) {
      out.append(bytes.substr(at, sequence.length));
    } else if (sequence.length == 1) {
      appendByteEscape(out, static_cast<std::uint8_t>(sequence.c));
    } else {
      appendCharacterEscape(out, sequence.c);
    }
    at += sequence.length;
  }
  return out;
}

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

std::string_view withoutBlanks(std::string_view text) noexcept {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace fbc
