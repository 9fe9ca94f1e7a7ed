#pragma once

#include <QSvgRenderer>
#include <QWidget>

namespace fbc {

// The converter schematic, stretched to the control's size whatever its aspect, as the window's
// image control shows its picture. Drawn from the vector picture, so it stays sharp at any
// scale.
class SchematicView : public QWidget {
  Q_OBJECT

 public:
  explicit SchematicView(const QString& file, QWidget* parent = nullptr);

  bool isLoaded() const { return renderer_.isValid(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSvgRenderer renderer_;
};

}  // namespace fbc
