#include "design/result_texts.h"

#include "design/click_constants.h"
#include "platform/number_text.h"
#include "platform/value.h"

namespace fbc {

namespace {

constexpr std::u16string_view kInfoBefore =
    u"この結果を画面コピー[PrtSc]を画像ファイルなどにしてタルミナ電機<";
constexpr std::u16string_view kInfoAfter = u">へ送れば試作可能(有料)です。";

constexpr int kSingleDigits = 7;
constexpr int kDoubleDigits = 15;

std::u16string threeDecimals(const Value& v) {
  return formatPattern(v.toDouble(), u"0.000",
                       v.kind() == Kind::Single ? kSingleDigits : kDoubleDigits);
}

}  // namespace

int copperVerdictRow(double currentDensity) {
  if (currentDensity > 5.0F) {
    return 4;
  }
  if (currentDensity > 3.5F) {
    return 3;
  }
  if (currentDensity > 2.5F) {
    return 2;
  }
  if (currentDensity > 1.5F) {
    return 1;
  }
  return 0;
}

std::u16string_view copperVerdict(float im) {
  static constexpr std::u16string_view kVerdicts[kCopperVerdictRows] = {
      u"銅線はクールです。",
      u"銅線温度上昇は少ないです。自冷でも可能です。",
      u"銅線温度上昇は調度よいです。",
      u"銅線温度上昇は熱いです。強い冷却が必要です。",
      u"銅線温度上昇が大きく危険です。コアを大きくするか容量をへらしましょう。",
  };
  return kVerdicts[copperVerdictRow(im)];
}

std::u16string informationMessage() {
  std::u16string message(kInfoBefore);
  message += kMakerContactAddress;
  message += kInfoAfter;
  return message;
}

ResultTexts resultTexts(const DesignState& state) { return resultTexts(state, clickConstants().k); }

ResultTexts resultTexts(const DesignState& state, const Value& k) {
  ResultTexts texts;
  texts.lblCuondo = copperVerdict(state.Im);
  texts.lblinfo = informationMessage();
  texts.lbltest = generalText(state.AL) + u"," + generalText(state.Np) + u"," +
                  generalText(state.dB) + u"," + generalText(state.Im);
  texts.lblIin = generalText(state.Iin);
  texts.lblNt = u"1 : " + formatPattern(state.Nt, u"0.000", kSingleDigits);
  // A 32-bit float times the 16-bit k stays a 32-bit float, rounded after each product.
  const Value microhenries = multiply(multiply(Value(state.Lp), k), k);
  texts.lblLp = threeDecimals(microhenries) + u"[uH]";
  return texts;
}

}  // namespace fbc
