#include "catalog/forms/spos_weld.h"

#include "app/forms/messages.h"
#include "app/forms/picker_common.h"
#include "app/forms/qt_text.h"
#include "app/weld_record.h"
#include "catalog/catalog_files.h"
#include "catalog/forms/tip_weld.h"
#include "catalog/picture_file.h"
#include "platform/codepage.h"

#include <memory>

#include <QHeaderView>

namespace kelvo {

namespace {

QFont boldFont() {
  QFont f;
  f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
  f.setPixelSize(15);
  f.setBold(true);
  return f;
}

// The heading over the thickness row: what the row says its cells measure, or the thickness of
// the welded parts when it says nothing (cp1251 caption).
QString thicknessHeading(const std::string& caption) {
  return (caption.empty() ? QStringLiteral("Толщина свариваемых деталей, мм") : toQ(caption)) +
         QStringLiteral(", для способа сварки");
}

QLabel* label(QWidget* parent, const char* name, QRect at, const QString& text = {}) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  if (at.width() > 0) {
    l->setGeometry(at);
  } else {
    l->move(at.topLeft());
    l->adjustSize();
  }
  return l;
}

}  // namespace

TfmSpos::TfmSpos(QWidget* owner, SposHost host) : QDialog(owner), host_(std::move(host)) {
  setObjectName(QStringLiteral("fmSpos"));
  setWindowTitle(QStringLiteral("Kelvo - Сварные швы - Параметры"));
  buildUpperPanel();
  buildMiddlePanel();
  const ButtonBar bar = addButtonBar(this, 460, 610, QStringLiteral("Не выберать стандарт"), QStringLiteral("Выбрать ГОСТ"));
  Panel1 = bar.panel;
  connect(bar.bbOk, &QPushButton::clicked, this, &TfmSpos::bbOkClick);
  connect(bar.bbClose, &QPushButton::clicked, this, &TfmSpos::bbCloseClick);
  followOwnerHints(this, owner);
  FormCreate();
}

void TfmSpos::buildUpperPanel() {
  Panel2 = new QWidget(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  sbRis = new QToolButton(Panel2);
  sbRis->setObjectName(QStringLiteral("sbRis"));
  sbRis->setGeometry(12, 15, 117, 86);
  sbRis->setIconSize(QSize(111, 80));
  sbRis->setToolTip(QStringLiteral("Нажми для выбора"));
  connect(sbRis, &QToolButton::clicked, this, &TfmSpos::sbRisClick);
  LGOST = label(Panel2, "LGOST", {142, 15, 0, 0});
  LGOST->setFont(boldFont());
  LNameGOST1 = label(Panel2, "LNameGOST1", {265, 15, 476, 16});
  LNameGOST2 = label(Panel2, "LNameGOST2", {265, 35, 476, 16});
  LNameGOST2->hide();
  label(Panel2, "Label25", {142, 56, 0, 0}, QStringLiteral("Условное обозн.:"));
  LOboz = label(Panel2, "LOboz", {265, 56, 455, 16});
  LOboz->setFont(boldFont());
  label(Panel2, "Label19", {142, 75, 0, 0}, QStringLiteral("Тип соединения:"));
  LTip = label(Panel2, "LTip", {265, 75, 455, 16});
  label(Panel2, "Label21", {142, 95, 0, 0}, QStringLiteral("Форма кромок:"));
  LForma = label(Panel2, "LForma", {265, 95, 455, 16});
  label(Panel2, "Label23", {142, 115, 0, 0}, QStringLiteral("Характер шва:"));
  LHarakt = label(Panel2, "LHarakt", {265, 115, 455, 16});
}

void TfmSpos::buildMiddlePanel() {
  Panel4 = new QWidget(this);
  Panel4->setObjectName(QStringLiteral("Panel4"));
  Label1 = label(Panel4, "Label1", {10, 10, 731, 16}, thicknessHeading({}));
  Label1->setAlignment(Qt::AlignCenter);
  StrGrid = new QTableWidget(2, 0, Panel4);
  StrGrid->setObjectName(QStringLiteral("StrGrid"));
  StrGrid->setGeometry(10, 34, 730, 55);
  StrGrid->setToolTip(QStringLiteral("Нажми на значение для выбора"));
  StrGrid->horizontalHeader()->hide();
  StrGrid->verticalHeader()->hide();
  StrGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StrGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StrGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StrGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  keepSelectionShown(StrGrid);
  StrGrid->verticalHeader()->setDefaultSectionSize(24);
  StrGrid->setStyleSheet(QStringLiteral("QTableWidget { background: palette(button); }"));
  connect(StrGrid, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
    if (row == 1) StrGridSelectCell(column);
  });
  connect(StrGrid, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (row == 1) StrGridSelectCell(column);
  });
  label(Panel4, "Label2", {15, 100, 0, 0}, QStringLiteral("Способ:"));
  LSposOboz = label(Panel4, "LSposOboz", {90, 100, 646, 16});
  LSposOboz->setFont(boldFont());
  label(Panel4, "Label3", {15, 120, 0, 0}, QStringLiteral("Описание:"));
  LSposNote1 = label(Panel4, "LSposNote1", {90, 120, 646, 16});
  LSposNote2 = label(Panel4, "LSposNote2", {90, 138, 646, 16});
  LSposNote2->hide();
}

