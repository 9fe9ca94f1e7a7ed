#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "chartlib/macro_library.h"
#include "platform/palette.h"

namespace fbc::macro {
namespace {

struct Constants {
  Value pi = Value(u"untouched");
  Value Meg;
  Value k;
  Value m;
  Value u;
  Value n;

  Constants() { Constant(pi, Meg, k, m, u, n); }
};

TEST(ConstantTest, WritesEachConstantWithItsType) {
  const Constants c;
  const struct {
    const char* name;
    const Value& written;
    Value expected;
  } cases[] = {
      {"pi", c.pi, Value(3.141592654)},      {"Meg", c.Meg, Value(std::int32_t{1000000})},
      {"k", c.k, Value(std::int16_t{1000})}, {"m", c.m, Value(0.001)},
      {"u", c.u, Value(0.000001)},           {"n", c.n, Value(0.000000001)},
  };
  for (const auto& e : cases) {
    SCOPED_TRACE(e.name);
    EXPECT_TRUE(sameKindAndValue(e.written, e.expected)) << e.written;
  }
}

TEST(ConstantTest, PiIsTheTenDigitDecimalNotTheNearestDouble) {
  const Constants c;
  ASSERT_EQ(c.pi.kind(), Kind::Double);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(c.pi.dbl()), std::uint64_t{0x400921FB54524550});
  EXPECT_NE(c.pi.dbl(), std::numbers::pi);
  // The difference shows from the tenth significant digit on.
  EXPECT_LT(std::abs(c.pi.dbl() - std::numbers::pi), 1e-9);
  EXPECT_GT(std::abs(c.pi.dbl() - std::numbers::pi), 1e-10);
}

TEST(ConstantTest, SinglePrecisionReadings) {
  const Constants c;
  EXPECT_EQ(c.n.toSingle(), 9.999999717e-10F);
  EXPECT_EQ(static_cast<double>(c.m.toSingle()), 0.0010000000474974513);
}

TEST(ColorTest, EachNameHoldsItsPaletteIndex) {
  for (int call = 0; call < 2; ++call) {
    std::vector<Value> v(16, Value(u"untouched"));
    Color(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13],
          v[14], v[15]);
    const struct {
      const char* name;
      Rgb colour;
    } names[] = {
        {"ClrBla", rgb(0, 0, 0)},       {"ClrBlu", rgb(0, 0, 128)},
        {"ClrGre", rgb(0, 128, 0)},     {"ClrSia", rgb(0, 128, 128)},
        {"ClrRed", rgb(128, 0, 0)},     {"ClrMaz", rgb(128, 0, 128)},
        {"ClrYel", rgb(128, 128, 0)},   {"ClrWhi", rgb(192, 192, 192)},
        {"ClrGra", rgb(128, 128, 128)}, {"ClrBluh", rgb(0, 0, 255)},
        {"ClrGreH", rgb(0, 255, 0)},    {"ClrSiaH", rgb(0, 255, 255)},
        {"ClrRedh", rgb(255, 0, 0)},    {"ClrMazH", rgb(255, 0, 255)},
        {"ClrYelH", rgb(255, 255, 0)},  {"ClrWhiH", rgb(255, 255, 255)},
    };
    for (std::int16_t i = 0; i < 16; ++i) {
      const auto at = static_cast<std::size_t>(i);
      SCOPED_TRACE(testing::Message() << "call " << call << " " << names[at].name);
      EXPECT_TRUE(sameKindAndValue(v[at], Value(i))) << v[at];
      EXPECT_EQ(paletteColour(v[at]), names[at].colour);
    }
  }
}

TEST(MulTest, DoubleAndTripleFollowTheTypeOfA) {
  const struct {
    const char* name;
    Value a;
    Value twice;
    Value thrice;
  } cases[] = {
      {"Int16", Value(std::int16_t{7}), Value(std::int16_t{14}), Value(std::int16_t{21})},
      {"Int16 widening", Value(std::int16_t{20000}), Value(std::int32_t{40000}),
       Value(std::int32_t{60000})},
      {"Int32", Value(std::int32_t{100000}), Value(std::int32_t{200000}),
       Value(std::int32_t{300000})},
      {"Single", Value(1.5F), Value(3.0F), Value(4.5F)},
      {"Double", Value(0.1), Value(0.2), Value(0.1 * 3)},
      {"Empty", Value(), Value(std::int16_t{0}), Value(std::int16_t{0})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Value a = c.a;
    Value b;
    Value three;
    mul(a, b, three);
    EXPECT_TRUE(sameKindAndValue(a, c.a)) << a;
    EXPECT_TRUE(sameKindAndValue(b, c.twice)) << b;
    EXPECT_TRUE(sameKindAndValue(three, c.thrice)) << three;
  }
}

TEST(MaxTest, KeepsTheRunningMaximumAsACopyOfX) {
  Value maxX(5.0);
  Value x(std::int16_t{4});
  Max(x, maxX);
  EXPECT_TRUE(sameKindAndValue(maxX, Value(5.0))) << "smaller X leaves MaxX";

  x = Value(std::int16_t{5});
  Max(x, maxX);
  EXPECT_TRUE(sameKindAndValue(maxX, Value(std::int16_t{5}))) << "equal X is copied with its type";
  EXPECT_TRUE(sameKindAndValue(x, Value(std::int16_t{5})));

  Value running;
  for (float sample : {-1.0F, 3.0F, 2.0F, 7.5F, 7.0F}) {
    Value s(sample);
    Max(s, running);
  }
  EXPECT_TRUE(sameKindAndValue(running, Value(7.5F))) << running;
}

TEST(LimitTest, ClampsWithTheUpperBoundFirst) {
  const struct {
    const char* name;
    Value x;
    Value maxX;
    Value minX;
    Value expected;
  } cases[] = {
      {"inside", Value(7.0), Value(10.0), Value(0.0), Value(7.0)},
      {"equal to MaxX", Value(10.0), Value(std::int16_t{10}), Value(0.0), Value(std::int16_t{10})},
      {"equal to MinX", Value(0.0), Value(10.0), Value(std::int16_t{0}), Value(std::int16_t{0})},
      {"above", Value(5.5F), Value(std::int16_t{5}), Value(std::int16_t{1}),
       Value(std::int16_t{5})},
      {"below", Value(-2.0), Value(5.0), Value(1.0F), Value(1.0F)},
      {"crossed bounds, upper test first", Value(7.0), Value(5.0), Value(10.0), Value(5.0)},
      {"crossed bounds, below both", Value(3.0), Value(5.0), Value(10.0), Value(10.0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Value x = c.x;
    Value maxX = c.maxX;
    Value minX = c.minX;
    Limit(x, maxX, minX);
    EXPECT_TRUE(sameKindAndValue(x, c.expected)) << x;
    EXPECT_TRUE(sameKindAndValue(maxX, c.maxX));
    EXPECT_TRUE(sameKindAndValue(minX, c.minX));
  }
}

}  // namespace
}  // namespace fbc::macro
