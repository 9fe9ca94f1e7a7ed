#include "cli/review_report.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/flyback_calc.h"
#include "cli/report.h"
#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "platform/text.h"
#include "review/ferrite_material.h"
#include "review/losses.h"
#include "review/review.h"
#include "review/review_display.h"
#include "review/switch_stress.h"
#include "tests/review/loss_conditions.h"

namespace fbc {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  Outcome result;
  result.status = runFlybackCalc(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// The window's start values on EER25.5 at 普通: the review the engine makes of them, which the
// reports must carry number for number.
DesignReview workedExampleReview() {
  DesignState state;
  EXPECT_TRUE(calculateDesign(DesignInputs{}, CoreCatalogue{}, state).completed);
  return reviewDesign(state, *levelSwing(CoreLevel::Typ));
}

TEST(ReviewJson, CarriesEveryReviewNumberAsTheSameDouble) {
  const Outcome result = run({"--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json review = nlohmann::json::parse(result.out).at("review");
  const DesignReview expected = workedExampleReview();
  for (const ReviewQuantity& q : reviewQuantities(expected)) {
    SCOPED_TRACE(std::string(q.name));
    const nlohmann::json& member = review.at(std::string(q.name));
    if (q.whole) {
      EXPECT_TRUE(member.is_number_integer());
    }
    EXPECT_EQ(member.get<double>(), q.value);
  }
  EXPECT_EQ(review.at("Np"), 227);
  EXPECT_EQ(review.at("Ns"), 28);
  EXPECT_NEAR(review.at("gapNoFringing").get<double>(), 8.70e-3, 0.005e-3);
  // Its layers stand higher than EER25.5's bobbin in any wire that carries the current: no
  // temperature or clamp loss of a layout that cannot exist is judged.
  EXPECT_EQ(review.at("flags"), nlohmann::json({"gap-too-large", "window-overfull",
                                                "layers-exceed-bobbin", "creepage-unchecked"}));
  EXPECT_EQ(review.at("feasible"), false);
}

// Each mode writes its name and its own figures after the review's verdict; the figures another
// mode has are null, and every number is the engine's double.
TEST(ReviewJson, CarriesTheDriveModeAndItsFigures) {
  const struct {
    DriveMode mode;
    std::vector<std::string> args;
    std::vector<std::string> present;
  } cases[] = {
      {DriveMode::PwmCritical, {}, {}},
      {DriveMode::PfmCritical, {"--mode", "pfm-critical"}, {}},
      {DriveMode::PwmCcm,
       {"--mode", "pwm-ccm", "--ripple", "0.4"},
       {"KRF", "IEDC", "dI", "VinCcmLimit"}},
      {DriveMode::Qr,
       {"--mode", "qr", "--drain-capacitance", "220e-12"},
       {"Cd", "ton", "toff", "tv"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(driveModeCode(c.mode)));
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--core", "PQ50", "--format", "json"});
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::ordered_json review = nlohmann::ordered_json::parse(result.out).at("review");
    EXPECT_EQ(review.at("mode"), driveModeCode(c.mode));
    std::vector<std::string> keys;
    for (const auto& item : review.items()) {
      keys.push_back(item.key());
    }
    // After the verdict, in modeQuantities() order.
    const std::vector<std::string> tail{"feasible", "mode",        "KRF",         "IEDC",
                                        "dI",       "VinCcmLimit", "Cd",          "ton",
                                        "toff",     "tv",          "IsPkWinding", "IsRmsWinding"};
    ASSERT_GE(keys.size(), tail.size());
    EXPECT_EQ(
        std::vector<std::string>(keys.end() - static_cast<std::ptrdiff_t>(tail.size()), keys.end()),
        tail);
    ReviewConditions conditions;
    conditions.mode = c.mode;
    conditions.ripple = 0.4;
    conditions.drainCapacitance = 220e-12;
    DesignInputs inputs;
    inputs.core = u"PQ50";
    DesignState state;
    ASSERT_TRUE(calculateDesign(inputs, CoreCatalogue{}, state).completed);
    const DesignReview expected = reviewDesign(state, *levelSwing(inputs.level), conditions);
    for (const ModeQuantity& q : modeQuantities(expected.operation.figures)) {
      SCOPED_TRACE(std::string(q.name));
      const bool present = std::find(c.present.begin(), c.present.end(), q.name) != c.present.end();
      ASSERT_EQ(q.value.has_value(), present);
      if (present) {
        EXPECT_EQ(review.at(std::string(q.name)).get<double>(), *q.value);
      } else {
        EXPECT_TRUE(review.at(std::string(q.name)).is_null());
      }
    }
    EXPECT_EQ(review.at("LpRef").get<double>(), expected.LpRef);
    EXPECT_EQ(review.at("IsPkWinding").get<double>(), expected.IsPkWinding);
    EXPECT_EQ(review.at("IsRmsWinding").get<double>(), expected.IsRmsWinding);
  }
}

// The review the engine makes of a design in the given conditions.
DesignReview engineReview(const DesignInputs& inputs, const ReviewConditions& conditions) {
  DesignState state;
  EXPECT_TRUE(calculateDesign(inputs, CoreCatalogue{}, state).completed);
  return reviewDesign(state, *levelSwing(inputs.level), conditions);
}

TEST(LossesJson, FollowsTheReviewWithTheMaterialAndEveryLossNumberInOrder) {
  DesignInputs pq50;
  pq50.core = u"PQ50";
  DesignInputs fast;
  fast.fs = u"300000";
  const struct {
    std::vector<std::string> args;
    DesignInputs inputs;
    ReviewConditions conditions;
  } cases[] = {
      {{}, DesignInputs{}, {}},
      {{"--material", "N87", "--ambient", "25"},
       DesignInputs{},
       test::lossConditions("N87", 25, 100)},
      {{"--core", "PQ50", "--material", "3C95", "--max-temperature", "150"},
       pq50,
       test::lossConditions("3C95", 40, 150)},
      // Beyond N97's data: extrapolated, and said so.
      {{"--fs", "300000"}, fast, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", "json"});
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::ordered_json report = nlohmann::ordered_json::parse(result.out);
    ASSERT_EQ(report.size(), 11U);
    EXPECT_EQ(std::next(report.begin(), 5).key(), "losses");
    const nlohmann::ordered_json& losses = report.at("losses");

    const DesignReview expected = engineReview(c.inputs, c.conditions);
    ASSERT_TRUE(expected.losses.valid);
    const std::vector<LossQuantity> quantities = lossQuantities(expected.losses);
    // The material, every loss number, then the arrangement, the input the losses were worked
    // out at and the windings as wound.
    ASSERT_EQ(losses.size(), 1 + quantities.size() + 3);
    auto member = losses.begin();
    EXPECT_EQ(member.key(), "material");
    EXPECT_EQ(member.value(), c.conditions.material->name);
    for (const LossQuantity& q : quantities) {
      ++member;
      SCOPED_TRACE(q.name);
      ASSERT_EQ(member.key(), q.name);
      if (!q.value) {
        EXPECT_TRUE(member.value().is_null());
        continue;
      }
      switch (q.kind) {
        case LossQuantity::Kind::Whole:
          EXPECT_TRUE(member.value().is_number_integer());
          EXPECT_EQ(member.value().get<double>(), *q.value);
          break;
        case LossQuantity::Kind::Boolean:
          EXPECT_EQ(member.value(), *q.value != 0.0);
          break;
        case LossQuantity::Kind::Number:
          EXPECT_TRUE(member.value().is_number_float() || member.value().is_number_integer());
          EXPECT_EQ(member.value().get<double>(), *q.value);
          break;
      }
    }
    EXPECT_EQ((++member).key(), "arrangement");
    EXPECT_EQ(member.value(), windingArrangementCode(expected.losses.arrangement));
    EXPECT_EQ((++member).key(), "lossesAt");
    EXPECT_EQ(member.value(), lossPointCode(expected.losses.lossesAt));
    EXPECT_EQ((++member).key(), "windings");
    ASSERT_EQ(member.value().size(), expected.losses.windings.size());
    EXPECT_EQ(losses.at("Tambient").get<double>(), c.conditions.ambient);
    // The flags agree with the numbers they judge.
    const nlohmann::ordered_json& flags = report.at("review").at("flags");
    const auto flagged = [&flags](const char* code) {
      return std::find(flags.begin(), flags.end(), code) != flags.end();
    };
    EXPECT_EQ(flagged("too-hot"),
              !losses.at("Tcore").is_null() &&
                  losses.at("Tcore").get<double>() > c.conditions.maxTemperature);
    EXPECT_EQ(flagged("loss-data-extrapolated"), expected.losses.lossDataExtrapolated);
  }
}

// Each winding as wound, in the review's winding order and SI units; a winding of the person's
// wire says so. Where the windings do not fit, their AC factor and loss are null.
TEST(LossesJson, EachWindingAsWoundInSiUnits) {
  const struct {
    std::vector<std::string> args;
    bool fits;
  } cases[] = {
      {{"--core", "PQ50", "--wire-secondary", "litz:0.1x300", "--arrangement", "ps"}, true},
      {{}, false},  // EER25.5
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", "json"});
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::ordered_json losses = nlohmann::ordered_json::parse(result.out).at("losses");
    const nlohmann::ordered_json& windings = losses.at("windings");
    ASSERT_EQ(windings.size(), 2U);
    std::vector<std::string> keys;
    for (auto member = windings[0].begin(); member != windings[0].end(); ++member) {
      keys.push_back(member.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"name", "turns", "wire", "kind", "conductorDiameter",
                                              "strands", "outerDiameter", "copperArea",
                                              "turnsPerLayer", "layers", "build", "Irms",
                                              "currentDensity", "Rdc", "Fr", "Pcu", "wireChosen"}));
    EXPECT_EQ(windings[0].at("name"), "primary");
    EXPECT_EQ(windings[1].at("name"), "secondary");
    for (const auto& w : windings) {
      const std::string suffix = w.at("name") == "primary" ? "P" : "S";
      EXPECT_EQ(w.at("layers"), losses.at("layers" + suffix));
      EXPECT_EQ(w.at("build"), losses.at("build" + suffix));
      EXPECT_EQ(w.at("Rdc"), losses.at("Rdc" + suffix));
      EXPECT_EQ(w.at("Fr"), losses.at("Fr" + suffix));
      EXPECT_EQ(w.at("Pcu"), losses.at("Pcu" + suffix));
      EXPECT_EQ(w.at("Fr").is_null(), !c.fits);
      EXPECT_NEAR(w.at("currentDensity").get<double>(),
                  w.at("Irms").get<double>() / w.at("copperArea").get<double>(), 1e-6);
      const std::optional<Wire> wire = readWire(w.at("wire").get<std::string>()).wire;
      ASSERT_TRUE(wire.has_value());
      EXPECT_EQ(w.at("kind"), wireKindCode(wire->kind));
      EXPECT_EQ(w.at("strands"), wire->strands);
      EXPECT_DOUBLE_EQ(w.at("conductorDiameter").get<double>(), wire->diameter * 1e-3);
    }
    if (c.fits) {
      EXPECT_EQ(losses.at("arrangement"), "ps");
      EXPECT_EQ(windings[1].at("wire"), "litz:0.1x300");
      EXPECT_EQ(windings[1].at("kind"), "litz");
      EXPECT_EQ(windings[1].at("wireChosen"), false);
      EXPECT_EQ(windings[0].at("wireChosen"), true);
    }
  }
}

TEST(LossesJson, NullWhereTheReviewIsNull) {
  DesignReview invalid;
  DesignReview validWithoutCoreFigures = workedExampleReview();
  validWithoutCoreFigures.losses = TransformerLosses{};
  const struct {
    const char* what;
    const DesignReview* review;
    bool reviewNull;
  } cases[] = {
      {"no review", nullptr, true},
      {"invalid review", &invalid, true},
      {"losses not worked out", &validWithoutCoreFigures, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.key("review");
    writeReviewJson(json, c.review);
    json.key("losses");
    writeLossesJson(json, c.review);
    json.endObject();
    json.finish();
    const nlohmann::json parsed = nlohmann::json::parse(out.str());
    EXPECT_EQ(parsed.at("review").is_null(), c.reviewNull);
    EXPECT_TRUE(parsed.at("losses").is_null());
  }
}

TEST(ReviewText, ShowsTheBuildDataAndASentencePerFlag) {
  const Outcome result = run({});
  ASSERT_EQ(result.status, 0) << result.err;
  for (const char* line :
       {"Engineering review", "Primary turns Np", "227 turns", "Secondary turns Ns", "28 turns",
        "Air gap to grind gap", "14.74 mm", "Air gap without fringing gapNoFringing", "8.70 mm",
        "Primary wire diameter dP", "0.94 mm", "Buildable", "no: see the flags below",
        "gap-too-large: the air gap is longer", "layers-exceed-bobbin: the windings' layers"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line;
  }
}

TEST(ReviewText, SaysWhenTheDesignCannotBeReviewed) {
  DesignReview invalid;
  std::ostringstream out;
  writeReviewText(out, invalid);
  EXPECT_NE(out.str().find("cannot be reviewed"), std::string::npos);
  EXPECT_EQ(out.str().find("Flags"), std::string::npos);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> all;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    all.push_back(line);
  }
  return all;
}

// "  Core loss Pcore                             0.55 W": the caption padded to 44 columns.
std::string lossLine(const std::string& caption, const std::string& value) {
  std::string line = "  " + caption;
  std::size_t columns = 0;
  for (char c : caption) {
    columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  }
  line.append(columns < 44 ? 44 - columns : 0, ' ');
  return line + value;
}

TEST(LossesText, FollowsTheReviewWindingByWindingInTheShownUnits) {
  DesignInputs pq50;
  pq50.core = u"PQ50";
  const struct {
    std::vector<std::string> args;
    DesignInputs inputs;
    ReviewConditions conditions;
    const char* rthNote;
    std::string order;
    std::map<std::string, std::string> perLayer;  // each winding's wire line after its text
  } cases[] = {
      {{},
       DesignInputs{},
       {},
       " (measured)",
       "ps: primary 227 T, secondary 28 T, from the centre leg",
       {{"P", "1 turn a layer, 3.03 A/mm²"}, {"S", "1 turn a layer, 2.81 A/mm²"}}},
      {{"--core", "PQ50", "--ambient", "25", "--max-temperature", "150", "--material", "3C90"},
       pq50,
       test::lossConditions("3C90", 25, 150),
       " (estimated, Maniktala)",
       "psp: primary inner half 17 T, secondary 4 T, primary outer half 16 T, from the centre leg",
       {{"P", "1 turn a layer, 2.41 A/mm²"}, {"S", "1 turn a layer, 2.95 A/mm²"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Outcome result = run(c.args);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> text = lines(result.out);
    const TransformerLosses losses = engineReview(c.inputs, c.conditions).losses;
    ASSERT_TRUE(losses.valid);

    std::vector<std::string> expected{
        "Losses and temperature rise (core and copper at the core's temperature)",
        lossLine("Core material", std::string(c.conditions.material->name)),
        lossLine("Losses at", "design: the design input")};
    const auto add = [&](const std::string& name, const std::string& note = {}) {
      for (const LossQuantity& q : lossQuantities(losses)) {
        if (q.name == name) {
          const ReviewDisplay& d = *reviewDisplay(name);
          const std::string unit = std::string(d.unit) + note;
          // What the windings cannot give where they do not fit is a dash.
          expected.push_back(
              lossLine(std::string(d.description) + " " + name,
                       q.value ? reviewValueText(d, *q.value) + (unit.empty() ? "" : " ") + unit
                               : std::string("—")));
          return;
        }
      }
      ADD_FAILURE() << name << " is no loss quantity";
    };
    add("Pv");
    add("Pcore");
    expected.push_back(lossLine("Winding arrangement", c.order));
    for (const WindingLoss& w : losses.windings) {
      const std::string suffix(windingSuffix(w.winding));
      expected.push_back(lossLine(suffix == "P" ? "Primary wire" : "Secondary wire",
                                  wireText(w.wire) + " (chosen), " + c.perLayer.at(suffix)));
      for (const char* base : {"Rdc", "Fr", "Pcu", "layers", "build"}) {
        add(std::string(base) + suffix);
      }
    }
    expected.push_back(
        lossLine("Build of the windings with tape",
                 reviewValueText(*reviewDisplay("buildP"), losses.buildTotal) + " mm (bobbin " +
                     reviewValueText(*reviewDisplay("buildP"), losses.bobbinBuild) + " mm)"));
    add("Ptotal");
    if (!losses.fits) {
      expected.push_back(
          "  The windings do not fit the bobbin, so their AC loss, the total loss and the "
          "temperature are not estimated (—).");
    } else {
      expected.push_back("  Core and copper taken at the core's temperature, balanced in " +
                         std::to_string(losses.temperatureIterations) + " evaluations.");
    }
    add("Rth", c.rthNote);
    add("dT");
    add("Tambient");
    add("Tcore");
    expected.push_back(
        lossLine("Highest core temperature allowed",
                 reviewValueText(*reviewDisplay("Tcore"), c.conditions.maxTemperature) + " °C"));
    // The section follows the review's flags; the switch's follows it after a blank line.
    const auto heading = std::find(text.begin(), text.end(), expected.front());
    ASSERT_GE(text.end() - heading, static_cast<std::ptrdiff_t>(expected.size() + 1));
    EXPECT_EQ(
        std::vector<std::string>(heading, heading + static_cast<std::ptrdiff_t>(expected.size())),
        expected);
    EXPECT_EQ(heading[static_cast<std::ptrdiff_t>(expected.size())], "");
    EXPECT_LT(result.out.find("Engineering review"), result.out.find("Losses and temperature"));
  }
}

TEST(LossesText, NoSectionWithoutAReviewAndAPlainLineWithoutLosses) {
  DesignReport report = designFor(DesignInputs{}, CoreCatalogue{});
  report.review = DesignReview{};
  std::ostringstream invalid;
  writeTextReport(invalid, report);
  EXPECT_NE(invalid.str().find("cannot be reviewed"), std::string::npos);
  EXPECT_EQ(invalid.str().find("Losses"), std::string::npos);

  std::ostringstream notWorkedOut;
  writeLossesText(notWorkedOut, TransformerLosses{}, 100);
  EXPECT_EQ(lines(notWorkedOut.str()).back(),
            "  Not worked out: the core's magnetic, bobbin or thermal figures are unknown.");
}

// Conditions that differ from the start only in the switch, the clamp and the input range.
ReviewConditions stressConditions(std::optional<double> vinMax, std::optional<double> leakage,
                                  double clampRatio = 1.5, double vdsRating = 650) {
  ReviewConditions c;
  c.vinMax = vinMax;
  c.leakage = leakage;
  c.clampRatio = clampRatio;
  c.vdsRating = vdsRating;
  return c;
}

// Expects the JSON stress to hold the engine's stress member for member, in its order.
void expectStressJson(const nlohmann::ordered_json& json, const SwitchStress& expected) {
  ASSERT_TRUE(expected.valid);
  const std::vector<StressQuantity> quantities = stressQuantities(expected);
  ASSERT_EQ(json.size(), quantities.size());
  auto member = json.begin();
  for (const StressQuantity& q : quantities) {
    SCOPED_TRACE(std::string(q.name));
    ASSERT_EQ(member.key(), q.name);
    if (!q.value) {
      EXPECT_TRUE(member.value().is_null());
    } else if (q.boolean) {
      EXPECT_EQ(member.value(), *q.value != 0.0);
    } else {
      EXPECT_TRUE(member.value().is_number());
      EXPECT_EQ(member.value().get<double>(), *q.value);
    }
    ++member;
  }
}

TEST(StressJson, FollowsTheLossesWithEveryStressNumberInOrder) {
  DesignInputs pq50;
  pq50.core = u"PQ50";
  const struct {
    std::vector<std::string> args;
    DesignInputs inputs;
    ReviewConditions conditions;
  } cases[] = {
      // The worked example: 676 V on a 650 V switch, a clamp burning 23 W.
      {{"--core", "PQ50", "--vin-max", "370"}, pq50, stressConditions(370.0, std::nullopt)},
      // A leakage beyond LpRef itself: no coupling, still a clamp to size.
      {{}, DesignInputs{}, {}},
      {{"--core", "PQ50", "--leakage", "2e-6", "--clamp-ratio", "2", "--vds-rating", "800"},
       pq50,
       stressConditions(std::nullopt, 2e-6, 2.0, 800.0)},
      // Nothing to clamp: no parts.
      {{"--core", "PQ50", "--leakage", "0", "--vin-max", "200"},
       pq50,
       stressConditions(200.0, 0.0)},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--format", "json"});
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::ordered_json report = nlohmann::ordered_json::parse(result.out);
    ASSERT_EQ(report.size(), 11U);
    EXPECT_EQ(std::next(report.begin(), 6).key(), "stress");
    const DesignReview expected = engineReview(c.inputs, c.conditions);
    const nlohmann::ordered_json& stress = report.at("stress");
    expectStressJson(stress, expected.stress);

    // The flags agree with the numbers they judge.
    const nlohmann::ordered_json& flags = report.at("review").at("flags");
    const auto flagged = [&flags](const char* code) {
      return std::find(flags.begin(), flags.end(), code) != flags.end();
    };
    EXPECT_EQ(flagged("switch-overvoltage"),
              stress.at("VdsMax").get<double>() > 0.8 * stress.at("VdsRating").get<double>());
    // No clamp loss is judged where the windings do not fit and give no leakage.
    EXPECT_EQ(flagged("clamp-loss-high"),
              !stress.at("Pclamp").is_null() && stress.at("Pclamp").get<double>() > 0.02 * 240.0);
    EXPECT_EQ(stress.at("Llk").is_null(), !expected.stress.leakageKnown);
  }
}

// EER25.5's windings do not fit: the text says why the leakage's figures are dashes.
TEST(StressText, WindingsThatDoNotFitGiveDashesAndSayWhy) {
  const Outcome result = run({});
  ASSERT_EQ(result.status, 0) << result.err;
  for (const char* line : {
           "  The windings do not fit the bobbin, so the leakage and the clamp's loss and parts "
           "are not estimated (—); give the leakage measured (--leakage).\n",
           "  Leakage inductance Llk                      —\n",
           "  Clamp loss (R bought) Pclamp                —\n",
           "  Clamp parts to buy                          —\n",
           "  Switch's peak voltage VdsMax                515.4 V\n",
       }) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
  }
}

TEST(StressJson, NullWhereTheReviewOrTheStressIsNull) {
  DesignReview invalid;
  DesignReview withoutStress = workedExampleReview();
  withoutStress.stress = SwitchStress{};
  const struct {
    const char* what;
    const DesignReview* review;
  } cases[] = {
      {"no review", nullptr},
      {"invalid review", &invalid},
      {"stress not worked out", &withoutStress},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.key("stress");
    writeStressJson(json, c.review);
    json.endObject();
    json.finish();
    EXPECT_TRUE(nlohmann::json::parse(out.str()).at("stress").is_null());
  }
}

TEST(StressText, TheWorkedExampleClosesTheReportWithThePartsToBuy) {
  const Outcome result = run({"--core", "PQ50", "--vin-max", "370"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> expected{
      "Switch, RCD clamp and output diode at the highest input",
      "  Highest input voltage VinMax                370.0 V",
      "  Duty at the highest input DHigh             0.270",
      "  Reflected output voltage VRO                203.8 V",
      "  Leakage inductance Llk                      1.26 µH (estimated from the winding layout)",
      "  Coupling factor k                           0.9981",
      "  Clamp voltage aimed at VclampTarget         305.7 V",
      "  Clamp loss aimed at PclampTarget            3.41 W",
      "  Clamp voltage (R bought) Vclamp             304.5 V",
      "  Clamp loss (R bought) Pclamp                3.43 W",
      "  Clamp resistor (worked out) Rclamp          27413 Ω",
      "  Clamp resistor (E24) RclampE24              27000 Ω",
      "  Clamp capacitor (worked out) Cclamp         7.30 nF",
      "  Clamp capacitor (E12) CclampE12             8.20 nF",
      "  Clamp resistor's power rating PratingR      6.87 W",
      "  Clamp parts to buy                          27000 Ω (E24), 6.87 W; 8.20 nF (E12)",
      "  Switch's peak voltage VdsMax                689.7 V",
      "  Switch's rated voltage VdsRating            650 V (520.0 V allowed, 80 %)",
      "  Diode's peak reverse voltage VdRevMax       68.8 V",
  };
  const std::vector<std::string> text = lines(result.out);
  ASSERT_GE(text.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(text.end() - static_cast<std::ptrdiff_t>(expected.size()),
                                     text.end()),
            expected);
  EXPECT_LT(result.out.find("Losses and temperature"), result.out.find("Switch, RCD clamp"));
}

// Another mode names itself in the review's heading and LpRef's caption, lists its figures after
// the review's numbers, and gives the frequency and peak current at the highest input; the
// default mode's report has none of these (its lines are pinned above).
TEST(ModeText, OtherModesNameThemselvesAndGiveTheirFigures) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> lines;
  } cases[] = {
      {{"--mode", "pwm-ccm"},
       {"Engineering review (whole turns; pwm-ccm: continuous conduction at a fixed frequency "
        "with a given ripple)",
        "  Primary inductance (pwm-ccm) LpRef          679.19 µH",
        "  Drive mode                                  pwm-ccm",
        "  Ripple factor KRF                           0.500",
        "  Primary mean current while on IEDC          2.972 A",
        "  Primary current swing dI                    2.972 A",
        "  Highest input in CCM VinCcmLimit            476.6 V",
        "  Frequency at the highest input fsHigh       50.0 kHz",
        "  Peak current at the highest input IpkHigh   4.218 A"}},
      {{"--mode", "pwm-ccm", "--ripple", "0.1"},
       {"  Highest input in CCM VinCcmLimit            none: continuous at every input"}},
      {{"--mode", "qr"},
       {"Engineering review (whole turns; qr: quasi-resonant, switched at the first valley)",
        "  Drain capacitance Cd                        100 pF",
        "  On-time ton                                 9.810 µs",
        "  Time to the first valley tv                 0.563 µs",
        "  Frequency at the highest input fsHigh       81.7 kHz"}},
      {{"--mode", "pfm-critical"}, {"  Frequency at the highest input fsHigh       86.3 kHz"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--core", "PQ50", "--vin-max", "370"});
    SCOPED_TRACE(args[1]);
    const Outcome result = run(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> text = lines(result.out);
    for (const std::string& line : c.lines) {
      EXPECT_NE(std::find(text.begin(), text.end(), line), text.end()) << line;
    }
  }
  const Outcome standard = run({"--core", "PQ50", "--vin-max", "370"});
  for (const char* absent : {"Drive mode", "fsHigh", "IpkHigh", "(pwm-critical)"}) {
    EXPECT_EQ(standard.out.find(absent), std::string::npos) << absent;
  }
}

TEST(StressText, SaysWhetherTheLeakageIsMeasuredAndWhenNoClampIsNeeded) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> lines;
  } cases[] = {
      {{"--core", "PQ50", "--leakage", "4.5e-6", "--vds-rating", "800"},
       {"  Leakage inductance Llk                      4.50 µH (measured)",
        "  Switch's rated voltage VdsRating            800 V (640.0 V allowed, 80 %)"}},
      {{"--core", "PQ50", "--leakage", "0"},
       {"  Leakage inductance Llk                      0.00 µH (measured)",
        "  Coupling factor k                           1.0000",
        "  Clamp loss (R bought) Pclamp                0.00 W",
        "  Clamp resistor (worked out) Rclamp          none needed",
        "  Clamp resistor (E24) RclampE24              none needed",
        "  Clamp capacitor (worked out) Cclamp         none needed",
        "  Clamp capacitor (E12) CclampE12             none needed",
        "  Clamp parts to buy                          none needed: no leakage to clamp"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Outcome result = run(c.args);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> text = lines(result.out);
    for (const std::string& line : c.lines) {
      EXPECT_NE(std::find(text.begin(), text.end(), line), text.end()) << line;
    }
  }
}

TEST(StressText, SaysWhenTheStressWasNotWorkedOut) {
  std::ostringstream out;
  writeStressText(out, SwitchStress{}, DriveMode::PwmCritical);
  EXPECT_EQ(lines(out.str()).back(),
            "  Not worked out: without a winding layout the leakage cannot be estimated; give it "
            "measured (--leakage).");
  EXPECT_EQ(out.str().find("VdsMax"), std::string::npos);

  // No review, no section.
  DesignReport report = designFor(DesignInputs{}, CoreCatalogue{});
  report.review = DesignReview{};
  std::ostringstream invalid;
  writeTextReport(invalid, report);
  EXPECT_EQ(invalid.str().find("Switch, RCD clamp"), std::string::npos);
}

TEST(Advice, RecommendsTheSmallestBuildableCoreAndListsFeasibleOnesFirst) {
  const Outcome result = run({"--advise", "--format", "json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json advice = nlohmann::json::parse(result.out);
  // With its windings chosen PQ50 runs at 69.4 °C: the only core that can be built (EC90's
  // switch sees 524 V with the clamp capacitor's ripple).
  EXPECT_EQ(advice.at("recommended"), "PQ50");
  const nlohmann::json& cores = advice.at("cores");
  ASSERT_EQ(cores.size(), 18U);
  EXPECT_EQ(cores[0].at("core"), "PQ50");
  EXPECT_EQ(cores[0].at("feasible"), true);
  EXPECT_EQ(cores[0].at("Np"), 33);
  EXPECT_EQ(cores[1].at("feasible"), false);
  bool feasibleBlock = true;
  for (const nlohmann::json& core : cores) {
    SCOPED_TRACE(core.at("core").get<std::string>());
    const bool feasible = core.at("feasible").get<bool>();
    // Once an infeasible core appears no feasible one follows.
    EXPECT_FALSE(feasible && !feasibleBlock);
    feasibleBlock = feasibleBlock && feasible;
  }
}

TEST(Advice, EachCoreCarriesItsOwnLosses) {
  const Outcome result = run({"--advise", "--format", "json", "--ambient", "25"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::json cores = nlohmann::json::parse(result.out).at("cores");
  std::vector<double> tcores;
  for (const nlohmann::json& core : cores) {
    SCOPED_TRACE(core.at("core").get<std::string>());
    const nlohmann::json& losses = core.at("losses");
    ASSERT_TRUE(losses.is_object());
    EXPECT_EQ(losses.at("material"), "N97");
    EXPECT_EQ(losses.at("Tambient"), 25);
    const nlohmann::json& flags = core.at("flags");
    // Windings that do not fit or run away give no temperature and no verdict on it.
    const bool flaggedHot = std::find(flags.begin(), flags.end(), "too-hot") != flags.end();
    if (losses.at("Tcore").is_null()) {
      EXPECT_FALSE(flaggedHot);
      EXPECT_TRUE(std::find(flags.begin(), flags.end(), "layers-exceed-bobbin") != flags.end() ||
                  std::find(flags.begin(), flags.end(), "thermal-runaway") != flags.end());
      continue;
    }
    EXPECT_EQ(flaggedHot, losses.at("Tcore").get<double>() > 100.0);
    tcores.push_back(losses.at("Tcore").get<double>());
  }
  // Each core's own figures, not one design's repeated.
  std::sort(tcores.begin(), tcores.end());
  EXPECT_EQ(std::adjacent_find(tcores.begin(), tcores.end()), tcores.end());

  // A core whose calculation stopped has no review and so no losses.
  CoreAdvice stopped;
  stopped.cores.push_back({u"EER28", 0, false, DesignReview{}});
  std::ostringstream out;
  writeAdviceJson(out, stopped);
  const nlohmann::json core = nlohmann::json::parse(out.str()).at("cores").at(0);
  EXPECT_EQ(core.at("valid"), false);
  EXPECT_TRUE(core.at("losses").is_null());
  EXPECT_TRUE(core.at("stress").is_null());
}

TEST(Advice, EachCoreCarriesItsOwnStressAfterItsLosses) {
  const Outcome result = run({"--advise", "--format", "json", "--vin-max", "370"});
  ASSERT_EQ(result.status, 0) << result.err;
  const nlohmann::ordered_json cores = nlohmann::ordered_json::parse(result.out).at("cores");
  for (const nlohmann::ordered_json& core : cores) {
    const std::string name = core.at("core").get<std::string>();
    SCOPED_TRACE(name);
    EXPECT_EQ(std::prev(core.end()).key(), "stress");
    const nlohmann::ordered_json& stress = core.at("stress");
    ASSERT_TRUE(stress.is_object());
    DesignInputs inputs;
    inputs.core = fromUtf8(name);
    expectStressJson(stress, engineReview(inputs, stressConditions(370.0, std::nullopt)).stress);
    const nlohmann::ordered_json& flags = core.at("flags");
    EXPECT_EQ(std::find(flags.begin(), flags.end(), "switch-overvoltage") != flags.end(),
              stress.at("VdsMax").get<double>() > 0.8 * 650.0);
  }
}

TEST(Advice, TextTableEndsWithTheRecommendation) {
  const Outcome result = run({"--advise"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.rfind("Core", 0), 0U);
  EXPECT_NE(result.out.find("\nPQ50 "), std::string::npos);
  EXPECT_NE(result.out.find("Recommended core: PQ50\n"), std::string::npos);
  EXPECT_NE(result.out.find("\n—: the windings do not fit the core's bobbin, so its losses, "
                            "temperature and clamp loss are not estimated.\n"),
            std::string::npos);
}

// Checks that each heading's column holds its cells: a left-aligned cell starts where its heading
// starts, a right-aligned one ends where its heading ends. Columns are counted in UTF-16 units,
// one per column for these tables' characters.
void expectAligned(const std::vector<std::string>& table,
                   const std::vector<std::pair<std::u16string, bool>>& headings) {
  ASSERT_FALSE(table.empty());
  const std::u16string heading = fromUtf8(table[0]);
  for (const auto& [name, left] : headings) {
    SCOPED_TRACE(toUtf8(name));
    const std::size_t start = heading.find(name);
    ASSERT_NE(start, std::u16string::npos);
    const std::size_t edge = left ? start : start + name.size() - 1;
    for (std::size_t r = 1; r < table.size(); ++r) {
      const std::u16string row = fromUtf8(table[r]);
      ASSERT_GT(row.size(), edge) << table[r];
      EXPECT_NE(row[edge], u' ') << table[r];
      if (!left || edge > 0) {
        EXPECT_EQ(row[left ? edge - 1 : edge + 1], u' ') << table[r];
      }
    }
  }
}

TEST(Advice, TableShowsTheTotalLossAndTheCoresTemperatureInAlignedColumns) {
  const Outcome result = run({"--advise"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::string> table = lines(result.out);
  // The blank line, the recommendation and what a dash means follow: beside windings that do
  // not fit, the cores whose losses run away (PQ35 and others at the start values).
  ASSERT_EQ(table.size(), 1U + 18U + 4U);
  EXPECT_TRUE(table.back().starts_with("— beside thermal-runaway: ")) << table.back();
  table.resize(1 + 18);
  EXPECT_NE(table[0].find("Allowed[%]  Ptotal[W]  Tcore[°C]  VdsMax[V]  Pclamp[W]  Flags"),
            std::string::npos);
  expectAligned(table, {{u"Core", true},
                        {u"Np", false},
                        {u"Allowed[%]", false},
                        {u"Ptotal[W]", false},
                        {u"Tcore[°C]", false},
                        {u"VdsMax[V]", false},
                        {u"Pclamp[W]", false},
                        {u"Flags", true}});

  DesignInputs pq50;
  pq50.core = u"PQ50";
  const DesignReview review = engineReview(pq50, {});
  const TransformerLosses& losses = review.losses;
  EXPECT_EQ(table[1].rfind("PQ50 ", 0), 0U);
  for (const std::string& cell :
       {reviewValueText(*reviewDisplay("Ptotal"), losses.Ptotal),
        reviewValueText(*reviewDisplay("Tcore"), losses.Tcore),
        reviewValueText(*reviewDisplay("VdsMax"), review.stress.VdsMax),
        reviewValueText(*reviewDisplay("Pclamp"), review.stress.Pclamp)}) {
    EXPECT_NE(table[1].find(" " + cell + "  "), std::string::npos) << cell << " in " << table[1];
  }
  // EER25.5's windings do not fit: dashes where PQ50 has its figures.
  const auto eer = std::find_if(table.begin(), table.end(),
                                [](const std::string& row) { return row.starts_with("EER25.5 "); });
  ASSERT_NE(eer, table.end());
  EXPECT_NE(eer->find("          —          —      515.4          —  gap-too-large"),
            std::string::npos)
      << *eer;
}

TEST(Advice, NoCoreCanBeBuiltIsSaidPlainly) {
  // 60 V at 60 A is far beyond every core in the catalogue.
  const Outcome text = run({"--advise", "--vout", "60", "--iout", "60", "--vin", "10"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Recommended core: none"), std::string::npos);
  const Outcome json =
      run({"--advise", "--vout", "60", "--iout", "60", "--vin", "10", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(nlohmann::json::parse(json.out).at("recommended").is_null());
}

TEST(Advice, RefusesOptionsForOneDesign) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--advise", "--sweep"},
                                             {"--advise", "--plot", "x.png"},
                                             {"--advise", "--waveform-csv", "-"},
                                             {"--advise", "--batch", "-"}}) {
    const Outcome result = run(args);
    EXPECT_EQ(result.status, 2) << args[1];
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("--advise"), std::string::npos) << result.err;
  }
}

TEST(Sweep, RowsCarryWholeTurnsGapAndFeasibility) {
  const Outcome json = run({"--sweep", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json rows = nlohmann::json::parse(json.out);
  ASSERT_EQ(rows.size(), 18U);
  const nlohmann::json& first = rows[0].at("review");
  EXPECT_EQ(first.at("Np"), 227);
  EXPECT_EQ(first.at("Ns"), 28);
  EXPECT_EQ(first.at("feasible"), false);
  EXPECT_EQ(rows[17].at("core"), "PQ50");
  EXPECT_EQ(rows[17].at("review").at("feasible"), true);
  EXPECT_EQ(rows[8].at("core"), "EC90");
  EXPECT_EQ(rows[8].at("review").at("feasible"), false);

  // The losses' total and the core's temperature beside the gap, each core's own.
  DesignInputs ec90;
  ec90.core = u"EC90";
  const TransformerLosses losses = engineReview(ec90, {}).losses;
  EXPECT_EQ(rows[8].at("review").at("Ptotal").get<double>(), losses.Ptotal);
  EXPECT_EQ(rows[8].at("review").at("Tcore").get<double>(), losses.Tcore);
  // EER25.5 cannot hold its windings: no temperature of that layout.
  EXPECT_TRUE(first.at("Tcore").is_null());
  EXPECT_TRUE(first.at("Ptotal").is_null());
  // Each row carries the single report's stress, its own core's.
  expectStressJson(nlohmann::ordered_json::parse(json.out).at(8).at("stress"),
                   engineReview(ec90, {}).stress);

  const Outcome text = run({"--sweep"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Np:Ns"), std::string::npos);
  EXPECT_NE(text.out.find("227:28"), std::string::npos);
  EXPECT_NE(
      text.out.find("Buildable  Gap[mm]  Ptotal[W]  Tcore[°C]  VdsMax[V]  Pclamp[W]  Verdict"),
      std::string::npos);
  const std::vector<std::string> table = lines(text.out);
  ASSERT_EQ(table.size(), 19U);
  expectAligned(table, {{u"Np:Ns", false},
                        {u"Buildable", true},
                        {u"Gap[mm]", false},
                        {u"Ptotal[W]", false},
                        {u"Tcore[°C]", false},
                        {u"VdsMax[V]", false},
                        {u"Pclamp[W]", false},
                        {u"Verdict", true}});
  const SwitchStress stress = engineReview(ec90, {}).stress;
  for (const std::string& cell : {reviewValueText(*reviewDisplay("Tcore"), losses.Tcore),
                                  reviewValueText(*reviewDisplay("VdsMax"), stress.VdsMax),
                                  reviewValueText(*reviewDisplay("Pclamp"), stress.Pclamp)}) {
    EXPECT_NE(table[9].find("  " + cell + "  "), std::string::npos) << cell << " in " << table[9];
  }
}

}  // namespace
}  // namespace fbc
