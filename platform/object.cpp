#include "object.h"

#include <algorithm>
#include <string>

#include "errors.h"

namespace fbc {

bool samePropertyName(std::string_view a, std::string_view b) noexcept {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    };
    return lower(x) == lower(y);
  });
}

Value Object::property(std::string_view name) const {
  raise(ErrorNumber::ObjectLacksProperty, std::string(name));
}

void Object::setProperty(std::string_view name, const Value& /*value*/) {
  raise(ErrorNumber::ObjectLacksProperty, std::string(name));
}

// A value without any object raises the same error (through Value::object) as an object that
// is not a picture: the caller passed something it cannot draw on.
void detail::raiseNotASurface() {
  raise(ErrorNumber::ObjectLacksProperty, "not a drawing surface");
}

}  // namespace fbc
