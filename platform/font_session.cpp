#include "font_session.h"

#include <stdexcept>

#include <QCoreApplication>

#include "japanese_fonts.h"

namespace fbc {

FontSession::FontSession() {
  QCoreApplication* running = QCoreApplication::instance();
  if (running == nullptr) {
    previousHandler_ = qInstallMessageHandler(&dropChatter);
    application_ = std::make_unique<QGuiApplication>(argc_, argv_.data());
  } else if (qobject_cast<QGuiApplication*>(running) == nullptr) {
    throw std::logic_error("pictures and sheets need a GUI application for their text");
  }
  installJapaneseFontSubstitutions();
}

FontSession::~FontSession() {
  if (application_) {
    application_.reset();
    qInstallMessageHandler(previousHandler_);
  }
}

void FontSession::dropChatter(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    qt_message_output(type, context, message);
  }
}

}  // namespace fbc
