// Bodies that encapsulate HTML: rebuilding the HTML from \htmltag groups and the text outside
// \htmlrtf, and showing it without reaching outside the message.
#include "body/html/html_from_rtf.h"
#include "body/font_families.h"
#include "body/html/document_html.h"
#include "body/picture_placeholder.h"
#include "body/rtf/rtf_writer.h"

#include "body_test_support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace parcelo::test {
namespace {

std::string Encapsulated(std::string_view body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
           "Arial;}{\\f1\\fnil\\fcharset128 MS Gothic;}}\n" +
           std::string(body) + "}";
}

struct HtmlCase {
    const char* name;
    const char* body;
    const char* html;
};

class EncapsulatedHtmlTest : public testing::TestWithParam<HtmlCase> {};

TEST_P(EncapsulatedHtmlTest, RebuildsHtml) {
    const auto html = HtmlFromRtf(Encapsulated(GetParam().body));
    ASSERT_TRUE(html.has_value());
    EXPECT_EQ(html->toStdString(), GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, EncapsulatedHtmlTest,
    testing::Values(
        HtmlCase{"tags_and_text", "{\\*\\htmltag64 <p>}Hello{\\*\\htmltag72 </p>}", "<p>Hello</p>"},
        HtmlCase{"rtf_only_parts_dropped",
                 "{\\*\\htmltag84 <b>}\\htmlrtf {\\b \\htmlrtf0 bold\\htmlrtf }\\htmlrtf0 "
                 "{\\*\\htmltag92 </b>}",
                 "<b>bold</b>"},
        HtmlCase{"htmlrtf_ends_with_its_group", "{\\htmlrtf hidden}shown", "shown"},
        HtmlCase{"text_is_escaped", "a < b & c > d", "a &lt; b &amp; c &gt; d"},
        HtmlCase{"entities_stay_in_tags", "{\\*\\htmltag84 &nbsp;}\\htmlrtf \\'a0\\htmlrtf0 x",
                 "&nbsp;x"},
        HtmlCase{"par_in_tag_is_newline",
                 "{\\*\\htmltag241 <style>p \\{margin:0\\}\\par a \\{color:blue\\}</style>}",
                 "<style>p {margin:0}\na {color:blue}</style>"},
        HtmlCase{"par_and_tab_in_text", "a\\par\\tab b", "a\n\tb"},
        HtmlCase{"code_page_bytes", "{\\*\\htmltag84 <p title=\"\\'e4\">}\\'fc",
                 "<p title=\"ä\">ü"},
        HtmlCase{"font_charset", "\\f1\\'82\\'a0", "あ"},
        HtmlCase{"unicode", "{\\*\\htmltag84 <i>}\\u8364?", "<i>€"},
        HtmlCase{"field_result_text_kept",
                 "{\\*\\htmltag84 <a href=\"x\">}\\htmlrtf {\\field{\\*\\fldinst{HYPERLINK "
                 "\"x\"}}{\\fldrslt\\ul \\htmlrtf0 link\\htmlrtf }\\htmlrtf0 \\htmlrtf }\\htmlrtf0 "
                 "{\\*\\htmltag92 </a>}",
                 "<a href=\"x\">link</a>"},
        HtmlCase{"mhtml_twin_dropped",
                 "{\\*\\mhtmltag84 <img src=\"cid:a\">}{\\*\\htmltag84 <img src=\"a.png\">}",
                 "<img src=\"cid:a\">"},
        HtmlCase{"mhtml_different_tag_kept",
                 "{\\*\\mhtmltag84 <a href=\"cid:a\">}{\\*\\htmltag84 <b>}",
                 "<a href=\"cid:a\"><b>"},
        HtmlCase{"pictures_and_tables_ignored",
                 "{\\*\\htmltag84 <br>}\\htmlrtf {\\pict\\pngblip 0011}\\par\\htmlrtf0 "
                 "{\\fonttbl{\\f9 X;}}",
                 "<br>"}),
    CaseName());

TEST(EncapsulatedHtml, OtherBodiesHaveNone) {
    EXPECT_FALSE(HtmlFromRtf("{\\rtf1\\ansi plain}").has_value());
    EXPECT_FALSE(HtmlFromRtf("{\\rtf1\\ansi\\fromtext plain}").has_value());
}

TEST(EncapsulatedHtml, ShownAsHtml) {
    const std::string rtf = Encapsulated(
        "{\\*\\htmltag19 <html>}{\\*\\htmltag50 <body>}{\\*\\htmltag64 <p>}\\htmlrtf {\\htmlrtf0 "
        "Dear {\\*\\htmltag84 <b>}\\htmlrtf {\\b \\htmlrtf0 Isabel\\htmlrtf }\\htmlrtf0 "
        "{\\*\\htmltag92 </b>},\\htmlrtf\\par}\\htmlrtf0 {\\*\\htmltag72 </p>}"
        "{\\*\\htmltag64 <p>}see {\\*\\htmltag84 <a href=\"http://example.com/\">}here"
        "{\\*\\htmltag92 </a>}{\\*\\htmltag72 </p>}{\\*\\htmltag58 </body>}{\\*\\htmltag27 "
        "</html>}");
    const auto document = Read(rtf);
    EXPECT_EQ(PlainTextOfDocument(*document).toStdString(), "Dear Isabel,\nsee here");
    const auto name = FormatOf(*document, "Isabel");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(name->fontWeight(), QFont::Bold);
    const auto link = FormatOf(*document, "here");
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->anchorHref(), "http://example.com/");
}

TEST(EncapsulatedHtml, BodyWithoutHtmlFallsBackToItsRtf) {
    EXPECT_EQ(TextOf("{\\rtf1\\fromhtml1 \\htmlrtf only rtf\\htmlrtf0}").toStdString(), "only rtf");
}

// `html` as Outlook encapsulates it, in one tag group.
std::string EncapsulatedHtml(std::string_view html) {
    std::string escaped;
    for (char c : html) {
        if (c == '{' || c == '}' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return Encapsulated("{\\*\\htmltag64 " + escaped + "}");
}

TEST(HtmlStyleSheets, OutlooksSheetAppliesAndItsConditionalCommentsStayOut) {
    const auto document = Read(EncapsulatedHtml(
        "<html><head><style><!--\n/* Style Definitions */\np.MsoNormal, li.MsoNormal, "
        "div.MsoNormal\n\t{margin:0in;\n\tmargin-bottom:.0001pt;\n\tfont-size:11.0pt;\n\t"
        "font-family:\"Calibri\",\"sans-serif\";}\nspan.EmailStyle17\n\t{mso-style-type:"
        "personal-compose;\n\tfont-family:\"Arial\",\"sans-serif\";\n\tcolor:#1F497D;}\n"
        "p.MsoListParagraph\n\t{margin-top:0in;margin-right:0in;margin-bottom:0in;margin-left:"
        ".5in;}\n@page WordSection1\n\t{size:8.5in 11.0in;}\ndiv.WordSection1\n\t{page:"
        "WordSection1;}\n--></style><!--[if gte mso 9]><xml><o:shapedefaults v:ext=\"edit\" "
        "spidmax=\"1026\" /></xml><![endif]--></head><body lang=EN-US><div class=WordSection1>"
        "<p class=MsoNormal>First<o:p></o:p></p><p class=MsoNormal><span class=EmailStyle17>"
        "Reply</span></p><p class=MsoListParagraph style='text-indent:-.25in'>Item</p>"
        "<p>Plain</p></div></body></html>"));
    EXPECT_EQ(PlainTextOfDocument(*document).toStdString(), "First\nReply\nItem\nPlain");
    const QTextBlockFormat first = BlockOf(*document, "First").blockFormat();
    EXPECT_EQ(first.topMargin(), 0);
    EXPECT_EQ(first.bottomMargin(), 0);
    const QTextBlockFormat item = BlockOf(*document, "Item").blockFormat();
    EXPECT_EQ(item.leftMargin(), 48);
    EXPECT_EQ(item.textIndent(), -24);
    // A paragraph of no class keeps a browser's margins.
    EXPECT_EQ(BlockOf(*document, "Plain").blockFormat().topMargin(), 12);

    const auto normal = FormatOf(*document, "First");
    ASSERT_TRUE(normal.has_value());
    EXPECT_EQ(normal->fontPointSize(), 11);
    EXPECT_EQ(SenderFontFamilies(*normal).value(0), "Calibri");
    const auto reply = FormatOf(*document, "Reply");
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(SenderFontFamilies(*reply).value(0), "Arial");
    EXPECT_EQ(reply->foreground().color(), QColor(0x1f, 0x49, 0x7d));
    EXPECT_EQ(reply->fontPointSize(), 11);
}

TEST(HtmlStyleSheets, StatedFontSizesAreNotShrunkAgain) {
    const auto document = Read(EncapsulatedHtml(
        "<p><font size=2 face=Arial><span style='font-size:10.0pt'>stated</span></font></p>"
        "<p><span style='font-size:14.0pt'><font size=2>legacy</font></span></p>"
        "<p><font size=2>alone</font> <font size=\"+2\">larger</font></p>"
        "<h1 style='font-size:16pt'>heading</h1><h2>plain heading</h2><p>unstyled</p>"));
    const auto pointSize = [&](const char* text) {
        const auto format = FormatOf(*document, text);
        return format ? format->font().pointSizeF() : -1.0;
    };
    EXPECT_EQ(pointSize("stated"), 10);
    EXPECT_EQ(pointSize("legacy"), 9.75);
    EXPECT_EQ(pointSize("alone"), 9.75);
    EXPECT_EQ(pointSize("larger"), 18);
    EXPECT_EQ(pointSize("heading"), 16);
    // A browser's sizes: 16 px text, headings scaled from it, not from the window's font.
    EXPECT_EQ(pointSize("plain heading"), 18);
    EXPECT_EQ(pointSize("unstyled"), 12);
}

TEST(HtmlStyleSheets, TextIsDrawnInTheFirstInstalledFamilyOfItsList) {
    const auto document = Read(EncapsulatedHtml(
        "<p style='font-family:Aptos, serif'>aptos</p><p>unstyled</p>"
        "<p style='font-family:Calibri, sans-serif'>calibri</p>"
        "<p style='font-family:wf_segoe-ui_light, \"Segoe UI\", Arial, sans-serif'>segoe</p>"
        "<p style='font-family:Aptos'>nothing installed</p>"
        "<p style='font-family:monospace'>generic</p>"));
    const auto drawnIn = [&](const char* text) {
        const auto format = FormatOf(*document, text);
        return format ? QFontInfo(format->font()).family().toStdString() : std::string();
    };
    EXPECT_EQ(drawnIn("aptos"), "DejaVu Serif");
    EXPECT_EQ(drawnIn("unstyled"), "DejaVu Serif");
    EXPECT_EQ(drawnIn("calibri"), "Carlito");
    EXPECT_EQ(drawnIn("segoe"), "Liberation Sans");
    EXPECT_EQ(drawnIn("nothing installed"), "DejaVu Serif");
    EXPECT_EQ(drawnIn("generic"), "DejaVu Sans Mono");
    // Saved, the text names the sender's fonts again.
    const QString html = SelfContainedHtml(*document);
    EXPECT_TRUE(html.contains("font-family:'Aptos',serif")) << html.toStdString();
    EXPECT_TRUE(html.contains("font-family:'Calibri',sans-serif")) << html.toStdString();
    EXPECT_FALSE(html.contains("DejaVu")) << html.toStdString();
    const QByteArray rtf = RtfFromDocument(*document);
    EXPECT_TRUE(rtf.contains("Calibri;")) << rtf.toStdString();
    EXPECT_FALSE(rtf.contains("Carlito")) << rtf.toStdString();
}

TEST(HtmlStyleSheets, SymbolFontGlyphsBecomeTheirCharacters) {
    const auto document =
        Read(EncapsulatedHtml("<p>Thanks <span style='font-family:Wingdings'>J</span> "
                              "<font face=Symbol>&#183;</font> <span style='font-family:\"Times "
                              "New Roman\"'>J</span></p>"));
    EXPECT_EQ(PlainTextOfDocument(*document).toStdString(), "Thanks \u263A \u2022 J");
    const auto smiley = FormatOf(*document, "\u263A");
    ASSERT_TRUE(smiley.has_value());
    EXPECT_FALSE(smiley->font().family().contains(u"Wingdings"));
}

const QTextTable* TableOf(const QTextDocument& document, const char* text) {
    return QTextCursor(BlockOf(document, text)).currentTable();
}

// Borders of each cell, row by row: "1111" for top, right, bottom and left drawn.
std::string CellBorders(const QTextTable& table) {
    std::string out;
    for (int row = 0; row < table.rows(); ++row) {
        if (!out.empty())
            out += ' ';
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCellFormat cell =
                table.cellAt(row, column).format().toTableCellFormat();
            const auto drawn = [](qreal width, QTextFrameFormat::BorderStyle style) {
                return width > 0 && style != QTextFrameFormat::BorderStyle_None ? '1' : '0';
            };
            out += drawn(cell.topBorder(), cell.topBorderStyle());
            out += drawn(cell.rightBorder(), cell.rightBorderStyle());
            out += drawn(cell.bottomBorder(), cell.bottomBorderStyle());
            out += drawn(cell.leftBorder(), cell.leftBorderStyle());
            if (column + 1 < table.columns())
                out += ',';
        }
    }
    return out;
}

TEST(HtmlTables, BordersOnlyWhereTheHtmlAsks) {
    const auto document = Read(EncapsulatedHtml(
        "<table border=0><tr><td>plain1</td><td>plain2</td></tr></table>"
        "<table border=1><tr><td colspan=2>wide</td></tr><tr><td rowspan=2>tall</td>"
        "<td>b1</td></tr><tr><td>b2</td></tr></table>"
        "<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0 "
        "style='border-collapse:collapse;border:none'><tr><td style='border:solid windowtext "
        "1.0pt;padding:0in 5.4pt'>grid1</td><td style='border:solid windowtext 1.0pt;"
        "border-left:none;padding:0in 5.4pt'>grid2</td></tr></table>"
        "<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0 "
        "style='border-collapse:collapse;border:none'><tr><td style='border:none;"
        "padding:0in 5.4pt'>none1</td><td style='border:none'>none2</td></tr></table>"));

    const QTextTable* plain = TableOf(*document, "plain1");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->format().border(), 0);
    EXPECT_EQ(CellBorders(*plain), "0000,0000");

    const QTextTable* bordered = TableOf(*document, "wide");
    ASSERT_NE(bordered, nullptr);
    EXPECT_EQ(bordered->format().border(), 1);
    ASSERT_EQ(bordered->rows(), 3);
    ASSERT_EQ(bordered->columns(), 2);
    EXPECT_EQ(bordered->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(bordered->cellAt(1, 0).rowSpan(), 2);
    EXPECT_EQ(bordered->cellAt(2, 1).firstCursorPosition().block().text(), "b2");

    // Word's bordered table: a border on each cell and none on the table, which would be a
    // grid of its own.
    const QTextTable* grid = TableOf(*document, "grid1");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->format().border(), 0);
    EXPECT_EQ(CellBorders(*grid), "1111,1110");
    EXPECT_GT(grid->cellAt(0, 0).format().toTableCellFormat().leftPadding(), 6);

    // The same table with its borders removed in Word.
    const QTextTable* none = TableOf(*document, "none1");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->format().border(), 0);
    EXPECT_EQ(CellBorders(*none), "0000,0000");
}

