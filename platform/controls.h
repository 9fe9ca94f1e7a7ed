#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "object.h"
#include "value.h"

namespace fbc {

// Plain stand-ins for the window's controls, reached by property name like the real ones:
// what the library procedures are handed in tests and on the command line. Names match without
// regard to case; a name the control does not have is error 438.

// A command button: "Caption" (a text).
class CommandButton : public Object {
 public:
  explicit CommandButton(std::u16string caption = {});

  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

  const std::u16string& caption() const noexcept { return caption_; }

 private:
  std::u16string caption_;
};

// A label: "Caption" (a text) and "ForeColor" (a 32-bit colour: 0x00BBGGRR, or a system colour
// 0x80000000 + n, n = 0..24; anything else is refused with error 380). It starts with the
// button-text system colour.
class Label : public Object {
 public:
  explicit Label(std::u16string caption = {});

  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

  const std::u16string& caption() const noexcept { return caption_; }
  std::int32_t foreColor() const noexcept { return foreColor_; }
  void setForeColor(std::int32_t colour);

  static constexpr std::int32_t kButtonTextColour = static_cast<std::int32_t>(0x80000012U);

 private:
  std::u16string caption_;
  std::int32_t foreColor_ = kButtonTextColour;
};

// A text box: "Text" (a text).
class TextBox : public Object {
 public:
  explicit TextBox(std::u16string text = {});

  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

  const std::u16string& text() const noexcept { return text_; }

 private:
  std::u16string text_;
};

// A scroll bar: "Max", "Min", "SmallChange" and "Value", all 16-bit integers (error 6 for a
// value that does not fit). Min may lie above Max (the Min end is then the top of a vertical
// bar); Value always lies between the two. Changing Min or Max pulls Value into the new range;
// setting Value outside it, or a SmallChange below 1, is refused with error 380.
// A fresh bar has Min 0, Max 32767, SmallChange 1 and Value 0.
class ScrollBar : public Object {
 public:
  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

  std::int16_t max() const noexcept { return max_; }
  std::int16_t min() const noexcept { return min_; }
  std::int16_t smallChange() const noexcept { return smallChange_; }
  std::int16_t value() const noexcept { return value_; }

  void setMax(std::int16_t max);
  void setMin(std::int16_t min);
  void setSmallChange(std::int16_t change);
  void setValue(std::int16_t value);

 private:
  void clampValue() noexcept;

  std::int16_t max_ = 32767;
  std::int16_t min_ = 0;
  std::int16_t smallChange_ = 1;
  std::int16_t value_ = 0;
};

}  // namespace fbc
