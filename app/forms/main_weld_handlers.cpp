// The main window's handlers: settings, the activation pass, field panels, pickers, side,
// arrow, clear and draw.
#include "app/forms/about_box.h"
#include "app/forms/hints.h"
#include "app/forms/lib_weld.h"
#include "app/forms/main_weld.h"
#include "app/forms/messages.h"
#include "app/forms/qt_text.h"
#include "app/forms/znak_weld.h"
#include "cad/seam_list.h"
#include "catalog/catalog_files.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/ini_store.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace kelvo {

using namespace kelvo::literals;

FieldTexts TfmMain::fieldTexts() const {
  FieldTexts t;
  for (int n = 1; n <= kFieldCount; ++n) fieldText(t, n) = fromQ(edit(n)->text());
  return t;
}

Side TfmMain::side() const { return rbDown->isChecked() ? Side::Back : Side::Front; }
bool TfmMain::arrowLeft() const { return !tlineStrL->isHidden(); }

DrawInput TfmMain::drawInput() const {
  DrawInput in = takeDrawInput(fieldTexts(), side(), arrowLeft(), mainWeld());
  in.replaceTaken = changing_;
  return in;
}

void TfmMain::FormCreate() {
  mainWeld().WeldData.reset();
  ApplySettings();
}

void TfmMain::ApplySettings() {
  MainWeld& m = mainWeld();
  m.BasePath = basePathFrom(executable_);
  const IniFile ini(SettingsFileName(m.BasePath));
  const MainSettings s = readMainSettings(ini);
  geometry_ = new OuterGeometry(this, QSize(s.width, s.height),
                                s.left && s.top ? std::optional<QPoint>(QPoint(*s.left, *s.top)) : std::nullopt);
  setShowHint(this, s.hints);
  m.LayerName = s.LayerName;
  m.NumberType = s.NumberType;
  m.Application = s.Application;
  applyTextsAndSigns(s.texts, s.Znak1, s.Znak2, s.Znaki2);
  m.WeldData.RisNum = s.RisNum;
}

void TfmMain::applyTextsAndSigns(const FieldTexts& texts, std::uint8_t znak1, std::uint8_t znak2, const ShelfSigns& znaki2) {
  MainWeld& m = mainWeld();
  for (int n = 1; n <= kFieldCount; ++n) edit(n)->setText(toQ(fieldText(texts, n)));
  m.Znak1 = znak1;
  applyBendMarks(znak1);
  m.Znak2 = znak2;
  m.Znaki2 = znaki2;
  imgZnak->setPicture(signCellPicture(znak2));
  showSignSet();
}

MainSettings TfmMain::currentSettings() const {
  const MainWeld& m = mainWeld();
  MainSettings s;
  const QSize outer = geometry_->outer();
  s.height = outer.height();
  s.width = outer.width();
  const QPoint at = geometry_->position();
  s.left = at.x(), s.top = at.y();
  s.hints = showHint(this);
  s.LayerName = m.LayerName;
  s.NumberType = m.NumberType;
  s.Application = m.Application;
  s.texts = fieldTexts();
  s.Znak1 = m.Znak1;
  s.Znak2 = m.Znak2;
  s.Znaki2 = m.Znaki2;
  s.RisNum = m.WeldData.RisNum;
  return s;
}

void TfmMain::FormClose() {
  IniBatch ini{IniFile(SettingsFileName(mainWeld().BasePath))};
  try {
    writeMainSettings(ini, currentSettings());
    ini.commit();
  } catch (const IniWriteError& e) {
    showMessage(this, MessageIcon::Error, e.what());
  }
}

void TfmMain::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (activated_) return;
  activated_ = true;
  FormActivate();
}

