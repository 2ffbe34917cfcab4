// The hyperlink static: fitting to its text, hover look, underline modes, colours, and what a
// click does when the target opens and when it does not.
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

#include "controls/link_static.h"

namespace parcelo::testing {
namespace {

// A link whose failures are written down instead of shown, opened by the test.
class TestLink : public CLinkStatic {
  public:
    using CLinkStatic::CLinkStatic;
    QStringList failures;
    std::vector<QString> opened;
    int result = kOpenSucceeded;

    void useTestOpener() {
        SetOpener([this](const QString& target, int showCommand) {
            opened.push_back(target);
            shownWith = showCommand;
            return result;
        });
    }
    int shownWith = -1;

  protected:
    void ShowOpenFailure(const QString& text) override { failures << text; }
};

void Enter(QWidget* widget) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(widget, &enter);
}

void Leave(QWidget* widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

int CountPixels(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
    }
    return count;
}

class LinkStatic : public ::testing::Test {
  protected:
    void SetUp() override {
        parent.resize(400, 200);
        link = new TestLink(QStringLiteral("parcelo.example.org"), &parent);
        link->useTestOpener();
    }
    QFont underlined() const {
        QFont font = parent.font();
        font.setUnderline(true);
        return font;
    }

    QWidget parent;
    TestLink* link = nullptr;
};

TEST_F(LinkStatic, StartsAsALinkToItsOwnTextSizedToIt) {
    EXPECT_EQ(link->GetLinkTarget(), "parcelo.example.org");
    EXPECT_EQ(link->toolTip(), "parcelo.example.org");
    EXPECT_EQ(link->GetLinkColour(), QColor(0, 0, 238));
    EXPECT_EQ(link->GetVisitedColour(), QColor(85, 26, 139));
    EXPECT_EQ(link->GetHoverColour(), QColor(255, 0, 0));
    EXPECT_EQ(link->GetUnderlineMode(), CLinkStatic::kUnderlineHover);
    EXPECT_TRUE(link->GetFitToText());
    EXPECT_FALSE(link->GetVisitedState());
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    const QFontMetrics metrics(underlined());
    EXPECT_EQ(link->size(),
              QSize(metrics.horizontalAdvance("parcelo.example.org"), metrics.height()));
}

TEST_F(LinkStatic, ANewTargetRefitsTheTextAndBecomesTheTooltip) {
    link->setGeometry(50, 20, 300, 40);
    link->setText(QStringLiteral("mail"));
    link->SetLinkTarget(QStringLiteral("mailto:parcelo@example.org"));
    const QFontMetrics metrics(underlined());
    EXPECT_EQ(link->geometry(), QRect(50, 20, metrics.horizontalAdvance("mail"), metrics.height()));
    EXPECT_EQ(link->toolTip(), "mailto:parcelo@example.org");

    // Right-aligned text keeps its right edge; centred text keeps its centre.
    link->setAlignment(Qt::AlignRight | Qt::AlignTop);
    link->setGeometry(50, 20, 300, 40);
    link->SetLinkTarget(QStringLiteral("x"));
    EXPECT_EQ(link->geometry().right(), 349);
    EXPECT_EQ(link->width(), metrics.horizontalAdvance("mail"));
    link->setAlignment(Qt::AlignCenter);
    link->setGeometry(50, 20, 300, 40);
    link->SetLinkTarget(QStringLiteral("y"));
    const int shrinkX = (300 - metrics.horizontalAdvance("mail")) / 2;
    const int shrinkY = (40 - metrics.height()) / 2;
    EXPECT_EQ(link->geometry(),
              QRect(50, 20, 300, 40).adjusted(shrinkX, shrinkY, -shrinkX, -shrinkY));

    link->SetFitToText(false);
    link->setGeometry(50, 20, 300, 40);
    link->SetLinkTarget(QStringLiteral("z"));
    EXPECT_EQ(link->geometry(), QRect(50, 20, 300, 40));
}

TEST_F(LinkStatic, HoverUnderlinesOnlyInHoverModeAndAlwaysRecolours) {
    Enter(link);
    EXPECT_TRUE(link->IsHovering());
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(255, 0, 0));
    Leave(link);
    EXPECT_FALSE(link->IsHovering());
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));

    link->SetUnderlineMode(CLinkStatic::kUnderlineAlways);
    EXPECT_TRUE(link->font().underline());
    Enter(link);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(255, 0, 0));
    Leave(link);
    EXPECT_TRUE(link->font().underline());  // the font never changes in this mode

    link->SetUnderlineMode(CLinkStatic::kUnderlineNever);
    EXPECT_FALSE(link->font().underline());
    Enter(link);
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->TextColour(), QColor(255, 0, 0));
    Leave(link);

    // A mouse move over the control starts hovering too, as the first one after entering does.
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), link->mapToGlobal(QPointF(3, 3)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(link, &move);
    EXPECT_TRUE(link->IsHovering());
}

