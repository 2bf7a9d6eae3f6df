// The welding-method picker: the standard's heading, the current joint with its picture and
// body, and a grid of the standard's methods with the joint's thickness range under each.
#pragma once

#include "catalog/catalog_files.h"
#include "catalog/picker_rules.h"

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QTableWidget>
#include <QToolButton>

#include <functional>
#include <string>
#include <vector>

namespace kelvo {

// What the picker needs of the main window.
struct SposHost {
  std::function<std::string()> standardField;  // field 3, Windows-1251
  std::function<std::string()> jointField;     // field 4
  std::function<std::string()> methodField;    // field 5
  std::function<void()> clearJointAndMethod;   // fields 4 and 5 emptied
  std::function<void()> openJointField;        // the joint-type panel's click action
};

class TfmSpos : public QDialog {
  Q_OBJECT
 public:
  TfmSpos(QWidget* owner, SposHost host);

  // Picture i of the standard's picture file (empty when there is none).
  QPixmap picture(int index) const;
  int pictureCount() const { return static_cast<int>(blSpos.size()); }
  void setRisPicture(const QPixmap& picture);
  QPixmap risPicture() const { return risPicture_; }
  std::string standardField() const { return host_.standardField(); }
  int methodCount() const { return static_cast<int>(MethodList.size() / 2); }
  QTableWidget* grid() const { return StrGrid; }

  void FormCreate();
  void FormActivate();
  void FillPanel();
  void StrGridSelectCell(int column);
  void sbRisClick();
  void bbOkClick();
  void bbCloseClick();

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void buildUpperPanel();
  void buildMiddlePanel();
  void showBody(const catalog::JointBody& body);
  void showMethod(int k);
  static void splitInto(const std::string& text, std::size_t limit, QLabel* first, QLabel* second);

  SposHost host_;
  std::vector<QPixmap> blSpos;
  std::vector<std::string> MethodList;
  std::string fileName_;
  QPixmap risPicture_;
  bool activated_ = false;

  QWidget *Panel2 = nullptr, *Panel4 = nullptr, *Panel1 = nullptr;
  QToolButton* sbRis = nullptr;
  QLabel *LGOST = nullptr, *LNameGOST1 = nullptr, *LNameGOST2 = nullptr, *LOboz = nullptr,
         *LTip = nullptr, *LForma = nullptr, *LHarakt = nullptr, *Label1 = nullptr,
         *LSposOboz = nullptr, *LSposNote1 = nullptr, *LSposNote2 = nullptr;
  QTableWidget* StrGrid = nullptr;
};

}  // namespace kelvo