// Qt draws no border around a block: a bordered division or quotation is a table of one cell.
TEST(HtmlBlocks, BordersOfBlocksAndRulesShow) {
    const auto document = Read(EncapsulatedHtml(
        "<p style='margin:0 0 20px 0'>above</p>"
        "<div style='border:none;border-top:solid #E1E1E1 1.0pt;padding:3.0pt 0in 0in 0in;"
        "margin-top:10px'><p>From: Ann</p></div>"
        "<blockquote type=cite style='border-left:2px solid #1010ff;padding-left:5px'>"
        "<p>quoted</p></blockquote>"
        "<div style='border:none'><p>unboxed</p></div>"
        "<div style='background:white'><hr><p>after rule</p></div>"));

    const QTextTable* rule = TableOf(*document, "From: Ann");
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(CellBorders(*rule), "1000");
    const QTextTableCellFormat ruleCell = rule->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(ruleCell.topBorderBrush().color(), QColor(0xE1, 0xE1, 0xE1));
    // Margins that meet collapse to the larger one, as between blocks.
    EXPECT_EQ(rule->format().topMargin(), 20);

    const QTextTable* quote = TableOf(*document, "quoted");
    ASSERT_NE(quote, nullptr);
    EXPECT_EQ(CellBorders(*quote), "0001");
    EXPECT_EQ(quote->cellAt(0, 0).format().toTableCellFormat().leftBorderBrush().color(),
              QColor(0x10, 0x10, 0xff));

    EXPECT_EQ(TableOf(*document, "unboxed"), nullptr);

    // A rule is drawn in its block's background, which it would take from the white box.
    QTextBlock hr = BlockOf(*document, "after rule").previous();
    while (hr.isValid() &&
           !hr.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth))
        hr = hr.previous();
    ASSERT_TRUE(hr.isValid());
    EXPECT_LT(hr.blockFormat().background().color().lightness(), 200);
}

