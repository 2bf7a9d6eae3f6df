// The standard picker: every standard of the standards list as a row of number and title.
#pragma once

#include <QDialog>
#include <QTableWidget>

#include <string>
#include <utility>
#include <vector>

namespace kelvo {

class TfmGost : public QDialog {
  Q_OBJECT
 public:
  // `current`: the standard of the designation (field 3), shown selected when the list has it.
  explicit TfmGost(QWidget* owner, std::string current = {});

  QTableWidget* list() const { return vleGost; }

  void FormCreate();
  void FormActivate();
  void vleGostSelectCell(int row);
  void bbOkClick();

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void appendRow(const std::string& key, const std::string& title);

  QWidget* Panel3 = nullptr;
  QWidget* Panel4 = nullptr;
  QWidget* Panel1 = nullptr;
  QTableWidget* vleGost = nullptr;
  std::vector<std::pair<std::string, std::string>> rows_;
  std::string current_;
  bool activated_ = false;
};

}  // namespace kelvo
