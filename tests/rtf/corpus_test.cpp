// The decompressed bodies of the sample messages, where a developer has extracted them to
// /tmp/corpus-rtf (the project does not carry them); skipped elsewhere.
#include "rtf/rtf_writer.h"
#include "rtf_test_support.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace parcelo::test {
namespace {

const QString kCorpus = QStringLiteral("/tmp/corpus-rtf");

QByteArray Body(const char* name) {
    QFile file(kCorpus + u'/' + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct CorpusCase {
    const char* name;
    const char* file;
    RtfBodyKind kind;
    const char* line;  // a whole line of the text a reader sees
};

class CorpusTest : public testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusTest, ReadsAsAPersonWould) {
    const QByteArray rtf = Body(GetParam().file);
    if (rtf.isEmpty())
        GTEST_SKIP() << "no " << GetParam().file << " in /tmp/corpus-rtf";
    const std::string_view view(rtf.constData(), rtf.size());
    EXPECT_EQ(RtfBodyKindOf(view), GetParam().kind);
    const QStringList lines = PlainTextOfRtf(view).split(u'\n');
    EXPECT_TRUE(lines.contains(QString::fromUtf8(GetParam().line)))
        << lines.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, CorpusTest,
    testing::Values(
        CorpusCase{"oxfam_newsletter", "pytnef_winmail-1.dat.0.rtf", RtfBodyKind::Html,
                   "Dear Isabel,"},
        CorpusCase{"umlauts_in_html", "tnefparse_umlaut.tnef.0.rtf", RtfBodyKind::Html,
                   "TEST äöü +-*/~"},
        CorpusCase{"signed_html", "uponusolutions-tnef_signed.tnef.0.rtf", RtfBodyKind::Html,
                   "Noch ein test inkl. Attachement. Signiert und verschlüsselt "},
        CorpusCase{"voice_mail_html", "verdammelt-tnef_multi-value-attribute.tnef.0.rtf",
                   RtfBodyKind::Html, "You received a voice mail from Curie Conf Room at 208225."},
        CorpusCase{"plain_text", "verdammelt-tnef_long-filename.tnef.0.rtf", RtfBodyKind::Text,
                   "Subject: license file"},
        CorpusCase{"word_lyrics", "mimekit_christmas.tnef.0.rtf", RtfBodyKind::Native,
                   "Springtime feeling's in the middle of December"},
        CorpusCase{"word_short", "apache-poi-hmef_quick-winmail.dat.0.rtf", RtfBodyKind::Native,
                   "These are five files."},
        CorpusCase{"word_umlaut_ellipsis", "ktnef_umlaut-filename.tnef.0.rtf", RtfBodyKind::Native,
                   "Habe in den Namen mal ein ö eingefügt…"},
        CorpusCase{"task_table_of_tabs", "horde-compress_tnef_vnote.tnef.0.rtf",
                   RtfBodyKind::Native, "Subject:\tSome important task."},
        CorpusCase{"richedit", "verdammelt-tnef_rtf.tnef.0.rtf", RtfBodyKind::Native,
                   "Greg Allen"}),
    CaseName());

TEST(Corpus, WhiteLyricsOnTheirRedPage) {
    const QByteArray rtf = Body("mimekit_christmas.tnef.0.rtf");
    if (rtf.isEmpty())
        GTEST_SKIP() << "no mimekit_christmas.tnef.0.rtf in /tmp/corpus-rtf";
    const auto document = Read(std::string_view(rtf.constData(), rtf.size()));
    const auto lyrics = FormatOf(*document, "Springtime feeling");
    ASSERT_TRUE(lyrics.has_value());
    EXPECT_EQ(lyrics->foreground().color(), QColor(Qt::white));
    // A gradient fill from red; every block of the body shows the red.
    const std::string backgrounds = BackgroundsOf(*document);
    EXPECT_NE(backgrounds.find("#ff0000"), std::string::npos);
    EXPECT_EQ(backgrounds.find_first_not_of("#ff0000 "), std::string::npos) << backgrounds;
}

TEST(Corpus, EveryBodyReadsAndSavesBack) {
    const QStringList files = QDir(kCorpus).entryList({"*.rtf"}, QDir::Files);
    if (files.isEmpty())
        GTEST_SKIP() << "no /tmp/corpus-rtf";
    for (const QString& name : files) {
        QFile file(kCorpus + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        const auto document = Read(std::string_view(rtf.constData(), rtf.size()));
        const QByteArray saved = RtfFromDocument(*document);
        const auto reread = Read(std::string_view(saved.constData(), saved.size()));
        // The words come back in order; nested tables are saved as lines, so the layout of
        // their text may differ.
        EXPECT_EQ(PlainTextOfDocument(*reread).simplified().toStdString(),
                  PlainTextOfDocument(*document).simplified().toStdString())
            << name.toStdString();
    }
}

}  // namespace
}  // namespace parcelo::test
