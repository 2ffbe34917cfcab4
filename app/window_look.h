// The main window's look: its tiled background strip, its five picture buttons and the text
// on them, in a light and a dark set.
#pragma once

namespace parcelo {

class MainDialog;

inline constexpr int kIdbBackground = 148;
inline constexpr int kIdbButton = 149;
inline constexpr int kIdbButtonHover = 150;
// Their twins for a dark desktop.
inline constexpr int kIdbBackgroundDark = 152;
inline constexpr int kIdbButtonDark = 153;
inline constexpr int kIdbButtonHoverDark = 154;
inline constexpr int kIdiMainIcon = 128;
inline constexpr int kIdiPlaceholder = 144;

// Gives `dialog`, whose controls exist, its background and button pictures and the colour of
// the text drawn on them, in the set that suits its palette; a change of palette brings the
// other set when the window's colour has gone from light to dark or back.
void ApplyWindowLook(MainDialog& dialog);

}  // namespace parcelo
