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

Surface& surfaceOf(const Value& picName) {
  // A value without any object lands here too (through Value::object), with the same error as
  // an object that is not a picture: the caller passed something it cannot draw on.
  Surface* surface = picName.object().surface();
  if (surface == nullptr) {
    raise(ErrorNumber::ObjectLacksProperty, "not a drawing surface");
  }
  return *surface;
}

}  // namespace fbc
