#include "app/picture_box.h"

#include <QEvent>
#include <QPainter>

namespace fbc {

PictureBox::PictureBox(QSize size, QWidget* parent)
    : QWidget(parent),
      surface_(std::make_unique<RasterSurface>(size.width(), size.height(), devicePixelRatioF())) {
  setFixedSize(size);
  setFocusPolicy(Qt::StrongFocus);
  surface_->setFontFamily(font().family());
}

PictureBox::~PictureBox() = default;

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  // The window may have moved to a screen with another pixel ratio since the last paint.
  if (!qFuzzyCompare(surface_->devicePixelRatio(), devicePixelRatioF())) {
    surface_->setDevicePixelRatio(devicePixelRatioF());
  }
  QPainter painter(this);
  painter.drawImage(QPointF(0, 0), surface_->image());
}

void PictureBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    surface_->setFontFamily(font().family());
  }
  QWidget::changeEvent(event);
}

}  // namespace fbc
