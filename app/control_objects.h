#pragma once

#include <cstdint>
#include <string_view>

#include <QPalette>

#include "platform/object.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;

namespace fbc {

// Further text colours in the platform's 0x00BBGGRR form (blue and the button-text default are
// in waveform/waveform_stage.h); the high bit marks a system colour.
inline constexpr std::int32_t kRedColour = 0x0000FF;
inline constexpr std::int32_t kGrayTextColour = static_cast<std::int32_t>(0x80000011U);

// A label reached by property name: "Caption" (text) and "ForeColor" (colour as an Int32
// in the 0x00BBGGRR form, system colours with the high bit set). The button-text system
// colour is a label's default text colour.
class LabelObject : public Object {
 public:
  explicit LabelObject(QLabel& label);

  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

  std::int32_t foreColor() const noexcept { return foreColor_; }
  // Error 380 for a value that names no colour.
  void setForeColor(std::int32_t colour);

 private:
  QLabel& label_;
  QPalette defaultPalette_;
  std::int32_t foreColor_;
};

// A command, option or check button: "Caption".
class ButtonObject : public Object {
 public:
  explicit ButtonObject(QAbstractButton& button) : button_(button) {}

  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

 private:
  QAbstractButton& button_;
};

// A text box: "Text" (also spelt "text"). Writing it raises the box's change signal, as typing
// does.
class TextBoxObject : public Object {
 public:
  explicit TextBoxObject(QLineEdit& box) : box_(box) {}

  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

 private:
  QLineEdit& box_;
};

// A combo box with editable text: "Text" (also spelt "text") is the edit text.
class ComboBoxObject : public Object {
 public:
  explicit ComboBoxObject(QComboBox& box) : box_(box) {}

  Value property(std::string_view name) const override;
  void setProperty(std::string_view name, const Value& value) override;

 private:
  QComboBox& box_;
};

}  // namespace fbc