void TfmMain::FormActivate() {
  MainWeld& m = mainWeld();
  auto filled = [this](int n) { return !isEmptyText(fromQ(edit(n)->text())); };
  setFieldOpen(field::Kol, filled(field::Kol));
  setFieldOpen(field::Num, filled(field::Num));
  if (filled(field::GOST)) {
    m.WeldData.Gost = fromQ(edit(field::GOST)->text());
    pGOSTClick();
  } else {
    setFieldOpen(field::GOST, false);
  }
  if (filled(field::Tip)) {
    m.WeldData.Tip = fromQ(edit(field::Tip)->text());
    pTipClick();
  } else {
    setFieldOpen(field::Tip, false);
  }
  if (filled(field::Spos)) m.WeldData.Spos = fromQ(edit(field::Spos)->text());
  setFieldOpen(field::Spos, filled(field::Spos));
  setFieldOpen(field::Kat, filled(field::Kat));
  imgKat->setPicture(filled(field::Kat) ? 7 : 8);
  setFieldOpen(field::Dopl, filled(field::Dopl));
  setFieldOpen(field::Sher, filled(field::Sher));
}

void TfmMain::setFieldOpen(int n, bool open) { edit(n)->setHidden(!open); }

void TfmMain::closeEvent(QCloseEvent* e) {
  FormClose();
  e->accept();
}

void TfmMain::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
  } else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
    else clearByUser();
  } else {
    QWidget::keyPressEvent(e);
  }
}

void TfmMain::pKolClick(QObject* sender) {
  const int tag = tagOf(sender);
  for (TEdit* e : edits_) {
    if (tagOf(e) != tag) continue;
    e->show();
    e->setFocus();
  }
  if (tag == 6) imgKat->setPicture(7);
}

void TfmMain::pGOSTClick() {
  edit(field::GOST)->show();
  dsbGOST->show();
  panel(field::GOST)->resize(116, panel(field::GOST)->height());
  edit(field::GOST)->setFocus();
}

void TfmMain::pTipClick() {
  edit(field::Tip)->show();
  dsbTip->show();
  panel(field::Tip)->resize(36, panel(field::Tip)->height());
  edit(field::Tip)->setFocus();
}

void TfmMain::dsbGOSTClick() {
  if (!hooks_.gostPicker || !hooks_.gostPicker(this)) return;
  FieldTexts t = fieldTexts();
  if (!applyStandardChoice(t, mainWeld().WeldData)) return;
  for (int n : {field::GOST, field::Tip, field::Spos}) edit(n)->setText(toQ(fieldText(t, n)));
}

void TfmMain::dsbTipClick() {
  const std::string field3 = fromQ(edit(field::GOST)->text());
  if (isEmptyText(field3)) {
    showMessage(this, MessageIcon::Error, "Не заполнено поле номера ГОСТа!"_w);
    return;
  }
  const std::string name = CatalogFileName(mainWeld().BasePath, field3, ".dat");
  const std::string failure = std::string("Модуль Main_weld (dsbTipClick)\r\nФайл с данными\r\n"_w) +
                              name + "\r\n" + std::string("не найден или запорчен!"_w);
  if (!catalog::checkDataFile(name)) {
    showMessage(this, MessageIcon::Error, failure);
    return;
  }
  try {
    if (hooks_.sposPicker) hooks_.sposPicker(this);
  } catch (const std::exception&) {
    showMessage(this, MessageIcon::Error, failure);
    return;
  }
  const TWeldData& d = mainWeld().WeldData;
  edit(field::Spos)->show();
  edit(field::Spos)->setText(toQ(d.Spos));
  edit(field::Tip)->setText(toQ(d.Tip));
}

void TfmMain::applyBendMarks(std::uint8_t code) {
  if (code > 3) return;
  shpCircle->setVisible(showsCircle(code));
  tlineEdge->setVisible(showsFlag(code));
}

void TfmMain::shpSquareMouseUp() {
  MainWeld& m = mainWeld();
  m.ZnakMode = 1;
  TfmZnak picker(this, m.ZnakMode, side(), ShelfSigns::single(m.Znak1));  // the bend's sign shown pressed
  picker.exec();
  if (!picker.chosen()) return;  // closed some other way: the designation stays as it was
  m.ZnakMode = picker.result();
  applyBendMarks(m.ZnakMode);
  m.Znak1 = m.ZnakMode;
}

