#include "app/forms/kit.h"

#include "app/forms/bitmap_list.h"
#include "app/forms/qt_text.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolTip>

namespace kelvo {

namespace {
constexpr char kTag[] = "Tag";

bool releasedInside(const QWidget* w, const QMouseEvent* e) {
  return w->rect().contains(e->position().toPoint());
}
}  // namespace

int tagOf(const QObject* o) { return o ? o->property(kTag).toInt() : 0; }
void setTag(QObject* o, int tag) { o->setProperty(kTag, tag); }

TPanel::TPanel(QWidget* parent, int tag) : QFrame(parent) {
  setTag(this, tag);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
}

void TPanel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && releasedInside(this, e)) emit clicked();
  QFrame::mouseReleaseEvent(e);
}

void TPanel::paintEvent(QPaintEvent*) {
  // A single dark border line, then one pixel of face colour (the spacing of the bevel).
  QPainter p(this);
  const QPalette& pal = palette();
  const QRect r = rect().adjusted(0, 0, -1, -1);
  p.setPen(pal.color(QPalette::Dark));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(pal.color(QPalette::Light));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
  p.setPen(pal.color(QPalette::Shadow));
  p.drawRect(r.adjusted(1, 1, -1, -1));
}

TEdit::TEdit(QWidget* parent, int tag, int typedLimit) : QLineEdit(parent), typedLimit_(typedLimit) {
  setTag(this, tag);
  setValidator(new CodePageValidator(this));
  setFixedHeight(25);
  if (typedLimit_ >= 0) {
    setMaxLength(typedLimit_);
    // Typing never lengthens a text past the limit, but a longer text the program set stays
    // whole until the user shortens it.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) {
      setMaxLength(std::max(typedLimit_, static_cast<int>(t.size())));
    });
  }
}

void TEdit::setText(const QString& text) {
  if (typedLimit_ >= 0) setMaxLength(std::max(typedLimit_, static_cast<int>(text.size())));
  QLineEdit::setText(text);
}

TDrawnLine::TDrawnLine(QWidget* parent, Kind kind) : QWidget(parent), kind_(kind) {}

void TDrawnLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
  const int w = width() - 1;
  const int h = height() - 1;
  switch (kind_) {
    case Kind::Horizontal: p.drawLine(0, h / 2, w, h / 2); break;
    case Kind::Rising: p.drawLine(0, h, w, 0); break;
    case Kind::Falling: p.drawLine(0, 0, w, h); break;
    case Kind::Flag:
      p.drawLine(0, 1, w - 1, 1);
      p.drawLine(w - 1, 1, w - 1, h);
      break;
  }
}

void TDrawnLine::mouseReleaseEvent(QMouseEvent* e) {
  if (releasedInside(this, e)) emit mouseUp();
}

TShape::TShape(QWidget* parent, Kind kind, bool masking)
    : QWidget(parent), kind_(kind), masking_(masking) {}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect().adjusted(1, 1, -1, -1);
  if (masking_) {
    // White fill ANDed with the surface leaves it as it is; the grey outline darkens it.
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.setPen(QPen(palette().color(QPalette::Dark), 2));
    p.setBrush(Qt::white);
  } else {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(palette().color(QPalette::Button));
  }
  if (kind_ == Kind::Circle) p.drawEllipse(r);
  else p.drawRect(r);
}

void TShape::mouseReleaseEvent(QMouseEvent* e) {
  if (releasedInside(this, e)) emit mouseUp();
}

TImage::TImage(QWidget* parent, int tag) : QWidget(parent) { setTag(this, tag); }

void TImage::setPicture(int index) {
  picture_ = index;
  pictures_.clear();
  update();
}

void TImage::setPictures(const QList<int>& indexes) {
  picture_ = indexes.isEmpty() ? 0 : indexes.front();
  pictures_ = indexes;
  update();
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (pictures_.size() < 2) {
    const QImage& img = bmLstTransparent(picture_);
    p.drawImage((width() - img.width()) / 2, (height() - img.height()) / 2, img);
    return;
  }
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const int share = width() / static_cast<int>(pictures_.size());
  for (int i = 0; i < pictures_.size(); ++i) {
    const QImage& img = bmLstTransparent(pictures_[i]);
    const QSize fit = img.size().scaled(share, height(), Qt::KeepAspectRatio);
    p.drawImage(QRect(i * share + (share - fit.width()) / 2, (height() - fit.height()) / 2, fit.width(), fit.height()), img);
  }
}

void TImage::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && releasedInside(this, e)) emit clicked();
}

TSpeedButton::TSpeedButton(QWidget* parent, int tag) : QAbstractButton(parent) {
  setTag(this, tag);
  setFocusPolicy(Qt::NoFocus);
}

void TSpeedButton::setImage(const QImage& image) {
  image_ = image;
  update();
}

void TSpeedButton::setEllipsis(bool on) {
  ellipsis_ = on;
  update();
}

void TSpeedButton::enterEvent(QEnterEvent* e) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(e);
}

void TSpeedButton::leaveEvent(QEvent* e) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(e);
}

bool TSpeedButton::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip && !hintMore_.isEmpty() && !toolTip().isEmpty()) {
    QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), toolTip() + "\n" + hintMore_, this);
    return true;
  }
  return QAbstractButton::event(e);
}

void TSpeedButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Button));
  const QRect r = rect().adjusted(0, 0, -1, -1);
  const bool sunken = isDown() || isChecked();
  if (sunken || hovered_) {
    p.setPen(pal.color(sunken ? QPalette::Dark : QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(sunken ? QPalette::Light : QPalette::Dark));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  }
  const int shift = sunken ? 1 : 0;
  if (ellipsis_) {
    p.setPen(Qt::NoPen);
    p.setBrush(isEnabled() ? Qt::black : Qt::gray);
    const int cy = height() / 2 + shift + 3;
    for (int i = -1; i <= 1; ++i) p.drawRect(width() / 2 + i * 4 - 1 + shift, cy, 2, 2);
  } else if (!image_.isNull()) {
    p.drawImage((width() - image_.width()) / 2 + shift, (height() - image_.height()) / 2 + shift,
                image_);
  }
}

}  // namespace kelvo
