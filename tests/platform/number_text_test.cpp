#include "platform/number_text.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/text.h"

namespace fbc {
namespace {

std::string narrow(const std::u16string& text) { return toUtf8(text); }

// ---- General number text -------------------------------------------------------------------

struct FloatCase {
  float value;
  const char* expected;
};

TEST(GeneralText, SingleUsesSevenDigitsAndSwitchesToExponentFarFromOne) {
  const FloatCase cases[] = {
      {8.125668e-9F, "8.125668E-09"},  // AL of the worked example
      {202.5396F, "202.5396"},
      {0.2204155F, "0.2204155"},
      {36.32921F, "36.32921"},
      {1e-5F, "1E-05"},
      {1.5F, "1.5"},
      {2.5F, "2.5"},
      {0.25F, "0.25"},
      {500.0F, "500"},
      {50.0F, "50"},
      {0.1F, "0.1"},
      {1.0F / 3.0F, "0.3333333"},
      {-1.5F, "-1.5"},
      {-8.125668e-9F, "-8.125668E-09"},
      {0.0F, "0"},
      {-0.0F, "0"},
      // The plain range is 0.0001 <= |x| < 10^7, judged after rounding to 7 digits.
      {0.0001F, "0.0001"},
      {0.0005F, "0.0005"},
      {0.00009999F, "9.999E-05"},
      {9.9999999e-5F, "0.0001"},
      {3.333333e-4F, "0.0003333333"},  // Lp of the worked example
      {0.01234567F, "0.01234567"},
      {1.0F / 30.0F, "0.03333334"},
      {0.001F, "0.001"},
      {1234567.0F, "1234567"},
      {9999999.0F, "9999999"},
      {12345678.0F, "1.234568E+07"},
      {10000000.0F, "1E+07"},
      {16777217.0F, "1.677722E+07"},
      {FLT_MAX, "3.402823E+38"},
      {-FLT_MAX, "-3.402823E+38"},
      {FLT_MIN, "1.175494E-38"},
      {std::numeric_limits<float>::denorm_min(), "1.401298E-45"},
      {std::numeric_limits<float>::infinity(), "inf"},
      {-std::numeric_limits<float>::infinity(), "-inf"},
      {std::numeric_limits<float>::quiet_NaN(), "nan"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(narrow(generalText(c.value)), c.expected);
  }
}

struct DoubleCase {
  double value;
  const char* expected;
};

TEST(GeneralText, DoubleUsesFifteenDigitsAndSwitchesToExponentFarFromOne) {
  const DoubleCase cases[] = {
      {4.0 / 3.0, "1.33333333333333"},  // input-current estimate at 90 %
      {1.5, "1.5"},
      {0.001, "0.001"},
      {0.1 + 0.2, "0.3"},
      {50.0, "50"},
      {50000.0 * 0.001, "50"},  // fs caption
      {1000.0 / 200.0 / 4.0, "1.25"},
      {-2.0 / 3.0, "-0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.0, "999999999999999"},
      {999999999999999.875, "1E+15"},
      {1e15, "1E+15"},
      {1234567890123456.0, "1.23456789012346E+15"},
      {0.0001, "0.0001"},
      {1.0 / 3.0, "0.333333333333333"},
      {1.0 / 30.0, "0.0333333333333333"},
      {0.05, "0.05"},
      {9.99999999999999e-5, "9.99999999999999E-05"},
      {9.999999999999999e-5, "0.0001"},
      {1.5e-7, "1.5E-07"},
      {1e100, "1E+100"},
      {1e-300, "1E-300"},
      {DBL_MAX, "1.79769313486232E+308"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {0.0, "0"},
      {-0.0, "0"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(narrow(generalText(c.value)), c.expected);
  }
}

TEST(GeneralText, IntegersArePlainDigits) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "0"},
      {7, "7"},
      {-32768, "-32768"},
      {2147483647, "2147483647"},
      {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(narrow(generalText(value)), expected);
  }
}

// A float's text, read back as a float, is the float rounded to 7 significant digits. The
// reference rounding comes from the C library, independently of the code under test.
TEST(GeneralText, SingleTextReadsBackAsTheValueRoundedToSevenDigits) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::uniform_real_distribution<float> everyday(-1e6F, 1e6F);
  for (int i = 0; i < 4000; ++i) {
    float value = 0;
    if (i % 2 == 0) {
      const std::uint32_t pattern = bits(random);
      std::memcpy(&value, &pattern, sizeof value);
      if (!std::isfinite(value)) {
        continue;
      }
    } else {
      value = everyday(random);
    }
    char reference[64];
    std::snprintf(reference, sizeof reference, "%.6e", static_cast<double>(value));
    const float expected = std::strtof(reference, nullptr);
    const std::u16string text = generalText(value);
    SCOPED_TRACE(reference);
    const ParsedSingle parsed = parseSingle(text);
    ASSERT_EQ(parsed.status, ParseStatus::Ok) << narrow(text);
    EXPECT_EQ(parsed.value, expected) << narrow(text);
  }
}

TEST(GeneralText, DoubleTextReadsBackAsTheValueRoundedToFifteenDigits) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> everyday(-1e9, 1e9);
  for (int i = 0; i < 4000; ++i) {
    double value = 0;
    if (i % 2 == 0) {
      const std::uint64_t pattern = random();
      std::memcpy(&value, &pattern, sizeof value);
      if (!std::isfinite(value)) {
        continue;
      }
    } else {
      value = everyday(random);
    }
    char reference[64];
    std::snprintf(reference, sizeof reference, "%.14e", value);
    const double expected = std::strtod(reference, nullptr);
    const std::u16string text = generalText(value);
    SCOPED_TRACE(reference);
    const ParsedDouble parsed = parseDouble(text);
    ASSERT_EQ(parsed.status, ParseStatus::Ok) << narrow(text);
    EXPECT_EQ(parsed.value, expected) << narrow(text);
  }
}

// ---- Format patterns -----------------------------------------------------------------------

struct PatternCase {
  double value;
  const char16_t* pattern;
  int significantDigits;
  const char* expected;
};

TEST(FormatPattern, RoundsHalvesAwayFromZeroAtTheLastPlaceShown) {
  const PatternCase cases[] = {
      {5.0, u"0.000", 15, "5.000"},
      {static_cast<double>(333.33334F), u"0.000", 15, "333.333"},  // lblLp of the worked example
      {0.1361066, u"0.000", 15, "0.136"},
      {2.675, u"0.00", 15, "2.68"},  // binary value lies just below the half
      {0.125, u"0.00", 15, "0.13"},
      {0.5, u"0", 15, "1"},
      {1.5, u"0", 15, "2"},
      {2.5, u"0", 15, "3"},
      {-0.5, u"0", 15, "-1"},
      {-2.5, u"0", 15, "-3"},
      {0.4999, u"0", 15, "0"},
      {99.96, u"0.0", 15, "100.0"},
      {999.95, u"0.0", 15, "1000.0"},
      {123456.789, u"0.0", 15, "123456.8"},
      {12345.0, u"0", 15, "12345"},
      {1e20, u"0", 15, "100000000000000000000"},
      {0.0005, u"0.000", 15, "0.001"},
      {0.0, u"0.000", 15, "0.000"},
      // No negative zero: a negative value shown as zero has no sign.
      {-0.0001, u"0.000", 15, "0.000"},
      {-0.0, u"0", 15, "0"},
      {-0.0005, u"0.000", 15, "-0.001"},
      // Reduced to the significant digits first, then rounded.
      {1.23449996, u"0.000", 7, "1.235"},
      {1.23449996, u"0.000", 15, "1.234"},
      {static_cast<double>(333.33334F), u"0.0000", 7, "333.3333"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << narrow(c.pattern) << " " << c.value);
    EXPECT_EQ(narrow(formatPattern(c.value, c.pattern, c.significantDigits)), c.expected);
  }
}

TEST(FormatPattern, ExponentFormShowsASignedExponentOfAtLeastTheGivenDigits) {
  const PatternCase cases[] = {
      {1250.0, u"0.00E+00", 15, "1.25E+03"},     {0.0005, u"0.00E+00", 15, "5.00E-04"},
      {0.0, u"0.00E+00", 15, "0.00E+00"},        {0.001, u"0.00E+00", 15, "1.00E-03"},
      {0.0015, u"0.00E+00", 15, "1.50E-03"},     {0.002, u"0.00E+00", 15, "2.00E-03"},
      {1.0, u"0.00E+00", 15, "1.00E+00"},        {-1250.0, u"0.00E+00", 15, "-1.25E+03"},
      {9.995, u"0.00E+00", 15, "1.00E+01"},  // carry into the exponent
      {1e100, u"0.0E+00", 15, "1.0E+100"},       {1e-5, u"0.00E+00", 15, "1.00E-05"},
      {12345.0, u"0.00E+000", 15, "1.23E+004"},  {1250.0, u"0.00e-00", 15, "1.25e03"},
      {0.0125, u"0.00e-00", 15, "1.25e-02"},     {1250.0, u"00.0E+0", 15, "12.5E+2"},
      {1250.0, u"0.00E+00 V", 15, "1.25E+03 V"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << narrow(c.pattern) << " " << c.value);
    EXPECT_EQ(narrow(formatPattern(c.value, c.pattern, c.significantDigits)), c.expected);
  }
}

TEST(FormatPattern, OptionalPlacesGroupingAndLiterals) {
  const PatternCase cases[] = {
      {1234567.891, u"#,##0.00", 15, "1,234,567.89"},
      {1234.0, u"#,##0", 15, "1,234"},
      {123.0, u"#,##0", 15, "123"},
      {0.0, u"#,##0", 15, "0"},
      {-1234567.0, u"#,##0", 15, "-1,234,567"},
      {0.5, u"#.##", 15, ".5"},
      {5.0, u"0.##", 15, "5."},
      {1.25, u"0.0#", 15, "1.25"},
      {1.2, u"0.0#", 15, "1.2"},
      {5.0, u"00", 15, "05"},
      {0.5, u".00", 15, ".50"},
      {1.5, u".00", 15, "1.50"},
      {12.3, u"[0.0]", 15, "[12.3]"},
      {75.0, u"0 V", 15, "75 V"},
      {-75.0, u"$0", 15, "-$75"},
      {3.0, u"0 E", 15, "3 E"},  // "E" without sign and digits is text
      {3.0, u"0,", 15, "3,"},    // a comma not between digit places is text
      {3.0, u"abc", 15, "abc"},
      {3.0, u"", 15, ""},
      {std::numeric_limits<double>::infinity(), u"0.00", 15, "inf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << narrow(c.pattern) << " " << c.value);
    EXPECT_EQ(narrow(formatPattern(c.value, c.pattern, c.significantDigits)), c.expected);
  }
}

// ---- Text to number ------------------------------------------------------------------------

struct AcceptCase {
  const char16_t* text;
  double expected;
};

TEST(ParseNumber, AcceptsBlanksSignsPointsExponentsAndGroupedThousands) {
  const AcceptCase cases[] = {
      {u"1.5", 1.5},
      {u" 42 ", 42},
      {u"\t-3\t", -3},
      {u" 24", 24},
      {u"60.0", 60},
      {u"+7", 7},
      {u".5", 0.5},
      {u"5.", 5},
      {u"-.5", -0.5},
      {u"00012", 12},
      {u"0.1", 0.1},
      {u"1e5", 1e5},
      {u"1E+05", 1e5},
      {u"2.5e-3", 2.5e-3},
      {u"1e0005", 1e5},
      {u"1,000", 1000},
      {u"12,345.5", 12345.5},
      {u"1,234,567", 1234567},
      {u"-1,000", -1000},
      {u"1,000e3", 1e6},
      {u"1.7976931348623157e308", DBL_MAX},
      {u"0e99999999999", 0},
      {u"100000e-400", 0},  // underflow is not an error
      // What a Japanese input method types.
      {u"１２３", 123},
      {u"－１．５", -1.5},
      {u"＋２", 2},
      {u"１ｅ３", 1000},
      {u"１Ｅ－３", 0.001},
      {u"１，０００", 1000},
      {u"\u3000５\u3000", 5},
      {u"\u22125", -5},
      {u"1２.5", 12.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(narrow(c.text));
    const ParsedDouble asDouble = parseDouble(c.text);
    EXPECT_EQ(asDouble.status, ParseStatus::Ok);
    EXPECT_EQ(asDouble.value, c.expected);
    if (std::abs(c.expected) <= FLT_MAX) {
      const ParsedSingle asSingle = parseSingle(c.text);
      EXPECT_EQ(asSingle.status, ParseStatus::Ok);
      EXPECT_EQ(asSingle.value, static_cast<float>(c.expected));
    }
    EXPECT_EQ(textToDouble(c.text), c.expected);
  }
}

TEST(ParseNumber, RejectsTextThatIsNotAsAWholeANumber) {
  const char16_t* const cases[] = {
      u"",          u" ",
      u"\u3000",    u"-",
      u"+",         u".",
      u"-.",        u"1e",
      u"1e+",       u"e5",
      u"abc",       u"1a",
      u"inf",       u"-inf",
      u"nan",       u"infinity",
      u"0x1A",      u"1.5.2",
      u",100",      u"1,00",
      u"1,5",       u"1,0000",
      u"1000,",     u"1,,000",
      u"12345,678", u"1.000,5",
      u"1e1,000",   u"1 000",
      u"- 5",       u"--5",
      u"1-",        u"5%",
      u"$5",        u"1e5.5",
      u"１２x",     u"\U0001F600",
      u"1\u00A0",   u"\u3000－\u3000",
  };
  for (const char16_t* text : cases) {
    SCOPED_TRACE(narrow(text));
    EXPECT_EQ(parseDouble(text).status, ParseStatus::NotANumber);
    EXPECT_EQ(parseSingle(text).status, ParseStatus::NotANumber);
    try {
      textToDouble(text);
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), ErrorNumber::TypeMismatch);
    }
  }
}

struct RangeCase {
  const char16_t* text;
  ParseStatus doubleStatus;
  ParseStatus singleStatus;
};

TEST(ParseNumber, ValuesBeyondTheTypeAreOutOfRangeAndTinyOnesBecomeZero) {
  const RangeCase cases[] = {
      {u"1e400", ParseStatus::OutOfRange, ParseStatus::OutOfRange},
      {u"-1e400", ParseStatus::OutOfRange, ParseStatus::OutOfRange},
      {u"0.000001e400", ParseStatus::OutOfRange, ParseStatus::OutOfRange},
      {u"1e99999999999999999999", ParseStatus::OutOfRange, ParseStatus::OutOfRange},
      {u"1e39", ParseStatus::Ok, ParseStatus::OutOfRange},
      {u"-3.5e38", ParseStatus::Ok, ParseStatus::OutOfRange},
      {u"3.4028236e38", ParseStatus::Ok, ParseStatus::OutOfRange},
      {u"3.4028235e38", ParseStatus::Ok, ParseStatus::Ok},
      {u"1e-400", ParseStatus::Ok, ParseStatus::Ok},
      {u"1e-99999999999999999999", ParseStatus::Ok, ParseStatus::Ok},
      {u"1e-46", ParseStatus::Ok, ParseStatus::Ok},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(narrow(c.text));
    EXPECT_EQ(parseDouble(c.text).status, c.doubleStatus);
    EXPECT_EQ(parseSingle(c.text).status, c.singleStatus);
  }

  EXPECT_EQ(parseSingle(u"3.4028235e38").value, FLT_MAX);
  EXPECT_EQ(parseSingle(u"1e-46").value, 0.0F);
  EXPECT_EQ(parseDouble(u"1e-400").value, 0.0);
  EXPECT_TRUE(std::signbit(parseDouble(u"-1e-400").value));
  EXPECT_TRUE(std::signbit(parseSingle(u"-1e-46").value));
  // Denormals are kept.
  EXPECT_EQ(parseSingle(u"1e-40").value, 1e-40F);
  EXPECT_EQ(parseDouble(u"4e-320").value, 4e-320);
}

TEST(ParseNumber, ThrowingFormsRaiseOverflowAndTypeMismatch) {
  const auto errorOf = [](auto&& convert) {
    try {
      convert();
    } catch (const RuntimeError& error) {
      return error.code();
    }
    return 0;
  };
  EXPECT_EQ(errorOf([] { textToDouble(u"1e400"); }), 6);
  EXPECT_EQ(errorOf([] { textToSingle(u"1e39"); }), 6);
  EXPECT_EQ(errorOf([] { textToSingle(u"1e"); }), 13);
  EXPECT_EQ(errorOf([] { textToDouble(u""); }), 13);
  EXPECT_EQ(textToSingle(u"0.7"), 0.7F);
}

TEST(ParseNumber, SingleRoundsTheDecimalTextOnlyOnce) {
  // Just above the half-way point between 1 and the next float: through a double it would
  // first land exactly on the half and then round to even (1); read directly it rounds up.
  const ParsedSingle parsed = parseSingle(u"1.0000000596046448");
  ASSERT_EQ(parsed.status, ParseStatus::Ok);
  EXPECT_EQ(parsed.value, std::nextafter(1.0F, 2.0F));
  EXPECT_EQ(static_cast<float>(parseDouble(u"1.0000000596046448").value), 1.0F);
}

// ---- Shortest round trip -------------------------------------------------------------------

TEST(ShortestRoundTrip, ReadsBackExactly) {
  EXPECT_EQ(shortestRoundTrip(0.1), "0.1");
  EXPECT_EQ(shortestRoundTrip(0.1F), "0.1");
  EXPECT_EQ(shortestRoundTrip(static_cast<double>(0.1F)), "0.10000000149011612");
  EXPECT_EQ(shortestRoundTrip(1e15), "1e+15");
  EXPECT_EQ(shortestRoundTrip(-2.5), "-2.5");
  EXPECT_EQ(shortestRoundTrip(FLT_MAX), "3.4028235e+38");

  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    double value = 0;
    const std::uint64_t pattern = random();
    std::memcpy(&value, &pattern, sizeof value);
    if (!std::isfinite(value)) {
      continue;
    }
    const std::string text = shortestRoundTrip(value);
    SCOPED_TRACE(text);
    EXPECT_EQ(parseDouble(fromUtf8(text)).value, value);
    const auto single = static_cast<float>(value);
    if (std::isfinite(single)) {
      EXPECT_EQ(parseSingle(fromUtf8(shortestRoundTrip(single))).value, single);
    }
  }
}

}  // namespace
}  // namespace fbc
