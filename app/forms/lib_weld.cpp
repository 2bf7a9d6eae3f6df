#include "app/forms/lib_weld.h"

#include "app/forms/messages.h"
#include "app/forms/picker_common.h"
#include "app/forms/qt_text.h"
#include "cad/seam_list.h"
#include "platform/codepage.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QShortcut>

#include <algorithm>

namespace kelvo {

using namespace kelvo::literals;

namespace {

constexpr int kButtonsWide = 180;

std::string guillemets(const std::string& s) { return std::string("«"_w) + s + std::string("»"_w); }

// A name from a shelf text: what a section name cannot hold becomes what it looks like.
std::string nameFrom(std::string text) {
  for (char& c : text) {
    if (c == '[') c = '(';
    else if (c == ']') c = ')';
    else if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  text = std::string(trimText(text)).substr(0, 150);
  return text.empty() ? std::string("Обозначение шва"_w) : text;
}

}  // namespace

TfmLib::TfmLib(QWidget* owner, std::string file, DrawInput current, FromDrawing fromDrawing)
    : QDialog(owner), file_(std::move(file)), current_(std::move(current)), fromDrawing_(std::move(fromDrawing)) {
  const ListFrame frame = addListFrame(this, "fmLib", QStringLiteral("Kelvo - Сварные швы - Избранное"),
                                       QStringLiteral("Избранное: выбери обозначение шва (двойной щелчок — взять в окно)"));
  Panel3 = frame.caption;
  Panel4 = frame.body;
  eSearch = new QLineEdit(Panel4);
  eSearch->setObjectName(QStringLiteral("eSearch"));
  eSearch->setPlaceholderText(QStringLiteral("Поиск по имени и обозначению"));
  eSearch->setToolTip(QStringLiteral("Показывать только обозначения, в имени или тексте которых есть эти знаки"));
  eSearch->setClearButtonEnabled(true);
  connect(eSearch, &QLineEdit::textChanged, this, &TfmLib::eSearchChange);
  vleLib = new QTableWidget(0, 2, Panel4);
  vleLib->setObjectName(QStringLiteral("vleLib"));
  vleLib->setHorizontalHeaderLabels({QStringLiteral("Имя"), QStringLiteral("Обозначение шва")});
  vleLib->verticalHeader()->hide();
  vleLib->verticalHeader()->setDefaultSectionSize(19);
  vleLib->setColumnWidth(0, 250);
  vleLib->horizontalHeader()->setStretchLastSection(true);
  vleLib->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vleLib->setSelectionBehavior(QAbstractItemView::SelectRows);
  vleLib->setSelectionMode(QAbstractItemView::SingleSelection);
  keepSelectionShown(vleLib);
  connect(vleLib, &QTableWidget::cellDoubleClicked, this, [this] { bbOkClick(); });
  auto button = [this](const char* name, const QString& text, const QString& hint, void (TfmLib::*slot)()) {
    auto* b = new QPushButton(text, Panel4);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    connect(b, &QPushButton::clicked, this, slot);
    return b;
  };
  bbSave = button("bbSave", QStringLiteral("Сохранить текущее"), QStringLiteral("Сохранить обозначение из окна под новым именем"), &TfmLib::bbSaveClick);
  bbRename = button("bbRename", QStringLiteral("Переименовать"), QStringLiteral("Дать выбранному обозначению другое имя (F2)"), &TfmLib::bbRenameClick);
  bbDelete = button("bbDelete", QStringLiteral("Удалить"), QStringLiteral("Удалить выбранное обозначение из избранного (Del)"), &TfmLib::bbDeleteClick);
  bbFromDrawing = button("bbFromDrawing", QStringLiteral("Добавить из чертежа"),
                         QStringLiteral("Добавить все обозначения чертежа, которых ещё нет в избранном"), &TfmLib::bbFromDrawingClick);
  bbFromDrawing->setEnabled(static_cast<bool>(fromDrawing_));
  auto* renameKey = new QShortcut(QKeySequence(Qt::Key_F2), vleLib);
  connect(renameKey, &QShortcut::activated, this, &TfmLib::bbRenameClick);
  auto* deleteKey = new QShortcut(QKeySequence::Delete, vleLib);
  connect(deleteKey, &QShortcut::activated, this, &TfmLib::bbDeleteClick);
  const ButtonBar bar = addButtonBar(this, 505, 655, QStringLiteral("Не брать обозначение"), QStringLiteral("Взять выбранное обозначение в окно"));
  Panel1 = bar.panel;
  connect(bar.bbOk, &QPushButton::clicked, this, &TfmLib::bbOkClick);
  connect(bar.bbClose, &QPushButton::clicked, this, &QDialog::reject);
  keepSizeInSettings(this, Picker::Lib);
  followOwnerHints(this, owner);
}

void TfmLib::resizeEvent(QResizeEvent* e) {
  layOutListFrame(this, {Panel3, Panel4}, Panel1);
  const int w = width();
  const int listWide = std::max(0, w - kButtonsWide - 30);
  eSearch->setGeometry(10, 8, listWide, 25);
  vleLib->setGeometry(10, 38, listWide, std::max(0, Panel4->height() - 46));
  int y = 38;
  for (QPushButton* b : {bbSave, bbRename, bbDelete, bbFromDrawing}) {
    b->setGeometry(w - kButtonsWide - 10, y, kButtonsWide, 30);
    y += b == bbDelete ? 50 : 36;
  }
  QDialog::resizeEvent(e);
}

void TfmLib::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (activated_) return;
  activated_ = true;
  FormActivate();
}

// Damaged entries are named once, when the picker opens; they stay in the file untouched.
void TfmLib::FormActivate() {
  try {
    const library::Loaded loaded = library::load(file_);
    if (!loaded.skipped.empty()) {
      std::string text;
      for (const std::string& s : loaded.skipped) text += (text.empty() ? "" : "\r\n") + s;
      showMessage(this, MessageIcon::Warning, text);
    }
  } catch (const library::LibraryError& e) {
    showMessage(this, MessageIcon::Error, e.what());
  }
  reload();
}

void TfmLib::reload(const std::string& select) {
  const std::string keep = !select.empty() ? select : selected() ? selected()->name : std::string();
  try {
    entries_ = library::load(file_).entries;
  } catch (const library::LibraryError&) {
    entries_.clear();  // said when the picker opened, or by the change that failed
  }
  eSearchChange();
  for (int row = 0; row < vleLib->rowCount(); ++row)
    if (cp1251::equalsIgnoreCase(entries_[vleLib->item(row, 0)->data(Qt::UserRole).toUInt()].name, keep)) {
      vleLib->setCurrentCell(row, 0);
      vleLib->scrollToItem(vleLib->item(row, 0));
    }
}

void TfmLib::eSearchChange() {
  const QString wanted = eSearch->text().trimmed();
  const QSignalBlocker quiet(vleLib);
  vleLib->setRowCount(0);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const QString name = toQ(entries_[i].name);
    const QString text = QString::fromStdString(cad::shelfText(entries_[i].designation));
    if (!wanted.isEmpty() && !name.contains(wanted, Qt::CaseInsensitive) && !text.contains(wanted, Qt::CaseInsensitive)) continue;
    const int row = vleLib->rowCount();
    vleLib->insertRow(row);
    auto* nameItem = new QTableWidgetItem(name);
    nameItem->setData(Qt::UserRole, static_cast<unsigned>(i));
    vleLib->setItem(row, 0, nameItem);
    auto* textItem = new QTableWidgetItem(text);
    textItem->setToolTip(text);  // a long designation is cut at the column's edge
    vleLib->setItem(row, 1, textItem);
  }
  vleLib->setCurrentCell(vleLib->rowCount() > 0 ? 0 : -1, 0);
}

