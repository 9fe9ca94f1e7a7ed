#include "design/result_texts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "design/calculation.h"
#include "platform/text.h"

namespace fbc {
namespace {

constexpr std::u16string_view kDangerous =
    u"銅線温度上昇が大きく危険です。コアを大きくするか容量をへらしましょう。";
constexpr std::u16string_view kHot = u"銅線温度上昇は熱いです。強い冷却が必要です。";
constexpr std::u16string_view kJustRight = u"銅線温度上昇は調度よいです。";
constexpr std::u16string_view kSmall = u"銅線温度上昇は少ないです。自冷でも可能です。";
constexpr std::u16string_view kCool = u"銅線はクールです。";

float justAbove(float bound) { return std::nextafter(bound, std::numeric_limits<float>::max()); }

TEST(CopperVerdictTest, BoundsBelongToTheCoolerRow) {
  const struct {
    float im;
    std::u16string_view verdict;
  } cases[] = {
      {36.32921F, kDangerous},
      {justAbove(5.0F), kDangerous},
      {5.0F, kHot},
      {justAbove(3.5F), kHot},
      {3.5F, kJustRight},
      {justAbove(2.5F), kJustRight},
      {2.5F, kSmall},
      {justAbove(1.5F), kSmall},
      {1.5F, kCool},
      {0.0F, kCool},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.im);
    EXPECT_EQ(copperVerdict(c.im), c.verdict);
  }
}

TEST(CopperVerdictTest, ListedCoresFallIntoEveryRow) {
  const CoreCatalogue catalogue;
  const struct {
    const char16_t* core;
    std::u16string_view verdict;
  } cases[] = {
      {u"EER25.5", kDangerous}, {u"EER40", kHot}, {u"EER49", kJustRight},
      {u"PQ40", kSmall},        {u"PQ50", kCool}, {u"EC90", kCool},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.core));
    DesignInputs inputs;
    inputs.core = c.core;
    DesignState state;
    ASSERT_TRUE(calculateDesign(inputs, catalogue, state).completed);
    EXPECT_EQ(resultTexts(state).lblCuondo, c.verdict);
  }
}

TEST(ResultTextsTest, WorkedExampleCaptions) {
  const CoreCatalogue catalogue;
  DesignState state;
  ASSERT_TRUE(calculateDesign(DesignInputs{}, catalogue, state).completed);

  const ResultTexts texts = resultTexts(state);
  EXPECT_EQ(texts.lblCuondo, kDangerous);
  EXPECT_EQ(toUtf8(texts.lbltest), "8.125668E-09,202.5396,0.2204155,36.32921");
  EXPECT_EQ(toUtf8(texts.lblIin), "1.5");
  EXPECT_EQ(toUtf8(texts.lblNt), "1 : 0.136");
  EXPECT_EQ(toUtf8(texts.lblLp), "333.333[uH]");
  EXPECT_EQ(texts.lblinfo, u"この結果を画面コピー[PrtSc]を画像ファイルなどにしてタルミナ電機<" +
                               std::u16string(kMakerContactAddress) +
                               u">へ送れば試作可能(有料)です。");
  EXPECT_EQ(texts.lblinfo, informationMessage());
}

TEST(ResultTextsTest, InductanceInMicrohenriesStaysA32BitProduct) {
  // 0.05 as a 32-bit float is 0.0500000007...; in 64 bits the µH value would show 50000.001,
  // the two 32-bit products round it to 50000 exactly.
  DesignState state;
  state.Lp = 0.05F;
  EXPECT_EQ(toUtf8(resultTexts(state).lblLp), "50000.000[uH]");
}

TEST(ResultTextsTest, TurnsRatioAndInductanceRoundToThreeDecimals) {
  const struct {
    float nt;
    float lp;
    const char* lblNt;
    const char* lblLp;
  } cases[] = {
      {0.1361066F, 3.333333e-4F, "1 : 0.136", "333.333[uH]"},
      {2.0F, 1e-3F, "1 : 2.000", "1000.000[uH]"},
      {0.0F, 0.0F, "1 : 0.000", "0.000[uH]"},
      {0.0004F, 1.5e-9F, "1 : 0.000", "0.002[uH]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lblNt);
    DesignState state;
    state.Nt = c.nt;
    state.Lp = c.lp;
    const ResultTexts texts = resultTexts(state);
    EXPECT_EQ(toUtf8(texts.lblNt), c.lblNt);
    EXPECT_EQ(toUtf8(texts.lblLp), c.lblLp);
  }
}

}  // namespace
}  // namespace fbc
