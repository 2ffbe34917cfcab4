// The dialog's background: where each placement puts the bitmap, the window shape cut out by
// a transparent colour, and moving the window by its client area.
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/bitmap_background_dialog.h"
#include "controls_test_support.h"

namespace parcelo::testing {
namespace {

using Dialog = BitmapBackgroundDialog;

TEST(BackgroundPlacement, EachOfTheThirteenPutsTheBitmapWhereItsNameSays) {
    const QSize client(20, 10);
    const QSize bitmap(6, 4);
    struct Case {
        quint8 placement;
        QList<QRect> rects;
    };
    const auto r = [](int x, int y) { return QRect(x, y, 6, 4); };
    const Case cases[] = {
        {Dialog::Tiled,
         {r(0, 0), r(6, 0), r(12, 0), r(18, 0), r(0, 4), r(6, 4), r(12, 4), r(18, 4), r(0, 8),
          r(6, 8), r(12, 8), r(18, 8)}},
        {Dialog::Centred, {r(7, 3)}},
        {Dialog::Stretched, {QRect(0, 0, 20, 10)}},
        {Dialog::TiledAlongTop, {r(0, 0), r(6, 0), r(12, 0), r(18, 0)}},
        {Dialog::TiledAlongBottom, {r(0, 6), r(6, 6), r(12, 6), r(18, 6)}},
        {Dialog::TiledDownLeft, {r(0, 0), r(0, 4), r(0, 8)}},
        {Dialog::TiledDownRight, {r(14, 0), r(14, 4), r(14, 8)}},
        {Dialog::TopLeft, {r(0, 0)}},
        {Dialog::TopRight, {r(14, 0)}},
        {Dialog::TopCentre, {r(7, 0)}},
        {Dialog::BottomLeft, {r(0, 6)}},
        {Dialog::BottomRight, {r(14, 6)}},
        {Dialog::BottomCentre, {r(7, 6)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Dialog::PlacementRects(c.placement, client, bitmap), c.rects) << int(c.placement);
    EXPECT_TRUE(Dialog::PlacementRects(13, client, bitmap).isEmpty());
    // A bitmap larger than the window is centred with negative offsets (halved downwards).
    EXPECT_EQ(Dialog::PlacementRects(Dialog::Centred, QSize(4, 4), QSize(7, 7)),
              QList<QRect>{QRect(-2, -2, 7, 7)});
}

TEST(BackgroundPlacement, ValuesAboveTwelveAreRefusedAndChangeNothing) {
    Dialog dialog;
    EXPECT_EQ(dialog.backgroundMode(), Dialog::Tiled);
    EXPECT_EQ(dialog.SetBackgroundMode(Dialog::BottomCentre), Dialog::Ok);
    EXPECT_EQ(dialog.SetBackgroundMode(13), Dialog::InvalidPlacement);
    EXPECT_EQ(dialog.SetBackgroundMode(255, false), Dialog::InvalidPlacement);
    EXPECT_EQ(dialog.backgroundMode(), Dialog::BottomCentre);
}

class Background : public ::testing::Test {
  protected:
    void SetUp() override {
        QPalette colours = dialog.palette();
        colours.setColor(QPalette::Window, Qt::magenta);
        dialog.setPalette(colours);
        dialog.resize(20, 10);
    }
    Dialog dialog;
    const QImage bitmap = MakeBitmap(6, 4, Distinct);
};

TEST_F(Background, TilesAcrossAndDownWithPartTilesClippedAtTheRightAndBottom) {
    ASSERT_EQ(dialog.SetBackgroundBitmap(bitmap), Dialog::Ok);
    EXPECT_EQ(dialog.backgroundSize(), QSize(6, 4));
    const QImage shot = Shot(dialog);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(Rgb(shot, x, y), bitmap.pixel(x % 6, y % 4) & RGB_MASK) << x << "," << y;
    }
}

TEST_F(Background, AnEdgePlacementLeavesTheRestInTheWindowColour) {
    ASSERT_EQ(dialog.SetBackgroundBitmap(bitmap), Dialog::Ok);
    dialog.SetBackgroundMode(Dialog::BottomRight);
    const QImage shot = Shot(dialog);
    EXPECT_EQ(Rgb(shot, 19, 9), bitmap.pixel(5, 3) & RGB_MASK);
    EXPECT_EQ(Rgb(shot, 14, 6), bitmap.pixel(0, 0) & RGB_MASK);
    EXPECT_EQ(Rgb(shot, 13, 6), QColor(Qt::magenta).rgb() & RGB_MASK);
    EXPECT_EQ(Rgb(shot, 0, 0), QColor(Qt::magenta).rgb() & RGB_MASK);
}

TEST_F(Background, ResizingDrawsTheWholeBackgroundAnew) {
    ASSERT_EQ(dialog.SetBackgroundBitmap(bitmap), Dialog::Ok);
    dialog.SetBackgroundMode(Dialog::Centred);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(40, 30);
    const QImage shot = Shot(dialog);
    // Centred anew: (40 - 6) / 2 = 17, (30 - 4) / 2 = 13.
    EXPECT_EQ(Rgb(shot, 17, 13), bitmap.pixel(0, 0) & RGB_MASK);
    EXPECT_EQ(Rgb(shot, 7, 3), QColor(Qt::magenta).rgb() & RGB_MASK);
}

TEST_F(Background, WithoutABitmapTheDialogIsPlain) {
    EXPECT_EQ(dialog.SetBackgroundBitmap(QImage()), Dialog::InvalidBitmap);
    EXPECT_EQ(dialog.SetBackgroundBitmap(12345), Dialog::InvalidBitmap);  // no such resource
    EXPECT_TRUE(dialog.backgroundSize().isEmpty());
    EXPECT_EQ(Rgb(Shot(dialog), 3, 3), QColor(Qt::magenta).rgb() & RGB_MASK);

    ASSERT_EQ(dialog.SetBackgroundBitmap(bitmap), Dialog::Ok);
    EXPECT_EQ(dialog.SetBackgroundBitmap(QImage()), Dialog::InvalidBitmap);  // removes it
    EXPECT_EQ(Rgb(Shot(dialog), 3, 3), QColor(Qt::magenta).rgb() & RGB_MASK);
}

TEST_F(Background, SizeToBackgroundGivesTheClientAreaTheBitmapsSizeAndCentresIt) {
    EXPECT_EQ(dialog.SizeToBackground(), Dialog::InvalidBitmap);
    EXPECT_EQ(dialog.size(), QSize(20, 10));  // not shrunk to nothing
    EXPECT_EQ(dialog.backgroundMode(), Dialog::Tiled);

    ASSERT_EQ(dialog.SetBackgroundBitmap(MakeBitmap(60, 40, Distinct)), Dialog::Ok);
    dialog.move(30, 40);
    EXPECT_EQ(dialog.SizeToBackground(), Dialog::Ok);
    EXPECT_EQ(dialog.size(), QSize(60, 40));
    EXPECT_EQ(dialog.pos(), QPoint(30, 40));
    EXPECT_EQ(dialog.backgroundMode(), Dialog::Centred);
}

TEST(WindowShape, LeavesOutThePixelsOfTheTransparentColourInEveryColumn) {
    // 7 pixels wide, not a multiple of 4: every column counts. Black is transparent; the
    // rest is a frame of grey with a black hole at (3, 1).
    const QImage bitmap = MakeBitmap(7, 3, [](int x, int y) {
        return (x == 3 && y == 1) || (x == 6 && y == 0) ? QColor(Qt::black) : QColor(Qt::gray);
    });
    const QRegion region = Dialog::RegionWithout(bitmap, Qt::black);
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 7, 3));
    EXPECT_TRUE(region.contains(QPoint(6, 2)));
    EXPECT_TRUE(region.contains(QPoint(5, 0)));
    EXPECT_FALSE(region.contains(QPoint(6, 0)));
    EXPECT_FALSE(region.contains(QPoint(3, 1)));
    int pixels = 0;
    for (const QRect& rect : region)
        pixels += rect.width() * rect.height();
    EXPECT_EQ(pixels, 7 * 3 - 2);

