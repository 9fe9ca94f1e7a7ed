#include "platform/counting_loop.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace fbc {
namespace {

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }

std::vector<Value> passes(const Value& start, const Value& end, const Value& step) {
  std::vector<Value> seen;
  countingLoop(start, end, step, [&seen](const Value& running) { seen.push_back(running); });
  return seen;
}

struct LoopCase {
  const char* name;
  Value start;
  Value end;
  Value step;
  std::vector<Value> expected;
};

TEST(CountingLoopTest, PassesFollowTheSumRule) {
  const double decade = std::log(1000.0) / std::log(10.0);  // 2.9999999999999996
  const std::vector<LoopCase> cases = {
      {"Int16 up, end included", i16(1), i16(3), i16(1), {i16(1), i16(2), i16(3)}},
      {"Int16 down", i16(3), i16(1), i16(-1), {i16(3), i16(2), i16(1)}},
      {"start beyond end", i16(4), i16(3), i16(1), {}},
      {"start beyond end downwards", i16(1), i16(3), i16(-1), {}},
      {"end just below 3", i16(0), Value(decade), i16(1), {i16(0), i16(1), i16(2)}},
      {"Double step hits the end exactly",
       i16(0),
       i16(1),
       Value(0.25),
       {i16(0), Value(0.25), Value(0.5), Value(0.75), Value(1.0)}},
      {"Int16 running value widens instead of overflowing",
       i16(32766),
       Value(std::int32_t{32768}),
       i16(1),
       {i16(32766), i16(32767), Value(std::int32_t{32768})}},
      {"text limits count as Double", Value(u"1"), Value(u"2"), i16(1), {Value(1.0), Value(2.0)}},
      {"Empty start is Int16 0", Value(), i16(1), i16(1), {i16(0), i16(1)}},
      {"Boolean start is Int16 -1", Value(true), i16(0), i16(1), {i16(-1), i16(0)}},
  };
  for (const LoopCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Value> seen = passes(c.start, c.end, c.step);
    ASSERT_EQ(seen.size(), c.expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
      EXPECT_TRUE(sameKindAndValue(seen[i], c.expected[i]))
          << "pass " << i << ": got " << seen[i] << ", expected " << c.expected[i];
    }
  }
}

TEST(CountingLoopTest, DoubleTenthsIncludeTheValueJustBelowTheEnd) {
  const std::vector<Value> seen = passes(i16(0), i16(1), Value(0.1));
  // Ten additions of 0.1 give 0.9999999999999999, which is still <= 1; the next value,
  // 1.0999999999999999, is not.
  ASSERT_EQ(seen.size(), 11U);
  EXPECT_TRUE(sameKindAndValue(seen.back(), Value(0.9999999999999999)));
}

TEST(CountingLoopTest, SingleTenthsOvershootTheEnd) {
  const std::vector<Value> seen = passes(i16(0), i16(1), Value(0.1F));
  // In 32-bit floats the tenth addition gives 1.0000001, past the end: ten passes only.
  ASSERT_EQ(seen.size(), 10U);
  EXPECT_TRUE(sameKindAndValue(seen.front(), i16(0)));
  for (std::size_t i = 1; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].kind(), Kind::Single);
  }
  EXPECT_TRUE(sameKindAndValue(seen.back(), Value(0.900000095F)));
}

TEST(CountingLoopTest, NegativeDoubleStepIncludesTheTinyRemainder) {
  const std::vector<Value> seen = passes(i16(1), i16(0), Value(-0.1));
  ASSERT_EQ(seen.size(), 11U);
  EXPECT_TRUE(sameKindAndValue(seen.back(), Value(1.3877787807814457e-16)));
}

TEST(CountingLoopTest, LimitsAreEvaluatedOnce) {
  Value end = i16(3);
  Value step = i16(1);
  int count = 0;
  countingLoop(i16(1), end, step, [&](const Value&) {
    ++count;
    end = i16(100);
    step = i16(0);
  });
  EXPECT_EQ(count, 3);
}

TEST(CountingLoopTest, RefusesAZeroOrNonNumericStep) {
  struct Case {
    const char* name;
    Value step;
    int error;
  };
  const Case cases[] = {
      {"Int16 0", i16(0), 5},     {"Double 0", Value(0.0), 5},     {"Empty", Value(), 5},
      {"text 0", Value(u"0"), 5}, {"text abc", Value(u"abc"), 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int count = 0;
    try {
      countingLoop(i16(0), i16(1), c.step, [&count](const Value&) { ++count; });
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.code(), c.error);
    }
    EXPECT_EQ(count, 0);
  }
}

}  // namespace
}  // namespace fbc
