// KatakanaZen, HaifunHan and KanmaZen on arbitrary UTF-16 text: never a crash, a failure
// leaves the text exactly as it was, and a success leaves nothing the procedure should have
// changed.

#include <cstdint>
#include <string>
#include <string_view>

#include "chartlib/macro_library.h"
#include "fuzz/fuzz_input.h"
#include "platform/errors.h"
#include "platform/value.h"

namespace {

using fbc::Value;
using fbc::fuzz::check;

constexpr std::u16string_view kDashes = u"ｰ―‐－";

bool isHalfWidthKana(char16_t c) { return c >= u'\uFF61' && c <= u'\uFF9F'; }

bool isSoundMark(char16_t c) { return c == u'゛' || c == u'゜'; }

// Runs one procedure; on an error the argument must be untouched.
template <typename Procedure>
bool run(Procedure procedure, Value& text, std::initializer_list<fbc::ErrorNumber> allowed) {
  const Value before = text;
  try {
    procedure(text);
    return true;
  } catch (const fbc::RuntimeError& error) {
    fbc::fuzz::checkPlatformError(error);
    bool expected = false;
    for (const fbc::ErrorNumber number : allowed) {
      expected = expected || error.number() == number;
    }
    check(expected, "an error this procedure may raise");
    check(sameKindAndValue(text, before), "a failure leaves the text unchanged");
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fbc::fuzz::FuzzInput input(data, size);
  const std::uint8_t choice = input.byte();
  // Now and then (a first byte of 255) KatakanaZen's text is repeated to a length around its
  // 16-bit position limit of 32767, set by the second byte.
  const bool longText = input.byte() == 0xFF && choice % 4 == 0;
  const std::size_t length = 32760 + input.byte() % 16;
  std::u16string source = input.restAsUtf16();
  if (longText && !source.empty()) {
    while (source.size() < length) {
      source += source;
    }
    source.resize(length);
  }

  Value text(source);
  switch (choice % 4) {
    case 0:
      if (run(fbc::macro::KatakanaZen, text,
              {fbc::ErrorNumber::InvalidCall, fbc::ErrorNumber::Overflow})) {
        const std::u16string& out = text.text();
        check(source.size() < 32767, "texts of 32767 characters or more overflow");
        check(out.size() <= source.size(), "merging never lengthens the text");
        for (const char16_t c : out) {
          check(!isHalfWidthKana(c), "no half-width katakana is left");
          check(!isSoundMark(c), "every sound mark is merged");
        }
      }
      break;
    case 1:
      if (run(fbc::macro::HaifunHan, text, {})) {
        const std::u16string& out = text.text();
        check(out.size() == source.size(), "dashes are replaced one for one");
        for (std::size_t i = 0; i < out.size(); ++i) {
          check(kDashes.find(out[i]) == std::u16string_view::npos, "no dash but - and ー is left");
          if (out[i] != source[i]) {
            check(out[i] == u'-' || out[i] == u'ー', "a dash becomes - or ー");
          }
        }
      }
      break;
    case 2:
      if (run(fbc::macro::KanmaZen, text, {})) {
        const std::u16string& out = text.text();
        check(out.size() == source.size(), "commas are replaced one for one");
        for (std::size_t i = 0; i < out.size(); ++i) {
          check(out[i] != u',' && out[i] != u'，', "no comma is left");
          check(out[i] == source[i] || out[i] == u'、', "only commas change");
        }
      }
      break;
    default: {
      // A number instead of a text is converted to its text first.
      Value number(static_cast<std::int16_t>(source.empty() ? 0 : source.front()));
      run(fbc::macro::KatakanaZen, number, {});
      check(number.isText(), "a number comes back as its text");
      break;
    }
  }
  return 0;
}
