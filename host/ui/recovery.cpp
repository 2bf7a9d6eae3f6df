#include "host/ui/recovery.h"

#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/ui/question.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

namespace kelvo::host {

namespace {

bool copyIsNewer(const QString& drawing) {
  const QFileInfo copy(autosaveName(drawing)), original(drawing);
  return copy.exists() && (!original.exists() || copy.lastModified() > original.lastModified());
}

QString moveAside(const QString& drawing) {
  const QFileInfo f(drawing);
  const QString stamp = QFileInfo(autosaveName(drawing)).lastModified().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  const QString aside = f.dir().filePath(f.completeBaseName() + QStringLiteral(".autosave-") + stamp + QStringLiteral(".dxf"));
  QFile::remove(aside);
  return QFile::rename(autosaveName(drawing), aside) ? aside : QString();
}

}  // namespace

QString autosaveName(const QString& drawing) {
  if (drawing.isEmpty()) return {};
  const QFileInfo f(drawing);
  return f.dir().filePath(f.completeBaseName() + QStringLiteral(".autosave.dxf"));
}

QString writeAutosave(Document& doc, const QString& drawing) {
  const QString copy = autosaveName(drawing);
  if (copy.isEmpty()) return {};
  const bool modified = doc.modified;
  try {
    saveDxf(doc, copy.toStdString());
  } catch (const DxfError& e) {
    doc.modified = modified;
    return QString::fromStdString(e.what());
  }
  doc.modified = modified;  // the drawing itself is still unsaved
  return {};
}

Document openDrawing(const QString& drawing, Recovery how, QWidget* parent, QString* note) {
  if (copyIsNewer(drawing)) {
    bool take = how == Recovery::Take;
    if (how == Recovery::Ask) {
      const auto answer = askQuestion(
          parent,
          QStringLiteral("В %1 есть работа новее, чем в %2, и она не была сохранена (программа закрылась без сохранения).\n\n"
                         "Открыть эту работу? Сохранение запишет её в чертёж.\n"
                         "«Нет» откроет чертёж как он был сохранён, а копию оставит под другим именем.")
              .arg(QFileInfo(autosaveName(drawing)).fileName(), QFileInfo(drawing).fileName()),
          QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
      take = answer == QMessageBox::Yes;
    }
    if (take) {
      Document doc = loadDxf(autosaveName(drawing).toStdString());
      doc.modified = true;
      if (note) *note = QStringLiteral("Открыта несохранённая работа %1; сохраните, чтобы она осталась в чертеже.").arg(QFileInfo(drawing).fileName());
      return doc;
    }
    const QString aside = moveAside(drawing);
    if (note && !aside.isEmpty()) *note = QStringLiteral("Несохранённая работа оставлена в %1.").arg(QFileInfo(aside).fileName());
  }
  return QFileInfo::exists(drawing) ? loadDxf(drawing.toStdString()) : Document();
}

}  // namespace kelvo::host
