// The window's look: the background strip tiled under the controls, the five picture buttons
// and the labels over the background, and the art behind them at both scales.
#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "controls/about_dialog.h"
#include "controls/dialog_units.h"
#include "controls/hover_button.h"
#include "controls/link_static.h"
#include "controls/resource_bitmap.h"
#include "controls/transparent_static.h"
#include "dialog_template.h"
#include "theme_palettes.h"
#include "window_look.h"

#include <algorithm>
#include <cmath>
#include <functional>

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

// WCAG 2's relative luminance and contrast ratio.
double Luminance(QRgb pixel) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
           0.0722 * linear(qBlue(pixel));
}

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct TextOnScreen {
    int pixels = 0;    // how many pixels the text changes
    QRgb ink = 0;      // its colour: the pixel that stands out most from what is behind it
    double worst = 0;  // the ink's contrast with the least distinct pixel behind the text
    QRgb behind = 0;   // what lies behind the ink
};

// `control`'s text as `window` shows it: the window grabbed with the text and without it,
// the pixels that differ are the text's. Whatever the font, some of its pixels are inked
// whole; their colour is measured against every pixel the text covers.
TextOnScreen MeasureText(QWidget& window, QWidget& control,
                         const std::function<void(const QString&)>& setText, const QString& text) {
    const QRect area(control.mapTo(&window, QPoint(0, 0)), control.size());
    setText(text);
    const QImage with = Shot(window, area);
    setText(QString());
    const QImage without = Shot(window, area);
    setText(text);
    TextOnScreen found;
    double best = 0;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (Rgb(with, x, y) == Rgb(without, x, y))
                continue;
            ++found.pixels;
            if (const double c = Contrast(Rgb(with, x, y), Rgb(without, x, y)); c > best) {
                best = c;
                found.ink = Rgb(with, x, y);
                found.behind = Rgb(without, x, y);
            }
        }
    }
    found.worst = found.pixels > 0 ? 21.0 : 0.0;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (Rgb(with, x, y) != Rgb(without, x, y))
                found.worst = std::min(found.worst, Contrast(found.ink, Rgb(without, x, y)));
        }
    }
    return found;
}

// Sets the application's palette, as a desktop's theme does, for the life of the object.
class DesktopTheme {
  public:
    explicit DesktopTheme(bool dark) : previous_(QApplication::palette()) {
        QApplication::setPalette(DesktopPalette(dark));
    }
    ~DesktopTheme() { QApplication::setPalette(previous_); }

  private:
    QPalette previous_;
};

TEST(WindowArt, EveryBitmapAndIconIsThereAtItsSizeAndTwiceIt) {
    struct Case {
        int id;
        QSize size;
    };
    for (const Case& c :
         {Case{kIdbBackground, QSize(6, 411)}, Case{kIdbButton, QSize(75, 21)},
          Case{kIdbButtonHover, QSize(75, 21)}, Case{kIdbBackgroundDark, QSize(6, 411)},
          Case{kIdbButtonDark, QSize(75, 21)}, Case{kIdbButtonHoverDark, QSize(75, 21)}}) {
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

TEST(WindowLook, TextReadsOnTheArtAndTheMailOnItsPageUnderALightAndADarkTheme) {
    TestDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    AboutDialog about(&dialog);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    for (const bool dark : {false, true}) {
        // The theme changes while the windows are open, as a desktop's does.
        const DesktopTheme theme(dark);
        QCoreApplication::processEvents();
        const auto label = [](QWidget* w) {
            return [w](const QString& t) { qobject_cast<QLabel*>(w)->setText(t); };
        };
        const auto button = [](QWidget* w) {
            return [w](const QString& t) { qobject_cast<QAbstractButton*>(w)->setText(t); };
        };
        struct Case {
            QWidget* window;
            QWidget* control;
            std::function<void(const QString&)> setText;
        };
        std::vector<Case> cases;
        for (int id : {kIdcFileNameLabel, kIdcAttachmentLabel, kIdcBodyLabel})
            cases.push_back({&dialog, dialog.control(id), label(dialog.control(id))});
        for (int id : kButtons)
            cases.push_back({&dialog, dialog.control(id), button(dialog.control(id))});
        for (CLinkStatic* link : {about.homePageLink(), about.supportLink()})
            cases.push_back({&about, link, label(link)});
        for (const Case& c : cases) {
            const QString text = c.control->property("text").toString();
            const TextOnScreen seen = MeasureText(*c.window, *c.control, c.setText, text);
            EXPECT_GT(seen.pixels, 0) << qPrintable(text) << " dark " << dark;
            EXPECT_GE(seen.worst, 4.5) << qPrintable(text) << " dark " << dark;
        }

        // The mail keeps the sender's colours on white paper, with black text by default.
        BodyView* body = dialog.bodyView();
        const TextOnScreen mail = MeasureText(
            dialog, *body->viewport(), [body](const QString& t) { body->setPlainText(t); },
            QStringLiteral("Hello Anna, the figures are attached."));
        EXPECT_EQ(mail.behind, qRgb(255, 255, 255) & RGB_MASK) << "dark " << dark;
        EXPECT_EQ(mail.ink, qRgb(0, 0, 0) & RGB_MASK) << "dark " << dark;
    }
}

}  // namespace
}  // namespace parcelo::testing
