#include "catalog/forms/gost_weld.h"

#include "app/forms/kit.h"
#include "app/forms/messages.h"
#include "app/forms/picker_common.h"
#include "app/forms/qt_text.h"
#include "app/weld_record.h"
#include "catalog/catalog_files.h"
#include "catalog/picker_rules.h"
#include "platform/codepage.h"

#include <QHeaderView>
#include <QLabel>
#include <QTimer>

namespace kelvo {

TfmGost::TfmGost(QWidget* owner, std::string current) : QDialog(owner), current_(std::move(current)) {
  const ListFrame frame = addListFrame(this, "fmGost", QStringLiteral("Kelvo - Сварные швы - Стандарты"),
                                       QStringLiteral("Выбери стандарт на сварку (жми на наименование стандарта)"));
  Panel3 = frame.caption;
  Panel4 = frame.body;
  vleGost = new QTableWidget(1, 2, Panel4);
  vleGost->setObjectName(QStringLiteral("vleGost"));
  // The first letter of the key column's title is a Latin C, as the list has always shown it.
  vleGost->setHorizontalHeaderLabels({QStringLiteral("Cтандарт"), QStringLiteral("Наименование стандарта")});
  vleGost->verticalHeader()->hide();
  vleGost->verticalHeader()->setDefaultSectionSize(19);
  vleGost->setColumnWidth(0, 120);
  vleGost->setColumnWidth(1, 569);
  vleGost->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vleGost->setSelectionBehavior(QAbstractItemView::SelectRows);
  vleGost->setSelectionMode(QAbstractItemView::SingleSelection);
  keepSelectionShown(vleGost);
  vleGost->horizontalHeader()->setStretchLastSection(true);
  vleGost->setCurrentCell(0, 0);
  connect(vleGost, &QTableWidget::cellClicked, this, [this](int row, int) { vleGostSelectCell(row); });
  connect(vleGost, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { vleGostSelectCell(row); });
  const ButtonBar bar = addButtonBar(this, 425, 575, QStringLiteral("Не выберать ГОСТ"), QStringLiteral("Выбрать ГОСТ"));
  Panel1 = bar.panel;
  connect(bar.bbOk, &QPushButton::clicked, this, &TfmGost::bbOkClick);
  connect(bar.bbClose, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate();
}

void TfmGost::FormCreate() { keepSizeInSettings(this, Picker::Gost); }

void TfmGost::resizeEvent(QResizeEvent* e) {
  layOutListFrame(this, {Panel3, Panel4}, Panel1);
  vleGost->setGeometry(10, 6, std::max(0, width() - 30), std::max(0, Panel4->height() - 19));
  QDialog::resizeEvent(e);
}

void TfmGost::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (activated_) return;
  activated_ = true;
  FormActivate();
}

void TfmGost::appendRow(const std::string& key, const std::string& title) {
  // The list starts with one empty row that the first standard fills.
  int row = static_cast<int>(rows_.size());
  if (row >= vleGost->rowCount()) vleGost->insertRow(row);
  vleGost->setItem(row, 0, new QTableWidgetItem(toQ(key)));
  vleGost->setItem(row, 1, new QTableWidgetItem(toQ(title)));
  rows_.emplace_back(key, title);
}

void TfmGost::FormActivate() {
  const std::string name = StandardsFileName(mainWeld().BasePath);
  std::vector<catalog::StandardRow> read;
  try {
    catalog::readStandardsList(name, read);
  } catch (const catalog::CatalogError&) {
    showMessage(this, MessageIcon::Error,
                fileMessage("Модуль GOST_weld (FormActivate)", "Файл с данными", name, "не найден или запорчен!"));
    QTimer::singleShot(0, this, &QDialog::reject);
    return;
  }
  {
    const QSignalBlocker quiet(vleGost);  // filling the list selects nothing for the user
    for (const auto& r : read) appendRow(r.designation, r.title);
    vleGost->setCurrentCell(-1, -1);
  }
  // The designation's own standard is the one shown selected; none when the field is empty or
  // names a standard the list lacks (a row lit up would be taken for a choice).
  const std::string wanted(trimText(current_));
  for (std::size_t row = 0; row < rows_.size() && !wanted.empty(); ++row)
    if (cp1251::equalsIgnoreCase(rows_[row].first, wanted)) {
      vleGost->setCurrentCell(static_cast<int>(row), 0);
      vleGost->scrollToItem(vleGost->item(static_cast<int>(row), 0), QAbstractItemView::PositionAtCenter);
      break;
    }
}

// Ok takes the selected row; with none selected it keeps the field's standard as it is.
void TfmGost::bbOkClick() {
  const int row = vleGost->currentRow();
  if (row >= 0 && vleGost->selectionModel()->isRowSelected(row, {})) vleGostSelectCell(row);
  else mainWeld().WeldData.Gost = current_;
  accept();
}

void TfmGost::vleGostSelectCell(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  TWeldData& d = mainWeld().WeldData;
  d.Gost = rows_[static_cast<std::size_t>(row)].first;
  d.GostName = catalog::titleOfFirstRowWithKey(rows_, d.Gost);
  vleGost->setToolTip(toQ(d.GostName));
  setToolTip(toQ(d.GostName));
}

}  // namespace kelvo
