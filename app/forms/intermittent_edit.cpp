#include "app/forms/intermittent_edit.h"

#include "app/designation_signs.h"
#include "app/forms/qt_text.h"

#include <QPainter>
#include <QStyleOptionFrame>

#include <cmath>
#include <numbers>

namespace kelvo {

bool TIntermittentEdit::showsGlyph() const {
  return !hasFocus() && readIntermittent(fromQ(text())).has_value();
}

void TIntermittentEdit::paintEvent(QPaintEvent* e) {
  const auto sign = hasFocus() ? std::nullopt : readIntermittent(fromQ(text()));
  if (!sign) {
    TEdit::paintEvent(e);
    return;
  }
  QPainter p(this);
  QStyleOptionFrame frame;
  initStyleOption(&frame);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);
  const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &frame, this).adjusted(2, 0, -2, 0);
  const QFontMetricsF fm(font());
  const double h = fm.capHeight(), gap = 0.25 * h, w = h / std::tan(std::numbers::pi / 3);
  const double base = r.center().y() + 0.5 * h;
  const QString head = toQ(sign->length), tail = toQ(sign->pitch);
  double x = r.left();
  p.setPen(palette().color(QPalette::Text));
  p.drawText(QPointF(x, base), head);
  x += fm.horizontalAdvance(head) + gap;
  p.setRenderHint(QPainter::Antialiasing);
  if (sign->kind == IntermittentSign::Kind::Chain) {
    p.drawLine(QPointF(x, base), QPointF(x + w, base - h));
  } else {
    const QPointF zig[] = {{x, base - h}, {x + w, base - h}, {x, base}, {x + w, base}};
    p.drawPolyline(zig, 4);
  }
  x += w + gap;
  p.drawText(QPointF(x, base), tail);
}

}  // namespace kelvo
