// The window's size, position and the split between body and list, as the user last left
// them, kept in the program's settings.
#pragma once

namespace parcelo {

class MainDialog;

// Puts the window where it was last closed; a place that no screen shows any more is left
// to the window manager. Nothing stored: the template's size.
void RestoreWindowPlace(MainDialog& dialog);
// Stores the window's present place for the next start.
void StoreWindowPlace(const MainDialog& dialog);

}  // namespace parcelo
