#include "controls.h"

#include <algorithm>

#include "errors.h"

namespace fbc {

namespace {

[[noreturn]] void noSuchProperty(std::string_view name) {
  raise(ErrorNumber::ObjectLacksProperty, std::string(name));
}

}  // namespace

CommandButton::CommandButton(std::u16string caption) : caption_(std::move(caption)) {}

Value CommandButton::property(std::string_view name) const {
  if (samePropertyName(name, "Caption")) {
    return Value(caption_);
  }
  noSuchProperty(name);
}

void CommandButton::setProperty(std::string_view name, const Value& value) {
  if (!samePropertyName(name, "Caption")) {
    noSuchProperty(name);
  }
  caption_ = value.toText();
}

Label::Label(std::u16string caption) : caption_(std::move(caption)) {}

Value Label::property(std::string_view name) const {
  if (samePropertyName(name, "Caption")) {
    return Value(caption_);
  }
  if (samePropertyName(name, "ForeColor")) {
    return Value(foreColor_);
  }
  noSuchProperty(name);
}

void Label::setProperty(std::string_view name, const Value& value) {
  if (samePropertyName(name, "Caption")) {
    caption_ = value.toText();
  } else if (samePropertyName(name, "ForeColor")) {
    setForeColor(value.toInt32());
  } else {
    noSuchProperty(name);
  }
}

void Label::setForeColor(std::int32_t colour) {
  const auto bits = static_cast<std::uint32_t>(colour);
  const bool rgbColour = bits <= 0xFFFFFFU;
  const bool systemColour = bits >= 0x80000000U && bits <= 0x80000018U;
  if (!rgbColour && !systemColour) {
    raise(ErrorNumber::InvalidPropertyValue, "ForeColor");
  }
  foreColor_ = colour;
}

TextBox::TextBox(std::u16string text) : text_(std::move(text)) {}

Value TextBox::property(std::string_view name) const {
  if (samePropertyName(name, "Text")) {
    return Value(text_);
  }
  noSuchProperty(name);
}

void TextBox::setProperty(std::string_view name, const Value& value) {
  if (!samePropertyName(name, "Text")) {
    noSuchProperty(name);
  }
  text_ = value.toText();
}

Value ScrollBar::property(std::string_view name) const {
  if (samePropertyName(name, "Max")) {
    return Value(max_);
  }
  if (samePropertyName(name, "Min")) {
    return Value(min_);
  }
  if (samePropertyName(name, "SmallChange")) {
    return Value(smallChange_);
  }
  if (samePropertyName(name, "Value")) {
    return Value(value_);
  }
  noSuchProperty(name);
}

void ScrollBar::setProperty(std::string_view name, const Value& value) {
  if (samePropertyName(name, "Max")) {
    setMax(value.toInt16());
  } else if (samePropertyName(name, "Min")) {
    setMin(value.toInt16());
  } else if (samePropertyName(name, "SmallChange")) {
    setSmallChange(value.toInt16());
  } else if (samePropertyName(name, "Value")) {
    setValue(value.toInt16());
  } else {
    noSuchProperty(name);
  }
}

void ScrollBar::setMax(std::int16_t max) {
  max_ = max;
  clampValue();
}

void ScrollBar::setMin(std::int16_t min) {
  min_ = min;
  clampValue();
}

void ScrollBar::setSmallChange(std::int16_t change) {
  if (change < 1) {
    raise(ErrorNumber::InvalidPropertyValue, "SmallChange");
  }
  smallChange_ = change;
}

void ScrollBar::setValue(std::int16_t value) {
  if (value < std::min(min_, max_) || value > std::max(min_, max_)) {
    raise(ErrorNumber::InvalidPropertyValue, "Value");
  }
  value_ = value;
}

void ScrollBar::clampValue() noexcept {
  value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
}

}  // namespace fbc
