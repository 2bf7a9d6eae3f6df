#include "app/forms/glyphs.h"

#include <QPainter>
#include <QPixmap>

namespace kelvo {

namespace {

QImage blank(int size) {
  QImage img(size, size, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  return img;
}

}  // namespace

QIcon applicationIcon() {
  // A leader with its one-sided arrow and a shelf: the designation itself.
  QImage img = blank(32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRect(0, 0, 32, 32), QColor(255, 255, 240));
  p.setPen(QPen(QColor(20, 40, 120), 2.5));
  p.drawLine(4, 28, 14, 8);
  p.drawLine(14, 8, 30, 8);
  p.drawLine(4, 28, 4, 21);
  p.setPen(QPen(QColor(200, 30, 30), 2));
  const QPoint tri[] = {{18, 6}, {18, 1}, {23, 6}};
  p.drawPolygon(tri, 3);
  return QIcon(QPixmap::fromImage(img));
}

QIcon eraserIcon() {
  QImage img = blank(18);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF body[] = {{2, 12}, {9, 4}, {16, 9}, {9, 17}};
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(230, 120, 140));
  p.drawPolygon(body, 4);
  p.setBrush(Qt::white);
  const QPointF tip[] = {{2, 12}, {5.5, 8}, {12.5, 13}, {9, 17}};
  p.drawPolygon(tip, 4);
  return QIcon(QPixmap::fromImage(img));
}

QImage plusImage() {
  QImage img(16, 14, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(1, 7, 8, 7);
  p.drawLine(QPointF(4.5, 3.5), QPointF(4.5, 10.5));
  p.drawLine(12, 2, 12, 13);
  p.setPen(QPen(Qt::black, 1.5));
  p.drawLine(12, 2, 10, 4);
  return img;
}

QIcon bookIcon() {
  QImage img = blank(18);
  QPainter p(&img);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(40, 90, 170));
  p.drawRect(3, 2, 11, 14);
  p.setBrush(Qt::white);
  p.drawRect(5, 4, 7, 3);
  p.drawLine(4, 16, 14, 16);
  return QIcon(QPixmap::fromImage(img));
}

QIcon okIcon() {
  QImage img = blank(18);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 130, 40), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const QPointF tick[] = {{3, 9}, {7, 14}, {15, 4}};
  p.drawPolyline(tick, 3);
  return QIcon(QPixmap::fromImage(img));
}

QIcon cancelIcon() {
  QImage img = blank(18);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(190, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 4), QPointF(14, 14));
  p.drawLine(QPointF(14, 4), QPointF(4, 14));
  return QIcon(QPixmap::fromImage(img));
}

}  // namespace kelvo
