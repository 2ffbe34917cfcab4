// Menu 131, the attachment list's context menu, and toolbar 151 with the images of its
// commands.
#pragma once

#include "controls/bc_menu.h"

namespace parcelo {

inline constexpr int kIdrAttachMenu = 131;
inline constexpr int kIdrMenuImages = 151;

// The template of menu 131: its first popup, "Attach Menu", is the context menu.
MenuTemplate AttachMenuTemplate();
// Toolbar 151: one 16 x 16 image for each command of the context menu.
const ToolbarResource& MenuImagesToolbar();

// Loads menu 131 into `menu`, set up to be drawn flat with the toolbar's images; gives its
// first popup, or nullptr when there is none.
BCMenu* LoadAttachmentMenu(BCMenu& menu);

}  // namespace parcelo
