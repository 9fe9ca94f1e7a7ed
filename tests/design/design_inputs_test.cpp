#include "design/design_inputs.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/input_rules.h"
#include "platform/text.h"

namespace fbc {
namespace {

struct JudgeCase {
  DesignInput input;
  const char16_t* text;
  std::optional<StopReason> expected;
};

// The judgement the window's red marks and the command line's messages share must agree with
// what the calculation itself does with the same text: the boxes read as 32-bit floats
// overflow where the 64-bit ones do not.
TEST(JudgeInputTest, NamesWhatKeepsATextFromBeingUsed) {
  const JudgeCase cases[] = {
      {DesignInput::Vin, u"200", std::nullopt},
      {DesignInput::Vin, u"", StopReason::NotANumber},
      {DesignInput::Vin, u"abc", StopReason::NotANumber},
      {DesignInput::Vin, u"１，０００", std::nullopt},       // full-width digits and comma
      {DesignInput::Vout, u"1e39", StopReason::OutOfRange},  // past the 32-bit range
      {DesignInput::Fs, u"1e39", std::nullopt},              // read as 64 bits
      {DesignInput::Fs, u"1e309", StopReason::OutOfRange},
      {DesignInput::Effi, u"80", std::nullopt},
      {DesignInput::Effi, u"0", StopReason::EfficiencyNotPositive},
      {DesignInput::Effi, u"-5", StopReason::EfficiencyNotPositive},
      {DesignInput::Duty, u"0.5", std::nullopt},
      {DesignInput::Duty, u"0", StopReason::DutyOutOfRange},
      {DesignInput::Duty, u"1", StopReason::DutyOutOfRange},
      {DesignInput::Duty, u"0.9999", std::nullopt},
      {DesignInput::Duty, u"x", StopReason::NotANumber},
      {DesignInput::Core, u"", std::nullopt},  // judged by the catalogue instead
      {DesignInput::None, u"abc", std::nullopt},
  };
  for (const JudgeCase& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    EXPECT_EQ(judgeInput(c.input, c.text), c.expected);
  }
}

TEST(JudgeInputTest, AgreesWithTheCalculationOnEveryRefusedBox) {
  const CoreCatalogue catalogue;
  for (const InputInfo& info : kInputTable) {
    if (info.input == DesignInput::Core) {
      continue;
    }
    for (const char16_t* text : {u"", u"abc", u"1e39", u"1e309", u"0", u"-1", u"1"}) {
      SCOPED_TRACE(std::string(info.key) + " = " + toUtf8(text));
      // Both callers apply a box's limit rule first; a text it replaces never reaches step 1.
      if (info.limit && !judgeInput(info.input, text) && limitReplacement(*info.limit, text)) {
        continue;
      }
      DesignInputs inputs;
      *inputText(inputs, info.input) = text;
      DesignState state;
      const CalculationResult result = calculateDesign(inputs, catalogue, state);
      const std::optional<StopReason> judged = judgeInput(info.input, text);
      if (judged) {
        // A refused text stops the calculation, blaming this box for that reason.
        EXPECT_FALSE(result.completed);
        EXPECT_EQ(result.cause, info.input);
        EXPECT_EQ(result.reason, *judged);
      } else if (!result.completed && result.failedStep == 1) {
        ADD_FAILURE() << "step 1 refused a text the judgement lets through";
      }
    }
  }
}

TEST(InputTableTest, EveryInputHasOneRowWithUniqueNames) {
  std::set<std::string_view> keys;
  std::set<std::string_view> boxes;
  for (const InputInfo& info : kInputTable) {
    EXPECT_EQ(inputInfo(info.input), &info);
    EXPECT_EQ(inputInfoByKey(info.key), &info);
    EXPECT_EQ(inputInfoByBox(info.box), &info);
    EXPECT_TRUE(keys.insert(info.key).second) << info.key;
    EXPECT_TRUE(boxes.insert(info.box).second) << info.box;
    EXPECT_FALSE(info.caption.empty());
  }
  EXPECT_EQ(inputInfo(DesignInput::None), nullptr);
  EXPECT_EQ(inputInfoByKey("level"), nullptr);
  EXPECT_EQ(inputInfoByBox("Text6"), nullptr);
  EXPECT_EQ(
      std::set<DesignInput>(kInputPresentationOrder.begin(), kInputPresentationOrder.end()).size(),
      kInputTable.size());
}

TEST(InputTableTest, StartValuesAreUsableAndAreTheDefaults) {
  const DesignInputs defaults;
  for (const InputInfo& info : kInputTable) {
    SCOPED_TRACE(info.key);
    EXPECT_EQ(*inputText(defaults, info.input), info.startText);
    EXPECT_EQ(judgeInput(info.input, info.startText), std::nullopt);
    if (info.limit) {
      EXPECT_EQ(limitReplacement(*info.limit, info.startText), std::nullopt);
    }
  }
  EXPECT_EQ(defaults.level, CoreLevel::Typ);
  // The window opens on the catalogue's first core.
  EXPECT_EQ(defaults.core, CoreCatalogue().name(1));
}

TEST(InputTableTest, TextsAreReachedByInput) {
  DesignInputs inputs;
  for (const InputInfo& info : kInputTable) {
    *inputText(inputs, info.input) = u"x" + std::u16string(info.key.begin(), info.key.end());
  }
  EXPECT_EQ(inputs.vin, u"xvin");
  EXPECT_EQ(inputs.duty, u"xduty");
  EXPECT_EQ(inputs.core, u"xcore");
  EXPECT_EQ(inputText(inputs, DesignInput::None), nullptr);
}

TEST(LevelNamesTest, RoundTripAndRefuseOthers) {
  for (CoreLevel level : {CoreLevel::Hi, CoreLevel::Typ, CoreLevel::Lo}) {
    EXPECT_EQ(levelFromName(levelName(level)), level);
    EXPECT_FALSE(levelCaption(level).empty());
  }
  EXPECT_EQ(levelFromName("HI"), std::nullopt);
  EXPECT_EQ(levelFromName(""), std::nullopt);
  EXPECT_EQ(levelCaption(CoreLevel::Typ), u"普通");
}

}  // namespace
}  // namespace fbc
