#include "app/control_objects.h"

#include <cmath>
#include <cstdint>
#include <iterator>

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "platform/errors.h"
#include "waveform/waveform_stage.h"

namespace fbc {

namespace {

bool isTextProperty(std::string_view name) { return samePropertyName(name, "Text"); }

[[noreturn]] void noSuchProperty(std::string_view name) {
  raise(ErrorNumber::ObjectLacksProperty, std::string(name));
}

QString toQString(const Value& value) { return QString::fromStdU16String(value.toText()); }

Value fromQString(const QString& text) { return Value(text.toStdU16String()); }

// A colour value as the 32 bits the platform stores: integers as they are, other numbers when
// they are whole and fit 32 bits (unsigned forms of the system colours included).
std::int32_t colourBits(const Value& value) {
  if (value.kind() == Kind::Int32) {
    return value.int32();
  }
  if (value.kind() == Kind::Int16) {
    return value.int16();
  }
  const double number = value.toDouble();
  if (number != std::floor(number) || number < -2147483648.0 || number > 4294967295.0) {
    raise(ErrorNumber::InvalidPropertyValue, "ForeColor");
  }
  if (number < 0) {
    return static_cast<std::int32_t>(number);
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
}

// The palette role nearest to each of the platform's system colours 0..24.
constexpr QPalette::ColorRole kSystemColourRoles[] = {
    QPalette::Button,
    QPalette::Window,
    QPalette::Highlight,
    QPalette::Mid,
    QPalette::Window,
    QPalette::Base,
    QPalette::Shadow,
    QPalette::WindowText,
    QPalette::WindowText,
    QPalette::HighlightedText,
    QPalette::Window,
    QPalette::Window,
    QPalette::Dark,
    QPalette::Highlight,
    QPalette::HighlightedText,
    QPalette::Button,
    QPalette::Dark,
    QPalette::WindowText,
    QPalette::WindowText,
    QPalette::WindowText,
    QPalette::Light,
    QPalette::Shadow,
    QPalette::Midlight,
    QPalette::ToolTipText,
    QPalette::ToolTipBase,
};

}  // namespace

LabelObject::LabelObject(QLabel& label)
    : label_(label), defaultPalette_(label.palette()), foreColor_(kButtonTextColour) {}

Value LabelObject::property(std::string_view name) const {
  if (samePropertyName(name, "Caption")) {
    return fromQString(label_.text());
  }
  if (samePropertyName(name, "ForeColor")) {
    return Value(foreColor_);
  }
  noSuchProperty(name);
}

void LabelObject::setProperty(std::string_view name, const Value& value) {
  if (samePropertyName(name, "Caption")) {
    label_.setText(toQString(value));
    return;
  }
  if (samePropertyName(name, "ForeColor")) {
    setForeColor(colourBits(value));
    return;
  }
  noSuchProperty(name);
}

void LabelObject::setForeColor(std::int32_t colour) {
  const auto bits = static_cast<std::uint32_t>(colour);
  QPalette palette = label_.palette();
  if ((bits & 0x80000000U) != 0) {
    // System colours 0..24 by their nearest palette role; window and button text are the
    // label's own default, grey text the disabled text colour.
    const std::uint32_t index = bits & 0x7FFFFFFFU;
    if (index >= std::size(kSystemColourRoles)) {
      raise(ErrorNumber::InvalidPropertyValue, "ForeColor");
    }
    constexpr std::uint32_t kWindowText = 0x08;
    constexpr std::uint32_t kGrayText = 0x11;
    constexpr std::uint32_t kButtonText = 0x12;
    if (index == kWindowText || index == kButtonText) {
      for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::WindowText,
                         defaultPalette_.color(group, QPalette::WindowText));
      }
    } else if (index == kGrayText) {
      palette.setColor(QPalette::WindowText,
                       defaultPalette_.color(QPalette::Disabled, QPalette::WindowText));
    } else {
      palette.setColor(QPalette::WindowText, defaultPalette_.color(kSystemColourRoles[index]));
    }
  } else {
    if ((bits & 0xFF000000U) != 0) {
      raise(ErrorNumber::InvalidPropertyValue, "ForeColor");
    }
    palette.setColor(QPalette::WindowText,
                     QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                            static_cast<int>((bits >> 16) & 0xFF)));
  }
  label_.setPalette(palette);
  foreColor_ = colour;
}

Value ButtonObject::property(std::string_view name) const {
  if (samePropertyName(name, "Caption")) {
    return fromQString(button_.text());
  }
  noSuchProperty(name);
}

void ButtonObject::setProperty(std::string_view name, const Value& value) {
  if (samePropertyName(name, "Caption")) {
    button_.setText(toQString(value));
    return;
  }
  noSuchProperty(name);
}

Value TextBoxObject::property(std::string_view name) const {
  if (isTextProperty(name)) {
    return fromQString(box_.text());
  }
  noSuchProperty(name);
}

void TextBoxObject::setProperty(std::string_view name, const Value& value) {
  if (isTextProperty(name)) {
    box_.setText(toQString(value));
    return;
  }
  noSuchProperty(name);
}

Value ComboBoxObject::property(std::string_view name) const {
  if (isTextProperty(name)) {
    return fromQString(box_.currentText());
  }
  noSuchProperty(name);
}

void ComboBoxObject::setProperty(std::string_view name, const Value& value) {
  if (isTextProperty(name)) {
    box_.setEditText(toQString(value));
    return;
  }
  noSuchProperty(name);
}

}  // namespace fbc
