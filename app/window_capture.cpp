#include "app/window_capture.h"

#include <string_view>
#include <utility>

#include <QAction>
#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMessageBox>
#include <QPixmap>
#include <QStandardPaths>
#include <QWidget>

#include "platform/errors.h"
#include "platform/file_writer.h"

namespace fbc {

namespace {

bool isUnsafeInFileName(QChar c) {
  return c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') ||
         c == QLatin1Char(':') || c == QLatin1Char('*') || c == QLatin1Char('?') ||
         c == QLatin1Char('"') || c == QLatin1Char('<') || c == QLatin1Char('>') ||
         c == QLatin1Char('|');
}

// The picture as PNG, written by the same rules as the command line's files: a link is
// followed, a regular file replaced whole or not at all, a failed write reported.
bool savePng(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    return false;
  }
  try {
    writeFileSoundly(QFile::encodeName(path).toStdString(),
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

QString imageFolder() {
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

}  // namespace

QImage captureWindow(QWidget& window) { return window.grab().toImage(); }

void copyWindowToClipboard(QWidget& window) {
  QGuiApplication::clipboard()->setImage(captureWindow(window));
}

bool saveWindowImage(QWidget& window, const QString& path) {
  return savePng(captureWindow(window), path);
}

QString suggestedImageFileName(const QString& core, const QDate& date) {
  QString name = core.trimmed();
  for (QChar& c : name) {
    if (isUnsafeInFileName(c)) {
      c = QLatin1Char('_');
    }
  }
  QString file = QStringLiteral("flyback-");
  if (!name.isEmpty()) {
    file += name + QLatin1Char('-');
  }
  return file + date.toString(Qt::ISODate) + QStringLiteral(".png");
}

void saveWindowImageAs(QWidget& window, const QString& core) {
  // Taken before the dialog opens, so the picture shows the window and not the dialog.
  const QImage image = captureWindow(window);
  const QString suggested =
      QDir(imageFolder()).filePath(suggestedImageFileName(core, QDate::currentDate()));
  QString path = QFileDialog::getSaveFileName(&window, QStringLiteral("画像として保存"), suggested,
                                              QStringLiteral("PNG 画像 (*.png)"));
  if (path.isEmpty()) {
    return;
  }
  if (QFileInfo(path).suffix().isEmpty()) {
    path += QStringLiteral(".png");
  }
  if (!savePng(image, path)) {
    QMessageBox::warning(
        &window, window.windowTitle(),
        QStringLiteral("画像を保存できませんでした：") + QDir::toNativeSeparators(path));
  }
}

void addWindowCaptureActions(QWidget& window, std::function<QString()> currentCore) {
  auto* copy = new QAction(QStringLiteral("画面をコピー"), &window);
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  // A focused text box or combo box claims Ctrl+C for its own text first, so the shortcut
  // only reaches the window elsewhere.
  QObject::connect(copy, &QAction::triggered, &window,
                   [&window] { copyWindowToClipboard(window); });

  auto* save = new QAction(QStringLiteral("画像として保存..."), &window);
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  QObject::connect(save, &QAction::triggered, &window,
                   [&window, currentCore = std::move(currentCore)] {
                     saveWindowImageAs(window, currentCore ? currentCore() : QString());
                   });

  window.addAction(copy);
  window.addAction(save);
  // Text boxes keep their own menus; every other part of the window shows these two.
  window.setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace fbc
