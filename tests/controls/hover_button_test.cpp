// The picture button: its setters and their results, the picture it shows as the mouse comes
// and goes and as it is pressed, where picture and caption go, and what it paints.
#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/hover_button.h"
#include "controls_test_support.h"

namespace parcelo::testing {
namespace {

using Button = CHoverButton;

const QColor kBlack(Qt::black);

// 20 x 10 pictures of one colour with black, left out, in the top left corner pixel.
QImage Picture(const QColor& colour) {
    return MakeBitmap(20, 10, [&](int x, int y) { return x == 0 && y == 0 ? kBlack : colour; });
}

void Enter(QWidget& widget) {
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(widget.mapToGlobal(QPoint(5, 5))));
    QCoreApplication::sendEvent(&widget, &event);
}

void Leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

// A button on a parent of one colour, with a hover picture (green) and a normal one (blue).
class HoverButton : public ::testing::Test {
  protected:
    void SetUp() override {
        QPalette colours = parent.palette();
        colours.setColor(QPalette::Window, Qt::magenta);
        parent.setPalette(colours);
        parent.setAutoFillBackground(true);
        parent.resize(200, 100);
        button = new Button(&parent);
        button->setGeometry(10, 10, 100, 40);
        ASSERT_EQ(button->SetButtonBitmaps(Picture(Qt::green), kBlack, Picture(Qt::blue), kBlack),
                  Button::Ok);
        // The picture at the top left, where the tests look for it.
        ASSERT_EQ(button->SetImageAlignment(Button::PictureUnderCaption), Button::Ok);
    }

    // What the button shows at (x, y), over its parent.
    QRgb PixelAt(int x, int y) { return Rgb(Shot(parent, button->geometry()), x, y); }

