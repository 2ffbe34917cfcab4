// The owner-drawn menu: loading a template, accelerators, item sizes, the shared images
// and what an item looks like in each state.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "attachment_menu.h"
#include "controls/bc_menu.h"
#include "controls/resource_bitmap.h"
#include "dialog_template.h"

// The resources of a static library are registered by hand, outside any namespace.
static void RegisterResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(parcelo);
        return true;
    }();
    (void)registered;
}

namespace parcelo::testing {
namespace {

constexpr const char* kMenuImages = ":/parcelo/toolbar-151.png";

QColor Face() {
    return LightenColour(QApplication::palette().color(QPalette::Window), 0.25);
}
QColor Base() {
    return QApplication::palette().color(QPalette::Base).toRgb();
}
QColor Highlight() {
    return QApplication::palette().color(QPalette::Highlight).toRgb();
}
QColor Pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).toRgb();
}
QColor Opaque(const QColor& colour) {
    return QColor(colour.red(), colour.green(), colour.blue());
}

class BCMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterResources();
        BCMenu::SetDrawStyle(BCMenu::kDrawFlat);
    }
    void TearDown() override { BCMenu::SetDrawStyle(BCMenu::kDrawFlat); }

    // The "Open" image as the toolbar's bitmap holds it, magenta already transparent.
    static QImage OpenImage() {
        return LoadResourceBitmap(QString::fromLatin1(kMenuImages), 1.0)
            .copy(0, 0, 16, 16)
            .convertToFormat(QImage::Format_ARGB32);
    }
    static bool IsImage(const QImage& image, int x, int y) {
        return image.rect().contains(x, y) && Opaque(image.pixelColor(x, y)) != QColor(255, 0, 255);
    }
};

TEST_F(BCMenuTest, LoadsATemplateWithOnlyThePopupContentsOwnerDrawn) {
    BCMenu menu;
    ASSERT_EQ(menu.LoadMenu(AttachMenuTemplate()), 1);
    EXPECT_TRUE(menu.loadedFromTemplate());
    ASSERT_EQ(menu.actions().size(), 1);
    const BCMenuItemData* top = menu.ItemData(menu.actions()[0]);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text, "Attach Menu");
    EXPECT_EQ(top->menuFlags & kMfOwnerDraw, 0u);

    BCMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->title(), "Attach Menu");
    EXPECT_EQ(menu.GetSubMenu(1), nullptr);
    ASSERT_EQ(popup->actions().size(), 2);
    const int ids[] = {kIdmOpen, kIdmSaveAs};
    const char* texts[] = {"Open", "Save as..."};
    for (int i = 0; i < 2; ++i) {
        QAction* action = popup->actions()[i];
        EXPECT_EQ(action->text(), texts[i]);
        EXPECT_EQ(action->data().toInt(), ids[i]);
        const BCMenuItemData* item = popup->ItemData(action);
        ASSERT_NE(item, nullptr);
        EXPECT_NE(item->menuFlags & kMfOwnerDraw, 0u);
        EXPECT_EQ(item->commandId, ids[i]);
        EXPECT_EQ(menu.FindCommand(ids[i]), item);  // found through the popup
    }

    BCMenu empty;
    EXPECT_EQ(empty.LoadMenu({}), 0);
    EXPECT_FALSE(empty.loadedFromTemplate());
}

TEST_F(BCMenuTest, EndMarksCloseEachLevelOfANestedTemplate) {
    static constexpr MenuTemplateItem nested[] = {
        {kMfPopup, 0, "File"},
        {0, 1, "New"},
        {kMfSeparator, 0, ""},
        {kMfPopup | kMfEnd, 0, "Recent"},
        {kMfEnd, 2, "a.dat"},
        {kMfPopup | kMfEnd, 0, "Edit"},
        {kMfGrayed | kMfEnd, 3, "Copy"},
        {0, 4, "never read: the template has ended"},
    };
    BCMenu menu;
    ASSERT_EQ(menu.LoadMenu(nested), 1);
    ASSERT_EQ(menu.actions().size(), 2);
    BCMenu* file = menu.GetSubMenu(0);
    BCMenu* edit = menu.GetSubMenu(1);
    ASSERT_NE(file, nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(file->actions().size(), 3);
    EXPECT_TRUE(file->actions()[1]->isSeparator());
    BCMenu* recent = file->GetSubMenu(2);
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions()[0]->data().toInt(), 2);
    ASSERT_EQ(edit->actions().size(), 1);
    EXPECT_FALSE(edit->actions()[0]->isEnabled());
    EXPECT_EQ(menu.FindCommand(4), nullptr);

    menu.DestroyMenu();
    EXPECT_TRUE(menu.actions().isEmpty());
    EXPECT_EQ(menu.FindCommand(1), nullptr);
}

