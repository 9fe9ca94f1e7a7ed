#pragma once

#include <QString>

#include "review/losses.h"
#include "review/windings/winding.h"
#include "review/windings/winding_layout.h"
#include "review/windings/wire_table.h"

namespace fbc {

// The windings in the words the review window and the design sheet share, so that a winding
// shop reads on paper what the designer saw on screen.

// 単線, 並列線, リッツ線, 銅箔.
QString wireKindNameJa(WireKind kind);

// A wire as a winding shop orders it: 単線 φ0.50, 並列線 φ0.40×3, リッツ線 φ0.10×60, 銅箔 t0.20
// (diameters and thicknesses in mm, at least two decimals).
QString wireDescriptionJa(const Wire& wire);

// 一次, 二次 (the main output's), 二次2 to 二次8 (the further outputs'), 補助 (the bias).
QString windingNameJa(Winding winding);

// ps (一次・二次), psp (挟み巻き).
QString arrangementNameJa(WindingArrangement arrangement);

// The windings from the centre leg outward: 一次 33T、二次 4T, or with the primary split
// 一次(内側) 17T、二次 4T、一次(外側) 16T.
QString windingOrderTextJa(const TransformerLosses& losses);

// Why the copper's AC figures, the total and the temperatures are missing: the windings do not
// fit the bobbin.
QString lossesNotEstimatedJa();

// Why they are missing where the windings fit but the losses outgrow what the core sheds: no
// balance below kHottestBalance (thermal runaway, whose flag's sentence says so).
QString runawayNotEstimatedJa();

// Why the leakage and with it the clamp are missing; the window and the sheet each say where a
// measured leakage goes.
QString leakageNotEstimatedJa();

}  // namespace fbc
