#include "review/review_inputs.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace fbc {
namespace {

TEST(ReviewInputsTest, StartTextsGiveTheDefaultConditions) {
  const ReviewInputReading reading = readReviewInputs(ReviewInputs{});
  ASSERT_FALSE(reading.problem);
  EXPECT_EQ(reading.conditions.material->name, "N97");
  EXPECT_EQ(reading.conditions.ambient, 40.0);
  EXPECT_EQ(reading.conditions.maxTemperature, 100.0);
  const ReviewConditions defaults;
  EXPECT_EQ(defaults.material, reading.conditions.material);
  EXPECT_EQ(defaults.ambient, reading.conditions.ambient);
  EXPECT_EQ(defaults.maxTemperature, reading.conditions.maxTemperature);
  for (const ReviewInputInfo& info : kReviewInputTable) {
    EXPECT_EQ(reviewInputInfoByKey(info.key), &info);
    EXPECT_EQ(&reviewInputInfo(info.input), &info);
  }
  EXPECT_EQ(reviewInputInfoByKey("vin"), nullptr);
}

TEST(ReviewInputsTest, EachUnusableTextIsBlamedWithItsReason) {
  struct Case {
    ReviewInput input;
    std::u16string text;
    std::optional<ReviewInputFault> fault;
    ReviewInput blamed;
    std::string reason;
  };
  const Case cases[] = {
      {ReviewInput::Material, u"N87", std::nullopt, ReviewInput::Material, ""},
      {ReviewInput::Material, u" 3C95 ", std::nullopt, ReviewInput::Material, ""},
      {ReviewInput::Material, u"n97", ReviewInputFault::UnknownMaterial, ReviewInput::Material,
       "expected N97, N87, 3C95 or 3C90"},
      {ReviewInput::Material, u"", ReviewInputFault::UnknownMaterial, ReviewInput::Material,
       "expected N97, N87, 3C95 or 3C90"},
      {ReviewInput::Ambient, u"abc", ReviewInputFault::NotANumber, ReviewInput::Ambient,
       "not a number"},
      {ReviewInput::Ambient, u"300", ReviewInputFault::OutOfRange, ReviewInput::Ambient,
       "must lie between -40 and 125"},
      {ReviewInput::Ambient, u"-41", ReviewInputFault::OutOfRange, ReviewInput::Ambient,
       "must lie between -40 and 125"},
      {ReviewInput::Ambient, u"1e999", ReviewInputFault::OutOfRange, ReviewInput::Ambient,
       "must lie between -40 and 125"},
      {ReviewInput::Ambient, u"２５", std::nullopt, ReviewInput::Ambient, ""},
      {ReviewInput::MaxTemperature, u"40", ReviewInputFault::NotAboveAmbient,
       ReviewInput::MaxTemperature, "must lie above the ambient temperature"},
      {ReviewInput::MaxTemperature, u"251", ReviewInputFault::OutOfRange,
       ReviewInput::MaxTemperature, "must lie between 0 and 250"},
      {ReviewInput::MaxTemperature, u"nan", ReviewInputFault::NotANumber,
       ReviewInput::MaxTemperature, "not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    ReviewInputs inputs;
    inputs.text(c.input) = c.text;
    const ReviewInputReading reading = readReviewInputs(inputs);
    ASSERT_EQ(reading.problem.has_value(), c.fault.has_value());
    if (!c.fault) {
      continue;
    }
    EXPECT_EQ(reading.problem->fault, *c.fault);
    EXPECT_EQ(reading.problem->input, c.blamed);
    EXPECT_EQ(reviewInputFaultText(*reading.problem), c.reason);
    EXPECT_FALSE(reviewInputFaultTextJa(*reading.problem).empty());
  }
}

TEST(ReviewInputsTest, TheFirstUnusableInputInTableOrderIsBlamed) {
  ReviewInputs inputs;
  inputs.text(ReviewInput::MaxTemperature) = u"x";
  inputs.text(ReviewInput::Ambient) = u"y";
  EXPECT_EQ(readReviewInputs(inputs).problem->input, ReviewInput::Ambient);
}

}  // namespace
}  // namespace fbc
