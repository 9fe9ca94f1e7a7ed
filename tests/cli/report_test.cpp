#include "cli/report.h"

#include <algorithm>
#include <charconv>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "design/design_state_members.h"

namespace fbc {
namespace {

const char16_t* const kHotVerdict =
    u"銅線温度上昇が大きく危険です。コアを大きくするか容量をへらしましょう。";
const char16_t* const kCoolVerdict = u"銅線はクールです。";

// A made-up but plausible design, so the report is checked apart from the engine.
DesignReport sampleReport() {
  DesignReport report;
  report.inputs.fs = u"1e5";
  report.inputs.level = CoreLevel::Hi;
  DesignState& s = report.state;
  s.Vout = 24;
  s.Iout = 10;
  s.Vin = 200;
  s.Effi = 0.8F;
  s.T = 1e-05F;
  s.Vf = 0.7F;
  s.Duty = 0.5F;
  s.Iin = 1.5F;
  s.CoreSel = u"EER25.5";
  s.dB = 0.2204155F;
  s.Ae = 4.48e-05F;
  s.Aw = 48.4F;
  s.Fill = 22;
  s.Ton = 5e-06F;
  s.Toff = 5e-06F;
  s.Ns = 27.56696F;
  s.Is = 40;
  s.Ls = 6.175e-06F;
  s.AL = 8.125668e-09F;
  s.Ip = 6;
  s.Lp = 3.333333e-04F;
  s.Np = 202.5396F;
  s.Nt = 0.1361066F;
  s.Acu = 0.1876777F;
  s.Im = 36.32921F;
  ResultTexts& t = report.texts;
  t.lblCuondo = kHotVerdict;
  t.lblinfo = u"info";
  t.lbltest = u"8.125668E-09,202.5396,0.2204155,36.32921";
  t.lblIin = u"1.5";
  t.lblNt = u"1 : 0.136";
  t.lblLp = u"333.333[uH]";
  return report;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    result.push_back(line);
  }
  return result;
}

std::size_t codePoints(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The number token written for `name` (the first member of that name in the text).
std::string rawNumber(const std::string& json, const std::string& name) {
  std::smatch match;
  const std::regex pattern("\"" + name + "\": ([^,\\s}\\]]+)");
  if (!std::regex_search(json, match, pattern)) {
    ADD_FAILURE() << name << " missing";
    return {};
  }
  return match[1];
}

float asFloat(const std::string& token) {
  float value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  EXPECT_TRUE(error == std::errc() && end == token.data() + token.size()) << token;
  return value;
}

// The scales of the worked example, as the waveform stage forms them.
WaveformScales sampleScales() {
  WaveformScales scales;
  scales.VdsPeak = 381.47546F;
  scales.Vrev = 51.221313F;
  scales.IdPeak = 44.083103F;
  scales.fullScaleVsw = 500;
  scales.fullScaleIsw = 10;
  scales.fullScaleVd = 80;
  scales.fullScaleId = 80;
  scales.KV1 = 2;
  scales.KI1 = 100;
  scales.KV2 = 2.5;
  scales.KI2 = 2.5;
  scales.lblpic1_1 = u"fs=50kHz";
  scales.lbldiv1 = u"スイッチ電圧電流[125V/div][2.5A/div]";
  scales.lbldiv2 = u"ダイオード電圧電流[20V/div][20A/div]";
  return scales;
}

TEST(JsonReport, HoldsExactlyTheInputsTheStateTheLabelsTheScalesTheReviewTheLossesAndTheStress) {
  const DesignReport report = sampleReport();
  std::ostringstream out;
  writeJsonReport(out, report);
  const nlohmann::json json = nlohmann::json::parse(out.str());

  ASSERT_TRUE(json.is_object());
  EXPECT_EQ(json.size(), 11U);
  // The input it was made from, and no outputs, bias or insulation without a review.
  EXPECT_TRUE(json.at("isolation").is_null());
  EXPECT_EQ(json.at("input").at("kind"), "dc");
  EXPECT_TRUE(json.at("outputs").is_null());
  EXPECT_TRUE(json.at("bias").is_null());
  // A design whose waveforms the window would not draw has no scales, and one without a
  // review has neither review nor losses nor stress.
  EXPECT_TRUE(json.at("scales").is_null());
  EXPECT_TRUE(json.at("review").is_null());
  EXPECT_TRUE(json.at("losses").is_null());
  EXPECT_TRUE(json.at("stress").is_null());
  const nlohmann::json expectedInputs = {
      {"vin", "200"}, {"vout", "24"},  {"iout", "10"},      {"fs", "1e5"},   {"vf", "0.7"},
      {"effi", "80"}, {"duty", "0.5"}, {"core", "EER25.5"}, {"level", "hi"},
  };
  EXPECT_EQ(json.at("inputs"), expectedInputs);
  const nlohmann::json expectedLabels = {
      {"lblCuondo", "銅線温度上昇が大きく危険です。コアを大きくするか容量をへらしましょう。"},
      {"lblinfo", "info"},
      {"lbltest", "8.125668E-09,202.5396,0.2204155,36.32921"},
      {"lblIin", "1.5"},
      {"lblNt", "1 : 0.136"},
      {"lblLp", "333.333[uH]"},
  };
  EXPECT_EQ(json.at("labels"), expectedLabels);
  EXPECT_EQ(json.at("state").at("CoreSel"), "EER25.5");
}

TEST(JsonReport, WritesEveryStateValueInOrderAsItsShortestFloatText) {
  const DesignReport report = sampleReport();
  std::ostringstream out;
  writeJsonReport(out, report);
  const std::string text = out.str();
  const DesignState& s = report.state;
  for (const StateMember& m : kStateMembers) {
    SCOPED_TRACE(m.name);
    EXPECT_EQ(asFloat(rawNumber(text, std::string(m.name))), s.*m.member);
  }
  EXPECT_EQ(rawNumber(text, "Iin"), "1.5");
  EXPECT_EQ(rawNumber(text, "AL"), "8.125668e-09");
  EXPECT_EQ(rawNumber(text, "Vin"), "200");

  // The parsed object sorts its keys, so the written order is checked in the text.
  const nlohmann::json state = nlohmann::json::parse(text).at("state");
  EXPECT_EQ(state.size(), 25U);
  std::size_t previous = 0;
  for (const char* name : {"Vout", "Iout", "Vin", "Effi", "T",   "Vf",   "Duty", "Iin", "CoreSel",
                           "dB",   "Ae",   "Aw",  "Fill", "Ton", "Toff", "Ns",   "Is",  "Ls",
                           "AL",   "Ip",   "Lp",  "Np",   "Nt",  "Acu",  "Im"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(state.contains(name));
    std::string key = "\"";
    key.append(name).append("\":");
    const std::size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(at, previous);
    previous = at;
  }
}

TEST(JsonReport, ScalesHoldThePeaksTheFullScalesAndTheCaptionsInOrder) {
  DesignReport report = sampleReport();
  report.scales = sampleScales();
  std::ostringstream out;
  writeJsonReport(out, report);
  const std::string text = out.str();

  const nlohmann::json scales = nlohmann::json::parse(text).at("scales");
  EXPECT_EQ(scales.size(), 10U);
  EXPECT_EQ(scales.at("lblpic1_1"), "fs=50kHz");
  EXPECT_EQ(scales.at("lbldiv1"), "スイッチ電圧電流[125V/div][2.5A/div]");
  EXPECT_EQ(scales.at("lbldiv2"), "ダイオード電圧電流[20V/div][20A/div]");
  EXPECT_EQ(asFloat(rawNumber(text, "VdsPeak")), 381.47546F);
  EXPECT_EQ(asFloat(rawNumber(text, "Vrev")), 51.221313F);
  EXPECT_EQ(asFloat(rawNumber(text, "IdPeak")), 44.083103F);
  EXPECT_EQ(rawNumber(text, "fullScaleVsw"), "500");
  EXPECT_EQ(rawNumber(text, "fullScaleIsw"), "10");
  EXPECT_EQ(rawNumber(text, "fullScaleVd"), "80");
  EXPECT_EQ(rawNumber(text, "fullScaleId"), "80");

  std::size_t previous = text.find("\"scales\":");
  ASSERT_NE(previous, std::string::npos);
  for (const char* name : {"VdsPeak", "Vrev", "IdPeak", "fullScaleVsw", "fullScaleIsw",
                           "fullScaleVd", "fullScaleId", "lblpic1_1", "lbldiv1", "lbldiv2"}) {
    SCOPED_TRACE(name);
    std::string key = "\"";
    key.append(name).append("\":");
    const std::size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(at, previous);
    previous = at;
  }
}

TEST(TextReport, ShowsTheFiguresWithUnitsTheVerdictAndTheLabels) {
  std::ostringstream out;
  writeTextReport(out, sampleReport());
  const std::string text = out.str();
  for (const char* expected : {"1e5 Hz", "hi (高温(高め))", "27.56696 turns", "202.5396 turns",
                               "1 : 0.136", "333.333 µH", "8.125668E-09 H/turn²", "0.2204155 T",
                               "36.32921 A/mm²", "1.5 A", "銅線温度上昇が大きく危険です。",
                               "8.125668E-09,202.5396,0.2204155,36.32921", "333.333[uH]", "info"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  }
  EXPECT_EQ(text.find("lbldiv1"), std::string::npos) << "no scales, no waveform captions";
}

TEST(TextReport, ShowsTheThreeWaveformCaptions) {
  DesignReport report = sampleReport();
  report.scales = sampleScales();
  std::ostringstream out;
  writeTextReport(out, report);
  const std::vector<std::string> text = lines(out.str());
  for (const char* expected :
       {"  lblpic1_1                     fs=50kHz",
        "  lbldiv1                       スイッチ電圧電流[125V/div][2.5A/div]",
        "  lbldiv2                       ダイオード電圧電流[20V/div][20A/div]"}) {
    EXPECT_NE(std::find(text.begin(), text.end(), expected), text.end()) << expected;
  }
}

std::vector<DesignReport> sampleSweep() {
  std::vector<DesignReport> rows;
  const struct {
    const char16_t* core;
    float ns;
    float im;
    const char16_t* verdict;
  } cores[] = {
      {u"EER25.5", 27.56696F, 36.32921F, kHotVerdict},
      {u"PQ50", 3.765364F, 0.8440222F, kCoolVerdict},
      {u"EC90", 1.979F, 0.1061544F, kCoolVerdict},
  };
  for (const auto& c : cores) {
    DesignReport row = sampleReport();
    row.inputs.core = c.core;
    row.state.Ns = c.ns;
    row.state.Im = c.im;
    row.texts.lblCuondo = c.verdict;
    rows.push_back(row);
  }
  return rows;
}

TEST(SweepTable, AlignsTheColumnsAndPutsTheVerdictLast) {
  std::ostringstream out;
  writeSweepTable(out, sampleSweep());
  const std::vector<std::string> table = lines(out.str());
  ASSERT_EQ(table.size(), 4U);  // heading and three rows
  const std::string verdicts[] = {"Verdict", "銅線温度上昇が大きく危険です", "銅線はクール",
                                  "銅線はクール"};
  std::size_t verdictColumn = 0;
  std::size_t imEnd = 0;
  for (std::size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i]);
    const std::size_t at = table[i].find(verdicts[i]);
    ASSERT_NE(at, std::string::npos);
    const std::size_t column = codePoints(table[i].substr(0, at));
    const std::string beforeVerdict = table[i].substr(0, table[i].find_last_not_of(' ', at - 1));
    const std::size_t end = codePoints(beforeVerdict);
    if (i == 0) {
      verdictColumn = column;
      imEnd = end;
    }
    EXPECT_EQ(column, verdictColumn);
    EXPECT_EQ(end, imEnd);  // numbers are right-aligned
  }
  EXPECT_EQ(table[1].rfind("EER25.5", 0), 0U);
  EXPECT_NE(table[1].find("36.32921"), std::string::npos);
  EXPECT_NE(table[2].find("0.8440222"), std::string::npos);
  EXPECT_NE(table[3].find("333.333"), std::string::npos);
  EXPECT_NE(table[3].find("1 : 0.136"), std::string::npos);
}

TEST(SweepJson, IsAnArrayWithOneObjectPerCore) {
  std::ostringstream out;
  writeSweepJson(out, sampleSweep());
  const nlohmann::json json = nlohmann::json::parse(out.str());
  ASSERT_TRUE(json.is_array());
  ASSERT_EQ(json.size(), 3U);
  const nlohmann::json& last = json.at(2);
  EXPECT_EQ(last.at("core"), "EC90");
  EXPECT_EQ(static_cast<float>(last.at("Im").get<double>()), 0.1061544F);
  EXPECT_EQ(static_cast<float>(last.at("Ns").get<double>()), 1.979F);
  EXPECT_EQ(static_cast<float>(last.at("Lp").get<double>()), 3.333333e-04F);
  EXPECT_EQ(last.at("lblNt"), "1 : 0.136");
  EXPECT_EQ(last.at("lblLp"), "333.333[uH]");
  EXPECT_EQ(last.at("lblCuondo"), "銅線はクールです。");
  for (const char* key : {"Np", "Nt", "dB"}) {
    EXPECT_TRUE(last.contains(key)) << key;
  }
}

}  // namespace
}  // namespace fbc
