#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "review/ferrite_material.h"

namespace fbc {

// What the engineering review needs beyond the design's inputs: the conditions the
// transformer runs in. The window's review, the command line's options and the batch's columns
// read them through this one table, with the same start values and limits.
enum class ReviewInput { Material, Ambient, MaxTemperature };

struct ReviewInputInfo {
  ReviewInput input;
  std::string_view key;           // option without dashes, JSON member and batch column
  std::u16string_view caption;    // the review window's name for it, units included
  std::string_view description;   // the English name, units included
  std::u16string_view startText;  // the text it holds until changed
  double lower;                   // numbers only: the smallest and largest accepted
  double upper;
};

inline constexpr std::array<ReviewInputInfo, 3> kReviewInputTable{{
    {ReviewInput::Material, "material", u"コア材質", "Core material", u"N97", 0, 0},
    {ReviewInput::Ambient, "ambient", u"周囲温度[℃]", "Ambient temperature [°C]", u"40", -40, 125},
    {ReviewInput::MaxTemperature, "max-temperature", u"上限温度[℃]",
     "Highest core temperature allowed [°C]", u"100", 0, 250},
}};

const ReviewInputInfo& reviewInputInfo(ReviewInput input);
// The row whose key is `key`, or nullptr.
const ReviewInputInfo* reviewInputInfoByKey(std::string_view key);

// The texts of the review's inputs, as typed; they start at the table's start texts.
struct ReviewInputs {
  std::array<std::u16string, kReviewInputTable.size()> texts = [] {
    std::array<std::u16string, kReviewInputTable.size()> start;
    for (std::size_t i = 0; i < start.size(); ++i) {
      start[i] = kReviewInputTable[i].startText;
    }
    return start;
  }();

  std::u16string& text(ReviewInput input) { return texts[static_cast<std::size_t>(input)]; }
  const std::u16string& text(ReviewInput input) const {
    return texts[static_cast<std::size_t>(input)];
  }

  friend bool operator==(const ReviewInputs&, const ReviewInputs&) = default;
};

// The conditions the review works the losses and temperature out for.
struct ReviewConditions {
  const FerriteMaterial* material = ferriteMaterial(kDefaultMaterial);
  double ambient = 40.0;          // °C
  double maxTemperature = 100.0;  // °C, the core may not run hotter
};

// Why a review input's text cannot be used.
enum class ReviewInputFault {
  NotANumber,
  UnknownMaterial,
  OutOfRange,      // outside the table's lower and upper limits
  NotAboveAmbient  // the highest temperature allowed must lie above the ambient
};

struct ReviewInputProblem {
  ReviewInput input;
  ReviewInputFault fault;
};

// The conditions the texts give, or the first input (in table order) that cannot be used.
struct ReviewInputReading {
  ReviewConditions conditions;
  std::optional<ReviewInputProblem> problem;
};
ReviewInputReading readReviewInputs(const ReviewInputs& inputs);

// What is wrong, in a few words, with the limits and choices: "expected N97, N87, 3C95 or
// 3C90", "must lie between -40 and 125".
std::string reviewInputFaultText(const ReviewInputProblem& problem);
std::u16string reviewInputFaultTextJa(const ReviewInputProblem& problem);

}  // namespace fbc
