// Qt for parcelo-extract's body output, which lays out and prints without a display.
#pragma once

namespace parcelo {

// Readies Qt for a command: text layout and printing need a GUI application but never a
// display, and Qt's notes about the desktop it runs on have no place in a command's output.
// Call before the application object is made.
void PrepareOffscreenQt();

}  // namespace parcelo