TEST_F(BCMenuTest, AcceleratorsLineUpBehindTheWidestText) {
    BCMenu menu;
    menu.AppendItem(QStringLiteral("Open\tCtrl+O"), 0, 1);
    menu.AppendItem(QStringLiteral("Save everything\tCtrl+S"), 0, 2);
    menu.AppendItem(QStringLiteral("Quit"), 0, 3);
    menu.AlignAccelerators();
    const QFontMetrics metrics(menu.font());
    const int widest = metrics.horizontalAdvance(QStringLiteral("Save everything "));
    for (QAction* action : menu.actions().mid(0, 2)) {
        const QString before = action->text().section(u'\t', 0, 0);
        EXPECT_GE(metrics.horizontalAdvance(before), widest) << before.toStdString();
        EXPECT_LT(metrics.horizontalAdvance(before.chopped(1)), widest) << before.toStdString();
        EXPECT_EQ(menu.ItemData(action)->text, action->text());
    }
    EXPECT_TRUE(menu.actions()[0]->text().startsWith("Open   "));
    EXPECT_TRUE(menu.actions()[0]->text().endsWith("\tCtrl+O"));
    EXPECT_EQ(menu.actions()[2]->text(), "Quit");
}

TEST_F(BCMenuTest, ItemsAreMeasuredFromTheirTextAndTheImageSize) {
    BCMenu menu;
    BCMenu* popup = LoadAttachmentMenu(menu);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->ImageSize(), QSize(16, 16));
    const QFontMetrics metrics(popup->font());
    const int height = std::max(popup->SystemMenuHeight(), 23);
    EXPECT_EQ(popup->MeasureItem("Save as...", false),
              QSize(metrics.horizontalAdvance("Save as...") + 31, height));
    EXPECT_EQ(popup->MeasureItem(QString(), true),
              QSize(0, std::max(popup->SystemMenuHeight() / 2, 11)));

    // The menu lays its items out at those sizes, each as wide as the widest, with the
    // width of a check mark added as the platform adds it.
    EXPECT_GT(popup->CheckMarkWidth(), 1);
    const int widest =
        std::max(metrics.horizontalAdvance("Open"), metrics.horizontalAdvance("Save as...")) + 31 +
        popup->CheckMarkWidth() - 1;
    for (QAction* action : popup->actions())
        EXPECT_EQ(popup->actionGeometry(action).size(), QSize(widest, height));

    // Classic mode: two image widths and one pixel beside the text, a narrower column.
    BCMenu::SetDrawStyle(BCMenu::kDrawClassic);
    EXPECT_EQ(popup->MeasureItem("Open", false), QSize(metrics.horizontalAdvance("Open") + 33,
                                                       std::max(popup->SystemMenuHeight(), 20)));
}

