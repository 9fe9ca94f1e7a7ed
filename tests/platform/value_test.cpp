#include "platform/value.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "platform/checked_math.h"
#include "platform/errors.h"
#include "platform/object.h"

namespace fbc {
namespace {

Value i16(int v) { return Value(static_cast<std::int16_t>(v)); }
Value i32(std::int32_t v) { return Value(v); }
Value sgl(float v) { return Value(v); }
Value dbl(double v) { return Value(v); }
Value txt(const char16_t* v) { return Value(v); }
const Value kEmpty;
const Value kTrue(true);
const Value kFalse(false);

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

using Binary = Value (*)(const Value&, const Value&);

struct BinaryCase {
  const char* name;
  Binary operation;
  Value a;
  Value b;
  Value expected;
};

void expectCases(const std::vector<BinaryCase>& cases) {
  for (const BinaryCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Value result = c.operation(c.a, c.b);
    EXPECT_TRUE(sameKindAndValue(result, c.expected))
        << "got " << result << ", expected " << c.expected;
  }
}

TEST(ValueArithmeticTest, SumDifferenceProductTakeTheMorePreciseKind) {
  expectCases({
      {"Int16 + Int16", add, i16(2), i16(3), i16(5)},
      {"Int16 + Int32", add, i16(2), i32(3), i32(5)},
      {"Int16 + Single", add, i16(2), sgl(0.5F), sgl(2.5F)},
      {"Int16 + Double", add, i16(2), dbl(0.1), dbl(2.1)},
      {"Int32 - Int16", subtract, i32(70000), i16(1), i32(69999)},
      {"Single * Int32 gives Double", multiply, sgl(1.5F), i32(2), dbl(3.0)},
      {"Int32 + Single gives Double", add, i32(0), sgl(0.1F), dbl(static_cast<double>(0.1F))},
      {"Single + Single", add, sgl(0.1F), sgl(0.2F), sgl(0.1F + 0.2F)},
      {"Single * Single", multiply, sgl(0.1F), sgl(3.0F), sgl(0.1F * 3.0F)},
      {"Single + Double keeps the single's exact value", add, sgl(0.1F), dbl(0.0),
       dbl(static_cast<double>(0.1F))},
      {"Double - Int16", subtract, dbl(1.5), i16(2), dbl(-0.5)},
      {"Double * Single", multiply, dbl(2.0), sgl(0.1F), dbl(2.0 * static_cast<double>(0.1F))},
  });
}

TEST(ValueArithmeticTest, OverflowWidensToTheNextKind) {
  expectCases({
      {"Int16 32767 + 1", add, i16(32767), i16(1), i32(32768)},
      {"Int16 -32768 - 1", subtract, i16(-32768), i16(1), i32(-32769)},
      {"Int16 300 * 300", multiply, i16(300), i16(300), i32(90000)},
      {"Int16 -32768 * -1", multiply, i16(-32768), i16(-1), i32(32768)},
      {"Int32 max + 1", add, i32(kInt32Max), i16(1), dbl(2147483648.0)},
      {"Int32 min - Int32 1", subtract, i32(kInt32Min), i32(1), dbl(-2147483649.0)},
      {"Int32 65536 * 65536", multiply, i32(65536), i32(65536), dbl(4294967296.0)},
      {"Int32 max * max", multiply, i32(kInt32Max), i32(kInt32Max),
       dbl(static_cast<double>(std::int64_t{kInt32Max} * kInt32Max))},
      {"Single max + max", add, sgl(3e38F), sgl(3e38F), dbl(2.0 * static_cast<double>(3e38F))},
      {"Single * Int16 beyond the single range", multiply, sgl(3e38F), i16(10),
       dbl(10.0 * static_cast<double>(3e38F))},
  });
}

TEST(ValueArithmeticTest, EmptyBooleanAndTextOperands) {
  expectCases({
      {"Empty + Empty", add, kEmpty, kEmpty, i16(0)},
      {"Empty + Int32", add, kEmpty, i32(5), i32(5)},
      {"Empty - Single", subtract, kEmpty, sgl(1.5F), sgl(-1.5F)},
      {"Single * Empty", multiply, sgl(1.5F), kEmpty, sgl(0.0F)},
      {"True + Int16 1", add, kTrue, i16(1), i16(0)},
      {"True + True", add, kTrue, kTrue, i16(-2)},
      {"True * Single stays Single", multiply, kTrue, sgl(2.5F), sgl(-2.5F)},
      {"False + Int32", add, kFalse, i32(7), i32(7)},
      {"Text + Text joins", add, txt(u"ab"), txt(u"cd"), txt(u"abcd")},
      {"numeric texts join, not add", add, txt(u"12"), txt(u"3"), txt(u"123")},
      {"Text + Empty", add, txt(u"ab"), kEmpty, txt(u"ab")},
      {"Empty + Text", add, kEmpty, txt(u"ab"), txt(u"ab")},
      {"Text + Int16 converts", add, txt(u"2"), i16(3), dbl(5.0)},
      {"Single + Text gives Double", add, sgl(0.5F), txt(u"0.25"), dbl(0.75)},
      {"Int16 - Text with blanks", subtract, i16(3), txt(u" 1.5 "), dbl(1.5)},
      {"Text * Text", multiply, txt(u"2"), txt(u"3"), dbl(6.0)},
      {"Text - Empty", subtract, txt(u"2"), kEmpty, dbl(2.0)},
      {"Text + True", add, txt(u"1"), kTrue, dbl(0.0)},
  });
}

TEST(ValueArithmeticTest, QuotientIsSingleOnlyBesideSingleOrInt16) {
  expectCases({
      {"Int16 / Int16", divide, i16(1), i16(2), dbl(0.5)},
      {"Int16 7 / 2", divide, i16(7), i16(2), dbl(3.5)},
      {"Int32 / Int16", divide, i32(1), i16(3), dbl(1.0 / 3.0)},
      {"Single / Int16", divide, sgl(1.0F), i16(3), sgl(1.0F / 3.0F)},
      {"Int16 / Single", divide, i16(1), sgl(3.0F), sgl(1.0F / 3.0F)},
      {"Single / Single", divide, sgl(0.1F), sgl(0.3F), sgl(0.1F / 0.3F)},
      {"Single / Int32", divide, sgl(1.0F), i32(3), dbl(1.0 / 3.0)},
      {"Int32 / Single", divide, i32(1), sgl(3.0F), dbl(1.0 / 3.0)},
      {"Single / Double", divide, sgl(1.0F), dbl(3.0), dbl(1.0 / 3.0)},
      {"Empty / Single", divide, kEmpty, sgl(2.0F), sgl(0.0F)},
      {"True / Single", divide, kTrue, sgl(4.0F), sgl(-0.25F)},
      {"Single beyond its range", divide, sgl(3e38F), sgl(0.5F),
       dbl(2.0 * static_cast<double>(3e38F))},
      {"Text / Int16", divide, txt(u"1"), i16(4), dbl(0.25)},
      {"Int16 / Text", divide, i16(1), txt(u"4"), dbl(0.25)},
  });
}

TEST(ValueArithmeticTest, FunctionsAlwaysGiveDouble) {
  expectCases({
      {"Int16 ^ Int16", power, i16(2), i16(10), dbl(1024.0)},
      {"Single ^ Int16", power, sgl(0.1F), i16(2), dbl(std::pow(static_cast<double>(0.1F), 2.0))},
      {"Double ^ fraction", power, dbl(8.0), dbl(1.0 / 3.0), dbl(std::pow(8.0, 1.0 / 3.0))},
  });
  struct UnaryCase {
    const char* name;
    Value result;
    Value expected;
  };
  const UnaryCase cases[] = {
      {"sqrt Int16", squareRoot(i16(2)), dbl(std::sqrt(2.0))},
      {"sqrt Single", squareRoot(sgl(4.0F)), dbl(2.0)},
      {"sqrt Empty", squareRoot(kEmpty), dbl(0.0)},
      {"sin Single", sine(sgl(0.5F)), dbl(std::sin(0.5))},
      {"log Int16", naturalLog(i16(1)), dbl(0.0)},
      {"log Text", naturalLog(txt(u"10")), dbl(std::log(10.0))},
      {"log 1000 / log 10", divide(naturalLog(i16(1000)), naturalLog(i16(10))),
       dbl(2.9999999999999996)},
  };
  for (const UnaryCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(sameKindAndValue(c.result, c.expected))
        << "got " << c.result << ", expected " << c.expected;
  }
}

TEST(ValueArithmeticTest, NegationWidensLikeTheSum) {
  struct Case {
    const char* name;
    Value operand;
    Value expected;
  };
  const Case cases[] = {
      {"Int16", i16(5), i16(-5)},
      {"Int16 min", i16(-32768), i32(32768)},
      {"Int32 min", i32(kInt32Min), dbl(2147483648.0)},
      {"Single", sgl(0.1F), sgl(-0.1F)},
      {"Double", dbl(2.5), dbl(-2.5)},
      {"Empty", kEmpty, i16(0)},
      {"True", kTrue, i16(1)},
      {"Text", txt(u"2.5"), dbl(-2.5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Value result = negate(c.operand);
    EXPECT_TRUE(sameKindAndValue(result, c.expected))
        << "got " << result << ", expected " << c.expected;
  }
}

class PlainObject : public Object {};

struct FaultCase {
  const char* name;
  std::function<void()> operation;
  int error;
};

void expectFaults(const std::vector<FaultCase>& cases) {
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.operation();
      ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.code(), c.error);
    }
  }
}

TEST(ValueArithmeticTest, FaultsCarryTheirErrorNumber) {
  PlainObject object;
  const Value objectValue(object);
  const Value arrayValue(ColumnArray::make(1, 2));
  const double max = std::numeric_limits<double>::max();
  expectFaults({
      {"Int16 / 0", [] { divide(i16(1), i16(0)); }, 11},
      {"Double / Empty", [] { divide(dbl(1.5), kEmpty); }, 11},
      {"Single / False", [] { divide(sgl(1.5F), kFalse); }, 11},
      {"0 / 0", [] { divide(i16(0), i16(0)); }, 6},
      {"Single 0 / Double 0", [] { divide(sgl(0.0F), dbl(0.0)); }, 6},
      {"Double overflow in a sum", [max] { add(dbl(max), dbl(max)); }, 6},
      {"Double overflow in a product", [max] { multiply(dbl(max), i16(2)); }, 6},
      {"Double overflow in a quotient", [] { divide(dbl(1e308), dbl(1e-10)); }, 6},
      {"power overflow", [] { power(i16(10), i16(400)); }, 6},
      {"sqrt of a negative", [] { squareRoot(i16(-1)); }, 5},
      {"log of zero", [] { naturalLog(kEmpty); }, 5},
      {"log of a negative", [] { naturalLog(sgl(-1.0F)); }, 5},
      {"zero to a negative power", [] { power(i16(0), i16(-1)); }, 5},
      {"negative to a fractional power", [] { power(i16(-8), dbl(0.5)); }, 5},
      {"non-numeric text + number", [] { add(txt(u"abc"), i16(1)); }, 13},
      {"number - empty text", [] { subtract(i16(1), txt(u"")); }, 13},
      {"text with trailing letters", [] { multiply(txt(u"1x"), i16(2)); }, 13},
      {"text / number", [] { divide(txt(u"x"), i16(2)); }, 13},
      {"sqrt of a text", [] { squareRoot(txt(u"x")); }, 13},
      {"object + number", [&objectValue] { add(objectValue, i16(1)); }, 13},
      {"array * number", [&arrayValue] { multiply(arrayValue, i16(1)); }, 13},
      {"text + object", [&objectValue] { add(txt(u"a"), objectValue); }, 13},
      {"negated object", [&objectValue] { negate(objectValue); }, 13},
      {"object & text", [&objectValue] { concat(objectValue, txt(u"a")); }, 13},
  });
}

TEST(ValueArithmeticTest, NumbersNeverAllocate) {
  const Value operands[] = {kEmpty,    i16(-7),  i16(32767), i32(kInt32Max),
                            sgl(0.1F), dbl(2.5), kTrue};
  int unequal = 0;
  const long before = testing_support::allocationCount();
  for (const Value& a : operands) {
    for (const Value& b : operands) {
      const Value sum = add(a, b);
      const Value difference = subtract(a, b);
      Value copy = sum;
      copy = multiply(copy, difference);
      copy = divide(copy, sgl(0.5F));
      unequal += compare(sum, negate(copy)) != 0 ? 1 : 0;
    }
  }
  const long after = testing_support::allocationCount();
  EXPECT_EQ(after, before);
  EXPECT_GT(unequal, 0);
  // The counter does see allocations: a long text needs one.
  const Value text(u"a text longer than any small-string buffer");
  EXPECT_GT(testing_support::allocationCount(), after);
}

// What an operation gave: the error number it raised, or the kind and exact bits of its result
// (NaN included, which never equals itself).
struct Outcome {
  int error = 0;
  Kind kind = Kind::Empty;
  std::uint64_t bits = 0;

