// A body document as one HTML page: pictures inside, and no way out of the page but the
// body's web and mail links.
#include "body/html/document_html.h"

#include "body_test_support.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace parcelo::test {
namespace {

QByteArray Png(int width, int height, Qt::GlobalColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QStringList Values(const QString& html, const char* attribute) {
    QStringList values;
    const QRegularExpression pattern(QStringLiteral(" %1=\"([^\"]*)\"").arg(attribute));
    for (const auto& match : pattern.globalMatch(html))
        values << match.captured(1);
    return values;
}

TEST(SelfContainedHtml, PicturesInsideAndOnlyWebLinks) {
    OfflineTextDocument document;
    AppendRtf(document, "{\\rtf1 Native {\\pict\\pngblip\\picw2\\pich3 " +
                            Png(2, 3, Qt::red).toHex().toStdString() + "}\\par}");
    const std::string dataImage =
        "data:image/png;base64," + Png(4, 5, Qt::blue).toBase64().toStdString();
    AppendRtf(
        document,
        "{\\rtf1\\ansi\\fromhtml1 {\\*\\htmltag64 <p>Html <img src=\"" + dataImage +
            "\"> <a href=\"http://example.com/\">web</a> <a "
            "href=\"mailto:a@example.com\">mail</a> <a href=\"javascript:alert(1)\">script</a> "
            "<a href=\"file:///etc/passwd\">file</a> <a href=\"notes.html\">relative</a></p>}}");
    const QString html = SelfContainedHtml(document);

    EXPECT_TRUE(html.startsWith(u"<!DOCTYPE html>\n<html>")) << html.left(80).toStdString();
    const QStringList sources = Values(html, "src");
    ASSERT_EQ(sources.size(), 2);
    std::vector<QSize> sizes;
    for (const QString& source : sources) {
        ASSERT_TRUE(source.startsWith(u"data:image/png;base64,"));
        sizes.push_back(QImage::fromData(QByteArray::fromBase64(source.mid(22).toLatin1())).size());
    }
    EXPECT_EQ(sizes, (std::vector<QSize>{QSize(2, 3), QSize(4, 5)}));
    EXPECT_EQ(Values(html, "href"), (QStringList{"http://example.com/", "mailto:a@example.com"}));
    for (const char* text : {"Native", "Html", "script", "file", "relative"})
        EXPECT_TRUE(html.contains(QString::fromLatin1(text))) << text;
    for (const char* outside : {"rtf-image:", "javascript:", "file:", "notes.html", "w3.org"})
        EXPECT_FALSE(html.contains(QString::fromLatin1(outside))) << outside;
    // The view's document keeps its own links and pictures.
    EXPECT_EQ(FormatOf(document, "script")->anchorHref(), "javascript:alert(1)");
}

TEST(SelfContainedHtml, APictureWithoutItsImageIsLeftOut) {
    OfflineTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("before");
    QTextImageFormat missing;
    missing.setName("rtf-image:gone");
    cursor.insertImage(missing);
    cursor.insertText("after");
    const QString html = SelfContainedHtml(document);
    EXPECT_FALSE(html.contains(u"<img"));
    EXPECT_TRUE(html.contains(u"beforeafter"));
}

TEST(SelfContainedHtml, GenericFontFamiliesAreNotQuotedAsFontNames) {
    OfflineTextDocument document;
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Aptos"), QStringLiteral("sans-serif")});
    QTextCursor(&document).insertText("'serif' in the text", format);
    const QString html = SelfContainedHtml(document);
    EXPECT_TRUE(html.contains(u"font-family:'Aptos',sans-serif")) << html.toStdString();
    EXPECT_TRUE(html.contains(u"'serif' in the text"));
}

}  // namespace
}  // namespace parcelo::test
