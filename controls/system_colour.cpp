#include "system_colour.h"

#include <QApplication>

namespace parcelo {

QColor SysColour(SystemColour colour) {
    return SysColour(colour, QApplication::palette());
}

QColor SysColour(SystemColour colour, const QPalette& palette) {
    switch (colour) {
        // A dialog's face is the button face on the platform the window was drawn for; Qt
        // paints dialogs in its Window role.
        case SystemColour::BtnFace:
            return palette.color(QPalette::Active, QPalette::Window);
        case SystemColour::BtnShadow:
            return palette.color(QPalette::Active, QPalette::Dark);
        case SystemColour::BtnHighlight:
            return palette.color(QPalette::Active, QPalette::Light);
        case SystemColour::Window:
            return palette.color(QPalette::Active, QPalette::Base);
        case SystemColour::Menu:
            return palette.color(QPalette::Active, QPalette::Window);
        case SystemColour::MenuText:
            return palette.color(QPalette::Active, QPalette::Text);
        case SystemColour::GrayText:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case SystemColour::Highlight:
            return palette.color(QPalette::Active, QPalette::Highlight);
        case SystemColour::HighlightText:
            return palette.color(QPalette::Active, QPalette::HighlightedText);
    }
    return palette.color(QPalette::Active, QPalette::Window);
}

}  // namespace parcelo
