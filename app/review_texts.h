#pragma once

#include <vector>

#include <QString>
#include <QStringList>

#include "review/insulation/insulation.h"
#include "review/review.h"
#include "review/review_display.h"
#include "review/review_inputs.h"

namespace fbc {

// The review's numbers as the review window shows them: a Japanese label, the value in the unit
// an engineer reads it in (gap in mm, inductance in µH, ...) and that unit.
struct ReviewRow {
  QString name;  // the engine's member name, e.g. "gap"
  QString label;
  QString value;
  QString unit;
};

// Every number of the review in the engine's order; empty for an invalid review. Outside
// pwm-critical the drive mode's caption and its own figures follow. The flags' sentences, short
// names and the verdict come from review/review_display.h.
std::vector<ReviewRow> reviewRows(const DesignReview& review);

// The losses' numbers in lossQuantities() order, shown the same way; empty for invalid losses.
// RthMeasured has no row of its own: the thermal resistance's label says whether the figure is
// the core's published one or the estimate from its volume; nor has converged: the summary
// says where the temperature finds no balance.
std::vector<ReviewRow> lossRows(const TransformerLosses& losses);

// The columns of outputResultRows: the winding, its turns, the voltage aimed at and the one its
// whole turns give, the error, its peak and RMS currents and its diode's peak reverse voltage.
QStringList outputResultHeaders();

// One output or the bias as the review worked it out from the whole turns: its winding's name
// (二次 for the main output, 二次2 to 二次8, 補助), the figures in outputResultHeaders' order, and
// whether its voltage misses the target by more than kOutputVoltageTolerance.
struct OutputResultRow {
  QString winding;
  QStringList cells;
  bool off = false;
};
// The main output first, the further outputs in the order given, the bias last; empty for an
// invalid review.
std::vector<OutputResultRow> outputResultRows(const DesignReview& review);

// Each winding's wire as the losses wound it, its text as the wire conditions take it, the label
// saying whether the review chose it (自動) or it was given (指定), and the current density it
// carries; empty for invalid losses.
std::vector<ReviewRow> windingRows(const TransformerLosses& losses);

// The switch's stress in stressQuantities() order, shown the same way; empty for an invalid
// stress. LlkEstimated has no row of its own: the leakage's label says where its figure comes
// from. The clamp's resistor and capacitor read 「不要」 where no clamp is needed. The frequency
// and peak current at the highest input only show outside pwm-critical `mode`, which keeps the
// design point's.
std::vector<ReviewRow> stressRows(const SwitchStress& stress,
                                  DriveMode mode = DriveMode::PwmCritical);

// The clamp's parts to buy, resistor then capacitor, each value with its series (and the
// resistor's power rating) in one text: 「3900 Ω (E24)、定格電力 46.28 W 以上」, or 「不要」;
// empty for an invalid stress.
std::vector<ReviewRow> clampPartRows(const SwitchStress& stress);

// The insulation between the primary and secondary sides as the review built it, each figure
// with its unit in the value: the insulation and its construction, the working voltage (where
// it comes from in the label), the creepage and the clearance, the margin at each end of each
// winding, the tape between the sides, the breadth the margins leave the windings against the
// bobbin's and the electric strength test (its peak, and the customary AC test for 60 s). A
// dash for each distance and test functional insulation does not have, and for the breadths of
// a bobbin of unknown breadth; 「なし」 for the margin of triple-insulated secondaries. Empty for
// an invalid review.
std::vector<ReviewRow> isolationRows(const DesignReview& review,
                                     const ReviewConditions& conditions);

}  // namespace fbc
