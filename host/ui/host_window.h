// The drawing host's window: the drawing, Model and layout tabs, a command line that shows each
// prompt and takes typed points, and the file commands of a CAD program.
#pragma once

#include "host/model/document.h"
#include "host/model/undo_history.h"
#include "host/ui/drawing_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTabBar>

#include <optional>

namespace kelvo::host {

class HostWindow : public QMainWindow {
  Q_OBJECT
 public:
  HostWindow(Document& doc, QString fileName);

  // Asks for a point on the command line and in the view; waits (in the event loop) for the
  // user. Nothing when the user cancels with Esc.
  std::optional<Point> askPoint(const std::string& prompt, const std::optional<Point>& base);
  // Something changed the drawing: redraw and write the autosave copy.
  void drawingChanged();
  DrawingView* view() const { return view_; }
  // The undo groups the automation clients mark, which Edit > Undo and Redo step through.
  void setUndo(UndoHistory* undo) { undo_ = undo; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildMenus();
  void applyTab(int index);
  bool save(bool askName);
  // Before a drawing read from another form (R12, binary...) replaces its file: once a drawing.
  bool mayReplaceOriginal();
  bool confirmDiscard();
  void openFile(const QString& name);
  void replaceDocument(Document&& doc, const QString& fileName);
  void updateTitle();
  void documentOpened();

  Document& doc_;
  UndoHistory* undo_ = nullptr;
  QString fileName_;
  bool replaceAgreed_ = false;
  DrawingView* view_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QLabel* prompt_ = nullptr;
  QLineEdit* input_ = nullptr;
};

}  // namespace kelvo::host
