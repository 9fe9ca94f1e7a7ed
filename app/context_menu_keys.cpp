#include "app/context_menu_keys.h"

#include <utility>

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace fbc {

namespace {

bool opensContextMenu(const QKeyEvent& key) {
  if (key.isAutoRepeat()) {
    return false;
  }
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  return key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

}  // namespace

void ContextMenuKeys::install(QWidget& window) { new ContextMenuKeys(window); }

ContextMenuKeys::ContextMenuKeys(QWidget& window) : QObject(&window), window_(window) {
  // The native window exists once the widget is shown; until then there is nothing to press.
  window_.installEventFilter(this);
  watchNativeWindow();
}

void ContextMenuKeys::watchNativeWindow() {
  QWindow* native = window_.windowHandle();
  if (native == nullptr || native == watched_) {
    return;
  }
  if (watched_ != nullptr) {
    watched_->removeEventFilter(this);
  }
  watched_ = native;
  watched_->installEventFilter(this);
}

bool ContextMenuKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_) {
    if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange) {
      watchNativeWindow();
    }
    return false;
  }
  if (watched != watched_) {
    return false;
  }
  if (event->type() == QEvent::ContextMenu) {
    const auto* menu = static_cast<QContextMenuEvent*>(event);
    if (event->spontaneous() && menu->reason() == QContextMenuEvent::Keyboard) {
      platformOpenedMenu_ = true;
    }
    return false;
  }
  if (event->type() != QEvent::KeyPress) {
    return false;
  }
  const bool platformOpenedMenu = std::exchange(platformOpenedMenu_, false);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (!opensContextMenu(*key) || platformOpenedMenu ||
      QApplication::activePopupWidget() != nullptr) {
    return false;
  }
  // The native window hands a keyboard menu request to the focused control at its cursor or
  // centre, exactly as for the platform's own Menu key.
  QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint(), key->modifiers());
  QCoreApplication::sendEvent(watched_, &request);
  return true;
}

}  // namespace fbc