    QWidget parent;
    Button* button = nullptr;
};

TEST_F(HoverButton, StartsFlatWithTheDefaultsOfThePushButtonItStandsFor) {
    Button plain;
    EXPECT_TRUE(plain.isFlatLook());
    EXPECT_TRUE(plain.drawsBorder());
    EXPECT_FALSE(plain.drawsFocusInFlatMode());
    EXPECT_FALSE(plain.transparentBackground());
    EXPECT_EQ(plain.imageAlignment(), Button::PictureLeft);
    EXPECT_EQ(plain.pressedOffset(), QPoint(1, 1));
    EXPECT_EQ(plain.pictureMargin(), QPoint(3, 3));
    EXPECT_EQ(plain.shownPicture(), -1);
    for (quint8 i = 0; i < Button::kColorCount; ++i) {
        QColor colour;
        ASSERT_EQ(plain.GetColor(i, &colour), Button::Ok);
        EXPECT_EQ(colour,
                  plain.palette().color(i % 2 == 0 ? QPalette::Button : QPalette::ButtonText))
            << int(i);
    }
}

TEST_F(HoverButton, SettersRefuseWhatIsOutOfRangeAndChangeNothing) {
    EXPECT_EQ(button->SetImageAlignment(4), Button::InvalidAlignment);
    EXPECT_EQ(button->imageAlignment(), Button::PictureUnderCaption);
    EXPECT_EQ(button->SetImageAlignment(Button::PictureAbove), Button::Ok);
    EXPECT_EQ(button->imageAlignment(), Button::PictureAbove);

    EXPECT_EQ(button->SetPressedStyle(2), Button::InvalidPressedStyle);
    EXPECT_EQ(button->pressedOffset(), QPoint(1, 1));
    EXPECT_EQ(button->SetPressedStyle(Button::PressedDown), Button::Ok);
    EXPECT_EQ(button->pressedOffset(), QPoint(0, 2));
    EXPECT_EQ(button->SetPressedStyle(Button::PressedRightDown), Button::Ok);
    EXPECT_EQ(button->pressedOffset(), QPoint(1, 1));

    QColor colour;
    EXPECT_EQ(button->SetColor(6, Qt::red), Button::InvalidIndex);
    EXPECT_EQ(button->GetColor(6, &colour), Button::InvalidIndex);
    EXPECT_EQ(button->SetColor(Button::FocusText, Qt::red), Button::Ok);
    ASSERT_EQ(button->GetColor(Button::FocusText, &colour), Button::Ok);
    EXPECT_EQ(colour, QColor(Qt::red));
    EXPECT_EQ(button->SetDefaultColors(), Button::Ok);
    button->GetColor(Button::FocusText, &colour);
    EXPECT_EQ(colour, button->palette().color(QPalette::ButtonText));
}

TEST_F(HoverButton, APictureWithoutASizeLeavesTheButtonWithoutPictures) {
    EXPECT_EQ(button->shownPicture(), 1);
    EXPECT_EQ(button->SetButtonBitmaps(QImage(), kBlack), Button::InvalidResource);
    EXPECT_EQ(button->shownPicture(), -1);

    ASSERT_EQ(button->SetButtonBitmaps(Picture(Qt::green), kBlack), Button::Ok);
    EXPECT_EQ(button->shownPicture(), 0);  // one picture serves both states
    EXPECT_EQ(
        button->SetButtonBitmaps(Picture(Qt::green), kBlack, QImage(1, 0, QImage::Format_RGB32)),
        Button::Ok);  // a null second picture means none
    // Resources that do not exist: the first, or a second one asked for by id.
    EXPECT_EQ(button->SetButtonBitmaps(99998, kBlack), Button::InvalidResource);
    EXPECT_EQ(button->shownPicture(), -1);
    EXPECT_EQ(button->SetButtonIcons(QIcon(), QSize(16, 16)), Button::InvalidResource);
    // Without a picture there is nothing to size to: the button keeps its size.
    EXPECT_EQ(button->SizeToImage(), Button::InvalidResource);
    EXPECT_EQ(button->size(), QSize(100, 40));
}

TEST_F(HoverButton, SizeToImageTakesTheHoverPicturesSizeWithoutMargins) {
    ASSERT_EQ(
        button->SetButtonBitmaps(MakeBitmap(75, 21, Distinct), kBlack, Picture(Qt::blue), kBlack),
        Button::Ok);
    EXPECT_EQ(button->SizeToImage(), Button::Ok);
    EXPECT_EQ(button->size(), QSize(75, 21));
    EXPECT_EQ(button->pos(), QPoint(10, 10));
    EXPECT_EQ(button->pictureMargin(), QPoint(0, 0));
}

TEST_F(HoverButton, TheMouseComingAndGoingSwapsThePictures) {
    parent.show();
    EXPECT_FALSE(button->pointerOver());
    EXPECT_EQ(button->shownPicture(), 1);
    EXPECT_EQ(PixelAt(5, 5), QColor(Qt::blue).rgb() & RGB_MASK);

    Enter(*button);
    EXPECT_TRUE(button->pointerOver());
    EXPECT_EQ(button->shownPicture(), 0);
    EXPECT_EQ(PixelAt(5, 5), QColor(Qt::green).rgb() & RGB_MASK);

    Leave(*button);
    EXPECT_FALSE(button->pointerOver());
    EXPECT_EQ(PixelAt(5, 5), QColor(Qt::blue).rgb() & RGB_MASK);
}

TEST_F(HoverButton, LosingFocusOrBeingDisabledEndsTheHover) {
    parent.show();
    Enter(*button);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(button, &focusOut);
    EXPECT_FALSE(button->pointerOver());

    Enter(*button);
    button->setEnabled(false);
    EXPECT_FALSE(button->pointerOver());
}

TEST_F(HoverButton, SwitchingToAnotherWindowEndsTheHover) {
    parent.show();
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    Enter(*button);
    ASSERT_TRUE(button->pointerOver());
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(button->pointerOver());
    EXPECT_EQ(PixelAt(5, 5), QColor(Qt::blue).rgb() & RGB_MASK);
}

TEST_F(HoverButton, WithoutAlwaysTrackOnlyAnActiveApplicationLightsUp) {
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    EXPECT_EQ(button->SetAlwaysTrack(false), Button::Ok);
    Enter(*button);
    EXPECT_FALSE(button->pointerOver());
    button->SetAlwaysTrack(true);
    Enter(*button);
    EXPECT_TRUE(button->pointerOver());
}

TEST_F(HoverButton, ABorderedButtonDoesNotTrackTheMouse) {
    button->SetFlat(false);
    Enter(*button);
    EXPECT_FALSE(button->pointerOver());
    EXPECT_EQ(button->shownPicture(), 1);
}

TEST_F(HoverButton, APressDraggedInFromElsewhereDoesNotLightTheButtonUp) {
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QTest::mousePress(&parent, Qt::LeftButton, {}, QPoint(150, 80));
    ASSERT_TRUE(QGuiApplication::mouseButtons() & Qt::LeftButton);
    Enter(*button);
    EXPECT_FALSE(button->pointerOver());
    QTest::mouseRelease(&parent, Qt::LeftButton, {}, QPoint(150, 80));
    Enter(*button);
    EXPECT_TRUE(button->pointerOver());
}

TEST_F(HoverButton, PressingShowsTheHoverPictureAndCaptionShiftedByThePressedOffset) {
    button->setText("Go");
    button->SetImageAlignment(Button::PictureUnderCaption);
    const QRect picture = button->pictureRect();
    const QRect caption = button->captionRect();
    EXPECT_EQ(picture, QRect(0, 0, 20, 10));
    EXPECT_EQ(caption, button->rect());

    button->setDown(true);
    EXPECT_TRUE(button->drawsPressed());
    EXPECT_EQ(button->shownPicture(), 0);
    EXPECT_EQ(button->pictureRect(), picture.translated(1, 1));
    EXPECT_EQ(button->captionRect(), caption.translated(1, 1));
    button->SetTransparentBackground();
    button->SetBorderDrawing(false);
    const QImage shot = Shot(parent, button->geometry());
    // The picture's top left corner (left out) is now at (1, 1), its second pixel at (2, 1).
    EXPECT_EQ(Rgb(shot, 1, 1), QColor(Qt::magenta).rgb() & RGB_MASK);
    EXPECT_EQ(Rgb(shot, 2, 1), QColor(Qt::green).rgb() & RGB_MASK);
    EXPECT_EQ(Rgb(shot, 0, 5), QColor(Qt::magenta).rgb() & RGB_MASK);

    button->SetPressedStyle(Button::PressedDown);
    EXPECT_EQ(button->pictureRect(), picture.translated(0, 2));
}

TEST_F(HoverButton, EachAlignmentPutsPictureAndCaptionInTheirPlaces) {
    // Button 100 x 40, picture 20 x 10, margins 3.
    struct Case {
        quint8 alignment;
        const char* text;
        QRect picture;
        QRect caption;
    };
    const Case cases[] = {
        {Button::PictureLeft, "Go", QRect(3, 15, 20, 10), QRect(23, 0, 77, 40)},
        {Button::PictureLeft, "", QRect(40, 15, 20, 10), QRect(0, 0, 100, 40)},
        {Button::PictureAbove, "Go", QRect(40, 3, 20, 10), QRect(0, 13, 100, 27)},
        {Button::PictureAbove, "", QRect(40, 15, 20, 10), QRect(0, 0, 100, 40)},
        {Button::PictureRight, "Go", QRect(77, 15, 20, 10), QRect(3, 0, 74, 40)},
        {Button::PictureRight, "", QRect(40, 15, 20, 10), QRect(0, 0, 100, 40)},
        {Button::PictureUnderCaption, "Go", QRect(0, 0, 20, 10), QRect(0, 0, 100, 40)},
    };
    for (const Case& c : cases) {
        button->setText(c.text);
        ASSERT_EQ(button->SetImageAlignment(c.alignment, false), Button::Ok);
        EXPECT_EQ(button->pictureRect(), c.picture) << int(c.alignment) << c.text;
        EXPECT_EQ(button->captionRect(), c.caption) << int(c.alignment) << c.text;
    }
}

TEST_F(HoverButton, TheTransparentColourShowsTheParentAndAColourFillOtherwise) {
    button->SetImageAlignment(Button::PictureUnderCaption);
    ASSERT_EQ(button->SetColor(Button::NormalBackground, Qt::yellow), Button::Ok);
    ASSERT_EQ(button->SetColor(Button::HoverBackground, Qt::cyan), Button::Ok);
    // Filled with the state's colour; the left-out corner shows that colour too.
    EXPECT_EQ(PixelAt(0, 0), QColor(Qt::yellow).rgb() & RGB_MASK);
    EXPECT_EQ(PixelAt(60, 30), QColor(Qt::yellow).rgb() & RGB_MASK);
    EXPECT_EQ(PixelAt(1, 0), QColor(Qt::blue).rgb() & RGB_MASK);
    Enter(*button);
    EXPECT_EQ(PixelAt(60, 30), QColor(Qt::cyan).rgb() & RGB_MASK);
    Leave(*button);

    EXPECT_EQ(button->SetTransparentBackground(), Button::Ok);
    EXPECT_TRUE(button->transparentBackground());
    QImage shot = parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Rgb(shot, 10, 10), QColor(Qt::magenta).rgb() & RGB_MASK);  // the corner
    EXPECT_EQ(Rgb(shot, 70, 40), QColor(Qt::magenta).rgb() & RGB_MASK);
    EXPECT_EQ(Rgb(shot, 11, 10), QColor(Qt::blue).rgb() & RGB_MASK);
}

