// The plain text of a body, as the command line prints it.
#include "body_test_support.h"

#include <QTextCursor>

#include <gtest/gtest.h>

namespace parcelo::test {
namespace {

std::string HtmlText(const char* html) {
    QTextDocument document;
    document.setHtml(QString::fromUtf8(html));
    return PlainTextOfDocument(document).toStdString();
}

struct PlainCase {
    const char* name;
    const char* html;
    const char* text;
};

class PlainTextTest : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainTextTest, ShowsWhatTheViewShows) {
    EXPECT_EQ(HtmlText(GetParam().html), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, PlainTextTest,
    testing::Values(
        PlainCase{"paragraphs", "<p>one</p><p>two</p>", "one\ntwo"},
        PlainCase{"bullets", "<ul><li>a</li><li>b</li></ul>", "• a\n• b"},
        PlainCase{"circle_and_square",
                  "<ul type=circle><li>c</li></ul><ul type=square><li>s</li></ul>", "◦ c\n▪ s"},
        PlainCase{"numbers", "<ol><li>a</li><li>b</li></ol><ol type=A><li>c</li></ol>",
                  "1. a\n2. b\nA. c"},
        PlainCase{"nested_list_indented", "<ul><li>a<ul><li>b</li></ul></li></ul>", "• a\n  • b"},
        PlainCase{"table_cells_tab_separated",
                  "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td><td></td></tr></table>",
                  "a\tb\nc\t"},
        PlainCase{"layout_table_keeps_lines",
                  "<table><tr><td><p>one</p><p>two</p></td><td></td></tr></table>", "one\ntwo"},
        PlainCase{"cell_paragraphs_joined",
                  "<table><tr><td><p>a</p><p>b</p></td><td>c</td></tr></table>", "a b\tc"},
        PlainCase{"links_as_text", "see <a href=\"http://x.example/\">the site</a>",
                  "see the site"},
        PlainCase{"line_break_and_nbsp", "a<br>b&nbsp;c", "a\nb c"},
        PlainCase{"images_give_nothing", "a<img src=\"data:,\">b", "ab"}),
    CaseName());

TEST(PlainText, LongListsKeepTheirNumbers) {
    std::string rtf =
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc2{\\leveltext\\'02\\'00);}}"
        "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";
    for (int i = 0; i < 2003; ++i)
        rtf += "\\pard\\ls1 x\\par";
    const QStringList lines = PlainTextOfRtf(rtf + "}").split(u'\n');
    ASSERT_EQ(lines.size(), 2003);
    EXPECT_EQ(lines[1998].toStdString(), "mcmxcix) x");
    EXPECT_EQ(lines[2002].toStdString(), "mmiii) x");
}

TEST(PlainText, LongBulletRunsKeepTheirBullets) {
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; i < 450; ++i)
        rtf += "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt}x\\par";
    const QStringList lines = PlainTextOfRtf(rtf + "}").split(u'\n');
    ASSERT_EQ(lines.size(), 450);
    EXPECT_EQ(lines.filter(u"\u2022 x").size(), 450);
}

TEST(PlainText, EmptyDocumentIsEmpty) {
    QTextDocument document;
    EXPECT_EQ(PlainTextOfDocument(document), QString());
    EXPECT_EQ(PlainTextOfRtf(""), QString());
}

}  // namespace
}  // namespace parcelo::test
