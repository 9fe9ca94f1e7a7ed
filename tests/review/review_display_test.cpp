#include "review/review_display.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/text.h"
#include "review/review.h"

namespace fbc {
namespace {

TEST(ReviewDisplayTest, EveryReviewNumberHasOneDisplay) {
  const DesignReview review;
  std::set<std::u16string_view> captions;
  for (const ReviewQuantity& q : reviewQuantities(review)) {
    SCOPED_TRACE(std::string(q.name));
    const ReviewDisplay* d = reviewDisplay(q.name);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->name, q.name);
    EXPECT_TRUE(captions.insert(d->caption).second) << "caption used twice";
    EXPECT_FALSE(d->description.empty());
  }
  EXPECT_EQ(reviewDisplay("nothing"), nullptr);
}

TEST(ReviewDisplayTest, ValuesAreShownInTheEngineersUnit) {
  const struct {
    const char* name;
    double value;
    const char* text;
  } cases[] = {
      {"gap", 8.7034e-3, "8.70"},        // m shown in mm
      {"LpRef", 3.333333e-4, "333.33"},  // H shown in µH
      {"AL", 6.4685e-9, "6.5"},          // H shown in nH
      {"Np", 227, "227"},
      {"Bpk", 0.19716, "0.197"},
      {"Vds", -0.0001, "0.0"},  // no negative zero
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reviewValueText(*reviewDisplay(c.name), c.value), c.text);
  }
}

TEST(ReviewDisplayTest, FlagSentencesNameTheirLimitsInBothLanguages) {
  std::set<std::u16string> sentences;
  std::set<std::u16string> shortNames;
  for (ReviewFlag flag : kReviewFlags) {
    SCOPED_TRACE(std::string(reviewFlagCode(flag)));
    EXPECT_TRUE(sentences.insert(reviewFlagSentence(flag)).second);
    EXPECT_TRUE(shortNames.insert(reviewFlagShortName(flag)).second);
    EXPECT_FALSE(reviewFlagSentenceEnglish(flag).empty());
  }
  EXPECT_NE(toUtf8(reviewFlagSentence(ReviewFlag::GapTooLarge)).find("20%"), std::string::npos);
  EXPECT_NE(toUtf8(reviewFlagSentence(ReviewFlag::GapTooSmall)).find("0.1 mm"), std::string::npos);
  EXPECT_NE(reviewFlagSentenceEnglish(ReviewFlag::FluxNearSaturation).find("0.35 T"),
            std::string::npos);
  EXPECT_NE(reviewFlagSentenceEnglish(ReviewFlag::TurnsImpractical).find("1000000"),
            std::string::npos);
}

TEST(ReviewDisplayTest, VerdictSaysWhetherItCanBeBuilt) {
  DesignReview review;
  EXPECT_NE(reviewVerdict(review).find(u"レビューできません"), std::u16string::npos);
  review.valid = true;
  review.feasible = true;
  EXPECT_EQ(reviewVerdict(review), u"このトランスは製作できます。");
  review.feasible = false;
  EXPECT_EQ(reviewVerdict(review), u"このままでは製作できません。");
}

}  // namespace
}  // namespace fbc