void TfmSpos::resizeEvent(QResizeEvent* e) {
  const int w = width(), h = height();
  Panel2->setGeometry(0, 0, w, 140);
  Panel1->setGeometry(0, h - 49, w, 49);
  Panel4->setGeometry(0, 140, w, std::max(0, h - 140 - 49));
  QDialog::resizeEvent(e);
}

QPixmap TfmSpos::picture(int index) const {
  return index >= 0 && index < pictureCount() ? blSpos[static_cast<std::size_t>(index)] : QPixmap();
}

void TfmSpos::setRisPicture(const QPixmap& picture) {
  risPicture_ = picture;
  sbRis->setIcon(QIcon(picture));
}

void TfmSpos::splitInto(const std::string& text, std::size_t limit, QLabel* first, QLabel* second) {
  const catalog::Split s = catalog::SplitAtSpace(text, limit);
  first->setText(toQ(s.first));
  second->setText(toQ(s.second.value_or("")));
  second->setVisible(s.second.has_value());
}

void TfmSpos::FormCreate() {
  keepSizeInSettings(this, Picker::Spos);
  const std::string& base = mainWeld().BasePath;
  fileName_ = CatalogFileName(base, host_.standardField(), ".ris");
  std::vector<catalog::Picture> pictures;
  bool loaded = true;
  try {
    catalog::loadPictures(fileName_, pictures);
  } catch (const catalog::CatalogError&) {
    loaded = false;  // the pictures read before the fault are still shown
  }
  for (const auto& p : pictures) {
    QPixmap pix;
    pix.loadFromData(reinterpret_cast<const uchar*>(p.bmp.data()), static_cast<uint>(p.bmp.size()), "BMP");
    blSpos.push_back(pix);
  }
  if (!loaded) {
    showMessage(this, MessageIcon::Error,
                fileMessage("Модуль Spos_Weld (FormCreate).", "Файл с рисунками", fileName_, "не найден!"));
  }
  fileName_ = CatalogFileName(base, host_.standardField(), ".dat");
  if (!loaded) return;  // the data file is then not read
  catalog::Heading heading;
  try {
    catalog::readHeadingAndMethods(fileName_, heading);
  } catch (const catalog::CatalogError&) {
    showMessage(this, MessageIcon::Error,
                fileMessage("Модуль Spos_Weld (FormCreate).", "Файл с данными", fileName_, "не найден!"));
  }
  LGOST->setText(toQ(heading.designation));
  LGOST->adjustSize();
  // A designation wider than its design place (other fonts than the designed one) pushes the
  // title to the right instead of running under it.
  const int titleLeft = std::max(265, LGOST->geometry().right() + 8);
  for (QLabel* l : {LNameGOST1, LNameGOST2}) l->setGeometry(titleLeft, l->y(), 741 - titleLeft, l->height());
  splitInto(heading.title, catalog::kTitleLimit, LNameGOST1, LNameGOST2);
  MethodList = heading.methodLines;
}

void TfmSpos::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (activated_) return;
  activated_ = true;
  FormActivate();
}

void TfmSpos::FormActivate() {
  const int m = methodCount();
  StrGrid->setColumnCount(m);
  FillPanel();
  const int width = catalog::methodColumnWidth(StrGrid->width(), m);
  for (int k = 0; k < m; ++k) {
    StrGrid->setColumnWidth(k, width);
    auto* head = new QTableWidgetItem(toQ(MethodList[static_cast<std::size_t>(2 * k)]));
    head->setFlags(Qt::ItemIsEnabled);  // the heading row cannot be selected
    head->setTextAlignment(Qt::AlignCenter);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    StrGrid->setItem(0, k, head);
  }
}

