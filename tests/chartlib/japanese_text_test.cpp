#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "chartlib/macro_library.h"
#include "platform/errors.h"
#include "platform/text.h"

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

struct TextCase {
  std::u16string before;
  std::u16string after;
};

void expectRewrites(void (*procedure)(Value&), const TextCase& c) {
  SCOPED_TRACE(toUtf8(c.before));
  Value text(c.before);
  procedure(text);
  EXPECT_TRUE(sameKindAndValue(text, Value(c.after))) << text;
}

TEST(KatakanaZenTest, WidensAndMergesSoundMarks) {
  const TextCase cases[] = {
      {u"ｶﾞｿﾘﾝ", u"ガソリン"},
      {u"ﾊﾟｿｺﾝ", u"パソコン"},
      {u"ｳﾞｧ", u"ヴァ"},
      {u"ｱｲｳ", u"アイウ"},
      {u"ABC", u"ABC"},
      {u"漢字仮名交じり文", u"漢字仮名交じり文"},
      {u"", u""},
      {u"ｶ゛", u"ガ"},
      {u"カﾞ", u"ガ"},
      {u"ﾊﾞﾊﾟﾎﾟﾀﾞﾂﾞﾄﾞ", u"バパポダヅド"},
      {u"No.1 ｺｰﾋｰ(ﾎｯﾄ)", u"No.1 コーヒー(ホット)"},
      {u"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ",
       u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘ"
       u"ホマミムメモヤユヨラリルレロワン"},
  };
  for (const TextCase& c : cases) {
    expectRewrites(KatakanaZen, c);
  }
}

TEST(KatakanaZenTest, MarkWithoutALetterThatTakesItLeavesTheText) {
  const std::u16string cases[] = {
      u"ﾞｶ", u"ｱﾞ", u"ｶﾞﾞ", u"ﾟ", u"ｶﾟ", u"゛", u"ﾊﾟﾟ", u"ガﾞ", u"ABCﾞ",
  };
  for (const std::u16string& before : cases) {
    SCOPED_TRACE(toUtf8(before));
    Value text(before);
    EXPECT_EQ(errorOf([&] { KatakanaZen(text); }), ErrorNumber::InvalidCall);
    EXPECT_TRUE(sameKindAndValue(text, Value(before))) << text;
  }
}

TEST(KatakanaZenTest, PositionsCountedInSixteenBits) {
  const std::u16string longest(32766, u'ｱ');
  Value text(longest);
  KatakanaZen(text);
  EXPECT_EQ(text.text(), std::u16string(32766, u'ア'));

  const std::u16string tooLong(32767, u'ｱ');
  text = Value(tooLong);
  EXPECT_EQ(errorOf([&] { KatakanaZen(text); }), ErrorNumber::Overflow);
  EXPECT_EQ(text.text(), tooLong);
}

TEST(HaifunHanTest, DashBecomesHyphenAfterADigitAndLongVowelElsewhere) {
  const TextCase cases[] = {
      {u"03ー1234", u"03-1234"},
      {u"コーヒー", u"コーヒー"},
      {u"ﾃｰﾌﾞﾙ", u"ﾃーﾌﾞﾙ"},
      {u"1ーー", u"1-ー"},
      {u"ー5", u"ー5"},
      {u"A-B", u"A-B"},
      {u"1ー2ｰ3―4‐5－6", u"1-2-3-4-5-6"},
      {u"Aｰ B― C‐ D－", u"Aー Bー Cー Dー"},
      {u"0ー9ー", u"0-9-"},
      {u"０３ー１２３４", u"０３-１２３４"},
      {u"1 ー", u"1 ー"},
      {u"", u""},
  };
  for (const TextCase& c : cases) {
    expectRewrites(HaifunHan, c);
  }
}

TEST(KanmaZenTest, CommasBecomeIdeographicCommas) {
  const TextCase cases[] = {
      {u"1,2，3、4", u"1、2、3、4"},
      {u"コンマなし", u"コンマなし"},
      {u",,，", u"、、、"},
      {u"", u""},
  };
  for (const TextCase& c : cases) {
    expectRewrites(KanmaZen, c);
  }
}

TEST(HenkouTest, ReplacesAValueEqualToEitherGivenOne) {
  const struct {
    const char* name;
    Value data;
    Value a;
    Value b;
    Value input;
    Value after;
  } cases[] = {
      {"equals a", Value(i16{0}), Value(i16{0}), Value(i16{99}), Value(i16{5}), Value(i16{5})},
      {"equals neither", Value(i16{7}), Value(i16{0}), Value(i16{99}), Value(i16{5}),
       Value(i16{7})},
      {"equals B", Value(i16{99}), Value(i16{0}), Value(i16{99}), Value(i16{5}), Value(i16{5})},
      {"text never equals a number", Value(u"0"), Value(i16{0}), Value(i16{99}), Value(i16{5}),
       Value(u"0")},
      {"numbers of different widths", Value(0.0F), Value(i16{0}), Value(i16{99}), Value(u"new"),
       Value(u"new")},
      {"empty equals 0", Value(), Value(i16{0}), Value(i16{99}), Value(2.5), Value(2.5)},
      {"empty equals the empty text", Value(), Value(i16{1}), Value(u""), Value(2.5), Value(2.5)},
      {"texts by exact code", Value(u"ABC"), Value(u"abc"), Value(u"ＡＢＣ"), Value(i16{1}),
       Value(u"ABC")},
      {"equal texts", Value(u"abc"), Value(u"x"), Value(u"abc"), Value(2.5F), Value(2.5F)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Value data = c.data;
    Value a = c.a;
    Value b = c.b;
    Value input = c.input;
    Henkou(data, a, b, input);
    EXPECT_TRUE(sameKindAndValue(data, c.after)) << data;
  }
}

}  // namespace
}  // namespace fbc::macro