QByteArray PngBytes() {
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

int ImageCount(const QTextDocument& document) {
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            count += it.fragment().charFormat().isImageFormat();
    return count;
}

TEST(HtmlResources, CidImagesComeFromTheResolver) {
    QStringList asked;
    const auto document =
        Read(Encapsulated("{\\*\\htmltag84 <img src=\"cid:logo@x\" alt=\"Logo\">}"
                          "{\\*\\htmltag84 <img src=\"cid:missing@x\" alt=\"Tom &amp; Jerry\">}"
                          "{\\*\\htmltag84 <img src=\"cid:logo@x\">}"),
             [&](const QString& id) {
                 asked << id;
                 return id == "logo@x" ? PngBytes() : QByteArray();
             });
    EXPECT_EQ(asked, (QStringList{"logo@x", "missing@x"}));
    EXPECT_EQ(ImageCount(*document), 3);
    EXPECT_EQ(
        document->resource(QTextDocument::ImageResource, QUrl("cid:logo@x")).value<QImage>().size(),
        QSize(5, 4));
    // The lost one keeps its place as a box that shows its alt text, as the text reads.
    const QImage lost =
        document->resource(QTextDocument::ImageResource, QUrl("cid:missing@x")).value<QImage>();
    EXPECT_EQ(lost, LostPictureImage("Tom & Jerry"));
    EXPECT_NE(lost, LostPictureImage({}));
}

TEST(HtmlResources, DataImagesAreShown) {
    const std::string source = "data:image/png;base64," + PngBytes().toBase64().toStdString();
    const auto document = Read(Encapsulated("{\\*\\htmltag84 <img src=\"" + source + "\">}"));
    EXPECT_EQ(ImageCount(*document), 1);
}

// Files that a hostile body could name, made real so that a load would succeed.
class LocalFiles : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QFile png(dir_.filePath("secret.png"));
        ASSERT_TRUE(png.open(QIODevice::WriteOnly));
        png.write(PngBytes());
        QFile css(dir_.filePath("style.css"));
        ASSERT_TRUE(css.open(QIODevice::WriteOnly));
        css.write("p { color: #ff0000; }");
    }
    QString url(const char* name) const {
        return QUrl::fromLocalFile(dir_.filePath(name)).toString();
    }
    QTemporaryDir dir_;
};