void TfmMain::imgZnakClick() {
  MainWeld& m = mainWeld();
  m.ZnakMode = 4;
  TfmZnak picker(this, m.ZnakMode, side(), m.Znaki2.empty() ? ShelfSigns::single(m.Znak2) : m.Znaki2);
  picker.exec();
  if (!picker.chosen()) return;
  m.ZnakMode = picker.result();
  if (m.ZnakMode <= 3) imgZnak->setPicture(signCellPicture(m.ZnakMode));
  m.Znak2 = m.ZnakMode;
  m.Znaki2 = picker.choseSet() ? picker.signs() : ShelfSigns();
  showSignSet();
}

// A set of several signs shows them all in the cell; one sign or none keeps its own picture.
void TfmMain::showSignSet() {
  const std::vector<std::uint8_t> codes = mainWeld().Znaki2.codes();
  if (codes.size() < 2) return;
  QList<int> pictures;
  for (std::uint8_t c : codes) pictures.push_back(signCellPicture(c));
  imgZnak->setPictures(pictures);
}

void TfmMain::setRowTop(int top) {
  for (const char* name : rowControlNames())
    if (auto* w = pMidle->findChild<QWidget*>(QString::fromLatin1(name)))
      w->move(w->x(), top);
}

void TfmMain::rbUpClick() { setRowTop(12); }
void TfmMain::rbDownClick() { setRowTop(53); }

void TfmMain::Shape1MouseUp() {
  tlineStrR->setHidden(!tlineStrR->isHidden());
  tlineStrL->setHidden(!tlineStrR->isHidden());
}

void TfmMain::bbClearClick() {
  for (TEdit* e : edits_) {
    e->hide();
    e->setText(QString());
  }
  dsbGOST->hide();
  dsbTip->hide();
  panel(field::GOST)->resize(145, panel(field::GOST)->height());
  panel(field::Tip)->resize(60, panel(field::Tip)->height());
  imgKat->setPicture(8);
  imgZnak->setPicture(0);
  tlineEdge->hide();
  shpCircle->hide();
  FieldTexts cleared;
  clearDesignation(cleared, mainWeld());
  setChanging(false);
}

void TfmMain::clearByUser() {
  Cleared c{drawInput(), changing_};
  bbClearClick();
  setCleared(std::move(c));
}

void TfmMain::bbUndoClearClick() {
  if (!cleared_) return;
  const Cleared c = std::move(*cleared_);
  loadDesignation(c.input);
  setChanging(c.changing);
}

void TfmMain::setCleared(std::optional<Cleared> c) {
  cleared_ = std::move(c);
  if (bbUndoClear) bbUndoClear->setEnabled(cleared_.has_value());
}

void TfmMain::bbTakeClick() {
  hide();
  std::optional<DrawInput> taken;
  try {
    if (hooks_.take) taken = hooks_.take(mainWeld().Application);
  } catch (const std::exception& e) {
    showMessage(nullptr, MessageIcon::Error, std::string("Модуль Main_weld (bbTakeClick)\r\nНепредвиденная ошибка"_w) + "\r\n" + e.what());
  }
  show();
  if (!taken) return;  // nothing taken: the window keeps what it had, and its state
  loadDesignation(*taken);
  setChanging(true);
}

void TfmMain::loadDesignation(const DrawInput& in) {
  bbClearClick();
  setCleared(std::nullopt);
  mainWeld().WeldData = in.WeldData;
  applyTextsAndSigns(in.texts, in.Znak1, in.Znak2, in.Znaki2);
  (in.side == Side::Back ? rbDown : rbUp)->setChecked(true);
  in.side == Side::Back ? rbDownClick() : rbUpClick();
  if (arrowLeft() != in.arrowLeft) Shape1MouseUp();
  FormActivate();  // opens the filled fields as a start with these settings does
}

