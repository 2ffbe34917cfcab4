// The bodies of the sample messages written by others, extracted by the engine as the tests
// run, read as the window reads them.
#include "body/font_families.h"
#include "body/message_body.h"
#include "body/rtf/rtf_writer.h"
#include "body_test_support.h"

#include <QTextImageFormat>

#include <gtest/gtest.h>

#include "corpus.h"

namespace parcelo::test {
namespace {

using parcelo::testing::ExtractCorpusMessage;
using parcelo::testing::ExtractedMessage;
using parcelo::testing::HaveCorpus;

// The document the window shows for a sample, with the sample's cid: images.
std::unique_ptr<QTextDocument> Shown(const ExtractedMessage& message) {
    auto document = std::make_unique<OfflineTextDocument>();
    const CidResolver resolve = [&](const QString& contentId) {
        const auto found = message.attachmentsByContentId.find(contentId.toStdString());
        if (found == message.attachmentsByContentId.end())
            return QByteArray();
        return QByteArray(found->second.data(), static_cast<qsizetype>(found->second.size()));
    };
    for (const auto& body : message.bodies)
        AppendMessageBody(*document, body.format, body.content, body.codePage, resolve);
    return document;
}

int ImagesIn(const QTextDocument& document) {
    int images = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat() &&
                !document
                     .resource(QTextDocument::ImageResource,
                               QUrl(it.fragment().charFormat().toImageFormat().name()))
                     .isNull()) {
                ++images;
            }
        }
    }
    return images;
}

struct CorpusCase {
    const char* name;
    const char* file;
    BodyFormat format;                // of its first body
    std::optional<RtfBodyKind> kind;  // of an RTF body
    const char* line;                 // a whole line of the text a reader sees
};

class CorpusTest : public ::testing::TestWithParam<CorpusCase> {
  protected:
    void SetUp() override {
        if (!HaveCorpus())
            GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    }
};

TEST_P(CorpusTest, ReadsAsAPersonWould) {
    const CorpusCase& c = GetParam();
    const ExtractedMessage message = ExtractCorpusMessage(c.file);
    ASSERT_FALSE(message.bodies.empty());
    EXPECT_EQ(message.bodies.front().format, c.format);
    if (c.kind) {
        EXPECT_EQ(RtfBodyKindOf(message.bodies.front().content), *c.kind);
    }
    const QStringList lines = PlainTextOfDocument(*Shown(message)).split(u'\n');
    EXPECT_TRUE(lines.contains(QString::fromUtf8(c.line))) << lines.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, CorpusTest,
    ::testing::Values(
        CorpusCase{"oxfam_newsletter", "pytnef/winmail-1.dat", BodyFormat::kRtf, RtfBodyKind::Html,
                   "Dear Isabel,"},
        CorpusCase{"umlauts_in_html", "tnefparse/umlaut.tnef", BodyFormat::kRtf, RtfBodyKind::Html,
                   "TEST äöü +-*/~"},
        CorpusCase{"signed_html", "uponusolutions-tnef/signed.tnef", BodyFormat::kRtf,
                   RtfBodyKind::Html,
                   "Noch ein test inkl. Attachement. Signiert und verschlüsselt "},
        CorpusCase{"voice_mail_html", "verdammelt-tnef/multi-value-attribute.tnef",
                   BodyFormat::kRtf, RtfBodyKind::Html,
                   "You received a voice mail from Curie Conf Room at 208225."},
        CorpusCase{"plain_text", "verdammelt-tnef/long-filename.tnef", BodyFormat::kRtf,
                   RtfBodyKind::Text, "Subject: license file"},
        CorpusCase{"word_lyrics", "mimekit/christmas.tnef", BodyFormat::kRtf, RtfBodyKind::Native,
                   "Springtime feeling's in the middle of December"},
        CorpusCase{"word_short", "apache-poi-hmef/quick-winmail.dat", BodyFormat::kRtf,
                   RtfBodyKind::Native, "These are five files."},
        CorpusCase{"word_umlaut_ellipsis", "ktnef/umlaut-filename.tnef", BodyFormat::kRtf,
                   RtfBodyKind::Native, "Habe in den Namen mal ein ö eingefügt…"},
        CorpusCase{"task_table_of_tabs", "horde-compress/tnef_vnote.tnef", BodyFormat::kRtf,
                   RtfBodyKind::Native, "Subject:\tSome important task."},
        CorpusCase{"richedit", "verdammelt-tnef/rtf.tnef", BodyFormat::kRtf, RtfBodyKind::Native,
                   "Greg Allen"},
        CorpusCase{"meeting_reply", "obm-opush/acceptInv.tnef", BodyFormat::kRtf, RtfBodyKind::Text,
                   "test"},
        // Bodies stored as HTML only, decoded by their meta charset or the message's code page.
        CorpusCase{"html_only", "apache-poi-hmef/bug52400-winmail-simple.dat", BodyFormat::kHtml,
                   std::nullopt, "This is the message body."},
        CorpusCase{"html_umlauts", "uponusolutions-tnef/umlaute.tnef", BodyFormat::kHtml,
                   std::nullopt, "Test mit Umlauten öäüß. "},
        CorpusCase{"html_hebrew", "tnefparse/history-b5e9b7e07d/iso-8859-8-i.tnef",
                   BodyFormat::kHtml, std::nullopt,
                   "וואלה! - האתר המוביל בישראל - עדכונים מסביב לשעון "},
        CorpusCase{"html_ukrainian", "mimekit/ukr.eml.part1.tnef", BodyFormat::kHtml, std::nullopt,
                   "шостий "}),
    CaseName());

