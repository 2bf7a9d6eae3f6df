// The library picker ("Избранное"): the saved designations by name with the shelf text of each,
// a search box over both, and the library's own commands: save the window's designation, rename,
// delete, add the drawing's designations. Ok (or a double click) hands the chosen one back.
#pragma once

#include "app/library.h"
#include "app/weld_record.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <functional>
#include <optional>
#include <vector>

namespace kelvo {

class TfmLib : public QDialog {
  Q_OBJECT
 public:
  // The drawing's designations, or nothing (the reason already shown).
  using FromDrawing = std::function<std::optional<std::vector<DrawInput>>()>;

  // `file` is the library file; `current` the window's designation (what "Сохранить" saves).
  TfmLib(QWidget* owner, std::string file, DrawInput current, FromDrawing fromDrawing = {});

  QTableWidget* list() const { return vleLib; }
  QLineEdit* search() const { return eSearch; }
  // The entry Ok took, if any.
  const std::optional<DrawInput>& chosen() const { return chosen_; }

  void FormActivate();
  void bbSaveClick();
  void bbRenameClick();
  void bbDeleteClick();
  void bbFromDrawingClick();
  void bbOkClick();
  void eSearchChange();

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void reload(const std::string& select = {});
  const library::Entry* selected() const;
  // Runs a change of the file; a failure is shown and the list read again.
  bool change(const std::function<void()>& action);

  std::string file_;
  DrawInput current_;
  FromDrawing fromDrawing_;
  std::vector<library::Entry> entries_;
  std::optional<DrawInput> chosen_;
  bool activated_ = false;

  QWidget* Panel3 = nullptr;
  QWidget* Panel4 = nullptr;
  QWidget* Panel1 = nullptr;
  QLineEdit* eSearch = nullptr;
  QTableWidget* vleLib = nullptr;
  QPushButton* bbSave = nullptr;
  QPushButton* bbRename = nullptr;
  QPushButton* bbDelete = nullptr;
  QPushButton* bbFromDrawing = nullptr;
};

}  // namespace kelvo
