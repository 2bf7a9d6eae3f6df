// What the three catalogue pickers share: their size kept in the settings file, the button bar
// with "  Закончить" and "  Ok", hints following the main window, and the file-error texts.
#pragma once

#include "app/settings.h"

#include <QDialog>
#include <QPushButton>

#include <string>

namespace kelvo {

// A list picker's frame: the form's font (bold, 13 pixels), the caption band on top and the
// band the list lies in; the button bar of addButtonBar goes at the bottom.
struct ListFrame {
  QWidget* caption;  // Panel3
  QWidget* body;     // Panel4
};
ListFrame addListFrame(QDialog* picker, const char* objectName, const QString& title, const QString& caption);
// Lays the three bands out over the picker's client area (on every resize).
void layOutListFrame(QDialog* picker, const ListFrame& frame, QWidget* buttonBar);

// Reads the picker's outer size from its settings section now, centres it on the screen when
// shown, and writes the outer size back when the picker closes (accepted, rejected or closed by
// its close box).
void keepSizeInSettings(QDialog* picker, Picker which);

struct ButtonBar {
  QWidget* panel;
  QPushButton* bbClose;
  QPushButton* bbOk;
};
// The bottom bar; `closeLeft` and `okLeft` are the buttons' design positions. "  Ok" is the
// default button (Enter); Esc clicks "  Закончить".
ButtonBar addButtonBar(QDialog* picker, int closeLeft, int okLeft, const QString& closeHint,
                       const QString& okHint);

// Hints on when the main window (the picker's owner chain) shows them.
void followOwnerHints(QWidget* picker, QWidget* owner);

// The selected row or cell shows as selected also while the list does not have the focus:
// Windows draws an unfocused selection in a grey that a white grid hides, and the user would
// not see which method the picker took from the designation.
void keepSelectionShown(QWidget* list);

// "Модуль <module> (<procedure>)" + ... texts, Windows-1251.
std::string fileMessage(const char* moduleProcedure, const char* what, const std::string& file,
                        const char* tail);

}  // namespace kelvo
