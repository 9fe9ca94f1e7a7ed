#pragma once

#include <functional>

#include <QDate>
#include <QImage>
#include <QString>

class QWidget;

namespace fbc {

// Copying the window as a picture, so a result can be passed on without a screen-capture
// tool. Nothing is added to the window's layout: the two commands live in the context menu of
// the window's background and on Ctrl+C and Ctrl+S.

// The window as shown, its client area only, at the screen's device pixel ratio.
QImage captureWindow(QWidget& window);

// Puts the picture of the window on the clipboard.
void copyWindowToClipboard(QWidget& window);

// Writes the picture of the window to `path` as PNG; false when the file cannot be written.
bool saveWindowImage(QWidget& window, const QString& path);

// The file name the save dialog suggests, e.g. "flyback-EER25.5-2026-12-10.png". Characters
// that file systems reject are replaced by '_'; an empty core name is left out.
QString suggestedImageFileName(const QString& core, const QDate& date);

// Asks for a file name (suggested from the core and today's date) and saves the picture
// there; says so when the file cannot be written.
void saveWindowImageAs(QWidget& window, const QString& core);

// Adds "画面をコピー" (Ctrl+C) and "画像として保存..." (Ctrl+S) to the window's background context
// menu. Ctrl+C copies the picture only when no text box or combo box has the focus, so text
// copying there keeps working. `currentCore` gives the core name for the suggested file name.
void addWindowCaptureActions(QWidget& window, std::function<QString()> currentCore);

}  // namespace fbc
