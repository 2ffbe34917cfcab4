// The About box: its texts, banner and links, and how the main window opens it.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "controls/about_dialog.h"
#include "controls/link_static.h"
#include "controls/resource_bitmap.h"
#include "dialog_template.h"

namespace parcelo::testing {
namespace {

QStringList LabelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (qobject_cast<const CLinkStatic*>(label) == nullptr && !label->text().isEmpty())
            texts << label->text();
    }
    return texts;
}

class AboutBox : public ::testing::Test {
  protected:
    // The banner is one of the window's resources, which the window registers.
    MainDialog window;
};

TEST_F(AboutBox, ShowsTheBannerTheTextsAndTwoAlwaysUnderlinedLinks) {
    AboutDialog about(&window);
    EXPECT_EQ(about.windowTitle(), "About Parcelo");
    EXPECT_EQ(LabelTexts(about),
              QStringList({"Oxbrook Parcelo Version 1.0", kFirstNotice, kSecondNotice}));

    const QLabel* banner = about.findChild<QLabel*>(QStringLiteral("banner"));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->pixmap().deviceIndependentSize().toSize(), QSize(331, 63));
    EXPECT_EQ(banner->geometry(), QRect(0, 0, 331, 63));

    CLinkStatic* home = about.homePageLink();
    EXPECT_EQ(home->objectName(), "control1006");
    EXPECT_EQ(home->text(), "parcelo.example.org");
    EXPECT_EQ(home->GetLinkTarget(), "parcelo.example.org/");
    EXPECT_EQ(home->GetUnderlineMode(), CLinkStatic::kUnderlineAlways);
    EXPECT_TRUE(home->font().underline());
    CLinkStatic* support = about.supportLink();
    EXPECT_EQ(support->objectName(), "control1007");
    EXPECT_EQ(support->text(), "parcelo@example.org");
    EXPECT_EQ(support->GetLinkTarget(), "mailto:parcelo@example.org");
    EXPECT_EQ(support->toolTip(), "mailto:parcelo@example.org");
    EXPECT_EQ(support->GetUnderlineMode(), CLinkStatic::kUnderlineAlways);

    // Each link is as wide as its text, and they do not overlap.
    const QFontMetrics metrics(home->font());
    EXPECT_EQ(home->width(), metrics.horizontalAdvance(home->text()));
    EXPECT_EQ(support->width(), metrics.horizontalAdvance(support->text()));
    EXPECT_LT(home->geometry().right(), support->geometry().left());
    EXPECT_LE(support->geometry().right(), about.width());
}

TEST_F(AboutBox, ClickingALinkOrEnterOnItOpensItsTarget) {
    AboutDialog about(&window);
    QStringList opened;
    const auto opener = [&](const QString& target, int) {
        opened << target;
        return CLinkStatic::kOpenSucceeded;
    };
    about.homePageLink()->SetOpener(opener);
    about.supportLink()->SetOpener(opener);
    QTest::mouseClick(about.homePageLink(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(about.supportLink(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(opened, QStringList({"parcelo.example.org/", "mailto:parcelo@example.org"}));
    EXPECT_TRUE(about.homePageLink()->GetVisitedState());
    // Without a mouse: Tab reaches a link, and Enter opens it.
    EXPECT_TRUE(about.supportLink()->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(about.supportLink(), Qt::Key_Return);
    EXPECT_EQ(opened.size(), 3);
    EXPECT_EQ(opened.last(), "mailto:parcelo@example.org");
}

TEST_F(AboutBox, CloseIsTheDefaultButtonAndEndsTheBox) {
    AboutDialog about(&window);
    auto* close = about.findChild<QPushButton*>(QStringLiteral("control1"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "Close");
    EXPECT_TRUE(close->isDefault());
    about.show();
    close->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(AboutBox, TheBannerIsSharpOnAScreenScaledTwice) {
    const QImage single = LoadResourceBitmap(QString::fromLatin1(kAboutBannerPath), 1.0);
    EXPECT_EQ(single.size(), QSize(331, 63));
    const QImage doubled = LoadResourceBitmap(QString::fromLatin1(kAboutBannerPath), 2.0);
    EXPECT_EQ(doubled.size(), QSize(662, 126));
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
    EXPECT_EQ(doubled.deviceIndependentSize().toSize(), QSize(331, 63));
    // Without a twin the plain bitmap is taken; without either, nothing.
    EXPECT_EQ(LoadResourceBitmap(QStringLiteral(":/parcelo/file-32.png"), 2.0).size(),
              QSize(32, 32));
    EXPECT_TRUE(LoadResourceBitmap(QStringLiteral(":/parcelo/no-such.png"), 1.0).isNull());
}

TEST_F(AboutBox, TheAboutButtonOpensTheBoxModally) {
    TestDialog dialog;
    dialog.show();
    int shown = 0;
    QString caption;
    QTimer::singleShot(0, [&] {
        if (auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
            ++shown;
            caption = about->windowTitle();
            about->accept();
        }
    });
    qobject_cast<QAbstractButton*>(dialog.control(kIdcAbout))->click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(caption, "About Parcelo");
    EXPECT_TRUE(dialog.isVisible());  // the window stays as it was
    dialog.reject();
}

}  // namespace
}  // namespace parcelo::testing
