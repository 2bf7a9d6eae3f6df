// The drawing host's view of the drawing: entities in their layer colours on a dark ground,
// pan with the middle button, zoom with the wheel around the cursor, and point picking with a
// crosshair and a rubber band from the base point.
#pragma once

#include "host/model/document.h"

#include <QPointF>
#include <QWidget>

#include <functional>
#include <optional>

namespace kelvo::host {

class DrawingView : public QWidget {
  Q_OBJECT
 public:
  explicit DrawingView(Document& doc, QWidget* parent = nullptr);

  void setPaperSpace(bool paper);
  void zoomExtents();
  // Point picking: `picked` gets the point clicked; nothing when the user presses Esc.
  void startPicking(std::optional<Point> base, std::function<void(std::optional<Point>)> picked);
  bool picking() const { return static_cast<bool>(picked_); }
  void cancelPicking();

  QPointF toScreen(double x, double y) const;
  Point toDrawing(QPointF screen) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  Document& doc_;
  bool paper_ = false;
  double scale_ = 4;  // pixels per drawing unit
  QPointF offset_{40, 400};
  QPointF lastMouse_;
  bool panning_ = false;
  std::optional<Point> base_;
  std::function<void(std::optional<Point>)> picked_;
};

QColor aciColour(int index);

}  // namespace kelvo::host
