// The main window's look: its tiled background strip and its five picture buttons.
#pragma once

namespace parcelo {

class MainDialog;

inline constexpr int kIdbBackground = 148;
inline constexpr int kIdbButton = 149;
inline constexpr int kIdbButtonHover = 150;
inline constexpr int kIdiMainIcon = 128;
inline constexpr int kIdiPlaceholder = 144;

// Gives `dialog`, whose controls exist, its background and button pictures.
void ApplyWindowLook(MainDialog& dialog);

}  // namespace parcelo
