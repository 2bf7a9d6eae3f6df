#include "app/forms/about_box.h"

#include "app/forms/glyphs.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

namespace {
constexpr QSize kFullSize{380, 300};
}

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("О программе"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* icon = new QLabel(this);
  icon->setPixmap(applicationIcon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignCenter);
  auto* name = new QLabel(QStringLiteral("Kelvo"), this);
  name->setObjectName(QStringLiteral("lbName"));
  QFont big = name->font();
  big.setPointSize(34);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  auto* text = new QLabel(QStringLiteral("Обозначение швов сварных соединений ГОСТ 2.312-72\n\n"
                                         "Версия: 1.2\n\n"
                                         "Разработчик: группа разработки Kelvo\n"
                                         "kelvo@users.noreply.example"),
                          this);
  text->setObjectName(QStringLiteral("lbText"));
  text->setAlignment(Qt::AlignCenter);
  text->setWordWrap(true);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("bbOk"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(icon);
  layout->addWidget(name);
  layout->addWidget(text, 1);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  setMinimumSize(40, 30);
  resize(kFullSize);
}

void AboutBox::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Grow from the centre to the full size.
  const QRect end(geometry().center() - QPoint(kFullSize.width() / 2, kFullSize.height() / 2),
                  kFullSize);
  auto* anim = new QPropertyAnimation(this, "geometry", this);
  anim->setDuration(250);
  anim->setStartValue(QRect(end.center(), QSize(40, 30)));
  anim->setEndValue(end);
  anim->setEasingCurve(QEasingCurve::OutCubic);
  anim->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace kelvo
