#pragma once

#include <optional>
#include <string>

#include "design/design_inputs.h"
#include "design/design_state.h"
#include "design/result_texts.h"
#include "review/circuit/mains_input.h"
#include "review/review.h"
#include "review/review_inputs.h"

class QPainter;

namespace fbc {

// Everything one design sheet shows. The sheet draws only what it is given, so the window and
// the command line produce the same page for the same design.
struct DesignSheetContent {
  DesignInputs inputs;  // the texts as typed, the core and the level
  DesignState state;    // a completed calculation
  ResultTexts texts;    // the window's captions for that calculation
  // The conditions the review worked the losses, temperature and the switch's stress out in.
  ReviewConditions conditions;
  // The input the design was made from: a fixed DC input, or the mains with its bulk capacitor,
  // whose valley is the design's input voltage and whose peak the highest input.
  InputSupply supply;
  // The engineering review at the level's flux swing; none when no level is chosen.
  std::optional<DesignReview> review;
  std::u16string date;        // "2026-12-10"
  std::u16string program;     // name and version, "flyback-calc 1.0.0"
  std::string drawingNumber;  // half-width (isValidDrawingNumber), may be empty
};

// The content for a completed calculation: the captions are formed from the state, the supply
// from the mains input among `conditions` (as designFor found it) or the DC input, and the
// review made at the level's swing in `conditions`.
DesignSheetContent designSheetContent(const DesignInputs& inputs, const DesignState& state,
                                      const ReviewConditions& conditions, std::u16string date,
                                      std::u16string program, std::string drawingNumber);

// The page: A4 portrait, in points.
inline constexpr double kSheetWidthPoints = 595.276;
inline constexpr double kSheetHeightPoints = 841.890;

// Paints the sheet with its top-left corner at the painter's origin, one painter unit to the
// point. Fonts are sized for the painter's device, so any device scaled to points will do (a
// PDF writer, a printer). Needs a running QGuiApplication with the Japanese substitutions.
// A sheet whose sections do not fit one page (several outputs, many flags) goes on over
// further pages, each under the title block and over the closing notice; a design whose review
// laid its windings out ends in the transformer page for the winding shop (transformer_page.h)
// on a page of its own. A paged device (a PDF writer, a printer) starts a new page for each,
// any other device has them one under the other, kSheetHeightPoints apart.
void paintDesignSheet(QPainter& painter, const DesignSheetContent& content);

// The sheet as an A4 PDF document, text as text in embedded fonts and the plots as
// vectors. A QGuiApplication on Qt's offscreen platform is created for the rendering when none
// is running.
std::string designSheetPdf(const DesignSheetContent& content);

}  // namespace fbc
