#include "catalog/forms/tip_weld.h"

#include "app/forms/kit.h"
#include "app/forms/messages.h"
#include "app/forms/picker_common.h"
#include "app/forms/qt_text.h"
#include "app/weld_record.h"
#include "catalog/catalog_files.h"
#include "catalog/forms/spos_weld.h"

#include <QTimer>

namespace kelvo {

TipState& tipState() {
  static TipState state;
  return state;
}

namespace {

// The fields of a record line that the picker shows; nothing for a line it cannot read.
struct Shown {
  int picture, position;
  std::string designation;
};
std::optional<Shown> shown(const std::string& line) {
  try {
    const catalog::RecordLine r = catalog::parseRecordLine(line);
    return Shown{r.picture, r.position, r.designation};
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  }
}

void paintLabel(QLabel* label, const QColor& colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
}

}  // namespace

TfmTip::TfmTip(TfmSpos* owner) : QDialog(owner), spos_(owner) {
  setObjectName(QStringLiteral("fmTip"));
  setWindowTitle(QStringLiteral("Kelvo - Сварные швы - Тип соединения"));
  tcTip = new QWidget(this);
  tcTip->setObjectName(QStringLiteral("tcTip"));
  group_ = new QButtonGroup(this);
  group_->setExclusive(true);
  QFont labelFont;
  labelFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
  labelFont.setPixelSize(17);
  labelFont.setBold(true);
  // Children in the order the picker finds them by index: buttons, labels, spare button, label.
  for (int p = 0; p <= 10; ++p) {
    auto* b = new QToolButton(tcTip);
    b->setObjectName(p < 10 ? QStringLiteral("sb%1").arg(p, 2, 10, QLatin1Char('0')) : QStringLiteral("sb10"));
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setIconSize(QSize(111, 76));
    setTag(b, p < 10 ? p : 20);
    if (p < 10) {
      b->setGeometry(12 + 125 * (p % 5), p < 5 ? 57 : 167, 115, 80);
      b->setToolTip(QStringLiteral("Нажми для выбора"));
      connect(b, &QToolButton::clicked, this, [this, p] { sb00Click(p); });
    } else {
      b->setGeometry(62, 139, 23, 22);
      b->hide();
    }
    group_->addButton(b);
    sb_[static_cast<std::size_t>(p)] = b;
  }
  for (int p = 0; p <= 10; ++p) {
    auto* l = new QLabel(tcTip);
    l->setObjectName(p < 10 ? QStringLiteral("Lab%1").arg(p, 2, 10, QLatin1Char('0')) : QStringLiteral("Lab10"));
    l->setFont(labelFont);
    setTag(l, p < 10 ? p + 10 : 21);
    if (p < 10) l->setGeometry(15 + 125 * (p % 5), p < 5 ? 35 : 145, 60, 20);
    else l->hide();
    lab_[static_cast<std::size_t>(p)] = l;
  }
  sb_[10]->lower();
  tabBar_ = new QTabBar(this);
  tabBar_->setObjectName(QStringLiteral("tcTipTabs"));
  connect(tabBar_, &QTabBar::currentChanged, this, &TfmTip::tcTipChange);
  const ButtonBar bar = addButtonBar(this, 345, 495, QStringLiteral("Не выберать стандарт"), QStringLiteral("Выбрать ГОСТ"));
  Panel1 = bar.panel;
  connect(bar.bbOk, &QPushButton::clicked, this, &TfmTip::bbOkClick);
  connect(bar.bbClose, &QPushButton::clicked, this, &TfmTip::bbCloseClick);
  followOwnerHints(this, owner);
  FormCreate();
}

void TfmTip::resizeEvent(QResizeEvent* e) {
  const int w = width(), h = height();
  Panel1->setGeometry(0, h - 50, w, 50);
  tcTip->setGeometry(0, 0, w, std::max(0, h - 50));
  fitTabs();
  tabBar_->setGeometry(0, 0, w, tabBar_->sizeHint().height());
  QDialog::resizeEvent(e);
}

// A standard with many tabs (seven for 5264-80) would hide the last behind scroll buttons at
// the window's font: its captions are set smaller, down to a size still read, until all show.
void TfmTip::fitTabs() {
  QFont f = font();
  tabBar_->setFont(f);
  while (tabBar_->sizeHint().width() > width() && f.pointSizeF() > 6.5) {
    f.setPointSizeF(f.pointSizeF() - 0.5);
    tabBar_->setFont(f);
  }
}

void TfmTip::FormCreate() {
  keepSizeInSettings(this, Picker::Tip);
  dataFile_ = CatalogFileName(mainWeld().BasePath, spos_ ? spos_->standardField() : "", ".dat");
  GetParameter();
  std::vector<std::string> captions;
  try {
    catalog::readTabCaptions(dataFile_, captions);
  } catch (const catalog::CatalogError&) {
    showMessage(this, MessageIcon::Error,
                fileMessage("Модуль Tip_Weld (FormCreate).", "Ошибка работы с файлом", dataFile_, nullptr));
  }
  const QSignalBlocker quiet(tabBar_);
  for (const auto& c : captions) tabBar_->addTab(toQ(c));
}

void TfmTip::GetParameter() {
  TipState& s = tipState();
  const std::uint8_t ris = mainWeld().WeldData.RisNum;
  if (ris == kNoPicture) {
    s.CurrentTab = 0;
    s.CurrentButton = 10;
    return;
  }
  int tab = s.CurrentTab, position = s.CurrentButton;
  try {
    catalog::locateJoint(dataFile_, ris, tab, position);
  } catch (const catalog::CatalogError&) {
    showMessage(this, MessageIcon::Error,
                fileMessage("Модуль Tip_Weld (GetParameter).", "Ошибка работы с файлом", dataFile_, nullptr));
  }
  s.CurrentTab = static_cast<std::uint8_t>(tab & 0xFF);
  s.CurrentButton = static_cast<std::uint8_t>(position & 0xFF);
}

void TfmTip::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (activated_) return;
  activated_ = true;
  FormActivate();
}

