// Native RTF as Word, Outlook and WordPad write it: formatting, text, fields, lists, tables
// and pictures.
#include "body_test_support.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace parcelo::test {
namespace {

// A header like Word's: fonts in several charsets and a colour table starting with "auto".
std::string Body(std::string_view body) {
    return std::string(
               "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
               "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}"
               "{\\f3\\fswiss\\fcharset204 Arial Cyr;}{\\f4\\fnil\\fcharset128 MS Gothic;}"
               "{\\f5\\fnil\\fcharset2 Wingdings;}}"
               "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
               "\\pard\\plain ") +
           std::string(body) + "}";
}

struct FormatCase {
    const char* name;
    const char* body;
    const char* text;  // the run to look at
    std::function<bool(const QTextCharFormat&)> holds;
};

class CharacterFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(CharacterFormatTest, RunHasFormat) {
    const auto document = Read(Body(GetParam().body));
    const auto format = FormatOf(*document, QString::fromUtf8(GetParam().text));
    ASSERT_TRUE(format.has_value()) << document->toPlainText().toStdString();
    EXPECT_TRUE(GetParam().holds(*format));
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, CharacterFormatTest,
    testing::Values(
        FormatCase{"bold", "\\b heavy\\b0  light", "heavy",
                   [](const auto& f) { return f.fontWeight() == QFont::Bold; }},
        FormatCase{"bold_off", "\\b heavy\\b0  light", "light",
                   [](const auto& f) { return f.fontWeight() == QFont::Normal; }},
        FormatCase{"italic", "\\i slanted", "slanted",
                   [](const auto& f) { return f.fontItalic(); }},
        FormatCase{
            "underline", "\\ul under", "under",
            [](const auto& f) { return f.underlineStyle() == QTextCharFormat::SingleUnderline; }},
        FormatCase{
            "underline_none", "\\ul a\\ulnone  plain", "plain",
            [](const auto& f) { return f.underlineStyle() == QTextCharFormat::NoUnderline; }},
        FormatCase{"dotted_underline", "\\uld dots", "dots",
                   [](const auto& f) { return f.underlineStyle() == QTextCharFormat::DotLine; }},
        FormatCase{"strike", "\\strike gone", "gone",
                   [](const auto& f) { return f.fontStrikeOut(); }},
        FormatCase{"size_in_half_points", "\\fs40 big", "big",
                   [](const auto& f) { return f.fontPointSize() == 20; }},
        FormatCase{"default_size_is_12", "normal", "normal",
                   [](const auto& f) { return f.fontPointSize() == 12; }},
        FormatCase{"font_family", "\\f1 serif", "serif",
                   [](const auto& f) {
                       return f.fontFamilies().toStringList() == QStringList{"Times New Roman"} &&
                              f.fontStyleHint() == QFont::Serif;
                   }},
        FormatCase{
            "default_font", "plain", "plain",
            [](const auto& f) { return f.fontFamilies().toStringList() == QStringList{"Arial"}; }},
        FormatCase{"colour", "\\cf1 red", "red",
                   [](const auto& f) { return f.foreground().color() == QColor(255, 0, 0); }},
        FormatCase{"auto_colour", "\\cf0 auto", "auto",
                   [](const auto& f) { return !f.hasProperty(QTextFormat::ForegroundBrush); }},
        FormatCase{"colour_out_of_table", "\\cf99 none", "none",
                   [](const auto& f) { return !f.hasProperty(QTextFormat::ForegroundBrush); }},
        FormatCase{"highlight", "\\highlight2 marked", "marked",
                   [](const auto& f) { return f.background().color() == QColor(0, 0, 255); }},
        FormatCase{"shading", "\\chcbpat1 shaded", "shaded",
                   [](const auto& f) { return f.background().color() == QColor(255, 0, 0); }},
        FormatCase{"superscript", "x\\super 2", "2",
                   [](const auto& f) {
                       return f.verticalAlignment() == QTextCharFormat::AlignSuperScript;
                   }},
        FormatCase{
            "subscript", "H\\sub 2\\nosupersub O", "2",
            [](const auto& f) { return f.verticalAlignment() == QTextCharFormat::AlignSubScript; }},
        FormatCase{
            "group_ends_format", "{\\b\\i inner}outer", "outer",
            [](const auto& f) { return f.fontWeight() == QFont::Normal && !f.fontItalic(); }},
        FormatCase{"plain_resets", "\\b\\i\\fs40\\f1 a\\plain  reset", "reset",
                   [](const auto& f) {
                       return f.fontWeight() == QFont::Normal && f.fontPointSize() == 12 &&
                              f.fontFamilies().toStringList() == QStringList{"Arial"};
                   }},
        FormatCase{"small_caps", "\\scaps small", "small",
                   [](const auto& f) { return f.fontCapitalization() == QFont::SmallCaps; }}),
    CaseName());

struct TextCase {
    const char* name;
    std::string rtf;
    const char* text;  // UTF-8 plain text the body shows
};

class BodyTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(BodyTextTest, ShowsText) {
    EXPECT_EQ(TextOf(GetParam().rtf).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, BodyTextTest,
    testing::Values(
        TextCase{"paragraphs", Body("one\\par two\\par three"), "one\ntwo\nthree"},
        TextCase{"empty_paragraphs_kept", Body("a\\par\\par b\\par"), "a\n\nb"},
        TextCase{"line_and_tab", Body("a\\line b\\tab c"), "a\nb\tc"},
        TextCase{"escaped_braces", Body("\\{x\\} \\\\"), "{x} \\"},
        TextCase{"windows_1252", Body("K\\'e4se \\'80"), "Käse €"},
        TextCase{"unicode_with_fallback", Body("\\u8364?x"), "€x"},
        TextCase{"unicode_two_fallback_bytes", Body("\\uc2\\u12354\\'82\\'a0x"), "あx"},
        TextCase{"unicode_no_fallback", Body("\\uc0\\u8364 x"), "€x"},
        TextCase{"unicode_negative", Body("\\u-3 ?"), "\xEF\xBF\xBD"},
        TextCase{"fallback_skip_ends_with_group", Body("{\\uc3\\u8364?}ab"), "€ab"},
        TextCase{"charset_cyrillic", Body("\\f3\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2"), "Привет"},
        TextCase{"charset_shift_jis", Body("\\f4\\'82\\'a0\\'82\\'a2"), "あい"},
        TextCase{"ansicpg_for_default_charset_fonts",
                 "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset1 Arial;}}\\f0 \\'c0\\'e1}",
                 "Аб"},
        TextCase{"symbol_font", Body("\\f2 a\\'b7\\'b3"), "α•≥"},
        TextCase{"symbol_as_private_use", Body("\\f2\\u-3913 ?"), "•"},
        TextCase{"wingdings_check", Body("\\f5\\'fc"), "✓"},
        TextCase{"special_characters",
                 Body("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet"), "—–‘’“”•"},
        TextCase{"nonbreaking_space", Body("a\\~b"), "a b"},
        TextCase{"hidden_text", Body("shown{\\v hidden}"), "shown"},
        TextCase{"ignorable_destination", Body("a{\\*\\unknowndest secret}b"), "ab"},
        TextCase{"unknown_word_ignored", Body("a\\unknownword b"), "ab"},
        TextCase{"tables_of_header_skipped",
                 "{\\rtf1{\\stylesheet{\\s1 Normal;}}{\\info{\\title T}{\\author A}}"
                 "{\\*\\generator G;}{\\header head}{\\footer foot}body}",
                 "body"},
        TextCase{"field_result_shown", Body("page {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}"),
                 "page 3"},
        TextCase{"picture_data_not_text", Body("a{\\pict\\wmetafile8 0102ff}b"), "ab"},
        TextCase{"legacy_list_text_skipped",
                 Body("{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'b7}}item\\par"),
                 "• item"},
        TextCase{"encapsulated_text",
                 "{\\rtf1\\ansi\\fromtext{\\fonttbl{\\f0 Arial;}}\\f0 line 1\\par line 2\\par}",
                 "line 1\nline 2"},
        TextCase{"text_after_document_ignored", Body("in") + "out", "in"},
        TextCase{"backslash_newline_is_par", Body("a\\\nb"), "a\nb"}),
    CaseName());

TEST(ParagraphFormat, AlignmentIndentsAndSpacing) {
    const auto document =
        Read(Body("\\qc centred\\par\\pard\\qr right\\par\\pard\\qj justified\\par"
                  "\\pard\\li720\\ri360\\fi-360\\sb240\\sa120 indented\\par"
                  "\\pard\\sl360\\slmult1 spaced\\par\\pard\\sl-300\\slmult0 exact\\par"
                  "\\pard plain\\par"));
    EXPECT_EQ(BlockOf(*document, "centred").blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(BlockOf(*document, "right").blockFormat().alignment(), Qt::AlignRight);
    EXPECT_EQ(BlockOf(*document, "justified").blockFormat().alignment(), Qt::AlignJustify);
    const QTextBlockFormat indented = BlockOf(*document, "indented").blockFormat();
    EXPECT_DOUBLE_EQ(indented.leftMargin(), 48);
    EXPECT_DOUBLE_EQ(indented.rightMargin(), 24);
    EXPECT_DOUBLE_EQ(indented.textIndent(), -24);
    EXPECT_DOUBLE_EQ(indented.topMargin(), 16);
    EXPECT_DOUBLE_EQ(indented.bottomMargin(), 8);
    const QTextBlockFormat spaced = BlockOf(*document, "spaced").blockFormat();
    EXPECT_EQ(spaced.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_DOUBLE_EQ(spaced.lineHeight(), 150);
    const QTextBlockFormat exact = BlockOf(*document, "exact").blockFormat();
    EXPECT_EQ(exact.lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_DOUBLE_EQ(exact.lineHeight(), 20);
    const QTextBlockFormat plain = BlockOf(*document, "plain").blockFormat();
    EXPECT_DOUBLE_EQ(plain.leftMargin(), 0);
    EXPECT_EQ(plain.alignment(), QTextBlockFormat().alignment());
}

TEST(ParagraphFormat, PropertiesAtTheParagraphMarkWin) {
    const auto document = Read(Body("late\\qc\\par"));
    EXPECT_EQ(BlockOf(*document, "late").blockFormat().alignment(), Qt::AlignHCenter);
}

TEST(ParagraphFormat, LineBreakStaysInTheParagraph) {
    const auto document = Read(Body("\\qc first\\line second\\par third"));
    const QTextBlock block = BlockOf(*document, "first");
    EXPECT_EQ(block.text(), QString("first") + QChar::LineSeparator + "second");
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(document->blockCount(), 2);
}

// Tab stops as pixels from where the paragraph's first line starts, as Qt measures them.
// The first four are shown, and "..." when there are more.
std::string TabsOf(const QTextBlock& block) {
    std::string out;
    int shown = 0;
    for (const QTextOption::Tab& tab : block.blockFormat().tabPositions()) {
        if (!out.empty())
            out += ' ';
        if (++shown > 4) {
            out += "...";
            break;
        }
        out += QString::number(tab.position).toStdString();
        switch (tab.type) {
            case QTextOption::RightTab:
                out += 'r';
                break;
            case QTextOption::CenterTab:
                out += 'c';
                break;
            case QTextOption::DelimiterTab:
                out += "d" + QString(tab.delimiter).toStdString();
                break;
            default:
                break;
        }
    }
    return out;
}

struct TabCase {
    const char* name;
    const char* body;  // a paragraph holding "x"
    const char* tabs;  // as TabsOf gives them
};

class TabStopTest : public testing::TestWithParam<TabCase> {};

TEST_P(TabStopTest, SetsThePositions) {
    const auto document = Read(Body(GetParam().body));
    EXPECT_EQ(TabsOf(BlockOf(*document, "x")), GetParam().tabs);
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, TabStopTest,
    testing::Values(
        TabCase{"none", "x", ""},
        TabCase{"default_every_half_inch", "x\\tab y", "48 96 144 192 ..."},
        TabCase{"default_as_the_document_says", "\\deftab360 x\\tab y", "24 48 72 96 ..."},
        TabCase{"default_past_the_own_stops", "\\tx1000 x\\tab y", "66.6667 96 144 192 ..."},
        TabCase{"default_from_the_margin", "\\li1000 x\\tab y",
                "29.3333 77.3333 125.333 173.333 ..."},
        TabCase{"left", "\\tx1440\\tx2880 x", "96 192"},
        TabCase{"kinds", "\\tqr\\tx1500\\tqc\\tx3000\\tqdec\\tx4500\\tx6000 x",
                "100r 200c 300d. 400"},
        TabCase{"sorted", "\\tx3000\\tx1500 x", "100 200"},
        TabCase{"from_the_left_indent", "\\li1500\\tx3000 x", "100"},
        TabCase{"hanging_indent_stops_a_tab", "\\fi-2400\\li2400 x", "160"},
        TabCase{"hanging_indent_and_a_stop", "\\fi-2400\\li2400\\tx2400\\tx4500 x", "160 300"},
        TabCase{"bar_tab_stops_nothing", "\\tb1000\\tqr\\tx2000 x", "133.333r"},
        TabCase{"stops_before_the_line_dropped", "\\li3000\\tx1500\\tx4500 x", "100"},
        TabCase{"pard_clears", "\\tx1500 a\\par\\pard x", ""},
        TabCase{"group_keeps_them", "\\tx1500{\\tx3000 a\\par}x", "100"},
        TabCase{"leaders_ignored", "\\tldot\\tqr\\tx1500 x", "100r"}),
    CaseName());

TEST(ParagraphFormat, TabStopsAreKeptWithinBounds) {
    std::string stops;
    for (int i = 1; i <= 100; ++i)
        stops += "\\tx" + std::to_string(i * 150);
    const auto document = Read(Body(stops + " x"));
    EXPECT_EQ(BlockOf(*document, "x").blockFormat().tabPositions().size(), 64);
}

// The fields of Outlook's task form: a label, a tab to the hanging indent, a value; each
// value starts where the tab stop is, 2400 twips (160 pixels) from the margin.
TEST(ParagraphFormat, TaskFormValuesLineUpAtTheTabStop) {
    const auto document =
        // 8 points, so that the longest label ends before the stop in any installed font.
        Read(Body("\\pard\\fi-2400\\li2400\\tx2400\\fs16\\b Subject:\\tab\\b0 Some important "
                  "task.\\par\\b Percent Complete:\\tab\\b0 10%\\par"));
    document->setTextWidth(600);
    document->documentLayout()->documentSize();
    for (const char* label : {"Subject:\t", "Percent Complete:\t"}) {
        const QTextBlock block = BlockOf(*document, label);
        ASSERT_TRUE(block.isValid()) << label;
        const QTextLine line = block.layout()->lineAt(0);
        const int valueStart = static_cast<int>(std::strlen(label));
        // The tab itself starts where the label ends, measured in the font in use.
        ASSERT_LT(line.cursorToX(valueStart - 1), 160) << label;
        EXPECT_NEAR(line.cursorToX(valueStart), 160, 1) << label;
    }
}

struct LinkCase {
    const char* name;
    const char* instruction;
    const char* href;
};

class HyperlinkTest : public testing::TestWithParam<LinkCase> {};

TEST_P(HyperlinkTest, FieldBecomesAnchor) {
    const auto document =
        Read(Body(std::string("see {\\field{\\*\\fldinst{") + GetParam().instruction +
                  "}}{\\fldrslt{\\ul\\cf2 the site}}} now"));
    const auto link = FormatOf(*document, "the site");
    ASSERT_TRUE(link.has_value());
    EXPECT_TRUE(link->isAnchor());
    EXPECT_EQ(link->anchorHref().toStdString(), GetParam().href);
    const auto after = FormatOf(*document, " now");
    ASSERT_TRUE(after.has_value());
    EXPECT_FALSE(after->isAnchor());
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, HyperlinkTest,
    testing::Values(
        LinkCase{"quoted", "HYPERLINK \"http://example.com/a?b=1&c=2\"",
                 "http://example.com/a?b=1&c=2"},
        LinkCase{"bare", "HYPERLINK http://example.com/", "http://example.com/"},
        LinkCase{"lower_case", " hyperlink \"mailto:a@b.example\" ", "mailto:a@b.example"},
        LinkCase{"tooltip_switch", "HYPERLINK \"http://x.example/\" \\\\o \"Tip\"",
                 "http://x.example/"},
        LinkCase{"bookmark", "HYPERLINK \\\\l \"_Toc1\"", "#_Toc1"},
        LinkCase{"doubled_backslashes", "HYPERLINK \"\\\\\\\\\\\\\\\\server\\\\\\\\share\"",
                 "\\\\server\\share"}),
    CaseName());

TEST(Hyperlink, UncolouredLinkStillLooksLikeOne) {
    const auto document =
        Read(Body("{\\field{\\*\\fldinst HYPERLINK \"http://a.example/\"}{\\fldrslt plain}}"));
    const auto link = FormatOf(*document, "plain");
    ASSERT_TRUE(link.has_value());
    EXPECT_TRUE(link->foreground().style() != Qt::NoBrush);
    EXPECT_NE(link->underlineStyle(), QTextCharFormat::NoUnderline);
}

TEST(Hyperlink, OtherFieldsAreNotLinks) {
    const auto document = Read(Body("{\\field{\\*\\fldinst DATE}{\\fldrslt today}}"));
    const auto format = FormatOf(*document, "today");
    ASSERT_TRUE(format.has_value());
    EXPECT_FALSE(format->isAnchor());
}

// Word's list tables: one list of bullets, one numbered "1)" list with a second level.
constexpr const char* kWordLists =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Calibri;}{\\f1\\fcharset2 Symbol;}}"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\levelnfcn23"
    "{\\leveltext\\leveltemplateid2\\'01\\u-3913 ?;}{\\levelnumbers;}\\f1\\fi-360\\li720}"
    "{\\listname ;}\\listid100}"
    "{\\list\\listtemplateid3{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00);}{\\levelnumbers\\'01;}"
    "}"
    "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}}\\listid200}}"
    "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}"
    "{\\listoverride\\listid200\\listoverridecount0\\ls2}}"
    "\\pard\\ls1{\\listtext\\f1\\'b7\\tab}apple\\par"
    "{\\listtext\\f1\\'b7\\tab}pear\\par"
    "\\pard between\\par"
    "\\pard\\ls2{\\listtext 1)\\tab}first\\par"
    "\\pard\\ls2\\ilvl1{\\listtext a.\\tab}nested\\par"
    "\\pard\\ls2{\\listtext 2)\\tab}second\\par}";

TEST(Lists, WordListTablesGiveBulletsAndNumbers) {
    const auto document = Read(kWordLists);
    const QTextList* bullets = BlockOf(*document, "apple").textList();
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(bullets->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(bullets->count(), 2);
    EXPECT_EQ(BlockOf(*document, "between").textList(), nullptr);
    const QTextList* numbers = BlockOf(*document, "first").textList();
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(BlockOf(*document, "second").textList(), numbers);
    const QTextList* nested = BlockOf(*document, "nested").textList();
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->format().style(), QTextListFormat::ListLowerAlpha);
    EXPECT_EQ(nested->format().indent(), 2);
    EXPECT_EQ(TextOf(kWordLists).toStdString(),
              "• apple\n• pear\nbetween\n1) first\n  a. nested\n2) second");
}

TEST(Lists, LegacyParagraphNumbering) {
    const std::string rtf = Body(
        "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}one\\par"
        "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}two\\par\\pard plain\\par"
        "{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}dot\\par");
    EXPECT_EQ(TextOf(rtf).toStdString(), "1. one\n2. two\nplain\n• dot");
}

TEST(Tables, RowsAndCellsBecomeOneTable) {
    const std::string rtf = Body(
        "before\\par"
        "\\trowd\\cellx1500\\cellx3000\\pard\\intbl a1\\cell b1\\cell\\row"
        "\\trowd\\cellx1500\\cellx3000\\pard\\intbl {\\b a2}\\par more\\cell b2\\cell\\row"
        "\\pard after\\par");
    const auto document = Read(rtf);
    const QTextTable* table = nullptr;
    for (QTextFrame* frame : document->rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(frame)))
            break;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    const auto widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), 100);
    EXPECT_EQ(TextOf(rtf).toStdString(), "before\na1\tb1\na2 more\tb2\nafter");
}

