#include "host/ui/host_window.h"

#include "host/ui/drawing_font.h"
#include "host/ui/question.h"
#include "host/ui/recovery.h"

#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "platform/codepage.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kelvo::host {

namespace {
QString fromCp(const std::string& s) {
  const std::u16string u = cp1251::toUtf16Unescaped(s);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

// "x,y" or "x,y,z" as typed on the command line.
std::optional<Point> parsePoint(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  Point p{};
  for (int i = 0; i < parts.size(); ++i) {
    bool ok = false;
    p[static_cast<std::size_t>(i)] = parts[i].trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
  }
  return p;
}
}  // namespace

HostWindow::HostWindow(Document& doc, QString fileName) : doc_(doc), fileName_(std::move(fileName)) {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  view_ = new DrawingView(doc_, central);
  tabs_ = new QTabBar(central);
  tabs_->addTab(QStringLiteral("Модель"));
  tabs_->addTab(QStringLiteral("Лист1"));
  tabs_->setShape(QTabBar::RoundedSouth);
  prompt_ = new QLabel(QStringLiteral("Команда:"), central);
  input_ = new QLineEdit(central);
  input_->setPlaceholderText(QStringLiteral("x,y или x,y,z"));
  layout->addWidget(view_, 1);
  layout->addWidget(tabs_);
  layout->addWidget(prompt_);
  layout->addWidget(input_);
  setCentralWidget(central);
  connect(tabs_, &QTabBar::currentChanged, this, &HostWindow::applyTab);
  tabs_->setCurrentIndex(doc_.number("TILEMODE").value_or(1) == 1 ? 0 : 1);
  buildMenus();
  // F3 reaches the view also while the command line has the focus, as in a CAD program.
  auto* snap = new QAction(this);
  snap->setShortcut(Qt::Key_F3);
  snap->setShortcutContext(Qt::WindowShortcut);
  addAction(snap);
  connect(snap, &QAction::triggered, view_, &DrawingView::toggleSnap);
  connect(view_, &DrawingView::snapToggled, this, [this](bool on) {
    statusBar()->showMessage(on ? QStringLiteral("<Привязка вкл>") : QStringLiteral("<Привязка откл>"), 3000);
  });
  resize(1000, 700);
  updateTitle();
  documentOpened();
}

void HostWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
  file->addAction(QStringLiteral("&Новый"), QKeySequence::New, this, [this] {
    if (confirmDiscard()) replaceDocument(Document(), QString());
  });
  file->addAction(QStringLiteral("&Открыть..."), QKeySequence::Open, this, [this] {
    if (!confirmDiscard()) return;
    const QString name = QFileDialog::getOpenFileName(this, QStringLiteral("Открыть чертёж"), QString(), QStringLiteral("DXF (*.dxf)"));
    if (!name.isEmpty()) openFile(name);
  });
  file->addAction(QStringLiteral("&Сохранить"), QKeySequence::Save, this, [this] { save(false); });
  file->addAction(QStringLiteral("Сохранить &как..."), QKeySequence::SaveAs, this, [this] { save(true); });
  file->addSeparator();
  file->addAction(QStringLiteral("В&ыход"), QKeySequence::Quit, this, &QWidget::close);
  // A designation drawn by Kelvo is one undo group: one undo takes it away whole.
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Правка"));
  edit->addAction(QStringLiteral("&Отменить"), QKeySequence::Undo, this, [this] {
    if (undo_ && undo_->undo(doc_)) drawingChanged();
  });
  edit->addAction(QStringLiteral("&Вернуть"), QKeySequence(Qt::CTRL | Qt::Key_Y), this, [this] {
    if (undo_ && undo_->redo(doc_)) drawingChanged();
  });
  QMenu* view = menuBar()->addMenu(QStringLiteral("&Вид"));
  view->addAction(QStringLiteral("Показать &всё"), this, [this] { view_->zoomExtents(); });
  view->addAction(QStringLiteral("Войти в &видовой экран (чертить в модели с листа)"), this, [this] {
    if (tabs_->currentIndex() == 1) doc_.cvport = 2, statusBar()->showMessage(QStringLiteral("Видовой экран активен: CVPORT 2"));
  });
  view->addAction(QStringLiteral("&Лист (выйти из видового экрана)"), this, [this] {
    if (tabs_->currentIndex() == 1) doc_.cvport = 1, statusBar()->showMessage(QStringLiteral("Лист: CVPORT 1"));
  });
}

void HostWindow::applyTab(int index) {
  doc_.setNumber("TILEMODE", index == 0 ? 1 : 0, 70);
  doc_.cvport = index == 0 ? 2 : 1;
  view_->setPaperSpace(index == 1);
}