TEST_F(BCMenuTest, ToolbarImagesAreSharedAndReplacedWhenTheMenuOpensAgain) {
    BCMenu first;
    BCMenu* popup = LoadAttachmentMenu(first);
    ASSERT_NE(popup, nullptr);
    const int count = BCMenu::SharedImageCount();
    const int openOffset = first.FindCommand(kIdmOpen)->sharedImageOffset;
    const int saveOffset = first.FindCommand(kIdmSaveAs)->sharedImageOffset;
    ASSERT_GE(openOffset, 0);
    ASSERT_GE(saveOffset, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(BCMenu::SharedImageCommand(openOffset + i), kIdmOpen);
        EXPECT_EQ(BCMenu::SharedImageCommand(saveOffset + i), kIdmSaveAs);
    }
    const QImage open = BCMenu::SharedImage(openOffset);
    EXPECT_EQ(open.size(), QSize(16, 16));
    // Magenta has become transparent; the faded copy is the image lightened by 0.3, the
    // shadow one flat colour.
    const QImage source = OpenImage();
    const QImage faded = BCMenu::SharedImage(openOffset + 1);
    const QImage shadow = BCMenu::SharedImage(openOffset + 2);
    const QColor shadowColour = LightenColour(QApplication::palette().color(QPalette::Dark), 0.49);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (!IsImage(source, x, y)) {
                EXPECT_EQ(qAlpha(open.pixel(x, y)), 0) << x << "," << y;
                continue;
            }
            EXPECT_EQ(Opaque(open.pixelColor(x, y)), Opaque(source.pixelColor(x, y)));
            EXPECT_EQ(Opaque(faded.pixelColor(x, y)), LightenColour(source.pixelColor(x, y), 0.3));
            EXPECT_EQ(Opaque(shadow.pixelColor(x, y)), shadowColour);
        }
    }

    BCMenu second;
    LoadAttachmentMenu(second);
    EXPECT_EQ(BCMenu::SharedImageCount(), count);
    EXPECT_EQ(second.FindCommand(kIdmOpen)->sharedImageOffset, openOffset);
    EXPECT_EQ(second.FindCommand(kIdmSaveAs)->sharedImageOffset, saveOffset);
}

TEST_F(BCMenuTest, AMissingToolbarBitmapLeavesTheItemsWithoutImages) {
    static constexpr int commands[] = {kIdmOpen, kIdmSaveAs};
    const ToolbarResource missing = {1, 16, 16, commands, ":/parcelo/none.png"};
    BCMenu menu;
    menu.LoadMenu(AttachMenuTemplate());
    EXPECT_EQ(menu.LoadToolbarImages(missing), 0);
    EXPECT_EQ(menu.FindCommand(kIdmOpen)->sharedImageOffset, -1);
    // A command the menu does not have is passed over.
    static constexpr int other[] = {0, 40000};
    const ToolbarResource unrelated = {1, 16, 16, other, kMenuImages};
    EXPECT_EQ(menu.LoadToolbarImages(unrelated), 1);
    EXPECT_EQ(menu.FindCommand(40000), nullptr);
    EXPECT_EQ(menu.FindCommand(kIdmOpen)->sharedImageOffset, -1);
}

TEST_F(BCMenuTest, TheImageColumnShowsTheFadedImageAndTheSelectionRaisesIt) {
    BCMenu menu;
    BCMenu* popup = LoadAttachmentMenu(menu);
    ASSERT_NE(popup, nullptr);
    popup->resize(popup->sizeHint());
    QAction* open = popup->actions()[0];
    const QRect item = popup->actionGeometry(open);
    const int column = 16 + 7;
    const int dx = 4;  // (23 - 16) / 2, rounded up
    const int dy = (item.height() - 16 + 1) / 2;
    const QImage source = OpenImage();

    const QImage idle = popup->grab().toImage();
    EXPECT_EQ(Pixel(idle, item.left() + 1, item.top() + 1), Face());
    EXPECT_EQ(Pixel(idle, item.left() + column - 1, item.bottom()), Face());
    EXPECT_EQ(Pixel(idle, item.left() + column + 2, item.top() + 2), Base());
    int checked = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor shown = Pixel(idle, item.left() + dx + x, item.top() + dy + y);
            if (IsImage(source, x, y)) {
                EXPECT_EQ(shown, LightenColour(source.pixelColor(x, y), 0.3)) << x << "," << y;
                ++checked;
            } else {
                EXPECT_EQ(shown, Face()) << x << "," << y;
            }
        }
    }
    EXPECT_GT(checked, 50);

    popup->setActiveAction(open);
    const QImage selected = popup->grab().toImage();
    const QColor fill = LightenColour(Highlight(), 0.85);
    EXPECT_EQ(Pixel(selected, item.left(), item.top()), Highlight());
    EXPECT_EQ(Pixel(selected, item.right(), item.bottom()), Highlight());
    EXPECT_EQ(Pixel(selected, item.left() + 1, item.top() + 1), fill);
    EXPECT_EQ(Pixel(selected, item.right() - 1, item.top() + 1), fill);
    const QColor shadowColour = LightenColour(QApplication::palette().color(QPalette::Dark), 0.49);
    int shadows = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (!IsImage(source, x, y))
                continue;
            // The image one pixel up and left, its shadow one down and right.
            EXPECT_EQ(Pixel(selected, item.left() + dx - 1 + x, item.top() + dy - 1 + y),
                      Opaque(source.pixelColor(x, y)));
            if (!IsImage(source, x + 2, y + 2)) {
                EXPECT_EQ(Pixel(selected, item.left() + dx + 1 + x, item.top() + dy + 1 + y),
                          shadowColour);
                ++shadows;
            }
        }
    }
    EXPECT_GT(shadows, 10);
    // The second item stays as it was.
    const QRect save = popup->actionGeometry(popup->actions()[1]);
    EXPECT_EQ(Pixel(selected, save.left() + 1, save.top() + 1), Face());
}

