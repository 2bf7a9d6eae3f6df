// The auxiliary-sign picker: a borderless pop-up of four buttons, one for no sign and three
// for the bend signs (mode 1) or the shelf signs (mode 4). For the shelf, a click with Ctrl held
// adds a sign to the set or takes it out and keeps the picker open; letting go of Ctrl ends it.
#pragma once

#include "app/forms/kit.h"
#include "app/weld_record.h"

#include <QDialog>

#include <array>
#include <cstdint>

namespace kelvo {

class TfmZnak : public QDialog {
  Q_OBJECT
 public:
  // `owner` is the main window, whose position places the picker.
  // `signs`: the designation's own, shown pressed (the bend's sign in mode 1, the shelf's set in
  // mode 4).
  TfmZnak(QWidget* owner, std::uint8_t mode, Side side, ShelfSigns signs = {});

  // True when a button was pressed; result() is then its Tag (0 to 3).
  bool chosen() const { return chosen_; }
  std::uint8_t result() const { return result_; }
  // True when the picker ended with a set made with Ctrl; signs() is then that set.
  bool choseSet() const { return choseSet_; }
  const ShelfSigns& signs() const { return signs_; }
  TSpeedButton* button(int i) const { return buttons_[static_cast<std::size_t>(i)]; }

  // Screen position of the picker for a main window whose outer top-left is `mainTopLeft`.
  static QPoint placement(QPoint mainTopLeft, std::uint8_t mode, Side side);

  void FormCreate(QWidget* owner, Side side);
  void FormActivate();
  void sbZnakClick(int tag);

 protected:
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  void showSet();

  std::uint8_t mode_;
  bool chosen_ = false;
  std::uint8_t result_ = 0;
  ShelfSigns signs_;
  bool toggled_ = false, choseSet_ = false;
  std::array<TSpeedButton*, 4> buttons_{};
};

}  // namespace kelvo
