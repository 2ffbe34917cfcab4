// Bodies stored as HTML or plain text: their decoding and their place in the document.
#include "body/message_body.h"

#include "body/body_document.h"
#include "body/html/document_html.h"
#include "body/html/html_charset.h"
#include "body/rtf/rtf_writer.h"
#include "body_test_support.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace parcelo::test {
namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    uint32_t fallback;
    std::string text;  // UTF-8
};

class HtmlDecoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(HtmlDecoding, GoesByMarkThenMetaThenTheMessage) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(DecodeHtmlBody(c.bytes, c.fallback).toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, HtmlDecoding,
    testing::Values(
        DecodeCase{"Utf8Mark", "\xEF\xBB\xBF<p>caf\xC3\xA9</p>", 1251, "<p>café</p>"},
        DecodeCase{"Utf16LittleEndianMark", std::string("\xFF\xFEh\0\xE9\0", 6), 1252, "hé"},
        DecodeCase{"Utf16BigEndianMark", std::string("\xFE\xFF\0h\0\xE9", 6), 1252, "hé"},
        // The mark wins over the meta.
        DecodeCase{"MarkBeforeMeta", "\xEF\xBB\xBF<meta charset=windows-1251>\xC3\xA9", 1252,
                   "<meta charset=windows-1251>é"},
        DecodeCase{"MetaCharset", "<meta charset=\"koi8-r\"><p>\xF0\xD2\xC9</p>", 1252,
                   "<meta charset=\"koi8-r\"><p>При</p>"},
        DecodeCase{"MetaHttpEquiv",
                   "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                   "CHARSET=Windows-1251\">\xCF\xF0\xE8",
                   1252,
                   "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                   "CHARSET=Windows-1251\">При"},
        DecodeCase{"MetaUnquotedAfterOthers",
                   "<meta name=x><meta http-equiv=Content-Type content='text/html; "
                   "charset=iso-8859-8-i'>\xF9",
                   1252,
                   "<meta name=x><meta http-equiv=Content-Type content='text/html; "
                   "charset=iso-8859-8-i'>ש"},
        // Browsers read these labels as Windows-1252.
        DecodeCase{"UsAsciiIsWindows1252", "<meta charset=us-ascii>\x93q\x94", 1251,
                   "<meta charset=us-ascii>“q”"},
        DecodeCase{"Latin1IsWindows1252", "<meta charset=iso-8859-1>\x80", 1251,
                   "<meta charset=iso-8859-1>€"},
        DecodeCase{"NoMetaTakesTheMessagesCodePage", "<p>\xCF\xF0\xE8</p>", 1251, "<p>При</p>"},
        DecodeCase{"UnknownLabelTakesTheMessagesCodePage", "<meta charset=x-klingon>\xE9", 1252,
                   "<meta charset=x-klingon>é"},
        DecodeCase{"MetaFarDownIsNotLookedFor",
                   std::string(5000, ' ') + "<meta charset=windows-1251>\xE9", 1252,
                   std::string(5000, ' ') + "<meta charset=windows-1251>é"},
        DecodeCase{"InvalidUtf8IsReplaced",
                   "<meta charset=utf-8>a\xFF"
                   "b",
                   1252,
                   "<meta charset=utf-8>a\xEF\xBF\xBD"
                   "b"},
        DecodeCase{"ControlCharactersAreNotShown",
                   std::string("a\0b\x01\x1F"
                               "c\td\r\n",
                               10),
                   1252, "abc\td\r\n"}),
    CaseName());

TEST(HtmlCharset, LabelsAreThoseOfTheWeb) {
    EXPECT_EQ(CodePageOfCharsetLabel("UTF-8"), 65001u);
    EXPECT_EQ(CodePageOfCharsetLabel("gb2312"), 936u);
    EXPECT_EQ(CodePageOfCharsetLabel("ks_c_5601-1987"), 949u);
    EXPECT_EQ(CodePageOfCharsetLabel("iso-8859-9"), 1254u);
    EXPECT_EQ(CodePageOfCharsetLabel("nonsense"), 0u);
    EXPECT_EQ(MetaCharsetOf("<html><meta charset = 'Shift_JIS' >"), "Shift_JIS");
    EXPECT_EQ(MetaCharsetOf("<p>charset=utf-8</p>"), "");
}

QByteArray PngBytes() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(MessageBodies, EveryFormAppearsInOrderWithABlankLineBetween) {
    OfflineTextDocument document;
    AppendMessageBody(document, BodyFormat::kRtf, "{\\rtf1 From RTF\\par}", 0);
    AppendMessageBody(document, BodyFormat::kHtml, "<p>From <b>HTML</b> caf\xE9</p>", 1252);
    AppendMessageBody(document, BodyFormat::kText, "Plain\r\ntext\rhere\n\nend", 0);
    EXPECT_EQ(PlainTextOfDocument(document).toStdString(),
              "From RTF\n\nFrom HTML café\n\nPlain\ntext\nhere\n\nend");
    const auto bold = FormatOf(document, "HTML");
    ASSERT_TRUE(bold.has_value());
    EXPECT_EQ(bold->fontWeight(), QFont::Bold);
    // Plain text is shown as text, never read as markup.
    OfflineTextDocument plain;
    AppendMessageBody(plain, BodyFormat::kText, "<b>not bold</b> & {\\rtf1}", 0);
    EXPECT_EQ(PlainTextOfDocument(plain).toStdString(), "<b>not bold</b> & {\\rtf1}");
}

