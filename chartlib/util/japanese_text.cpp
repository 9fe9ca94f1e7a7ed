#include <cstdint>
#include <string>
#include <string_view>

#include "chartlib/macro_library.h"
#include "platform/errors.h"
#include "platform/number_text.h"

namespace fbc::macro {
namespace {

// Full-width forms of the half-width characters U+FF61 to U+FF9F, in code order. The sound
// marks become the spacing U+309B and U+309C, which the merging pass looks for.
constexpr std::u16string_view kWidened =
    u"。「」、・ヲァィゥェォャュョッー"
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン"
    u"゛゜";
constexpr char16_t kFirstHalfWidth = u'\uFF61';
constexpr char16_t kLastHalfWidth = u'\uFF9F';
static_assert(kWidened.size() == kLastHalfWidth - kFirstHalfWidth + 1);

constexpr char16_t kVoicedMark = u'゛';
constexpr char16_t kSemiVoicedMark = u'゜';
constexpr std::u16string_view kVoicedBase = u"ウカキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u16string_view kVoiced = u"ヴガギグゲゴザジズゼゾダヂヅデドバビブベボ";
constexpr std::u16string_view kSemiVoicedBase = u"ハヒフヘホ";
constexpr std::u16string_view kSemiVoiced = u"パピプペポ";
static_assert(kVoicedBase.size() == kVoiced.size());
static_assert(kSemiVoicedBase.size() == kSemiVoiced.size());

// Positions are counted in 16 bits, so the longest text the procedure takes is one shorter.
constexpr std::size_t kPositionLimit = 32767;

constexpr std::u16string_view kDashes = u"ーｰ―‐－";
constexpr char16_t kLongVowelMark = u'ー';

char16_t widened(char16_t c) noexcept {
  if (c >= kFirstHalfWidth && c <= kLastHalfWidth) {
    return kWidened[c - kFirstHalfWidth];
  }
  return c;
}

// The runtime's numeric test: the character read as a number is one of 0 to 9. The
// text-to-number conversion reads the full-width digits too.
bool isDigit(char16_t c) noexcept {
  return parseDouble(std::u16string_view(&c, 1)).status == ParseStatus::Ok;
}

}  // namespace

void KatakanaZen(Value& text) {
  const std::u16string source = text.toText();
  if (source.size() >= kPositionLimit) {
    raise(ErrorNumber::Overflow, "text of " + std::to_string(source.size()) + " characters");
  }
  std::u16string wide;
  wide.reserve(source.size());
  for (const char16_t c : source) {
    wide.push_back(widened(c));
  }
  std::u16string output;
  output.reserve(wide.size());
  for (std::size_t j = 0; j < wide.size(); ++j) {
    const char16_t c = wide[j];
    if (c != kVoicedMark && c != kSemiVoicedMark) {
      output.push_back(c);
      continue;
    }
    const bool voiced = c == kVoicedMark;
    const std::u16string_view base = voiced ? kVoicedBase : kSemiVoicedBase;
    const std::u16string_view marked = voiced ? kVoiced : kSemiVoiced;
    // The letter before the mark is taken from the widened text, so a second mark in a row
    // looks at the first mark and is refused.
    const std::size_t found = j == 0 ? std::u16string_view::npos : base.find(wide[j - 1]);
    if (found == std::u16string_view::npos) {
      raise(ErrorNumber::InvalidCall, "a sound mark with no letter that takes it");
    }
    output.back() = marked[found];
  }
  text = Value(std::move(output));
}

void HaifunHan(Value& text) {
  const std::u16string source = text.toText();
  std::u16string output = source;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (kDashes.find(source[i]) != std::u16string_view::npos) {
      output[i] = i > 0 && isDigit(source[i - 1]) ? u'-' : kLongVowelMark;
    }
  }
  text = Value(std::move(output));
}

void KanmaZen(Value& text) {
  std::u16string output = text.toText();
  for (char16_t& c : output) {
    if (c == u',' || c == u'，') {
      c = u'、';
    }
  }
  text = Value(std::move(output));
}

void Henkou(Value& data, Value& a, Value& B, Value& Inputdata) {
  if (equals(data, a) || equals(data, B)) {
    data = Inputdata;
  }
}

}  // namespace fbc::macro
