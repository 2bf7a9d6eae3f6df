// "О программе": the program's name, purpose, version and credit, opened with an expanding
// animation.
#pragma once

#include <QDialog>

namespace kelvo {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* owner);

 protected:
  void showEvent(QShowEvent* e) override;
};

}  // namespace kelvo
