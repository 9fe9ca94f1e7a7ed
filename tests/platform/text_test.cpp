#include "platform/text.h"

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace fbc {
namespace {

std::string bytes(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Code units as hexadecimal, so that a failure shows what differs.
std::string hex(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X ", static_cast<unsigned>(c));
    out += buffer;
  }
  return out;
}

struct ValidCase {
  std::u16string utf16;
  std::string utf8;
};

TEST(Utf8, ConvertsWellFormedTextBothWays) {
  const ValidCase cases[] = {
      {u"", ""},
      {u"Vin=200", "Vin=200"},
      {u"銅線温度上昇は調度よいです。", bytes(u8"銅線温度上昇は調度よいです。")},
      {u"ＭＳ Ｐゴシック", bytes(u8"ＭＳ Ｐゴシック")},
      {u"[5.000μsec/div]", bytes(u8"[5.000μsec/div]")},
      {u"\u0080\u07FF\u0800\uFFFF", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(toUtf8(c.utf16), c.utf8);
    EXPECT_EQ(hex(fromUtf8(c.utf8)), hex(c.utf16));
    EXPECT_TRUE(isValidUtf8(c.utf8));
  }
}

struct InvalidCase {
  const char* name;
  std::string utf8;
  std::u16string expected;
};

TEST(Utf8, ReplacesEachMaximalInvalidSequenceWithOneReplacementCharacter) {
  const InvalidCase cases[] = {
      {"lone continuation byte", "\x80", u"\uFFFD"},
      {"byte that never starts a sequence",
       "a\xFF"
       "b",
       u"a\uFFFDb"},
      {"lead byte beyond U+10FFFF", "\xF5\x80", u"\uFFFD\uFFFD"},
      {"overlong two-byte form", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"truncated at the end", "\xE3\x81", u"\uFFFD"},
      {"truncated before ASCII",
       "\xE3\x81"
       "a",
       u"\uFFFDa"},
      {"truncated four-byte form", "\xF0\x9F\x98", u"\uFFFD"},
      {"truncated two-byte form at the end", "\xC2", u"\uFFFD"},
      {"stray byte after a character", "\xE6\x97\xA5\x80", u"日\uFFFD"},
      {"truncated before a character", "\xE6\x97\xE6\x97\xA5", u"\uFFFD日"},
      {"Shift_JIS bytes", "\x93\xFA\x96\x7B", u"\uFFFD\uFFFD\uFFFD{"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(hex(fromUtf8(c.utf8)), hex(c.expected));
    EXPECT_FALSE(isValidUtf8(c.utf8));
  }
}

// The sequential files take a file that is not valid UTF-8 as code page 932, so the check must
// accept exactly what the decoder reads without a replacement, i.e. what survives the round trip
// unchanged: every two-byte input, and every three- and four-byte input behind the lead bytes
// whose second byte has a narrowed range.
TEST(Utf8, ValidityAgreesWithTheDecoder) {
  const auto agrees = [](const std::string& text) {
    return isValidUtf8(text) == (toUtf8(fromUtf8(text)) == text);
  };
  int disagreements = 0;
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      disagreements += agrees(pair) ? 0 : 1;
    }
  }
  for (const char lead : {'\xE0', '\xED', '\xEF', '\xF0', '\xF4'}) {
    for (int second = 0; second < 256; ++second) {
      for (int third = 0; third < 256; ++third) {
        const std::string text{lead, static_cast<char>(second), static_cast<char>(third), '\x80'};
        disagreements += agrees(text) ? 0 : 1;
        disagreements += agrees(text.substr(0, 3)) ? 0 : 1;
      }
    }
  }
  EXPECT_EQ(disagreements, 0);
}

TEST(Utf8, ReplacesUnpairedSurrogates) {
  const std::pair<std::u16string, std::string> cases[] = {
      {std::u16string(1, u'\xD800'), "\xEF\xBF\xBD"},
      {std::u16string(u"a") + u'\xDC00' + u"b",
       "a\xEF\xBF\xBD"
       "b"},
      {std::u16string(1, u'\xD83D') + u"A",
       "\xEF\xBF\xBD"
       "A"},
      {std::u16string(1, u'\xDE00') + u'\xD83D', "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {std::u16string(1, u'\xD83D') + u'\xD83D' + u'\xDE00', "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const auto& [utf16, utf8] : cases) {
    SCOPED_TRACE(hex(utf16));
    EXPECT_EQ(toUtf8(utf16), utf8);
  }
}

TEST(Utf8, RandomWellFormedTextSurvivesTheRoundTrip) {
  std::mt19937 random(11);
  std::uniform_int_distribution<std::uint32_t> codePoint(0, 0x10FFFF);
  std::uniform_int_distribution<int> length(0, 40);
  for (int i = 0; i < 2000; ++i) {
    std::u16string text;
    for (int n = length(random); n > 0; --n) {
      const std::uint32_t c = codePoint(random);
      if (c >= 0xD800 && c <= 0xDFFF) {
        continue;
      }
      if (c < 0x10000) {
        text += static_cast<char16_t>(c);
      } else {
        text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      }
    }
    ASSERT_EQ(hex(fromUtf8(toUtf8(text))), hex(text));
  }
}

}  // namespace
TEST(MessageQuote, EscapesWhatCouldBreakTheLineOrTheTerminalAndKeepsTheRest) {
  const struct {
    const char* what;
    std::string text;
    std::string quoted;
  } cases[] = {
      {"plain", "PQ3230", "PQ3230"},
      {"empty", "", ""},
      {"blanks and punctuation", "50 kHz, \"x\"", "50 kHz, \"x\""},
      {"backslash as typed", "C:\\x41", "C:\\x41"},
      {"Japanese", "日本語のコア", "日本語のコア"},
      {"four-byte character", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"line feed and carriage return", "a\nb\rc", "a\\x0Ab\\x0Dc"},
      {"tab", "\t", "\\x09"},
      {"NUL", std::string("a\0b", 3), "a\\x00b"},
      {"terminal escape", "\x1B[31mred", "\\x1B[31mred"},
      {"DEL", "\x7F", "\\x7F"},
      {"C1 control NEL", "\xC2\x85", "\\u{85}"},
      {"line separator", "\xE2\x80\xA8", "\\u{2028}"},
      {"right-to-left override",
       "a\xE2\x80\xAE"
       "b",
       "a\\u{202E}b"},
      {"first strong isolate", "\xE2\x81\xA8", "\\u{2068}"},
      {"byte that starts nothing", "\xFF", "\\xFF"},
      {"continuation byte alone", "a\x80", "a\\x80"},
      {"truncated sequence",
       "\xE3\x81"
       "A",
       "\\xE3\\x81A"},
      {"overlong slash", "\xC0\xAF", "\\xC0\\xAF"},
      {"surrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string quoted = messageQuote(c.text);
    EXPECT_EQ(quoted, c.quoted);
    EXPECT_TRUE(isValidUtf8(quoted));
  }
}

TEST(MessageQuote, CutsALongTextAfterTheLimitInCharacters) {
  const std::string ellipsis = "…";
  const struct {
    const char* what;
    std::string text;
    std::size_t limit;
    std::string quoted;
  } cases[] = {
      {"at the limit", std::string(60, 'a'), kQuoteLimit, std::string(60, 'a')},
      {"one past", std::string(61, 'a'), kQuoteLimit, std::string(60, 'a') + ellipsis},
      {"long", std::string(100000, 'a'), kQuoteLimit, std::string(60, 'a') + ellipsis},
      {"characters, not bytes", "ああああ", 3, "あああ" + ellipsis},
      {"an escape is one character", "\x01\x02\x03", 2, "\\x01\\x02" + ellipsis},
      {"a bad byte is one character", "\xFF\xFEz", 2, "\\xFF\\xFE" + ellipsis},
      {"a file name", std::string(150, 'f'), kLongQuoteLimit, std::string(150, 'f')},
      {"nothing kept", "abc", 0, ellipsis},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(messageQuote(c.text, c.limit), c.quoted);
  }
}

}  // namespace fbc
