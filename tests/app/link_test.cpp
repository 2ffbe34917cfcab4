// Links in the body: a click hands web and mail links to the browser and nothing else, while
// the text stays selectable.
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "controls/body_view.h"

namespace parcelo::testing {
namespace {

std::string Link(const char* target, const char* text) {
    return std::string("{\\field{\\*\\fldinst HYPERLINK \"") + target + "\"}{\\fldrslt " + text +
           "}}";
}

class Links : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string body = "{\\rtf1\\ansi Visit " +
                                 Link("https://example.com/page?a=1", "the web site") + " or " +
                                 Link("file:///etc/passwd", "the local file") + " now.\\par}";
        dialog.fileName = WriteTnef(in, "winmail.dat", NoteBytes(body, {}));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ASSERT_EQ(dialog.LoadTnefFile(), 1);
    }
    void TearDown() override { dialog.reject(); }

    QWidget* viewport() const { return dialog.bodyView()->viewport(); }

    // A point on the `offset`th character of `text` in the body.
    QPoint pointOn(const QString& text, int offset) const {
        QTextCursor cursor = dialog.bodyView()->document()->find(text);
        EXPECT_FALSE(cursor.isNull()) << text.toStdString();
        cursor.setPosition(cursor.selectionStart() + offset);
        const QRect left = dialog.bodyView()->cursorRect(cursor);
        cursor.movePosition(QTextCursor::NextCharacter);
        const QRect right = dialog.bodyView()->cursorRect(cursor);
        return QPoint((left.x() + right.x()) / 2, left.center().y());
    }

    ScratchDir in;
    TemporaryFolder tmp;
    TestDialog dialog;
};

TEST_F(Links, ALeftClickOpensAWebLinkOnce) {
    const QPoint site = pointOn("the web site", 5);
    QTest::mouseClick(viewport(), Qt::RightButton, Qt::NoModifier, site);
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::NoModifier, pointOn("Visit", 2));
    EXPECT_TRUE(dialog.links.isEmpty());
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::NoModifier, site);
    EXPECT_EQ(dialog.links, QList<QUrl>({QUrl("https://example.com/page?a=1")}));
    // The second click of a double click selects a word instead.
    QTest::mouseDClick(viewport(), Qt::LeftButton, Qt::NoModifier, site);
    QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, site);
    EXPECT_EQ(dialog.links.size(), 1);
}

TEST_F(Links, AFileLinkIsNotOpened) {
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::NoModifier, pointOn("the local file", 6));
    EXPECT_TRUE(dialog.links.isEmpty());
    EXPECT_TRUE(dialog.opened.isEmpty());
}

TEST_F(Links, DraggingOverALinkSelectsItsTextForCopying) {
    QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, pointOn("the web site", 1));
    QTest::mouseMove(viewport(), pointOn("the web site", 6));
    QTest::mouseMove(viewport(), pointOn("the web site", 10));
    QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, pointOn("the web site", 10));
    EXPECT_TRUE(dialog.links.isEmpty());
    const QString selected = dialog.bodyView()->textCursor().selectedText();
    EXPECT_TRUE(QString("the web site").contains(selected) && selected.size() >= 8)
        << selected.toStdString();
    dialog.bodyView()->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), selected);
}

TEST_F(Links, ThePointerIsAHandOnlyOverALink) {
    QTest::mouseMove(viewport(), pointOn("Visit", 2));
    const Qt::CursorShape text = viewport()->cursor().shape();
    EXPECT_NE(text, Qt::PointingHandCursor);
    QTest::mouseMove(viewport(), pointOn("the web site", 5));
    EXPECT_EQ(viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(viewport(), pointOn("now", 1));
    EXPECT_EQ(viewport()->cursor().shape(), text);
}

struct SchemeCase {
    const char* name;
    const char* target;
    bool opened;
};

class LinkSchemes : public ::testing::TestWithParam<SchemeCase> {};

// The view reports every clicked link; the window decides which ones leave the program.
TEST_P(LinkSchemes, OnlyWebAndMailLinksAreOpened) {
    TestDialog dialog;
    emit dialog.bodyView()->linkClicked(QUrl(GetParam().target, QUrl::TolerantMode));
    EXPECT_EQ(dialog.links.size(), GetParam().opened ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Window, LinkSchemes,
    ::testing::Values(SchemeCase{"http", "http://example.com/", true},
                      SchemeCase{"https_upper_case", "HTTPS://example.com/", true},
                      SchemeCase{"mailto", "mailto:ann@example.com", true},
                      SchemeCase{"file", "file:///etc/passwd", false},
                      SchemeCase{"javascript", "javascript:alert(1)", false},
                      SchemeCase{"unc_path", "\\\\server\\share\\x.exe", false},
                      SchemeCase{"bookmark", "#_Toc1", false},
                      SchemeCase{"other_program", "ms-settings:privacy", false}),
    [](const ::testing::TestParamInfo<SchemeCase>& scheme) { return scheme.param.name; });

}  // namespace
}  // namespace parcelo::testing
