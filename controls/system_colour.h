// The platform's named system colours, taken from the Qt palette that stands in for them.
#pragma once

#include <QColor>
#include <QPalette>

namespace parcelo {

enum class SystemColour {
    BtnFace,       // dialog and button face
    BtnShadow,     // the dark edge of a raised face
    BtnHighlight,  // the light edge of a raised face
    Window,        // the background of text fields and menus
    Menu,
    MenuText,
    GrayText,
    Highlight,
    HighlightText,
};

// The colour the application palette (or `palette`) gives the system colour.
QColor SysColour(SystemColour colour);
QColor SysColour(SystemColour colour, const QPalette& palette);

}  // namespace parcelo