TEST_F(HoverButton, TheSecondPictureCanBeTheFirstDarkenedOrInGrey) {
    const QImage first = MakeBitmap(
        2, 1, [](int x, int) { return x == 0 ? QColor(200, 100, 40) : QColor(Qt::black); });
    const QImage darker = DarkerPicture(first, kBlack);
    EXPECT_EQ(darker.pixel(0, 0) & RGB_MASK, qRgb(150, 75, 30) & RGB_MASK);
    const QImage grey = GreyPicture(first, kBlack);
    // 0.299 * 200 + 0.587 * 100 + 0.114 * 40 = 123.06
    EXPECT_EQ(grey.pixel(0, 0) & RGB_MASK, qRgb(123, 123, 123) & RGB_MASK);
    // The transparent colour stays what it was, so it is still left out.
    EXPECT_EQ(darker.pixel(1, 0) & RGB_MASK, 0u);
    EXPECT_EQ(GreyPicture(MakeBitmap(1, 1, [](int, int) { return QColor(Qt::red); }), Qt::red)
                      .pixel(0, 0) &
                  RGB_MASK,
              QColor(Qt::red).rgb() & RGB_MASK);

    ASSERT_EQ(button->SetButtonBitmaps(Picture(QColor(200, 100, 40)), kBlack, Button::Darker),
              Button::Ok);
    EXPECT_EQ(PixelAt(5, 5), qRgb(150, 75, 30) & RGB_MASK);
    Enter(*button);
    EXPECT_EQ(PixelAt(5, 5), qRgb(200, 100, 40) & RGB_MASK);
}

