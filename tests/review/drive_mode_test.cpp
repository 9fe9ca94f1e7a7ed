#include "review/drive_mode.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "review/review.h"
#include "tests/review/loss_conditions.h"

namespace fbc {
namespace {

ModeInputs designPoint(double vin, double duty, double fs, double pin, double iout,
                       double ripple = 0.5, double cd = 100e-12) {
  return {vin, duty, 1.0 / fs, pin, iout, ripple, cd};
}

// The relative difference of a figure from a published one.
double off(double value, double published) { return std::abs(value / published - 1.0); }

// Fairchild's FPS Design Assistant (the worksheet of application note AN-4137, "Design
// Guidelines for Off-line Flyback Converters Using Fairchild Power Switch"), two printed
// designs in continuous conduction with KRF = 0.4. The worksheet states its inputs to three
// figures, so its results are met within 1.5 %.
TEST(DriveModeTest, ContinuousConductionMeetsFairchildsWorkedExamples) {
  const struct {
    const char* what;
    double pin, vdcMin, duty, fs, krf;
    double lm, ipk, irms;  // published: H, A, A
  } examples[] = {
      {"5 V 3 A, 80 kHz", 18.1, 95.0, 0.5, 80e3, 0.4, 1.935e-3, 0.53, 0.28},
      {"6 V 3 A, 67 kHz", 21.7, 90.0, 0.5, 67e3, 0.4, 1.723e-3, 0.68, 0.35},
  };
  for (const auto& e : examples) {
    SCOPED_TRACE(e.what);
    const ModeOperation op =
        modeOperation(DriveMode::PwmCcm, designPoint(e.vdcMin, e.duty, e.fs, e.pin, 3.0, e.krf));
    EXPECT_LT(off(op.LpRef, e.lm), 0.015) << op.LpRef;
    EXPECT_LT(off(op.Ipk, e.ipk), 0.015) << op.Ipk;
    EXPECT_LT(off(op.IpRms, e.irms), 0.015) << op.IpRms;
    ASSERT_TRUE(op.figures.KRF && op.figures.IEDC && op.figures.dI);
    // The ripple is what was asked for: ΔI = 2·KRF·IEDC.
    EXPECT_NEAR(*op.figures.dI, 2.0 * e.krf * *op.figures.IEDC, 1e-12);
    EXPECT_FALSE(op.figures.Cd);
  }
}

// Vishay application note AN701 (Si9108/Si9110 flyback), appendix B: 18 V, D = 0.5,
// 250 kHz, η = 0.75 and 10 W out need 12.2 µH at critical conduction.
TEST(DriveModeTest, CriticalPwmMeetsVishaysWorkedExample) {
  const ModeOperation op =
      modeOperation(DriveMode::PwmCritical, designPoint(18.0, 0.5, 250e3, 10.0 / 0.75, 2.0));
  EXPECT_NEAR(op.LpRef, 12.2e-6, 0.06e-6);  // 12.15 µH, printed to three figures
  EXPECT_FALSE(op.figures.KRF || op.figures.Cd || op.figures.VinCcmLimit);
  EXPECT_EQ(op.rise, 0.5);
  EXPECT_EQ(op.fall, 0.5);
}

// The flyback calculator of calculatorpod.com (its worked question): 24 V, D = 0.4, η = 0.85,
// 10 W and 100 kHz at the boundary of conduction give Lm = 39.17 µH and Ipk = 2.45 A; the
// frequency it was designed for is where critical-mode PFM runs at the lowest input.
TEST(DriveModeTest, CriticalPfmMeetsCalculatorpodsWorkedExample) {
  const ModeInputs in = designPoint(24.0, 0.4, 100e3, 10.0 / 0.85, 10.0 / 12.0);
  const ModeOperation op = modeOperation(DriveMode::PfmCritical, in);
  EXPECT_NEAR(op.LpRef, 39.17e-6, 0.01e-6);
  EXPECT_NEAR(op.Ipk, 2.45, 0.005);
  const HighLine same =
      highLine(DriveMode::PfmCritical, in, op, 24.0, referenceReflectedVoltage(in.vin, in.duty));
  EXPECT_NEAR(same.fs, 100e3, 1e-6);
  EXPECT_NEAR(same.duty, 0.4, 1e-12);
  EXPECT_NEAR(same.Ipk, op.Ipk, 1e-12);
}

// electronicsbeliever.com, "Quasi Resonant Flyback Step by Step Design Guide", step 3: 400 V in,
// VRO = 92.31 V, Pin = 33.33 W, 90 kHz at the first valley with Cd = 1000 pF allow at most
// Lp = 577.9 µH; with it the on-time, the reset and the wait for the valley fill the period.
TEST(DriveModeTest, QuasiResonantMeetsElectronicsbelieversWorkedExample) {
  const double vro = 92.31;
  const double duty = vro / (400.0 + vro);
  const ModeInputs in = designPoint(400.0, duty, 90e3, 33.33, 1.0, 0.5, 1000e-12);
  const ModeOperation op = modeOperation(DriveMode::Qr, in);
  EXPECT_NEAR(op.LpRef, 577.9e-6, 0.1e-6);
  ASSERT_TRUE(op.figures.ton && op.figures.toff && op.figures.tv);
  EXPECT_NEAR((*op.figures.ton + *op.figures.toff + *op.figures.tv) * 90e3, 1.0, 1e-12);
  EXPECT_NEAR(*op.figures.tv, std::numbers::pi * std::sqrt(op.LpRef * 1000e-12), 1e-18);
  // The stored energy is the input power's share of each period.
  EXPECT_NEAR(0.5 * op.LpRef * op.Ipk * op.Ipk * 90e3, 33.33, 1e-9);
  EXPECT_LT(op.rise + op.fall, 1.0);
  const HighLine same =
      highLine(DriveMode::Qr, in, op, 400.0, referenceReflectedVoltage(in.vin, in.duty));
  EXPECT_NEAR(same.fs, 90e3, 1e-6);
  EXPECT_NEAR(same.Ipk, op.Ipk, 1e-9);
}

// At KRF = 1 continuous conduction reaches the boundary: every figure is critical conduction's,
// and the converter leaves CCM at once above the design's input.
TEST(DriveModeTest, ContinuousAtTheBoundaryIsCritical) {
  for (const double duty : {0.2, 0.45, 0.5, 0.7}) {
    SCOPED_TRACE(duty);
    const ModeInputs in = designPoint(141.0, duty, 65e3, 60.0, 2.5, 1.0);
    const ModeOperation ccm = modeOperation(DriveMode::PwmCcm, in);
    const ModeOperation critical = modeOperation(DriveMode::PwmCritical, in);
    for (const auto member : {&ModeOperation::LpRef, &ModeOperation::Ipk, &ModeOperation::IpRms,
                              &ModeOperation::IsPk, &ModeOperation::IsRms, &ModeOperation::dI}) {
      EXPECT_NEAR(ccm.*member, critical.*member, 1e-12 * critical.*member);
    }
    EXPECT_NEAR(ccm.primary.from, 0.0, 1e-12);
    EXPECT_NEAR(ccm.secondary.to, 0.0, 1e-12);
    ASSERT_TRUE(ccm.figures.VinCcmLimit);
    EXPECT_NEAR(*ccm.figures.VinCcmLimit, 141.0, 1e-9);
  }
}

// The input where CCM ends: below it the converter is continuous, above it discontinuous, and
// the two sides meet there with the same peak current and duty. Deep in CCM (KRF ≤ (1 − D)²)
// it never ends.
TEST(DriveModeTest, ContinuousConductionEndsAtItsLimit) {
  const ModeInputs in = designPoint(100.0, 0.5, 100e3, 50.0, 2.0, 0.5);
  const ModeOperation op = modeOperation(DriveMode::PwmCcm, in);
  ASSERT_TRUE(op.figures.VinCcmLimit);
  const double limit = *op.figures.VinCcmLimit;
  EXPECT_GT(limit, 100.0);
  const HighLine below = highLine(DriveMode::PwmCcm, in, op, limit * (1.0 - 1e-9),
                                  referenceReflectedVoltage(in.vin, in.duty));
  const HighLine above = highLine(DriveMode::PwmCcm, in, op, limit * (1.0 + 1e-9),
                                  referenceReflectedVoltage(in.vin, in.duty));
  EXPECT_NEAR(below.Ipk, above.Ipk, 1e-6);
  EXPECT_NEAR(below.duty, above.duty, 1e-6);
  EXPECT_DOUBLE_EQ(below.fs, 100e3);
  EXPECT_DOUBLE_EQ(above.fs, 100e3);
  // At the design's own input: the design point.
  const HighLine same =
      highLine(DriveMode::PwmCcm, in, op, 100.0, referenceReflectedVoltage(in.vin, in.duty));
  EXPECT_NEAR(same.Ipk, op.Ipk, 1e-12);
  EXPECT_NEAR(same.duty, 0.5, 1e-12);

  const ModeOperation deep =
      modeOperation(DriveMode::PwmCcm, designPoint(100.0, 0.5, 100e3, 50.0, 2.0, 0.2));
  EXPECT_FALSE(deep.figures.VinCcmLimit);
  const HighLine far =
      highLine(DriveMode::PwmCcm, in, deep, 1000.0, referenceReflectedVoltage(in.vin, in.duty));
  // Still continuous: the current's swing at 1000 V stays below its peak.
  const double swing = 1000.0 * far.duty / (deep.LpRef * 100e3);
  EXPECT_GT(far.Ipk - swing, 0.0);
  EXPECT_NEAR(far.duty, 100.0 / 1100.0, 1e-12);
}

// The variable-frequency modes run faster as the input rises; pwm-critical keeps fs and Ipk.
TEST(DriveModeTest, HighLineFrequencyRisesInTheVariableFrequencyModes) {
  const ModeInputs in = designPoint(120.0, 0.45, 65e3, 40.0, 2.0, 0.5, 150e-12);
  for (const DriveMode mode : {DriveMode::PfmCritical, DriveMode::Qr}) {
    SCOPED_TRACE(std::string(driveModeCode(mode)));
    const ModeOperation op = modeOperation(mode, in);
    double previous = 0.0;
    for (const double vin : {120.0, 200.0, 300.0, 375.0}) {
      const HighLine high = highLine(mode, in, op, vin, referenceReflectedVoltage(in.vin, in.duty));
      EXPECT_GT(high.fs, previous);
      previous = high.fs;
      // The input power stays: ½·Lp·Ipk²·fs.
      EXPECT_NEAR(0.5 * op.LpRef * high.Ipk * high.Ipk * high.fs, 40.0, 1e-9);
    }
  }
  const ModeOperation op = modeOperation(DriveMode::PwmCritical, in);
  const HighLine high =
      highLine(DriveMode::PwmCritical, in, op, 375.0, referenceReflectedVoltage(in.vin, in.duty));
  EXPECT_EQ(high.fs, 65e3);
  EXPECT_EQ(high.Ipk, op.Ipk);
  EXPECT_NEAR(high.duty, 0.45 * 120.0 / 375.0, 1e-15);
}

// The start values on PQ50 from 370 V in each mode, as docs/engineering-review.md tabulates them.
TEST(DriveModeTest, WorkedExampleOnPq50InEachMode) {
  DesignInputs inputs;
  inputs.core = u"PQ50";
  DesignState state;
  ASSERT_TRUE(calculateDesign(inputs, CoreCatalogue{}, state).completed);
  const struct {
    DriveMode mode;
    double lpRef, ipk, ipRms;
    int np, ns;
    double fsHigh, ipkHigh, pclamp;
  } cases[] = {
      {DriveMode::PwmCritical, 333.33e-6, 6.000, 2.449, 33, 4, 50.0e3, 6.000, 3.434},
      {DriveMode::PfmCritical, 333.33e-6, 6.000, 2.449, 33, 4, 86.34e3, 4.566, 3.434},
      // The swing held to the level's and the peak to the near-saturation limit: the turns of
      // the critical modes, at the duty the whole turns give.
      {DriveMode::PwmCcm, 679.19e-6, 4.458, 2.198, 33, 4, 50.0e3, 4.218, 1.935},
      {DriveMode::Qr, 320.76e-6, 6.116, 2.473, 33, 4, 81.67e3, 4.786, 3.716},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(driveModeCode(c.mode)));
    ReviewConditions conditions;
    conditions.mode = c.mode;
    conditions.vinMax = 370.0;
    const DesignReview r = reviewDesign(state, *levelSwing(inputs.level), conditions);
    ASSERT_TRUE(r.valid && r.stress.valid);
    EXPECT_NEAR(r.LpRef, c.lpRef, 0.01e-6);
    EXPECT_NEAR(r.Ipk, c.ipk, 0.0005);
    EXPECT_NEAR(r.IpRms, c.ipRms, 0.0005);
    EXPECT_EQ(r.Np, c.np);
    EXPECT_EQ(r.Ns, c.ns);
    EXPECT_NEAR(r.stress.fsHigh, c.fsHigh, 5.0);
    EXPECT_NEAR(r.stress.IpkHigh, c.ipkHigh, 0.0005);
    EXPECT_NEAR(r.stress.Pclamp, c.pclamp, 0.005);
  }
}

TEST(DriveModeTest, CodesAndCaptions) {
  for (const DriveMode mode : kDriveModes) {
    EXPECT_EQ(driveModeByCode(driveModeCode(mode)), mode);
    EXPECT_FALSE(driveModeCaption(mode).empty());
    EXPECT_FALSE(driveModeDescription(mode).empty());
  }
  EXPECT_FALSE(driveModeByCode("pwm-dcm"));
  EXPECT_FALSE(driveModeByCode(""));
  EXPECT_EQ(driveModeCodes(", ", " or "), "pwm-critical, pfm-critical, pwm-ccm or qr");
  EXPECT_EQ(driveModeCaption(DriveMode::PwmCcm), u"PWM(電流連続モード：Fs指定,リプル指定,Lp可変)");
}

// The losses follow each mode's waveforms: every winding's RMS current from the mode's pieces is
// the review's own, and continuous conduction, its swing held to the level's like the critical
// modes', loses about as much in the core.
TEST(DriveModeTest, TheLossesFollowTheModesWaveforms) {
  DesignInputs inputs;
  inputs.core = u"PQ50";
  DesignState state;
  ASSERT_TRUE(calculateDesign(inputs, CoreCatalogue{}, state).completed);
  const double bmax = *levelSwing(inputs.level);
  std::optional<double> criticalCoreLoss;
  for (const DriveMode mode : kDriveModes) {
    SCOPED_TRACE(std::string(driveModeCode(mode)));
    ReviewConditions conditions = test::lossConditions("N97", 40.0, 100.0);
    conditions.mode = mode;
    const DesignReview review = reviewDesign(state, bmax, conditions);
    ASSERT_TRUE(review.valid);
    ASSERT_TRUE(review.losses.valid);
    const WindingLoss* primary = review.losses.find(Winding::Primary);
    const WindingLoss* secondary = review.losses.find(Winding::Secondary);
    ASSERT_TRUE(primary && secondary);
    EXPECT_NEAR(primary->Irms, review.IpRms, 1e-9 * review.IpRms);
    // The secondary's copper carries the winding's own current, not the output side's.
    EXPECT_NEAR(secondary->Irms, review.IsRmsWinding, 1e-9 * review.IsRmsWinding);
    if (mode == DriveMode::PwmCritical) {
      criticalCoreLoss = review.losses.Pcore;
    } else if (mode == DriveMode::PfmCritical) {
      EXPECT_EQ(review.losses.Pcore, criticalCoreLoss);
    } else if (mode == DriveMode::PwmCcm) {
      // The same swing; each at the temperature its own losses reach.
      EXPECT_NEAR(review.losses.Pcore / *criticalCoreLoss, 1.0, 0.2);
      EXPECT_LE(review.LpRef * review.operation.dI / (review.Np * static_cast<double>(state.Ae)),
                bmax);
    }
  }
}

}  // namespace
}  // namespace fbc