TEST(Tables, WordRowDefinitionAfterTheCells) {
    // Word 2000 and later repeat the row definition in a group right before \row.
    const std::string rtf = Body(
        "\\pard\\intbl x\\cell y\\cell\\pard\\intbl{\\trowd\\cellx100\\cellx200\\row}"
        "\\pard\\intbl z\\cell\\pard\\intbl{\\trowd\\cellx100\\row}\\pard end");
    EXPECT_EQ(TextOf(rtf).toStdString(), "x\ty\nz\t\nend");
}

TEST(Tables, TableWithoutRowEndIsStillShown) {
    EXPECT_EQ(TextOf(Body("\\intbl a\\cell b\\cell")).toStdString(), "a\tb");
}

TEST(Tables, TooManyColumnsJoinTheLast) {
    std::string cells;
    for (int i = 0; i < 70; ++i)
        cells += "\\intbl c\\cell ";
    const auto document = Read(Body(cells + "\\row"));
    const auto* table = qobject_cast<QTextTable*>(document->rootFrame()->childFrames().value(0));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columns(), 63);
}

QByteArray ImageBytes(const char* format) {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

std::vector<QTextImageFormat> ImagesOf(const QTextDocument& document) {
    std::vector<QTextImageFormat> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.push_back(it.fragment().charFormat().toImageFormat());
    return images;
}

TEST(Pictures, PngAndJpegAreShownAtTheirGoalSize) {
    for (const char* kind : {"PNG", "JPEG"}) {
        const std::string word = kind == std::string("PNG") ? "\\pngblip" : "\\jpegblip";
        const auto document =
            Read(Body("a{\\pict" + word + "\\picw4\\pich3\\picwgoal600\\pichgoal450 " +
                      ImageBytes(kind).toHex().toStdString() + "}b"));
        const auto images = ImagesOf(*document);
        ASSERT_EQ(images.size(), 1u) << kind;
        EXPECT_DOUBLE_EQ(images[0].width(), 40);
        EXPECT_DOUBLE_EQ(images[0].height(), 30);
        const QVariant resource =
            document->resource(QTextDocument::ImageResource, QUrl(images[0].name()));
        EXPECT_EQ(resource.value<QImage>().size(), QSize(4, 3)) << kind;
    }
}

TEST(Pictures, BinaryDataAndScaling) {
    const QByteArray png = ImageBytes("PNG");
    const std::string rtf = Body("{\\pict\\pngblip\\picscalex50\\picscaley200\\bin" +
                                 std::to_string(png.size()) + " " + png.toStdString() + "}");
    const auto images = ImagesOf(*Read(rtf));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_DOUBLE_EQ(images[0].width(), 2);
    EXPECT_DOUBLE_EQ(images[0].height(), 6);
}

TEST(Pictures, WordShapePictureShownOnceAndOthersAsPlaceholders) {
    const std::string hex = ImageBytes("PNG").toHex().toStdString();
    const auto document =
        Read(Body("{\\*\\shppict{\\pict\\pngblip " + hex + "}}{\\nonshppict{\\pict\\wmetafile8 " +
                  hex + "}}{\\pict\\emfblip 0102}{\\pict\\pngblip 00ff}"));
    const auto images = ImagesOf(*document);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_FALSE(images[0].hasProperty(QTextFormat::ImageAltText));
    EXPECT_EQ(images[1].stringProperty(QTextFormat::ImageAltText), "picture");
    EXPECT_EQ(images[2].stringProperty(QTextFormat::ImageAltText), "picture");
}

// Word's page background: a shape whose properties give the fill, as a COLORREF (0x00BBGGRR).
std::string Page(const std::string& properties, const std::string& rest = "") {
    return "{\\*\\background {\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright0\\shpbottom0" +
           properties + "}" + rest + "}}";
}

std::string Fill(const char* colorRef) {
    return std::string("{\\sp{\\sn fillColor}{\\sv ") + colorRef + "}}";
}

const std::string kGreenPage = Page(Fill("65280"));

struct BackgroundCase {
    const char* name;
    std::string rtf;
    const char* backgrounds;  // as BackgroundsOf gives them
};

class PageBackgroundTest : public testing::TestWithParam<BackgroundCase> {};

TEST_P(PageBackgroundTest, PaintsTheBodysBlocks) {
    const auto document = Read(GetParam().rtf);
    EXPECT_EQ(BackgroundsOf(*document), GetParam().backgrounds);
    // Nothing of the shape is text of the body.
    EXPECT_EQ(FormatOf(*document, "fill").has_value(), false);
    EXPECT_TRUE(ImagesOf(*document).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, PageBackgroundTest,
    testing::Values(
        BackgroundCase{"colour_ref_is_blue_green_red", Body(Page(Fill("3368601")) + "a\\par b"),
                       "#996633 #996633"},
        BackgroundCase{"gradient_fill_uses_its_colour",
                       Body(Page("{\\sp{\\sn fillType}{\\sv 6}}" + Fill("255") +
                                 "{\\sp{\\sn fillBackColor}{\\sv 2315831}}") +
                            "a"),
                       "#ff0000"},
        BackgroundCase{"picture_fill_shows_no_picture",
                       Body(Page("{\\sp{\\sn fillType}{\\sv 3}}" + Fill("65280") +
                                     "{\\sp{\\sn fillBlip}{\\sv {\\pict\\pngblip " +
                                     ImageBytes("PNG").toHex().toStdString() + "}}}",
                                 "{\\shprslt fill text}") +
                            "a"),
                       "#00ff00"},
        BackgroundCase{"no_fill_colour_is_white", Body(Page("{\\sp{\\sn fillType}{\\sv 1}}") + "a"),
                       "#ffffff"},
        BackgroundCase{"scheme_colour_is_white", Body(Page(Fill("134217728")) + "a"), "#ffffff"},
        BackgroundCase{"none_declared", Body("a\\par b"), "- -"},
        BackgroundCase{"paragraph_shading_wins",
                       Body(kGreenPage + "a\\par\\cbpat2 b\\par\\pard c\\par\\cbpat0 d"),
                       "#00ff00 #0000ff #00ff00 #00ff00"},
        BackgroundCase{"declared_after_text", Body("a\\par " + kGreenPage + "b"),
                       "#00ff00 #00ff00"},
        BackgroundCase{"cells_painted_whole",
                       Body(kGreenPage +
                            "\\trowd\\cellx1000\\clcbpat2\\cellx2000\\intbl a\\cell b\\cell\\row"),
                       "#00ff00 [#00ff00] [#0000ff] #00ff00"},
        BackgroundCase{"table_then_late_declaration",
                       Body("\\trowd\\cellx1000\\intbl a\\cell\\row\\pard b" + kGreenPage),
                       "#00ff00 [#00ff00] #00ff00"},
        BackgroundCase{"cell_shading_alone",
                       Body("\\trowd\\clcbpat1\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row"),
                       "- [#ff0000] [-] -"},
        BackgroundCase{"html_body_ignores_it",
                       "{\\rtf1\\fromhtml1" + kGreenPage + "{\\*\\htmltag <p>}a}", "-"}),
    CaseName());

TEST(PageBackground, EachBodyInASharedDocumentKeepsItsOwn) {
    OfflineTextDocument document;
    AppendRtf(document, Body(kGreenPage + "a\\par b"));
    // A table at the end of a body is followed by an empty block, made from the block the
    // table was put after: the first body's.
    AppendRtf(document, Body("\\trowd\\cellx1000\\intbl c\\cell\\row"));
    AppendRtf(document, Body(Page(Fill("16711680")) + "d"));
    AppendRtf(document, Body("e"));
    EXPECT_EQ(BackgroundsOf(document), "#00ff00 #00ff00 [-] - #0000ff -");
}

TEST(Appending, BodiesFollowEachOtherInNewParagraphs) {
    OfflineTextDocument document;
    AppendRtf(document, Body("{\\b first}"));
    AppendRtf(document, Body("second\\par"));
    AppendRtf(document, "{\\rtf1\\fromhtml1{\\*\\htmltag <p>}third{\\*\\htmltag </p>}}");
    EXPECT_EQ(PlainTextOfDocument(document).toStdString(), "first\nsecond\nthird");
    EXPECT_FALSE(document.isUndoAvailable());
}

TEST(BodyKind, FromTheHeader) {
    EXPECT_EQ(RtfBodyKindOf("{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 \\deff0"), RtfBodyKind::Html);
    EXPECT_EQ(RtfBodyKindOf("{\\rtf1\\ansi\\fromtext{\\fonttbl}"), RtfBodyKind::Text);
    EXPECT_EQ(RtfBodyKindOf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}text \\fromhtml1"),
              RtfBodyKind::Native);
    EXPECT_EQ(RtfBodyKindOf("{\\rtf1{\\*\\x\\fromhtml1}}"), RtfBodyKind::Native);
    EXPECT_EQ(RtfBodyKindOf(""), RtfBodyKind::Native);
}

}  // namespace
}  // namespace parcelo::test
