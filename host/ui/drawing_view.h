// The drawing host's view of the drawing: every entity as a CAD program shows it on a dark
// ground, pan with the middle button, zoom with the wheel around the cursor, and point picking
// with a crosshair, a rubber band from the base point and object snap (F3 turns it off and on).
#pragma once

#include "host/model/display.h"
#include "host/model/document.h"
#include "host/model/snap.h"
#include "host/ui/display_paint.h"

#include <QImage>
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
  // The drawing changed: what is shown is worked out again.
  void drawingChanged();
  // Point picking: `picked` gets the point clicked (the snap point when one is marked);
  // nothing when the user presses Esc.
  void startPicking(std::optional<Point> base, std::function<void(std::optional<Point>)> picked);
  bool picking() const { return static_cast<bool>(picked_); }
  void cancelPicking();
  bool snapOn() const { return snapOn_; }
  void toggleSnap();

  QPointF toScreen(double x, double y) const { return view_.toScreen({x, y}); }
  Point toDrawing(QPointF screen) const;

 signals:
  void snapToggled(bool on);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  const Picture& display();
  void updateSnap(QPointF at);
  void paintSnapMarker(QPainter& p) const;

  Document& doc_;
  bool paper_ = false;
  ViewMapping view_;
  std::optional<Picture> display_;
  // The drawing as last painted, for the view it was painted at: the crosshair and the snap
  // marker move over it without the whole drawing being painted again.
  QImage painted_;
  ViewMapping paintedView_;
  QPointF lastMouse_;
  bool panning_ = false;
  bool snapOn_ = true;
  std::optional<Snapped> snap_;
  std::optional<Point> base_;
  std::function<void(std::optional<Point>)> picked_;
};

}  // namespace kelvo::host