TEST_F(HoverButton, ADisabledButtonGreysItsPictureUnlessToldNotTo) {
    const QRgb blue = QColor(Qt::blue).rgb() & RGB_MASK;
    button->setEnabled(false);
    EXPECT_NE(PixelAt(5, 5), blue);
    EXPECT_EQ(button->SetDisabledPictureGreyed(false), Button::Ok);
    EXPECT_EQ(PixelAt(5, 5), blue);
}

TEST_F(HoverButton, IconsCanStandInForTheBitmaps) {
    QPixmap red(16, 16), yellow(16, 16);
    red.fill(Qt::red);
    yellow.fill(Qt::yellow);
    ASSERT_EQ(button->SetButtonIcons(QIcon(red), QSize(16, 16), QIcon(yellow)), Button::Ok);
    EXPECT_EQ(PixelAt(5, 5), QColor(Qt::yellow).rgb() & RGB_MASK);
    Enter(*button);
    EXPECT_EQ(PixelAt(5, 5), QColor(Qt::red).rgb() & RGB_MASK);
    EXPECT_EQ(button->SizeToImage(), Button::Ok);
    EXPECT_EQ(button->size(), QSize(16, 16));
}

TEST_F(HoverButton, ABorderedDefaultButtonGetsABlackFrameAndA3DEdge) {
    const QImage flat = Shot(parent, button->geometry());
    button->SetFlat(false);
    const QImage bordered = Shot(parent, button->geometry());
    EXPECT_NE(Rgb(bordered, 99, 39), Rgb(flat, 99, 39));  // the 3D frame's dark edge
    EXPECT_NE(Rgb(bordered, 0, 0), 0u);
    button->setDefault(true);
    EXPECT_EQ(PixelAt(0, 0), 0u);
    EXPECT_EQ(PixelAt(99, 39), 0u);
}