TEST(Corpus, HtmlBodiesShowTheImagesTheirMessageHolds) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    // Three images of one name, told apart by their Content-IDs.
    EXPECT_EQ(ImagesIn(*Shown(ExtractCorpusMessage("roundcube/winmail-10193.tnef"))), 3);
    EXPECT_EQ(ImagesIn(*Shown(ExtractCorpusMessage("verdammelt-tnef/unicode-mapi-attr-name.tnef"))),
              3);
}

TEST(Corpus, WhiteLyricsOnTheirRedPage) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    const auto document = Shown(ExtractCorpusMessage("mimekit/christmas.tnef"));
    const auto lyrics = FormatOf(*document, "Springtime feeling");
    ASSERT_TRUE(lyrics.has_value());
    EXPECT_EQ(lyrics->foreground().color(), QColor(Qt::white));
    // A gradient fill from red; every block of the body shows the red.
    const std::string backgrounds = BackgroundsOf(*document);
    EXPECT_NE(backgrounds.find("#ff0000"), std::string::npos);
    EXPECT_EQ(backgrounds.find_first_not_of("#ff0000 "), std::string::npos) << backgrounds;
}

// Outlook's style sheet, in comment markers, sets its paragraphs without margins, and the
// sender's span gives the text its font.
TEST(Corpus, OutlooksStyleSheetApplies) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    const auto document = Shown(ExtractCorpusMessage("tnefparse/IPM-DistList.tnef"));
    const QTextBlock first = BlockOf(*document, "This is the first half of the list");
    ASSERT_TRUE(first.isValid());
    int paragraphs = 0;
    for (QTextBlock block = first; block.isValid(); block = block.next(), ++paragraphs) {
        EXPECT_EQ(block.blockFormat().topMargin(), 0) << block.text().toStdString();
        EXPECT_EQ(block.blockFormat().bottomMargin(), 0) << block.text().toStdString();
    }
    EXPECT_EQ(paragraphs, 4);
    const auto agnes = FormatOf(*document, "Agnes");
    ASSERT_TRUE(agnes.has_value());
    EXPECT_EQ(SenderFontFamilies(*agnes).value(0), "Arial");
    EXPECT_EQ(agnes->fontPointSize(), 14);
}

TEST(Corpus, EveryBodyReadsAndSavesBack) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    int bodies = 0;
    for (const std::string& file : parcelo::testing::CorpusStreams()) {
        const ExtractedMessage message = ExtractCorpusMessage(file);
        if (message.bodies.empty())
            continue;
        ++bodies;
        const auto document = Shown(message);
        const QByteArray saved = RtfFromDocument(*document);
        const auto reread = Read(std::string_view(saved.constData(), saved.size()));
        // The words come back in order; nested tables are saved as lines, so the layout of
        // their text may differ.
        EXPECT_EQ(PlainTextOfDocument(*reread).simplified().toStdString(),
                  PlainTextOfDocument(*document).simplified().toStdString())
            << file;
    }
    EXPECT_GE(bodies, 45);
}

}  // namespace
}  // namespace parcelo::test
