#include "app/forms/bitmap_list.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace kelvo {

namespace {

QImage canvas(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(Qt::white);
  return img;
}

QPen pen(QColor c = Qt::black) { return QPen(c, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin); }

QImage circle() {
  QImage img = canvas(22, 22);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(pen());
  p.drawEllipse(QRect(4, 4, 14, 14));
  return img;
}

QImage flag() {
  QImage img = canvas(22, 22);
  QPainter p(&img);
  p.setPen(pen());
  p.drawLine(4, 5, 16, 5);
  p.drawLine(16, 5, 16, 17);
  return img;
}

QImage circleWithFlag() {
  QImage img = canvas(22, 22);
  QPainter p(&img);
  p.setPen(pen());
  p.drawEllipse(QRect(2, 10, 10, 10));
  p.drawLine(7, 10, 7, 3);
  p.drawLine(7, 3, 17, 3);
  p.drawLine(17, 3, 17, 12);
  return img;
}

QImage arcOnBase() {
  QImage img = canvas(29, 19);
  QPainter p(&img);
  p.setPen(pen());
  p.drawLine(3, 15, 25, 15);
  p.drawArc(QRect(6, 6, 16, 18), 0, 180 * 16);
  return img;
}

QImage waves() {
  QImage img = canvas(29, 19);
  QPainter p(&img);
  p.setPen(pen());
  p.drawLine(3, 15, 25, 15);
  const QPoint zig[] = {{4, 12}, {8, 6}, {12, 12}, {16, 6}, {20, 12}, {24, 6}};
  p.drawPolyline(zig, 6);
  return img;
}

QImage bracket() {
  QImage img = canvas(29, 19);
  QPainter p(&img);
  p.setPen(pen());
  const QPoint pts[] = {{5, 4}, {23, 4}, {23, 15}, {5, 15}};
  p.drawPolyline(pts, 4);
  return img;
}

QImage triangle(QColor c) {
  QImage img = canvas(25, 25);
  QPainter p(&img);
  p.setPen(pen(c));
  const QPoint pts[] = {{4, 4}, {4, 21}, {21, 21}, {4, 4}};
  p.drawPolyline(pts, 4);
  return img;
}

const std::array<QImage, kBitmapCount>& pictures() {
  static const std::array<QImage, kBitmapCount> all = {
      canvas(16, 16), circle(),  flag(),    circleWithFlag(),          arcOnBase(),
      waves(),        bracket(), triangle(Qt::black), triangle(QColor(150, 150, 150)),
  };
  return all;
}

}  // namespace

const QImage& bmLst(int index) {
  static const QImage none;
  return index >= 0 && index < kBitmapCount ? pictures()[static_cast<std::size_t>(index)] : none;
}

const QImage& bmLstTransparent(int index) {
  static const std::array<QImage, kBitmapCount> clear = [] {
    std::array<QImage, kBitmapCount> out;
    for (int i = 0; i < kBitmapCount; ++i) {
      QImage img = bmLst(i).copy();
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (img.pixel(x, y) == qRgb(255, 255, 255)) img.setPixel(x, y, qRgba(0, 0, 0, 0));
      out[static_cast<std::size_t>(i)] = img;
    }
    return out;
  }();
  static const QImage none;
  return index >= 0 && index < kBitmapCount ? clear[static_cast<std::size_t>(index)] : none;
}

}  // namespace kelvo