TEST_F(HoverButton, ChangedSystemColoursReplaceTheButtonsOwn) {
    button->SetColor(Button::NormalBackground, Qt::red);
    QPalette colours = button->palette();
    colours.setColor(QPalette::Button, Qt::darkGreen);
    button->setPalette(colours);
    QColor colour;
    button->GetColor(Button::NormalBackground, &colour);
    EXPECT_EQ(colour, QColor(Qt::darkGreen));
}

TEST_F(HoverButton, TheRedrawFlagDecidesWhetherASetterRepaints) {
    class Counting : public Button {
      public:
        using Button::Button;
        int paints = 0;

      protected:
        void paintEvent(QPaintEvent* event) override {
            ++paints;
            Button::paintEvent(event);
        }
    };
    auto* counting = new Counting(&parent);
    counting->setGeometry(120, 10, 50, 20);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    const std::function<int(bool)> setters[] = {
        [&](bool redraw) { return counting->SetFlat(false, redraw); },
        [&](bool redraw) { return counting->SetBorderDrawing(false, redraw); },
        [&](bool redraw) { return counting->SetFocusInFlatMode(true, redraw); },
        [&](bool redraw) { return counting->SetImageAlignment(2, redraw); },
        [&](bool redraw) { return counting->SetPressedStyle(1, redraw); },
        [&](bool redraw) { return counting->SetColor(2, Qt::red, redraw); },
        [&](bool redraw) { return counting->SetTransparentBackground(redraw); },
    };
    int i = 0;
    for (const auto& set : setters) {
        for (bool redraw : {false, true}) {
            QCoreApplication::processEvents();
            counting->paints = 0;
            ASSERT_EQ(set(redraw), Button::Ok);
            QCoreApplication::processEvents();
            EXPECT_EQ(counting->paints > 0, redraw) << i << " " << redraw;
        }
        ++i;
    }
}