TEST_F(BCMenuTest, TextSitsBesideTheColumnAndTheAcceleratorAnImageWidthFromTheRight) {
    BCMenu menu;
    menu.SetImageSize(16, 16);
    BCMenuItemData item;
    item.text = QStringLiteral("Open\tCtrl+O");
    item.menuFlags = kMfOwnerDraw;
    QImage canvas(240, 23, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        menu.DrawItem(painter, canvas.rect(), item, {});
    }
    const QColor text = QApplication::palette().color(QPalette::Text);
    int leftmost = canvas.width();
    int rightmost = -1;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QColor pixel = Pixel(canvas, x, y);
            // Ink: nearer the text colour than the background.
            if (std::abs(pixel.lightness() - text.lightness()) <
                std::abs(pixel.lightness() - Base().lightness())) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_GE(leftmost, 23 + 8);
    EXPECT_LE(leftmost, 23 + 8 + 2);
    EXPECT_LT(rightmost, 240 - 16);
    EXPECT_GE(rightmost, 240 - 16 - 3);
}

TEST_F(BCMenuTest, ASeparatorIsAnEtchedLineBesideTheColumn) {
    BCMenu menu;
    menu.SetImageSize(16, 16);
    BCMenuItemData item;
    item.menuFlags = kMfOwnerDraw | kMfSeparator;
    QImage canvas(120, 11, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        menu.DrawItem(painter, canvas.rect(), item, {});
    }
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(Pixel(canvas, 2, 5), Face());
    EXPECT_EQ(Pixel(canvas, 29, 5), Base());
    EXPECT_EQ(Pixel(canvas, 30, 5), Opaque(palette.color(QPalette::Dark)));
    EXPECT_EQ(Pixel(canvas, 119, 6), Opaque(palette.color(QPalette::Light)));
    EXPECT_EQ(Pixel(canvas, 60, 2), Base());
}

// An item drawn into a canvas of its own, with the "Open" image.
class DrawnItem : public BCMenuTest {
  protected:
    void SetUp() override {
        BCMenuTest::SetUp();
        popup = LoadAttachmentMenu(menu);
        ASSERT_NE(popup, nullptr);
        item = *popup->ItemData(popup->actions()[0]);
    }
    QImage draw(BCMenu::ItemState state) {
        QImage canvas(120, 23, QImage::Format_ARGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        popup->DrawItem(painter, canvas.rect(), item, state);
        return canvas;
    }

    BCMenu menu;
    BCMenu* popup = nullptr;
    BCMenuItemData item;
};

TEST_F(DrawnItem, ADisabledItemNeverShowsAsSelected) {
    BCMenu::ItemState state;
    state.selected = true;
    state.grayed = true;
    const QImage canvas = draw(state);
    EXPECT_EQ(Pixel(canvas, 60, 1), Base());
    EXPECT_EQ(Pixel(canvas, 60, 0), Base());
    EXPECT_EQ(Pixel(canvas, 1, 1), Face());
}

TEST_F(DrawnItem, ACheckedItemFramesItsCellInTheHighlight) {
    BCMenu::ItemState state;
    state.checked = true;
    const QImage canvas = draw(state);
    EXPECT_EQ(Pixel(canvas, 1, 1), Highlight());
    EXPECT_EQ(Pixel(canvas, 21, 21), Highlight());
    EXPECT_EQ(Pixel(canvas, 2, 2), LightenColour(Highlight(), 0.85));
    // The plain image, one pixel up and left.
    const QImage source = OpenImage();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (IsImage(source, x, y)) {
                EXPECT_EQ(Pixel(canvas, 3 + x, 3 + y), Opaque(source.pixelColor(x, y)));
            }
        }
    }
}

