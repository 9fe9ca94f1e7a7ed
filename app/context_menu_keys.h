#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace fbc {

// Opens the context menu from the keyboard with the Menu key and with Shift+F10, on every
// platform, the way Qt opens it for the Menu key where the platform reports that key (X11):
// at the focused control, which shows its own menu (a text box) or passes the request up to the
// window's menu (a button, a plot). A Menu key press that the platform has already turned into
// a menu opens nothing more. Watches the window's native window, so it sees the keys before any
// control does; every other key passes untouched.
class ContextMenuKeys : public QObject {
  Q_OBJECT

 public:
  // Starts watching `window` (a top-level widget); owned by it.
  static void install(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit ContextMenuKeys(QWidget& window);
  void watchNativeWindow();

  QWidget& window_;
  QPointer<QWindow> watched_;
  // The platform sent a keyboard context menu event, which comes just before its Menu key.
  bool platformOpenedMenu_ = false;
};

}  // namespace fbc