void TfmSpos::showBody(const catalog::JointBody& body) {
  LTip->setText(toQ(body.type));
  LForma->setText(toQ(body.edges));
  LHarakt->setText(toQ(body.character));
  // The row says what its cells measure (for pipes: wall thickness over the least diameter).
  Label1->setText(thicknessHeading(body.thicknessCaption));
  const auto& thickness = body.thickness;
  for (int k = 0; k < methodCount() && k < static_cast<int>(thickness.size()); ++k) {
    auto* cell = new QTableWidgetItem(toQ(thickness[static_cast<std::size_t>(k)]));
    cell->setTextAlignment(Qt::AlignCenter);
    StrGrid->setItem(1, k, cell);
  }
}

void TfmSpos::showMethod(int k) {
  if (k < 0 || k >= methodCount()) {
    LSposOboz->clear();
    splitInto("", catalog::kDescriptionLimit, LSposNote1, LSposNote2);
    return;
  }
  LSposOboz->setText(toQ(MethodList[static_cast<std::size_t>(2 * k)]));
  splitInto(MethodList[static_cast<std::size_t>(2 * k + 1)], catalog::kDescriptionLimit, LSposNote1, LSposNote2);
}

void TfmSpos::FillPanel() {
  const std::string joint = host_.jointField();
  if (isEmptyText(joint)) {
    for (QLabel* l : {LOboz, LTip, LForma, LHarakt}) l->clear();
  } else {
    try {
      int picture = -1;
      catalog::JointBody body;
      if (catalog::findJointByDesignation(fileName_, joint, methodCount(), picture, body)) {
        setRisPicture(this->picture(picture));
        LOboz->setText(toQ(joint));
        showBody(body);
      }
    } catch (const catalog::CatalogError&) {
      showMessage(this, MessageIcon::Error,
                  fileMessage("Модуль Spos_Weld (FillPanel).", "Файл с данными", fileName_, "не найден или запорчен!"));
    }
  }
  // The designation's own method is shown and selected, and is what Ok takes; none when field
  // 5 is empty or names no method of the standard.
  const std::string method(trimText(host_.methodField ? host_.methodField() : std::string()));
  int own = -1;
  for (int k = 0; k < methodCount() && !method.empty(); ++k)
    if (cp1251::equalsIgnoreCase(MethodList[static_cast<std::size_t>(2 * k)], method)) own = k;
  {
    const QSignalBlocker quiet(StrGrid);
    if (own >= 0) StrGrid->setCurrentCell(1, own);
    else StrGrid->setCurrentCell(-1, -1);
  }
  showMethod(own);
}

void TfmSpos::StrGridSelectCell(int column) {
  if (column < 0 || column >= methodCount()) return;
  showMethod(column);
  mainWeld().WeldData.Spos = MethodList[static_cast<std::size_t>(2 * column)];
}

void TfmSpos::sbRisClick() {
  std::unique_ptr<TfmTip> tip;
  int result = QDialog::Rejected;
  try {
    tip = std::make_unique<TfmTip>(this);
    result = tip->exec();
  } catch (const std::exception&) {
    showMessage(this, MessageIcon::Error, cp1251::fromUtf8("Модуль Spos_Weld (sbRisClick).\r\nОшибка загрузки модуля fmTip"));
    return;
  }
  if (result != QDialog::Accepted) {
    for (QLabel* l : {LOboz, LTip, LForma, LHarakt}) l->clear();
    return;
  }
  const TWeldData& d = mainWeld().WeldData;
  LOboz->setText(toQ(d.Tip));
  try {
    catalog::JointBody body;
    if (catalog::findJointByNumberAndDesignation(fileName_, d.RisNum, d.Tip, methodCount(), body))
      showBody(body);
  } catch (const catalog::CatalogError&) {
    showMessage(this, MessageIcon::Error,
                fileMessage("Модуль Spos_Weld (sbRisClick).", "Ошибка работы с файлом", fileName_, nullptr));
  }
}

void TfmSpos::bbOkClick() {
  TWeldData& d = mainWeld().WeldData;
  d.Tip = fromQ(LOboz->text());
  d.Spos = d.Tip.empty() ? std::string() : fromQ(LSposOboz->text());
  if (host_.openJointField) host_.openJointField();
  accept();
}

void TfmSpos::bbCloseClick() {
  if (host_.clearJointAndMethod) host_.clearJointAndMethod();
  TWeldData& d = mainWeld().WeldData;
  d.Tip.clear();
  d.Spos.clear();
  d.RisNum = kNoPicture;
  reject();
}

}  // namespace kelvo
