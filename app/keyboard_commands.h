// The window's keys beyond Tab and Esc: Enter where it means more than closing the window, the
// shortcuts people expect of a document window, mnemonics, and the context menu from the
// keyboard.
#pragma once

class QListWidget;
class QPoint;

namespace parcelo {

class MainDialog;

// Sets them up on `dialog`; they live as long as it does. Call once its controls exist.
void InstallKeyboardCommands(MainDialog& dialog);

// Where a context menu asked for from the keyboard opens, in global coordinates: at the
// selected item, which is scrolled into view first.
QPoint KeyboardMenuPosition(QListWidget& list);

}  // namespace parcelo
