#include "window_look.h"

#include <QColor>
#include <QEvent>
#include <QLabel>
#include <QPalette>

#include "controls/art_shade.h"
#include "controls/hover_button.h"
#include "dialog_template.h"
#include "main_dialog.h"

namespace parcelo {

namespace {

const char* const kKeeperName = "windowLookKeeper";

struct ArtSet {
    int background;
    int button;
    int buttonHover;
};

// Only `role` is the widget's own; every other colour still comes from the window.
void SetOwnColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette colours;
    colours.setColor(role, colour);
    widget.setPalette(colours);
}

void ShowArt(MainDialog& dialog) {
    const ArtShade shade = ArtShadeFor(dialog.palette());
    const ArtSet art = shade == ArtShade::Dark
                           ? ArtSet{kIdbBackgroundDark, kIdbButtonDark, kIdbButtonHoverDark}
                           : ArtSet{kIdbBackground, kIdbButton, kIdbButtonHover};
    // The palette's text colour would be drawn on art it knows nothing of: a light theme's
    // black on the dark set, a dark theme's white on the light one.
    const QColor text = TextOnArt(shade);

    // The strip is tiled over the whole window and keeps the window whole (no transparent
    // colour); the default placement is tiling.
    dialog.SetBackgroundBitmap(art.background);

    for (int id : {kIdcBrowse, kIdcSave, kIdcPrint, kIdcAbout, kIdcClose}) {
        auto* button = qobject_cast<CHoverButton*>(dialog.control(id));
        if (button == nullptr)
            continue;
        button->SetButtonBitmaps(art.buttonHover, Qt::black, art.button, Qt::black);
        button->SetImageAlignment(CHoverButton::PictureUnderCaption, false);
        button->SizeToImage();
        button->SetBorderDrawing(false, false);
        button->SetTransparentBackground(false);
        // Whoever moves through the window with Tab sees which button Space would press.
        button->SetFocusInFlatMode(true, false);
        // The button takes its caption colours from its palette, now and at every change.
        SetOwnColour(*button, QPalette::ButtonText, text);
    }
    for (int id : {kIdcFileNameLabel, kIdcAttachmentLabel, kIdcBodyLabel}) {
        if (QWidget* label = dialog.control(id))
            SetOwnColour(*label, QPalette::WindowText, text);
    }
    if (QLabel* status = dialog.statusText())
        SetOwnColour(*status, QPalette::WindowText, text);
}

// Brings the art that suits the window's palette whenever that palette changes, whether the
// desktop changed the application's palette or someone set the window's own.
class LookKeeper : public QObject {
  public:
    explicit LookKeeper(MainDialog& dialog) : QObject(&dialog), dialog_(dialog) {
        setObjectName(QString::fromLatin1(kKeeperName));
        dialog.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The window's palette is already the new one when the event comes; its children
        // take theirs after it, and keep the colours given to them here.
        if (watched == &dialog_ && event->type() == QEvent::PaletteChange)
            ShowArt(dialog_);
        return false;
    }

  private:
    MainDialog& dialog_;
};

}  // namespace

void ApplyWindowLook(MainDialog& dialog) {
    ShowArt(dialog);
    if (dialog.findChild<QObject*>(QString::fromLatin1(kKeeperName), Qt::FindDirectChildrenOnly) ==
        nullptr)
        new LookKeeper(dialog);
}

}  // namespace parcelo