TEST_F(LocalFiles, NeitherImagesNorStyleSheetsAreRead) {
    const std::string body =
        "{\\*\\htmltag34 <head><link rel=\"stylesheet\" href=\"" + url("style.css").toStdString() +
        "\"><style>@import \"" + url("style.css").toStdString() + "\"; body \\{background: url(" +
        url("secret.png").toStdString() +
        ")\\}</style></head>}{\\*\\htmltag50 <body background=\"" +
        url("secret.png").toStdString() + "\">}{\\*\\htmltag64 <p style=\"background-image:url(" +
        url("secret.png").toStdString() + ")\">}text{\\*\\htmltag84 <img src=\"" +
        url("secret.png").toStdString() + "\" alt=\"A\">}{\\*\\htmltag84 <img src=\"" +
        dir_.filePath("secret.png").toStdString() +
        "\">}{\\*\\htmltag84 <img src=\"http://example.com/t.gif\">}";
    // A plain QTextDocument reads local files on its own: the reader must not give it any.
    QTextDocument document;
    AppendRtf(document, Encapsulated(body));
    EXPECT_EQ(ImageCount(document), 0);
    EXPECT_EQ(PlainTextOfDocument(document).toStdString(), "text[A]");
    const auto text = FormatOf(document, "text");
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(text->hasProperty(QTextFormat::BackgroundImageUrl));
}

