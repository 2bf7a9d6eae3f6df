#include "app/forms/main_weld.h"

#include "app/forms/about_box.h"
#include "app/forms/glyphs.h"
#include "app/forms/hints.h"
#include "app/forms/intermittent_edit.h"
#include "app/forms/messages.h"
#include "app/forms/qt_text.h"
#include "app/forms/znak_weld.h"
#include "catalog/catalog_files.h"
#include "platform/codepage.h"
#include "platform/ini_store.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QShortcut>

namespace kelvo {

using namespace kelvo::literals;

namespace {

constexpr int kUpHeight = 37;
constexpr int kDownHeight = 49;
constexpr int kGostWide = 145;
constexpr int kTipWide = 60;

const QString kChooseHint = QStringLiteral("Кликни для выбора");

// Field number -> edit box geometry, in the designation area as designed.
struct FieldPlace {
  int field;
  QRect edit;
  QRect panel;
  int typedLimit;
};
constexpr FieldPlace kPlaces[] = {
    {field::Kol, {12, 75, 30, 25}, {12, 75, 30, 25}, -1},
    {field::Num, {65, 75, 30, 25}, {65, 75, 30, 25}, -1},
    {field::GOST, {140, 12, 121, 25}, {140, 12, kGostWide, 25}, -1},
    {field::Tip, {305, 12, 36, 25}, {305, 12, kTipWide, 25}, -1},
    {field::Spos, {385, 12, 50, 25}, {385, 12, 50, 25}, -1},
    {field::Kat, {485, 12, 25, 25}, {485, 12, 25, 25}, 2},
    {field::Dopl, {530, 12, 65, 25}, {530, 12, 65, 25}, -1},
    {field::Sher, {643, 12, 55, 25}, {643, 12, 55, 25}, -1},
};

// Panels (+field number) and edit boxes (-field number) in their stacking order, bottom first,
// with the three other windowed controls among them.
constexpr int kSidePanel = 100, kSignCell = 101, kClearButton = 102;
constexpr int kPanelOrder[] = {kSidePanel,   field::GOST,  -field::GOST, field::Tip,
                               -field::Tip,  field::Spos,  field::Kat,   field::Dopl,
                               -field::Dopl, kSignCell,    field::Sher,  kClearButton,
                               field::Kol,   field::Num,   -field::Kat,  -field::Kol,
                               -field::Num,  -field::Spos, -field::Sher};

template <typename T>
T* named(T* w, const char* name, QRect geometry) {
  w->setObjectName(QString::fromLatin1(name));
  w->setGeometry(geometry);
  return w;
}

}  // namespace

const std::array<const char*, 20>& TfmMain::rowControlNames() {
  static const std::array<const char*, 20> names = {
      "eGOST", "dsbGOST", "pGOST", "eTip",  "dsbTip", "pTip",       "eSpos",      "pSpos",
      "eKat",  "pKat",    "imgKat", "eDopl", "pDopl", "pImg",       "eSher",      "pSher",
      "tlineTire1", "tlineTire2", "tlineTire3", "tlineTire4"};
  return names;
}

TfmMain::TfmMain(const std::string& executable, MainHooks hooks)
    : QWidget(nullptr), executable_(executable), hooks_(std::move(hooks)) {
  setObjectName(QStringLiteral("fmMain"));
  setWindowTitle(QStringLiteral("Kelvo v.1 - Сварные швы"));
  setWindowIcon(applicationIcon());
  QFont f;
  f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(13);
  f.setBold(true);
  setFont(f);
  buildBands();
  buildGraphicControls();
  buildWindowedControls();
  buildSeamButtons();
  buildCommandBand();
  setTabOrderAsDesigned();
  bindPickerKeys();
  FormCreate();
}

void TfmMain::buildBands() {
  pUp = named(new TPanel(this), "pUp", {});
  auto* caption = new QLabel(QStringLiteral("Обозначение швов сварных соединений ГОСТ 2.312-72"), pUp);
  lbCaption_ = caption;
  caption->setObjectName(QStringLiteral("lbCaption"));
  caption->setAlignment(Qt::AlignCenter);
  caption->setGeometry(0, 0, 0, kUpHeight);
  pMidle = named(new QWidget(this), "pMidle", {});
  pMidle->setToolTip(QStringLiteral("Кликни на панельку для выбора"));
  pMidle->setAutoFillBackground(true);
  pDown = named(new TPanel(this), "pDown", {});
}

void TfmMain::resizeEvent(QResizeEvent* e) {
  const int w = width(), h = height();
  pUp->setGeometry(0, 0, w, kUpHeight);
  if (auto* caption = pUp->findChild<QLabel*>()) caption->setGeometry(0, 0, w, kUpHeight);
  pDown->setGeometry(0, h - kDownHeight, w, kDownHeight);
  pMidle->setGeometry(0, kUpHeight, w, std::max(0, h - kUpHeight - kDownHeight));
  QWidget::resizeEvent(e);
}

void TfmMain::buildGraphicControls() {
  using L = TDrawnLine::Kind;
  QWidget* a = pMidle;
  shpCircle = named(new TShape(a, TShape::Kind::Circle, false), "shpCircle", {103, 34, 20, 20});
  named(new TDrawnLine(a, L::Horizontal), "tlineHorBig", {110, 43, 596, 5});
  named(new TDrawnLine(a, L::Horizontal), "tlineTire1", {285, 12, 15, 25});
  dsbTip = named(new TSpeedButton(a), "dsbTip", {341, 12, 24, 25});
  named(new TDrawnLine(a, L::Horizontal), "tlineTire2", {365, 12, 15, 25});
  named(new TDrawnLine(a, L::Horizontal), "tlineTire3", {436, 12, 15, 25});
  named(new TDrawnLine(a, L::Horizontal), "tlineTire4", {511, 12, 15, 25});
  named(new QLabel(QStringLiteral("№"), a), "Label1", {46, 80, 16, 16});
  shpSquare = named(new TShape(a, TShape::Kind::Rectangle, true), "shpSquare", {90, 12, 44, 56});
  tlineEdge = named(new TDrawnLine(a, L::Flag), "tlineEdge", {101, 23, 15, 25});
  dsbGOST = named(new TSpeedButton(a), "dsbGOST", {261, 12, 24, 25});
  named(new TDrawnLine(a, L::Rising), "tlineStr", {87, 44, 28, 105});
  tlineStrR = named(new TDrawnLine(a, L::Rising), "tlineStrR", {87, 124, 23, 25});
  tlineStrL = named(new TDrawnLine(a, L::Falling), "tlineStrL", {79, 123, 12, 26});
  Shape1 = named(new TShape(a, TShape::Kind::Rectangle, true), "Shape1", {70, 111, 48, 49});
  imgKat = named(new TImage(a), "imgKat", {455, 12, 25, 25});

  for (TSpeedButton* b : {dsbTip, dsbGOST}) {
    b->setEllipsis(true);
    b->setToolTip(kChooseHint + QStringLiteral(" (F4)"));
    b->hide();
  }
  shpSquare->setToolTip(QStringLiteral("Вспомогательный знак"));
  Shape1->setToolTip(QStringLiteral("Положение стрелки"));
  tlineStrR->hide();
  shpCircle->hide();
  tlineEdge->hide();
  imgKat->setPicture(8);
  connect(dsbGOST, &QAbstractButton::clicked, this, &TfmMain::dsbGOSTClick);
  connect(dsbTip, &QAbstractButton::clicked, this, &TfmMain::dsbTipClick);
  for (auto* s : {shpSquare, shpCircle}) connect(s, &TShape::mouseUp, this, &TfmMain::shpSquareMouseUp);
  connect(tlineEdge, &TDrawnLine::mouseUp, this, &TfmMain::shpSquareMouseUp);
  connect(Shape1, &TShape::mouseUp, this, &TfmMain::Shape1MouseUp);
}

void TfmMain::buildWindowedControls() {
  QWidget* a = pMidle;
  for (int item : kPanelOrder) {
    if (item == kSidePanel) {
      auto* panel5 = named(new TPanel(a), "Panel5", {295, 100, 259, 60});
      rbUp = named(new QRadioButton(QStringLiteral(" - Шов с лицевой стороны"), panel5), "rbUp",
                   {10, 10, 240, 17});
      rbDown = named(new QRadioButton(QStringLiteral(" - Шов с оборотной стороны"), panel5),
                     "rbDown", {10, 34, 240, 18});
      for (auto* rb : {rbUp, rbDown}) rb->setToolTip(QStringLiteral("Расположение шва"));
      rbUp->setChecked(true);
      connect(rbUp, &QRadioButton::clicked, this, &TfmMain::rbUpClick);
      connect(rbDown, &QRadioButton::clicked, this, &TfmMain::rbDownClick);
    } else if (item == kSignCell) {
      pImg = named(new TPanel(a, 8), "pImg", {602, 12, 35, 25});
      pImg->setToolTip(QStringLiteral("Вспомогательный знак"));
      imgZnak = named(new TImage(pImg, 8), "imgZnak", pImg->rect());
      imgZnak->setToolTip(QStringLiteral("Вспомогательный знак (кликни для выбора)"));
      connect(imgZnak, &TImage::clicked, this, &TfmMain::imgZnakClick);
    } else if (item == kClearButton) {
      bbClear = named(new QPushButton(eraserIcon(), QStringLiteral("  Очистить"), a), "bbClear",
                      {566, 100, 136, 30});
      bbClear->setToolTip(QStringLiteral("Очистить обозначение шва (вернуть его: «Вернуть» или Ctrl+Z)"));
      connect(bbClear, &QPushButton::clicked, this, &TfmMain::clearByUser);
      bbUndoClear = named(new QPushButton(QStringLiteral("Вернуть"), a), "bbUndoClear", {566, 134, 136, 26});
      bbUndoClear->setToolTip(QStringLiteral("Вернуть очищенное обозначение шва (Ctrl+Z)"));
      bbUndoClear->setEnabled(false);
      connect(bbUndoClear, &QPushButton::clicked, this, &TfmMain::bbUndoClearClick);
      // An edit box that has the focus keeps Ctrl+Z for its own typing.
      auto* undo = new QShortcut(QKeySequence::Undo, this);
      connect(undo, &QShortcut::activated, this, &TfmMain::bbUndoClearClick);
    } else {
      const int n = item > 0 ? item : -item;
      const FieldPlace& place = kPlaces[n - 1];
      const FieldDef& def = fieldDef(n);
      const QString hint = toQ(def.hint);
      if (item > 0) {
        auto* p = named(new TPanel(a, def.tag), def.panel.data(), place.panel);
        p->setToolTip(hint);
        panels_[static_cast<std::size_t>(n - 1)] = p;
        QObject::connect(p, &TPanel::clicked, this, [this, n, p] {
          if (n == field::GOST) pGOSTClick();
          else if (n == field::Tip) pTipClick();
          else pKolClick(p);
        });
      } else {
        TEdit* made = n == field::Dopl ? new TIntermittentEdit(a, def.tag, place.typedLimit)
                                       : new TEdit(a, def.tag, place.typedLimit);
        auto* e = named(made, def.edit.data(), place.edit);
        e->setToolTip(hint);
        e->hide();
        edits_[static_cast<std::size_t>(n - 1)] = e;
      }
    }
  }
}

void TfmMain::buildCommandBand() {
  bbAbout = named(new QPushButton(bookIcon(), QStringLiteral(" О программе"), pDown), "bbAbout",
                  {15, 10, 154, 31});
  bbAbout->setToolTip(QStringLiteral("Информация о программе"));
  bbClose = named(new QPushButton(cancelIcon(),
                                  QStringLiteral("  Закончить"), pDown),
                  "bbClose", {418, 10, 136, 31});
  bbDraw = named(new QPushButton(okIcon(),
                                 QStringLiteral("  Чертить"), pDown),
                 "bbDraw", {566, 10, 136, 31});
  bbDraw->setToolTip(QStringLiteral("Чертить в AutoCADe"));
  bbTake = named(new QPushButton(QStringLiteral("Из чертежа"), pDown), "bbTake", {225, 10, 136, 31});
  bbTake->setToolTip(QStringLiteral("Взять обозначение из чертежа"));
  connect(bbTake, &QPushButton::clicked, this, &TfmMain::bbTakeClick);
  connect(bbAbout, &QPushButton::clicked, this, &TfmMain::bbAboutClick);
  connect(bbClose, &QPushButton::clicked, this, &TfmMain::bbCloseClick);
  connect(bbDraw, &QPushButton::clicked, this, &TfmMain::bbDrawClick);
}

// The seam numbers and the library: the next free number above the number field; under the
// leader, where the designation leaves room, the library, an identical seam and the seam table.
void TfmMain::buildSeamButtons() {
  QWidget* a = pMidle;
  dsbNum = named(new TSpeedButton(a), "dsbNum", {62, 51, 26, 22});
  dsbNum->setImage(plusImage());
  dsbNum->setToolTip(QStringLiteral("Следующий свободный номер шва в чертеже"));
  connect(dsbNum, &QAbstractButton::clicked, this, &TfmMain::dsbNumClick);
  bbLib = named(new QPushButton(QStringLiteral("Избранное"), a), "bbLib", {140, 100, 140, 26});
  bbLib->setToolTip(QStringLiteral("Избранные обозначения: взять в окно, сохранить текущее, добавить из чертежа"));
  connect(bbLib, &QPushButton::clicked, this, &TfmMain::bbLibClick);
  bbSame = named(new QPushButton(QStringLiteral("Такой же"), a), "bbSame", {140, 130, 140, 26});
  bbSame->setToolTip(QStringLiteral("Начертить такой же шов: выноску с полкой и номером этого обозначения"));
  connect(bbSame, &QPushButton::clicked, this, &TfmMain::bbSameClick);
  bbTable = named(new QPushButton(QStringLiteral("Таблица швов"), a), "bbTable", {140, 160, 140, 26});
  bbTable->setToolTip(QStringLiteral("Таблица швов чертежа: начертить в чертеже или сохранить для электронной таблицы"));
  auto* menu = new QMenu(bbTable);
  menu->setObjectName(QStringLiteral("mnTable"));
  connect(menu->addAction(QStringLiteral("Начертить в чертеже")), &QAction::triggered, this, &TfmMain::bbTableClick);
  connect(menu->addAction(QStringLiteral("Сохранить в CSV...")), &QAction::triggered, this, &TfmMain::saveSeamList);
  bbTable->setMenu(menu);
}

// Buttons added after the designed order was set come last and keep it.
void TfmMain::setTabOrderAsDesigned() {
  QWidget* chain[] = {edit(field::Kol), edit(field::Num), rbUp,    rbDown,
                      edit(field::GOST), edit(field::Tip), edit(field::Spos), edit(field::Sher),
                      edit(field::Dopl), bbClear, edit(field::Kat), bbAbout, bbClose, bbDraw, bbTake, bbUndoClear,
                      bbLib, bbSame, bbTable};
  for (std::size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

// Speed buttons take no focus, so a keyboard user opens the two lists from their fields, by the
// keys a Windows drop-down list answers to.
void TfmMain::bindPickerKeys() {
  const std::pair<int, void (TfmMain::*)()> lists[] = {{field::GOST, &TfmMain::dsbGOSTClick},
                                                      {field::Tip, &TfmMain::dsbTipClick}};
  for (const auto& [n, pick] : lists) {
    for (const QKeySequence& key : {QKeySequence(Qt::Key_F4), QKeySequence(Qt::ALT | Qt::Key_Down)}) {
      auto* shortcut = new QShortcut(key, edit(n));
      shortcut->setContext(Qt::WidgetShortcut);
      connect(shortcut, &QShortcut::activated, this, pick);
    }
  }
}

}  // namespace kelvo