TEST_F(LinkStatic, ColoursAndStateSetters) {
    link->SetLinkColours(QColor(1, 2, 3), QColor(4, 5, 6), QColor());
    EXPECT_EQ(link->GetLinkColour(), QColor(1, 2, 3));
    EXPECT_EQ(link->GetVisitedColour(), QColor(4, 5, 6));
    EXPECT_EQ(link->GetHoverColour(), QApplication::palette().color(QPalette::Highlight));
    link->SetVisitedState(true);
    EXPECT_EQ(link->TextColour(), QColor(4, 5, 6));

    const QCursor cross(Qt::CrossCursor);
    link->SetHandCursor(&cross);
    EXPECT_EQ(link->cursor().shape(), Qt::CrossCursor);
    link->SetHandCursor(nullptr);
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(LinkStatic, AClickThatOpensMarksTheLinkVisited) {
    Enter(link);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(link->opened.size(), 1u);
    EXPECT_EQ(link->opened[0], "parcelo.example.org");
    EXPECT_EQ(link->shownWith, 5);
    EXPECT_TRUE(link->failures.isEmpty());
    EXPECT_TRUE(link->GetVisitedState());
    EXPECT_FALSE(link->IsHovering());
    EXPECT_EQ(link->TextColour(), QColor(85, 26, 139));
    // Over a visited link the hover colour wins.
    Enter(link);
    EXPECT_EQ(link->TextColour(), QColor(255, 0, 0));

    // A press outside or a release beside the control opens nothing.
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 5, 2));
    EXPECT_EQ(link->opened.size(), 1u);
}

TEST_F(LinkStatic, AFailedClickSaysWhyAndClearsTheVisitedState) {
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_TRUE(link->GetVisitedState());

    link->result = CLinkStatic::kErrorNoAssociation;
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(link->GetVisitedState());
    EXPECT_EQ(link->TextColour(), QColor(0, 0, 238));
    ASSERT_EQ(link->failures.size(), 1);
    EXPECT_EQ(link->failures[0],
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
              "filename extension.");
    // The control stays usable.
    link->result = CLinkStatic::kOpenSucceeded;
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(link->GetVisitedState());
    EXPECT_EQ(link->failures.size(), 1);
}

TEST(LinkStaticFailureText, NamesTheCauseOfEachLaunchResult) {
    const QString prefix = QStringLiteral("Unable to open hyperlink:\n\n");
    const struct {
        int result;
        const char* text;
    } rows[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30,
         "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
         "being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CLinkStatic::OpenFailureText(row.result), prefix + row.text) << row.result;
}

TEST_F(LinkStatic, IsDrawnInTheColourOfItsState) {
    link->SetUnderlineMode(CLinkStatic::kUnderlineAlways);  // a solid line of the text colour
    const QImage idle = link->grab().toImage();
    EXPECT_GT(CountPixels(idle, QColor(0, 0, 238)), 0);
    EXPECT_EQ(CountPixels(idle, QColor(255, 0, 0)), 0);

    Enter(link);
    const QImage hovered = link->grab().toImage();
    EXPECT_GT(CountPixels(hovered, QColor(255, 0, 0)), 0);
    EXPECT_EQ(CountPixels(hovered, QColor(0, 0, 238)), 0);

    Leave(link);
    link->SetVisitedState(true);
    const QImage visited = link->grab().toImage();
    EXPECT_GT(CountPixels(visited, QColor(85, 26, 139)), 0);
    EXPECT_EQ(CountPixels(visited, QColor(0, 0, 238)), 0);
}

}  // namespace
}  // namespace parcelo::testing
