#include "attachment_menu.h"

#include "dialog_template.h"

namespace parcelo {

namespace {

constexpr MenuTemplateItem kAttachMenu[] = {
    {kMfPopup | kMfEnd, 0, "Attach Menu"},
    {0, kIdmOpen, kOpenMenuText},
    {kMfEnd, kIdmSaveAs, kSaveAsMenuText},
};

constexpr int kMenuImageCommands[] = {kIdmOpen, kIdmSaveAs};

const ToolbarResource kMenuImages = {1, 16, 16, kMenuImageCommands,
                                     ":/parcelo/toolbar-151.png"};

}  // namespace

MenuTemplate AttachMenuTemplate() {
    return kAttachMenu;
}

const ToolbarResource& MenuImagesToolbar() {
    return kMenuImages;
}

BCMenu* LoadAttachmentMenu(BCMenu& menu) {
    if (menu.LoadMenu(AttachMenuTemplate()) == 0)
        return nullptr;
    BCMenu::SetDrawStyle(BCMenu::kDrawFlat);
    menu.SetImageBackground(QColor(255, 0, 255));
    menu.SetImageSize(16, 16);
    // Without its images the menu still works, with an empty image column.
    menu.LoadToolbarImages(MenuImagesToolbar());
    return menu.GetSubMenu(0);
}

}  // namespace parcelo
