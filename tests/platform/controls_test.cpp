#include "platform/controls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace fbc {
namespace {

template <typename F>
int errorOf(F&& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.code();
  }
  return 0;
}

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

struct PropertyCase {
  const char* name;
  std::function<std::unique_ptr<Object>()> make;
  const char* property;
  Value written;
  Value expected;
};

TEST(ControlPropertyTest, WrittenValuesReadBackByName) {
  const auto button = [] { return std::make_unique<CommandButton>(u"Plot"); };
  const auto label = [] { return std::make_unique<Label>(); };
  const auto textBox = [] { return std::make_unique<TextBox>(); };
  const std::vector<PropertyCase> cases = {
      {"button caption", button, "Caption", Value(u"Clear"), Value(u"Clear")},
      {"caption from a number", button, "Caption", Value(2.5), Value(u"2.5")},
      {"label caption", label, "Caption", Value(u"銅温度"), Value(u"銅温度")},
      {"label colour", label, "ForeColor", Value(std::int32_t{0x0000FF}),
       Value(std::int32_t{0x0000FF})},
      {"label colour from Int16", label, "ForeColor", i16(255), Value(std::int32_t{255})},
      {"label system colour", label, "ForeColor", Value(static_cast<std::int32_t>(0x80000011U)),
       Value(static_cast<std::int32_t>(0x80000011U))},
      {"text box Text", textBox, "Text", Value(u"------A------\r\nxEND\r\n"),
       Value(u"------A------\r\nxEND\r\n")},
      {"text box text in lower case", textBox, "text", Value(u"x"), Value(u"x")},
      {"empty value gives empty text", textBox, "Text", Value(), Value(u"")},
  };
  for (const PropertyCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto control = c.make();
    control->setProperty(c.property, c.written);
    const Value read = control->property(c.property);
    EXPECT_TRUE(sameKindAndValue(read, c.expected)) << read;
  }
}

TEST(ControlPropertyTest, StartValues) {
  EXPECT_TRUE(sameKindAndValue(CommandButton(u"Plot").property("Caption"), Value(u"Plot")));
  EXPECT_TRUE(sameKindAndValue(Label().property("ForeColor"),
                               Value(static_cast<std::int32_t>(0x80000012U))));
  EXPECT_TRUE(sameKindAndValue(TextBox(u"5").property("Text"), Value(u"5")));
  const ScrollBar bar;
  EXPECT_TRUE(sameKindAndValue(bar.property("Min"), i16(0)));
  EXPECT_TRUE(sameKindAndValue(bar.property("Max"), i16(32767)));
  EXPECT_TRUE(sameKindAndValue(bar.property("SmallChange"), i16(1)));
  EXPECT_TRUE(sameKindAndValue(bar.property("Value"), i16(0)));
}

TEST(ControlPropertyTest, UnknownNamesAndRefusedValues) {
  struct Case {
    const char* name;
    std::function<void()> action;
    ErrorNumber expected;
  };
  CommandButton button;
  Label label;
  TextBox textBox;
  ScrollBar bar;
  const std::vector<Case> cases = {
      {"button has no Text", [&] { button.property("Text"); }, ErrorNumber::ObjectLacksProperty},
      {"button has no ForeColor", [&] { button.setProperty("ForeColor", i16(1)); },
       ErrorNumber::ObjectLacksProperty},
      {"label has no text", [&] { label.setProperty("text", Value(u"x")); },
       ErrorNumber::ObjectLacksProperty},
      {"text box has no Caption", [&] { textBox.property("Caption"); },
       ErrorNumber::ObjectLacksProperty},
      {"scroll bar has no Caption", [&] { bar.setProperty("Caption", Value(u"x")); },
       ErrorNumber::ObjectLacksProperty},
      {"caption from an object", [&] { button.setProperty("Caption", Value(&label)); },
       ErrorNumber::TypeMismatch},
      {"colour beyond 24 bits",
       [&] { label.setProperty("ForeColor", Value(std::int32_t{1 << 24})); },
       ErrorNumber::InvalidPropertyValue},
      {"negative colour", [&] { label.setProperty("ForeColor", i16(-1)); },
       ErrorNumber::InvalidPropertyValue},
      {"colour from text", [&] { label.setProperty("ForeColor", Value(u"red")); },
       ErrorNumber::TypeMismatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(errorOf(c.action), static_cast<int>(c.expected));
  }
  EXPECT_EQ(button.caption(), u"");
  EXPECT_EQ(label.foreColor(), Label::kButtonTextColour);
}

TEST(ScrollBarTest, RangeMayRunEitherWayAndValueStaysInside) {
  ScrollBar bar;
  bar.setProperty("Min", i16(60));
  bar.setProperty("Max", i16(0));
  bar.setProperty("Value", i16(4));
  EXPECT_TRUE(sameKindAndValue(bar.property("Value"), i16(4)));

  // The library sets the same range again, Max first: the position survives.
  bar.setProperty("Max", Value(std::int32_t{0}));
  bar.setProperty("Min", Value(60.0));
  bar.setProperty("SmallChange", i16(1));
  EXPECT_EQ(bar.value(), 4);
  EXPECT_EQ(bar.max(), 0);
  EXPECT_EQ(bar.min(), 60);
}

TEST(ScrollBarTest, NarrowingTheRangePullsValueIn) {
  struct Case {
    const char* name;
    int min;
    int max;
    int expected;
  };
  const std::vector<Case> cases = {
      {"below", 50, 100, 50},
      {"above", 0, 30, 30},
      {"above, reversed", 30, 0, 30},
      {"pulled up to Min, then kept by the reversed range", 100, 50, 100},
      {"inside", 10, 50, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScrollBar bar;
    bar.setValue(40);
    bar.setMin(static_cast<std::int16_t>(c.min));
    bar.setMax(static_cast<std::int16_t>(c.max));
    EXPECT_EQ(bar.value(), c.expected);
  }
}

TEST(ScrollBarTest, RefusedValuesLeaveTheBarAsItWas) {
  struct Case {
    const char* name;
    const char* property;
    Value written;
    ErrorNumber expected;
  };
  const std::vector<Case> cases = {
      {"zero step", "SmallChange", i16(0), ErrorNumber::InvalidPropertyValue},
      {"negative step", "SmallChange", i16(-5), ErrorNumber::InvalidPropertyValue},
      {"value beyond the range", "Value", i16(61), ErrorNumber::InvalidPropertyValue},
      {"value below the range", "Value", i16(-1), ErrorNumber::InvalidPropertyValue},
      {"Max beyond 16 bits", "Max", Value(std::int32_t{40000}), ErrorNumber::Overflow},
      {"Min from text", "Min", Value(u"top"), ErrorNumber::TypeMismatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScrollBar bar;
    bar.setMin(60);
    bar.setMax(0);
    bar.setSmallChange(5);
    bar.setValue(10);
    EXPECT_EQ(errorOf([&] { bar.setProperty(c.property, c.written); }),
              static_cast<int>(c.expected));
    EXPECT_EQ(bar.min(), 60);
    EXPECT_EQ(bar.max(), 0);
    EXPECT_EQ(bar.smallChange(), 5);
    EXPECT_EQ(bar.value(), 10);
  }
}

}  // namespace
}  // namespace fbc
