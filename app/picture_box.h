#pragma once

#include <memory>

#include <QWidget>

#include "platform/raster_surface.h"
#include "platform/value.h"

namespace fbc {

// A picture box: a fixed-size control that owns a raster drawing surface of its size and
// shows it. The drawing lives in the surface, so it survives being covered and re-exposed;
// the surface follows the screen's device pixel ratio so plots stay sharp on high-DPI screens.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  // `size` is the logical size in pixels, fixed for the control's lifetime.
  PictureBox(QSize size, QWidget* parent = nullptr);
  ~PictureBox() override;

  RasterSurface& surface() noexcept { return *surface_; }
  // The surface as a library procedure's `Pic_name` argument.
  Value value() noexcept { return Value(static_cast<Object*>(surface_.get())); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  std::unique_ptr<RasterSurface> surface_;
};

}  // namespace fbc
