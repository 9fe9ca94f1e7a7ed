#include "design/input_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/text.h"

namespace fbc {
namespace {

struct LimitCase {
  LimitedBox box;
  const char16_t* typed;
  const char16_t* replacement;  // nullptr: the text stays as typed
};

const char* boxName(LimitedBox box) {
  switch (box) {
    case LimitedBox::Vin:
      return "txtVin";
    case LimitedBox::Vout:
      return "txtVout";
    case LimitedBox::Iout:
      return "txtIout";
    case LimitedBox::Fs:
      return "txtFs";
    case LimitedBox::Vf:
      return "txtVf";
  }
  return "?";
}

TEST(LimitRuleTest, ReplacesOnlyValuesOutsideTheLimits) {
  const LimitCase cases[] = {
      {LimitedBox::Fs, u"300001", u"300000"}, {LimitedBox::Fs, u"300000", nullptr},
      {LimitedBox::Fs, u"9999", u"10000"},    {LimitedBox::Fs, u"10000", nullptr},
      {LimitedBox::Fs, u"2", u"10000"},       {LimitedBox::Fs, u"500000", u"300000"},
      {LimitedBox::Fs, u"1e5", nullptr},      {LimitedBox::Vin, u"1000.5", u"1000"},
      {LimitedBox::Vin, u"1000", nullptr},    {LimitedBox::Vin, u"9.99", u"10"},
      {LimitedBox::Vin, u"10", nullptr},      {LimitedBox::Vin, u"-5", u"10"},
      {LimitedBox::Vout, u"60.01", u"60"},    {LimitedBox::Vout, u"60", nullptr},
      {LimitedBox::Vout, u"60.0", nullptr},   {LimitedBox::Vout, u" 24", nullptr},
      {LimitedBox::Vout, u"0", u"10"},        {LimitedBox::Vout, u"-3", u"10"},
      {LimitedBox::Vout, u"0.1", nullptr},    {LimitedBox::Iout, u"61", u"60"},
      {LimitedBox::Iout, u"60", nullptr},     {LimitedBox::Iout, u"0", u"1"},
      {LimitedBox::Iout, u"-1", u"1"},        {LimitedBox::Iout, u"0.001", nullptr},
      {LimitedBox::Vf, u"3.2", u"3"},         {LimitedBox::Vf, u"3", nullptr},
      {LimitedBox::Vf, u"-0.1", u"0"},        {LimitedBox::Vf, u"0", nullptr},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(std::string(boxName(c.box)) + " " + toUtf8(c.typed));
    const std::optional<std::u16string> replaced = limitReplacement(c.box, c.typed);
    if (c.replacement == nullptr) {
      EXPECT_EQ(replaced, std::nullopt);
    } else {
      EXPECT_EQ(replaced, std::optional<std::u16string>(c.replacement));
      // Writing the replacement raises the change again; that nested run must leave it alone.
      EXPECT_EQ(limitReplacement(c.box, *replaced), std::nullopt);
    }
  }
}

TEST(LimitRuleTest, TextThatIsNotANumberFails) {
  for (LimitedBox box :
       {LimitedBox::Vin, LimitedBox::Vout, LimitedBox::Iout, LimitedBox::Fs, LimitedBox::Vf}) {
    for (const char16_t* text : {u"", u"-", u"abc", u"1e", u"12V"}) {
      SCOPED_TRACE(std::string(boxName(box)) + " \"" + toUtf8(text) + "\"");
      try {
        limitReplacement(box, text);
        ADD_FAILURE() << "no error";
      } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::TypeMismatch);
      }
    }
  }
}

TEST(InputCurrentEstimateTest, ComputesFromTheTypedTexts) {
  const struct {
    const char16_t* vout;
    const char16_t* iout;
    const char16_t* effi;
    const char16_t* vin;
    const char16_t* shown;
  } cases[] = {
      {u"24", u"10", u"80", u"200", u"1.5"},
      {u"24", u"10", u"90", u"200", u"1.33333333333333"},
      {u"12", u"1", u"100", u"100", u"0.12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.effi));
    EXPECT_EQ(estimatedInputCurrentText(c.vout, c.iout, c.effi, c.vin), c.shown);
  }
}

TEST(InputCurrentEstimateTest, FailsOnZeroEfficiencyAndOnNonNumbers) {
  const struct {
    const char* name;
    const char16_t* vout;
    const char16_t* iout;
    const char16_t* effi;
    const char16_t* vin;
    ErrorNumber error;
  } cases[] = {
      {"efficiency 0", u"24", u"10", u"0", u"200", ErrorNumber::DivisionByZero},
      {"input voltage 0", u"24", u"10", u"80", u"0", ErrorNumber::DivisionByZero},
      {"efficiency empty", u"24", u"10", u"", u"200", ErrorNumber::TypeMismatch},
      {"output voltage letters", u"abc", u"10", u"80", u"200", ErrorNumber::TypeMismatch},
      {"output current lone minus", u"24", u"-", u"80", u"200", ErrorNumber::TypeMismatch},
      {"input voltage empty", u"24", u"10", u"80", u"", ErrorNumber::TypeMismatch},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      estimatedInputCurrentText(c.vout, c.iout, c.effi, c.vin);
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), c.error);
    }
  }
}

}  // namespace
}  // namespace fbc