TEST_F(DrawnItem, ClassicDrawingHighlightsBesideTheImage) {
    BCMenu::SetDrawStyle(BCMenu::kDrawClassic);
    EXPECT_TRUE(popup->UsesClassicDrawing());
    BCMenu::ItemState state;
    state.selected = true;
    const QImage canvas = draw(state);
    const QColor menuColour = QApplication::palette().color(QPalette::Window).toRgb();
    EXPECT_EQ(Pixel(canvas, 16 + 4, 1), menuColour);
    EXPECT_EQ(Pixel(canvas, 16 + 5, 1), Highlight());
    EXPECT_EQ(Pixel(canvas, 119, 22), Highlight());
    // The image sits two pixels into a raised frame.
    const int dy = (23 - 16 - 4) / 2;
    EXPECT_EQ(Pixel(canvas, 0, dy), Opaque(QApplication::palette().color(QPalette::Light)));
    const QImage source = OpenImage();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (IsImage(source, x, y)) {
                EXPECT_EQ(Pixel(canvas, 2 + x, dy + 2 + y), Opaque(source.pixelColor(x, y)));
            }
        }
    }
}

TEST(LightenColour, MovesEachChannelTowardsWhite) {
    EXPECT_EQ(LightenColour(QColor(0, 0, 238), 0.85), QColor(216, 216, 252));
    EXPECT_EQ(LightenColour(QColor(100, 50, 0), 1.0), QColor(255, 255, 255));
    EXPECT_EQ(LightenColour(QColor(100, 50, 0), 0.0), QColor(100, 50, 0));
    EXPECT_EQ(LightenColour(QColor(100, 50, 0), 1.5), QColor(100, 50, 0));
    EXPECT_EQ(LightenColour(QColor(100, 50, 0), -0.2), QColor(100, 50, 0));
}

// The window's context menu is a BCMenu with both images.
class MenuWatchingDialog : public TestDialog {
  public:
    bool wasBCMenu = false;
    int imagedItems = 0;

  protected:
    QAction* ExecMenu(QMenu& menu, const QPoint& position) override {
        if (auto* bc = qobject_cast<BCMenu*>(&menu)) {
            wasBCMenu = true;
            imagedItems = 0;
            for (QAction* action : bc->actions()) {
                const BCMenuItemData* item = bc->ItemData(action);
                if (item != nullptr && item->sharedImageOffset >= 0 &&
                    BCMenu::SharedImageCommand(item->sharedImageOffset) == item->commandId)
                    ++imagedItems;
            }
        }
        return TestDialog::ExecMenu(menu, position);
    }
};

TEST_F(BCMenuTest, TheAttachmentListsContextMenuIsDrawnWithItsImages) {
    ScratchDir in;
    MenuWatchingDialog dialog;
    dialog.fileName = WriteTnef(in, "winmail.dat", NoteBytes("", {{"a.txt", "a"}}));
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    dialog.attachmentList()->setCurrentRow(0);
    dialog.ShowAttachmentMenu();
    EXPECT_EQ(dialog.menusShown, 1);
    EXPECT_TRUE(dialog.wasBCMenu);
    // Menu 131's two commands with the toolbar's images, then "Save All..." without one.
    EXPECT_EQ(dialog.imagedItems, 2);
    EXPECT_EQ(dialog.menuTexts, QStringList({"Open", "Save as...", "Save All..."}));
}

}  // namespace
}  // namespace parcelo::testing
