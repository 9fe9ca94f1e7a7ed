#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/errors.h"

namespace fbc::macro {
namespace {

using i16 = std::int16_t;

ErrorNumber errorOf(const auto& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return ErrorNumber{};
}

TEST(RmsTest, AccumulatesSampleBySample) {
  Value sample(i16{2});
  Value irms;
  Value step(0.25);
  Value tMin(u"not used");
  Value tMax(i16{1});
  Value integral(i16{0});
  const double expected[] = {1.0, std::sqrt(2.0), std::sqrt(3.0), 2.0};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(testing::Message() << "sample " << k + 1);
    Rms(sample, irms, step, tMin, tMax, integral);
    EXPECT_TRUE(sameKindAndValue(integral, Value(k + 1.0))) << integral;
    ASSERT_EQ(irms.kind(), Kind::Double);
    EXPECT_DOUBLE_EQ(irms.dbl(), expected[k]);
  }
}

TEST(RmsTest, FailedRootStillStoresTheIntegral) {
  const struct {
    const char* name;
    Value tMax;
    Value sample;
    ErrorNumber error;
    double integral;
  } cases[] = {
      {"zero averaging time", Value(i16{0}), Value(i16{2}), ErrorNumber::DivisionByZero, 1.0},
      {"negative mean square", Value(i16{-1}), Value(i16{2}), ErrorNumber::InvalidCall, 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Value sample = c.sample;
    Value irms(u"old");
    Value step(0.25);
    Value tMin;
    Value tMax = c.tMax;
    Value integral;
    EXPECT_EQ(errorOf([&] { Rms(sample, irms, step, tMin, tMax, integral); }), c.error);
    EXPECT_TRUE(sameKindAndValue(integral, Value(c.integral))) << integral;
    EXPECT_TRUE(sameKindAndValue(irms, Value(u"old")));
  }
}

TEST(SinUvwTest, ThreePhasesAtZeroAngle) {
  Value w(i16{314});
  Value t(i16{0});
  Value u;
  Value v;
  Value wPhase;
  Value pi(3.141592654);
  Value ampl(i16{10});
  SinUVW(w, t, u, v, wPhase, pi, ampl);
  for (const Value* result : {&u, &v, &wPhase}) {
    ASSERT_EQ(result->kind(), Kind::Double);
  }
  EXPECT_EQ(u.dbl(), 0.0);
  EXPECT_NEAR(v.dbl(), -8.660254, 1e-6);
  EXPECT_NEAR(wPhase.dbl(), 8.660254, 1e-6);
}

TEST(SinUvwTest, PhasesLagByThirdsOfATurn) {
  // θ = π/2: U at its peak, V and W at half the amplitude below zero.
  Value w(0.5);
  Value pi(3.141592654);
  Value t = pi;
  Value u;
  Value v;
  Value wPhase;
  Value ampl(2.0);
  SinUVW(w, t, u, v, wPhase, pi, ampl);
  EXPECT_NEAR(u.dbl(), 2.0, 1e-9);
  EXPECT_NEAR(v.dbl(), -1.0, 1e-9);
  EXPECT_NEAR(wPhase.dbl(), -1.0, 1e-9);
}

TEST(DivScaleTest, StepAboveTheValue) {
  const struct {
    Value i;
    double step;
  } cases[] = {
      {Value(), 0.5},          {Value(-3.0), 0.5},     {Value(0.3), 0.5},
      {Value(0.5), 1},         {Value(0.99), 1},       {Value(i16{1}), 5},
      {Value(4.999), 5},       {Value(i16{5}), 10},    {Value(i16{10}), 20},
      {Value(19.5F), 20},      {Value(i16{20}), 40},   {Value(i16{39}), 40},
      {Value(i16{40}), 50},    {Value(i16{45}), 50},   {Value(i16{50}), 100},
      {Value(i16{99}), 100},   {Value(i16{100}), 250}, {Value(249.9), 250},
      {Value(i16{250}), 500},  {Value(i16{499}), 500}, {Value(i16{500}), 500},
      {Value(i16{1000}), 500}, {Value(u"3"), 5},       {Value(u" 250 "), 500},
      {Value(true), 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "i = " << c.i);
    Value i = c.i;
    Value scale;
    Value mul(i16{1});
    DivScale(i, scale, mul);
    EXPECT_EQ(scale.toDouble(), c.step);
  }
}

TEST(DivScaleTest, StepTimesMultiplierKeepsTheArithmeticTypes) {
  const struct {
    Value i;
    Value mul;
    Value scale;
  } cases[] = {
      {Value(0.3), Value(i16{4}), Value(2.0)},
      {Value(i16{3}), Value(i16{4}), Value(i16{20})},
      {Value(u"3"), Value(i16{4}), Value(i16{20})},
      {Value(i16{45}), Value(i16{4}), Value(i16{200})},
      {Value(i16{1000}), Value(i16{4}), Value(i16{2000})},
      {Value(i16{250}), Value(i16{100}), Value(std::int32_t{50000})},
      {Value(i16{1}), Value(0.5F), Value(2.5F)},
      {Value(i16{1}), Value(), Value(i16{0})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "i = " << c.i << ", mul = " << c.mul);
    Value i = c.i;
    Value scale;
    Value mul = c.mul;
    DivScale(i, scale, mul);
    EXPECT_TRUE(sameKindAndValue(scale, c.scale)) << scale;
  }
}

TEST(DivScaleTest, TextThatIsNoNumberLeavesTheScale) {
  Value i(u"x");
  Value scale(u"old");
  Value mul(i16{4});
  EXPECT_EQ(errorOf([&] { DivScale(i, scale, mul); }), ErrorNumber::TypeMismatch);
  EXPECT_TRUE(sameKindAndValue(scale, Value(u"old")));
}

}  // namespace
}  // namespace fbc::macro
