// The main window: a picture of the designation being composed, with a bordered panel for each
// field that opens an edit box in its place, the sign marks at the bend, the side and arrow
// controls, and the command band.
#pragma once

#include "app/forms/kit.h"
#include "app/forms/outer_size.h"
#include "app/settings.h"
#include "app/weld_record.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace kelvo {

// What the main window hands to the parts that arrive from outside it. Each hook may be empty.
struct MainHooks {
  // The standard picker: true when it closed with OK (WeldData.Gost then holds the choice).
  std::function<bool(QWidget* owner)> gostPicker;
  // The welding-method picker; its result is in WeldData.
  std::function<void(QWidget* owner)> sposPicker;
  // The draw command, with the designation as it stands when the button is pressed.
  std::function<void(const DrawInput& input)> draw;
  // "Из чертежа": the designation the user picks in the drawing of this CAD program, or nothing.
  std::function<std::optional<DrawInput>(const std::string& application)> take;
  // "Такой же": the identical seam of the window's designation, numbered as it is.
  std::function<void(const DrawInput& input)> same;
  // "Таблица швов": the drawing's seam table, drawn where the user picks.
  std::function<void(const DrawInput& input)> table;
  // The next free seam number of the drawing, or nothing (the reason shown).
  std::function<std::optional<int>(const std::string& application)> nextNumber;
  // Every designation of the drawing, or nothing (the reason shown).
  std::function<std::optional<std::vector<DrawInput>>(const std::string& application)> designations;
};

class TfmMain : public QWidget {
  Q_OBJECT
 public:
  // `executable` names the files the window reads and writes (BasePath is taken from it).
  explicit TfmMain(const std::string& executable, MainHooks hooks = {});

  // Brings the window to the front, restoring it when minimised (a second copy asks this).
  void bringToFront();

  // The eight texts as the window holds them (untrimmed).
  FieldTexts fieldTexts() const;
  DrawInput drawInput() const;
  Side side() const;
  bool arrowLeft() const;

  TEdit* edit(int field) const { return edits_[static_cast<std::size_t>(field - 1)]; }
  TPanel* panel(int field) const { return panels_[static_cast<std::size_t>(field - 1)]; }

  // Handlers, named as the designation's handlers are everywhere else.
  void FormCreate();
  void FormActivate();
  void FormClose();
  void pKolClick(QObject* sender);
  void pGOSTClick();
  void pTipClick();
  void dsbGOSTClick();
  void dsbTipClick();
  void shpSquareMouseUp();
  void imgZnakClick();
  void showSignSet();
  void rbUpClick();
  void rbDownClick();
  void Shape1MouseUp();
  void bbClearClick();
  // The clear the user asks for (Enter, "  Очистить"), which "Вернуть" and Ctrl+Z take back.
  void clearByUser();
  void bbUndoClearClick();
  void bbAboutClick();
  void bbCloseClick();
  void bbDrawClick();
  void bbTakeClick();
  void bbLibClick();
  void bbSameClick();
  void bbTableClick();
  // The seam list of the drawing written as CSV where the user says.
  void saveSeamList();
  void dsbNumClick();
  // Puts a designation into the window: fields, signs, side, arrow and catalogue record.
  void loadDesignation(const DrawInput& in);
  void setChanging(bool on);
  void applyTextsAndSigns(const FieldTexts& texts, std::uint8_t znak1, std::uint8_t znak2, const ShelfSigns& znaki2);

  // The 20 controls of the field row that move with the side.
  static const std::array<const char*, 20>& rowControlNames();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void buildBands();
  void buildGraphicControls();
  void buildWindowedControls();
  void buildCommandBand();
  void buildSeamButtons();
  // Hides the window while the CAD program asks the user for points, as the draw command does.
  void whileHidden(const char* procedure, const std::function<void()>& command);
  void setTabOrderAsDesigned();
  void bindPickerKeys();
  void ApplySettings();
  void applyBendMarks(std::uint8_t code);
  void setFieldOpen(int field, bool open);
  void setRowTop(int top);
  MainSettings currentSettings() const;

  std::string executable_;
  MainHooks hooks_;
  bool activated_ = false;
  OuterGeometry* geometry_ = nullptr;  // the outer size read from and written to the settings

  QWidget* pUp = nullptr;
  QWidget* pMidle = nullptr;
  QWidget* pDown = nullptr;
  TShape* shpCircle = nullptr;
  TShape* shpSquare = nullptr;
  TShape* Shape1 = nullptr;
  TDrawnLine* tlineEdge = nullptr;
  TDrawnLine* tlineStrL = nullptr;
  TDrawnLine* tlineStrR = nullptr;
  TSpeedButton* dsbGOST = nullptr;
  TSpeedButton* dsbTip = nullptr;
  TImage* imgKat = nullptr;
  TImage* imgZnak = nullptr;
  TPanel* pImg = nullptr;
  QRadioButton* rbUp = nullptr;
  QRadioButton* rbDown = nullptr;
  QPushButton* bbClear = nullptr;
  QPushButton* bbUndoClear = nullptr;
  QPushButton* bbAbout = nullptr;
  QPushButton* bbClose = nullptr;
  QPushButton* bbDraw = nullptr;
  QPushButton* bbTake = nullptr;
  QPushButton* bbLib = nullptr;
  QPushButton* bbSame = nullptr;
  QPushButton* bbTable = nullptr;
  TSpeedButton* dsbNum = nullptr;
  QLabel* lbCaption_ = nullptr;
  bool changing_ = false;  // the fields hold a designation taken from the drawing
  // What the last clear took away, until it is given back or something else fills the window.
  struct Cleared {
    DrawInput input;
    bool changing = false;
  };
  std::optional<Cleared> cleared_;
  void setCleared(std::optional<Cleared> c);
  std::array<TEdit*, kFieldCount> edits_{};
  std::array<TPanel*, kFieldCount> panels_{};
};

}  // namespace kelvo
