#include "host/ui/drawing_font.h"

#include "platform/codepage.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>

#include <map>
#include <memory>
#include <mutex>

namespace kelvo::host {

namespace {

TextFont measuredWith(const QString& family) {
  QFont f(family);
  f.setPixelSize(1000);
  auto metrics = std::make_shared<QFontMetricsF>(f);
  const double cap = metrics->capHeight() > 0 ? metrics->capHeight() : 700;
  // Texts are measured on every redraw and bounding-box call: each character once. A large
  // drawing's picture is worked out on two threads, which share the one cache.
  auto cache = std::make_shared<std::map<char32_t, double>>();
  auto guard = std::make_shared<std::mutex>();
  return TextFont(family.toStdString(), [metrics, cap, cache, guard](char32_t c) {
    const std::lock_guard<std::mutex> lock(*guard);
    const auto it = cache->find(c);
    if (it != cache->end()) return it->second;
    const double a = metrics->horizontalAdvance(QString::fromUcs4(&c, 1)) / cap;
    cache->emplace(c, a);
    return a;
  });
}

}  // namespace

void chooseFont(Document& doc) {
  doc.font = TextFont();
  const std::u16string name = cp1251::toUtf16Unescaped(doc.styleFontFile());
  const QString file = QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())).trimmed();
  const QString stem = QFileInfo(file).completeBaseName();
  if (stem.isEmpty() || stem.compare(QStringLiteral("arial"), Qt::CaseInsensitive) == 0 ||
      stem.compare(QStringLiteral("Liberation Sans"), Qt::CaseInsensitive) == 0)
    return;
  // A font file is named by its family without spaces ("DejaVuSans.ttf", "isocpeur.ttf").
  const auto bare = [](QString s) { return s.remove(QLatin1Char(' ')).remove(QStringLiteral("-Regular")); };
  for (const QString& family : QFontDatabase::families())
    if (bare(family).compare(bare(stem), Qt::CaseInsensitive) == 0) {
      doc.font = measuredWith(family);
      return;
    }
  doc.warnings.push_back("Шрифта чертежа " + file.toStdString() +
                         " нет на этой машине: тексты измеряются и рисуются шрифтом Liberation Sans.");
}

}  // namespace kelvo::host