void TfmTip::FormActivate() {
  // A record whose tab is not among the captions would leave the shown tab and its buttons
  // apart; the first tab is shown instead.
  if (tipState().CurrentTab >= tabBar_->count()) tipState().CurrentTab = 0;
  {
    const QSignalBlocker quiet(tabBar_);
    tabBar_->setCurrentIndex(tipState().CurrentTab);
  }
  TabRecords.clear();
  FillStrList();
  ShowTabButtons();
  SelectCurrentButton();
}

void TfmTip::FillStrList() {
  try {
    catalog::readTabRecords(dataFile_, tipState().CurrentTab, TabRecords);
  } catch (const catalog::CatalogError&) {
    showMessage(this, MessageIcon::Error,
                fileMessage("Модуль Tip_Weld (FillStrList).", "Ошибка работы с файлом", dataFile_, nullptr));
  }
}

void TfmTip::ShowTabButtons() {
  for (const std::string& line : TabRecords) {
    const auto r = shown(line);
    if (!r || r->position < 0 || r->position > 9) continue;  // a tab of more than ten: not shown
    QToolButton* b = button(r->position);
    b->show();
    b->setIcon(QIcon(spos_ ? spos_->picture(r->picture) : QPixmap()));
    label(r->position)->show();
    label(r->position)->setText(toQ(r->designation));
  }
  for (std::size_t p = TabRecords.size(); p <= 9; ++p) {
    button(static_cast<int>(p))->hide();
    label(static_cast<int>(p))->hide();
  }
}

void TfmTip::SelectCurrentButton() {
  const int ris = mainWeld().WeldData.RisNum;
  for (const std::string& line : TabRecords) {
    const auto r = shown(line);
    if (!r || r->picture != ris || r->position > 9) continue;
    button(r->position)->setChecked(true);
    sb00Click(r->position);
    return;
  }
}

void TfmTip::sb00Click(int tag) {
  tipState().CurrentButton = static_cast<std::uint8_t>(tag & 0xFF);
  for (QObject* child : tcTip->children()) {
    auto* l = qobject_cast<QLabel*>(child);
    if (!l) continue;
    if (tagOf(l) == tag + 10) {
      paintLabel(l, QColor(0, 0, 255));
      mainWeld().WeldData.Tip = fromQ(l->text());
      if (spos_) spos_->setRisPicture(button(tag)->icon().pixmap(QSize(111, 76)));
    } else {
      paintLabel(l, Qt::black);
    }
  }
}

void TfmTip::tcTipChange(int index) {
  if (index < 0) return;
  tipState().CurrentTab = static_cast<std::uint8_t>(index & 0xFF);
  TabRecords.clear();
  mainWeld().WeldData.RisNum = kNoPicture;
  FillStrList();
  ShowTabButtons();
  sb_[10]->setChecked(true);
  sb00Click(20);
}

void TfmTip::bbOkClick() {
  TWeldData& d = mainWeld().WeldData;
  for (const std::string& line : TabRecords) {
    const auto r = shown(line);
    if (r && r->designation == d.Tip && r->position == tipState().CurrentButton) {
      d.RisNum = static_cast<std::uint8_t>(r->picture & 0xFF);
      break;
    }
  }
  accept();
}

void TfmTip::bbCloseClick() {
  mainWeld().WeldData.Tip.clear();
  mainWeld().WeldData.RisNum = kNoPicture;
  if (spos_) spos_->setRisPicture(QPixmap());
  reject();
}

}  // namespace kelvo
