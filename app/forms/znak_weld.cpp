#include "app/forms/znak_weld.h"

#include "app/forms/bitmap_list.h"
#include "app/forms/hints.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace kelvo {

namespace {

// Design positions of the main window that place the picker (see the main window's layout).
constexpr int kMidleTop = 37;
constexpr QRect kSquare{90, 12, 44, 56};
constexpr int kImgLeft = 602, kImgHeight = 25;

const QString kBendHints[] = {QStringLiteral("Шов по замкнутой линии"),
                              QStringLiteral("Шов при монтаже изделия"),
                              QStringLiteral("Шов по замкнутой линии при монтаже изделия")};
const QString kShelfHints[] = {QStringLiteral("Усиление шва снять"),
                               QStringLiteral("Наплывы и неровности обработать"),
                               QStringLiteral("Шов по не замкнутой линии")};
const QString kShelfHintMore =
    QStringLiteral("Ctrl+щелчок: добавить знак к выбранным или убрать, отпустить Ctrl: готово");

}  // namespace

TfmZnak::TfmZnak(QWidget* owner, std::uint8_t mode, Side side, ShelfSigns signs)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), mode_(mode), signs_(signs) {
  setObjectName(QStringLiteral("fmZnak"));
  setFixedSize(185, 50);
  auto* panel = new TPanel(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(0, 0, 185, 50);
  const QRect places[] = {{5, 5, 41, 41}, {50, 5, 40, 41}, {95, 5, 40, 41}, {140, 5, 40, 41}};
  for (int i = 0; i < 4; ++i) {
    auto* b = new TSpeedButton(panel, i);
    b->setObjectName(QStringLiteral("sbZnak%1").arg(i + 1));
    b->setGeometry(places[i]);
    connect(b, &QAbstractButton::clicked, this, [this, i] { sbZnakClick(i); });
    buttons_[static_cast<std::size_t>(i)] = b;
  }
  buttons_[0]->setToolTip(QStringLiteral("Очистить поле"));
  FormCreate(owner, side);
  FormActivate();
}

QPoint TfmZnak::placement(QPoint mainTopLeft, std::uint8_t mode, Side side) {
  if (mode == 1)
    return mainTopLeft + QPoint(kSquare.left() + kSquare.width() + 5,
                                kMidleTop + kSquare.top() + kSquare.height() + 20);
  const int imgTop = side == Side::Back ? 53 : 12;
  return mainTopLeft + QPoint(kImgLeft - 148, kMidleTop + imgTop + kImgHeight + 25);
}

void TfmZnak::FormCreate(QWidget* owner, Side side) {
  if (owner) move(placement(owner->frameGeometry().topLeft(), mode_, side));
}

void TfmZnak::FormActivate() {
  const QString* hints = mode_ == 1 ? kBendHints : kShelfHints;
  for (int i = 1; i <= 3; ++i) {
    buttons_[static_cast<std::size_t>(i)]->setImage(bmLst(mode_ + i - 1));
    buttons_[static_cast<std::size_t>(i)]->setToolTip(hints[i - 1]);
    buttons_[static_cast<std::size_t>(i)]->setHintMore(mode_ == 1 ? QString() : kShelfHintMore);
  }
  showSet();
}

void TfmZnak::showSet() {
  for (int i = 1; i <= 3; ++i) {
    TSpeedButton* b = buttons_[static_cast<std::size_t>(i)];
    // The designation's own sign is shown pressed: the bend's one sign, or the shelf's set.
    b->setCheckable(true);
    b->setChecked(signs_.has(static_cast<std::uint8_t>(i)));
  }
}

void TfmZnak::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Control && toggled_) {
    chosen_ = choseSet_ = true;
    result_ = signs_.first();
    accept();
    return;
  }
  QDialog::keyReleaseEvent(e);
}

void TfmZnak::sbZnakClick(int tag) {
  if (mode_ != 1 && tag >= 1 && tag <= 3 && (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)) {
    signs_.toggle(static_cast<std::uint8_t>(tag));
    toggled_ = true;
    showSet();
    return;
  }
  chosen_ = true;
  result_ = static_cast<std::uint8_t>(tag & 0xFF);
  accept();
}

}  // namespace kelvo
