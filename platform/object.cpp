#include "object.h"

#include <string>

#include "errors.h"

namespace fbc {

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