TEST_F(HoverButton, ACheckBoxTogglesAndShowsTheHoverPictureWhileChecked) {
    parent.show();
    EXPECT_EQ(button->SetCheck(1), Button::Ok);
    EXPECT_EQ(button->GetCheck(), 0);  // a plain button has no check state

    button->SetImageAlignment(Button::PictureLeft);
    button->SetCheckBox(true);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->GetCheck(), 1);
    EXPECT_EQ(button->shownPicture(), 0);
    // A check box is not shifted while pressed.
    button->setText("");
    EXPECT_EQ(button->pictureRect(), QRect(40, 15, 20, 10));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->GetCheck(), 0);
    button->SetCheck(2);
    EXPECT_EQ(button->GetCheck(), 1);
    button->SetCheck(3);
    EXPECT_EQ(button->GetCheck(), 0);
    // Hovering alone does not show the hover picture of a check box.
    Enter(*button);
    EXPECT_EQ(button->shownPicture(), 1);
}

TEST_F(HoverButton, ADoubleClickIsTwoClicks) {
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    // The second press of a double click comes as a double-click event.
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(HoverButton, APopupMenuIsOwnedAndShownUnderThePressedButton) {
    auto* first = new QMenu;
    EXPECT_EQ(button->SetPopupMenu(first), Button::Ok);
    EXPECT_EQ(first->parent(), button);
    QPointer<QMenu> replaced(first);
    auto* menu = new QMenu;
    menu->addAction("Item");
    button->SetPopupMenu(menu);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(replaced.isNull());
    EXPECT_EQ(button->popupMenu(), menu);

    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    bool shown = false, pressed = false;
    int picture = -1;
    QPoint where;
    QTimer::singleShot(0, menu, [&] {
        shown = menu->isVisible();
        pressed = button->drawsPressed();
        picture = button->shownPicture();
        where = menu->pos();
        menu->close();
    });
    button->showMenu();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(picture, 0);
    EXPECT_EQ(where.y(), button->mapToGlobal(QPoint(0, button->height())).y());
    EXPECT_FALSE(button->drawsPressed());
}

class LinkCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(HoverButton, ALinkTargetIsOpenedThroughTheDesktopOnEachClick) {
    LinkCatcher catcher;
    QDesktopServices::setUrlHandler("parcelo-test", &catcher, "open");
    parent.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(catcher.urls.isEmpty());
    EXPECT_EQ(button->SetLinkTarget("parcelo-test://example.org/home"), Button::Ok);
    QTest::mouseClick(button, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("parcelo-test");
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl("parcelo-test://example.org/home")});
}

TEST_F(HoverButton, CursorAndTooltipAreTheButtonsOwn) {
    EXPECT_EQ(button->SetButtonCursor(Qt::PointingHandCursor), Button::Ok);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(button->testAttribute(Qt::WA_SetCursor));
    button->UnsetButtonCursor();
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));

    EXPECT_EQ(button->SetTooltipText("Opens a file", false), Button::Ok);
    EXPECT_TRUE(button->toolTip().isEmpty());
    button->ActivateTooltip(true);
    EXPECT_EQ(button->toolTip(), "Opens a file");
    button->ActivateTooltip(false);
    EXPECT_TRUE(button->toolTip().isEmpty());
}

TEST_F(HoverButton, AFlatButtonShowsItsFocusOnlyWhenAskedTo) {
    button->SetTransparentBackground();
    button->SetImageAlignment(Button::PictureUnderCaption);
    parent.show();
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    const QImage unfocused = Shot(parent, button->geometry());
    button->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button->hasFocus());
    EXPECT_EQ(Shot(parent, button->geometry()), unfocused);
    button->SetFocusInFlatMode(true);
    const QImage focused = Shot(parent, button->geometry());
    EXPECT_NE(focused, unfocused);
    // The rectangle lies 3 pixels inside the edge: the edge itself is untouched.
    EXPECT_EQ(Rgb(focused, 99, 39), Rgb(unfocused, 99, 39));
    EXPECT_EQ(Rgb(focused, 50, 1), Rgb(unfocused, 50, 1));
}

TEST_F(HoverButton, SpaceOnAFocusedButtonClicksIt) {
    parent.show();
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    button->setFocus(Qt::TabFocusReason);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
}

}  // namespace
}  // namespace parcelo::testing

#include "hover_button_test.moc"