// The caption says that "Чертить" replaces the designation taken rather than adds one.
void TfmMain::setChanging(bool on) {
  changing_ = on;
  lbCaption_->setText(on ? QStringLiteral("Изменяется обозначение из чертежа (ГОСТ 2.312-72)")
                         : QStringLiteral("Обозначение швов сварных соединений ГОСТ 2.312-72"));
}

void TfmMain::bbAboutClick() {
  AboutBox box(this);
  box.exec();
}

void TfmMain::bbCloseClick() { close(); }

void TfmMain::bbDrawClick() {
  const DrawInput input = drawInput();
  hide();
  // The draw command reports the automation failures itself; whatever else escapes it is
  // named here, with the exception's own text (the core's texts are cp1251) after it.
  const std::string failure = std::string("Модуль Main_weld (bbDrawClick)\r\nНепредвиденная ошибка"_w);
  try {
    if (hooks_.draw) hooks_.draw(input);
  } catch (const std::exception& e) {
    showMessage(nullptr, MessageIcon::Error, failure + "\r\n" + e.what());
  } catch (...) {
    showMessage(nullptr, MessageIcon::Error, failure);
  }
  show();
}

void TfmMain::whileHidden(const char* procedure, const std::function<void()>& command) {
  hide();
  try {
    command();
  } catch (const std::exception& e) {
    showMessage(nullptr, MessageIcon::Error,
                std::string("Модуль Main_weld ("_w) + procedure + std::string(")\r\nНепредвиденная ошибка"_w) + "\r\n" + e.what());
  }
  show();
}

void TfmMain::bbSameClick() {
  const DrawInput input = drawInput();
  if (hooks_.same) whileHidden("bbSameClick", [&] { hooks_.same(input); });
}

void TfmMain::bbTableClick() {
  const DrawInput input = drawInput();
  if (hooks_.table) whileHidden("bbTableClick", [&] { hooks_.table(input); });
}

// The number asked of the drawing fills the number field; the window stays, as nothing is picked.
void TfmMain::dsbNumClick() {
  if (!hooks_.nextNumber) return;
  const std::optional<int> next = hooks_.nextNumber(mainWeld().Application);
  if (!next) return;
  edit(field::Num)->setText(QString::number(*next));
  setFieldOpen(field::Num, true);
}

void TfmMain::saveSeamList() {
  if (!hooks_.designations) return;
  const auto found = hooks_.designations(mainWeld().Application);
  if (!found) return;
  std::vector<cad::FoundDesignation> seams;
  for (const DrawInput& d : *found) seams.push_back({{d, {}, {}, {}, 0, {}}, {}});
  const std::vector<cad::SeamRow> rows = cad::seamRows(seams);
  if (rows.empty()) {
    showMessage(this, MessageIcon::Warning, "В чертеже нет обозначений швов Kelvo: список пуст."_w);
    return;
  }
  const auto file = askSaveFile(this, "Таблица швов.csv");
  if (!file) return;
  if (!replaceOrOverwriteFile(*file, cad::seamRowsCsv(rows)))
    showMessage(this, MessageIcon::Error, std::string("Файл "_w) + *file + std::string(" не записывается."_w));
}

// The chosen designation fills the window as one taken from the drawing does, but is new: it is
// not replacing anything in the drawing.
void TfmMain::bbLibClick() {
  const std::string application = mainWeld().Application;
  TfmLib::FromDrawing fromDrawing;
  if (hooks_.designations) fromDrawing = [this, application] { return hooks_.designations(application); };
  TfmLib picker(this, library::fileName(mainWeld().BasePath), drawInput(), fromDrawing);
  picker.exec();
  if (!picker.chosen()) return;
  loadDesignation(*picker.chosen());
}

void TfmMain::bringToFront() {
  if (isHidden()) return;  // a drawing is in progress; the window comes back when it ends
  if (isMinimized()) {
    showNormal();
  } else {
    raise();
    activateWindow();
  }
}

}  // namespace kelvo
