// The window's own menu (the system menu): where the platform gives windows one, the About
// box is reachable from it as well as from the About button.
#pragma once

#include <functional>

class QWidget;

namespace parcelo {

// The command id of "&About..." in the window menu.
inline constexpr int kIdmAboutBox = 0x0010;

// Appends a separator and "&About..." to `window`'s own menu, and runs `about` when it is
// chosen. Returns false where the platform has no such menu (X11 and Wayland desktops draw
// the window menu themselves and take no entries).
bool AppendAboutToWindowMenu(QWidget* window, std::function<void()> about);

}  // namespace parcelo
