// The autosave copy beside a drawing ("part.dxf" -> "part.autosave.dxf"): written after every
// change, kept when the host dies, and offered back the next time the drawing is opened, as CAD
// programs do with their own copies.
#pragma once

#include "host/model/document.h"

#include <QString>

class QWidget;

namespace kelvo::host {

QString autosaveName(const QString& drawing);

// Writes the drawing to its copy, leaving it unsaved as it was; the error, empty when written.
QString writeAutosave(Document& doc, const QString& drawing);

enum class Recovery {
  Ask,    // a window: the user chooses
  Take,   // headless, told to recover: the newer copy is read
  Aside,  // headless, not told to: the drawing is read and the copy moved aside
};

// Reads the drawing, or its copy where the copy is newer and is taken: the copy's work then
// stands unsaved, to be saved as the drawing, and the copy stays until it is. A copy the user
// declines is moved aside so that the next change cannot overwrite it; `note` says where.
// Throws DxfError as loadDxf does.
Document openDrawing(const QString& drawing, Recovery how, QWidget* parent, QString* note);

}  // namespace kelvo::host
