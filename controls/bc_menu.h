// A popup menu that draws its own items: a light column on the left with each command's
// image (raised over its shadow when selected, faded otherwise), the text beside it, and a
// tinted rectangle for the selected item.
#pragma once

#include <QColor>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace parcelo {

class BCMenu;

// Menu flags, as menu templates and menu items carry them.
inline constexpr unsigned kMfGrayed = 0x0001;
inline constexpr unsigned kMfChecked = 0x0008;
inline constexpr unsigned kMfPopup = 0x0010;
inline constexpr unsigned kMfEnd = 0x0080;
inline constexpr unsigned kMfOwnerDraw = 0x0100;
inline constexpr unsigned kMfSeparator = 0x0800;

// One entry of a menu template: a popup's entries follow it, and kMfEnd marks the last entry
// of each level.
struct MenuTemplateItem {
    unsigned flags;
    int id;  // unused for popups
    const char* text;
};
using MenuTemplate = std::span<const MenuTemplateItem>;

// A toolbar resource: the size of its images, the command of each button (0 for a
// separator) and the bitmap that holds the images side by side.
struct ToolbarResource {
    int version;
    int imageWidth;
    int imageHeight;
    std::span<const int> commands;
    const char* bitmapPath;
};

// A list of images of one size, as the toolbar's bitmap is cut into.
using ImageList = std::vector<QImage>;

struct BCMenuItemData {
    QString text;  // "\t" separates the accelerator text
    int imageIndex = -1;
    int sharedImageOffset = -1;
    int hasOwnImage = -1;
    unsigned menuFlags = 0;
    int commandId = 0;
    QAction* action = nullptr;
    BCMenu* subMenu = nullptr;
};

// Each of red, green and blue moved the fraction `f` (0 < f <= 1) of the way to 255; any
// other `f` leaves the colour as it is.
QColor LightenColour(const QColor& colour, double f);

class BCMenu : public QMenu {
    Q_OBJECT

  public:
    static constexpr int kDrawClassic = 0;
    static constexpr int kDrawFlat = 1;

    // How an item is to be drawn.
    struct ItemState {
        bool selected = false;
        bool grayed = false;
        bool checked = false;
    };

    explicit BCMenu(QWidget* parent = nullptr);
    ~BCMenu() override;

    // Builds the menu from a template; returns 1, or 0 for an empty template.
    int LoadMenu(MenuTemplate menuTemplate);
    // Removes every item and deletes the sub-menus this menu made.
    void DestroyMenu();
    // The menu of the popup at `position`, when there is one.
    BCMenu* GetSubMenu(int position) const;

    // Sets the draw mode of every menu, with and without the XP look.
    static void SetDrawStyle(int mode);
    // The draw mode that applies now.
    static int DrawMode();
    // The desktop's XP look is never active under Qt, which has no Windows theme; the other
    // look is that of Windows after XP.
    static bool IsXPStyleActive() { return false; }
    // Whether images come with a faded and a shadow copy.
    static bool ThreeDImages() { return DrawMode() == kDrawFlat; }

    // The colour of added bitmaps that is transparent.
    void SetImageBackground(const QColor& colour);
    void SetImageSize(int width, int height);
    QSize ImageSize() const { return imageSize_; }

    // Gives every item whose command the toolbar has the toolbar's image for it; returns 1,
    // or 0 when the bitmap cannot be read.
    int LoadToolbarImages(const ToolbarResource& toolbar);
    // Gives the item with `commandId`, in this menu or a sub-menu, image `index` of `images`;
    // false when there is no such item or image.
    bool SetItemImage(int commandId, const ImageList& images, int index);

    void AppendItem(const QString& text, unsigned flags, int id, BCMenu* subMenu = nullptr);
    // Pads the text before each accelerator so that the accelerators line up.
    void AlignAccelerators();

    // The size an item takes.
    QSize MeasureItem(const QString& text, bool separator) const;
    // Draws an owner-drawn item into `rect`.
    void DrawItem(QPainter& painter, const QRect& rect, const BCMenuItemData& item,
                  ItemState state) const;
    // True where the screen has a colour palette, which gets the classic look.
    bool UsesClassicDrawing() const;

    const BCMenuItemData* ItemData(const QAction* action) const;
    // The item with `commandId` in this menu or one of its sub-menus.
    BCMenuItemData* FindCommand(int commandId);
    bool loadedFromTemplate() const { return loadedFromTemplate_; }

    // The images shared by all menus: three for each command (normal, faded, shadow).
    static int SharedImageCount();
    static int SharedImageCommand(int index);
    static QImage SharedImage(int index);
    // The height the platform gives a menu line.
    int SystemMenuHeight() const;
    // The width of a check mark, which the platform adds to each item's measured width.
    int CheckMarkWidth() const;

  private:
    int columnExtra() const;
    QPixmap greyedImage(const QImage& image) const;
    ImageList cutImages(const QImage& bitmap) const;
    void drawFlat(QPainter& painter, const QRect& rect, const BCMenuItemData& item,
                  ItemState state) const;
    void drawClassic(QPainter& painter, const QRect& rect, const BCMenuItemData& item,
                     ItemState state) const;
    static int addToSharedImages(int commandId, const QImage& image);

    std::vector<std::unique_ptr<BCMenuItemData>> items_;
    std::vector<std::unique_ptr<BCMenu>> subMenus_;
    QSize imageSize_{16, 15};
    QColor imageBackground_{192, 192, 192};
    bool imageBackgroundSet_ = false;
    bool loadedFromTemplate_ = false;
};

}  // namespace parcelo
