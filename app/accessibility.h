#pragma once

#include "design/design_state.h"
#include "platform/value.h"

class QWidget;

namespace fbc {

// What a screen reader learns about the designer window, without anything shown changing: each
// input box and the core box is named after the caption beside it, units included (the labels
// beside them become their buddies), the schematic and the two plots are named and described,
// and the context menu opens from the keyboard (ContextMenuKeys). The result labels need
// nothing here: QLabel itself reports each change of its text as a name change while it has no
// accessible name of its own, so they are left unnamed.
void setUpAccessibility(QWidget& window);

// After a completed calculation: the plots' descriptions say what the stage drew (kept as they
// were when it drew nothing).
void describePlots(QWidget& window, const DesignState& state, const Value& m);

// After the clear button: the plots are blank, and so are their descriptions.
void clearPlotDescriptions(QWidget& window);

}  // namespace fbc