    Dialog dialog;
    ASSERT_EQ(dialog.SetBackgroundBitmap(bitmap, Qt::black), Dialog::Ok);
    EXPECT_EQ(dialog.windowRegion(), region);
    EXPECT_EQ(dialog.mask(), region);
    // Without a transparent colour the window is whole again.
    ASSERT_EQ(dialog.SetBackgroundBitmap(bitmap), Dialog::Ok);
    EXPECT_TRUE(dialog.windowRegion().isEmpty());
    EXPECT_TRUE(dialog.mask().isEmpty());
}

TEST(WindowShape, ABitmapAllOfTheTransparentColourIsRefused) {
    Dialog dialog;
    const QImage black = MakeBitmap(5, 5, [](int, int) { return QColor(Qt::black); });
    EXPECT_EQ(dialog.SetBackgroundBitmap(black, Qt::black), Dialog::NoRegion);
    EXPECT_TRUE(dialog.backgroundSize().isEmpty());
    EXPECT_TRUE(dialog.mask().isEmpty());
}

TEST(DragAnywhere, APressAnywhereMovesTheWindowOnlyWhenSwitchedOn) {
    for (bool on : {false, true}) {
        Dialog dialog;
        dialog.setGeometry(100, 100, 80, 60);
        dialog.SetDragAnywhere(on);
        EXPECT_EQ(dialog.dragAnywhere(), on);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        const QPoint start = dialog.pos();
        QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(10, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(30, 25),
                         QPointF(dialog.mapToGlobal(QPoint(30, 25))), Qt::NoButton, Qt::LeftButton,
                         {});
        QCoreApplication::sendEvent(&dialog, &move);
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(30, 25));
        EXPECT_EQ(dialog.pos() - start, on ? QPoint(20, 15) : QPoint(0, 0)) << on;
    }
}

}  // namespace
}  // namespace parcelo::testing
