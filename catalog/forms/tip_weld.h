// The joint-type picker: the standard's joints as picture buttons, up to ten on each tab.
#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QLabel>
#include <QTabBar>
#include <QToolButton>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

class TfmSpos;

// Module state that outlives the window: the tab shown, and the button pressed (10: none since
// the opening found no current joint; 20: none since the tab changed).
struct TipState {
  std::uint8_t CurrentTab = 0;
  std::uint8_t CurrentButton = 0;
};
TipState& tipState();

class TfmTip : public QDialog {
  Q_OBJECT
 public:
  explicit TfmTip(TfmSpos* owner);

  QTabBar* tabs() const { return tabBar_; }
  QToolButton* button(int p) const { return sb_[static_cast<std::size_t>(p)]; }
  QLabel* label(int p) const { return lab_[static_cast<std::size_t>(p)]; }

  void FormCreate();
  void FormActivate();
  void GetParameter();
  void FillStrList();
  void ShowTabButtons();
  void SelectCurrentButton();
  void sb00Click(int tag);
  void tcTipChange(int index);
  void bbOkClick();
  void bbCloseClick();

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void fitTabs();
  TfmSpos* spos_;
  std::string dataFile_;
  std::vector<std::string> TabRecords;
  bool activated_ = false;
  QWidget* tcTip = nullptr;
  QTabBar* tabBar_ = nullptr;
  QWidget* Panel1 = nullptr;
  QButtonGroup* group_ = nullptr;
  std::array<QToolButton*, 11> sb_{};
  std::array<QLabel*, 11> lab_{};
};

}  // namespace kelvo