TEST_F(LocalFiles, CommentedStyleSheetsLoadNothingEither) {
    const std::string css = "p { color: #ff0000; }";
    const std::string body =
        "{\\*\\htmltag34 <head><style><!--\\par @import \"" + url("style.css").toStdString() +
        "\";\\par @import url(" + url("style.css").toStdString() +
        ");\\par p \\{background-image: url(" + url("secret.png").toStdString() +
        "); background: url(" + url("secret.png").toStdString() +
        ") #00ff00; width: expression(alert(1)); behavior: url(#default#VML)\\}\\par "
        "--></style></head>}{\\*\\htmltag64 <p>}text{\\*\\htmltag72 </p>}";
    QTextDocument document;
    AppendRtf(document, Encapsulated(body));
    EXPECT_EQ(PlainTextOfDocument(document).toStdString(), "text");
    const auto text = FormatOf(document, "text");
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(text->hasProperty(QTextFormat::BackgroundImageUrl));
    const QTextBlockFormat block = BlockOf(document, "text").blockFormat();
    EXPECT_FALSE(block.hasProperty(QTextFormat::BackgroundImageUrl));
    // What was safe in the rule still applies.
    EXPECT_EQ(block.background().color(), QColor(0, 255, 0));
}

TEST_F(LocalFiles, OfflineDocumentLoadsNothing) {
    OfflineTextDocument offline;
    EXPECT_FALSE(offline.resource(QTextDocument::ImageResource, QUrl(url("secret.png"))).isValid());
    QTextDocument plain;
    EXPECT_TRUE(plain.resource(QTextDocument::ImageResource, QUrl(url("secret.png"))).isValid());
}

}  // namespace
}  // namespace parcelo::test