const library::Entry* TfmLib::selected() const {
  const int row = vleLib->currentRow();
  if (row < 0 || row >= vleLib->rowCount() || !vleLib->item(row, 0)) return nullptr;
  const auto i = vleLib->item(row, 0)->data(Qt::UserRole).toUInt();
  return i < entries_.size() ? &entries_[i] : nullptr;
}

bool TfmLib::change(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const library::LibraryError& e) {
    showMessage(this, MessageIcon::Error, e.what());
    reload();
    return false;
  }
}

void TfmLib::bbSaveClick() {
  auto name = askText(this, "Имя обозначения в избранном:"_w, nameFrom(cad::shelfText(current_, true)));
  if (!name) return;
  *name = std::string(trimText(*name));
  if (const auto problem = library::nameProblem(*name)) return showMessage(this, MessageIcon::Error, *problem);
  bool exists = false;
  if (!change([&] { exists = library::has(file_, *name); })) return;
  if (exists && !askYesNo(this, std::string("В избранном уже есть "_w) + guillemets(*name) + std::string(". Заменить его?"_w))) return;
  if (change([&] { library::save(file_, {*name, current_}); })) reload(*name);
}

void TfmLib::bbRenameClick() {
  const library::Entry* e = selected();
  if (!e) return;
  const std::string from = e->name;
  auto to = askText(this, std::string("Новое имя для "_w) + guillemets(from) + ":", from);
  if (!to) return;
  *to = std::string(trimText(*to));
  if (const auto problem = library::nameProblem(*to)) return showMessage(this, MessageIcon::Error, *problem);
  if (change([&] { library::rename(file_, from, *to); })) reload(*to);
}

void TfmLib::bbDeleteClick() {
  const library::Entry* e = selected();
  if (!e) return;
  const std::string name = e->name;
  if (!askYesNo(this, std::string("Удалить "_w) + guillemets(name) + std::string(" из избранного?"_w))) return;
  if (change([&] { library::remove(file_, name); })) reload();
}

// Each seam the library lacks comes in once, named by its shelf text; numbers and counts belong
// to the drawing, not to the kind of seam, and are left out.
void TfmLib::bbFromDrawingClick() {
  if (!fromDrawing_) return;
  const auto found = fromDrawing_();
  if (!found) return;
  std::vector<library::Entry> known = entries_;
  int added = 0;
  for (DrawInput d : *found) {
    if (cad::isNumberOnly(d)) continue;
    if (std::any_of(known.begin(), known.end(), [&](const library::Entry& e) { return cad::sameSeam(e.designation, d); })) continue;
    d.texts[0].clear(), d.texts[1].clear();
    std::string name = nameFrom(cad::shelfText(d, true));
    const std::string base = name;
    // A damaged entry's name is taken too: saving over it would lose it.
    auto taken = [&](const std::string& n) {
      bool inFile = false;
      change([&] { inFile = library::has(file_, n); });
      return inFile || std::any_of(known.begin(), known.end(), [&](const library::Entry& e) { return cp1251::equalsIgnoreCase(e.name, n); });
    };
    for (int n = 2; taken(name); ++n) name = base + " (" + std::to_string(n) + ")";
    if (!change([&] { library::save(file_, {name, d}); })) return;
    known.push_back({name, d});
    ++added;
  }
  reload();
  showMessage(this, MessageIcon::Information,
              added ? std::string("Добавлено в избранное обозначений: "_w) + std::to_string(added)
                    : std::string("Все обозначения чертежа уже есть в избранном."_w));
}

void TfmLib::bbOkClick() {
  if (const library::Entry* e = selected()) chosen_ = e->designation;
  if (chosen_) accept();
}

}  // namespace kelvo
