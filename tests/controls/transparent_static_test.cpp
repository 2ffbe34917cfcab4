// Labels drawn over their parent's background.
#include <QTest>

#include <gtest/gtest.h>

#include "controls/bitmap_background_dialog.h"
#include "controls/transparent_static.h"
#include "controls_test_support.h"

namespace parcelo::testing {
namespace {

class TransparentLabel : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog.resize(120, 40);
        ASSERT_EQ(dialog.SetBackgroundBitmap(bitmap), BitmapBackgroundDialog::Ok);
        label = new CTransparentStatic(&dialog);
        label->setGeometry(4, 4, 110, 30);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    BitmapBackgroundDialog dialog;
    const QImage bitmap = MakeBitmap(6, 4, Distinct);
    CTransparentStatic* label = nullptr;
};

TEST_F(TransparentLabel, ShowsTheParentsBackgroundAroundItsText) {
    label->setText("Message:");
    const QImage shot = Shot(dialog);
    const QRect text = label->fontMetrics().boundingRect(label->text());
    // Right of the text and below it, the label shows the background bitmap.
    for (const QPoint& p : {QPoint(110, 30), QPoint(4 + text.width() + 6, 10), QPoint(6, 32)})
        EXPECT_EQ(Rgb(shot, p.x(), p.y()), bitmap.pixel(p.x() % 6, p.y() % 4) & RGB_MASK) << p.x();
    // And the text itself is drawn.
    bool drawn = false;
    for (int x = 4; x < 4 + text.width(); ++x) {
        for (int y = 4; y < 34; ++y)
            drawn = drawn || Rgb(shot, x, y) != (bitmap.pixel(x % 6, y % 4) & RGB_MASK);
    }
    EXPECT_TRUE(drawn);
}

TEST_F(TransparentLabel, AShorterTextLeavesNothingOfALongerOne) {
    label->setText("WWWWWWWWWWWW");
    Shot(dialog);
    label->setText("i");
    const QImage after = Shot(dialog);

    BitmapBackgroundDialog fresh;
    fresh.resize(120, 40);
    fresh.SetBackgroundBitmap(bitmap);
    auto* other = new CTransparentStatic("i", &fresh);
    other->setGeometry(4, 4, 110, 30);
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    EXPECT_EQ(after, Shot(fresh));
}

TEST_F(TransparentLabel, FollowsABackgroundThatChanges) {
    label->setText("Attachment:");
    Shot(dialog);
    const QImage plain = MakeBitmap(6, 4, [](int, int) { return QColor(Qt::darkCyan); });
    dialog.SetBackgroundBitmap(plain);
    const QImage shot = Shot(dialog);
    EXPECT_EQ(Rgb(shot, 110, 30), QColor(Qt::darkCyan).rgb() & RGB_MASK);
}

}  // namespace
}  // namespace parcelo::testing