  friend bool operator==(const Outcome&, const Outcome&) = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << "error " << o.error << ", " << kindName(o.kind) << " bits " << std::hex << o.bits
             << std::dec;
}

template <typename F>
Outcome outcomeOf(F&& operation) {
  Outcome outcome;
  try {
    const Value result = operation();
    outcome.kind = result.kind();
    switch (result.kind()) {
      case Kind::Int16:
        outcome.bits = static_cast<std::uint16_t>(result.int16());
        break;
      case Kind::Int32:
        outcome.bits = static_cast<std::uint32_t>(result.int32());
        break;
      case Kind::Single:
        outcome.bits = std::bit_cast<std::uint32_t>(result.single());
        break;
      case Kind::Double:
        outcome.bits = std::bit_cast<std::uint64_t>(result.dbl());
        break;
      default:
        ADD_FAILURE() << "not a number: " << result;
    }
  } catch (const RuntimeError& error) {
    outcome.error = error.code();
  }
  return outcome;
}

// Operands at the edges of each numeric kind: widening, overflow, infinities, NaN, signed zero.
std::vector<Value> edgeNumbers() {
  const float singleMax = std::numeric_limits<float>::max();
  const double doubleMax = std::numeric_limits<double>::max();
  const float singleInf = std::numeric_limits<float>::infinity();
  const double doubleInf = std::numeric_limits<double>::infinity();
  return {
      i16(0),
      i16(1),
      i16(-7),
      i16(300),
      i16(32767),
      i16(-32768),
      i32(0),
      i32(70000),
      i32(-65536),
      i32(kInt32Max),
      i32(kInt32Min),
      sgl(0.0F),
      sgl(-0.0F),
      sgl(0.1F),
      sgl(-2.5F),
      sgl(16777217.0F),
      sgl(3e38F),
      sgl(-singleMax),
      sgl(std::numeric_limits<float>::denorm_min()),
      sgl(singleInf),
      sgl(std::numeric_limits<float>::quiet_NaN()),
      dbl(0.0),
      dbl(-0.0),
      dbl(0.1),
      dbl(381.5),
      dbl(1e308),
      dbl(-doubleMax),
      dbl(std::numeric_limits<double>::denorm_min()),
      dbl(3.4028235677973366e38),
      dbl(doubleInf),
      dbl(-doubleInf),
      dbl(std::numeric_limits<double>::quiet_NaN()),
  };
}

TEST(ValueArithmeticTest, PlainNumbersGiveWhatTheGeneralRulesGive) {
  struct Operation {
    const char* name;
    Binary quick;
    Binary general;
  };
  const Operation operations[] = {
      {"+", add, detail::addByRules},
      {"-", subtract, detail::subtractByRules},
      {"*", multiply, detail::multiplyByRules},
  };
  const std::vector<Value> numbers = edgeNumbers();
  for (const Operation& operation : operations) {
    for (const Value& a : numbers) {
      for (const Value& b : numbers) {
        SCOPED_TRACE(testing::PrintToString(a) + " " + operation.name + " " +
                     testing::PrintToString(b));
        EXPECT_EQ(outcomeOf([&] { return operation.quick(a, b); }),
                  outcomeOf([&] { return operation.general(a, b); }));
      }
    }
  }
}

TEST(ValueConversionTest, SingleOfAPlainNumberFollowsTheStoringRule) {
  for (const Value& number : edgeNumbers()) {
    SCOPED_TRACE(testing::PrintToString(number));
    const auto single = [](float f) { return Value(f); };
    const Outcome expected =
        number.kind() == Kind::Single
            ? outcomeOf([&] { return number; })
            : outcomeOf([&] { return single(toSingleChecked(number.toDouble())); });
    EXPECT_EQ(outcomeOf([&] { return single(number.toSingle()); }), expected);
  }
}

TEST(ValueTextTest, ConcatenationConvertsBothSides) {
  expectCases({
      {"Int16 & Text", concat, i16(5), txt(u"V"), txt(u"5V")},
      {"Empty & Empty", concat, kEmpty, kEmpty, txt(u"")},
      {"True & Text", concat, kTrue, txt(u""), txt(u"True")},
      {"Single & Double", concat, sgl(2.5F), dbl(0.25), txt(u"2.50.25")},
      {"Int32 & Int16", concat, i32(-1000000), i16(7), txt(u"-10000007")},
  });
}

TEST(ValueTextTest, ToTextGivesGeneralNumberText) {
  struct Case {
    Value value;
    std::u16string text;
  };
  const Case cases[] = {
      {kEmpty, u""},
      {i16(-5), u"-5"},
      {i32(1000000), u"1000000"},
      {sgl(2.5F), u"2.5"},
      {sgl(0.1F), u"0.1"},
      {dbl(0.25), u"0.25"},
      {dbl(50.0), u"50"},
      {kTrue, u"True"},
      {kFalse, u"False"},
      {txt(u"電圧 V"), u"電圧 V"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.value));
    EXPECT_EQ(c.value.toText(), c.text);
  }
}

