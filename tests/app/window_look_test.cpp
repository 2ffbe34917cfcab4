// The window's look: the background strip tiled under the controls, the five picture buttons
// and the labels over the background, and the art behind them at both scales.
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/resource_bitmap.h"
#include "controls/transparent_static.h"
#include "dialog_template.h"
#include "window_look.h"

namespace parcelo::testing {
namespace {

constexpr int kButtons[] = {kIdcBrowse, kIdcSave, kIdcPrint, kIdcAbout, kIdcClose};

QImage Shot(QWidget& widget, const QRect& area = QRect(QPoint(0, 0), QSize(-1, -1))) {
    QCoreApplication::processEvents();
    QImage image = widget.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & RGB_MASK;
}

TEST(WindowArt, EveryBitmapAndIconIsThereAtItsSizeAndTwiceIt) {
    struct Case {
        int id;
        QSize size;
    };
    for (const Case& c : {Case{kIdbBackground, QSize(6, 411)}, Case{kIdbButton, QSize(75, 21)},
                          Case{kIdbButtonHover, QSize(75, 21)}}) {
        TestDialog dialog;  // registers the resources
        EXPECT_EQ(ResourceBitmap(c.id).size(), c.size) << c.id;
        const QImage doubled = ResourceBitmap2x(c.id);
        EXPECT_EQ(doubled.size(), 2 * c.size) << c.id;
        EXPECT_EQ(doubled.devicePixelRatio(), 2.0) << c.id;
    }
    // The buttons come in at most 256 colours, their corners in black, which is left out.
    const QImage button = ResourceBitmap(kIdbButton);
    EXPECT_EQ(button.format(), QImage::Format_Indexed8);
    EXPECT_EQ(button.pixel(0, 0) & RGB_MASK, 0u);
    EXPECT_NE(button.pixel(37, 10) & RGB_MASK, 0u);
    EXPECT_NE(ResourceBitmap(kIdbButton).pixel(37, 10),
              ResourceBitmap(kIdbButtonHover).pixel(37, 10));

    for (const char* name :
         {"parcelo-16", "parcelo-32", "parcelo-64", "placeholder-16", "placeholder-32"}) {
        const QImage icon(QStringLiteral(":/parcelo/%1.png").arg(name));
        const QImage doubled(QStringLiteral(":/parcelo/%1@2x.png").arg(name));
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_EQ(doubled.size(), 2 * icon.size()) << name;
    }
    // The window icon finds its twice-size pictures by their "@2x" names.
    TestDialog dialog;
    EXPECT_EQ(dialog.windowIcon().pixmap(QSize(32, 32), 2.0).size(), QSize(64, 64));
}

TEST(WindowLook, TheStripIsTiledAcrossAndDownTheWholeWindow) {
    TestDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QImage strip = ResourceBitmap(kIdbBackground).convertToFormat(QImage::Format_RGB32);
    const QImage shot = Shot(dialog);
    ASSERT_EQ(shot.size(), dialog.size());
    // The top row between the window's edge and the file name field, across tile edges.
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(Rgb(shot, x, 1), strip.pixel(x % 6, 1) & RGB_MASK) << x;
    // The strip's ribs: its first column differs from its second.
    EXPECT_NE(strip.pixel(0, 1), strip.pixel(1, 1));
    // Below the first tile the strip starts again from its top, and the last row and column
    // are covered too: seen in the margin right of the attachment list.
    ASSERT_GT(dialog.height(), 411);
    const QWidget* list = dialog.attachmentList();
    const int x = (list->mapTo(&dialog, QPoint(list->width(), 0)).x() + dialog.width()) / 2;
    for (int y : {409, 410, 411, 412, dialog.height() - 1})
        EXPECT_EQ(Rgb(shot, x, y), strip.pixel(x % 6, y % 411) & RGB_MASK) << y;
    const int right = dialog.width() - 1;
    const int bottom = dialog.height() - 1;
    EXPECT_EQ(Rgb(shot, right, bottom), strip.pixel(right % 6, bottom % 411) & RGB_MASK);
}

TEST(WindowLook, TheFiveButtonsShowTheirPicturesAtThePicturesSize) {
    TestDialog dialog;
    const DialogUnits units(dialog.font());
    for (const ControlTemplate& item : kMainDialogControls) {
        QWidget* widget = dialog.control(item.id);
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            EXPECT_NE(qobject_cast<CTransparentStatic*>(widget), nullptr) << item.id;
        }
    }
    for (int id : kButtons) {
        auto* button = qobject_cast<CHoverButton*>(dialog.control(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->size(), QSize(75, 21)) << id;
        EXPECT_EQ(button->imageAlignment(), CHoverButton::PictureUnderCaption);
        EXPECT_FALSE(button->drawsBorder());
        EXPECT_TRUE(button->transparentBackground());
        EXPECT_TRUE(button->isFlatLook());
        EXPECT_EQ(button->pictureMargin(), QPoint(0, 0));
        EXPECT_EQ(button->shownPicture(), 1);
    }
}

TEST(WindowLook, TheHoverPictureComesWithTheMouseAndGoesWithIt) {
    TestDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* close = qobject_cast<CHoverButton*>(dialog.control(kIdcClose));
    const QImage normal = ResourceBitmap(kIdbButton).convertToFormat(QImage::Format_RGB32);
    const QImage hover = ResourceBitmap(kIdbButtonHover).convertToFormat(QImage::Format_RGB32);
    // Beside the caption, at the left end of the picture; seen over the window, as the
    // button draws on the window's background.
    const QPoint inside(4, 10);
    const auto buttonShot = [&] { return Shot(dialog, close->geometry()); };
    EXPECT_EQ(Rgb(buttonShot(), inside.x(), inside.y()), normal.pixel(inside) & RGB_MASK);

    QEnterEvent enter{QPointF(inside), QPointF(inside), QPointF(close->mapToGlobal(inside))};
    QCoreApplication::sendEvent(close, &enter);
    const QImage hovered = buttonShot();
    EXPECT_EQ(Rgb(hovered, inside.x(), inside.y()), hover.pixel(inside) & RGB_MASK);
    // The black corner is left out: the background strip shows there.
    const QImage strip = ResourceBitmap(kIdbBackground).convertToFormat(QImage::Format_RGB32);
    const QPoint corner = close->pos();
    EXPECT_EQ(Rgb(hovered, 0, 0), strip.pixel(corner.x() % 6, corner.y() % 411) & RGB_MASK);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(close, &leave);
    EXPECT_EQ(Rgb(buttonShot(), inside.x(), inside.y()), normal.pixel(inside) & RGB_MASK);
}

TEST(WindowLook, KeyboardFocusOnAButtonIsVisibleAndSpacePressesIt) {
    TestDialog dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QWidget* browse = dialog.control(kIdcBrowse);
    const QImage before = Shot(dialog, browse->geometry());
    // Tab from the file name field, the first control, reaches the Browse button.
    ASSERT_TRUE(dialog.fileNameField()->hasFocus());
    QTest::keyClick(dialog.fileNameField(), Qt::Key_Tab);
    ASSERT_TRUE(browse->hasFocus());
    EXPECT_NE(Shot(dialog, browse->geometry()), before);

    dialog.openAnswer.clear();
    QTest::keyClick(browse, Qt::Key_Space);
    EXPECT_FALSE(dialog.openFilter.isEmpty());  // the Open dialog was asked for
}

}  // namespace
}  // namespace parcelo::testing
