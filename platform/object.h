#pragma once

#include <string_view>

#include "value.h"

namespace fbc {

class Surface;

// Something a library procedure reaches through a dynamically typed argument: a control or a
// drawing surface. Properties are reached by name ("Caption", "text", "Max", ...); a name the
// object does not have is error 438, a value it refuses error 380.
class Object {
 public:
  virtual ~Object() = default;

  // Both raise 438 unless a derived object knows the name.
  virtual Value property(std::string_view name) const;
  virtual void setProperty(std::string_view name, const Value& value);

  // The drawing surface behind this object, or nullptr when it is not one.
  virtual Surface* surface() noexcept { return nullptr; }
};

namespace detail {
[[noreturn]] void raiseNotASurface();
}

// Property names are matched without regard to case, as the platform's identifiers are.
bool samePropertyName(std::string_view a, std::string_view b) noexcept;

// The drawing surface behind a `Pic_name` argument; error 438 when it holds an object that is
// no surface, and also when it holds no object at all (empty, a number, a text...). Inline: a
// trace looks its surface up on every point.
inline Surface& surfaceOf(const Value& picName) {
  Surface* surface = picName.object().surface();
  if (surface == nullptr) {
    detail::raiseNotASurface();
  }
  return *surface;
}

}  // namespace fbc
