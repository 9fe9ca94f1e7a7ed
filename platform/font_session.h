#pragma once

#include <array>
#include <memory>

#include <QGuiApplication>
#include <QtGlobal>

namespace fbc {

// Text needs a GUI application for its fonts: the running one when there is one, otherwise
// one on the offscreen platform for as long as the session lasts. The command line never
// shows a window, so its pictures and sheets do not depend on a display. The Japanese font
// substitutions are installed either way.
class FontSession {
 public:
  // Throws std::logic_error when a non-GUI application is running.
  FontSession();
  FontSession(const FontSession&) = delete;
  FontSession& operator=(const FontSession&) = delete;
  ~FontSession();

 private:
  // The platform's notes and warnings (such as a missing runtime folder outside a desktop
  // session) would break the one-line error output; critical and fatal messages still show.
  static void dropChatter(QtMsgType type, const QMessageLogContext& context,
                          const QString& message);

  char program_[13] = "flyback-calc";
  char platformOption_[10] = "-platform";
  char platform_[10] = "offscreen";
  std::array<char*, 4> argv_{program_, platformOption_, platform_, nullptr};
  int argc_ = 3;
  QtMessageHandler previousHandler_ = nullptr;
  std::unique_ptr<QGuiApplication> application_;
};

}  // namespace fbc
