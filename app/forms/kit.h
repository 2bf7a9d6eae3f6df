// The small controls the forms are built from beyond Qt's own: bordered click panels, edit
// boxes that hold only Windows-1251 text, lines and shapes drawn on a form, transparent
// pictures and flat speed buttons. Every control carries an integer Tag.
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QWidget>

namespace kelvo {

int tagOf(const QObject* o);
void setTag(QObject* o, int tag);

// A panel with a single-line border and a spaced outer bevel; a click on it is a signal.
class TPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TPanel(QWidget* parent, int tag = 0);
 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
};

// A one-line edit box of fixed height. `typedLimit` caps what typing can make of the text;
// text set by the program may be longer and stays whole.
class TEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TEdit(QWidget* parent, int tag = 0, int typedLimit = -1);
  // Hides QLineEdit::setText so that a text longer than the typing limit is kept whole.
  void setText(const QString& text);

 private:
  int typedLimit_;
};

// A line drawn on its parent's surface, 2 pixels wide, within its own box.
class TDrawnLine : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Horizontal, Rising, Falling, Flag };
  TDrawnLine(QWidget* parent, Kind kind);
 signals:
  void mouseUp();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Kind kind_;
};

// A circle or rectangle drawn on the parent's surface. A "masking" shape combines its fill
// and outline with what lies beneath by bitwise AND, so that marks under it stay visible.
class TShape : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Circle, Rectangle };
  TShape(QWidget* parent, Kind kind, bool masking);
 signals:
  void mouseUp();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Kind kind_;
  bool masking_;
};

// A picture of the main window's bitmap list, drawn with its white made see-through.
class TImage : public QWidget {
  Q_OBJECT
 public:
  TImage(QWidget* parent, int tag = 0);
  void setPicture(int index);
  // Several pictures side by side, each shrunk to its share of the width.
  void setPictures(const QList<int>& indexes);
  int picture() const { return picture_; }
  const QList<int>& pictures() const { return pictures_; }
 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  int picture_ = 0;
  QList<int> pictures_;
};

// A flat push button that takes no keyboard focus, showing an image or three dots.
class TSpeedButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit TSpeedButton(QWidget* parent, int tag = 0);
  void setImage(const QImage& image);
  void setEllipsis(bool on);
  // A second line shown under the hint, which stays what toolTip() answers.
  void setHintMore(const QString& more) { hintMore_ = more; }
  QSize sizeHint() const override { return {24, 25}; }

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  QImage image_;
  bool ellipsis_ = false;
  bool hovered_ = false;
  QString hintMore_;
};

}  // namespace kelvo