TEST(ValueComparisonTest, AcrossKinds) {
  PlainObject object;
  struct Case {
    const char* name;
    Value a;
    Value b;
    int expected;
  };
  const Case cases[] = {
      {"Int16 5 = Double 5", i16(5), dbl(5.0), 0},
      {"Int32 above Single", i32(100000), sgl(99999.5F), 1},
      {"Single 0.1 above Double 0.1", sgl(0.1F), dbl(0.1), 1},
      {"Int16 below Int32", i16(-1), i32(70000), -1},
      {"True = Int16 -1", kTrue, i16(-1), 0},
      {"True below False", kTrue, kFalse, -1},
      {"texts by code", txt(u"abc"), txt(u"abd"), -1},
      {"upper case below lower case", txt(u"B"), txt(u"a"), -1},
      {"prefix first", txt(u"a"), txt(u"ab"), -1},
      {"full-width after ASCII", txt(u"\uFF21"), txt(u"Z"), 1},
      {"equal texts", txt(u"電圧"), txt(u"電圧"), 0},
      {"numeric texts as texts", txt(u"10"), txt(u"9"), -1},
      {"number below text", i16(1000), txt(u"1"), -1},
      {"text above number", txt(u""), dbl(1e300), 1},
      {"Empty = 0", kEmpty, i16(0), 0},
      {"Empty above -1", kEmpty, sgl(-1.0F), 1},
      {"Empty = empty text", kEmpty, txt(u""), 0},
      {"Empty below text", kEmpty, txt(u"a"), -1},
      {"text above Empty", txt(u"a"), kEmpty, 1},
      {"Empty = Empty", kEmpty, kEmpty, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int order = compare(c.a, c.b);
    EXPECT_EQ((order > 0) - (order < 0), c.expected);
    const int reversed = compare(c.b, c.a);
    EXPECT_EQ((reversed > 0) - (reversed < 0), -c.expected);
  }
  EXPECT_TRUE(equals(i16(2), sgl(2.0F)));
  EXPECT_FALSE(sameKindAndValue(i16(2), sgl(2.0F)));
  expectFaults({
      {"object with number", [&object] { compare(Value(object), i16(1)); }, 13},
      {"text with array", [] { compare(txt(u"a"), Value(ColumnArray::make(0, 0))); }, 13},
  });
}

TEST(ValueComparisonTest, ConstantConvertsATextFirst) {
  struct Case {
    const char* name;
    Value a;
    Value constant;
    int expected;
  };
  const Case cases[] = {
      // compare() would put any text above the number; against a constant it counts as 10.
      {"text 10 below constant 100", txt(u"10"), i16(100), -1},
      {"text 2.5 = constant 2.5", txt(u" 2.5"), dbl(2.5), 0},
      {"number against constant", sgl(0.5F), i16(1), -1},
      {"Empty against constant 0", kEmpty, i16(0), 0},
      {"text against text constant", txt(u"b"), txt(u"a"), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int order = compareWithConstant(c.a, c.constant);
    EXPECT_EQ((order > 0) - (order < 0), c.expected);
  }
  expectFaults({{"non-numeric text", [] { compareWithConstant(txt(u"abc"), i16(1)); }, 13},
                {"empty text", [] { compareWithConstant(txt(u""), i16(0)); }, 13}});
}

TEST(ValueConversionTest, IntoTypedVariables) {
  EXPECT_EQ(dbl(2.5).toInt16(), 2);
  EXPECT_EQ(dbl(3.5).toInt16(), 4);
  EXPECT_EQ(sgl(-2.5F).toInt16(), -2);
  EXPECT_EQ(dbl(-32768.5).toInt16(), -32768);
  EXPECT_EQ(txt(u"12.5").toInt16(), 12);
  EXPECT_EQ(kTrue.toInt16(), -1);
  EXPECT_EQ(kEmpty.toInt16(), 0);
  EXPECT_EQ(i32(-32768).toInt16(), -32768);
  EXPECT_EQ(dbl(-2147483648.5).toInt32(), kInt32Min);
  EXPECT_EQ(sgl(1.5F).toInt32(), 2);
  EXPECT_EQ(i16(-7).toInt32(), -7);

  EXPECT_EQ(dbl(1e-9).toSingle(), 1e-9F);
  EXPECT_EQ(static_cast<double>(dbl(0.001).toSingle()), 0.0010000000474974513);
  EXPECT_EQ(i32(16777217).toSingle(), 16777216.0F);
  EXPECT_EQ(txt(u"0.1").toSingle(), 0.1F);
  EXPECT_EQ(kTrue.toSingle(), -1.0F);

  EXPECT_EQ(sgl(0.1F).toDouble(), static_cast<double>(0.1F));
  EXPECT_EQ(i32(kInt32Max).toDouble(), 2147483647.0);
  EXPECT_EQ(txt(u"1e-3").toDouble(), 0.001);
  EXPECT_EQ(kEmpty.toDouble(), 0.0);

  const std::pair<Value, Value> numbers[] = {
      {kTrue, i16(-1)},       {kEmpty, i16(0)}, {txt(u"2"), dbl(2.0)},
      {sgl(0.5F), sgl(0.5F)}, {i32(7), i32(7)},
  };
  for (const auto& [value, number] : numbers) {
    SCOPED_TRACE(testing::PrintToString(value));
    EXPECT_TRUE(sameKindAndValue(value.toNumber(), number));
  }

  const std::pair<Value, bool> booleans[] = {
      {i16(0), false},          {dbl(0.5), true},   {kEmpty, false},    {txt(u"TRUE"), true},
      {txt(u" false "), false}, {txt(u"0"), false}, {txt(u"-2"), true}, {kTrue, true},
  };
  for (const auto& [value, expected] : booleans) {
    SCOPED_TRACE(testing::PrintToString(value));
    EXPECT_EQ(value.toBoolean(), expected);
  }
}

TEST(ValueConversionTest, ValuesThatDoNotFitFail) {
  PlainObject object;
  const Value objectValue(object);
  expectFaults({
      {"1000000 into Int16", [] { i32(1000000).toInt16(); }, 6},
      {"32767.5 into Int16", [] { dbl(32767.5).toInt16(); }, 6},
      {"40000 text into Int16", [] { txt(u"40000").toInt16(); }, 6},
      {"1e10 into Int32", [] { dbl(1e10).toInt32(); }, 6},
      {"Int32 max + 0.5 into Int32", [] { dbl(2147483647.5).toInt32(); }, 6},
      {"1e39 into Single", [] { dbl(1e39).toSingle(); }, 6},
      {"NaN into Single", [] { dbl(std::numeric_limits<double>::quiet_NaN()).toSingle(); }, 6},
      {"text into Double", [] { txt(u"abc").toDouble(); }, 13},
      {"empty text into Int16", [] { txt(u"").toInt16(); }, 13},
      {"text into Boolean", [] { txt(u"yes").toBoolean(); }, 13},
      {"object into Double", [&objectValue] { objectValue.toDouble(); }, 13},
      {"object into text", [&objectValue] { objectValue.toText(); }, 13},
      {"array into Single", [] { Value(ColumnArray::make(1, 1)).toSingle(); }, 13},
  });
}

TEST(ColumnArrayTest, BoundsAndSharing) {
  auto column = ColumnArray::make(-2, 2);
  EXPECT_EQ(column->lower(), -2);
  EXPECT_EQ(column->upper(), 2);
  for (long long i = -2; i <= 2; ++i) {
    EXPECT_TRUE(column->at(i).isEmpty());
  }
  const Value argument(column);
  // A copy of the value refers to the same elements: a procedure writes into the caller's.
  Value copy = argument;
  copy.array().at(1) = i16(42);
  EXPECT_TRUE(sameKindAndValue(argument.array().at(1), i16(42)));
  EXPECT_EQ(&argument.array(), column.get());
  EXPECT_TRUE(sameKindAndValue(copy, argument));

  const ColumnArray& constant = *column;
  expectFaults({
      {"below lower", [&column] { column->at(-3); }, 9},
      {"above upper", [&column] { column->at(3); }, 9},
      {"const above upper", [&constant] { constant.at(3); }, 9},
      {"crossed bounds", [] { ColumnArray(3, 1); }, 9},
      {"Empty as array", [] { kEmpty.array(); }, 9},
      {"Int16 as array", [] { i16(1).array(); }, 9},
      {"null array", [] { Value(std::shared_ptr<ColumnArray>()).array(); }, 9},
  });
  EXPECT_EQ(ColumnArray(5, 5).upper(), 5);
}

TEST(ObjectTest, MissingPropertiesAndSurfaces) {
  PlainObject object;
  Object* nothing = nullptr;
  expectFaults({
      {"property", [&object] { object.property("Caption"); }, 438},
      {"setProperty", [&object] { object.setProperty("Caption", i16(1)); }, 438},
      {"object of Empty", [] { kEmpty.object(); }, 438},
      {"object of a text", [] { txt(u"Pic1").object(); }, 438},
      {"object of a null reference", [nothing] { Value(nothing).object(); }, 438},
      {"surface of a plain object", [&object] { surfaceOf(Value(object)); }, 438},
      {"surface of Empty", [] { surfaceOf(kEmpty); }, 438},
      {"surface of a number", [] { surfaceOf(i16(1)); }, 438},
  });
  EXPECT_EQ(&Value(object).object(), &object);
}

}  // namespace
}  // namespace fbc