// Word and browsers set a line of Calibri 1.22 of its size apart; Qt would add the font's
// line gap to that, and a body ran a sixth longer than its sender's.
TEST(MessageBodies, LinesAreTheirFontsHeightApart) {
    const QString words = QString("word ").repeated(60);
    OfflineTextDocument document;
    AppendMessageBody(
        document, BodyFormat::kHtml,
        ("<p style='font-family:Calibri;font-size:11pt'>" + words +
         "</p><p style='font-family:Calibri;font-size:11pt;line-height:200%'>" + words + "</p>")
            .toStdString(),
        65001);
    AppendMessageBody(
        document, BodyFormat::kRtf,
        ("{\\rtf1{\\fonttbl{\\f0\\fswiss Calibri;}}\\f0\\fs22 " + words + "\\par}").toStdString(),
        0);
    document.setTextWidth(300);
    const auto pitch = [&](int paragraph) {
        QTextBlock block = document.begin();
        for (int found = -1; block.isValid(); block = block.next())
            if (block.text().startsWith(u"word") && ++found == paragraph)
                break;
        document.documentLayout()->blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        return layout->lineCount() > 1 ? layout->lineAt(1).y() - layout->lineAt(0).y() : 0.0;
    };
    QFont carlito("Carlito");
    carlito.setPointSizeF(11);
    const QFontMetricsF metrics(carlito);
    const qreal single = metrics.ascent() + metrics.descent();
    EXPECT_NEAR(pitch(0), single, 1) << "HTML";
    EXPECT_NEAR(pitch(2), single, 1) << "RTF";
    // A spacing the sender set is a multiple of the same height.
    EXPECT_NEAR(pitch(1), 2 * single, 1);
    // Saved, the body has the spacing it came with.
    const std::string rtf = RtfFromDocument(document).toStdString();
    EXPECT_NE(rtf.find("\\sl480\\slmult1"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.find("\\sl203"), std::string::npos) << rtf;
    const std::string html = SelfContainedHtml(document).toStdString();
    EXPECT_NE(html.find("line-height:200%"), std::string::npos) << html;
    EXPECT_EQ(html.find("line-height:84"), std::string::npos) << html;
}

TEST(MessageBodies, HtmlShowsOnlyTheImagesOfItsMessage) {
    const QByteArray png = PngBytes();
    std::vector<QString> asked;
    const CidResolver resolve = [&](const QString& contentId) {
        asked.push_back(contentId);
        return contentId == u"logo@x" ? png : QByteArray();
    };
    OfflineTextDocument document;
    AppendMessageBody(document, BodyFormat::kHtml,
                      "<p><img src=\"cid:logo@x\" alt=logo><img src=\"cid:gone@x\" alt=gone>"
                      "<img src=\"http://example.com/t.png\" alt=tracker>"
                      "<img src=\"file:///etc/passwd\" alt=local></p>",
                      1252, resolve);
    EXPECT_EQ(asked, (std::vector<QString>{u"logo@x"_qs, u"gone@x"_qs}));
    int shown = 0;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            ++shown;
    }
    EXPECT_EQ(shown, 2);  // the lost cid: picture as a box
    EXPECT_FALSE(document.resource(QTextDocument::ImageResource, QUrl("cid:logo@x")).isNull());
    EXPECT_EQ(PlainTextOfDocument(document).toStdString(), "[tracker][local]");

    // A Content-ID that no part carries still finds the picture its name names, as in a
    // mail reader; one that names no file is not guessed at.
    MessageBodies bodies;
    bodies.picturesByName["image001.png"] = std::string(png.constData(), png.size());
    bodies.sections.push_back(
        {{},
         0,
         std::nullopt,
         MessageBody{BodyFormat::kHtml,
                     "<img src=\"cid:Image001.PNG@01D9A3B4.5C6D7E80\" alt=logo>"
                     "<img src=\"cid:part1.06090408@example.com\" alt=other>",
                     1252}});
    OfflineTextDocument byName;
    BuildBodyDocument(byName, bodies);
    EXPECT_TRUE(
        byName.resource(QTextDocument::ImageResource, QUrl("cid:part1.06090408@example.com"))
            .isValid());
    EXPECT_FALSE(
        byName.resource(QTextDocument::ImageResource, QUrl("cid:Image001.PNG@01D9A3B4.5C6D7E80"))
            .isNull());
}

}  // namespace
}  // namespace parcelo::test
