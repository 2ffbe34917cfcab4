#include "window_look.h"

#include <QColor>

#include "controls/hover_button.h"
#include "dialog_template.h"
#include "main_dialog.h"

namespace parcelo {

void ApplyWindowLook(MainDialog& dialog) {
    // The strip is tiled over the whole window and keeps the window whole (no transparent
    // colour); the default placement is tiling.
    dialog.SetBackgroundBitmap(kIdbBackground);

    for (int id : {kIdcBrowse, kIdcSave, kIdcPrint, kIdcAbout, kIdcClose}) {
        auto* button = qobject_cast<CHoverButton*>(dialog.control(id));
        if (button == nullptr)
            continue;
        button->SetButtonBitmaps(kIdbButtonHover, Qt::black, kIdbButton, Qt::black);
        button->SetImageAlignment(CHoverButton::PictureUnderCaption, false);
        button->SizeToImage();
        button->SetBorderDrawing(false, false);
        button->SetTransparentBackground(false);
        // Whoever moves through the window with Tab sees which button Space would press.
        button->SetFocusInFlatMode(true, false);
    }
}

}  // namespace parcelo
