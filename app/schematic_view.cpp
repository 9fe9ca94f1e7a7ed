#include "app/schematic_view.h"

#include <QPainter>

namespace fbc {

SchematicView::SchematicView(const QString& file, QWidget* parent)
    : QWidget(parent), renderer_(file) {}

void SchematicView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer_.render(&painter, QRectF(rect()));
}

}  // namespace fbc
