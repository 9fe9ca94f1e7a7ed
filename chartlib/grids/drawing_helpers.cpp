#include "chartlib/grids/drawing_helpers.h"

#include "platform/number_text.h"

namespace fbc::macro::detail {

std::u16string joined(std::initializer_list<std::u16string_view> parts) {
  std::u16string text;
  for (const std::u16string_view part : parts) {
    text += part;
  }
  return text;
}

void printAt(Surface& pic, const Value& x, const Value& y, std::u16string_view text) {
  pic.setCurrentX(coordinate(x));
  pic.setCurrentY(coordinate(y));
  pic.print(text);
}

std::u16string formatValue(const Value& value, std::u16string_view pattern) {
  if (value.isText()) {
    const ParsedDouble parsed = parseDouble(value.text());
    if (parsed.status != ParseStatus::Ok) {
      return value.text();
    }
    return formatPattern(parsed.value, pattern);
  }
  const int digits = value.kind() == Kind::Single ? 7 : 15;
  return formatPattern(value.toDouble(), pattern, digits);
}

Value decadesBetween(const Value& a, const Value& b) {
  const Value lnA = naturalLog(a);
  const Value lnB = naturalLog(b);
  return divide(subtract(lnA, lnB), naturalLog(Value(10.0)));
}

Value decadeLog(const Value& a) { return divide(naturalLog(a), naturalLog(Value(10.0))); }

}  // namespace fbc::macro::detail
