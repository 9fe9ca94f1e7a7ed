#pragma once

#include <QColor>
#include <QString>

#include "design/calculation.h"
#include "platform/errors.h"

class QTableWidgetItem;
class QWidget;

namespace fbc {

// The words the window uses to tell the person what stopped and what to fix.

// The input as the window labels it ("直流入力電圧[V]", "Duty", "コア選択", ...).
QString inputName(DesignInput input);

// What keeps a box's text from being used by the calculation (not a number, too large,
// efficiency not above 0, duty not strictly between 0 and 1), or an empty string when the
// text is usable. The core box is judged by the catalogue instead and always passes here.
QString inputProblem(DesignInput input, const QString& text);

// The fallback when a handler cannot use a box's value for a reason not named above.
QString unusableValue(DesignInput input);

// Which input stopped the calculation and why, as a box's tooltip shows it.
QString stopReasonText(const CalculationResult& result, const DesignInputs& inputs);
// The message for a calculation that stopped: that it stopped, which input is at fault and why.
QString stopMessage(const CalculationResult& result, const DesignInputs& inputs);

// The message for any other run-time error that stopped a handler.
QString runtimeErrorMessage(const RuntimeError& error);

// The message for a fault outside the platform's run-time errors.
QString unexpectedErrorMessage();

// How a box whose text cannot be used is shown: light red, with the reason as its tooltip. The
// main window and the review window mark their boxes alike, so a person reads both the same way.
QColor unusableInputColour();
void markUnusableBox(QWidget& box, const QString& why);
// Back to the box's usual colours, without a tooltip.
void clearUnusableMark(QWidget& box);
// A table's cell marked and cleared alike.
void markUnusableCell(QTableWidgetItem& cell, const QString& why);
void clearUnusableCell(QTableWidgetItem& cell);

// The note shown when the typed core is not in the catalogue and the previous one was used.
QString previousCoreNotice(const QString& typedCore, const QString& usedCore);
QString previousCoreToolTip(const QString& usedCore);

}  // namespace fbc
