// Bodies that encapsulate HTML: rebuilding the HTML from \htmltag groups and the text outside
// \htmlrtf, and showing it without reaching outside the message.
#include "rtf/html_from_rtf.h"

#include "rtf_test_support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
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
                          "{\\*\\htmltag84 <img src=\"cid:missing@x\" alt=\"Missing\">}"
                          "{\\*\\htmltag84 <img src=\"cid:logo@x\">}"),
             [&](const QString& id) {
                 asked << id;
                 return id == "logo@x" ? PngBytes() : QByteArray();
             });
    EXPECT_EQ(asked, (QStringList{"logo@x", "missing@x"}));
    EXPECT_EQ(ImageCount(*document), 2);
    EXPECT_EQ(
        document->resource(QTextDocument::ImageResource, QUrl("cid:logo@x")).value<QImage>().size(),
        QSize(5, 4));
    EXPECT_EQ(PlainTextOfDocument(*document).toStdString(), "[Missing]");
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

TEST_F(LocalFiles, OfflineDocumentLoadsNothing) {
    OfflineTextDocument offline;
    EXPECT_FALSE(offline.resource(QTextDocument::ImageResource, QUrl(url("secret.png"))).isValid());
    QTextDocument plain;
    EXPECT_TRUE(plain.resource(QTextDocument::ImageResource, QUrl(url("secret.png"))).isValid());
}

}  // namespace
}  // namespace parcelo::test