std::optional<Point> HostWindow::askPoint(const std::string& prompt, const std::optional<Point>& base) {
  show();
  raise();
  activateWindow();
  // A prompt that begins with a line break starts a line of its own, as the one-line prompt
  // here always does.
  prompt_->setText(fromCp(prompt).remove(QRegularExpression(QStringLiteral("^[\\r\\n]+"))));
  std::optional<Point> answer;
  QEventLoop loop;
  view_->startPicking(base, [&](std::optional<Point> p) {
    answer = p;
    loop.quit();
  });
  const auto typed = connect(input_, &QLineEdit::returnPressed, this, [&] {
    if (const auto p = parsePoint(input_->text())) {
      input_->clear();
      view_->cancelPicking();  // ends the wait; the typed point is the answer
      answer = p;
    } else {
      statusBar()->showMessage(QStringLiteral("Введите точку как x,y или x,y,z"), 3000);
    }
  });
  loop.exec();
  disconnect(typed);
  prompt_->setText(answer ? QStringLiteral("Команда:") : QStringLiteral("*Прервано*"));
  return answer;
}

void HostWindow::drawingChanged() {
  view_->drawingChanged();
  updateTitle();
  const QString error = writeAutosave(doc_, fileName_);
  if (!error.isEmpty()) statusBar()->showMessage(error, 5000);
}

bool HostWindow::mayReplaceOriginal() {
  if (!doc_.convertedFrom || replaceAgreed_) return true;
  const auto answer = askQuestion(this, QString::fromStdString(conversionQuestion(doc_)) +
                                            QStringLiteral("\n\n«Нет» сохранит чертёж в другой файл."),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
  if (answer == QMessageBox::Cancel) return false;
  replaceAgreed_ = answer == QMessageBox::Yes;
  return true;
}

bool HostWindow::save(bool askName) {
  QString name = fileName_;
  if (!askName && !name.isEmpty()) {
    if (!mayReplaceOriginal()) return false;
    askName = !replaceAgreed_ && doc_.convertedFrom;
  }
  if (askName || name.isEmpty())
    name = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить чертёж"), name, QStringLiteral("DXF (*.dxf)"));
  if (name.isEmpty()) return false;
  try {
    saveDxf(doc_, name.toStdString());
  } catch (const DxfError& e) {
    QMessageBox::warning(this, QStringLiteral("Чертёж Kelvo"), QString::fromStdString(e.what()));
    return false;
  }
  // The file now holds what the writer writes: saving over it again replaces nothing older.
  replaceAgreed_ = true;
  fileName_ = name;
  QFile::remove(autosaveName(fileName_));
  updateTitle();
  return true;
}

bool HostWindow::confirmDiscard() {
  if (!doc_.modified) return true;
  const auto answer = askQuestion(this, QStringLiteral("В чертеже есть несохранённые изменения. Сохранить их?"),
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return save(false);
  return answer == QMessageBox::Discard;
}

void HostWindow::openFile(const QString& name) {
  try {
    QString note;
    replaceDocument(openDrawing(name, Recovery::Ask, this, &note), name);
    if (!note.isEmpty()) statusBar()->showMessage(note);
  } catch (const DxfError& e) {
    QMessageBox::warning(this, QStringLiteral("Чертёж Kelvo"), QString::fromStdString(e.what()));
  }
}

void HostWindow::replaceDocument(Document&& doc, const QString& fileName) {
  view_->cancelPicking();
  doc_ = std::move(doc);
  fileName_ = fileName;
  replaceAgreed_ = false;
  tabs_->setCurrentIndex(doc_.number("TILEMODE").value_or(1) == 1 ? 0 : 1);
  documentOpened();
  view_->drawingChanged();
  view_->zoomExtents();
  updateTitle();
}

// The drawing's font settled before anything is measured; what the reader noticed but read
// anyway stays in the status line until something else is said.
void HostWindow::documentOpened() {
  if (undo_) undo_->clear();
  chooseFont(doc_);
  QStringList lines;
  for (const std::string& w : doc_.warnings) lines << QString::fromStdString(w);
  const std::vector<std::string> report = readingReport(doc_);
  for (const std::string& r : report) lines << QString::fromStdString(r).trimmed();
  if (!lines.isEmpty()) statusBar()->showMessage(lines.join(QLatin1Char(' ')));
  // Every repair is shown, not only the status line's share of it; the box does not hold up
  // the window (or an automation client waiting on it).
  if (doc_.repairs.empty()) return;
  QStringList all;
  for (const std::string& r : report) all << QString::fromStdString(r);
  auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Чертёж Kelvo"), all.join(QLatin1Char('\n')), QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void HostWindow::updateTitle() {
  setWindowTitle(QStringLiteral("%1%2 - Чертёж Kelvo")
                     .arg(fileName_.isEmpty() ? QStringLiteral("Чертёж1.dxf") : QFileInfo(fileName_).fileName(),
                          doc_.modified ? QStringLiteral("*") : QString()));
}

void HostWindow::closeEvent(QCloseEvent* e) {
  if (!confirmDiscard()) {
    e->ignore();
    return;
  }
  view_->cancelPicking();
  QFile::remove(autosaveName(fileName_));
  e->accept();
}

}  // namespace kelvo::host
