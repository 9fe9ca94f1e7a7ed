#include "review/review_display.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/number_text.h"
#include "platform/text.h"
#include "review/losses.h"
#include "review/review_limits.h"
#include "review/windings/winding.h"

namespace fbc {

namespace {

constexpr std::array<ReviewDisplay, kReviewQuantityCount + 18 + 19 + 8 + 2> kDisplays{{
    {"Pin", u"入力電力", "Input power", 1.0, 1, "W", u"W"},
    {"Ipk", u"一次ピーク電流", "Primary peak current", 1.0, 3, "A", u"A"},
    {"IpRms", u"一次実効電流", "Primary RMS current", 1.0, 3, "A", u"A"},
    {"IsPk", u"二次ピーク電流", "Secondary peak current", 1.0, 3, "A", u"A"},
    {"IsRms", u"二次実効電流", "Secondary RMS current", 1.0, 3, "A", u"A"},
    {"LpRef", u"一次インダクタンス(臨界)", "Primary inductance (critical)", 1e6, 2, "µH", u"µH"},
    {"nRef", u"巻数比(電圧時間積)", "Turns ratio Np/Ns (volt-seconds)", 1.0, 3, "", u""},
    {"NpMin", u"最少一次巻数", "Fewest primary turns", 1.0, 1, "turns", u"ターン"},
    {"Ns", u"二次巻数", "Secondary turns", 1.0, 0, "turns", u"ターン"},
    {"Np", u"一次巻数", "Primary turns", 1.0, 0, "turns", u"ターン"},
    {"n", u"巻数比 Np/Ns", "Turns ratio Np/Ns (whole turns)", 1.0, 3, "", u""},
    {"Bpk", u"最大磁束密度", "Peak flux density", 1.0, 3, "T", u"T"},
    {"Isat", u"飽和する一次電流", "Primary current at saturation", 1.0, 2, "A", u"A"},
    {"AL", u"AL値", "Inductance factor", 1e9, 1, "nH/turn²", u"nH/N²"},
    {"gap", u"エアギャップ(研削値)", "Air gap to grind", 1e3, 2, "mm", u"mm"},
    {"gapRatio", u"ギャップ/√Ae", "Gap / √Ae", 1.0, 3, "", u""},
    {"AcuP", u"一次銅断面積", "Primary copper area", 1.0, 3, "mm²", u"mm²"},
    {"AcuS", u"二次銅断面積", "Secondary copper area", 1.0, 3, "mm²", u"mm²"},
    {"dP", u"一次線径", "Primary wire diameter", 1.0, 2, "mm", u"mm"},
    {"dS", u"二次線径", "Secondary wire diameter", 1.0, 2, "mm", u"mm"},
    {"skinDepth", u"表皮深さ", "Skin depth", 1.0, 3, "mm", u"mm"},
    {"fill", u"必要な占積率", "Window fill needed", 1.0, 1, "%", u"%"},
    {"fillAllowed", u"許容占積率", "Window fill allowed", 1.0, 1, "%", u"%"},
    {"JrmsModel", u"モデルの電流密度(実効値)", "Model's current density (RMS)", 1.0, 2, "A/mm²",
     u"A/mm²"},
    {"Vds", u"スイッチ電圧", "Switch voltage", 1.0, 1, "V", u"V"},
    {"Vr", u"ダイオード逆電圧", "Diode reverse voltage", 1.0, 1, "V", u"V"},
    {"Ilim", u"電流制限値", "Controller's current limit", 1.0, 3, "A", u"A"},
    {"BpkAtLimit", u"電流制限時の最大磁束密度", "Peak flux density at the current limit", 1.0, 3,
     "T", u"T"},
    {"Bsat", u"飽和磁束密度(100 ℃)", "Saturation flux density at 100 °C", 1.0, 3, "T", u"T"},
    {"gapNoFringing", u"エアギャップ(フリンジング無視)", "Air gap without fringing", 1e3, 2, "mm",
     u"mm"},
    {"fringingFactor", u"フリンジング係数", "Fringing factor", 1.0, 3, "", u""},
    {"gapWindowHeight", u"窓の高さ G", "Window height G", 1e3, 1, "mm", u"mm"},
    // The losses (review/losses.h), in lossQuantities() order.
    {"Pv", u"コア損失密度", "Core loss density", 1e-3, 1, "kW/m³", u"kW/m³"},
    {"Pcore", u"コア損失", "Core loss", 1.0, 2, "W", u"W"},
    {"RdcP", u"一次直流抵抗", "Primary DC resistance", 1e3, 1, "mΩ", u"mΩ"},
    {"RdcS", u"二次直流抵抗", "Secondary DC resistance", 1e3, 2, "mΩ", u"mΩ"},
    {"FrP", u"一次交流抵抗比", "Primary AC resistance factor", 1.0, 2, "", u""},
    {"FrS", u"二次交流抵抗比", "Secondary AC resistance factor", 1.0, 2, "", u""},
    {"PcuP", u"一次銅損", "Primary copper loss", 1.0, 2, "W", u"W"},
    {"PcuS", u"二次銅損", "Secondary copper loss", 1.0, 2, "W", u"W"},
    {"Ptotal", u"全損失", "Total loss", 1.0, 2, "W", u"W"},
    {"layersP", u"一次層数", "Primary layers", 1.0, 0, "", u""},
    {"layersS", u"二次層数", "Secondary layers", 1.0, 0, "", u""},
    {"buildP", u"一次巻線の高さ", "Primary build", 1e3, 2, "mm", u"mm"},
    {"buildS", u"二次巻線の高さ", "Secondary build", 1e3, 2, "mm", u"mm"},
    {"Rth", u"熱抵抗", "Thermal resistance", 1.0, 1, "K/W", u"K/W"},
    {"dT", u"温度上昇", "Temperature rise", 1.0, 1, "K", u"K"},
    {"Tambient", u"周囲温度", "Ambient temperature", 1.0, 1, "°C", u"℃"},
    {"Tcore", u"コア温度", "Core temperature", 1.0, 1, "°C", u"℃"},
    {"temperatureIterations", u"温度の反復回数", "Temperature iterations", 1.0, 0, "", u""},
    // The switch's stress (review/switch_stress.h), in stressQuantities() order.
    {"VinMax", u"最大入力電圧", "Highest input voltage", 1.0, 1, "V", u"V"},
    {"DHigh", u"最大入力時のデューティ", "Duty at the highest input", 1.0, 3, "", u""},
    {"VRO", u"反射電圧", "Reflected output voltage", 1.0, 1, "V", u"V"},
    {"Llk", u"漏れインダクタンス", "Leakage inductance", 1e6, 2, "µH", u"µH"},
    {"k", u"結合係数", "Coupling factor", 1.0, 4, "", u""},
    {"Vclamp", u"クランプ電圧(購入抵抗)", "Clamp voltage (R bought)", 1.0, 1, "V", u"V"},
    {"Pclamp", u"クランプ損失(購入抵抗)", "Clamp loss (R bought)", 1.0, 2, "W", u"W"},
    {"Rclamp", u"クランプ抵抗(計算値)", "Clamp resistor (worked out)", 1.0, 0, "Ω", u"Ω"},
    {"RclampE24", u"クランプ抵抗(E24)", "Clamp resistor (E24)", 1.0, 0, "Ω", u"Ω"},
    {"Cclamp", u"クランプ容量(計算値)", "Clamp capacitor (worked out)", 1e9, 2, "nF", u"nF"},
    {"CclampE12", u"クランプ容量(E12)", "Clamp capacitor (E12)", 1e9, 2, "nF", u"nF"},
    {"PratingR", u"クランプ抵抗の定格電力", "Clamp resistor's power rating", 1.0, 2, "W", u"W"},
    {"VdsMax", u"スイッチ最大電圧", "Switch's peak voltage", 1.0, 1, "V", u"V"},
    {"VdsRating", u"スイッチ定格電圧", "Switch's rated voltage", 1.0, 0, "V", u"V"},
    {"VdRevMax", u"ダイオード最大逆電圧", "Diode's peak reverse voltage", 1.0, 1, "V", u"V"},
    {"fsHigh", u"最大入力時の周波数", "Frequency at the highest input", 1e-3, 1, "kHz", u"kHz"},
    {"IpkHigh", u"最大入力時の一次ピーク電流", "Peak current at the highest input", 1.0, 3, "A",
     u"A"},
    {"VclampTarget", u"クランプ電圧(設計値)", "Clamp voltage aimed at", 1.0, 1, "V", u"V"},
    {"PclampTarget", u"クランプ損失(設計値)", "Clamp loss aimed at", 1.0, 2, "W", u"W"},
    // The drive mode's own figures (review/drive_mode.h), in modeQuantities() order.
    {"KRF", u"リプル率 KRF", "Ripple factor", 1.0, 3, "", u""},
    {"IEDC", u"一次平均電流(オン期間)", "Primary mean current while on", 1.0, 3, "A", u"A"},
    {"dI", u"一次電流の振幅", "Primary current swing", 1.0, 3, "A", u"A"},
    {"VinCcmLimit", u"電流連続の上限入力電圧", "Highest input in CCM", 1.0, 1, "V", u"V"},
    {"Cd", u"ドレイン容量", "Drain capacitance", 1e12, 0, "pF", u"pF"},
    {"ton", u"オン時間", "On-time", 1e6, 3, "µs", u"µs"},
    {"toff", u"二次導通時間", "Secondary conduction time", 1e6, 3, "µs", u"µs"},
    {"tv", u"谷までの時間", "Time to the first valley", 1e6, 3, "µs", u"µs"},
    // The secondary winding's currents from the primary's ampere-turns.
    {"IsPkWinding", u"二次巻線ピーク電流(一次から)", "Secondary winding peak from the primary", 1.0,
     3, "A", u"A"},
    {"IsRmsWinding", u"二次巻線実効電流(一次から)", "Secondary winding RMS from the primary", 1.0,
     3, "A", u"A"},
}};

// A limit as plain text: "20", "0.1", "1000000".
std::u16string limit(double value) { return generalText(value); }

std::string limitUtf8(double value) { return toUtf8(limit(value)); }

// The further outputs' and the bias's winding figures, shown as the main secondary's with the
// winding named: "二次2直流抵抗", "Output 2 DC resistance". Worked out once; the texts live as
// long as the program, so the displays may view them.
struct ExtraWindingDisplays {
  std::deque<std::string> names;
  std::deque<std::string> descriptions;
  std::deque<std::u16string> captions;
  std::vector<ReviewDisplay> displays;
};

const ExtraWindingDisplays& extraWindingDisplays() {
  static const ExtraWindingDisplays extra = [] {
    ExtraWindingDisplays e;
    constexpr std::string_view kSecondaryEn = "Secondary";
    constexpr std::u16string_view kSecondaryJa = u"二次";
    for (int w = static_cast<int>(Winding::Output2); w <= static_cast<int>(Winding::Bias); ++w) {
      const auto winding = static_cast<Winding>(w);
      const bool bias = winding == Winding::Bias;
      const int index = w - static_cast<int>(Winding::Secondary) + 1;
      for (const ReviewDisplay& d : kDisplays) {
        if (!d.name.ends_with('S') || !d.description.starts_with(kSecondaryEn) ||
            !d.caption.starts_with(kSecondaryJa)) {
          continue;
        }
        e.names.push_back(
            std::string(d.name.substr(0, d.name.size() - 1)).append(windingSuffix(winding)));
        e.descriptions.push_back((bias ? std::string("Bias") : "Output " + std::to_string(index))
                                     .append(d.description.substr(kSecondaryEn.size())));
        e.captions.push_back((bias ? std::u16string(u"補助")
                                   : u"二次" + generalText(static_cast<std::int32_t>(index)))
                                 .append(d.caption.substr(kSecondaryJa.size())));
        ReviewDisplay copy = d;
        copy.name = e.names.back();
        copy.description = e.descriptions.back();
        copy.caption = e.captions.back();
        e.displays.push_back(copy);
      }
    }
    return e;
  }();
  return extra;
}

}  // namespace

const ReviewDisplay* reviewDisplay(std::string_view name) {
  for (const ReviewDisplay& d : kDisplays) {
    if (d.name == name) {
      return &d;
    }
  }
  for (const ReviewDisplay& d : extraWindingDisplays().displays) {
    if (d.name == name) {
      return &d;
    }
  }
  return nullptr;
}

std::string reviewValueText(const ReviewDisplay& display, double value) {
  std::array<char, 64> buffer{};
  const int length =
      std::snprintf(buffer.data(), buffer.size(), "%.*f", display.decimals, value * display.scale);
  std::string text(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0U);
  // No negative zero in what a person reads.
  if (text.find_first_not_of("-0.") == std::string::npos && text.starts_with('-')) {
    text.erase(0, 1);
  }
  return text;
}

std::u16string reviewFlagSentence(ReviewFlag flag) {
  const ReviewLimits& l = kReviewLimits;
  switch (flag) {
    case ReviewFlag::GapTooLarge:
      return u"エアギャップが中足の一辺(√Ae)の" + limit(l.maxGapRatio * 100.0) +
             u"%を超えています。漏れ磁束が大きく製作できません。より大きなコアを選んでください。";
    case ReviewFlag::GapTooSmall:
      return u"エアギャップが" + limit(l.minGap * 1e3) +
             u" mm未満です。加工のばらつきでインダクタンスが大きく変わります。";
    case ReviewFlag::FluxNearSaturation:
      return u"最大磁束密度が" + limit(l.nearSaturationFluxDensity) +
             u" Tを超え、コア材の飽和磁束密度に近すぎます。巻数を増やすか大きなコアにしてください"
             u"。";
    case ReviewFlag::WindowOverfull:
      return u"電流密度" + limit(l.currentDensity) +
             u" A/mm²の巻線が巻線窓に収まりません(必要な占積率が許容値を超えています)。";
    case ReviewFlag::TurnsImpractical:
      return u"一次巻数が" + limit(l.maxPrimaryTurns) + u"ターンを超え、巻くことができません。";
    case ReviewFlag::LayersExceedBobbin:
      return u"巻線の層の高さ(層間テープ" + limit(kTapeBetweenWindings * 1e3) +
             u" mmを含む)がボビンの巻幅の高さを超えます。線を細くするか大きなコアにしてください。";
    case ReviewFlag::TooHot:
      return u"損失による温度上昇でコア温度が上限温度を超えます。損失を減らすか大きなコアにしてくだ"
             u"さい"
             u"。";
    case ReviewFlag::SwitchOvervoltage:
      return u"最大入力電圧にクランプ電圧を加えたスイッチの最大電圧が定格電圧の" +
             limit(kSwitchDerating * 100.0) +
             u"%を超えます。定格の高いスイッチを選ぶか、巻数比かクランプ電圧を下げてください。";
    case ReviewFlag::SaturatesAtCurrentLimit:
      return u"制御ICの電流制限値で最大磁束密度がコア材の100 ℃での飽和磁束密度に達します。"
             u"過負荷や起動時にコアが飽和します。巻数を増やすか大きなコアにしてください。";
    case ReviewFlag::ThermalRunaway:
      return u"温度が上がるほど損失が増え、250 ℃以下で熱のつり合う点がありません(熱暴走)。"
             u"損失を減らすか大きなコアにしてください。";
    case ReviewFlag::WireBeyondSkinDepth:
      return u"指定した線材の導体径が表皮深さの" + limit(l.maxWireToSkinDepth) +
             u"倍を超えています。細い線を撚った線かリッツ線を使ってください。";
    case ReviewFlag::RmsVerdictWorse:
      return u"実効値電流で見ると銅線の温度判定が平均電流による判定より悪くなります。";
    case ReviewFlag::LossDataExtrapolated:
      return u"スイッチング周波数が材質の損失データの範囲外です。コア損失は外挿した値です。";
    case ReviewFlag::ClampLossHigh:
      return u"クランプ回路の損失が出力電力の" + limit(kClampLossShare * 100.0) +
             u"%を超えます。漏れインダクタンスを減らすか(一次と二次を挟み巻きにする)、クランプ電圧"
             u"を上げてください。";
    case ReviewFlag::CurrentDensityHigh:
      return u"指定した線材の電流密度が" + limit(l.currentDensity) +
             u" A/mm²を超えています。太い線にするか、撚り線の本数を増やしてください。";
    case ReviewFlag::OutputVoltageOff:
      return u"整数の巻数では出力電圧が目標から" + limit(kOutputVoltageTolerance * 100.0) +
             u"%以上ずれる出力があります。主出力の巻数を増やすか、ダイオードを見直してください。";
    case ReviewFlag::InsulationDoesNotFit:
      return u"絶縁のマージンテープが巻幅の3分の2以上を占め、巻線を巻く幅が残りません。三重絶縁線"
             u"(tiw)にするか大きなコアにしてください。";
    case ReviewFlag::CreepageUnchecked:
      return u"機能絶縁のため、一次と二次の間に安全のための絶縁は設計されていません。";
    case ReviewFlag::TooFewPins:
      return u"ボビンのピンが巻線の数に足りません。ピン数の多いボビンにしてください。";
  }
  return {};
}

std::string reviewFlagSentenceEnglish(ReviewFlag flag) {
  const ReviewLimits& l = kReviewLimits;
  switch (flag) {
    case ReviewFlag::GapTooLarge:
      return "the air gap is longer than " + limitUtf8(l.maxGapRatio * 100.0) +
             " % of the centre leg's side (√Ae): fringing flux makes it unbuildable; choose a "
             "larger core";
    case ReviewFlag::GapTooSmall:
      return "the air gap is under " + limitUtf8(l.minGap * 1e3) +
             " mm: grinding tolerance would swing the inductance widely";
    case ReviewFlag::FluxNearSaturation:
      return "the peak flux density exceeds " + limitUtf8(l.nearSaturationFluxDensity) +
             " T, too close to the material's saturation; add turns or choose a larger core";
    case ReviewFlag::WindowOverfull:
      return "the windings at " + limitUtf8(l.currentDensity) +
             " A/mm² do not fit the winding window (the fill needed exceeds the fill allowed)";
    case ReviewFlag::TurnsImpractical:
      return "more than " + limitUtf8(l.maxPrimaryTurns) + " primary turns cannot be wound";
    case ReviewFlag::LayersExceedBobbin:
      return "the windings' layers with " + limitUtf8(kTapeBetweenWindings * 1e3) +
             " mm of tape between them are higher than the bobbin's build; use thinner wire or "
             "a larger core";
    case ReviewFlag::TooHot:
      return "the losses heat the core above the highest temperature allowed; cut the losses "
             "or choose a larger core";
    case ReviewFlag::SwitchOvervoltage:
      return "the switch's peak voltage, the highest input plus the clamp voltage, exceeds " +
             limitUtf8(kSwitchDerating * 100.0) +
             " % of its rating; choose a switch rated higher, or lower the turns ratio or the "
             "clamp voltage";
    case ReviewFlag::SaturatesAtCurrentLimit:
      return "at the controller's current limit the peak flux density reaches the material's "
             "saturation at 100 °C: the core saturates in an overload or at start-up; add turns "
             "or choose a larger core";
    case ReviewFlag::ThermalRunaway:
      return "the losses rise with the temperature faster than the core sheds them: no balance "
             "below 250 °C (thermal runaway); cut the losses or choose a larger core";
    case ReviewFlag::WireBeyondSkinDepth:
      return "a wire given is thicker than " + limitUtf8(l.maxWireToSkinDepth) +
             " skin depths: use stranded or litz wire";
    case ReviewFlag::RmsVerdictWorse:
      return "with the RMS current the copper falls in a worse verdict row than with the "
             "average current the model uses";
    case ReviewFlag::LossDataExtrapolated:
      return "the switching frequency lies outside the material's loss data: the core loss is "
             "extrapolated";
    case ReviewFlag::ClampLossHigh:
      return "the clamp burns more than " + limitUtf8(kClampLossShare * 100.0) +
             " % of the output power; cut the leakage (interleave the windings) or raise the "
             "clamp voltage";
    case ReviewFlag::CurrentDensityHigh:
      return "a wire given carries more than " + limitUtf8(l.currentDensity) +
             " A/mm²; choose a thicker wire or more strands";
    case ReviewFlag::OutputVoltageOff:
      return "with whole turns an output's voltage misses its target by more than " +
             limitUtf8(kOutputVoltageTolerance * 100.0) +
             " %; give the main output more turns (--secondary-turns) or another diode";
    case ReviewFlag::InsulationDoesNotFit:
      return "the insulation's margin tape takes more than two thirds of the bobbin's breadth; "
             "use triple-insulated secondaries (--construction tiw) or a larger core";
    case ReviewFlag::CreepageUnchecked:
      return "functional insulation: no safety barrier between the primary and the secondaries "
             "is designed (--insulation basic or reinforced for one)";
    case ReviewFlag::TooFewPins:
      return "the bobbin has fewer pins on a side than its windings need (--pins)";
  }
  return {};
}

std::u16string reviewFlagShortName(ReviewFlag flag) {
  switch (flag) {
    case ReviewFlag::GapTooLarge:
      return u"ギャップ過大";
    case ReviewFlag::GapTooSmall:
      return u"ギャップ過小";
    case ReviewFlag::FluxNearSaturation:
      return u"飽和に近い";
    case ReviewFlag::WindowOverfull:
      return u"巻線窓不足";
    case ReviewFlag::TurnsImpractical:
      return u"巻数過多";
    case ReviewFlag::LayersExceedBobbin:
      return u"ボビン高さ不足";
    case ReviewFlag::TooHot:
      return u"温度超過";
    case ReviewFlag::SwitchOvervoltage:
      return u"スイッチ過電圧";
    case ReviewFlag::SaturatesAtCurrentLimit:
      return u"電流制限で飽和";
    case ReviewFlag::ThermalRunaway:
      return u"熱暴走";
    case ReviewFlag::WireBeyondSkinDepth:
      return u"表皮効果";
    case ReviewFlag::RmsVerdictWorse:
      return u"実効値で温度悪化";
    case ReviewFlag::LossDataExtrapolated:
      return u"損失データ外挿";
    case ReviewFlag::ClampLossHigh:
      return u"クランプ損失大";
    case ReviewFlag::CurrentDensityHigh:
      return u"電流密度過大";
    case ReviewFlag::OutputVoltageOff:
      return u"出力電圧ずれ";
    case ReviewFlag::InsulationDoesNotFit:
      return u"絶縁が収まらない";
    case ReviewFlag::CreepageUnchecked:
      return u"沿面距離未確認";
    case ReviewFlag::TooFewPins:
      return u"ピン不足";
  }
  return {};
}

std::u16string reviewVerdict(const DesignReview& review) {
  if (!review.valid) {
    return u"この設計はレビューできません(入力が物理的な範囲の外か、数値が大きすぎます)。";
  }
  return review.feasible ? u"このトランスは製作できます。" : u"このままでは製作できません。";
}

}  // namespace fbc
