#include "app/control_objects.h"

#include <cstdint>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "platform/errors.h"
#include "waveform/waveform_stage.h"

namespace {

using fbc::ErrorNumber;
using fbc::Value;

std::string str(const QString& text) { return text.toStdString(); }

ErrorNumber errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const fbc::RuntimeError& error) {
    return error.number();
  }
  ADD_FAILURE() << "no error raised";
  return ErrorNumber::InvalidCall;
}

TEST(LabelObjectTest, CaptionIsTheLabelTextWhateverTheSpellingOfTheName) {
  QLabel label(QStringLiteral("Nt[比]"));
  fbc::LabelObject object(label);
  EXPECT_EQ(object.property("Caption").text(), u"Nt[比]");
  EXPECT_EQ(object.property("caption").text(), u"Nt[比]");
  object.setProperty("CAPTION", Value(u"1 : 0.136"));
  EXPECT_EQ(str(label.text()), "1 : 0.136");
  // Numbers are shown as their general number text.
  object.setProperty("Caption", Value(2.5));
  EXPECT_EQ(str(label.text()), "2.5");
  object.setProperty("Caption", Value(std::int16_t{500}));
  EXPECT_EQ(str(label.text()), "500");
}

TEST(LabelObjectTest, ForeColorSetsTheTextColourAndReadsBackAsWritten) {
  QLabel label;
  const QColor defaultText = label.palette().color(QPalette::WindowText);
  fbc::LabelObject object(label);
  EXPECT_EQ(object.property("ForeColor").kind(), fbc::Kind::Int32);
  EXPECT_EQ(object.property("ForeColor").int32(), fbc::kButtonTextColour);

  struct Case {
    const char* what;
    Value written;
    std::int32_t stored;
    QColor shown;
  };
  const Case cases[] = {
      {"blue", Value(fbc::kBlueColour), fbc::kBlueColour, QColor(0, 0, 255)},
      {"red", Value(fbc::kRedColour), fbc::kRedColour, QColor(255, 0, 0)},
      {"green as a 16-bit integer", Value(std::int16_t{0x7F00}), 0x7F00, QColor(0, 127, 0)},
      {"button text", Value(fbc::kButtonTextColour), fbc::kButtonTextColour, defaultText},
      {"blue as a double", Value(16711680.0), fbc::kBlueColour, QColor(0, 0, 255)},
      {"button text as an unsigned double", Value(2147483666.0), fbc::kButtonTextColour,
       defaultText},
      {"grey text", Value(fbc::kGrayTextColour), fbc::kGrayTextColour,
       label.palette().color(QPalette::Disabled, QPalette::WindowText)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    object.setProperty("ForeColor", c.written);
    EXPECT_EQ(object.property("ForeColor").int32(), c.stored);
    EXPECT_EQ(object.foreColor(), c.stored);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), c.shown);
  }
}

TEST(LabelObjectTest, RefusesWhatIsNoColourAndNamesItDoesNotHave) {
  QLabel label;
  fbc::LabelObject object(label);
  object.setProperty("ForeColor", Value(fbc::kBlueColour));
  const Value refused[] = {Value(0x01000000), Value(static_cast<std::int32_t>(0x80000019U)),
                           Value(1.5), Value(-1.0e12)};
  for (const Value& colour : refused) {
    EXPECT_EQ(errorOf([&] { object.setProperty("ForeColor", colour); }),
              ErrorNumber::InvalidPropertyValue);
  }
  EXPECT_EQ(object.foreColor(), fbc::kBlueColour);
  EXPECT_EQ(errorOf([&] { object.setProperty("ForeColor", Value(u"blue")); }),
            ErrorNumber::TypeMismatch);
  EXPECT_EQ(errorOf([&] { object.property("Text"); }), ErrorNumber::ObjectLacksProperty);
  EXPECT_EQ(errorOf([&] { object.setProperty("BackColor", Value(0)); }),
            ErrorNumber::ObjectLacksProperty);
}

TEST(TextBoxObjectTest, TextReadsAndWritesTheBoxAndRaisesItsChange) {
  QLineEdit box(QStringLiteral("200"));
  fbc::TextBoxObject object(box);
  QSignalSpy changes(&box, &QLineEdit::textChanged);
  EXPECT_EQ(object.property("Text").text(), u"200");
  EXPECT_EQ(object.property("text").text(), u"200");
  object.setProperty("text", Value(u"------入力------"));
  EXPECT_EQ(str(box.text()), "------入力------");
  object.setProperty("Text", Value(std::int32_t{1000}));
  EXPECT_EQ(str(box.text()), "1000");
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(errorOf([&] { object.property("Caption"); }), ErrorNumber::ObjectLacksProperty);
}

TEST(ComboBoxObjectTest, TextIsTheEditText) {
  QComboBox box;
  box.setEditable(true);
  box.addItems({QStringLiteral("EER25.5"), QStringLiteral("PQ50")});
  fbc::ComboBoxObject object(box);
  EXPECT_EQ(object.property("Text").text(), u"EER25.5");
  object.setProperty("Text", Value(u"pq2016"));
  EXPECT_EQ(str(box.currentText()), "pq2016");
  EXPECT_EQ(box.count(), 2);
}

TEST(ButtonObjectTest, CaptionIsTheButtonText) {
  QPushButton button(QStringLiteral("Clear"));
  fbc::ButtonObject object(button);
  EXPECT_EQ(object.property("Caption").text(), u"Clear");
  object.setProperty("Caption", Value(u"Plot"));
  EXPECT_EQ(str(button.text()), "Plot");

  QCheckBox check(QStringLiteral("工事中"));
  fbc::ButtonObject checkObject(check);
  EXPECT_EQ(checkObject.property("caption").text(), u"工事中");
  EXPECT_EQ(errorOf([&] { checkObject.property("Value"); }), ErrorNumber::ObjectLacksProperty);
}

}  // namespace
