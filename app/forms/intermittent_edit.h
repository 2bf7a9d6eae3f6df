// Field 7's edit box: while it has no focus, a chain or staggered sign between the length and
// the pitch is drawn as the drawing shows it (a thin slash at 60 degrees, or a Z of three
// strokes, the height of the digits); while the user types, the text is shown as typed.
#pragma once

#include "app/forms/kit.h"

namespace kelvo {

class TIntermittentEdit : public TEdit {
  Q_OBJECT
 public:
  using TEdit::TEdit;
  // True while the box draws the sign as a glyph.
  bool showsGlyph() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

}  // namespace kelvo
